// Properties of the receiver's and transmitter's constant response tables,
// computed from the compiled data.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "models/Welbrook_rx/rx_responses.h"
#include "models/Welbrook_tx/tx_responses.h"

namespace {

using namespace Varnholt;

constexpr int kN = 897;
constexpr double kStep = 7.8125e-13;

static_assert(kWelbrookRxTables == 16 && kWelbrookRxLength == kN, "receiver table size");
static_assert(kWelbrookTxTables == 9 && kWelbrookTxLength == kN, "transmitter table size");

// x rounded to `digits` significant digits.
double RoundSig(double x, int digits) {
  if (x == 0.0)
    return 0.0;
  const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
  return std::round(x * std::pow(10.0, digits - 1 - e));
}

// True when value shows as target at target's precision.
::testing::AssertionResult Shows(double value, double target, int digits) {
  if (RoundSig(value, digits) == RoundSig(target, digits) &&
      std::floor(std::log10(std::fabs(value))) == std::floor(std::log10(std::fabs(target))))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << value << " does not round to " << target << " at " << digits << " digits";
}

double DcGain(const double *v) {
  double sum = 0.0;
  for (int i = 0; i < kN; ++i)
    sum += v[i];
  return sum * kStep;
}

::testing::AssertionResult DcIs(const double *v, double target) {
  const double dc = DcGain(v);
  if (std::round(dc * 1e6) == std::round(target * 1e6))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "DC gain " << dc << ", expected " << target;
}

int ArgMax(const double *v) {
  int k = 0;
  for (int i = 1; i < kN; ++i)
    if (v[i] > v[k])
      k = i;
  return k;
}

// Unique index of the smallest value, or -1 when it is shared.
int UniqueArgMin(const double *v) {
  int k = 0;
  for (int i = 1; i < kN; ++i)
    if (v[i] < v[k])
      k = i;
  for (int i = 0; i < kN; ++i)
    if (i != k && v[i] == v[k])
      return -1;
  return k;
}

// An undershoot starting at `onset`, deepest one step later, a strictly rising
// edge to the single peak, then a fall with at most one turn (a slow tail that
// recovers towards zero). Everything before the onset is exactly zero.
::testing::AssertionResult IsEdgeShaped(const double *v, int onset, int peak) {
  for (int i = 0; i < kN; ++i)
    if (!std::isfinite(v[i]))
      return ::testing::AssertionFailure() << "value " << i << " not finite";
  for (int i = 0; i < onset; ++i)
    if (v[i] != 0.0)
      return ::testing::AssertionFailure() << "value " << i << " before the onset";
  if (!(v[onset] < 0.0) || UniqueArgMin(v) != onset + 1)
    return ::testing::AssertionFailure() << "no undershoot with its minimum at " << onset + 1;
  for (int i = onset + 2; i <= peak; ++i)
    if (!(v[i] > v[i - 1]))
      return ::testing::AssertionFailure() << "edge not rising at " << i;
  if (!(v[peak + 1] < v[peak]))
    return ::testing::AssertionFailure() << "no fall after the peak";
  int turns = 0, dir = -1;
  for (int i = peak + 1; i < kN; ++i) {
    const double d = v[i] - v[i - 1];
    if (d != 0.0 && (d > 0) != (dir > 0)) {
      ++turns;
      dir = -dir;
    }
  }
  if (turns > 1)
    return ::testing::AssertionFailure() << "tail turns " << turns << " times";
  return ::testing::AssertionSuccess();
}

void ExpectTimeStamps(const double (*t)[kN], int tables) {
  for (int k = 0; k < tables; ++k) {
    SCOPED_TRACE("table " + std::to_string(k));
    for (int i = 0; i < kN; ++i)
      ASSERT_EQ(t[k][i], i * kStep) << "stamp " << i;
    EXPECT_EQ(t[k][0], 0.0);
    EXPECT_EQ(t[k][kN - 1], 7.000000000000001e-10);
  }
}

// ---------------------------------------------------------------- receiver

const double kRxPeaks[8] = {3.44595e10, 3.4738e10, 3.50655e10, 3.54447e10,
                            3.5891e10,  3.64266e10, 3.70666e10, 3.78484e10};
const double kRxDcHigh[8] = {1.025088, 1.025720, 1.026401, 1.027268,
                             1.028214, 1.029469, 1.030881, 1.032674};

TEST(WelbrookRxTables, TimeStampsFollowTheStepRule) {
  ExpectTimeStamps(kWelbrookRxTime, 16);
}

TEST(WelbrookRxTables, EveryResponseIsOneSmoothEdge) {
  for (int k = 0; k < 16; ++k) {
    SCOPED_TRACE("FIR " + std::to_string(k));
    const int peak = k < 8 ? 27 : 29;
    EXPECT_EQ(ArgMax(kWelbrookRxResponse[k]), peak);
    EXPECT_TRUE(IsEdgeShaped(kWelbrookRxResponse[k], 0, peak));
  }
}

TEST(WelbrookRxTables, FirstGroupGainPeaksAndTail) {
  const double *f0 = kWelbrookRxResponse[0];
  EXPECT_TRUE(Shows(f0[0], -1.0709e10, 5));
  EXPECT_TRUE(Shows(f0[1], -2.05815e10, 6));
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE("FIR " + std::to_string(k));
    const double *v = kWelbrookRxResponse[k];
    EXPECT_TRUE(DcIs(v, 1.0));
    EXPECT_TRUE(Shows(v[27], kRxPeaks[k], 6));
    EXPECT_EQ(v[kN - 1], 0.0);
  }
}

TEST(WelbrookRxTables, SecondGroupGainPeaksAndTail) {
  EXPECT_TRUE(Shows(kWelbrookRxResponse[8][29], 3.56162e10, 6));
  EXPECT_TRUE(Shows(kWelbrookRxResponse[15][29], 3.91164e10, 6));
  EXPECT_TRUE(Shows(kWelbrookRxResponse[8][kN - 1], -2.657e8, 4));
  EXPECT_TRUE(Shows(kWelbrookRxResponse[15][kN - 1], -3.425e8, 4));
  for (int j = 0; j < 8; ++j) {
    SCOPED_TRACE("FIR " + std::to_string(8 + j));
    const double *v = kWelbrookRxResponse[8 + j];
    EXPECT_TRUE(DcIs(v, kRxDcHigh[j]));
    // The tail has not died out, and the counterpart FIR j has less gain.
    EXPECT_LE(v[kN - 1], -2.657e8 * 0.99995);
    EXPECT_GE(v[kN - 1], -3.425e8 * 1.00005);
    EXPECT_GT(DcGain(v), DcGain(kWelbrookRxResponse[j]));
  }
}

TEST(WelbrookRxTables, PeakAndUndershootGrowWithSetting) {
  for (int g = 0; g < 16; g += 8) {
    const int peak = g == 0 ? 27 : 29;
    for (int k = g + 1; k < g + 8; ++k) {
      SCOPED_TRACE("FIR " + std::to_string(k));
      const double *a = kWelbrookRxResponse[k - 1];
      const double *b = kWelbrookRxResponse[k];
      EXPECT_GT(b[peak], a[peak]);
      EXPECT_LT(b[0], a[0]);
      EXPECT_LT(b[1], a[1]);
    }
  }
}

// ------------------------------------------------------------- transmitter

struct TxRow {
  int fir;
  double dc;
  int peakIndex;
  double peak;
};
const TxRow kTxRows[9] = {
    {0, 0.999989, 42, 1.2904e10}, {1, 0.999989, 42, 1.2904e10}, {2, 0.999993, 50, 1.0708e10},
    {3, 0.999993, 49, 1.0234e10}, {4, 0.999993, 49, 1.0234e10}, {5, 1.001414, 58, 7.7743e9},
    {6, 1.001001, 57, 7.4316e9},  {7, 1.001001, 57, 7.4316e9},  {8, 0.999989, 57, 1.3535e10},
};

TEST(WelbrookTxTables, TimeStampsFollowTheStepRule) {
  ExpectTimeStamps(kWelbrookTxTime, 9);
}

TEST(WelbrookTxTables, GainPeakAndShapeOfEveryResponse) {
  for (const TxRow &r : kTxRows) {
    SCOPED_TRACE("FIR " + std::to_string(r.fir));
    const double *v = kWelbrookTxResponse[r.fir];
    EXPECT_TRUE(DcIs(v, r.dc));
    EXPECT_EQ(ArgMax(v), r.peakIndex);
    EXPECT_TRUE(Shows(v[r.peakIndex], r.peak, 5));
    EXPECT_TRUE(IsEdgeShaped(v, r.fir == 8 ? 13 : 0, r.peakIndex));
  }
}

TEST(WelbrookTxTables, StartAndTailValues) {
  const double *f0 = kWelbrookTxResponse[0];
  EXPECT_TRUE(Shows(f0[0], -3.6082e9, 5));
  EXPECT_TRUE(Shows(f0[1], -6.9713e9, 5));
  EXPECT_TRUE(Shows(kWelbrookTxResponse[5][kN - 1], -1.186e7, 4));
  EXPECT_TRUE(Shows(kWelbrookTxResponse[6][kN - 1], -6.353e6, 4));
}

TEST(WelbrookTxTables, SlewSettingsOneAndTwoShareTheirResponses) {
  const int pairs[3][2] = {{1, 0}, {4, 3}, {7, 6}};
  for (const auto &p : pairs)
    EXPECT_EQ(std::memcmp(kWelbrookTxResponse[p[0]], kWelbrookTxResponse[p[1]], sizeof(double) * kN),
              0)
        << "FIR " << p[0] << " differs from FIR " << p[1];
  // The six distinct responses are distinct.
  const int distinct[6] = {0, 2, 3, 5, 6, 8};
  for (int a = 0; a < 6; ++a)
    for (int b = a + 1; b < 6; ++b)
      EXPECT_NE(std::memcmp(kWelbrookTxResponse[distinct[a]], kWelbrookTxResponse[distinct[b]],
                            sizeof(double) * kN),
                0);
  // For slew settings 1 and 2 the peak gets lower and later with the
  // termination setting.
  for (int s = 0; s < 2; ++s) {
    const double *t0 = kWelbrookTxResponse[0 + s];
    const double *t1 = kWelbrookTxResponse[3 + s];
    const double *t2 = kWelbrookTxResponse[6 + s];
    EXPECT_GT(t0[ArgMax(t0)], t1[ArgMax(t1)]);
    EXPECT_GT(t1[ArgMax(t1)], t2[ArgMax(t2)]);
    EXPECT_LT(ArgMax(t0), ArgMax(t1));
    EXPECT_LT(ArgMax(t1), ArgMax(t2));
  }
}

TEST(WelbrookTxTables, SlowestEdgeIsFirstDelayedByThirteenSteps) {
  const double *f0 = kWelbrookTxResponse[0];
  const double *f8 = kWelbrookTxResponse[8];
  for (int i = 0; i < 13; ++i)
    EXPECT_EQ(f8[i], 0.0) << "value " << i;
  EXPECT_LT(f8[13], 0.0);
  EXPECT_EQ(UniqueArgMin(f8), 14);
  EXPECT_TRUE(Shows(f8[14], -6.5624e9, 5));
  double diff = 0.0;
  for (int i = 0; i + 13 < kN; ++i)
    diff = std::fmax(diff, std::fabs(f8[i + 13] - f0[i]));
  EXPECT_TRUE(Shows(diff, 7.0e8, 2));
}

} // namespace
