// [Pin Mapping] of a component: one row per pin with the buses it uses, and
// the end checks of those buses against the POWER and GND pins.
#pragma once

#include "IbisParser/nameidx.h"

struct PIN;

struct PINMPG {
    PINMPG *next;
    int columns;  // columns stored from the row
    char pin[6];
    char pulldown_ref[16];  // empty: not given
    char pullup_ref[16];
    char gnd_clamp_ref[16];
    char power_clamp_ref[16];
    char ext_ref[16];
    NAMEIDX_LIST *index;  // head row only: the list's tail and its pins
};

int PINMPG_Create(PINMPG **out);
// One data line; 1 with a new record in *out (also when the row had faults).
int PINMPG_ParseRow(const char *text, int headerColumns, PINMPG **out);
// Appends at the tail; each earlier row of the same pin is reported.
void PINMPG_Append(PINMPG **head, PINMPG *row);
void PINMPG_Free(PINMPG *list);
// The first row of the pin (exact name), or null.
PINMPG *PINMPG_FindByPin(const char *pin, PINMPG *list);
// Whether a row names the pin (exact name), through the list's index.
int PINMPG_Contains(PINMPG *list, const char *pin);

// End checks of one component's rows against its pins; nothing without pins.
void PINMPG_CheckAll(PINMPG *rows, PIN *pins, const char *component);
