#include "host/text_output.h"

#include <cstdio>

#include "frame/text.h"

namespace host {

std::string EscapeForLine(std::u16string_view text) {
    std::string out;
    std::u16string plain;
    auto flush = [&] {
        out += frame::ToUtf8(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 && c != 0x7F) {
            plain.push_back(c);
            continue;
        }
        flush();
        switch (c) {
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            case u'\0': {
                std::size_t run = 1;
                while (i + run < text.size() && text[i + run] == u'\0') ++run;
                out += "\\0";
                if (run > 1) out += "*" + std::to_string(run);
                i += run - 1;
                break;
            }
            default: {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
                out += buffer;
            }
        }
    }
    flush();
    return out;
}

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    std::u16string plain;
    auto flush = [&] {
        out += frame::ToUtf8(plain);
        plain.clear();
    };
    for (const char16_t c : text) {
        if (c >= 0x20 && c != u'"' && c != u'\\' && c != 0x7F) {
            plain.push_back(c);
            continue;
        }
        flush();
        switch (c) {
            case u'"':
                out += "\\\"";
                break;
            case u'\\':
                out += "\\\\";
                break;
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            default: {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                out += buffer;
            }
        }
    }
    flush();
    return out + "\"";
}

std::string VariantTypeName(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY:
            return "VT_EMPTY";
        case VT_NULL:
            return "VT_NULL";
        case VT_I2:
            return "VT_I2";
        case VT_I4:
            return "VT_I4";
        case VT_R8:
            return "VT_R8";
        case VT_BSTR:
            return "VT_BSTR";
        case VT_BOOL:
            return "VT_BOOL";
        default:
            return "VT_" + std::to_string(vt);
    }
}

std::string StatusText(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

}  // namespace host
