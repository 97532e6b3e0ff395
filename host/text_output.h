// How lcdhost writes item texts: escaped for a terminal line, or as JSON.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace host {

// UTF-8 for one terminal line: control characters as escapes (\n, \t, \0, \xNN); a run of
// NUL characters as \0*N.
std::string EscapeForLine(std::u16string_view text);

// A JSON string literal, quotes included.
std::string JsonString(std::u16string_view text);

// The name of a variant type, e.g. "VT_BSTR".
std::string VariantTypeName(VARTYPE vt);

// "0x800A0005"
std::string StatusCode(HRESULT hr);

// The words for a status lcdhost knows ("invalid use of null"); empty for any other.
std::string_view StatusWords(HRESULT hr);

// A failing status as lcdhost reports it: its words, then its code ("invalid use of null
// (0x800A005E)"); on Windows the words are the system's message where it has one. A status
// without words is its code alone.
std::string StatusText(HRESULT hr);

}  // namespace host
