// The management service on Linux: one Win32_Processor instance made from the first processor's
// block of proc/cpuinfo, cpu0's cpufreq, the kernel's machine name and the SMBIOS processor record.
#include <charconv>
#include <cmath>
#include <new>
#include <variant>

#include "com/text.h"
#include "platform/management.h"
#include "platform/posix/linux_sources.h"

namespace platform {

namespace {

namespace src = linux_sources;

constexpr HRESULT kWbemInvalidClass = static_cast<HRESULT>(0x80041010);

// Every property of the class; those this system has no source for read as null.
constexpr std::u16string_view kProperties[] = {
    u"AddressWidth",
    u"Architecture",
    u"AssetTag",
    u"Availability",
    u"Caption",
    u"Characteristics",
    u"ConfigManagerErrorCode",
    u"ConfigManagerUserConfig",
    u"CpuStatus",
    u"CreationClassName",
    u"CurrentClockSpeed",
    u"CurrentVoltage",
    u"DataWidth",
    u"Description",
    u"DeviceID",
    u"ErrorCleared",
    u"ErrorDescription",
    u"ExtClock",
    u"Family",
    u"InstallDate",
    u"L2CacheSize",
    u"L2CacheSpeed",
    u"L3CacheSize",
    u"L3CacheSpeed",
    u"LastErrorCode",
    u"Level",
    u"LoadPercentage",
    u"Manufacturer",
    u"MaxClockSpeed",
    u"Name",
    u"NumberOfCores",
    u"NumberOfEnabledCore",
    u"NumberOfLogicalProcessors",
    u"OtherFamilyDescription",
    u"PartNumber",
    u"PNPDeviceID",
    u"PowerManagementCapabilities",
    u"PowerManagementSupported",
    u"ProcessorId",
    u"ProcessorType",
    u"Revision",
    u"Role",
    u"SecondLevelAddressTranslationExtensions",
    u"SerialNumber",
    u"SocketDesignation",
    u"Status",
    u"StatusInfo",
    u"Stepping",
    u"SystemCreationClassName",
    u"SystemName",
    u"ThreadCount",
    u"UniqueId",
    u"UpgradeMethod",
    u"Version",
    u"VirtualizationFirmwareEnabled",
    u"VMMonitorModeExtensions",
    u"VoltageCaps",
};

using PropertyValue = std::variant<std::monostate, int, std::string>;

std::optional<int> Rounded(std::string_view text, double divisor) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data()) return std::nullopt;
    value = std::round(value / divisor);
    if (!(value >= 0 && value <= 2147483647.0)) return std::nullopt;
    return static_cast<int>(value);
}

template <typename T>
PropertyValue From(const std::optional<T>& value) {
    if (!value) return std::monostate{};
    return PropertyValue(*value);
}

PropertyValue Text(std::optional<std::string_view> text) {
    if (!text) return std::monostate{};
    return std::string(*text);
}

// The instance reads each group of sources when a property of that group is first asked for, so
// that a query asking one property reads only the files behind it.
class ProcessorInstance final : public ManagementObject {
  public:
    ProcessorInstance(const std::filesystem::path& root, std::string_view machine)
        : root_(root), machine_(machine) {}

    HRESULT Get(std::u16string_view name, VARIANT* value) override {
        if (value == nullptr) return E_POINTER;
        VariantInit(value);
        for (std::size_t i = 0; i < std::size(kProperties); ++i) {
            if (!com::EqualsNoCase(name, kProperties[i])) continue;
            try {
                Load(GroupOf(kProperties[i]));
                const PropertyValue& v = values_[i];
                if (const int* number = std::get_if<int>(&v)) {
                    value->vt = VT_I4;
                    value->lVal = *number;
                } else if (const std::string* text = std::get_if<std::string>(&v)) {
                    return com::ReturnText(com::FromUtf8(*text), value);
                } else {
                    value->vt = VT_NULL;
                }
                return S_OK;
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
        }
        return kWbemNotFound;
    }

  private:
    enum Group : unsigned { kMachine = 1, kCpu = 2, kClock = 4, kSmbios = 8 };

    static Group GroupOf(std::u16string_view property) {
        for (auto name :
             {u"AddressWidth", u"Architecture", u"DataWidth", u"DeviceID", u"ProcessorType"})
            if (property == name) return kMachine;
        for (auto name : {u"CurrentClockSpeed", u"MaxClockSpeed"})
            if (property == name) return kClock;
        for (auto name : {u"ExtClock", u"Family", u"SocketDesignation", u"Version"})
            if (property == name) return kSmbios;
        return kCpu;
    }

    void Load(Group group) {
        if (loaded_ & group) return;
        switch (group) {
            case kMachine:
                LoadMachine();
                break;
            case kCpu:
                LoadCpu();
                break;
            case kClock:
                LoadClock();
                break;
            case kSmbios:
                LoadSmbios();
                break;
        }
        loaded_ |= group;
    }

    const src::CpuBlock& Cpu() {
        if (!cpu_) cpu_ = src::ReadFirstCpuBlock(root_);
        return *cpu_;
    }

    bool Arm() const {
        const auto kind = src::KindOfMachine(machine_);
        return kind == src::MachineKind::kArm64 || kind == src::MachineKind::kArm;
    }

    void LoadMachine() {
        switch (src::KindOfMachine(machine_)) {
            case src::MachineKind::kX86_64:
                Set(u"AddressWidth", 64);
                Set(u"Architecture", 9);
                break;
            case src::MachineKind::kX86:
                Set(u"AddressWidth", 32);
                Set(u"Architecture", 0);
                break;
            case src::MachineKind::kArm64:
                Set(u"AddressWidth", 64);
                Set(u"Architecture", 12);
                break;
            case src::MachineKind::kArm:
                Set(u"AddressWidth", 32);
                Set(u"Architecture", 5);
                break;
            case src::MachineKind::kOther:
                break;
        }
        Set(u"DeviceID", std::string("CPU0"));
        Set(u"ProcessorType", 3);  // central processor
        // A 64-bit kernel runs on a 64-bit processor; only a 32-bit one needs the "lm" flag.
        const auto kind = src::KindOfMachine(machine_);
        const bool kernel64 =
            kind == src::MachineKind::kX86_64 || kind == src::MachineKind::kArm64 ||
            (kind == src::MachineKind::kOther && machine_.find("64") != std::string::npos);
        Set(u"DataWidth", kernel64 || Cpu().HasFlag("lm") ? 64 : 32);
    }

    void LoadCpu() {
        const auto& cpu = Cpu();

        // ARM processors have no family or stepping; their architecture and revision stand in.
        auto level = cpu.Number("cpu family");
        if (!level && Arm()) level = cpu.Number("CPU architecture");
        if (level) Set(u"Level", static_cast<int>(*level));
        auto stepping = cpu.Find("stepping");
        if (!stepping && Arm()) stepping = cpu.Find("CPU revision");
        Set(u"Stepping", Text(stepping));

        Set(u"Name", Text(cpu.Find("model name")));
        Set(u"Manufacturer", Text(cpu.Find("vendor_id")));
        const auto identifier = src::ProcessorIdentifier(cpu, machine_);
        Set(u"Caption", From(identifier));
        Set(u"Description", From(identifier));
    }

    void LoadClock() {
        const auto cpufreq = root_ / "sys/devices/system/cpu/cpu0/cpufreq";
        std::optional<int> clock;
        if (auto khz = src::ReadAttribute(cpufreq / "scaling_cur_freq"))
            clock = Rounded(*khz, 1000);
        if (!clock) {
            if (auto mhz = Cpu().Find("cpu MHz")) clock = Rounded(*mhz, 1);
        }
        Set(u"CurrentClockSpeed", From(clock));
        std::optional<int> maxClock;
        if (auto khz = src::ReadAttribute(cpufreq / "cpuinfo_max_freq"))
            maxClock = Rounded(*khz, 1000);
        Set(u"MaxClockSpeed", From(maxClock));
    }

    void LoadSmbios() {
        if (const auto smbios = src::ReadSmbiosProcessor(root_)) {
            Set(u"SocketDesignation", From(smbios->socket));
            Set(u"Family", From(smbios->family));
            Set(u"Version", From(smbios->version));
            Set(u"ExtClock", From(smbios->externalClock));
        }
    }

    void Set(std::u16string_view name, PropertyValue value) {
        for (std::size_t i = 0; i < std::size(kProperties); ++i)
            if (kProperties[i] == name) values_[i] = std::move(value);
    }

    std::filesystem::path root_;
    std::string machine_;
    unsigned loaded_ = 0;
    std::optional<src::CpuBlock> cpu_;
    PropertyValue values_[std::size(kProperties)];
};

class LinuxManagementService final : public ManagementService {
  public:
    LinuxManagementService(std::filesystem::path root, std::string machine)
        : root_(std::move(root)), machine_(std::move(machine)) {}

    HRESULT InstancesOf(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* instances) override {
        if (instances == nullptr) return E_POINTER;
        instances->clear();
        if (!com::EqualsNoCase(className, u"Win32_Processor")) return kWbemInvalidClass;
        try {
            instances->push_back(std::make_unique<ProcessorInstance>(root_, machine_));
            return S_OK;
        } catch (const std::bad_alloc&) {
            instances->clear();
            return E_OUTOFMEMORY;
        }
    }

  private:
    std::filesystem::path root_;
    std::string machine_;
};

}  // namespace

std::unique_ptr<ManagementService> MakeLinuxManagementService(const std::filesystem::path& root,
                                                              std::string machine) {
    return std::make_unique<LinuxManagementService>(root, std::move(machine));
}

std::unique_ptr<ManagementService> MakeLinuxManagementService(const std::filesystem::path& root) {
    return MakeLinuxManagementService(root, linux_sources::KernelMachine());
}

ManagementService& SystemManagementService() {
    static LinuxManagementService service("/", linux_sources::KernelMachine());
    return service;
}

}  // namespace platform
