#include "models/Sarnet/SDomainIIR.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

using Varnholt::SDomainIIR;
using cd = std::complex<double>;

namespace {

constexpr double kPi = 3.141592653589793;

// The designed filter's response at Omega radians per sample, straight from
// its biquad coefficients.
cd Digital(const SDomainIIR &f, double omega) {
  const cd z1 = std::polar(1.0, -omega);
  cd h = 1.0;
  for (int s = 0; s < f.taps / 6; ++s) {
    const double *c = f.coefficients + 6 * s;
    h *= (c[0] + c[1] * z1 + c[2] * z1 * z1) / (c[3] + c[4] * z1 + c[5] * z1 * z1);
  }
  return h;
}

// DC gain of the designed cascade: each numerator's sum over its
// denominator's, multiplied over the sections.
double DesignedDcGain(const SDomainIIR &f) {
  double dc = 1.0;
  for (int s = 0; s < f.taps / 6; ++s) {
    const double *c = f.coefficients + 6 * s;
    dc *= (c[0] + c[1] + c[2]) / (c[3] + c[4] + c[5]);
  }
  return dc;
}

// The prototype's response at s, from its roots (conjugates included).
cd Analog(const SDomainIIR &f, cd s) {
  cd h = f.gain;
  for (uint64_t i = 0; i < f.realZeros.GetSize(); ++i) h *= s - *f.realZeros.ElementAt(i);
  for (uint64_t i = 0; i < f.complexZeros.GetSize(); ++i) {
    const cd z = *f.complexZeros.ElementAt(i);
    h *= (s - z) * (s - std::conj(z));
  }
  for (uint64_t i = 0; i < f.realPoles.GetSize(); ++i) h /= s - *f.realPoles.ElementAt(i);
  for (uint64_t i = 0; i < f.complexPoles.GetSize(); ++i) {
    const cd p = *f.complexPoles.ElementAt(i);
    h /= (s - p) * (s - std::conj(p));
  }
  return h;
}

// The bilinear transform without pre-warping maps Omega to this s.
cd AnalogPoint(double sampleRate, double omega) {
  return {0.0, 2.0 * sampleRate * std::tan(omega / 2.0)};
}

void ExpectMatchesPrototype(const SDomainIIR &f) {
  for (double omega : {0.0, 0.01, 0.3, 1.0, 2.0, 3.0}) {
    const cd want = Analog(f, AnalogPoint(f.SampleRate, omega));
    const cd got = Digital(f, omega);
    EXPECT_NEAR(got.real(), want.real(), 1e-9 * (1.0 + std::abs(want))) << "omega " << omega;
    EXPECT_NEAR(got.imag(), want.imag(), 1e-9 * (1.0 + std::abs(want))) << "omega " << omega;
  }
}

void SetReal(Varnholt::NdArray<double> &a, const std::vector<double> &v) {
  a.ReshapeMatrix(1, v.size());
  for (uint64_t i = 0; i < v.size(); ++i) *a.ElementAt(i) = v[i];
}
void SetComplex(Varnholt::NdArray<cd> &a, const std::vector<cd> &v) {
  a.ReshapeMatrix(1, v.size());
  for (uint64_t i = 0; i < v.size(); ++i) *a.ElementAt(i) = v[i];
}

std::string InitError(SDomainIIR &f, bool &ok) {
  testing::internal::CaptureStderr();
  ok = f.Initialize();
  return testing::internal::GetCapturedStderr();
}

struct Ports {
  double in = 0.0, out = -99.0;
  explicit Ports(SDomainIIR &f) {
    f.input.SetStorage(&in, 1, 1, 0);
    f.outputs.BufferAt(0).SetStorage(&out, 1, 1, 0);
  }
};

} // namespace

TEST(SDomainIIR, DefaultIsAUnityGainFifthOrderButterworth) {
  SDomainIIR f;
  ASSERT_TRUE(f.Initialize());
  EXPECT_EQ(f.taps, 18);
  EXPECT_EQ(f.GetSections(), 3u);

  for (int s = 0; s < 3; ++s) EXPECT_EQ(f.coefficients[6 * s + 3], 1.0);
  EXPECT_NEAR(DesignedDcGain(f), 1.0, 1e-12);

  // |H|^2 = 1 / (1 + (w / R)^10) for a fifth-order Butterworth of radius R;
  // the bilinear transform takes w to Omega = 2 atan(w / (2 fs)).
  const double R = 650148.0708064173;
  for (double ratio : {0.5, 1.0, 2.0}) {
    const double omega = 2.0 * std::atan(ratio * R / (2.0 * f.SampleRate));
    EXPECT_NEAR(std::abs(Digital(f, omega)), 1.0 / std::sqrt(1.0 + std::pow(ratio, 10)), 1e-12)
        << "ratio " << ratio;
  }
  ExpectMatchesPrototype(f);

  Ports p(f);
  double sum = 0.0;
  for (int n = 0; n < 5000; ++n) {
    p.in = n == 0 ? 1.0 : 0.0;
    ASSERT_TRUE(f.Run());
    sum += p.out;
  }
  EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST(SDomainIIR, NoRootsGiveAPlainGain) {
  SDomainIIR f;
  f.realPoles.Clear();
  f.complexPoles.Clear();
  f.gain = 2.5;
  ASSERT_TRUE(f.Initialize());
  ASSERT_EQ(f.taps, 6);
  EXPECT_EQ(std::vector<double>(f.coefficients, f.coefficients + 6),
            (std::vector<double>{2.5, 0, 0, 1, 0, 0}));
  Ports p(f);
  p.in = -2.0;
  f.Run();
  EXPECT_EQ(p.out, -5.0);
}

// Prototypes and their designs: the coefficients listed by index, the DC
// gain where given (NaN: not checked), else the refusal. A negative gain
// designs when the section count is odd (the sections share the negative odd
// root) and is refused when it is even.
TEST(SDomainIIR, PrototypesDesignOrAreRefused) {
  const double nan = std::nan("");
  const std::string negative = "The gain of the s-domain prototype comes out negative after the bilinear "
                               "transform; it cannot be shared equally among the biquads.\n";
  struct Row {
    const char *name;
    double sampleRate;
    bool butterworth; // the constructor's poles, its gain times gain
    std::vector<double> realPoles, realZeros;
    std::vector<cd> complexPoles, complexZeros;
    double gain;
    int taps;
    std::vector<std::pair<int, double>> coefficients = {};
    double dcGain = NAN;
    std::string error = "";
  } rows[] = {
      // h = 2: {1, 1, 0} / {h - a, -(h + a), 0} = {1, 1, 0} / {3, -1, 0}, gain 3 shared.
      {"one real pole", 1, false, {-1}, {}, {}, {}, 3, 6,
       {{0, 1}, {1, 1}, {2, 0}, {3, 1}, {4, -1. / 3}, {5, 0}}},
      // Denominator {h - a, -2a, -(h + a)} = {3, 2, -1}.
      {"lone pole, two zeros", 1, false, {-1}, {-3, .5}, {}, {}, 1, 6, {{4, 2. / 3}, {5, -1. / 3}}},
      // Fewer zeros than poles, an odd real pole not in the last section.
      {"fewer zeros", 2e6, false, {-3e5, -5e5, -9e5}, {-4e6}, {{-2e5, 7e5}}, {{-1e5, 1.2e6}}, 1e12, 18},
      {"more zeros: the denominator pads", 1e6, false, {-2e5}, {-1e5, -3e5, -7e5}, {}, {}, 1e-6, 12},
      {"zero at 2 fs: N0 0, the numerator keeps its shape", 1, false, {-1}, {2}, {}, {}, 1.5, 6},
      {"pole at 2 fs", 1, false, {2}, {}, {}, {}, 1, 0, {}, nan,
       "The D0 coefficient for biquad number 1 cannot be zero. \n"},
      {"infinite gain", 1e6, true, {}, {}, {}, {}, HUGE_VAL, 0, {}, nan,
       "The gain of the s-domain prototype does not give a finite filter gain.\n"},
      {"one section: an inverting low-pass", 1e6, false, {-1e5}, {}, {}, {}, -1e5, 6, {}, -1},
      {"three sections share the odd root", 1e6, true, {}, {}, {}, {}, -1, 18, {}, -1},
      {"three sections, another scale", 2e6, true, {}, {}, {}, {}, -3, 18, {}, -3},
      {"two sections, no real root", 1e6, false, {-1e5, -2e5, -3e5, -4e5}, {}, {}, {}, -2.4e21, 0, {}, nan,
       negative},
      {"two sections, a lone pole", 1e6, false, {-1e5, -2e5, -3e5}, {}, {}, {}, -6e15, 0, {}, nan, negative},
  };
  for (const Row &r : rows) {
    SDomainIIR f;
    f.SampleRate = r.sampleRate;
    if (r.butterworth) {
      f.gain *= r.gain;
    } else {
      f.complexPoles.Clear();
      SetReal(f.realPoles, r.realPoles);
      if (!r.realZeros.empty()) SetReal(f.realZeros, r.realZeros);
      if (!r.complexPoles.empty()) SetComplex(f.complexPoles, r.complexPoles);
      if (!r.complexZeros.empty()) SetComplex(f.complexZeros, r.complexZeros);
      f.gain = r.gain;
    }
    Ports p(f);
    bool ok = false;
    const std::string err = InitError(f, ok);
    if (!r.error.empty()) {
      EXPECT_FALSE(ok) << r.name;
      EXPECT_EQ(err, r.error) << r.name;
      p.in = 1.0; // nothing filters with the refused design
      EXPECT_TRUE(f.Run());
      EXPECT_EQ(p.out, -99.0) << r.name;
      continue;
    }
    ASSERT_TRUE(ok) << r.name << ": " << err;
    ASSERT_EQ(f.taps, r.taps) << r.name;
    for (int i = 0; i < f.taps; ++i) EXPECT_TRUE(std::isfinite(f.coefficients[i])) << r.name << " " << i;
    for (const auto &c : r.coefficients) EXPECT_DOUBLE_EQ(f.coefficients[c.first], c.second) << r.name;
    if (!std::isnan(r.dcGain)) {
      EXPECT_NEAR(DesignedDcGain(f), r.dcGain, 1e-12 * std::fabs(r.dcGain)) << r.name;
    }
    ExpectMatchesPrototype(f);
  }
}

TEST(SDomainIIR, RootsInHertzAreScaledInPlaceAtEveryInitialize) {
  SDomainIIR rad;
  ASSERT_TRUE(rad.Initialize());

  SDomainIIR hz;
  hz.frequenciesInHertz = 1;
  *hz.realPoles.ElementAt(0) /= 6.283185307179586;
  *hz.complexPoles.ElementAt(0) /= 6.283185307179586;
  *hz.complexPoles.ElementAt(1) /= 6.283185307179586;
  ASSERT_TRUE(hz.Initialize());
  for (int i = 0; i < 18; ++i) EXPECT_NEAR(hz.coefficients[i], rad.coefficients[i], 1e-9);
  EXPECT_NEAR(*hz.realPoles.ElementAt(0), -650148.0708064173, 1e-6);
  ASSERT_TRUE(hz.Initialize());
  EXPECT_NEAR(*hz.realPoles.ElementAt(0), -650148.0708064173 * 6.283185307179586, 1e-3);
}

TEST(SDomainIIR, NonPositiveSampleRateFailsWithoutTouchingCoefficients) {
  SDomainIIR f;
  ASSERT_TRUE(f.Initialize());
  const double *before = f.coefficients;
  const std::vector<double> saved(f.coefficients, f.coefficients + 18);
  for (double rate : {0.0, -1e6, std::nan("")}) {
    f.SampleRate = rate;
    bool ok = true;
    EXPECT_EQ(InitError(f, ok), "SampleRate must be positive.\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(f.coefficients, before);
    EXPECT_EQ(std::vector<double>(f.coefficients, f.coefficients + 18), saved);
  }
}

TEST(SDomainIIR, OneSectionInvertingLowPassFiltersAStep) {
  // gain -1e5, pole -1e5, h = 2e6: {1, 1, 0} over {2.1e6, -1.9e6, 0}, times
  // -1e5: {-1/21, -1/21, 0} over {1, -19/21, 0}. Its step response is
  // y[n] = -1 + (20/21) (19/21)^n.
  SDomainIIR f;
  f.SampleRate = 1e6;
  f.complexPoles.Clear();
  SetReal(f.realPoles, {-1e5});
  f.gain = -1e5;
  ASSERT_TRUE(f.Initialize());
  ASSERT_EQ(f.taps, 6);
  const double want[6] = {-1.0 / 21, -1.0 / 21, 0, 1, -19.0 / 21, 0};
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(f.coefficients[k], want[k], 1e-15) << k;

  Ports p(f);
  const double first[] = {-1.0 / 21, -61.0 / 441, -1.0 + 20.0 / 21 * (19.0 / 21) * (19.0 / 21)};
  for (int n = 0; n < 200; ++n) {
    p.in = 1.0;
    ASSERT_TRUE(f.Run());
    const double y = -1.0 + 20.0 / 21 * std::pow(19.0 / 21, n);
    if (n < 3) {
      EXPECT_NEAR(p.out, first[n], 1e-15) << n;
    }
    EXPECT_NEAR(p.out, y, 1e-13) << n;
  }
  EXPECT_NEAR(p.out, -1.0, 1e-8);
}

TEST(SDomainIIR, FinalizeReleasesTheCoefficientsOnce) {
  SDomainIIR f;
  Ports p(f);
  ASSERT_TRUE(f.Initialize());
  EXPECT_TRUE(f.Finalize());
  EXPECT_EQ(f.coefficients, nullptr);
  EXPECT_TRUE(f.Finalize());
  p.in = 1.0;
  EXPECT_TRUE(f.Run());
  EXPECT_EQ(p.out, -99.0);
  // A new Initialize designs again.
  ASSERT_TRUE(f.Initialize());
  f.Run();
  EXPECT_NE(p.out, -99.0);
}
