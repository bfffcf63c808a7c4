// An FIR filter whose taps are resampled, in Setup, from a tabulated impulse
// or step response on the uniform grid of the simulation's sample rate.
#ifndef VARNHOLT_RUNTIME_TIMERESPONSEFIR_H
#define VARNHOLT_RUNTIME_TIMERESPONSEFIR_H

#include <cstdint>

#include "runtime/FIR.h"

namespace Varnholt {

// Derivative at t of the parabola through (x0, y0), (x1, y1), (x2, y2).
double LagrangeDerivative(double t, double x0, double x1, double x2, double y0, double y1,
                          double y2);

// Cubic spline (set-up and evaluation) with a growable coefficient work area.
class CubicSpline {
public:
  uint64_t capacity = 0;
  double *b = nullptr;
  double *c = nullptr;
  double *d = nullptr;
  int32_t status = 0;

  CubicSpline() = default;
  CubicSpline(const CubicSpline &) = delete;
  CubicSpline &operator=(const CubicSpline &) = delete;
  ~CubicSpline();

  // Coefficients of the spline through the n points (x, y). A flag of 1
  // clamps that end to the given slope; 0 uses the third differences of the
  // end points. Returns 0, 1 for fewer than two points, or 2 for x values
  // that are not strictly ascending.
  static int32_t SetUp(int32_t n, int32_t startFlag, int32_t endFlag, double startSlope,
                       double endSlope, const double *x, const double *y, double *b, double *c,
                       double *d);
  // Status of Interpolate when the work area cannot grow to n points.
  static constexpr int32_t kNoWorkArea = 3;

  // The spline through the n points, evaluated at t; 0.0 when SetUp fails
  // or the work area cannot be had (status tells which).
  double Interpolate(int32_t n, double t, const double *x, const double *y);
  // Evaluates coefficients made by SetUp, trying the remembered interval
  // first; stores the interval used there.
  static double Evaluate(int32_t n, double t, const double *x, const double *y, const double *b,
                         const double *c, const double *d, int32_t &interval);

private:
  // Index k of the interval [x[k], x[k+1]] that holds t.
  static int32_t FindInterval(int32_t n, double t, const double *x);
  bool Reserve(uint64_t n);
  void ReleaseArrays();
};

class TimeResponseFIR : public FIR<double, 0> {
public:
  double *response = nullptr;   // owned by the model
  double *timeStamps = nullptr; // seconds; owned by the model, shifted by Setup
  int32_t responseCount = 0;
  int32_t timeStampCount = 0;
  int32_t ResponseType = 1; // 0 impulse response (1/s), 1 step response
  double SampleRate = 1e12; // samples per second

  TimeResponseFIR() = default;
  ~TimeResponseFIR() override;

  bool Setup() override;

private:
  bool BuildTaps();
};

} // namespace Varnholt

#endif
