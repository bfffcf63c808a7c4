// The Korvath top model and its Tx sub-model, driven directly.
#include "models/Korvath/Korvath.h"
#include "models/Korvath/Tx.h"
#include "tests/korvath/KorvathRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

// Every allocation of the program is counted, so that a stretch of Run calls
// can be shown to allocate nothing.
#include "AllocFailNew.h"

namespace {

using Varnholt::Korvath;
using Varnholt::Tx;

void Configure(Tx &tx, int32_t spb, double slewPs, double pre = 0, double pst1 = -10,
               double pst2 = 0, double swingMv = 500) {
  tx.samplesPerBit = spb;
  tx.bitTime = 1e-10;
  tx.SlewTime = slewPs;
  tx.Pre = pre;
  tx.Pst1 = pst1;
  tx.Pst2 = pst2;
  tx.Swing = swingMv;
}

TEST(KorvathTx, InitializeConvertsUnitsAndComputesTapWeights) {
  Tx tx;
  Configure(tx, 32, 100, 10, -20, 5, 800);
  ASSERT_TRUE(tx.Initialize());
  EXPECT_DOUBLE_EQ(tx.SlewTime, 1e-10);
  EXPECT_DOUBLE_EQ(tx.Swing, 0.8);
  EXPECT_EQ(tx.slewSamples, 32);
  EXPECT_EQ(tx.rampCounter, 33.0);
  EXPECT_DOUBLE_EQ(tx.c_pre, 0.05);
  EXPECT_DOUBLE_EQ(tx.c_pst1, -0.1);
  EXPECT_DOUBLE_EQ(tx.c_pst2, 0.025);
  EXPECT_DOUBLE_EQ(tx.c_main, 0.825);
  EXPECT_EQ(tx.DelayLength(), 128u);
  for (uint64_t k = 0; k < tx.DelayLength(); ++k) EXPECT_EQ(tx.DelayAt(k), 0.0);

  Configure(tx, 32, 100);
  ASSERT_TRUE(tx.Initialize());
  EXPECT_DOUBLE_EQ(tx.c_pst1, -0.05);
  EXPECT_DOUBLE_EQ(tx.c_main, 0.95);
  EXPECT_EQ(tx.c_pre, 0.0);
  EXPECT_EQ(tx.c_pst2, 0.0);
}

TEST(KorvathTx, UnusableSlewTimesGiveAOneSampleRamp) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double ps;
    int32_t samples;
  } cases[] = {{100, 32}, {50, 16}, {3.125, 1}, {1, 1},   {0, 1},    {-50, 1},
               {400, 1},  {103, 32}, {1e300, 1}, {inf, 1}, {-inf, 1}, {nan, 1}};
  for (const Case &c : cases) {
    Tx tx;
    Configure(tx, 32, c.ps);
    ASSERT_TRUE(tx.Initialize());
    EXPECT_EQ(tx.slewSamples, c.samples) << c.ps;
  }
}

TEST(KorvathTx, FewerThanOneSamplePerBitIsRefused) {
  for (int32_t spb : {0, -1, -2147483647 - 1}) {
    Tx tx;
    Configure(tx, spb, 100);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tx.Initialize());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "SamplesPerBit must be >= 1\n");
    tx.input = 0.5;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(tx.Run());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(tx.DelayLength(), 0u);
  }
  // A usable Tx that is later given a bad spb drops its old line.
  Tx tx;
  Configure(tx, 4, 100);
  ASSERT_TRUE(tx.Initialize());
  Configure(tx, 0, 100);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tx.Initialize());
  EXPECT_FALSE(tx.Run());
  testing::internal::GetCapturedStderr();
}

TEST(KorvathTx, HandWorkedRows) {
  for (const korvathtest::TxRow &row : korvathtest::HandRows()) {
    Tx tx;
    Configure(tx, row.spb, row.s.slewTimePs, row.s.prePercent, row.s.pst1Percent,
              row.s.pst2Percent, row.s.swingMv);
    ASSERT_TRUE(tx.Initialize()) << row.name;
    EXPECT_EQ(tx.slewSamples, row.slewSamples) << row.name;
    ASSERT_EQ(row.input.size(), row.output.size()) << row.name;
    for (size_t n = 0; n < row.input.size(); ++n) {
      tx.input = row.input[n];
      ASSERT_TRUE(tx.Run());
      EXPECT_NEAR(tx.output, row.output[n], 1e-12) << row.name << ", sample " << n;
    }
  }
}

TEST(KorvathTx, RingHoldsTheLevelsNewestFirstAcrossManyTurns) {
  Tx tx;
  Configure(tx, 3, 100, 0, -10, 0, 1000); // 12 elements, main 0.95, post-1 -0.05
  ASSERT_TRUE(tx.Initialize());
  std::vector<double> levels;
  for (int i = 0; i < 50; ++i) {
    tx.input = (i * 7919 % 13) / 13.0 - 0.5; // a new level nearly every sample
    ASSERT_TRUE(tx.Run());
    levels.push_back(tx.level);
    ASSERT_GE(tx.level, -0.5);
    ASSERT_LE(tx.level, 0.5);
    for (uint64_t k = 0; k < tx.DelayLength(); ++k) {
      double expected = k <= static_cast<uint64_t>(i) ? levels[i - k] : 0.0;
      ASSERT_EQ(tx.DelayAt(k), expected) << i << " " << k;
    }
    const double main = i >= 3 ? levels[i - 3] : 0.0;
    const double post1 = i >= 6 ? levels[i - 6] : 0.0;
    ASSERT_NEAR(tx.output, 0.95 * main - 0.05 * post1, 1e-15) << i;
  }
}

TEST(KorvathTx, FirstSampleTakesTheStimulusLimited) {
  for (double x : {2.0, -3.0, 0.2, std::numeric_limits<double>::infinity()}) {
    Tx tx;
    Configure(tx, 8, 100);
    ASSERT_TRUE(tx.Initialize());
    tx.input = x;
    ASSERT_TRUE(tx.Run());
    EXPECT_EQ(tx.level, x > 0.5 ? 0.5 : (x < -0.5 ? -0.5 : x)) << x;
    EXPECT_EQ(tx.started, 1.0);
  }
}

TEST(KorvathModel, SetupHandsTxTheParametersUnconverted) {
  Korvath m;
  m.SlewTime = 70;
  m.Pre = 3;
  m.Pst1 = -4;
  m.Pst2 = 5;
  m.Swing = 900;
  m.SamplesPerBit = 32.9; // a fractional value is truncated
  m.BitTime = 2e-10;
  ASSERT_TRUE(m.Setup());
  const Tx &tx = m.GetTx();
  EXPECT_EQ(tx.SlewTime, 70);
  EXPECT_EQ(tx.Pre, 3);
  EXPECT_EQ(tx.Pst1, -4);
  EXPECT_EQ(tx.Pst2, 5);
  EXPECT_EQ(tx.Swing, 900);
  EXPECT_EQ(tx.samplesPerBit, 32);
  EXPECT_EQ(tx.bitTime, 2e-10);
  EXPECT_EQ(m.In.GetSize(), 1u);
  EXPECT_EQ(m.Out.GetMaxSize(), 1u);
}

TEST(KorvathModel, SamplesPerBitNoTxCanUseFailsInitialize) {
  for (double spb : {0.0, 0.6, -3.0, 1e20, -1e20, std::numeric_limits<double>::quiet_NaN()}) {
    Korvath m;
    m.SamplesPerBit = spb;
    EXPECT_TRUE(m.Setup()) << spb;
    EXPECT_LE(m.GetTx().samplesPerBit, 0) << spb;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(m.Initialize()) << spb;
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(m.Finalize());
  }
}

TEST(KorvathModel, RunMovesOneSampleThroughTxAndAllocatesNothing) {
  Korvath m;
  m.In.SetStorage(new double[1], 1, 1, 0);
  m.Out.SetStorage(new double[1], 1, 1, 0);
  ASSERT_TRUE(m.Setup());
  ASSERT_TRUE(m.Initialize());
  ASSERT_TRUE(m.Initialize()); // the first connections are released (leak check)
  // A second Initialize converts the units again; a fresh Setup restores them.
  ASSERT_TRUE(m.Setup());
  ASSERT_TRUE(m.Initialize());
  const int64_t before = AllocRequests();
  double last = 0.0;
  for (int i = 0; i < 20000; ++i) {
    m.In.Sample() = ((i / 32) * 2654435761u >> 7) & 1 ? 0.5 : -0.5;
    ASSERT_TRUE(m.Run());
    last = m.Out.Sample();
    ASSERT_EQ(last, m.GetTx().output);
  }
  EXPECT_EQ(AllocRequests(), before);
  EXPECT_TRUE(std::isfinite(last));
  EXPECT_TRUE(m.Finalize());
  EXPECT_TRUE(m.Finalize()); // nothing released twice
  m.In.Release(nullptr);
  m.Out.Release(nullptr);
}

} // namespace
