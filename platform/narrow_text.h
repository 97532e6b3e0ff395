// The system's narrow (ANSI) code page: character codes and conversions.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The character's code in the narrow code page, as a signed 16-bit number would hold it.
// On Linux the narrow code page is UTF-8, so the code is above 127 exactly when the code point is.
int AnsiCode(char16_t c);

// Text to and from the narrow code page.
std::string ToNarrow(std::u16string_view text);
std::u16string FromNarrow(std::string_view text);

}  // namespace platform
