// The C allocation calls of a program linked with --wrap=malloc,calloc,realloc
// (the text library's and the models' among them) go through the tests' counter.
#include <cstddef>

#include "AllocFail.h"

extern "C" void *__real_calloc(size_t count, size_t size);
extern "C" void *__wrap_calloc(size_t count, size_t size) {
    return AllocFailsNow() ? nullptr : __real_calloc(count, size);
}

extern "C" void *__real_malloc(size_t size);
extern "C" void *__wrap_malloc(size_t size) { return AllocFailsNow() ? nullptr : __real_malloc(size); }

// A resize that fails leaves the block as it was, as realloc does.
extern "C" void *__real_realloc(void *block, size_t size);
extern "C" void *__wrap_realloc(void *block, size_t size) {
    return AllocFailsNow(true) ? nullptr : __real_realloc(block, size);
}
