// The byte layout of the double-byte ANSI code pages: which bytes open a
// character and which may follow one. Only the layout matters to the agent's
// scans, so both builds share these tables; the Windows build picks one by the
// system's code page, the native build by the tests' choice.
#pragma once

struct DoubleByteLayout {
    unsigned codePage;
    bool lead[256];
    bool trail[256];
};

// The layout of 932, 936, 949 or 950; null for any other code page, which has
// no double-byte characters.
const DoubleByteLayout* DoubleByteLayoutOf(unsigned codePage);
