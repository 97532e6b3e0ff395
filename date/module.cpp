// The Tamblorin library's creatable class.
#include "frame/module.h"
#include "date/custom_date.h"

const frame::ClassEntry& frame::ModuleClass() {
    static const ClassEntry entry{date::CustomDateIdentity(), &date::CreateCustomDate};
    return entry;
}
