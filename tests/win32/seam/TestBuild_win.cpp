// The test build of the DLL: the product's objects plus this file, which hands
// the tests the counters and makes the DLL's allocations fail on request.
#include <windows.h>
#include <cstdlib>
#include <new>
#include "base/TestSeam.h"

extern "C" __declspec(dllexport) TTestSeam* VelvetListerTestSeam() { return &TestSeam(); }

void* operator new(std::size_t n) {
    // The tag reader allocates on its own thread: take from the limit atomically.
    long* left = &TestSeam().AllocationsLeft;
    long now = __atomic_load_n(left, __ATOMIC_RELAXED);
    while (now > 0 && !__atomic_compare_exchange_n(left, &now, now - 1, true, __ATOMIC_RELAXED, __ATOMIC_RELAXED)) {
    }
    if (now == 0) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
