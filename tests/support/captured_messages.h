// The messages the agent shows, kept instead of shown while the object lives:
// no box waits for a user, in either build.
#pragma once

#include "platform/system/message.h"
#include "tests/support/effects_double.h"

#include <string>
#include <vector>

struct CapturedMessages {
    CapturedMessages() {
        Texts().clear();
        SetMessageHook(Record);
    }
    ~CapturedMessages() { SetMessageHook(nullptr); }
    static std::vector<std::string>& Texts() {
        static std::vector<std::string> texts;
        return texts;
    }
    static int Record(const std::string& text) {
        Texts().push_back(text);
        return 1;  // OK
    }
};
