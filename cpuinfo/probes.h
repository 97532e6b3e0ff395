// The CPU plug-in's reads of the platform: one registry text, and one processor fact from the
// management service.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"
#include "platform/management.h"
#include "platform/registry.h"

namespace cpuinfo {

// Size of the buffer a registry value is read into, and how much of it the registry is offered.
constexpr std::size_t kRegBufferChars = 250;
constexpr unsigned long kRegOfferedBytes = 198;

// Reads value `name` of `key` below the local-machine root. A read that succeeds gives the
// 250-character buffer: the value's characters, the NULs after them, blanks to 250 should the
// conversion from the narrow code page yield fewer characters. A key that cannot be opened gives
// "Failure:Open", a value that cannot be read the platform's error code in decimal. Fails only
// when a registry call itself is not available (a negative result).
HRESULT ReadRegString(platform::Registry& registry, std::u16string_view key,
                      std::u16string_view name, std::u16string* result);

// Selectors of the management query.
enum Win32Selector : short {
    kAddressWidth = 0,
    kArchitecture = 1,
    kCurrentClockSpeed = 8,
    kDataWidth = 10,
    kFamily = 16,
    kLevel = 21,
    kSocketDesignation = 34,
    kStepping = 37,
    kVersion = 42,
    kClockMultiplier = 51,
    kFrontSideBus = 52,
    kClockFrequency = 53,
};

// One fact about the processor from the "Win32_Processor" instances, as display text (the last
// instance's answer; the empty text for no instance, an unlisted selector or a null property).
// Fails when the service cannot be queried or a value cannot be converted.
HRESULT Win32Processor(platform::ManagementService& service, short selector,
                       std::u16string* result);

}  // namespace cpuinfo
