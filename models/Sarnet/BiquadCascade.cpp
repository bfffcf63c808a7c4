// The biquad cascade: coefficient checks and normalisation at Initialize,
// then one direct form II step per section and firing.
#include "models/Sarnet/BiquadCascade.h"

#include <cfloat>
#include <cmath>
#include <sstream>

namespace Varnholt {

BiquadCascade::~BiquadCascade() { ReleaseState(); }

void BiquadCascade::ReleaseState() {
  delete[] w1_;
  delete[] w2_;
  w1_ = nullptr;
  w2_ = nullptr;
  stateSections_ = 0;
}

bool BiquadCascade::Initialize() {
  if (taps < 1 || taps % 6 != 0) {
    std::ostringstream s;
    s << "The number of parameter taps must not be zero "
      << "and must be a multiple of " << 6 << " taps. "
      << "There are currently " << taps << " taps.";
    ReleaseState();
    ReportError(s.str().c_str());
    return false;
  }
  sections_ = static_cast<uint64_t>(taps) / 6;
  if (!coefficients) {
    ReleaseState();
    ReportError("The biquad cascade has no coefficients.");
    return false;
  }
  for (uint64_t n = 0; n < sections_; ++n) {
    double *c = coefficients + 6 * n;
    if (std::fabs(c[3]) < DBL_MIN) {
      std::ostringstream s;
      s << "The D0 coefficient for biquad number " << n + 1 << " cannot be zero. ";
      ReleaseState();
      ReportError(s.str().c_str());
      return false;
    }
    const double d0 = c[3];
    c[0] /= d0;
    c[1] /= d0;
    c[2] /= d0;
    c[4] /= d0;
    c[5] /= d0;
    c[3] = 1.0;
  }
  ReleaseState();
  w1_ = new double[sections_]();
  w2_ = new double[sections_]();
  stateSections_ = sections_;
  if (outputs.GetCount() > sections_) {
    std::ostringstream s;
    s << "The number of outputs must be less than or equal to the "
      << "number of biquads in the cascade.  Currently, there are " << outputs.GetCount()
      << " outputs and " << sections_ << " biquads.";
    ReportError(s.str().c_str());
    return false;
  }
  return true;
}

bool BiquadCascade::Run() {
  const uint64_t n = sections_ < stateSections_ ? sections_ : stateSections_;
  const uint64_t count = outputs.GetCount();
  const uint64_t first = count < n ? n - count : 0;
  if (n == 0) return true;
  double x = *input.ElementAt(0);
  for (uint64_t i = 0; i < n; ++i) {
    const double *c = coefficients + 6 * i;
    const double w = x - c[4] * w1_[i] - c[5] * w2_[i];
    const double y = c[0] * w + c[1] * w1_[i] + c[2] * w2_[i];
    w2_[i] = w1_[i];
    w1_[i] = w;
    x = y;
    if (i >= first) *outputs.BufferAt(n - 1 - i).ElementAt(0) = y;
  }
  return true;
}

} // namespace Varnholt
