// Sarnet_x64 loaded by path and driven as a simulator drives it.
#include "host/AmiLoader.h"
#include "models/Sarnet/Sarnet.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kLib = std::string(VARNHOLT_LIB_DIR) + "/Sarnet_x64.so";
const char kGainSentence[] = "The IBIS-AMI model, Sarnet, is unable to initialize the parameter "
                             "Gain from the AMI_Init arguments.  The model will use the default "
                             "setting. ";

class SarnetLib : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(lib.Open(kLib, error)) << error;
  }
  Varnholt::AmiLibrary lib;
};

TEST_F(SarnetLib, GainMultipliesEverySample) {
  std::vector<double> in = Varnholt::AmiPrbsWave(64, 32, 0.5, 3);
  in[5] = 0.123456789;
  auto r = Varnholt::AmiRun(lib, "(Sarnet (Gain 2.5))", 3.125e-12, 1e-10, in, 4096);
  EXPECT_EQ(r.initResult, 1);
  EXPECT_FALSE(r.messageGiven);
  ASSERT_EQ(r.wave.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(r.wave[i], in[i] * 2.5) << i;
  EXPECT_TRUE(r.clockTimes.empty());
  for (size_t c : r.clockCounts) EXPECT_EQ(c, 0u) << "a transmitter writes -1.0 alone";
  EXPECT_EQ(r.closeResult, 1);
}

TEST_F(SarnetLib, UnreadableGainKeepsOne) {
  for (const char *params : {"", "(Sarnet (Gain \"two and a half\"))", "(Sarnet (Gain high))", "(Sarnet (Gain 2.5)", "garbage",
                             "(Sarnet (gain 2.5))", "(Other (Gain 2.5))"}) {
    std::vector<double> in{0.5, -0.25, 1e-300};
    auto r = Varnholt::AmiRun(lib, params, 1e-12, 1e-10, in, 0);
    EXPECT_EQ(r.initResult, 1) << params;
    EXPECT_TRUE(r.messageGiven);
    EXPECT_EQ(r.message, kGainSentence) << params;
    EXPECT_EQ(r.wave, in) << params;
  }
}

TEST_F(SarnetLib, EmptyWaveIsUntouchedAndClockEnded) {
  void *h = nullptr;
  char params[] = "(Sarnet (Gain 3))";
  ASSERT_EQ(lib.Init(nullptr, 0, 0, 1e-12, 1e-10, params, nullptr, &h, nullptr), 1);
  double wave[2] = {7.0, 8.0};
  double clock[3] = {-7.0, -7.0, -7.0};
  EXPECT_EQ(lib.GetWave(wave, 0, clock, nullptr, h), 1);
  EXPECT_EQ(wave[0], 7.0);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(clock[1], -7.0);
  EXPECT_EQ(lib.Close(h), 1);
}

TEST_F(SarnetLib, SplitCallsAreBitIdentical) {
  std::vector<double> in = Varnholt::AmiPrbsWave(100, 32, 0.5, 9);
  auto whole = Varnholt::AmiRun(lib, "(Sarnet (Gain -1.75))", 3.125e-12, 1e-10, in, 0);
  for (int64_t block : {1, 7, 32, 3000}) {
    auto split = Varnholt::AmiRun(lib, "(Sarnet (Gain -1.75))", 3.125e-12, 1e-10, in, block);
    EXPECT_EQ(split.wave, whole.wave) << block;
  }
}

TEST_F(SarnetLib, HandlesAreIndependent) {
  void *a = nullptr, *b = nullptr;
  char pa[] = "(Sarnet (Gain 2))", pb[] = "(Sarnet (Gain -3))";
  ASSERT_EQ(lib.Init(nullptr, 0, 0, 1e-12, 1e-10, pa, nullptr, &a, nullptr), 1);
  ASSERT_EQ(lib.Init(nullptr, 0, 0, 1e-12, 1e-10, pb, nullptr, &b, nullptr), 1);
  double wa[1] = {1.0}, wb[1] = {1.0}, clock[4];
  lib.GetWave(wa, 1, clock, nullptr, a);
  lib.GetWave(wb, 1, clock, nullptr, b);
  EXPECT_EQ(wa[0], 2.0);
  EXPECT_EQ(wb[0], -3.0);
  EXPECT_EQ(lib.Close(a), 1);
  EXPECT_EQ(lib.Close(b), 1);
}

TEST(SarnetModel, SetupCopiesTheGainParameterIntoTheBlock) {
  Varnholt::Sarnet m;
  double in = 0, out = 0;
  m.In.SetStorage(&in, 1, 1, 0);
  m.Out.SetStorage(&out, 1, 1, 0);
  m.Gain = -4.0;
  ASSERT_TRUE(m.Setup());
  ASSERT_TRUE(m.Initialize());
  in = 1.5;
  EXPECT_TRUE(m.Run());
  EXPECT_EQ(out, -6.0);
  EXPECT_TRUE(m.Finalize());
  EXPECT_TRUE(m.Finalize()) << "a second Finalize releases nothing twice";
  EXPECT_TRUE(m.Initialize());
  EXPECT_TRUE(m.Initialize()) << "a second Initialize releases the first storages";
}

TEST(ReferenceHost, PrintsTheSummaryAndWritesFiles) {
  testsupport::TempDir dir;
  std::string wave = dir.Write("in.txt", "0.5\n-0.5\n# comment\n0.25\n");
  std::string out;
  std::string cmd = std::string(VARNHOLT_BIN_DIR) + "/host/amihost " + kLib +
                    " --params '(Sarnet (Gain 2))' --wave " + wave + " --block 2 --out-wave " +
                    dir.path() + "/out.txt --out-clock " + dir.path() + "/clock.txt";
  ASSERT_EQ(testsupport::RunCommand(cmd, out), 0) << out;
  EXPECT_NE(out.find("AMI_Init:    1\n"), std::string::npos) << out;
  EXPECT_NE(out.find("message:     (none)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("AMI_GetWave: 2 calls, 0 failed, 3 samples\n"), std::string::npos) << out;
  EXPECT_NE(out.find("clock times: 0\n"), std::string::npos) << out;
  EXPECT_NE(out.find("AMI_Close:   1\n"), std::string::npos) << out;
  EXPECT_EQ(testsupport::ReadFile(dir.path() + "/out.txt"), "1\n-1\n0.5\n");
  EXPECT_EQ(testsupport::ReadFile(dir.path() + "/clock.txt"), "");
}

} // namespace
