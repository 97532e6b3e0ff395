// A plug-in as the host holds it: its library, its one object and the object's interfaces.
#pragma once

#include <memory>
#include <string>

#include "com/owners.h"
#include "frame/host_interfaces.h"

namespace host {

class Library;

class Plugin {
  public:
    Plugin(std::string name, std::shared_ptr<Library> library, com::ComPtr<IUnknown> object);
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const std::string& name() const { return name_; }
    ITessivar2Plugin* plugin() const { return plugin_.Get(); }
    ITessivar2DataProvider* provider() const { return provider_.Get(); }
    IDispatch* dispatch() const { return dispatch_.Get(); }
    bool ok() const { return plugin_ && provider_; }

  private:
    std::string name_;
    std::shared_ptr<Library> library_;  // released after the interfaces, declared below it
    com::ComPtr<IUnknown> object_;
    com::ComPtr<ITessivar2Plugin> plugin_;
    com::ComPtr<ITessivar2DataProvider> provider_;
    com::ComPtr<IDispatch> dispatch_;
};

// Loads a plug-in named by `named`: a plug-in name ("Wendrikai"), found in PluginFolders(); a
// library path ("./Wendrikai.so"); a ProgID ("Wendrikai.Uptime") or CLSID ("{...}") looked up in
// the class registry. On Windows a ProgID or CLSID is created through the component system
// (CoCreateInstance, in-process, in the calling thread's apartment), and the Plugin then holds no
// Library. On failure returns null and sets `error` to one line.
std::unique_ptr<Plugin> LoadPlugin(const std::string& named, std::string* error);

#if defined(_WIN32)
// Makes the calling thread a single-threaded apartment of the component system for the rest of
// the run (on the first call) and returns the status of entering it. Plug-ins call into the
// component system themselves, so lcdhost enters it however a plug-in is loaded.
HRESULT EnterApartment();
#endif

}  // namespace host
