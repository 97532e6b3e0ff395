// The processor feature test of kernel32.
#include "platform/processor_features.h"

#include "platform/windows/loader.h"

namespace platform {

namespace {

using IsPresentFn = BOOL(WINAPI*)(DWORD);

class WindowsFeatures final : public ProcessorFeatures {
  public:
    HRESULT IsPresent(unsigned long feature, bool* present) override {
        static const auto isPresent =
            windows::LoadFunction<IsPresentFn>("kernel32.dll", "IsProcessorFeaturePresent");
        if (isPresent == nullptr) return windows::kProcNotFound;
        if (present == nullptr) return E_POINTER;
        *present = isPresent(feature) != FALSE;
        return S_OK;
    }
};

}  // namespace

ProcessorFeatures& SystemProcessorFeatures() {
    static WindowsFeatures features;
    return features;
}

}  // namespace platform
