// The retimer transmitter against its schematic as drawn: for every
// TX_TERM_CTL and SLEW_CTL setting, on every filter path this processor runs
// and in GetWave calls of any size, the wave is the schematic's within 1e-12
// of its peak.
#include "host/AmiLoader.h"
#include "models/Welbrook_tx/Welbrook_tx.h"
#include "models/Welbrook_tx/tx_dc.h"
#include "models/Welbrook_tx/tx_responses.h"
#include "runtime/ConstUnTimed.h"
#include "runtime/FirKernel.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TypeConverter.h"

#include "LiteralSchematic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace Varnholt;
using testsupport::LiteralFir;

constexpr int32_t kSpb = 32;
constexpr double kBitTime = 1e-10;

#ifdef VARNHOLT_LIB_SUFFIX
const char kLibSuffix[] = VARNHOLT_LIB_SUFFIX;
#else
const char kLibSuffix[] = ".so";
#endif

// Every block fires on every sample in the schematic's order: the constants
// and converters, tx_dc with the C library's tanh, the nine filters with the
// ring loop and the four multiplexers.
class LiteralTx {
public:
  using Round = ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

  LiteralTx(double slew, double term) {
    for (int k = 0; k < 9; ++k)
      ok_ &= fir_[k].SetUpFrom(kWelbrookTxResponse[k], kWelbrookTxTime[k], kWelbrookTxLength,
                               kSpb / kBitTime);
    tx_dc::Characteristic(TruncateToInt32(term), TruncateToInt32(slew), slope_, amplitude_);
    slewConst_.value = slew;
    termConst_.value = term;
    for (Mux<CircularBuffer<double>> *m : {&groupMux_[0], &groupMux_[1], &groupMux_[2], &finalMux_}) {
      m->inputs.Resize(3);
      ok_ &= m->Setup();
    }
    controlFork_.outputs.Resize(3);
    inputFork_.outputs.Resize(9);

    w_.Join({&shaped_, &inputFork_.input});
    for (int k = 0; k < 9; ++k) w_.Join({&inputFork_.outputs.BufferAt(k), &fir_[k].input});
    // Group mux g takes FIRs {8, 0, 1}, {2, 3, 4}, {5, 6, 7}.
    const int firs[3][3] = {{8, 0, 1}, {2, 3, 4}, {5, 6, 7}};
    for (int g = 0; g < 3; ++g)
      for (int i = 0; i < 3; ++i)
        w_.Join({&fir_[firs[g][i]].output, &groupMux_[g].inputs.BufferAt(i)});
    w_.Join({&slewConst_.output, &slewRound_.input});
    w_.JoinInt({&slewRound_.output, &controlFork_.input});
    for (int g = 0; g < 3; ++g) w_.JoinInt({&controlFork_.outputs.BufferAt(g), &control_[g]});
    w_.Join({&termConst_.output, &termRound_.input});
    w_.JoinInt({&termRound_.output, &control_[3]});
    for (int g = 0; g < 3; ++g) w_.Join({&groupMux_[g].output, &finalMux_.inputs.BufferAt(g)});
    w_.Join({&finalMux_.output, &output_});

    for (LiteralFir &f : fir_) ok_ &= f.Initialize();
    ok_ &= slewConst_.Initialize();
    ok_ &= termConst_.Initialize();
  }

  bool Ready() const { return ok_; }

  bool Step(double x, double &y) {
    bool ok = slewConst_.Run();
    ok &= slewRound_.Run();
    ok &= controlFork_.Run();
    shaped_.Sample() = std::tanh(x * slope_) * amplitude_;
    ok &= inputFork_.Run();
    for (int k : {8, 7, 6, 5}) ok &= fir_[k].Run();
    ok &= RunGroup(2);
    for (int k : {4, 3, 2}) ok &= fir_[k].Run();
    ok &= RunGroup(1);
    for (int k : {1, 0}) ok &= fir_[k].Run();
    ok &= RunGroup(0);
    ok &= termConst_.Run();
    ok &= termRound_.Run();
    finalMux_.control = control_[3].Sample();
    ok &= finalMux_.Run();
    y = output_.Sample();
    return ok;
  }

private:
  bool RunGroup(int g) {
    groupMux_[g].control = control_[g].Sample();
    return groupMux_[g].Run();
  }

  bool ok_ = true;
  LiteralFir fir_[9];
  double slope_ = 0.0, amplitude_ = 0.0;
  ConstUnTimed<double> slewConst_, termConst_;
  Round slewRound_, termRound_;
  Fork<CircularBuffer<int>> controlFork_;
  Fork<CircularBuffer<double>> inputFork_;
  Mux<CircularBuffer<double>> groupMux_[3], finalMux_;
  CircularBuffer<int> control_[4];
  CircularBuffer<double> shaped_, output_;
  testsupport::Wires w_;
};

// The model driven sample by sample, as AMI_GetWave drives it.
std::vector<double> RunModel(double slew, double term, const std::vector<double> &x) {
  Welbrook_tx m;
  double in = 0.0, out = 0.0;
  m.In.SetStorage(&in, 1, 1, 0);
  m.Out.SetStorage(&out, 1, 1, 0);
  m.samplesPerBit = kSpb;
  m.bitTime = kBitTime;
  m.SLEW_CTL = slew;
  m.TX_TERM_CTL = term;
  std::vector<double> y;
  if (!m.Setup() || !m.Initialize()) return y;
  for (double v : x) {
    in = v;
    if (!m.Run()) break;
    y.push_back(out);
  }
  return y;
}

double WorstDifference(const std::vector<double> &a, const std::vector<double> &b) {
  double worst = 0.0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

TEST(WelbrookTxSchematic, EverySettingOnEveryPathAndCallSize) {
  const std::vector<double> stimulus = AmiPrbsWave(100, kSpb, 0.4, 19);
  AmiLibrary lib;
  std::string error;
  ASSERT_TRUE(lib.Open(std::string(VARNHOLT_LIB_DIR) + "/Welbrook_tx_x64" + kLibSuffix, error))
      << error;
  std::vector<SimdLevel> levels = {SimdLevel::Portable};
  if (SupportedSimdLevel() >= SimdLevel::Avx2Fma) levels.push_back(SimdLevel::Avx2Fma);
  struct Setting {
    double slew, term;
  };
  std::vector<Setting> settings;
  for (int term = 0; term < 3; ++term)
    for (int slew = 0; slew < 3; ++slew) settings.push_back({double(slew), double(term)});
  // Rounded for the multiplexers, truncated for tx_dc.
  settings.push_back({1.6, 0.0});
  settings.push_back({0.5, 1.5});
  const int64_t callSizes[] = {1, 7, 333, 1024, 0};
  int call = 0;
  for (const Setting &s : settings) {
    SCOPED_TRACE(testing::Message() << "SLEW_CTL " << s.slew << " TX_TERM_CTL " << s.term);
    LiteralTx literal(s.slew, s.term);
    ASSERT_TRUE(literal.Ready());
    std::vector<double> want(stimulus.size());
    double peak = 0.0;
    for (size_t i = 0; i < stimulus.size(); ++i) {
      ASSERT_TRUE(literal.Step(stimulus[i], want[i]));
      peak = std::max(peak, std::fabs(want[i]));
    }
    ASSERT_GT(peak, 0.1);

    for (SimdLevel level : levels) {
      SCOPED_TRACE(testing::Message() << "level " << static_cast<int>(level));
      LimitSimdLevel(level);
      const std::vector<double> got = RunModel(s.slew, s.term, stimulus);
      LimitSimdLevel(SimdLevel::Avx2Fma);
      ASSERT_EQ(got.size(), want.size());
      EXPECT_LE(WorstDifference(got, want), 1e-12 * peak);
    }

    const int64_t size = callSizes[call++ % 5];
    SCOPED_TRACE(testing::Message() << "calls of " << size);
    const std::string params = "(Welbrook_tx (SLEW_CTL " + std::to_string(s.slew) +
                               ") (TX_TERM_CTL " + std::to_string(s.term) + "))";
    const AmiRunResult r = AmiRun(lib, params, kBitTime / kSpb, kBitTime, stimulus, size);
    ASSERT_EQ(r.initResult, 1);
    for (int32_t g : r.getWaveResults) ASSERT_EQ(g, 1);
    ASSERT_EQ(r.wave.size(), want.size());
    EXPECT_LE(WorstDifference(r.wave, want), 1e-12 * peak);
  }
}

// A control out of range fails the first sample as the schematic fails it:
// every multiplexer that cannot pass its control says so on the standard
// error stream, in the schematic's order, and nothing else is said.
TEST(WelbrookTxSchematic, OutOfRangeControlsFailAsTheSchematicFails) {
  const double bad[][2] = {{3, 1}, {-0.5, 0}, {1, 2.5}, {0, -1}, {2.6, 2.6}, {1e12, -1e12}};
  for (const auto &s : bad) {
    SCOPED_TRACE(testing::Message() << "SLEW_CTL " << s[0] << " TX_TERM_CTL " << s[1]);
    LiteralTx literal(s[0], s[1]);
    ASSERT_TRUE(literal.Ready());
    double ignored = 0.0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(literal.Step(0.3, ignored));
    const std::string want = testing::internal::GetCapturedStderr();
    ASSERT_NE(want.find("Control input signal value is equal to "), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(RunModel(s[0], s[1], {0.3, 0.3}).empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), want);
  }
}

} // namespace
