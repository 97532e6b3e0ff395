// The Linux stand-ins of the registry and the management service over a folder tree filled
// from the fuzz bytes (proc/cpuinfo, the firmware's sysfs attributes, cpufreq and the SMBIOS
// table), alone and behind an Orvantel object's poll.
//
// Input: the files' contents one after the other as FuzzedDataProvider strings (a backslash
// ends one; "\\" stands for a backslash), the SMBIOS table last with all the bytes left. The
// input's last bytes steer the rest: from the end, the kind of machine, which files exist, and
// 24 bytes for the queries.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/linux_sources.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFiles[] = {"proc/cpuinfo",
                                  "sys/class/dmi/id/bios_vendor",
                                  "sys/class/dmi/id/bios_version",
                                  "sys/class/dmi/id/bios_release",
                                  "sys/class/dmi/id/bios_date",
                                  "sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq",
                                  "sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq",
                                  "sys/firmware/dmi/tables/DMI"};

constexpr const char* kMachines[] = {"x86_64", "i686", "aarch64", "armv7l", "riscv64", "s390x"};

constexpr std::u16string_view kProperties[] = {
    u"AddressWidth",      u"Architecture",  u"DataWidth",  u"DeviceID", u"ProcessorType",
    u"CurrentClockSpeed", u"MaxClockSpeed", u"ExtClock",   u"Family",   u"SocketDesignation",
    u"Version",           u"Level",         u"Stepping",   u"Name",     u"Manufacturer",
    u"Caption",           u"Description",   u"L2CacheSize"};

constexpr const char kPrefix[] = "tess-fuzz-root-";

// The folder of this process: in memory where /dev/shm is there. Folders left by processes that
// are gone (a run ended by a finding) are removed first; this process's own at exit.
const fs::path& Root() {
    // Made once and never destroyed, so that the exit handler still has it after the static
    // objects are gone.
    static const fs::path& root = *[] {
        std::error_code ec;
        fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        for (const auto& entry : fs::directory_iterator(base, ec)) {
            const std::string name = entry.path().filename().string();
            if (!name.starts_with(kPrefix)) continue;
            const long pid = std::strtol(name.c_str() + sizeof kPrefix - 1, nullptr, 10);
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                fs::remove_all(entry.path(), ec);
        }
        auto* own = new fs::path(base / (kPrefix + std::to_string(getpid())));
        fs::remove_all(*own, ec);
        fs::create_directories(*own);
        return own;
    }();
    static const bool cleanup = std::atexit([] {
                                    std::error_code ignored;
                                    fs::remove_all(Root(), ignored);
                                }) == 0;
    (void)cleanup;
    return root;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(static_cast<bool>(out));
}

void QueryRegistry(FuzzedDataProvider& in, platform::Registry& registry) {
    static constexpr struct {
        std::string_view key, value;
    } kValues[] = {
        {"HARDWARE\\DESCRIPTION\\System", "SystemBiosVersion"},
        {"HARDWARE\\DESCRIPTION\\System", "SystemBiosDate"},
        {"hardware\\description\\system\\centralprocessor\\0", "ProcessorNameString"},
        {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "VendorIdentifier"},
        {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier"},
        {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "FeatureSet"},
        {"HARDWARE\\DESCRIPTION", "Identifier"},
    };
    for (const auto& v : kValues) {
        platform::Registry::Key key = 0;
        if (registry.Open(v.key, &key) != platform::kRegSuccess) continue;
        unsigned char data[300];
        unsigned long offered = in.ConsumeIntegralInRange<unsigned long>(0, sizeof data);
        unsigned long size = offered;
        unsigned long type = 0;
        const bool withData = in.ConsumeIntegralInRange(0, 7) != 0;
        const long rc = registry.Query(key, v.value, &type, withData ? data : nullptr, &size);
        if (rc == platform::kRegSuccess) {
            FUZZ_CHECK(type == platform::kRegSz || type == platform::kRegMultiSz);
            FUZZ_CHECK(size >= 1);
            if (withData) {
                FUZZ_CHECK(size <= offered);
                FUZZ_CHECK(data[size - 1] == 0);
            }
        } else if (rc == platform::kRegMoreData) {
            FUZZ_CHECK(withData && size > offered);
        } else {
            FUZZ_CHECK(rc == platform::kRegFileNotFound);
        }
        FUZZ_CHECK(registry.Close(key) == platform::kRegSuccess);
    }
}

void QueryManagement(FuzzedDataProvider& in, platform::ManagementService& service) {
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    FUZZ_CHECK(service.InstancesOf(u"Win32_BIOS", &instances) != S_OK && instances.empty());
    FUZZ_CHECK(service.InstancesOf(u"win32_processor", &instances) == S_OK);
    FUZZ_CHECK(instances.size() == 1);
    for (int k = 0; k < 6 && in.remaining_bytes() > 0; ++k) {
        const bool known = in.ConsumeIntegralInRange(0, 7) != 0;
        const std::u16string name =
            known ? std::u16string(kProperties[in.ConsumeIntegralInRange<std::size_t>(
                        0, std::size(kProperties) - 1)])
                  : fuzz::Text(in, 24);
        com::Variant value;
        const HRESULT hr = instances[0]->Get(name, &value);
        if (known) FUZZ_CHECK(hr == S_OK);
        if (hr == S_OK) {
            FUZZ_CHECK(value.vt == VT_I4 || value.vt == VT_BSTR || value.vt == VT_NULL);
            if (value.vt == VT_BSTR) FUZZ_CHECK(value.bstrVal != nullptr);
            if (value.vt == VT_I4 && (name == u"CurrentClockSpeed" || name == u"ExtClock"))
                FUZZ_CHECK(value.lVal >= 0);
        } else {
            FUZZ_CHECK(value.vt == VT_EMPTY);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const fs::path& root = Root();
    const std::string machine =
        kMachines[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kMachines) - 1)];
    const auto present = in.ConsumeIntegral<std::uint8_t>();
    std::vector<std::uint8_t> steering;
    for (int k = 0; k < 24; ++k) steering.push_back(in.ConsumeIntegral<std::uint8_t>());
    for (std::size_t k = 0; k < std::size(kFiles); ++k) {
        const fs::path path = root / kFiles[k];
        const std::string bytes = k + 1 < std::size(kFiles) ? in.ConsumeRandomLengthString(8192)
                                                            : in.ConsumeRemainingBytesAsString();
        if ((present >> k) & 1) {
            Write(path, bytes);
        } else {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }

    FuzzedDataProvider queries(steering.data(), steering.size());
    {
        const auto registry = platform::MakeLinuxRegistry(root, machine);
        QueryRegistry(queries, *registry);
        const auto service = platform::MakeLinuxManagementService(root, machine);
        QueryManagement(queries, *service);
    }

    // A whole poll through both, then every item.
    const auto registry = platform::MakeLinuxRegistry(root, machine);
    const auto service = platform::MakeLinuxManagementService(root, machine);
    platform::fakes::FakeProcessorFeatures features;
    features.features = {platform::kXmmiInstructions, platform::kXmmi64Instructions};
    auto object = testing_support::New<cpuinfo::CPUInfo>(*registry, features, *service);
    ITessivar2DataProvider* provider = object.Get();
    provider->PollData();
    for (LONG item = 0; item < cpuinfo::kItemCount; ++item) fuzz::ItemText(provider, item);
    BSTR text = nullptr;
    FUZZ_CHECK(object->fnWin32Processor(queries.ConsumeIntegral<short>(), &text) != E_POINTER);
    SysFreeString(text);
    FUZZ_CHECK(testing_support::Drop(object) == 0);
    return 0;
}
