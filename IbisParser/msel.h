// [Model Selector] section: the selector record, the section handlers, the
// lookup by name that the pin and component checks use, and the end-of-file
// check of every selector's models.
#pragma once

#include "IbisParser/parse.h"

struct NAME_INDEX;
struct NAMEDLIST_INDEX;

// One row of a selector: a model it may select.
struct MSEL_MODEL {
    MSEL_MODEL *next;
    char name[41];
    char description[87];
};

// Fields after single_ended are bookkeeping.
struct MSEL {
    MSEL *next;
    MSEL_MODEL *models;  // file order
    char name[41];
    int single_ended;  // 2 not known; 1 or 0 (differential) after the selector check
    MSEL_MODEL *lastModel;  // where the next row goes
    int modelCount;
    NAME_INDEX *rowNames;  // the rows' names while the selector is read
    // The names of the list this record heads, held by the head alone.
    NAMEDLIST_INDEX *index;
};

// Section handlers.
void MSEL_Init(void);
void MSEL_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void MSEL_EndKeyword(void);
// Forgets the current selector and its keyword codes; frees nothing.
void MSEL_Reset(void);

// The first selector of the list with exactly this name, or null.
MSEL *MSEL_FindByName(const char *name, MSEL *selectors);
int MSEL_Exists(const char *name, MSEL *selectors);

// End-of-file check of every selector: its models defined, all of one kind.
void MSEL_CheckAll(MSEL *selectors);

// Records.
int MSEL_Create(MSEL **out);
int MSEL_CreateModel(MSEL_MODEL **out);
void MSEL_SetNext(MSEL *record, MSEL *next);
void MSEL_Free(MSEL *list);
