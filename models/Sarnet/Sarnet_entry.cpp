// The exported AMI functions of Sarnet_x64.
#include "ami/AmiEntry.h"
#include "models/Sarnet/Sarnet.h"

namespace {

struct SarnetTraits {
  using Model = Varnholt::Sarnet;
  static constexpr const char *kName = "Sarnet";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static Varnholt::CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  static void ReadParameters(Varnholt::AmiParameterReader &r, Model &m, double, int32_t) {
    r.Read("Gain", m.Gain);
  }
};

} // namespace

VARNHOLT_AMI_ENTRY(SarnetTraits)
