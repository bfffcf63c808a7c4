// Converters between sample types; the models turn double settings into the
// int controls of their multiplexers with ScalarToScalar.
#ifndef VARNHOLT_RUNTIME_TYPECONVERTER_H
#define VARNHOLT_RUNTIME_TYPECONVERTER_H

#include <cmath>
#include <cstdint>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

// Truncation toward zero into 32 bits: NaN gives 0 and values beyond the
// range saturate, where a plain cast would be undefined.
inline int32_t TruncateToInt32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return INT32_MAX;
  if (x <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(x);
}

// Rounds half away from zero.
class TypeConverterRound {
public:
  // Not floor(x + 0.5): the sum is inexact for 0.49999999999999994 and for
  // odd values above 2^52, and would round those up. Not std::round either:
  // some C libraries implement it that same way, and the controls must pick
  // the same response on every platform.
  static double Round(double x) {
    const double t = std::trunc(x);
    return std::fabs(x - t) >= 0.5 ? t + std::copysign(1.0, x) : t;
  }
  // NaN gives 0; values beyond the int range saturate (a plain cast would be
  // undefined there).
  static void Convert(double x, int32_t &target) { target = TruncateToInt32(Round(x)); }
};

class TypeConverterBase : public DFModel {
public:
  ~TypeConverterBase() override = default;
};

template <class In, class Out, class Policy> class TypeConverter : public TypeConverterBase {
public:
  In input;
  Out output;
  ~TypeConverter() override = default;
};

template <class In, class Out, class Policy>
class ScalarToScalar : public TypeConverter<In, Out, Policy> {
public:
  bool Run() override {
    Policy::Convert(*this->input.ElementAt(0), *this->output.ElementAt(0));
    return true;
  }
  ~ScalarToScalar() override = default;
};

extern template class TypeConverter<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
extern template class ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

} // namespace Varnholt

#endif
