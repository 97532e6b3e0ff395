#include "date/calendar_names.h"

#include <array>

namespace date {

namespace {

constexpr std::array<std::u16string_view, 7> kDayShort = {u"Sun", u"Mon", u"Tue", u"Wed",
                                                          u"Thu", u"Fri", u"Sat"};
constexpr std::array<std::u16string_view, 7> kDayLong = {
    u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};
constexpr std::array<std::u16string_view, 12> kMonthShort = {
    u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
constexpr std::array<std::u16string_view, 12> kMonthLong = {
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};

template <std::size_t N>
std::u16string_view Lookup(const std::array<std::u16string_view, N>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return {};
    return table[static_cast<std::size_t>(index)];
}

}  // namespace

std::u16string_view DayShort(int day) {
    return Lookup(kDayShort, day);
}
std::u16string_view DayLong(int day) {
    return Lookup(kDayLong, day);
}
std::u16string_view MonthShort(int month) {
    return Lookup(kMonthShort, month - 1);
}
std::u16string_view MonthLong(int month) {
    return Lookup(kMonthLong, month - 1);
}

std::u16string_view DaySuffix(int dayOfMonth) {
    // The table and nothing more: 11 to 13 and 41 take "th".
    switch (dayOfMonth) {
        case 1:
        case 21:
        case 31:
            return u"st";
        case 2:
        case 22:
            return u"nd";
        case 3:
        case 23:
            return u"rd";
        default:
            return u"th";
    }
}

}  // namespace date
