// Replaces the program's operator new and delete (the forms without alignment) with malloc and
// free plus a countdown to one failing allocation.
#include "tests/hardening/failing_new.h"

#include <cstdlib>
#include <new>

namespace {

thread_local unsigned t_failIn = 0;  // allocations left until the failing one; 0: none armed

void* Allocate(std::size_t size) noexcept {
    if (t_failIn != 0 && --t_failIn == 0) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void hardening::FailNthNew(unsigned n) {
    t_failIn = n;
}

bool hardening::NewFailurePending() {
    return t_failIn != 0;
}

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
