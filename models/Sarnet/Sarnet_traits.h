// What the AMI entry template needs of the Sarnet model: its model word, ports
// and parameter order. The library's entry instantiates the template with it;
// tests drive the same instance without loading the library.
#ifndef VARNHOLT_MODELS_SARNET_SARNET_TRAITS_H
#define VARNHOLT_MODELS_SARNET_SARNET_TRAITS_H

#include "ami/AmiEntry.h"
#include "models/Sarnet/Sarnet.h"

namespace Varnholt {

struct SarnetTraits {
  using Model = Sarnet;
  static constexpr const char *kName = "Sarnet";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  static void ReadParameters(AmiParameterReader &r, Model &m, double, int32_t) {
    r.Read("Gain", m.Gain);
  }
};

} // namespace Varnholt

#endif
