#include "date/custom_date.h"

#include <new>

#include "com/boundary.h"
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

HRESULT CustomDate::Check128(BSTR sOutput, VARIANT_BOOL* result) {
    return Check128Member(sOutput, result);
}
HRESULT CustomDate::GetDayShort(SHORT nDay, BSTR* result) {
    return com::ReturnString(DayShort(nDay), result);
}
HRESULT CustomDate::GetDayLong(SHORT nDay, BSTR* result) {
    return com::ReturnString(DayLong(nDay), result);
}
HRESULT CustomDate::GetMonthShort(SHORT nMonth, BSTR* result) {
    return com::ReturnString(MonthShort(nMonth), result);
}
HRESULT CustomDate::GetMonthLong(SHORT nMonth, BSTR* result) {
    return com::ReturnString(MonthLong(nMonth), result);
}
HRESULT CustomDate::GetDaySuffix(SHORT nDayOfMonth, BSTR* result) {
    return com::ReturnString(DaySuffix(nDayOfMonth), result);
}

HRESULT CustomDate::PollData() {
    Variables::PollTime() = clock_.Now();
    return S_OK;
}

HRESULT CustomDate::get_Name(LONG index, BSTR* result) {
    return com::ReturnString(ItemName(index), result);
}

HRESULT CustomDate::get_DisplayName(LONG index, BSTR* result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (!frame::InRange(index, kItemCount)) return com::ReturnString({}, result);
    return com::Boundary([&]() -> HRESULT {
        std::u16string name(kPrefix);
        name += ItemName(index);
        return com::ReturnString(name, result);
    });
}

HRESULT CustomDate::get_Value(LONG index, VARIANT* result) {
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    return com::Boundary([&]() -> HRESULT {
        std::u16string text;
        const HRESULT hr = FormatItem(index, Variables::PollTime(), formatter_, text);
        if (FAILED(hr)) return hr;
        return com::ReturnText(text, result);
    });
}

IUnknown* CreateCustomDate() {
    auto* object =
        new (std::nothrow) CustomDate(platform::SystemLocalClock(), platform::UserDateFormatter());
    return static_cast<_CustomDate*>(object);
}

}  // namespace date
