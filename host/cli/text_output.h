// How lcdhost writes item texts: escaped for a terminal line, or as JSON, with their types.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace host {

// UTF-8 for one terminal line: control characters as escapes (\n, \t, \0, \xNN); a run of
// NUL characters as \0*N.
std::string EscapeForLine(std::u16string_view text);

// EscapeForLine's text padded with blanks to `width` characters.
std::string Padded(std::u16string_view text, std::size_t width);

// A JSON string literal, quotes included.
std::string JsonString(std::u16string_view text);

// The name of a variant type, e.g. "VT_BSTR".
std::string VariantTypeName(VARTYPE vt);

}  // namespace host
