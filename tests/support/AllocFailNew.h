// Replaces the global operator new and delete of the one test program that
// includes this (in one of its files only) with forms that go through the
// allocation counter of AllocFail.h: a stretch of work can be shown to
// allocate nothing, and an armed request fails as the language fails it.
#ifndef VARNHOLT_TESTS_SUPPORT_ALLOCFAILNEW_H
#define VARNHOLT_TESTS_SUPPORT_ALLOCFAILNEW_H

#include <cstdlib>
#include <new>

#include "AllocFail.h"

// Out of line, so the compiler never pairs an inlined malloc with an inlined
// free across a new and a delete and warns of a mismatch.
#define ALLOCFAIL_OUT_OF_LINE __attribute__((noinline))

ALLOCFAIL_OUT_OF_LINE void *operator new(std::size_t n) {
  if (!AllocFailsNow())
    if (void *p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
ALLOCFAIL_OUT_OF_LINE void *operator new[](std::size_t n) { return operator new(n); }
ALLOCFAIL_OUT_OF_LINE void *operator new(std::size_t n, const std::nothrow_t &) noexcept {
  return AllocFailsNow() ? nullptr : std::malloc(n ? n : 1);
}
ALLOCFAIL_OUT_OF_LINE void *operator new[](std::size_t n, const std::nothrow_t &t) noexcept { return operator new(n, t); }
ALLOCFAIL_OUT_OF_LINE void operator delete(void *p) noexcept { std::free(p); }
ALLOCFAIL_OUT_OF_LINE void operator delete[](void *p) noexcept { std::free(p); }
ALLOCFAIL_OUT_OF_LINE void operator delete(void *p, std::size_t) noexcept { std::free(p); }
ALLOCFAIL_OUT_OF_LINE void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
ALLOCFAIL_OUT_OF_LINE void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
ALLOCFAIL_OUT_OF_LINE void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }

#endif
