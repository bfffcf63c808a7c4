// The buffer and bus instantiations that the libraries carry: of double,
// int and complex double samples.
#include "runtime/CircularBuffer.h"

namespace Varnholt {

template class CircularBuffer<double>;
template class CircularBuffer<int>;
template class CircularBuffer<std::complex<double>>;
template class CircularBufferBusT<CircularBuffer<double>>;
template class CircularBufferBusT<CircularBuffer<int>>;
template class CircularBufferBusT<CircularBuffer<std::complex<double>>>;

} // namespace Varnholt
