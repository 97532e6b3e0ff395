#include "cpuinfo/catalogue.h"

#include <array>

namespace cpuinfo {

namespace {

constexpr std::array<std::u16string_view, kItemCount> kNames{{
    u"Orvantel\\CPU Bus\\Address Width (bits)",
    u"Orvantel\\System BIOS\\Date",
    u"Orvantel\\System BIOS\\Version\\all",
    u"Orvantel\\System BIOS\\Version\\value 1",
    u"Orvantel\\System BIOS\\Version\\value 2",
    u"Orvantel\\System BIOS\\Version\\value 3",
    u"Orvantel\\System BIOS\\Version\\value 4",
    u"Orvantel\\System BIOS\\Version\\value 5",
    u"Orvantel\\System BIOS\\Version\\value 6",
    u"Orvantel\\CPU Bus\\Data Width (bits)",
    u"Orvantel\\CPU Type Identifier\\single line",
    u"Orvantel\\CPU Name\\single line",
    u"Orvantel\\CPU Vendor\\Long",
    u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. (suffixed MHz)",
    u"Orvantel\\CPU Vendor\\Short",
    u"Orvantel\\CPU Name\\dual line",
    u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. (unsuffixed)",
    u"Orvantel\\Instruction Extension\\SSE\\yes/no",
    u"Orvantel\\Instruction Extension\\SSE\\supported/unsupported",
    u"Orvantel\\Instruction Extension\\SSE\\SSE yes/no",
    u"Orvantel\\Instruction Extension\\SSE\\SSE supported/unsupported",
    u"Orvantel\\Instruction Extension\\SSE2\\yes/no",
    u"Orvantel\\Instruction Extension\\SSE2\\supported/unsupported",
    u"Orvantel\\Instruction Extension\\SSE2\\SSE2 yes/no",
    u"Orvantel\\Instruction Extension\\SSE2\\SSE2 supported/unsupported",
    u"Orvantel\\Instruction Extension\\MMX\\yes/no",
    u"Orvantel\\Instruction Extension\\MMX\\supported/unsupported",
    u"Orvantel\\Instruction Extension\\MMX\\MMX yes/no",
    u"Orvantel\\Instruction Extension\\MMX\\MMX supported/unsupported",
    u"Orvantel\\Instruction Extension\\MMX+\\yes/no (unavailabe)",
    u"Orvantel\\Instruction Extension\\MMX+\\supported/unsupported (unavailabe)",
    u"Orvantel\\Instruction Extension\\MMX+\\MMX+ yes/no (unavailabe)",
    u"Orvantel\\Instruction Extension\\MMX+\\MMX+ supported/unsupported (unavailabe)",
    u"Orvantel\\Instruction Extension\\3DNow!\\yes/no",
    u"Orvantel\\Instruction Extension\\3DNow!\\supported/unsupported",
    u"Orvantel\\Instruction Extension\\3DNow!\\3DNow! yes/no",
    u"Orvantel\\Instruction Extension\\3DNow!\\3DNow! supported/unsupported",
    u"Orvantel\\Instruction Extension\\3DNow!+\\yes/no (unavailabe)",
    u"Orvantel\\Instruction Extension\\3DNow!+\\supported/unsupported (unavailabe)",
    u"Orvantel\\Instruction Extension\\3DNow!+\\3DNow!+ yes/no (unavailabe)",
    u"Orvantel\\Instruction Extension\\3DNow!+\\3DNow!+ supported/unsupported (unavailabe)",
    u"Orvantel\\CPU Type Identifier\\dual line",
    u"Orvantel\\CPU Type Identifier\\platform (prefixed)",
    u"Orvantel\\CPU Type Identifier\\family (prefixed)",
    u"Orvantel\\CPU Type Identifier\\model (prefixed)",
    u"Orvantel\\CPU Type Identifier\\stepping (prefixed)",
    u"Orvantel\\CPU Type Identifier\\platform",
    u"Orvantel\\CPU Type Identifier\\family",
    u"Orvantel\\CPU Type Identifier\\model",
    u"Orvantel\\CPU Type Identifier\\stepping",
    u"Orvantel\\CPU & MOBO Freq.\\CPU Freq. Ratio",
    u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(suffixed)",
    u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(unsuffixed)",
    u"Orvantel\\CPU & MOBO Freq.\\CPU Clock Freq.(suffixed)",
    u"Orvantel\\CPU & MOBO Freq.\\CPU Clock Freq.(unsuffixed)",
    u"Orvantel\\CPU Type Identifier\\socket type",
}};

}  // namespace

std::u16string_view ItemName(LONG index) {
    return kNames[static_cast<std::size_t>(index)];
}

bool IsVariantSlot(LONG index) {
    // Text slots: the firmware version texts, the data width, the type identifier texts, the
    // long vendor name and the two-line name.
    return !((index >= 2 && index <= 10) || index == 12 || index == 15 ||
             (index >= 41 && index <= 49));
}

}  // namespace cpuinfo
