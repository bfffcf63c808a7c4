// The retimer transmitter top model: tx_dc, then the nine response filters
// behind the multiplexers that TX_TERM_CTL and SLEW_CTL drive.
#include "models/Welbrook_tx/Welbrook_tx.h"

#include "models/Welbrook_tx/tx_responses.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>

namespace Varnholt {

namespace {


// One sample of storage shared by a producer and its consumers. Cleared, so
// that a consumer of a failed producer reads a defined value. False, and
// said, when the storage cannot be had.
template <class T> bool Connect(T *&storage, std::initializer_list<CircularBufferBase *> views) {
  storage = new (std::nothrow) T[1]();
  for (CircularBufferBase *v : views) v->SetStorage(storage, storage ? 1 : 0, 1, 0);
  if (!storage) DFModel::ReportError("Unable to allocate a connection");
  return storage != nullptr;
}

// A private copy of a constant table, or null when it cannot be had.
double *Copy(const double *table, int n) {
  double *copy = new (std::nothrow) double[static_cast<size_t>(n)];
  if (copy) std::copy(table, table + n, copy);
  return copy;
}

template <class T> void Free(T *&storage) {
  delete[] storage;
  storage = nullptr;
}

} // namespace

Welbrook_tx::~Welbrook_tx() {
  FreeConnections();
  FreeResponseTables();
}

void Welbrook_tx::FreeConnections() {
  Free(conn1_);
  Free(conn2_);
  for (double *&c : conn3_4_) Free(c);
  for (double *&c : conn5_7_) Free(c);
  for (double *&c : conn8_10_) Free(c);
  Free(conn11_);
  Free(conn12_);
  Free(conn13_);
  Free(conn14_);
  for (double *&c : conn15_17_) Free(c);
  Free(conn18_);
  for (int *&c : conn19_21_) Free(c);
  Free(conn22_);
  for (double *&c : conn23_31_) Free(c);
}

void Welbrook_tx::FreeResponseTables() {
  for (TimeResponseFIR &f : fir_) {
    Free(f.response);
    Free(f.timeStamps);
    f.responseCount = 0;
    f.timeStampCount = 0;
  }
}

bool Welbrook_tx::Setup() {
  bool ok = true;
  FreeResponseTables();
  // The filters shift their time stamps in place, so each gets its own copy.
  const double sampleRate = samplesPerBit / bitTime;
  for (int k = 0; k < kFirs; ++k) {
    TimeResponseFIR &f = fir_[k];
    f.ResponseType = 0;
    f.response = Copy(kWelbrookTxResponse[k], kWelbrookTxLength);
    f.timeStamps = Copy(kWelbrookTxTime[k], kWelbrookTxLength);
    // Without its tables the filter would report them as empty.
    if (!f.response || !f.timeStamps) {
      ReportError("Unable to allocate the response tables");
      ok = false;
      continue;
    }
    f.responseCount = kWelbrookTxLength;
    f.timeStampCount = kWelbrookTxLength;
    f.SampleRate = sampleRate;
    ok &= f.Setup();
  }

  // The response selection rounds the settings; the characteristic takes
  // them truncated.
  txDc_.TX_TERM_CTL = TruncateToInt32(TX_TERM_CTL);
  txDc_.SLEW_CTL = TruncateToInt32(SLEW_CTL);
  ok &= txDc_.Setup();

  ok &= termConverter_.Setup();
  ok &= slewConverter_.Setup();

  for (Mux<CircularBuffer<double>> *m : {&groupMux0_, &groupMux1_, &groupMux2_, &finalMux_}) {
    m->BlockSize = 1;
    m->inputs.Resize(3);
    ok &= m->Setup();
  }

  slewConst_.InitialDelay = 0;
  slewConst_.value = SLEW_CTL;
  ok &= slewConst_.Setup();
  controlFork_.outputs.Resize(3);
  ok &= controlFork_.Setup();
  termConst_.InitialDelay = 0;
  termConst_.value = TX_TERM_CTL;
  ok &= termConst_.Setup();
  inputFork_.outputs.Resize(kFirs);
  ok &= inputFork_.Setup();

  for (CircularBuffer<double> *port : {&In, &Out}) {
    port->SetSize(1);
    if (port->MaxSizeIsZero()) port->SetMaxSize(1);
  }
  return ok;
}

// The connection that carries FIR k's output to its group mux.
double *&Welbrook_tx::FirConnection(int k) {
  if (k < 2) return conn3_4_[k];
  if (k < 5) return conn5_7_[k - 2];
  if (k < 8) return conn8_10_[k - 5];
  return conn11_;
}

bool Welbrook_tx::Initialize() {
  FreeConnections();
  selected_ = nullptr;
  // A missing storage fails Initialize, so the model never runs on it.
  bool ok = true;
  ok &= Connect(conn1_, {&input_, &txDcIn_});
  ok &= Connect(conn2_, {&finalMux_.output, &output_});
  Mux<CircularBuffer<double>> *groups[kGroups] = {&groupMux0_, &groupMux1_, &groupMux2_};
  for (int g = 0; g < kGroups; ++g)
    for (int i = 0; i < 3; ++i) {
      const int k = kGroupFirs[g][i];
      ok &= Connect(FirConnection(k), {&fir_[k].output, groups[g]->inputs.GetBuffer(i)});
    }
  ok &= Connect(conn12_, {&txDcOut_, &inputFork_.input});
  ok &= Connect(conn13_, {&termConverter_.output, &finalMuxControl_});
  ok &= Connect(conn14_, {&slewConverter_.output, &controlFork_.input});
  for (int i = 0; i < kGroups; ++i)
    ok &= Connect(conn15_17_[i], {&groups[i]->output, finalMux_.inputs.GetBuffer(i)});
  ok &= Connect(conn18_, {&slewConst_.output, &slewConverter_.input});
  CircularBuffer<int> *controls[3] = {&groupMux0Control_, &groupMux1Control_, &groupMux2Control_};
  for (int i = 0; i < 3; ++i)
    ok &= Connect(conn19_21_[i], {controlFork_.outputs.GetBuffer(i), controls[i]});
  ok &= Connect(conn22_, {&termConst_.output, &termConverter_.input});
  for (int k = 0; k < kFirs; ++k)
    ok &= Connect(conn23_31_[k], {inputFork_.outputs.GetBuffer(k), &fir_[k].input});

  for (TimeResponseFIR &f : fir_) ok &= f.Initialize();
  ok &= txDc_.Initialize();
  ok &= termConverter_.Initialize();
  ok &= slewConverter_.Initialize();
  ok &= groupMux0_.Initialize();
  ok &= groupMux1_.Initialize();
  ok &= groupMux2_.Initialize();
  ok &= finalMux_.Initialize();
  ok &= slewConst_.Initialize();
  ok &= controlFork_.Initialize();
  ok &= termConst_.Initialize();
  ok &= inputFork_.Initialize();
  if (ok) selected_ = FindSelectedFir();
  return ok;
}

// The controls come from constants through the rounding converters, the
// same on every firing: each multiplexer is a fixed wire. When every one of
// them passes an input, one FIR drives the output and the others are never
// seen; otherwise null (the multiplexers fail every firing).
TimeResponseFIR *Welbrook_tx::FindSelectedFir() {
  if (slewConst_.InitialDelay != 0 || termConst_.InitialDelay != 0) return nullptr;
  int32_t slew = 0;
  int32_t term = 0;
  TypeConverterRound::Convert(slewConst_.value, slew);
  TypeConverterRound::Convert(termConst_.value, term);
  if (!groupMux0_.Passes(slew) || !groupMux1_.Passes(slew) || !groupMux2_.Passes(slew) ||
      !finalMux_.Passes(term))
    return nullptr;
  return &fir_[kGroupFirs[term][slew]];
}

bool Welbrook_tx::Run() { return selected_ ? RunSelected() : RunSchematic(); }

// What the schematic computes with its multiplexers as fixed wires: the
// characteristic, then the one filter whose output reaches port 1.
bool Welbrook_tx::RunSelected() {
  txDc_.input = In.Sample();
  txDc_.tx_dc::Run();
  Out.Sample() = selected_->Filter(txDc_.output);
  return true;
}

bool Welbrook_tx::RunSchematic() {
  bool ok = true;
  In.CopyTo(0, input_, 0, 1);

  ok &= slewConst_.Run();
  ok &= slewConverter_.Run();
  ok &= controlFork_.Run();

  txDc_.input = txDcIn_.Sample();
  ok &= txDc_.Run();
  txDcOut_.Sample() = txDc_.output;

  ok &= inputFork_.Run();

  ok &= fir_[8].Run();
  ok &= fir_[7].Run();
  ok &= fir_[6].Run();
  ok &= fir_[5].Run();
  groupMux2_.control = groupMux2Control_.Sample();
  ok &= groupMux2_.Run();

  ok &= fir_[4].Run();
  ok &= fir_[3].Run();
  ok &= fir_[2].Run();
  groupMux1_.control = groupMux1Control_.Sample();
  ok &= groupMux1_.Run();

  ok &= fir_[1].Run();
  ok &= fir_[0].Run();
  groupMux0_.control = groupMux0Control_.Sample();
  ok &= groupMux0_.Run();

  ok &= termConst_.Run();
  ok &= termConverter_.Run();
  finalMux_.control = finalMuxControl_.Sample();
  ok &= finalMux_.Run();

  output_.CopyTo(0, Out, 0, 1);
  return ok;
}

bool Welbrook_tx::Finalize() {
  bool ok = true;
  for (TimeResponseFIR &f : fir_) ok &= f.Finalize();
  ok &= txDc_.Finalize();
  ok &= termConverter_.Finalize();
  ok &= slewConverter_.Finalize();
  ok &= groupMux0_.Finalize();
  ok &= groupMux1_.Finalize();
  ok &= groupMux2_.Finalize();
  ok &= finalMux_.Finalize();
  ok &= slewConst_.Finalize();
  ok &= controlFork_.Finalize();
  ok &= termConst_.Finalize();
  ok &= inputFork_.Finalize();
  FreeConnections();
  FreeResponseTables();
  selected_ = nullptr;
  return ok;
}

} // namespace Varnholt
