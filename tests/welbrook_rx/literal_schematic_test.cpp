// The receiver against its schematic as drawn: for every EQ and HorL setting,
// on every filter path this processor runs and in GetWave calls of any size,
// the wave is the schematic's within 1e-12 of its peak and the clock times
// are the schematic's own.
#include "host/AmiLoader.h"
#include "models/Welbrook_rx/Welbrook_rx.h"
#include "models/Welbrook_rx/cdr.h"
#include "models/Welbrook_rx/rx_dc.h"
#include "models/Welbrook_rx/rx_responses.h"
#include "runtime/ClockTimes.h"
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

// What ports 1 to 4 carry after one sample.
struct Ports {
  double wave, time, signal, level;
};

// Every block fires on every sample in the schematic's order: the sixteen
// filters with the ring loop, the constants, converters, forks and
// multiplexers, rx_dc with the C library's tanh, the cdr and the clock times.
class LiteralRx {
public:
  using Round = ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

  LiteralRx(double eq, double horl) {
    for (int k = 0; k < 16; ++k)
      ok_ &= fir_[k].SetUpFrom(kWelbrookRxResponse[k], kWelbrookRxTime[k], kWelbrookRxLength,
                               kSpb / kBitTime);
    setting_ = TruncateToInt32(eq);
    eqConst_.value = eq;
    horlConst_.value = horl;
    for (int g = 0; g < 2; ++g) groupMux_[g].inputs.Resize(8);
    finalMux_.inputs.Resize(2);
    controlFork_.outputs.Resize(2);
    inputFork_.outputs.Resize(16);
    for (Mux<CircularBuffer<double>> *m : {&groupMux_[0], &groupMux_[1], &finalMux_})
      ok_ &= m->Setup();
    clock_.SampleInterval = kBitTime / kSpb;
    clock_.edgeSelector = 1;
    cdr_.N = kSpb;

    w_.Join({&input_, &inputFork_.input});
    for (int k = 0; k < 16; ++k) w_.Join({&inputFork_.outputs.BufferAt(k), &fir_[k].input});
    for (int j = 0; j < 8; ++j) {
      w_.Join({&fir_[8 + j].output, &groupMux_[0].inputs.BufferAt(j)});
      w_.Join({&fir_[j].output, &groupMux_[1].inputs.BufferAt(j)});
    }
    w_.Join({&eqConst_.output, &eqRound_.input});
    w_.JoinInt({&eqRound_.output, &controlFork_.input});
    for (int g = 0; g < 2; ++g) w_.JoinInt({&controlFork_.outputs.BufferAt(g), &control_[g]});
    w_.Join({&horlConst_.output, &horlRound_.input});
    w_.JoinInt({&horlRound_.output, &control_[2]});
    for (int g = 0; g < 2; ++g) w_.Join({&groupMux_[g].output, &finalMux_.inputs.BufferAt(g)});
    w_.Join({&finalMux_.output, &equalized_});
    w_.Join({&clockIn_, &clock_.input});
    w_.Join({&clock_.output, &time_});

    for (LiteralFir &f : fir_) ok_ &= f.Initialize();
    for (DFModel *b : std::initializer_list<DFModel *>{&eqConst_, &horlConst_, &cdr_, &clock_})
      ok_ &= b->Initialize();
  }

  bool Ready() const { return ok_; }

  bool Step(double x, Ports &out) {
    input_.Sample() = x;
    bool ok = eqConst_.Run();
    ok &= eqRound_.Run();
    ok &= controlFork_.Run();
    ok &= inputFork_.Run();
    for (int k = 15; k >= 8; --k) ok &= fir_[k].Run();
    groupMux_[0].control = control_[0].Sample();
    ok &= groupMux_[0].Run();
    for (int k = 7; k >= 0; --k) ok &= fir_[k].Run();
    groupMux_[1].control = control_[1].Sample();
    ok &= groupMux_[1].Run();
    ok &= horlConst_.Run();
    ok &= horlRound_.Run();
    finalMux_.control = control_[2].Sample();
    ok &= finalMux_.Run();
    // A setting without a gain leaves the stage's output at rest.
    const double signal =
        setting_ >= 0 && setting_ < rx_dc::kSettings
            ? std::tanh(equalized_.Sample() * rx_dc::kGain[setting_]) * rx_dc::kPeak
            : 0.0;
    cdr_.input = signal;
    ok &= cdr_.Run();
    clockIn_.Sample() = cdr_.clock;
    ok &= clock_.Run();
    out = {cdr_.data, time_.Sample(), signal, cdr_.clock};
    return ok;
  }

private:
  bool ok_ = true;
  LiteralFir fir_[16];
  int32_t setting_ = 0;
  ConstUnTimed<double> eqConst_, horlConst_;
  Round eqRound_, horlRound_;
  Fork<CircularBuffer<int>> controlFork_;
  Fork<CircularBuffer<double>> inputFork_;
  Mux<CircularBuffer<double>> groupMux_[2], finalMux_;
  CircularBuffer<int> control_[3];
  CircularBuffer<double> input_, equalized_, clockIn_, time_;
  cdr cdr_;
  ClockTimes clock_;
  testsupport::Wires w_;
};

// The model driven sample by sample, as AMI_GetWave drives it.
std::vector<Ports> RunModel(double eq, double horl, const std::vector<double> &x) {
  Welbrook_rx m;
  double p[5] = {};
  m.In.SetStorage(&p[0], 1, 1, 0);
  m.Out.SetStorage(&p[1], 1, 1, 0);
  m.ClockTime.SetStorage(&p[2], 1, 1, 0);
  m.Signal.SetStorage(&p[3], 1, 1, 0);
  m.ClockLevel.SetStorage(&p[4], 1, 1, 0);
  m.samplesPerBit = kSpb;
  m.bitTime = kBitTime;
  m.EQ = eq;
  m.HorL = horl;
  std::vector<Ports> out;
  if (!m.Setup() || !m.Initialize()) return out;
  for (double v : x) {
    p[0] = v;
    if (!m.Run()) break;
    out.push_back({p[1], p[2], p[3], p[4]});
  }
  return out;
}

struct Setting {
  double eq, horl;
};

std::vector<Setting> EverySetting() {
  std::vector<Setting> s;
  for (int horl = 0; horl < 2; ++horl)
    for (int eq = 0; eq < 8; ++eq) s.push_back({double(eq), double(horl)});
  // Rounded for the multiplexers, truncated for rx_dc.
  s.push_back({2.6, 0.49});
  s.push_back({6.5, 1.4});
  return s;
}

TEST(WelbrookRxSchematic, EverySettingOnEveryPathAndCallSize) {
  const std::vector<double> stimulus = AmiPrbsWave(100, kSpb, 0.3, 21);
  AmiLibrary lib;
  std::string error;
  ASSERT_TRUE(lib.Open(std::string(VARNHOLT_LIB_DIR) + "/Welbrook_rx_x64" VARNHOLT_LIB_SUFFIX, error))
      << error;
  std::vector<SimdLevel> levels = {SimdLevel::Portable};
  if (SupportedSimdLevel() >= SimdLevel::Avx2Fma) levels.push_back(SimdLevel::Avx2Fma);
  const int64_t callSizes[] = {1, 7, 333, 1024, 0};
  int call = 0;
  for (const Setting &s : EverySetting()) {
    SCOPED_TRACE(testing::Message() << "EQ " << s.eq << " HorL " << s.horl);
    LiteralRx literal(s.eq, s.horl);
    ASSERT_TRUE(literal.Ready());
    std::vector<Ports> want(stimulus.size());
    std::vector<double> times;
    double peak = 0.0;
    for (size_t i = 0; i < stimulus.size(); ++i) {
      ASSERT_TRUE(literal.Step(stimulus[i], want[i]));
      peak = std::max(peak, std::fabs(want[i].wave));
      if (want[i].time >= 0.0) times.push_back(want[i].time);
    }
    ASSERT_GT(peak, 0.1);
    ASSERT_GT(times.size(), 90u);

    for (SimdLevel level : levels) {
      SCOPED_TRACE(testing::Message() << "level " << static_cast<int>(level));
      LimitSimdLevel(level);
      const std::vector<Ports> got = RunModel(s.eq, s.horl, stimulus);
      LimitSimdLevel(SimdLevel::Avx2Fma);
      ASSERT_EQ(got.size(), want.size());
      double worst = 0.0;
      for (size_t i = 0; i < got.size(); ++i) {
        worst = std::max({worst, std::fabs(got[i].wave - want[i].wave),
                          std::fabs(got[i].signal - want[i].signal)});
        ASSERT_EQ(got[i].time, want[i].time) << i;
        ASSERT_EQ(got[i].level, want[i].level) << i;
      }
      EXPECT_LE(worst, 1e-12 * peak);
    }

    // The library, on the widest path, in calls of one size per setting.
    const int64_t size = callSizes[call++ % 5];
    SCOPED_TRACE(testing::Message() << "calls of " << size);
    const std::string params = "(Welbrook_rx (EQ " + std::to_string(s.eq) + ") (HorL " +
                               std::to_string(s.horl) + "))";
    const AmiRunResult r =
        AmiRun(lib, params, kBitTime / kSpb, kBitTime, stimulus, size);
    ASSERT_EQ(r.initResult, 1);
    for (int32_t g : r.getWaveResults) ASSERT_EQ(g, 1);
    ASSERT_EQ(r.wave.size(), want.size());
    double worst = 0.0;
    for (size_t i = 0; i < want.size(); ++i)
      worst = std::max(worst, std::fabs(r.wave[i] - want[i].wave));
    EXPECT_LE(worst, 1e-12 * peak);
    EXPECT_EQ(r.clockTimes, times);
  }
}

// A control out of range fails the first sample as the schematic fails it:
// every multiplexer that cannot pass its control says so on the standard
// error stream, in the schematic's order, and nothing else is said.
TEST(WelbrookRxSchematic, OutOfRangeControlsFailAsTheSchematicFails) {
  const Setting bad[] = {{8, 1}, {-0.5, 0}, {3, 2}, {2, -0.6}, {9, 3}, {1e12, 1}};
  for (const Setting &s : bad) {
    SCOPED_TRACE(testing::Message() << "EQ " << s.eq << " HorL " << s.horl);
    LiteralRx literal(s.eq, s.horl);
    ASSERT_TRUE(literal.Ready());
    Ports ignored{};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(literal.Step(0.3, ignored));
    const std::string want = testing::internal::GetCapturedStderr();
    ASSERT_NE(want.find("Control input signal value is equal to "), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(RunModel(s.eq, s.horl, {0.3, 0.3}).empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), want);
  }
}

} // namespace
