// The output stage gains, one per equalizer setting.
#include "models/Welbrook_rx/rx_dc.h"

namespace Varnholt {

const double rx_dc::kGain[rx_dc::kSettings] = {12.28, 12.24, 12.21, 12.17, 12.12, 12.07,
                                               11.99, 11.91, 11.85, 11.77, 11.64, 11.41,
                                               11.08, 10.71, 10.01, 8.81};

} // namespace Varnholt
