// The user's regional settings that the plug-ins format with.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class RegionalSettings {
  public:
    virtual std::u16string TimeSeparator() const = 0;
    virtual std::u16string DecimalSeparator() const = 0;

  protected:
    ~RegionalSettings() = default;
};

// The current user's settings; ":" and "." where the platform names none.
const RegionalSettings& UserRegionalSettings();

// The separator between hours and minutes in a C library time format ("%H:%M:%S" gives ":",
// "%H.%M.%S" gives "."); empty when the format names none.
std::string TimeSeparatorOfFormat(std::string_view format);

}  // namespace platform
