// lcdhost values [--json] PLUGIN: one host cycle, PollData and then every Value.
#include <algorithm>

#include <CLI/CLI.hpp>

#include "host/cli/command.h"
#include "host/cli/text_output.h"
#include "host/plugins/plugin.h"
#include "host/plugins/provider.h"
#include "host/plugins/status_text.h"

namespace host {

namespace {

// One item of the JSON array: {index, name, value, type}, with "status" when Value failed.
void WriteJson(std::ostream& out, const Provider::Item& item, HRESULT hr, const VARIANT& value) {
    out << "  {\"index\": " << item.index << ", \"name\": " << JsonString(item.displayName)
        << ", \"value\": ";
    std::u16string text;
    if (FAILED(hr))
        out << "null, \"type\": null, \"status\": \"" << StatusCode(hr) << "\"";
    else if (value.vt == VT_EMPTY)
        out << "null, \"type\": \"VT_EMPTY\"";
    else
        out << (SUCCEEDED(ConvertToText(value, &text)) ? JsonString(text) : "null")
            << ", \"type\": \"" << VariantTypeName(value.vt) << "\"";
    out << '}';
}

// One item as a line: index, display name padded to `width`, the value or its failure.
void WriteLine(std::ostream& out, const Provider::Item& item, std::size_t width, HRESULT hr,
               const VARIANT& value) {
    out << item.index << '\t' << Padded(item.displayName, width) << '\t';
    std::u16string text;
    if (FAILED(hr))
        out << "<failed: " << StatusText(hr) << ">";
    else if (SUCCEEDED(ShownText(value, &text)))
        out << EscapeForLine(text);
    out << '\n';
}

class Values final : public WordsCommand {
  public:
    explicit Values(CLI::App& app)
        : WordsCommand(app, "values", "one host cycle: PollData, then every Value", "PLUGIN",
                       PluginHelp(), false) {
        json_ = app_->add_flag("--json")
                    ->description("print a JSON array of {index, name, value, type}")
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }

    int Run(Context& ctx) override {
        const auto args = Words();
        // A second --json is no option of its own: the line does not say which PLUGIN.
        if (args.size() != 1 || json_->count() > 1) return ctx.Fail("values takes one PLUGIN", 2);
        auto p = ctx.Load(args[0]);
        if (!p) return 1;
        Provider provider(*p);
        MemberFailure failure;
        if (!provider.ReadItems(&failure)) return ctx.Fail(Describe(failure));
        const HRESULT polled = provider.Poll();
        if (FAILED(polled)) ctx.Fail(p->name() + ": PollData returned " + StatusText(polled));
        const bool json = json_->count() > 0;
        const auto& items = provider.items();
        std::size_t width = 0;
        for (const auto& item : items)
            width = std::max(width, EscapeForLine(item.displayName).size());
        if (json) ctx.out << "[\n";
        for (std::size_t k = 0; k < items.size(); ++k) {
            com::Variant value;
            const HRESULT hr = provider.Value(items[k].index, &value);
            if (!json) {
                WriteLine(ctx.out, items[k], width, hr, value);
                continue;
            }
            WriteJson(ctx.out, items[k], hr, value);
            ctx.out << (k + 1 < items.size() ? ",\n" : "\n");
        }
        if (json) ctx.out << "]\n";
        return 0;
    }

  private:
    CLI::Option* json_;
};

}  // namespace

std::unique_ptr<Command> AddValues(CLI::App& app) {
    return std::make_unique<Values>(app);
}

}  // namespace host
