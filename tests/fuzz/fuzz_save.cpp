// Saving a markup with arbitrary paths and launch-file values, in UTF-8 or a
// double-byte code page. What must hold for every save: either a command was
// launched whose words, as the launched program receives them, are DMAgent's
// own words, MarkupSave, and the session identifier, the server file, the
// markup's file name and the application exactly as the agent read them; or
// nothing was launched and the user was shown one message. Commands are
// captured, never run.
#include "fuzz_support.h"

#include "interfaces/viewer_interfaces.h"
#include "pdm/launch_file.h"
#include "pdm/save_command.h"
#include "platform/text/codepage.h"
#include "platform/text/native/ansi_code_page_choice.h"
#include "platform/system/native/command_words.h"
#include "platform/text/paths.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

constexpr unsigned kCodePages[] = {kUtf8CodePage, 932, 936, 949, 950};

int g_launches = 0;
int g_messages = 0;
int g_launchResult = 0;
std::string g_command;

int RecordLaunch(const std::string& command) {
    ++g_launches;
    g_command = command;
    return g_launchResult;
}

int RecordMessage(const std::string&) {
    ++g_messages;
    return 0;
}

// Raw bytes seldom make a value that every check lets through; half the
// values take their ASCII bytes from what paths and the command line are made
// of, and keep the others for double-byte characters.
constexpr char kPathAlphabet[] = "aZ09 \t\\\\\\/.:&|<>^(),;=@[]{}'+~`-_";

std::string Text(FuzzedDataProvider& in, size_t maxLength) {
    const bool pathLike = in.ConsumeBool();
    std::string text = in.ConsumeRandomLengthString(maxLength);
    if (pathLike)
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 0x80) c = kPathAlphabet[static_cast<size_t>(c) % (sizeof kPathAlphabet - 1)];
    return text;
}

// Launch-file values end at a line break, and a zero ends a wide text.
std::string Value(FuzzedDataProvider& in) {
    std::string kept;
    for (char c : Text(in, 1300))
        if (c != '\n' && c != '\r' && c != '\0') kept += c;
    return kept;
}

// The launch file in wide text, so that the values' bytes reach the agent
// in whichever code page is chosen.
std::string WideFile(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (const WCHAR unit : AnsiToWide(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The values as the agent holds them, read by the agent's own record from
// the viewer's settings source.
struct ReadValues {
    std::string dmAgent, sessionId, serverPath, application;
};

ReadValues ReadAsTheAgentDoes() {
    ComPtr<IAgentHelper> helper;
    if (FAILED(NUVCoCreateInstance(CLSID_AgentHelper, nullptr, CLSCTX_INPROC_SERVER, IID_PPV(helper.put()))))
        std::abort();
    SessionRecord record;
    LaunchFileReader launchFile;
    if (FAILED(launchFile.Open(helper.get(), record))) std::abort();
    return {record.m_strDMAgent, record.m_strSessionID, record.m_strServerPath, record.m_strApplication};
}

// The name a save hands on: Windows drops the dots and blanks that end a
// name (no second byte of a character is either, in any code page here).
std::string NameAsSaved(std::string markup) {
    while (!markup.empty() && (markup.back() == '.' || markup.back() == ' ')) markup.pop_back();
    return PathFileName(markup);
}

void CheckOneSave(const ReadValues& values, const std::string& markup, HRESULT hr, int launches, int messages) {
    if (launches == 0) {
        // Refused: the user heard of it.
        if (messages != 1 || hr != E_FAIL) std::abort();
        return;
    }
    if (launches != 1) std::abort();
    if (g_launchResult != 0 ? (messages != 1 || hr != E_FAIL) : (messages != 0 || hr != S_OK)) std::abort();
    std::vector<std::string> expected = SplitCommandWords(values.dmAgent);
    for (const std::string& item : {std::string(kMarkupSaveWord), values.sessionId, values.serverPath,
                                    NameAsSaved(markup),
                                    values.application})
        expected.push_back(item);
    if (SplitCommandWords(g_command) != expected) {
        std::fprintf(stderr, "command: [%s]\n", g_command.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::BeginInput();
    SetLaunchHook(RecordLaunch);
    SetMessageHook(RecordMessage);
    ChooseAnsiCodePage(in.PickValueInArray(kCodePages));
    nuvsim::SetDocumentKind(in.ConsumeIntegralInRange<LONG>(0, 3));

    std::string launch = "[ServerFile]\nServerPath=" + Value(in) + "\nsession_id=" + Value(in) +
                         "\n[ViewList]\nDMAgent=" + Value(in) + "\nApplication=" + Value(in) + "\n";
    const int markups = in.ConsumeIntegralInRange<int>(0, 3);
    launch += "NumMarkups=" + std::to_string(markups) + "\n";
    for (int i = 0; i < markups; ++i)
        launch += "Markup" + std::to_string(i) + "=" + Value(in) + "\nMarkupAccess" + std::to_string(i) + "=" +
                  (in.ConsumeBool() ? "read" : Value(in)) + "\n";
    const std::string path = fuzz::WriteLaunchFile(WideFile(launch));
    const ReadValues values = ReadAsTheAgentDoes();

    {
        fuzz::Agent agent;
        if (SUCCEEDED(agent.Resolve(path))) {
            if (in.ConsumeBool()) agent.Session()->LoadDocumentMarkups(3);
            const int saves = in.ConsumeIntegralInRange<int>(1, 3);
            for (int i = 0; i < saves; ++i) {
                const std::string markup = Text(in, 1200);
                g_launchResult = in.ConsumeBool() ? 0 : -1;
                g_launches = g_messages = 0;
                const HRESULT hr = agent.Saver()->SaveMarkup(markup.c_str());
                CheckOneSave(values, markup.c_str(), hr, g_launches, g_messages);
            }
        }
    }
    ChooseAnsiCodePage(kUtf8CodePage);
    return 0;
}
