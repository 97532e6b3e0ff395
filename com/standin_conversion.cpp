// Conversions between tagged values for platforms without the component system: numbers and
// texts as automation converts them in the neutral locale.
#include "com/standin_conversion.h"

#if !defined(_WIN32)

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "com/text.h"

namespace com::standin {

namespace {

BSTR AsciiToBstr(const std::string& s) {
    return AllocString(Widen(s));
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
