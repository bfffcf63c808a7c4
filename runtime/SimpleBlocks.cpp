// The instantiations of the small blocks that the libraries carry.
#include "runtime/ConstUnTimed.h"
#include "runtime/Fork.h"
#include "runtime/Mux.h"
#include "runtime/TypeConverter.h"

namespace Varnholt {

template class ConstUnTimedBase<double, CircularBuffer<double>>;
template class ConstUnTimed<double>;
template class Fork<CircularBuffer<double>>;
template class Fork<CircularBuffer<int>>;
template class Mux<CircularBuffer<double>>;
template class TypeConverter<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;
template class ScalarToScalar<CircularBuffer<double>, CircularBuffer<int>, TypeConverterRound>;

} // namespace Varnholt
