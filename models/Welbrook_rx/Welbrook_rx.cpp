// The receiver top model and its inner equalizer schematic: the sixteen
// response filters behind their multiplexers, rx_dc and the cdr.
#include "models/Welbrook_rx/Welbrook_rx.h"

#include "models/Welbrook_rx/rx_responses.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>

namespace Varnholt {

namespace {

// A private copy of a constant table, or null when it cannot be had.
double *CopyTable(const double *table) {
  double *copy = new (std::nothrow) double[kWelbrookRxLength];
  if (copy) std::memcpy(copy, table, sizeof(double) * kWelbrookRxLength);
  return copy;
}

// One sample of storage shared by the producer's view and every consumer's.
// Cleared, so that a view whose producer failed never shows an undefined
// value.
template <class T> void Connect(T *&slot, std::initializer_list<CircularBufferBase *> views) {
  slot = new T[1]();
  for (CircularBufferBase *v : views) v->SetStorage(slot, 1, 1, 0);
}

template <class T> void Free(T *&slot) {
  delete[] slot;
  slot = nullptr;
}

} // namespace

bool RxInnerSchematic::Setup() {
  bool ok = true;
  const double sampleRate = samplesPerBit / bitTime;
  for (int k = 0; k < kFirs; ++k) {
    TimeResponseFIR &f = fir[k];
    f.ResponseType = 0;
    f.response = CopyTable(kWelbrookRxResponse[k]);
    f.timeStamps = CopyTable(kWelbrookRxTime[k]);
    // Without its tables the filter would report them as empty.
    if (!f.response || !f.timeStamps) {
      DFModel::ReportError("Unable to allocate the response tables");
      ok = false;
      continue;
    }
    f.responseCount = kWelbrookRxLength;
    f.timeStampCount = kWelbrookRxLength;
    f.SampleRate = sampleRate;
    ok &= f.Setup();
  }
  rxDc.setting = TruncateToInt32(EQ);
  ok &= rxDc.Setup();
  ok &= horlConverter.Setup();
  ok &= eqConverter.Setup();
  groupMux0.BlockSize = 1;
  groupMux0.inputs.Resize(kGroup);
  ok &= groupMux0.Setup();
  groupMux1.BlockSize = 1;
  groupMux1.inputs.Resize(kGroup);
  ok &= groupMux1.Setup();
  finalMux.BlockSize = 1;
  finalMux.inputs.Resize(2);
  ok &= finalMux.Setup();
  eqConst.InitialDelay = 0;
  eqConst.value = EQ;
  ok &= eqConst.Setup();
  controlFork.outputs.Resize(2);
  ok &= controlFork.Setup();
  horlConst.InitialDelay = 0;
  horlConst.value = HorL;
  ok &= horlConst.Setup();
  inputFork.outputs.Resize(kFirs);
  ok &= inputFork.Setup();
  return ok;
}

Welbrook_rx::~Welbrook_rx() {
  FreeConnections();
  FreeResponseTables();
}

void Welbrook_rx::FreeConnections() {
  Free(conn1_);
  Free(conn2_);
  Free(conn3_);
  Free(conn4_);
  Free(conn5_);
  for (double *&c : conn6_13_) Free(c);
  for (double *&c : conn14_21_) Free(c);
  Free(conn22_);
  Free(conn23_);
  Free(conn24_);
  Free(conn25_);
  Free(conn26_);
  Free(conn27_);
  Free(conn28_);
  Free(conn29_);
  Free(conn30_);
  Free(conn31_);
  for (double *&c : conn32_47_) Free(c);
  Free(conn48_);
  Free(conn49_);
  Free(conn50_);
}

void Welbrook_rx::FreeResponseTables() {
  for (TimeResponseFIR &f : inner_.fir) {
    Free(f.response);
    Free(f.timeStamps);
  }
}

bool Welbrook_rx::Setup() {
  FreeResponseTables();
  inner_.samplesPerBit = samplesPerBit;
  inner_.bitTime = bitTime;
  inner_.EQ = EQ;
  inner_.HorL = HorL;
  bool ok = inner_.Setup();

  clockTimes_.SampleInterval = bitTime / samplesPerBit;
  clockTimes_.timeOffset = 0.0;
  clockTimes_.edgeSelector = 1;
  clockTimes_.interpolation = 0;
  ok &= clockTimes_.Setup();

  cdr_.N = TruncateToInt32(samplesPerBit);
  cdr_.VotingThreshold = TruncateToInt32(VotingThreshold);
  cdr_.SettlingTime = TruncateToInt32(SettlingTime);
  ok &= cdr_.Setup();

  clockFork_.outputs.Resize(2);
  ok &= clockFork_.Setup();
  signalFork_.outputs.Resize(2);
  ok &= signalFork_.Setup();

  for (CircularBuffer<double> *port : {&In, &Out, &ClockTime, &Signal, &ClockLevel})
    port->SetSize(1);
  return ok;
}

bool Welbrook_rx::Initialize() {
  FreeConnections();
  selected_ = nullptr;
  RxInnerSchematic &s = inner_;

  Connect(conn1_, {&input_, &s.inputFork.input});
  Connect(conn2_, {&cdrData_, &output1_});
  Connect(conn3_, {&clockTimes_.output, &output2_});
  Connect(conn4_, {&signalFork_.outputs.BufferAt(0), &output3_});
  Connect(conn5_, {&clockFork_.outputs.BufferAt(1), &output4_});
  for (int j = 0; j < RxInnerSchematic::kGroup; ++j) {
    const int f1 = RxInnerSchematic::kGroupFirst[1] + j;
    const int f0 = RxInnerSchematic::kGroupFirst[0] + j;
    Connect(conn6_13_[j], {&s.fir[f1].output, &s.groupMux1.inputs.BufferAt(j)});
    Connect(conn14_21_[j], {&s.fir[f0].output, &s.groupMux0.inputs.BufferAt(j)});
  }
  Connect(conn22_, {&s.rxDcOut, &signalFork_.input});
  Connect(conn23_, {&s.horlConverter.output, &s.finalMuxControl});
  Connect(conn24_, {&s.eqConverter.output, &s.controlFork.input});
  Connect(conn25_, {&s.groupMux0.output, &s.finalMux.inputs.BufferAt(0)});
  Connect(conn26_, {&s.groupMux1.output, &s.finalMux.inputs.BufferAt(1)});
  Connect(conn27_, {&s.finalMux.output, &s.rxDcIn});
  Connect(conn28_, {&s.eqConst.output, &s.eqConverter.input});
  Connect(conn29_, {&s.controlFork.outputs.BufferAt(0), &s.groupMux0Control});
  Connect(conn30_, {&s.controlFork.outputs.BufferAt(1), &s.groupMux1Control});
  Connect(conn31_, {&s.horlConst.output, &s.horlConverter.input});
  for (int k = 0; k < RxInnerSchematic::kFirs; ++k)
    Connect(conn32_47_[k], {&s.inputFork.outputs.BufferAt(k), &s.fir[k].input});
  Connect(conn48_, {&cdrClock_, &clockFork_.input});
  Connect(conn49_, {&clockFork_.outputs.BufferAt(0), &clockTimes_.input});
  Connect(conn50_, {&signalFork_.outputs.BufferAt(1), &cdrIn_});

  bool ok = true;
  for (TimeResponseFIR &f : s.fir) ok &= f.Initialize();
  ok &= s.rxDc.Initialize();
  ok &= s.horlConverter.Initialize();
  ok &= s.eqConverter.Initialize();
  ok &= s.groupMux0.Initialize();
  ok &= s.groupMux1.Initialize();
  ok &= s.finalMux.Initialize();
  ok &= s.eqConst.Initialize();
  ok &= s.controlFork.Initialize();
  ok &= s.horlConst.Initialize();
  ok &= s.inputFork.Initialize();
  ok &= clockTimes_.Initialize();
  ok &= cdr_.Initialize();
  ok &= clockFork_.Initialize();
  ok &= signalFork_.Initialize();
  if (ok) selected_ = FindSelectedFir();
  return ok;
}

// The controls come from constants through the rounding converters, the
// same on every firing: each multiplexer is a fixed wire. When every one of
// them passes an input, one FIR feeds rx_dc and the others are never seen;
// otherwise null (the multiplexers fail every firing).
TimeResponseFIR *Welbrook_rx::FindSelectedFir() {
  RxInnerSchematic &s = inner_;
  if (s.eqConst.InitialDelay != 0 || s.horlConst.InitialDelay != 0) return nullptr;
  int32_t eq = 0;
  int32_t horl = 0;
  TypeConverterRound::Convert(s.eqConst.value, eq);
  TypeConverterRound::Convert(s.horlConst.value, horl);
  if (!s.groupMux0.Passes(eq) || !s.groupMux1.Passes(eq) || !s.finalMux.Passes(horl))
    return nullptr;
  return &inner_.fir[RxInnerSchematic::kGroupFirst[horl] + eq];
}

bool Welbrook_rx::Run() { return selected_ ? RunSelected() : RunSchematic(); }

// What the schematic computes with its multiplexers as fixed wires: the one
// filter that reaches rx_dc, then rx_dc, the cdr and the clock times, each
// port written as the forks would write it.
bool Welbrook_rx::RunSelected() {
  rx_dc &dc = inner_.rxDc;
  dc.input = selected_->Filter(In.Sample());
  dc.rx_dc::Run();
  cdr_.input = dc.output;
  cdr_.cdr::Run();
  clockTimes_.input.Sample() = cdr_.clock;
  clockTimes_.ClockTimes::Run();
  Out.Sample() = cdr_.data;
  ClockTime.Sample() = clockTimes_.output.Sample();
  Signal.Sample() = dc.output;
  ClockLevel.Sample() = cdr_.clock;
  return true;
}

bool Welbrook_rx::RunSchematic() {
  RxInnerSchematic &s = inner_;
  In.CopyTo(0, input_, 0, 1);

  bool ok = s.eqConst.Run();
  ok &= s.eqConverter.Run();
  ok &= s.controlFork.Run();
  ok &= s.inputFork.Run();

  for (int k = 15; k >= 8; --k) ok &= s.fir[k].Run();
  s.groupMux0.control = s.groupMux0Control.Sample();
  ok &= s.groupMux0.Run();

  for (int k = 7; k >= 0; --k) ok &= s.fir[k].Run();
  s.groupMux1.control = s.groupMux1Control.Sample();
  ok &= s.groupMux1.Run();

  ok &= s.horlConst.Run();
  ok &= s.horlConverter.Run();
  s.finalMux.control = s.finalMuxControl.Sample();
  ok &= s.finalMux.Run();

  s.rxDc.input = s.rxDcIn.Sample();
  ok &= s.rxDc.Run();
  s.rxDcOut.Sample() = s.rxDc.output;

  ok &= signalFork_.Run();

  cdr_.input = cdrIn_.Sample();
  ok &= cdr_.Run();
  cdrClock_.Sample() = cdr_.clock;
  cdrData_.Sample() = cdr_.data;

  ok &= clockFork_.Run();
  ok &= clockTimes_.Run();

  output1_.CopyTo(0, Out, 0, 1);
  output2_.CopyTo(0, ClockTime, 0, 1);
  output3_.CopyTo(0, Signal, 0, 1);
  output4_.CopyTo(0, ClockLevel, 0, 1);
  return ok;
}

bool Welbrook_rx::Finalize() {
  RxInnerSchematic &s = inner_;
  bool ok = true;
  for (TimeResponseFIR &f : s.fir) ok &= f.Finalize();
  ok &= s.rxDc.Finalize();
  ok &= s.horlConverter.Finalize();
  ok &= s.eqConverter.Finalize();
  ok &= s.groupMux0.Finalize();
  ok &= s.groupMux1.Finalize();
  ok &= s.finalMux.Finalize();
  ok &= s.eqConst.Finalize();
  ok &= s.controlFork.Finalize();
  ok &= s.horlConst.Finalize();
  ok &= s.inputFork.Finalize();
  ok &= clockTimes_.Finalize();
  ok &= cdr_.Finalize();
  ok &= clockFork_.Finalize();
  ok &= signalFork_.Finalize();
  FreeConnections();
  FreeResponseTables();
  selected_ = nullptr;
  return ok;
}

} // namespace Varnholt
