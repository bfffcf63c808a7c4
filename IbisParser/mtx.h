// [Resistance Matrix], [Inductance Matrix] and [Capacitance Matrix] of a
// package model: type, [Bandwidth], [Row] blocks and the checks made when a
// matrix ends. Only the upper triangle is stored: row k begins at its
// diagonal (a sparse row at column 1).
#pragma once

#include <cstdint>

#include "IbisParser/cmn.h"
#include "IbisParser/nameidx.h"

struct ROW;

enum {
    MTX_TYPE_UNKNOWN = 0,
    MTX_TYPE_BANDED = 1,
    MTX_TYPE_CIRCLE_BACK = 2,  // banded, the band wrapping past the last column
    MTX_TYPE_SPARSE = 3,
    MTX_TYPE_FULL = 4
};

struct MTX {
    int32_t eMatrixType;
    uint32_t uiRowCount;  // N: the model's Number_of_Pins when the matrix was made
    int32_t bBandwidthGiven;
    uint32_t uiBandwidth;
    ROW *rows;  // file order
    ROW *tail;
    // The rows and their values, carved in order: only the last row grows,
    // so its values are the pool's newest piece until it moves to a new
    // block. Freed with the matrix.
    CMN_POOL pool;
    uint32_t uiRowsFound;
    // The most slots any row has: a later [Bandwidth] must leave room for it.
    uint32_t uiWidestRow;
    // The row that data lines fill: the one the last [Row] made, null when it
    // could not be made and once the matrix is closed.
    ROW *pLastRow;
    // Rows by name (number: rows of the name so far), made at the first row
    // that does not stand at its own pin's place: until then every row
    // stands at the first place of its name, so no two share a name.
    NAME_INDEX rowNames;
    int32_t rowNamesBuilt;
    // Sparse rows: the row position that set each column last and that row's
    // entry for it, grown to the highest column seen.
    uint32_t *colRow;
    uint32_t *colEntry;
    uint32_t colRoom;
};

// The matrix being read: the one made last, until it is closed.
extern MTX *gpMtx;

// Closes the open matrix, then makes a new one and opens it; *out is null
// only when it could not be allocated.
int MTX_Create(MTX **out, const char *typeText, uint32_t rowCount);
// Sets the band of a banded matrix. Rows already read (a kept matrix named
// again) keep their slots, so a band too narrow for one of them is refused.
void MTX_ParseBandwidth(MTX *matrix, const char *text);
void MTX_BeginRow(MTX *matrix, const char *pinName);
// Hands a data line (split in place) to the matrix's last row.
void MTX_ParseRowData(MTX *matrix, char *line);
// Closes gpMtx with its row checks; the messages carry the current line.
void MTX_EndMatrix(void);
void MTX_CheckBandwidth(const char *label, const MTX *matrix);
void MTX_Free(MTX *matrix);
// Forgets the open matrix (a new pass, a destroyed root).
void MTX_Reset(void);

// What banded rows ask of their matrix; 0 after a program-bug message.
int MTX_GetRowCount(const MTX *matrix, uint32_t *count);
int MTX_GetBandwidth(const MTX *matrix, uint32_t *bandwidth);
int MTX_IsCircleBack(const MTX *matrix, int *circleBack);
// Turns a banded matrix into circle-back, widening every row to B + 1
// slots; 0 when its bandwidth is too wide for that (the type changes all
// the same).
int MTX_ConvertToCircleBack(MTX *matrix);
