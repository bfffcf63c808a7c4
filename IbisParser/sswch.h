// [Series Switch Groups] of a component: On and Off groups of names, each
// ended by "/" and possibly running over several lines.
#pragma once

#include "IbisParser/nameidx.h"

struct Series_Pin_Mapping;

struct SSWCH {
    SSWCH *next;
    char state[8];  // On or Off, as written
    char **names;   // each an owned text of at most 20 characters
    unsigned count;
    unsigned room;     // entries names has room for
    SSWCH *listLast;   // head group only (CMN_AppendAtTail)
    int listCount;
};

int SSWCH_Create(SSWCH **out);
// One data line: *out is the group it belongs to (a new one, or the group
// still being read when the line continues it; null when there is none).
// 1, or 0 when the line could not be taken whole.
int SSWCH_ParseLine(const char *text, SSWCH **out);
// SSWCH_ParseLine, then a new group goes to the tail of *groups.
int SSWCH_AddLine(SSWCH **groups, const char *text);
void SSWCH_Free(SSWCH *list);
// Forgets the group being read.
void SSWCH_Reset(void);

// The names every group of a list holds, and whether one holds a name (the
// groups are walked when the index gave up).
void SSWCH_IndexNames(NAME_TALLY *out, SSWCH *groups);
int SSWCH_HasGroup(const NAME_TALLY *index, SSWCH *groups, const char *name);

// Warns of each group name that no [Series Pin Mapping] row uses.
void SSWCH_CheckAll(SSWCH *groups, Series_Pin_Mapping *rows, const char *component);
