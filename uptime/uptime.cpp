#include "uptime/uptime.h"

#include <new>

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

HRESULT Uptime::Poll() {
    lastTickCount_ = clock_.Milliseconds();
    return S_OK;
}

HRESULT Uptime::ItemName(LONG index, BSTR* name) {
    if (!frame::InRange(index, kItemCount)) return S_OK;
    return com::ReturnString(uptime::ItemName(index), name);
}

HRESULT Uptime::ItemValue(LONG index, VARIANT* value) {
    if (!frame::InRange(index, kItemCount)) return S_OK;
    const std::u16string time = settings_.TimeSeparator();
    const std::u16string decimal = settings_.DecimalSeparator();
    return com::ReturnText(FormatItem(index, lastTickCount_, {time, decimal}), value);
}

IUnknown* CreateUptime() {
    auto* object =
        new (std::nothrow) Uptime(platform::SystemTickClock(), platform::UserRegionalSettings());
    return static_cast<_Uptime*>(object);
}

}  // namespace uptime
