// The text library's calloc calls go through a wrapper (the test program is
// linked with --wrap=calloc) that a test arms to fail the next request.
#pragma once

// Arms (or disarms) the wrapper: the next calloc returns null, once.
void FailNextAlloc(bool fail);
