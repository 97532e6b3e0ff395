// Class and interface identifiers in their registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "com/com.h"

namespace com {

std::string GuidToString(const GUID& guid);

// Reads a GUID in registry form, braces optional; false when `text` is not one.
constexpr bool ParseGuid(std::string_view text, GUID* guid) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return false;
    unsigned char bytes[16] = {};
    std::size_t pos = 0;
    for (unsigned char& byte : bytes) {
        if (pos == 8 || pos == 13 || pos == 18 || pos == 23) ++pos;
        int value = 0;
        for (int k = 0; k < 2; ++k, ++pos) {
            const char c = text[pos];
            int digit = 0;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return false;
            value = value * 16 + digit;
        }
        byte = static_cast<unsigned char>(value);
    }
    guid->Data1 = (static_cast<unsigned long>(bytes[0]) << 24) | (bytes[1] << 16) |
                  (bytes[2] << 8) | bytes[3];
    guid->Data2 = static_cast<unsigned short>((bytes[4] << 8) | bytes[5]);
    guid->Data3 = static_cast<unsigned short>((bytes[6] << 8) | bytes[7]);
    for (int k = 0; k < 8; ++k) guid->Data4[k] = bytes[8 + k];
    return true;
}

// A GUID written in registry form in the code, read when compiling; a malformed one does not
// compile.
consteval GUID GuidFromText(std::string_view text) {
    GUID guid{};
    if (!ParseGuid(text, &guid)) throw "not a GUID in registry form";
    return guid;
}

}  // namespace com
