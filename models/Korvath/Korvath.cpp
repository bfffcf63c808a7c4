// The generic transmitter's top model: copies its parameters into Tx and
// moves one sample in and out of it through two connections per Run.
#include "models/Korvath/Korvath.h"

#include <cstdint>

namespace Varnholt {

namespace {
// Truncation toward zero; a value no 32-bit integer holds gives 0, which Tx
// refuses, rather than an undefined conversion.
int32_t TruncateToInt32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return 0;
  return static_cast<int32_t>(v);
}
} // namespace

Korvath::~Korvath() { FreeConnections(); }

void Korvath::FreeConnections() {
  delete[] conn1_;
  conn1_ = nullptr;
  delete[] conn2_;
  conn2_ = nullptr;
}

bool Korvath::Setup() {
  // Unconverted: Tx converts ps to s and mV to V in its Initialize.
  tx_.SlewTime = SlewTime;
  tx_.Pre = Pre;
  tx_.Pst1 = Pst1;
  tx_.Pst2 = Pst2;
  tx_.Swing = Swing;
  tx_.samplesPerBit = TruncateToInt32(SamplesPerBit);
  tx_.bitTime = BitTime;
  bool ok = tx_.Setup();
  In.SetSize(1);
  if (In.MaxSizeIsZero()) In.SetMaxSize(1);
  Out.SetSize(1);
  if (Out.MaxSizeIsZero()) Out.SetMaxSize(1);
  return ok;
}

bool Korvath::Initialize() {
  FreeConnections();
  conn1_ = new double[1];
  inputBuffer_.SetStorage(conn1_, 1, 1, 0);
  txInputView_.SetStorage(conn1_, 1, 1, 0);
  conn2_ = new double[1];
  txOutputView_.SetStorage(conn2_, 1, 1, 0);
  outputBuffer_.SetStorage(conn2_, 1, 1, 0);
  return tx_.Initialize();
}

bool Korvath::Run() {
  In.CopyTo(0, inputBuffer_, 0, 1);
  tx_.input = txInputView_.Sample();
  bool ok = tx_.Run();
  txOutputView_.Sample() = tx_.output;
  outputBuffer_.CopyTo(0, Out, 0, 1);
  return ok;
}

bool Korvath::Finalize() {
  bool ok = tx_.Finalize();
  FreeConnections();
  return ok;
}

} // namespace Varnholt
