#include "cpuinfo/catalogue.h"

#include <array>
#include <cstddef>

namespace cpuinfo {

namespace {

constexpr Slot Variant = Slot::Variant;
constexpr Slot Text = Slot::Text;

constexpr std::array<ItemRow, kItemCount> kItems{{
    {Item::AddressWidth, u"Orvantel\\CPU Bus\\Address Width (bits)", Variant, Step::AddressWidth},
    {Item::BiosDate, u"Orvantel\\System BIOS\\Date", Variant, Step::BiosDate},
    {Item::BiosVersionAll, u"Orvantel\\System BIOS\\Version\\all", Text, Step::FirmwareVersion},
    {Item::BiosVersion1, u"Orvantel\\System BIOS\\Version\\value 1", Text, Step::FirmwareVersion},
    {Item::BiosVersion2, u"Orvantel\\System BIOS\\Version\\value 2", Text, Step::FirmwareVersion},
    {Item::BiosVersion3, u"Orvantel\\System BIOS\\Version\\value 3", Text, Step::FirmwareVersion},
    {Item::BiosVersion4, u"Orvantel\\System BIOS\\Version\\value 4", Text, Step::FirmwareVersion},
    {Item::BiosVersion5, u"Orvantel\\System BIOS\\Version\\value 5", Text, Step::FirmwareVersion},
    {Item::BiosVersion6, u"Orvantel\\System BIOS\\Version\\value 6", Text, Step::FirmwareVersion},
    {Item::DataWidth, u"Orvantel\\CPU Bus\\Data Width (bits)", Text, Step::DataWidth},
    {Item::TypeSingleLine, u"Orvantel\\CPU Type Identifier\\single line", Text,
     Step::TypeIdentifier},
    {Item::CpuNameSingleLine, u"Orvantel\\CPU Name\\single line", Variant, Step::CpuName},
    {Item::VendorLong, u"Orvantel\\CPU Vendor\\Long", Text, Step::VendorLong},
    {Item::ClockSuffixed, u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. (suffixed MHz)", Variant,
     Step::Clock},
    {Item::VendorShort, u"Orvantel\\CPU Vendor\\Short", Variant, Step::VendorShort},
    {Item::CpuNameDualLine, u"Orvantel\\CPU Name\\dual line", Text, Step::CpuDualName},
    {Item::ClockUnsuffixed, u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. (unsuffixed)", Variant,
     Step::Clock},
    {Item::SseYesNo, u"Orvantel\\Instruction Extension\\SSE\\yes/no", Variant, Step::Extensions},
    {Item::SseSupported, u"Orvantel\\Instruction Extension\\SSE\\supported/unsupported", Variant,
     Step::Extensions},
    {Item::SseNamedYesNo, u"Orvantel\\Instruction Extension\\SSE\\SSE yes/no", Variant,
     Step::Extensions},
    {Item::SseNamedSupported, u"Orvantel\\Instruction Extension\\SSE\\SSE supported/unsupported",
     Variant, Step::Extensions},
    {Item::Sse2YesNo, u"Orvantel\\Instruction Extension\\SSE2\\yes/no", Variant, Step::Extensions},
    {Item::Sse2Supported, u"Orvantel\\Instruction Extension\\SSE2\\supported/unsupported", Variant,
     Step::Extensions},
    {Item::Sse2NamedYesNo, u"Orvantel\\Instruction Extension\\SSE2\\SSE2 yes/no", Variant,
     Step::Extensions},
    {Item::Sse2NamedSupported, u"Orvantel\\Instruction Extension\\SSE2\\SSE2 supported/unsupported",
     Variant, Step::Extensions},
    {Item::MmxYesNo, u"Orvantel\\Instruction Extension\\MMX\\yes/no", Variant, Step::Extensions},
    {Item::MmxSupported, u"Orvantel\\Instruction Extension\\MMX\\supported/unsupported", Variant,
     Step::Extensions},
    {Item::MmxNamedYesNo, u"Orvantel\\Instruction Extension\\MMX\\MMX yes/no", Variant,
     Step::Extensions},
    {Item::MmxNamedSupported, u"Orvantel\\Instruction Extension\\MMX\\MMX supported/unsupported",
     Variant, Step::Extensions},
    {Item::MmxPlusYesNo, u"Orvantel\\Instruction Extension\\MMX+\\yes/no (unavailabe)", Variant,
     Step::Extensions},
    {Item::MmxPlusSupported,
     u"Orvantel\\Instruction Extension\\MMX+\\supported/unsupported (unavailabe)", Variant,
     Step::Extensions},
    {Item::MmxPlusNamedYesNo, u"Orvantel\\Instruction Extension\\MMX+\\MMX+ yes/no (unavailabe)",
     Variant, Step::Extensions},
    {Item::MmxPlusNamedSupported,
     u"Orvantel\\Instruction Extension\\MMX+\\MMX+ supported/unsupported (unavailabe)", Variant,
     Step::Extensions},
    {Item::ThreeDNowYesNo, u"Orvantel\\Instruction Extension\\3DNow!\\yes/no", Variant,
     Step::Extensions},
    {Item::ThreeDNowSupported, u"Orvantel\\Instruction Extension\\3DNow!\\supported/unsupported",
     Variant, Step::Extensions},
    {Item::ThreeDNowNamedYesNo, u"Orvantel\\Instruction Extension\\3DNow!\\3DNow! yes/no", Variant,
     Step::Extensions},
    {Item::ThreeDNowNamedSupported,
     u"Orvantel\\Instruction Extension\\3DNow!\\3DNow! supported/unsupported", Variant,
     Step::Extensions},
    {Item::ThreeDNowPlusYesNo, u"Orvantel\\Instruction Extension\\3DNow!+\\yes/no (unavailabe)",
     Variant, Step::Extensions},
    {Item::ThreeDNowPlusSupported,
     u"Orvantel\\Instruction Extension\\3DNow!+\\supported/unsupported (unavailabe)", Variant,
     Step::Extensions},
    {Item::ThreeDNowPlusNamedYesNo,
     u"Orvantel\\Instruction Extension\\3DNow!+\\3DNow!+ yes/no (unavailabe)", Variant,
     Step::Extensions},
    {Item::ThreeDNowPlusNamedSupported,
     u"Orvantel\\Instruction Extension\\3DNow!+\\3DNow!+ supported/unsupported (unavailabe)",
     Variant, Step::Extensions},
    {Item::TypeDualLine, u"Orvantel\\CPU Type Identifier\\dual line", Text, Step::TypeIdentifier},
    {Item::PlatformPrefixed, u"Orvantel\\CPU Type Identifier\\platform (prefixed)", Text,
     Step::TypePrefixes},
    {Item::FamilyPrefixed, u"Orvantel\\CPU Type Identifier\\family (prefixed)", Text,
     Step::TypePrefixes},
    {Item::ModelPrefixed, u"Orvantel\\CPU Type Identifier\\model (prefixed)", Text,
     Step::TypePrefixes},
    {Item::SteppingPrefixed, u"Orvantel\\CPU Type Identifier\\stepping (prefixed)", Text,
     Step::TypePrefixes},
    {Item::Platform, u"Orvantel\\CPU Type Identifier\\platform", Text, Step::TypePieces},
    {Item::Family, u"Orvantel\\CPU Type Identifier\\family", Text, Step::TypePieces},
    {Item::Model, u"Orvantel\\CPU Type Identifier\\model", Text, Step::TypePieces},
    {Item::Stepping, u"Orvantel\\CPU Type Identifier\\stepping", Text, Step::TypePieces},
    {Item::ClockRatio, u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. Ratio", Variant, Step::ClockRatio},
    {Item::BusClockSuffixed, u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(suffixed)", Variant,
     Step::BusClock},
    {Item::BusClockUnsuffixed, u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(unsuffixed)", Variant,
     Step::BusClock},
    {Item::ClockFreqSuffixed, u"Orvantel\\CPU & MOBO Freq.\\CPU Clock Freq.(suffixed)", Variant,
     Step::ClockFreq},
    {Item::ClockFreqUnsuffixed, u"Orvantel\\CPU & MOBO Freq.\\CPU Clock Freq.(unsuffixed)", Variant,
     Step::ClockFreq},
    {Item::SocketType, u"Orvantel\\CPU Type Identifier\\socket type", Variant, Step::Socket},
}};

// Each row stands at its item's index.
constexpr bool InItemOrder() {
    for (std::size_t i = 0; i < kItems.size(); ++i)
        if (Index(kItems[i].item) != static_cast<LONG>(i)) return false;
    return true;
}
static_assert(InItemOrder());

}  // namespace

const ItemRow& Row(LONG index) {
    return kItems[static_cast<std::size_t>(index)];
}

}  // namespace cpuinfo
