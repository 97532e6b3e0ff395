#include "cpuinfo/cpuinfo.h"

#include "com/boundary.h"
#include "com/errors.h"
#include "cpuinfo/cpu_text.h"
#include "cpuinfo/probes.h"
#include "cpuinfo/w32_processor.h"

namespace cpuinfo {

namespace {

#define TESS_CLASS_INTERFACE _CPUInfo
constexpr frame::Method kMethods[] = {
#define TESS_METHOD1 TESS_TABLE_METHOD1
#define TESS_METHOD3 TESS_TABLE_METHOD3
#include "cpuinfo/orvantel_class.h"
#undef TESS_METHOD1
#undef TESS_METHOD3
};
#undef TESS_CLASS_INTERFACE

}  // namespace

const frame::Identity& CPUInfoIdentity() {
    static const frame::Identity identity{
        .product = u"Orvantel",
        .className = u"CPUInfo",
        .progId = u"" ORVANTEL_PROGID,
        .count = kItemCount,
        .pollFreqency = 1000,
        .pollMethod = 0,
        .version = {TESS_VERSION_MAJOR, TESS_VERSION_MINOR, TESS_VERSION_BUILD,
                    TESS_VERSION_REVISION},
        .clsid = CLSID_CPUInfo,
        .classIid = IID__CPUInfo,
        .libid = LIBID_Orvantel,
        .methods = kMethods,
    };
    return identity;
}

CPUInfo::CPUInfo(platform::Registry& registry, platform::ProcessorFeatures& features,
                 platform::ManagementService& management)
    : PluginObject(CPUInfoIdentity()),
      registry_(registry),
      features_(features),
      management_(management) {}

HRESULT CPUInfo::fnDualLineImpl(BSTR sSourceText, BSTR* result) {
    std::u16string text;
    const HRESULT hr = DualLine(com::View(sSourceText), &text);
    if (FAILED(hr)) return hr;
    return com::ReturnString(text, result);
}

HRESULT CPUInfo::fnFeatureSupportImpl(LONG lCheckFeature, VARIANT sRtnTrue, VARIANT sRtnFalse,
                                      BSTR* result) {
    bool present = false;
    HRESULT hr = features_.IsPresent(static_cast<unsigned long>(lCheckFeature), &present);
    if (FAILED(hr)) return hr;
    VARIANT& chosen = present ? sRtnTrue : sRtnFalse;  // this call's own copy
    // A null, given directly or through a variant reference, is invalid use of null.
    const VARIANT* plain = com::Referent(chosen);
    if (plain != nullptr && plain->vt == VT_NULL) return com::kInvalidUseOfNull;
    com::Variant text;
    hr = VariantChangeType(&text, &chosen, VARIANT_ALPHABOOL, VT_BSTR);
    if (FAILED(hr)) return w32_Processor::ConversionStatus(hr);
    *result = text.DetachString();
    return S_OK;
}

HRESULT CPUInfo::fnWin32ProcessorImpl(SHORT nGetData, BSTR* result) {
    std::u16string text;
    const HRESULT hr = Win32Processor(management_, nGetData, &text);
    if (FAILED(hr)) return hr;
    return com::ReturnString(text, result);
}

HRESULT CPUInfo::Poll() {
    // Every step runs, in order; a failing step leaves its own items as they were. The poll
    // answers the status of the first failure.
    HRESULT first = S_OK;
    for (int k = 0; k < kStepCount; ++k) {
        running_ = static_cast<Step>(k);
        const HRESULT hr = com::Boundary([&] { return RunStep(running_); });
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    }
    return first;
}

HRESULT CPUInfo::ItemName(LONG index, BSTR* name) {
    if (!frame::InRange(index, kItemCount)) return S_OK;
    return com::ReturnString(Row(index).name, name);
}

HRESULT CPUInfo::ItemValue(LONG index, VARIANT* value) {
    if (index < 0 || index >= kItemCount) return S_OK;
    if (Row(index).slot == Slot::Text) return com::ReturnText(texts_[index], value);
    return VariantCopy(value, &variants_[index]);
}

}  // namespace cpuinfo
