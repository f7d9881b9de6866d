#include "platform/text/ansi_code_page.h"

#include "platform/text/double_byte_layout.h"
#include "platform/text/native/ansi_code_page_choice.h"

#include <atomic>

namespace {

// Null while UTF-8 is chosen: no byte of a UTF-8 sequence beyond the first
// can be taken for an ASCII character, so its text needs no pairing.
std::atomic<const DoubleByteLayout*> g_layout{nullptr};

}  // namespace

bool ChooseAnsiCodePage(unsigned codePage) {
    if (codePage == kUtf8CodePage) {
        g_layout = nullptr;
        return true;
    }
    const DoubleByteLayout* layout = DoubleByteLayoutOf(codePage);
    if (!layout) return false;
    g_layout = layout;
    return true;
}

unsigned AnsiCodePage() {
    const DoubleByteLayout* layout = g_layout;
    return layout ? layout->codePage : kUtf8CodePage;
}

bool IsLeadByte(unsigned char byte) {
    const DoubleByteLayout* layout = g_layout.load(std::memory_order_relaxed);
    return layout && layout->lead[byte];
}

bool IsTrailByte(unsigned char byte) {
    const DoubleByteLayout* layout = g_layout.load(std::memory_order_relaxed);
    return layout && layout->trail[byte];
}
