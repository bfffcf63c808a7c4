// The sub-carrier multiplexer: Setup loads the data index files and has the
// map build its tables; Run places each branch's values in the frame.
#include "runtime/DF_OFDM_SubcarrierMux.h"

#include <new>

namespace Varnholt {

void DF_OFDM_SubcarrierMux::ReleaseLoaded() {
  for (auto &a : loaded_) std::vector<int32_t>().swap(a);
  std::vector<int32_t>().swap(evmRefLoaded_);
}

// Reports the map's accumulated text once and leaves no tables behind, so
// that a Run after a failed Setup moves nothing.
bool DF_OFDM_SubcarrierMux::Fail() {
  const std::string text = map.ErrorText();
  map.ClearError();
  map.ClearTables();
  ReleaseLoaded();
  ReportError(text.c_str());
  return false;
}

bool DF_OFDM_SubcarrierMux::Setup() {
  map.ClearError();
  map.ClearTables();
  if (DFTSize < 4 || DFTSize % 2 != 0) {
    ReportError("DFTSize should be a positive even integer (>=4)");
    return false;
  }
  if (NumInput < 1 || NumInput > kMaxInputs) {
    ReportError("NumInput must be in the range of [1,4]");
    return false;
  }
  if (static_cast<uint64_t>(NumInput) != Input.GetCount()) {
    ReportError("Bus width of pin Input must equals to parameter NumInput");
    return false;
  }
  std::vector<bool> connected(static_cast<size_t>(NumInput));
  bool any = false;
  for (int i = 0; i < NumInput; ++i) {
    connected[i] = Input.BufferAt(i).IsConnected();
    any = any || connected[i];
  }
  if (!any) {
    ReportError("At least one branch of pin Input must be connected.\n");
    return false;
  }

  map.SetDFTSize(DFTSize);
  map.SetNumBranches(NumInput);
  map.SetConnectedBranches(connected);
  map.SetOversamplingShift(OversamplingShift);
  map.SetCentered(Centered);
  if (map.HasError()) return Fail();

  try {
    for (int i = 0; i < NumInput; ++i) {
      if (!connected[i] || IndexType[i] != kIndexDataFile) continue;
      if (map.LoadDataIndexFile(CarriersPerSym[i], loaded_[i], BinaryFile[i], DataIndexFile[i]))
        break;
    }
    if (map.HasError()) return Fail();

    SubcarrierBranchParams branches[kMaxInputs];
    for (int i = 0; i < kMaxInputs; ++i) {
      branches[i].CarriersPerSym = &CarriersPerSym[i];
      branches[i].IndexKind = IndexType[i];
      branches[i].IndexList = IndexType[i] == kIndexDataFile ? &loaded_[i] : &CarrierIndex[i];
    }
    map.BuildInputMaps(branches);
    ReleaseLoaded();
    if (map.HasError()) return Fail();

    map.SetEVMRef(EVMRef);
    if (EVMRef == 1) {
      if (EVMRef_IndexType == kIndexDataFile) {
        map.LoadDataIndexFile(EVMRef_NumCarriers, evmRefLoaded_, EVMRef_BinaryFile,
                              EVMRef_DataIndexFile);
        if (map.HasError()) return Fail();
      }
      SubcarrierBranchParams evm;
      evm.CarriersPerSym = &EVMRef_NumCarriers;
      evm.IndexKind = EVMRef_IndexType;
      evm.IndexList = EVMRef_IndexType == kIndexDataFile ? &evmRefLoaded_ : &EVMRef_CarrierIndex;
      map.BuildEvmRefMap(evm);
      ReleaseLoaded();
    }
    if (map.HasError()) return Fail();
  } catch (const std::bad_alloc &) {
    map.ClearError();
    ReleaseLoaded();
    map.ClearTables();
    ReportError("Not enough memory for the sub-carrier tables.");
    return false;
  }

  for (int i = 0; i < NumInput; ++i)
    if (connected[i]) Input.BufferAt(i).SetSize(map.InputTableLength(i));
  if (EVMRefOutput.IsConnected()) EVMRefOutput.SetSize(map.EvmRefTableLength());
  if (Output.IsConnected() || EVMRefOutput.IsConnected()) Output.SetSize(map.FrameLength());
  return true;
}

bool DF_OFDM_SubcarrierMux::Run() {
  const bool evmRef = EVMRefOutput.IsConnected();
  if (!Output.IsConnected() && !evmRef) return true;

  // Every offset below must lie inside the storage the owner attached.
  const uint64_t inputs = Input.GetCount();
  bool fits = map.FrameLength() == 0 || Output.GetLength() >= map.FrameLength();
  for (int i = 0; i < kMaxInputs; ++i) {
    const uint64_t n = map.InputTableLength(i);
    if (n == 0 || !map.IsConnected(i)) continue;
    fits = fits && static_cast<uint64_t>(i) < inputs && Input.BufferAt(i).GetLength() >= n;
  }
  if (evmRef && map.EvmRefTableLength() != 0)
    fits = fits && EVMRefOutput.GetLength() >= map.EvmRefTableLength();
  if (!fits) {
    ReportError("A port of DF_OFDM_SubcarrierMux has less storage than its size.");
    return false;
  }

  for (int i = 0; i < kMaxInputs; ++i) {
    const uint64_t n = map.InputTableLength(i);
    if (n == 0 || !map.IsConnected(i)) continue;
    const CircularBuffer<std::complex<double>> &in = Input.BufferAt(i);
    const std::vector<int32_t> &table = map.InputTable(i);
    for (uint64_t j = 0; j < n; ++j)
      *Output.ElementAt(static_cast<uint64_t>(table[j])) = *in.ElementAt(j);
  }
  if (evmRef) {
    const std::vector<int32_t> &table = map.EvmRefTable();
    for (uint64_t i = 0; i < map.EvmRefTableLength(); ++i)
      *EVMRefOutput.ElementAt(i) = *Output.ElementAt(static_cast<uint64_t>(table[i]));
  }
  return true;
}

} // namespace Varnholt
