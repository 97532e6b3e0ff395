// The uptime items: their names and how each renders a tick count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace uptime {

constexpr int kItemCount = 26;

// The name (and display name) of item `index`, 0 to 25.
std::u16string_view ItemName(int index);

struct Separators {
    std::u16string_view time;     // between hours, minutes and seconds
    std::u16string_view decimal;  // between minutes and seconds in the ".ss" layouts
};

// The text of item `index` (0 to 25) for an uptime of `ticks` milliseconds.
std::u16string FormatItem(int index, std::uint64_t ticks, const Separators& separators);

}  // namespace uptime
