// The position tables of the sub-carrier multiplexer: where each branch's
// carrier values go in a frame of whole DFT symbols, and which frame
// positions the EVMRef output gathers.
#ifndef VARNHOLT_RUNTIME_SUBCARRIERMAP_H
#define VARNHOLT_RUNTIME_SUBCARRIERMAP_H

#include <complex>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace Varnholt {

// How a branch gives its carrier indices.
enum SubcarrierIndexKind : int32_t {
  kIndexRanges = 1,   // start/stop ranges: starts in the first half, stops in the second
  kIndexDataFile = 2, // a data index file
  // any other value: an explicit index list
};

// One branch's parameters as the map reads them. For a data index file the
// index list is the array read from it.
struct SubcarrierBranchParams {
  const std::vector<int32_t> *CarriersPerSym = nullptr;
  int32_t IndexKind = 0;
  const std::vector<int32_t> *IndexList = nullptr;
};

class SubcarrierMap {
public:
  static constexpr int kMaxBranches = 4;

  void SetDFTSize(int32_t n) { dftSize_ = n; }
  void SetNumBranches(int32_t n) { numBranches_ = n; }
  // Also computes the symbol length, DFTSize * 2^shift; a shift that is
  // negative or leaves the 32-bit range is reported.
  void SetOversamplingShift(int32_t shift);
  void SetCentered(int32_t centered) { centered_ = centered; }
  void SetConnectedBranches(const std::vector<bool> &connected) { connected_ = connected; }
  // Any value but 1 builds the default EVMRef table from the branch tables.
  void SetEVMRef(int32_t flag);

  // Builds the branch tables and the frame length from the branches'
  // parameters (one entry per branch). False on an error, whose sentence is
  // in the error text.
  bool BuildInputMaps(const SubcarrierBranchParams *branches);
  // The EVMRef table from its own parameters; the indices are centred.
  bool BuildEvmRefMap(const SubcarrierBranchParams &evmRef);

  // Positions of one block of carriers, symbol offsets added.
  // 0: built; 1: the parameters don't match; 2: a position is out of range.
  static int BuildIndexTable(int64_t S, int64_t symbols, int64_t n, bool centered,
                             const std::vector<int32_t> &carriersPerSym, int32_t kind,
                             const std::vector<int32_t> &indexList, std::vector<int32_t> &table);

  // Reads the sum of carriersPerSym integers into result. 0: read, or left
  // unread when a negative count makes the sum negative or wider than 32
  // bits; 1: the file can't be opened (sentence added); 2: too few numbers
  // (sentence added); 3: a text token that is not a 32-bit decimal integer
  // (sentence added).
  int LoadDataIndexFile(const std::vector<int32_t> &carriersPerSym, std::vector<int32_t> &result,
                        int32_t binary, const std::string &fileName);
  // Return codes as LoadDataIndexFile, without sentences.
  static int ReadIndexText(const std::string &fileName, uint64_t n, std::vector<int32_t> &result);
  static int ReadIndexBinary(const std::string &fileName, uint64_t n,
                             std::vector<int32_t> &result);

  static int64_t Gcd(int64_t a, int64_t b);
  static int64_t Lcm(int64_t a, int64_t b);

  // Drops every table (a later Run maps nothing).
  void ClearTables();

  std::string ErrorText() const { return error_.str(); }
  bool HasError() const { return !error_.str().empty(); }
  void ClearError() { error_.str(std::string()); error_.clear(); }

  const std::vector<int32_t> &InputTable(int i) const { return inputTable_[i]; }
  uint64_t InputTableLength(int i) const { return inputLength_[i]; }
  const std::vector<int32_t> &EvmRefTable() const { return evmRefTable_; }
  uint64_t EvmRefTableLength() const { return evmRefLength_; }
  uint64_t FrameLength() const { return frameLength_; }
  int64_t SymbolLength() const { return symbolLength_; }
  int64_t FrameSymbols() const { return frameSymbols_; }
  bool IsConnected(int i) const { return i < static_cast<int>(connected_.size()) && connected_[i]; }

  // Sample buffers sized like the tables, and the frame assembled from the
  // branch buffers by the tables (what the block's Run does on its ports).
  void SizeSampleBuffers();
  void FillSampleBuffers();
  std::vector<std::complex<double>> &BranchSamples(int i) { return branchSamples_[i]; }
  const std::vector<std::complex<double>> &FrameSamples() const { return frameSamples_; }
  const std::vector<std::complex<double>> &EvmRefSamples() const { return evmRefSamples_; }

private:
  void BuildDefaultEvmRef();
  // False (with its sentence) when a length leaves the 32-bit position range.
  bool CheckLength(int64_t length);

  std::vector<int32_t> inputTable_[kMaxBranches];
  uint64_t inputLength_[kMaxBranches] = {0, 0, 0, 0};
  std::vector<int32_t> evmRefTable_;
  uint64_t evmRefLength_ = 0;
  uint64_t frameLength_ = 0;
  int32_t dftSize_ = 0;
  int32_t numBranches_ = 0;
  int64_t symbolLength_ = 0;
  int32_t shift_ = 0;
  int32_t centered_ = 0;
  int64_t frameSymbols_ = 1; // L
  int32_t evmRef_ = 0;
  std::vector<bool> connected_;
  std::ostringstream error_;
  std::vector<std::complex<double>> branchSamples_[kMaxBranches];
  std::vector<std::complex<double>> frameSamples_;
  std::vector<std::complex<double>> evmRefSamples_;
};

} // namespace Varnholt

#endif
