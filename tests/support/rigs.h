// The three plug-in classes on fakes of the platform layer: a rig per class holds the fakes and
// an object made on them through ComPtr. New is the one place the tests create an object of a
// class, also on other platform objects (a real locale, this machine's sources).
#pragma once

#include <utility>

#include "com/owners.h"
#include "cpuinfo/cpuinfo.h"
#include "date/custom_date.h"
#include "platform/fakes/fake_clocks.h"
#include "platform/fakes/fake_cpu_machine.h"
#include "platform/fakes/fake_date.h"
#include "platform/fakes/fault_plan.h"
#include "uptime/uptime.h"

namespace testing_support {

// A new object of class `T` made on the platform objects `args`, holding the one reference it
// starts with.
template <class T, class... Args>
com::ComPtr<T> New(Args&&... args) {
    com::ComPtr<T> object;
    object.Attach(new T(std::forward<Args>(args)...));
    return object;
}

// The interfaces of a rig's object (Rig::object). A rig is not copied: its object refers to its
// own fakes.
template <class Rig, class ClassInterface>
class Interfaces {
  public:
    Interfaces() = default;
    Interfaces(const Interfaces&) = delete;
    Interfaces& operator=(const Interfaces&) = delete;

    ClassInterface* cls() const { return Self().object.Get(); }
    IDispatch* dispatch() const { return cls(); }
    ITessivar2Plugin* plugin() const { return Self().object.Get(); }
    ITessivar2DataProvider* provider() const { return Self().object.Get(); }

  private:
    const Rig& Self() const { return static_cast<const Rig&>(*this); }
};

// Orvantel on a fake machine, the Pentium 4 unless another is given.
struct CpuRig : platform::fakes::FakeCpuMachine, Interfaces<CpuRig, _CPUInfo> {
    explicit CpuRig(const platform::fakes::CpuMachine& machine = platform::fakes::Pentium4())
        : FakeCpuMachine(machine) {}
    // Every platform call counted by `plan`, which fails the armed one.
    void Watch(platform::fakes::FaultPlan* plan) {
        registry.faults = plan;
        features.faults = plan;
        service.faults = plan;
    }
    com::ComPtr<cpuinfo::CPUInfo> object = New<cpuinfo::CPUInfo>(registry, features, service);
};

// Tamblorin on a fake clock (all zeros until set) and a formatter that echoes each picture.
struct DateRig : Interfaces<DateRig, _CustomDate> {
    void Watch(platform::fakes::FaultPlan* plan) { formatter.faults = plan; }
    platform::fakes::FakeLocalClock clock;
    platform::fakes::FakeDateFormatter formatter;
    com::ComPtr<date::CustomDate> object = New<date::CustomDate>(clock, formatter);
};

// Wendrikai on a fake tick clock (at 0 until set) and settings ":" and ".".
struct UptimeRig : Interfaces<UptimeRig, _Uptime> {
    void Watch(platform::fakes::FaultPlan* plan) { settings.faults = plan; }
    platform::fakes::FakeTickClock clock;
    platform::fakes::FakeRegionalSettings settings;
    com::ComPtr<uptime::Uptime> object = New<uptime::Uptime>(clock, settings);
};

}  // namespace testing_support
