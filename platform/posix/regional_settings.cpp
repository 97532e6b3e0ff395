#include "platform/regional_settings.h"

#include <langinfo.h>
#include <locale.h>

#include "com/text.h"

namespace platform {

namespace {

// The user's locale for one category, as the environment names it, read without touching the
// process's global locale; null when it cannot be loaded.
locale_t UserLocale(int mask) {
    locale_t loc = newlocale(mask, "", static_cast<locale_t>(0));
    return loc;
}

std::u16string ReadTimeSeparator() {
    std::u16string result = u":";
    if (locale_t loc = UserLocale(LC_TIME_MASK)) {
        const std::string sep = TimeSeparatorOfFormat(nl_langinfo_l(T_FMT, loc));
        if (!sep.empty()) result = com::FromUtf8(sep);
        freelocale(loc);
    }
    return result;
}

std::u16string ReadDecimalSeparator() {
    std::u16string result = u".";
    if (locale_t loc = UserLocale(LC_NUMERIC_MASK)) {
        const char* radix = nl_langinfo_l(RADIXCHAR, loc);
        if (radix != nullptr && *radix != '\0') result = com::FromUtf8(radix);
        freelocale(loc);
    }
    return result;
}

// The environment does not change under a running process: read the settings once.
class EnvironmentSettings final : public RegionalSettings {
  public:
    EnvironmentSettings() : time_(ReadTimeSeparator()), decimal_(ReadDecimalSeparator()) {}
    std::u16string TimeSeparator() const override { return time_; }
    std::u16string DecimalSeparator() const override { return decimal_; }

  private:
    std::u16string time_;
    std::u16string decimal_;
};

}  // namespace

const RegionalSettings& UserRegionalSettings() {
    static const EnvironmentSettings settings;
    return settings;
}

}  // namespace platform
