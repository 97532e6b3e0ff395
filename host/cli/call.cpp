#include "host/cli/call.h"

#include <CLI/CLI.hpp>

#include "com/owners.h"
#include "host/cli/text_output.h"
#include "host/plugins/plugin.h"
#include "host/plugins/provider.h"
#include "host/plugins/status_text.h"

namespace host {

namespace {

// Why Invoke refused the argument it points at with `argErr`, counted from the last; an argErr
// beyond the arguments points at none of them.
std::string ArgumentFault(HRESULT hr, const std::string& method,
                          const std::vector<std::string>& arguments, UINT argErr) {
    const std::string fault = hr == DISP_E_OVERFLOW ? " is out of range" : " has the wrong type";
    const std::size_t n = arguments.size();
    if (argErr >= n) return method + ": an argument" + fault;
    return method + ": argument " + std::to_string(n - argErr) + " '" + arguments[n - 1 - argErr] +
           "'" + fault;
}

class Call final : public WordsCommand {
  public:
    explicit Call(CLI::App& app)
        : WordsCommand(app, "call", "a public method of the class interface, by name",
                       "PLUGIN METHOD [ARG...]",
                       "the plug-in (" + PluginHelp() + "), the method and its arguments") {}

    int Run(Context& ctx) override {
        const auto args = Words();
        if (args.size() < 2) return ctx.Fail("call takes PLUGIN METHOD [ARG...]", 2);
        auto p = ctx.Load(args[0]);
        if (!p) return 1;
        if (p->dispatch() == nullptr) return ctx.Fail(p->name() + " offers no IDispatch");
        return CallMethod(ctx, p->name(), p->dispatch(), args[1], {args.begin() + 2, args.end()});
    }
};

}  // namespace

int CallMethod(Context& ctx, const std::string& plugin, IDispatch* object,
               const std::string& method, const std::vector<std::string>& arguments) {
    std::u16string name = com::FromUtf8(method);
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id)))
        return ctx.Fail(plugin + " has no method '" + method + "'");

    // Arguments go as text, last first; the method's parameter types convert them.
    const std::size_t n = arguments.size();
    std::vector<com::Variant> argv(n);
    for (std::size_t k = 0; k < n; ++k) {
        VARIANT& v = argv[n - 1 - k];
        v.vt = VT_BSTR;
        v.bstrVal = com::AllocString(com::FromUtf8(arguments[k]));
    }
    std::vector<VARIANT> raw(n);
    for (std::size_t k = 0; k < n; ++k) raw[k] = argv[k];
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(n), 0};
    com::Variant result;
    com::ExcepInfo excep;
    UINT argErr = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      &params, result.Out(), excep.Out(), &argErr);
    if (hr == DISP_E_EXCEPTION) return ctx.Fail(method + " failed with " + StatusText(excep.scode));
    if (hr == DISP_E_BADPARAMCOUNT) return ctx.Fail(method + ": wrong number of arguments");
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW)
        return ctx.Fail(ArgumentFault(hr, method, arguments, argErr));
    if (FAILED(hr)) return ctx.Fail(method + " failed with " + StatusText(hr));

    std::u16string text;
    if (result.vt != VT_EMPTY && FAILED(ConvertToText(result, &text, VARIANT_ALPHABOOL)))
        return ctx.Fail(method + " returned a " + VariantTypeName(result.vt));
    ctx.out << com::ToUtf8(text) << '\n';
    return 0;
}

std::unique_ptr<Command> AddCall(CLI::App& app) {
    return std::make_unique<Call>(app);
}

}  // namespace host
