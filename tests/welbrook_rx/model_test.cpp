// The receiver schematic driven directly, as the AMI entry drives it.
#include "models/Welbrook_rx/Welbrook_rx.h"

#include "host/AmiLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Varnholt::Welbrook_rx;

class RxModel : public ::testing::Test {
protected:
  void SetUp() override {
    AttachPorts();
    m_.bitTime = 1e-10;
    m_.samplesPerBit = 32.0;
  }
  void AttachPorts() {
    m_.In.SetStorage(&ports_[0], 1, 1, 0);
    m_.Out.SetStorage(&ports_[1], 1, 1, 0);
    m_.ClockTime.SetStorage(&ports_[2], 1, 1, 0);
    m_.Signal.SetStorage(&ports_[3], 1, 1, 0);
    m_.ClockLevel.SetStorage(&ports_[4], 1, 1, 0);
  }
  bool Step(double x) {
    ports_[0] = x;
    return m_.Run();
  }
  double ports_[5] = {};
  Welbrook_rx m_;
};

TEST_F(RxModel, PortsCarryDataSignalClockAndTimes) {
  ASSERT_TRUE(m_.Setup());
  ASSERT_TRUE(m_.Initialize());
  const std::vector<double> wave = Varnholt::AmiPrbsWave(100, 32, 0.5, 2);
  double previousLevel = 1.0;
  int times = 0;
  for (size_t i = 0; i < wave.size(); ++i) {
    ASSERT_TRUE(Step(wave[i]));
    EXPECT_EQ(ports_[1], ports_[3]); // data output = rx_dc output, no delay
    EXPECT_EQ(ports_[4], m_.Cdr().clock);
    const bool rose = previousLevel <= 0.0 && ports_[4] > 0.0;
    if (rose) {
      ++times;
      EXPECT_DOUBLE_EQ(ports_[2], double(i) * 1e-10 / 32);
    } else {
      EXPECT_EQ(ports_[2], -1.0);
    }
    previousLevel = ports_[4];
  }
  EXPECT_GE(times, 98);
  EXPECT_TRUE(m_.Finalize());
}

TEST_F(RxModel, RepeatedLifecycleReleasesWhatItMade) {
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(m_.Setup());
    ASSERT_TRUE(m_.Initialize());
    ASSERT_TRUE(m_.Initialize());
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(Step(i % 64 < 32 ? 0.3 : -0.3));
    EXPECT_TRUE(m_.Finalize());
    EXPECT_TRUE(m_.Finalize());
  }
  // Set up again and left to the destructor.
  ASSERT_TRUE(m_.Setup());
  ASSERT_TRUE(m_.Initialize());
}

TEST_F(RxModel, UnrepresentableSettingsAreSafe) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double v : {nan, 1e30, -1e30, 2147483648.0}) {
    m_.VotingThreshold = v;
    m_.SettlingTime = v;
    ASSERT_TRUE(m_.Setup());
    ASSERT_TRUE(m_.Initialize());
    for (int i = 0; i < 32 * 40; ++i) ASSERT_TRUE(Step(i % 96 < 48 ? 0.3 : -0.3));
    EXPECT_TRUE(m_.Finalize());
  }
  EXPECT_EQ(Varnholt::TruncateToInt32(nan), 0);
  EXPECT_EQ(Varnholt::TruncateToInt32(1e30), INT32_MAX);
  EXPECT_EQ(Varnholt::TruncateToInt32(-1e30), INT32_MIN);
  EXPECT_EQ(Varnholt::TruncateToInt32(-2.9), -2);
  EXPECT_EQ(Varnholt::TruncateToInt32(2.9), 2);
}

TEST_F(RxModel, ABadSampleRateFailsSetup) {
  m_.samplesPerBit = 0.0;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(m_.Setup());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("SampleRate must be > 0.0"),
            std::string::npos);
}

} // namespace
