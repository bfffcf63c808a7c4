// The receiver's clock and data recovery and its output stage, on their own.
#include "models/Welbrook_rx/cdr.h"
#include "models/Welbrook_rx/rx_dc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using Varnholt::cdr;
using Varnholt::rx_dc;

struct CdrTrace {
  std::vector<double> clock;  // clock level after every sample
  std::vector<int64_t> rises; // samples on which the clock rose
  // Unit-interval lengths between consecutive rises.
  std::vector<int64_t> Intervals() const {
    std::vector<int64_t> d;
    for (size_t i = 1; i < rises.size(); ++i) d.push_back(rises[i] - rises[i - 1]);
    return d;
  }
};

cdr MakeCdr(int32_t n, int32_t threshold = 0, int32_t settling = 4) {
  cdr c;
  c.N = n;
  c.VotingThreshold = threshold;
  c.SettlingTime = settling;
  EXPECT_TRUE(c.Setup());
  EXPECT_TRUE(c.Initialize());
  return c;
}

CdrTrace Drive(cdr &c, int64_t samples, const std::function<double(int64_t)> &input) {
  CdrTrace t;
  double previous = c.clock;
  for (int64_t i = 0; i < samples; ++i) {
    c.input = input(i);
    EXPECT_TRUE(c.Run());
    EXPECT_EQ(std::memcmp(&c.data, &c.input, sizeof(double)), 0); // NaN too
    t.clock.push_back(c.clock);
    if (previous <= 0.0 && c.clock > 0.0) t.rises.push_back(i);
    previous = c.clock;
  }
  return t;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Alternating bits whose transitions lie `offset` samples after the nominal
// boundaries at multiples of 32 (negative: before them).
std::function<double(int64_t)> Alternating(int64_t offset) {
  return [offset](int64_t t) { return FloorDiv(t - offset, 32) % 2 == 0 ? 1.0 : -1.0; };
}

// Unit intervals other than 32 samples: (index of the interval, its length).
std::vector<std::pair<size_t, int64_t>> Steps(const CdrTrace &t) {
  std::vector<std::pair<size_t, int64_t>> s;
  auto d = t.Intervals();
  for (size_t i = 0; i < d.size(); ++i)
    if (d[i] != 32) s.emplace_back(i, d[i]);
  return s;
}

TEST(Cdr, ConstantInputKeepsThe32SampleClock) {
  for (double level : {1.0, -1.0}) {
    cdr c = MakeCdr(32);
    CdrTrace t = Drive(c, 32 * 200, [level](int64_t) { return level; });
    for (size_t i = 0; i < t.clock.size(); ++i)
      ASSERT_EQ(t.clock[i], (i % 32) < 16 ? 1.0 : 0.0) << "sample " << i;
    // The first group's first comparison has no previous bit: no vote at all
    // for a constant input of either sign.
    EXPECT_EQ(c.vote, 0);
    ASSERT_FALSE(t.rises.empty());
    EXPECT_EQ(t.rises.front(), 32);
    EXPECT_TRUE(Steps(t).empty());
  }
}

TEST(Cdr, TransitionsAfterTheBoundaryLengthenOneInterval) {
  cdr c = MakeCdr(32);
  // The first group closes on sample 7 * 32 + 16; its first comparison has
  // no earlier bit, the other seven are transitions that vote early.
  Drive(c, 7 * 32 + 17, Alternating(2));
  EXPECT_EQ(c.groups, 1);
  EXPECT_EQ(c.vote, -7);

  cdr d = MakeCdr(32);
  CdrTrace t = Drive(d, 32 * 400, Alternating(2));
  auto steps = Steps(t);
  ASSERT_EQ(steps.size(), 1u);
  // Rises mark unit intervals 1, 2, ...: interval 7 is the eighth one.
  EXPECT_EQ(steps[0].first, 6u);
  EXPECT_EQ(steps[0].second, 33);
}

TEST(Cdr, TransitionsBeforeTheBoundaryShortenOneInterval) {
  cdr c = MakeCdr(32);
  Drive(c, 7 * 32 + 17, Alternating(-2));
  EXPECT_EQ(c.vote, 7);

  cdr d = MakeCdr(32);
  CdrTrace t = Drive(d, 32 * 400, Alternating(-2));
  auto steps = Steps(t);
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].first, 6u);
  EXPECT_EQ(steps[0].second, 31);
}

TEST(Cdr, AtMostOnePhaseStepWithTheDefaults) {
  std::mt19937 rng(7);
  for (int64_t offset = -16; offset <= 16; offset += 3) {
    std::vector<double> bits(2000);
    for (double &b : bits) b = (rng() & 1u) ? 1.0 : -1.0;
    cdr c = MakeCdr(32);
    CdrTrace t = Drive(c, 32 * 1990, [&](int64_t s) {
      return bits[static_cast<size_t>(FloorDiv(s - offset, 32) + 4)];
    });
    EXPECT_LE(Steps(t).size(), 1u) << "offset " << offset;
  }
}

TEST(Cdr, ThresholdAtLeastSettlingTimeStepsEveryThresholdPlusOneGroups) {
  cdr c = MakeCdr(32, 4, 4);
  CdrTrace t = Drive(c, 32 * 400, Alternating(2));
  auto steps = Steps(t);
  ASSERT_GE(steps.size(), 3u);
  for (size_t i = 0; i < steps.size(); ++i) {
    // The first step closes group 5 (interval 39); then one every 5 groups.
    EXPECT_EQ(steps[i].first, 38u + 40u * i);
    EXPECT_TRUE(steps[i].second == 31 || steps[i].second == 33);
  }
  // The boundary moves later until the edge sample sees the transition.
  EXPECT_EQ(steps[0].second, 33);
  EXPECT_EQ(steps[1].second, 33);
  EXPECT_EQ(steps[2].second, 31);

  // A negative SettlingTime never ends the first pause.
  cdr d = MakeCdr(32, 4, -1);
  EXPECT_EQ(Steps(Drive(d, 32 * 400, Alternating(2))).size(), 1u);
}

TEST(Cdr, TinyUnitIntervals) {
  // N = 1: edge and data decisions share every sample and the clock falls
  // back to 0.0 on each, so it never rises.
  cdr one = MakeCdr(1);
  CdrTrace t1 = Drive(one, 1000, Alternating(0));
  EXPECT_TRUE(t1.rises.empty());
  for (double c : t1.clock) EXPECT_EQ(c, 0.0);

  // N = 2: the step phase N - 3 is never reached.
  cdr two = MakeCdr(2);
  std::mt19937 rng(3);
  CdrTrace t2 = Drive(two, 4000, [&](int64_t) { return (rng() & 1u) ? 1.0 : -1.0; });
  for (int64_t d : t2.Intervals()) EXPECT_EQ(d, 2);
}

TEST(Cdr, InitializeRestartsAndZeroOrNaNCountsAsLow) {
  cdr c = MakeCdr(32);
  Drive(c, 32 * 100, [](int64_t) { return 1.0; });
  ASSERT_EQ(c.D[0], 1);
  ASSERT_TRUE(c.Initialize());
  EXPECT_EQ(c.k, 1);
  EXPECT_EQ(c.p, 0);
  EXPECT_EQ(c.clock, 1.0);
  EXPECT_EQ(c.vote, 0);
  EXPECT_EQ(c.groups, 0);
  EXPECT_EQ(c.settling, 0);
  EXPECT_EQ(c.settleCount, 0);
  // After a restart the last bit of the earlier run (+1) is not the previous
  // bit: 0.0 and NaN, both low, vote nothing.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Drive(c, 32 * 9, [nan](int64_t s) { return s < 32 * 4 ? 0.0 : nan; });
  EXPECT_EQ(c.vote, 0);
  EXPECT_EQ(c.D[1], -1);
}

TEST(RxDc, LimitsWithTheSettingsGain) {
  rx_dc r;
  // Defined before the first write: an invalid setting hands on 0.0.
  r.setting = 16;
  r.input = 1.0;
  EXPECT_TRUE(r.Run());
  EXPECT_EQ(r.output, 0.0);

  for (int32_t s = 0; s < 16; ++s) {
    r.setting = s;
    r.input = 0.0;
    EXPECT_TRUE(r.Run());
    EXPECT_EQ(r.output, 0.0);
    r.input = 1.0;
    r.Run();
    EXPECT_LT(r.output, 0.288);
    EXPECT_GT(r.output, 0.2879);
    r.input = -1.0;
    r.Run();
    EXPECT_GT(r.output, -0.288);
    EXPECT_LT(r.output, -0.2879);
  }
  r.setting = 15;
  r.input = 0.01;
  r.Run();
  EXPECT_DOUBLE_EQ(r.output, 0.288 * std::tanh(0.0881));
  r.setting = 0;
  r.input = 0.001;
  r.Run();
  EXPECT_DOUBLE_EQ(r.output, std::tanh(0.001 * 12.28) * 0.288);

  // Out of range: the output keeps the previous value.
  const double kept = r.output;
  for (int32_t s : {16, -1}) {
    r.setting = s;
    r.input = 5.0;
    EXPECT_TRUE(r.Run());
    EXPECT_EQ(r.output, kept);
  }
}

} // namespace
