#include "platform/posix/arm_cores.h"

#include <cstddef>
#include <cstdio>
#include <iterator>
#include <span>
#include <string_view>

namespace platform::arm_cores {

namespace {

struct Part {
    unsigned code;
    std::string_view name;
};

struct Implementer {
    unsigned code;
    std::string_view name;
    std::span<const Part> parts;
};

// The published part codes of each implementer.
constexpr Part kArm[] = {
    {0x810, "ARM810"},      {0x920, "ARM920"},       {0x922, "ARM922"},
    {0x926, "ARM926"},      {0x940, "ARM940"},       {0x946, "ARM946"},
    {0x966, "ARM966"},      {0xa20, "ARM1020"},      {0xa22, "ARM1022"},
    {0xa26, "ARM1026"},     {0xb02, "ARM11 MPCore"}, {0xb36, "ARM1136"},
    {0xb56, "ARM1156"},     {0xb76, "ARM1176"},      {0xc05, "Cortex-A5"},
    {0xc07, "Cortex-A7"},   {0xc08, "Cortex-A8"},    {0xc09, "Cortex-A9"},
    {0xc0d, "Cortex-A17"},  {0xc0e, "Cortex-A17"},   {0xc0f, "Cortex-A15"},
    {0xc14, "Cortex-R4"},   {0xc15, "Cortex-R5"},    {0xc17, "Cortex-R7"},
    {0xc18, "Cortex-R8"},   {0xd01, "Cortex-A32"},   {0xd02, "Cortex-A34"},
    {0xd03, "Cortex-A53"},  {0xd04, "Cortex-A35"},   {0xd05, "Cortex-A55"},
    {0xd06, "Cortex-A65"},  {0xd07, "Cortex-A57"},   {0xd08, "Cortex-A72"},
    {0xd09, "Cortex-A73"},  {0xd0a, "Cortex-A75"},   {0xd0b, "Cortex-A76"},
    {0xd0c, "Neoverse-N1"}, {0xd0d, "Cortex-A77"},   {0xd0e, "Cortex-A76AE"},
    {0xd13, "Cortex-R52"},  {0xd15, "Cortex-R82"},   {0xd40, "Neoverse-V1"},
    {0xd41, "Cortex-A78"},  {0xd42, "Cortex-A78AE"}, {0xd43, "Cortex-A65AE"},
    {0xd44, "Cortex-X1"},   {0xd46, "Cortex-A510"},  {0xd47, "Cortex-A710"},
    {0xd48, "Cortex-X2"},   {0xd49, "Neoverse-N2"},  {0xd4a, "Neoverse-E1"},
    {0xd4b, "Cortex-A78C"}, {0xd4c, "Cortex-X1C"},   {0xd4d, "Cortex-A715"},
    {0xd4e, "Cortex-X3"},   {0xd4f, "Neoverse-V2"},  {0xd80, "Cortex-A520"},
    {0xd81, "Cortex-A720"}, {0xd82, "Cortex-X4"},    {0xd83, "Neoverse-V3AE"},
    {0xd84, "Neoverse-V3"}, {0xd85, "Cortex-X925"},  {0xd87, "Cortex-A725"},
    {0xd8e, "Neoverse-N3"},
};
constexpr Part kBroadcom[] = {
    {0x00f, "Brahma-B15"},
    {0x100, "Brahma-B53"},
    {0x516, "ThunderX2"},
};
constexpr Part kCavium[] = {
    {0x0a0, "ThunderX"},        {0x0a1, "ThunderX-88XX"},  {0x0a2, "ThunderX-81XX"},
    {0x0a3, "ThunderX-83XX"},   {0x0af, "ThunderX2-99xx"}, {0x0b0, "OcteonTX2"},
    {0x0b1, "OcteonTX2-98XX"},  {0x0b2, "OcteonTX2-96XX"}, {0x0b3, "OcteonTX2-95XX"},
    {0x0b4, "OcteonTX2-95XXN"}, {0x0b8, "ThunderX3-T110"},
};
constexpr Part kDec[] = {
    {0xa10, "SA110"},
    {0xa11, "SA1100"},
};
constexpr Part kFujitsu[] = {
    {0x001, "A64FX"},
};
constexpr Part kHuawei[] = {
    {0xd01, "Kunpeng-920"},
    {0xd40, "Cortex-A76"},
};
constexpr Part kNvidia[] = {
    {0x000, "Denver"},
    {0x003, "Denver 2"},
    {0x004, "Carmel"},
};
constexpr Part kApm[] = {
    {0x000, "X-Gene"},
};
constexpr Part kQualcomm[] = {
    {0x001, "Oryon"},          {0x00f, "Scorpion"},
    {0x02d, "Scorpion"},       {0x04d, "Krait"},
    {0x06f, "Krait"},          {0x201, "Kryo"},
    {0x205, "Kryo"},           {0x211, "Kryo"},
    {0x800, "Falkor-V1/Kryo"}, {0x801, "Kryo-V2"},
    {0x802, "Kryo-3XX-Gold"},  {0x803, "Kryo-3XX-Silver"},
    {0x804, "Kryo-4XX-Gold"},  {0x805, "Kryo-4XX-Silver"},
    {0xc00, "Falkor"},         {0xc01, "Saphira"},
};
constexpr Part kSamsung[] = {
    {0x001, "Exynos-M1"},
    {0x002, "Exynos-M3"},
    {0x003, "Exynos-M4"},
    {0x004, "Exynos-M5"},
};
constexpr Part kMarvell[] = {
    {0x131, "Feroceon-88FR131"},
    {0x581, "PJ4/PJ4b"},
    {0x584, "PJ4B-MP"},
};
constexpr Part kApple[] = {
    {0x022, "Icestorm-M1"},      {0x023, "Firestorm-M1"},    {0x024, "Icestorm-M1-Pro"},
    {0x025, "Firestorm-M1-Pro"}, {0x028, "Icestorm-M1-Max"}, {0x029, "Firestorm-M1-Max"},
    {0x032, "Blizzard-M2"},      {0x033, "Avalanche-M2"},    {0x034, "Blizzard-M2-Pro"},
    {0x035, "Avalanche-M2-Pro"}, {0x038, "Blizzard-M2-Max"}, {0x039, "Avalanche-M2-Max"},
};
constexpr Part kFaraday[] = {
    {0x526, "FA526"},
    {0x626, "FA626"},
};
constexpr Part kIntel[] = {
    {0x200, "i80200"}, {0x210, "PXA250A"}, {0x290, "PXA250B/PXA26x"},
    {0x2d0, "PXA255"}, {0x411, "PXA27x"},  {0x682, "PXA32x"},
    {0x688, "PXA30x"}, {0x689, "PXA31x"},  {0xb11, "SA1110"},
};
constexpr Part kMicrosoft[] = {
    {0xd49, "Azure-Cobalt-100"},
};
constexpr Part kPhytium[] = {
    {0x303, "FTC310"}, {0x660, "FTC660"}, {0x661, "FTC661"}, {0x662, "FTC662"},
    {0x663, "FTC663"}, {0x664, "FTC664"}, {0x862, "FTC862"},
};
constexpr Part kAmpere[] = {
    {0xac3, "Ampere-1"},
    {0xac4, "Ampere-1a"},
};

// The published implementer codes.
constexpr Implementer kImplementers[] = {
    {0x41, "ARM", kArm},         {0x42, "Broadcom", kBroadcom},    {0x43, "Cavium", kCavium},
    {0x44, "DEC", kDec},         {0x46, "Fujitsu", kFujitsu},      {0x48, "Huawei", kHuawei},
    {0x49, "Infineon", {}},      {0x4d, "Motorola/Freescale", {}}, {0x4e, "NVIDIA", kNvidia},
    {0x50, "APM", kApm},         {0x51, "Qualcomm", kQualcomm},    {0x53, "Samsung", kSamsung},
    {0x56, "Marvell", kMarvell}, {0x61, "Apple", kApple},          {0x66, "Faraday", kFaraday},
    {0x69, "Intel", kIntel},     {0x6d, "Microsoft", kMicrosoft},  {0x70, "Phytium", kPhytium},
    {0xc0, "Ampere", kAmpere},
};

// Each code once, each with a name.
constexpr bool WellFormed() {
    for (std::size_t i = 0; i < std::size(kImplementers); ++i) {
        const Implementer& implementer = kImplementers[i];
        if (implementer.name.empty()) return false;
        for (std::size_t j = i + 1; j < std::size(kImplementers); ++j)
            if (kImplementers[j].code == implementer.code) return false;
        for (std::size_t k = 0; k < implementer.parts.size(); ++k) {
            if (implementer.parts[k].name.empty()) return false;
            for (std::size_t m = k + 1; m < implementer.parts.size(); ++m)
                if (implementer.parts[m].code == implementer.parts[k].code) return false;
        }
    }
    return true;
}
static_assert(WellFormed(), "an implementer or part code twice, or without a name");

const Implementer* FindImplementer(unsigned long long code) {
    for (const auto& implementer : kImplementers)
        if (implementer.code == code) return &implementer;
    return nullptr;
}

std::string Hex(unsigned long long code, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llx", digits, code);
    return text;
}

}  // namespace

std::string ImplementerName(unsigned long long implementer) {
    if (const Implementer* found = FindImplementer(implementer)) return std::string(found->name);
    return "Implementer " + Hex(implementer, 2);
}

std::string CoreName(unsigned long long implementer, unsigned long long part) {
    if (const Implementer* found = FindImplementer(implementer)) {
        for (const Part& p : found->parts)
            if (p.code == part) return std::string(p.name);
    }
    return ImplementerName(implementer) + " part " + Hex(part, 3);
}

}  // namespace platform::arm_cores
