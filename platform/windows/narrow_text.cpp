#include "platform/narrow_text.h"

#include <windows.h>

namespace platform {

int AnsiCode(char16_t c) {
    // A character the code page lacks becomes its default character; a double-byte character
    // reads as lead byte * 256 + trail byte, taken as a signed 16-bit number.
    const wchar_t wide = static_cast<wchar_t>(c);
    char bytes[4] = {};
    const int n = WideCharToMultiByte(CP_ACP, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0) return 0;
    if (n == 1) return static_cast<unsigned char>(bytes[0]);
    return static_cast<short>((static_cast<unsigned char>(bytes[0]) << 8) |
                              static_cast<unsigned char>(bytes[1]));
}

std::string ToNarrow(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), n, nullptr, nullptr);
    return out;
}

std::u16string FromNarrow(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                            n);
    return out;
}

}  // namespace platform
