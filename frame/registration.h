// Self-registration of a plug-in class: on Windows its keys in the system registry and its type
// library, elsewhere its class record. The logic is the frame's, portable; the writing goes
// through the platform's interfaces (platform/class_registration.h).
#pragma once

#include <filesystem>
#include <string_view>

#include "frame/plugin_object.h"
#include "platform/class_registration.h"

namespace frame {

// Registers the class of `id`, served by the module at `modulePath`: the type library embedded
// in the module (which registers the class interface for marshalling through it), the CLSID key
// with its in-process server, the ProgID and the class interface. A registration that fails
// half-way is undone. An empty path is SELFREG_E_CLASS.
HRESULT RegisterClassKeys(const Identity& id, std::u16string_view modulePath,
                          platform::RegistryWriter& registry,
                          platform::TypeLibraries& typeLibraries);
// Removes all of it, whatever is left of it; the ProgID only while it still names this class.
// Answers the first failure, after trying every step.
HRESULT UnregisterClassKeys(const Identity& id, platform::RegistryWriter& registry,
                            platform::TypeLibraries& typeLibraries);

// Writes the class record of the class of `id`, served by the library at `modulePath`; any
// failure, an empty path among them, is SELFREG_E_CLASS.
HRESULT RegisterClassRecord(const Identity& id, const std::filesystem::path& modulePath,
                            platform::ClassRecords& records);
HRESULT UnregisterClassRecord(const Identity& id, platform::ClassRecords& records);

}  // namespace frame
