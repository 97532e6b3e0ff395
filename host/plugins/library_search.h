// Where lcdhost looks for a plug-in library named by its plug-in's name.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace host {

#if defined(_WIN32)
inline constexpr const char* kLibrarySuffix = ".dll";
#else
inline constexpr const char* kLibrarySuffix = ".so";
#endif

// The folders searched, in order: lcdhost's own, ../lib/tessivar (and the multiarch folder of
// the distribution package) beside it, and the build's plug-in folder for an lcdhost that runs
// from there.
std::vector<std::filesystem::path> PluginFolders();

// The folders searched, for messages: "A, B, C".
std::string PluginSearchPath();

}  // namespace host
