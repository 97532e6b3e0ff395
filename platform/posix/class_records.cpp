#include "platform/posix/class_records.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "com/guid.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

fs::path RecordPath(const fs::path& folder, const std::string& clsid) {
    return folder / (clsid + ".class");
}

// CLSIDs compare in one canonical form.
std::string Canonical(const std::string& clsid) {
    GUID guid;
    return com::ParseGuid(clsid, &guid) ? com::GuidToString(guid) : std::string();
}

}  // namespace

fs::path ClassRegistryFolder() {
    if (auto own = Env("TESSIVAR_REGISTRY"); !own.empty()) return own;
    if (auto data = Env("XDG_DATA_HOME"); !data.empty())
        return fs::path(data) / "tessivar" / "classes";
    if (auto home = Env("HOME"); !home.empty())
        return fs::path(home) / ".local" / "share" / "tessivar" / "classes";
    return {};
}

std::string FormatClassRecord(const ClassRecord& r) {
    std::ostringstream out;
    out << "CLSID=" << r.clsid << '\n'
        << "ProgID=" << r.progId << '\n'
        << "Class=" << r.className << '\n'
        << "Path=" << r.path << '\n'
        << "ThreadingModel=" << r.threadingModel << '\n'
        << "TypeLib=" << r.typeLib << '\n'
        << "Version=" << r.version << '\n';
    return out.str();
}

std::optional<ClassRecord> ParseClassRecord(const std::string& text) {
    ClassRecord r;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "CLSID")
            r.clsid = value;
        else if (key == "ProgID")
            r.progId = value;
        else if (key == "Class")
            r.className = value;
        else if (key == "Path")
            r.path = value;
        else if (key == "ThreadingModel")
            r.threadingModel = value;
        else if (key == "TypeLib")
            r.typeLib = value;
        else if (key == "Version")
            r.version = value;
    }
    if (Canonical(r.clsid).empty() || r.path.empty()) return std::nullopt;
    return r;
}

bool WriteClassRecord(const ClassRecord& record) {
    const fs::path folder = ClassRegistryFolder();
    const std::string clsid = Canonical(record.clsid);
    if (folder.empty() || clsid.empty()) return false;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return false;
    const fs::path target = RecordPath(folder, clsid);
    const fs::path temporary = target.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << FormatClassRecord(record);
        if (!out.flush()) return false;
    }
    fs::rename(temporary, target, ec);
    if (!ec) return true;
    // The failed rename decides the answer; removing the temporary record is only clean-up.
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
}

bool RemoveClassRecord(const std::string& clsid) {
    const fs::path folder = ClassRegistryFolder();
    const std::string canonical = Canonical(clsid);
    if (folder.empty() || canonical.empty()) return false;
    std::error_code ec;
    fs::remove(RecordPath(folder, canonical), ec);
    return !ec;
}

std::optional<ClassRecord> FindClassRecord(const std::string& key) {
    const fs::path folder = ClassRegistryFolder();
    if (folder.empty()) return std::nullopt;
    const std::string clsid = Canonical(key);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".class") continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        auto record = ParseClassRecord(text.str());
        if (!record) continue;
        if (clsid.empty() ? record->progId == key : Canonical(record->clsid) == clsid)
            return record;
    }
    return std::nullopt;
}

namespace {

class FolderClassRecords final : public ClassRecords {
  public:
    bool Write(const ClassRecord& record) override { return WriteClassRecord(record); }
    bool Remove(const std::string& clsid) override { return RemoveClassRecord(clsid); }
};

}  // namespace

ClassRecords& SystemClassRecords() {
    static FolderClassRecords records;
    return records;
}

}  // namespace platform
