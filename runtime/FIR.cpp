// The FIR instantiations that the libraries carry.
#include "runtime/FIR.h"

namespace Varnholt {

template class FIR<double, 0>;
template class FIR<double, 1>;
template class FIR<std::complex<double>, 0>;

} // namespace Varnholt
