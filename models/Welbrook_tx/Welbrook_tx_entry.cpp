// The exported AMI functions of Welbrook_tx_x64.
#include "ami/AmiEntry.h"
#include "models/Welbrook_tx/Welbrook_tx.h"

namespace {

struct WelbrookTxTraits {
  using Model = Varnholt::Welbrook_tx;
  static constexpr const char *kName = "Welbrook_tx";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
  static Varnholt::CircularBuffer<double> &Port(Model &m, int i) { return i == 0 ? m.In : m.Out; }
  static void ReadParameters(Varnholt::AmiParameterReader &r, Model &m, double bitTime,
                             int32_t samplesPerBit) {
    m.bitTime = bitTime;
    m.samplesPerBit = static_cast<double>(samplesPerBit);
    r.Read("SLEW_CTL", m.SLEW_CTL);
    r.Read("TX_TERM_CTL", m.TX_TERM_CTL);
  }
};

} // namespace

VARNHOLT_AMI_ENTRY(WelbrookTxTraits)
