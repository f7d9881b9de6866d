#include "platform/system/message.h"

#include "platform/com/com.h"

int ShowMessageBox(const std::string& caption, const std::string& text) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}
