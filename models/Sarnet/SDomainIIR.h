// A biquad cascade designed from an analog prototype (poles, zeros and a
// gain in the s-domain) by the bilinear transform, without pre-warping.
// The default prototype is a fifth-order Butterworth low-pass with unity
// gain at DC and its corner at 103474.28 Hz.
#ifndef VARNHOLT_MODELS_SARNET_SDOMAINIIR_H
#define VARNHOLT_MODELS_SARNET_SDOMAINIIR_H

#include "models/Sarnet/BiquadCascade.h"
#include "models/Sarnet/NdArray.h"

#include <complex>
#include <cstdint>

namespace Varnholt {

class SDomainIIR : public BiquadCascade {
public:
  double SampleRate = 1e6; // samples per second
  // k in H(s) = k * prod(s - zero) / prod(s - pole).
  double gain = 1.1616128054708951e29;
  NdArray<double> realPoles;
  // One value per conjugate pair; the conjugate is implied.
  NdArray<std::complex<double>> complexPoles;
  NdArray<double> realZeros;
  NdArray<std::complex<double>> complexZeros;
  // 1: the roots are in hertz and are scaled by 2 pi, in place, at every
  // Initialize. Otherwise they are in radians per second.
  int32_t frequenciesInHertz = 0;

  SDomainIIR();
  ~SDomainIIR() override;

  bool Initialize() override;
  bool Finalize() override;

private:
  void ReleaseCoefficients();

  double *designed_ = nullptr; // the coefficient array this block owns
};

} // namespace Varnholt

#endif
