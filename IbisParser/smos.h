// [Series MOSFET] entries of a series model's [On] / [Off] state.
#pragma once

struct CRV;

struct SMOS {
    double *Vds;  // null until the Vds line is read
    CRV *table;   // the model section fills it through CRV_Init
    SMOS *next;   // entries in file order
};

// Appends a new entry to *list and makes it current (*entry); 0 when out of
// memory (nothing is then current).
int SMOS_Init(const char *keywordText, SMOS **list, SMOS **entry);
// The Vds line first, then I-V rows; nothing without a current entry.
void SMOS_ParseLine(const char *text);
// End of the current entry: Vds checks, then the table's I-V end checks.
void SMOS_CheckTable(const char *modelName, int modelType, int keywordCode);
void SMOS_CheckDuplicateVds(SMOS *list, const char *modelName, const char *label);
void SMOS_Free(SMOS *list);
void SMOS_Reset(void);
