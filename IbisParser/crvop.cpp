// Arithmetic on point lists: walkers, interpolation, the sum of two tables
// and the rails of a model.
#define MSG_SRC MSGSRC_CRVOP
#include "IbisParser/crvop.h"

#include <algorithm>
#include <cmath>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"

namespace {

// Rows closer than this in x are one point of a sum.
const double kJoin = 1e-5;
// The x before the first row of a sum: above any x, so the first is kept.
const double kAboveAll = 3.4028234663852886e38;
// Selects rows by x alone.
const int kXOnly = 0x100;

int Given(int state) { return state == CMN_VALUE_NUMBER; }

// The value of one column of a row when it is given.
int ColumnValue(const RNGP *row, int column, double *value) {
    switch (column) {
    case CRVOP_TYP:
        *value = row->typ;
        return Given(row->typ_state);
    case CRVOP_MIN:
        *value = row->min;
        return Given(row->min_state);
    case CRVOP_MAX:
        *value = row->max;
        return Given(row->max_state);
    default:
        return 0;
    }
}

int IsColumn(int column) {
    return column == CRVOP_TYP || column == CRVOP_MIN || column == CRVOP_MAX;
}

const RNGP *Step(const RNGP *row, bool back) { return back ? row->prev : row->next; }

// The first row from `row` on (itself included), walking through next or
// through prev, whose x and selected column are given.
const RNGP *Seek(const RNGP *row, bool back, int column, double *x, double *value) {
    for (; row != nullptr; row = Step(row, back)) {
        double v = 0.0;
        if (!Given(row->x_state) || (column != kXOnly && !ColumnValue(row, column, &v)))
            continue;
        if (x != nullptr)
            *x = row->x;
        if (value != nullptr)
            *value = v;
        return row;
    }
    return nullptr;
}

const RNGP *Tail(const RNGP *row) {
    while (row != nullptr && row->next != nullptr)
        row = row->next;
    return row;
}

int Before(int direction, double a, double b) { return direction > 0 ? a < b : a > b; }

// Three consecutive points of one column around an interpolation target,
// moved only along the walk, so a series of targets in the direction of x
// reads each row once. prev equals cur until the walk has moved; next is
// null past the last point.
struct Span {
    const RNGP *prev, *cur, *next;
    double xp, vp, xc, vc, xn, vn;
};

// The span at the first point from `row` on; 0 when no row gives the column.
int SpanStart(Span *s, const RNGP *row, bool back, int column) {
    s->cur = Seek(row, back, column, &s->xc, &s->vc);
    if (s->cur == nullptr)
        return 0;
    s->prev = s->cur;
    s->xp = s->xc;
    s->vp = s->vc;
    s->next = Seek(Step(s->cur, back), back, column, &s->xn, &s->vn);
    return 1;
}

// Moves the span while its next point lies strictly before x, then reads
// the line through the current point and its neighbour at x: the next point,
// or past the end the previous one. Where no neighbour has another x (a
// single usable x, or a last x repeated) the current value holds as a
// constant rather than a line of near-infinite slope.
double SpanValue(Span *s, bool back, int column, int direction, double x) {
    while (s->next != nullptr && Before(direction, s->xn, x)) {
        s->prev = s->cur;
        s->xp = s->xc;
        s->vp = s->vc;
        s->cur = s->next;
        s->xc = s->xn;
        s->vc = s->vn;
        s->next = Seek(Step(s->cur, back), back, column, &s->xn, &s->vn);
    }
    double xo, vo;
    if (s->next != nullptr && s->xn != s->xc) {
        xo = s->xn;
        vo = s->vn;
    } else if (s->xp != s->xc) {
        xo = s->xp;
        vo = s->vp;
    } else {
        return s->vc;
    }
    return vo + (s->vc - vo) / (s->xc - xo) * (x - xo);
}

const int kColumns[3] = {CRVOP_TYP, CRVOP_MIN, CRVOP_MAX};

void FillRow(RNGP *row, RNGP *next, RNGP *prev, double x, double value) {
    *row = RNGP{};
    row->next = next;
    row->prev = prev;
    CRVOP_SetPoint(row, CRVOP_TYP, x, value);
    CRVOP_SetPoint(row, CRVOP_MIN, x, value);
    CRVOP_SetPoint(row, CRVOP_MAX, x, value);
}

// A sum walks each input in its own order (a falling one from its tail) and
// emits x as it comes, so where an input's x steps back the sum steps back
// too. At each x it reads every input's columns by interpolation from the
// head, which stops before the first point after the first whose x reaches
// the target: over the running maximum of x that point is found by binary
// search, so no step back makes the sum walk an input again.

// The points of one column of an input, in reading order.
struct Points {
    const double *x;
    const double *v;
    const double *peak;  // running maximum of x from the second point on (or x)
    size_t n;
    size_t hint;  // Reach at hintAt, a lower bound for any larger target
    double hintAt;
};

// An input of a sum: the x of its rows that give one, in reading order
// (none when it takes no part), and its columns.
struct Input {
    const double *x;
    size_t n;
    Points col[3];
};

// Where interpolation from the head stops for target t: the first point
// after the first whose x reaches t, or n. Targets that rise from one call
// to the next, as a sum emits them, cost a step each.
size_t Reach(Points *p, double t) {
    size_t k = p->hint > 1 && t >= p->hintAt ? p->hint : 1;
    if (k < p->n && p->peak[k] < t) {
        size_t below = k, step = 1, above = k + 1;
        while (above < p->n && p->peak[above] < t) {
            below = above;
            step *= 2;
            above = below + step;
        }
        if (above > p->n)
            above = p->n;
        k = static_cast<size_t>(std::lower_bound(p->peak + below + 1, p->peak + above, t) -
                                p->peak);
    }
    p->hint = k;
    p->hintAt = t;
    return k;
}

// The column at t, as CRVOP_Interpolate reads it from the head (with the
// same constant where no neighbour has another x).
double PointsAt(Points *p, double t) {
    const size_t k = Reach(p, t);
    const size_t c = k - 1, o = k >= 2 ? k - 2 : 0;
    double xo, vo;
    if (k < p->n && p->x[k] != p->x[c]) {
        xo = p->x[k];
        vo = p->v[k];
    } else if (p->x[o] != p->x[c]) {
        xo = p->x[o];
        vo = p->v[o];
    } else {
        return p->v[c];
    }
    return vo + (p->v[c] - vo) / (p->x[c] - xo) * (t - xo);
}

// Fills in the running maximum of a column whose x falls somewhere after
// its second point (the search starts there).
void SetPeak(Points *p, double *room) {
    p->peak = p->x;
    for (size_t i = 2; i < p->n; ++i) {
        if (p->x[i] >= p->x[i - 1])
            continue;
        room[1] = p->x[1];
        for (size_t j = 2; j < p->n; ++j)
            room[j] = std::max(room[j - 1], p->x[j]);
        p->peak = room;
        return;
    }
}

size_t ColumnsIn(int mask) {
    size_t n = 0;
    for (int column : kColumns)
        n += (mask & column) != 0;
    return n;
}

// Rows of a curve whose x is given (0 for a null curve).
size_t RowsWithX(const CRV *curve) {
    size_t n = 0;
    if (curve != nullptr)
        for (const RNGP *r = Seek(curve->points, false, kXOnly, nullptr, nullptr); r != nullptr;
             r = Seek(r->next, false, kXOnly, nullptr, nullptr))
            ++n;
    return n;
}

// Doubles an input of `rows` rows may need in the columns of mask.
size_t InputRoom(size_t rows, int mask) { return rows * (1 + 3 * ColumnsIn(mask)); }

// Lays a curve out as an input in `room` (InputRoom doubles); one without
// two different x takes no part.
void CurveInput(const CRV *curve, size_t rows, int mask, double *room, Input *in) {
    *in = Input{};
    const int direction = curve != nullptr ? CRVOP_Direction(curve->points) : 0;
    if (direction == 0)
        return;
    const bool back = direction < 0;
    double *xs = room, *px[3] = {}, *pv[3] = {};
    room += rows;
    for (int c = 0; c < 3; ++c) {
        if ((mask & kColumns[c]) == 0)
            continue;
        px[c] = room;
        pv[c] = room + rows;
        room += 2 * rows;
    }
    size_t n[3] = {0, 0, 0};
    for (const RNGP *r = back ? Tail(curve->points) : curve->points; r != nullptr;
         r = back ? r->prev : r->next) {
        if (!Given(r->x_state))
            continue;
        xs[in->n++] = r->x;
        const double v[3] = {r->typ, r->min, r->max};
        const int given[3] = {r->typ_state, r->min_state, r->max_state};
        for (int c = 0; c < 3; ++c) {
            if (px[c] != nullptr && Given(given[c])) {
                px[c][n[c]] = r->x;
                pv[c][n[c]++] = v[c];
            }
        }
    }
    for (int c = 0; c < 3; ++c)
        in->col[c].n = n[c];
    in->x = xs;
    for (int c = 0; c < 3; ++c) {
        if (px[c] != nullptr) {
            in->col[c].x = px[c];
            in->col[c].v = pv[c];
            SetPeak(&in->col[c], room);
            room += rows;
        }
    }
}

// Lays a flat sum out as an input: its own arrays when they rise, else
// copies in `room` (InputRoom doubles of one column).
void SumInput(const CRVOP_SUM *sum, double *room, Input *in) {
    *in = Input{};
    size_t other = 1;
    while (other < sum->rows && sum->x[other] == sum->x[0])
        ++other;
    if (other >= sum->rows)
        return;
    const int c = sum->column == CRVOP_MIN ? 1 : sum->column == CRVOP_MAX ? 2 : 0;
    const size_t n = sum->rows;
    if (sum->x[other] < sum->x[0]) {
        double *x = room, *v = room + n;
        room += 2 * n;
        for (size_t i = 0; i < n; ++i) {
            x[i] = sum->x[n - 1 - i];
            v[i] = sum->value[n - 1 - i];
        }
        in->x = x;
        in->col[c].v = v;
    } else {
        in->x = sum->x;
        in->col[c].v = sum->value;
    }
    in->n = n;
    if (sum->given) {
        in->col[c].x = in->x;
        in->col[c].n = n;
        SetPeak(&in->col[c], room);
    }
}

// The sum of two laid-out inputs in the columns of mask: each emitted x into
// outX, and where either input gives column c its sum into outV[c] (given[c]
// set). Returns the rows, at most the inputs' rows together.
size_t SumInputs(Input in[2], int mask, double *outX, double *const outV[3], int given[3]) {
    for (int c = 0; c < 3; ++c)
        given[c] = (mask & kColumns[c]) != 0 && (in[0].col[c].n > 0 || in[1].col[c].n > 0);
    size_t at[2] = {0, 0}, rows = 0;
    double last = kAboveAll;
    while (at[0] < in[0].n || at[1] < in[1].n) {
        const bool a = at[0] < in[0].n, b = at[1] < in[1].n;
        double x;
        if (a && b && std::fabs(in[0].x[at[0]] - in[1].x[at[1]]) < kJoin) {
            x = in[0].x[at[0]++];
            ++at[1];
        } else if (a && (!b || in[0].x[at[0]] < in[1].x[at[1]])) {
            x = in[0].x[at[0]++];
        } else {
            x = in[1].x[at[1]++];
        }
        if (std::fabs(x - last) <= kJoin)
            continue;
        last = x;
        outX[rows] = x;
        for (int c = 0; c < 3; ++c) {
            if (!given[c])
                continue;
            double sum = 0.0;
            for (int i = 0; i < 2; ++i)
                if (in[i].col[c].n > 0)
                    sum += PointsAt(&in[i].col[c], x);
            outV[c][rows] = sum;
        }
        ++rows;
    }
    return rows;
}

// Scratch of a sum: on the stack for tables of the usual size.
struct Room {
    double local[2048];
    double *heap = nullptr;
    double *Take(size_t doubles) {
        if (doubles <= sizeof local / sizeof local[0])
            return local;
        return CMN_Alloc(&heap, doubles * sizeof(double)) ? heap : nullptr;
    }
    ~Room() { CMN_Free(heap); }
};

// Where a block curve's rows start: right after the record, aligned.
const size_t kBlockRows = (sizeof(CRV) + alignof(RNGP) - 1) / alignof(RNGP) * alignof(RNGP);

// Links `rows` rows holding x and the given columns into `curve`, taking
// each row from the pool when there is one, else allocating it; 0 when an
// allocation fails (the rows made so far stay linked).
int LinkRows(CRV *curve, RNGP *pool, size_t rows, const double *x, const double *const v[3],
             const int given[3]) {
    RNGP *tail = nullptr;
    for (size_t i = 0; i < rows; ++i) {
        RNGP *row = pool != nullptr ? &pool[i] : nullptr;
        if (row == nullptr && !CMN_Alloc(&row, sizeof(RNGP)))
            return 0;
        row->x = x[i];
        row->x_state = CMN_VALUE_NUMBER;
        for (int c = 0; c < 3; ++c)
            if (given[c])
                CRVOP_SetPoint(row, kColumns[c], x[i], v[c][i]);
        row->prev = tail;
        (tail != nullptr ? tail->next : curve->points) = row;
        tail = row;
    }
    return 1;
}

// The sum of CRVOP_Merge. With `block` the record and its rows come in one
// allocation.
CRV *MergeCurves(const CRV *a, const CRV *b, int mask, bool block) {
    CRV *result = nullptr;
    if (!block && !CMN_Alloc(&result, sizeof(CRV))) {
        MSG_Bug(3300);
        return nullptr;
    }
    const size_t rows[2] = {RowsWithX(a), RowsWithX(b)};
    const size_t most = rows[0] + rows[1];
    const size_t columns = ColumnsIn(mask);
    Room room;
    double *at = room.Take(InputRoom(rows[0], mask) + InputRoom(rows[1], mask) +
                           most * (1 + columns));
    bool failed = at == nullptr;
    if (!failed) {
        Input in[2];
        CurveInput(a, rows[0], mask, at, &in[0]);
        at += InputRoom(rows[0], mask);
        CurveInput(b, rows[1], mask, at, &in[1]);
        at += InputRoom(rows[1], mask);
        double *outX = at, *outV[3] = {nullptr, nullptr, nullptr};
        at += most;
        for (int c = 0; c < 3; ++c)
            if ((mask & kColumns[c]) != 0) {
                outV[c] = at;
                at += most;
            }
        int given[3];
        const size_t n = SumInputs(in, mask, outX, outV, given);
        RNGP *pool = nullptr;
        if (block) {
            failed = !CMN_Alloc(&result, kBlockRows + n * sizeof(RNGP));
            if (!failed) {
                result->storage = CRV_ONE_BLOCK;
                pool = reinterpret_cast<RNGP *>(reinterpret_cast<char *>(result) + kBlockRows);
            }
        }
        failed = failed || !LinkRows(result, pool, n, outX, outV, given);
    }
    if (failed) {
        MSG_Bug(3300);
        CRV_Free(result);
        return nullptr;
    }
    return result;
}

RNGP s_zeroRows[2];
CRV s_zero;
RNGP s_twoRows[2];
CRV s_two;

}  // namespace

const RNGP *CRVOP_FirstPoint(const RNGP *row, int column, double *x, double *value) {
    return IsColumn(column) ? Seek(row, false, column, x, value) : nullptr;
}

const RNGP *CRVOP_NextPoint(const RNGP *row, int column, double *x, double *value) {
    return row != nullptr && IsColumn(column) ? Seek(row->next, false, column, x, value)
                                              : nullptr;
}

const RNGP *CRVOP_PrevPoint(const RNGP *row, int column, double *x, double *value) {
    return row != nullptr && IsColumn(column) ? Seek(row->prev, true, column, x, value)
                                              : nullptr;
}

const RNGP *CRVOP_GetPoint(const RNGP *row, int column, double *x, double *value) {
    if (row == nullptr || !IsColumn(column))
        return nullptr;
    return Seek(row, false, column, x, value) == row ? row : nullptr;
}

const RNGP *CRVOP_LastPoint(const RNGP *row, int column, double *x, double *value) {
    return IsColumn(column) ? Seek(Tail(row), true, column, x, value) : nullptr;
}

const RNGP *CRVOP_FirstX(const RNGP *row, double *x) {
    return Seek(row, false, kXOnly, x, nullptr);
}

const RNGP *CRVOP_NextX(const RNGP *row, double *x) {
    return row != nullptr ? Seek(row->next, false, kXOnly, x, nullptr) : nullptr;
}

const RNGP *CRVOP_PrevX(const RNGP *row, double *x) {
    return row != nullptr ? Seek(row->prev, true, kXOnly, x, nullptr) : nullptr;
}

const RNGP *CRVOP_GetX(const RNGP *row, double *x) {
    if (row == nullptr)
        return nullptr;
    return Seek(row, false, kXOnly, x, nullptr) == row ? row : nullptr;
}

const RNGP *CRVOP_LastX(const RNGP *row, double *x) {
    return Seek(Tail(row), true, kXOnly, x, nullptr);
}

int CRVOP_CountPoints(const CRV *curve, int column) {
    if (curve == nullptr || !IsColumn(column))
        return 0;
    int n = 0;
    for (const RNGP *r = CRVOP_FirstPoint(curve->points, column, nullptr, nullptr); r != nullptr;
         r = CRVOP_NextPoint(r, column, nullptr, nullptr))
        ++n;
    return n;
}

int CRVOP_IsTooShort(const CRV *curve, int column) {
    if (curve == nullptr || !IsColumn(column))
        return 1;
    const RNGP *first = CRVOP_FirstPoint(curve->points, column, nullptr, nullptr);
    return first == nullptr || CRVOP_NextPoint(first, column, nullptr, nullptr) == nullptr;
}

int CRVOP_GetRngColumn(const RNG *range, int corner, double *out) {
    MSG_ASSERT(out != nullptr);
    if (range == nullptr)
        return 0;
    switch (corner) {
    case CRVOP_TYP:
        if (!Given(range->typ_state))
            return 0;
        *out = range->typ;
        return 1;
    case CRVOP_MIN:
        if (!Given(range->min_state))
            return 0;
        *out = range->min;
        return 1;
    case CRVOP_MAX:
        if (!Given(range->max_state))
            return 0;
        *out = range->max;
        return 1;
    default:
        return 0;
    }
}

void CRVOP_SetPoint(RNGP *row, int column, double x, double value) {
    MSG_ASSERT(row != nullptr);
    row->x = x;
    row->x_state = CMN_VALUE_NUMBER;
    switch (column) {
    case CRVOP_TYP:
        row->typ = value;
        row->typ_state = CMN_VALUE_NUMBER;
        break;
    case CRVOP_MIN:
        row->min = value;
        row->min_state = CMN_VALUE_NUMBER;
        break;
    case CRVOP_MAX:
        row->max = value;
        row->max_state = CMN_VALUE_NUMBER;
        break;
    default:
        break;
    }
}

void CRVOP_ClearRow(RNGP *row) {
    MSG_ASSERT(row != nullptr);
    row->x_state = row->typ_state = row->min_state = row->max_state = CMN_VALUE_ABSENT;
}

int CRVOP_IsOpenType(int modelType) {
    return modelType >= MDL_TYPE_OPEN_DRAIN && modelType <= MDL_TYPE_IO_OPEN_SOURCE;
}

double CRVOP_Abs(double x) { return std::fabs(x); }

const char *CRVOP_ColumnName(int column) {
    switch (column) {
    case CRVOP_TYP:
        return "TYP";
    case CRVOP_MIN:
        return "MIN";
    case CRVOP_MAX:
        return "MAX";
    default:
        return "UNK";
    }
}

void CRVOP_ShiftX(CRV *curve, double dx) {
    if (curve == nullptr)
        return;
    for (RNGP *r = curve->points; r != nullptr; r = r->next)
        if (r->x_state != CMN_VALUE_ABSENT)
            r->x += dx;
}

void CRVOP_NegateX(CRV *curve) {
    if (curve == nullptr)
        return;
    for (RNGP *r = curve->points; r != nullptr; r = r->next)
        if (r->x_state != CMN_VALUE_ABSENT)
            r->x = -r->x;
}

RNGP *CRVOP_Reverse(RNGP *head) {
    RNGP *last = nullptr;
    for (RNGP *r = head; r != nullptr;) {
        RNGP *next = r->next;
        r->next = r->prev;
        r->prev = next;
        last = r;
        r = next;
    }
    return last;
}

int CRVOP_Direction(const RNGP *row) {
    double x1 = 0.0, x2 = 0.0;
    const RNGP *first = CRVOP_FirstX(row, &x1);
    while (first != nullptr) {
        const RNGP *second = CRVOP_NextX(first, &x2);
        if (second == nullptr)
            return 0;
        if (x2 != x1)
            return x1 > x2 ? -1 : 1;
        first = second;
    }
    return 0;
}

int CRVOP_Interpolate(const RNGP **cursor, int direction, double x, int column, double *out) {
    MSG_ASSERT(out != nullptr);
    if (cursor == nullptr || *cursor == nullptr || direction == 0)
        return 0;
    Span s;
    if (!IsColumn(column) || !SpanStart(&s, *cursor, false, column)) {
        *cursor = nullptr;
        return 0;
    }
    *out = SpanValue(&s, false, column, direction, x);
    *cursor = s.prev;
    return 1;
}

int CRVOP_ValueAt(const CRV *curve, double x, int column, double *out) {
    if (curve == nullptr)
        return 0;
    int direction = CRVOP_Direction(curve->points);
    if (direction == 0)
        return 0;
    const RNGP *cursor = curve->points;
    return CRVOP_Interpolate(&cursor, direction, x, column, out);
}

int CRVOP_SumAt(const RNGP **cursorA, const RNGP **cursorB, int direction, double x,
                int column, RNGP *row) {
    MSG_ASSERT(row != nullptr);
    double a = 0.0, b = 0.0;
    int hasA = CRVOP_Interpolate(cursorA, direction, x, column, &a);
    int hasB = CRVOP_Interpolate(cursorB, direction, x, column, &b);
    if (!hasA && !hasB)
        return 0;
    CRVOP_SetPoint(row, column, x, (hasA ? a : 0.0) + (hasB ? b : 0.0));
    return 1;
}

int CRVOP_SumAllAt(const CRV *a, const CRV *b, double x, RNGP *row) {
    MSG_ASSERT(row != nullptr);
    int stored = 0;
    for (int column : kColumns) {
        double va = 0.0, vb = 0.0;
        int hasA = CRVOP_ValueAt(a, x, column, &va);
        int hasB = CRVOP_ValueAt(b, x, column, &vb);
        if (hasA || hasB) {
            CRVOP_SetPoint(row, column, x, (hasA ? va : 0.0) + (hasB ? vb : 0.0));
            stored = 1;
        }
    }
    return stored;
}

CRV *CRVOP_Merge(const CRV *a, const CRV *b, int mask) { return MergeCurves(a, b, mask, false); }

CRV *CRVOP_MergeBlock(const CRV *a, const CRV *b, int mask) {
    return MergeCurves(a, b, mask, true);
}

void CRVOP_FreeBlock(CRV *curve) { CRV_Free(curve); }

namespace {

// sum = a + b, with a either the sum itself (flat) or a curve.
int SumInto(CRVOP_SUM *sum, const CRV *a, bool aIsSum, const CRV *b) {
    const size_t rowsA = aIsSum ? sum->rows : RowsWithX(a), rowsB = RowsWithX(b);
    const size_t most = rowsA + rowsB;
    double *out = nullptr;
    Room room;
    double *at = room.Take(InputRoom(rowsA, sum->column) + InputRoom(rowsB, sum->column));
    if (at == nullptr || !CMN_Alloc(&out, 2 * (most > 0 ? most : 1) * sizeof(double))) {
        MSG_Bug(3300);
        return 0;
    }
    Input in[2];
    if (aIsSum)
        SumInput(sum, at, &in[0]);
    else
        CurveInput(a, rowsA, sum->column, at, &in[0]);
    CurveInput(b, rowsB, sum->column, at + InputRoom(rowsA, sum->column), &in[1]);
    double *outV[3] = {out + most, out + most, out + most};
    int given[3];
    const size_t rows = SumInputs(in, sum->column, out, outV, given);
    CMN_Free(sum->x);
    sum->x = out;
    sum->value = out + most;
    sum->rows = rows;
    sum->given = given[0] || given[1] || given[2];
    return 1;
}

}  // namespace

int CRVOP_SumStart(CRVOP_SUM *sum, const CRV *a, const CRV *b, int column) {
    MSG_ASSERT(sum != nullptr && IsColumn(column));
    *sum = CRVOP_SUM{nullptr, nullptr, 0, column, 0};
    return SumInto(sum, a, false, b);
}

int CRVOP_SumAdd(CRVOP_SUM *sum, const CRV *addend) {
    MSG_ASSERT(sum != nullptr && IsColumn(sum->column));
    return SumInto(sum, nullptr, true, addend);
}

CRV *CRVOP_SumCurve(const CRVOP_SUM *sum) {
    MSG_ASSERT(sum != nullptr);
    CRV *curve = nullptr;
    if (!CMN_Alloc(&curve, kBlockRows + sum->rows * sizeof(RNGP))) {
        MSG_Bug(3300);
        return nullptr;
    }
    curve->storage = CRV_ONE_BLOCK;
    const double *v[3] = {sum->value, sum->value, sum->value};
    const int given[3] = {sum->given && sum->column == CRVOP_TYP,
                          sum->given && sum->column == CRVOP_MIN,
                          sum->given && sum->column == CRVOP_MAX};
    LinkRows(curve, reinterpret_cast<RNGP *>(reinterpret_cast<char *>(curve) + kBlockRows),
             sum->rows, sum->x, v, given);
    return curve;
}

void CRVOP_SumFree(CRVOP_SUM *sum) {
    if (sum == nullptr)
        return;
    CMN_Free(sum->x);
    sum->x = sum->value = nullptr;
    sum->rows = 0;
    sum->given = 0;
}

void CRVOP_GetRails(const MDL *model, int corner, double *powerClamp, double *pullup,
                    double *gndClamp, double *pulldown) {
    MSG_ASSERT(model != nullptr && powerClamp != nullptr && pullup != nullptr &&
               gndClamp != nullptr && pulldown != nullptr);
    // Each source sets the rail to its typ, then to the corner, when given.
    auto take = [corner](const RNG *range, double *rail) {
        CRVOP_GetRngColumn(range, CRVOP_TYP, rail);
        CRVOP_GetRngColumn(range, corner, rail);
    };
    *powerClamp = *pullup = *gndClamp = *pulldown = 0.0;
    take(model->voltageRange, powerClamp);
    take(model->powerClampReference, powerClamp);
    take(model->voltageRange, pullup);
    take(model->pullupReference, pullup);
    take(model->gndClampReference, gndClamp);
    switch (model->Model_type) {
    case MDL_TYPE_INPUT_ECL:
    case MDL_TYPE_OUTPUT_ECL:
    case MDL_TYPE_IO_ECL:
    case MDL_TYPE_3STATE_ECL:
        take(model->voltageRange, pulldown);
        break;
    default:
        break;
    }
    take(model->pulldownReference, pulldown);
}

const CRV *CRVOP_ZeroCurve(void) {
    // Filled at each call, so what one caller did cannot reach the next.
    FillRow(&s_zeroRows[0], &s_zeroRows[1], nullptr, 0.0, 0.0);
    FillRow(&s_zeroRows[1], nullptr, &s_zeroRows[0], 1.0, 0.0);
    s_zero.points = s_zeroRows;
    return &s_zero;
}

const CRV *CRVOP_TwoPointCurve(double x1, double x2) {
    FillRow(&s_twoRows[0], &s_twoRows[1], nullptr, x1, 0.0);
    FillRow(&s_twoRows[1], nullptr, &s_twoRows[0], x2, 0.0);
    s_two.points = s_twoRows;
    return &s_two;
}
