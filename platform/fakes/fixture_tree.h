// Folder trees standing in for "/" for the Linux stand-ins, in their tests and benchmarks: the
// committed snapshots of real machines (fixtures/), copied into a temporary folder where a test can
// add or change files, and SMBIOS tables built byte by byte.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform::fakes {

namespace fs = std::filesystem;

inline fs::path Fixture(std::string_view name) {
    return fs::path(TESS_FAKE_FIXTURES) / name;
}

// A temporary folder, removed with everything in it when the object goes.
class TempTree {
  public:
    TempTree() {
        std::string pattern = (fs::temp_directory_path() / "cpuplatform-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
    }
    // A copy of the committed snapshot `fixture`.
    explicit TempTree(std::string_view fixture) : TempTree() {
        fs::copy(Fixture(fixture), root_, fs::copy_options::recursive);
    }
    ~TempTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const fs::path& Root() const { return root_; }

    void Write(const fs::path& relative, std::string_view bytes) const {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path.string());
    }
    void Remove(const fs::path& relative) const { fs::remove_all(root_ / relative); }

  private:
    fs::path root_;
};

// One SMBIOS structure: its type, the formatted area after the 4-byte header, and its strings.
struct SmbiosRecord {
    std::uint8_t type;
    std::vector<std::uint8_t> formatted;
    std::vector<std::string> strings;
};

// A raw structure table as the firmware hands it over, ended by the end-of-table record.
inline std::string SmbiosTable(std::initializer_list<SmbiosRecord> records) {
    std::string table;
    std::uint16_t handle = 0;
    auto append = [&](const SmbiosRecord& r) {
        table += static_cast<char>(r.type);
        table += static_cast<char>(4 + r.formatted.size());
        table += static_cast<char>(handle & 0xFF);
        table += static_cast<char>(handle >> 8);
        ++handle;
        table.append(r.formatted.begin(), r.formatted.end());
        for (const auto& s : r.strings) {
            table += s;
            table += '\0';
        }
        if (r.strings.empty()) table += '\0';
        table += '\0';
    };
    for (const auto& r : records) append(r);
    append({127, {}, {}});
    return table;
}

// The fields of a processor record (type 4) that matter here, at their offsets.
struct ProcessorFields {
    std::uint8_t socket = 1;  // string numbers
    std::uint8_t version = 2;
    std::uint8_t family = 0;
    std::uint16_t externalClock = 0;
    std::uint16_t family2 = 0;
    std::size_t length = 0x30;  // the whole record, header included (0x30: SMBIOS 3.0)
};

inline SmbiosRecord ProcessorRecord(const ProcessorFields& f, std::vector<std::string> strings) {
    std::vector<std::uint8_t> area(f.length - 4, 0);
    auto put = [&](std::size_t offset, std::uint8_t byte) {
        if (offset >= 4 && offset < f.length) area[offset - 4] = byte;
    };
    put(0x04, f.socket);
    put(0x05, 3);  // central processor
    put(0x06, f.family);
    put(0x10, f.version);
    put(0x12, f.externalClock & 0xFF);
    put(0x13, f.externalClock >> 8);
    put(0x28, f.family2 & 0xFF);
    put(0x29, f.family2 >> 8);
    return {4, std::move(area), std::move(strings)};
}

// A firmware record (type 0) and a system record (type 1) as they precede the processor.
inline SmbiosRecord FirmwareRecord() {
    return {
        0, std::vector<std::uint8_t>(0x14, 0), {"American Megatrends Inc.", "F12", "11/25/2019"}};
}
inline SmbiosRecord SystemRecord() {
    return {1, std::vector<std::uint8_t>(0x17, 0), {}};
}

inline constexpr const char* kDmiTable = "sys/firmware/dmi/tables/DMI";

// A two-socket server with 256 logical processors: its proc/cpuinfo runs to 256 blocks.
inline void WriteServer(const TempTree& tree) {
    std::string cpuinfo;
    for (int i = 0; i < 256; ++i) {
        const int core = i % 128 / 2;
        cpuinfo +=
            "processor\t: " + std::to_string(i) +
            "\nvendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 49\n"
            "model name\t: AMD EPYC 7742 64-Core Processor\nstepping\t: 0\n"
            "microcode\t: 0x830107a\ncpu MHz\t\t: " +
            std::to_string(1500 + i) +
            ".000\ncache size\t: 512 KB\nphysical id\t: " + std::to_string(i / 128) +
            "\nsiblings\t: 128\ncore id\t\t: " + std::to_string(core) +
            "\ncpu cores\t: 64\napicid\t\t: " + std::to_string(i) +
            "\ninitial apicid\t: " + std::to_string(i) +
            "\nfpu\t\t: yes\nfpu_exception\t: yes\ncpuid level\t: 16\nwp\t\t: yes\n"
            "flags\t\t: fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat "
            "pse36 clflush mmx fxsr sse sse2 ht syscall nx mmxext fxsr_opt pdpe1gb rdtscp lm "
            "constant_tsc rep_good nopl nonstop_tsc cpuid extd_apicid aperfmperf rapl pni "
            "pclmulqdq monitor ssse3 fma cx16 sse4_1 sse4_2 movbe popcnt aes xsave avx f16c "
            "rdrand lahf_lm cmp_legacy svm extapic cr8_legacy abm sse4a misalignsse "
            "3dnowprefetch osvw ibs skinit wdt tce topoext perfctr_core perfctr_nb bpext "
            "perfctr_llc mwaitx cpb cat_l3 cdp_l3 hw_pstate ssbd mba ibrs ibpb stibp vmmcall "
            "fsgsbase bmi1 avx2 smep bmi2 cqm rdt_a rdseed adx smap clflushopt clwb sha_ni "
            "xsaveopt xsavec xgetbv1 xsaves cqm_llc cqm_occup_llc cqm_mbm_total "
            "cqm_mbm_local clzero irperf xsaveerptr rdpru wbnoinvd amd_ppin arat npt lbrv "
            "svm_lock nrip_save tsc_scale vmcb_clean flushbyasid decodeassists pausefilter "
            "pfthreshold avic v_vmsave_vmload vgif v_spec_ctrl umip rdpid overflow_recov "
            "succor smca sme sev sev_es\n"
            "bugs\t\t: sysret_ss_attrs spectre_v1 spectre_v2 spec_store_bypass retbleed smt_rsb "
            "srso\nbogomips\t: 4491.50\nTLB size\t: 3072 4K pages\nclflush size\t: 64\n"
            "cache_alignment\t: 64\naddress sizes\t: 43 bits physical, 48 bits virtual\n"
            "power management: ts ttp tm hwpstate cpb eff_freq_ro [12] [13]\n\n";
    }
    tree.Write("proc/cpuinfo", cpuinfo);
    tree.Write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "2245123\n");
    tree.Write("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "2250000\n");
    tree.Write("sys/class/dmi/id/bios_vendor", "American Megatrends Inc.\n");
    tree.Write("sys/class/dmi/id/bios_version", "2.3\n");
    tree.Write("sys/class/dmi/id/bios_release", "5.14\n");
    tree.Write("sys/class/dmi/id/bios_date", "04/27/2021\n");
    const auto socket = [](const char* name) {
        return ProcessorRecord({.family = 0xFE, .externalClock = 100, .family2 = 0x6B},
                               {name, "AMD EPYC 7742 64-Core Processor"});
    };
    tree.Write(kDmiTable,
               SmbiosTable({FirmwareRecord(), SystemRecord(), socket("CPU1"), socket("CPU2")}));
}

}  // namespace platform::fakes
