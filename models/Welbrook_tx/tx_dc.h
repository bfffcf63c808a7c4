// The transmitter's static output characteristic: a tanh whose slope and
// amplitude depend on the termination and slew settings.
#ifndef VARNHOLT_MODELS_WELBROOK_TX_TX_DC_H
#define VARNHOLT_MODELS_WELBROOK_TX_TX_DC_H

#include "runtime/DFModel.h"

#include <cstdint>

namespace Varnholt {

class tx_dc : public DFModel {
public:
  double input = 0.0; // written by the owner before Run
  // Defined from the start: a setting pair without a characteristic keeps
  // this value.
  double output = 0.0;
  int32_t TX_TERM_CTL = 0; // the owner's setting, truncated toward zero
  int32_t SLEW_CTL = 0;    // likewise

  ~tx_dc() override = default;

  // output = tanh(input * slope) * amplitude for the current settings; an
  // unlisted pair leaves the output as it was. Always succeeds.
  bool Run() override;

  // Slope and amplitude of a setting pair; false for a pair without one.
  static bool Characteristic(int32_t term, int32_t slew, double &slope, double &amplitude);

  // The device's constants, each exactly the double written: the first
  // four lie one unit in the last place below the nearest double of their
  // decimals (4.2624, 0.4838, 0.4961, 5.97312).
  static constexpr double kSlope = 4.2623999999999995; // TERM 0 and 1
  static constexpr double kSlopeTerm2 = 5.973119999999999;
  static constexpr double kAmplitudeTerm0 = 0.48379999999999995; // SLEW 0 and 2
  static constexpr double kAmplitudeTerm0Slew1 = 0.48144;
  static constexpr double kAmplitudeTerm1 = 0.49609999999999993;
  static constexpr double kAmplitudeTerm2 = 0.5002;

private:
  // The last input, settings and output. A transmitter's input is a bit
  // pattern, one value for all the samples of a bit: the same input and
  // settings (to the bit) give the same output without another tanh.
  bool remembered_ = false;
  uint64_t lastInput_ = 0;
  int32_t lastTerm_ = 0;
  int32_t lastSlew_ = 0;
  double lastOutput_ = 0.0;
};

} // namespace Varnholt

#endif
