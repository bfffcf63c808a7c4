// The signal path of the generic transmitter: a slew-limited level at every
// change of the stimulus, scaled by the swing, through a four-tap
// feed-forward equalizer whose taps lie one unit interval apart.
#ifndef VARNHOLT_MODELS_KORVATH_TX_H
#define VARNHOLT_MODELS_KORVATH_TX_H

#include "runtime/DFModel.h"

#include <cstdint>

namespace Varnholt {

class Tx : public DFModel {
public:
  Tx() = default;
  Tx(const Tx &) = delete;
  Tx &operator=(const Tx &) = delete;
  ~Tx() override;

  // Converts SlewTime and Swing in place, so every Initialize needs a fresh
  // copy of the parameters (the owning model's Setup gives it). False when
  // samples per bit is below 1 or the delay line cannot be allocated.
  bool Initialize() override;
  bool Run() override;

  // Level of the delay line k samples ago (0 the newest), k below 4 x spb.
  double DelayAt(uint64_t k) const;
  uint64_t DelayLength() const { return lineLength_; }

  int32_t samplesPerBit = 0; // set by the owning model
  double bitTime = 0.0;      // s, set by the owning model
  double previousInput = 0.0; // last input mapped to +0.5 or -0.5
  double level = 0.0;         // before the swing, within [-0.5, 0.5]
  int32_t slewSamples = 1;    // ramp length in samples
  double SlewTime = 0.0;      // ps as set, s after Initialize
  double rampCounter = 0.0;
  double rampStep = 0.0;
  double input = 0.0;  // written by the owning model before Run
  double output = 0.0; // read by the owning model after Run
  double started = 0.0; // 1.0 after the first Run
  double target = 0.0;  // the level before limiting
  double Pre = 0.0;     // percent
  double Pst1 = 0.0;    // percent
  double Pst2 = 0.0;    // percent
  double c_pre = 0.0;
  double c_main = 1.0;
  double c_pst1 = 0.0;
  double c_pst2 = 0.0;
  double Swing = 0.0; // mV as set, V after Initialize

private:
  void FreeLine();

  // A circular delay line of 4 x spb levels. Instead of shifting every
  // element each sample, the newest level is written one slot before the
  // previous one (head_ walks backwards), so the level k samples old sits at
  // head_ + k, wrapped once. The taps keep their own wrapped indices.
  double *line_ = nullptr;
  uint64_t lineLength_ = 0;
  uint64_t head_ = 0;
  uint64_t tap1_ = 0; // head_ + spb
  uint64_t tap2_ = 0; // head_ + 2 spb
  uint64_t tap3_ = 0; // head_ + 3 spb
};

} // namespace Varnholt

#endif
