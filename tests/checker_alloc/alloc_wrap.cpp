// The calloc wrapper that the out-of-memory tests arm.
#include <cstddef>

#include "AllocFail.h"

namespace {
int s_failIn = 0;  // requests until the one that fails; 0: none
}

void FailCalloc(int n) { s_failIn = n; }

extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void *__wrap_calloc(size_t count, size_t size) {
    if (s_failIn > 0 && --s_failIn == 0)
        return nullptr;
    return __real_calloc(count, size);
}
