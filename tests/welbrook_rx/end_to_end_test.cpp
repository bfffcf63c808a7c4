// Welbrook_rx_x64 loaded and driven as a simulator drives it.
#include "ami/AmiEntry.h"
#include "host/AmiLoader.h"
#include "models/Welbrook_rx/Welbrook_rx.h"
#include "models/Welbrook_rx/cdr.h"
#include "models/Welbrook_rx/rx_dc.h"
#include "models/Welbrook_rx/rx_responses.h"
#include "tests/support/LiteralSchematic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace Varnholt;

constexpr int32_t kSpb = 32;
constexpr double kBitTime = 1e-10;
constexpr double kSampleInterval = kBitTime / kSpb;
// What the model's ClockTimes block uses: bit time / rounded samples per bit.
constexpr double kTick = kBitTime / kSpb;

class WelbrookRxLibrary : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(lib_.Open(std::string(VARNHOLT_LIB_DIR) + "/Welbrook_rx_x64" VARNHOLT_LIB_SUFFIX, error)) << error;
  }
  AmiLibrary lib_;
};

std::string Params(double eq, double horl) {
  return "(Welbrook_rx (EQ " + std::to_string(eq) + ") (HorL " + std::to_string(horl) +
         ") (VotingThreshold 0) (SettlingTime 4))";
}

// Taps of FIR k at the model's sample rate, made by the block itself.
std::vector<double> Taps(int k) {
  testsupport::ResponseFir f;
  EXPECT_TRUE(f.SetUpFrom(kWelbrookRxResponse[k], kWelbrookRxTime[k], kWelbrookRxLength,
                          static_cast<double>(kSpb) / kBitTime));
  return f.Taps();
}

std::vector<double> Convolve(const std::vector<double> &taps, const std::vector<double> &x) {
  std::vector<double> y(x.size(), 0.0);
  for (size_t n = 0; n < x.size(); ++n)
    for (size_t t = 0; t < taps.size() && t <= n; ++t) y[n] += taps[t] * x[n - t];
  return y;
}

double MaxDiff(const std::vector<double> &a, const std::vector<double> &b) {
  double m = 0.0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) m = std::max(m, std::fabs(a[i] - b[i]));
  return m;
}

std::vector<double> Limit(const std::vector<double> &y, int setting) {
  std::vector<double> out(y.size());
  for (size_t i = 0; i < y.size(); ++i)
    out[i] = std::tanh(y[i] * rx_dc::kGain[setting]) * rx_dc::kPeak;
  return out;
}

TEST_F(WelbrookRxLibrary, EqAndHorLSelectTheirResponse) {
  const std::vector<double> stimulus = AmiPrbsWave(200, kSpb, 1e-3, 5);
  std::vector<std::vector<double>> linear;
  for (int k = 0; k < 16; ++k) linear.push_back(Convolve(Taps(k), stimulus));

  struct Case {
    double eq, horl;
    int fir, setting;
  };
  std::vector<Case> cases;
  for (int e = 0; e < 8; ++e) {
    cases.push_back({double(e), 1.0, e, e});
    cases.push_back({double(e), 0.0, 8 + e, e});
  }
  // Muxes round half away from zero; rx_dc truncates.
  cases.push_back({2.6, 1.0, 3, 2});
  cases.push_back({2.6, 0.0, 11, 2});
  cases.push_back({-0.4, 1.0, 0, 0});
  cases.push_back({0.0, 0.49, 8, 0});
  cases.push_back({6.5, 0.5, 7, 6});

  for (const Case &c : cases) {
    SCOPED_TRACE("EQ " + std::to_string(c.eq) + " HorL " + std::to_string(c.horl));
    AmiRunResult r = AmiRun(lib_, Params(c.eq, c.horl), kSampleInterval, kBitTime, stimulus, 4096);
    ASSERT_EQ(r.initResult, 1);
    EXPECT_FALSE(r.messageGiven) << r.message;
    for (int32_t g : r.getWaveResults) ASSERT_EQ(g, 1);
    EXPECT_EQ(r.closeResult, 1);
    const std::vector<double> expected = Limit(linear[c.fir], c.setting);
    EXPECT_LT(MaxDiff(r.wave, expected), 1e-13);
    // Every other response (and every other gain) is far off.
    for (int k = 0; k < 16; ++k) {
      if (k != c.fir) {
        EXPECT_GT(MaxDiff(r.wave, Limit(linear[k], c.setting)), 1e-8) << "FIR " << k;
      }
    }
    if (c.setting != (c.fir % 8)) {
      EXPECT_GT(MaxDiff(r.wave, Limit(linear[c.fir], c.fir % 8)), 1e-8);
    }
  }
}

TEST_F(WelbrookRxLibrary, DefaultsAndTheirMessage) {
  const std::vector<double> stimulus = AmiPrbsWave(60, kSpb, 1e-3, 9);
  AmiRunResult r = AmiRun(lib_, "(Welbrook_rx)", kSampleInterval, kBitTime, stimulus, 0);
  ASSERT_EQ(r.initResult, 1);
  std::string expected;
  for (const char *p : {"VotingThreshold", "SettlingTime", "EQ", "HorL"})
    expected += std::string("The IBIS-AMI model, Welbrook_rx, is unable to initialize the parameter ") +
                p + " from the AMI_Init arguments.  The model will use the default setting. ";
  EXPECT_EQ(r.message, expected);
  EXPECT_LT(MaxDiff(r.wave, Limit(Convolve(Taps(0), stimulus), 0)), 1e-13);
}

// A handle with the message pointer AMI_Init handed out (null when it gave
// none) and the holder's message after the last call.
struct Handle {
  AmiLibrary &lib;
  void *h = nullptr;
  char *msg = nullptr;
  int32_t init = -1;
  explicit Handle(AmiLibrary &l, const std::string &params) : lib(l) {
    std::vector<char> p(params.begin(), params.end());
    p.push_back('\0');
    char *out = nullptr;
    init = lib.Init(nullptr, 0, 0, kSampleInterval, kBitTime, p.data(), &out, &h, &msg);
  }
  ~Handle() { lib.Close(h); }
  const std::string &Message() const {
    return static_cast<AmiModelHolder<Welbrook_rx> *>(h)->message;
  }
};

TEST_F(WelbrookRxLibrary, OutOfRangeSettingsFailAtTheFirstSample) {
  const std::vector<std::pair<double, double>> bad = {{8, 1},    {7.5, 1},   {-0.5, 1}, {-1, 0},
                                                      {7.5, 0},  {0, 2},     {0, 1.5},  {0, -0.5},
                                                      {3, -1e9}, {1e12, 1}};
  const std::string votingSentence =
      "The IBIS-AMI model, Welbrook_rx, is unable to initialize the parameter VotingThreshold "
      "from the AMI_Init arguments.  The model will use the default setting. ";
  const std::string runSentence = "Error occurred in Welbrook_rx::Run(). ";
  for (auto [eq, horl] : bad) {
    SCOPED_TRACE("EQ " + std::to_string(eq) + " HorL " + std::to_string(horl));
    Handle h(lib_, Params(eq, horl));
    ASSERT_EQ(h.init, 1);
    EXPECT_EQ(h.Message(), "");
    EXPECT_EQ(h.msg, nullptr) << "an empty message is not handed out";
    // The same setting with a message from AMI_Init in the host's hands.
    std::string params = Params(eq, horl);
    params.replace(params.find("(VotingThreshold 0) "), 20, "");
    Handle held(lib_, params);
    ASSERT_EQ(held.init, 1);
    ASSERT_NE(held.msg, nullptr);
    EXPECT_EQ(std::string(held.msg), votingSentence);
    for (int call = 0; call < 2; ++call) {
      std::vector<double> wave = AmiPrbsWave(4, kSpb, 0.4, 3);
      const std::vector<double> input = wave;
      std::vector<double> clock(16, -2.0);
      char *out = nullptr;
      testing::internal::CaptureStderr();
      EXPECT_EQ(lib_.GetWave(wave.data(), static_cast<int32_t>(wave.size()), clock.data(), &out,
                             h.h),
                0);
      const std::string err = testing::internal::GetCapturedStderr();
      EXPECT_NE(err.find("Control input signal value is equal to "), std::string::npos) << err;
      EXPECT_EQ(wave, input);
      EXPECT_EQ(clock[0], -1.0);
      EXPECT_EQ(clock[1], -2.0);
      testing::internal::CaptureStderr();
      EXPECT_EQ(lib_.GetWave(wave.data(), 4, clock.data(), &out, held.h), 0);
      testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(h.Message(), runSentence) << "once per handle";
    EXPECT_EQ(std::string(held.msg), votingSentence + runSentence)
        << "the pointer AMI_Init gave reads on, once per handle";
    EXPECT_EQ(held.msg, held.Message().c_str()) << "and the text has not moved";
  }
}

// Runs the wave through one handle in calls of the given sizes (cycled).
struct BlockRun {
  std::vector<double> wave;
  std::vector<double> clock; // every call's times, each call's -1.0 removed
  bool ok = true;
};

BlockRun RunInBlocks(AmiLibrary &lib, const std::string &params, std::vector<double> wave,
                     const std::vector<int32_t> &sizes) {
  BlockRun r;
  Handle h(lib, params);
  r.ok = h.init == 1;
  size_t at = 0;
  for (size_t i = 0; at < wave.size(); ++i) {
    const int32_t n = std::min<int32_t>(sizes[i % sizes.size()], int32_t(wave.size() - at));
    const size_t limit = size_t(n / kSpb) + 3;
    std::vector<double> clock(size_t(n) + 8, -2.0);
    char *out = nullptr;
    r.ok &= lib.GetWave(wave.data() + at, n, clock.data(), &out, h.h) == 1;
    size_t k = 0;
    while (k < clock.size() && clock[k] != -1.0) r.clock.push_back(clock[k++]);
    // Ended by -1.0, at most limit values written in all.
    EXPECT_LT(k, limit);
    EXPECT_EQ(clock[k + 1], -2.0);
    at += size_t(n);
  }
  r.wave = std::move(wave);
  return r;
}

// Clock rises of a cdr that sees the given signal: the samples on which the
// model must report a clock time.
std::vector<int64_t> ExpectedRises(const std::vector<double> &signal) {
  cdr c;
  c.N = kSpb;
  c.VotingThreshold = 0;
  c.SettlingTime = 4;
  c.Initialize();
  std::vector<int64_t> rises;
  double prev = c.clock;
  for (size_t i = 0; i < signal.size(); ++i) {
    c.input = signal[i];
    c.Run();
    if (prev <= 0.0 && c.clock > 0.0) rises.push_back(int64_t(i));
    prev = c.clock;
  }
  return rises;
}

void CheckClockTimes(const std::vector<double> &times, const std::vector<double> &signal,
                     bool expectStep) {
  ASSERT_FALSE(times.empty());
  const std::vector<int64_t> rises = ExpectedRises(signal);
  ASSERT_EQ(times.size(), rises.size());
  EXPECT_EQ(rises.front(), kSpb);
  int steps = 0;
  for (size_t i = 0; i < times.size(); ++i) {
    EXPECT_NEAR(times[i], double(rises[i]) * kTick, 1e-6 * kTick) << "time " << i;
    if (i > 0) {
      ASSERT_GT(times[i], times[i - 1]);
      const int64_t d = rises[i] - rises[i - 1];
      EXPECT_TRUE(d == kSpb || d == kSpb - 1 || d == kSpb + 1) << d;
      steps += d != kSpb;
    }
  }
  EXPECT_LE(steps, 1);
  if (expectStep) {
    EXPECT_EQ(steps, 1);
  }
}

TEST_F(WelbrookRxLibrary, ClockTimesOncePerUnitInterval) {
  const std::vector<double> stimulus = AmiPrbsWave(1500, kSpb, 0.5, 17);
  BlockRun r = RunInBlocks(lib_, "(Welbrook_rx)", stimulus, {4096});
  ASSERT_TRUE(r.ok);
  // The wave is the rx_dc output: the cdr adds no delay.
  EXPECT_LT(MaxDiff(r.wave, Limit(Convolve(Taps(0), stimulus), 0)), 1e-12);
  // The equalized edges lag the bit boundaries: the first vote is early.
  CheckClockTimes(r.clock, r.wave, true);

  // A constant input: no transitions, no step, a clock time per interval all
  // the same.
  BlockRun c = RunInBlocks(lib_, "(Welbrook_rx)", std::vector<double>(32 * 300, 0.2), {1000});
  ASSERT_TRUE(c.ok);
  for (size_t i = 240; i < c.wave.size(); ++i) ASSERT_EQ(c.wave[i], c.wave[240]);
  CheckClockTimes(c.clock, c.wave, false);
  EXPECT_EQ(c.clock.size(), 299u);
}

TEST_F(WelbrookRxLibrary, CallSizesDoNotChangeTheResult) {
  const std::vector<double> stimulus = AmiPrbsWave(700, kSpb, 0.3, 23);
  const std::string params = Params(5, 0);
  const BlockRun whole = RunInBlocks(lib_, params, stimulus, {int32_t(stimulus.size())});
  ASSERT_TRUE(whole.ok);
  std::mt19937 rng(11);
  std::vector<int32_t> random;
  for (int i = 0; i < 64; ++i) random.push_back(int32_t(1 + rng() % 700));
  for (const std::vector<int32_t> &sizes :
       {std::vector<int32_t>{1}, std::vector<int32_t>{31}, std::vector<int32_t>{32, 33, 4096},
        std::vector<int32_t>{4096}, random}) {
    const BlockRun split = RunInBlocks(lib_, params, stimulus, sizes);
    ASSERT_TRUE(split.ok);
    EXPECT_EQ(split.wave, whole.wave);
    EXPECT_EQ(split.clock, whole.clock);
  }
}

} // namespace
