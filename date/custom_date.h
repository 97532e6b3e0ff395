// The Tamblorin plug-in's class: the current local date in 29 forms.
#pragma once

#include "date/tamblorin_class.h"
#include "frame/class_interface.h"
#include "frame/plugin_object.h"
#include "platform/date_formatter.h"
#include "platform/local_time.h"

inline constexpr IID IID__CustomDate = com::GuidFromText(TAMBLORIN_CLASS_IID);
inline constexpr CLSID CLSID_CustomDate = com::GuidFromText(TAMBLORIN_CLSID);
inline constexpr GUID LIBID_Tamblorin = com::GuidFromText(TAMBLORIN_LIBID);

// The class interface: dual, with the text test and the English calendar words.
struct _CustomDate : IDispatch {
#define TESS_METHOD1 TESS_DECLARE_METHOD1
#include "date/tamblorin_class.h"
#undef TESS_METHOD1
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
