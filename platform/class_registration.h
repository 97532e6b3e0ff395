// Where self-registration writes: the class keys of the system registry and the registration of
// type libraries on Windows, the class records that stand in for them elsewhere.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"

namespace platform {

// The class root of the system registry (HKEY_CLASSES_ROOT). Keys are paths below it separated
// by backslashes; the empty value name is a key's default value.
class RegistryWriter {
  public:
    // Creates the key where missing and sets a text value of it.
    virtual HRESULT SetText(std::u16string_view key, std::u16string_view name,
                            std::u16string_view text) = 0;
    // A text value; empty when there is none or it cannot be read.
    virtual std::u16string ReadText(std::u16string_view key, std::u16string_view name) = 0;
    // Removes a key and everything below it; a key that is not there is no failure.
    virtual HRESULT DeleteTree(std::u16string_view key) = 0;
    // Removes a key that has no keys below it; any other key stays, without a word.
    virtual void DeleteIfEmpty(std::u16string_view key) = 0;
    virtual ~RegistryWriter() = default;
};

// The system's registration of type libraries.
class TypeLibraries {
  public:
    // Registers the type library embedded in the module at `modulePath`, with the interfaces it
    // describes.
    virtual HRESULT Register(std::u16string_view modulePath) = 0;
    // Unregisters version major.minor of library `libid` in `locale` for this platform, with its
    // interfaces. A library that is not registered, or whose file cannot be read any more, is
    // no failure.
    virtual HRESULT Unregister(REFGUID libid, WORD major, WORD minor, LCID locale) = 0;
    virtual ~TypeLibraries() = default;
};

// One registered class, as the records hold it.
struct ClassRecord {
    std::string clsid;  // registry form
    std::string progId;
    std::string className;
    std::string path;  // the library's full path
    std::string threadingModel;
    std::string typeLib;  // registry form
    std::string version;  // type library version, "1.0"
};

// The class records, one per class.
class ClassRecords {
  public:
    // Writes (or replaces) the record of a class; false on any failure.
    virtual bool Write(const ClassRecord& record) = 0;
    // Removes the record of a class; true also when there was none.
    virtual bool Remove(const std::string& clsid) = 0;
    virtual ~ClassRecords() = default;
};

#if defined(_WIN32)
RegistryWriter& SystemRegistryWriter();
TypeLibraries& SystemTypeLibraries();
#else
// The records in the class registry folder (platform/posix/class_records.h).
ClassRecords& SystemClassRecords();
#endif

}  // namespace platform
