// Converters between sample types; the models turn double settings into the
// int controls of their multiplexers with ScalarToScalar.
#ifndef VARNHOLT_RUNTIME_TYPECONVERTER_H
#define VARNHOLT_RUNTIME_TYPECONVERTER_H

#include <cmath>
#include <cstdint>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

// Rounds half away from zero.
class TypeConverterRound {
public:
  // std::round rather than floor(x + 0.5): the sum is inexact for
  // 0.49999999999999994 and for odd values above 2^52, and would round those
  // up.
  static double Round(double x) { return std::round(x); }
  // NaN gives 0; values beyond the int range saturate (a plain cast would be
  // undefined there).
  static void Convert(double x, int32_t &target) {
    const double r = Round(x);
    if (std::isnan(r))
      target = 0;
    else if (r >= 2147483647.0)
      target = INT32_MAX;
    else if (r <= -2147483648.0)
      target = INT32_MIN;
    else
      target = static_cast<int32_t>(r);
  }
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
