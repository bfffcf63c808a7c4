// The position tables of the sub-carrier multiplexer, the readers of its
// data index files (text or binary) and the default EVMRef table.
#include "runtime/SubcarrierMap.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

namespace Varnholt {

namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

bool IsDirectory(const std::string &fileName) {
  std::error_code ec;
  return std::filesystem::is_directory(fileName, ec);
}

bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

void SubcarrierMap::SetOversamplingShift(int32_t shift) {
  shift_ = shift;
  symbolLength_ = 0;
  if (shift < 0 || shift > 30 || (static_cast<int64_t>(dftSize_) << shift) > kMaxLength) {
    error_ << "OversamplingShift must be >= 0 and DFTSize*2^OversamplingShift must not exceed "
           << kMaxLength << ".\n";
    return;
  }
  symbolLength_ = static_cast<int64_t>(dftSize_) << shift;
}

bool SubcarrierMap::CheckLength(int64_t length) {
  if (length <= kMaxLength) return true;
  error_ << "The sub-carrier tables would exceed " << kMaxLength << " positions.\n";
  return false;
}

int64_t SubcarrierMap::Gcd(int64_t a, int64_t b) {
  a = a < 0 ? -a : a;
  b = b < 0 ? -b : b;
  while (b != 0) {
    const int64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

int64_t SubcarrierMap::Lcm(int64_t a, int64_t b) {
  if (a == 0 || b == 0) return 0;
  return a / Gcd(a, b) * b;
}

void SubcarrierMap::ClearTables() {
  for (int i = 0; i < kMaxBranches; ++i) {
    inputTable_[i].clear();
    inputLength_[i] = 0;
  }
  evmRefTable_.clear();
  evmRefLength_ = 0;
  frameLength_ = 0;
  frameSymbols_ = 1;
}

int SubcarrierMap::BuildIndexTable(int64_t S, int64_t symbols, int64_t n, bool centered,
                                   const std::vector<int32_t> &carriersPerSym, int32_t kind,
                                   const std::vector<int32_t> &indexList,
                                   std::vector<int32_t> &table) {
  if (n < 0) return 1;
  if (S <= 0) return 2;
  // The entry count is checked before the table grows to n: a carrier count
  // far beyond what the list can give must not cost a table of that size.
  const uint64_t ranges = indexList.size() / 2;
  if (kind == kIndexRanges) {
    int64_t count = 0;
    for (uint64_t r = 0; r < ranges && count <= n; ++r) {
      const int64_t start = indexList[r];
      const int64_t stop = indexList[ranges + r];
      if (stop >= start) count += stop - start + 1;
    }
    if (count != n) return 1;
  } else if (static_cast<int64_t>(indexList.size()) != n) {
    return 1;
  }
  if (table.size() < static_cast<uint64_t>(n)) table.resize(static_cast<uint64_t>(n));
  bool outOfRange = false;
  // Positions are checked before they are narrowed to 32 bits.
  auto place = [&](int64_t i, int64_t k) {
    const int64_t p = centered ? S / 2 + k : (S + k) % S;
    if (p < 0 || p >= S) {
      outOfRange = true;
      table[i] = 0;
    } else {
      table[i] = static_cast<int32_t>(p);
    }
  };
  if (kind == kIndexRanges) {
    int64_t count = 0;
    for (uint64_t r = 0; r < ranges; ++r) {
      const int64_t start = indexList[r];
      const int64_t stop = indexList[ranges + r];
      for (int64_t k = start; k <= stop; ++k) place(count++, k);
    }
  } else {
    for (int64_t i = 0; i < n; ++i) place(i, indexList[i]);
  }
  if (outOfRange) return 2;
  int64_t entry = 0;
  for (int64_t j = 0; j < symbols && j < static_cast<int64_t>(carriersPerSym.size()); ++j) {
    for (int32_t c = 0; c < carriersPerSym[j] && entry < n; ++c)
      table[entry++] += static_cast<int32_t>(j * S);
  }
  return 0;
}

namespace {
const std::vector<int32_t> &ListOf(const std::vector<int32_t> *list) {
  static const std::vector<int32_t> kNone;
  return list ? *list : kNone;
}
} // namespace

bool SubcarrierMap::BuildInputMaps(const SubcarrierBranchParams *branches) {
  const int64_t S = symbolLength_;
  const int nb = numBranches_ < kMaxBranches ? numBranches_ : kMaxBranches;
  ClearTables();
  int64_t L = 1;
  for (int i = 0; i < nb; ++i) {
    if (!IsConnected(i)) continue;
    const int64_t count = static_cast<int64_t>(ListOf(branches[i].CarriersPerSym).size());
    if (count == 0) {
      error_ << "No CarriersPerSym found in the " << static_cast<unsigned>(i)
             << "'th input branch.\n";
      return false;
    }
    L = Lcm(L, count);
    if (!CheckLength(S * L)) return false;
  }
  frameSymbols_ = L;
  frameLength_ = static_cast<uint64_t>(S * L);

  for (int i = 0; i < nb; ++i) {
    if (!IsConnected(i)) continue;
    const std::vector<int32_t> &cps = ListOf(branches[i].CarriersPerSym);
    const int64_t count = static_cast<int64_t>(cps.size());
    int64_t e = 0;
    for (int32_t c : cps) {
      if (c < 0) {
        error_ << "Negative CarriersPerSym found in the " << static_cast<unsigned>(i)
               << "'th input branch.\n";
        return false;
      }
      e += c;
    }
    const int64_t r = L / count;
    if (!CheckLength(e * r)) return false;
    std::vector<int32_t> &table = inputTable_[i];
    const std::vector<int32_t> &list = ListOf(branches[i].IndexList);
    const int rc = BuildIndexTable(S, count, e, centered_ == 1, cps, branches[i].IndexKind, list,
                                   table);
    if (rc == 1) {
      error_ << "Parameters of the" << static_cast<unsigned>(i) << "'th branch don't match.\n";
      return false;
    }
    if (rc == 2) {
      error_ << "Sub-carrier index of the" << static_cast<unsigned>(i)
             << "'th branch beyond [-DFTSize/2, DFTSize/2-1].\n";
      return false;
    }
    table.resize(static_cast<uint64_t>(e * r));
    for (int64_t l = 1; l < r; ++l) {
      const int32_t offset = static_cast<int32_t>(l * count * S);
      for (int64_t k = 0; k < e; ++k) table[l * e + k] = table[k] + offset;
    }
    inputLength_[i] = static_cast<uint64_t>(e * r);
  }
  return true;
}

bool SubcarrierMap::BuildEvmRefMap(const SubcarrierBranchParams &evmRef) {
  const int64_t S = symbolLength_;
  const int64_t L = frameSymbols_;
  evmRefTable_.clear();
  evmRefLength_ = 0;
  const std::vector<int32_t> &cps = ListOf(evmRef.CarriersPerSym);
  const int64_t c = static_cast<int64_t>(cps.size());
  if (c == 0 || L % c != 0) {
    error_ << "The size of EVMRef_NumCarriers should be a factor of " << L << ".\n";
    return false;
  }
  int64_t e = 0;
  for (uint64_t i = 0; i < cps.size(); ++i) {
    if (cps[i] < 0) {
      error_ << "Negative CarrierPerSym found in the " << i << "'th EVMRef output branch.\n";
      return false;
    }
    e += cps[i];
  }
  const int64_t reps = L / c;
  if (!CheckLength(e * reps)) return false;
  const std::vector<int32_t> &list = ListOf(evmRef.IndexList);
  const int rc = BuildIndexTable(S, c, e, true, cps, evmRef.IndexKind, list, evmRefTable_);
  if (rc == 1) {
    error_ << "Parameters of EVMRef don't match.\n";
    evmRefTable_.clear();
    return false;
  }
  if (rc == 2) {
    error_ << "EVMRef_CarrierIndex beyond [-DFTSize/2, DFTSize/2-1].\n";
    evmRefTable_.clear();
    return false;
  }
  evmRefTable_.resize(static_cast<uint64_t>(e * reps));
  if (centered_ != 1) {
    // The indices were placed centred; move each to the uncentred layout of
    // its symbol.
    for (int64_t k = 0; k < e; ++k) {
      const int64_t h = evmRefTable_[k];
      evmRefTable_[k] = static_cast<int32_t>((h % S + S / 2) % S + S * (h / S));
    }
  }
  for (int64_t j = 1; j < reps; ++j) {
    const int32_t offset = static_cast<int32_t>(j * S * c);
    for (int64_t k = 0; k < e; ++k) evmRefTable_[j * e + k] = evmRefTable_[k] + offset;
  }
  evmRefLength_ = static_cast<uint64_t>(e * reps);
  return true;
}

void SubcarrierMap::SetEVMRef(int32_t flag) {
  evmRef_ = flag;
  if (flag != 1) BuildDefaultEvmRef();
}

void SubcarrierMap::BuildDefaultEvmRef() {
  evmRefTable_.clear();
  evmRefLength_ = 0;
  std::vector<bool> used(frameLength_, false);
  for (int i = 0; i < kMaxBranches; ++i)
    for (uint64_t j = 0; j < inputLength_[i]; ++j) used[static_cast<uint64_t>(inputTable_[i][j])] = true;
  auto take = [&](int64_t from, int64_t to) {
    for (int64_t p = from; p < to; ++p)
      if (used[static_cast<uint64_t>(p)]) evmRefTable_.push_back(static_cast<int32_t>(p));
  };
  const int64_t F = static_cast<int64_t>(frameLength_);
  const int64_t S = symbolLength_;
  if (centered_ == 1) {
    take(0, F);
  } else if (S > 0) {
    // Uncentred symbols hold the negative frequencies in their upper half.
    for (int64_t base = 0; base < F; base += S) {
      take(base + S / 2, base + S);
      take(base, base + S / 2);
    }
  }
  evmRefLength_ = evmRefTable_.size();
}

int SubcarrierMap::ReadIndexText(const std::string &fileName, uint64_t n,
                                 std::vector<int32_t> &result) {
  result.clear();
  if (IsDirectory(fileName)) return 1;
  std::ifstream in(fileName);
  if (!in.is_open()) return 1;
  std::streambuf *buf = in.rdbuf();
  while (result.size() < n) {
    int c = buf->sbumpc();
    while (c != EOF && IsBlank(c)) c = buf->sbumpc();
    if (c == EOF) return 2;
    bool negative = false;
    if (c == '+' || c == '-') {
      negative = c == '-';
      c = buf->sbumpc();
    }
    bool digits = false;
    int64_t value = 0;
    for (; c != EOF && !IsBlank(c); c = buf->sbumpc()) {
      if (c < '0' || c > '9') return 3;
      digits = true;
      if (value <= kMaxLength + 1) value = value * 10 + (c - '0');
    }
    if (!digits) return 3;
    if (negative) value = -value;
    if (value > kMaxLength || value < -kMaxLength - 1) return 3;
    result.push_back(static_cast<int32_t>(value));
  }
  return 0;
}

int SubcarrierMap::ReadIndexBinary(const std::string &fileName, uint64_t n,
                                   std::vector<int32_t> &result) {
  result.clear();
  if (IsDirectory(fileName)) return 1;
  std::ifstream in(fileName, std::ios::binary);
  if (!in.is_open()) return 1;
  // Read in chunks so that a short file never costs the whole count.
  constexpr uint64_t kChunk = 65536;
  while (result.size() < n) {
    const uint64_t have = result.size();
    const uint64_t want = n - have < kChunk ? n - have : kChunk;
    result.resize(have + want);
    in.read(reinterpret_cast<char *>(result.data() + have),
            static_cast<std::streamsize>(want * sizeof(int32_t)));
    const uint64_t got = static_cast<uint64_t>(in.gcount());
    if (got < want * sizeof(int32_t)) {
      result.resize(have + got / sizeof(int32_t));
      return 2;
    }
  }
  return 0;
}

int SubcarrierMap::LoadDataIndexFile(const std::vector<int32_t> &carriersPerSym,
                                     std::vector<int32_t> &result, int32_t binary,
                                     const std::string &fileName) {
  result.clear();
  // The file is read for the sum of the counts even when one of them is
  // negative (the tables report that later); with a negative count, a sum
  // that is negative or leaves 32 bits leaves the file unread.
  int64_t sum = 0;
  bool negative = false;
  for (int32_t c : carriersPerSym) {
    negative = negative || c < 0;
    sum += c;
  }
  if (negative && (sum < 0 || sum > kMaxLength)) return 0;
  const uint64_t n = static_cast<uint64_t>(sum);
  const int rc = binary == 1 ? ReadIndexBinary(fileName, n, result)
                             : ReadIndexText(fileName, n, result);
  if (rc == 1) error_ << "Can't open Data index file.\n";
  if (rc == 2) error_ << "Not enough data in Data index file.\n";
  if (rc == 3) error_ << "Data index file holds a token that is not a decimal integer.\n";
  if (rc != 0) result.clear();
  return rc;
}

void SubcarrierMap::SizeSampleBuffers() {
  for (int i = 0; i < kMaxBranches; ++i) branchSamples_[i].assign(inputLength_[i], {});
  frameSamples_.assign(frameLength_, {});
  evmRefSamples_.assign(evmRefLength_, {});
}

void SubcarrierMap::FillSampleBuffers() {
  for (int i = 0; i < kMaxBranches; ++i) {
    const uint64_t n = inputLength_[i] < branchSamples_[i].size() ? inputLength_[i]
                                                                  : branchSamples_[i].size();
    for (uint64_t j = 0; j < n; ++j) {
      const uint64_t p = static_cast<uint64_t>(inputTable_[i][j]);
      if (p < frameSamples_.size()) frameSamples_[p] = branchSamples_[i][j];
    }
  }
  const uint64_t n = evmRefLength_ < evmRefSamples_.size() ? evmRefLength_ : evmRefSamples_.size();
  for (uint64_t i = 0; i < n; ++i) {
    const uint64_t p = static_cast<uint64_t>(evmRefTable_[i]);
    if (p < frameSamples_.size()) evmRefSamples_[i] = frameSamples_[p];
  }
}

} // namespace Varnholt
