// Short transmitter stimuli at a few samples per bit, each with the output
// that the slew, tap and swing rules give for it, worked out by hand.
#ifndef VARNHOLT_TESTS_KORVATH_KORVATHROWS_H
#define VARNHOLT_TESTS_KORVATH_KORVATHROWS_H

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

namespace korvathtest {

constexpr double kBitTime = 1e-10;

struct Settings {
  double slewTimePs = 100.0;
  double prePercent = 0.0;
  double pst1Percent = -10.0;
  double pst2Percent = 0.0;
  double swingMv = 500.0;
};

inline std::vector<double> Hold(double value, int n) { return std::vector<double>(n, value); }

inline std::vector<double> Join(std::initializer_list<std::vector<double>> parts) {
  std::vector<double> all;
  for (const std::vector<double> &p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Each value held for spb samples.
inline std::vector<double> PerBit(int spb, std::initializer_list<double> values) {
  std::vector<double> w;
  for (double v : values) w.insert(w.end(), spb, v);
  return w;
}

// '1' a high bit, '0' a low one, spb samples each.
inline std::vector<double> Bits(const char *bits, int spb, double amplitude = 0.5) {
  std::vector<double> w;
  for (const char *b = bits; *b; ++b) w.insert(w.end(), spb, *b == '1' ? amplitude : -amplitude);
  return w;
}

struct TxRow {
  const char *name;
  int32_t spb; // the bit time is kBitTime
  Settings s;
  std::vector<double> input;
  int32_t slewSamples;
  std::vector<double> output;
};

// With Pst1 0 and Swing 1000 (m1k) the output is the level spb samples earlier.
inline std::vector<TxRow> HandRows() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Settings m1k{100, 0, 0, 0, 1000};
  const std::vector<double> pulse = Bits("000100000", 2);
  const auto H = Hold;
  return {
      // 4 slew samples: 2 / 4 per sample, at the limit after 2.
      {"rise, 4-sample ramp", 4, m1k, Bits("00111", 4), 4, Join({H(0, 4), H(-.5, 8), {0.}, H(.5, 7)})},
      {"fall, 4-sample ramp", 4, m1k, Bits("11000", 4), 4, Join({H(0, 4), H(.5, 8), {0.}, H(-.5, 7)})},
      // 8 slew samples (dt 12.5 ps): 0.25 per sample.
      {"8-sample ramp", 8, m1k, Bits("0011", 8), 8, Join({H(0, 8), H(-.5, 16), {-.25, 0, .25}, H(.5, 5)})},
      {"SlewTime 50, spb 8", 8, {50, 0, 0, 0, 1000}, Bits("0011", 8), 4,
       Join({H(0, 8), H(-.5, 16), {0.}, H(.5, 7)})},
      // 90 ps / 12.5 ps = 7.2, truncated: 2 / 7 per sample.
      {"7.2 slew samples truncate to 7", 8, {90, 0, 0, 0, 1000}, Bits("0011", 8), 7,
       Join({H(0, 8), H(-.5, 16), {-.5 + 2. / 7, -.5 + 4. / 7, -.5 + 6. / 7}, H(.5, 5)})},
      // Below one sample or beyond one unit interval: an immediate edge.
      {"1 ps: a step", 8, {1, 0, 0, 0, 1000}, Bits("0011", 8), 1, Join({H(0, 8), H(-.5, 16), H(.5, 8)})},
      {"125 ps: a step", 8, {125, 0, 0, 0, 1000}, Bits("0011", 8), 1, Join({H(0, 8), H(-.5, 16), H(.5, 8)})},
      // 3 slew samples: -0.5 + 2 / 3.
      {"three samples per bit", 3, m1k, Bits("0011", 3), 3, Join({H(0, 3), H(-.5, 6), {1. / 6}, H(.5, 2)})},
      // From a settled -0.5: +1.5 / 4 x 2 = 0.75, then +0.5 / 4 x 2 per sample.
      {"amplitude 1", 4, m1k, Bits("00111", 4, 1.0), 4, Join({H(0, 4), H(-.5, 8), {.25}, H(.5, 7)})},
      // First -0.25, then 0.125 a sample towards -0.5's limit; the high bit
      // jumps by 0.375, then falls 0.125 a sample from +0.5.
      {"amplitude 0.25 ramps at every sample", 4, m1k, Bits("00111", 4, 0.25), 4,
       {0, 0, 0, 0, -.25, -.125, 0, .125, .25, .375, .5, .5, .5, .375, .25, .125, 0, -.125, -.25, -.375}},
      // Main 0.95, post-1 -0.05, levels +-0.25; 2 slew samples: immediate.
      {"default taps and swing", 2, Settings(), pulse, 2,
       PerBit(2, {0, -.2375, -.225, -.225, .25, -.25, -.225, -.225, -.225})},
      // pre 0.1, main 0.75, post-1 -0.1, post-2 0.05.
      {"Pre 20, Pst1 -20, Pst2 10", 2, {1, 20, -20, 10, 1000}, pulse, 1,
       PerBit(2, {-.05, -.425, -.375, -.3, .35, -.5, -.35, -.4, -.4})},
      {"Swing 500 halves the output", 2, {1, 20, -20, 10, 500}, pulse, 1,
       PerBit(2, {-.025, -.2125, -.1875, -.15, .175, -.25, -.175, -.2, -.2})},
      {"Swing 0", 2, {1, 20, -20, 10, 0}, pulse, 1, H(0, 18)},
      // pre -0.1, main 0.75, post-1 0.1, post-2 -0.05, levels +-0.6.
      {"Pre -20, Pst1 20, Pst2 -10, Swing 1200", 2, {1, -20, 20, -10, 1200}, pulse, 1,
       PerBit(2, {.06, -.39, -.45, -.54, .48, -.3, -.48, -.42, -.42})},
      // pre 0.5, main -0.2, post-1 -0.4, post-2 0.3; a four-sample line.
      {"negative main, spb 1", 1, {100, 100, -80, 60, 1000}, Bits("001111", 1), 1,
       {-.25, -.15, .55, .2, -.2, .1}},
      // main 0.9, post-1 -0.1, levels +-0.4 through 0 at the edge.
      {"ramp through the post-cursor", 4, {100, 0, -20, 0, 800}, Bits("00111", 4), 4,
       Join({H(0, 4), H(-.36, 4), H(-.32, 4), {.04}, H(.4, 3), {.36}, H(.32, 3)})},
      {"a NaN reads as low, infinities are limited", 2, {1, 0, 0, 0, 1000},
       {nan, .5, inf, .5, -inf, .5, nan, nan, .5, .5}, 1, {0, 0, -.5, .5, .5, .5, -.5, .5, -.5, -.5}},
  };
}

} // namespace korvathtest

#endif
