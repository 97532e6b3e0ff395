#include "platform/narrow_text.h"

#include "com/text.h"

namespace platform {

int AnsiCode(char16_t c) {
    return c;
}

std::string ToNarrow(std::u16string_view text) {
    return com::ToUtf8(text);
}

std::u16string FromNarrow(std::string_view text) {
    return com::FromUtf8(text);
}

}  // namespace platform
