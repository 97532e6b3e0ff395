#include "host/text_output.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include <nlohmann/json.hpp>

#include "com/errors.h"
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

std::string StatusCode(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
    return buffer;
}

std::string_view StatusWords(HRESULT hr) {
    // The run-time errors the plug-ins report, then the component system's common statuses.
    static constexpr struct {
        HRESULT status;
        std::string_view words;
    } kWords[] = {
        {com::kInvalidCall, "invalid procedure call or argument"},
        {com::kOverflow, "overflow"},
        {com::kDivisionByZero, "division by zero"},
        {com::kTypeMismatch, "type mismatch"},
        {com::kInvalidUseOfNull, "invalid use of null"},
        {E_OUTOFMEMORY, "out of memory"},
        {E_POINTER, "invalid pointer"},
        {E_INVALIDARG, "invalid argument"},
        {E_FAIL, "unspecified error"},
        {E_NOINTERFACE, "no such interface supported"},
        {E_NOTIMPL, "not implemented"},
        {E_UNEXPECTED, "catastrophic failure"},
        {static_cast<HRESULT>(0x80070005), "access denied"},  // E_ACCESSDENIED
        {REGDB_E_CLASSNOTREG, "class not registered"},
        {static_cast<HRESULT>(0x800401F0),
         "CoInitialize has not been called"},                        // CO_E_NOTINITIALIZED
        {static_cast<HRESULT>(0x800401F3), "invalid class string"},  // CO_E_CLASSSTRING
        {static_cast<HRESULT>(0x80010106),
         "cannot change thread mode after it is set"},  // RPC_E_CHANGED_MODE
        {CLASS_E_CLASSNOTAVAILABLE, "class not available"},
        {CLASS_E_NOAGGREGATION, "class does not support aggregation"},
        {DISP_E_UNKNOWNINTERFACE, "unknown interface"},
        {DISP_E_MEMBERNOTFOUND, "member not found"},
        {DISP_E_PARAMNOTFOUND, "parameter not found"},
        {DISP_E_TYPEMISMATCH, "type mismatch"},
        {DISP_E_UNKNOWNNAME, "unknown name"},
        {DISP_E_NONAMEDARGS, "no named arguments"},
        {DISP_E_BADVARTYPE, "bad variable type"},
        {DISP_E_EXCEPTION, "exception occurred"},
        {DISP_E_OVERFLOW, "out of present range"},
        {DISP_E_BADINDEX, "invalid index"},
        {DISP_E_BADPARAMCOUNT, "invalid number of parameters"},
        {DISP_E_DIVBYZERO, "division by zero"},
    };
    for (const auto& entry : kWords)
        if (entry.status == hr) return entry.words;
    return {};
}

std::string StatusText(HRESULT hr) {
    std::string words;
#if defined(_WIN32)
    // The platform's own text where it has one (none for the run-time errors).
    wchar_t* message = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&message), 0,
                       nullptr) != 0 &&
        message != nullptr) {
        const std::wstring_view text(message);
        words = com::ToUtf8(std::u16string(text.begin(), text.end()));
        LocalFree(message);
        while (!words.empty() &&
               (words.back() == '.' || std::isspace(static_cast<unsigned char>(words.back()))))
            words.pop_back();
    }
#endif
    if (words.empty()) words = StatusWords(hr);
    return words.empty() ? StatusCode(hr) : words + " (" + StatusCode(hr) + ")";
}

}  // namespace host
