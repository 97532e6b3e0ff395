// Automation strings for platforms without the component system: a length prefix, the UTF-16
// code units and a NUL, in a block from std::malloc, with memory exhaustion on demand for tests.
#include "com/com.h"

#if !defined(_WIN32)

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "com/com_standin_testing.h"

namespace {

// Allocations left until the armed failure; 0 when none is armed.
std::atomic<unsigned> g_failingAllocation{0};

bool InjectedAllocationFailure() {
    const unsigned left = g_failingAllocation.load(std::memory_order_relaxed);
    if (left == 0) return false;
    g_failingAllocation.store(left - 1, std::memory_order_relaxed);
    return left == 1;
}

}  // namespace

void com::standin::FailNthStringAllocation(unsigned n) {
    g_failingAllocation.store(n, std::memory_order_relaxed);
}

bool com::standin::StringAllocationFailurePending() {
    return g_failingAllocation.load(std::memory_order_relaxed) != 0;
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    constexpr std::size_t kMaxChars = (std::numeric_limits<std::uint32_t>::max() - 8) / 2;
    if (ui > kMaxChars || InjectedAllocationFailure()) return nullptr;
    const std::size_t bytes = std::size_t{ui} * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + bytes + 2));
    if (block == nullptr) return nullptr;
    const auto length = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &length, sizeof length);
    auto* text = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
    if (strIn != nullptr)
        std::memcpy(text, strIn, bytes);
    else
        std::memset(text, 0, bytes);
    text[ui] = u'\0';
    return text;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) return nullptr;
    UINT n = 0;
    while (psz[n] != u'\0') ++n;
    return SysAllocStringLen(psz, n);
}

UINT SysStringByteLen(BSTR bstr) {
    if (bstr == nullptr) return 0;
    std::uint32_t length;
    std::memcpy(&length, reinterpret_cast<unsigned char*>(bstr) - sizeof length, sizeof length);
    return length;
}

UINT SysStringLen(BSTR bstr) {
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

void SysFreeString(BSTR bstr) {
    if (bstr != nullptr) std::free(reinterpret_cast<unsigned char*>(bstr) - sizeof(std::uint32_t));
}
#endif  // !_WIN32
