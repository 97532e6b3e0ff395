#include "com/guid.h"

#include <cstdio>

namespace com {

std::string GuidToString(const GUID& g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

bool ParseGuid(std::string_view text, GUID* guid) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return false;
    unsigned char bytes[16];
    std::size_t pos = 0;
    for (unsigned char& byte : bytes) {
        if (pos == 8 || pos == 13 || pos == 18 || pos == 23) ++pos;
        int value = 0;
        for (int k = 0; k < 2; ++k, ++pos) {
            const char c = text[pos];
            int digit;
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

}  // namespace com
