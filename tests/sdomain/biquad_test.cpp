#include "models/Sarnet/BiquadCascade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Varnholt::BiquadCascade;

namespace {

// A cascade with one-sample storage on its input and every output.
struct Rig {
  BiquadCascade cascade;
  std::vector<double> coef;
  double in = 0.0;
  std::vector<double> out;

  Rig(std::vector<double> c, uint64_t outputs) : coef(std::move(c)), out(outputs, -99.0) {
    cascade.coefficients = coef.data();
    cascade.taps = static_cast<int32_t>(coef.size());
    cascade.input.SetStorage(&in, 1, 1, 0);
    cascade.outputs.Resize(outputs);
    for (uint64_t i = 0; i < outputs; ++i)
      cascade.outputs.BufferAt(i).SetStorage(&out[i], 1, 1, 0);
  }
  double Step(double x) {
    in = x;
    EXPECT_TRUE(cascade.Run());
    return out.empty() ? 0.0 : out[0];
  }
};

std::string InitError(BiquadCascade &c, bool &ok) {
  testing::internal::CaptureStderr();
  ok = c.Initialize();
  return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(BiquadCascade, TapCountMustBeAPositiveMultipleOfSix) {
  for (int32_t taps : {0, 7, -6}) {
    Rig r(std::vector<double>(taps > 0 ? taps : 0, 1.0), 1);
    r.cascade.taps = taps;
    bool ok = true;
    const std::string err = InitError(r.cascade, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(err, "The number of parameter taps must not be zero and must be a multiple of 6 "
                   "taps. There are currently " +
                       std::to_string(taps) + " taps.\n");
  }
}

TEST(BiquadCascade, MissingCoefficientsAreRefused) {
  BiquadCascade c;
  c.taps = 6;
  bool ok = true;
  EXPECT_EQ(InitError(c, ok), "The biquad cascade has no coefficients.\n");
  EXPECT_FALSE(ok);
}

TEST(BiquadCascade, UnitSectionPassesTheInputThrough) {
  Rig r({1, 0, 0, 1, 0, 0}, 1);
  ASSERT_TRUE(r.cascade.Initialize());
  EXPECT_EQ(r.cascade.GetSections(), 1u);
  for (double x : {1.5, -2.0, 0.0, 7.25}) EXPECT_EQ(r.Step(x), x);
}

TEST(BiquadCascade, NormalisesByD0AndKeepsStateAcrossFirings) {
  Rig r({2, 0, 0, 2, -1, 0}, 1);
  ASSERT_TRUE(r.cascade.Initialize());
  EXPECT_EQ(r.coef, (std::vector<double>{1, 0, 0, 1, -0.5, 0}));
  EXPECT_DOUBLE_EQ(r.Step(1.0), 1.0);
  EXPECT_DOUBLE_EQ(r.Step(0.0), 0.5);
  EXPECT_DOUBLE_EQ(r.Step(0.0), 0.25);
  EXPECT_DOUBLE_EQ(r.Step(0.0), 0.125);
  // A second Initialize clears the state: the impulse response starts over.
  ASSERT_TRUE(r.cascade.Initialize());
  EXPECT_DOUBLE_EQ(r.Step(1.0), 1.0);
  EXPECT_DOUBLE_EQ(r.Step(0.0), 0.5);
}

TEST(BiquadCascade, SecondOrderSectionMatchesItsDifferenceEquation) {
  // y[n] = x[n] + 2x[n-1] + x[n-2] - 0.5y[n-1] - 0.25y[n-2]
  const std::vector<double> c = {1, 2, 1, 1, 0.5, 0.25};
  Rig r(c, 1);
  ASSERT_TRUE(r.cascade.Initialize());
  const std::vector<double> x = {1, -1, 3, 0.5, 0, 0, 2, -4};
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (double v : x) {
    const double y = v + 2 * x1 + x2 - 0.5 * y1 - 0.25 * y2;
    EXPECT_NEAR(r.Step(v), y, 1e-12);
    x2 = x1;
    x1 = v;
    y2 = y1;
    y1 = y;
  }
}

TEST(BiquadCascade, ZeroD0NamesTheBiquadAndLeavesEarlierSectionsNormalised) {
  Rig r({4, 0, 0, 2, 0, 0, 1, 0, 0, 0, 1, 0}, 1);
  bool ok = true;
  EXPECT_EQ(InitError(r.cascade, ok), "The D0 coefficient for biquad number 2 cannot be zero. \n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.coef[0], 2.0);
  EXPECT_EQ(r.coef[3], 1.0);
  // A cascade that failed to initialise filters nothing.
  r.Step(1.0);
  EXPECT_EQ(r.out[0], -99.0);
}

TEST(BiquadCascade, FailedReinitialiseDoesNotRunOnStaleState) {
  Rig r({1, 0, 0, 1, 0, 0}, 1);
  ASSERT_TRUE(r.cascade.Initialize());
  r.coef = {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0};
  r.cascade.coefficients = r.coef.data();
  r.cascade.taps = 18;
  bool ok = true;
  InitError(r.cascade, ok);
  EXPECT_FALSE(ok);
  r.out[0] = -99.0;
  r.Step(1.0);
  EXPECT_EQ(r.out[0], -99.0);
}

TEST(BiquadCascade, OutputsCarryTheLastSectionsCountedFromTheEnd) {
  Rig r({2, 0, 0, 1, 0, 0, 3, 0, 0, 1, 0, 0, 5, 0, 0, 1, 0, 0}, 2);
  ASSERT_TRUE(r.cascade.Initialize());
  r.Step(1.0);
  EXPECT_EQ(r.out[0], 30.0); // third section
  EXPECT_EQ(r.out[1], 6.0);  // second section
}

TEST(BiquadCascade, MoreOutputsThanSectionsFail) {
  Rig r({2, 0, 0, 1, 0, 0, 3, 0, 0, 1, 0, 0, 5, 0, 0, 1, 0, 0}, 4);
  bool ok = true;
  EXPECT_EQ(InitError(r.cascade, ok),
            "The number of outputs must be less than or equal to the number of biquads in the "
            "cascade.  Currently, there are 4 outputs and 3 biquads.\n");
  EXPECT_FALSE(ok);
  // Running anyway stays inside the bus: the three outputs that exist get
  // the sections from the end.
  r.Step(1.0);
  EXPECT_EQ(r.out[0], 30.0);
  EXPECT_EQ(r.out[1], 6.0);
  EXPECT_EQ(r.out[2], 2.0);
  EXPECT_EQ(r.out[3], -99.0);
}
