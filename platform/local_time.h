// The local date and time of the computer's clock.
#pragma once

#include <cstdint>

namespace platform {

// A calendar date and clock time, field for field as the platform's local time call fills it.
struct SystemTime {
    std::uint16_t year;          // four digits
    std::uint16_t month;         // 1 = January to 12 = December
    std::uint16_t dayOfWeek;     // 0 = Sunday to 6 = Saturday
    std::uint16_t day;           // day of the month, 1 to 31
    std::uint16_t hour;          // 0 to 23
    std::uint16_t minute;        // 0 to 59
    std::uint16_t second;        // 0 to 59 (60 in a leap second)
    std::uint16_t milliseconds;  // 0 to 999
};

class LocalClock {
  public:
    virtual SystemTime Now() const = 0;

  protected:
    ~LocalClock() = default;
};

// The system's clock in the user's time zone.
const LocalClock& SystemLocalClock();

}  // namespace platform
