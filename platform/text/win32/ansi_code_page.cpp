#include "platform/text/ansi_code_page.h"

#include "platform/com/com.h"
#include "platform/text/double_byte_layout.h"

namespace {

// The system's code page is fixed for the life of the process.
const DoubleByteLayout* SystemLayout() {
    static const DoubleByteLayout* const layout = DoubleByteLayoutOf(GetACP());
    return layout;
}

}  // namespace

unsigned AnsiCodePage() { return GetACP(); }

bool IsLeadByte(unsigned char byte) {
    const DoubleByteLayout* layout = SystemLayout();
    return layout && layout->lead[byte];
}

bool IsTrailByte(unsigned char byte) {
    const DoubleByteLayout* layout = SystemLayout();
    return layout && layout->trail[byte];
}
