// A source that writes one constant value on every firing, after an optional
// number of firings that write the initial value instead.
#ifndef VARNHOLT_RUNTIME_CONSTUNTIMED_H
#define VARNHOLT_RUNTIME_CONSTUNTIMED_H

#include <cstdint>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

namespace Varnholt {

template <class T, class B> class ConstUnTimedBase : public DFModel {
public:
  B output;
  T value{};                // written from firing InitialDelay on
  int32_t InitialDelay = 0; // firings that write the initial value
  uint64_t counter = 0;     // firings since Initialize

  bool Initialize() override {
    counter = 0;
    return CheckParameters();
  }
  bool Run() override {
    if (InitialDelay > 0 && counter < static_cast<uint64_t>(InitialDelay))
      WriteInitialValue();
    else
      *output.ElementAt(0) = value;
    ++counter;
    return true;
  }
  bool CheckParameters() override {
    if (InitialDelay < 0) {
      ReportError("InitialDelay must be >= 0");
      return false;
    }
    return true;
  }
  ~ConstUnTimedBase() override = default;

  virtual void WriteInitialValue() = 0;
};

template <class T> class ConstUnTimed : public ConstUnTimedBase<T, CircularBuffer<T>> {
public:
  ConstUnTimed() { this->value = T(0); }
  ~ConstUnTimed() override = default;
  void WriteInitialValue() override { *this->output.ElementAt(0) = T(0); }
};

extern template class ConstUnTimedBase<double, CircularBuffer<double>>;
extern template class ConstUnTimed<double>;

} // namespace Varnholt

#endif
