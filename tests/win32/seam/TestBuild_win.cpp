// The test build of the DLL: the product's objects plus this file, which hands
// the tests the counters and makes the DLL's allocations fail on request.
#include <windows.h>
#include <cstdlib>
#include <new>
#include "base/TestSeam.h"

extern "C" __declspec(dllexport) TTestSeam* VelvetListerTestSeam() { return &TestSeam(); }

void* operator new(std::size_t n) {
    TTestSeam& seam = TestSeam();
    if (seam.AllocationsLeft == 0) throw std::bad_alloc();
    if (seam.AllocationsLeft > 0) --seam.AllocationsLeft;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
