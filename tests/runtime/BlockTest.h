// Helpers of the block tests: captured standard error and port storage.
#ifndef VARNHOLT_TESTS_RUNTIME_BLOCKTEST_H
#define VARNHOLT_TESTS_RUNTIME_BLOCKTEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/CircularBuffer.h"

namespace blocktest {

// Captures what is written to the standard error stream for its lifetime.
class CerrCapture {
public:
  CerrCapture() { testing::internal::CaptureStderr(); }
  ~CerrCapture() {
    if (!taken_) testing::internal::GetCapturedStderr();
  }
  CerrCapture(const CerrCapture &) = delete;
  CerrCapture &operator=(const CerrCapture &) = delete;
  // Everything written so far; ends the capture.
  std::string Text() {
    taken_ = true;
    return testing::internal::GetCapturedStderr();
  }

private:
  bool taken_ = false;
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
