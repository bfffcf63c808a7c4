// What the AMI entry template needs of the Welbrook_tx model: its model word, ports
// and parameter order. The library's entry instantiates the template with it;
// tests drive the same instance without loading the library.
#ifndef VARNHOLT_MODELS_WELBROOK_TX_WELBROOK_TX_TRAITS_H
#define VARNHOLT_MODELS_WELBROOK_TX_WELBROOK_TX_TRAITS_H

#include "ami/AmiEntry.h"
#include "models/Welbrook_tx/Welbrook_tx.h"

namespace Varnholt {

struct WelbrookTxTraits {
  using Model = Welbrook_tx;
  static constexpr const char *kName = "Welbrook_tx";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  static void ReadParameters(AmiParameterReader &r, Model &m, double bitTime,
                             int32_t samplesPerBit) {
    m.bitTime = bitTime;
    m.samplesPerBit = static_cast<double>(samplesPerBit);
    r.Read("SLEW_CTL", m.SLEW_CTL);
    r.Read("TX_TERM_CTL", m.TX_TERM_CTL);
  }
};

} // namespace Varnholt

#endif
