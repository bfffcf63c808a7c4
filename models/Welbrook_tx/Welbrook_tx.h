// The retimer transmitter top model: the tx_dc output characteristic, then
// one of nine output edge responses chosen by TX_TERM_CTL and SLEW_CTL.
#ifndef VARNHOLT_MODELS_WELBROOK_TX_WELBROOK_TX_H
#define VARNHOLT_MODELS_WELBROOK_TX_WELBROOK_TX_H

#include "models/Welbrook_tx/tx_dc.h"
#include "runtime/CircularBuffer.h"
#include "runtime/ConstUnTimed.h"
#include "runtime/DFModel.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TimeResponseFIR.h"
#include "runtime/TypeConverter.h"

#include <cstdint>

namespace Varnholt {

class Welbrook_tx : public DFModel {
public:
  using RoundToInt =
      ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
  static constexpr int kFirs = 9;
  static constexpr int kGroups = 3;
  // The wiring of the response filters: group mux g takes FIR kGroupFirs[g][i]
  // on its input i (g follows TX_TERM_CTL, i follows SLEW_CTL), and the final
  // mux takes group mux g on its input g.
  static constexpr int kGroupFirs[kGroups][3] = {{8, 0, 1}, {2, 3, 4}, {5, 6, 7}};

  CircularBuffer<double> In;  // port 0: input wave sample
  CircularBuffer<double> Out; // port 1: output wave sample

  double samplesPerBit = 32.0;
  double bitTime = 2.941176470588235e-10; // 1 / 3.4 GHz
  double SLEW_CTL = 0.0;
  double TX_TERM_CTL = 1.0;

  Welbrook_tx() = default;
  Welbrook_tx(const Welbrook_tx &) = delete;
  Welbrook_tx &operator=(const Welbrook_tx &) = delete;
  ~Welbrook_tx() override;

  bool Setup() override;
  bool Initialize() override;
  bool Run() override;
  bool Finalize() override;

  // Fires every block of the schematic in its order. Run takes this path
  // when a multiplexer's control is out of range (every firing fails).
  bool RunSchematic();

  // Read access for tests.
  const TimeResponseFIR &Fir(int k) const { return fir_[k]; }
  const tx_dc &TxDc() const { return txDc_; }
  // The FIR that drives the output, or -1 until Initialize has found one.
  int SelectedFir() const { return selected_ ? static_cast<int>(selected_ - fir_) : -1; }

private:
  void FreeConnections();
  void FreeResponseTables();
  double *&FirConnection(int k);
  TimeResponseFIR *FindSelectedFir();
  bool RunSelected();

  TimeResponseFIR fir_[kFirs];
  tx_dc txDc_;
  CircularBuffer<double> txDcIn_;
  CircularBuffer<double> txDcOut_;
  RoundToInt termConverter_;
  RoundToInt slewConverter_;
  Mux<CircularBuffer<double>> groupMux0_; // TX_TERM_CTL 0: FIR 8, 0, 1
  CircularBuffer<int> groupMux0Control_;
  Mux<CircularBuffer<double>> groupMux1_; // TX_TERM_CTL 1: FIR 2, 3, 4
  CircularBuffer<int> groupMux1Control_;
  Mux<CircularBuffer<double>> groupMux2_; // TX_TERM_CTL 2: FIR 5, 6, 7
  CircularBuffer<int> groupMux2Control_;
  Mux<CircularBuffer<double>> finalMux_;
  CircularBuffer<int> finalMuxControl_;
  ConstUnTimed<double> slewConst_;
  Fork<CircularBuffer<int>> controlFork_;
  ConstUnTimed<double> termConst_;
  Fork<CircularBuffer<double>> inputFork_;

  double *conn1_ = nullptr; // model input -> tx_dc
  CircularBuffer<double> input_;
  double *conn2_ = nullptr; // final mux -> model output
  CircularBuffer<double> output_;
  double *conn3_4_[2] = {};   // FIR 0, 1 -> group mux 0 inputs 1, 2
  double *conn5_7_[3] = {};   // FIR 2, 3, 4 -> group mux 1 inputs 0, 1, 2
  double *conn8_10_[3] = {};  // FIR 5, 6, 7 -> group mux 2 inputs 0, 1, 2
  double *conn11_ = nullptr;  // FIR 8 -> group mux 0 input 0
  double *conn12_ = nullptr;  // tx_dc -> input fork
  int *conn13_ = nullptr;     // TERM converter -> final mux control
  int *conn14_ = nullptr;     // SLEW converter -> control fork
  double *conn15_17_[3] = {}; // group mux k -> final mux input k
  double *conn18_ = nullptr;  // SLEW constant -> SLEW converter
  int *conn19_21_[3] = {};    // control fork k -> group mux k control
  double *conn22_ = nullptr;  // TERM constant -> TERM converter
  double *conn23_31_[9] = {}; // input fork k -> FIR k

  TimeResponseFIR *selected_ = nullptr; // see FindSelectedFir
};

} // namespace Varnholt

#endif
