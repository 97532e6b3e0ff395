// The plug-ins lcdhost knows by name, in the order `tree` shows them: the name of each library
// and the class it holds, as the plug-ins' identity headers write them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "com/com.h"
#include "com/guid.h"
#include "cpuinfo/orvantel_class.h"
#include "date/tamblorin_class.h"
#include "uptime/wendrikai_class.h"

namespace host {

struct KnownPlugin {
    std::string_view name;  // of the plug-in and its library ("Wendrikai", Wendrikai.so)
    GUID clsid;
};

inline constexpr std::array<KnownPlugin, 3> kKnownPlugins = {{
    {"Orvantel", com::GuidFromText(ORVANTEL_CLSID)},
    {"Tamblorin", com::GuidFromText(TAMBLORIN_CLSID)},
    {"Wendrikai", com::GuidFromText(WENDRIKAI_CLSID)},
}};

// "Orvantel, Tamblorin, Wendrikai", for messages and help texts.
std::string KnownPluginNames();

// The known plug-in named `name` in any case of letters, or null.
const KnownPlugin* FindKnownPlugin(std::string_view name);

// The known plug-in whose class is `clsid`, or null.
const KnownPlugin* FindKnownClass(const GUID& clsid);

}  // namespace host
