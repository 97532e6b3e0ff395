#include "host/config/display_settings.h"
#include "host/live/live.h"
#include "host/panel/clock.h"

namespace host {

int RunScreens(const PanelConfig& config, PluginCatalog& catalog, const LiveOptions& options,
               std::ostream& err) {
    LiveOptions live = options;
    if (!live.clock) live.clock = SteadyMilliseconds;
    live.width = config.width.value_or(options.width);
    live.height = config.height.value_or(options.height);
    const auto mode = config.lcdproc ? LiveScreens::Mode::kLcdproc : LiveScreens::Mode::kTerminal;
    PanelConfig sized = config;
    sized.width = live.width;
    sized.height = live.height;
    std::string error;
    auto screens =
        LiveScreens::Create(catalog, sized, mode, config.lcdproc.has_value(), live.clock(), &error);
    if (!screens) {
        err << "lcdhost: " << error << '\n';
        return 1;
    }
    if (!config.lcdproc) return RunTerminalScreens(*screens, live, err);
    std::string host, port;
    if (!ParseEndpoint(*config.lcdproc, &host, &port, &error)) {
        err << "lcdhost: " << error << '\n';
        return 2;
    }
    return RunLcdprocScreens(*screens, host, port, live, err);
}

}  // namespace host
