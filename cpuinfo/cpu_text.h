// Pure text work of the CPU plug-in: the two-line layout, the firmware version entries, the short
// vendor name and the number forms of the management query.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/com.h"

namespace cpuinfo {

// Lays `source` out on two lines joined by a line feed: the text up to and including its first
// character outside the codes 32 to 126, broken at the middle blank, the shorter line centred.
// Fails with invalid procedure call when every character is printable (the empty text too).
HRESULT DualLine(std::u16string_view source, std::u16string* result);

// The NUL-terminated entries of a registry multi-text, up to the empty entry that closes it.
// Characters after the last NUL are dropped; a text without NUL has no entries.
std::vector<std::u16string> VersionTokens(std::u16string_view text);

// The entries joined, each followed by one blank.
std::u16string JoinTokens(const std::vector<std::u16string>& tokens);

// The short vendor name found in a vendor identifier ("Intel", "AMD", ...) or "unknown".
std::u16string_view VendorShort(std::u16string_view vendorIdentifier);

// A number in decimal with "." as the decimal point whatever the locale, up to 15 significant
// digits, a whole number without decimal point ("32", "13.5", "1E+20").
std::u16string NumberForm(double value);

// The number rounded to a whole number, a half away from zero, at least one digit ("##0").
std::u16string WholeNumberForm(double value);

// The text without leading and trailing blanks (code 32 only).
std::u16string_view TrimBlanks(std::u16string_view text);

}  // namespace cpuinfo
