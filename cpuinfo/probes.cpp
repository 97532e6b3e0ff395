#include "cpuinfo/probes.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com/errors.h"
#include "com/owners.h"
#include "cpuinfo/cpu_text.h"
#include "cpuinfo/w32_processor.h"
#include "platform/narrow_text.h"

namespace cpuinfo {

HRESULT ReadRegString(platform::Registry& registry, std::u16string_view key,
                      std::u16string_view name, std::u16string* result) {
    if (result == nullptr) return E_POINTER;
    std::array<unsigned char, kRegBufferChars> buffer{};
    // Closed on every path, an exception after the open included.
    platform::OpenKey handle(registry);
    long rc = handle.Open(platform::ToNarrow(key));
    if (rc < 0) return static_cast<HRESULT>(rc);
    if (rc != platform::kRegSuccess) {
        *result = u"Failure:Open";
        return S_OK;
    }

    unsigned long type = 0;
    unsigned long size = kRegOfferedBytes;
    rc = registry.Query(handle.Get(), platform::ToNarrow(name), &type, buffer.data(), &size);
    const long closed = handle.Close();
    if (rc < 0) return static_cast<HRESULT>(rc);
    if (closed < 0) return static_cast<HRESULT>(closed);
    if (rc != platform::kRegSuccess) {
        *result = com::Widen(std::to_string(rc));
        return S_OK;
    }
    // The whole buffer, whatever the value's type and length. Each NUL byte after the data
    // is one NUL character, so only the bytes up to the first of them need converting.
    std::size_t used = buffer.size();
    while (used > 0 && buffer[used - 1] == 0) --used;
    if (used < buffer.size()) ++used;
    std::u16string text =
        platform::FromNarrow(std::string_view(reinterpret_cast<const char*>(buffer.data()), used));
    text.append(buffer.size() - used, u'\0');
    text.resize(kRegBufferChars, u' ');
    *result = std::move(text);
    return S_OK;
}

namespace {

using w32_Processor::ConversionStatus;

HRESULT Read(platform::ManagementObject& object, std::u16string_view property, VARIANT* value) {
    VariantClear(value);
    return object.Get(property, value);
}

// `value` changed in place to `type`; a conversion failure as its run-time error.
HRESULT ChangeTo(VARIANT* value, VARTYPE type) {
    return ConversionStatus(VariantChangeType(value, value, 0, type));
}

HRESULT SetText(std::u16string_view text, VARIANT* value) {
    VariantClear(value);
    return com::ReturnText(text, value);
}

// The property as a number in number form.
HRESULT NumberProperty(platform::ManagementObject& object, std::u16string_view property,
                       VARIANT* value) {
    HRESULT hr = Read(object, property, value);
    if (FAILED(hr) || value->vt == VT_NULL) return hr;
    if (FAILED(hr = ChangeTo(value, VT_R8))) return hr;
    return SetText(NumberForm(value->dblVal), value);
}

// The property as a 16-bit code, named by `name`.
HRESULT CodeProperty(platform::ManagementObject& object, std::u16string_view property,
                     std::u16string_view (*name)(std::int16_t), VARIANT* value) {
    HRESULT hr = Read(object, property, value);
    if (FAILED(hr) || value->vt == VT_NULL) return hr;
    if (FAILED(hr = ChangeTo(value, VT_I2))) return hr;
    return SetText(name(value->iVal), value);
}

// Selectors 51 to 53: the multiplier, the bus clock (core ÷ multiplier × 2) or the clock
// (core ÷ multiplier). The core clock is read again for its use as the dividend.
HRESULT DerivedClock(platform::ManagementObject& object, short selector, VARIANT* value) {
    com::Variant core, external;
    HRESULT hr = Read(object, u"CurrentClockSpeed", &core);
    if (FAILED(hr)) return hr;
    if (core.vt == VT_NULL) {
        VariantClear(value);
        value->vt = VT_NULL;
        return S_OK;
    }
    if (FAILED(hr = Read(object, u"ExtClock", &external))) return hr;
    if (FAILED(hr = ChangeTo(&core, VT_I2))) return hr;
    double ratio = 0;
    if (FAILED(hr = w32_Processor::ClockRatio(core.iVal, external, &ratio))) return hr;
    if (selector == kClockMultiplier) return SetText(NumberForm(ratio), value);

    if (FAILED(hr = Read(object, u"CurrentClockSpeed", &core))) return hr;
    if (core.vt == VT_NULL) return com::kInvalidUseOfNull;
    if (FAILED(hr = ChangeTo(&core, VT_R8))) return hr;
    if (ratio == 0) return com::kDivisionByZero;
    double clock = core.dblVal / ratio;
    if (selector == kFrontSideBus) clock *= 2;
    return SetText(WholeNumberForm(clock), value);
}

// This instance's answer for `selector` into `value`; S_FALSE for an unlisted selector, which
// leaves `value` alone.
HRESULT Answer(platform::ManagementObject& object, short selector, VARIANT* value) {
    switch (selector) {
        case kAddressWidth:
            return NumberProperty(object, u"AddressWidth", value);
        case kArchitecture:
            return CodeProperty(object, u"Architecture", &w32_Processor::ArchitectureName, value);
        case kCurrentClockSpeed:
            return Read(object, u"CurrentClockSpeed", value);
        case kDataWidth:
            return NumberProperty(object, u"DataWidth", value);
        case kFamily:
            return CodeProperty(object, u"Family", &w32_Processor::FamilyName, value);
        case kLevel:
            return Read(object, u"Level", value);
        case kSocketDesignation:
            return Read(object, u"SocketDesignation", value);
        case kStepping:
            return NumberProperty(object, u"Stepping", value);
        case kVersion:
            return Read(object, u"Version", value);
        case kClockMultiplier:
        case kFrontSideBus:
        case kClockFrequency:
            return DerivedClock(object, selector, value);
        default:
            return S_FALSE;
    }
}

}  // namespace

HRESULT Win32Processor(platform::ManagementService& service, short selector,
                       std::u16string* result) {
    if (result == nullptr) return E_POINTER;
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    HRESULT hr = service.InstancesOf(u"Win32_Processor", &instances);
    if (FAILED(hr)) return hr;

    // Each instance's answer replaces the one before.
    com::Variant answer;
    for (const auto& instance : instances) {
        if (instance == nullptr) continue;
        com::Variant value;
        hr = Answer(*instance, selector, &value);
        if (FAILED(hr)) return hr;
        if (hr == S_FALSE) break;  // unlisted: nothing is read from any instance
        VariantClear(&answer);
        std::swap(static_cast<VARIANT&>(answer), static_cast<VARIANT&>(value));
    }

    if (answer.vt == VT_EMPTY || answer.vt == VT_NULL) {
        result->clear();
        return S_OK;
    }
    if (FAILED(hr = ChangeTo(&answer, VT_BSTR))) return hr;
    *result = TrimBlanks(com::View(answer.bstrVal));
    return S_OK;
}

}  // namespace cpuinfo
