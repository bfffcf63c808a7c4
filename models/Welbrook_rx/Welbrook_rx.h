// The receiver top model: one of sixteen equalizer responses chosen by EQ and
// HorL, the rx_dc output stage and the cdr clock and data recovery, whose
// clock level becomes clock times.
#ifndef VARNHOLT_MODELS_WELBROOK_RX_WELBROOK_RX_H
#define VARNHOLT_MODELS_WELBROOK_RX_WELBROOK_RX_H

#include "models/Welbrook_rx/cdr.h"
#include "models/Welbrook_rx/rx_dc.h"
#include "runtime/CircularBuffer.h"
#include "runtime/ClockTimes.h"
#include "runtime/ConstUnTimed.h"
#include "runtime/DFModel.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TimeResponseFIR.h"
#include "runtime/TypeConverter.h"

#include <cstdint>

namespace Varnholt {

// The equalizer part of the receiver schematic: the sixteen FIRs, the
// multiplexers that pick one of them, their controls and rx_dc.
class RxInnerSchematic {
public:
  using RoundToInt =
      ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
  static constexpr int kFirs = 16;
  static constexpr int kGroup = 8;
  // Group mux g takes FIR kGroupFirst[g] + j on its input j (j follows EQ);
  // the final mux takes group mux g on its input g (g follows HorL).
  static constexpr int kGroupFirst[2] = {8, 0};

  TimeResponseFIR fir[kFirs];
  rx_dc rxDc;
  CircularBuffer<double> rxDcIn;
  CircularBuffer<double> rxDcOut;
  RoundToInt horlConverter;
  RoundToInt eqConverter;
  Mux<CircularBuffer<double>> groupMux0; // FIR 8..15 (HorL 0)
  CircularBuffer<int> groupMux0Control;
  Mux<CircularBuffer<double>> groupMux1; // FIR 0..7 (HorL 1)
  CircularBuffer<int> groupMux1Control;
  Mux<CircularBuffer<double>> finalMux;
  CircularBuffer<int> finalMuxControl;
  ConstUnTimed<double> eqConst;
  Fork<CircularBuffer<int>> controlFork;
  ConstUnTimed<double> horlConst;
  Fork<CircularBuffer<double>> inputFork;
  double samplesPerBit = 32.0;
  double bitTime = 1.666666666666667e-10;
  double EQ = 0.0;
  double HorL = 1.0;

  RxInnerSchematic() = default;
  RxInnerSchematic(const RxInnerSchematic &) = delete;
  RxInnerSchematic &operator=(const RxInnerSchematic &) = delete;
  ~RxInnerSchematic() = default;

  // Gives every FIR fresh copies of its response tables (the owning model
  // frees them), sets the block parameters and runs every block's Setup.
  bool Setup();
};

class Welbrook_rx : public DFModel {
public:
  CircularBuffer<double> In;         // port 0: input wave sample
  CircularBuffer<double> Out;        // port 1: output wave sample
  CircularBuffer<double> ClockTime;  // port 2: clock time or -1.0
  CircularBuffer<double> Signal;     // port 3: equalized and limited signal
  CircularBuffer<double> ClockLevel; // port 4: recovered clock level

  double VotingThreshold = 0.0;
  double SettlingTime = 4.0;
  double samplesPerBit = 32.0;
  double bitTime = 1.666666666666667e-10;
  double EQ = 0.0;
  double HorL = 1.0;

  Welbrook_rx() = default;
  Welbrook_rx(const Welbrook_rx &) = delete;
  Welbrook_rx &operator=(const Welbrook_rx &) = delete;
  ~Welbrook_rx() override;

  bool Setup() override;
  bool Initialize() override;
  bool Run() override;
  bool Finalize() override;

  // Fires every block of the schematic in its order. Run takes this path
  // when a multiplexer's control is out of range (every firing fails).
  bool RunSchematic();

  const cdr &Cdr() const { return cdr_; }
  // The FIR that drives rx_dc, or -1 until Initialize has found one.
  int SelectedFir() const { return selected_ ? static_cast<int>(selected_ - inner_.fir) : -1; }

private:
  void FreeConnections();
  void FreeResponseTables();
  TimeResponseFIR *FindSelectedFir();
  bool RunSelected();

  RxInnerSchematic inner_;
  ClockTimes clockTimes_;
  cdr cdr_;
  CircularBuffer<double> cdrIn_;
  CircularBuffer<double> cdrClock_;
  CircularBuffer<double> cdrData_;
  Fork<CircularBuffer<double>> clockFork_;
  Fork<CircularBuffer<double>> signalFork_;

  // Connections 1 to 5 with the model's input and output buffers.
  double *conn1_ = nullptr;
  CircularBuffer<double> input_;
  double *conn2_ = nullptr;
  CircularBuffer<double> output1_;
  double *conn3_ = nullptr;
  CircularBuffer<double> output2_;
  double *conn4_ = nullptr;
  CircularBuffer<double> output3_;
  double *conn5_ = nullptr;
  CircularBuffer<double> output4_;

  // Connections 6 to 50.
  double *conn6_13_[8] = {};  // FIR j -> group mux 1 input j
  double *conn14_21_[8] = {}; // FIR 8+j -> group mux 0 input j
  double *conn22_ = nullptr;  // rx_dc -> signal fork
  int *conn23_ = nullptr;     // HorL converter -> final mux control
  int *conn24_ = nullptr;     // EQ converter -> control fork
  double *conn25_ = nullptr;  // group mux 0 -> final mux input 0
  double *conn26_ = nullptr;  // group mux 1 -> final mux input 1
  double *conn27_ = nullptr;  // final mux -> rx_dc
  double *conn28_ = nullptr;  // EQ constant -> EQ converter
  int *conn29_ = nullptr;     // control fork 0 -> group mux 0 control
  int *conn30_ = nullptr;     // control fork 1 -> group mux 1 control
  double *conn31_ = nullptr;  // HorL constant -> HorL converter
  double *conn32_47_[16] = {}; // input fork k -> FIR k
  double *conn48_ = nullptr;  // cdr clock -> clock fork
  double *conn49_ = nullptr;  // clock fork 0 -> ClockTimes
  double *conn50_ = nullptr;  // signal fork 1 -> cdr

  TimeResponseFIR *selected_ = nullptr; // see FindSelectedFir
};

} // namespace Varnholt

#endif
