// Taps resampled from impulse and step responses, checked against values
// computed here from the responses' own formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "AllocFail.h"
#include "runtime/TimeResponseFIR.h"
#include "tests/runtime/BlockTest.h"

using namespace Varnholt;
using blocktest::CerrCapture;

namespace {

struct Rig {
  Rig(std::vector<double> stamps_, std::vector<double> values_, int32_t type, double rate)
      : stamps(std::move(stamps_)), values(std::move(values_)) {
    fir.response = values.data();
    fir.timeStamps = stamps.data();
    fir.responseCount = static_cast<int32_t>(values.size());
    fir.timeStampCount = static_cast<int32_t>(stamps.size());
    fir.ResponseType = type;
    fir.SampleRate = rate;
  }
  bool Setup(std::string *messages = nullptr) {
    CerrCapture err;
    const bool ok = fir.Setup();
    if (messages) *messages = err.Text();
    return ok;
  }
  std::vector<double> Taps() const {
    return fir.taps ? std::vector<double>(fir.taps, fir.taps + fir.NumTaps) : std::vector<double>();
  }
  std::vector<double> stamps, values;
  TimeResponseFIR fir;
};

double Cubic(double t) {
  const double u = t * 1e12; // picoseconds
  return 1.0 + 2.0 * u - 0.5 * u * u + 0.1 * u * u * u;
}

} // namespace

TEST(TimeResponseFIRChecks, Sentences) {
  std::string msg;
  {
    Rig r({0, 1, 2}, {1, 2, 3}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "At least 4 response coefficients are required for input impulse response\n");
  }
  {
    Rig r({0, 1, 2}, {1, 2, 3}, 1, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "At least 4 response coefficients are required for input step response\n");
  }
  {
    Rig r({0, 1, 2}, {1, 2, 3}, 2, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "Inavlid ResponseType is specified, it can be either Impulse Response or "
                   "Step Response\n");
  }
  {
    Rig r({0, 1e-12, 2e-12}, {1, 2, 3, 4}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "Number of coefficients in response must be same as the number of values in "
                   "time stamps\n");
  }
  for (double rate : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    Rig r({0, 1e-12, 2e-12, 3e-12}, {1, 2, 3, 4}, 0, rate);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "SampleRate must be > 0.0\n");
  }
  {
    // A missing table counts as empty rather than being read.
    Rig r({0, 1e-12, 2e-12, 3e-12}, {1, 2, 3, 4}, 0, 1e12);
    r.fir.response = nullptr;
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "At least 4 response coefficients are required for input impulse response\n");
    r.fir.response = r.values.data();
    r.fir.timeStamps = nullptr;
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "Number of coefficients in response must be same as the number of values in "
                   "time stamps\n");
  }
}

TEST(TimeResponseFIRChecks, StampsOutOfOrder) {
  std::string msg;
  {
    Rig r({0, 1e-12, 1e-12, 2e-12}, {1, 2, 3, 4}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "ResponseTimeStamps[3] = 1e-12  <= ResponseTimeStamps[2] = 1e-12. Time "
                   "stamps must be in non-repeating ascending order.\n");
  }
  {
    // Reported with the times before the shift; the stamps up to the fault
    // stay shifted.
    Rig r({5e-9, 6e-9, 7e-9, 6.5e-9, 8e-9}, {1, 2, 3, 4, 5}, 1, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "ResponseTimeStamps[4] = 6.5e-09  <= ResponseTimeStamps[3] = 7e-09. Time "
                   "stamps must be in non-repeating ascending order.\n");
    EXPECT_EQ(r.stamps[0], 0.0);
    EXPECT_NEAR(r.stamps[2], 2e-9, 1e-21);
    EXPECT_EQ(r.stamps[4], 8e-9);
  }
  {
    // NaN is refused by the same test instead of giving undefined taps.
    Rig r({0, 1e-12, std::numeric_limits<double>::quiet_NaN(), 3e-12}, {1, 2, 3, 4}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_NE(msg.find("ResponseTimeStamps[3] = nan  <= ResponseTimeStamps[2] = 1e-12."),
              std::string::npos);
  }
  {
    Rig r({std::numeric_limits<double>::quiet_NaN(), 1e-12, 2e-12, 3e-12}, {1, 2, 3, 4}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
  }
}

TEST(TimeResponseFIRChecks, TooManyTaps) {
  std::string msg;
  const double inf = std::numeric_limits<double>::infinity();
  {
    Rig r({0, 1e-12, 2e-12, inf}, {1, 2, 3, 4}, 0, 1e12);
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(msg, "The time stamps and SampleRate give more taps than a filter can hold\n");
  }
  {
    Rig r({0, 1e-12, 2e-12, 3e-12}, {1, 2, 3, 4}, 0, inf);
    EXPECT_FALSE(r.Setup(&msg));
  }
  {
    // At most 2^20 taps.
    const double S = 1099511627776.0; // 2^40
    const double last = 1048576.0 / S;
    Rig over({0, 1 / S, 2 / S, last}, {1, 2, 3, 4}, 1, S);
    EXPECT_FALSE(over.Setup(&msg));
    EXPECT_EQ(msg, "The time stamps and SampleRate give more taps than a filter can hold\n");
    Rig most({0, 1 / S, 2 / S, (1048576.0 - 1.0) / S}, {1, 2, 3, 4}, 1, S);
    EXPECT_TRUE(most.Setup(&msg));
    EXPECT_EQ(most.fir.NumTaps, 1048576);
  }
  {
    Rig r({0, 1, 2, 3}, {1, 2, 3, 4}, 0, 1e12); // 3e12 taps
    EXPECT_FALSE(r.Setup(&msg));
    EXPECT_EQ(r.fir.taps, nullptr);
  }
}

TEST(TimeResponseFIRChecks, FailureKeepsTheOldTaps) {
  Rig r({0, 1e-12, 2e-12, 3e-12}, {1, 2, 3, 4}, 0, 1e12);
  ASSERT_TRUE(r.Setup());
  double *old = r.fir.taps;
  r.fir.SampleRate = 0.0;
  EXPECT_FALSE(r.Setup());
  EXPECT_EQ(r.fir.taps, old);
  EXPECT_EQ(r.fir.NumTaps, 4);
}

TEST(TimeResponseFIRTaps, TapCount) {
  std::vector<double> x(201), y(201, 1.0);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i) * 1e-12;
  x.back() = 2e-10;
  Rig r(x, y, 0, 1e12);
  ASSERT_TRUE(r.Setup());
  EXPECT_EQ(r.fir.NumTaps, 201);
  // Truncated, not rounded: a last stamp just short of the grid drops it.
  Rig s({0, 1e-12, 2e-12, 2.9e-12}, {1, 2, 3, 4}, 0, 1e12);
  ASSERT_TRUE(s.Setup());
  EXPECT_EQ(s.fir.NumTaps, 3);
}

TEST(TimeResponseFIRTaps, ImpulseSampledOnTheGrid) {
  const double S = 1099511627776.0; // 2^40: the grid times are exact
  std::vector<double> x(9), y(9);
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = static_cast<double>(i) / S;
    y[i] = std::sin(0.7 * static_cast<double>(i)) * 1e11;
  }
  Rig r(x, y, 0, S);
  ASSERT_TRUE(r.Setup());
  ASSERT_EQ(r.fir.NumTaps, 9);
  for (size_t i = 0; i < y.size(); ++i) EXPECT_EQ(r.fir.taps[i], y[i] / S) << i;
}

TEST(TimeResponseFIRTaps, StraightLineStep) {
  // A step response rising by 2e10 per second on an uneven grid.
  const double S = 1e12;
  std::vector<double> x = {0, 0.7e-12, 2.2e-12, 2.9e-12, 4.5e-12, 7.0e-12, 8.1e-12};
  std::vector<double> y;
  for (double t : x) y.push_back(0.25 + 2e10 * t);
  Rig r(x, y, 1, S);
  ASSERT_TRUE(r.Setup());
  ASSERT_EQ(r.fir.NumTaps, 9);
  for (int32_t i = 0; i < r.fir.NumTaps; ++i) EXPECT_NEAR(r.fir.taps[i], 2e10 / S, 1e-9) << i;
}

TEST(TimeResponseFIRTaps, SplineReproducesACubic) {
  // Uneven stamps, not on the grid except the first: every tap is the spline
  // of four neighbouring points, which is the cubic itself, divided by S.
  const double S = 1e12;
  std::vector<double> x = {0, 1.3e-12, 2.1e-12, 3.7e-12, 5.0e-12, 6.4e-12, 8.0e-12, 9.5e-12};
  std::vector<double> y;
  for (double t : x) y.push_back(Cubic(t));
  Rig r(x, y, 0, S);
  ASSERT_TRUE(r.Setup());
  ASSERT_EQ(r.fir.NumTaps, 10);
  for (int32_t i = 0; i < r.fir.NumTaps; ++i) {
    const double t = static_cast<double>(i) / S;
    const double want = Cubic(t) / S;
    EXPECT_NEAR(r.fir.taps[i], want, 1e-9 * std::fabs(want) + 1e-24) << i;
  }
}

TEST(TimeResponseFIRTaps, ParabolaStepGivesItsDerivative) {
  // The Lagrange parabola of three points of a parabola is the parabola.
  const double S = 1e12;
  auto f = [](double t) { const double u = t * 1e12; return 3.0 - u + 0.25 * u * u; };
  auto df = [](double t) { const double u = t * 1e12; return (-1.0 + 0.5 * u) * 1e12; };
  std::vector<double> x = {0, 0.5e-12, 1.75e-12, 3.0e-12, 3.5e-12, 5.25e-12};
  std::vector<double> y;
  for (double t : x) y.push_back(f(t));
  Rig r(x, y, 1, S);
  ASSERT_TRUE(r.Setup());
  ASSERT_EQ(r.fir.NumTaps, 6);
  for (int32_t i = 0; i < r.fir.NumTaps; ++i) {
    const double t = static_cast<double>(i) / S;
    EXPECT_NEAR(r.fir.taps[i], df(t) / S, 1e-9) << i;
  }
}

TEST(TimeResponseFIRTaps, WindowOfPointsAroundEachTap) {
  // A response no low-order polynomial fits, so the four (or three) points
  // each tap is built from show: the first stamp at or after t is d, the
  // points are d - 1 .. d + 2 (d - 1 .. d + 1 for a step), d kept in
  // 1 .. n - 3. Through four points the spline is their cubic.
  const double S = 1e12;
  const std::vector<double> x = {0,      0.9e-12, 2.0e-12, 2.6e-12, 4.1e-12,
                                 5.0e-12, 6.7e-12, 7.3e-12, 9.2e-12};
  std::vector<double> y;
  for (double t : x) y.push_back(std::exp(-t * 3e11) * std::cos(t * 9e11) * 1e12);
  const int n = static_cast<int>(x.size());
  auto window = [&](double t) {
    int d = 0;
    while (d < n - 1 && x[d] < t) ++d;
    return d;
  };
  auto cubic = [&](int d, double t) {
    double sum = 0.0;
    for (int a = d - 1; a <= d + 2; ++a) {
      double w = y[a];
      for (int b = d - 1; b <= d + 2; ++b)
        if (b != a) w *= (t - x[b]) / (x[a] - x[b]);
      sum += w;
    }
    return sum;
  };
  for (int32_t type : {0, 1}) {
    Rig r(x, y, type, S);
    ASSERT_TRUE(r.Setup());
    ASSERT_EQ(r.fir.NumTaps, 10);
    for (int32_t i = 0; i < r.fir.NumTaps; ++i) {
      const double t = static_cast<double>(i) / S;
      int d = window(t);
      double want;
      if (type == 0 && x[d] == t) {
        want = y[d];
      } else {
        d = d < 1 ? 1 : (d > n - 3 ? n - 3 : d);
        want = type == 0 ? cubic(d, t)
                         : LagrangeDerivative(t, x[d - 1], x[d], x[d + 1], y[d - 1], y[d],
                                              y[d + 1]);
      }
      EXPECT_NEAR(r.fir.taps[i], want / S, 1e-9 * std::fabs(want / S) + 1e-12)
          << "type " << type << " tap " << i;
    }
  }
}

TEST(TimeResponseFIRTaps, ShiftedStampsGiveTheSameTaps) {
  const double S = 1e12;
  std::vector<double> x = {0, 1.3e-12, 2.1e-12, 3.7e-12, 5.0e-12, 6.4e-12};
  std::vector<double> y;
  for (double t : x) y.push_back(Cubic(t) - 3.0 * t * 1e12);
  std::vector<double> late;
  for (double t : x) late.push_back(t + 5e-9);
  Rig a(x, y, 0, S), b(late, y, 0, S);
  ASSERT_TRUE(a.Setup());
  ASSERT_TRUE(b.Setup());
  ASSERT_EQ(a.fir.NumTaps, b.fir.NumTaps);
  for (int32_t i = 0; i < a.fir.NumTaps; ++i)
    EXPECT_NEAR(a.fir.taps[i], b.fir.taps[i], 1e-6 * std::fabs(a.fir.taps[i])) << i;
  EXPECT_EQ(b.stamps[0], 0.0); // handed back shifted
  for (size_t i = 1; i < x.size(); ++i) EXPECT_NEAR(b.stamps[i], x[i], 1e-20);
}

TEST(TimeResponseFIRTaps, FiltersWithTheTaps) {
  Rig r({0, 1e-12, 2e-12, 3e-12}, {4e12, 3e12, 2e12, 1e12}, 0, 1e12);
  ASSERT_TRUE(r.Setup());
  double in = 0, out = 0;
  r.fir.input.SetStorage(&in, 1, 1, 0);
  r.fir.output.SetStorage(&out, 1, 1, 0);
  ASSERT_TRUE(r.fir.Initialize());
  std::vector<double> got;
  for (double s : {1.0, 0.0, 0.0, 0.0, 0.0}) {
    in = s;
    ASSERT_TRUE(r.fir.Run());
    got.push_back(out);
  }
  EXPECT_EQ(got, (std::vector<double>{4, 3, 2, 1, 0}));
  EXPECT_TRUE(r.fir.Finalize());
  ASSERT_TRUE(r.Setup()); // a second Setup replaces the taps
  EXPECT_EQ(r.fir.NumTaps, 4);
}

TEST(CubicSpline, StatusAndEnds) {
  const double x[4] = {0, 1, 2, 3};
  const double bad[4] = {0, 1, 1, 3};
  const double y[4] = {1, 2, 0, 5};
  double b[4], c[4], d[4];
  EXPECT_EQ(CubicSpline::SetUp(1, 0, 0, 0, 0, x, y, b, c, d), 1);
  EXPECT_EQ(CubicSpline::SetUp(4, 0, 0, 0, 0, bad, y, b, c, d), 2);

  CubicSpline s;
  EXPECT_EQ(s.Interpolate(4, 0.5, bad, y), 0.0);
  EXPECT_EQ(s.status, 2);
  EXPECT_NEAR(s.Interpolate(2, 0.25, x, y), 1.25, 1e-15); // two points: a line
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.Interpolate(4, 2.0, x, y), 0.0); // on a knot
  EXPECT_GE(s.capacity, 4u);

  // Clamped ends with the true slopes: the cubic again, over many knots.
  auto p = [](double t) { return 2.0 - t + 0.5 * t * t - 0.125 * t * t * t; };
  auto dp = [](double t) { return -1.0 + t - 0.375 * t * t; };
  double xs[7], ys[7], bs[7], cs[7], ds[7];
  for (int i = 0; i < 7; ++i) {
    xs[i] = i * 0.8 + (i % 2) * 0.15;
    ys[i] = p(xs[i]);
  }
  ASSERT_EQ(CubicSpline::SetUp(7, 1, 1, dp(xs[0]), dp(xs[6]), xs, ys, bs, cs, ds), 0);
  int32_t interval = -1;
  for (double t = 0.0; t <= xs[6]; t += 0.05) {
    EXPECT_NEAR(CubicSpline::Evaluate(7, t, xs, ys, bs, cs, ds, interval), p(t), 1e-12) << t;
    EXPECT_TRUE(xs[interval] <= t && (interval == 6 || t <= xs[interval + 1])) << t;
  }
  // The end-difference ends (flags 0) reproduce it too.
  ASSERT_EQ(CubicSpline::SetUp(7, 0, 0, 0, 0, xs, ys, bs, cs, ds), 0);
  interval = 3; // a stale interval is not trusted
  EXPECT_NEAR(CubicSpline::Evaluate(7, 0.3, xs, ys, bs, cs, ds, interval), p(0.3), 1e-12);
  EXPECT_EQ(interval, 0);
}

TEST(LagrangeDerivative, OfAParabola) {
  auto f = [](double t) { return 1.0 + 3.0 * t - 2.0 * t * t; };
  for (double t : {-1.0, 0.0, 0.4, 2.5})
    EXPECT_NEAR(LagrangeDerivative(t, 0.0, 0.3, 1.1, f(0.0), f(0.3), f(1.1)), 3.0 - 4.0 * t,
                1e-12);
}

// Memory running out at each request of a Setup in turn (this program
// counts operator new): the block says so and fails; a filter whose taps
// could not be built keeps its old ones; no spline value of 0.0 ever becomes
// a tap.
TEST(TimeResponseFIRChecks, OutOfMemoryFailsAndKeepsTheOldTaps) {
  Rig r({0, 0.7e-12, 1.9e-12, 3.1e-12, 4e-12}, {1e12, 3e12, 2e12, 0.5e12, 0}, 0, 1e12);
  ASSERT_TRUE(r.Setup());
  const std::vector<double> old = r.Taps();
  r.fir.SampleRate = 2e12; // off the stamps: every tap but the first needs the spline
  const int64_t before = AllocRequests();
  ASSERT_TRUE(r.fir.Setup());
  const int64_t requests = AllocRequests() - before;
  ASSERT_NE(r.Taps(), old);
  r.fir.SampleRate = 1e12;
  ASSERT_TRUE(r.Setup());

  std::vector<std::string> said;
  for (int64_t n = 1; n <= requests; ++n) {
    r.fir.SampleRate = 2e12;
    CerrCapture err;
    FailAlloc(n);
    const bool ok = r.fir.Setup();
    FailAlloc(0);
    said.push_back(err.Text());
    EXPECT_FALSE(ok) << n;
    EXPECT_EQ(r.Taps(), old) << n;
    r.fir.SampleRate = 1e12;
    ASSERT_TRUE(r.Setup());
  }
  // The taps, then the spline's three arrays.
  EXPECT_EQ(said, (std::vector<std::string>{"Unable to allocate the filter taps\n",
                                            "Unable to allocate the spline work area\n",
                                            "Unable to allocate the spline work area\n",
                                            "Unable to allocate the spline work area\n"}));

  CubicSpline s;
  const double x[4] = {0, 1, 2, 3}, y[4] = {1, 2, 0, 5};
  FailAlloc(1);
  EXPECT_EQ(s.Interpolate(4, 0.5, x, y), 0.0);
  FailAlloc(0);
  EXPECT_EQ(s.status, CubicSpline::kNoWorkArea);
  EXPECT_NE(s.Interpolate(4, 0.5, x, y), 0.0);
  EXPECT_EQ(s.status, 0);
}
