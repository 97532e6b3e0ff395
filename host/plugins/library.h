// A loaded plug-in library and its entry points.
#pragma once

#include <memory>
#include <string>

#include "com/com.h"

namespace host {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class Library {
  public:
    static std::shared_ptr<Library> Open(const std::string& path, std::string* error);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    GetClassObjectFn getClassObject() const { return getClassObject_; }
    CanUnloadNowFn canUnloadNow() const { return canUnloadNow_; }
    const std::string& path() const { return path_; }

  private:
    Library() = default;
    void* handle_ = nullptr;
    std::string path_;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

// The folder holding the running executable.
std::string ExecutableFolder();

}  // namespace host
