// The date items: their names and how each value is formed from the stored poll time.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"
#include "platform/date_formatter.h"
#include "platform/local_time.h"

namespace date {

inline constexpr LONG kItemCount = 29;

// The item's name below the plug-in's name, e.g. "Custom\Day Short"; empty out of range.
std::u16string_view ItemName(LONG index);

// The picture that item `index` is formatted with; null for the day suffix and out of range.
const char* ItemPicture(LONG index);

// The value of item `index` for the date `poll`: the formatter's text for the item's picture,
// with the built-in English name where the locale's name holds a character above 127, spaces
// trimmed; "Error" where no value can be formed. Fails only when the year of item 9 is not a
// number.
HRESULT FormatItem(LONG index, const platform::SystemTime& poll,
                   const platform::DateFormatter& formatter, std::u16string& text);

}  // namespace date
