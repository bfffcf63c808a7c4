// The one allocation counter of the tests, which can also fail a chosen
// request, as a host short of memory would. Three hooks feed it: the
// parameter parser's allocator below, the replaced operator new of
// AllocFailNew.h, and the C allocation wrappers of a program linked with
// --wrap=malloc,calloc,realloc (tests/checker_alloc).
#ifndef VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H
#define VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H

#include <cstdint>
#include <string>

struct AMIP_ALLOC;

// The n-th request from now fails; 0 lets every request through.
void FailAlloc(int64_t n);
// Requests until the armed one; 0 once it has failed (or none is armed).
int64_t FailAllocPending();
// Counts one request of a hook; true when it is the one that fails.
bool AllocFailsNow(bool resize = false);
// Requests (resizes included) and resizes the hooks have seen so far.
int64_t AllocRequests();
int64_t AllocResizes();

// An allocator for AMIP_ParseWith and the AMI entry whose requests go
// through the counter (calloc and realloc when they do not fail).
extern const AMIP_ALLOC kCountedParserAlloc;

// Runs a pass with its first request failing, then its second, and so on.
// Every failure is reported, so the first pass that prints what the clean
// pass printed is the first whose requests all succeeded: returns how many
// passes before it failed (10000 when none was clean).
template <typename Pass> int FailEachRequestInTurn(Pass pass) {
  const std::string clean = pass();
  int failures = 0;
  for (int n = 1; n < 10000; ++n) {
    FailAlloc(n);
    const std::string out = pass();
    FailAlloc(0);
    if (out == clean)
      return failures;
    ++failures;
  }
  return 10000;
}

#endif
