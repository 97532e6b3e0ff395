#include "platform/posix/locale_date_formatter.h"

#include <langinfo.h>
#include <locale.h>

#include <chrono>
#include <cstring>
#include <string_view>

namespace platform {

namespace {

// The oldest and the latest year that the platform's date record can carry.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

bool IsValidDate(const SystemTime& date) {
    if (date.year < kFirstYear || date.year > kLastYear) return false;
    if (date.month < 1 || date.month > 12 || date.day < 1) return false;
    const std::chrono::year_month_day_last last{std::chrono::year{date.year} /
                                                std::chrono::month{date.month} / std::chrono::last};
    return date.day <= static_cast<unsigned>(last.day());
}

// The weekday of the date itself (0 = Sunday); the record's own field is not trusted.
int WeekdayOf(const SystemTime& date) {
    const std::chrono::year_month_day ymd{
        std::chrono::year{date.year}, std::chrono::month{date.month}, std::chrono::day{date.day}};
    return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{ymd}}.c_encoding());
}

// Appends to a caller's buffer without overrunning it, counting what would have been written.
class Output {
  public:
    Output(char* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {}

    void Put(char c) {
        if (length_ < capacity_) buffer_[length_] = c;
        ++length_;
    }
    void Put(std::string_view text) {
        for (char c : text) Put(c);
    }
    // `value` in decimal, at least `width` digits.
    void Number(unsigned value, int width) {
        char digits[10];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 && n < 10);
        for (int pad = n; pad < width; ++pad) Put('0');
        while (n > 0) Put(digits[--n]);
    }

    // Terminates the text: the count with its NUL, or 0 when it did not fit.
    int Finish() {
        if (capacity_ == 0) return length_ + 1;
        if (length_ + 1 > capacity_) return 0;
        buffer_[length_] = '\0';
        return length_ + 1;
    }

  private:
    char* buffer_;
    int capacity_;
    int length_ = 0;
};

// True when the picture holds a day number ("d" or "dd" outside quotes): a month name then
// takes the form used inside a date.
bool HasDayNumber(std::string_view picture) {
    bool quoted = false;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        if (!quoted && c == 'd' && run <= 2) return true;
        i += run;
    }
    return false;
}

template <std::size_t N>
void ReadNames(locale_t loc, nl_item first, std::array<std::string, N>& names) {
    for (std::size_t k = 0; k < N; ++k) {
        const char* text = nl_langinfo_l(static_cast<nl_item>(first + static_cast<int>(k)), loc);
        names[k] = text != nullptr ? text : "";
    }
}

}  // namespace

std::unique_ptr<LocaleDateFormatter> LocaleDateFormatter::ForLocale(const char* name) {
    locale_t loc = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return nullptr;
    Names names;
    ReadNames(loc, ABDAY_1, names.shortDays);
    ReadNames(loc, DAY_1, names.longDays);
    ReadNames(loc, ABMON_1, names.shortMonths);
    ReadNames(loc, MON_1, names.longMonths);
    ReadNames(loc, _NL_ABALTMON_1, names.shortMonthsAlone);
    ReadNames(loc, ALTMON_1, names.longMonthsAlone);
    freelocale(loc);
    return std::make_unique<LocaleDateFormatter>(std::move(names));
}

int LocaleDateFormatter::Format(const char* picture, const SystemTime& date, char* buffer,
                                int capacity) const {
    if (picture == nullptr || capacity < 0 || (capacity > 0 && buffer == nullptr)) return 0;
    if (!IsValidDate(date)) return 0;

    const std::string_view text(picture);
    const bool inDate = HasDayNumber(text);
    const int weekday = WeekdayOf(date);
    const std::size_t month = date.month - 1u;
    Output out(buffer, capacity);

    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\'') {
            // Quoted text; a doubled quote inside stands for one quote.
            ++i;
            while (i < text.size()) {
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        out.Put('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out.Put(text[i++]);
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < text.size() && text[i + run] == c) ++run;
        i += run;
        switch (c) {
            case 'd':
                if (run <= 2)
                    out.Number(date.day, static_cast<int>(run));
                else
                    out.Put(run == 3 ? names_.shortDays[weekday] : names_.longDays[weekday]);
                break;
            case 'M':
                if (run <= 2)
                    out.Number(date.month, static_cast<int>(run));
                else if (run == 3)
                    out.Put(inDate ? names_.shortMonths[month] : names_.shortMonthsAlone[month]);
                else
                    out.Put(inDate ? names_.longMonths[month] : names_.longMonthsAlone[month]);
                break;
            case 'y':
                if (run <= 2)
                    out.Number(date.year % 100u, static_cast<int>(run));
                else
                    out.Number(date.year, 4);
                break;
            default:
                for (std::size_t k = 0; k < run; ++k) out.Put(c);
        }
    }
    return out.Finish();
}

const DateFormatter& UserDateFormatter() {
    // The environment does not change under a running process: the names are read once.
    static const std::unique_ptr<LocaleDateFormatter> formatter = [] {
        auto user = LocaleDateFormatter::ForLocale("");
        return user != nullptr ? std::move(user) : LocaleDateFormatter::ForLocale("C");
    }();
    return *formatter;
}

}  // namespace platform
