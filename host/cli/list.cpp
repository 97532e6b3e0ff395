// lcdhost list PLUGIN: every item's index, Name and DisplayName.
#include <algorithm>

#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/cli/text_output.h"
#include "host/plugins/plugin.h"
#include "host/plugins/provider.h"

namespace host {

namespace {

class List final : public WordsCommand {
  public:
    explicit List(CLI::App& app)
        : WordsCommand(app, "list", "index, Name, DisplayName of every item", "PLUGIN",
                       PluginHelp()) {}

    int Run(Context& ctx) override {
        const auto args = Words();
        if (args.size() != 1) return ctx.Fail("list takes one PLUGIN", 2);
        auto p = ctx.Load(args[0]);
        if (!p) return 1;
        Provider provider(*p);
        MemberFailure failure;
        if (!provider.ReadItems(&failure)) return ctx.Fail(Describe(failure));
        std::size_t width = 0;
        for (const auto& item : provider.items())
            width = std::max(width, EscapeForLine(item.name).size());
        for (const auto& item : provider.items())
            ctx.out << item.index << '\t' << Padded(item.name, width) << '\t'
                    << EscapeForLine(item.displayName) << '\n';
        return 0;
    }
};

}  // namespace

std::unique_ptr<Command> AddList(CLI::App& app) {
    return std::make_unique<List>(app);
}

}  // namespace host
