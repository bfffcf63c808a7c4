// The allocation counter of the tests and the parser allocator on it.
#include "AllocFail.h"

#include <cstdlib>

#include "IbisParser/amip.h"

namespace {
int64_t s_failIn = 0; // requests until the one that fails; 0: none
int64_t s_requests = 0;
int64_t s_resizes = 0;

void *ParserAlloc(void *, size_t size) { return AllocFailsNow() ? nullptr : calloc(1, size); }
void *ParserResize(void *, void *block, size_t size) {
  return AllocFailsNow(true) ? nullptr : realloc(block, size);
}
} // namespace

void FailAlloc(int64_t n) { s_failIn = n; }
int64_t FailAllocPending() { return s_failIn; }
int64_t AllocRequests() { return s_requests; }
int64_t AllocResizes() { return s_resizes; }

bool AllocFailsNow(bool resize) {
  ++s_requests;
  if (resize) ++s_resizes;
  return s_failIn > 0 && --s_failIn == 0;
}

const AMIP_ALLOC kCountedParserAlloc = {ParserAlloc, ParserResize, nullptr};
