// The generic transmitter: all of its signal work is done by the Tx
// sub-model, joined to the two ports by two one-sample connections.
#ifndef VARNHOLT_MODELS_KORVATH_KORVATH_H
#define VARNHOLT_MODELS_KORVATH_KORVATH_H

#include "models/Korvath/Tx.h"
#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

class Korvath : public DFModel {
public:
  CircularBuffer<double> In;  // port 0
  CircularBuffer<double> Out; // port 1

  double SlewTime = 100.0;     // ps, AMI parameter Korvath.SlewTime
  double Pre = 0.0;            // percent, Korvath.Pre
  double Pst1 = -10.0;         // percent, Korvath.Pst1
  double Pst2 = 0.0;           // percent, Korvath.Pst2
  double Swing = 500.0;        // mV peak to peak, Korvath.Swing
  double SamplesPerBit = 32.0; // the AMI entry's samples per bit
  double BitTime = 1e-10;      // s, the simulator's bit time

  Korvath() = default;
  Korvath(const Korvath &) = delete;
  Korvath &operator=(const Korvath &) = delete;
  ~Korvath() override;

  bool Setup() override;
  bool Initialize() override;
  bool Run() override;
  bool Finalize() override;

  const Varnholt::Tx &GetTx() const { return tx_; }

private:
  void FreeConnections();

  Varnholt::Tx tx_;
  CircularBuffer<double> txInputView_;
  CircularBuffer<double> txOutputView_;
  double *conn1_ = nullptr; // In -> Tx input
  CircularBuffer<double> inputBuffer_;
  double *conn2_ = nullptr; // Tx output -> Out
  CircularBuffer<double> outputBuffer_;
};

} // namespace Varnholt

#endif
