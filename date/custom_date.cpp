#include "date/custom_date.h"

#include <new>

#include "date/calendar_names.h"
#include "date/date_items.h"
#include "date/variables.h"

namespace date {

namespace {

#define TESS_CLASS_INTERFACE _CustomDate
constexpr frame::Method kMethods[] = {
#define TESS_METHOD1 TESS_TABLE_METHOD1
#include "date/tamblorin_class.h"
#undef TESS_METHOD1
};
#undef TESS_CLASS_INTERFACE

constexpr std::u16string_view kPrefix = u"Tamblorin\\";

}  // namespace

const frame::Identity& CustomDateIdentity() {
    static const frame::Identity identity{
        .product = u"Tamblorin",
        .className = u"CustomDate",
        .progId = u"" TAMBLORIN_PROGID,
        .count = kItemCount,
        .pollFreqency = 10000,
        .pollMethod = 1,
        .version = {TESS_VERSION_MAJOR, TESS_VERSION_MINOR, TESS_VERSION_BUILD,
                    TESS_VERSION_REVISION},
        .clsid = CLSID_CustomDate,
        .classIid = IID__CustomDate,
        .libid = LIBID_Tamblorin,
        .methods = kMethods,
    };
    return identity;
}

CustomDate::CustomDate(const platform::LocalClock& clock, const platform::DateFormatter& formatter)
    : PluginObject(CustomDateIdentity()), clock_(clock), formatter_(formatter) {}

HRESULT CustomDate::GetDayShortImpl(SHORT nDay, BSTR* result) {
    return com::ReturnString(DayShort(nDay), result);
}
HRESULT CustomDate::GetDayLongImpl(SHORT nDay, BSTR* result) {
    return com::ReturnString(DayLong(nDay), result);
}
HRESULT CustomDate::GetMonthShortImpl(SHORT nMonth, BSTR* result) {
    return com::ReturnString(MonthShort(nMonth), result);
}
HRESULT CustomDate::GetMonthLongImpl(SHORT nMonth, BSTR* result) {
    return com::ReturnString(MonthLong(nMonth), result);
}
HRESULT CustomDate::GetDaySuffixImpl(SHORT nDayOfMonth, BSTR* result) {
    return com::ReturnString(DaySuffix(nDayOfMonth), result);
}

HRESULT CustomDate::Poll() {
    Variables::PollTime() = clock_.Now();
    return S_OK;
}

HRESULT CustomDate::ItemName(LONG index, BSTR* name) {
    return com::ReturnString(date::ItemName(index), name);
}

HRESULT CustomDate::ItemDisplayName(LONG index, BSTR* name) {
    if (!frame::InRange(index, kItemCount)) return com::ReturnString({}, name);
    std::u16string text(kPrefix);
    text += date::ItemName(index);
    return com::ReturnString(text, name);
}

HRESULT CustomDate::ItemValue(LONG index, VARIANT* value) {
    std::u16string text;
    const HRESULT hr = FormatItem(index, Variables::PollTime(), formatter_, text);
    if (FAILED(hr)) return hr;
    return com::ReturnText(text, value);
}

IUnknown* CreateCustomDate() {
    auto* object =
        new (std::nothrow) CustomDate(platform::SystemLocalClock(), platform::UserDateFormatter());
    return static_cast<_CustomDate*>(object);
}

}  // namespace date
