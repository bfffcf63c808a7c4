// [Pin EMI] rows of a component's EMI block, and the end checks of the pins
// and domains that block names.
#pragma once

#include "IbisParser/nameidx.h"

struct PIN;
struct CMPNTEMI_DOMAIN;

struct PINEMI {
    PINEMI *next;
    char pin_name[6];
    char domain_name[21];
    double clock_div;
    int clock_div_state;  // CMN_VALUE_ABSENT, CMN_VALUE_NUMBER or CMN_VALUE_NA
    NAMEIDX_LIST *index;  // head row only: the list's tail and its pins
};

int PINEMI_Create(PINEMI **out);
// One data line; 1 with a new record in *out, 0 when none could be made.
int PINEMI_ParseRow(const char *text, PINEMI **out);
// Appends at the tail; each earlier row of the same pin is reported.
void PINEMI_Append(PINEMI **head, PINEMI *row);
void PINEMI_Free(PINEMI *list);
// The first row of the pin (exact name), or null; found through the list's
// index.
PINEMI *PINEMI_FindByPin(PINEMI *list, const char *pin);
int PINEMI_Exists(PINEMI *list, const char *pin);

// Domains no row uses, rows whose pin is missing or carries no model.
void PINEMI_CheckAll(PINEMI *rows, CMPNTEMI_DOMAIN *domains, PIN *pins, const char *component);
