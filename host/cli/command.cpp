#include "host/cli/command.h"

#include <CLI/CLI.hpp>

#include "host/plugins/known_plugins.h"
#include "host/plugins/plugin.h"

namespace host {

namespace {

// As many words as a positional can take: CLI11 gives a positional words while it has fewer
// than it expects, and takes "--" as a word while one is still expected.
constexpr int kAnyNumber = CLI::detail::expected_max_vector_size;

}  // namespace

int Context::Fail(const std::string& message, int status) const {
    err << "lcdhost: " << message << '\n';
    return status;
}

std::unique_ptr<Plugin> Context::Load(const std::string& named) const {
    std::string error;
    auto plugin = LoadPlugin(named, &error);
    if (!plugin) Fail(error);
    return plugin;
}

Command::Command(CLI::App& parent, const std::string& name, const std::string& description)
    : app_(parent.add_subcommand(name, description)) {
    app_->set_help_flag("--help", "print this help and exit");
    app_->group("Commands");
}

WordsCommand::WordsCommand(CLI::App& parent, const std::string& name,
                           const std::string& description, const std::string& usage,
                           const std::string& words, bool positionalsAtEnd)
    : Command(parent, name, description) {
    // The words CLI11 does not know as options stay with the command, in their order.
    app_->allow_extras();
    app_->positionals_at_end(positionalsAtEnd);
    AddWords(*app_, "WORDS", usage, words, &taken_);
}

std::vector<std::string> WordsCommand::Words() const {
    std::vector<std::string> words = app_->remaining();
    words.insert(words.end(), taken_.begin(), taken_.end());
    return words;
}

void AddWords(CLI::App& command, const std::string& name, const std::string& usage,
              const std::string& description, std::vector<std::string>* words) {
    command
        .add_option(
            name,
            [words](const CLI::results_t& values) {
                *words = values;
                return true;
            },
            description)
        ->expected(kAnyNumber, kAnyNumber)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false)  // which would split "[a,b]" into two words
        ->option_text(usage);
}

bool ParseArgs(CLI::App& app, const std::vector<std::string>& args, std::string* error) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::Success&) {
        throw;
    } catch (const CLI::ArgumentMismatch&) {
        // Only an option that ends the line lacks its value.
        return *error = args.back() + " needs a value", false;
    } catch (const CLI::ParseError& e) {
        return *error = e.what(), false;
    }
    return true;
}

std::string PluginHelp() {
    return KnownPluginNames() + ", a ProgID, a CLSID or a library path";
}

}  // namespace host
