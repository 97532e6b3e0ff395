// lcdhost info PLUGIN: the plug-in's constants.
#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/cli/text_output.h"
#include "host/plugins/plugin.h"
#include "host/plugins/provider.h"

namespace host {

namespace {

class Info final : public WordsCommand {
  public:
    explicit Info(CLI::App& app)
        : WordsCommand(app, "info", "Count, PollFreqency, PollMethod, Description", "PLUGIN",
                       PluginHelp()) {}

    int Run(Context& ctx) override {
        const auto args = Words();
        if (args.size() != 1) return ctx.Fail("info takes one PLUGIN", 2);
        auto p = ctx.Load(args[0]);
        if (!p) return 1;
        const Provider provider(*p);
        LONG count = 0, frequency = 0, method = 0;
        std::u16string description;
        HRESULT hr;
        if (FAILED(hr = provider.Count(&count)) ||
            FAILED(hr = provider.PollFrequency(&frequency)) ||
            FAILED(hr = provider.PollMethod(&method)) ||
            FAILED(hr = provider.Description(&description)))
            return ctx.Fail(Describe(provider.Failure("a constant member", hr)));
        ctx.out << "Count: " << count << '\n'
                << "PollFreqency: " << frequency << '\n'
                << "PollMethod: " << method << '\n'
                << "Description: " << EscapeForLine(description) << '\n';
        return 0;
    }
};

}  // namespace

std::unique_ptr<Command> AddInfo(CLI::App& app) {
    return std::make_unique<Info>(app);
}

}  // namespace host
