// I-V tables: [Pulldown], [Pullup], [GND Clamp], [POWER Clamp], [ISSO PD],
// [ISSO PU], [Series Current] and the table of each [Series MOSFET].
#pragma once

#include "IbisParser/rngp.h"

// One I-V table. `points` is the head of its rows in file order (x is the
// voltage, typ/min/max the currents); readers of finished tables walk it.
// `rows` is the reader's own bookkeeping. `storage` says how the table was
// allocated, so that CRV_Free and CRVOP_FreeBlock each free either kind.
struct CRV {
    RNGP *points;
    RNGP_TAIL rows;  // where the next row goes
    int storage;     // CRV_ROWS_APART or CRV_ONE_BLOCK
};
// Each row an allocation of its own (what a zero-filled record says), or the
// record and its rows in one allocation.
enum { CRV_ROWS_APART = 0, CRV_ONE_BLOCK = 1 };

// The keyword line of a table; a table already in *slot is reported and
// replaced. 0 when out of memory (the slot is then empty).
int CRV_Init(const char *keywordText, const char *caption, CRV **slot);
// One data line; callers ignore the result. A null table (its CRV_Init ran
// out of memory) takes nothing.
int CRV_ParseLine(const char *text, CRV *table, const char *caption);
// The end checks of the table just read (nothing for a null table).
// `owner` is "Model" or "Submodel"; keywordCode is an IBIS_KEYWORD.
void CRV_EndKeyword(const char *modelName, int modelType, int keywordCode, CRV *table,
                    const char *caption, const char *owner);
// Linear interpolation of each corner at `voltage`, no extrapolation: each
// output is set to a new double (the caller frees it with CMN_Free) or to
// null.
void CRV_InterpolateAt(const CRV *table, double voltage, double **typ, double **min,
                       double **max);
// A copy holding the rows whose voltage is given; 0 when out of memory.
int CRV_CopyPoints(const CRV *source, CRV **out);
// Whether one column of a table keeps one direction; a zeroed tracker has
// seen nothing.
struct CRV_TRACKER {
    double last;
    int phase;      // 0 not started, 1 running, 2 already reported
    int direction;  // 0 unknown, 1 rising, 2 falling
};
// Feeds one value; 1 when it turns against the direction seen so far. A
// tracker turns once: it ignores every value after that.
int CRV_TrackMonotonic(CRV_TRACKER *tracker, double value);
// Feeds the given values of one row to four trackers, for the Voltage,
// Typical, Minimum and Maximum columns; returns the columns that turned as
// the bits 1, 2, 4 and 8 in that order.
int CRV_TrackRow(CRV_TRACKER *trackers, const RNGP *row);
// Non-zero lifts the 100-row limit (nothing sets it).
void CRV_SetNoRowLimit(int flag);
// Frees a table of either storage, rows and record; null is allowed.
void CRV_Free(CRV *table);
// Forgets what is known of the table being read (new pass, owner's section
// reset).
void CRV_Reset(void);
