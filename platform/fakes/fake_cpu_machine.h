// A Pentium 4 desktop as the platform fakes describe it: the firmware and processor registry
// values, SSE, SSE2 and MMX, and one processor instance of the management service.
#pragma once

#include "platform/fakes/fake_management.h"
#include "platform/fakes/fake_processor_features.h"
#include "platform/fakes/fake_registry.h"

namespace testing_support {

struct FakeCpuMachine {
    FakeCpuMachine() {
        const char* firmware = "HARDWARE\\DESCRIPTION\\System";
        const char* processor = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
        registry.SetMultiString(firmware, "SystemBiosVersion", {"ABC  - 1", "BIOS Date: 01/02/03"});
        registry.SetString(firmware, "SystemBiosDate", "01/02/03");
        registry.SetString(processor, "ProcessorNameString", "Intel(R) Pentium(R) 4 CPU 2.40GHz");
        registry.SetString(processor, "VendorIdentifier", "GenuineIntel");
        registry.SetString(processor, "Identifier", "x86 Family 15 Model 2 Stepping 7");
        features.features = {platform::kXmmiInstructions, platform::kXmmi64Instructions,
                             platform::kMmxInstructions};
        service.instances = {{
            {u"AddressWidth", LONG{32}},
            {u"Architecture", LONG{0}},
            {u"CurrentClockSpeed", LONG{2400}},
            {u"ExtClock", LONG{133}},
            {u"DataWidth", LONG{32}},
            {u"Family", LONG{178}},
            {u"Level", LONG{15}},
            {u"SocketDesignation", u"Socket 478"},
            {u"Stepping", LONG{7}},
        }};
    }

    platform::fakes::FakeRegistry registry;
    platform::fakes::FakeProcessorFeatures features;
    platform::fakes::FakeManagementService service;
};

}  // namespace testing_support
