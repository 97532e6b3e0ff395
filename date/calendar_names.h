// Built-in English weekday and month names and the ordinal suffix of a day of the month.
#pragma once

#include <string_view>

namespace date {

// Weekday 0 = Sunday to 6 = Saturday; empty outside.
std::u16string_view DayShort(int day);
std::u16string_view DayLong(int day);
// Month 1 = January to 12 = December; empty outside.
std::u16string_view MonthShort(int month);
std::u16string_view MonthLong(int month);
// "st", "nd", "rd" or "th" by the fixed table of days of the month; "th" for any other value.
std::u16string_view DaySuffix(int dayOfMonth);

}  // namespace date
