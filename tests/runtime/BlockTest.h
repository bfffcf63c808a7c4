// Helpers of the block tests: captured standard error and port storage.
#ifndef VARNHOLT_TESTS_RUNTIME_BLOCKTEST_H
#define VARNHOLT_TESTS_RUNTIME_BLOCKTEST_H

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/CircularBuffer.h"

namespace blocktest {

// Redirects std::cerr into a string for its lifetime.
class CerrCapture {
public:
  CerrCapture() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(old_); }
  CerrCapture(const CerrCapture &) = delete;
  CerrCapture &operator=(const CerrCapture &) = delete;
  std::string Text() const { return text_.str(); }

private:
  std::ostringstream text_;
  std::streambuf *old_;
};

// Storage for a port, attached the way a model attaches a connection.
template <class T> struct Port {
  explicit Port(Varnholt::CircularBuffer<T> &b, size_t length = 1, T fill = T())
      : data(length, fill) {
    b.SetStorage(data.data(), length, b.GetSize(), 0);
  }
  std::vector<T> data;
};

} // namespace blocktest

#endif
