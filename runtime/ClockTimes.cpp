// The clock times block: per sample -1.0, or the time at which the chosen
// edge of the input crossed zero, interpolated between samples.
#include "runtime/ClockTimes.h"

#include <cmath>

namespace Varnholt {

namespace {
constexpr double kHalfPi = 1.57079632679489661923;
}

bool ClockTimes::Initialize() {
  // NaN fails as well: it would make every time NaN.
  if (!(SampleInterval > 0.0)) {
    ReportError("SampleInterval must be larger than 0.");
    return false;
  }
  counter = 0;
  previous = -1.0;
  return true;
}

bool ClockTimes::Run() {
  const double x = *input.ElementAt(0);
  const double p = previous;
  double time = -1.0;
  if (counter > 0) {
    bool edge = false;
    if (edgeSelector == 1)
      edge = p <= 0.0 && x > 0.0;
    else if (edgeSelector == 0)
      edge = p > 0.0 && x <= 0.0;
    if (edge) {
      const double fraction = interpolation == 1 ? InterpolateCrossing(p, x) : 1.0;
      time = static_cast<double>(counter - 1) * SampleInterval + SampleInterval * fraction +
             timeOffset;
    }
  }
  *output.ElementAt(0) = time;
  ++counter;
  previous = x;
  return true;
}

double ClockTimes::InterpolateCrossing(double p, double x) const {
  // A zero, negative or NaN amplitude leaves no sinusoid to follow: the
  // crossing goes to the end of the sample, as without interpolation.
  if (!(amplitude > 0.0)) return 1.0;
  // A sample beyond the amplitude is taken as the sinusoid's crest or trough.
  auto normalise = [this](double s) {
    const double v = s / amplitude;
    if (std::fabs(v) > 1.0) return s > 0.0 ? 1.0 : -1.0;
    return v;
  };
  const double u = normalise(p);
  const double v = normalise(x);
  const double au = std::acos(u);
  const double fraction = (kHalfPi - au) / (std::acos(v) - au);
  // Within [0, 1] for every crossing; kept there should rounding stray. NaN
  // (an infinite amplitude) falls back to the end of the sample.
  if (std::isnan(fraction)) return 1.0;
  if (fraction < 0.0) return 0.0;
  if (fraction > 1.0) return 1.0;
  return fraction;
}

} // namespace Varnholt
