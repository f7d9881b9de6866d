#include "platform/system/module_file.h"

#include "platform/com/com_ptr.h"
#include "platform/com/result.h"

#include <oleauto.h>

#include <string>
#include <vector>

namespace {

// The module's path in either character width: the system gives no length
// up front, so the buffer doubles until the path fits.
template <typename Char, typename GetFileName>
std::basic_string<Char> LookUpPath(ModuleHandle module, GetFileName getFileName) {
    std::vector<Char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            getFileName(static_cast<HMODULE>(module), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::basic_string<Char>(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::optional<ModuleHandle> StaticallyStartedModule() { return std::nullopt; }

std::string ModuleFilePath(ModuleHandle module) { return LookUpPath<char>(module, GetModuleFileNameA); }

HRESULT RegisterModuleTypeLibrary(ModuleHandle module) {
    std::wstring path = LookUpPath<wchar_t>(module, GetModuleFileNameW);
    RETURN_HR_IF(E_FAIL, path.empty());
    ComPtr<ITypeLib> typeLib;
    RETURN_IF_FAILED(typeLib.receive([&](auto out) { return LoadTypeLibEx(path.c_str(), REGKIND_NONE, out); }));
    return RegisterTypeLib(typeLib.get(), path.data(), nullptr);
}
