// The tests' one allocation counter, which can also fail a chosen request as
// a host short of memory would. Three hooks feed it: the parser allocator
// below, the operator new of AllocFailNew.h, and the C allocation wrappers of
// a program linked with --wrap=malloc,calloc,realloc (tests/checker_alloc).
#ifndef VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H
#define VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H

#include <cstdint>
#include <string>

struct AMIP_ALLOC;

void FailAlloc(int64_t n);               // the n-th request from now fails; 0: none does
int64_t FailAllocPending();              // requests until the armed one; 0 once failed or unarmed
bool AllocFailsNow(bool resize = false); // counts one request of a hook; true if it fails
int64_t AllocRequests();                 // requests seen so far, resizes included
int64_t AllocResizes();

// A parser allocator (AMIP_ParseWith, the AMI entry) on the counter.
extern const AMIP_ALLOC kCountedParserAlloc;

// Fails a pass's first request, then its second, and so on. Every failure is
// reported, so the first pass that prints what the clean pass printed had all
// its requests succeed: returns how many passes failed before it (10000 when
// none was clean).
template <typename Pass> int FailEachRequestInTurn(Pass pass) {
  const std::string clean = pass();
  for (int n = 1; n < 10000; ++n) {
    FailAlloc(n);
    const std::string out = pass();
    FailAlloc(0);
    if (out == clean) return n - 1;
  }
  return 10000;
}

#endif
