// [Begin EMI Model] .. [End EMI Model] block of a model.
#pragma once

struct MDL;

struct MDLEMI {
    int Domain;          // 0 not given or invalid, 1 Analog, 2 Digital
    int Model_emi_type;  // 0 not given or invalid, 1 Ferrite, 2 Not_a_ferrite
};

// A fresh record into *slot (a record already there is reported and
// replaced); the keyword line must end at its bracket. 0 when out of memory.
int MDLEMI_Init(const char *keywordText, MDLEMI **slot, int code);
// One sub-parameter line; lines of other names are passed over.
void MDLEMI_ParseLine(const char *text, MDLEMI *record);
void MDLEMI_EndKeyword(MDL *model);
void MDLEMI_Free(MDLEMI *record);
