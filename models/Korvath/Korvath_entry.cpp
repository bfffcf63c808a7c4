// The exported AMI functions of Korvath_x64.
#include "ami/AmiEntry.h"
#include "models/Korvath/Korvath.h"

namespace {

struct KorvathTraits {
  using Model = Varnholt::Korvath;
  static constexpr const char *kName = "Korvath";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static Varnholt::CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  // Bit time and samples per bit are stored after the last parameter.
  static void ReadParameters(Varnholt::AmiParameterReader &r, Model &m, double bitTime,
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

} // namespace

VARNHOLT_AMI_ENTRY(KorvathTraits)
