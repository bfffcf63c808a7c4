// The transmitter's output characteristic: the slope and amplitude of its
// tanh for each termination and slew setting.
#include "models/Welbrook_tx/tx_dc.h"

#include "runtime/Tanh.h"

#include <cstring>

namespace Varnholt {

bool tx_dc::Characteristic(int32_t term, int32_t slew, double &slope, double &amplitude) {
  if (slew < 0 || slew > 2) return false;
  switch (term) {
  case 0:
    slope = kSlope;
    amplitude = slew == 1 ? kAmplitudeTerm0Slew1 : kAmplitudeTerm0;
    return true;
  case 1:
    slope = kSlope;
    amplitude = kAmplitudeTerm1;
    return true;
  case 2:
    slope = kSlopeTerm2;
    amplitude = kAmplitudeTerm2;
    return true;
  default:
    return false;
  }
}

bool tx_dc::Run() {
  uint64_t bits;
  std::memcpy(&bits, &input, sizeof bits);
  if (remembered_ && bits == lastInput_ && TX_TERM_CTL == lastTerm_ && SLEW_CTL == lastSlew_) {
    output = lastOutput_;
    return true;
  }
  double slope = 0.0;
  double amplitude = 0.0;
  if (Characteristic(TX_TERM_CTL, SLEW_CTL, slope, amplitude)) {
    output = Tanh(input * slope) * amplitude;
    remembered_ = true;
    lastInput_ = bits;
    lastTerm_ = TX_TERM_CTL;
    lastSlew_ = SLEW_CTL;
    lastOutput_ = output;
  }
  return true;
}

} // namespace Varnholt
