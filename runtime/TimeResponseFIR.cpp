// The response-based FIR: the cubic spline that resamples a tabulated
// impulse or step response onto the simulation's grid, and the taps it gives.
#include "runtime/TimeResponseFIR.h"

#include <new>
#include <sstream>
#include <string>

namespace Varnholt {

namespace {
// About 1 us of response at 1e12 samples per second; the models' responses
// need a few hundred taps.
constexpr int32_t kMaxTaps = 1 << 20;
} // namespace

double LagrangeDerivative(double t, double x0, double x1, double x2, double y0, double y1,
                          double y2) {
  return (2.0 * t - x1 - x2) / ((x0 - x2) * (x0 - x1)) * y0 +
         (2.0 * t - x0 - x2) / ((x1 - x0) * (x1 - x2)) * y1 +
         (2.0 * t - x0 - x1) / ((x2 - x0) * (x2 - x1)) * y2;
}

// ---------------------------------------------------------------------------
// CubicSpline

CubicSpline::~CubicSpline() { ReleaseArrays(); }

void CubicSpline::ReleaseArrays() {
  delete[] b;
  delete[] c;
  delete[] d;
  b = c = d = nullptr;
  capacity = 0;
}

bool CubicSpline::Reserve(uint64_t n) {
  if (capacity >= n) return true;
  ReleaseArrays();
  b = new (std::nothrow) double[n];
  c = new (std::nothrow) double[n];
  d = new (std::nothrow) double[n];
  if (!b || !c || !d) {
    ReleaseArrays();
    return false;
  }
  capacity = n;
  return true;
}

int32_t CubicSpline::SetUp(int32_t n, int32_t startFlag, int32_t endFlag, double startSlope,
                           double endSlope, const double *x, const double *y, double *b,
                           double *c, double *d) {
  if (n < 2) return 1;
  // Written so that a NaN abscissa counts as out of order.
  for (int32_t i = 1; i < n; ++i)
    if (!(x[i - 1] < x[i])) return 2;
  if (n == 2) {
    b[0] = b[1] = (y[1] - y[0]) / (x[1] - x[0]);
    c[0] = c[1] = 0.0;
    d[0] = d[1] = 0.0;
    return 0;
  }
  const int32_t m = n - 1;
  // Interval widths in d, diagonal in b, right-hand side (second divided
  // differences) in c.
  d[0] = x[1] - x[0];
  c[1] = (y[1] - y[0]) / d[0];
  for (int32_t i = 1; i < m; ++i) {
    d[i] = x[i + 1] - x[i];
    b[i] = 2.0 * (d[i - 1] + d[i]);
    c[i + 1] = (y[i + 1] - y[i]) / d[i];
    c[i] = c[i + 1] - c[i];
  }
  // Ends: third derivatives matched to the third divided differences of the
  // end points, unless a slope is given.
  b[0] = -d[0];
  b[m] = -d[m - 1];
  c[0] = 0.0;
  c[m] = 0.0;
  if (n != 3) {
    c[0] = c[2] / (x[3] - x[1]) - c[1] / (x[2] - x[0]);
    c[m] = c[m - 1] / (x[m] - x[m - 2]) - c[m - 2] / (x[m - 1] - x[m - 3]);
    c[0] = c[0] * d[0] * d[0] / (x[3] - x[0]);
    c[m] = -c[m] * d[m - 1] * d[m - 1] / (x[m] - x[m - 3]);
  }
  if (startFlag == 1) {
    b[0] = 2.0 * (x[1] - x[0]);
    c[0] = (y[1] - y[0]) / (x[1] - x[0]) - startSlope;
  }
  if (endFlag == 1) {
    b[m] = 2.0 * (x[m] - x[m - 1]);
    c[m] = endSlope - (y[m] - y[m - 1]) / (x[m] - x[m - 1]);
  }
  // Tridiagonal solve.
  for (int32_t i = 1; i <= m; ++i) {
    const double w = d[i - 1] / b[i - 1];
    b[i] -= w * d[i - 1];
    c[i] -= w * c[i - 1];
  }
  c[m] /= b[m];
  for (int32_t i = m - 1; i >= 0; --i) c[i] = (c[i] - d[i] * c[i + 1]) / b[i];
  // Polynomial coefficients of each interval.
  b[m] = (y[m] - y[m - 1]) / d[m - 1] + d[m - 1] * (c[m - 1] + 2.0 * c[m]);
  for (int32_t i = 0; i < m; ++i) {
    b[i] = (y[i + 1] - y[i]) / d[i] - d[i] * (c[i + 1] + 2.0 * c[i]);
    d[i] = (c[i + 1] - c[i]) / d[i];
    c[i] = 3.0 * c[i];
  }
  c[m] = 3.0 * c[m];
  d[m] = d[m - 1];
  return 0;
}

int32_t CubicSpline::FindInterval(int32_t n, double t, const double *x) {
  if (t >= x[0] && t <= x[1]) return 0;
  int32_t lo = 0;
  int32_t hi = n;
  while (lo + 1 < hi) {
    const int32_t mid = (lo + hi) / 2;
    if (t < x[mid])
      hi = mid;
    else
      lo = mid;
  }
  return lo;
}

double CubicSpline::Interpolate(int32_t n, double t, const double *x, const double *y) {
  if (n < 2) {
    status = 1;
    return 0.0;
  }
  if (!Reserve(static_cast<uint64_t>(n))) {
    status = kNoWorkArea;
    return 0.0;
  }
  status = SetUp(n, 0, 0, 0.0, 0.0, x, y, b, c, d);
  if (status != 0) return 0.0;
  const int32_t k = FindInterval(n, t, x);
  const double u = t - x[k];
  return y[k] + u * (b[k] + u * (c[k] + u * d[k]));
}

double CubicSpline::Evaluate(int32_t n, double t, const double *x, const double *y,
                             const double *b, const double *c, const double *d,
                             int32_t &interval) {
  if (n < 1) return 0.0;
  int32_t k = interval;
  if (!(k >= 0 && k <= n - 2 && t >= x[k] && t <= x[k + 1]))
    k = n < 2 ? 0 : FindInterval(n, t, x);
  interval = k;
  const double u = t - x[k];
  return y[k] + u * (b[k] + u * (c[k] + u * d[k]));
}

// ---------------------------------------------------------------------------
// TimeResponseFIR

TimeResponseFIR::~TimeResponseFIR() {
  delete[] taps;
  taps = nullptr;
}

bool TimeResponseFIR::Setup() {
  // A missing table counts as an empty one.
  const int32_t nResponse = response ? responseCount : 0;
  const int32_t nStamps = timeStamps ? timeStampCount : 0;
  bool ok = true;
  if (ResponseType == 0 && nResponse < 4) {
    ReportError("At least 4 response coefficients are required for input impulse response");
    ok = false;
  } else if (ResponseType == 1 && nResponse < 4) {
    ReportError("At least 4 response coefficients are required for input step response");
    ok = false;
  }
  if (ResponseType != 0 && ResponseType != 1) {
    ReportError(
        "Inavlid ResponseType is specified, it can be either Impulse Response or Step Response");
    return false;
  }
  if (!ok) return false;
  if (nResponse != nStamps) {
    ReportError(
        "Number of coefficients in response must be same as the number of values in time stamps");
    return false;
  }
  if (!(SampleRate > 0.0)) { // NaN fails too
    ReportError("SampleRate must be > 0.0");
    return false;
  }

  // Shift the stamps so that the first is 0. A NaN stamp fails the order
  // test as well.
  double *x = timeStamps;
  const double t0 = x[0];
  x[0] = 0.0;
  for (int32_t i = 1; i < nStamps; ++i) {
    x[i] -= t0;
    if (!(x[i - 1] < x[i])) {
      std::ostringstream s;
      s << "ResponseTimeStamps[" << static_cast<uint64_t>(i) + 1 << "] = " << t0 + x[i]
        << "  <= ResponseTimeStamps[" << static_cast<uint64_t>(i) << "] = " << t0 + x[i - 1]
        << ". Time stamps must be in non-repeating ascending order.";
      ReportError(s.str().c_str());
      return false;
    }
  }
  if (!BuildTaps()) return false;
  return FIR<double, 0>::Setup();
}

bool TimeResponseFIR::BuildTaps() {
  const int32_t n = responseCount;
  const double *x = timeStamps;
  const double *y = response;
  const double S = SampleRate;

  // An infinite last stamp or sample rate would make the cast undefined, and
  // a response millions of samples long would exhaust memory and make every
  // firing take seconds.
  const double span = x[n - 1] * S;
  if (!(span < static_cast<double>(kMaxTaps))) {
    ReportError("The time stamps and SampleRate give more taps than a filter can hold");
    return false;
  }
  const int32_t count = static_cast<int32_t>(span) + 1;
  // Built aside, so that a failure keeps the old taps.
  double *built = new (std::nothrow) double[static_cast<size_t>(count)];
  if (!built) {
    ReportError("Unable to allocate the filter taps");
    return false;
  }

  CubicSpline spline;
  int32_t d = 0;
  for (int32_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / S;
    // t only grows, so the search goes on from the previous tap's interval.
    while (t > x[d] && d < n - 1) ++d;
    if (ResponseType == 0 && x[d] == t) {
      built[i] = y[d];
      continue;
    }
    // Keep the points d - 1 .. d + 2 inside the table.
    if (d == 0)
      d = 1;
    else if (d > n - 3)
      d = n - 3;
    if (ResponseType == 1) {
      built[i] = LagrangeDerivative(t, x[d - 1], x[d], x[d + 1], y[d - 1], y[d], y[d + 1]);
      continue;
    }
    built[i] = spline.Interpolate(4, t, x + d - 1, y + d - 1);
    // The stamps were checked in order, so only a missing work area can
    // fail the spline; its 0.0 is no tap.
    if (spline.status != 0) {
      delete[] built;
      ReportError("Unable to allocate the spline work area");
      return false;
    }
  }
  for (int32_t i = 0; i < count; ++i) built[i] /= S;
  delete[] taps;
  taps = built;
  NumTaps = count;
  return true;
}

} // namespace Varnholt
