#include "platform/date_formatter.h"

#include <windows.h>

namespace platform {

namespace {

class WindowsDateFormatter final : public DateFormatter {
  public:
    int Format(const char* picture, const SystemTime& date, char* buffer,
               int capacity) const override {
        const SYSTEMTIME st{date.year, date.month,  date.dayOfWeek, date.day,
                            date.hour, date.minute, date.second,    date.milliseconds};
        // Locale 0 is the neutral locale, which resolves to the user's default locale.
        return GetDateFormatA(0, 0, &st, picture, buffer, capacity);
    }
};

}  // namespace

const DateFormatter& UserDateFormatter() {
    static const WindowsDateFormatter formatter;
    return formatter;
}

}  // namespace platform
