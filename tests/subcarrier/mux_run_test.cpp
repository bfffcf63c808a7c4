#include "MuxRig.h"

#include <string>
#include <vector>

using muxtest::cd;
using muxtest::kUnwritten;
using muxtest::MuxRig;
using V = std::vector<int32_t>;

TEST(SubcarrierMuxRun, PlacesEveryBranchAndGathersEvmRef) {
  MuxRig r(2, 4);
  r.TwoAndThreeSymbols();
  ASSERT_EQ(r.SetupError(), "");
  r.Attach();
  ASSERT_TRUE(r.mux.Run());
  const V t0 = r.Table(0), t1 = r.Table(1);
  for (size_t j = 0; j < t0.size(); ++j) EXPECT_EQ(r.frame[t0[j]], cd(0.0 + j, -1.0));
  for (size_t j = 0; j < t1.size(); ++j) EXPECT_EQ(r.frame[t1[j]], cd(100.0 + j, -1.0));
  // Positions no branch maps are left alone.
  EXPECT_EQ(r.frame[0], kUnwritten);
  EXPECT_EQ(r.frame[3], kUnwritten);
  const V e = r.EvmTable();
  ASSERT_EQ(e.size(), 12u);
  for (size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(r.evm[i], r.frame[e[i]]);
    if (i > 0) {
      EXPECT_LT(e[i - 1], e[i]);
    }
  }
}

TEST(SubcarrierMuxRun, LaterBranchWinsASharedPosition) {
  MuxRig r(2);
  r.mux.CarriersPerSym[0] = {1};
  r.mux.CarrierIndex[0] = {2};
  r.mux.CarriersPerSym[1] = {1};
  r.mux.CarrierIndex[1] = {2};
  ASSERT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.EvmTable(), (V{2}));
  r.Attach();
  ASSERT_TRUE(r.mux.Run());
  EXPECT_EQ(r.frame[2], cd(100.0, -1.0));
  EXPECT_EQ(r.evm[0], cd(100.0, -1.0));
}

TEST(SubcarrierMuxRun, NothingMovesWithoutAConnectedOutput) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {1};
  r.mux.CarrierIndex[0] = {1};
  r.mux.Output.SetConnected(false);
  r.mux.EVMRefOutput.SetConnected(false);
  ASSERT_EQ(r.SetupError(), "");
  r.Attach(); // one-sample frame storage: too short, but never touched
  EXPECT_TRUE(r.mux.Run());
  EXPECT_EQ(r.frame[0], kUnwritten);
}

TEST(SubcarrierMuxRun, EvmRefAloneStillAssemblesTheFrame) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {3, 1};
  r.mux.Output.SetConnected(false);
  ASSERT_EQ(r.SetupError(), "");
  r.Attach();
  ASSERT_TRUE(r.mux.Run());
  EXPECT_EQ(r.evm, (std::vector<cd>{cd(1, -1), cd(0, -1)}));
}

TEST(SubcarrierMuxRun, StorageShorterThanAPortIsRefused) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {3, 1};
  ASSERT_EQ(r.SetupError(), "");
  r.Attach();
  std::vector<cd> shortFrame(4, kUnwritten);
  r.mux.Output.SetStorage(shortFrame.data(), 4, 8, 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(r.mux.Run());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "A port of DF_OFDM_SubcarrierMux has less storage than its size.\n");
  EXPECT_EQ(shortFrame, std::vector<cd>(4, kUnwritten));

  r.Attach();
  std::vector<cd> shortIn(1);
  r.mux.Input.BufferAt(0).SetStorage(shortIn.data(), 1, 2, 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(r.mux.Run());
  testing::internal::GetCapturedStderr();
}

TEST(SubcarrierMuxRun, RunAfterAFailedSetupMovesNothing) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {3, 1};
  ASSERT_EQ(r.SetupError(), "");
  r.Attach();
  r.mux.CarrierIndex[0] = {-9, 1};
  EXPECT_NE(r.SetupError(), "");
  EXPECT_TRUE(r.mux.Run());
  EXPECT_EQ(r.frame, std::vector<cd>(8, kUnwritten));
}
