#include "MuxRig.h"

#include <string>
#include <vector>

using muxtest::MuxRig;
using V = std::vector<int32_t>;

TEST(SubcarrierMuxSetup, DFTSizeMustBeEvenAndAtLeastFour) {
  for (int32_t n : {5, 2, 0, -4, 3}) {
    MuxRig r(1, n);
    r.mux.CarriersPerSym[0] = {1};
    r.mux.CarrierIndex[0] = {0};
    EXPECT_EQ(r.SetupError(), "DFTSize should be a positive even integer (>=4)\n") << n;
  }
  MuxRig six(1, 6);
  six.mux.CarriersPerSym[0] = {1};
  six.mux.CarrierIndex[0] = {0};
  EXPECT_EQ(six.SetupError(), "");
  EXPECT_EQ(six.mux.map.FrameLength(), 6u);
}

TEST(SubcarrierMuxSetup, InputCountAndBusWidthAreChecked) {
  for (int32_t n : {0, 5, -1}) {
    MuxRig r(1);
    r.mux.NumInput = n;
    EXPECT_EQ(r.SetupError(), "NumInput must be in the range of [1,4]\n") << n;
  }
  MuxRig r(2);
  r.mux.NumInput = 3;
  EXPECT_EQ(r.SetupError(), "Bus width of pin Input must equals to parameter NumInput\n");

  MuxRig open(2);
  open.mux.Input.BufferAt(0).SetConnected(false);
  open.mux.Input.BufferAt(1).SetConnected(false);
  EXPECT_EQ(open.SetupError(), "At least one branch of pin Input must be connected.\n\n");
}

TEST(SubcarrierMuxSetup, CentredAndUncentredPositions) {
  MuxRig c(1);
  c.mux.Centered = 1;
  c.mux.CarriersPerSym[0] = {3};
  c.mux.CarrierIndex[0] = {-4, 3, 0};
  EXPECT_EQ(c.SetupError(), "");
  EXPECT_EQ(c.Table(0), (V{0, 7, 4}));

  c.mux.CarrierIndex[0] = {-4, 4, 0};
  EXPECT_EQ(c.SetupError(),
            "Sub-carrier index of the0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");
  c.mux.CarrierIndex[0] = {-5, 3, 0};
  EXPECT_NE(c.SetupError(), "");

  MuxRig u(1);
  u.mux.CarriersPerSym[0] = {3};
  u.mux.CarrierIndex[0] = {-1, 0, 3};
  EXPECT_EQ(u.SetupError(), "");
  EXPECT_EQ(u.Table(0), (V{7, 0, 3}));
  u.mux.CarrierIndex[0] = {-9, 0, 3};
  EXPECT_EQ(u.SetupError(),
            "Sub-carrier index of the0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");
}

TEST(SubcarrierMuxSetup, ExplicitListMustMatchTheCarrierCount) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2, 1};
  r.mux.CarrierIndex[0] = {1, 2};
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  r.mux.CarrierIndex[0] = {1, 2, 3};
  EXPECT_EQ(r.SetupError(), "");
  // Two symbols of 8: the third carrier lies in the second symbol.
  EXPECT_EQ(r.Table(0), (V{1, 2, 11}));
  EXPECT_EQ(r.mux.Input.BufferAt(0).GetSize(), 3u);

  // A carrier count far beyond the list is refused before any table of that
  // size is made (eight gigabytes here).
  r.mux.CarriersPerSym[0] = {2147483647};
  r.mux.CarrierIndex[0] = {0};
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  r.mux.CarriersPerSym[0] = {1};
  r.mux.EVMRef = 1;
  r.mux.EVMRef_NumCarriers = {2147483647};
  r.mux.EVMRef_CarrierIndex = {0};
  EXPECT_EQ(r.SetupError(), "Parameters of EVMRef don't match.\n\n");
}

TEST(SubcarrierMuxSetup, RangesCoverStartToStopInclusive) {
  MuxRig r(1);
  r.mux.Centered = 1;
  r.mux.IndexType[0] = 1;
  r.mux.CarriersPerSym[0] = {3, 2};
  r.mux.CarrierIndex[0] = {-2, 1, 0, 2}; // ranges [-2, 0] and [1, 2]
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.Table(0), (V{2, 3, 4, 13, 14}));
  EXPECT_EQ(r.mux.map.FrameLength(), 16u);

  r.mux.CarrierIndex[0] = {-2, 1, -1, 2}; // four carriers for five
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  r.mux.CarrierIndex[0] = {-3, 1, 0, 2}; // six carriers for five
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  // A range far wider than the carrier count stops at the count.
  r.mux.CarrierIndex[0] = {-2147483647 - 1, 2147483647};
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  // Too few carriers in the ranges for a huge count: refused before a table
  // of that count is made.
  r.mux.CarriersPerSym[0] = {2147483647};
  r.mux.CarrierIndex[0] = {-2, 1, 0, 2};
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  // An empty range (stop before start) gives no carriers.
  r.mux.CarriersPerSym[0] = {3, 2};
  r.mux.CarrierIndex[0] = {-2, 3, 1, 0, 2, 2};
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.Table(0), (V{2, 3, 4, 13, 14}));
}

TEST(SubcarrierMuxSetup, FrameIsTheLeastCommonMultipleOfTheSymbolCounts) {
  MuxRig r(2, 4);
  r.TwoAndThreeSymbols();
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.map.FrameSymbols(), 6);
  EXPECT_EQ(r.mux.map.FrameLength(), 24u);
  EXPECT_EQ(r.Table(0), (V{2, 7, 10, 15, 18, 23}));
  EXPECT_EQ(r.Table(1), (V{1, 4, 9, 13, 16, 21}));
  EXPECT_EQ(r.mux.Input.BufferAt(0).GetSize(), 6u);
  EXPECT_EQ(r.mux.Input.BufferAt(1).GetSize(), 6u);
  EXPECT_EQ(r.mux.Output.GetSize(), 24u);
}

TEST(SubcarrierMuxSetup, UnconnectedBranchesTakeNoPart) {
  MuxRig r(2);
  r.mux.Input.BufferAt(1).SetConnected(false);
  r.mux.CarriersPerSym[0] = {1, 1};
  r.mux.CarrierIndex[0] = {0, 1};
  r.mux.CarriersPerSym[1] = {1, 1, 1}; // would make L 6 and does not match
  r.mux.CarrierIndex[1] = {};
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.map.FrameSymbols(), 2);
  EXPECT_EQ(r.mux.map.InputTableLength(1), 0u);
  EXPECT_EQ(r.mux.Input.BufferAt(1).GetSize(), 1u);
}

TEST(SubcarrierMuxSetup, CarrierCountsMustBePresentAndNotNegative) {
  MuxRig r(2);
  r.mux.CarriersPerSym[0] = {1};
  r.mux.CarrierIndex[0] = {0};
  r.mux.CarriersPerSym[1] = {2, -1};
  r.mux.CarrierIndex[1] = {0};
  EXPECT_EQ(r.SetupError(), "Negative CarriersPerSym found in the 1'th input branch.\n\n");
  r.mux.CarriersPerSym[1] = {};
  EXPECT_EQ(r.SetupError(), "No CarriersPerSym found in the 1'th input branch.\n\n");
  // Zero carriers is a branch that carries nothing.
  r.mux.CarriersPerSym[1] = {0, 0};
  r.mux.CarrierIndex[1] = {};
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.Input.BufferAt(1).GetSize(), 0u);
}

TEST(SubcarrierMuxSetup, OversamplingWidensTheSymbol) {
  MuxRig r(1, 4);
  r.mux.Centered = 1;
  r.mux.OversamplingShift = 1;
  r.mux.CarriersPerSym[0] = {2, 1};
  r.mux.CarrierIndex[0] = {-4, 3, 0};
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.map.SymbolLength(), 8);
  EXPECT_EQ(r.Table(0), (V{0, 7, 12}));

  for (int32_t shift : {-1, 31, 29}) {
    r.mux.OversamplingShift = shift;
    EXPECT_EQ(r.SetupError(), "OversamplingShift must be >= 0 and DFTSize*2^OversamplingShift "
                              "must not exceed 2147483647.\n\n")
        << shift;
  }
}

TEST(SubcarrierMuxSetup, FramesBeyondThirtyTwoBitPositionsAreRefused) {
  MuxRig r(2, 1 << 20);
  r.mux.CarriersPerSym[0] = V(4096, 0);
  r.mux.CarriersPerSym[1] = V(4095, 0);
  EXPECT_EQ(r.SetupError(), "The sub-carrier tables would exceed 2147483647 positions.\n\n");
}

TEST(SubcarrierMuxSetup, DefaultEvmRefListsUsedPositionsInFrequencyOrder) {
  MuxRig c(2);
  c.mux.Centered = 1;
  c.mux.CarriersPerSym[0] = {2};
  c.mux.CarrierIndex[0] = {3, -2};
  c.mux.CarriersPerSym[1] = {2};
  c.mux.CarrierIndex[1] = {-2, -4}; // -2 shared with branch 0
  EXPECT_EQ(c.SetupError(), "");
  EXPECT_EQ(c.EvmTable(), (V{0, 2, 7}));

  MuxRig u(1);
  u.mux.CarriersPerSym[0] = {3, 2};
  u.mux.CarrierIndex[0] = {0, 1, -1, -4, 2};
  EXPECT_EQ(u.SetupError(), "");
  EXPECT_EQ(u.Table(0), (V{0, 1, 7, 12, 10}));
  // Per symbol the negative frequencies (upper half) come first.
  EXPECT_EQ(u.EvmTable(), (V{7, 0, 1, 12, 10}));
  EXPECT_EQ(u.mux.EVMRefOutput.GetSize(), 5u);
}

TEST(SubcarrierMuxSetup, ExplicitEvmRefTable) {
  MuxRig c(1);
  c.mux.Centered = 1;
  c.mux.CarriersPerSym[0] = {1, 1};
  c.mux.CarrierIndex[0] = {0, 0};
  c.mux.EVMRef = 1;
  c.mux.EVMRef_NumCarriers = {2};
  c.mux.EVMRef_CarrierIndex = {-1, 1};
  EXPECT_EQ(c.SetupError(), "");
  EXPECT_EQ(c.EvmTable(), (V{3, 5, 11, 13}));

  MuxRig u(1);
  u.mux.CarriersPerSym[0] = {1, 1};
  u.mux.CarrierIndex[0] = {0, 0};
  u.mux.EVMRef = 1;
  u.mux.EVMRef_NumCarriers = {2};
  u.mux.EVMRef_CarrierIndex = {-1, 1};
  EXPECT_EQ(u.SetupError(), "");
  EXPECT_EQ(u.EvmTable(), (V{7, 1, 15, 9}));

  // Ranges, two EVMRef symbols per repetition.
  u.mux.EVMRef_IndexType = 1;
  u.mux.EVMRef_NumCarriers = {2, 1};
  u.mux.EVMRef_CarrierIndex = {-2, 3, -1, 3};
  u.mux.CarriersPerSym[0] = {1, 1, 1, 1};
  u.mux.CarrierIndex[0] = {0, 0, 0, 0};
  EXPECT_EQ(u.SetupError(), "");
  EXPECT_EQ(u.EvmTable(), (V{6, 7, 11, 22, 23, 27}));
}

TEST(SubcarrierMuxSetup, EvmRefParametersAreChecked) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {1, 1};
  r.mux.CarrierIndex[0] = {0, 0};
  r.mux.EVMRef = 1;
  r.mux.EVMRef_NumCarriers = {1, 1, 1};
  r.mux.EVMRef_CarrierIndex = {0, 0, 0};
  EXPECT_EQ(r.SetupError(), "The size of EVMRef_NumCarriers should be a factor of 2.\n\n");
  r.mux.EVMRef_NumCarriers = {};
  EXPECT_EQ(r.SetupError(), "The size of EVMRef_NumCarriers should be a factor of 2.\n\n");
  r.mux.EVMRef_NumCarriers = {1, -1};
  EXPECT_EQ(r.SetupError(), "Negative CarrierPerSym found in the 1'th EVMRef output branch.\n\n");
  r.mux.EVMRef_NumCarriers = {2};
  r.mux.EVMRef_CarrierIndex = {0};
  EXPECT_EQ(r.SetupError(), "Parameters of EVMRef don't match.\n\n");
  // EVMRef indices are centred even when the block is not.
  r.mux.EVMRef_CarrierIndex = {0, 4};
  EXPECT_EQ(r.SetupError(), "EVMRef_CarrierIndex beyond [-DFTSize/2, DFTSize/2-1].\n\n");
  r.mux.EVMRef_CarrierIndex = {0, 3};
  EXPECT_EQ(r.SetupError(), "");
}

TEST(SubcarrierMuxSetup, OutputSizesFollowWhatIsConnected) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {0, 1};
  r.mux.Output.SetConnected(false);
  r.mux.EVMRefOutput.SetConnected(false);
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.Output.GetSize(), 1u);
  EXPECT_EQ(r.mux.EVMRefOutput.GetSize(), 1u);

  r.mux.EVMRefOutput.SetConnected(true);
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.mux.Output.GetSize(), 8u);
  EXPECT_EQ(r.mux.EVMRefOutput.GetSize(), 2u);
}

TEST(SubcarrierMuxSetup, AFailureIsReportedOnceAndTablesDoNotSurviveIt) {
  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {0, 1};
  EXPECT_EQ(r.SetupError(), "");
  r.mux.CarrierIndex[0] = {0};
  EXPECT_EQ(r.SetupError(), "Parameters of the0'th branch don't match.\n\n");
  EXPECT_EQ(r.mux.map.InputTableLength(0), 0u);
  EXPECT_EQ(r.mux.map.FrameLength(), 0u);
  r.mux.CarrierIndex[0] = {2, 3};
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.Table(0), (V{2, 3}));
}
