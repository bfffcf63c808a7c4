// [Begin EMI Component] ... [End EMI Component] blocks of a component: the
// sub-parameters, the [Pin EMI] and [Pin Domain EMI] tables, and the block
// being read.
#pragma once

#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"

struct CMPNT;
struct PINEMI;

// Domain values.
enum {
    CMPNTEMI_DOMAIN_NONE = 0,
    CMPNTEMI_DOMAIN_ANALOG = 1,
    CMPNTEMI_DOMAIN_DIGITAL = 2,
    CMPNTEMI_DOMAIN_DIGITAL_ANALOG = 3
};

// One row of [Pin Domain EMI].
struct CMPNTEMI_DOMAIN {
    CMPNTEMI_DOMAIN *next;
    char domain_name[21];
    double *percentage;
};

// The [Pin Domain EMI] table: its rows in file order and their names.
struct CMPNTEMI_DOMAINS {
    CMPNTEMI_DOMAIN *first;
    CMPNTEMI_DOMAIN *last;
    NAME_TALLY names;
};

struct CMPNTEMI {
    int domain;  // CMPNTEMI_DOMAIN_*
    double *Cpd;  // null: not given
    double *C_Heatsink_gnd;
    double *C_Heatsink_float;
    PINEMI *pin_emi;               // file order
    CMPNTEMI_DOMAINS *pin_domains;  // null until [Pin Domain EMI]
};

// Every line of the block's keywords (keyword lines with the text after the
// keyword) for the component's EMI slot.
void CMPNTEMI_ParseLine(int lineType, IBIS_KEYWORD code, const char *text, CMPNTEMI **slot);
int CMPNTEMI_IsOpen(void);
// A keyword other than [Pin EMI] and [Pin Domain EMI] closes the open block.
void CMPNTEMI_EndKeyword(IBIS_KEYWORD code);
// Forgets the open block and the current keyword.
void CMPNTEMI_Reset(void);

int CMPNTEMI_Create(CMPNTEMI **out);
void CMPNTEMI_Free(CMPNTEMI *record);

void CMPNTEMI_CheckAll(CMPNT *component, CMPNTEMI *record);
