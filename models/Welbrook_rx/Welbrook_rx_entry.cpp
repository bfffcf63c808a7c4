// The exported AMI functions of Welbrook_rx_x64.
#include "models/Welbrook_rx/Welbrook_rx_traits.h"

VARNHOLT_AMI_ENTRY(Varnholt::WelbrookRxTraits)
