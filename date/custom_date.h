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

// The class interface's methods as the frame runs them: each calls CustomDate's <name>Impl.
template <class Derived>
struct CustomDateMethods : _CustomDate {
#define TESS_METHOD1 TESS_BOUNDARY_METHOD1
#include "date/tamblorin_class.h"
#undef TESS_METHOD1
};

const frame::Identity& CustomDateIdentity();

class CustomDate final : public frame::PluginObject<CustomDate, CustomDateMethods<CustomDate>> {
  public:
    CustomDate(const platform::LocalClock& clock, const platform::DateFormatter& formatter);

  private:
    friend PluginObject;
    friend CustomDateMethods<CustomDate>;

    // The bodies the frame runs (frame/plugin_object.h); Check128 is the frame's.
    HRESULT GetDayShortImpl(SHORT nDay, BSTR* result);
    HRESULT GetDayLongImpl(SHORT nDay, BSTR* result);
    HRESULT GetMonthShortImpl(SHORT nMonth, BSTR* result);
    HRESULT GetMonthLongImpl(SHORT nMonth, BSTR* result);
    HRESULT GetDaySuffixImpl(SHORT nDayOfMonth, BSTR* result);
    HRESULT Poll();
    HRESULT ItemName(LONG index, BSTR* name);
    HRESULT ItemDisplayName(LONG index, BSTR* name);
    HRESULT ItemValue(LONG index, VARIANT* value);

    const platform::LocalClock& clock_;
    const platform::DateFormatter& formatter_;
};

// A new object on the system's clock and the user's locale, holding one reference.
IUnknown* CreateCustomDate();

}  // namespace date
