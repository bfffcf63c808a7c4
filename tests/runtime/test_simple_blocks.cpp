// Constant source, fork, multiplexer and rounding converter.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "runtime/ConstUnTimed.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TypeConverter.h"
#include "tests/runtime/BlockTest.h"

using namespace Varnholt;
using blocktest::CerrCapture;
using blocktest::Port;

TEST(ConstUnTimed, InitialDelayThenValue) {
  ConstUnTimed<double> k;
  EXPECT_EQ(k.value, 0.0);
  Port<double> out(k.output, 1, -9.0);
  k.value = 4.25;
  k.InitialDelay = 2;
  ASSERT_TRUE(k.Setup());
  ASSERT_TRUE(k.Initialize());
  double got[4];
  for (double &g : got) {
    ASSERT_TRUE(k.Run());
    g = out.data[0];
  }
  EXPECT_EQ(got[0], 0.0);
  EXPECT_EQ(got[1], 0.0);
  EXPECT_EQ(got[2], 4.25);
  EXPECT_EQ(got[3], 4.25);

  // Initialize starts the delay again.
  ASSERT_TRUE(k.Initialize());
  ASSERT_TRUE(k.Run());
  EXPECT_EQ(out.data[0], 0.0);

  k.InitialDelay = 0;
  ASSERT_TRUE(k.Initialize());
  ASSERT_TRUE(k.Run());
  EXPECT_EQ(out.data[0], 4.25);
}

TEST(ConstUnTimed, NegativeDelayFailsInitialize) {
  ConstUnTimed<double> k;
  k.InitialDelay = -1;
  CerrCapture err;
  EXPECT_FALSE(k.Initialize());
  EXPECT_EQ(err.Text(), "InitialDelay must be >= 0\n");
}

TEST(Fork, CopiesToEveryOutput) {
  Fork<CircularBuffer<int>> f;
  Port<int> in(f.input);
  EXPECT_TRUE(f.Run()); // an empty bus: nothing to do

  f.outputs.Resize(3);
  int outs[3] = {0, 0, 0};
  for (uint64_t i = 0; i < 3; ++i) f.outputs.BufferAt(i).SetStorage(&outs[i], 1, 1, 0);
  in.data[0] = -7;
  EXPECT_TRUE(f.Run());
  for (int o : outs) EXPECT_EQ(o, -7);

  Fork<CircularBuffer<double>> g;
  Port<double> gin(g.input);
  g.outputs.Resize(2);
  double douts[2] = {0, 0};
  for (uint64_t i = 0; i < 2; ++i) g.outputs.BufferAt(i).SetStorage(&douts[i], 1, 1, 0);
  gin.data[0] = 0.125;
  EXPECT_TRUE(g.Run());
  EXPECT_EQ(douts[0], 0.125);
  EXPECT_EQ(douts[1], 0.125);
}

namespace {

struct MuxRig {
  explicit MuxRig(uint64_t n) : values(n) {
    mux.inputs.Resize(n);
    for (uint64_t i = 0; i < n; ++i) {
      values[i] = 10.0 + static_cast<double>(i);
      mux.inputs.BufferAt(i).SetStorage(&values[i], 1, 1, 0);
    }
    mux.output.SetStorage(&out, 1, 1, 0);
  }
  Mux<CircularBuffer<double>> mux;
  std::vector<double> values;
  double out = -1.0;
};

} // namespace

TEST(Mux, PassesTheSelectedInput) {
  MuxRig r(2);
  ASSERT_TRUE(r.mux.Setup());
  r.mux.control = 1;
  EXPECT_TRUE(r.mux.Run());
  EXPECT_EQ(r.out, 11.0);
  r.mux.control = 0;
  EXPECT_TRUE(r.mux.Run());
  EXPECT_EQ(r.out, 10.0);
  // Passes tells beforehand which controls a firing accepts, one sample at
  // a time: only then may an owner take the input in place of the firing.
  CerrCapture err;
  for (int32_t c : {INT32_MIN, -1, 0, 1, 2, INT32_MAX}) {
    r.mux.control = c;
    EXPECT_EQ(r.mux.Passes(c), r.mux.Run()) << c;
  }
  r.mux.BlockSize = 2;
  EXPECT_FALSE(r.mux.Passes(0));
}

TEST(Mux, RangeSentenceSingularAndPlural) {
  {
    MuxRig r(2);
    ASSERT_TRUE(r.mux.Setup());
    r.mux.control = 1;
    ASSERT_TRUE(r.mux.Run());
    r.mux.control = 5;
    CerrCapture err;
    EXPECT_FALSE(r.mux.Run());
    EXPECT_EQ(err.Text(), "Control input signal value is equal to 5.  There are 2 inputs "
                          "connected.  The valid control input range is [0,1].\n");
    EXPECT_EQ(r.out, 11.0); // keeps the previous sample
  }
  {
    MuxRig r(1);
    ASSERT_TRUE(r.mux.Setup());
    r.mux.control = -1;
    CerrCapture err;
    EXPECT_FALSE(r.mux.Run());
    EXPECT_EQ(err.Text(), "Control input signal value is equal to -1.  There is 1 input "
                          "connected.  The valid control input range is [0,0].\n");
  }
  {
    // No inputs: the singular form, and n - 1 as an unsigned 64-bit number.
    MuxRig r(0);
    ASSERT_TRUE(r.mux.Setup());
    r.mux.control = 0;
    CerrCapture err;
    EXPECT_FALSE(r.mux.Run());
    EXPECT_EQ(err.Text(), "Control input signal value is equal to 0.  There is 0 input "
                          "connected.  The valid control input range is "
                          "[0,18446744073709551615].\n");
    EXPECT_EQ(r.out, -1.0);
  }
  {
    MuxRig r(16);
    ASSERT_TRUE(r.mux.Setup());
    r.mux.control = INT32_MIN;
    CerrCapture err;
    EXPECT_FALSE(r.mux.Run());
    EXPECT_EQ(err.Text(), "Control input signal value is equal to -2147483648.  There are 16 "
                          "inputs connected.  The valid control input range is [0,15].\n");
  }
  {
    MuxRig r(8);
    ASSERT_TRUE(r.mux.Setup());
    r.mux.control = 8; // one past the end
    CerrCapture err;
    EXPECT_FALSE(r.mux.Run());
    EXPECT_NE(err.Text().find("There are 8 inputs connected.  The valid control input "
                              "range is [0,7]."),
              std::string::npos);
  }
}

TEST(Mux, BlockSize) {
  {
    Mux<CircularBuffer<double>> m;
    m.BlockSize = 0;
    CerrCapture err;
    EXPECT_FALSE(m.Setup());
    EXPECT_EQ(err.Text(), "BlockSize must be >= 1\n");
  }
  // Several samples per firing, through wrapping storages.
  Mux<CircularBuffer<double>> m;
  m.inputs.Resize(2);
  m.BlockSize = 3;
  ASSERT_TRUE(m.Setup());
  EXPECT_EQ(m.output.GetSize(), 3u);
  EXPECT_EQ(m.inputs.BufferAt(1).GetMaxSize(), 3u);
  double in0[4] = {0, 0, 0, 0};
  double in1[4] = {1, 2, 3, 4};
  double out[4] = {0, 0, 0, 0};
  m.inputs.BufferAt(0).SetStorage(in0, 4, 3, 0);
  m.inputs.BufferAt(1).SetStorage(in1, 4, 3, 2);
  m.output.SetStorage(out, 4, 3, 3);
  m.control = 1;
  ASSERT_TRUE(m.Run());
  EXPECT_EQ(out[3], 3.0);
  EXPECT_EQ(out[0], 4.0);
  EXPECT_EQ(out[1], 1.0);
  EXPECT_EQ(out[2], 0.0);
}

TEST(TypeConverterRound, HalfAwayFromZero) {
  const struct {
    double in;
    double want;
  } cases[] = {
      {2.5, 3.0},
      {-2.5, -3.0},
      {2.4999, 2.0},
      {-0.4, 0.0},
      {0.5, 1.0},
      {-0.5, -1.0},
      {1.5, 2.0},
      {-1.5, -2.0},
      {7.0, 7.0},
      // floor(x + 0.5) would give 1 and -1 here: the sum rounds up.
      {0.49999999999999994, 0.0},
      {-0.49999999999999994, 0.0},
      // and 2^52 + 2 here.
      {4503599627370497.0, 4503599627370497.0},
  };
  for (const auto &c : cases) EXPECT_EQ(TypeConverterRound::Round(c.in), c.want) << c.in;
  EXPECT_FALSE(std::signbit(TypeConverterRound::Round(0.4)));
}

TEST(TypeConverterRound, ConvertIsDefinedEverywhere) {
  int32_t v = 99;
  TypeConverterRound::Convert(7.5, v);
  EXPECT_EQ(v, 8);
  TypeConverterRound::Convert(-7.5, v);
  EXPECT_EQ(v, -8);
  TypeConverterRound::Convert(std::numeric_limits<double>::quiet_NaN(), v);
  EXPECT_EQ(v, 0);
  TypeConverterRound::Convert(1e10, v);
  EXPECT_EQ(v, INT32_MAX);
  TypeConverterRound::Convert(-1e10, v);
  EXPECT_EQ(v, INT32_MIN);
  TypeConverterRound::Convert(std::numeric_limits<double>::infinity(), v);
  EXPECT_EQ(v, INT32_MAX);
  TypeConverterRound::Convert(-std::numeric_limits<double>::infinity(), v);
  EXPECT_EQ(v, INT32_MIN);
  TypeConverterRound::Convert(2147483646.6, v);
  EXPECT_EQ(v, INT32_MAX);
  TypeConverterRound::Convert(-2147483648.4, v);
  EXPECT_EQ(v, INT32_MIN);
}

TEST(ScalarToScalar, RoundsIntoTheIntPort) {
  ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound> c;
  Port<double> in(c.input);
  Port<int> out(c.output);
  ASSERT_TRUE(c.Setup());
  ASSERT_TRUE(c.Initialize());
  in.data[0] = 7.5; // the receiver's EQ 7.5 selects input 8
  EXPECT_TRUE(c.Run());
  EXPECT_EQ(out.data[0], 8);
  in.data[0] = -0.4;
  EXPECT_TRUE(c.Run());
  EXPECT_EQ(out.data[0], 0);
  EXPECT_TRUE(c.Finalize());
}
