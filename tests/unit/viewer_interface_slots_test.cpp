// Each viewer operation the agent calls sits at the position the viewer gives
// it: calling the stand-in viewer through the raw function table at that
// position must reach the named operation. A missing or extra placeholder in
// a declaration moves every later slot and fails here.
#include "interfaces/guids.h"
#include "interfaces/viewer_interfaces.h"
#include "platform/com/com_ptr.h"
#include "tests/support/raw_call.h"
#include "viewer/sim_control.h"
#include "tests/support/hresult.h"
#include "tests/support/viewer_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class ViewerSlots : public testing::Test {
protected:
    void SetUp() override { nuvsim::ResetViewer(); }
    void TearDown() override {
        m_held.clear();
        nuvsim::CloseDocuments();
        EXPECT_THAT(ReferenceProblems(), testing::IsEmpty());
        nuvsim::ResetViewer();
    }

    // Calls slot through the raw table and checks which operation the viewer logged.
    template <typename... Args>
    void ExpectSlot(void* object, int slot, const std::string& operation, Args... args) {
        nuvsim::ClearCallLog();
        CallSlot(object, slot, args...);
        const auto log = nuvsim::CallLog();
        ASSERT_FALSE(log.empty()) << operation << " at " << slot << " logged nothing";
        EXPECT_EQ(operation, log.back().substr(0, log.back().find('('))) << "slot " << slot;
    }

    // Keeps what a slot handed out until the test ends. Untyped: the raw
    // table takes it as it is.
    void** Hold() {
        m_held.emplace_back();
        return VoidOut(m_held.back().put());
    }

    template <typename T>
    T* Create(const CLSID& clsid) {
        void** out = Hold();
        EXPECT_HR(S_OK, NUVCoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid_of<T>, out));
        return static_cast<T*>(*out);
    }

    std::vector<ComPtr<IUnknown>> m_held;
};

TEST_F(ViewerSlots, HelperAndDocumentLookup) {
    auto* helper = Create<IAgentHelper>(CLSID_AgentHelper);
    ExpectSlot(helper, 3, "IAgentHelper::RegisterAgent", static_cast<void*>(nullptr));
    ExpectSlot(helper, 6, "IAgentHelper::GetDocument", &iid_of<I2DDocument>, LONG(4), Hold());
    ExpectSlot(helper, 7, "IAgentHelper::GetSettingsSource", Hold());
    ExpectSlot(helper, 8, "IAgentHelper::GetMarkupManager", Hold());

    auto* lookup = Create<IDocumentLookup>(CLSID_AgentHelper);
    LONG value = 0;
    const LONG key[2] = {0, 1};
    ExpectSlot(lookup, 3, "IDocumentLookup::GetViewerSession", Hold());
    ExpectSlot(lookup, 4, "IDocumentLookup::GetDocumentKind", LONG(0), &value);
    ExpectSlot(lookup, 5, "IDocumentLookup::UnnamedValue5", &value);
    ExpectSlot(lookup, 6, "IDocumentLookup::GetDocumentIndex", key, &value);
    ExpectSlot(lookup, 7, "IDocumentLookup::GetDocumentKey", &value);
}

TEST_F(ViewerSlots, SettingsSourceAndMarkupManager) {
    auto* helper = Create<IAgentHelper>(CLSID_AgentHelper);
    ComPtr<ISettingsSource> settings;
    ComPtr<IMarkupManager> manager;
    ASSERT_HR(S_OK, helper->GetSettingsSource(settings.put()));
    ASSERT_HR(S_OK, helper->GetMarkupManager(manager.put()));

    WCHAR section[] = {'S', 0}, key[] = {'K', 0}, buffer[16] = {};
    LONG count = 16;
    ExpectSlot(settings.get(), 3, "ISettingsSource::ReadProfileValue", LONG(0), section, key, &count, buffer);
    ExpectSlot(manager.get(), 44, "IMarkupManager::ReadProfileValue", LONG(0), section, key, &count, buffer);

    char text[] = "x";
    char out[8] = {};
    LONG size = 2;
    ExpectSlot(manager.get(), 26, "IMarkupManager::SetAgentString", &GUID_AgentDataOwner, LONG(0), LONG(0), &size,
               text);
    size = 8;
    ExpectSlot(manager.get(), 25, "IMarkupManager::GetAgentString", &GUID_AgentDataOwner, LONG(0), LONG(0), &size,
               out);
    EXPECT_STREQ("x", out);
    ExpectSlot(manager.get(), 34, "IMarkupManager::EnableMarkupKind", "2D Markup", LONG(1));
    settings.reset();
    manager.reset();
}

TEST_F(ViewerSlots, SessionAndDocuments) {
    auto* lookup = Create<IDocumentLookup>(CLSID_AgentHelper);
    ComPtr<IViewerSession> session;
    ASSERT_HR(S_OK, lookup->GetViewerSession(session.put()));
    LONG flag = 1, handle = 0, layer = 0;
    ExpectSlot(session.get(), 3, "IViewerSession::GetViewHandle", GUID_3DViewKind, &flag, &handle);
    ExpectSlot(session.get(), 7, "IViewerSession::GetDocument", LONG(5), &iid_of<IPdfDocument>, Hold());

    auto* pdf = static_cast<IPdfDocument*>(m_held.back().get());
    ASSERT_NE(nullptr, pdf);
    ExpectSlot(pdf, 31, "IPdfDocument::LoadMarkupFile", "D:\\m\\a.xml");
    ExpectSlot(pdf, 12, "IPdfDocument::GetCurrentLayer", &layer);
    ExpectSlot(pdf, 13, "IPdfDocument::UnnamedValue13", &flag);
    ExpectSlot(pdf, 39, "IPdfDocument::SetLayerReadOnly", layer, LONG(1));

    ComPtr<IViewerEvents> events;
    ASSERT_HR(S_OK, pdf->QueryInterface(IID_PPV(events.put())));
    ComPtr<IUnknown> sink;  // any object serves: the viewer only keeps it
    ASSERT_HR(S_OK, session->QueryInterface(IID_PPV(sink.put())));
    ExpectSlot(events.get(), 4, "IViewerEvents::AddSink", sink.get());
    ExpectSlot(events.get(), 5, "IViewerEvents::RemoveSink", sink.get());
    events.reset();

    ExpectSlot(session.get(), 7, "IViewerSession::GetDocument", handle, &iid_of<I3DDocument>, Hold());
    auto* model = static_cast<I3DDocument*>(m_held.back().get());
    ASSERT_NE(nullptr, model);
    ExpectSlot(model, 5, "I3DDocument::LoadMarkupFile", LONG(21), "D:\\m\\b.xml");
    sink.reset();
    session.reset();
}

TEST_F(ViewerSlots, TwoDDocumentAndLayers) {
    auto* helper = Create<IAgentHelper>(CLSID_AgentHelper);
    ComPtr<I2DDocument> drawing;
    ASSERT_HR(S_OK, helper->GetDocument(3, drawing.put()));
    ComPtr<I2DLayers> layers;
    ASSERT_HR(S_OK, drawing.query(layers));
    LONG layer = 0;
    char name[32] = {};
    ExpectSlot(layers.get(), 23, "I2DLayers::LoadMarkupFile", "D:\\m\\a.xml", LONG(2));
    ExpectSlot(layers.get(), 6, "I2DLayers::GetLayer", &layer, LONG(2));
    ExpectSlot(layers.get(), 30, "I2DLayers::GetLayerName", layer, name, LONG(sizeof name));
    ExpectSlot(layers.get(), 53, "I2DLayers::SetLayerReadOnly", layer, LONG(1));

    ComPtr<IUnknown> handler;
    ASSERT_HR(S_OK, drawing->QueryInterface(IID_PPV(handler.put())));
    ExpectSlot(drawing.get(), 21, "I2DDocument::AddSaveHandler", handler.get());
    ExpectSlot(drawing.get(), 22, "I2DDocument::RemoveSaveHandler", handler.get());
    handler.reset();
    layers.reset();
    drawing.reset();
}

TEST_F(ViewerSlots, FileStreamSource) {
    auto* source = Create<IFileStreamSource>(CLSID_FileStreamSource);
    ExpectSlot(source, 3, "IFileStreamSource::OpenFile", "no-such-file.zvl");
}

}  // namespace
