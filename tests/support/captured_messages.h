// The messages the agent shows, captured instead of shown for as long as the
// object lives: no box waits for a user, in either build.
#pragma once

#include "platform/com.h"
#include "platform/launch.h"

#include <string>
#include <vector>

class CapturedMessages {
public:
    CapturedMessages() {
        Texts().clear();
        SetMessageHook(Record);
    }
    ~CapturedMessages() { SetMessageHook(nullptr); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    static std::vector<std::string>& Texts() {
        static std::vector<std::string> texts;
        return texts;
    }

private:
    static int Record(const std::string& text) {
        Texts().push_back(text);
        return IDOK;
    }
};
