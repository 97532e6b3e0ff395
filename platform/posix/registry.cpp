// The registry on Linux: the two keys the processor plug-in reads, their values made from the
// firmware description in sysfs and the first processor's block of proc/cpuinfo (on a machine with
// big and little cores, processor 0 describes the processor, as the platform's key does).
#include <cstring>

#include "com/text.h"
#include "platform/posix/linux_sources.h"
#include "platform/registry.h"

namespace platform {

namespace {

namespace src = linux_sources;

constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;

// Key handles: a tag plus the key's number, so that stray numbers are not taken for keys.
constexpr Registry::Key kKeyTag = 0x7E500;
enum KeyId : Registry::Key { kFirmware = 1, kProcessor = 2 };

struct KnownKey {
    std::string_view path;
    KeyId id;
};
constexpr KnownKey kKeys[] = {
    {"HARDWARE\\DESCRIPTION\\System", kFirmware},
    {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", kProcessor},
};

bool SameNoCase(std::string_view a, std::string_view b) {
    return com::EqualsNoCase(com::Widen(a), com::Widen(b));
}

struct Value {
    unsigned long type;
    std::string data;  // with the terminating NULs
};

// "MM/DD/YYYY" as the firmware key writes it: "MM/DD/YY". Other forms are kept.
std::string ShortYear(std::string date) {
    if (date.size() == 10 && date[2] == '/' && date[5] == '/') date.erase(6, 2);
    return date;
}

class LinuxRegistry final : public Registry {
  public:
    LinuxRegistry(std::filesystem::path root, std::string machine)
        : root_(std::move(root)), machine_(std::move(machine)) {}

    long Open(std::string_view path, Key* key) override {
        if (key == nullptr) return kInvalidParameter;
        for (const auto& known : kKeys) {
            if (SameNoCase(path, known.path)) {
                *key = kKeyTag | known.id;
                return kRegSuccess;
            }
        }
        return kRegFileNotFound;
    }

    long Query(Key key, std::string_view name, unsigned long* type, unsigned char* data,
               unsigned long* size) override {
        if (key != (kKeyTag | kFirmware) && key != (kKeyTag | kProcessor)) return kInvalidHandle;
        if (data != nullptr && size == nullptr) return kInvalidParameter;
        return RegistryBoundary([&] {
            const auto value = Read(static_cast<KeyId>(key & ~kKeyTag), name);
            if (!value) return kRegFileNotFound;
            if (type != nullptr) *type = value->type;
            if (size == nullptr) return kRegSuccess;
            const unsigned long needed = static_cast<unsigned long>(value->data.size());
            const bool fits = needed <= *size;
            *size = needed;
            if (data == nullptr) return kRegSuccess;
            if (!fits) return kRegMoreData;
            std::memcpy(data, value->data.data(), needed);
            return kRegSuccess;
        });
    }

    long Close(Key key) override {
        return key == (kKeyTag | kFirmware) || key == (kKeyTag | kProcessor) ? kRegSuccess
                                                                             : kInvalidHandle;
    }

  private:
    std::optional<Value> Read(KeyId key, std::string_view name) const {
        if (key == kFirmware) {
            if (SameNoCase(name, "SystemBiosVersion")) return BiosVersion();
            if (SameNoCase(name, "SystemBiosDate")) {
                auto date = src::ReadAttribute(root_ / "sys/class/dmi/id/bios_date");
                if (!date) return std::nullopt;
                return Text(ShortYear(std::move(*date)));
            }
            return std::nullopt;
        }
        const Processor& cpu = ProcessorDescription();
        if (SameNoCase(name, "Identifier")) return cpu.identifier;
        if (SameNoCase(name, "ProcessorNameString")) return cpu.name;
        if (SameNoCase(name, "VendorIdentifier")) return cpu.vendor;
        return std::nullopt;
    }

    // The processor key describes the hardware as found when it is first read, the way the
    // system describes it once at start-up: the processor's identity does not change while the
    // system runs, and reading proc/cpuinfo costs tens of microseconds each time.
    struct Processor {
        std::optional<Value> name, vendor, identifier;
    };
    const Processor& ProcessorDescription() const {
        if (!processor_) {
            const auto block = src::ReadFirstCpuBlock(root_);
            Processor cpu;
            if (auto name = src::ProcessorName(block, machine_)) cpu.name = Text(*name);
            if (auto vendor = src::ProcessorVendor(block, machine_)) cpu.vendor = Text(*vendor);
            if (auto id = src::ProcessorIdentifier(block, machine_)) cpu.identifier = Text(*id);
            processor_ = std::move(cpu);
        }
        return *processor_;
    }

    // One entry for each of vendor, version and release that the firmware names, then the
    // empty entry that closes the list.
    std::optional<Value> BiosVersion() const {
        std::string data;
        for (const char* file : {"bios_vendor", "bios_version", "bios_release"}) {
            auto entry = src::ReadAttribute(root_ / "sys/class/dmi/id" / file);
            // An empty entry would end the list early, so it is left out.
            if (!entry || entry->empty()) continue;
            data += *entry;
            data += '\0';
        }
        if (data.empty()) return std::nullopt;
        data += '\0';
        return Value{kRegMultiSz, std::move(data)};
    }

    static Value Text(std::string text) {
        text += '\0';
        return Value{kRegSz, std::move(text)};
    }

    std::filesystem::path root_;
    std::string machine_;
    mutable std::optional<Processor> processor_;
};

}  // namespace

std::unique_ptr<Registry> MakeLinuxRegistry(const std::filesystem::path& root,
                                            std::string machine) {
    return std::make_unique<LinuxRegistry>(root, std::move(machine));
}

std::unique_ptr<Registry> MakeLinuxRegistry(const std::filesystem::path& root) {
    return MakeLinuxRegistry(root, linux_sources::KernelMachine());
}

Registry& SystemRegistry() {
    static LinuxRegistry registry("/", linux_sources::KernelMachine());
    return registry;
}

}  // namespace platform
