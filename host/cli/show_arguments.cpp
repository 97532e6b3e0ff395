#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/cli/show.h"
#include "host/config/config_location.h"
#include "host/config/display_settings.h"

namespace host {

namespace {

// An option that takes one value each time it is given, every value kept in `values`.
CLI::Option* AddValueOption(CLI::App& command, const std::string& name, const std::string& value,
                            const std::string& description, std::vector<std::string>* values) {
    return command
        .add_option(
            name,
            [values](const CLI::results_t& given) {
                *values = given;
                return true;
            },
            description)
        ->type_name(value)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

}  // namespace

ShowArguments::ShowArguments(CLI::App& command) : command_(command) {
    // Words that are no option of show stay with it: Read tells an unknown option from a LINE.
    command.allow_extras();
    command.positionals_at_end();
    AddValueOption(command, "--size", "WxH",
                   "the panel's size (default 20x4, or the configuration file's)", &sizes_);
    command.add_flag("--once", once_, "print the first page of the first screen and exit")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    AddValueOption(command, "--lcdproc", "[HOST:]PORT",
                   "drive the LCDd server at [HOST:]PORT instead of the terminal", &endpoints_);
    AddValueOption(command, "--config", "FILE",
                   "the configuration file (default: " + std::string(kConfigSearchText) + ")",
                   &configs_);
    AddWords(command, "LINE", "[LINE...]",
             "text with items {Plugin:index} or {Plugin\\path\\label}; '{{' and '}}' are braces",
             &lines_);
}

bool ShowArguments::Read(ShowOptions* options, std::string* error) const {
    *options = ShowOptions{};
    // What CLI11 passed over: "--" that ended the options, an option show does not have, or a
    // word with one '-', which begins the LINEs.
    for (const std::string& word : command_.remaining()) {
        if (word == "--") continue;
        if (word.rfind("--", 0) == 0)
            return *error = "unknown option '" + word + "' for show", false;
        options->templates.push_back(word);
    }
    options->templates.insert(options->templates.end(), lines_.begin(), lines_.end());
    for (const std::string& size : sizes_)
        if (!ParseSize(size, &options->width, &options->height))
            return *error = "bad --size '" + size + "' (expected WxH, e.g. 20x4)", false;
    options->sized = !sizes_.empty();
    for (const std::string& endpoint : endpoints_) {
        std::string host, port;
        if (!ParseEndpoint(endpoint, &host, &port, error)) return false;
    }
    if (!endpoints_.empty()) options->lcdproc = endpoints_.back();
    if (!configs_.empty()) options->config = configs_.back();
    options->once = once_;
    if (options->once && options->lcdproc) return *error = "--once cannot go with --lcdproc", false;
    return true;
}

bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error) {
    CLI::App command("show", "show");
    command.set_help_flag();  // --help is the command line's, not show's own
    const ShowArguments arguments(command);
    return ParseArgs(command, args, error) && arguments.Read(options, error);
}

}  // namespace host
