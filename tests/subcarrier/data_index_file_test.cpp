#include "MuxRig.h"

#include "runtime/SubcarrierMap.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

using muxtest::Binary;
using muxtest::MuxRig;
using testsupport::TempDir;
using V = std::vector<int32_t>;

namespace {

// One centred branch of two symbols whose indices come from a file.
void FileBranch(MuxRig &r, int i, const std::string &file, int32_t binary) {
  r.mux.Centered = 1;
  r.mux.CarriersPerSym[i] = {2, 1};
  r.mux.IndexType[i] = 2;
  r.mux.BinaryFile[i] = binary;
  r.mux.DataIndexFile[i] = file;
}

} // namespace

TEST(DataIndexFile, TextAndBinaryFilesGiveTheSameTable) {
  TempDir dir;
  MuxRig text(1);
  FileBranch(text, 0, dir.Write("idx.txt", "  -4\n+3\t0002\n17 trailing words\n"), 0);
  EXPECT_EQ(text.SetupError(), "");
  EXPECT_EQ(text.Table(0), (V{0, 7, 14}));

  MuxRig bin(1);
  FileBranch(bin, 0, dir.Write("idx.bin", Binary({-4, 3, 2, 99})), 1);
  EXPECT_EQ(bin.SetupError(), "");
  EXPECT_EQ(bin.Table(0), (V{0, 7, 14}));

  // A binary file is not read as text, and the other way round.
  bin.mux.BinaryFile[0] = 0;
  EXPECT_NE(bin.SetupError(), "");
}

TEST(DataIndexFile, ShortFilesHaveNotEnoughData) {
  TempDir dir;
  MuxRig text(1);
  FileBranch(text, 0, dir.Write("short.txt", "1 2\n"), 0);
  EXPECT_EQ(text.SetupError(), "Not enough data in Data index file.\n\n");
  FileBranch(text, 0, dir.Write("empty.txt", ""), 0);
  EXPECT_EQ(text.SetupError(), "Not enough data in Data index file.\n\n");

  MuxRig bin(1);
  FileBranch(bin, 0, dir.Write("short.bin", Binary({1, 2, 3}).substr(0, 11)), 1);
  EXPECT_EQ(bin.SetupError(), "Not enough data in Data index file.\n\n");
}

TEST(DataIndexFile, MissingOrUnreadableFilesCannotBeOpened) {
  TempDir dir;
  for (int32_t binary : {0, 1}) {
    MuxRig r(1);
    FileBranch(r, 0, dir.path() + "/absent", binary);
    EXPECT_EQ(r.SetupError(), "Can't open Data index file.\n\n");
    FileBranch(r, 0, dir.path(), binary);
    EXPECT_EQ(r.SetupError(), "Can't open Data index file.\n\n");
    EXPECT_EQ(r.mux.map.FrameLength(), 0u);
  }
}

TEST(DataIndexFile, TokensThatAreNotDecimalIntegersAreRefused) {
  TempDir dir;
  const std::string sentence = "Data index file holds a token that is not a decimal integer.\n\n";
  for (const char *text : {"1 x 3", "1 2abc 3", "1 0x10 3", "1 - 3", "1 2.5 3", "1,2,3",
                           "1 2147483648 3", "1 -2147483649 3", "1 99999999999999999999 3"}) {
    MuxRig r(1);
    FileBranch(r, 0, dir.Write("bad.txt", text), 0);
    EXPECT_EQ(r.SetupError(), sentence) << text;
  }
  // The extremes of 32 bits are numbers (and here out of range).
  MuxRig r(1);
  FileBranch(r, 0, dir.Write("wide.txt", "-2147483648 2147483647 0"), 0);
  EXPECT_EQ(r.SetupError(),
            "Sub-carrier index of the0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n");
}

TEST(DataIndexFile, LoadingStopsAtTheFirstFailingBranch) {
  TempDir dir;
  MuxRig r(3);
  FileBranch(r, 0, dir.Write("ok.txt", "0 1 2"), 0);
  FileBranch(r, 1, dir.path() + "/absent1", 0);
  FileBranch(r, 2, dir.path() + "/absent2", 1);
  EXPECT_EQ(r.SetupError(), "Can't open Data index file.\n\n");

  // Unconnected branches read no file.
  r.mux.Input.BufferAt(1).SetConnected(false);
  r.mux.Input.BufferAt(2).SetConnected(false);
  EXPECT_EQ(r.SetupError(), "");
  EXPECT_EQ(r.Table(0), (V{4, 5, 14}));
}

TEST(DataIndexFile, EvmRefIndicesFromAFile) {
  TempDir dir;
  for (int32_t binary : {0, 1}) {
    MuxRig r(1);
    r.mux.CarriersPerSym[0] = {1, 1};
    r.mux.CarrierIndex[0] = {0, 0};
    r.mux.EVMRef = 1;
    r.mux.EVMRef_NumCarriers = {2};
    r.mux.EVMRef_IndexType = 2;
    r.mux.EVMRef_BinaryFile = binary;
    r.mux.EVMRef_DataIndexFile =
        binary ? dir.Write("evm.bin", Binary({-1, 1})) : dir.Write("evm.txt", "-1 1\n");
    EXPECT_EQ(r.SetupError(), "");
    EXPECT_EQ(r.EvmTable(), (V{7, 1, 15, 9}));

    r.mux.EVMRef_NumCarriers = {3};
    r.mux.EVMRef_IndexType = 2;
    EXPECT_EQ(r.SetupError(), "Not enough data in Data index file.\n\n");
    r.mux.EVMRef_DataIndexFile = dir.path() + "/absent";
    EXPECT_EQ(r.SetupError(), "Can't open Data index file.\n\n");
  }
}

// The file is loaded before the tables check the counts, so a negative
// count beside a file that cannot be read reports the file. A sum that is
// negative or leaves 32 bits is never read for: the count is reported.
TEST(DataIndexFile, FilesAreLoadedBeforeNegativeCountsAreReported) {
  const std::string cantOpen = "Can't open Data index file.\n\n";
  const std::string notEnough = "Not enough data in Data index file.\n\n";
  const int32_t kMax = 2147483647;
  struct Row {
    bool evmRef;        // the counts and file are EVMRef's; branch 0 is a plain list
    V counts;
    const char *file;   // nullptr: no such file
    std::string error;
  } rows[] = {
      {false, {-1, 2}, nullptr, cantOpen},
      {false, {-1, 2}, "", notEnough},
      {false, {-1, 2}, "5", "Negative CarriersPerSym found in the 0'th input branch.\n\n"},
      {false, {-3, 2}, nullptr, "Negative CarriersPerSym found in the 0'th input branch.\n\n"},
      {false, {-1, kMax, kMax}, nullptr,
       "Negative CarriersPerSym found in the 0'th input branch.\n\n"},
      {true, {-1, 2}, nullptr, cantOpen},
      {true, {-1, 2}, "", notEnough},
      {true, {2, -1}, "0", "Negative CarrierPerSym found in the 1'th EVMRef output branch.\n\n"},
      {true, {-2, 1}, nullptr,
       "Negative CarrierPerSym found in the 0'th EVMRef output branch.\n\n"},
      {true, {kMax, -1, kMax}, nullptr,
       "The size of EVMRef_NumCarriers should be a factor of 2.\n\n"},
      {true, {kMax, -1}, nullptr, cantOpen}, // the sum still fits 32 bits
  };
  TempDir dir;
  for (int32_t binary : {0, 1}) {
    for (const Row &row : rows) {
      const std::string file = row.file ? dir.Write("idx", row.file) : dir.path() + "/absent";
      MuxRig r(1);
      if (row.evmRef) {
        r.mux.CarriersPerSym[0] = {1, 1};
        r.mux.CarrierIndex[0] = {0, 0};
        r.mux.EVMRef = 1;
        r.mux.EVMRef_NumCarriers = row.counts;
        r.mux.EVMRef_IndexType = 2;
        r.mux.EVMRef_BinaryFile = binary;
        r.mux.EVMRef_DataIndexFile = file;
      } else {
        r.mux.CarriersPerSym[0] = row.counts;
        r.mux.IndexType[0] = 2;
        r.mux.BinaryFile[0] = binary;
        r.mux.DataIndexFile[0] = file;
      }
      // A binary file of one 32-bit zero stands for the text "5" or "0".
      if (binary == 1 && row.file && *row.file) dir.Write("idx", Binary({0}));
      EXPECT_EQ(r.SetupError(), row.error) << "binary " << binary << " " << row.error;
    }
  }
}

TEST(SubcarrierMap, ReadersReportCodes) {
  TempDir dir;
  std::vector<int32_t> out;
  const std::string bin = dir.Write("a.bin", Binary({5, -6, 7}));
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexBinary(bin, 3, out), 0);
  EXPECT_EQ(out, (V{5, -6, 7}));
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexBinary(bin, 4, out), 2);
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexBinary(bin, 0, out), 0);
  EXPECT_TRUE(out.empty());
  const std::string txt = dir.Write("a.txt", "5 -6 7");
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexText(txt, 3, out), 0);
  EXPECT_EQ(out, (V{5, -6, 7}));
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexText(txt, 4, out), 2);
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexText(dir.path() + "/none", 1, out), 1);
  // A huge count with a short file costs no huge allocation.
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexBinary(bin, uint64_t(1) << 40, out), 2);
  EXPECT_EQ(Varnholt::SubcarrierMap::ReadIndexText(txt, uint64_t(1) << 40, out), 2);
}

TEST(SubcarrierMap, GcdLcmAndSampleBuffers) {
  using M = Varnholt::SubcarrierMap;
  EXPECT_EQ(M::Gcd(12, 18), 6);
  EXPECT_EQ(M::Lcm(4, 6), 12);
  EXPECT_EQ(M::Lcm(1, 7), 7);
  EXPECT_EQ(M::Lcm(0, 7), 0);

  MuxRig r(1);
  r.mux.CarriersPerSym[0] = {2};
  r.mux.CarrierIndex[0] = {3, 1};
  ASSERT_EQ(r.SetupError(), "");
  M &map = r.mux.map;
  map.SizeSampleBuffers();
  ASSERT_EQ(map.BranchSamples(0).size(), 2u);
  map.BranchSamples(0)[0] = {1, 1};
  map.BranchSamples(0)[1] = {2, 2};
  map.FillSampleBuffers();
  ASSERT_EQ(map.FrameSamples().size(), 8u);
  EXPECT_EQ(map.FrameSamples()[3], std::complex<double>(1, 1));
  EXPECT_EQ(map.FrameSamples()[1], std::complex<double>(2, 2));
  ASSERT_EQ(map.EvmRefSamples().size(), 2u);
  EXPECT_EQ(map.EvmRefSamples()[0], std::complex<double>(2, 2));
}
