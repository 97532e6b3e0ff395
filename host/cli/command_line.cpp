#include "host/cli/command_line.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/plugins/plugin.h"

namespace host {

namespace {

// The help as lcdhost writes it: a command's words under the name its usage gives them
// ("PLUGIN", "[LINE...]"), whatever number of words CLI11 lets them take.
class HelpFormatter final : public CLI::Formatter {
  public:
    HelpFormatter() {
        label("SUBCOMMAND", "COMMAND");
        label("Positionals", "Arguments");
    }
    std::string make_option_usage(const CLI::Option* option) const override {
        return option->get_option_text();
    }
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        return positional ? option->get_option_text() : Formatter::make_option_name(option, false);
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_positional() ? "" : Formatter::make_option_opts(option);
    }
};

class CommandLine {
  public:
    CommandLine() {
        app_.formatter(std::make_shared<HelpFormatter>());
        app_.set_help_flag("-h,--help", "print this help and exit");
        app_.set_version_flag("--version", "lcdhost " TESS_PACKAGE_VERSION,
                              "print lcdhost's version and exit");
        // One command; a word in front of it that is none (or an option lcdhost lacks) stays
        // over for Run to name.
        app_.require_subcommand(0, 1);
        app_.allow_extras();
        for (auto add : {AddInfo, AddList, AddValues, AddCall, AddTree, AddCheckConfig, AddShow})
            commands_.push_back(add(app_));
        // After the commands, which would take it over.
        app_.footer("PLUGIN is " + PluginHelp() +
                    ".\nLINE is text with items {Plugin:index} or {Plugin\\path\\label}; '{{' "
                    "and '}}' are braces.\n`lcdhost COMMAND --help` describes each command.");
    }

    int Run(const std::vector<std::string>& args, Context& ctx) {
        std::string error;
        try {
            if (!ParseArgs(app_, args, &error)) return ctx.Fail(error, 2);
        } catch (const CLI::CallForHelp&) {
            ctx.out << app_.help();  // the command's, when one was given
            return 0;
        } catch (const CLI::CallForVersion& e) {
            ctx.out << e.what() << '\n';
            return 0;
        }
        if (const auto extra = app_.remaining(); !extra.empty())
            return ctx.Fail("unknown command '" + extra.front() + "' (try --help)", 2);
        const auto given = app_.get_subcommands();
        if (given.empty()) return ctx.Fail("no command (try --help)", 2);
        for (const auto& command : commands_)
            if (&command->app() == given.front()) return command->Run(ctx);
        return ctx.Fail("no command (try --help)", 2);
    }

  private:
    CLI::App app_{"lcdhost, a stand-in host for the Tessivar plug-ins", "lcdhost"};
    std::vector<std::unique_ptr<Command>> commands_;
};

}  // namespace

int RunCommand(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
               std::ostream& err) {
    Context ctx{out, err, catalog};
#if defined(_WIN32)
    EnterApartment();  // a failure shows when a plug-in is created through the component system
#endif
    return CommandLine().Run(args, ctx);
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    LibraryCatalog catalog;
    return RunCommand(args, catalog, out, err);
}

}  // namespace host
