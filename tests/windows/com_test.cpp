// The plug-in libraries as Windows components, under the real component runtime: the embedded
// type library, the version resource, creation through the entry points, and what
// registration writes and unregistration removes. The libraries are those beside this
// program; each absent one is left out.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <oleauto.h>
#include <olectl.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "com/guid.h"
#include "com/owners.h"
#include "cpuinfo/orvantel_class.h"
#include "date/tamblorin_class.h"
#include "frame/host_interfaces.h"
#include "uptime/wendrikai_class.h"

namespace {

struct ExpectedMethod {
    const wchar_t* name;
    MEMBERID id;
    std::vector<std::pair<const wchar_t*, VARTYPE>> params;
    VARTYPE result;
};

struct ExpectedLibrary {
    const wchar_t* name;
    const wchar_t* className;
    const char* libid;
    const char* clsid;
    const char* classIid;
    const wchar_t* progId;
    WORD major, minor, build, revision;
    const wchar_t* versionText;
    const wchar_t* company;  // null: no "CompanyName"
    const IID* second;       // the coclass's second and third interfaces
    const IID* third;
    std::vector<ExpectedMethod> methods;
};

// The identifiers of an identity header: the LIBID, CLSID and class interface, the ProgID.
#define TESS_IDS(P) "{" P##_LIBID "}", "{" P##_CLSID "}", "{" P##_CLASS_IID "}", L"" P##_PROGID

const std::vector<ExpectedLibrary>& Libraries() {
    static const std::vector<ExpectedMethod> orvantel = {
        {L"Check128", 0x6003000D, {{L"sOutput", VT_BSTR}}, VT_BOOL},
        {L"fnDualLine", 0x6003000E, {{L"sSourceText", VT_BSTR}}, VT_BSTR},
        {L"fnFeatureSupport",
         0x6003000F,
         {{L"lCheckFeature", VT_I4}, {L"sRtnTrue", VT_VARIANT}, {L"sRtnFalse", VT_VARIANT}},
         VT_BSTR},
        {L"fnWin32Processor", 0x60030010, {{L"nGetData", VT_I2}}, VT_BSTR}};
    static const std::vector<ExpectedMethod> tamblorin = {
        {L"Check128", 0x6003000A, {{L"sOutput", VT_BSTR}}, VT_BOOL},
        {L"GetDayShort", 0x6003000B, {{L"nDay", VT_I2}}, VT_BSTR},
        {L"GetDayLong", 0x6003000C, {{L"nDay", VT_I2}}, VT_BSTR},
        {L"GetMonthShort", 0x6003000D, {{L"nMonth", VT_I2}}, VT_BSTR},
        {L"GetMonthLong", 0x6003000E, {{L"nMonth", VT_I2}}, VT_BSTR},
        {L"GetDaySuffix", 0x6003000F, {{L"nDayOfMonth", VT_I2}}, VT_BSTR}};
    static const std::vector<ExpectedLibrary> libraries = {
        {L"Orvantel", L"CPUInfo", TESS_IDS(ORVANTEL), 1, 1, 0, 84, L"1.01.0084", L".",
         &IID_ITessivar2Plugin, &IID_ITessivar2DataProvider, orvantel},
        {L"Tamblorin", L"CustomDate", TESS_IDS(TAMBLORIN), 1, 5, 0, 116, L"1.05.0116", nullptr,
         &IID_ITessivar2DataProvider, &IID_ITessivar2Plugin, tamblorin},
        {L"Wendrikai",
         L"Uptime",
         TESS_IDS(WENDRIKAI),
         1,
         0,
         0,
         15,
         L"1.00.0015",
         L".",
         &IID_ITessivar2DataProvider,
         &IID_ITessivar2Plugin,
         {}}};
    return libraries;
}

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

GUID Guid(const char* text) {
    GUID guid{};
    EXPECT_TRUE(com::ParseGuid(text, &guid)) << text;
    return guid;
}

std::wstring WideGuid(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

std::filesystem::path Folder() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path();
}

std::wstring PathOf(const ExpectedLibrary& library) {
    return (Folder() / (std::wstring(library.name) + L".dll")).wstring();
}

// The libraries built into this folder; Wendrikai is always there.
std::vector<const ExpectedLibrary*> Present() {
    std::vector<const ExpectedLibrary*> present;
    for (const auto& library : Libraries())
        if (std::filesystem::exists(PathOf(library))) present.push_back(&library);
    return present;
}

// Paths compare without letter case and without the long-path prefix \\?\.
bool SamePath(std::wstring a, std::wstring b) {
    for (std::wstring* path : {&a, &b})
        if (path->rfind(L"\\\\?\\", 0) == 0) path->erase(0, 4);
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring ReadValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::wstring Text(BSTR text) {
    std::wstring copy = text == nullptr ? std::wstring() : std::wstring(text);
    SysFreeString(text);
    return copy;
}

// The type library in `file` of this folder, registered or not as `kind` says.
com::ComPtr<ITypeLib> LoadLibraryOf(const std::wstring& file, REGKIND kind = REGKIND_NONE) {
    com::ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadTypeLibEx((Folder() / file).wstring().c_str(), kind, lib.Out()), S_OK);
    return lib;
}

// Checks a type library's attributes and name; answers its help file.
std::wstring CheckLibrary(ITypeLib* lib, const GUID& guid, LCID lcid, const wchar_t* name) {
    TLIBATTR* attr = nullptr;
    EXPECT_EQ(lib->GetLibAttr(&attr), S_OK);
    if (attr != nullptr) {
        EXPECT_TRUE(IsEqualGUID(attr->guid, guid));
        EXPECT_EQ(attr->wMajorVerNum, 1);
        EXPECT_EQ(attr->wMinorVerNum, 0);
        EXPECT_EQ(attr->lcid, lcid);
        EXPECT_EQ(attr->syskind, kSysKind);
        lib->ReleaseTLibAttr(attr);
    }
    BSTR text = nullptr, helpFile = nullptr;
    EXPECT_EQ(lib->GetDocumentation(-1, &text, nullptr, nullptr, &helpFile), S_OK);
    EXPECT_EQ(Text(text), name);
    return Text(helpFile);
}

// A copy of the type attributes of `info` (all zeros when there are none).
TYPEATTR AttrOf(ITypeInfo* info) {
    TYPEATTR copy{}, *attr = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
    if (attr != nullptr) {
        copy = *attr;
        info->ReleaseTypeAttr(attr);
    }
    return copy;
}

// The type that `info` implements as its interface `i` (-1: a dual interface's own vtable).
com::ComPtr<ITypeInfo> Implemented(ITypeInfo* info, UINT i) {
    HREFTYPE ref = 0;
    com::ComPtr<ITypeInfo> implemented;
    EXPECT_EQ(info->GetRefTypeOfImplType(i, &ref), S_OK);
    EXPECT_EQ(info->GetRefTypeInfo(ref, implemented.Out()), S_OK);
    return implemented;
}

// The names of a function: its own, then its parameters'.
std::vector<std::wstring> Names(ITypeInfo* info, MEMBERID id) {
    BSTR names[8] = {};
    UINT count = 0;
    EXPECT_EQ(info->GetNames(id, names, 8, &count), S_OK);
    std::vector<std::wstring> out;
    for (UINT i = 0; i < count; ++i) out.push_back(Text(names[i]));
    return out;
}

std::wstring TypeName(ITypeInfo* info) {
    BSTR name = nullptr;
    EXPECT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
    return Text(name);
}

// A new object of the registered class `library` names, through the component runtime.
template <class I>
HRESULT CreateRegistered(const ExpectedLibrary& library, com::ComPtr<I>* object) {
    return CoCreateInstance(Guid(library.clsid), nullptr, CLSCTX_INPROC_SERVER, object->Iid(),
                            object->OutVoid());
}

void CheckMethods(ITypeInfo* info, const std::vector<ExpectedMethod>& methods) {
    ASSERT_EQ(AttrOf(info).cFuncs, methods.size());
    for (UINT i = 0; i < methods.size(); ++i) {
        FUNCDESC* func = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &func), S_OK);
        const ExpectedMethod& want = methods[i];
        SCOPED_TRACE(testing::Message() << "method " << i);
        EXPECT_EQ(func->memid, want.id);
        EXPECT_EQ(func->invkind, INVOKE_FUNC);
        ASSERT_EQ(func->cParams, static_cast<SHORT>(want.params.size() + 1));
        for (std::size_t p = 0; p < want.params.size(); ++p) {
            EXPECT_EQ(func->lprgelemdescParam[p].tdesc.vt, want.params[p].second);
            EXPECT_TRUE(func->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FIN);
        }
        const ELEMDESC& retval = func->lprgelemdescParam[want.params.size()];
        EXPECT_TRUE(retval.paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
        ASSERT_EQ(retval.tdesc.vt, VT_PTR);
        EXPECT_EQ(retval.tdesc.lptdesc->vt, want.result);
        const auto names = Names(info, func->memid);
        ASSERT_GE(names.size(), want.params.size() + 1);
        EXPECT_EQ(names[0], want.name);
        for (std::size_t p = 0; p < want.params.size(); ++p)
            EXPECT_EQ(names[p + 1], want.params[p].first);
        info->ReleaseFuncDesc(func);
    }
}

TEST(TypeLibrary, EmbeddedLibraryMatchesTheTables) {
    const auto present = Present();
    ASSERT_FALSE(present.empty());
    for (const ExpectedLibrary* want : present) {
        SCOPED_TRACE(testing::Message() << want->name);
        const auto lib = LoadLibraryOf(std::wstring(want->name) + L".dll");
        ASSERT_TRUE(lib);
        EXPECT_EQ(CheckLibrary(lib.Get(), Guid(want->libid), 0x0409, want->name), L"");

        // The class interface: dual, hidden, not extensible, with the tabled methods.
        com::ComPtr<ITypeInfo> dispatch;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(Guid(want->classIid), dispatch.Out()), S_OK);
        EXPECT_EQ(TypeName(dispatch.Get()), std::wstring(L"_") + want->className);
        const auto vtable = Implemented(dispatch.Get(), static_cast<UINT>(-1));
        ASSERT_TRUE(vtable);
        const TYPEATTR attr = AttrOf(vtable.Get());
        EXPECT_EQ(attr.typekind, TKIND_INTERFACE);
        const WORD flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                           TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(attr.wTypeFlags & flags, flags);
        CheckMethods(vtable.Get(), want->methods);

        // The coclass: creatable, the class interface first and default, then the host's two.
        com::ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(Guid(want->clsid), coclass.Out()), S_OK);
        const TYPEATTR coclassAttr = AttrOf(coclass.Get());
        EXPECT_EQ(coclassAttr.typekind, TKIND_COCLASS);
        EXPECT_TRUE(coclassAttr.wTypeFlags & TYPEFLAG_FCANCREATE);
        ASSERT_EQ(coclassAttr.cImplTypes, 3);
        EXPECT_EQ(TypeName(coclass.Get()), want->className);
        const GUID order[3] = {Guid(want->classIid), *want->second, *want->third};
        for (UINT i = 0; i < 3; ++i) {
            const auto implemented = Implemented(coclass.Get(), i);
            ASSERT_TRUE(implemented);
            EXPECT_TRUE(IsEqualGUID(AttrOf(implemented.Get()).guid, order[i])) << "interface " << i;
            INT implFlags = 0;
            ASSERT_EQ(coclass->GetImplTypeFlags(i, &implFlags), S_OK);
            EXPECT_EQ((implFlags & IMPLTYPEFLAG_FDEFAULT) != 0, i == 0);
        }
    }
}

TEST(TypeLibrary, KitStandInHoldsTheHostInterfaces) {
    const auto lib = LoadLibraryOf(L"Tessivar1501sdk.tlb");
    ASSERT_TRUE(lib);
    CheckLibrary(lib.Get(), LIBID_TESSIVAR2Sdk, 0, L"TESSIVAR2Sdk");

    // Each interface's members: the id, the kind and the names, the member's then its inputs'.
    using Member = std::tuple<MEMBERID, INVOKEKIND, std::vector<std::wstring>>;
    const std::pair<const IID*, std::vector<Member>> interfaces[] = {
        {&IID_ITessivar2Plugin,
         {{0x60010000, INVOKE_FUNC, {L"Configure"}},
          {0x60010001, INVOKE_PROPERTYGET, {L"Description"}},
          {0x60010002, INVOKE_PROPERTYGET, {L"ConfigurationString"}},
          {0x60010002, INVOKE_PROPERTYPUT, {L"ConfigurationString", L"RHS"}}}},
        {&IID_ITessivar2DataProvider,
         {{1, INVOKE_FUNC, {L"PollData"}},
          {2, INVOKE_PROPERTYGET, {L"PollMethod"}},
          {3, INVOKE_PROPERTYGET, {L"PollFreqency"}},
          {4, INVOKE_PROPERTYGET, {L"Count"}},
          {5, INVOKE_PROPERTYGET, {L"Name", L"Index"}},
          {6, INVOKE_PROPERTYGET, {L"DisplayName", L"Index"}},
          {7, INVOKE_PROPERTYGET, {L"Value", L"Index"}}}},
    };
    for (const auto& [iid, members] : interfaces) {
        com::ComPtr<ITypeInfo> info;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*iid, info.Out()), S_OK);
        const TYPEATTR attr = AttrOf(info.Get());
        EXPECT_EQ(attr.typekind, TKIND_INTERFACE);
        EXPECT_TRUE(attr.wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        EXPECT_FALSE(attr.wTypeFlags & TYPEFLAG_FDUAL);
        ASSERT_EQ(attr.cFuncs, members.size());
        for (UINT i = 0; i < members.size(); ++i) {
            const auto& [id, kind, wantNames] = members[i];
            FUNCDESC* func = nullptr;
            ASSERT_EQ(info->GetFuncDesc(i, &func), S_OK);
            EXPECT_EQ(func->memid, id);
            EXPECT_EQ(func->invkind, kind);
            auto names = Names(info.Get(), func->memid);
            // GetNames answers for the first function of an id: the put of
            // ConfigurationString shares its get's id, so only its shape is checked here.
            ASSERT_FALSE(names.empty());
            EXPECT_EQ(names[0], wantNames[0]);
            if (kind == INVOKE_PROPERTYPUT) {
                EXPECT_EQ(func->cParams, 1);
            } else {
                for (std::size_t p = 1; p < wantNames.size(); ++p)
                    EXPECT_EQ(names.at(p), wantNames[p]);
            }
            info->ReleaseFuncDesc(func);
        }
    }
}

TEST(VersionResource, ReadsBackTheTabledValues) {
    for (const ExpectedLibrary* want : Present()) {
        SCOPED_TRACE(testing::Message() << want->name);
        const std::wstring path = PathOf(*want);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> data(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        const DWORD ms = MAKELONG(want->minor, want->major);
        const DWORD ls = MAKELONG(want->revision, want->build);
        EXPECT_EQ(fixed->dwFileVersionMS, ms);
        EXPECT_EQ(fixed->dwFileVersionLS, ls);
        EXPECT_EQ(fixed->dwProductVersionMS, ms);
        EXPECT_EQ(fixed->dwProductVersionLS, ls);
        EXPECT_EQ(fixed->dwFileFlags, 0u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
        EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

        DWORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                                   reinterpret_cast<void**>(&translation), &length));
        ASSERT_EQ(length, sizeof(DWORD)) << "exactly one translation";
        EXPECT_EQ(LOWORD(*translation), 0x0409);
        EXPECT_EQ(HIWORD(*translation), 0x04B0);

        auto value = [&](const wchar_t* key) -> std::wstring {
            wchar_t* text = nullptr;
            UINT n = 0;
            const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
            if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &n))
                return L"<absent>";
            return n == 0 || text == nullptr ? std::wstring() : std::wstring(text);
        };
        EXPECT_EQ(value(L"CompanyName"), want->company != nullptr ? want->company : L"<absent>");
        EXPECT_EQ(value(L"ProductName"), want->name);
        EXPECT_EQ(value(L"FileVersion"), want->versionText);
        EXPECT_EQ(value(L"ProductVersion"), want->versionText);
        EXPECT_EQ(value(L"InternalName"), want->name);
        EXPECT_EQ(value(L"OriginalFilename"), std::wstring(want->name) + L".dll");
        EXPECT_EQ(value(L"OLESelfRegister"), L"");
    }
}

using NoArgFn = HRESULT(STDAPICALLTYPE*)();

// Entry point `name` of `module`; null when it is missing.
template <class Fn>
Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(Library, CreatesItsClassAndDescribesItThroughIDispatch) {
    for (const ExpectedLibrary* want : Present()) {
        SCOPED_TRACE(testing::Message() << want->name);
        HMODULE module = LoadLibraryW(PathOf(*want).c_str());
        ASSERT_NE(module, nullptr);
        const auto getClassObject =
            Entry<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(module, "DllGetClassObject");
        const auto canUnloadNow = Entry<NoArgFn>(module, "DllCanUnloadNow");
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);

        void* none = nullptr;
        EXPECT_EQ(getClassObject(IID_ITessivar2Plugin, IID_IClassFactory, &none),
                  CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(none, nullptr);

        com::ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(Guid(want->clsid), factory.Iid(), factory.OutVoid()), S_OK);
        com::ComPtr<IDispatch> dispatch;
        ASSERT_EQ(factory->CreateInstance(nullptr, dispatch.Iid(), dispatch.OutVoid()), S_OK);
        factory.Reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE);
        EXPECT_TRUE(dispatch.As<ITessivar2Plugin>());
        EXPECT_TRUE(dispatch.As<ITessivar2DataProvider>());

        UINT count = 0;
        ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        com::ComPtr<ITypeInfo> info;
        ASSERT_EQ(dispatch->GetTypeInfo(0, 0x0409, info.Out()), S_OK);
        EXPECT_TRUE(IsEqualGUID(AttrOf(info.Get()).guid, Guid(want->classIid)));
        EXPECT_EQ(dispatch->GetTypeInfo(1, 0, info.Out()), DISP_E_BADINDEX);

        // Late binding finds every public method by name, in any letter case.
        for (const ExpectedMethod& method : want->methods) {
            std::wstring upper = method.name;
            CharUpperW(upper.data());
            LPOLESTR names[] = {upper.data()};
            DISPID id = 0;
            EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0x0409, &id), S_OK);
            EXPECT_EQ(id, method.id) << upper;
        }
        dispatch.Reset();
        EXPECT_EQ(canUnloadNow(), S_OK);
        FreeLibrary(module);
    }
}

// After regsvr32 registered every library, with the host kit's library not registered.
TEST(Registered, RegistryHoldsTheClassTheProgIdAndTheTypeLibrary) {
    for (const ExpectedLibrary* want : Present()) {
        SCOPED_TRACE(testing::Message() << want->name);
        const std::wstring clsid = WideGuid(want->clsid), libid = WideGuid(want->libid);
        const std::wstring server = L"CLSID\\" + clsid + L"\\InprocServer32";
        const std::wstring interfaceKey = L"Interface\\" + WideGuid(want->classIid);
        EXPECT_EQ(ReadValue(server, L"ThreadingModel"), L"Apartment");
        EXPECT_TRUE(SamePath(ReadValue(server, nullptr), PathOf(*want)))
            << ReadValue(server, nullptr);
        // The default values of the keys, the class interface marshalled through the type
        // library among them.
        const std::pair<std::wstring, std::wstring> values[] = {
            {L"CLSID\\" + clsid + L"\\ProgID", want->progId},
            {L"CLSID\\" + clsid + L"\\TypeLib", libid},
            {std::wstring(want->progId) + L"\\CLSID", clsid},
            {interfaceKey + L"\\ProxyStubClsid32", L"{00020424-0000-0000-C000-000000000046}"},
            {interfaceKey + L"\\TypeLib", libid}};
        for (const auto& [key, value] : values) EXPECT_EQ(ReadValue(key, nullptr), value) << key;

        CLSID fromProgId{};
        ASSERT_EQ(CLSIDFromProgID(want->progId, &fromProgId), S_OK);
        EXPECT_TRUE(IsEqualGUID(fromProgId, Guid(want->clsid)));

        // The type library from the library's own file.
        BSTR path = nullptr;
        ASSERT_EQ(QueryPathOfRegTypeLib(Guid(want->libid), 1, 0, 0x0409, &path), S_OK);
        const std::wstring registered = Text(path);
        EXPECT_TRUE(SamePath(registered, PathOf(*want))) << registered;

        com::ComPtr<IUnknown> object;
        ASSERT_EQ(CreateRegistered(*want, &object), S_OK);
        EXPECT_TRUE(object.As<ITessivar2Plugin>());
        EXPECT_TRUE(object.As<ITessivar2DataProvider>());
    }
    // The host's interfaces are the host's to register: no plug-in wrote them.
    EXPECT_FALSE(KeyExists(L"Interface\\{" TESSIVAR2_PLUGIN_IID "}"));
    EXPECT_FALSE(KeyExists(L"Interface\\{" TESSIVAR2_DATA_PROVIDER_IID "}"));
}

TEST(Registered, RegistrationWorksWithTheKitLibraryRegistered) {
    ASSERT_TRUE(LoadLibraryOf(L"Tessivar1501sdk.tlb", REGKIND_REGISTER));
    const std::wstring kitLibid = L"{" TESSIVAR2_KIT_LIBID "}";
    const std::wstring pluginKey = L"Interface\\{" TESSIVAR2_PLUGIN_IID "}\\TypeLib";
    EXPECT_EQ(ReadValue(pluginKey, nullptr), kitLibid);
    for (const ExpectedLibrary* want : Present()) {
        SCOPED_TRACE(testing::Message() << want->name);
        HMODULE module = LoadLibraryW(PathOf(*want).c_str());
        ASSERT_NE(module, nullptr);
        const auto reg = Entry<NoArgFn>(module, "DllRegisterServer");
        ASSERT_NE(reg, nullptr);
        EXPECT_EQ(reg(), S_OK);
        FreeLibrary(module);
        EXPECT_EQ(ReadValue(pluginKey, nullptr), kitLibid) << "the kit's registration stays";
        com::ComPtr<ITessivar2DataProvider> object;
        EXPECT_EQ(CreateRegistered(*want, &object), S_OK);
    }
    EXPECT_EQ(UnRegisterTypeLib(LIBID_TESSIVAR2Sdk, 1, 0, 0, kSysKind), S_OK);
}

// After regsvr32 /u of every library.
TEST(Unregistered, NothingOfTheRegistrationIsLeft) {
    for (const ExpectedLibrary* want : Present()) {
        SCOPED_TRACE(testing::Message() << want->name);
        com::ComPtr<IUnknown> object;
        EXPECT_EQ(CreateRegistered(*want, &object), REGDB_E_CLASSNOTREG);
        CLSID clsid{};
        EXPECT_TRUE(FAILED(CLSIDFromProgID(want->progId, &clsid)));
        EXPECT_FALSE(KeyExists(L"CLSID\\" + WideGuid(want->clsid)));
        EXPECT_FALSE(KeyExists(want->progId));
        EXPECT_FALSE(KeyExists(L"TypeLib\\" + WideGuid(want->libid)));
        EXPECT_FALSE(KeyExists(L"Interface\\" + WideGuid(want->classIid)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = RUN_ALL_TESTS();
    if (SUCCEEDED(hr)) CoUninitialize();
    return status;
}
