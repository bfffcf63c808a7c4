// The ideal transmitter: the waveform passes through a gain block.
#ifndef VARNHOLT_MODELS_SARNET_SARNET_H
#define VARNHOLT_MODELS_SARNET_SARNET_H

#include "models/Sarnet/Gain.h"
#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

class Sarnet : public DFModel {
public:
  CircularBuffer<double> In;  // port 0
  CircularBuffer<double> Out; // port 1
  double Gain = 1.0;          // AMI parameter Sarnet.Gain

  Sarnet() = default;
  Sarnet(const Sarnet &) = delete;
  Sarnet &operator=(const Sarnet &) = delete;
  ~Sarnet() override;

  bool Setup() override;
  bool Initialize() override;
  bool Run() override;
  bool Finalize() override;

private:
  void FreeConnections();

  Varnholt::Gain<double> gain_;
  double *conn1_ = nullptr; // In -> gain input
  CircularBuffer<double> conn1View_;
  double *conn2_ = nullptr; // gain output -> Out
  CircularBuffer<double> conn2View_;
};

} // namespace Varnholt

#endif
