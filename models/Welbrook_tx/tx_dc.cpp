#include "models/Welbrook_tx/tx_dc.h"

#include "runtime/Tanh.h"

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
  double slope = 0.0;
  double amplitude = 0.0;
  if (Characteristic(TX_TERM_CTL, SLEW_CTL, slope, amplitude))
    output = Tanh(input * slope) * amplitude;
  return true;
}

} // namespace Varnholt
