#include "host/plugins/known_plugins.h"

#include "com/text.h"

namespace host {

std::string KnownPluginNames() {
    std::string names;
    for (const KnownPlugin& known : kKnownPlugins)
        names += (names.empty() ? "" : ", ") + std::string(known.name);
    return names;
}

const KnownPlugin* FindKnownPlugin(std::string_view name) {
    for (const KnownPlugin& known : kKnownPlugins)
        if (com::EqualsNoCase(com::Widen(name), com::Widen(known.name))) return &known;
    return nullptr;
}

const KnownPlugin* FindKnownClass(const GUID& clsid) {
    for (const KnownPlugin& known : kKnownPlugins)
        if (IsEqualGUID(known.clsid, clsid)) return &known;
    return nullptr;
}

}  // namespace host
