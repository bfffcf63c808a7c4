// The allocation wrappers of the out-of-memory tests (the program links with
// --wrap=calloc and --wrap=malloc, so the text library's requests reach
// them).
#pragma once

#include <string>

// The n-th request from now fails; 0 lets every request through.
void FailAlloc(int n);
// Requests until the armed one; 0 once it has failed (or none is armed).
int FailAllocPending();

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
