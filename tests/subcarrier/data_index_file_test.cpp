#include "MuxRig.h"

#include "runtime/SubcarrierMap.h"
#include "tests/support/TestSupport.h"

#include <iterator>
#include <string>
#include <vector>

using muxtest::Binary;
using muxtest::MuxRig;
using testsupport::TempDir;
using V = std::vector<int32_t>;

namespace {

const std::string kCantOpen = "Can't open Data index file.\n\n";
const std::string kNotEnough = "Not enough data in Data index file.\n\n";

// One centred branch whose indices come from a file, by default two symbols.
void FileBranch(MuxRig &r, int i, const std::string &file, int32_t binary, V counts = {2, 1}) {
  r.mux.Centered = 1;
  r.mux.CarriersPerSym[i] = counts;
  r.mux.IndexType[i] = 2;
  r.mux.BinaryFile[i] = binary;
  r.mux.DataIndexFile[i] = file;
}

// EVMRef carriers from a file beside a plain branch of two symbols.
void EvmFile(MuxRig &r, const std::string &file, int32_t binary, V counts) {
  r.mux.CarriersPerSym[0] = {1, 1};
  r.mux.CarrierIndex[0] = {0, 0};
  r.mux.EVMRef = 1;
  r.mux.EVMRef_NumCarriers = counts;
  r.mux.EVMRef_IndexType = 2;
  r.mux.EVMRef_BinaryFile = binary;
  r.mux.EVMRef_DataIndexFile = file;
}

} // namespace

// Branch 0's file ("absent": none, "": the folder itself) with the sentence
// Setup writes and, when it succeeds, the table.
TEST(DataIndexFile, OneBranchFromAFile) {
  const std::string token = "Data index file holds a token that is not a decimal integer.\n\n";
  struct Row {
    int32_t binary;
    const char *name;
    std::string contents, error;
    V table;
  } rows[] = {
      {0, "idx.txt", "  -4\n+3\t0002\n17 trailing words\n", "", {0, 7, 14}},
      {1, "idx.bin", Binary({-4, 3, 2, 99}), "", {0, 7, 14}},
      {0, "short.txt", "1 2\n", kNotEnough, {}},
      {0, "empty.txt", "", kNotEnough, {}},
      {1, "short.bin", Binary({1, 2, 3}).substr(0, 11), kNotEnough, {}},
      {0, "absent", "", kCantOpen, {}},
      {0, "", "", kCantOpen, {}},
      {1, "absent", "", kCantOpen, {}},
      {1, "", "", kCantOpen, {}},
      // The extremes of 32 bits are numbers (and here out of range).
      {0, "wide.txt", "-2147483648 2147483647 0",
       "Sub-carrier index of the0'th branch beyond [-DFTSize/2, DFTSize/2-1].\n\n", {}},
  };
  std::vector<Row> all(std::begin(rows), std::end(rows));
  for (const char *text : {"1 x 3", "1 2abc 3", "1 0x10 3", "1 - 3", "1 2.5 3", "1,2,3", "1 2147483648 3",
                           "1 -2147483649 3", "1 99999999999999999999 3"})
    all.push_back({0, "bad.txt", text, token, {}});
  TempDir dir;
  for (const Row &row : all) {
    const std::string name = row.name;
    const std::string file = name == "absent" ? dir.path() + "/absent"
                             : name.empty()   ? dir.path()
                                              : dir.Write(name, row.contents);
    MuxRig r(1);
    FileBranch(r, 0, file, row.binary);
    EXPECT_EQ(r.SetupError(), row.error) << name << " " << row.contents;
    if (row.error.empty()) {
      EXPECT_EQ(r.Table(0), row.table) << name;
      // A binary file is not read as text, and the other way round.
      r.mux.BinaryFile[0] = !row.binary;
      EXPECT_NE(r.SetupError(), "") << name;
    } else if (row.error == kCantOpen) {
      EXPECT_EQ(r.mux.map.FrameLength(), 0u) << name;
    }
  }
}

TEST(DataIndexFile, LoadingStopsAtTheFirstFailingBranch) {
  TempDir dir;
  MuxRig r(3);
  FileBranch(r, 0, dir.Write("ok.txt", "0 1 2"), 0);
  FileBranch(r, 1, dir.path() + "/absent1", 0);
  FileBranch(r, 2, dir.path() + "/absent2", 1);
  EXPECT_EQ(r.SetupError(), kCantOpen);

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
    EvmFile(r, binary ? dir.Write("evm.bin", Binary({-1, 1})) : dir.Write("evm.txt", "-1 1\n"), binary, {2});
    EXPECT_EQ(r.SetupError(), "");
    EXPECT_EQ(r.EvmTable(), (V{7, 1, 15, 9}));

    r.mux.EVMRef_NumCarriers = {3};
    r.mux.EVMRef_IndexType = 2;
    EXPECT_EQ(r.SetupError(), kNotEnough);
    r.mux.EVMRef_DataIndexFile = dir.path() + "/absent";
    EXPECT_EQ(r.SetupError(), kCantOpen);
  }
}

// The file is loaded before the tables check the counts, so a negative
// count beside a file that cannot be read reports the file. A sum that is
// negative or leaves 32 bits is never read for: the count is reported.
// Each row holds whether the counts and file are EVMRef's, and the file
// (nullptr: none); a binary file of one 32-bit zero stands for "5" or "0".
TEST(DataIndexFile, FilesAreLoadedBeforeNegativeCountsAreReported) {
  const std::string negIn = "Negative CarriersPerSym found in the 0'th input branch.\n\n";
  const std::string negEvm0 = "Negative CarrierPerSym found in the 0'th EVMRef output branch.\n\n";
  const std::string negEvm1 = "Negative CarrierPerSym found in the 1'th EVMRef output branch.\n\n";
  const int32_t kMax = 2147483647;
  const struct Row {
    bool evmRef;
    V counts;
    const char *file;
    std::string error;
  } rows[] = {
      {false, {-1, 2}, nullptr, kCantOpen},
      {false, {-1, 2}, "", kNotEnough},
      {false, {-1, 2}, "5", negIn},
      {false, {-3, 2}, nullptr, negIn},
      {false, {-1, kMax, kMax}, nullptr, negIn},
      {true, {-1, 2}, nullptr, kCantOpen},
      {true, {-1, 2}, "", kNotEnough},
      {true, {2, -1}, "0", negEvm1},
      {true, {-2, 1}, nullptr, negEvm0},
      {true, {kMax, -1, kMax}, nullptr, "The size of EVMRef_NumCarriers should be a factor of 2.\n\n"},
      {true, {kMax, -1}, nullptr, kCantOpen}, // the sum still fits 32 bits
  };
  TempDir dir;
  for (int32_t binary : {0, 1}) {
    for (const Row &row : rows) {
      const std::string file = row.file ? dir.Write("idx", row.file) : dir.path() + "/absent";
      MuxRig r(1);
      if (row.evmRef) {
        EvmFile(r, file, binary, row.counts);
      } else {
        FileBranch(r, 0, file, binary, row.counts);
        r.mux.Centered = 0;
      }
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
