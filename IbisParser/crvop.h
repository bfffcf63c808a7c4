// Arithmetic on point lists (the rows of I-V tables): walking the rows that
// carry values, the direction of the x axis, linear interpolation with a
// moving cursor, the sum of two tables, and the rail voltages of a model.
//
// Only a value in state CMN_VALUE_NUMBER counts as given here. Walkers skip
// rows whose x is not given; the point forms also skip rows whose selected
// column is not given. They return the row found (or null) and pass its x
// and value out through the pointers that are not null.
#pragma once

#include <cstddef>

struct CRV;
struct MDL;
struct RNG;
struct RNGP;

// Column selectors; the same bits form a column mask. Also the corner of a
// typ/min/max range.
enum { CRVOP_TYP = 1, CRVOP_MIN = 2, CRVOP_MAX = 4, CRVOP_ALL = 7 };

const RNGP *CRVOP_FirstPoint(const RNGP *row, int column, double *x, double *value);
const RNGP *CRVOP_NextPoint(const RNGP *row, int column, double *x, double *value);
const RNGP *CRVOP_GetPoint(const RNGP *row, int column, double *x, double *value);
// From the tail of the row's list backwards.
const RNGP *CRVOP_LastPoint(const RNGP *row, int column, double *x, double *value);

const RNGP *CRVOP_FirstX(const RNGP *row, double *x);
const RNGP *CRVOP_NextX(const RNGP *row, double *x);

// 1 when the curve is null or has fewer than two rows with x and the
// column given.
int CRVOP_IsTooShort(const CRV *curve, int column);

// 1 and the value when that corner of the range (may be null) is given.
int CRVOP_GetRngColumn(const RNG *range, int corner, double *out);
// Sets x and one column and marks both given.
void CRVOP_SetPoint(RNGP *row, int column, double x, double value);
// 1 for Open_drain through I/O_open_source.
int CRVOP_IsOpenType(int modelType);
// "TYP", "MIN", "MAX", or "UNK" for anything else.
const char *CRVOP_ColumnName(int column);

// In place, on every x whose state is not absent (so also on "NA" x); a
// null curve is left alone.
void CRVOP_ShiftX(CRV *curve, double dx);
void CRVOP_NegateX(CRV *curve);

// +1 when x rises from the row on, -1 when it falls, 0 without two
// different x values.
int CRVOP_Direction(const RNGP *row);

// Linear interpolation in one column, extrapolating at both ends, walking
// in the direction of x (+1 or -1). The cursor moves to the row before the
// point found, so a following call with a target further along resumes
// there; it becomes null when no row gives the column. 1 and *out, or 0.
int CRVOP_Interpolate(const RNGP **cursor, int direction, double x, int column, double *out);
// The same from the head of a curve, its direction taken from its rows.
int CRVOP_ValueAt(const CRV *curve, double x, int column, double *out);

// A new curve holding the sum of a and b in the columns of mask, in ascending
// x where the inputs' x never step back (a falling input is read from its
// tail); where one steps back the sum follows it. Either input may be null;
// neither is changed. The record and its rows come in one allocation. Null
// (after bug 3300) when memory runs out.
CRV *CRVOP_MergeBlock(const CRV *a, const CRV *b, int mask);
// CRV_Free by another name: frees a curve of either storage.
void CRVOP_FreeBlock(CRV *curve);

// A running sum of curves in one column, held as flat arrays: each addition
// gives what CRVOP_MergeBlock of the sum so far and the addend gives, without
// building rows. Zero-filled it is empty.
struct CRVOP_SUM {
    double *x;      // per row
    double *value;  // per row; meaningful when given
    size_t rows;
    int column;  // CRVOP_TYP, CRVOP_MIN or CRVOP_MAX
    int given;   // 1 when some input gave the column
};
// sum = a + b in `column`; 0 (after bug 3300, the sum left empty) when
// memory runs out.
int CRVOP_SumStart(CRVOP_SUM *sum, const CRV *a, const CRV *b, int column);
// sum = sum + addend; 0 (after bug 3300, the sum left as it was) when memory
// runs out.
int CRVOP_SumAdd(CRVOP_SUM *sum, const CRV *addend);
// The sum as a curve in one allocation; null after bug 3300.
CRV *CRVOP_SumCurve(const CRVOP_SUM *sum);
void CRVOP_SumFree(CRVOP_SUM *sum);

// The rails of a model at a corner: power clamp, pullup, gnd clamp and
// pulldown voltage, each 0 unless a range of the model gives it.
void CRVOP_GetRails(const MDL *model, int corner, double *powerClamp, double *pullup,
                    double *gndClamp, double *pulldown);

// A shared curve that is never freed: two rows at x 0 and 1 with every
// column 0 (stands for a missing table).
const CRV *CRVOP_ZeroCurve(void);

// Forms for callers of the library; the file checks above do not use them.

const RNGP *CRVOP_PrevPoint(const RNGP *row, int column, double *x, double *value);
const RNGP *CRVOP_PrevX(const RNGP *row, double *x);
const RNGP *CRVOP_GetX(const RNGP *row, double *x);
const RNGP *CRVOP_LastX(const RNGP *row, double *x);
// Rows with x and the column given; a null curve has none.
int CRVOP_CountPoints(const CRV *curve, int column);
// Clears the four given-flags.
void CRVOP_ClearRow(RNGP *row);
double CRVOP_Abs(double x);
// Reverses a list in place by swapping every row's links; returns the new head.
RNGP *CRVOP_Reverse(RNGP *head);
// The sum of two curves' values at x stored into one column of row (when
// at least one of them has a value there); 1 when stored.
int CRVOP_SumAt(const RNGP **cursorA, const RNGP **cursorB, int direction, double x,
                int column, RNGP *row);
// The same for all three columns from the heads of two curves; 1 when any
// column was stored.
int CRVOP_SumAllAt(const CRV *a, const CRV *b, double x, RNGP *row);
// The sum of CRVOP_MergeBlock with the record and each row allocated apart.
CRV *CRVOP_Merge(const CRV *a, const CRV *b, int mask);
// A shared curve of two rows at x1 and x2 with zero columns, overwritten by
// each call and never freed.
const CRV *CRVOP_TwoPointCurve(double x1, double x2);
