// A chain of second-order sections (direct form II) filtering one stream of
// samples; the last few sections can also deliver their outputs on a bus.
#ifndef VARNHOLT_MODELS_SARNET_BIQUADCASCADE_H
#define VARNHOLT_MODELS_SARNET_BIQUADCASCADE_H

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

#include <cstdint>

namespace Varnholt {

class BiquadCascade : public DFModel {
public:
  // Six values per section: N0, N1, N2, D0, D1, D2 (z^0, z^-1, z^-2 of the
  // numerator, then of the denominator). Owned by whoever sets it.
  double *coefficients = nullptr;
  int32_t taps = 0;
  CircularBuffer<double> input;
  // Output 0 is the final result, output k the k-th section from the end.
  CircularBufferBusT<CircularBuffer<double>> outputs;

  BiquadCascade() = default;
  BiquadCascade(const BiquadCascade &) = delete;
  BiquadCascade &operator=(const BiquadCascade &) = delete;
  ~BiquadCascade() override;

  // Checks and normalises the coefficients in place (D0 becomes 1) and
  // clears the state.
  bool Initialize() override;
  bool Run() override;
  bool Finalize() override { return true; }

  uint64_t GetSections() const { return sections_; }

protected:
  // Stops the cascade from filtering until the next Initialize; used when
  // the coefficients it was set up with go away.
  void Detach() { sections_ = 0; }

private:
  void ReleaseState();

  double *w1_ = nullptr;
  double *w2_ = nullptr;
  uint64_t sections_ = 0;
  // Sections the state arrays hold: Run never walks past them, even after an
  // Initialize that failed before allocating new state.
  uint64_t stateSections_ = 0;
};

} // namespace Varnholt

#endif
