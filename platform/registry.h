// Read-only access to the system registry below the local-machine root, answering as the
// platform's narrow-character registry calls do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "com/boundary.h"
#include "com/com.h"

namespace platform {

constexpr long kRegSuccess = 0;
constexpr long kRegFileNotFound = 2;  // no such value (or key)
constexpr long kRegNotEnoughMemory = 8;
constexpr long kRegMoreData = 234;  // the value's data is larger than the buffer
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

// A key opened through Open, closed when it goes unless Close closed it before.
class OpenKey {
  public:
    explicit OpenKey(Registry& registry) : registry_(registry) {}
    ~OpenKey() {
        if (open_) registry_.Close(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    // Registry::Open; the key is held when it answers success.
    long Open(std::string_view path) {
        const long rc = registry_.Open(path, &key_);
        open_ = rc == kRegSuccess;
        return rc;
    }
    Registry::Key Get() const { return key_; }
    // Registry::Close, answering its result.
    long Close() {
        open_ = false;
        return registry_.Close(key_);
    }

  private:
    Registry& registry_;
    Registry::Key key_ = 0;
    bool open_ = false;
};

// Runs `body`, a registry call's work answering its code, through the component boundary:
// exhausted memory answers kRegNotEnoughMemory, as the platform's calls do, and any other
// exception its (negative) failure status.
template <class Body>
long RegistryBoundary(Body&& body) noexcept {
    long code = kRegSuccess;
    const HRESULT hr = com::Boundary([&] {
        code = body();
        return S_OK;
    });
    if (hr == E_OUTOFMEMORY) return kRegNotEnoughMemory;
    return FAILED(hr) ? hr : code;
}

// The system registry (on Linux: the description of the firmware and the first processor, read
// from /sys and /proc).
Registry& SystemRegistry();

#if !defined(_WIN32)
// The Linux stand-in reading its sources below `root` instead of "/" (for tests).
std::unique_ptr<Registry> MakeLinuxRegistry(const std::filesystem::path& root);
#endif

}  // namespace platform
