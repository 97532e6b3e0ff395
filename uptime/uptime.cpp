#include "uptime/uptime.h"

#include <new>

#include "com/boundary.h"
#include "uptime/uptime_format.h"

namespace uptime {

const frame::Identity& UptimeIdentity() {
    static const frame::Identity identity{
        .product = u"Wendrikai",
        .className = u"Uptime",
        .progId = u"" WENDRIKAI_PROGID,
        .count = kItemCount,
        .pollFreqency = 1000,
        .pollMethod = 2,
        .version = {TESS_VERSION_MAJOR, TESS_VERSION_MINOR, TESS_VERSION_BUILD,
                    TESS_VERSION_REVISION},
        .clsid = CLSID_Uptime,
        .classIid = IID__Uptime,
        .libid = LIBID_Wendrikai,
        .methods = {},
    };
    return identity;
}

Uptime::Uptime(const platform::TickClock& clock, const platform::RegionalSettings& settings)
    : PluginObject(UptimeIdentity()), clock_(clock), settings_(settings) {}

HRESULT Uptime::PollData() {
    lastTickCount_ = clock_.Milliseconds();
    return S_OK;
}

HRESULT Uptime::get_Name(LONG index, BSTR* result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (!frame::InRange(index, kItemCount)) return S_OK;
    return com::ReturnString(ItemName(index), result);
}

HRESULT Uptime::get_DisplayName(LONG index, BSTR* result) {
    return get_Name(index, result);
}

HRESULT Uptime::get_Value(LONG index, VARIANT* result) {
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    if (!frame::InRange(index, kItemCount)) return S_OK;
    return com::Boundary([&]() -> HRESULT {
        const std::u16string time = settings_.TimeSeparator();
        const std::u16string decimal = settings_.DecimalSeparator();
        return com::ReturnText(FormatItem(index, lastTickCount_, {time, decimal}), result);
    });
}

IUnknown* CreateUptime() {
    auto* object =
        new (std::nothrow) Uptime(platform::SystemTickClock(), platform::UserRegionalSettings());
    return static_cast<_Uptime*>(object);
}

}  // namespace uptime
