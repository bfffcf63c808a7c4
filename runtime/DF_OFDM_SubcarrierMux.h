// Assembles OFDM frames in the frequency domain: up to four branches of
// complex carrier values are placed at their sub-carrier positions in a
// frame of whole DFT symbols; a second output, EVMRef, gathers the values
// at a set of reference positions.
#ifndef VARNHOLT_RUNTIME_DF_OFDM_SUBCARRIERMUX_H
#define VARNHOLT_RUNTIME_DF_OFDM_SUBCARRIERMUX_H

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"
#include "runtime/SubcarrierMap.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace Varnholt {

class DF_OFDM_SubcarrierMux : public DFModel {
public:
  static constexpr int kMaxInputs = SubcarrierMap::kMaxBranches;

  SubcarrierMap map;
  int32_t DFTSize = 0;
  int32_t NumInput = 1; // input branches, 1 to 4

  // Per branch. The symbol count of a branch is the number of entries of
  // its CarriersPerSym. IndexType: 1 start/stop ranges (starts in the first
  // half of CarrierIndex, stops in the second), 2 a data index file, any
  // other value CarrierIndex as an explicit list.
  std::vector<int32_t> CarriersPerSym[kMaxInputs];
  int32_t IndexType[kMaxInputs] = {0, 0, 0, 0};
  std::vector<int32_t> CarrierIndex[kMaxInputs];
  int32_t BinaryFile[kMaxInputs] = {0, 0, 0, 0}; // 1: 32-bit binary, else text
  std::string DataIndexFile[kMaxInputs];

  int32_t EVMRef_BinaryFile = 0;
  std::string EVMRef_DataIndexFile;
  int32_t Centered = 0;          // 1: carrier index 0 lies at the middle of a symbol
  int32_t OversamplingShift = 0; // symbol length = DFTSize * 2^OversamplingShift
  int32_t EVMRef = 0;            // 1: the EVMRef_ parameters give the EVMRef positions
  std::vector<int32_t> EVMRef_NumCarriers; // carriers per symbol
  int32_t EVMRef_IndexType = 0;
  std::vector<int32_t> EVMRef_CarrierIndex; // centred indices

  CircularBufferBusT<CircularBuffer<std::complex<double>>> Input;
  CircularBuffer<std::complex<double>> Output; // the frame
  CircularBuffer<std::complex<double>> EVMRefOutput;

  // Builds the position tables and sizes the ports.
  bool Setup() override;
  bool Run() override;

private:
  bool Fail();
  void ReleaseLoaded();

  // The arrays read from data index files, held only during Setup.
  std::vector<int32_t> loaded_[kMaxInputs];
  std::vector<int32_t> evmRefLoaded_;
};

} // namespace Varnholt

#endif
