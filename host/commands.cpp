#include "host/commands.h"

#include <algorithm>
#include <functional>
#include <map>

#include "com/owners.h"
#include "host/catalog.h"
#include "host/plugin.h"
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

// The item list as the host reads it: Count, then Name and DisplayName of every index.
struct Item {
    LONG index;
    std::u16string name;
    std::u16string displayName;
};

bool ReadItems(Context& ctx, const Plugin& p, std::vector<Item>* items) {
    LONG count = 0;
    HRESULT hr = p.provider()->get_Count(&count);
    if (FAILED(hr)) return ctx.Fail(p.name() + ": Count failed with " + StatusText(hr)), false;
    for (LONG i = 0; i < count; ++i) {
        BSTR name = nullptr, display = nullptr;
        if (FAILED(hr = p.provider()->get_Name(i, &name)))
            return ctx.Fail(p.name() + ": Name failed with " + StatusText(hr)), false;
        std::u16string n = com::TakeText(name);
        if (FAILED(hr = p.provider()->get_DisplayName(i, &display)))
            return ctx.Fail(p.name() + ": DisplayName failed with " + StatusText(hr)), false;
        items->push_back({i, std::move(n), com::TakeText(display)});
    }
    return true;
}

int Info(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Fail("info takes one PLUGIN", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    LONG count = 0, frequency = 0, method = 0;
    BSTR description = nullptr;
    HRESULT hr;
    if (FAILED(hr = p->provider()->get_Count(&count)) ||
        FAILED(hr = p->provider()->get_PollFreqency(&frequency)) ||
        FAILED(hr = p->provider()->get_PollMethod(&method)) ||
        FAILED(hr = p->plugin()->get_Description(&description)))
        return ctx.Fail(p->name() + ": a constant member failed with " + StatusText(hr));
    ctx.out << "Count: " << count << '\n'
            << "PollFreqency: " << frequency << '\n'
            << "PollMethod: " << method << '\n'
            << "Description: " << EscapeForLine(com::TakeText(description)) << '\n';
    return 0;
}

int List(Context& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return ctx.Fail("list takes one PLUGIN", 2);
    auto p = Load(ctx, args[0]);
    if (!p) return 1;
    std::vector<Item> items;
    if (!ReadItems(ctx, *p, &items)) return 1;
    std::size_t width = 0;
    for (const Item& item : items) width = std::max(width, EscapeForLine(item.name).size());
    for (const Item& item : items) {
        std::string name = EscapeForLine(item.name);
        name.resize(std::max(width, name.size()), ' ');
        ctx.out << item.index << '\t' << name << '\t' << EscapeForLine(item.displayName) << '\n';
    }
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
    std::vector<Item> items;
    if (!ReadItems(ctx, *p, &items)) return 1;

    // One host cycle: the poll, then every value.
    const HRESULT polled = p->provider()->PollData();
    if (FAILED(polled))
        ctx.err << "lcdhost: " << p->name() << ": PollData returned " << StatusText(polled) << '\n';

    std::size_t width = 0;
    for (const Item& item : items) width = std::max(width, EscapeForLine(item.displayName).size());
    if (json) ctx.out << "[\n";
    for (std::size_t k = 0; k < items.size(); ++k) {
        const Item& item = items[k];
        com::Variant value;
        const HRESULT hr = p->provider()->get_Value(item.index, value.Out());
        if (json) {
            ctx.out << "  {\"index\": " << item.index
                    << ", \"name\": " << JsonString(item.displayName) << ", \"value\": ";
            if (FAILED(hr))
                ctx.out << "null, \"type\": null, \"status\": \"" << StatusText(hr) << "\"";
            else if (value.vt == VT_EMPTY)
                ctx.out << "null, \"type\": \"VT_EMPTY\"";
            else if (value.vt == VT_BSTR)
                ctx.out << JsonString(com::View(value.bstrVal)) << ", \"type\": \"VT_BSTR\"";
            else {
                com::Variant text;
                VariantChangeType(&text, &value, 0, VT_BSTR);
                ctx.out << (text.vt == VT_BSTR ? JsonString(com::View(text.bstrVal)) : "null")
                        << ", \"type\": \"" << VariantTypeName(value.vt) << "\"";
            }
            ctx.out << (k + 1 < items.size() ? "},\n" : "}\n");
        } else {
            std::string name = EscapeForLine(item.displayName);
            name.resize(std::max(width, name.size()), ' ');
            ctx.out << item.index << '\t' << name << '\t';
            if (FAILED(hr))
                ctx.out << "<failed: " << StatusText(hr) << ">";
            else if (value.vt == VT_BSTR)
                ctx.out << EscapeForLine(com::View(value.bstrVal));
            else if (value.vt != VT_EMPTY) {
                com::Variant text;
                VariantChangeType(&text, &value, 0, VT_BSTR);
                if (text.vt == VT_BSTR) ctx.out << EscapeForLine(com::View(text.bstrVal));
            }
            ctx.out << '\n';
        }
    }
    if (json) ctx.out << "]\n";
    return 0;
}

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
    EXCEPINFO excep{};
    UINT argErr = 0;
    hr = p->dispatch()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                               result.Out(), &excep, &argErr);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION)
        return ctx.Fail(args[1] + " failed with " + StatusText(excep.scode));
    if (hr == DISP_E_BADPARAMCOUNT) return ctx.Fail(args[1] + ": wrong number of arguments");
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW)
        return ctx.Fail(args[1] + ": argument " + std::to_string(n - argErr) + " '" +
                        args[2 + (n - 1 - argErr)] +
                        (hr == DISP_E_OVERFLOW ? "' is out of range" : "' has the wrong type"));
    if (FAILED(hr)) return ctx.Fail(args[1] + " failed with " + StatusText(hr));

    com::Variant text;
    if (result.vt != VT_EMPTY &&
        FAILED(VariantChangeType(&text, &result, VARIANT_ALPHABOOL, VT_BSTR)))
        return ctx.Fail(args[1] + " returned a " + VariantTypeName(result.vt));
    ctx.out << com::ToUtf8(com::View(text.vt == VT_BSTR ? text.bstrVal : nullptr)) << '\n';
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
