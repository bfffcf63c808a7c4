// Finite-impulse-response filter with integer decimation and interpolation,
// computed in polyphase form over a ring of past inputs; without rate change
// (double samples) in blocks, by the kernel for the processor at hand.
#ifndef VARNHOLT_RUNTIME_FIR_H
#define VARNHOLT_RUNTIME_FIR_H

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"
#include "runtime/FirKernel.h"

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
    // Without rate change a double filter is computed in blocks (FirKernel.h)
    // over its taps from the first to the last that is not zero (a response
    // that has died away ends in exact zeros), and the history ring is kept
    // twice over, so that the newest NumTaps inputs always lie side by side.
    FirKernel kernel;
    uint64_t lead = 0;
    uint64_t live = 0;
    const uint64_t count = NumTaps > 0 ? static_cast<uint64_t>(NumTaps) : 0;
    if constexpr (std::is_same_v<T, double>) {
      if (Decimation == 1 && Interpolation == 1 && taps != nullptr && count > 0 &&
          count < length) {
        while (lead < count && taps[lead] == 0.0) ++lead;
        uint64_t end = count;
        while (end > lead && taps[end - 1] == 0.0) --end;
        live = end - lead;
        kernel = SelectFirKernel();
        if (live < kernel.block) kernel = FirKernel();
      }
    }
    // Ring, ring copy, all the taps, the kernel's tables.
    const uint64_t total = kernel.step ? 2 * length + count + kernel.Storage(live) : length;
    // Not through the buffer's Allocate, which throws: a history too large
    // for memory must fail here, not abort the simulator.
    historyStorage = new (std::nothrow) T[total];
    if (!historyStorage) {
      ReportError("Unable to allocate the filter history");
      return false;
    }
    std::fill(historyStorage, historyStorage + (kernel.step ? 2 * length : length), T());
    history.SetStorage(historyStorage, length, history.GetSize(), 0);
    if constexpr (std::is_same_v<T, double>) {
      if (kernel.step) {
        kernel_ = kernel;
        window_ = count;
        delay_ = lead;
        allTaps_ = historyStorage + 2 * length;
        std::copy(taps, taps + count, allTaps_);
        block_ = kernel.Prepare(allTaps_ + count, taps + lead, live);
        nonFinite_ = 0;
      }
    }
    return true;
  }

  bool Run() override {
    if constexpr (std::is_same_v<T, double>) {
      if (kernel_.step) {
        *output.ElementAt(0) = Filter(*input.ElementAt(0));
        return true;
      }
    }
    return RunPolyphase();
  }

  // One firing without rate change, the input and output passed by value
  // rather than through the port buffers (which it leaves as they are, on
  // the block path): y = sum over t of taps[t] * x[n - t].
  T Filter(T x) {
    if constexpr (std::is_same_v<T, double>) {
      if (kernel_.step) {
        double *h = historyStorage;
        const uint64_t L = history.GetLength();
        const uint64_t at = history.WrapIndex(L - 1);
        h[at] = x;
        h[at + L] = x;
        history.Advance();
        const double *newest = h + at + L; // newest[-t]: the input t back
        // Infinite and NaN inputs meet the zero taps too (0 times either is
        // NaN): while one is among the last NumTaps inputs, the sum is taken
        // over every tap, as the polyphase loop takes it.
        if (!std::isfinite(x)) ++nonFinite_;
        if (!std::isfinite(newest[-static_cast<ptrdiff_t>(window_)])) --nonFinite_;
        const double y = kernel_.step(block_, newest - delay_);
        if (nonFinite_ == 0) return y;
        double acc = 0.0;
        for (uint64_t t = 0; t < window_; ++t)
          acc += allTaps_[t] * newest[-static_cast<ptrdiff_t>(t)];
        return acc;
      }
    }
    *input.ElementAt(0) = x;
    RunPolyphase();
    return *output.ElementAt(0);
  }

  // The filter as the polyphase algorithm defines it: every tap through the
  // ring's index arithmetic, summed from the newest input back. Run takes
  // this path for rate changes and complex samples, and the tests take it as
  // the reference for the direct form.
  bool RunPolyphase() {
    const uint64_t D = static_cast<uint64_t>(Decimation);
    const int64_t I = Interpolation;
    const uint64_t L = history.GetLength();
    const uint64_t P = static_cast<uint64_t>(tapsPerPhase);
    const T *in = input.GetData();
    T *out = output.GetData();
    T *h = history.GetData();
    for (uint64_t i = 0; i < D; ++i) {
      const uint64_t at = history.WrapIndex(L - D + i);
      h[at] = in[PortIndex(input, i)];
      if (kernel_.step) h[at + L] = h[at]; // keeps the ring's copy in step
    }
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
    kernel_ = FirKernel();
    block_ = FirBlockState();
    allTaps_ = nullptr;
    window_ = delay_ = nonFinite_ = 0;
  }

  // Set by Initialize; a null step means the polyphase path. The taps and
  // the kernel's tables live behind the doubled ring, in the same
  // allocation, so that the block path reads nothing its owner may change.
  FirKernel kernel_;
  FirBlockState block_;
  T *allTaps_ = nullptr;   // the NumTaps taps at Initialize
  uint64_t window_ = 0;    // NumTaps at Initialize
  uint64_t delay_ = 0;     // leading zero taps, which the kernel skips
  uint64_t nonFinite_ = 0; // infinite or NaN inputs among the last window_
};

extern template class FIR<double, 0>;
extern template class FIR<double, 1>;
extern template class FIR<std::complex<double>, 0>;

} // namespace Varnholt

#endif
