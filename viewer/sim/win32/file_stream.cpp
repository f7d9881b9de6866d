
#include "platform/com/result.h"
#include "viewer/sim/file_stream.h"
#include "viewer/sim/wide_text.h"

#include <algorithm>
#include <cstring>

namespace nuvsim {

HRESULT STDMETHODCALLTYPE StreamMethods::Read(void* data, ULONG size, ULONG* read) {
    if (read) *read = 0;
    RETURN_HR_IF(STG_E_INVALIDPOINTER, !data && size != 0);
    const uint64_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const ULONG count = static_cast<ULONG>(std::min<uint64_t>(left, size));
    if (count) std::memcpy(data, m_bytes.data() + m_position, count);
    m_position += count;
    if (read) *read = count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamMethods::Write(const void*, ULONG, ULONG* written) {
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
}

HRESULT STDMETHODCALLTYPE StreamMethods::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    int64_t base = 0;
    switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = static_cast<int64_t>(m_position); break;
        case STREAM_SEEK_END: base = static_cast<int64_t>(m_bytes.size()); break;
        default: return STG_E_INVALIDFUNCTION;
    }
    const int64_t target = base + move.QuadPart;
    RETURN_HR_IF(STG_E_INVALIDFUNCTION, target < 0);
    m_position = static_cast<uint64_t>(target);
    if (position) position->QuadPart = m_position;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamMethods::SetSize(ULARGE_INTEGER) { return STG_E_ACCESSDENIED; }

HRESULT STDMETHODCALLTYPE StreamMethods::CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                                ULARGE_INTEGER* written) {
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    RETURN_HR_IF(STG_E_INVALIDPOINTER, !target);
    const uint64_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const ULONG count = static_cast<ULONG>(std::min<uint64_t>({left, size.QuadPart, 0xFFFFFFFFu}));
    ULONG done = 0;
    const HRESULT hr = target->Write(m_bytes.data() + m_position, count, &done);
    m_position += count;
    if (read) read->QuadPart = count;
    if (written) written->QuadPart = done;
    return hr;
}

HRESULT STDMETHODCALLTYPE StreamMethods::Commit(DWORD) { return S_OK; }
HRESULT STDMETHODCALLTYPE StreamMethods::Revert() { return S_OK; }
HRESULT STDMETHODCALLTYPE StreamMethods::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}
HRESULT STDMETHODCALLTYPE StreamMethods::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT STDMETHODCALLTYPE StreamMethods::Stat(STATSTG* stat, DWORD flags) {
    RETURN_HR_IF(STG_E_INVALIDPOINTER, !stat);
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = m_bytes.size();
    stat->grfMode = STGM_READ | STGM_SHARE_DENY_NONE;
    if (flags & STATFLAG_NONAME) return S_OK;
    const WideText name = AnsiToWideText(m_fileName);
    auto* copy = static_cast<WCHAR*>(CoTaskMemAlloc((name.size() + 1) * sizeof(WCHAR)));
    RETURN_HR_IF(E_OUTOFMEMORY, !copy);
    std::memcpy(copy, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    stat->pwcsName = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StreamMethods::Clone(IStream** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace nuvsim
