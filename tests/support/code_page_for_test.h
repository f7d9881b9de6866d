// The native build's ANSI code page for one test, put back afterwards. The
// Windows build takes the system's; a Windows test that needs another one
// runs in a process started with it (tests/save_dll).
#pragma once

#ifndef _WIN32

#include "platform/text/ansi_code_page.h"
#include "platform/text/native/ansi_code_page_choice.h"

#include <gtest/gtest.h>

class ScopedAnsiCodePage {
public:
    explicit ScopedAnsiCodePage(unsigned codePage) : m_previous(AnsiCodePage()) {
        EXPECT_TRUE(ChooseAnsiCodePage(codePage)) << codePage;
    }
    ~ScopedAnsiCodePage() { ChooseAnsiCodePage(m_previous); }
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;

private:
    unsigned m_previous;
};

#endif
