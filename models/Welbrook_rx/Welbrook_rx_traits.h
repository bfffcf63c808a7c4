// What the AMI entry template needs of the Welbrook_rx model: its model word, ports
// and parameter order. The library's entry instantiates the template with it;
// tests drive the same instance without loading the library.
#ifndef VARNHOLT_MODELS_WELBROOK_RX_WELBROOK_RX_TRAITS_H
#define VARNHOLT_MODELS_WELBROOK_RX_WELBROOK_RX_TRAITS_H

#include "ami/AmiEntry.h"
#include "models/Welbrook_rx/Welbrook_rx.h"

namespace Varnholt {

struct WelbrookRxTraits {
  using Model = Welbrook_rx;
  static constexpr const char *kName = "Welbrook_rx";
  static constexpr int kPorts = 5;
  static constexpr bool kHasClock = true;
  static CircularBuffer<double> &Port(Model &m, int i) {
    switch (i) {
    case 0: return m.In;
    case 1: return m.Out;
    case 2: return m.ClockTime;
    case 3: return m.Signal;
    default: return m.ClockLevel;
    }
  }
  static void ReadParameters(AmiParameterReader &r, Model &m, double bitTime,
                             int32_t samplesPerBit) {
    r.Read("VotingThreshold", m.VotingThreshold);
    r.Read("SettlingTime", m.SettlingTime);
    m.bitTime = bitTime;
    m.samplesPerBit = static_cast<double>(samplesPerBit);
    r.Read("EQ", m.EQ);
    r.Read("HorL", m.HorL);
  }
};

} // namespace Varnholt

#endif
