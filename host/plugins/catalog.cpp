#include "host/plugins/catalog.h"

#include <algorithm>
#include <cctype>

#include "host/plugins/plugin.h"

namespace host {

LibraryCatalog::LibraryCatalog() = default;
LibraryCatalog::~LibraryCatalog() = default;

ITessivar2DataProvider* LibraryCatalog::Find(const std::string& named, std::string* name,
                                             std::string* error) {
    std::string key = named;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    auto it = loaded_.find(key);
    if (it == loaded_.end()) {
        auto plugin = LoadPlugin(named, error);
        if (!plugin) return nullptr;
        it = loaded_.emplace(key, std::move(plugin)).first;
    }
    *name = it->second->name();
    return it->second->provider();
}

}  // namespace host
