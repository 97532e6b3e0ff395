// Where the panel gets its plug-ins from: the real libraries, or in-process objects in tests.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "frame/host_interfaces.h"

namespace host {

class Plugin;

class PluginCatalog {
  public:
    virtual ~PluginCatalog() = default;
    // The data provider of the plug-in `named`, loaded on first use and kept by the catalog;
    // `name` receives the plug-in's own name ("Wendrikai" for "wendrikai"). On failure returns
    // null and sets `error` to one line.
    virtual ITessivar2DataProvider* Find(const std::string& named, std::string* name,
                                         std::string* error) = 0;
};

// The plug-ins loaded from their libraries through LoadPlugin.
class LibraryCatalog final : public PluginCatalog {
  public:
    LibraryCatalog();
    ~LibraryCatalog() override;
    ITessivar2DataProvider* Find(const std::string& named, std::string* name,
                                 std::string* error) override;

  private:
    std::map<std::string, std::unique_ptr<Plugin>> loaded_;  // by named as given, upper-cased
};

}  // namespace host
