// Fan-out: every firing copies the input sample to each output of the bus.
#ifndef VARNHOLT_RUNTIME_FORK_H
#define VARNHOLT_RUNTIME_FORK_H

#include <cstdint>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

template <class B> class Fork : public DFModel {
public:
  B input;
  CircularBufferBusT<B> outputs; // the owner resizes it before Setup

  bool Run() override {
    const typename B::value_type v = *input.ElementAt(0);
    const uint64_t n = outputs.GetCount();
    for (uint64_t i = 0; i < n; ++i) *outputs.BufferAt(i).ElementAt(0) = v;
    return true;
  }
  ~Fork() override = default;
};

extern template class Fork<CircularBuffer<double>>;
extern template class Fork<CircularBuffer<int>>;

} // namespace Varnholt

#endif
