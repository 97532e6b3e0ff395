// The properties of the Linux management service's processor class: each one's name, the group
// of sources its value comes from and the kind of its value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace platform::processor_properties {

// Where a property's value comes from: each group of sources is read when a property of the group
// is first asked for, so that a query asking one property reads only the files behind it.
enum class Source : std::uint8_t { kNone, kMachine, kCpu, kClock, kSmbios };
// What a property's value is when the system has one.
enum class Kind : std::uint8_t { kNull, kNumber, kText };

struct Property {
    std::u16string_view name;
    Source source = Source::kNone;
    Kind kind = Kind::kNull;
};

// Every property of the class; those without a source (or without a value from their source)
// read as null.
constexpr Property kProperties[] = {
    {u"AddressWidth", Source::kMachine, Kind::kNumber},
    {u"Architecture", Source::kMachine, Kind::kNumber},
    {u"AssetTag"},
    {u"Availability"},
    {u"Caption", Source::kCpu, Kind::kText},
    {u"Characteristics"},
    {u"ConfigManagerErrorCode"},
    {u"ConfigManagerUserConfig"},
    {u"CpuStatus"},
    {u"CreationClassName"},
    {u"CurrentClockSpeed", Source::kClock, Kind::kNumber},
    {u"CurrentVoltage"},
    {u"DataWidth", Source::kMachine, Kind::kNumber},
    {u"Description", Source::kCpu, Kind::kText},
    {u"DeviceID", Source::kMachine, Kind::kText},
    {u"ErrorCleared"},
    {u"ErrorDescription"},
    {u"ExtClock", Source::kSmbios, Kind::kNumber},
    {u"Family", Source::kSmbios, Kind::kNumber},
    {u"InstallDate"},
    {u"L2CacheSize"},
    {u"L2CacheSpeed"},
    {u"L3CacheSize"},
    {u"L3CacheSpeed"},
    {u"LastErrorCode"},
    {u"Level", Source::kCpu, Kind::kNumber},
    {u"LoadPercentage"},
    {u"Manufacturer", Source::kCpu, Kind::kText},
    {u"MaxClockSpeed", Source::kClock, Kind::kNumber},
    {u"Name", Source::kCpu, Kind::kText},
    {u"NumberOfCores"},
    {u"NumberOfEnabledCore"},
    {u"NumberOfLogicalProcessors"},
    {u"OtherFamilyDescription"},
    {u"PartNumber"},
    {u"PNPDeviceID"},
    {u"PowerManagementCapabilities"},
    {u"PowerManagementSupported"},
    {u"ProcessorId"},
    {u"ProcessorType", Source::kMachine, Kind::kNumber},
    {u"Revision"},
    {u"Role"},
    {u"SecondLevelAddressTranslationExtensions"},
    {u"SerialNumber"},
    {u"SocketDesignation", Source::kSmbios, Kind::kText},
    {u"Status"},
    {u"StatusInfo"},
    {u"Stepping", Source::kCpu, Kind::kText},
    {u"SystemCreationClassName"},
    {u"SystemName"},
    {u"ThreadCount"},
    {u"UniqueId"},
    {u"UpgradeMethod"},
    {u"Version", Source::kSmbios, Kind::kText},
    {u"VirtualizationFirmwareEnabled"},
    {u"VMMonitorModeExtensions"},
    {u"VoltageCaps"},
};

// The index of property `name` (as the table spells it), or the table's size.
constexpr std::size_t IndexOf(std::u16string_view name) {
    for (std::size_t i = 0; i < std::size(kProperties); ++i)
        if (kProperties[i].name == name) return i;
    return std::size(kProperties);
}

// A property the code sets, checked against the table when compiled: it is listed, as of kind
// `kKind`.
template <Kind kKind>
struct Named {
    std::size_t index;
    consteval Named(const char16_t* name) : index(IndexOf(name)) {
        if (index == std::size(kProperties) || kProperties[index].kind != kKind)
            throw "not a property of this kind";  // stops the compilation
    }
};

}  // namespace platform::processor_properties
