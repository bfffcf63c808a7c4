// The error report shared by every block: one sentence and its end of line
// on the standard error stream.
#include "runtime/DFModel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Varnholt {

// The sentence and its end of line go out in one write, so the sentences of
// handles on other threads stay whole lines. C stdio rather than a C++
// stream: the stream objects of a statically linked C++ runtime set up and
// tear down thread state at every load and unload of the library.
void DFModel::ReportError(const char *text) {
  if (!text) text = "";
  const size_t n = std::strlen(text);
  char local[512];
  char *line = n < sizeof local ? local : static_cast<char *>(std::malloc(n + 1));
  if (line) {
    std::memcpy(line, text, n);
    line[n] = '\n';
    std::fwrite(line, 1, n + 1, stderr);
    if (line != local) std::free(line);
  } else {
    // No room for the joined line: the stream's lock still keeps the two
    // parts together against other writers of the stream.
#if defined(_WIN32)
    _lock_file(stderr);
#else
    flockfile(stderr);
#endif
    std::fwrite(text, 1, n, stderr);
    std::fputc('\n', stderr);
#if defined(_WIN32)
    _unlock_file(stderr);
#else
    funlockfile(stderr);
#endif
  }
  std::fflush(stderr);
}

} // namespace Varnholt
