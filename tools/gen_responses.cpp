// Generates the constant impulse-response tables of the Welbrook receiver
// (16 equalizer responses) and transmitter (9 edge responses):
//   models/Welbrook_rx/rx_responses.{h,cpp}
//   models/Welbrook_tx/tx_responses.{h,cpp}
//
// Usage: gen_responses <repository root>
// Built (never run) with the rest as the target gen_responses, or by hand:
//   g++ -std=c++17 -O2 -o gen_responses tools/gen_responses.cpp
// It fails with a message, writing nothing, if any property does not hold.
//
// Every response is sampled at i * 7.8125e-13 s, i = 0..896, in 1/s, and is
// built from three analytic pieces on the step index i (counted from the
// onset of the response):
//   undershoot  -(a0 + a1 i) exp(-i / tu)        a fast initial dip
//   main pulse  A (1 - exp(-i / tr))^4 exp(-i / td) / norm
//                                                 one log-concave peak
//   slow tail   -c exp(-i / ts)                   a low-frequency pole pair
// The undershoot fixes the first value and the dip at index 1 (a1 and tu are
// chosen so that the dip's own extremum falls on index 1), A fixes the peak
// value, tr places the peak on its index for a given td, td is found by
// bisection so that the DC gain comes out, and c fixes the last value where
// one is required. The values are then rounded to whole units of 1/s, so the
// chosen points are exact, and every required property is checked on the
// rounded tables before anything is written.
//
// Transmitter FIR 8 is FIR 0 delayed by 13 steps plus a smooth correction:
// a scaled undershoot, a Gaussian bump that lifts and delays the peak and a
// broad negative lobe that gives the area back.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kLen = 897;
constexpr double kStep = 7.8125e-13;
constexpr int kRise = 4; // order of the main pulse's onset

[[noreturn]] void Fail(const std::string &what) {
  std::fprintf(stderr, "gen_responses: %s\n", what.c_str());
  std::exit(1);
}

double Pow10(int p) {
  double r = 1.0;
  for (int i = 0; i < p; ++i)
    r *= 10.0;
  return r;
}

// x rounded to `digits` significant digits, computed so that whole results
// come out exact.
double RoundSig(double x, int digits) {
  if (x == 0.0)
    return 0.0;
  const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
  const int p = e - digits + 1;
  if (p >= 0) {
    const double q = Pow10(p);
    return std::round(x / q) * q;
  }
  const double q = Pow10(-p);
  return std::round(x * q) / q;
}

// True when value, rounded to `digits` significant digits, is target.
bool MatchesSig(double value, double target, int digits) {
  return RoundSig(value, digits) == RoundSig(target, digits);
}

// True when value, rounded to `decimals` decimals, is target.
bool MatchesDecimals(double value, double target, int decimals) {
  const double q = Pow10(decimals);
  return std::round(value * q) == std::round(target * q);
}

double Bisect(const std::function<double(double)> &f, double lo, double hi,
              const char *what) {
  double flo = f(lo);
  const double fhi = f(hi);
  if ((flo > 0) == (fhi > 0))
    Fail(std::string("no bracket for ") + what);
  for (int it = 0; it < 200; ++it) {
    const double mid = 0.5 * (lo + hi);
    if (mid == lo || mid == hi)
      break;
    const double fm = f(mid);
    if ((fm > 0) == (flo > 0)) {
      lo = mid;
      flo = fm;
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi);
}

double DcGain(const std::vector<double> &v) {
  double sum = 0.0;
  for (double x : v)
    sum += x;
  return sum * kStep;
}

// What a table must satisfy; indices are absolute (from time 0).
struct Target {
  std::string name;
  int onset = 0;        // values before it are exactly 0
  double first = 0;     // value at onset
  int firstDigits = 5;  // significant digits of `first` that are required
  double minimum = 0;   // value at onset + 1, the global minimum
  int minDigits = 6;
  int peakIndex = 0;
  double peak = 0;
  int peakDigits = 6;
  double dcGain = 1.0;  // required to 6 decimals
  bool endGiven = false;
  double endValue = 0;  // last value, when given
  int endDigits = 4;
  double slowTau = 0;   // slow-tail time constant in steps, 0 for none
};

struct Shape {
  double a0 = 0, a1 = 0, tauU = 1.5;           // undershoot
  double amp = 0, tauR = 1, tauD = 1, norm = 1; // main pulse
  double c = 0, tauS = 0;                      // slow tail

  double Undershoot(double i) const { return -(a0 + a1 * i) * std::exp(-i / tauU); }
  double Main(double i) const {
    return amp * std::pow(-std::expm1(-i / tauR), kRise) * std::exp(-i / tauD) / norm;
  }
  double Slow(double i) const { return tauS > 0 ? -c * std::exp(-i / tauS) : 0.0; }
  double At(double i) const { return Undershoot(i) + Main(i) + Slow(i); }
};

// Solves the analytic shape for a target (indices relative to the onset).
Shape Design(const Target &t) {
  const int len = kLen - t.onset;
  const double ip = t.peakIndex - t.onset;
  const double last = len - 1;
  Shape s;
  s.tauS = t.slowTau;

  auto fit = [&](double tauD) {
    s.tauD = tauD;
    // Peak of (1 - e^{-i/tr})^m e^{-i/td} at ip: m u / (e^u - 1) = ip / td
    // with u = ip / tr.
    const double u = Bisect(
        [&](double x) { return kRise * x / std::expm1(x) - ip / tauD; }, 1e-9, 700.0,
        "rise time");
    s.tauR = ip / u;
    s.norm = std::pow(-std::expm1(-ip / s.tauR), kRise) * std::exp(-ip / s.tauD);
    s.a0 = s.a1 = s.c = 0.0;
    s.tauU = 1.5;
    s.amp = t.peak;
    for (int it = 0; it < 200; ++it) {
      s.amp = t.peak - s.Undershoot(ip) - s.Slow(ip);
      if (s.tauS > 0)
        s.c = (s.Main(last) + s.Undershoot(last) - t.endValue) / std::exp(-last / s.tauS);
      const double r0 = s.Main(0) + s.Slow(0);
      const double r1 = s.Main(1) + s.Slow(1);
      s.a0 = r0 - t.first;
      const double ratio = (r1 - t.minimum) / s.a0;
      // A fall time so long that the slow tail would have to swallow the
      // undershoot gives far too much area: report it as such.
      if (!(s.a0 > 0.0) || !(ratio > 1.0))
        return 1.0;
      // (a0 + a1) e^{-1/tu} = r1 - minimum with the dip's extremum at 1,
      // that is a1 = a0 / (tu - 1).
      s.tauU = Bisect(
          [&](double tu) { return tu / (tu - 1.0) * std::exp(-1.0 / tu) - ratio; },
          1.0 + 1e-9, 1e3, "undershoot time constant");
      s.a1 = s.a0 / (s.tauU - 1.0);
    }
    double sum = 0.0;
    for (int i = 0; i < len; ++i)
      sum += s.At(i);
    return sum * kStep - t.dcGain;
  };
  const double tauD = Bisect(fit, ip / kRise * (1.0 + 1e-6), 6.0 * ip, "fall time");
  if (std::fabs(fit(tauD)) > 1e-12)
    Fail(t.name + ": no shape meets the DC gain");
  return s;
}

// Rounds a continuous response (relative indices) into a table of kLen
// values with `onset` leading zeros.
std::vector<double> Sample(const std::function<double(int)> &h, int onset) {
  std::vector<double> v(kLen, 0.0);
  for (int i = onset; i < kLen; ++i)
    v[i] = std::round(h(i - onset));
  return v;
}

// Checks the rounded table point that must be exact.
void CheckExact(const std::vector<double> &v, int i, double target, const std::string &what) {
  if (v[i] != std::round(target))
    Fail(what + ": value at " + std::to_string(i) + " is not " + std::to_string(target));
}

// Shape checks shared by every table: zeros before the onset, a falling first
// step to the global minimum, a strictly rising edge to the single peak, then
// a non-rising fall and at most one turn (a slow tail recovering towards 0).
void CheckShape(const std::vector<double> &v, const Target &t) {
  const std::string &n = t.name;
  const int o = t.onset;
  for (int i = 0; i < o; ++i)
    if (v[i] != 0.0)
      Fail(n + ": nonzero value before the onset");
  for (double x : v)
    if (!std::isfinite(x))
      Fail(n + ": value not finite");
  if (!(v[o] < 0.0 && v[o + 1] < v[o]))
    Fail(n + ": the response does not start with a falling undershoot");
  for (int i = 0; i < kLen; ++i)
    if (i != o + 1 && !(v[i] > v[o + 1]))
      Fail(n + ": minimum not unique at " + std::to_string(o + 1));
  for (int i = o + 2; i <= t.peakIndex; ++i)
    if (!(v[i] > v[i - 1]))
      Fail(n + ": edge not rising at " + std::to_string(i));
  int turns = 0;
  int dir = -1;
  for (int i = t.peakIndex + 1; i < kLen; ++i) {
    const double d = v[i] - v[i - 1];
    if (d == 0.0)
      continue;
    const int nd = d > 0 ? 1 : -1;
    if (nd != dir) {
      ++turns;
      dir = nd;
    }
  }
  if (v[t.peakIndex + 1] >= v[t.peakIndex])
    Fail(n + ": no fall after the peak");
  if (turns > 1)
    Fail(n + ": the tail wiggles (" + std::to_string(turns) + " turns)");
  // Curvature: the second difference changes sign only a few times
  // (undershoot, edge, crest, tail, and the slow tail's recovery).
  int flips = 0;
  int sign = 0;
  for (int i = o + 2; i < kLen - 1; ++i) {
    const double d2 = v[i + 1] - 2.0 * v[i] + v[i - 1];
    if (std::fabs(d2) < 1e-5 * t.peak)
      continue;
    const int s = d2 > 0 ? 1 : -1;
    if (s != sign) {
      if (sign != 0)
        ++flips;
      sign = s;
    }
  }
  if (flips > 4)
    Fail(n + ": curvature changes sign " + std::to_string(flips) + " times");
}

void CheckTarget(const std::vector<double> &v, const Target &t) {
  const std::string &n = t.name;
  CheckShape(v, t);
  int argmax = 0;
  for (int i = 1; i < kLen; ++i)
    if (v[i] > v[argmax])
      argmax = i;
  if (argmax != t.peakIndex)
    Fail(n + ": peak at " + std::to_string(argmax));
  if (!MatchesSig(v[t.onset], t.first, t.firstDigits))
    Fail(n + ": first value");
  if (!MatchesSig(v[t.onset + 1], t.minimum, t.minDigits))
    Fail(n + ": minimum value");
  if (!MatchesSig(v[t.peakIndex], t.peak, t.peakDigits))
    Fail(n + ": peak value");
  if (!MatchesDecimals(DcGain(v), t.dcGain, 6))
    Fail(n + ": DC gain " + std::to_string(DcGain(v)));
  if (t.endGiven) {
    if (t.endValue == 0.0 ? v[kLen - 1] != 0.0 : !MatchesSig(v[kLen - 1], t.endValue, t.endDigits))
      Fail(n + ": last value");
  }
}

std::vector<double> Build(const Target &t, Shape *shapeOut = nullptr) {
  const Shape s = Design(t);
  std::vector<double> v = Sample([&](int i) { return s.At(i); }, t.onset);
  CheckExact(v, t.onset, t.first, t.name);
  CheckExact(v, t.onset + 1, t.minimum, t.name);
  CheckExact(v, t.peakIndex, t.peak, t.name);
  if (t.endGiven)
    CheckExact(v, kLen - 1, t.endValue, t.name);
  CheckTarget(v, t);
  std::printf("%-8s tu %.4f  tr %.4f  td %.4f  ts %6.1f  a0 %.6g  A %.6g  c %.6g  dc %.9f\n",
              t.name.c_str(), s.tauU, s.tauR, s.tauD, s.tauS, s.a0, s.amp, s.c, DcGain(v));
  if (shapeOut)
    *shapeOut = s;
  return v;
}

// ---------------------------------------------------------------- receiver

std::vector<std::vector<double>> ReceiverTables() {
  // FIR 0..7: peak values at index 27; FIR 0's first two values are fixed,
  // the others' undershoot grows in proportion to the peak.
  const double peaks0[8] = {3.44595e10, 3.4738e10, 3.50655e10, 3.54447e10,
                            3.5891e10,  3.64266e10, 3.70666e10, 3.78484e10};
  const double dc1[8] = {1.025088, 1.025720, 1.026401, 1.027268,
                         1.028214, 1.029469, 1.030881, 1.032674};
  const double first0 = -1.0709e10, min0 = -2.05815e10;
  // FIR 8 and 15 are fixed; FIR 9..14 follow the group's relative peaking.
  const double peak8 = 3.56162e10, peak15 = 3.91164e10;
  const double end8 = -2.657e8, end15 = -3.425e8;

  std::vector<std::vector<double>> tables;
  std::vector<Target> targets;
  for (int k = 0; k < 16; ++k) {
    const int j = k % 8;
    const double scale = peaks0[j] / peaks0[0];
    const double frac = (peaks0[j] - peaks0[0]) / (peaks0[7] - peaks0[0]);
    Target t;
    t.name = "rx " + std::to_string(k);
    t.first = RoundSig(first0 * scale, 5);
    t.minimum = RoundSig(min0 * scale, 6);
    t.endGiven = true;
    if (k < 8) {
      t.peakIndex = 27;
      t.peak = peaks0[j];
      t.dcGain = 1.0;
      t.endValue = 0.0;
    } else {
      // The counterpart of FIR j: the same fast undershoot, a later, higher
      // peak and a slow negative tail that has not died out by 0.7 ns.
      t.peakIndex = 29;
      t.peak = RoundSig(peak8 + frac * (peak15 - peak8), 6);
      t.dcGain = dc1[j];
      t.endValue = RoundSig(end8 + frac * (end15 - end8), 4);
      t.slowTau = 1000.0;
    }
    targets.push_back(t);
    tables.push_back(Build(t));
  }
  for (int g = 0; g < 16; g += 8) {
    for (int k = g + 1; k < g + 8; ++k) {
      const auto &a = tables[k - 1];
      const auto &b = tables[k];
      const int p = targets[k].peakIndex;
      if (!(b[p] > a[p]) || !(b[0] < a[0]) || !(b[1] < a[1]))
        Fail("rx " + std::to_string(k) + ": peak and undershoot do not grow with k");
      if (k >= 8 && !(b[kLen - 1] < a[kLen - 1]))
        Fail("rx " + std::to_string(k) + ": tail end does not grow with k");
    }
  }
  return tables;
}

// ------------------------------------------------------------- transmitter

std::vector<std::vector<double>> TransmitterTables() {
  const double first0 = -3.6082e9, min0 = -6.9713e9, peak0 = 1.2904e10;
  auto target = [&](const char *name, int peakIndex, double peak, double dc) {
    Target t;
    t.name = name;
    t.peakIndex = peakIndex;
    t.peak = peak;
    t.peakDigits = 5;
    t.dcGain = dc;
    t.first = RoundSig(first0 * peak / peak0, 5);
    t.minimum = RoundSig(min0 * peak / peak0, 5);
    t.minDigits = 5;
    return t;
  };
  Target t0 = target("tx 0", 42, peak0, 0.999989);
  Target t2 = target("tx 2", 50, 1.0708e10, 0.999993);
  Target t3 = target("tx 3", 49, 1.0234e10, 0.999993);
  Target t5 = target("tx 5", 58, 7.7743e9, 1.001414);
  t5.endGiven = true;
  t5.endValue = -1.186e7;
  t5.slowTau = 400.0;
  Target t6 = target("tx 6", 57, 7.4316e9, 1.001001);
  t6.endGiven = true;
  t6.endValue = -6.353e6;
  t6.slowTau = 400.0;

  Shape s0;
  const std::vector<double> f0 = Build(t0, &s0);
  const std::vector<double> f2 = Build(t2);
  const std::vector<double> f3 = Build(t3);
  const std::vector<double> f5 = Build(t5);
  const std::vector<double> f6 = Build(t6);

  // FIR 8: FIR 0 delayed by 13 steps, f8[13 + i] = f0[i] + d(i), with
  //   d(i) = (sg - 1) U0(i) + H exp(-(i - ib)^2 / 2w^2) - L lobe(i)
  // sg sets the minimum, (ib, w) put the crest on the peak index with the
  // required value, L restores the DC gain, and H is chosen so that the
  // largest difference from FIR 0 is the required one.
  Target t8 = target("tx 8", 57, 1.3535e10, 0.999989);
  t8.onset = 13;
  t8.minimum = -6.5624e9;
  const double maxDiff = 7.0e8;
  const int len8 = kLen - t8.onset;
  const int ip8 = t8.peakIndex - t8.onset;
  const double lobePeak = 90.0;
  auto lobe = [&](double i) {
    const double x = i / lobePeak;
    return x * x * std::exp(2.0 * (1.0 - x));
  };
  double sg = 1.0, ib = ip8 + 5.0, w = 15.0, L = 0.0, H = maxDiff;
  auto d = [&](double i) {
    const double z = (i - ib) / w;
    return (sg - 1.0) * s0.Undershoot(i) + H * std::exp(-0.5 * z * z) - L * lobe(i);
  };
  auto h8 = [&](int i) { return f0[i] + d(i); };
  // sg and L are linear in their conditions: one exact step each.
  auto settleLinear = [&]() {
    sg += (t8.minimum - h8(1)) / s0.Undershoot(1);
    double sum = 0.0, lobeSum = 0.0;
    for (int i = 0; i < len8; ++i) {
      sum += h8(i);
      lobeSum += lobe(i);
    }
    L += (sum - t8.dcGain / kStep) / lobeSum;
  };
  // What the bump alone must give at ip8: its value vb and its central
  // difference sb. False when a bump of height H cannot.
  auto crestNeeds = [&](double &vb, double &sb) {
    auto g = [&](double i) {
      const double z = (i - ib) / w;
      return H * std::exp(-0.5 * z * z);
    };
    vb = t8.peak - h8(ip8) + g(ip8);
    sb = -(h8(ip8 + 1) - h8(ip8 - 1)) + g(ip8 + 1) - g(ip8 - 1);
    return vb > 0.0 && H > vb && sb > 0.0;
  };
  auto solveCorrection = [&]() {
    double vb, sb;
    // Start from the continuous conditions, vb = H e^{-D^2/2w^2} and
    // sb = 2 H (D/w^2) e^{-D^2/2w^2} with D = ib - ip8, which solve in
    // closed form ...
    for (int it = 0; it < 100; ++it) {
      settleLinear();
      if (!crestNeeds(vb, sb))
        return false;
      const double q = sb / vb;
      const double D = 4.0 * std::log(H / vb) / q;
      w = std::sqrt(2.0 * D / q);
      ib = ip8 + D;
    }
    // ... then meet the discrete ones by Newton steps on (D, w).
    auto resid = [&](double D, double ww, double r[2]) {
      const double a = std::exp(-0.5 * D * D / (ww * ww));
      const double p = std::exp(-0.5 * (D - 1) * (D - 1) / (ww * ww));
      const double m = std::exp(-0.5 * (D + 1) * (D + 1) / (ww * ww));
      r[0] = H * a - vb;
      r[1] = H * (p - m) - sb;
    };
    for (int it = 0; it < 400; ++it) {
      if (!crestNeeds(vb, sb))
        return false;
      double D = ib - ip8;
      double r[2], rd[2], rw[2];
      const double e = 1e-6;
      resid(D, w, r);
      resid(D + e, w, rd);
      resid(D, w + e, rw);
      const double j00 = (rd[0] - r[0]) / e, j01 = (rw[0] - r[0]) / e;
      const double j10 = (rd[1] - r[1]) / e, j11 = (rw[1] - r[1]) / e;
      const double det = j00 * j11 - j01 * j10;
      if (det == 0.0 || !std::isfinite(det))
        return false;
      D -= (r[0] * j11 - r[1] * j01) / det;
      w -= (j00 * r[1] - j10 * r[0]) / det;
      if (!(w > 0.0))
        return false;
      ib = ip8 + D;
      settleLinear();
    }
    return true;
  };
  auto largestDiff = [&]() {
    double m = 0.0;
    for (int i = 0; i < len8; ++i)
      m = std::max(m, std::fabs(d(i)));
    return m;
  };
  double good[4] = {1.0, ip8 + 5.0, 15.0, 0.0};
  H = Bisect(
      [&](double h) {
        // Start from the last solution that worked (the first try is high).
        H = h;
        sg = good[0];
        ib = good[1];
        w = good[2];
        L = good[3];
        if (!solveCorrection())
          return -1.0; // too low to lift the crest: counts as too small
        good[0] = sg;
        good[1] = ib;
        good[2] = w;
        good[3] = L;
        return largestDiff() - maxDiff;
      },
      1.6 * maxDiff, 0.9 * maxDiff, "tx 8 bump height");
  sg = good[0];
  ib = good[1];
  w = good[2];
  L = good[3];
  if (!solveCorrection())
    Fail("tx 8: no correction meets the crest");
  std::vector<double> f8 = Sample(h8, t8.onset);
  CheckExact(f8, t8.onset + 1, t8.minimum, t8.name);
  CheckExact(f8, t8.peakIndex, t8.peak, t8.name);
  t8.first = f8[t8.onset]; // free: whatever the delayed, corrected FIR 0 gives
  CheckTarget(f8, t8);
  double diff = 0.0;
  for (int i = 0; i < len8; ++i)
    diff = std::max(diff, std::fabs(f8[i + t8.onset] - f0[i]));
  if (!MatchesSig(diff, maxDiff, 2))
    Fail("tx 8: largest difference from FIR 0 is " + std::to_string(diff));
  std::printf("tx 8     sg %.6f  H %.6g  ib %.4f  w %.4f  L %.6g  diff %.6g  dc %.9f\n", sg,
              H, ib, w, L, diff, DcGain(f8));

  // FIR 1, 4 and 7 repeat FIR 0, 3 and 6.
  return {f0, f0, f2, f3, f3, f5, f6, f6, f8};
}

// ------------------------------------------------------------------ output

// Text that reads back as exactly the same double: whole numbers in full,
// others in the fewest significant digits that round-trip.
std::string Exact(double x) {
  char buf[40];
  if (x == std::round(x) && std::fabs(x) < 1e17) {
    std::snprintf(buf, sizeof buf, "%.0f", x);
    if (std::strtod(buf, nullptr) == x)
      return buf;
  }
  for (int prec = 1; prec <= 17; ++prec) {
    std::snprintf(buf, sizeof buf, "%.*g", prec, x);
    if (std::strtod(buf, nullptr) == x)
      return buf;
  }
  Fail("cannot print a value exactly");
}

void WriteFile(const std::string &path, const std::string &text) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f)
    Fail("cannot write " + path + ": " + std::strerror(errno));
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !ok)
    Fail("cannot write " + path);
}

const char *kBanner =
    "// Generated by tools/gen_responses.cpp; do not edit by hand.\n"
    "// Regenerate: ninja -C <build dir> gen_responses &&\n"
    "//   <build dir>/tools/gen_responses <repository root>\n"
    "// or, from the repository root without CMake:\n"
    "//   g++ -std=c++17 -O2 -o gen_responses tools/gen_responses.cpp && ./gen_responses .\n";

std::string Rows(const std::vector<std::vector<double>> &rows, int perLine) {
  std::string s;
  for (size_t k = 0; k < rows.size(); ++k) {
    s += "    // FIR " + std::to_string(k) + "\n    {";
    for (int i = 0; i < kLen; ++i) {
      if (i % perLine == 0)
        s += "\n        ";
      s += Exact(rows[k][i]);
      if (i + 1 < kLen)
        s += (i + 1) % perLine == 0 ? "," : ", ";
    }
    s += "},\n";
  }
  return s;
}

// Writes <dir>/<base>.h and <dir>/<base>.cpp.
void WriteTables(const std::string &root, const std::string &model, const std::string &base,
                 const std::string &prefix, const std::string &what,
                 const std::vector<std::vector<double>> &responses) {
  const std::string count = std::to_string(responses.size());
  const std::string guard = "VARNHOLT_MODELS_" + model + "_" + base + "_H";
  std::string upper = guard;
  for (char &ch : upper)
    if (ch >= 'a' && ch <= 'z')
      ch = static_cast<char>(ch - 'a' + 'A');

  std::string h = kBanner;
  h += "// " + what + "\n";
  h += "#ifndef " + upper + "\n#define " + upper + "\n\nnamespace Varnholt {\n\n";
  h += "constexpr int " + prefix + "Tables = " + count + ";\n";
  h += "constexpr int " + prefix + "Length = " + std::to_string(kLen) + ";\n\n";
  h += "// Impulse responses in 1/s; DC gain = sum of a row times the time step.\n";
  h += "extern const double " + prefix + "Response[" + count + "][" + std::to_string(kLen) +
       "];\n";
  h += "// Time stamps in s: row k, entry i is i * 7.8125e-13.\n";
  h += "extern const double " + prefix + "Time[" + count + "][" + std::to_string(kLen) + "];\n";
  h += "\n} // namespace Varnholt\n\n#endif\n";

  std::vector<std::vector<double>> times(responses.size(), std::vector<double>(kLen));
  for (auto &row : times)
    for (int i = 0; i < kLen; ++i)
      row[i] = i * kStep;
  if (times[0][kLen - 1] != 7.000000000000001e-10)
    Fail("last time stamp is not 7.000000000000001e-10");

  std::string c = kBanner;
  c += "#include \"models/" + model + "/" + base + ".h\"\n\nnamespace Varnholt {\n\n";
  c += "const double " + prefix + "Response[" + count + "][" + std::to_string(kLen) + "] = {\n";
  c += Rows(responses, 8);
  c += "};\n\n";
  c += "const double " + prefix + "Time[" + count + "][" + std::to_string(kLen) + "] = {\n";
  c += Rows(times, 6);
  c += "};\n\n} // namespace Varnholt\n";

  const std::string dir = root + "/models/" + model + "/";
  WriteFile(dir + base + ".h", h);
  WriteFile(dir + base + ".cpp", c);
  std::printf("wrote %s%s.h and %s.cpp\n", dir.c_str(), base.c_str(), base.c_str());
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_responses <repository root>\n");
    return 2;
  }
  const std::string root = argv[1];
  const auto rx = ReceiverTables();
  const auto tx = TransmitterTables();
  WriteTables(root, "Welbrook_rx", "rx_responses", "kWelbrookRx",
              "Equalizer impulse responses of the Welbrook receiver (EQ, HorL).", rx);
  WriteTables(root, "Welbrook_tx", "tx_responses", "kWelbrookTx",
              "Output edge impulse responses of the Welbrook transmitter.", tx);
  return 0;
}
