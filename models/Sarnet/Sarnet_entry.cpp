// The exported AMI functions of Sarnet_x64.
#include "models/Sarnet/Sarnet_traits.h"

VARNHOLT_AMI_ENTRY(Varnholt::SarnetTraits)
