// Self-registration on Linux: a class record in the class registry folder.
#include <dlfcn.h>

#include <filesystem>
#include <new>

#include "com/boundary.h"
#include "com/guid.h"
#include "com/text.h"
#include "frame/class_records.h"
#include "frame/module.h"

namespace frame {

namespace {

// The full path of the library that holds this code.
std::string OwnLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnLibraryPath), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::error_code ec;
    const auto path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::string(info.dli_fname) : path.string();
}

}  // namespace

HRESULT RegisterServer(const ClassEntry& entry) {
    return com::Boundary([&]() -> HRESULT {
        const Identity& id = entry.identity;
        ClassRecord record;
        record.clsid = com::GuidToString(id.clsid);
        record.progId = com::ToUtf8(id.progId);
        record.className = com::ToUtf8(id.className);
        record.path = OwnLibraryPath();
        record.threadingModel = "Apartment";
        record.typeLib = com::GuidToString(id.libid);
        record.version = "1.0";
        if (record.path.empty()) return SELFREG_E_CLASS;
        return WriteClassRecord(record) ? S_OK : SELFREG_E_CLASS;
    });
}

HRESULT UnregisterServer(const ClassEntry& entry) {
    return com::Boundary([&]() -> HRESULT {
        return RemoveClassRecord(com::GuidToString(entry.identity.clsid)) ? S_OK : SELFREG_E_CLASS;
    });
}

}  // namespace frame
