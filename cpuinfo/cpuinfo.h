// The Orvantel plug-in's class: processor and firmware facts in 56 items.
#pragma once

#include <array>
#include <string>

#include "cpuinfo/catalogue.h"
#include "cpuinfo/orvantel_class.h"
#include "frame/class_interface.h"
#include "frame/plugin_object.h"
#include "platform/management.h"
#include "platform/processor_features.h"
#include "platform/registry.h"

inline constexpr IID IID__CPUInfo = com::GuidFromText(ORVANTEL_CLASS_IID);
inline constexpr CLSID CLSID_CPUInfo = com::GuidFromText(ORVANTEL_CLSID);
inline constexpr GUID LIBID_Orvantel = com::GuidFromText(ORVANTEL_LIBID);

// The dual class interface, its own members in type-library order.
struct _CPUInfo : IDispatch {
#define TESS_METHOD1 TESS_DECLARE_METHOD1
#define TESS_METHOD3 TESS_DECLARE_METHOD3
#include "cpuinfo/orvantel_class.h"
#undef TESS_METHOD1
#undef TESS_METHOD3
};

namespace cpuinfo {

// The class interface's methods as the frame runs them: each calls CPUInfo's <name>Impl.
template <class Derived>
struct CPUInfoMethods : _CPUInfo {
#define TESS_METHOD1 TESS_BOUNDARY_METHOD1
#define TESS_METHOD3 TESS_BOUNDARY_METHOD3
#include "cpuinfo/orvantel_class.h"
#undef TESS_METHOD1
#undef TESS_METHOD3
};

const frame::Identity& CPUInfoIdentity();

class CPUInfo final : public frame::PluginObject<CPUInfo, CPUInfoMethods<CPUInfo>> {
  public:
    CPUInfo(platform::Registry& registry, platform::ProcessorFeatures& features,
            platform::ManagementService& management);

  private:
    friend PluginObject;
    friend CPUInfoMethods<CPUInfo>;

    // The bodies the frame runs (frame/plugin_object.h); Check128 is the frame's.
    HRESULT fnDualLineImpl(BSTR sSourceText, BSTR* result);
    HRESULT fnFeatureSupportImpl(LONG lCheckFeature, VARIANT sRtnTrue, VARIANT sRtnFalse,
                                 BSTR* result);
    HRESULT fnWin32ProcessorImpl(SHORT nGetData, BSTR* result);
    HRESULT Poll();
    HRESULT ItemName(LONG index, BSTR* name);
    HRESULT ItemValue(LONG index, VARIANT* value);

    // The steps of a poll; each writes its own items (those whose row names the step) only when
    // all its texts are known.
    HRESULT RunStep(Step step);
    HRESULT PollFirmwareVersion();
    HRESULT PollVendorShort();
    HRESULT PollRegistryItem(Item item, std::u16string_view key, std::u16string_view name);
    HRESULT PollDualName();
    HRESULT PollClock(Item item, Item suffixedItem, short selector);
    HRESULT PollFact(Item item, short selector);
    HRESULT PollExtensions();
    HRESULT PollTypeIdentifier();
    HRESULT PollTypePieces();
    HRESULT PrefixTypePieces();

    HRESULT ReadRegistry(std::u16string_view key, std::u16string_view name, std::u16string* text);
    // Stores `text` in the item's slot; throws std::bad_alloc when memory is exhausted.
    void Store(Item item, std::u16string_view text);

    platform::Registry& registry_;
    platform::ProcessorFeatures& features_;
    platform::ManagementService& management_;
    // The item store: a variant or a text per item, by the slot kind of its row.
    std::array<com::Variant, kItemCount> variants_;
    std::array<std::u16string, kItemCount> texts_;
    Step running_ = Step::FirmwareVersion;  // the step a poll runs now
};

}  // namespace cpuinfo
