#include "date/date_items.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "com/errors.h"
#include "date/calendar_names.h"
#include "frame/plugin_object.h"
#include "platform/narrow_text.h"

namespace date {

namespace {

// What stands in for the locale's text when it holds a character above 127, and the two
// items with rules of their own.
enum class Rule {
    Plain,       // the formatter's text as it is
    DayShort,    // English weekday abbreviation
    DayLong,     // English weekday name
    MonthShort,  // English month abbreviation
    MonthLong,   // English month name
    DayFirst,    // day, month abbreviation, year
    MonthFirst,  // month abbreviation, day, year
    Year2k,      // "2k" and the year within the century as a number
    Suffix,      // the English ordinal suffix of the day; no formatter
};

struct Item {
    std::u16string_view name;
    const char* picture;
    Rule rule;
    char16_t separator;  // between the parts of a fallback layout
    int yearDigits;      // of a fallback layout
};

constexpr std::array<Item, kItemCount> kItems = {{
    {u"Custom\\Day 2 digit with leading", "dd", Rule::Plain, 0, 0},
    {u"Custom\\Day 2 digit with no leading", "d", Rule::Plain, 0, 0},
    {u"Custom\\Day Short", "ddd", Rule::DayShort, 0, 0},
    {u"Custom\\Day Long", "ddddd", Rule::DayLong, 0, 0},
    {u"Custom\\Month 2 digit", "MM", Rule::Plain, 0, 0},
    {u"Custom\\Month Short", "MMM", Rule::MonthShort, 0, 0},
    {u"Custom\\Month Long", "MMMM", Rule::MonthLong, 0, 0},
    {u"Custom\\Year Short", "yy", Rule::Plain, 0, 0},
    {u"Custom\\Year Long", "yyyy", Rule::Plain, 0, 0},
    {u"Custom\\Year 2K", "yy", Rule::Year2k, 0, 0},
    {u"Custom\\day suffix", nullptr, Rule::Suffix, 0, 0},
    {u"Predefined\\2 digit dmy\\dd-mm-yy", "dd-MM-yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dmy\\mm-dd-yy", "MM-dd-yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dmy\\dd/mm/yy", "dd/MM/yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dmy\\mm/dd/yy", "MM/dd/yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dmy\\dd mm yy", "dd MM yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dmy\\mm dd yy", "MM dd yy", Rule::Plain, 0, 0},
    {u"Predefined\\2 digit dy & char m\\dd-mmm-yy", "dd-MMM-yy", Rule::DayFirst, u'-', 2},
    {u"Predefined\\2 digit dy & char m\\mmm-dd-yy", "MMM-dd-yy", Rule::MonthFirst, u'-', 2},
    {u"Predefined\\2 digit dy & char m\\dd/mmm/yy", "dd/MMM/yy", Rule::DayFirst, u'/', 2},
    {u"Predefined\\2 digit dy & char m\\mmm/dd/yy", "MMM/dd/yy", Rule::MonthFirst, u'/', 2},
    {u"Predefined\\2 digit dy & char m\\dd mmm yy", "dd MMM yy", Rule::DayFirst, u' ', 2},
    {u"Predefined\\2 digit dy & char m\\mmm dd yy", "MMM dd yy", Rule::MonthFirst, u' ', 2},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\dd-mmm-yyyy", "dd-MMM-yyyy", Rule::DayFirst, u'-',
     4},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\mmm-dd-yyyy", "MMM-dd-yyyy", Rule::MonthFirst,
     u'-', 4},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\dd/mmm/yyyy", "dd/MMM/yyyy", Rule::DayFirst, u'/',
     4},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\mmm/dd/yyyy", "MMM/dd/yyyy", Rule::MonthFirst,
     u'/', 4},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\dd mmm yyyy", "dd MMM yyyy", Rule::DayFirst, u' ',
     4},
    {u"Predefined\\2 digit d, char m, 4 digit Y\\mmm dd yyyy", "MMM dd yyyy", Rule::MonthFirst,
     u' ', 4},
}};

// The output buffer of one Value call: 50 characters, spaces where nothing was written.
constexpr int kBufferLength = 50;

class Buffer {
  public:
    Buffer() { chars_.fill(u' '); }
    void Set(std::u16string_view text) {
        chars_.fill(u' ');
        std::copy_n(text.begin(), std::min<std::size_t>(text.size(), chars_.size()),
                    chars_.begin());
    }
    std::u16string_view All() const { return {chars_.data(), chars_.size()}; }
    // The text without the filler spaces (and without spaces of its own at either end).
    std::u16string_view Trimmed() const {
        const std::u16string_view all = All();
        const auto first = all.find_first_not_of(u' ');
        if (first == std::u16string_view::npos) return {};
        return all.substr(first, all.find_last_not_of(u' ') - first + 1);
    }

  private:
    std::array<char16_t, kBufferLength> chars_;
};

void AppendNumber(std::u16string& text, unsigned value, int width) {
    char16_t digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 10);
    for (int pad = n; pad < width; ++pad) text += u'0';
    while (n > 0) text += digits[--n];
}

// The English layout of items 17 to 28; day, month and year all from the stored poll time.
std::u16string FallbackLayout(const Item& item, const platform::SystemTime& poll) {
    std::u16string day, year, text;
    AppendNumber(day, poll.day, 2);
    AppendNumber(year, item.yearDigits == 2 ? poll.year % 100u : poll.year, item.yearDigits);
    const std::u16string_view month = MonthShort(poll.month);
    if (item.rule == Rule::DayFirst)
        text.append(day).append(1, item.separator).append(month);
    else
        text.append(month).append(1, item.separator).append(day);
    return text.append(1, item.separator).append(year);
}

std::u16string Fallback(const Item& item, const platform::SystemTime& poll) {
    switch (item.rule) {
        case Rule::DayShort:
            return std::u16string(DayShort(poll.dayOfWeek));
        case Rule::DayLong:
            return std::u16string(DayLong(poll.dayOfWeek));
        case Rule::MonthShort:
            return std::u16string(MonthShort(poll.month));
        case Rule::MonthLong:
            return std::u16string(MonthLong(poll.month));
        case Rule::DayFirst:
        case Rule::MonthFirst:
            return FallbackLayout(item, poll);
        default:
            return {};
    }
}

// "2k" and the digits read as a number: 03 gives 2k3.
HRESULT Year2k(std::u16string_view digits, std::u16string& text) {
    if (digits.empty()) return com::kTypeMismatch;
    unsigned value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return com::kTypeMismatch;
        value = value * 10 + static_cast<unsigned>(c - u'0');
        if (value > 32767) return com::kOverflow;
    }
    text = u"2k";
    AppendNumber(text, value, 1);
    return S_OK;
}

}  // namespace

std::u16string_view ItemName(LONG index) {
    if (!frame::InRange(index, kItemCount)) return {};
    return kItems[static_cast<std::size_t>(index)].name;
}

const char* ItemPicture(LONG index) {
    if (!frame::InRange(index, kItemCount)) return nullptr;
    return kItems[static_cast<std::size_t>(index)].picture;
}

HRESULT FormatItem(LONG index, const platform::SystemTime& poll,
                   const platform::DateFormatter& formatter, std::u16string& text) {
    Buffer buffer;
    int count = 0;
    if (frame::InRange(index, kItemCount)) {
        const Item& item = kItems[static_cast<std::size_t>(index)];
        if (item.rule == Rule::Suffix) {
            count = 1;
            buffer.Set(DaySuffix(poll.day));
        } else {
            char narrow[kBufferLength];
            count = formatter.Format(item.picture, poll, narrow, kBufferLength);
            if (count > 0) {
                const std::size_t length =
                    strnlen(narrow, static_cast<std::size_t>(std::min(count, kBufferLength)));
                buffer.Set(platform::FromNarrow(std::string_view(narrow, length)));
                if (item.rule == Rule::Year2k) {
                    std::u16string year;
                    const HRESULT hr = Year2k(buffer.Trimmed(), year);
                    if (FAILED(hr)) return hr;
                    buffer.Set(year);
                } else if (item.rule != Rule::Plain &&
                           frame::HasCharAbove127(buffer.All()) == VARIANT_TRUE) {
                    buffer.Set(Fallback(item, poll));
                }
            }
        }
    }
    if (count > 0)
        text.assign(buffer.Trimmed());
    else
        text.assign(u"Error");
    return S_OK;
}

}  // namespace date
