// The date formatter over arbitrary pictures, date fields and buffer sizes, with the "C"
// locale's names or arbitrary ones; Tamblorin's calendar lookups and item values for arbitrary
// numbers and dates.
#include <memory>

#include "date/calendar_names.h"
#include "date/date_items.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace {

platform::LocaleDateFormatter::Names ArbitraryNames(FuzzedDataProvider& in) {
    platform::LocaleDateFormatter::Names names;
    // A locale's names are C strings: no NUL inside.
    auto fill = [&in](auto& list) {
        for (auto& name : list) {
            name = in.ConsumeRandomLengthString(24);
            name = name.substr(0, name.find('\0'));
        }
    };
    fill(names.shortDays);
    fill(names.longDays);
    fill(names.shortMonths);
    fill(names.longMonths);
    fill(names.shortMonthsAlone);
    fill(names.longMonthsAlone);
    return names;
}

// Formats into a buffer of exactly `capacity` bytes (none for 0), so that a write past it is
// caught; the text written, or nothing.
int FormatInto(const platform::DateFormatter& formatter, const std::string& picture,
               const platform::SystemTime& date, int capacity, std::string* text) {
    std::unique_ptr<char[]> buffer(capacity > 0 ? new char[static_cast<std::size_t>(capacity)]
                                                : nullptr);
    const int n = formatter.Format(picture.c_str(), date, buffer.get(), capacity);
    if (n > 0 && capacity > 0) {
        FUZZ_CHECK(n <= capacity);
        FUZZ_CHECK(buffer[static_cast<std::size_t>(n - 1)] == '\0');
        text->assign(buffer.get(), static_cast<std::size_t>(n - 1));
        FUZZ_CHECK(text->find('\0') == std::string::npos);
    }
    return n;
}

void CheckCalendar(FuzzedDataProvider& in, _CustomDate* object) {
    const SHORT n = in.ConsumeIntegral<SHORT>();
    using Member = HRESULT (STDMETHODCALLTYPE _CustomDate::*)(SHORT, BSTR*);
    // Each name with its member and the numbers that have a name.
    const std::tuple<std::u16string_view (*)(int), Member, int, int> kLookups[] = {
        {&date::DayShort, &_CustomDate::GetDayShort, 0, 6},
        {&date::DayLong, &_CustomDate::GetDayLong, 0, 6},
        {&date::MonthShort, &_CustomDate::GetMonthShort, 1, 12},
        {&date::MonthLong, &_CustomDate::GetMonthLong, 1, 12},
    };
    for (const auto& [lookup, member, first, last] : kLookups) {
        const std::u16string_view name = lookup(n);
        FUZZ_CHECK(name.empty() == (n < first || n > last));
        BSTR out = nullptr;
        const HRESULT hr = (object->*member)(n, &out);
        FUZZ_CHECK(hr == S_OK && fuzz::TakeOut(hr, out) == name);
    }
    const std::u16string_view suffix = date::DaySuffix(n);
    FUZZ_CHECK(suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th");
    BSTR out = nullptr;
    const HRESULT hr = object->GetDaySuffix(n, &out);
    FUZZ_CHECK(hr == S_OK && fuzz::TakeOut(hr, out) == suffix);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string picture = in.ConsumeRandomLengthString(128);
    platform::SystemTime date{};
    if (in.ConsumeBool()) {
        // A plausible date, so that most inputs reach the picture.
        date.year = in.ConsumeIntegralInRange<std::uint16_t>(1590, 30840);
        date.month = in.ConsumeIntegralInRange<std::uint16_t>(0, 13);
        date.day = in.ConsumeIntegralInRange<std::uint16_t>(0, 32);
    } else {
        date.year = in.ConsumeIntegral<std::uint16_t>();
        date.month = in.ConsumeIntegral<std::uint16_t>();
        date.day = in.ConsumeIntegral<std::uint16_t>();
    }
    date.dayOfWeek = in.ConsumeIntegral<std::uint16_t>();
    const bool ownNames = in.ConsumeBool();
    std::unique_ptr<platform::LocaleDateFormatter> own;
    if (ownNames) own = std::make_unique<platform::LocaleDateFormatter>(ArbitraryNames(in));
    const platform::DateFormatter& formatter =
        ownNames ? static_cast<const platform::DateFormatter&>(*own) : fuzz::CDateFormatter();

    // The size asked for first, then exactly that room, one less, and an arbitrary room.
    const int needed = formatter.Format(picture.c_str(), date, nullptr, 0);
    FUZZ_CHECK(needed >= 0);
    std::string text;
    if (needed > 0) {
        FUZZ_CHECK(FormatInto(formatter, picture, date, needed, &text) == needed);
        FUZZ_CHECK(static_cast<int>(text.size()) == needed - 1);
        std::string shorter;
        FUZZ_CHECK(FormatInto(formatter, picture, date, needed - 1, &shorter) ==
                   (needed == 1 ? needed : 0));
    }
    const int capacity = in.ConsumeIntegralInRange(-2, 600);
    std::string again;
    const int n = FormatInto(formatter, picture, date, capacity, &again);
    if (capacity < 0 || needed == 0) {
        FUZZ_CHECK(n == 0);
    } else if (capacity == 0) {
        FUZZ_CHECK(n == needed);
    } else {
        FUZZ_CHECK(n == (capacity >= needed ? needed : 0));
        if (n > 0) FUZZ_CHECK(again == text);
    }
    FUZZ_CHECK(formatter.Format(nullptr, date, nullptr, 0) == 0);

    // The items of the date plug-in for this date, on this formatter.
    for (LONG index : {in.ConsumeIntegralInRange<LONG>(-1, date::kItemCount), LONG{8}}) {
        std::u16string value;
        FUZZ_CHECK(date::FormatItem(index, date, formatter, value) == S_OK || index == 9);
    }
    fuzz::Fakes fakes;
    fuzz::PluginRefs refs = fuzz::MakePlugin(fuzz::Plugin::kTamblorin, fakes);
    CheckCalendar(in, static_cast<_CustomDate*>(refs.dispatch.Get()));
    fuzz::ReleasePlugin(refs);
    return 0;
}
