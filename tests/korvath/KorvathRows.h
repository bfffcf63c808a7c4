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

// The main cursor alone reads the level one unit interval back: with Pst1 0
// and a swing of 1000 mV the output is the level spb samples earlier.
inline std::vector<TxRow> HandRows() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  return {
      // 4 slew samples: a step of 2 / 4 per sample, at the limit after 2.
      {"rising step, 4-sample ramp", 4, {100, 0, 0, 0, 1000}, Bits("00111", 4), 4,
       Join({Hold(0, 4), Hold(-0.5, 8), {0.0}, Hold(0.5, 7)})},
      {"falling step, 4-sample ramp", 4, {100, 0, 0, 0, 1000}, Bits("11000", 4), 4,
       Join({Hold(0, 4), Hold(0.5, 8), {0.0}, Hold(-0.5, 7)})},
      // 8 slew samples (dt 12.5 ps): 0.25 per sample.
      {"8-sample ramp", 8, {100, 0, 0, 0, 1000}, Bits("0011", 8), 8,
       Join({Hold(0, 8), Hold(-0.5, 16), {-0.25, 0.0, 0.25}, Hold(0.5, 5)})},
      {"SlewTime 50 at 8 samples per bit", 8, {50, 0, 0, 0, 1000}, Bits("0011", 8), 4,
       Join({Hold(0, 8), Hold(-0.5, 16), {0.0}, Hold(0.5, 7)})},
      // 90 ps / 12.5 ps = 7.2, truncated: 2 / 7 per sample.
      {"7.2 slew samples truncate to 7", 8, {90, 0, 0, 0, 1000}, Bits("0011", 8), 7,
       Join({Hold(0, 8), Hold(-0.5, 16), {-0.5 + 2.0 / 7, -0.5 + 4.0 / 7, -0.5 + 6.0 / 7},
             Hold(0.5, 5)})},
      {"below one sample: an immediate edge", 8, {1, 0, 0, 0, 1000}, Bits("0011", 8), 1,
       Join({Hold(0, 8), Hold(-0.5, 16), Hold(0.5, 8)})},
      {"beyond one unit interval: an immediate edge", 8, {125, 0, 0, 0, 1000}, Bits("0011", 8), 1,
       Join({Hold(0, 8), Hold(-0.5, 16), Hold(0.5, 8)})},
      // 3 slew samples: -0.5 + 2 / 3.
      {"three samples per bit", 3, {100, 0, 0, 0, 1000}, Bits("0011", 3), 3,
       Join({Hold(0, 3), Hold(-0.5, 6), {1.0 / 6}, Hold(0.5, 2)})},
      // From a settled -0.5: +1.5 / 4 x 2 = 0.75, then +0.5 / 4 x 2 per sample.
      {"amplitude 1", 4, {100, 0, 0, 0, 1000}, Bits("00111", 4, 1.0), 4,
       Join({Hold(0, 4), Hold(-0.5, 8), {0.25}, Hold(0.5, 7)})},
      // The first sample is -0.25; then each sample compares with -0.5 and
      // climbs 0.125 to the limit. The high bit first jumps by 0.375, then
      // compares with +0.5 and falls 0.125 per sample.
      {"amplitude 0.25 ramps at every sample", 4, {100, 0, 0, 0, 1000}, Bits("00111", 4, 0.25), 4,
       Join({Hold(0, 4), {-0.25, -0.125, 0.0, 0.125, 0.25, 0.375, 0.5, 0.5, 0.5, 0.375, 0.25,
                          0.125, 0.0, -0.125, -0.25, -0.375}})},
      // Defaults: main 0.95, post-1 -0.05, levels +-0.25; 2 slew samples make
      // the edge immediate.
      {"default taps and swing", 2, Settings(), Bits("000100000", 2), 2,
       {0, 0, -0.2375, -0.2375, -0.225, -0.225, -0.225, -0.225, 0.25, 0.25, -0.25, -0.25, -0.225,
        -0.225, -0.225, -0.225, -0.225, -0.225}},
      // pre 0.1, main 0.75, post-1 -0.1, post-2 0.05.
      {"Pre 20, Pst1 -20, Pst2 10", 2, {1, 20, -20, 10, 1000}, Bits("000100000", 2), 1,
       {-0.05, -0.05, -0.425, -0.425, -0.375, -0.375, -0.3, -0.3, 0.35, 0.35, -0.5, -0.5, -0.35,
        -0.35, -0.4, -0.4, -0.4, -0.4}},
      {"Swing 500 halves the output", 2, {1, 20, -20, 10, 500}, Bits("000100000", 2), 1,
       {-0.025, -0.025, -0.2125, -0.2125, -0.1875, -0.1875, -0.15, -0.15, 0.175, 0.175, -0.25,
        -0.25, -0.175, -0.175, -0.2, -0.2, -0.2, -0.2}},
      {"Swing 0", 2, {1, 20, -20, 10, 0}, Bits("000100000", 2), 1, Hold(0, 18)},
      // pre -0.1, main 0.75, post-1 0.1, post-2 -0.05, levels +-0.6.
      {"Pre -20, Pst1 20, Pst2 -10, Swing 1200", 2, {1, -20, 20, -10, 1200}, Bits("000100000", 2),
       1,
       {0.06, 0.06, -0.39, -0.39, -0.45, -0.45, -0.54, -0.54, 0.48, 0.48, -0.3, -0.3, -0.48, -0.48,
        -0.42, -0.42, -0.42, -0.42}},
      // pre 0.5, main -0.2, post-1 -0.4, post-2 0.3; a four-sample line.
      {"negative main cursor at one sample per bit", 1, {100, 100, -80, 60, 1000},
       Bits("001111", 1), 1, {-0.25, -0.15, 0.55, 0.2, -0.2, 0.1}},
      // main 0.9, post-1 -0.1, levels +-0.4 through 0 at the edge.
      {"ramp through the post-cursor", 4, {100, 0, -20, 0, 800}, Bits("00111", 4), 4,
       Join({Hold(0, 4), Hold(-0.36, 4), Hold(-0.32, 4), {0.04}, Hold(0.4, 3), {0.36},
             Hold(0.32, 3)})},
      {"a NaN reads as low, infinities are limited", 2, {1, 0, 0, 0, 1000},
       {nan, 0.5, inf, 0.5, -inf, 0.5, nan, nan, 0.5, 0.5}, 1,
       {0, 0, -0.5, 0.5, 0.5, 0.5, -0.5, 0.5, -0.5, -0.5}},
  };
}

} // namespace korvathtest

#endif
