// A buffer the viewer writes a terminated text into, read after read. It is
// kept zero beyond what the last text used, so that a host that leaves out a
// terminator still ends where it wrote, without the whole buffer cleared
// for every read (a view list's thousands of reads would clear it each time).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

template <typename Char, size_t N>
class HostTextBuffer {
public:
    HostTextBuffer() { std::fill(m_text, m_text + N, Char(0)); }
    HostTextBuffer(const HostTextBuffer&) = delete;
    HostTextBuffer& operator=(const HostTextBuffer&) = delete;

    static constexpr size_t Size() { return N; }
    // Clears what the last text used and hands the buffer out; until Used
    // says otherwise, the host may have written all of it.
    Char* Prepare() {
        std::fill(m_text, m_text + m_nUsed, Char(0));
        m_nUsed = N;
        return m_text;
    }
    // The text's length, at most N, as the caller found it; its terminator
    // is the last unit that needs clearing.
    void Used(size_t length) { m_nUsed = std::min(length + 1, N); }
    size_t Length() {
        size_t length = 0;
        if constexpr (sizeof(Char) == 1) {
            const void* end = std::memchr(m_text, 0, N);
            length = end ? static_cast<size_t>(static_cast<const Char*>(end) - m_text) : N;
        } else {
            while (length < N && m_text[length] != 0) ++length;
        }
        Used(length);
        return length;
    }
    const Char* Text() const { return m_text; }

private:
    Char m_text[N];
    size_t m_nUsed = 0;
};
