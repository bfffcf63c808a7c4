// Rows of typ/min/max tables with a first column (I-V, V-T, waveforms).
#pragma once

struct RNGP {
    RNGP *next;
    RNGP *prev;
    double x;
    int x_state;
    double typ;
    int typ_state;
    double min;
    int min_state;
    double max;
    int max_state;
};

int RNGP_Create(RNGP **out);
// A line of four words x, typ, min, max; 1 when the row was created (*out).
int RNGP_ParseLine(const char *text, const char *label, const char *firstName, RNGP **out);
// A null word leaves its value absent; 1 when all four converted.
int RNGP_ParseValues(const char *x, const char *typ, const char *min, const char *max,
                     const char *label, const char *firstName, RNGP *row);
// Appends at the tail; *count = rows now in the list. With check set, each
// earlier row with the same x is reported.
void RNGP_Append(RNGP **head, RNGP *row, int *count, int check);
int RNGP_GetPrev(const RNGP *row, RNGP **out);
void RNGP_Free(RNGP *head);
