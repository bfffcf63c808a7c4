// Finite-impulse-response filter with integer decimation and interpolation,
// computed in polyphase form over a ring of past inputs.
#ifndef VARNHOLT_RUNTIME_FIR_H
#define VARNHOLT_RUNTIME_FIR_H

#include <complex>
#include <cstdint>
#include <new>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

// N distinguishes instantiations only; it changes nothing in the behaviour.
template <class T, int N> class FIR : public DFModel {
public:
  CircularBuffer<T> input;
  CircularBuffer<T> output;
  CircularBuffer<T> history; // the last inputs, newest at offset L - 1
  T *historyStorage = nullptr;
  T *taps = nullptr; // NumTaps coefficients, owned by whoever sets them
  int32_t NumTaps = 0;
  int32_t Decimation = 1;      // inputs consumed per firing
  int32_t DecimationPhase = 0; // phase of the first output
  int32_t Interpolation = 1;   // outputs produced per firing
  int32_t tapsPerPhase = 0;    // ceil(NumTaps / Interpolation), set by Setup

  FIR() = default;
  FIR(const FIR &) = delete;
  FIR &operator=(const FIR &) = delete;
  ~FIR() override { ReleaseHistory(); }

  bool Setup() override {
    bool ok = true;
    // Missing taps count as none: Run would read through the pointer.
    if (NumTaps <= 0 || taps == nullptr) {
      ReportError("There must be at least one Tap");
      ok = false;
    }
    if (Decimation < 1) {
      ReportError("Decimation must be > 0");
      ok = false;
    }
    if (DecimationPhase < 0) {
      ReportError("DecimationPhase must be >= 0");
      ok = false;
    }
    if (DecimationPhase >= Decimation) {
      ReportError("DecimationPhase must be < Decimation ratio");
      ok = false;
    }
    if (Interpolation <= 0) {
      ReportError("Interpolation must be > 0");
      return false;
    }
    if (!ok) return false;
    input.SetSize(static_cast<uint64_t>(Decimation));
    output.SetSize(static_cast<uint64_t>(Interpolation));
    const uint64_t length = static_cast<uint64_t>(Decimation) +
                            static_cast<uint64_t>(NumTaps / Interpolation) + 1;
    history.SetMaxSize(length);
    history.SetSize(static_cast<uint64_t>(Decimation));
    tapsPerPhase = NumTaps / Interpolation + (NumTaps % Interpolation != 0 ? 1 : 0);
    return true;
  }

  bool Initialize() override {
    ReleaseHistory();
    const uint64_t length = history.GetMaxSize();
    // Not through the buffer's Allocate, which throws: a history too large
    // for memory must fail here, not abort the simulator.
    historyStorage = new (std::nothrow) T[length];
    if (!historyStorage) {
      ReportError("Unable to allocate the filter history");
      return false;
    }
    history.SetStorage(historyStorage, length, history.GetSize(), 0);
    history.ZeroFill(0, length);
    return true;
  }

  bool Run() override {
    const uint64_t D = static_cast<uint64_t>(Decimation);
    const int64_t I = Interpolation;
    const uint64_t L = history.GetLength();
    const uint64_t P = static_cast<uint64_t>(tapsPerPhase);
    const T *in = input.GetData();
    T *out = output.GetData();
    T *h = history.GetData();
    for (uint64_t i = 0; i < D; ++i) h[history.WrapIndex(L - D + i)] = in[PortIndex(input, i)];
    // 64 bits: phase + Decimation must not overflow for large factors.
    int64_t phase = DecimationPhase;
    uint64_t k = 0;
    for (uint64_t j = 1; j <= D; ++j) {
      const uint64_t newest = L - D + j - 1;
      while (phase < I) {
        T acc = T();
        for (uint64_t m = 0; m < P; ++m) {
          const int64_t t = phase + static_cast<int64_t>(m) * I;
          if (t < NumTaps) acc += taps[t] * h[history.WrapIndex(newest - m)];
        }
        out[PortIndex(output, k)] = acc;
        phase += Decimation;
        ++k;
      }
      phase -= I;
    }
    history.Advance();
    return true;
  }

  bool Finalize() override {
    ReleaseHistory();
    return true;
  }

private:
  // A port block may be larger than the storage the owner attached (the
  // models attach one sample); wrap fully instead of running past its end.
  static uint64_t PortIndex(const CircularBuffer<T> &b, uint64_t k) {
    if (k == 0 || k < b.GetLength()) return b.WrapIndex(k);
    return (b.GetPosition() + k) % b.GetLength();
  }
  void ReleaseHistory() {
    if (historyStorage) history.Release(historyStorage);
    historyStorage = nullptr;
    history.SetStorage(nullptr, 0, history.GetSize(), 0);
  }
};

extern template class FIR<double, 0>;
extern template class FIR<double, 1>;
extern template class FIR<std::complex<double>, 0>;

} // namespace Varnholt

#endif
