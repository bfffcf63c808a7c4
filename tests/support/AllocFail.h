// The tests' one allocation counter, which can also fail a chosen request as
// a host short of memory would. Three hooks feed it: the parser allocator
// below, the operator new of AllocFailNew.h, and the C allocation wrappers of
// a program linked with --wrap=malloc,calloc,realloc (tests/checker_alloc).
#ifndef VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H
#define VARNHOLT_TESTS_SUPPORT_ALLOCFAIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "IbisParser/msg.h"

struct AMIP_ALLOC;

void FailAlloc(int64_t n);               // the n-th request from now fails; 0: none does
int64_t FailAllocPending();              // requests until the armed one; 0 once failed or unarmed
bool AllocFailsNow(bool resize = false); // counts one request of a hook; true if it fails
int64_t AllocRequests();                 // requests seen so far, resizes included
int64_t AllocResizes();

// A parser allocator (AMIP_ParseWith, the AMI entry) on the counter.
extern const AMIP_ALLOC kCountedParserAlloc;

// ---- What a checker run short of memory may print -------------------------

// 1 when a message line (its severity and line prefix included) is one that
// says memory ran out; the list is in AllocFail.cpp.
bool IsMemoryFailureMessage(const std::string &message);
// The lines of `failed` that a pass short of memory may not print, one a
// line (empty when there are none): up to its first memory-failure message
// the pass must print what the clean pass printed, line for line; from
// there on only memory-failure messages, banners of files read, blank lines,
// the summary, and what the passes it runs on other files print (each line
// as often as the clean pass printed it after that point), since what it
// reads itself is then not the whole file.
std::string UnexplainedMessages(const std::string &clean, const std::string &failed);
// A whole check pass with one request failed: it says memory ran out, ends
// in a failed file and prints nothing else of its own.
void ExpectFailedCheckPass(const std::string &clean, const std::string &failed, int64_t request);

// The most requests a sweep fails: one pass each, so a pass making more is
// too large a case for the sweep (its test says so instead of skipping).
constexpr int64_t kMostRequestsFailed = 6000;

// Counts the requests of a clean pass, then runs the pass again with its
// first request failing, then its second, and so on through its last, and
// hands each output to judge(clean output, failed output, request). Returns
// how many requests the clean pass made. The pass must print the same each
// time it runs clean.
template <typename Pass, typename Judge> int64_t FailEachRequestInTurn(Pass pass, Judge judge) {
  // Each pass starts as a new one would: a failure of the last one does
  // not silence it.
  auto fresh = [&] {
    MSG_SetMemoryFailed(0);
    return pass();
  };
  const std::string clean = fresh();
  const int64_t before = AllocRequests();
  EXPECT_EQ(fresh(), clean) << "a clean pass printed something else the second time";
  const int64_t requests = AllocRequests() - before;
  EXPECT_LE(requests, kMostRequestsFailed) << "too many requests for one sweep";
  for (int64_t n = 1; n <= requests && n <= kMostRequestsFailed; ++n) {
    MSG_SetMemoryFailed(0);
    FailAlloc(n);
    const std::string out = pass();
    const bool made = FailAllocPending() == 0;
    FailAlloc(0);
    MSG_SetMemoryFailed(0);
    EXPECT_TRUE(made) << "request " << n << " of the clean pass was not made";
    judge(clean, out, n);
  }
  return requests;
}

// The same for whole check passes, each judged by ExpectFailedCheckPass.
template <typename Pass> int64_t FailEachRequestInTurn(Pass pass) {
  return FailEachRequestInTurn(pass, ExpectFailedCheckPass);
}

#endif
