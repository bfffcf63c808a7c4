// The per-sample path allocates nothing: every block's Run is counted
// against the tests' allocation counter, fed by operator new.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "models/Welbrook_rx/Welbrook_rx.h"
#include "models/Welbrook_tx/Welbrook_tx.h"
#include "runtime/ClockTimes.h"
#include "runtime/ConstUnTimed.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TimeResponseFIR.h"
#include "runtime/TypeConverter.h"
#include "tests/runtime/BlockTest.h"
#include "tests/support/LiteralSchematic.h"

#include "AllocFailNew.h"

using namespace Varnholt;

TEST(PerSamplePath, AllocatesNothing) {
  double d[8] = {0.3, 0, 0, 0, 0, 0, 0, 0};
  int ints[4] = {};

  ConstUnTimed<double> k;
  k.output.SetStorage(&d[0], 1, 1, 0);
  k.value = 0.3;
  ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound> conv;
  conv.input.SetStorage(&d[0], 1, 1, 0);
  conv.output.SetStorage(&ints[0], 1, 1, 0);
  Fork<CircularBuffer<int>> fork;
  fork.input.SetStorage(&ints[0], 1, 1, 0);
  fork.outputs.Resize(2);
  fork.outputs.BufferAt(0).SetStorage(&ints[1], 1, 1, 0);
  fork.outputs.BufferAt(1).SetStorage(&ints[2], 1, 1, 0);
  Mux<CircularBuffer<double>> mux;
  mux.inputs.Resize(2);
  mux.inputs.BufferAt(0).SetStorage(&d[1], 1, 1, 0);
  mux.inputs.BufferAt(1).SetStorage(&d[2], 1, 1, 0);
  mux.output.SetStorage(&d[3], 1, 1, 0);
  std::vector<double> x = {0, 1e-12, 2.5e-12, 3e-12, 4e-12}, y = {1e12, 2e12, 1e12, 0, -1e11};
  testsupport::ResponseFir fir;
  fir.Load(y.data(), x.data(), 5, fir.SampleRate);
  fir.input.SetStorage(&d[3], 1, 1, 0);
  fir.output.SetStorage(&d[4], 1, 1, 0);
  ClockTimes clock;
  clock.interpolation = 1;
  clock.edgeSelector = 1;
  clock.input.SetStorage(&d[4], 1, 1, 0);
  clock.output.SetStorage(&d[5], 1, 1, 0);

  std::vector<DFModel *> blocks = {&k, &conv, &fork, &mux, &fir, &clock};
  const int64_t atSetup = AllocRequests();
  for (DFModel *b : blocks) ASSERT_TRUE(b->Setup());
  for (DFModel *b : blocks) ASSERT_TRUE(b->Initialize());
  ASSERT_GT(AllocRequests(), atSetup); // the counter sees the taps and the history

  // Out of range on every other sample: the failure path counts as well.
  testing::internal::CaptureStderr();
  const int64_t before = AllocRequests();
  for (int i = 0; i < 1000; ++i) {
    d[1] = (i % 7) - 3.0;
    d[2] = -d[1];
    mux.control = (i % 2) ? ints[1] : 5;
    for (DFModel *b : blocks) b->Run();
  }
  const int64_t during = AllocRequests() - before;
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(during, 0);
  EXPECT_NE(errors.find("Control input signal value is equal to 5."), std::string::npos);
  for (DFModel *b : blocks) EXPECT_TRUE(b->Finalize());
}

// The retimer models on the path of their selected response, and on the whole
// schematic, which they fire when a multiplexer control is out of range.
TEST(PerSamplePath, RetimerModelsAllocateNothing) {
  double ports[5] = {};
  for (double setting : {3.0, 9.0}) {
    Welbrook_rx rx;
    CircularBuffer<double> *rxPorts[5] = {&rx.In, &rx.Out, &rx.ClockTime, &rx.Signal,
                                          &rx.ClockLevel};
    for (int i = 0; i < 5; ++i) rxPorts[i]->SetStorage(&ports[i], 1, 1, 0);
    rx.EQ = setting;
    Welbrook_tx tx;
    tx.In.SetStorage(&ports[0], 1, 1, 0);
    tx.Out.SetStorage(&ports[1], 1, 1, 0);
    tx.SLEW_CTL = setting - 2.0;
    for (DFModel *m : {static_cast<DFModel *>(&rx), static_cast<DFModel *>(&tx)}) {
      ASSERT_TRUE(m->Setup());
      ASSERT_TRUE(m->Initialize());
    }
    EXPECT_EQ(rx.SelectedFir() >= 0, setting < 8.0);
    EXPECT_EQ(tx.SelectedFir() >= 0, setting < 8.0);
    testing::internal::CaptureStderr();
    const int64_t before = AllocRequests();
    for (int i = 0; i < 3000; ++i) {
      ports[0] = (i / 32) % 3 == 0 ? 0.4 : -0.4;
      rx.Run();
      tx.Run();
    }
    const int64_t during = AllocRequests() - before;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(during, 0) << "setting " << setting;
  }
}
