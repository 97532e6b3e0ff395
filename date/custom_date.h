// The Tamblorin plug-in's class: the current local date in 29 forms.
#pragma once

#include "frame/plugin_object.h"
#include "platform/date_formatter.h"
#include "platform/local_time.h"

// {51CCF0E3-B3BC-479B-B956-EC0939123DBB}
inline constexpr IID IID__CustomDate = {
    0x51CCF0E3, 0xB3BC, 0x479B, {0xB9, 0x56, 0xEC, 0x09, 0x39, 0x12, 0x3D, 0xBB}};
// {D1B72E36-AEEE-4ABA-BA78-C4A1758BBAB9}
inline constexpr CLSID CLSID_CustomDate = {
    0xD1B72E36, 0xAEEE, 0x4ABA, {0xBA, 0x78, 0xC4, 0xA1, 0x75, 0x8B, 0xBA, 0xB9}};
// {99DC8F06-999F-4C3A-A236-F71E1A35632C}
inline constexpr GUID LIBID_Tamblorin = {
    0x99DC8F06, 0x999F, 0x4C3A, {0xA2, 0x36, 0xF7, 0x1E, 0x1A, 0x35, 0x63, 0x2C}};

// The class interface: dual, with the text test and the English calendar words.
struct _CustomDate : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Check128(BSTR sOutput, VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDayShort(SHORT nDay, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDayLong(SHORT nDay, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonthShort(SHORT nMonth, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMonthLong(SHORT nMonth, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDaySuffix(SHORT nDayOfMonth, BSTR* result) = 0;
};

namespace date {

const frame::Identity& CustomDateIdentity();

class CustomDate final : public frame::PluginObject<CustomDate, _CustomDate> {
  public:
    CustomDate(const platform::LocalClock& clock, const platform::DateFormatter& formatter);

    // _CustomDate
    HRESULT STDMETHODCALLTYPE Check128(BSTR sOutput, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE GetDayShort(SHORT nDay, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetDayLong(SHORT nDay, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetMonthShort(SHORT nMonth, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetMonthLong(SHORT nMonth, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE GetDaySuffix(SHORT nDayOfMonth, BSTR* result) override;

    // ITessivar2DataProvider
    HRESULT STDMETHODCALLTYPE PollData() override;
    HRESULT STDMETHODCALLTYPE get_Name(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_Value(LONG index, VARIANT* result) override;

  private:
    const platform::LocalClock& clock_;
    const platform::DateFormatter& formatter_;
};

// A new object on the system's clock and the user's locale, holding one reference.
IUnknown* CreateCustomDate();

}  // namespace date
