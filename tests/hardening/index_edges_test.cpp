// The edges of every indexed member and of every integer parameter: the item members through
// the data-provider interface (they are no part of the late-bound interface), the class
// interfaces' integer parameters early and late bound.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "com/errors.h"
#include "tests/hardening/rigs.h"

namespace hardening {
namespace {

constexpr LONG kMin = std::numeric_limits<LONG>::min();
constexpr LONG kMax = std::numeric_limits<LONG>::max();

std::vector<LONG> IndexEdges(LONG count) {
    return {kMin, kMin + 1, -2, -1, 0, 1, count - 1, count, count + 1, kMax};
}

// What each plug-in answers for an index outside its items, and how its display names read.
struct ItemRules {
    LONG count;
    Outcome nameOutside, displayOutside, valueOutside;
    std::u16string displayPrefix;  // a display name is this and the name
};

template <class Rig>
void CheckItemEdges(const ItemRules& rules) {
    Rig rig;
    ASSERT_EQ(rig.provider()->PollData(), S_OK);
    ITessivar2DataProvider* provider = rig.provider();
    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    ASSERT_EQ(count, rules.count);
    for (LONG index : IndexEdges(count)) {
        SCOPED_TRACE(index);
        const Item got = ItemOf(provider, index);
        if (index >= 0 && index < count) {
            ASSERT_EQ(got.name.hr, S_OK);
            ASSERT_TRUE(got.name.value && !got.name.value->empty());
            EXPECT_EQ(got.display, (Outcome{S_OK, rules.displayPrefix + *got.name.value}));
            EXPECT_EQ(got.value.hr, S_OK);
            EXPECT_TRUE(got.value.value.has_value()) << "a polled item has a value";
        } else {
            EXPECT_EQ(got.name, rules.nameOutside);
            EXPECT_EQ(got.display, rules.displayOutside);
            EXPECT_EQ(got.value, rules.valueOutside);
        }
        EXPECT_EQ(provider->get_Name(index, nullptr), E_POINTER);
        EXPECT_EQ(provider->get_DisplayName(index, nullptr), E_POINTER);
        EXPECT_EQ(provider->get_Value(index, nullptr), E_POINTER);
    }
}

TEST(ItemEdges, Wendrikai) {
    CheckItemEdges<UptimeRig>(
        {26, {S_OK, std::nullopt}, {S_OK, std::nullopt}, {S_OK, std::nullopt}, u""});
}

TEST(ItemEdges, Orvantel) {
    CheckItemEdges<CpuRig>(
        {56, {S_OK, std::nullopt}, {S_OK, std::nullopt}, {S_OK, std::nullopt}, u""});
}

TEST(ItemEdges, Tamblorin) {
    CheckItemEdges<DateRig>({29, {S_OK, u""}, {S_OK, u""}, {S_OK, u"Error"}, u"Tamblorin\\"});
}

// The late-bound interface is the class interface: the host interfaces' members, the indexed
// ones included, are not found there by name or by member id, whatever the index.
template <class Rig>
void CheckHostMembersAreNotLateBound() {
    Rig rig;
    IDispatch* dispatch = rig.dispatch();
    for (std::u16string name : {u"Name", u"DisplayName", u"Value", u"Count", u"PollData",
                                u"PollFreqency", u"Configure", u"Description"}) {
        LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
        DISPID id = 12345;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME)
            << com::ToUtf8(name);
        EXPECT_EQ(id, DISPID_UNKNOWN);
    }
    LONG count = 0;
    ASSERT_EQ(rig.provider()->get_Count(&count), S_OK);
    for (DISPID id : {1, 2, 3, 4, 5, 6, 7, 0x60010000, 0x60010001, 0x60010002})
        for (LONG index : IndexEdges(count)) {
            const Invoked got = Invoke(dispatch, id, Long(index));
            EXPECT_EQ(got.hr, DISP_E_MEMBERNOTFOUND) << id << " " << index;
            EXPECT_FALSE(got.result.value.has_value());
        }
}

TEST(HostMembersLateBound, Wendrikai) {
    CheckHostMembersAreNotLateBound<UptimeRig>();
}
TEST(HostMembersLateBound, Orvantel) {
    CheckHostMembersAreNotLateBound<CpuRig>();
}
TEST(HostMembersLateBound, Tamblorin) {
    CheckHostMembersAreNotLateBound<DateRig>();
}

// A 16-bit parameter reached late bound with 32-bit numbers: the 16-bit range is taken (the
// answer equals the early-bound one), beyond it the call is refused before the method runs
// (`methodCalls`, when given, counts what the method does on the platform). A member: its label,
// its method's name and its early-bound call.
using ShortMember = std::tuple<std::string, std::u16string, std::function<Outcome(SHORT)>>;

void CheckShortParameterEdges(IDispatch* dispatch, const std::vector<ShortMember>& members,
                              const std::function<int()>& methodCalls) {
    for (const auto& [label, method, early] : members) {
        SCOPED_TRACE(label);
        const DISPID id = IdOf(dispatch, method);
        for (LONG n : std::initializer_list<LONG>{-32768, -1, 0, 1, 32767}) {
            const Invoked got = Invoke(dispatch, id, Long(n));
            EXPECT_EQ(got.hr, S_OK) << n;
            EXPECT_EQ(got.result, early(static_cast<SHORT>(n))) << n;
        }
        const int before = methodCalls ? methodCalls() : 0;
        for (LONG n : std::initializer_list<LONG>{kMin, -32769, 32768, 65535, 65536, kMax}) {
            const Invoked got = Invoke(dispatch, id, Long(n));
            EXPECT_EQ(got.hr, DISP_E_OVERFLOW) << n;
            EXPECT_EQ(got.argErr, 0u) << n;
            EXPECT_FALSE(got.result.value.has_value());
        }
        if (methodCalls) {
            EXPECT_EQ(methodCalls(), before) << "a refused argument reaches no method";
        }
    }
}

TEST(ParameterEdges, OrvantelWin32ProcessorSelector) {
    CpuRig rig;
    CheckShortParameterEdges(rig.dispatch(),
                             {{"fnWin32Processor", u"fnWin32Processor",
                               [&](SHORT n) {
                                   BSTR out = StaleString();
                                   return StringCall(rig.cls()->fnWin32Processor(n, &out), &out);
                               }}},
                             [&] { return rig.service.queries; });
}

TEST(ParameterEdges, TamblorinCalendarArguments) {
    DateRig rig;
    std::vector<ShortMember> members;
    for (const auto& [name, member] : kCalendarLookups)
        members.push_back({com::ToUtf8(name), name, [&rig, member = member](SHORT n) {
                               BSTR out = StaleString();
                               return StringCall((rig.cls()->*member)(n, &out), &out);
                           }});
    CheckShortParameterEdges(rig.dispatch(), members, nullptr);
}

// fnFeatureSupport's 32-bit feature number: every edge is asked of the platform as its unsigned
// value, and the answer is the chosen argument, early and late bound alike.
TEST(ParameterEdges, OrvantelFeatureNumber) {
    CpuRig rig;
    rig.features.features = {0, 6, static_cast<unsigned long>(kMax),
                             static_cast<unsigned long>(kMin)};
    const DISPID id = IdOf(rig.dispatch(), u"fnFeatureSupport");
    for (LONG n : IndexEdges(56)) {
        const bool present = rig.features.features.count(static_cast<unsigned long>(n)) != 0;
        const std::u16string want = present ? u"yes" : u"no";
        const Value yes = Text(u"yes"), no = Text(u"no");
        BSTR out = StaleString();
        EXPECT_EQ(StringCall(rig.cls()->fnFeatureSupport(n, yes, no, &out), &out),
                  (Outcome{S_OK, want}))
            << n;
        const Invoked late = Invoke(rig.dispatch(), id, Long(n), yes, no);
        EXPECT_EQ(late.result, (Outcome{S_OK, want})) << n;
        EXPECT_EQ(com::View(yes.bstrVal), u"yes") << "the arguments stay the caller's";
    }
    // Numbers beyond 32 bits are refused, the first argument named as the culprit.
    Value big = Real(2147483648.0);
    const Value yes = Text(u"yes"), no = Text(u"no");
    const int calls = rig.features.calls;
    const Invoked refused = Invoke(rig.dispatch(), id, big, yes, no);
    EXPECT_EQ(refused.hr, DISP_E_OVERFLOW);
    EXPECT_EQ(refused.argErr, 2u);
    EXPECT_EQ(rig.features.calls, calls);
    big.dblVal = -2147483648.4;  // rounds to the smallest 32-bit number
    const Invoked smallest = Invoke(rig.dispatch(), id, big, yes, no);
    EXPECT_EQ(smallest.result, (Outcome{S_OK, u"yes"}));
}

}  // namespace
}  // namespace hardening
