// The class registry that stands in for the system registry on Linux: one small text record per
// registered class, in $TESSIVAR_REGISTRY, else $XDG_DATA_HOME/tessivar/classes, else
// ~/.local/share/tessivar/classes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/class_registration.h"

namespace platform {

// The folder of the records; empty when no folder can be named (no HOME).
std::filesystem::path ClassRegistryFolder();

// Writes (or replaces) the record of a class; false on any failure.
bool WriteClassRecord(const ClassRecord& record);
// Removes the record of a class; true also when there was none.
bool RemoveClassRecord(const std::string& clsid);
// The record whose CLSID (any letter case, braces optional) or ProgID matches `key`.
std::optional<ClassRecord> FindClassRecord(const std::string& key);

std::string FormatClassRecord(const ClassRecord& record);
std::optional<ClassRecord> ParseClassRecord(const std::string& text);

}  // namespace platform
