// The CPU plug-in's 56 items: names (also the display names) and the kind of store slot.
#pragma once

#include <string_view>

#include "com/com.h"

namespace cpuinfo {

constexpr LONG kItemCount = 56;

// The item's name and display name; `index` must be below kItemCount.
std::u16string_view ItemName(LONG index);

// True for the items stored as variants (empty until the first poll), false for the text items
// (the empty text until the first poll).
bool IsVariantSlot(LONG index);

}  // namespace cpuinfo
