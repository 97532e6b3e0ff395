// The Orvantel plug-in's class: processor and firmware facts in 56 items.
#pragma once

#include <array>
#include <string>

#include "cpuinfo/catalogue.h"
#include "frame/plugin_object.h"
#include "platform/management.h"
#include "platform/processor_features.h"
#include "platform/registry.h"

// {CBD1D346-2706-49FD-930D-4316A2811242}
inline constexpr IID IID__CPUInfo = {
    0xCBD1D346, 0x2706, 0x49FD, {0x93, 0x0D, 0x43, 0x16, 0xA2, 0x81, 0x12, 0x42}};
// {9207752D-1E78-44F6-B225-AB2EA6283781}
inline constexpr CLSID CLSID_CPUInfo = {
    0x9207752D, 0x1E78, 0x44F6, {0xB2, 0x25, 0xAB, 0x2E, 0xA6, 0x28, 0x37, 0x81}};
// {445BC8F8-8C0E-40A3-9F22-013423DAF4F3}
inline constexpr GUID LIBID_Orvantel = {
    0x445BC8F8, 0x8C0E, 0x40A3, {0x9F, 0x22, 0x01, 0x34, 0x23, 0xDA, 0xF4, 0xF3}};

// The dual class interface, its own members in type-library order.
struct _CPUInfo : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Check128(BSTR sOutput, VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE fnDualLine(BSTR sSourceText, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE fnFeatureSupport(LONG lCheckFeature, VARIANT sRtnTrue,
                                                       VARIANT sRtnFalse, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE fnWin32Processor(SHORT nGetData, BSTR* result) = 0;
};

namespace cpuinfo {

const frame::Identity& CPUInfoIdentity();

class CPUInfo final : public frame::PluginObject<CPUInfo, _CPUInfo> {
  public:
    CPUInfo(platform::Registry& registry, platform::ProcessorFeatures& features,
            platform::ManagementService& management);

    // _CPUInfo
    HRESULT STDMETHODCALLTYPE Check128(BSTR sOutput, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE fnDualLine(BSTR sSourceText, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE fnFeatureSupport(LONG lCheckFeature, VARIANT sRtnTrue,
                                               VARIANT sRtnFalse, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE fnWin32Processor(SHORT nGetData, BSTR* result) override;

    // ITessivar2DataProvider
    HRESULT STDMETHODCALLTYPE PollData() override;
    HRESULT STDMETHODCALLTYPE get_Name(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG index, BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_Value(LONG index, VARIANT* result) override;

  private:
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
