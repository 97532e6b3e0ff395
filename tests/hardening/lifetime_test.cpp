// Reference counting and lifetime under abuse, through the built libraries' entry points: every
// release order of an object's interfaces, the identity rules of QueryInterface, objects that
// outlive their class factory, and DllCanUnloadNow with many objects and server locks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "tests/support/calls.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugins.h"

namespace hardening {
namespace {

using namespace testing_support;

// A GUID that no class or interface has.
constexpr IID kStranger = {0x0BADF00D, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

struct Lifetime : ::testing::TestWithParam<PluginCase> {
    PluginLibrary library{GetParam().File()};
    void SetUp() override { ASSERT_TRUE(library.loaded()) << library.error(); }

    // The object's five interfaces, in this order.
    std::array<const IID*, 5> Iids() const {
        return {&IID_IUnknown, &IID_IDispatch, &GetParam().classIid, &IID_ITessivar2Plugin,
                &IID_ITessivar2DataProvider};
    }
    IUnknown* Create() {
        IUnknown* object = library.Create<IUnknown>(GetParam().clsid).Detach();
        EXPECT_NE(object, nullptr);
        return object;
    }
    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(library.GetClassObject(GetParam().clsid, IID_IClassFactory,
                                         reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }
    static IUnknown* Query(IUnknown* from, REFIID iid) {
        IUnknown* got = nullptr;
        EXPECT_EQ(from->QueryInterface(iid, reinterpret_cast<void**>(&got)), S_OK);
        return got;
    }

    // Uses interface `kind` (an index into Iids()) of a live object as a host would.
    void Use(int kind, IUnknown* itf) {
        if (kind == 0) {
            IUnknown* same = Query(itf, IID_IUnknown);
            EXPECT_EQ(same, itf);
            same->Release();
        } else if (kind <= 2) {
            auto* dispatch = static_cast<IDispatch*>(itf);
            UINT infos = 9;
            EXPECT_EQ(dispatch->GetTypeInfoCount(&infos), S_OK);
            EXPECT_EQ(infos, 0u);
            if (GetParam().HasMethods()) {
                const Invoked got = Invoke(dispatch, IdOf(dispatch, u"Check128"), Long(7));
                EXPECT_EQ(got.result, (Outcome{S_OK, u"False"}));
            }
        } else if (kind == 3) {
            BSTR text = StaleString();
            const auto description =
                StringCall(static_cast<ITessivar2Plugin*>(itf)->get_Description(&text), &text);
            EXPECT_EQ(description.hr, S_OK);
            EXPECT_FALSE(description.value.value_or(u"").empty());
        } else {
            auto* provider = static_cast<ITessivar2DataProvider*>(itf);
            LONG count = 0;
            EXPECT_EQ(provider->get_Count(&count), S_OK);
            EXPECT_EQ(count, GetParam().count);
            const Outcome name = ItemOf(provider, count - 1).name;
            EXPECT_EQ(name.hr, S_OK);
            EXPECT_FALSE(name.value.value_or(u"").empty());
        }
    }
};

// All 120 orders of releasing the five interfaces; the ones still held work after each release,
// Release answers the references left, and the library may unload only after the last.
TEST_P(Lifetime, ReleaseInEveryOrder) {
    std::array<int, 5> order = {0, 1, 2, 3, 4};
    int orders = 0;
    do {
        SCOPED_TRACE(::testing::PrintToString(order));
        IUnknown* object = Create();
        ASSERT_NE(object, nullptr);
        std::array<IUnknown*, 5> held{};
        for (int k = 0; k < 5; ++k) held[k] = Query(object, *Iids()[k]);
        EXPECT_EQ(object->Release(), 5u) << "the creation's reference";
        std::array<bool, 5> live = {true, true, true, true, true};
        ULONG left = 5;
        for (int k : order) {
            EXPECT_EQ(held[k]->Release(), --left);
            live[k] = false;
            for (int j = 0; j < 5; ++j)
                if (live[j]) Use(j, held[j]);
            EXPECT_EQ(library.CanUnloadNow(), left == 0 ? S_OK : S_FALSE);
        }
        ++orders;
    } while (std::next_permutation(order.begin(), order.end()) && !HasFatalFailure());
    EXPECT_EQ(orders, 120);
}

// One count for the whole object, whichever interface adds or drops a reference.
TEST_P(Lifetime, AddRefAndReleaseAnswerTheObjectsCount) {
    IUnknown* object = Create();
    ASSERT_NE(object, nullptr);
    std::vector<IUnknown*> held;
    ULONG expected = 1;
    for (const IID* iid : Iids()) {
        held.push_back(Query(object, *iid));
        ++expected;
    }
    for (IUnknown* itf : held) EXPECT_EQ(itf->AddRef(), ++expected);
    for (IUnknown* itf : held) EXPECT_EQ(itf->Release(), --expected);
    for (IUnknown* itf : held) EXPECT_EQ(itf->Release(), --expected);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

// Reflexive, symmetric and transitive, one IUnknown; refused interfaces add no reference.
TEST_P(Lifetime, QueryInterfaceFollowsTheIdentityRules) {
    IUnknown* object = Create();
    ASSERT_NE(object, nullptr);
    const auto iids = Iids();
    std::array<IUnknown*, 5> itf{};
    for (int a = 0; a < 5; ++a) itf[a] = Query(object, *iids[a]);
    for (int a = 0; a < 5; ++a) {
        IUnknown* self = Query(itf[a], *iids[a]);
        EXPECT_EQ(self, itf[a]) << "reflexive " << a;
        self->Release();
        IUnknown* identity = Query(itf[a], IID_IUnknown);
        EXPECT_EQ(identity, object) << "one identity " << a;
        identity->Release();
        for (int b = 0; b < 5; ++b) {
            IUnknown* there = Query(itf[a], *iids[b]);
            EXPECT_EQ(there, itf[b]) << a << " to " << b;
            IUnknown* back = Query(there, *iids[a]);
            EXPECT_EQ(back, itf[a]) << "symmetric " << a << " " << b;
            for (int c = 0; c < 5; ++c) {
                IUnknown* onward = Query(there, *iids[c]);
                EXPECT_EQ(onward, itf[c]) << "transitive " << a << " " << b << " " << c;
                onward->Release();
            }
            back->Release();
            there->Release();
        }
    }
    // Interfaces the class does not have: the other classes', the factory's, none at all.
    std::vector<IID> refused = {IID_IClassFactory, IID_NULL, kStranger};
    for (const PluginCase& other : kPlugins)
        if (other.classIid != GetParam().classIid) refused.push_back(other.classIid);
    for (IUnknown* from : itf) {
        for (const IID& iid : refused) {
            void* got = reinterpret_cast<void*>(1);
            EXPECT_EQ(from->QueryInterface(iid, &got), E_NOINTERFACE);
            EXPECT_EQ(got, nullptr);
        }
        EXPECT_EQ(from->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    }
    EXPECT_EQ(object->AddRef(), 7u) << "the refused queries added no reference";
    object->Release();
    for (IUnknown* i : itf) i->Release();
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

// The factory holds the library only through its locks: objects live on after it is released,
// and a held but unlocked factory lets the library unload once the objects are gone.
TEST_P(Lifetime, ObjectsOutliveTheirFactory) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IUnknown* asUnknown = Query(factory, IID_IUnknown);
    EXPECT_EQ(asUnknown, static_cast<IUnknown*>(factory));
    asUnknown->Release();
    for (const IID& iid : {IID_IDispatch, GetParam().classIid, IID_ITessivar2Plugin,
                           IID_ITessivar2DataProvider, kStranger}) {
        void* got = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->QueryInterface(iid, &got), E_NOINTERFACE);
        EXPECT_EQ(got, nullptr);
    }
    std::vector<IUnknown*> objects;
    for (int k = 0; k < 3; ++k) {
        IUnknown* object = nullptr;
        ASSERT_EQ(
            factory->CreateInstance(nullptr, *Iids()[k + 2], reinterpret_cast<void**>(&object)),
            S_OK);
        objects.push_back(object);
    }
    factory->Release();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    for (int k = 0; k < 3; ++k) Use(k + 2, objects[k]);

    IClassFactory* again = Factory();
    ASSERT_NE(again, nullptr);
    for (IUnknown* object : objects) EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK) << "an unlocked factory holds nothing";
    again->Release();
}

// Refused creations and class requests leave nothing behind.
TEST_P(Lifetime, RefusedCreationsLeaveNoObject) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IUnknown* object = Create();
    ASSERT_NE(object, nullptr);
    void* got = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(object, IID_IUnknown, &got), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(got, nullptr);
    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, kStranger, &got), E_NOINTERFACE);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(library.GetClassObject(kStranger, IID_IClassFactory, &got),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(library.GetClassObject(GetParam().clsid, IID_IClassFactory, nullptr), E_POINTER);
    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(library.GetClassObject(GetParam().clsid, GetParam().classIid, &got), E_NOINTERFACE);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
    factory->Release();
}

// A thousand objects and ten server locks, dropped in a shuffled order: the library may unload
// only when the last of them is gone.
TEST_P(Lifetime, CanUnloadNowOnlyWhenEveryObjectAndLockIsGone) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    std::vector<IUnknown*> holders;  // the objects, and null for each server lock
    for (int k = 0; k < 1000; ++k) {
        IUnknown* object = nullptr;
        ASSERT_EQ(
            factory->CreateInstance(nullptr, *Iids()[k % 5], reinterpret_cast<void**>(&object)),
            S_OK);
        holders.push_back(object);
        if (k % 100 == 0) {
            ASSERT_EQ(factory->LockServer(TRUE), S_OK);
            holders.push_back(nullptr);
        }
    }
    factory->Release();
    std::mt19937 random(20240611);
    std::shuffle(holders.begin(), holders.end(), random);
    for (std::size_t k = 0; k < holders.size(); ++k) {
        EXPECT_EQ(library.CanUnloadNow(), S_FALSE) << k;
        if (holders[k] != nullptr) {
            EXPECT_EQ(holders[k]->Release(), 0u);
        } else {
            IClassFactory* locker = Factory();
            EXPECT_EQ(locker->LockServer(FALSE), S_OK);
            locker->Release();
        }
    }
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

// Configure empties the configuration and leaves every other interface working; so does
// releasing the interface it was called through.
TEST_P(Lifetime, InterfacesWorkAfterConfigureAndAfterOthersAreReleased) {
    IUnknown* object = Create();
    ASSERT_NE(object, nullptr);
    auto* plugin = static_cast<ITessivar2Plugin*>(Query(object, IID_ITessivar2Plugin));
    auto* provider =
        static_cast<ITessivar2DataProvider*>(Query(object, IID_ITessivar2DataProvider));
    com::Bstr settings(u"x=1");
    ASSERT_EQ(plugin->put_ConfigurationString(settings.Get()), S_OK);
    VARIANT_BOOL changed = VARIANT_TRUE;
    ASSERT_EQ(plugin->Configure(&changed), S_OK);
    EXPECT_EQ(changed, VARIANT_FALSE);
    BSTR config = StaleString();
    EXPECT_EQ(StringCall(plugin->get_ConfigurationString(&config), &config), (Outcome{S_OK, u""}));
    EXPECT_EQ(plugin->Release(), 2u);
    object->Release();

    provider->PollData();  // a machine may lack a fact; the items answer regardless
    for (LONG i = 0; i < GetParam().count; ++i) {
        VARIANT value;
        MakeStale(&value);
        EXPECT_EQ(VariantCall(provider->get_Value(i, &value), &value).hr, S_OK) << i;
    }
    auto* dispatch = static_cast<IDispatch*>(Query(provider, IID_IDispatch));
    EXPECT_EQ(provider->Release(), 1u);
    Use(1, dispatch);
    plugin = static_cast<ITessivar2Plugin*>(Query(dispatch, IID_ITessivar2Plugin));
    EXPECT_EQ(dispatch->Release(), 1u);
    ASSERT_EQ(plugin->Configure(&changed), S_OK);
    Use(3, plugin);
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Plugins, Lifetime, ::testing::ValuesIn(kPlugins), PluginName);

// Each library counts its own objects and locks.
TEST(Libraries, CountTheirObjectsApart) {
    std::vector<std::unique_ptr<PluginLibrary>> libraries;
    std::vector<com::ComPtr<IUnknown>> objects;
    for (const PluginCase& c : kPlugins) {
        libraries.push_back(std::make_unique<PluginLibrary>(c.File()));
        ASSERT_TRUE(libraries.back()->loaded()) << libraries.back()->error();
        objects.push_back(libraries.back()->Create<IUnknown>(c.clsid));
        ASSERT_TRUE(objects.back());
    }
    for (std::size_t k = 0; k < objects.size(); ++k) {
        objects[k].Reset();
        for (std::size_t j = 0; j < libraries.size(); ++j)
            EXPECT_EQ(libraries[j]->CanUnloadNow(), j <= k ? S_OK : S_FALSE) << k << " " << j;
    }
}

}  // namespace
}  // namespace hardening
