// Read-only access to the system registry below the local-machine root, answering as the
// platform's narrow-character registry calls do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "com/com.h"

namespace platform {

constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;  // no such value (or key)
constexpr long kRegMoreData = 234;    // the value's data is larger than the buffer
constexpr unsigned long kRegSz = 1;
constexpr unsigned long kRegMultiSz = 7;

class Registry {
  public:
    using Key = std::uintptr_t;

    // Opens `path` (backslash-separated, narrow code page) below the local-machine root for
    // reading. Returns 0 and the key, or the platform's error code. A negative result is a
    // failure status of the call itself (the function is not available).
    virtual long Open(std::string_view path, Key* key) = 0;
    // Reads value `name` of an open key into `data`, which holds `*size` bytes. Returns 0 with
    // the type and the byte count in `*size`; 2 for a missing value; 234 (data not written) when
    // the data needs more than `*size` bytes; or a negative failure status as for Open.
    virtual long Query(Key key, std::string_view name, unsigned long* type, unsigned char* data,
                       unsigned long* size) = 0;
    virtual long Close(Key key) = 0;

    virtual ~Registry() = default;
};

// The system registry (on Linux: the description of the firmware and the first processor, read
// from /sys and /proc).
Registry& SystemRegistry();

#if !defined(_WIN32)
// The Linux stand-in reading its sources below `root` instead of "/" (for tests).
std::unique_ptr<Registry> MakeLinuxRegistry(const std::filesystem::path& root);
#endif

}  // namespace platform
