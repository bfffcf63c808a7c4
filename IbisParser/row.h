// One [Row] of a package matrix and the parsers of its data lines.
#pragma once

#include <cstdint>

struct MTX;

struct ROW {
    ROW *next;
    char name[6];
    // Full and banded rows: any value (the first is the diagonal); sparse
    // rows: the row's own pin given as a column.
    int32_t selfEntry;
    uint32_t uiColumnCount;  // value slots the row may fill
    uint32_t position;       // 1-based place in the matrix
    // Values as they came: full and banded rows fill slots from the first,
    // so `filled` counts the slots set; sparse rows keep one entry per
    // column, its column in `columns`.
    uint32_t filled;
    uint32_t room;
    double *values;     // carved from the matrix's pool
    uint32_t *columns;  // sparse rows: right after values[room]
};

// Makes the matrix's next row; 1 when it was added (and became the last row).
int ROW_Begin(MTX *matrix, const char *name, uint32_t columnCount);
void ROW_ParseFull(MTX *matrix, char *line);
void ROW_ParseBanded(MTX *matrix, char *line);
void ROW_ParseSparse(MTX *matrix, char *line);
// The close-time slot rules; 0 after the row's message.
int ROW_CheckEverySlot(const ROW *row);
int ROW_CheckAnySlot(const ROW *row);
// Gives the row count slots; 0 when it has more already.
int ROW_Widen(ROW *row, uint32_t count);
