// An allocator for the parameter parser that counts its requests and can
// refuse one of them, as a host short of memory would.
#ifndef VARNHOLT_TESTS_AMI_COUNTINGALLOC_H
#define VARNHOLT_TESTS_AMI_COUNTINGALLOC_H

#include "IbisParser/amip.h"

#include <cstdint>
#include <cstdlib>

struct CountingAlloc {
  int64_t requests = 0; // allocations and resizes
  int64_t resizes = 0;
  int64_t failAt = -1; // index of the request that fails; -1: none
  AMIP_ALLOC alloc{Alloc, Resize, this};

  CountingAlloc() = default;
  explicit CountingAlloc(int64_t fail) : failAt(fail) {}
  CountingAlloc(const CountingAlloc &) = delete;
  CountingAlloc &operator=(const CountingAlloc &) = delete;

  static void *Alloc(void *context, size_t size) {
    auto *a = static_cast<CountingAlloc *>(context);
    return a->requests++ == a->failAt ? nullptr : calloc(1, size);
  }
  static void *Resize(void *context, void *block, size_t size) {
    auto *a = static_cast<CountingAlloc *>(context);
    a->resizes++;
    return a->requests++ == a->failAt ? nullptr : realloc(block, size);
  }
};

#endif
