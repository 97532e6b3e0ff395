// The names of ARM processors by the codes of their main identification register, as the kernel
// shows them in proc/cpuinfo: "CPU implementer" (the maker) and "CPU part" (the core).
#pragma once

#include <string>

namespace platform::arm_cores {

// The maker of implementer code `implementer` ("ARM", "Qualcomm"); for a code the table does not
// know, "Implementer 0x" and the code in hexadecimal.
std::string ImplementerName(unsigned long long implementer);

// The core's name ("Cortex-A72"); for a part the table does not know, the maker's name, " part 0x"
// and the part code in hexadecimal ("ARM part 0xd8f").
std::string CoreName(unsigned long long implementer, unsigned long long part);

}  // namespace platform::arm_cores
