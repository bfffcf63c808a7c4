// A sub-carrier multiplexer with storage on its ports, for the tests.
#ifndef VARNHOLT_TESTS_SUBCARRIER_MUXRIG_H
#define VARNHOLT_TESTS_SUBCARRIER_MUXRIG_H

#include "runtime/DF_OFDM_SubcarrierMux.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace muxtest {

using cd = std::complex<double>;
const cd kUnwritten(-99.0, -99.0);

struct MuxRig {
  Varnholt::DF_OFDM_SubcarrierMux mux;
  std::vector<cd> in[4];
  std::vector<cd> frame, evm;

  explicit MuxRig(int inputs, int32_t dftSize = 8) {
    mux.DFTSize = dftSize;
    mux.NumInput = inputs;
    mux.Input.Resize(static_cast<uint64_t>(inputs));
  }

  // Two centred branches of one carrier per symbol, of two and of three
  // symbols: their frame is six symbols long.
  void TwoAndThreeSymbols() {
    mux.Centered = 1;
    mux.CarriersPerSym[0] = {1, 1};
    mux.CarrierIndex[0] = {0, 1};
    mux.CarriersPerSym[1] = {1, 1, 1};
    mux.CarrierIndex[1] = {-1, -2, -1};
  }

  // Setup with its standard-error text.
  std::string Setup(bool &ok) {
    testing::internal::CaptureStderr();
    ok = mux.Setup();
    return testing::internal::GetCapturedStderr();
  }
  // The sentence a failing Setup writes (empty when it succeeds).
  std::string SetupError() {
    bool ok = true;
    std::string err = Setup(ok);
    EXPECT_EQ(ok, err.empty()) << err;
    return err;
  }

  // Storage as large as every port's size; branch i carries 100 i + j.
  void Attach() {
    for (uint64_t i = 0; i < mux.Input.GetCount(); ++i) {
      auto &b = mux.Input.BufferAt(i);
      in[i].assign(b.GetSize(), cd());
      for (uint64_t j = 0; j < in[i].size(); ++j) in[i][j] = cd(100.0 * i + j, -1.0);
      b.SetStorage(in[i].data(), in[i].size(), b.GetSize(), 0);
    }
    frame.assign(mux.Output.GetSize(), kUnwritten);
    mux.Output.SetStorage(frame.data(), frame.size(), mux.Output.GetSize(), 0);
    evm.assign(mux.EVMRefOutput.GetSize(), kUnwritten);
    mux.EVMRefOutput.SetStorage(evm.data(), evm.size(), mux.EVMRefOutput.GetSize(), 0);
  }

  std::vector<int32_t> Table(int i) const {
    const auto &t = mux.map.InputTable(i);
    return std::vector<int32_t>(t.begin(), t.begin() + mux.map.InputTableLength(i));
  }
  std::vector<int32_t> EvmTable() const {
    const auto &t = mux.map.EvmRefTable();
    return std::vector<int32_t>(t.begin(), t.begin() + mux.map.EvmRefTableLength());
  }
};

inline std::string Binary(const std::vector<int32_t> &v) {
  return std::string(reinterpret_cast<const char *>(v.data()), v.size() * sizeof(int32_t));
}

} // namespace muxtest

#endif
