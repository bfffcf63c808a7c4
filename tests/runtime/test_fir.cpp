// The polyphase FIR: Setup checks and their order, and the arithmetic against
// a plain upsample-filter-downsample reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <vector>

#include "runtime/FIR.h"
#include "runtime/FirKernel.h"
#include "tests/runtime/BlockTest.h"

using namespace Varnholt;
using blocktest::CerrCapture;

namespace {

std::string SetupMessages(int32_t numTaps, int32_t decimation, int32_t phase,
                          int32_t interpolation, bool &result) {
  FIR<double, 0> f;
  double taps[4] = {1, 1, 1, 1};
  f.taps = taps;
  f.NumTaps = numTaps;
  f.Decimation = decimation;
  f.DecimationPhase = phase;
  f.Interpolation = interpolation;
  CerrCapture err;
  result = f.Setup();
  return err.Text();
}

// Runs a FIR with the given factors over the input and collects all outputs.
template <class T, int N>
std::vector<T> RunFir(const std::vector<T> &taps, int32_t D, int32_t I, int32_t phase,
                      const std::vector<T> &input) {
  FIR<T, N> f;
  f.taps = const_cast<T *>(taps.data());
  f.NumTaps = static_cast<int32_t>(taps.size());
  f.Decimation = D;
  f.Interpolation = I;
  f.DecimationPhase = phase;
  EXPECT_TRUE(f.Setup());
  std::vector<T> in(static_cast<size_t>(D)), out(static_cast<size_t>(I));
  f.input.SetStorage(in.data(), in.size(), in.size(), 0);
  f.output.SetStorage(out.data(), out.size(), out.size(), 0);
  EXPECT_TRUE(f.Initialize());
  std::vector<T> result;
  for (size_t i = 0; i + static_cast<size_t>(D) <= input.size(); i += static_cast<size_t>(D)) {
    for (int32_t j = 0; j < D; ++j) in[static_cast<size_t>(j)] = input[i + static_cast<size_t>(j)];
    EXPECT_TRUE(f.Run());
    result.insert(result.end(), out.begin(), out.end());
  }
  EXPECT_TRUE(f.Finalize());
  return result;
}

// Rate change the textbook way: insert I - 1 zeros after every input,
// convolve with the taps, keep every D-th sample starting at phase.
std::vector<double> Reference(const std::vector<double> &taps, int32_t D, int32_t I,
                              int32_t phase, const std::vector<double> &input) {
  std::vector<double> up(input.size() * static_cast<size_t>(I), 0.0);
  for (size_t j = 0; j < input.size(); ++j) up[j * static_cast<size_t>(I)] = input[j];
  std::vector<double> y;
  const size_t outputs = input.size() / static_cast<size_t>(D) * static_cast<size_t>(I);
  for (size_t n = 0; n < outputs; ++n) {
    const long at = static_cast<long>(n) * D + phase;
    double acc = 0.0;
    for (size_t t = 0; t < taps.size(); ++t) {
      const long k = at - static_cast<long>(t);
      if (k >= 0 && k < static_cast<long>(up.size())) acc += taps[t] * up[static_cast<size_t>(k)];
    }
    y.push_back(acc);
  }
  return y;
}

} // namespace

TEST(FIRSetup, MessagesInOrder) {
  bool ok = true;
  // Every check of the first group reports; Decimation 0 with phase 0 also
  // fails the phase-below-decimation check.
  EXPECT_EQ(SetupMessages(0, 0, 0, 1, ok), "There must be at least one Tap\n"
                                           "Decimation must be > 0\n"
                                           "DecimationPhase must be < Decimation ratio\n");
  EXPECT_FALSE(ok);
  // Interpolation is checked after the group, and stops at once.
  EXPECT_EQ(SetupMessages(0, 1, 0, 0, ok),
            "There must be at least one Tap\nInterpolation must be > 0\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(SetupMessages(3, 2, -1, 1, ok), "DecimationPhase must be >= 0\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(SetupMessages(3, 2, 2, 1, ok), "DecimationPhase must be < Decimation ratio\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(SetupMessages(-4, 1, 0, -1, ok),
            "There must be at least one Tap\nInterpolation must be > 0\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(SetupMessages(4, 3, 2, 2, ok), "");
  EXPECT_TRUE(ok);

  // Taps never set count as none instead of being read at Run.
  FIR<double, 0> f;
  f.NumTaps = 3;
  CerrCapture err;
  EXPECT_FALSE(f.Setup());
  EXPECT_EQ(err.Text(), "There must be at least one Tap\n");
}

TEST(FIRSetup, Sizes) {
  FIR<double, 0> f;
  double taps[5] = {};
  f.taps = taps;
  f.NumTaps = 5;
  f.Interpolation = 2;
  f.Decimation = 3;
  ASSERT_TRUE(f.Setup());
  EXPECT_EQ(f.tapsPerPhase, 3);
  EXPECT_EQ(f.history.GetMaxSize(), 3u + 3u); // D + 5 / 2 + 1
  EXPECT_EQ(f.history.GetSize(), 3u);
  EXPECT_EQ(f.input.GetSize(), 3u);
  EXPECT_EQ(f.output.GetSize(), 2u);
  f.NumTaps = 4;
  ASSERT_TRUE(f.Setup());
  EXPECT_EQ(f.tapsPerPhase, 2);
}

TEST(FIRRun, ImpulseGivesTheTaps) {
  const std::vector<double> taps = {1, 2, 3};
  EXPECT_EQ((RunFir<double, 0>(taps, 1, 1, 0, {1, 0, 0, 0})), (std::vector<double>{1, 2, 3, 0}));
  EXPECT_EQ((RunFir<double, 1>(taps, 1, 1, 0, {0, 1, 1, 0, 0})),
            (std::vector<double>{0, 1, 3, 5, 3}));
}

TEST(FIRRun, DecimateTwoInterpolateThree) {
  // Distinct powers of two show which taps meet which input.
  const std::vector<double> taps = {1, 2, 4, 8, 16, 32, 64};
  const double a = 1.0, b = 1000.0;
  const std::vector<double> y = RunFir<double, 0>(taps, 2, 3, 0, {a, b});
  ASSERT_EQ(y.size(), 3u);
  EXPECT_EQ(y[0], 1 * a);          // phase 0 of the first input
  EXPECT_EQ(y[1], 4 * a);          // phase 2 of the first input
  EXPECT_EQ(y[2], 2 * b + 16 * a); // phase 1 of the second input
}

TEST(FIRRun, PolyphaseMatchesReference) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const int32_t factors[][3] = {{2, 3, 0}, {2, 3, 1}, {3, 2, 2}, {1, 4, 0},
                                {4, 1, 3}, {3, 5, 1}, {1, 1, 0}};
  for (const auto &fc : factors) {
    for (size_t ntaps : {1u, 5u, 12u}) {
      std::vector<double> taps(ntaps), input(60);
      for (double &t : taps) t = u(rng);
      for (double &x : input) x = u(rng);
      const auto got = RunFir<double, 0>(taps, fc[0], fc[1], fc[2], input);
      const auto want = Reference(taps, fc[0], fc[1], fc[2], input);
      ASSERT_EQ(got.size(), want.size());
      for (size_t i = 0; i < got.size(); ++i)
        ASSERT_NEAR(got[i], want[i], 1e-12)
            << "D " << fc[0] << " I " << fc[1] << " phase " << fc[2] << " taps " << ntaps
            << " output " << i;
    }
  }
}

TEST(FIRRun, ComplexTaps) {
  using C = std::complex<double>;
  const std::vector<C> taps = {C(1, 1), C(0, 2)};
  const auto y = RunFir<C, 0>(taps, 1, 1, 0, {C(1, 0), C(0, 1), C(0, 0)});
  ASSERT_EQ(y.size(), 3u);
  EXPECT_EQ(y[0], C(1, 1));
  EXPECT_EQ(y[1], C(1, 1) * C(0, 1) + C(0, 2));
  EXPECT_EQ(y[2], C(0, 2) * C(0, 1));
}

TEST(FIRLifecycle, InitializeRestartsAndFinalizeReleases) {
  FIR<double, 0> f;
  double taps[2] = {1, 1};
  f.taps = taps;
  f.NumTaps = 2;
  ASSERT_TRUE(f.Setup());
  double in = 0, out = 0;
  f.input.SetStorage(&in, 1, 1, 0);
  f.output.SetStorage(&out, 1, 1, 0);
  ASSERT_TRUE(f.Initialize());
  in = 5;
  f.Run();
  ASSERT_TRUE(f.Initialize()); // history zeroed again, old storage released
  in = 1;
  f.Run();
  EXPECT_EQ(out, 1.0);
  EXPECT_TRUE(f.Finalize());
  EXPECT_EQ(f.historyStorage, nullptr);
  EXPECT_TRUE(f.Finalize());
}

TEST(FIRRun, OutputBlockLargerThanItsStorage) {
  // Three outputs per firing into one attached sample must stay inside it.
  FIR<double, 0> f;
  double taps[3] = {1, 2, 4};
  f.taps = taps;
  f.NumTaps = 3;
  f.Interpolation = 3;
  ASSERT_TRUE(f.Setup());
  double in = 1, out = 0;
  f.input.SetStorage(&in, 1, 1, 0);
  f.output.SetStorage(&out, 1, 1, 0);
  ASSERT_TRUE(f.Initialize());
  EXPECT_TRUE(f.Run());
  EXPECT_EQ(out, 4.0); // the last output of the firing
}

// ---------------------------------------------------------------------------
// Without rate change: the block kernels of every instruction set this
// processor runs, against the ring loop.

namespace {

std::vector<SimdLevel> Levels() {
  std::vector<SimdLevel> levels = {SimdLevel::Portable};
  if (SupportedSimdLevel() >= SimdLevel::Avx2Fma) levels.push_back(SimdLevel::Avx2Fma);
  return levels;
}

// Lets SelectFirKernel pick the widest level again when a test ends.
struct LevelLimit {
  explicit LevelLimit(SimdLevel level) { LimitSimdLevel(level); }
  ~LevelLimit() { LimitSimdLevel(SimdLevel::Avx2Fma); }
};

// The input through a filter's Run and through its twin's ring loop.
void RunBoth(const std::vector<double> &taps, const std::vector<double> &input,
             std::vector<double> &fast, std::vector<double> &ring) {
  FIR<double, 0> f, g;
  double in[2] = {}, out[2] = {};
  for (FIR<double, 0> *p : {&f, &g}) {
    p->taps = const_cast<double *>(taps.data());
    p->NumTaps = static_cast<int32_t>(taps.size());
    ASSERT_TRUE(p->Setup());
  }
  f.input.SetStorage(&in[0], 1, 1, 0);
  f.output.SetStorage(&out[0], 1, 1, 0);
  g.input.SetStorage(&in[1], 1, 1, 0);
  g.output.SetStorage(&out[1], 1, 1, 0);
  ASSERT_TRUE(f.Initialize());
  ASSERT_TRUE(g.Initialize());
  fast.clear();
  ring.clear();
  for (double x : input) {
    in[0] = in[1] = x;
    ASSERT_TRUE(f.Run());
    ASSERT_TRUE(g.RunPolyphase());
    fast.push_back(out[0]);
    ring.push_back(out[1]);
  }
}

// Steps of random height held for random lengths, with noise on them.
std::vector<double> Stimulus(uint32_t seed, size_t n) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> x;
  while (x.size() < n) {
    const double level = u(rng);
    for (uint32_t k = 1 + rng() % 40; k > 0 && x.size() < n; --k) x.push_back(level + 0.01 * u(rng));
  }
  return x;
}

} // namespace

TEST(FIRBlocks, EveryKernelMatchesTheRingLoop) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  auto random = [&](size_t n) {
    std::vector<double> t(n);
    for (double &v : t) v = u(rng);
    return t;
  };
  auto zeros = [](size_t n) { return std::vector<double>(n, 0.0); };
  auto join = [](std::vector<std::vector<double>> parts) {
    std::vector<double> t;
    for (const auto &p : parts) t.insert(t.end(), p.begin(), p.end());
    return t;
  };
  struct Case {
    const char *name;
    std::vector<double> taps;
  };
  const Case cases[] = {
      {"7 taps, fewer than a block", random(7)},
      {"8 taps", random(8)},
      {"16 taps", random(16)},
      {"17 taps", random(17)},
      {"40 taps", random(40)},
      {"225 taps", random(225)},
      {"301 taps", random(301)},
      {"zeros around 100 taps", join({zeros(5), random(100), zeros(120)})},
      {"zeros around 9 taps", join({zeros(50), random(9), zeros(60)})},
      {"all zero", zeros(64)},
  };
  const std::vector<double> input = Stimulus(9, 2500);
  for (SimdLevel level : Levels()) {
    LevelLimit limit(level);
    for (const Case &c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", level " << static_cast<int>(level));
      std::vector<double> fast, ring;
      RunBoth(c.taps, input, fast, ring);
      double peak = 0.0, worst = 0.0;
      for (size_t i = 0; i < ring.size(); ++i) {
        peak = std::max(peak, std::fabs(ring[i]));
        worst = std::max(worst, std::fabs(fast[i] - ring[i]));
      }
      EXPECT_LE(worst, 1e-13 * peak);
    }
  }
}

TEST(FIRBlocks, InfiniteAndNaNInputsReachWhatTheyReachInTheRingLoop) {
  // Zero taps before and after the live ones: 0 times an infinite or NaN
  // input is NaN in the ring loop's sum.
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> taps(4, 0.0);
  for (int i = 0; i < 60; ++i) taps.push_back(u(rng));
  taps.resize(130, 0.0);
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> input = Stimulus(11, 1200);
  input[300] = inf;
  input[600] = std::numeric_limits<double>::quiet_NaN();
  input[900] = -inf;
  input[905] = inf;
  for (SimdLevel level : Levels()) {
    LevelLimit limit(level);
    SCOPED_TRACE(static_cast<int>(level));
    std::vector<double> fast, ring;
    RunBoth(taps, input, fast, ring);
    size_t nonFinite = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
      if (std::isnan(ring[i])) {
        EXPECT_TRUE(std::isnan(fast[i])) << i;
      } else if (std::isinf(ring[i])) {
        EXPECT_EQ(fast[i], ring[i]) << i;
      } else {
        EXPECT_NEAR(fast[i], ring[i], 1e-12) << i;
      }
      nonFinite += !std::isfinite(ring[i]);
    }
    // Each reaches its own output and the next 129; the last two overlap.
    EXPECT_EQ(nonFinite, 2u * 130u + 135u);
  }
}

TEST(FIRBlocks, InitializeStartsAgainFromRest) {
  const std::vector<double> input = Stimulus(13, 700);
  std::vector<double> taps(225);
  for (size_t i = 0; i < taps.size(); ++i) taps[i] = std::sin(0.1 * double(i)) / double(i + 1);
  FIR<double, 0> f;
  f.taps = taps.data();
  f.NumTaps = 225;
  ASSERT_TRUE(f.Setup());
  double in = 0.0, out = 0.0;
  f.input.SetStorage(&in, 1, 1, 0);
  f.output.SetStorage(&out, 1, 1, 0);
  std::vector<double> runs[2];
  for (std::vector<double> &y : runs) {
    ASSERT_TRUE(f.Initialize());
    for (double x : input) {
      in = x;
      f.Run();
      y.push_back(out);
    }
  }
  EXPECT_EQ(runs[0], runs[1]);
  // Filter gives what Run gives.
  ASSERT_TRUE(f.Initialize());
  for (size_t i = 0; i < input.size(); ++i) ASSERT_EQ(f.Filter(input[i]), runs[0][i]) << i;
  EXPECT_TRUE(f.Finalize());
}
