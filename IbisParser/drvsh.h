// [Driver Schedule] of a model: the models it drives and their delays.
#pragma once

#include "IbisParser/nameidx.h"

struct MDL;
struct DLY;

// One row of the schedule.
struct DRVSH_MODEL {
    DRVSH_MODEL *next;
    char name[41];  // at most 20 characters below IBIS version 4, else 40
    DLY *delays;    // null until read
};

// The rows newest first, and an index of the names met so far (pointing at
// the rows' own names), so that each row's duplicate check costs the same
// however long the list.
struct DRVSH {
    DRVSH_MODEL *models;
    NAME_INDEX names;
};

int DRVSH_Init(const char *keywordText, DRVSH **slot, const char *modelName);
void DRVSH_ParseLine(const char *text, DRVSH *schedule, const char *modelName);
void DRVSH_EndKeyword(DRVSH *schedule, const char *modelName);
// Whole-file check: every scheduled model must be an output model of the file
// without a schedule of its own; each one found is marked referenced.
void DRVSH_CheckAll(MDL *models);
void DRVSH_Free(DRVSH *schedule);

// Inner steps.
int DRVSH_CreateModel(DRVSH_MODEL **out);
// The row's name into entry->name; 1 when a name was stored.
int DRVSH_ParseModelName(const char *text, DRVSH_MODEL *entry, const char *modelName);
// Reports a name already used in this schedule and remembers the new one.
void DRVSH_CheckDuplicateModel(DRVSH *schedule, DRVSH_MODEL *entry);
