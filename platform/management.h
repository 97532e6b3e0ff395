// The processor management service, as the plug-ins use it: the instances of a management
// class, and their properties read by name.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "com/com.h"

namespace platform {

constexpr HRESULT kWbemNotFound = static_cast<HRESULT>(0x80041002);

// One instance of a management class.
class ManagementObject {
  public:
    // Reads property `name` into `value` (which the caller clears): a number as VT_I4, a text as
    // VT_BSTR, VT_NULL for a property without a value. A property the class does not have is a
    // failure (kWbemNotFound).
    virtual HRESULT Get(std::u16string_view name, VARIANT* value) = 0;
    virtual ~ManagementObject() = default;
};

class ManagementService {
  public:
    // Binds to the service and lists the instances of `className` in the service's order.
    // Every call binds and queries afresh. A failure status when the service cannot be bound or
    // queried.
    virtual HRESULT InstancesOf(std::u16string_view className,
                                std::vector<std::unique_ptr<ManagementObject>>* instances) = 0;
    virtual ~ManagementService() = default;
};

ManagementService& SystemManagementService();

#if !defined(_WIN32)
// The Linux stand-in: one "Win32_Processor" instance built from the first processor's block of
// proc/cpuinfo, cpufreq and the SMBIOS processor record, all read below `root`.
std::unique_ptr<ManagementService> MakeLinuxManagementService(const std::filesystem::path& root);
#endif

}  // namespace platform
