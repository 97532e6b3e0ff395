// Conversions between tagged values for platforms without the component system: numbers and
// texts as automation converts them in the neutral locale.
#include "com/standin_conversion.h"

#if !defined(_WIN32)

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace com::standin {

namespace {

// A number on its way between two types: integers stay exact, the rest is double.
struct Number {
    bool integral = true;
    long long i = 0;
    double d = 0.0;
    double AsDouble() const { return integral ? static_cast<double>(i) : d; }
};

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

BSTR AsciiToBstr(const std::string& s) {
    std::u16string wide(s.begin(), s.end());
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// Writes a double the way automation does: up to `digits` significant digits, no exponent for
// ordinary magnitudes, "E+nn" style otherwise.
std::string FormatDouble(double d, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, d);
    std::string s(buffer);
    const auto e = s.find('E');
    if (e != std::string::npos) {
        // Drop leading zeros of the exponent beyond two digits ("1E+020" -> "1E+20").
        std::string mantissa = s.substr(0, e), exponent = s.substr(e + 2);
        while (exponent.size() > 2 && exponent.front() == '0') exponent.erase(0, 1);
        s = mantissa + "E" + s[e + 1] + exponent;
    }
    return s;
}

HRESULT ToText(const VARIANT& v, USHORT flags, BSTR* out) {
    switch (v.vt) {
        case VT_EMPTY:
            *out = SysAllocStringLen(u"", 0);
            break;
        case VT_BSTR:
            *out =
                SysAllocStringLen(v.bstrVal == nullptr ? u"" : v.bstrVal, SysStringLen(v.bstrVal));
            break;
        case VT_BOOL:
            if ((flags & VARIANT_ALPHABOOL) != 0)
                *out = AsciiToBstr(v.boolVal != 0 ? "True" : "False");
            else
                *out = AsciiToBstr(v.boolVal != 0 ? "-1" : "0");
            break;
        case VT_R4:
            *out = AsciiToBstr(FormatDouble(v.fltVal, 7));
            break;
        case VT_R8:
            *out = AsciiToBstr(FormatDouble(v.dblVal, 15));
            break;
        default: {
            Number n;
            const HRESULT hr = ToNumber(v, &n);
            if (FAILED(hr)) return hr;
            *out = AsciiToBstr(n.integral ? std::to_string(n.i) : FormatDouble(n.d, 15));
            break;
        }
    }
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

// The range of the integer type `vt`; lo above hi for a type that is no integer.
struct IntegerRange {
    long long lo = 1, hi = 0;
};
constexpr IntegerRange RangeOf(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
            return {INT8_MIN, INT8_MAX};
        case VT_I2:
            return {INT16_MIN, INT16_MAX};
        case VT_I4:
        case VT_INT:
            return {INT32_MIN, INT32_MAX};
        case VT_I8:
            return {INT64_MIN, INT64_MAX};
        case VT_UI1:
            return {0, UINT8_MAX};
        case VT_UI2:
            return {0, UINT16_MAX};
        case VT_UI4:
        case VT_UINT:
            return {0, UINT32_MAX};
        case VT_UI8:
            return {0, INT64_MAX};
        default:
            return {};
    }
}

// Stores a whole number within the range of the integer type `vt`.
void StoreInteger(long long i, VARTYPE vt, VARIANT* out) {
    switch (vt) {
        case VT_I1:
            out->cVal = static_cast<CHAR>(i);
            break;
        case VT_I2:
            out->iVal = static_cast<SHORT>(i);
            break;
        case VT_I4:
            out->lVal = static_cast<LONG>(i);
            break;
        case VT_INT:
            out->intVal = static_cast<INT>(i);
            break;
        case VT_I8:
            out->llVal = i;
            break;
        case VT_UI1:
            out->bVal = static_cast<BYTE>(i);
            break;
        case VT_UI2:
            out->uiVal = static_cast<USHORT>(i);
            break;
        case VT_UI4:
            out->ulVal = static_cast<ULONG>(i);
            break;
        case VT_UINT:
            out->uintVal = static_cast<UINT>(i);
            break;
        default:  // VT_UI8
            out->ullVal = static_cast<ULONGLONG>(i);
            break;
    }
}

// Writes `n` as the numeric or boolean type `vt`.
HRESULT FromNumber(const Number& n, VARTYPE vt, VARIANT* out) {
    switch (vt) {
        case VT_R4: {
            const double d = n.AsDouble();
            if (std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
            out->fltVal = static_cast<float>(d);
            return S_OK;
        }
        case VT_R8:
            out->dblVal = n.AsDouble();
            return S_OK;
        case VT_BOOL:
            out->boolVal = n.AsDouble() != 0.0 ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        default:
            break;
    }
    const IntegerRange range = RangeOf(vt);
    if (range.lo > range.hi) return DISP_E_TYPEMISMATCH;
    long long i = 0;
    const HRESULT hr = ToInteger(n, range.lo, range.hi, &i);
    if (FAILED(hr)) return hr;
    StoreInteger(i, vt, out);
    return S_OK;
}

}  // namespace

HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out) {
    VariantInit(out);
    if (src.vt == VT_NULL) {
        if (vt == VT_NULL) return out->vt = VT_NULL, S_OK;
        return DISP_E_TYPEMISMATCH;
    }
    if (vt == VT_EMPTY) return S_OK;
    if (vt == VT_BSTR) {
        const HRESULT hr = ToText(src, flags, &out->bstrVal);
        if (SUCCEEDED(hr)) out->vt = VT_BSTR;
        return hr;
    }
    if (vt == src.vt && vt != VT_DISPATCH && vt != VT_UNKNOWN) return VariantCopy(out, &src);

    Number n;
    HRESULT hr = ToNumber(src, &n);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = FromNumber(n, vt, out))) return hr;
    out->vt = vt;
    return S_OK;
}

}  // namespace com::standin

#endif  // !_WIN32
