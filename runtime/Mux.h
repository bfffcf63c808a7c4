// Selector: passes the block of samples of the input that the control names.
#ifndef VARNHOLT_RUNTIME_MUX_H
#define VARNHOLT_RUNTIME_MUX_H

#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

template <class B> class Mux : public DFModel {
public:
  CircularBufferBusT<B> inputs; // the owner resizes it before Setup
  B output;
  int32_t control = 0; // copied from the control connection before each Run
  int32_t BlockSize = 1;

  bool Setup() override {
    if (BlockSize < 1) {
      ReportError("BlockSize must be >= 1");
      return false;
    }
    const uint64_t size = static_cast<uint64_t>(BlockSize);
    output.SetSize(size);
    const uint64_t n = inputs.GetCount();
    for (uint64_t i = 0; i < n; ++i) inputs.BufferAt(i).SetSize(size);
    return true;
  }

  bool Run() override {
    const uint64_t n = inputs.GetCount();
    if (control >= 0 && static_cast<uint64_t>(control) < n) {
      inputs.BufferAt(static_cast<uint64_t>(control))
          .CopyTo(0, output, 0, static_cast<uint64_t>(BlockSize));
      return true;
    }
    ReportRange(control, n);
    return false;
  }

  // Whether a firing with control c passes one sample of input c on. The
  // owner of a control that never changes may then take that input as the
  // output, without the firing.
  bool Passes(int32_t c) const {
    return BlockSize == 1 && c >= 0 && static_cast<uint64_t>(c) < inputs.GetCount();
  }

  ~Mux() override = default;

private:
  // The failure sentence; built on a stack buffer so that a failing Run
  // allocates nothing either.
  static void FormatRange(char *buf, size_t len, int32_t c, uint64_t n) {
    const bool many = n > 1;
    std::snprintf(buf, len,
                  "Control input signal value is equal to %" PRId32 ".  There %s%" PRIu64
                  "%s connected.  The valid control input range is [0,%" PRIu64 "].",
                  c, many ? "are " : "is ", n, many ? " inputs" : " input", n - 1);
  }

  static void ReportRange(int32_t c, uint64_t n) {
    char buf[192];
    FormatRange(buf, sizeof buf, c, n);
    ReportError(buf);
  }
};

extern template class Mux<CircularBuffer<double>>;

} // namespace Varnholt

#endif
