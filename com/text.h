// Text helpers: automation strings handed to callers, and UTF-8 / UTF-16 conversion.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace com {

// The characters of an automation string; a null string is the empty text.
inline std::u16string_view View(BSTR s) {
    if (s == nullptr) return {};
    return {reinterpret_cast<const char16_t*>(s), SysStringLen(s)};
}

// A new automation string holding `text`, or null when memory is exhausted.
inline BSTR AllocString(std::u16string_view text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                             static_cast<UINT>(text.size()));
}

// Hands a copy of `text` to the caller through `out`; E_OUTOFMEMORY leaves it null.
inline HRESULT ReturnString(std::u16string_view text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = AllocString(text);
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

// Hands a string variant holding a copy of `text` to the caller.
inline HRESULT ReturnText(std::u16string_view text, VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    VariantInit(out);
    BSTR s = AllocString(text);
    if (s == nullptr) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    out->bstrVal = s;
    return S_OK;
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);
#if defined(_WIN32)
// The platform's wide texts are UTF-16 too: the same characters, seen as either type.
inline std::u16string_view AsUtf16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}
inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::string ToUtf8(std::wstring_view wide) {
    return ToUtf8(AsUtf16(wide));
}
inline std::wstring WideFromUtf8(std::string_view text) {
    return std::wstring(AsWide(FromUtf8(text)));
}
#endif
// Plain ASCII text to UTF-16.
std::u16string Widen(std::string_view ascii);

// Compares two texts, ASCII letters without regard to case.
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace com
