// The exported AMI functions of Korvath_x64.
#include "models/Korvath/Korvath_traits.h"

VARNHOLT_AMI_ENTRY(Varnholt::KorvathTraits)
