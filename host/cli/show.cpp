#include "host/cli/show.h"

#include <CLI/CLI.hpp>

#include "com/text.h"
#include "host/cli/command.h"
#include "host/config/config_file.h"
#include "host/config/config_location.h"
#include "host/live/live.h"
#include "host/panel/clock.h"
#include "host/panel/config_check.h"
#include "host/panel/panel.h"

namespace host {

namespace {

// --once: the first screen, one frame on standard output; failing items in one line.
int PrintOnce(Context& ctx, const PanelConfig& config) {
    std::string error;
    auto panel = Panel::Create(ctx.catalog, config.screens.front().lines, &error);
    if (!panel) return ctx.Fail(error);
    const int width = config.width.value_or(20), height = config.height.value_or(4);
    panel->Tick(SteadyMilliseconds());
    for (const std::u16string& row : panel->Frame(width, height))
        ctx.out << com::ToUtf8(row) << '\n';
    if (!panel->failures().empty()) {
        std::string line;
        for (const MemberFailure& failure : panel->failures())
            line += (line.empty() ? "" : "; ") + Describe(failure);
        ctx.Fail(line);
    }
    return 0;
}

class Show final : public Command {
  public:
    explicit Show(CLI::App& app)
        : Command(app, "show",
                  "a live panel of the LINEs, the configuration file's screens or the default "
                  "one"),
          arguments_(*app_) {}

    int Run(Context& ctx) override {
        ShowOptions options;
        std::string error;
        if (!arguments_.Read(&options, &error)) return ctx.Fail(error, 2);
        PanelConfig config;
        bool badFile = false;
        if (!SelectPanelConfig(options, ctx.catalog, &config, &error, &badFile))
            return ctx.Fail(error, badFile ? 2 : 1);
        if (options.once) return PrintOnce(ctx, config);
        LiveOptions live;
        live.width = config.width.value_or(live.width);
        live.height = config.height.value_or(live.height);
        // Screens from a file are read again on SIGHUP, with the command line's overrides.
        const std::string file = !options.templates.empty()
                                     ? std::string()
                                     : (options.config ? *options.config : FindConfigFile());
        if (!file.empty()) {
            live.reload = [options, &catalog = ctx.catalog](PanelConfig* fresh, std::string* why) {
                bool bad = false;
                return SelectPanelConfig(options, catalog, fresh, why, &bad);
            };
        }
        return RunScreens(config, ctx.catalog, live, ctx.err);
    }

  private:
    ShowArguments arguments_;
};

}  // namespace

bool SelectPanelConfig(const ShowOptions& options, PluginCatalog& catalog, PanelConfig* config,
                       std::string* error, bool* badFile) {
    *config = PanelConfig{};
    *badFile = false;
    if (options.templates.empty()) {
        const std::string file = options.config ? *options.config : FindConfigFile();
        ConfigSource source;
        if (!file.empty() && (!LoadPanelConfig(file, config, error, &source) ||
                              !CheckPanelConfig(*config, source, catalog, error))) {
            *badFile = true;
            return false;
        }
    }
    if (config->screens.empty()) {
        // One unnamed screen: the panel as the command line or the default layout gives it.
        ScreenConfig screen;
        screen.lines = options.templates.empty() ? DefaultTemplates() : options.templates;
        config->screens.push_back(std::move(screen));
    }
    if (options.sized) {
        config->width = options.width;
        config->height = options.height;
    }
    if (options.lcdproc) config->lcdproc = options.lcdproc;
    return true;
}

std::unique_ptr<Command> AddShow(CLI::App& app) {
    return std::make_unique<Show>(app);
}

}  // namespace host
