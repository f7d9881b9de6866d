
#include "viewer/sim/profile_reader.h"

#include <vector>

namespace nuvsim {
namespace {

// Values are read whole up to this length; a longer one is cut here.
constexpr size_t kMaxValueChars = 1u << 20;
constexpr size_t kFirstBufferChars = 1024;

// GetPrivateProfileStringW looks a bare file name up in the Windows folder.
WideText AbsolutePath(const WideText& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<WCHAR> full(needed);
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    return written == 0 || written >= needed ? path : WideText(full.data(), written);
}

}  // namespace

WideText ReadProfileText(const std::string& file, const WideText& section, const WideText& key) {
    if (file.empty() || key.empty()) return {};
    const WideText path = AbsolutePath(AnsiToWideText(file));
    std::vector<WCHAR> buffer(kFirstBufferChars);
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                                      static_cast<DWORD>(buffer.size()), path.c_str());
        // A value that fills the buffer may have been cut: read again with more room.
        if (length + 1 < buffer.size() || buffer.size() >= kMaxValueChars) return WideText(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

// The system's profile functions check the file themselves.
void ForgetProfileReads() {}

}  // namespace nuvsim
