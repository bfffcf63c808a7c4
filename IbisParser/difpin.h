// [Diff Pin] of a component: a pin, its inverting partner and their values,
// and the end checks of the pairs.
#pragma once

struct PIN;

struct DIFPIN {
    DIFPIN *next;
    int columns;  // columns stored from the row
    char pin[6];
    char inv_pin[6];
    double vdiff;
    int vdiff_state;  // 0 absent or bad, 1 a number
    double tdelay_typ;
    int tdelay_typ_state;
    double tdelay_min;
    int tdelay_min_state;
    double tdelay_max;
    int tdelay_max_state;
    DIFPIN *listLast;  // head row only (CMN_AppendAtTail)
    int listCount;
};

int DIFPIN_Create(DIFPIN **out);
// One data line; 1 with a new record in *out, 0 when none could be made.
int DIFPIN_ParseRow(const char *text, int headerColumns, DIFPIN **out);
// One numeric column: the state read (0 bad, 1 a number, 2 NA).
int DIFPIN_ParseValue(const char *text, double *value, int *state, const char *column);
void DIFPIN_Append(DIFPIN **head, DIFPIN *row);
void DIFPIN_Free(DIFPIN *list);

// End checks of one component's rows: pins declared, no pin used twice.
void DIFPIN_CheckAll(DIFPIN *rows, PIN *pins, const char *component);
