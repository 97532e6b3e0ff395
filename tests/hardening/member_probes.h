// Every member of the three classes as a probe for the failure loops: the frame's members, each
// item's name, display name and value, and each class method early and late bound, with
// arguments made beforehand. Also the two-set poll check of the processor class.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/hardening/fault_loop.h"
#include "tests/hardening/rigs.h"

namespace hardening {

// Probes with the arguments they share; the arguments live as long as the set.
class ProbeSet {
  public:
    std::vector<Probe> probes;

    template <class... V>
    Arguments& Args(V&&... firstToLast) {
        return *arguments_.emplace_back(
            std::make_unique<Arguments>(std::forward<V>(firstToLast)...));
    }
    // A string argument for an early-bound call.
    BSTR String(std::u16string_view text) { return strings_.emplace_back(text).Get(); }
    // A late-bound probe of method `name`.
    template <class... V>
    void Late(IDispatch* dispatch, const std::u16string& name, V&&... args) {
        Arguments& a = Args(std::forward<V>(args)...);
        const DISPID id = IdOf(dispatch, name);
        probes.push_back({"Invoke " + com::ToUtf8(name),
                          [dispatch, id, &a](Raw& raw) { InvokeInto(dispatch, id, a, raw); }});
    }

  private:
    std::vector<std::unique_ptr<Arguments>> arguments_;
    std::vector<com::Bstr> strings_;
};

// The frame's members and the item members of any of the classes, polled first.
template <class Rig>
void AddFrameProbes(Rig& rig, ProbeSet& set) {
    EXPECT_EQ(rig.provider()->PollData(), S_OK);
    ITessivar2Plugin* plugin = rig.plugin();
    ITessivar2DataProvider* provider = rig.provider();
    auto& p = set.probes;
    p.push_back({"Description", [=](Raw& raw) { raw.hr = plugin->get_Description(&raw.text); }});
    EXPECT_EQ(plugin->put_ConfigurationString(set.String(u"settings of the plug-in")), S_OK);
    p.push_back({"ConfigurationString",
                 [=](Raw& raw) { raw.hr = plugin->get_ConfigurationString(&raw.text); }});
    p.push_back({"PollData", [=](Raw& raw) { raw.hr = provider->PollData(); }});
    LONG count = 0;
    EXPECT_EQ(provider->get_Count(&count), S_OK);
    for (LONG i = -1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        p.push_back(
            {"Name(" + n + ")", [=](Raw& raw) { raw.hr = provider->get_Name(i, &raw.text); }});
        p.push_back({"DisplayName(" + n + ")",
                     [=](Raw& raw) { raw.hr = provider->get_DisplayName(i, &raw.text); }});
        p.push_back(
            {"Value(" + n + ")", [=](Raw& raw) { raw.hr = provider->get_Value(i, &raw.value); }});
    }
}

inline void AddOrvantelProbes(CpuRig& rig, ProbeSet& set) {
    AddFrameProbes(rig, set);
    _CPUInfo* cpu = rig.cls();
    auto& p = set.probes;
    for (SHORT s : {0, 1, 8, 10, 16, 21, 34, 37, 42, 51, 52, 53, 99})
        p.push_back({"fnWin32Processor(" + std::to_string(s) + ")",
                     [=](Raw& raw) { raw.hr = cpu->fnWin32Processor(s, &raw.text); }});
    // The chosen argument made text: a string, a number, a long decimal, a boolean.
    auto chosen = [](int kind) {
        return kind == 0   ? Text(u"a string argument")
               : kind == 1 ? Long(-2147483647)
               : kind == 2 ? Real(1.234567890123456)
                           : Bool(true);
    };
    for (int kind = 0; kind < 4; ++kind) {
        const Arguments& args = set.Args(Long(6), chosen(kind), Long(0));
        const VARIANT yes = args[1], no = args[2];
        p.push_back({"fnFeatureSupport(" + std::to_string(kind) + ")",
                     [=](Raw& raw) { raw.hr = cpu->fnFeatureSupport(6, yes, no, &raw.text); }});
        set.Late(rig.dispatch(), u"fnFeatureSupport", Long(6), chosen(kind), Long(0));
    }
    BSTR name = set.String(std::u16string(u"Intel(R) Pentium(R) 4 CPU 2.40GHz") + u'\0');
    p.push_back({"fnDualLine", [=](Raw& raw) { raw.hr = cpu->fnDualLine(name, &raw.text); }});
    BSTR accented = set.String(u"caf\u00e9");
    p.push_back({"Check128", [=](Raw& raw) {
                     raw.value.vt = VT_BOOL;
                     raw.hr = cpu->Check128(accented, &raw.value.boolVal);
                 }});
    set.Late(rig.dispatch(), u"fnWin32Processor", Short(52));
    set.Late(rig.dispatch(), u"fnWin32Processor", Text(u"16"));
    set.Late(rig.dispatch(), u"fnDualLine",
             Text(std::u16string(u"Intel(R) Pentium(R) 4 CPU 2.40GHz") + u'\0'));
    set.Late(rig.dispatch(), u"Check128", Text(u"caf\u00e9"));
}

inline void AddTamblorinProbes(DateRig& rig, ProbeSet& set) {
    AddFrameProbes(rig, set);
    _CustomDate* custom = rig.cls();
    const SHORT arguments[] = {1, 3, 2, 9, 22};  // one for each of kCalendarLookups
    for (std::size_t k = 0; k < std::size(kCalendarLookups); ++k) {
        const auto& [name, member] = kCalendarLookups[k];
        const SHORT n = arguments[k];
        set.probes.push_back({com::ToUtf8(name), [custom, member = member, n](Raw& raw) {
                                  raw.hr = (custom->*member)(n, &raw.text);
                              }});
        set.Late(rig.dispatch(), name, Text(u"12"));  // a text converted to 16 bits
    }
    BSTR accented = set.String(u"d\u00e9c.");
    set.probes.push_back({"Check128", [=](Raw& raw) {
                              raw.value.vt = VT_BOOL;
                              raw.hr = custom->Check128(accented, &raw.value.boolVal);
                          }});
    set.Late(rig.dispatch(), u"Check128", Text(u"d\u00e9c."));
}

inline void AddWendrikaiProbes(UptimeRig& rig, ProbeSet& set) {
    AddFrameProbes(rig, set);
}

// Runs every probe through `injector`, judged by `loop`; returns the number of faulted calls.
inline int FailEveryProbe(const Injector& injector, const ProbeSet& set, const Loop& loop) {
    int faulted = 0;
    for (const Probe& probe : set.probes) {
        faulted += FailEachInTurn(injector, probe, loop);
        if (::testing::Test::HasFatalFailure()) break;
    }
    return faulted;
}

// Every member of a fresh rig (its probes added by `add`) with each step that `injector` fails
// failing in turn: each must answer E_OUTOFMEMORY and no result. Answers the faulted calls.
template <class Rig>
int RunOutOfMemoryInEveryMember(void (*add)(Rig&, ProbeSet&), const Injector& injector) {
    Rig rig;
    ProbeSet set;
    add(rig, set);
    Loop loop;
    loop.faulted = FailsWith(E_OUTOFMEMORY);
    return FailEveryProbe(injector, set, loop);
}

// The processor class's poll failing at each step in turn. Polled first with one data set and
// then, failing, with the other, each item must hold one set's value and nothing else; the
// next poll gives every item of the newer set. `faulted` judges the failing poll's status.
inline int FailEachStepOfAPoll(CpuRig& rig, const Injector& injector,
                               std::function<void(const Outcome&, const Outcome&)> faulted) {
    const std::vector<Outcome> first = [] {
        CpuRig fresh;
        EXPECT_EQ(fresh.provider()->PollData(), S_OK);
        return AllValues(fresh.provider());
    }();
    const std::vector<Outcome> second = [] {
        CpuRig fresh;
        fresh.Load(1);
        EXPECT_EQ(fresh.provider()->PollData(), S_OK);
        return AllValues(fresh.provider());
    }();
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_NE(first[i], second[i]) << "the data sets must differ in item " << i;

    Loop loop;
    loop.prepare = [&] {
        rig.Load(0);
        EXPECT_EQ(rig.provider()->PollData(), S_OK);
        rig.Load(1);
    };
    loop.faulted = [&](const Outcome& o, const Outcome& baseline) {
        faulted(o, baseline);
        const std::vector<Outcome> now = AllValues(rig.provider());
        for (std::size_t i = 0; i < now.size(); ++i)
            EXPECT_TRUE(now[i] == first[i] || now[i] == second[i]) << i << ": " << now[i];
    };
    loop.settled = [&] { EXPECT_EQ(AllValues(rig.provider()), second); };
    const Probe poll{"PollData", [&](Raw& raw) { raw.hr = rig.provider()->PollData(); }};
    return FailEachInTurn(injector, poll, loop);
}

}  // namespace hardening
