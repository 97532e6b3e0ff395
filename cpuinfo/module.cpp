// The Orvantel library's creatable class, on the system's registry, processor feature test and
// management service.
#include <new>

#include "cpuinfo/cpuinfo.h"
#include "frame/module.h"

namespace {

IUnknown* CreateCPUInfo() {
    auto* object = new (std::nothrow)
        cpuinfo::CPUInfo(platform::SystemRegistry(), platform::SystemProcessorFeatures(),
                         platform::SystemManagementService());
    return static_cast<_CPUInfo*>(object);
}

}  // namespace

const frame::ClassEntry& frame::ModuleClass() {
    static const ClassEntry entry{cpuinfo::CPUInfoIdentity(), &CreateCPUInfo};
    return entry;
}
