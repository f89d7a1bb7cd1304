// Replaces the global operator new of the test program with one that counts allocations while
// counting is on and otherwise behaves as the standard one. It sees only C++ allocations: code
// that calls malloc directly (the GL driver does) is not counted.
#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    for (;;) {
        if (void* p = std::malloc(size ? size : 1)) return p;
        if (std::new_handler handler = std::get_new_handler()) handler();
        else throw std::bad_alloc();
    }
}
}  // namespace

void AllocationCounter::start() { allocations = 0, counting = true; }
long AllocationCounter::stop() { return counting = false, allocations.load(); }

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
