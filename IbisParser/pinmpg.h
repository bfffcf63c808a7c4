// [Pin Mapping] of a component: one row per pin with the buses it uses.
#pragma once

struct PINMPG {
    PINMPG *next;
    int columns;  // columns stored from the row
    char pin[6];
    char pulldown_ref[16];  // empty: not given
    char pullup_ref[16];
    char gnd_clamp_ref[16];
    char power_clamp_ref[16];
    char ext_ref[16];
};
