#include "cpuinfo/w32_processor.h"

#include <algorithm>
#include <array>
#include <utility>

#include "com/errors.h"
#include "com/owners.h"

namespace cpuinfo::w32_Processor {

namespace {

// The Itanium code of the management class's value map for "Architecture".
constexpr std::int16_t kArchitectureIa64 = 6;

struct Named {
    std::int16_t code;
    std::u16string_view name;
};

// Sorted by code, for a binary search.
constexpr std::array<Named, 102> kFamilies{{
    {1, u"other"},
    {3, u"8086"},
    {4, u"80286"},
    {5, u"80386"},
    {6, u"80486"},
    {7, u"8087"},
    {8, u"80287"},
    {9, u"80387"},
    {10, u"80487"},
    {11, u"Pentium brand"},
    {12, u"Pentium Pro"},
    {13, u"Pentium II"},
    {14, u"Pentium with MMX"},
    {15, u"Celeron"},
    {16, u"Pentium II Xeon"},
    {17, u"Pentium III"},
    {18, u"M1 Family"},
    {19, u"M2 Family"},
    {24, u"K5 Family"},
    {25, u"K6 Family"},
    {26, u"K6-2"},
    {27, u"K6-3"},
    {28, u"AMD Athlon Family"},
    {29, u"AMD Duron Family"},
    {30, u"AMD 2900 Family"},
    {31, u"K6-2+"},
    {32, u"Power PC Family"},
    {33, u"Power PC 601"},
    {34, u"Power PC 603"},
    {35, u"Power PC 603+"},
    {36, u"Power PC 604"},
    {37, u"Power PC 620"},
    {38, u"Power PC X704"},
    {39, u"Power PC 750"},
    {48, u"Alpha Family"},
    {49, u"Alpha 21064"},
    {50, u"Alpha 21066"},
    {51, u"Alpha 21164"},
    {52, u"Alpha 21164PC"},
    {53, u"Alpha 21164a"},
    {54, u"Alpha 21264"},
    {55, u"Alpha 21364"},
    {64, u"MIPS Family"},
    {65, u"MIPS R4000"},
    {66, u"MIPS R4200"},
    {67, u"MIPS R4400"},
    {68, u"MIPS R4600"},
    {69, u"MIPS R10000"},
    {80, u"SPARC Family"},
    {81, u"SuperSPARC"},
    {82, u"microSPARC II"},
    {83, u"microSPARC IIep"},
    {84, u"UltraSPARC"},
    {85, u"UltraSPARC II"},
    {86, u"UltraSPARC IIi"},
    {87, u"UltraSPARC III"},
    {88, u"UltraSPARC IIIi"},
    {96, u"68040"},
    {97, u"68xxx Family"},
    {98, u"68000"},
    {99, u"68010"},
    {100, u"68020"},
    {101, u"68030"},
    {112, u"Hobbit Family"},
    {120, u"Crusoe TM5000 Family"},
    {121, u"Crusoe TM3000 Family"},
    {128, u"Weitek"},
    {130, u"Itanium Processor"},
    {144, u"PA-RISC Family"},
    {145, u"PA-RISC 8500"},
    {146, u"PA-RISC 8000"},
    {147, u"PA-RISC 7300LC"},
    {148, u"PA-RISC 7200"},
    {149, u"PA-RISC 7100LC"},
    {150, u"PA-RISC 7100"},
    {160, u"V30 Family"},
    {176, u"Pentium III Xeon"},
    {177, u"Pentium III with Intel SpeedStep"},
    {178, u"Pentium 4"},
    {179, u"Intel Xeon"},
    {180, u"AS400 Family"},
    {181, u"Intel Xeon MP"},
    {182, u"AMD Athlon XP"},
    {183, u"AMD Athlon MP"},
    {184, u"Intel Itanium 2"},
    {185, u"AMD Opteron Family"},
    {190, u"K7"},
    {200, u"IBM390 Family"},
    {201, u"G4"},
    {202, u"G5"},
    {250, u"i860"},
    {251, u"i960"},
    {260, u"SH-3"},
    {261, u"SH-4"},
    {280, u"ARM"},
    {281, u"StrongARM"},
    {300, u"6x86"},
    {301, u"MediaGX"},
    {302, u"MII"},
    {320, u"WinChip"},
    {350, u"DSP"},
    {500, u"Video Processor"},
}};

static_assert(std::is_sorted(kFamilies.begin(), kFamilies.end(),
                             [](const Named& a, const Named& b) { return a.code < b.code; }));

constexpr std::u16string_view kUnknown = u"unknown";

}  // namespace

std::u16string_view ArchitectureName(std::int16_t code) {
    switch (code) {
        case 0:
            return u"x86";
        case 1:
            return u"MIPS";
        case 2:
            return u"Alpha";
        case 3:
            return u"Power PC";
        case kArchitectureIa64:
            return u"ia64";
        default:
            return kUnknown;
    }
}

std::u16string_view FamilyName(std::int16_t code) {
    const auto it = std::lower_bound(kFamilies.begin(), kFamilies.end(), code,
                                     [](const Named& n, std::int16_t c) { return n.code < c; });
    if (it == kFamilies.end() || it->code != code) return kUnknown;
    return it->name;
}

HRESULT ConversionStatus(HRESULT hr) {
    if (hr == DISP_E_TYPEMISMATCH) return com::kTypeMismatch;
    if (hr == DISP_E_OVERFLOW) return com::kOverflow;
    return hr;
}

HRESULT ClockRatio(std::int16_t coreClock, const VARIANT& externalClock, double* ratio) {
    if (ratio == nullptr) return E_POINTER;
    *ratio = 0;
    if (externalClock.vt == VT_NULL) return com::kInvalidUseOfNull;
    com::Variant whole;
    VARIANT source = externalClock;  // read only; the platform's declaration is not const
    const HRESULT hr = VariantChangeType(&whole, &source, 0, VT_I4);
    if (FAILED(hr)) return ConversionStatus(hr);
    const long e = whole.lVal;
    if (e == 0) return com::kDivisionByZero;
    // Integer division drops the fraction toward zero; the remainder takes the core clock's sign.
    const long q = coreClock / e;
    const long m = coreClock % e;
    *ratio = static_cast<double>(q) + (m > 5 ? 0.5 : 0.0);
    return S_OK;
}

}  // namespace cpuinfo::w32_Processor
