// A plain, literal transmitter for comparison: the delay line is a vector
// shifted by one element every sample, the newest level at index 0.
#ifndef VARNHOLT_TESTS_KORVATH_KORVATHREFERENCE_H
#define VARNHOLT_TESTS_KORVATH_KORVATHREFERENCE_H

#include <cmath>
#include <vector>

namespace korvathtest {

struct Settings {
  double slewTimePs = 100.0;
  double prePercent = 0.0;
  double pst1Percent = -10.0;
  double pst2Percent = 0.0;
  double swingMv = 500.0;
};

inline std::vector<double> ReferenceTransmit(const std::vector<double> &in, int spb,
                                             double bitTime, const Settings &s) {
  const double dt = bitTime / spb;
  int slew = static_cast<int>(s.slewTimePs * 1e-12 / dt);
  if (slew < 1 || slew > spb) slew = 1;
  const double swing = s.swingMv / 1000.0;
  const double pre = s.prePercent / 100.0 * 0.5;
  const double pst1 = s.pst1Percent / 100.0 * 0.5;
  const double pst2 = s.pst2Percent / 100.0 * 0.5;
  const double main = 1.0 - std::fabs(pre) - std::fabs(pst1) - std::fabs(pst2);

  std::vector<double> line(4 * spb, 0.0);
  std::vector<double> out;
  double previous = 0.0, level = 0.0, step = 0.0, counter = spb + 1.0;
  bool started = false;
  for (double x : in) {
    double target;
    if (x != previous && started) {
      counter = 2.0;
      step = (x - previous) / slew * 2.0;
      target = level + step;
    } else if (slew >= counter && started) {
      counter += 1.0;
      target = level + step;
    } else {
      target = x;
    }
    previous = x > 0.0 ? 0.5 : -0.5;
    level = target > 0.5 ? 0.5 : (target < -0.5 ? -0.5 : target);
    started = true;
    for (int j = 4 * spb - 1; j >= 1; --j) line[j] = line[j - 1];
    line[0] = swing * level;
    out.push_back(((line[3 * spb] * pst2 + line[2 * spb] * pst1) + line[spb] * main) +
                  pre * line[0]);
  }
  return out;
}

} // namespace korvathtest

#endif
