// Control of the stand-in viewer: the tests and the host program configure
// the viewer state, drive the agent the way the viewer does, and look at what
// the agent did to the viewer.
//
// The stand-in viewer's state is process-wide and single-threaded, like the
// viewer's apartment. Every object the viewer hands out lives until
// ResetViewer, even after its last Release, so that an over-release is
// recorded instead of freeing memory the agent may still touch.
//
// Registrations: each AddSink / AddSaveHandler takes one reference and each
// RemoveSink / RemoveSaveHandler gives one back, so registering the same
// pointer twice needs two removals. A save reaches every distinct registered
// object once, however often it registered.
#pragma once

#include "interfaces/viewer_interfaces.h"

#include <functional>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(NUVSIM_BUILDING)
#define NUVSIM_API __declspec(dllexport)
#else
#define NUVSIM_API __declspec(dllimport)
#endif
#else
#define NUVSIM_API __attribute__((visibility("default")))
#endif

namespace nuvsim {

enum DocumentKind : LONG { kKindPdf = 0, kKind2D = 1, kKind3D = 2, kKindNone = 3 };

struct Config {
    // The launch file, read as an INI file by both ReadProfileValue operations.
    std::string launchFile;
    // What IDocumentLookup::GetDocumentKind reports.
    LONG documentKind = kKindPdf;
    // What IDocumentLookup::GetDocumentKey reports.
    LONG documentKeySecond = 1;
    // What IDocumentLookup slot 5 writes.
    LONG lookupValue5 = 0;
    // What IViewerSession::GetViewHandle answers for GUID_3DViewKind. Only
    // with the flag 1 is the handle a 3D view's: IViewerSession::GetDocument
    // serves a 3D document only for a handle handed out that way.
    LONG viewHandle3D = 1;
    LONG viewFlag3D = 1;
    // ReadProfileValue fills the whole buffer and writes no terminator.
    bool unterminatedProfileReads = false;
    // So does GetAgentString.
    bool unterminatedAgentStrings = false;
    // The helper takes a reference on the agent in RegisterAgent and keeps it
    // until ReleaseKeptAgents (or ResetViewer), as a viewer may.
    bool helperKeepsAgent = false;
};

// --- state ---------------------------------------------------------------
// Closes every document (releasing what the viewer holds of the agent), then
// forgets every object, the agent data, the log, counters and faults, and
// restores the default configuration.
NUVSIM_API void ResetViewer();
NUVSIM_API Config GetConfig();
NUVSIM_API void SetConfig(const Config& config);
NUVSIM_API void SetLaunchFile(const std::string& path);
NUVSIM_API void SetDocumentKind(LONG kind);

// --- agent data -------------------------------------------------------------
struct AgentDataEntry {
    GUID owner;
    LONG block;
    LONG entry;
    std::string text;
};
struct DocumentKeyMapping {
    LONG first;
    LONG second;
    LONG block;
};
inline bool operator==(const AgentDataEntry& a, const AgentDataEntry& b) {
    return IsEqualGUID(a.owner, b.owner) && a.block == b.block && a.entry == b.entry && a.text == b.text;
}
inline bool operator==(const DocumentKeyMapping& a, const DocumentKeyMapping& b) {
    return a.first == b.first && a.second == b.second && a.block == b.block;
}

// GetDocumentIndex answers a mapped key with its block; an unknown key is
// mapped to the next block index that neither a mapping nor any stored entry uses.
NUVSIM_API void MapDocumentKey(LONG first, LONG second, LONG block);
NUVSIM_API std::vector<DocumentKeyMapping> DocumentKeyMappings();
NUVSIM_API void SetAgentData(const GUID& owner, LONG block, LONG entry, const std::string& text);
// False when there is no such entry.
NUVSIM_API bool GetAgentData(const GUID& owner, LONG block, LONG entry, std::string* text);
// Ordered by owner, block, entry.
NUVSIM_API std::vector<AgentDataEntry> AgentDataEntries();
// Forgets the entries and the key mappings.
NUVSIM_API void ClearAgentData();
// Entries and key mappings, to a text file and back; a load replaces what is
// held only when the whole file reads well.
NUVSIM_API HRESULT SaveAgentData(const std::string& path);
NUVSIM_API HRESULT LoadAgentData(const std::string& path);

// --- driving the agent ------------------------------------------------------
// A 2D save: SaveMarkup(markupPath) on every save handler of the 2D document.
// E_INVALIDARG without such an open document, S_FALSE when it has no handler;
// else the first failure, or the last result.
NUVSIM_API HRESULT Save2DMarkup(LONG documentHandle, const char* markupPath);
// Notify(code, events object of the document, value, input, output) on every
// sink of the open PDF or 3D document with that handle (the handle the
// document was requested with: the view handle for 3D). Results as above.
NUVSIM_API HRESULT NotifyDocument(LONG handle, LONG code, LONG value, void* input, void* output);
// A PDF save: code kNotifySaveMarkup with the path as input.
NUVSIM_API HRESULT SavePdfMarkup(LONG documentHandle, const char* markupPath);
// A 3D save: the document save code with {documentHandle, markupPath} as input.
NUVSIM_API HRESULT Save3DMarkup(LONG viewHandle, LONG documentHandle, const char* markupPath,
                                LONG code = kNotifySaveDocumentMarkup);
// Releases every sink and save handler of the document; a later request for
// the handle gets a fresh document.
NUVSIM_API void CloseDocument(LONG handle);
NUVSIM_API void CloseDocuments();

// --- inspection -------------------------------------------------------------
struct LayerInfo {
    LONG number;          // 1-based position in the document
    LONG handle;          // the opaque value handed to the agent
    LONG documentHandle;  // 3D: the handle given with LoadMarkupFile; else 0
    std::string path;     // empty for the 2D base layer
    bool readOnly;
};
struct DocumentInfo {
    LONG handle;
    LONG kind;  // DocumentKind
    bool open;
    std::vector<LayerInfo> layers;
    int sinkRegistrations;         // AddSink minus RemoveSink
    int saveHandlerRegistrations;  // AddSaveHandler minus RemoveSaveHandler
};
struct MarkupKindInfo {
    std::string name;
    LONG flag;  // the last flag given
};

// Every document ever made, open ones and closed ones, in order of creation.
NUVSIM_API std::vector<DocumentInfo> Documents();
// The open document with that handle; false when there is none.
NUVSIM_API bool FindDocument(LONG handle, DocumentInfo* info);
NUVSIM_API std::vector<MarkupKindInfo> EnabledMarkupKinds();
// The agent last given to RegisterAgent (compare only: referenced only while
// a helper keeps it) and how many RegisterAgent calls were made.
NUVSIM_API IDMAgent* RegisteredAgent();
NUVSIM_API int RegisterAgentCalls();
// The helpers let go of the agents they kept (Config::helperKeepsAgent), in
// the order they took them. Returns what the last Release returned; 0 when
// no agent was kept.
NUVSIM_API ULONG ReleaseKeptAgents();

// --- call log and counters --------------------------------------------------
// One line per viewer call the agent made, e.g.
//   IPdfDocument::LoadMarkupFile("D:\m\a.xml")
//   I2DLayers::GetLayer(2)
//   NUVCoCreateInstance(AgentHelper, IAgentHelper, 1)
//   PdfDocument::QueryInterface(IViewerEvents)
// The operation name is the text before "(", except for NUVCoCreateInstance,
// whose operation names its class: "NUVCoCreateInstance(AgentHelper)",
// "NUVCoCreateInstance(FileStreamSource)". AddRef, Release and the stream's
// own operations are not logged (see the reference accounting below).
NUVSIM_API std::vector<std::string> CallLog();
// Clears the log and the counters.
NUVSIM_API void ClearCallLog();
// Off, calls are still counted but not written down (for long benchmark runs).
NUVSIM_API void SetCallLogEnabled(bool enabled);
NUVSIM_API long CallCount();
NUVSIM_API long CallCount(const std::string& operation);

// --- reference accounting ---------------------------------------------------
struct ObjectInfo {
    std::string name;  // e.g. "MarkupManager", "PdfDocument(5)", "AgentHelper#2"
    LONG references;   // handed out minus released
};
NUVSIM_API std::vector<ObjectInfo> Objects();
// True when every object handed out was released and no release went below zero.
NUVSIM_API bool AllReleased();
// One line per object still referenced, e.g. "PdfDocument(5): 1 reference(s) held".
NUVSIM_API std::vector<std::string> UnbalancedObjects();
// One line per Release that found no reference left.
NUVSIM_API std::vector<std::string> ReferenceErrors();

// --- faults -----------------------------------------------------------------
// The operation (named as in the log) returns hr without doing anything:
// every call when nthCall is 0, else only the nthCall-th call from now on.
NUVSIM_API void FailOperation(const std::string& operation, HRESULT hr, int nthCall = 0);
// The same, and the failed call leaves garbage in each of its out arguments: an
// object that records every use of it as a reference error where it hands
// out an interface, a nonsense number, a buffer full of text without a
// terminator. The agent must forget what a failed call left there.
NUVSIM_API void FailOperationWithGarbage(const std::string& operation, HRESULT hr, int nthCall = 0);
// The operation returns S_OK and a null out pointer, with the same counting.
NUVSIM_API void NullOutOperation(const std::string& operation, int nthCall = 0);
// The next call of the operation runs action, on the caller's thread, before
// it does its own work: a viewer that calls back into the agent from inside
// one of its operations. Cleared with the faults.
NUVSIM_API void OnNextCall(const std::string& operation, std::function<void()> action);
NUVSIM_API void ClearFaults();

// True while a viewer operation runs on the calling thread: a test that makes
// allocations fail makes only the agent's own fail, never the viewer's.
NUVSIM_API bool InsideViewerCall();

}  // namespace nuvsim
