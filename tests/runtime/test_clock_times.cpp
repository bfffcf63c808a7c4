// Clock times from zero crossings, with and without sinusoidal interpolation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "runtime/ClockTimes.h"
#include "tests/runtime/BlockTest.h"

using namespace Varnholt;
using blocktest::CerrCapture;

namespace {

std::vector<double> Times(ClockTimes &ct, const std::vector<double> &input) {
  double in = 0.0, out = 0.0;
  ct.input.SetStorage(&in, 1, 1, 0);
  ct.output.SetStorage(&out, 1, 1, 0);
  std::vector<double> result;
  for (double x : input) {
    in = x;
    EXPECT_TRUE(ct.Run());
    result.push_back(out);
  }
  return result;
}

ClockTimes Block(int32_t edge, int32_t interpolation, double T = 1e-10, double offset = 0.0) {
  ClockTimes ct;
  ct.edgeSelector = edge;
  ct.interpolation = interpolation;
  ct.SampleInterval = T;
  ct.timeOffset = offset;
  EXPECT_TRUE(ct.Setup());
  EXPECT_TRUE(ct.Initialize());
  return ct;
}

const double kPi = 3.14159265358979323846;

} // namespace

TEST(ClockTimes, RisingEdgeAtTheEndOfTheSample) {
  const double T = 2.5e-11;
  ClockTimes ct = Block(1, 0, T);
  EXPECT_EQ(Times(ct, {-1, 1}), (std::vector<double>{-1.0, T}));
  // Later crossings count from the first sample; 0 after a negative sample
  // is not a rising crossing, but the positive sample after it is.
  ClockTimes c2 = Block(1, 0, T, 1e-9);
  const auto t = Times(c2, {1, -1, 0, 0.5, 0.7, -0.2, 0.3});
  EXPECT_EQ(t[0], -1.0);
  EXPECT_EQ(t[1], -1.0);
  EXPECT_EQ(t[2], -1.0);
  EXPECT_DOUBLE_EQ(t[3], 2 * T + T + 1e-9);
  EXPECT_EQ(t[4], -1.0);
  EXPECT_EQ(t[5], -1.0);
  EXPECT_DOUBLE_EQ(t[6], 5 * T + T + 1e-9);
}

TEST(ClockTimes, FallingEdge) {
  const double T = 1e-10;
  ClockTimes ct = Block(0, 0, T);
  EXPECT_EQ(Times(ct, {1, -1, 1}), (std::vector<double>{-1.0, T, -1.0}));
  // 0 after a positive sample is a falling crossing.
  ClockTimes c2 = Block(0, 0, T);
  const auto t = Times(c2, {0.5, 0.0, -0.5, 0.5});
  EXPECT_EQ(t, (std::vector<double>{-1.0, T, -1.0, -1.0}));
}

TEST(ClockTimes, FirstFiringAndOtherSelectors) {
  // The first firing never gives a time, whatever the previous sample was.
  ClockTimes ct = Block(1, 0);
  EXPECT_EQ(Times(ct, {1.0}), (std::vector<double>{-1.0}));
  for (int32_t sel : {2, -1}) {
    ClockTimes c = Block(sel, 0);
    for (double v : Times(c, {-1, 1, -1, 1, 0, -1})) EXPECT_EQ(v, -1.0);
  }
  // NaN samples never cross.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ClockTimes r = Block(1, 1);
  for (double v : Times(r, {-1, nan, 1, nan, -1})) EXPECT_EQ(v, -1.0);
}

TEST(ClockTimes, InitializeRestarts) {
  const double T = 1e-10;
  ClockTimes ct = Block(1, 0, T);
  Times(ct, {-1, -1, -1});
  ASSERT_TRUE(ct.Initialize());
  EXPECT_EQ(ct.counter, 0u);
  EXPECT_EQ(ct.previous, -1.0);
  EXPECT_EQ(Times(ct, {-1, 1}), (std::vector<double>{-1.0, T}));
  EXPECT_TRUE(ct.Finalize());
}

TEST(ClockTimes, SampleIntervalMustBePositive) {
  for (double T : {0.0, -1e-12, std::numeric_limits<double>::quiet_NaN()}) {
    ClockTimes ct;
    ct.SampleInterval = T;
    CerrCapture err;
    EXPECT_FALSE(ct.Initialize());
    EXPECT_EQ(err.Text(), "SampleInterval must be larger than 0.\n");
  }
}

TEST(ClockTimes, SinusoidalInterpolation) {
  const double T = 1e-10;
  {
    ClockTimes ct = Block(1, 1, T);
    const auto t = Times(ct, {-0.5, 0.5});
    EXPECT_DOUBLE_EQ(t[1], 0.5 * T);
  }
  {
    ClockTimes ct = Block(0, 1, T);
    const auto t = Times(ct, {0.2, 0.5, -0.5});
    EXPECT_DOUBLE_EQ(t[2], T + 0.5 * T);
  }
  // Samples of a sinusoid that crosses zero at fraction f of an interval of
  // phase step w: the crossing comes back for either edge and any amplitude.
  for (double A : {1.0, 0.35, 2.0}) {
    for (double f : {0.0, 0.1, 0.37, 0.8, 1.0}) {
      const double w = 0.6;
      ClockTimes up = Block(1, 1, T, 3e-9);
      up.amplitude = A;
      const double p = A * std::sin(-f * w), x = A * std::sin((1.0 - f) * w);
      if (p <= 0 && x > 0) {
        const auto t = Times(up, {0.0, p, x});
        EXPECT_NEAR(t[2], T + f * T + 3e-9, 1e-22) << A << " " << f;
      }
      ClockTimes down = Block(0, 1, T);
      down.amplitude = A;
      const auto t = Times(down, {-1.0, -p, -x});
      if (-p > 0 && -x <= 0) {
        EXPECT_NEAR(t[2], T + f * T, 1e-22) << A << " " << f;
      }
    }
  }
}

TEST(ClockTimes, InterpolateCrossingBeyondTheAmplitude) {
  ClockTimes ct;
  // Above the amplitude a sample counts as the crest, below as the trough.
  const double rising = ct.InterpolateCrossing(-3.0, 0.5);
  EXPECT_NEAR(rising, (kPi / 2 - kPi) / (std::acos(0.5) - kPi), 1e-15);
  EXPECT_NEAR(rising, 0.75, 1e-15);
  EXPECT_NEAR(ct.InterpolateCrossing(4.0, -0.5), (kPi / 2) / (std::acos(-0.5)), 1e-15);
  EXPECT_NEAR(ct.InterpolateCrossing(-2.0, 2.0), 0.5, 1e-15);
  // A zero, negative or NaN amplitude leaves no sinusoid to follow: the
  // crossing goes to the end of the sample.
  for (double A : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    ct.amplitude = A;
    const double f = ct.InterpolateCrossing(-0.5, 0.25);
    EXPECT_TRUE(f >= 0.0 && f <= 1.0) << A;
    EXPECT_EQ(ct.InterpolateCrossing(0.0, 0.25), 1.0) << A;
  }
}
