// The steps of a CPUInfo poll: each reads its platform sources and stores its own items.
#include <cassert>
#include <new>
#include <utility>
#include <vector>

#include "cpuinfo/cpu_text.h"
#include "cpuinfo/cpuinfo.h"
#include "cpuinfo/probes.h"
#include "cpuinfo/w32_processor.h"

namespace cpuinfo {

namespace {

constexpr std::u16string_view kFirmwareKey = u"HARDWARE\\DESCRIPTION\\System";
constexpr std::u16string_view kProcessorKey = u"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// The instruction-extension items, four per extension, in index order from item 17.
struct Extension {
    unsigned long feature;
    std::u16string_view name;
};
constexpr Extension kExtensions[] = {
    {platform::kXmmiInstructions, u"SSE"},
    {platform::kXmmi64Instructions, u"SSE2"},
    {platform::kMmxInstructions, u"MMX"},
    // MMX+ and 3DNow!+ have no feature number of their own; their items report the
    // floating-point precision erratum.
    {platform::kFloatingPointPrecisionErrata, u"MMX+"},
    {platform::k3DNowInstructions, u"3DNow!"},
    {platform::kFloatingPointPrecisionErrata, u"3DNow!+"},
};
constexpr Item kFirstExtensionItem = Item::SseYesNo;

}  // namespace

HRESULT CPUInfo::RunStep(Step step) {
    switch (step) {
        case Step::FirmwareVersion:
            return PollFirmwareVersion();
        case Step::VendorShort:
            return PollVendorShort();
        case Step::BiosDate:
            return PollRegistryItem(Item::BiosDate, kFirmwareKey, u"SystemBiosDate");
        case Step::CpuName:
            return PollRegistryItem(Item::CpuNameSingleLine, kProcessorKey, u"ProcessorNameString");
        case Step::CpuDualName:
            return PollDualName();
        case Step::VendorLong:
            return PollRegistryItem(Item::VendorLong, kProcessorKey, u"VendorIdentifier");
        case Step::Clock:
            return PollClock(Item::ClockUnsuffixed, Item::ClockSuffixed, kCurrentClockSpeed);
        case Step::ClockRatio:
            return PollFact(Item::ClockRatio, kClockMultiplier);
        case Step::BusClock:
            return PollClock(Item::BusClockUnsuffixed, Item::BusClockSuffixed, kFrontSideBus);
        case Step::ClockFreq:
            return PollClock(Item::ClockFreqUnsuffixed, Item::ClockFreqSuffixed, kClockFrequency);
        case Step::Socket:
            return PollFact(Item::SocketType, kSocketDesignation);
        case Step::Extensions:
            return PollExtensions();
        case Step::TypeIdentifier:
            return PollTypeIdentifier();
        case Step::TypePieces:
            return PollTypePieces();
        case Step::TypePrefixes:
            return PrefixTypePieces();
        case Step::AddressWidth:
            return PollFact(Item::AddressWidth, kAddressWidth);
        case Step::DataWidth:
            return PollFact(Item::DataWidth, kDataWidth);
    }
    return E_UNEXPECTED;
}

HRESULT CPUInfo::ReadRegistry(std::u16string_view key, std::u16string_view name,
                              std::u16string* text) {
    return ReadRegString(registry_, key, name, text);
}

void CPUInfo::Store(Item item, std::u16string_view text) {
    assert(Row(item).step == running_ && "each item is written by the step its row names");
    const auto index = static_cast<std::size_t>(Index(item));
    if (Row(item).slot == Slot::Text) {
        texts_[index] = text;
        return;
    }
    com::Variant value;
    if (FAILED(com::ReturnText(text, &value))) throw std::bad_alloc();
    variants_[index].Attach(&value);
}

HRESULT CPUInfo::PollFirmwareVersion() {
    std::u16string version;
    const HRESULT hr = ReadRegistry(kFirmwareKey, u"SystemBiosVersion", &version);
    if (FAILED(hr)) return hr;
    const std::vector<std::u16string> tokens = VersionTokens(version);
    std::u16string all = JoinTokens(tokens);
    // The numbered items as far as there are tokens; later tokens show only in the whole.
    constexpr std::size_t kNumbered = Index(Item::BiosVersion6) - Index(Item::BiosVersion1) + 1;
    for (std::size_t k = 0; k < tokens.size() && k < kNumbered; ++k)
        Store(Next(Item::BiosVersion1, k), tokens[k]);
    Store(Item::BiosVersionAll, all);
    return S_OK;
}

HRESULT CPUInfo::PollVendorShort() {
    std::u16string vendor;
    const HRESULT hr = ReadRegistry(kProcessorKey, u"VendorIdentifier", &vendor);
    if (FAILED(hr)) return hr;
    Store(Item::VendorShort, VendorShort(vendor));
    return S_OK;
}

HRESULT CPUInfo::PollRegistryItem(Item item, std::u16string_view key, std::u16string_view name) {
    std::u16string text;
    const HRESULT hr = ReadRegistry(key, name, &text);
    if (FAILED(hr)) return hr;
    Store(item, text);
    return S_OK;
}

HRESULT CPUInfo::PollDualName() {
    std::u16string name, dual;
    HRESULT hr = ReadRegistry(kProcessorKey, u"ProcessorNameString", &name);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = DualLine(name, &dual))) return hr;
    Store(Item::CpuNameDualLine, dual);
    return S_OK;
}

HRESULT CPUInfo::PollClock(Item item, Item suffixedItem, short selector) {
    std::u16string text;
    const HRESULT hr = Win32Processor(management_, selector, &text);
    if (FAILED(hr)) return hr;
    std::u16string suffixed = text + u" MHz";
    Store(item, text);
    Store(suffixedItem, suffixed);
    return S_OK;
}

HRESULT CPUInfo::PollFact(Item item, short selector) {
    std::u16string text;
    const HRESULT hr = Win32Processor(management_, selector, &text);
    if (FAILED(hr)) return hr;
    Store(item, text);
    return S_OK;
}

HRESULT CPUInfo::PollExtensions() {
    // The two wordings of an extension's answer, by [present][wording].
    static constexpr std::u16string_view kWords[2][2] = {{u"no", u"unsupported"},
                                                         {u"yes", u"supported"}};
    std::vector<std::u16string> texts;
    for (const Extension& extension : kExtensions) {
        for (int k = 0; k < 4; ++k) {
            bool present = false;
            const HRESULT hr = features_.IsPresent(extension.feature, &present);
            if (FAILED(hr)) return hr;
            std::u16string text;
            if (k >= 2) {
                text = extension.name;
                text.push_back(u' ');
            }
            text += kWords[present ? 1 : 0][k % 2];
            texts.push_back(std::move(text));
        }
    }
    for (std::size_t k = 0; k < texts.size(); ++k) Store(Next(kFirstExtensionItem, k), texts[k]);
    return S_OK;
}

HRESULT CPUInfo::PollTypeIdentifier() {
    std::u16string identifier, dual;
    HRESULT hr = ReadRegistry(kProcessorKey, u"Identifier", &identifier);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = DualLine(identifier, &dual))) return hr;
    Store(Item::TypeSingleLine, identifier);
    Store(Item::TypeDualLine, dual);
    return S_OK;
}

// The four pieces of the type identifier, and their prefixed forms.
constexpr Item kTypePieces[] = {Item::Platform, Item::Family, Item::Model, Item::Stepping};
constexpr Item kPrefixedPieces[] = {Item::PlatformPrefixed, Item::FamilyPrefixed,
                                    Item::ModelPrefixed, Item::SteppingPrefixed};

HRESULT CPUInfo::PollTypePieces() {
    static constexpr short kSelectors[] = {kArchitecture, kFamily, kLevel, kStepping};
    std::u16string pieces[4];
    for (int k = 0; k < 4; ++k) {
        const HRESULT hr = Win32Processor(management_, kSelectors[k], &pieces[k]);
        if (FAILED(hr)) return hr;
    }
    for (int k = 0; k < 4; ++k) Store(kTypePieces[k], pieces[k]);
    return S_OK;
}

HRESULT CPUInfo::PrefixTypePieces() {
    static constexpr std::u16string_view kPrefixes[] = {u"Architecture ", u"Family ", u"Model ",
                                                        u"Stepping "};
    for (int k = 0; k < 4; ++k) {
        const auto piece = static_cast<std::size_t>(Index(kTypePieces[k]));
        Store(kPrefixedPieces[k], std::u16string(kPrefixes[k]) + texts_[piece]);
    }
    return S_OK;
}

}  // namespace cpuinfo
