// Late binding of each plug-in class: IDispatch::Invoke with arbitrary member ids, flags,
// argument counts, arguments of every type (by value and by reference), named arguments and
// optional out-parameters; GetIDsOfNames with arbitrary names; QueryInterface and the type
// information members; and the argument conversions of the component system on their own. The fakes
// behind the objects answer like a typical machine.
#include "tests/fuzz/fuzz_plugins.h"

namespace {

// Interface ids a caller may ask for, the ones the objects answer among them.
const IID kInterfaces[] = {
    IID_IUnknown, IID_IDispatch,   IID_ITessivar2Plugin, IID_ITessivar2DataProvider,
    IID__CPUInfo, IID__CustomDate, IID__Uptime,          IID_IClassFactory,
    IID_NULL};

IID AnyIid(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 7) != 0)
        return kInterfaces[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kInterfaces) - 1)];
    IID iid{};
    fuzz::VariantArena::Fill(in, &iid, sizeof iid);
    return iid;
}

// A name as a caller may write one: a member or parameter name of the class in any case, or
// arbitrary text; as an automation string, a plain NUL-terminated text, or null.
std::u16string AnyName(FuzzedDataProvider& in, frame::MethodTable methods) {
    if (!methods.empty() && in.ConsumeBool()) {
        const frame::Method& m =
            methods[in.ConsumeIntegralInRange<std::size_t>(0, methods.size() - 1)];
        std::u16string name(m.name);
        if (in.ConsumeBool() && m.paramCount > 0)
            name = m.params[in.ConsumeIntegralInRange<std::size_t>(0, m.paramCount - 1)].name;
        for (char16_t& c : name)
            if (in.ConsumeBool() && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        return name;
    }
    return fuzz::Text(in, 40);
}

void GetIDsOfNames(FuzzedDataProvider& in, IDispatch* object, frame::MethodTable methods,
                   fuzz::VariantArena& arena) {
    const UINT count = in.ConsumeIntegralInRange<UINT>(0, 4);
    std::vector<std::u16string> texts;
    texts.reserve(count);  // the plain names point into these texts
    std::vector<LPOLESTR> names;
    for (UINT k = 0; k < count; ++k) {
        texts.push_back(AnyName(in, methods));
        // None, a NUL-terminated text without a length prefix, or an automation string.
        const int form = in.ConsumeIntegralInRange(0, 5);
        names.push_back(form == 0   ? nullptr
                        : form == 1 ? texts.back().data()
                                    : arena.String(texts.back()));
    }
    const bool noNames = count > 0 && in.ConsumeIntegralInRange(0, 15) == 0;
    const bool noIds = count > 0 && in.ConsumeIntegralInRange(0, 15) == 0;
    std::vector<DISPID> ids(count + 1, 12345);  // one guard slot past the end
    const IID riid = in.ConsumeIntegralInRange(0, 15) == 0 ? AnyIid(in) : IID_NULL;
    const HRESULT hr = object->GetIDsOfNames(riid, noNames ? nullptr : names.data(), count, 0x409,
                                             noIds ? nullptr : ids.data());
    FUZZ_CHECK(ids[count] == 12345);
    if (!IsEqualIID(riid, IID_NULL)) {
        FUZZ_CHECK(hr == DISP_E_UNKNOWNINTERFACE);
        return;
    }
    if (count == 0) {
        FUZZ_CHECK(hr == S_OK);
        return;
    }
    if (noNames || noIds) {
        FUZZ_CHECK(hr == E_POINTER);
        return;
    }
    // The first name is a member, the others its parameters; the unknown ones are marked.
    auto nameAt = [&](UINT k) {
        return names[k] == nullptr ? std::u16string_view() : std::u16string_view(names[k]);
    };
    const frame::Method* method = nullptr;
    for (const frame::Method& m : methods)
        if (com::EqualsNoCase(m.name, nameAt(0))) method = &m;
    if (method == nullptr) {
        FUZZ_CHECK(hr == DISP_E_UNKNOWNNAME);
        for (UINT k = 0; k < count; ++k) FUZZ_CHECK(ids[k] == DISPID_UNKNOWN);
        return;
    }
    FUZZ_CHECK(ids[0] == method->id);
    bool allKnown = true;
    for (UINT k = 1; k < count; ++k) {
        if (ids[k] == DISPID_UNKNOWN) {
            allKnown = false;
            continue;
        }
        FUZZ_CHECK(ids[k] >= 0 && ids[k] < method->paramCount);
        FUZZ_CHECK(com::EqualsNoCase(method->params[ids[k]].name, nameAt(k)));
    }
    FUZZ_CHECK(hr == (allKnown ? S_OK : DISP_E_UNKNOWNNAME));
}

void Invoke(FuzzedDataProvider& in, IDispatch* object, frame::MethodTable methods,
            fuzz::VariantArena& arena) {
    const int pick = in.ConsumeIntegralInRange(0, 5);
    const DISPID id =
        pick == 0   ? in.ConsumeIntegral<DISPID>()
        : pick == 1 ? in.ConsumeIntegralInRange<DISPID>(-5, 8)
        : methods.empty()
            ? DISPID_VALUE
            : methods[in.ConsumeIntegralInRange<std::size_t>(0, methods.size() - 1)].id;
    const frame::Method* method = frame::FindMethod(methods, id);
    WORD flags = in.ConsumeBool() ? DISPATCH_METHOD : in.ConsumeIntegral<WORD>();
    const UINT argCount = method != nullptr && in.ConsumeBool()
                              ? method->paramCount
                              : in.ConsumeIntegralInRange<UINT>(0, 4);
    std::vector<VARIANT> args;
    for (UINT k = 0; k < argCount; ++k) args.push_back(arena.Make(in));
    const std::vector<VARIANT> before = args;
    UINT namedCount =
        in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange<UINT>(0, 3) : 0;
    std::vector<DISPID> named;
    for (UINT k = 0; k < namedCount; ++k)
        named.push_back(in.ConsumeBool() ? DISPID_PROPERTYPUT : in.ConsumeIntegral<DISPID>());
    DISPPARAMS params{args.data(), named.empty() ? nullptr : named.data(), argCount, namedCount};
    if (argCount > 0 && in.ConsumeIntegralInRange(0, 31) == 0) params.rgvarg = nullptr;
    const bool noParams = in.ConsumeIntegralInRange(0, 31) == 0;

    VARIANT result;
    VariantInit(&result);
    com::ExcepInfo excep;
    UINT argErr = 0xFFFFFFFFu;
    const bool wantResult = in.ConsumeIntegralInRange(0, 7) != 0;
    const bool wantExcep = in.ConsumeBool();
    const bool wantArgErr = in.ConsumeBool();
    const IID riid = in.ConsumeIntegralInRange(0, 15) == 0 ? AnyIid(in) : IID_NULL;

    const HRESULT hr = object->Invoke(id, riid, 0x409, flags, noParams ? nullptr : &params,
                                      wantResult ? &result : nullptr, wantExcep ? &excep : nullptr,
                                      wantArgErr ? &argErr : nullptr);

    // [in] arguments are the caller's: as they were.
    for (UINT k = 0; k < argCount; ++k) FUZZ_CHECK(fuzz::SameBytes(args[k], before[k]));
    if (SUCCEEDED(hr)) {
        FUZZ_CHECK(hr == S_OK && method != nullptr && IsEqualIID(riid, IID_NULL));
        FUZZ_CHECK(argCount == method->paramCount && namedCount == 0);
        FUZZ_CHECK(result.vt == VT_BOOL || result.vt == VT_BSTR || !wantResult);
        if (result.vt == VT_BSTR) FUZZ_CHECK(result.bstrVal != nullptr);
        VariantClear(&result);
    } else {
        FUZZ_CHECK(result.vt == VT_EMPTY);  // nothing handed over on failure
    }
    if (method == nullptr) FUZZ_CHECK(hr == DISP_E_MEMBERNOTFOUND || FAILED(hr));
    if (hr == DISP_E_EXCEPTION && wantExcep) {
        FUZZ_CHECK(FAILED(excep.scode));
        FUZZ_CHECK(excep.bstrSource != nullptr);
    }
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW) && wantArgErr)
        FUZZ_CHECK(argErr < argCount);
}

// The component system's conversions that Invoke applies to arguments, to every type.
void Convert(FuzzedDataProvider& in, fuzz::VariantArena& arena) {
    static constexpr VARTYPE kTargets[] = {
        VT_EMPTY,        VT_NULL,    VT_I2,      VT_I4,       VT_R4,    VT_R8,
        VT_CY,           VT_DATE,    VT_BSTR,    VT_DISPATCH, VT_ERROR, VT_BOOL,
        VT_VARIANT,      VT_UNKNOWN, VT_DECIMAL, VT_I1,       VT_UI1,   VT_UI2,
        VT_UI4,          VT_I8,      VT_UI8,     VT_INT,      VT_UINT,  VT_BYREF | VT_I4,
        VT_ARRAY | VT_I4};
    const VARIANT source = arena.Make(in);
    const VARIANT before = source;
    const VARTYPE type =
        kTargets[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTargets) - 1)];
    const USHORT flags = in.ConsumeBool() ? VARIANT_ALPHABOOL : in.ConsumeIntegral<USHORT>();
    com::Variant converted;
    VARIANT from = source;
    const HRESULT hr = VariantChangeType(&converted, &from, flags, type);
    FUZZ_CHECK(fuzz::SameBytes(source, before));
    if (SUCCEEDED(hr)) {
        FUZZ_CHECK(converted.vt == type);
        if (type == VT_BSTR) FUZZ_CHECK(converted.bstrVal != nullptr);
    } else {
        FUZZ_CHECK(converted.vt == VT_EMPTY);
    }
    com::Variant copy;
    if (SUCCEEDED(VariantCopyInd(&copy, &from))) FUZZ_CHECK((copy.vt & VT_BYREF) == 0);
    com::Variant same;
    FUZZ_CHECK(SUCCEEDED(VariantCopy(&same, &copy)) && same.vt == copy.vt);
}

void QueryAndTypeInfo(FuzzedDataProvider& in, IDispatch* object) {
    const IID iid = AnyIid(in);
    com::ComPtr<IUnknown> other;
    const HRESULT hr = object->QueryInterface(iid, other.OutVoid());
    if (SUCCEEDED(hr)) {
        FUZZ_CHECK(other);
        // One identity: IUnknown from any interface is the same pointer.
        com::ComPtr<IUnknown> a, b;
        FUZZ_CHECK(other->QueryInterface(IID_IUnknown, a.OutVoid()) == S_OK);
        FUZZ_CHECK(object->QueryInterface(IID_IUnknown, b.OutVoid()) == S_OK);
        FUZZ_CHECK(a.Get() == b.Get());
    } else {
        FUZZ_CHECK(!other && hr == E_NOINTERFACE);
    }
    UINT count = 7;
    FUZZ_CHECK(object->GetTypeInfoCount(&count) == S_OK && count == 0);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(&count);
    FUZZ_CHECK(FAILED(object->GetTypeInfo(in.ConsumeIntegral<UINT>(), 0, &info)));
    FUZZ_CHECK(info == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::VariantArena arena;
    fuzz::Fakes fakes;
    fakes.Load(fuzz::TypicalMachine());

    const auto which = static_cast<fuzz::Plugin>(in.ConsumeIntegralInRange(0, 2));
    fuzz::PluginRefs refs = fuzz::MakePlugin(which, fakes);
    const frame::MethodTable methods =
        which == fuzz::Plugin::kOrvantel    ? cpuinfo::CPUInfoIdentity().methods
        : which == fuzz::Plugin::kTamblorin ? date::CustomDateIdentity().methods
                                            : uptime::UptimeIdentity().methods;
    const long usage = frame::ModuleUsage();
    for (int step = 0; step < 8 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange(0, 6);
        if (action == 0) {
            GetIDsOfNames(in, refs.dispatch.Get(), methods, arena);
        } else if (action == 1) {
            QueryAndTypeInfo(in, refs.dispatch.Get());
        } else if (action == 6) {
            Convert(in, arena);
        } else {
            Invoke(in, refs.dispatch.Get(), methods, arena);
        }
    }
    FUZZ_CHECK(frame::ModuleUsage() == usage);
    fuzz::ReleasePlugin(refs);
    FUZZ_CHECK(frame::ModuleUsage() == usage - 1);
    return 0;
}
