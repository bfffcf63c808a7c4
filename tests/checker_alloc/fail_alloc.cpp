// The calloc wrapper that FailAlloc.h arms.
#include <cstddef>

#include "FailAlloc.h"

namespace {

bool g_failNext = false;

}  // namespace

void FailNextAlloc(bool fail) { g_failNext = fail; }

extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void *__wrap_calloc(size_t count, size_t size) {
    if (g_failNext) {
        g_failNext = false;
        return nullptr;
    }
    return __real_calloc(count, size);
}
