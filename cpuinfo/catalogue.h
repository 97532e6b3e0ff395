// The CPU plug-in's 56 items: one row each with the name (also the display name), the kind of
// store slot and the poll step that writes the item.
#pragma once

#include <cstdint>
#include <string_view>

#include "com/com.h"

namespace cpuinfo {

constexpr LONG kItemCount = 56;

// The items, by index.
enum class Item : LONG {
    AddressWidth,
    BiosDate,
    BiosVersionAll,
    BiosVersion1,
    BiosVersion2,
    BiosVersion3,
    BiosVersion4,
    BiosVersion5,
    BiosVersion6,
    DataWidth,
    TypeSingleLine,
    CpuNameSingleLine,
    VendorLong,
    ClockSuffixed,
    VendorShort,
    CpuNameDualLine,
    ClockUnsuffixed,
    // Four wordings per instruction extension: yes/no, supported/unsupported, then each with the
    // extension's name in front.
    SseYesNo,
    SseSupported,
    SseNamedYesNo,
    SseNamedSupported,
    Sse2YesNo,
    Sse2Supported,
    Sse2NamedYesNo,
    Sse2NamedSupported,
    MmxYesNo,
    MmxSupported,
    MmxNamedYesNo,
    MmxNamedSupported,
    MmxPlusYesNo,
    MmxPlusSupported,
    MmxPlusNamedYesNo,
    MmxPlusNamedSupported,
    ThreeDNowYesNo,
    ThreeDNowSupported,
    ThreeDNowNamedYesNo,
    ThreeDNowNamedSupported,
    ThreeDNowPlusYesNo,
    ThreeDNowPlusSupported,
    ThreeDNowPlusNamedYesNo,
    ThreeDNowPlusNamedSupported,
    TypeDualLine,
    PlatformPrefixed,
    FamilyPrefixed,
    ModelPrefixed,
    SteppingPrefixed,
    Platform,
    Family,
    Model,
    Stepping,
    ClockRatio,
    BusClockSuffixed,
    BusClockUnsuffixed,
    ClockFreqSuffixed,
    ClockFreqUnsuffixed,
    SocketType,
};

constexpr LONG Index(Item item) {
    return static_cast<LONG>(item);
}
// The item `offset` places after `item`.
constexpr Item Next(Item item, std::size_t offset) {
    return static_cast<Item>(Index(item) + static_cast<LONG>(offset));
}

// How an item is stored: a variant (empty until the first poll) or a text (the empty text until
// the first poll).
enum class Slot : std::uint8_t { Variant, Text };

// The steps of a poll, in the order a poll runs them.
enum class Step : std::uint8_t {
    FirmwareVersion,
    VendorShort,
    BiosDate,
    CpuName,
    CpuDualName,
    VendorLong,
    Clock,
    ClockRatio,
    BusClock,
    ClockFreq,
    Socket,
    Extensions,
    TypeIdentifier,
    TypePieces,
    TypePrefixes,
    AddressWidth,
    DataWidth,
};
constexpr int kStepCount = static_cast<int>(Step::DataWidth) + 1;

struct ItemRow {
    Item item;
    std::u16string_view name;
    Slot slot;
    Step step;
};

// The item's row; `index` must be below kItemCount.
const ItemRow& Row(LONG index);
inline const ItemRow& Row(Item item) {
    return Row(Index(item));
}

}  // namespace cpuinfo
