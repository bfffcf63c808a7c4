// The exported AMI functions of Welbrook_rx_x64.
#include "ami/AmiEntry.h"
#include "models/Welbrook_rx/Welbrook_rx.h"

namespace {

struct Welbrook_rxTraits {
  using Model = Varnholt::Welbrook_rx;
  static constexpr const char *kName = "Welbrook_rx";
  static constexpr int kPorts = 5;
  static constexpr bool kHasClock = true;
  static Varnholt::CircularBuffer<double> &Port(Model &m, int i) {
    switch (i) {
    case 0: return m.In;
    case 1: return m.Out;
    case 2: return m.ClockTime;
    case 3: return m.Signal;
    default: return m.ClockLevel;
    }
  }
  static void ReadParameters(Varnholt::AmiParameterReader &r, Model &m, double bitTime,
                             int32_t samplesPerBit) {
    r.Read("VotingThreshold", m.VotingThreshold);
    r.Read("SettlingTime", m.SettlingTime);
    m.bitTime = bitTime;
    m.samplesPerBit = static_cast<double>(samplesPerBit);
    r.Read("EQ", m.EQ);
    r.Read("HorL", m.HorL);
  }
};

} // namespace

VARNHOLT_AMI_ENTRY(Welbrook_rxTraits)
