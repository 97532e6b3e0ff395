// The three built plug-in libraries and their classes, for tests through the entry points.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "cpuinfo/cpuinfo.h"
#include "date/custom_date.h"
#include "uptime/uptime.h"

namespace hardening {

struct PluginClass {
    const char* library;  // the file in the build's plug-in folder
    CLSID clsid;
    IID classIid;
    LONG count;
    bool hasMethods;  // whether the class interface has methods of its own (Check128 among them)
};

inline const PluginClass kPluginClasses[] = {
    {"Wendrikai.so", CLSID_Uptime, IID__Uptime, 26, false},
    {"Tamblorin.so", CLSID_CustomDate, IID__CustomDate, 29, true},
    {"Orvantel.so", CLSID_CPUInfo, IID__CPUInfo, 56, true},
};

inline std::ostream& operator<<(std::ostream& out, const PluginClass& c) {
    return out << c.library;
}

// For test names.
inline std::string PluginName(const ::testing::TestParamInfo<PluginClass>& info) {
    const std::string file = info.param.library;
    return file.substr(0, file.find('.'));
}

}  // namespace hardening
