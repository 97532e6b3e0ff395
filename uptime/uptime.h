// The Wendrikai plug-in's class: how long the computer has been running, in 26 forms.
#pragma once

#include <cstdint>

#include "frame/plugin_object.h"
#include "platform/regional_settings.h"
#include "platform/tick_clock.h"

// {7811F71E-2943-4B5B-A815-7109F01E657B}
inline constexpr IID IID__Uptime = {
    0x7811F71E, 0x2943, 0x4B5B, {0xA8, 0x15, 0x71, 0x09, 0xF0, 0x1E, 0x65, 0x7B}};
// {F3AAA3D1-D330-4392-B24A-91DB45BD2E3D}
inline constexpr CLSID CLSID_Uptime = {
    0xF3AAA3D1, 0xD330, 0x4392, {0xB2, 0x4A, 0x91, 0xDB, 0x45, 0xBD, 0x2E, 0x3D}};
// {785BDBA4-7018-40AE-A717-83CCEB720A12}
inline constexpr GUID LIBID_Wendrikai = {
    0x785BDBA4, 0x7018, 0x40AE, {0xA7, 0x17, 0x83, 0xCC, 0xEB, 0x72, 0x0A, 0x12}};

// The class interface: dual, with no methods of its own.
struct _Uptime : IDispatch {};

namespace uptime {

const frame::Identity& UptimeIdentity();

class Uptime final : public frame::PluginObject<Uptime, _Uptime> {
  public:
    Uptime(const platform::TickClock& clock, const platform::RegionalSettings& settings);

    HRESULT STDMETHODCALLTYPE PollData() override;
    HRESULT STDMETHODCALLTYPE get_Name(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_Value(LONG index, VARIANT* result) override;

  private:
    const platform::TickClock& clock_;
    const platform::RegionalSettings& settings_;
    // Milliseconds since start-up at the last poll; 64 bits, so it never wraps.
    std::uint64_t lastTickCount_ = 0;
};

// A new object on the system's clock and the user's settings, holding one reference.
IUnknown* CreateUptime();

}  // namespace uptime
