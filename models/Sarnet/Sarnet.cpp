// The ideal transmitter's top model: the gain block between the two ports,
// joined by one-sample connections.
#include "models/Sarnet/Sarnet.h"

namespace Varnholt {

template class Gain<double>;

Sarnet::~Sarnet() { FreeConnections(); }

void Sarnet::FreeConnections() {
  delete[] conn1_;
  conn1_ = nullptr;
  delete[] conn2_;
  conn2_ = nullptr;
}

bool Sarnet::Setup() {
  // The model's parameter reaches the block: with a constant 1.0 here the
  // Gain parameter would be read and then ignored.
  gain_.gain = Gain;
  bool ok = gain_.Setup();
  In.SetSize(1);
  Out.SetSize(1);
  return ok;
}

bool Sarnet::Initialize() {
  FreeConnections();
  conn1_ = new double[1];
  conn1View_.SetStorage(conn1_, 1, 1, 0);
  gain_.input.SetStorage(conn1_, 1, 1, 0);
  conn2_ = new double[1];
  conn2View_.SetStorage(conn2_, 1, 1, 0);
  gain_.output.SetStorage(conn2_, 1, 1, 0);
  return gain_.Initialize();
}

bool Sarnet::Run() {
  In.CopyTo(0, conn1View_, 0, 1);
  bool ok = gain_.Run();
  conn2View_.CopyTo(0, Out, 0, 1);
  return ok;
}

bool Sarnet::Finalize() {
  bool ok = gain_.Finalize();
  FreeConnections();
  return ok;
}

} // namespace Varnholt
