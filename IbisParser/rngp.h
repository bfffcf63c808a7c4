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
// One x value of a list and the number of its rows that hold it.
struct RNGP_XCOUNT {
    double x;
    int count;  // 0: an empty slot
};

// The reading end of a list that rows are appended to: its last row, its
// row count, and an index of how many rows hold each x value, so that an
// append costs the same at the millionth row as at the first. Zero-filled
// it suits any list: the first append finds the tail (and builds the index
// when asked to check) by one walk.
struct RNGP_TAIL {
    RNGP *last;
    int count;
    RNGP_XCOUNT *slots;     // open addressing; null until a checked append
    unsigned long capacity; // a power of two, or 0
    unsigned long used;     // distinct x values held
    // While every row so far came after the one before in strictly rising
    // (1) or falling (2) x, or there is one row (3), a new x beyond the last
    // repeats none and needs no index; 0 once that no longer holds.
    int order;
    double lastX;
};

// Appends at the tail of the list at *head; *count = rows now in the list.
// With check set, each earlier row with the same x is reported (one warning
// per such row).
void RNGP_Append(RNGP **head, RNGP_TAIL *tail, RNGP *row, int *count, int check);
// Frees the x index (the list and the tail stay); a later checked append
// builds it again.
void RNGP_DropIndex(RNGP_TAIL *tail);
int RNGP_GetPrev(const RNGP *row, RNGP **out);
void RNGP_Free(RNGP *head);
