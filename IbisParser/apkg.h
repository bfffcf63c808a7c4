// [Alternate Package Models] of a component: the names of package models that
// may replace the component's own.
#pragma once

#include "IbisParser/nameidx.h"

struct APKG {
    APKG *next;
    char name[41];
    NAMEIDX_LIST *index;  // head record only: the list's tail and its names
};

// One data line, the whole line being the name; appended at the tail.
void APKG_ParseRow(APKG **list, const char *text);
// Reports a name the list holds already.
void APKG_CheckDuplicateName(const char *name, APKG *list);
// Reports a list of no name or of only one.
void APKG_CheckCount(const APKG *list);
void APKG_Free(APKG *list);
