#include "viewer/host/hresult_text.h"

#include <array>
#include <cstdio>

namespace host {
namespace {
struct NamedResult {
    uint32_t code;
    const char* name;
};
constexpr std::array kNames = {
    NamedResult{0x00000000u, "S_OK"},          NamedResult{0x00000001u, "S_FALSE"},
    NamedResult{0x80004001u, "E_NOTIMPL"},     NamedResult{0x80004002u, "E_NOINTERFACE"},
    NamedResult{0x80004003u, "E_POINTER"},     NamedResult{0x80004005u, "E_FAIL"},
    NamedResult{0x80070057u, "E_INVALIDARG"},  NamedResult{0x8007000Eu, "E_OUTOFMEMORY"},
    NamedResult{0x80040154u, "REGDB_E_CLASSNOTREG"}, NamedResult{0x800401F3u, "CO_E_CLASSSTRING"},
    NamedResult{0x8007007Eu, "ERROR_MOD_NOT_FOUND"}, NamedResult{0x80070002u, "ERROR_FILE_NOT_FOUND"},
};
}  // namespace

std::string HresultText(HRESULT hr) {
    const auto code = static_cast<uint32_t>(hr);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    for (const NamedResult& named : kNames) {
        if (named.code != code) continue;
        if (code <= 1) return named.name;
        return std::string(named.name) + " (" + hex + ")";
    }
    return hex;
}

}  // namespace host
