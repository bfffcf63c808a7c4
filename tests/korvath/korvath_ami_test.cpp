// Korvath_x64.so end to end, loaded by path as a simulator loads it.
#include "host/AmiLoader.h"
#include "tests/korvath/KorvathRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using korvathtest::kBitTime;
using korvathtest::Settings;

constexpr double kInterval32 = kBitTime / 32; // 3.125 ps, 32 samples per bit

class KorvathAmi : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_TRUE(lib_.Open(std::string(VARNHOLT_LIB_DIR) + "/Korvath_x64.so", error)) << error;
  }
  static void TearDownTestSuite() { lib_.CloseLibrary(); }

  static std::string Params(const Settings &s) {
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "(Korvath (SlewTime %.17g) (Pre %.17g) (Pst1 %.17g) (Pst2 %.17g) (Swing %.17g))",
                  s.slewTimePs, s.prePercent, s.pst1Percent, s.pst2Percent, s.swingMv);
    return buf;
  }

  // Runs the library with all five parameters given and expects success.
  static std::vector<double> Transmit(const Settings &s, const std::vector<double> &wave,
                                      int64_t block = 0, double interval = kInterval32) {
    Varnholt::AmiRunResult r = Varnholt::AmiRun(lib_, Params(s), interval, kBitTime, wave, block);
    EXPECT_EQ(r.initResult, 1) << r.message;
    EXPECT_FALSE(r.messageGiven) << r.message;
    for (int32_t g : r.getWaveResults) EXPECT_EQ(g, 1);
    EXPECT_EQ(r.closeResult, 1);
    EXPECT_TRUE(r.clockTimes.empty());
    return r.wave;
  }

  static Varnholt::AmiLibrary lib_;
};
Varnholt::AmiLibrary KorvathAmi::lib_;

std::vector<double> Step(size_t low, size_t high, double a = -0.5, double b = 0.5) {
  std::vector<double> w(low, a);
  w.insert(w.end(), high, b);
  return w;
}

bool BitIdentical(const std::vector<double> &a, const std::vector<double> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::string Sentence(const char *name) {
  return std::string("The IBIS-AMI model, Korvath, is unable to initialize the parameter ") + name +
         " from the AMI_Init arguments.  The model will use the default setting. ";
}

TEST_F(KorvathAmi, MissingParametersGiveOneSentenceEachInOrderAndDefaults) {
  const std::vector<double> wave = Varnholt::AmiPrbsWave(200, 32, 0.5, 3);
  for (const char *params : {"", "(Korvath)", "(Other (SlewTime 50))", "(Korvath (SlewTime"}) {
    Varnholt::AmiRunResult r = Varnholt::AmiRun(lib_, params, kInterval32, kBitTime, wave, 0);
    EXPECT_EQ(r.initResult, 1) << params;
    EXPECT_TRUE(r.messageGiven);
    EXPECT_EQ(r.message, Sentence("SlewTime") + Sentence("Pre") + Sentence("Pst1") +
                             Sentence("Pst2") + Sentence("Swing"))
        << params;
    // The defaults: SlewTime 100, Pre 0, Pst1 -10, Pst2 0, Swing 500.
    EXPECT_TRUE(BitIdentical(r.wave, Transmit({100, 0, -10, 0, 500}, wave))) << params;
  }
}

TEST_F(KorvathAmi, OnlyUnreadableParametersAreReported) {
  const std::vector<double> wave = Varnholt::AmiPrbsWave(100, 32, 0.5, 5);
  Varnholt::AmiRunResult r = Varnholt::AmiRun(
      lib_, "(Korvath (SlewTime 50) (Pst1 \"low\") (Swing 800) (Pre 5))", kInterval32, kBitTime,
      wave, 0);
  EXPECT_EQ(r.initResult, 1);
  EXPECT_EQ(r.message, Sentence("Pst1") + Sentence("Pst2"));
  Settings s;
  s.slewTimePs = 50;
  s.prePercent = 5;
  s.swingMv = 800;
  EXPECT_TRUE(BitIdentical(r.wave, Transmit(s, wave)));
}

TEST_F(KorvathAmi, AllParametersGivenLeaveTheMessageUntouched) {
  const std::string p = Params(Settings());
  std::vector<char> params(p.c_str(), p.c_str() + p.size() + 1);
  void *handle = nullptr;
  char sentinel[] = "untouched";
  char *msg = sentinel;
  char *out = nullptr;
  EXPECT_EQ(lib_.Init(nullptr, 0, 0, kInterval32, kBitTime, params.data(), &out, &handle, &msg), 1);
  EXPECT_EQ(msg, sentinel);
  double wave[3] = {0.5, 0.5, 0.5};
  double clock[4] = {7, 7, 7, 7};
  EXPECT_EQ(lib_.GetWave(wave, 3, clock, &out, handle), 1);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(clock[1], 7.0);
  EXPECT_EQ(lib_.Close(handle), 1);
}

// Outputs over stretches of samples: value + step (j - from) for j in
// [from, to), within the row's tolerance.
struct Span {
  size_t from, to;
  double value, step;
};
Span At(size_t j, double value) { return {j, j + 1, value, 0}; }
constexpr size_t kEnd = SIZE_MAX;

// With the main cursor alone and a swing of 1 V (m1k) the output is the level
// one unit interval (32 samples) earlier: steps at 128, 64 or 160 are seen at
// 160, 96 or 192. A ramp moves 2 / slew samples per sample to the limit.
TEST_F(KorvathAmi, OutputsAtChosenSamples) {
  const Settings m1k{100, 0, 0, 0, 1000};
  const std::vector<double> low(400, -0.5), high(400, 0.5), at64 = Step(64, 64), at160 = Step(160, 160);
  struct Row {
    const char *name;
    Settings s;
    std::vector<double> wave;
    double tolerance;
    std::vector<Span> spans;
  } rows[] = {
      // 32 slew samples: 0.0625 per sample, at the limit after 16.
      {"rising step", m1k, Step(128, 128), 0, {{0, 32, 0, 0}, {32, 160, -0.5, 0}, {160, 176, -0.4375, 0.0625},
                                               {176, kEnd, 0.5, 0}}},
      {"falling step", m1k, Step(128, 128, 0.5, -0.5), 0, {{160, 176, 0.4375, -0.0625}}},
      // Before three unit intervals not every tap has seen the level.
      {"settled high, default taps", Settings(), high, 1e-15,
       {At(0, 0), At(32, 0.25 * 0.95), At(64, 0.25 * 0.95 - 0.25 * 0.05), {96, kEnd, 0.225, 0}}},
      {"settled low, default taps", Settings(), low, 1e-15, {{96, kEnd, -0.225, 0}}},
      // 50 ps: 16 samples, 0.125 per sample, at the limit after 8.
      {"SlewTime 50", {50, 0, 0, 0, 1000}, at64, 0, {{96, 103, -0.375, 0.125}, At(103, 0.5)}},
      // Below one sample, and beyond one unit interval: an immediate edge.
      {"SlewTime 1", {1, 0, 0, 0, 1000}, at64, 0, {At(95, -0.5), At(96, 0.5)}},
      {"SlewTime 0", {0, 0, 0, 0, 1000}, at64, 0, {At(95, -0.5), At(96, 0.5)}},
      {"SlewTime -100", {-100, 0, 0, 0, 1000}, at64, 0, {At(95, -0.5), At(96, 0.5)}},
      {"SlewTime 400", {400, 0, 0, 0, 1000}, at64, 0, {At(95, -0.5), At(96, 0.5)}},
      {"SlewTime 1e300", {1e300, 0, 0, 0, 1000}, at64, 0, {At(95, -0.5), At(96, 0.5)}},
      // Exactly one unit interval is still a ramp (32 samples).
      {"SlewTime 100", m1k, at64, 0, {At(96, -0.4375)}},
      // Immediate edges. Pre 20: weight 0.1 on the newest level, main 0.9.
      {"Pre 20", {1, 20, 0, 0, 1000}, at160, 1e-15,
       {At(159, -0.5), At(160, -0.4), At(191, -0.4), At(192, 0.5)}},
      // Pst1 -20: de-emphasis for one unit interval after the main cursor.
      {"Pst1 -20", {1, 0, -20, 0, 1000}, at160, 1e-15,
       {At(191, -0.4), At(192, 0.5), At(223, 0.5), At(224, 0.4)}},
      // Pst2 -20: the same, lasting two unit intervals.
      {"Pst2 -20", {1, 0, 0, -20, 1000}, at160, 1e-15, {At(192, 0.5), At(255, 0.5), At(256, 0.4)}},
      // Positive post-cursor percentages still reduce the main cursor.
      {"Pst2 20", {1, 0, 0, 20, 1000}, at160, 1e-15, {At(192, 0.9 * 0.5 + 0.1 * -0.5), At(256, 0.5)}},
  };
  for (const Row &r : rows) {
    const std::vector<double> out = Transmit(r.s, r.wave);
    // A short output would leave the spans past its end unchecked.
    ASSERT_EQ(out.size(), r.wave.size()) << r.name;
    for (const Span &sp : r.spans)
      for (size_t j = sp.from; j < std::min(sp.to, out.size()); ++j)
        EXPECT_NEAR(out[j], sp.value + sp.step * static_cast<double>(j - sp.from), r.tolerance)
            << r.name << " " << j;
  }
}

TEST_F(KorvathAmi, SwingScalesTheWholeOutput) {
  const std::vector<double> wave = Varnholt::AmiPrbsWave(300, 32, 0.5, 9);
  Settings s;
  s.prePercent = 7;
  s.pst2Percent = -3;
  std::vector<double> half = Transmit(s, wave);
  s.swingMv = 1000;
  std::vector<double> full = Transmit(s, wave);
  s.swingMv = 0;
  std::vector<double> none = Transmit(s, wave);
  for (size_t j = 0; j < wave.size(); ++j) {
    EXPECT_EQ(full[j], 2.0 * half[j]) << j;
    EXPECT_EQ(none[j], 0.0) << j;
  }
  // Peak to peak: a settled level of 0.5 gives Swing / 2 before equalization.
  EXPECT_LE(*std::max_element(full.begin(), full.end()), 0.5 + 1e-12);
}

TEST_F(KorvathAmi, OutputLagsTheStimulusByOneUnitInterval) {
  const std::vector<double> wave = Varnholt::AmiPrbsWave(500, 32, 0.5, 17);
  Settings s;
  s.slewTimePs = 1;
  s.pst1Percent = 0;
  s.swingMv = 1000;
  std::vector<double> out = Transmit(s, wave);
  for (size_t j = 0; j < 32; ++j) EXPECT_EQ(out[j], 0.0);
  for (size_t j = 32; j < wave.size(); ++j) ASSERT_EQ(out[j], wave[j - 32]) << j;
}

TEST_F(KorvathAmi, HandWorkedRows) {
  for (const korvathtest::TxRow &row : korvathtest::HandRows()) {
    for (int64_t block : {0, 1, 3}) {
      const std::vector<double> out = Transmit(row.s, row.input, block, kBitTime / row.spb);
      ASSERT_EQ(out.size(), row.output.size()) << row.name;
      for (size_t n = 0; n < out.size(); ++n)
        EXPECT_NEAR(out[n], row.output[n], 1e-12)
            << row.name << ", block " << block << ", sample " << n;
    }
  }
}

// With immediate edges a +-0.5 stimulus is the level itself, so over a long
// stimulus (the delay line turning many times) each output is the four taps'
// weights, worked from the percentages, over the levels 0 to 3 unit
// intervals back (the pre-cursor the newest).
TEST_F(KorvathAmi, LongPseudoRandomStimulusIsTheFourTapSum) {
  struct Case {
    Settings s;
    int spb;
    double pre, main, pst1, pst2; // tap weights
  };
  const Case cases[] = {
      {{1, 0, -10, 0, 500}, 32, 0, 0.95, -0.05, 0},
      {{1, 10, -20, 5, 500}, 32, 0.05, 0.825, -0.1, 0.025},
      {{1, -15, 12, -8, 1200}, 32, -0.075, 0.825, 0.06, -0.04},
      {{1, 4, -30, 10, 750}, 33, 0.02, 0.78, -0.15, 0.05},
      {{250, 4, -30, 10, 750}, 7, 0.02, 0.78, -0.15, 0.05}, // 17.5 samples exceed 7
      {{1, 10, -20, 5, 500}, 1, 0.05, 0.825, -0.1, 0.025},  // four-element delay line
      {{1, 100, -80, 60, 500}, 16, 0.5, -0.2, -0.4, 0.3},   // negative main cursor
  };
  for (const Case &c : cases) {
    const std::vector<double> wave = Varnholt::AmiPrbsWave(2000, c.spb, 0.5, 11);
    const std::vector<double> out = Transmit(c.s, wave, 4096, kBitTime / c.spb);
    ASSERT_EQ(out.size(), wave.size());
    const double swing = c.s.swingMv / 1000.0;
    const size_t ui = static_cast<size_t>(c.spb);
    auto level = [&](size_t n, size_t back) { return n >= back ? swing * wave[n - back] : 0.0; };
    size_t mismatches = 0;
    for (size_t n = 0; n < out.size(); ++n) {
      const double want = c.pre * level(n, 0) + c.main * level(n, ui) + c.pst1 * level(n, 2 * ui) +
                          c.pst2 * level(n, 3 * ui);
      if (std::fabs(out[n] - want) > 1e-12 && mismatches++ < 5)
        ADD_FAILURE() << "spb " << c.spb << " sample " << n << ": " << out[n] << " vs " << want;
    }
    EXPECT_EQ(mismatches, 0u) << "spb " << c.spb;
  }
}

TEST_F(KorvathAmi, OutputDoesNotDependOnHowTheWaveIsSplit) {
  std::vector<double> wave = Varnholt::AmiPrbsWave(700, 32, 0.5, 23);
  for (size_t j = 5; j < wave.size(); j += 97) wave[j] *= 1.7; // off-level samples
  Settings s{80, 5, -15, 4, 600};
  const std::vector<double> whole = Transmit(s, wave, 0);
  for (int64_t block : {1, 7, 32, 96, 4096}) {
    EXPECT_TRUE(BitIdentical(Transmit(s, wave, block), whole)) << "block " << block;
  }

  // One sample, then 7, then whole bits, then the rest, on one handle.
  std::string p = Params(s);
  std::vector<char> params(p.begin(), p.end());
  params.push_back('\0');
  void *handle = nullptr;
  char *msg = nullptr, *out = nullptr;
  ASSERT_EQ(lib_.Init(nullptr, 0, 0, kInterval32, kBitTime, params.data(), &out, &handle, &msg), 1);
  std::vector<double> w = wave;
  std::vector<double> clock(w.size() + 4);
  size_t at = 0;
  for (size_t n : {size_t(1), size_t(7), size_t(32 * 40), w.size() - 1 - 7 - 32 * 40}) {
    EXPECT_EQ(lib_.GetWave(w.data() + at, static_cast<int32_t>(n), clock.data(), &out, handle), 1);
    at += n;
  }
  EXPECT_EQ(lib_.GetWave(w.data(), 0, clock.data(), &out, handle), 1); // empty call
  EXPECT_EQ(lib_.Close(handle), 1);
  EXPECT_TRUE(BitIdentical(w, whole));
}

TEST_F(KorvathAmi, NonFiniteSamplesGiveBoundedOutputAndTheModelRecovers) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Settings s{100, 10, -20, 5, 500};
  const double bound = 0.25 * (0.05 + 0.825 + 0.1 + 0.025) + 1e-12;
  for (double amplitude : {0.5, 1.0}) {
    std::vector<double> wave = Varnholt::AmiPrbsWave(400, 32, amplitude, 31);
    std::vector<double> asLow = wave;
    for (size_t j = 100; j + 90 < wave.size(); j += 211) {
      wave[j] = nan;
      asLow[j] = -0.5;
      wave[j + 50] = inf;
      asLow[j + 50] = inf;
      wave[j + 90] = -inf;
      asLow[j + 90] = -inf;
    }
    wave[0] = nan; // before the first ramp can start
    asLow[0] = -0.5;
    for (int64_t block : {0, 1, 7}) {
      std::vector<double> out = Transmit(s, wave, block);
      for (size_t j = 0; j < out.size(); ++j) {
        ASSERT_TRUE(std::isfinite(out[j])) << j;
        ASSERT_LE(std::fabs(out[j]), bound) << j;
      }
      // A NaN reads as the low level; infinities are limited like any level.
      EXPECT_TRUE(BitIdentical(out, Transmit(s, asLow, block)));
    }
  }
}

TEST_F(KorvathAmi, FewerThanOneSamplePerBitIsRefusedWithoutCrashing) {
  const std::vector<double> wave(64, 0.5);
  // A sample interval above twice the bit time gives 0 samples per bit.
  Varnholt::AmiRunResult r =
      Varnholt::AmiRun(lib_, Params(Settings()), 3 * kBitTime, kBitTime, wave, 16);
  EXPECT_EQ(r.initResult, 0);
  for (int32_t g : r.getWaveResults) EXPECT_EQ(g, 0);
  EXPECT_EQ(r.wave, wave); // untouched
  EXPECT_EQ(r.closeResult, 1);
  // Just above half a sample interval rounds up to one sample per bit.
  r = Varnholt::AmiRun(lib_, Params(Settings()), 1.9 * kBitTime, kBitTime, wave, 16);
  EXPECT_EQ(r.initResult, 1);
  EXPECT_EQ(r.closeResult, 1);
}

} // namespace
