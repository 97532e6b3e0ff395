// lcdhost check-config [FILE]: a configuration file checked as `show` reads it.
#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/config/config_file.h"
#include "host/config/config_location.h"
#include "host/panel/config_check.h"

namespace host {

namespace {

class CheckConfig final : public WordsCommand {
  public:
    explicit CheckConfig(CLI::App& app)
        : WordsCommand(app, "check-config",
                       "check a configuration file's keys, templates and items", "[FILE]",
                       "the configuration file (default: " + std::string(kConfigSearchText) + ")") {
    }

    int Run(Context& ctx) override {
        const auto args = Words();
        if (args.size() > 1) return ctx.Fail("check-config takes at most one FILE", 2);
        const std::string file = args.empty() ? FindConfigFile() : args[0];
        if (file.empty())
            return ctx.Fail("no configuration file (looked for " + std::string(kConfigSearchText) +
                            ")");
        PanelConfig config;
        ConfigSource source;
        std::string error;
        if (!LoadPanelConfig(file, &config, &error, &source) ||
            !CheckPanelConfig(config, source, ctx.catalog, &error))
            return ctx.Fail(error);
        for (const ScreenConfig& screen : config.screens)
            ctx.out << screen.name << ": " << screen.lines.size()
                    << (screen.lines.size() == 1 ? " line, " : " lines, ") << screen.duration
                    << " s, " << PriorityWord(screen.priority) << '\n';
        return 0;
    }
};

}  // namespace

std::unique_ptr<Command> AddCheckConfig(CLI::App& app) {
    return std::make_unique<CheckConfig>(app);
}

}  // namespace host
