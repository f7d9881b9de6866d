// The debug output channel: a monitor owns a shared buffer and two events;
// a program's OutputDebugString waits until the buffer is free, writes its
// process id and the text into it, and signals that data is ready.
#include "viewer/host/debug_output_capture.h"

#include "platform/system/win32/kernel_handle.h"
#include "platform/com/unique_resource.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace host {
namespace {

struct ViewTraits {
    using Handle = const void*;
    static constexpr Handle kEmpty = nullptr;
    static void Close(Handle view) { UnmapViewOfFile(view); }
};
using UniqueView = UniqueResource<ViewTraits>;

constexpr DWORD kBufferBytes = 4096;
constexpr DWORD kPollMs = 50;
constexpr char kBufferReady[] = "DBWIN_BUFFER_READY";
constexpr char kDataReady[] = "DBWIN_DATA_READY";
constexpr char kBuffer[] = "DBWIN_BUFFER";

}  // namespace

struct DebugOutputCapture::Channel {
    UniqueKernelHandle bufferReady;
    UniqueKernelHandle dataReady;
    UniqueKernelHandle mapping;
    UniqueView view;
    std::atomic<bool> stopping{false};
    std::string text;
    std::thread reader;

    // Takes each text the channel hands over until stopped, then what is
    // still waiting.
    void Read() {
        const DWORD self = GetCurrentProcessId();
        SetEvent(bufferReady.get());
        for (;;) {
            const bool stop = stopping.load();
            if (WaitForSingleObject(dataReady.get(), stop ? 0 : kPollMs) != WAIT_OBJECT_0) {
                if (stop) return;
                continue;
            }
            const auto* buffer = static_cast<const char*>(view.get());
            DWORD pid = 0;
            std::memcpy(&pid, buffer, sizeof pid);
            if (pid == self) text.append(buffer + sizeof pid, strnlen(buffer + sizeof pid, kBufferBytes - sizeof pid));
            SetEvent(bufferReady.get());
        }
    }
};

DebugOutputCapture::DebugOutputCapture() {
    auto channel = std::make_unique<Channel>();
    *channel->bufferReady.put() = CreateEventA(nullptr, FALSE, FALSE, kBufferReady);
    if (channel->bufferReady && GetLastError() == ERROR_ALREADY_EXISTS) {
        m_problem = "another debug output viewer is running; the agent's lines went to it";
        return;
    }
    *channel->dataReady.put() = CreateEventA(nullptr, FALSE, FALSE, kDataReady);
    *channel->mapping.put() =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferBytes, kBuffer);
    if (channel->mapping) *channel->view.put() = MapViewOfFile(channel->mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!channel->bufferReady || !channel->dataReady || !channel->view) {
        m_problem = "the debug output channel could not be opened (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    Channel* reading = channel.get();
    channel->reader = std::thread([reading] { reading->Read(); });
    m_channel = std::move(channel);
}

DebugOutputCapture::~DebugOutputCapture() { Finish(); }

std::vector<std::string> DebugOutputCapture::Finish() {
    if (!m_channel) return {};
    m_channel->stopping = true;
    m_channel->reader.join();
    const std::string text = std::move(m_channel->text);
    m_channel.reset();
    return TextLines(text);
}

}  // namespace host
