// Numbers for the stand-in's conversions: reading texts and tagged values as numbers, and
// rounding them to whole numbers, as automation does in the neutral locale.
#include "com/standin_conversion.h"

#if !defined(_WIN32)

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace com::standin {

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool EqualsIgnoringCase(std::u16string_view text, std::string_view ascii) {
    if (text.size() != ascii.size()) return false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char16_t c = text[k];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        char a = ascii[k];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (c != static_cast<char16_t>(a)) return false;
    }
    return true;
}

// Parses the text of a number as automation does in the neutral locale: blanks around it, an
// optional sign, digits with an optional decimal point and exponent, or &H / &O radix forms.
HRESULT ParseNumber(BSTR text, Number* out, bool allowBoolWords) {
    std::u16string_view s(text == nullptr ? u"" : text, SysStringLen(text));
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    if (allowBoolWords) {
        if (EqualsIgnoringCase(s, "true")) return *out = Number{true, -1, 0}, S_OK;
        if (EqualsIgnoringCase(s, "false")) return *out = Number{true, 0, 0}, S_OK;
    }
    if (s.empty()) return DISP_E_TYPEMISMATCH;
    std::string narrow;
    for (char16_t c : s) {
        if (c > 127) return DISP_E_TYPEMISMATCH;
        narrow.push_back(static_cast<char>(c));
    }
    if (narrow.size() > 2 && narrow[0] == '&' &&
        (narrow[1] == 'H' || narrow[1] == 'h' || narrow[1] == 'O' || narrow[1] == 'o')) {
        const int base = (narrow[1] == 'H' || narrow[1] == 'h') ? 16 : 8;
        errno = 0;
        char* end = nullptr;
        const unsigned long long v = std::strtoull(narrow.c_str() + 2, &end, base);
        if (*end != '\0' || narrow[2] == '-' || narrow[2] == '+') return DISP_E_TYPEMISMATCH;
        if (errno == ERANGE || v > 0xFFFFFFFFull) return DISP_E_OVERFLOW;
        // Radix forms are 16- or 32-bit patterns, read as signed.
        long long value = static_cast<long long>(v);
        if (v <= 0xFFFF && v > 0x7FFF)
            value = static_cast<short>(v);
        else if (v > 0x7FFFFFFF)
            value = static_cast<int>(static_cast<unsigned>(v));
        *out = Number{true, value, 0};
        return S_OK;
    }
    for (char c : narrow) {
        const bool ok =
            (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
        if (!ok) return DISP_E_TYPEMISMATCH;
    }
    const bool plainInteger = narrow.find_first_of(".eE") == std::string::npos;
    errno = 0;
    char* end = nullptr;
    if (plainInteger) {
        const long long v = std::strtoll(narrow.c_str(), &end, 10);
        if (end != narrow.c_str() + narrow.size() || end == narrow.c_str())
            return DISP_E_TYPEMISMATCH;
        if (errno != ERANGE) return *out = Number{true, v, 0}, S_OK;
    }
    errno = 0;
    const double d = std::strtod(narrow.c_str(), &end);
    if (end != narrow.c_str() + narrow.size() || end == narrow.c_str()) return DISP_E_TYPEMISMATCH;
    if (errno == ERANGE && std::isinf(d)) return DISP_E_OVERFLOW;
    *out = Number{false, 0, d};
    return S_OK;
}

}  // namespace

HRESULT ToNumber(const VARIANT& v, Number* out) {
    switch (v.vt) {
        case VT_EMPTY:
            *out = Number{};
            return S_OK;
        case VT_I2:
            *out = Number{true, v.iVal, 0};
            return S_OK;
        case VT_I4:
            *out = Number{true, v.lVal, 0};
            return S_OK;
        case VT_INT:
            *out = Number{true, v.intVal, 0};
            return S_OK;
        case VT_I1:
            *out = Number{true, static_cast<signed char>(v.cVal), 0};
            return S_OK;
        case VT_UI1:
            *out = Number{true, v.bVal, 0};
            return S_OK;
        case VT_UI2:
            *out = Number{true, v.uiVal, 0};
            return S_OK;
        case VT_UI4:
            *out = Number{true, v.ulVal, 0};
            return S_OK;
        case VT_UINT:
            *out = Number{true, v.uintVal, 0};
            return S_OK;
        case VT_I8:
            *out = Number{true, v.llVal, 0};
            return S_OK;
        case VT_UI8:
            if (v.ullVal > static_cast<ULONGLONG>(std::numeric_limits<long long>::max()))
                *out = Number{false, 0, static_cast<double>(v.ullVal)};
            else
                *out = Number{true, static_cast<long long>(v.ullVal), 0};
            return S_OK;
        case VT_BOOL:
            *out = Number{true, v.boolVal != 0 ? -1 : 0, 0};
            return S_OK;
        case VT_ERROR:
            *out = Number{true, v.scode, 0};
            return S_OK;
        case VT_R4:
            *out = Number{false, 0, v.fltVal};
            return S_OK;
        case VT_R8:
            *out = Number{false, 0, v.dblVal};
            return S_OK;
        case VT_BSTR:
            return ParseNumber(v.bstrVal, out, true);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

// Rounds to a whole number as automation does (half to even) and checks the range.
HRESULT ToInteger(const Number& n, long long lo, long long hi, long long* out) {
    long long value;
    if (n.integral) {
        value = n.i;
    } else {
        if (!std::isfinite(n.d)) return DISP_E_OVERFLOW;
        const double r = std::nearbyint(n.d);
        // Checked as doubles before the conversion, which is undefined out of range. The upper
        // bound is hi + 1, exclusive: 2^63 - 1 is no double and would round up to 2^63.
        if (!(r >= static_cast<double>(lo) && r < static_cast<double>(hi) + 1.0))
            return DISP_E_OVERFLOW;
        value = static_cast<long long>(r);
    }
    if (value < lo || value > hi) return DISP_E_OVERFLOW;
    *out = value;
    return S_OK;
}

}  // namespace com::standin

#endif  // !_WIN32
