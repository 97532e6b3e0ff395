// The three plug-in libraries and their classes, for the tests that run over all of them. The
// identifiers and ProgIDs come from the identity headers.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "com/guid.h"
#include "cpuinfo/orvantel_class.h"
#include "date/tamblorin_class.h"
#include "uptime/wendrikai_class.h"

namespace testing_support {

struct PluginCase {
    const char* name;       // the library, e.g. "Wendrikai"
    const char* className;  // e.g. "Uptime"
    const char* progId;
    const char* clsidText;  // registry form, "{...}"
    const char* libidText;
    CLSID clsid;
    IID classIid;
    LONG count;
    LONG pollFreqency;
    LONG pollMethod;
    const char16_t* description;
    const char16_t* displayPrefix;  // a display name is this and the name
    const char16_t* valueOutside;   // the value's text outside the items ("<empty>": none)
    // A public method of the class interface with its arguments, for lcdhost's call, and what
    // lcdhost prints for it on any machine; none where the class interface has no methods.
    const char* call;
    const char* answer;
    bool pollAlwaysSucceeds;  // the plug-in needs nothing a machine may lack

    // The file in the build's plug-in folder.
    std::string File() const { return std::string(name) + ".so"; }
    // Whether the class interface has methods of its own (Check128 among them).
    bool HasMethods() const { return call != nullptr; }
};

#define TESS_PLUGIN_IDS(PREFIX)                                      \
    PREFIX##_PROGID, "{" PREFIX##_CLSID "}", "{" PREFIX##_LIBID "}", \
        com::GuidFromText(PREFIX##_CLSID), com::GuidFromText(PREFIX##_CLASS_IID)

inline const PluginCase kPlugins[] = {
    {"Orvantel", "CPUInfo", TESS_PLUGIN_IDS(ORVANTEL), 56, 1000, 0, u"Orvantel v1.1", u"",
     u"<empty>", "fnWin32Processor 43", "\n", false},
    {"Tamblorin", "CustomDate", TESS_PLUGIN_IDS(TAMBLORIN), 29, 10000, 1, u"Tamblorin v1.5",
     u"Tamblorin\\", u"Error", "GetDaySuffix 22", "nd\n", true},
    {"Wendrikai", "Uptime", TESS_PLUGIN_IDS(WENDRIKAI), 26, 1000, 2, u"Wendrikai v1.0", u"",
     u"<empty>", nullptr, nullptr, true},
};

#undef TESS_PLUGIN_IDS

inline const PluginCase& Plugin(std::string_view name) {
    for (const PluginCase& c : kPlugins)
        if (name == c.name) return c;
    throw std::out_of_range(std::string(name));
}

inline void PrintTo(const PluginCase& c, std::ostream* out) {
    *out << c.name;
}

// For test names.
inline std::string PluginName(const ::testing::TestParamInfo<PluginCase>& info) {
    return info.param.name;
}

}  // namespace testing_support
