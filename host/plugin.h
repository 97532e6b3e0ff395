// A plug-in as the host holds it: its library, its one object and the object's interfaces.
#pragma once

#include <memory>
#include <string>

#include "frame/host_interfaces.h"

namespace host {

class Library;

class Plugin {
  public:
    Plugin(std::string name, std::shared_ptr<Library> library, IUnknown* object);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const std::string& name() const { return name_; }
    ITessivar2Plugin* plugin() const { return plugin_; }
    ITessivar2DataProvider* provider() const { return provider_; }
    IDispatch* dispatch() const { return dispatch_; }
    bool ok() const { return plugin_ != nullptr && provider_ != nullptr; }

  private:
    std::string name_;
    std::shared_ptr<Library> library_;  // released after the interfaces
    IUnknown* object_ = nullptr;
    ITessivar2Plugin* plugin_ = nullptr;
    ITessivar2DataProvider* provider_ = nullptr;
    IDispatch* dispatch_ = nullptr;
};

// Loads a plug-in named by `named`: a plug-in name ("Wendrikai"), found beside lcdhost or in
// the build's plug-in folder; a library path ("./Wendrikai.so"); a ProgID ("Wendrikai.Uptime")
// or CLSID ("{...}") looked up in the class registry. On Windows a ProgID or CLSID is created
// through the component system (CoCreateInstance, in-process, in the calling thread's
// apartment), and the Plugin then holds no Library. On failure returns null and sets `error`
// to one line.
std::unique_ptr<Plugin> LoadPlugin(const std::string& named, std::string* error);

#if defined(_WIN32)
// Makes the calling thread a single-threaded apartment of the component system for the rest of
// the run (on the first call) and returns the status of entering it. Plug-ins call into the
// component system themselves, so lcdhost enters it however a plug-in is loaded.
HRESULT EnterApartment();
#endif

// Folders searched for plug-ins by name, in order.
std::string PluginSearchPath();

}  // namespace host
