#include "platform/system/message.h"

#include "platform/com/com.h"

int ShowMessage(const std::string& text) {
    if (const TextHook hook = CurrentMessageHook()) return hook(text);
    const std::string caption = MessageCaption();
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}
