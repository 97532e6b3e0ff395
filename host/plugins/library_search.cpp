#include "host/plugins/library_search.h"

#include "host/plugins/library.h"

namespace host {

namespace fs = std::filesystem;

std::vector<fs::path> PluginFolders() {
    std::vector<fs::path> folders;
    const fs::path exe = ExecutableFolder();
    folders.push_back(exe);
    folders.push_back(exe / ".." / "lib" / "tessivar");
#ifdef TESS_LIBRARY_ARCHITECTURE
    // The multiarch library folder of a distribution package (/usr/lib/x86_64-linux-gnu/...).
    folders.push_back(exe / ".." / "lib" / TESS_LIBRARY_ARCHITECTURE / "tessivar");
#endif
#ifdef TESS_PLUGIN_DIR
    // The build's plug-in folder, listed only by an lcdhost that runs from it (the build puts
    // lcdhost beside the plug-ins there): a copied or installed lcdhost never looks into the
    // build tree, even while it still exists.
    std::error_code ec;
    if (fs::equivalent(exe, TESS_PLUGIN_DIR, ec)) folders.emplace_back(TESS_PLUGIN_DIR);
#endif
    return folders;
}

std::string PluginSearchPath() {
    std::string path;
    for (const auto& folder : PluginFolders()) {
        if (!path.empty()) path += ", ";
        path += folder.lexically_normal().string();
    }
    return path;
}

}  // namespace host
