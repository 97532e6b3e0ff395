#include "platform/regional_settings.h"

#include <windows.h>

namespace platform {

namespace {

std::u16string LocaleText(LCTYPE type, const char16_t* fallback) {
    wchar_t buffer[16] = {};
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16);
    if (n <= 1) return fallback;
    return std::u16string(buffer, buffer + n - 1);
}

// Read on every call: the user may change the settings while the host runs.
class UserSettings final : public RegionalSettings {
  public:
    std::u16string TimeSeparator() const override { return LocaleText(LOCALE_STIME, u":"); }
    std::u16string DecimalSeparator() const override { return LocaleText(LOCALE_SDECIMAL, u"."); }
};

}  // namespace

const RegionalSettings& UserRegionalSettings() {
    static const UserSettings settings;
    return settings;
}

}  // namespace platform
