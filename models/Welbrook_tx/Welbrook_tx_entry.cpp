// The exported AMI functions of Welbrook_tx_x64.
#include "models/Welbrook_tx/Welbrook_tx_traits.h"

VARNHOLT_AMI_ENTRY(Varnholt::WelbrookTxTraits)
