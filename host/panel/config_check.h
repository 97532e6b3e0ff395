// The check of a configuration file against the plug-ins: every template parsed and every item
// resolved, as the panel does it.
#pragma once

#include <string>

#include "host/config/config_file.h"
#include "host/plugins/catalog.h"

namespace host {

// Resolves each line of every screen through `catalog`. On failure returns false and sets
// `errorLine` to one line pointing at the line's place in the file.
bool CheckPanelConfig(const PanelConfig& config, const ConfigSource& source, PluginCatalog& catalog,
                      std::string* errorLine);

}  // namespace host
