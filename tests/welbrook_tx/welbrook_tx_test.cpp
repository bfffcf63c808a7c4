// Welbrook_tx: the model on its own, and Welbrook_tx_x64 loaded and driven as
// a simulator drives it.
#include "ami/AmiEntry.h"
#include "host/AmiLoader.h"
#include "models/Welbrook_tx/Welbrook_tx.h"
#include "models/Welbrook_tx/tx_dc.h"
#include "models/Welbrook_tx/tx_responses.h"
#include "runtime/TimeResponseFIR.h"
#include "tests/support/LiteralSchematic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace Varnholt;

constexpr int32_t kSpb = 32;
constexpr double kBitTime = 1e-10;
constexpr double kSampleInterval = kBitTime / kSpb;

const char kSlewSentence[] =
    "The IBIS-AMI model, Welbrook_tx, is unable to initialize the parameter "
    "SLEW_CTL from the AMI_Init arguments.  The model will use the default "
    "setting. ";
const char kTermSentence[] =
    "The IBIS-AMI model, Welbrook_tx, is unable to initialize the parameter "
    "TX_TERM_CTL from the AMI_Init arguments.  The model will use the "
    "default setting. ";
#ifdef VARNHOLT_LIB_SUFFIX
const char kLibSuffix[] = VARNHOLT_LIB_SUFFIX;
#else
const char kLibSuffix[] = ".so";
#endif

const char kRunSentence[] = "Error occurred in Welbrook_tx::Run(). ";

std::string Params(double slew, double term) {
  return "(Welbrook_tx (SLEW_CTL " + std::to_string(slew) + ") (TX_TERM_CTL " +
         std::to_string(term) + "))";
}

// The stimulus through tx_dc with the given settings and then through a
// filter of its own over response table k: what the model must give.
std::vector<double> Reference(int fir, int32_t term, int32_t slew, const std::vector<double> &x) {
  tx_dc dc;
  dc.TX_TERM_CTL = term;
  dc.SLEW_CTL = slew;
  testsupport::ResponseFir f;
  EXPECT_TRUE(f.SetUpFrom(kWelbrookTxResponse[fir], kWelbrookTxTime[fir], kWelbrookTxLength,
                          static_cast<double>(kSpb) / kBitTime));
  double in = 0.0, out = 0.0;
  f.input.SetStorage(&in, 1, 1, 0);
  f.output.SetStorage(&out, 1, 1, 0);
  EXPECT_TRUE(f.Initialize());
  std::vector<double> y;
  for (double v : x) {
    dc.input = v;
    dc.Run();
    in = dc.output;
    f.Run();
    y.push_back(out);
  }
  f.Finalize();
  return y;
}

// A model with its two ports attached, as AMI_Init leaves it.
struct Driven {
  Welbrook_tx m;
  double in = 0.0, out = 0.0;
  Driven() {
    m.In.SetStorage(&in, 1, 1, 0);
    m.Out.SetStorage(&out, 1, 1, 0);
    m.samplesPerBit = kSpb;
    m.bitTime = kBitTime;
  }
  std::vector<double> Run(const std::vector<double> &x) {
    std::vector<double> y;
    for (double v : x) {
      in = v;
      EXPECT_TRUE(m.Run());
      y.push_back(out);
    }
    return y;
  }
};

// ---------------------------------------------------------------------------
// The model on its own

TEST(WelbrookTxModel, TxDcTakesTheSettingsTruncated) {
  struct Case {
    double slew, term;
    int32_t slewSetting, termSetting;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {{1.6, 0.0, 1, 0},
                        {2.4, 1.9, 2, 1},
                        {-0.4, -0.9, 0, 0},
                        {2.5, 2.0, 2, 2},
                        {1e300, -1e300, INT32_MAX, INT32_MIN},
                        {nan, 1.0, 0, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "SLEW " << c.slew << " TERM " << c.term);
    Driven d;
    d.m.SLEW_CTL = c.slew;
    d.m.TX_TERM_CTL = c.term;
    EXPECT_TRUE(d.m.Setup());
    EXPECT_EQ(d.m.TxDc().SLEW_CTL, c.slewSetting);
    EXPECT_EQ(d.m.TxDc().TX_TERM_CTL, c.termSetting);
  }
}

TEST(WelbrookTxModel, AFailingFilterSetupFailsTheModelButNotTheOtherBlocks) {
  for (double bitTime : {0.0, -1e-10}) {
    Driven d;
    d.m.bitTime = bitTime;
    d.m.SLEW_CTL = 1.9;
    d.m.TX_TERM_CTL = 2.0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(d.m.Setup());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(d.m.TxDc().SLEW_CTL, 1) << "set up after the filters failed";
    EXPECT_EQ(d.m.Out.GetSize(), 1u);
  }
}

TEST(WelbrookTxModel, InitializeRestartsFromRestAndFinalizeReleasesOnce) {
  const std::vector<double> x = AmiPrbsWave(30, kSpb, 0.4, 11);
  Driven d;
  d.m.SLEW_CTL = 1.0;
  d.m.TX_TERM_CTL = 0.0;
  ASSERT_TRUE(d.m.Setup());
  ASSERT_TRUE(d.m.Initialize());
  ASSERT_TRUE(d.m.Initialize()) << "the first connections are released, not leaked";
  const std::vector<double> first = d.Run(x);
  EXPECT_EQ(first, Reference(0, 0, 1, x));
  EXPECT_TRUE(d.m.Finalize());
  EXPECT_TRUE(d.m.Finalize()) << "nothing is released twice";
  // The filters keep their taps: after a new Initialize the model runs from
  // rest again.
  ASSERT_TRUE(d.m.Initialize());
  EXPECT_EQ(d.Run(x), first);
  ASSERT_TRUE(d.m.Setup());
  ASSERT_TRUE(d.m.Initialize());
  EXPECT_EQ(d.Run(x), first) << "a second Setup copies the tables afresh";
}

TEST(WelbrookTxModel, ARunWithAFailingMuxStillFiresEveryBlock) {
  const std::vector<double> x = AmiPrbsWave(8, kSpb, 0.4, 5);
  // 2.5 rounds to 3 for the final mux but truncates to 2 for tx_dc.
  Driven bad;
  bad.m.SLEW_CTL = 1.0;
  bad.m.TX_TERM_CTL = 2.5;
  ASSERT_TRUE(bad.m.Setup()) << "out-of-range settings are not refused by Setup";
  ASSERT_TRUE(bad.m.Initialize());
  testing::internal::CaptureStderr();
  for (double v : x) {
    bad.in = v;
    EXPECT_FALSE(bad.m.Run());
  }
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "Control input signal value is equal to 3.  There are 3 inputs connected.  The "
                "valid control input range is [0,2]."),
            std::string::npos);
  // Every filter fired on every sample: its history is that of a good run
  // through the whole schematic.
  Driven good;
  good.m.SLEW_CTL = 1.0;
  good.m.TX_TERM_CTL = 2.0;
  ASSERT_TRUE(good.m.Setup());
  ASSERT_TRUE(good.m.Initialize());
  for (double v : x) {
    good.in = v;
    EXPECT_TRUE(good.m.RunSchematic());
  }
  for (int k = 0; k < Welbrook_tx::kFirs; ++k) {
    const TimeResponseFIR &f = bad.m.Fir(k);
    EXPECT_TRUE(std::equal(f.historyStorage, f.historyStorage + f.history.GetLength(),
                           good.m.Fir(k).historyStorage))
        << k;
  }
}

// ---------------------------------------------------------------------------
// The library

class WelbrookTxLibrary : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    const std::string path = std::string(VARNHOLT_LIB_DIR) + "/Welbrook_tx_x64" + kLibSuffix;
    ASSERT_TRUE(lib_.Open(path, error)) << error;
  }
  AmiLibrary lib_;
};

TEST_F(WelbrookTxLibrary, SettingsSelectTheirResponseAndCharacteristic) {
  const std::vector<double> x = AmiPrbsWave(120, kSpb, 0.3, 7);
  std::map<std::tuple<int, int32_t, int32_t>, std::vector<double>> cache;
  auto ref = [&](int fir, int32_t term, int32_t slew) -> const std::vector<double> & {
    auto key = std::make_tuple(fir, term, slew);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, Reference(fir, term, slew, x)).first;
    return it->second;
  };
  // Response by rounded setting (row TX_TERM_CTL, column SLEW_CTL).
  const int table[3][3] = {{8, 0, 1}, {2, 3, 4}, {5, 6, 7}};
  struct Case {
    double slew, term;
    int fir;
    int32_t term_dc, slew_dc;
  };
  std::vector<Case> cases;
  for (int t = 0; t < 3; ++t)
    for (int s = 0; s < 3; ++s) cases.push_back({double(s), double(t), table[t][s], t, s});
  // The muxes round half away from zero, tx_dc truncates.
  cases.push_back({1.6, 0.0, 1, 0, 1});
  cases.push_back({2.4, 0.0, 1, 0, 2});
  cases.push_back({0.5, 0.0, 0, 0, 0});
  cases.push_back({0.4, 0.0, 8, 0, 0});
  cases.push_back({-0.4, 1.0, 2, 1, 0});
  cases.push_back({1.0, 0.5, 3, 0, 1});
  cases.push_back({0.0, 1.5, 5, 1, 0});
  cases.push_back({1.5, 2.4, 7, 2, 1});
  cases.push_back({1.0, -0.4, 0, 0, 1});

  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "SLEW_CTL " << c.slew << " TX_TERM_CTL " << c.term);
    AmiRunResult r = AmiRun(lib_, Params(c.slew, c.term), kSampleInterval, kBitTime, x, 4096);
    ASSERT_EQ(r.initResult, 1);
    EXPECT_FALSE(r.messageGiven) << r.message;
    for (int32_t g : r.getWaveResults) EXPECT_EQ(g, 1);
    EXPECT_EQ(r.closeResult, 1);
    EXPECT_EQ(r.wave, ref(c.fir, c.term_dc, c.slew_dc));
    // Not another response, nor the characteristic of the rounded settings
    // where truncation gives another one.
    const int same = c.fir == 1 ? 0 : c.fir == 4 ? 3 : c.fir == 7 ? 6 : c.fir;
    for (int k = 0; k < 9; ++k) {
      const int kSame = k == 1 ? 0 : k == 4 ? 3 : k == 7 ? 6 : k;
      if (kSame != same) {
        EXPECT_NE(r.wave, ref(k, c.term_dc, c.slew_dc)) << "FIR " << k;
      }
    }
    const int32_t termRounded = static_cast<int32_t>(std::round(c.term));
    const int32_t slewRounded = static_cast<int32_t>(std::round(c.slew));
    double s1 = 0, a1 = 0, s2 = 0, a2 = 0;
    tx_dc::Characteristic(termRounded, slewRounded, s1, a1);
    tx_dc::Characteristic(c.term_dc, c.slew_dc, s2, a2);
    if (s1 != s2 || a1 != a2) {
      EXPECT_NE(r.wave, ref(c.fir, termRounded, slewRounded));
    }
  }
}

TEST_F(WelbrookTxLibrary, SlewZeroWithTerminationZeroStartsTheEdgeLater) {
  const std::vector<double> x(64, 0.5);
  AmiRunResult late = AmiRun(lib_, Params(0.0, 0.0), kSampleInterval, kBitTime, x, 0);
  AmiRunResult early = AmiRun(lib_, Params(1.0, 0.0), kSampleInterval, kBitTime, x, 0);
  // FIR 8 is 0 for its first 10.16 ps: 4 samples of 3.125 ps.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(late.wave[i], 0.0) << i;
  EXPECT_NE(late.wave[4], 0.0);
  EXPECT_LT(early.wave[0], 0.0) << "FIR 0 starts negative";
}

TEST_F(WelbrookTxLibrary, DefaultsAndTheirSentences) {
  const std::vector<double> x = AmiPrbsWave(40, kSpb, 0.3, 4);
  const std::vector<double> expected = Reference(2, 1, 0, x);
  for (const char *params :
       {"", "(Welbrook_tx)", "(Welbrook_tx (slew_ctl 2) (tx_term_ctl 0))",
        "(Welbrook_tx (SLEW_CTL \"two\") (TX_TERM_CTL fast))", "(Welbrook_tx"}) {
    SCOPED_TRACE(params);
    AmiRunResult r = AmiRun(lib_, params, kSampleInterval, kBitTime, x, 0);
    EXPECT_EQ(r.initResult, 1);
    ASSERT_TRUE(r.messageGiven);
    EXPECT_EQ(r.message, std::string(kSlewSentence) + kTermSentence);
    EXPECT_EQ(r.wave, expected);
  }
  // One parameter read, the other not: only its sentence.
  AmiRunResult r = AmiRun(lib_, "(Welbrook_tx (TX_TERM_CTL 0))", kSampleInterval, kBitTime, x, 0);
  EXPECT_EQ(r.message, kSlewSentence);
  EXPECT_EQ(r.wave, Reference(8, 0, 0, x));
  r = AmiRun(lib_, "(Welbrook_tx (SLEW_CTL 1))", kSampleInterval, kBitTime, x, 0);
  EXPECT_EQ(r.message, kTermSentence);
  EXPECT_EQ(r.wave, Reference(3, 1, 1, x));
}

// A handle whose holder's message can be read after any call.
struct Handle {
  AmiLibrary &lib;
  void *h = nullptr;
  int32_t init = -1;
  char *msg = nullptr; // as AMI_Init handed it out (null: it gave none)
  Handle(AmiLibrary &l, const std::string &params) : lib(l) {
    std::vector<char> p(params.begin(), params.end());
    p.push_back('\0');
    char *out = nullptr;
    init = lib.Init(nullptr, 0, 0, kSampleInterval, kBitTime, p.data(), &out, &h, &msg);
  }
  ~Handle() { lib.Close(h); }
  Handle(const Handle &) = delete;
  Handle &operator=(const Handle &) = delete;
  const std::string &Message() const {
    return static_cast<AmiModelHolder<Welbrook_tx> *>(h)->message;
  }
};

TEST_F(WelbrookTxLibrary, OutOfRangeSettingsFailAtTheFirstSample) {
  struct Case {
    double slew, term;
    size_t muxReports; // sentences per sample: three group muxes or the final one
  };
  const Case cases[] = {{2.5, 1.0, 3},  {-0.5, 1.0, 3}, {3.0, 0.0, 3}, {1e12, 2.0, 3},
                        {1.0, -0.5, 1}, {1.0, 2.5, 1},  {0.0, 3.0, 1}, {2.6, 2.6, 4}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "SLEW_CTL " << c.slew << " TX_TERM_CTL " << c.term);
    Handle h(lib_, Params(c.slew, c.term));
    ASSERT_EQ(h.init, 1) << "Setup refuses nothing";
    EXPECT_EQ(h.Message(), "");
    EXPECT_EQ(h.msg, nullptr) << "an empty message is not handed out";
    // The bad setting alone, the other at its default: AMI_Init hands out
    // that one's sentence.
    const bool slewBad = std::round(c.slew) < 0 || std::round(c.slew) > 2;
    Handle held(lib_, slewBad ? "(Welbrook_tx (SLEW_CTL " + std::to_string(c.slew) + "))"
                              : "(Welbrook_tx (TX_TERM_CTL " + std::to_string(c.term) + "))");
    const std::string initText = slewBad ? kTermSentence : kSlewSentence;
    ASSERT_EQ(held.init, 1);
    ASSERT_NE(held.msg, nullptr);
    EXPECT_EQ(std::string(held.msg), initText);
    for (int call = 0; call < 2; ++call) {
      std::vector<double> wave = AmiPrbsWave(3, kSpb, 0.4, 3);
      const std::vector<double> input = wave;
      std::vector<double> clock(8, -2.0);
      char *out = nullptr;
      testing::internal::CaptureStderr();
      EXPECT_EQ(
          lib_.GetWave(wave.data(), static_cast<int32_t>(wave.size()), clock.data(), &out, h.h), 0);
      const std::string err = testing::internal::GetCapturedStderr();
      size_t reports = 0;
      for (size_t at = err.find("Control input signal value is equal to "); at != std::string::npos;
           at = err.find("Control input signal value is equal to ", at + 1))
        ++reports;
      EXPECT_EQ(reports, c.muxReports) << "one sample only\n" << err;
      EXPECT_EQ(wave, input);
      EXPECT_EQ(clock[0], -1.0);
      EXPECT_EQ(clock[1], -2.0);
      EXPECT_EQ(h.Message(), kRunSentence) << "once per handle";
      testing::internal::CaptureStderr();
      EXPECT_EQ(lib_.GetWave(wave.data(), 3, clock.data(), &out, held.h), 0);
      testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(std::string(held.msg), initText + kRunSentence)
        << "the pointer AMI_Init gave reads on, once per handle";
    EXPECT_EQ(held.msg, held.Message().c_str()) << "and the text has not moved";
  }
}

TEST_F(WelbrookTxLibrary, ClockTimesAreMinusOneAlone) {
  Handle h(lib_, Params(1.0, 1.0));
  ASSERT_EQ(h.init, 1);
  char *out = nullptr;
  for (int32_t n : {100, 1, 0}) {
    std::vector<double> wave = AmiPrbsWave(4, kSpb, 0.4, 1);
    std::vector<double> clock(140, -2.0);
    EXPECT_EQ(lib_.GetWave(wave.data(), n, clock.data(), &out, h.h), 1);
    EXPECT_EQ(clock[0], -1.0);
    EXPECT_TRUE(std::all_of(clock.begin() + 1, clock.end(), [](double v) { return v == -2.0; }))
        << n;
  }
}

TEST_F(WelbrookTxLibrary, SplitCallsAreBitIdentical) {
  const std::vector<double> x = AmiPrbsWave(150, kSpb, 0.35, 13);
  const std::string params = Params(2.0, 0.0);
  const AmiRunResult whole = AmiRun(lib_, params, kSampleInterval, kBitTime, x, 0);
  ASSERT_EQ(whole.initResult, 1);
  EXPECT_EQ(whole.wave, Reference(1, 0, 2, x));
  for (int64_t block : {1, 7, kSpb, kSpb * 17}) {
    const AmiRunResult split = AmiRun(lib_, params, kSampleInterval, kBitTime, x, block);
    EXPECT_EQ(split.wave, whole.wave) << block;
  }
  // 1, then 7, then whole bits, then the rest, on one handle.
  Handle h(lib_, params);
  ASSERT_EQ(h.init, 1);
  std::vector<double> wave = x;
  std::vector<double> clock(wave.size() + 4);
  char *out = nullptr;
  size_t at = 0;
  for (size_t n : {size_t(1), size_t(7), size_t(kSpb) * 40, wave.size() - 8 - size_t(kSpb) * 40}) {
    ASSERT_EQ(lib_.GetWave(wave.data() + at, static_cast<int32_t>(n), clock.data(), &out, h.h), 1);
    at += n;
  }
  ASSERT_EQ(at, wave.size());
  EXPECT_EQ(wave, whole.wave);
}

} // namespace
