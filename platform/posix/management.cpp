// The management service on Linux: one Win32_Processor instance made from the first processor's
// block of proc/cpuinfo, cpu0's cpufreq, the kernel's machine name and the SMBIOS processor record.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <variant>

#include "com/boundary.h"
#include "com/text.h"
#include "platform/management.h"
#include "platform/posix/linux_sources.h"
#include "platform/posix/processor_properties.h"

namespace platform {

namespace {

namespace src = linux_sources;

constexpr HRESULT kWbemInvalidClass = static_cast<HRESULT>(0x80041010);

using processor_properties::Kind;
using processor_properties::kProperties;
using processor_properties::Named;
using processor_properties::Property;
using processor_properties::Source;

using PropertyValue = std::variant<std::monostate, int, std::string>;

std::optional<int> Rounded(std::string_view text, double divisor) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data()) return std::nullopt;
    value = std::round(value / divisor);
    if (!(value >= 0 && value <= 2147483647.0)) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::string> Text(std::optional<std::string_view> text) {
    if (!text) return std::nullopt;
    return std::string(*text);
}

// The one processor; its properties as the table lists them.
class ProcessorInstance final : public ManagementObject {
  public:
    ProcessorInstance(const std::filesystem::path& root, std::string_view machine)
        : root_(root), machine_(machine) {}

    HRESULT Get(std::u16string_view name, VARIANT* value) override {
        if (value == nullptr) return E_POINTER;
        VariantInit(value);
        for (std::size_t i = 0; i < std::size(kProperties); ++i) {
            const Property& property = kProperties[i];
            if (!com::EqualsNoCase(name, property.name)) continue;
            return com::Boundary([&] {
                Load(property.source);
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
            });
        }
        return kWbemNotFound;
    }

  private:
    void Load(Source source) {
        const unsigned bit = 1u << static_cast<unsigned>(source);
        if (loaded_ & bit) return;
        switch (source) {
            case Source::kNone:
                break;
            case Source::kMachine:
                LoadMachine();
                break;
            case Source::kCpu:
                LoadCpu();
                break;
            case Source::kClock:
                LoadClock();
                break;
            case Source::kSmbios:
                LoadSmbios();
                break;
        }
        loaded_ |= bit;
    }

    const src::CpuBlock& Cpu() {
        if (!cpu_) cpu_ = src::ReadFirstCpuBlock(root_);
        return *cpu_;
    }

    bool Arm() const {
        const auto kind = src::KindOfMachine(machine_);
        return kind == src::MachineKind::kArm64 || kind == src::MachineKind::kArm;
    }

    // The processor's block is read only where the kernel's name leaves the word size open.
    src::MachineKind Kind() {
        const auto kind = src::KindOfMachine(machine_);
        return kind == src::MachineKind::kArm64 ? src::KindOfSystem(machine_, Cpu()) : kind;
    }

    void LoadMachine() {
        const auto kind = Kind();
        switch (kind) {
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

        Set(u"Name", src::ProcessorName(cpu, machine_));
        Set(u"Manufacturer", src::ProcessorVendor(cpu, machine_));
        const auto identifier = src::ProcessorIdentifier(cpu, machine_);
        Set(u"Caption", identifier);
        Set(u"Description", identifier);
    }

    void LoadClock() {
        const auto cpufreq = root_ / "sys/devices/system/cpu/cpu0/cpufreq";
        std::optional<int> clock;
        if (auto khz = src::ReadAttribute(cpufreq / "scaling_cur_freq"))
            clock = Rounded(*khz, 1000);
        if (!clock) {
            if (auto mhz = Cpu().Find("cpu MHz")) clock = Rounded(*mhz, 1);
        }
        Set(u"CurrentClockSpeed", clock);
        std::optional<int> maxClock;
        if (auto khz = src::ReadAttribute(cpufreq / "cpuinfo_max_freq"))
            maxClock = Rounded(*khz, 1000);
        Set(u"MaxClockSpeed", maxClock);
    }

    void LoadSmbios() {
        if (const auto smbios = src::ReadSmbiosProcessor(root_)) {
            Set(u"SocketDesignation", smbios->socket);
            Set(u"Family", smbios->family);
            Set(u"Version", smbios->version);
            Set(u"ExtClock", smbios->externalClock);
        }
    }

    // A value, or null for nothing.
    void Set(Named<Kind::kNumber> property, std::optional<int> value) {
        values_[property.index] = value ? PropertyValue(*value) : PropertyValue();
    }
    void Set(Named<Kind::kText> property, std::optional<std::string> value) {
        values_[property.index] = value ? PropertyValue(std::move(*value)) : PropertyValue();
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
        return com::Boundary([&] {
            instances->push_back(std::make_unique<ProcessorInstance>(root_, machine_));
            return S_OK;
        });
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
