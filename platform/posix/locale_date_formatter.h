// The date formatter over a C library locale's weekday and month names.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/date_formatter.h"

namespace platform {

class LocaleDateFormatter final : public DateFormatter {
  public:
    // The names of one locale, in its own encoding. Month names come in two forms: the one
    // used inside a date next to a day number (genitive in many languages) and the one that
    // stands alone; locales without the distinction give the same text twice.
    struct Names {
        std::array<std::string, 7> shortDays, longDays;  // Sunday first
        std::array<std::string, 12> shortMonths, longMonths;
        std::array<std::string, 12> shortMonthsAlone, longMonthsAlone;
    };

    explicit LocaleDateFormatter(Names names) : names_(std::move(names)) {}

    // The names of the locale `name` ("" is the user's locale as the environment names it),
    // read once; null when the locale is not installed. The process's global locale is left
    // alone.
    static std::unique_ptr<LocaleDateFormatter> ForLocale(const char* name);

    int Format(const char* picture, const SystemTime& date, char* buffer,
               int capacity) const override;

  private:
    Names names_;
};

}  // namespace platform
