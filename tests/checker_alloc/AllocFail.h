// The calloc wrapper of the out-of-memory tests (the program links with
// --wrap=calloc, so the text library's requests reach it).
#pragma once

// The n-th request from now fails; 0 lets every request through.
void FailCalloc(int n);
