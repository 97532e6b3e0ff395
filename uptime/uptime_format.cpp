#include "uptime/uptime_format.h"

#include <array>

namespace uptime {

namespace {

constexpr std::array<std::u16string_view, kItemCount> kNames = {
    u"Wendrikai\\Custom\\d accumulated",
    u"Wendrikai\\Custom\\dd accumulated",
    u"Wendrikai\\Custom\\h accumulated",
    u"Wendrikai\\Custom\\hh accumulated",
    u"Wendrikai\\Custom\\m accumulated",
    u"Wendrikai\\Custom\\mm accumulated",
    u"Wendrikai\\Custom\\s accumulated",
    u"Wendrikai\\Custom\\ss accumulated",
    u"Wendrikai\\Custom\\h part of day",
    u"Wendrikai\\Custom\\hh part of day",
    u"Wendrikai\\Custom\\m part of day",
    u"Wendrikai\\Custom\\mm part of day",
    u"Wendrikai\\Custom\\s part of day",
    u"Wendrikai\\Custom\\ss part of day",
    u"Wendrikai\\Predefined\\h accumulated :mm:ss part of day",
    u"Wendrikai\\Predefined\\h accumulated :mm.ss part of day",
    u"Wendrikai\\Predefined\\hhhh accumulated :mm:ss part of day",
    u"Wendrikai\\Predefined\\hhhh accumulated :mm.ss part of day",
    u"Wendrikai\\Predefined\\h accumulated :mm part of day",
    u"Wendrikai\\Predefined\\hhhh accumulated :mm part of day",
    u"Wendrikai\\Predefined\\d-hh:mm:ss part of day",
    u"Wendrikai\\Predefined\\d-hh:mm.ss part of day",
    u"Wendrikai\\Predefined\\dd-hh:mm:ss part of day",
    u"Wendrikai\\Predefined\\dd-hh:mm.ss part of day",
    u"Wendrikai\\Predefined\\d-hh:mm part of day",
    u"Wendrikai\\Predefined\\dd-hh:mm part of day",
};

// The quantities derived from a tick count.
enum Quantity : std::uint8_t {
    kTotalDays,
    kTotalHours,
    kTotalMinutes,
    kTotalSeconds,
    kHourOfDay,
    kMinuteOfHour,
    kSecondOfMinute,
};

// What follows a field's digits.
enum Suffix : std::uint8_t { kNone, kTime, kDecimal, kHyphen };

// One field: a quantity printed with at least `digits` digits (leading zeros), then a suffix.
// The numeric patterns map onto this: "#0", "###0" ... give 1 digit, "00" 2, "0000" 4,
// "00000" 5, "0000000" 7; a trailing ":" is the time separator, "." the decimal separator.
struct Field {
    Quantity quantity;
    std::uint8_t digits;
    Suffix suffix;
};

struct Layout {
    std::uint8_t count;
    std::array<Field, 4> fields;
};

constexpr std::array<Layout, kItemCount> kLayouts = {{
    {1, {{{kTotalDays, 1, kNone}}}},
    {1, {{{kTotalDays, 2, kNone}}}},
    {1, {{{kTotalHours, 1, kNone}}}},
    {1, {{{kTotalHours, 4, kNone}}}},
    {1, {{{kTotalMinutes, 1, kNone}}}},
    {1, {{{kTotalMinutes, 5, kNone}}}},
    {1, {{{kTotalSeconds, 1, kNone}}}},
    {1, {{{kTotalSeconds, 7, kNone}}}},
    {1, {{{kHourOfDay, 1, kNone}}}},
    {1, {{{kHourOfDay, 2, kNone}}}},
    {1, {{{kMinuteOfHour, 1, kNone}}}},
    {1, {{{kMinuteOfHour, 2, kNone}}}},
    {1, {{{kSecondOfMinute, 1, kNone}}}},
    {1, {{{kSecondOfMinute, 2, kNone}}}},
    {3, {{{kTotalHours, 1, kTime}, {kMinuteOfHour, 2, kTime}, {kSecondOfMinute, 2, kNone}}}},
    {3, {{{kTotalHours, 1, kTime}, {kMinuteOfHour, 2, kDecimal}, {kSecondOfMinute, 2, kNone}}}},
    {3, {{{kTotalHours, 4, kTime}, {kMinuteOfHour, 2, kTime}, {kSecondOfMinute, 2, kNone}}}},
    {3, {{{kTotalHours, 4, kTime}, {kMinuteOfHour, 2, kDecimal}, {kSecondOfMinute, 2, kNone}}}},
    {2, {{{kTotalHours, 1, kTime}, {kMinuteOfHour, 2, kNone}}}},
    {2, {{{kTotalHours, 4, kTime}, {kMinuteOfHour, 2, kNone}}}},
    {4,
     {{{kTotalDays, 1, kHyphen},
       {kHourOfDay, 2, kTime},
       {kMinuteOfHour, 2, kTime},
       {kSecondOfMinute, 2, kNone}}}},
    {4,
     {{{kTotalDays, 1, kHyphen},
       {kHourOfDay, 2, kTime},
       {kMinuteOfHour, 2, kDecimal},
       {kSecondOfMinute, 2, kNone}}}},
    {4,
     {{{kTotalDays, 2, kHyphen},
       {kHourOfDay, 2, kTime},
       {kMinuteOfHour, 2, kTime},
       {kSecondOfMinute, 2, kNone}}}},
    {4,
     {{{kTotalDays, 2, kHyphen},
       {kHourOfDay, 2, kTime},
       {kMinuteOfHour, 2, kDecimal},
       {kSecondOfMinute, 2, kNone}}}},
    {3, {{{kTotalDays, 1, kHyphen}, {kHourOfDay, 2, kTime}, {kMinuteOfHour, 2, kNone}}}},
    {3, {{{kTotalDays, 2, kHyphen}, {kHourOfDay, 2, kTime}, {kMinuteOfHour, 2, kNone}}}},
}};

// Appends `value` in decimal with at least `digits` digits; a wider number prints all its digits.
void AppendNumber(std::u16string& out, std::uint64_t value, unsigned digits) {
    char16_t buffer[24];
    unsigned n = 0;
    do {
        buffer[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < digits) buffer[n++] = u'0';
    while (n > 0) out.push_back(buffer[--n]);
}

}  // namespace

std::u16string_view ItemName(int index) {
    return kNames.at(static_cast<std::size_t>(index));
}

std::u16string FormatItem(int index, std::uint64_t ticks, const Separators& separators) {
    // Each total is derived from the previous one; nothing is rounded.
    const std::uint64_t s = ticks / 1000;
    const std::uint64_t m = s / 60;
    const std::uint64_t h = m / 60;
    const std::uint64_t d = h / 24;
    const std::uint64_t values[] = {d, h, m, s, h - 24 * d, m - 60 * h, s - 60 * m};

    const Layout& layout = kLayouts.at(static_cast<std::size_t>(index));
    std::u16string text;
    text.reserve(16);
    for (std::uint8_t k = 0; k < layout.count; ++k) {
        const Field& field = layout.fields[k];
        AppendNumber(text, values[field.quantity], field.digits);
        switch (field.suffix) {
            case kTime:
                text += separators.time;
                break;
            case kDecimal:
                text += separators.decimal;
                break;
            case kHyphen:
                text += u'-';
                break;
            case kNone:
                break;
        }
    }
    return text;
}

}  // namespace uptime
