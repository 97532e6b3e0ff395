#include "host/commands.h"

#include <algorithm>

#include <CLI/CLI.hpp>

#include "com/owners.h"
#include "host/catalog.h"
#include "host/config_file.h"
#include "host/plugin.h"
#include "host/provider.h"
#include "host/show.h"
#include "host/text_output.h"

namespace host {

namespace {

constexpr const char* kUsage =
    "usage: lcdhost info|list|values [--json] PLUGIN\n"
    "       lcdhost call PLUGIN METHOD [ARG...]\n"
    "       lcdhost tree [PLUGIN...]\n"
    "       lcdhost show [--size WxH] [--once | --lcdproc [HOST:]PORT] [LINE...]\n"
    "LINE is text with items {Plugin:index} or {Plugin\\path\\label}; '{{' and '}}' are braces.\n"
    "PLUGIN is Orvantel, Tamblorin, Wendrikai, a ProgID, a CLSID or a library path.\n";

struct Context {
    std::ostream& out;
    std::ostream& err;
    int Fail(const std::string& message, int status = 1) {
        err << "lcdhost: " << message << '\n';
        return status;
    }
};

std::unique_ptr<Plugin> Load(Context& ctx, const std::string& named) {
    std::string error;
    auto plugin = LoadPlugin(named, &error);
    if (!plugin) ctx.Fail(error);
    return plugin;
}

// The plug-in's provider with its item list read, or null after one error line.
std::unique_ptr<Provider> WithItems(Context& ctx, const Plugin& plugin) {
    auto provider = std::make_unique<Provider>(plugin);
    std::string error;
    if (!provider->ReadItems(&error)) return ctx.Fail(error), nullptr;
    return provider;
}

// `text` escaped for a line and padded with blanks to `width` characters.
std::string Padded(std::u16string_view text, std::size_t width) {
    std::string line = EscapeForLine(text);
    line.resize(std::max(width, line.size()), ' ');
    return line;
}

int Info(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Fail("info takes one PLUGIN", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    const Provider provider(*p);
    LONG count = 0, frequency = 0, method = 0;
    std::u16string description;
    HRESULT hr;
    if (FAILED(hr = provider.Count(&count)) || FAILED(hr = provider.PollFrequency(&frequency)) ||
        FAILED(hr = provider.PollMethod(&method)) ||
        FAILED(hr = provider.Description(&description)))
        return ctx.Fail(provider.Failure("a constant member", hr));
    ctx.out << "Count: " << count << '\n'
            << "PollFreqency: " << frequency << '\n'
            << "PollMethod: " << method << '\n'
            << "Description: " << EscapeForLine(description) << '\n';
    return 0;
}

int List(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Fail("list takes one PLUGIN", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    const auto provider = WithItems(ctx, *p);
    if (!provider) return 1;
    std::size_t width = 0;
    for (const auto& item : provider->items())
        width = std::max(width, EscapeForLine(item.name).size());
    for (const auto& item : provider->items())
        ctx.out << item.index << '\t' << Padded(item.name, width) << '\t'
                << EscapeForLine(item.displayName) << '\n';
    return 0;
}

int Values(Context& ctx, const std::vector<std::string>& args, bool json) {
    if (args.size() != 1) return ctx.Fail("values takes one PLUGIN", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    const auto provider = WithItems(ctx, *p);
    if (!provider) return 1;
    const auto& items = provider->items();

    // One host cycle: the poll, then every value.
    const HRESULT polled = provider->Poll();
    if (FAILED(polled))
        ctx.err << "lcdhost: " << p->name() << ": PollData returned " << StatusText(polled) << '\n';

    std::size_t width = 0;
    for (const auto& item : items) width = std::max(width, EscapeForLine(item.displayName).size());
    if (json) ctx.out << "[\n";
    for (std::size_t k = 0; k < items.size(); ++k) {
        const auto& item = items[k];
        com::Variant value;
        const HRESULT hr = provider->Value(item.index, &value);
        std::u16string text;
        if (json) {
            ctx.out << "  {\"index\": " << item.index
                    << ", \"name\": " << JsonString(item.displayName) << ", \"value\": ";
            if (FAILED(hr))
                ctx.out << "null, \"type\": null, \"status\": \"" << StatusCode(hr) << "\"";
            else if (value.vt == VT_EMPTY)
                ctx.out << "null, \"type\": \"VT_EMPTY\"";
            else
                ctx.out << (SUCCEEDED(Provider::Convert(value, &text)) ? JsonString(text) : "null")
                        << ", \"type\": \"" << VariantTypeName(value.vt) << "\"";
            ctx.out << (k + 1 < items.size() ? "},\n" : "}\n");
        } else {
            ctx.out << item.index << '\t' << Padded(item.displayName, width) << '\t';
            if (FAILED(hr))
                ctx.out << "<failed: " << StatusText(hr) << ">";
            else if (SUCCEEDED(Provider::Text(value, &text)))
                ctx.out << EscapeForLine(text);
            ctx.out << '\n';
        }
    }
    if (json) ctx.out << "]\n";
    return 0;
}

// The description of an exception that Invoke reports; its strings are freed when it goes.
struct ExceptionInfo : EXCEPINFO {
    ExceptionInfo() : EXCEPINFO{} {}
    ~ExceptionInfo() {
        for (BSTR s : {bstrSource, bstrDescription, bstrHelpFile}) SysFreeString(s);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
};

int Call(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() < 2) return ctx.Fail("call takes PLUGIN METHOD [ARG...]", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    if (p->dispatch() == nullptr) return ctx.Fail(p->name() + " offers no IDispatch");

    std::u16string method = com::FromUtf8(args[1]);
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(method.data())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = p->dispatch()->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(hr)) return ctx.Fail(p->name() + " has no method '" + args[1] + "'");

    // Arguments go as text, last first; the method's parameter types convert them.
    const std::size_t n = args.size() - 2;
    std::vector<com::Variant> argv(n);
    for (std::size_t k = 0; k < n; ++k) {
        VARIANT& v = argv[n - 1 - k];
        v.vt = VT_BSTR;
        v.bstrVal = com::AllocString(com::FromUtf8(args[2 + k]));
    }
    std::vector<VARIANT> raw(n);
    for (std::size_t k = 0; k < n; ++k) raw[k] = argv[k];
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(n), 0};
    com::Variant result;
    ExceptionInfo excep;
    UINT argErr = 0;
    hr = p->dispatch()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                               result.Out(), &excep, &argErr);
    if (hr == DISP_E_EXCEPTION)
        return ctx.Fail(args[1] + " failed with " + StatusText(excep.scode));
    if (hr == DISP_E_BADPARAMCOUNT) return ctx.Fail(args[1] + ": wrong number of arguments");
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW)
        return ctx.Fail(args[1] + ": argument " + std::to_string(n - argErr) + " '" +
                        args[2 + (n - 1 - argErr)] +
                        (hr == DISP_E_OVERFLOW ? "' is out of range" : "' has the wrong type"));
    if (FAILED(hr)) return ctx.Fail(args[1] + " failed with " + StatusText(hr));

    std::u16string text;
    if (result.vt != VT_EMPTY && FAILED(Provider::Convert(result, &text, VARIANT_ALPHABOOL)))
        return ctx.Fail(args[1] + " returned a " + VariantTypeName(result.vt));
    ctx.out << com::ToUtf8(text) << '\n';
    return 0;
}

int CheckConfig(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() > 1) return ctx.Fail("check-config takes at most one FILE", 2);
    const std::string file = args.empty() ? FindConfigFile() : args[0];
    if (file.empty())
        return ctx.Fail("no configuration file (looked for " + std::string(kConfigSearchText) +
                        ")");
    PanelConfig config;
    ConfigSource source;
    std::string error;
    LibraryCatalog catalog;
    if (!LoadPanelConfig(file, &config, &error, &source) ||
        !CheckPanelConfig(config, source, catalog, &error))
        return ctx.Fail(error);
    for (const ScreenConfig& screen : config.screens)
        ctx.out << screen.name << ": " << screen.lines.size()
                << (screen.lines.size() == 1 ? " line, " : " lines, ") << screen.duration << " s, "
                << PriorityWord(screen.priority) << '\n';
    return 0;
}

// The commands and what each takes. The checks lcdhost has always made run in front of the
// parser, with their own messages: the command word, the number of PLUGINs, show's options
// (PrepareShowArgs). Arguments other than the options a command defines go to it as they are,
// even those that start with '-'.
class CommandLine {
  public:
    CommandLine() {
        app_.set_help_flag();  // lcdhost --help prints kUsage
        app_.set_version_flag("--version", "lcdhost " TESS_PACKAGE_VERSION,
                              "print lcdhost's version and exit");
        app_.require_subcommand(0, 1);
        const std::string plugin =
            "Orvantel, Tamblorin, Wendrikai, a ProgID, a CLSID or a library path";
        Plain("info", "PLUGIN", plugin, "Count, PollFreqency, PollMethod, Description");
        Plain("list", "PLUGIN", plugin, "index, Name, DisplayName of every item");
        Plain("values", "PLUGIN", plugin, "one host cycle: PollData, then every Value")
            ->add_flag("--json", json_, "print a JSON array of {index, name, value, type}");
        Plain("call", "ARG", "PLUGIN METHOD [ARG...]: the plug-in, the method, its arguments",
              "a public method of the class interface, by name");
        Plain("tree", "PLUGIN", plugin + " (default: the three)",
              "the item tree, one level per backslash");
        Plain("check-config", "FILE",
              "the configuration file (default: " + std::string(kConfigSearchText) + ")",
              "check a configuration file: every template parsed, every item resolved; one line "
              "per screen");
        CLI::App* show = app_.add_subcommand(
            "show",
            "a live panel in the terminal or on LCDd: the LINEs, else the screens of the "
            "configuration file (" +
                std::string(kConfigSearchText) + "), else the default panel");
        show->set_help_flag("--help", "print this help and exit");
        DefineShowOptions(*show, &show_);
    }

    bool Knows(const std::string& command) const {
        for (const CLI::App* sub : app_.get_subcommands({}))
            if (sub->get_name() == command) return true;
        return false;
    }

    // The arguments of `command` in the form the parser reads, or false with an error line.
    bool Prepare(const std::vector<std::string>& args, std::vector<std::string>* prepared,
                 std::string* error) const {
        const std::string& command = args[0];
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (command == "show") {
            if (!PrepareShowArgs(rest, prepared, error)) return false;
        } else if (!rest.empty() && rest[0] == "--help") {
            *prepared = {"--help"};
        } else {
            // --json stands anywhere among values' arguments; only the first is the option.
            auto json = std::find(rest.begin(), rest.end(), "--json");
            if (command == "values" && json != rest.end()) {
                rest.erase(json);
                prepared->push_back("--json");
            }
            prepared->push_back("--");
            prepared->insert(prepared->end(), rest.begin(), rest.end());
        }
        prepared->insert(prepared->begin(), command);
        return true;
    }

    // Parses, then runs the command; --help and --version print their text.
    int Run(std::vector<std::string> prepared, Context& ctx) {
        std::reverse(prepared.begin(), prepared.end());  // CLI11 takes the arguments last first
        try {
            app_.parse(prepared);
        } catch (const CLI::CallForHelp&) {
            ctx.out << app_.get_subcommands().front()->help("lcdhost");
            return 0;
        } catch (const CLI::CallForVersion& e) {
            ctx.out << e.what() << '\n';
            return 0;
        } catch (const CLI::ParseError& e) {
            return ctx.Fail(e.what(), 2);
        }
        const CLI::App* command = app_.get_subcommands().front();
        const std::string& name = command->get_name();
        if (name == "info") return Info(ctx, args_);
        if (name == "list") return List(ctx, args_);
        if (name == "values") return Values(ctx, args_, json_);
        if (name == "call") return Call(ctx, args_);
        if (name == "check-config") return CheckConfig(ctx, args_);
        LibraryCatalog catalog;
        if (name == "tree") return Tree(args_, catalog, ctx.out, ctx.err);
        return Show(show_, catalog, ctx.out, ctx.err);
    }

  private:
    CLI::App* Plain(const std::string& name, const std::string& what, const std::string& whatIs,
                    const std::string& description) {
        CLI::App* command = app_.add_subcommand(name, description);
        command->set_help_flag("--help", "print this help and exit");
        command->add_option(what, args_, whatIs)->type_name("")->allow_extra_args();
        return command;
    }

    CLI::App app_{"lcdhost, a stand-in host for the Tessivar plug-ins", "lcdhost"};
    std::vector<std::string> args_;
    bool json_ = false;
    ShowOptions show_;
};

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Context ctx{out, err};
#if defined(_WIN32)
    EnterApartment();  // a failure shows when a plug-in is created through the component system
#endif
    if (args.empty()) return ctx.Fail("no command (try --help)", 2);
    if (args[0] == "-h" || args[0] == "--help") {
        out << kUsage;
        return 0;
    }
    CommandLine line;
    if (args[0] == "--version") return line.Run({"--version"}, ctx);
    if (!line.Knows(args[0])) return ctx.Fail("unknown command '" + args[0] + "' (try --help)", 2);
    std::vector<std::string> prepared;
    std::string error;
    if (!line.Prepare(args, &prepared, &error)) return ctx.Fail(error, 2);
    return line.Run(std::move(prepared), ctx);
}

}  // namespace host
