// The allocation wrappers that the out-of-memory tests arm.
#include <cstddef>

#include "AllocFail.h"

namespace {
int s_failIn = 0;  // requests until the one that fails; 0: none

bool Fails() { return s_failIn > 0 && --s_failIn == 0; }
}  // namespace

void FailAlloc(int n) { s_failIn = n; }
int FailAllocPending() { return s_failIn; }

extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void *__wrap_calloc(size_t count, size_t size) {
    return Fails() ? nullptr : __real_calloc(count, size);
}

extern "C" void *__real_malloc(size_t size);
extern "C" void *__wrap_malloc(size_t size) { return Fails() ? nullptr : __real_malloc(size); }
