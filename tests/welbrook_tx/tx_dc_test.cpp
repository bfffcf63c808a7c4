// The transmitter's output characteristic: its constants to the bit and the
// choice of slope and amplitude by setting pair.
#include "models/Welbrook_tx/tx_dc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace {

using Varnholt::tx_dc;

TEST(TxDc, ConstantsAreTheExactDoubles) {
  EXPECT_EQ(tx_dc::kSlope, 0x1.10cb295e9e1b0p+2);
  EXPECT_EQ(tx_dc::kSlopeTerm2, 0x1.7e47991bc5585p+2);
  EXPECT_EQ(tx_dc::kAmplitudeTerm0, 0x1.ef694467381d7p-2);
  EXPECT_EQ(tx_dc::kAmplitudeTerm0Slew1, 0x1.ecfe9b7bf1e8ep-2);
  EXPECT_EQ(tx_dc::kAmplitudeTerm1, 0x1.fc01a36e2eb1bp-2);
  EXPECT_EQ(tx_dc::kAmplitudeTerm2, 0x1.001a36e2eb1c4p-1);
  // One unit in the last place below the nearest doubles of the decimals.
  EXPECT_EQ(tx_dc::kSlope, std::nextafter(4.2624, 0.0));
  EXPECT_EQ(tx_dc::kSlopeTerm2, std::nextafter(5.97312, 0.0));
  EXPECT_EQ(tx_dc::kAmplitudeTerm0, std::nextafter(0.4838, 0.0));
  EXPECT_EQ(tx_dc::kAmplitudeTerm1, std::nextafter(0.4961, 0.0));
  EXPECT_EQ(tx_dc::kAmplitudeTerm0Slew1, 0.48144);
  EXPECT_EQ(tx_dc::kAmplitudeTerm2, 0.5002);
}

TEST(TxDc, EachSettingPairHasItsCharacteristic) {
  struct Row {
    int term, slew;
    double slope, amplitude;
  };
  const Row rows[] = {
      {0, 0, 4.2623999999999995, 0.48379999999999995},
      {0, 1, 4.2623999999999995, 0.48144},
      {0, 2, 4.2623999999999995, 0.48379999999999995},
      {1, 0, 4.2623999999999995, 0.49609999999999993},
      {1, 1, 4.2623999999999995, 0.49609999999999993},
      {1, 2, 4.2623999999999995, 0.49609999999999993},
      {2, 0, 5.973119999999999, 0.5002},
      {2, 1, 5.973119999999999, 0.5002},
      {2, 2, 5.973119999999999, 0.5002},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(testing::Message() << "TERM " << r.term << " SLEW " << r.slew);
    tx_dc dc;
    dc.TX_TERM_CTL = r.term;
    dc.SLEW_CTL = r.slew;
    for (double x : {0.5, -0.5, 0.0, 0.013, -0.2718281828, 1e-300, 40.0, -40.0}) {
      dc.input = x;
      ASSERT_TRUE(dc.Run());
      // The product is formed first, then the tanh is scaled; the tanh
      // within a few units in the last place of the C library's.
      ASSERT_DOUBLE_EQ(dc.output, std::tanh(x * r.slope) * r.amplitude) << x;
    }
    // Saturated: the output reaches the amplitude and goes no further.
    dc.input = 40.0;
    dc.Run();
    EXPECT_EQ(dc.output, r.amplitude);
  }
}

TEST(TxDc, HalfInputWithTerminationOne) {
  tx_dc dc;
  dc.TX_TERM_CTL = 1;
  dc.SLEW_CTL = 0;
  dc.input = 0.5;
  dc.Run();
  EXPECT_DOUBLE_EQ(dc.output, 0.49609999999999993 * std::tanh(2.1311999999999998));
  EXPECT_NEAR(dc.output, 0.48232, 5e-6);
}

TEST(TxDc, UnlistedPairsKeepThePreviousOutput) {
  tx_dc fresh;
  EXPECT_EQ(fresh.output, 0.0) << "defined before the first Run";
  fresh.TX_TERM_CTL = 3;
  fresh.input = 0.5;
  EXPECT_TRUE(fresh.Run());
  EXPECT_EQ(fresh.output, 0.0);

  const std::pair<int32_t, int32_t> pairs[] = {{3, 0},  {0, 3},         {2, 3},        {-1, 1},
                                               {1, -1}, {INT32_MIN, 0}, {0, INT32_MAX}};
  for (auto [term, slew] : pairs) {
    SCOPED_TRACE(testing::Message() << "TERM " << term << " SLEW " << slew);
    tx_dc dc;
    dc.TX_TERM_CTL = 1;
    dc.SLEW_CTL = 1;
    dc.input = 0.25;
    dc.Run();
    const double before = dc.output;
    dc.TX_TERM_CTL = term;
    dc.SLEW_CTL = slew;
    dc.input = -0.75;
    EXPECT_TRUE(dc.Run());
    EXPECT_EQ(dc.output, before);
    double slope = -1.0, amplitude = -1.0;
    EXPECT_FALSE(tx_dc::Characteristic(term, slew, slope, amplitude));
  }
}

TEST(TxDc, ARepeatedInputGivesWhatAFreshStageGives) {
  // Runs of equal inputs, as a bit pattern gives them, with the settings
  // changed within a run and the zeros and NaN told apart to the bit.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Step {
    double x;
    int32_t term, slew;
  };
  const Step steps[] = {{0.5, 1, 0},  {0.5, 1, 0},  {0.5, 0, 1},  {0.5, 0, 1},  {0.5, 3, 1},
                        {0.5, 0, 1},  {-0.0, 0, 1}, {0.0, 0, 1},  {0.0, 0, 1},  {-0.0, 0, 1},
                        {nan, 2, 2},  {nan, 2, 2},  {-0.5, 2, 2}, {-0.5, 2, 0}, {-0.5, 2, 0}};
  tx_dc dc;
  for (const Step &st : steps) {
    SCOPED_TRACE(testing::Message() << st.x << " TERM " << st.term << " SLEW " << st.slew);
    tx_dc fresh;
    fresh.output = dc.output; // what an unlisted pair keeps
    for (tx_dc *p : {&dc, &fresh}) {
      p->input = st.x;
      p->TX_TERM_CTL = st.term;
      p->SLEW_CTL = st.slew;
      p->Run();
    }
    uint64_t a, b;
    std::memcpy(&a, &dc.output, sizeof a);
    std::memcpy(&b, &fresh.output, sizeof b);
    EXPECT_EQ(a, b);
  }
}

} // namespace
