#include "host/config/config_location.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace host {

std::string FindConfigFile() {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        candidates.push_back(fs::path(xdg) / "tessivar" / "lcdhost.toml");
    else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        candidates.push_back(fs::path(home) / ".config" / "tessivar" / "lcdhost.toml");
    candidates.emplace_back("/etc/tessivar/lcdhost.toml");
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        if (fs::exists(candidate, ec)) return candidate.string();
    }
    return {};
}

}  // namespace host
