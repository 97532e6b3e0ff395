// The Wendrikai library's creatable class.
#include "frame/module.h"
#include "uptime/uptime.h"

const frame::ClassEntry& frame::ModuleClass() {
    static const ClassEntry entry{uptime::UptimeIdentity(), &uptime::CreateUptime};
    return entry;
}
