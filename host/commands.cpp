#include "host/commands.h"

#include <algorithm>

#include "com/owners.h"
#include "host/catalog.h"
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

int Values(Context& ctx, std::vector<std::string> args) {
    bool json = false;
    if (auto it = std::find(args.begin(), args.end(), "--json"); it != args.end()) {
        json = true;
        args.erase(it);
    }
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
                ctx.out << "null, \"type\": null, \"status\": \"" << StatusText(hr) << "\"";
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
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const std::string& command = args[0];
    if (command == "info") return Info(ctx, rest);
    if (command == "list") return List(ctx, rest);
    if (command == "values") return Values(ctx, rest);
    if (command == "call") return Call(ctx, rest);
    if (command == "show" || command == "tree") {
        LibraryCatalog catalog;
        return command == "show" ? Show(rest, catalog, out, err) : Tree(rest, catalog, out, err);
    }
    return ctx.Fail("unknown command '" + command + "' (try --help)", 2);
}

}  // namespace host
