// The output stages' tanh against the C library's, over the whole range and
// at the values where its two formulas meet or give out.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "runtime/Tanh.h"

using Varnholt::Tanh;

namespace {

// Relative difference, with the C library's result as the scale.
double Relative(double x) {
  const double want = std::tanh(x);
  return want == 0.0 ? std::fabs(Tanh(x)) : std::fabs(Tanh(x) - want) / std::fabs(want);
}

} // namespace

TEST(Tanh, WithinAFewUnitsInTheLastPlace) {
  std::mt19937_64 rng(17);
  double worst = 0.0;
  for (int i = 0; i < 200000; ++i) {
    // Uniform near zero and across the knee, then every binary magnitude
    // down to the subnormals, and both signs.
    double x;
    switch (i % 4) {
    case 0: x = std::uniform_real_distribution<double>(-1.0, 1.0)(rng); break;
    case 1: x = std::uniform_real_distribution<double>(-25.0, 25.0)(rng); break;
    case 2: x = std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(rng), -int(rng() % 1075)); break;
    default: x = std::uniform_real_distribution<double>(0.49, 0.51)(rng); break;
    }
    worst = std::max(worst, Relative(x));
  }
  EXPECT_LT(worst, 2e-15);
  for (double x : {0.5, std::nextafter(0.5, 0.0), -0.5, 1e-300, 4.9e-324, 18.0, 19.5, 710.0}) {
    EXPECT_LT(Relative(x), 2e-15) << x;
  }
}

TEST(Tanh, SpecialValuesAsTheCLibrary) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Tanh(inf), 1.0);
  EXPECT_EQ(Tanh(-inf), -1.0);
  EXPECT_EQ(Tanh(1e300), 1.0);
  EXPECT_EQ(Tanh(-40.0), -1.0);
  EXPECT_TRUE(std::isnan(Tanh(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_EQ(Tanh(0.0), 0.0);
  EXPECT_TRUE(std::signbit(Tanh(-0.0)));
  EXPECT_FALSE(std::signbit(Tanh(0.0)));
  // Odd to the bit.
  for (double x : {0.1, 0.5, 0.7, 3.0, 1e-8}) EXPECT_EQ(Tanh(-x), -Tanh(x)) << x;
}
