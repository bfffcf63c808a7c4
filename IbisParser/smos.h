// [Series MOSFET] entries of a series model's [On] / [Off] state.
#pragma once

struct CRV;

struct SMOS {
    double *Vds;  // null until the Vds line is read
    CRV *table;   // the model section fills it through CRV_Init
    SMOS *next;   // entries in file order
    // Kept in the first entry of a list only: its last entry and the number
    // of entries, so that appending does not walk the list.
    SMOS *listLast;
    int listCount;
};

// Appends a new entry to *list and makes it current (*entry); 0 when out of
// memory (nothing is then current).
int SMOS_Init(const char *keywordText, SMOS **list, SMOS **entry);
// The Vds line first, then I-V rows; nothing without a current entry.
void SMOS_ParseLine(const char *text);
// End of the current entry: Vds checks, then the table's I-V end checks
// (caption "Series_MOSFET", owner "Model"). The entry is then no longer
// current; nothing without one.
void SMOS_CheckTable(const char *modelName, int modelType, int keywordCode);
// Every pair of entries of one state whose Vds lie within 1e-9 of each
// other, reported with the earlier Vds, in the order of the earlier entry.
void SMOS_CheckDuplicateVds(SMOS *list, const char *modelName, const char *label);
void SMOS_Free(SMOS *list);
void SMOS_Reset(void);
