// The receiver's output stage: a tanh soft limiter with a fixed peak and a
// gain chosen by the equalizer setting.
#ifndef VARNHOLT_MODELS_WELBROOK_RX_RX_DC_H
#define VARNHOLT_MODELS_WELBROOK_RX_RX_DC_H

#include "runtime/DFModel.h"
#include "runtime/Tanh.h"

#include <cstdint>

namespace Varnholt {

class rx_dc : public DFModel {
public:
  double input = 0.0;  // written by the owner before Run
  // Defined from the start: an out-of-range setting keeps this value.
  double output = 0.0;
  int32_t setting = 0; // gain index 0..15

  ~rx_dc() override = default;

  // output = tanh(input * g[setting]) * 0.288; a setting outside 0..15 leaves
  // the output as it was. Always succeeds. Inline: the receiver calls it on
  // every sample.
  bool Run() override {
    if (setting >= 0 && setting < kSettings) output = Tanh(input * kGain[setting]) * kPeak;
    return true;
  }

  static constexpr int kSettings = 16;
  static constexpr double kPeak = 0.288;
  static const double kGain[kSettings];
};

} // namespace Varnholt

#endif
