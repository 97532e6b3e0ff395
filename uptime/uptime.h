// The Wendrikai plug-in's class: how long the computer has been running, in 26 forms.
#pragma once

#include <cstdint>

#include "com/guid.h"
#include "frame/plugin_object.h"
#include "platform/regional_settings.h"
#include "platform/tick_clock.h"
#include "uptime/wendrikai_class.h"

inline constexpr IID IID__Uptime = com::GuidFromText(WENDRIKAI_CLASS_IID);
inline constexpr CLSID CLSID_Uptime = com::GuidFromText(WENDRIKAI_CLSID);
inline constexpr GUID LIBID_Wendrikai = com::GuidFromText(WENDRIKAI_LIBID);

// The class interface: dual, with no methods of its own.
struct _Uptime : IDispatch {};

namespace uptime {

const frame::Identity& UptimeIdentity();

class Uptime final : public frame::PluginObject<Uptime, _Uptime> {
  public:
    Uptime(const platform::TickClock& clock, const platform::RegionalSettings& settings);

  private:
    friend PluginObject;

    // The bodies the frame runs (frame/plugin_object.h); the display name is the name.
    HRESULT Poll();
    HRESULT ItemName(LONG index, BSTR* name);
    HRESULT ItemValue(LONG index, VARIANT* value);

    const platform::TickClock& clock_;
    const platform::RegionalSettings& settings_;
    // Milliseconds since start-up at the last poll; 64 bits, so it never wraps.
    std::uint64_t lastTickCount_ = 0;
};

// A new object on the system's clock and the user's settings, holding one reference.
IUnknown* CreateUptime();

}  // namespace uptime
