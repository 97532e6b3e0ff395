// What lcdhost's commands share: where they write, the plug-ins the panel commands use, and how
// each adds itself to the command line.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/plugins/catalog.h"

namespace CLI {
class App;
}

namespace host {

class Plugin;

struct Context {
    std::ostream& out;
    std::ostream& err;
    PluginCatalog& catalog;  // the plug-ins of show, tree and check-config

    // Writes "lcdhost: MESSAGE" to `err`; returns `status`.
    int Fail(const std::string& message, int status = 1) const;
    // The plug-in `named` (LoadPlugin), or null after its error line.
    std::unique_ptr<Plugin> Load(const std::string& named) const;
};

// A command: the subcommand it added to the command line, and what it does when it is the one
// given.
class Command {
  public:
    virtual ~Command() = default;
    const CLI::App& app() const { return *app_; }
    virtual int Run(Context& ctx) = 0;

  protected:
    // Adds the subcommand `name`, with --help (and no -h, which stays an argument).
    Command(CLI::App& parent, const std::string& name, const std::string& description);
    CLI::App* app_;
};

// A command whose arguments are words that stand as they are written, even "--", "[a,b]" or a
// word that starts with '-' (a plug-in's name, a method's argument): those CLI11 passed over
// before the first it took, then the rest.
class WordsCommand : public Command {
  protected:
    // `usage` names the words in the help ("PLUGIN", "[ARG...]"); `positionalsAtEnd`: options
    // count only before the first word.
    WordsCommand(CLI::App& parent, const std::string& name, const std::string& description,
                 const std::string& usage, const std::string& words, bool positionalsAtEnd = true);
    std::vector<std::string> Words() const;

  private:
    std::vector<std::string> taken_;
};

// Adds `name` to `command`, a positional that takes every word CLI11 gives it, each as it is;
// `usage` is its name in the help.
void AddWords(CLI::App& command, const std::string& name, const std::string& usage,
              const std::string& description, std::vector<std::string>* words);

// Parses `args` (the words after the program name) with `app`. CLI::Success (help, version)
// goes through to the caller; any other parse error returns false with `error` set to its line.
bool ParseArgs(CLI::App& app, const std::vector<std::string>& args, std::string* error);

// The commands, each in its own file, in the order the help lists them.
std::unique_ptr<Command> AddInfo(CLI::App& app);
std::unique_ptr<Command> AddList(CLI::App& app);
std::unique_ptr<Command> AddValues(CLI::App& app);
std::unique_ptr<Command> AddCall(CLI::App& app);
std::unique_ptr<Command> AddTree(CLI::App& app);
std::unique_ptr<Command> AddCheckConfig(CLI::App& app);
std::unique_ptr<Command> AddShow(CLI::App& app);

// "Orvantel, Tamblorin, Wendrikai, a ProgID, a CLSID or a library path"
std::string PluginHelp();

}  // namespace host
