// Turns a sampled clock-like signal into clock times: for each sample either
// -1.0 or the time at which the selected edge crossed zero.
#ifndef VARNHOLT_RUNTIME_CLOCKTIMES_H
#define VARNHOLT_RUNTIME_CLOCKTIMES_H

#include <cstdint>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

class ClockTimes : public DFModel {
public:
  CircularBuffer<double> input;
  CircularBuffer<double> output; // clock time in seconds, or -1.0
  double SampleInterval = 1e-10; // seconds per sample
  double timeOffset = 0.0;       // added to every time
  int32_t edgeSelector = 0;      // 1 rising, 0 falling, other: no edge
  int32_t interpolation = 0;     // 1 sinusoidal, other: end of the sample
  double previous = -1.0;        // input of the previous firing
  uint64_t counter = 0;          // firings since Initialize
  double amplitude = 1.0;        // of the signal, for the interpolation

  ~ClockTimes() override = default;

  bool Initialize() override;
  bool Run() override;
  bool Finalize() override { return true; }

  // Where, as a fraction of the interval from p to x, a sinusoid of the
  // block's amplitude through both samples crosses zero.
  double InterpolateCrossing(double p, double x) const;
};

} // namespace Varnholt

#endif
