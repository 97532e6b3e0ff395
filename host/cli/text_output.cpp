#include "host/cli/text_output.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include <nlohmann/json.hpp>

#include "com/text.h"

namespace host {

namespace {

enum class Style { kLine, kJson };

// Writes `text` as UTF-8 with the characters that `style` cannot show as they are escaped.
// Both styles write line feed, carriage return and tab as \n, \r and \t; a line shows other
// control characters as \xNN and a run of NULs as \0*N; JSON escapes quotes and backslashes
// too and writes other control characters as \uNNNN.
std::string Escape(std::u16string_view text, Style style) {
    const bool json = style == Style::kJson;
    std::string out;
    std::u16string plain;
    auto flush = [&] {
        out += com::ToUtf8(plain);
        plain.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool special = c < 0x20 || c == 0x7F || (json && (c == u'"' || c == u'\\'));
        if (!special) {
            plain.push_back(c);
            continue;
        }
        flush();
        char buffer[8];
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
            case u'"':
                out += "\\\"";
                break;
            case u'\\':
                out += "\\\\";
                break;
            default:
                if (!json && c == u'\0') {
                    std::size_t run = 1;
                    while (i + run < text.size() && text[i + run] == u'\0') ++run;
                    out += "\\0";
                    if (run > 1) out += "*" + std::to_string(run);
                    i += run - 1;
                    break;
                }
                std::snprintf(buffer, sizeof buffer, json ? "\\u%04x" : "\\x%02X",
                              static_cast<unsigned>(c));
                out += buffer;
        }
    }
    flush();
    return out;
}

}  // namespace

std::string EscapeForLine(std::u16string_view text) {
    return Escape(text, Style::kLine);
}

std::string Padded(std::u16string_view text, std::size_t width) {
    std::string line = EscapeForLine(text);
    line.resize(std::max(width, line.size()), ' ');
    return line;
}

std::string JsonString(std::u16string_view text) {
    // nlohmann's encoder, with two differences kept from the format lcdhost has always
    // written: backspace and form feed go as \u0008 and \u000c (not \b and \f), and DEL as
    // \u007f. Runs between those characters go through the encoder without its quotes.
    std::string out = "\"";
    std::size_t start = 0;
    auto encode = [&](std::size_t end) {
        if (end == start) return;
        const std::string run = nlohmann::json(com::ToUtf8(text.substr(start, end - start))).dump();
        out.append(run, 1, run.size() - 2);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\b' && c != u'\f' && c != 0x7F) continue;
        encode(i);
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
        out += buffer;
        start = i + 1;
    }
    encode(text.size());
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

}  // namespace host
