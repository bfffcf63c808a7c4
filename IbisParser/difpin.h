// [Diff Pin] of a component: a pin, its inverting partner and their values.
#pragma once

struct DIFPIN {
    DIFPIN *next;
    int columns;  // columns stored from the row
    char pin[6];
    char inv_pin[6];
    double vdiff;
    int vdiff_state;  // 0 absent or bad, 1 a number
    double tdelay_typ;
    int tdelay_typ_state;
    double tdelay_min;
    int tdelay_min_state;
    double tdelay_max;
    int tdelay_max_state;
};
