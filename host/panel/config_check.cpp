#include "host/panel/config_check.h"

#include "host/panel/panel.h"

namespace host {

bool CheckPanelConfig(const PanelConfig& config, const ConfigSource& source, PluginCatalog& catalog,
                      std::string* errorLine) {
    for (std::size_t s = 0; s < config.screens.size(); ++s) {
        const auto& lines = config.screens[s].lines;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            // A panel of the one line: the template parsed and each item resolved as `show` does.
            PanelError error;
            if (Panel::Create(catalog, {ScreenConfig{"", 5, Priority::kInfo, {lines[k]}}}, &error))
                continue;
            ConfigSource::Position at;
            if (s < source.lines.size() && k < source.lines[s].size()) at = source.lines[s][k];
            *errorLine = ErrorLine(source.file, at, DescribeForFile(error));
            return false;
        }
    }
    return true;
}

}  // namespace host
