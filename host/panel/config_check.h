// The check of a configuration file against the plug-ins: every template parsed and every item
// resolved, as the panel does it.
#pragma once

#include <string>
#include <vector>

#include "host/config/config_file.h"
#include "host/plugins/catalog.h"

namespace host {

// Resolves each line of every screen through `catalog`. On failure returns false and sets
// `errorLine` to one line pointing at the line's place in the file.
bool CheckPanelConfig(const PanelConfig& config, const ConfigSource& source, PluginCatalog& catalog,
                      std::string* errorLine);

// How each screen of `config` fits a display of width x height, from the values its items have
// now: for each screen the advice, "2 pages on 16x2" and "line 3 scrolls (37 > 16)" (or "is cut",
// as the long-line settings say), none when it fits. On failure returns false and sets `error`.
bool FitScreens(PluginCatalog& catalog, const PanelConfig& config, int width, int height,
                std::vector<std::vector<std::string>>* advice, std::string* error);

}  // namespace host
