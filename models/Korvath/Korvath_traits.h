// What the AMI entry template needs of the Korvath model: its model word, ports
// and parameter order. The library's entry instantiates the template with it;
// tests drive the same instance without loading the library.
#ifndef VARNHOLT_MODELS_KORVATH_KORVATH_TRAITS_H
#define VARNHOLT_MODELS_KORVATH_KORVATH_TRAITS_H

#include "ami/AmiEntry.h"
#include "models/Korvath/Korvath.h"

namespace Varnholt {

struct KorvathTraits {
  using Model = Korvath;
  static constexpr const char *kName = "Korvath";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  // Bit time and samples per bit are stored after the last parameter.
  static void ReadParameters(AmiParameterReader &r, Model &m, double bitTime,
                             int32_t samplesPerBit) {
    r.Read("SlewTime", m.SlewTime);
    r.Read("Pre", m.Pre);
    r.Read("Pst1", m.Pst1);
    r.Read("Pst2", m.Pst2);
    r.Read("Swing", m.Swing);
    m.BitTime = bitTime;
    m.SamplesPerBit = static_cast<double>(samplesPerBit);
  }
};

} // namespace Varnholt

#endif
