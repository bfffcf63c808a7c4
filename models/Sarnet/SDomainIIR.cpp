// The s-domain filter designer: the bilinear transform of the prototype's
// poles and zeros into biquad sections that share its gain.
#include "models/Sarnet/SDomainIIR.h"

#include <cfloat>
#include <cmath>

namespace Varnholt {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Fills the z^0, z^-1, z^-2 terms of one side (numerator or denominator) of
// every section from that side's roots. Sections the roots leave over get
// (1 + z^-1)^2, the last one of an odd order (1 + z^-1), which is where the
// bilinear transform puts roots at infinity.
void FillSide(double *c, uint64_t sections, bool oddOrder,
              const NdArray<std::complex<double>> &complexRoots,
              const NdArray<double> &realRoots, double T, double h, double m) {
  uint64_t sec = 0;
  for (uint64_t i = 0; i < complexRoots.GetSize(); ++i, ++sec) {
    const double a = complexRoots.ElementAt(i)->real();
    const double b = complexRoots.ElementAt(i)->imag();
    const double r = a * a + b * b;
    double *t = c + 6 * sec;
    t[0] = m - 4.0 * a / T + r;
    t[1] = 2.0 * (r - m);
    t[2] = m + 4.0 * a / T + r;
  }
  const uint64_t nReal = realRoots.GetSize();
  uint64_t i = 0;
  for (; i + 1 < nReal; i += 2, ++sec) {
    const double a = *realRoots.ElementAt(i);
    const double b = *realRoots.ElementAt(i + 1);
    double *t = c + 6 * sec;
    t[0] = (h - a) * (h - b);
    t[1] = -(h + a) * (h - b) - (h + b) * (h - a);
    t[2] = (h + a) * (h + b);
  }
  if (i < nReal) {
    const double a = *realRoots.ElementAt(i);
    double *t = c + 6 * sec;
    if (sec == sections - 1 && oddOrder) {
      t[0] = h - a;
      t[1] = -(h + a);
      t[2] = 0.0;
    } else {
      t[0] = h - a;
      t[1] = -2.0 * a;
      t[2] = -(h + a);
    }
    ++sec;
  }
  for (; sec < sections; ++sec) {
    double *t = c + 6 * sec;
    const bool firstOrder = sec == sections - 1 && oddOrder;
    t[0] = 1.0;
    t[1] = firstOrder ? 1.0 : 2.0;
    t[2] = firstOrder ? 0.0 : 1.0;
  }
}

template <class T> void ScaleRoots(NdArray<T> &roots) {
  for (uint64_t i = 0; i < roots.GetSize(); ++i) *roots.ElementAt(i) *= kTwoPi;
}

} // namespace

SDomainIIR::SDomainIIR() {
  outputs.Resize(1);
  realPoles.ReshapeMatrix(1, 1);
  *realPoles.ElementAt(0) = -650148.0708064173;
  complexPoles.ReshapeMatrix(1, 2);
  *complexPoles.ElementAt(0) = {-200906.8027392695, 618327.5592971661};
  *complexPoles.ElementAt(1) = {-525980.8381424781, 382147.44782641466};
}

SDomainIIR::~SDomainIIR() { ReleaseCoefficients(); }

void SDomainIIR::ReleaseCoefficients() {
  if (coefficients == designed_) coefficients = nullptr;
  delete[] designed_;
  designed_ = nullptr;
}

bool SDomainIIR::Initialize() {
  if (!(SampleRate > 0.0)) {
    ReportError("SampleRate must be positive.");
    return false;
  }
  if (frequenciesInHertz == 1) {
    ScaleRoots(realPoles);
    ScaleRoots(complexPoles);
    ScaleRoots(realZeros);
    ScaleRoots(complexZeros);
  }
  const uint64_t zeroOrder = realZeros.GetSize() + 2 * complexZeros.GetSize();
  const uint64_t poleOrder = realPoles.GetSize() + 2 * complexPoles.GetSize();
  const uint64_t order = zeroOrder > poleOrder ? zeroOrder : poleOrder;
  const uint64_t sections = (order + 1) / 2;

  // The old coefficients go now: the cascade must not filter with them.
  Detach();
  ReleaseCoefficients();
  if (order == 0) {
    taps = 6;
    designed_ = new double[6]{gain, 0.0, 0.0, 1.0, 0.0, 0.0};
    coefficients = designed_;
    return BiquadCascade::Initialize();
  }
  taps = static_cast<int32_t>(6 * sections);
  designed_ = new double[6 * sections]();
  coefficients = designed_;
  const double T = 1.0 / SampleRate;
  const double h = 2.0 / T;
  const double m = 4.0 / (T * T);
  const bool odd = order % 2 == 1;
  FillSide(designed_ + 3, sections, odd, complexPoles, realPoles, T, h, m);
  FillSide(designed_, sections, odd, complexZeros, realZeros, T, h, m);

  // A zero D0 or N0 cannot divide: a zero D0 is left for the cascade to
  // report, a zero N0 keeps its numerator unscaled (the overall gain is
  // unchanged either way).
  double product = gain;
  for (uint64_t s = 0; s < sections; ++s) {
    double *c = designed_ + 6 * s;
    const double d0 = c[3];
    if (std::fabs(d0) >= DBL_MIN) {
      for (int k = 0; k < 6; ++k) c[k] /= d0;
      c[3] = 1.0;
    }
    const double n0 = c[0];
    if (std::fabs(n0) >= DBL_MIN) {
      c[1] /= n0;
      c[2] /= n0;
      c[0] = 1.0;
      product *= n0;
    }
  }
  if (!std::isfinite(product)) {
    ReportError("The gain of the s-domain prototype does not give a finite filter gain.");
    return false;
  }
  // A negative product has a real root of the section count only when that
  // count is odd: the sections then share the negative odd root, keeping the
  // sign (and so the DC gain) of the prototype.
  const bool negative = product < 0.0;
  if (negative && sections % 2 == 0) {
    ReportError("The gain of the s-domain prototype comes out negative after the bilinear "
                "transform; it cannot be shared equally among the biquads.");
    return false;
  }
  // pow(x, 1) is x exactly, so one section takes the product itself.
  const double root = std::pow(std::fabs(product), 1.0 / static_cast<double>(sections));
  const double g = negative ? -root : root;
  for (uint64_t s = 0; s < sections; ++s) {
    double *c = designed_ + 6 * s;
    c[0] *= g;
    c[1] *= g;
    c[2] *= g;
  }
  return BiquadCascade::Initialize();
}

bool SDomainIIR::Finalize() {
  Detach();
  ReleaseCoefficients();
  return BiquadCascade::Finalize();
}

} // namespace Varnholt
