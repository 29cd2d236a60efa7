#include "support/allocationwatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_count{0};
std::atomic<std::size_t> g_largest{0};
}  // namespace

void* operator new(std::size_t size) {
    ++g_count;
    std::size_t seen = g_largest.load();
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace zark::test {

long AllocationCount() { return g_count.load(); }
std::size_t LargestAllocation() { return g_largest.load(); }
void ResetLargestAllocation() { g_largest = 0; }

}  // namespace zark::test
