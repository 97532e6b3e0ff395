#include "platform/posix/linux_sources.h"

#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "platform/posix/arm_cores.h"

namespace platform::linux_sources {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// An open file descriptor, closed when it goes.
class File {
  public:
    explicit File(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~File() {
        if (fd_ >= 0) ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Appends up to `count` bytes to `out`; returns the number read, 0 at the end, -1 on error.
    long Append(std::string& out, std::size_t count) {
        const std::size_t before = out.size();
        out.resize(before + count);
        ssize_t n;
        do {
            n = ::read(fd_, out.data() + before, count);
        } while (n < 0 && errno == EINTR);
        out.resize(before + static_cast<std::size_t>(n > 0 ? n : 0));
        return static_cast<long>(n);
    }

  private:
    int fd_;
};

std::optional<std::uint16_t> Word(std::span<const std::uint8_t> record, std::size_t offset) {
    if (offset + 2 > record.size()) return std::nullopt;
    return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

std::optional<std::string> String(std::span<const std::uint8_t> record, std::size_t offset,
                                  const std::vector<std::string_view>& strings) {
    if (offset >= record.size()) return std::nullopt;
    const std::size_t index = record[offset];  // 1-based; 0 means no string
    if (index == 0 || index > strings.size()) return std::nullopt;
    return std::string(strings[index - 1]);
}

}  // namespace

std::optional<std::string_view> CpuBlock::Find(std::string_view name) const {
    for (const auto& [key, value] : fields_)
        if (key == name) return std::string_view(value);
    return std::nullopt;
}

std::optional<long long> CpuBlock::Number(std::string_view name, bool hex) const {
    auto text = Find(name);
    if (!text) return std::nullopt;
    std::string_view digits = *text;
    if (hex) {
        if (!digits.starts_with("0x") && !digits.starts_with("0X")) return std::nullopt;
        digits.remove_prefix(2);
    }
    long long value = 0;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
        return std::nullopt;
    return value;
}

bool CpuBlock::HasFlag(std::string_view flag) const {
    auto flags = Find("flags");
    if (!flags) return false;
    std::string_view rest = *flags;
    while (!rest.empty()) {
        const auto space = rest.find(' ');
        if (rest.substr(0, space) == flag) return true;
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    return false;
}

CpuBlock ParseCpuBlock(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> fields;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        if (Trim(line).empty()) break;
        const auto colon = line.find(':');
        if (colon != std::string_view::npos)
            fields.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
        if (newline == std::string_view::npos) break;
        text.remove_prefix(newline + 1);
    }
    return CpuBlock(std::move(fields));
}

CpuBlock ReadFirstCpuBlock(const std::filesystem::path& root) {
    constexpr std::size_t kChunk = 4096;
    constexpr std::size_t kLimit = 256 * 1024;  // far beyond any one processor's block
    std::string text;
    File file(root / "proc/cpuinfo");
    if (file.IsOpen()) {
        std::size_t searched = 0;
        while (text.size() < kLimit && file.Append(text, kChunk) > 0) {
            if (text.find("\n\n", searched) != std::string::npos) break;
            searched = text.size() - 1;
        }
    }
    return ParseCpuBlock(text);
}

std::optional<std::string> ReadFile(const std::filesystem::path& path, std::size_t limit) {
    File file(path);
    if (!file.IsOpen()) return std::nullopt;
    // Reads in chunks that double, so that a small file does not cost a buffer of `limit` bytes.
    std::string text;
    long n;
    while (text.size() < limit &&
           (n = file.Append(text, std::min(limit - text.size(),
                                           std::max<std::size_t>(4096, text.size())))) != 0)
        if (n < 0) return std::nullopt;
    return text;
}

std::optional<std::string> ReadAttribute(const std::filesystem::path& path) {
    auto text = ReadFile(path, 4096);
    if (text && !text->empty() && text->back() == '\n') text->pop_back();
    return text;
}

std::string KernelMachine() {
    utsname name{};
    if (::uname(&name) != 0) return {};
    return name.machine;
}

MachineKind KindOfMachine(std::string_view machine) {
    if (machine == "x86_64" || machine == "amd64") return MachineKind::kX86_64;
    if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86" &&
        machine[1] >= '3' && machine[1] <= '6')
        return MachineKind::kX86;
    if (machine == "aarch64" || machine == "arm64") return MachineKind::kArm64;
    if (machine.starts_with("arm")) return MachineKind::kArm;
    return MachineKind::kOther;
}

MachineKind KindOfSystem(std::string_view machine, const CpuBlock& cpu) {
    const MachineKind kind = KindOfMachine(machine);
    if (kind != MachineKind::kArm64) return kind;
    const auto architecture = cpu.Number("CPU architecture");
    return architecture && *architecture < 8 ? MachineKind::kArm : kind;
}

std::optional<std::string> ProcessorIdentifier(const CpuBlock& cpu, std::string_view machine) {
    const MachineKind kind = KindOfSystem(machine, cpu);
    if (kind == MachineKind::kX86_64 || kind == MachineKind::kX86) {
        const auto family = cpu.Number("cpu family");
        const auto model = cpu.Number("model");
        const auto stepping = cpu.Number("stepping");
        if (!family || !model || !stepping) return std::nullopt;
        std::string prefix = "x86";
        if (kind == MachineKind::kX86_64)
            prefix = cpu.Find("vendor_id") == "AuthenticAMD" ? "AMD64" : "Intel64";
        return prefix + " Family " + std::to_string(*family) + " Model " + std::to_string(*model) +
               " Stepping " + std::to_string(*stepping);
    }
    if (kind == MachineKind::kArm64 || kind == MachineKind::kArm) {
        const auto architecture = cpu.Number("CPU architecture");
        const auto part = cpu.Number("CPU part", true);
        const auto revision = cpu.Number("CPU revision");
        if (!architecture || !part || !revision) return std::nullopt;
        char model[24];
        std::snprintf(model, sizeof model, "%llX", static_cast<unsigned long long>(*part));
        const std::string prefix =
            kind == MachineKind::kArm64 ? "ARMv8 (64-bit)" : "ARMv" + std::to_string(*architecture);
        return prefix + " Family " + std::to_string(*architecture) + " Model " + model +
               " Revision " + std::to_string(*revision);
    }
    return std::nullopt;
}

namespace {

bool Arm(std::string_view machine) {
    const MachineKind kind = KindOfMachine(machine);
    return kind == MachineKind::kArm64 || kind == MachineKind::kArm;
}

std::optional<std::string> Text(std::optional<std::string_view> text) {
    if (!text) return std::nullopt;
    return std::string(*text);
}

}  // namespace

std::optional<std::string> ProcessorName(const CpuBlock& cpu, std::string_view machine) {
    if (Arm(machine)) {
        // A 32-bit kernel's model name ("ARMv7 Processor rev 3 (v7l)") names the architecture,
        // not the core.
        const auto implementer = cpu.Number("CPU implementer", true);
        const auto part = cpu.Number("CPU part", true);
        if (implementer && part) return arm_cores::CoreName(*implementer, *part);
    }
    return Text(cpu.Find("model name"));
}

std::optional<std::string> ProcessorVendor(const CpuBlock& cpu, std::string_view machine) {
    if (!Arm(machine)) return Text(cpu.Find("vendor_id"));
    const auto implementer = cpu.Number("CPU implementer", true);
    if (!implementer) return std::nullopt;
    return arm_cores::ImplementerName(*implementer);
}

std::optional<SmbiosProcessor> FindSmbiosProcessor(std::span<const std::uint8_t> table) {
    constexpr std::uint8_t kProcessor = 4;
    constexpr std::uint8_t kEndOfTable = 127;
    std::size_t pos = 0;
    while (pos + 4 <= table.size()) {
        const std::uint8_t type = table[pos];
        const std::size_t length = table[pos + 1];
        if (length < 4 || pos + length > table.size()) break;
        const auto record = table.subspan(pos, length);

        // The string set: NUL-terminated texts after the formatted area, closed by an empty one
        // (two NULs when there is no text at all).
        std::vector<std::string_view> strings;
        std::size_t at = pos + length;
        bool closed = false;
        if (at + 1 < table.size() && table[at] == 0 && table[at + 1] == 0) {
            at += 2;
            closed = true;
        }
        while (!closed && at < table.size()) {
            std::size_t end = at;
            while (end < table.size() && table[end] != 0) ++end;
            if (end == table.size()) break;  // cut off: not a whole text
            if (end == at) {                 // the empty text closes the set
                ++at;
                closed = true;
                break;
            }
            strings.emplace_back(reinterpret_cast<const char*>(table.data() + at), end - at);
            at = end + 1;
        }

        if (type == kProcessor) {
            SmbiosProcessor processor;
            processor.socket = String(record, 0x04, strings);
            if (length > 0x06) {
                int family = record[0x06];
                if (family == 0xFE) {
                    if (auto family2 = Word(record, 0x28)) family = *family2;
                }
                processor.family = family;
            }
            processor.version = String(record, 0x10, strings);
            if (auto clock = Word(record, 0x12)) processor.externalClock = *clock;
            return processor;
        }
        if (type == kEndOfTable || !closed) break;
        pos = at;
    }
    return std::nullopt;
}

std::optional<SmbiosProcessor> ReadSmbiosProcessor(const std::filesystem::path& root) {
    const auto table = ReadFile(root / "sys/firmware/dmi/tables/DMI", 1024 * 1024);
    if (!table) return std::nullopt;
    return FindSmbiosProcessor(
        std::span(reinterpret_cast<const std::uint8_t*>(table->data()), table->size()));
}

}  // namespace platform::linux_sources
