// lcdhost check-config [FILE]: a configuration file checked as `show` reads it.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <utility>

#include "host/cli/command.h"
#include "host/config/config_file.h"
#include "host/config/config_location.h"
#include "host/config/display_settings.h"
#include "host/panel/config_check.h"

namespace host {

namespace {

class CheckConfig final : public WordsCommand {
  public:
    explicit CheckConfig(CLI::App& app)
        : WordsCommand(app, "check-config",
                       "check a configuration file's keys, templates and items", "[FILE]",
                       "the configuration file (default: " + std::string(kConfigSearchText) + ")") {
        app_->add_option("--size", size_,
                         "tell how each screen fits a display of WxH (default: the file's size)")
            ->type_name("WxH")
            ->expected(0, 1);
    }

    int Run(Context& ctx) override {
        auto args = Words();
        // A bare --size takes the FILE that follows it.
        if (args.empty() && !size_.empty() && std::filesystem::is_regular_file(size_))
            args.push_back(std::exchange(size_, ""));
        if (args.size() > 1) return ctx.Fail("check-config takes at most one FILE", 2);
        const std::string file = args.empty() ? FindConfigFile() : args[0];
        if (file.empty())
            return ctx.Fail("no configuration file (looked for " + std::string(kConfigSearchText) +
                            ")");
        int width = 0, height = 0;
        if (!size_.empty() && !ParseSize(size_, &width, &height))
            return ctx.Fail("bad --size '" + size_ + "' (expected WxH, e.g. 16x2)", 2);
        PanelConfig config;
        ConfigSource source;
        std::string error;
        if (!LoadPanelConfig(file, &config, &error, &source) ||
            !CheckPanelConfig(config, source, ctx.catalog, &error))
            return ctx.Fail(error);
        // With --size, how each screen fits; a bare --size means the file's size.
        std::vector<std::vector<std::string>> advice;
        if (size_.empty()) {
            width = config.width.value_or(20);
            height = config.height.value_or(4);
        }
        if (app_->count("--size") != 0 &&
            !FitScreens(ctx.catalog, config, width, height, &advice, &error))
            return ctx.Fail(error);
        for (std::size_t k = 0; k < config.screens.size(); ++k) {
            const ScreenConfig& screen = config.screens[k];
            ctx.out << screen.name << ": " << screen.lines.size()
                    << (screen.lines.size() == 1 ? " line, " : " lines, ") << screen.duration
                    << " s, " << PriorityWord(screen.priority);
            if (k < advice.size())
                for (const std::string& words : advice[k]) ctx.out << "; " << words;
            ctx.out << '\n';
        }
        return 0;
    }

  private:
    std::string size_;
};

}  // namespace

std::unique_ptr<Command> AddCheckConfig(CLI::App& app) {
    return std::make_unique<CheckConfig>(app);
}

}  // namespace host
