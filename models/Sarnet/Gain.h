// A block that multiplies every sample by a constant factor.
#ifndef VARNHOLT_MODELS_SARNET_GAIN_H
#define VARNHOLT_MODELS_SARNET_GAIN_H

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

template <class T> class Gain : public DFModel {
public:
  double gain; // set by the owning model's Setup
  CircularBuffer<double> input;
  CircularBuffer<double> output;

  bool Run() override {
    *output.ElementAt(0) = *input.ElementAt(0) * gain;
    return true;
  }
};

extern template class Gain<double>;

} // namespace Varnholt

#endif
