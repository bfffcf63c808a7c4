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

// How the sum walks one input: in ascending x, from `head` through next or
// (for a falling input) through prev. An input whose x steps back somewhere
// is walked as a copy sorted by x (`sorted`, owned here).
struct View {
    const RNGP *head;
    bool back;
    RNGP *sorted;
    size_t rows;  // rows with x given: a bound on what the input adds to a sum
};

bool ByX(const RNGP &a, const RNGP &b) { return a.x < b.x; }

// Prepares the walk of one input; an input without two different x takes no
// part (head null). 0 when the sorted copy cannot be made.
int ViewOpen(const CRV *curve, View *v) {
    *v = View{nullptr, false, nullptr, 0};
    if (curve == nullptr)
        return 1;
    int direction = CRVOP_Direction(curve->points);
    if (direction == 0)
        return 1;
    v->back = direction < 0;
    v->head = v->back ? Tail(curve->points) : curve->points;
    // A table whose x zigzags would make the walk restart its cursors at
    // every step down; read it in order of x instead.
    size_t rows = 0;
    bool stepsBack = false;
    double last = 0.0;
    for (const RNGP *r = Seek(v->head, v->back, kXOnly, nullptr, nullptr); r != nullptr;
         r = Seek(Step(r, v->back), v->back, kXOnly, nullptr, nullptr)) {
        if (rows++ > 0 && r->x < last)
            stepsBack = true;
        last = r->x;
    }
    v->rows = rows;
    if (!stepsBack)
        return 1;
    if (!CMN_Alloc(&v->sorted, rows * sizeof(RNGP)))
        return 0;
    size_t n = 0;
    for (const RNGP *r = Seek(v->head, v->back, kXOnly, nullptr, nullptr); r != nullptr;
         r = Seek(Step(r, v->back), v->back, kXOnly, nullptr, nullptr))
        v->sorted[n++] = *r;
    std::stable_sort(v->sorted, v->sorted + n, ByX);
    for (size_t i = 0; i < n; ++i) {
        v->sorted[i].prev = i > 0 ? &v->sorted[i - 1] : nullptr;
        v->sorted[i].next = i + 1 < n ? &v->sorted[i + 1] : nullptr;
    }
    v->head = v->sorted;
    v->back = false;
    return 1;
}

const RNGP *ViewNextX(const View &v, const RNGP *row) {
    return Seek(Step(row, v.back), v.back, kXOnly, nullptr, nullptr);
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

// Where a block curve's rows start: right after the record, aligned.
const size_t kBlockRows = (sizeof(CRV) + alignof(RNGP) - 1) / alignof(RNGP) * alignof(RNGP);

// The sum of CRVOP_Merge. With `block` the record and every row it can need
// (no more than the inputs have x values) come in one allocation.
CRV *MergeCurves(const CRV *a, const CRV *b, int mask, bool block) {
    View views[2] = {};
    CRV *result = nullptr;
    RNGP *pool = nullptr;
    size_t pooled = 0;
    bool failed = !ViewOpen(a, &views[0]) || !ViewOpen(b, &views[1]);
    if (!failed && block) {
        pooled = views[0].rows + views[1].rows;
        failed = !CMN_Alloc(&result, kBlockRows + pooled * sizeof(RNGP));
        if (!failed)
            pool = reinterpret_cast<RNGP *>(reinterpret_cast<char *>(result) + kBlockRows);
    } else if (!failed) {
        failed = !CMN_Alloc(&result, sizeof(CRV));
    }
    // Per input and column: whether a row gives the column, and its span.
    int has[2][3] = {};
    Span spans[2][3];
    const RNGP *pending[2] = {nullptr, nullptr};
    for (int i = 0; !failed && i < 2; ++i)
        if (views[i].head != nullptr)
            pending[i] = Seek(views[i].head, views[i].back, kXOnly, nullptr, nullptr);
    double last = kAboveAll;
    RNGP *tail = nullptr;
    size_t used = 0;
    while (!failed && (pending[0] != nullptr || pending[1] != nullptr)) {
        double x;
        if (pending[0] != nullptr && pending[1] != nullptr &&
            std::fabs(pending[0]->x - pending[1]->x) < kJoin) {
            x = pending[0]->x;
            pending[0] = ViewNextX(views[0], pending[0]);
            pending[1] = ViewNextX(views[1], pending[1]);
        } else {
            const bool first = pending[1] == nullptr ||
                               (pending[0] != nullptr && pending[0]->x < pending[1]->x);
            const int i = first ? 0 : 1;
            x = pending[i]->x;
            pending[i] = ViewNextX(views[i], pending[i]);
        }
        if (std::fabs(x - last) <= kJoin)
            continue;
        RNGP *row = nullptr;
        if (pool != nullptr) {
            MSG_ASSERT(used < pooled);
            row = &pool[used++];
        } else if (!CMN_Alloc(&row, sizeof(RNGP))) {
            failed = true;
            break;
        }
        row->x = x;
        row->x_state = CMN_VALUE_NUMBER;
        if (x < last || tail == nullptr) {
            for (int i = 0; i < 2; ++i)
                for (int c = 0; c < 3; ++c)
                    has[i][c] = views[i].head != nullptr &&
                                SpanStart(&spans[i][c], views[i].head, views[i].back, kColumns[c]);
        }
        last = x;
        for (int c = 0; c < 3; ++c) {
            if ((mask & kColumns[c]) == 0 || (!has[0][c] && !has[1][c]))
                continue;
            double sum = 0.0;
            for (int i = 0; i < 2; ++i)
                if (has[i][c])
                    sum += SpanValue(&spans[i][c], views[i].back, kColumns[c], 1, x);
            CRVOP_SetPoint(row, kColumns[c], x, sum);
        }
        row->prev = tail;
        if (tail == nullptr)
            result->points = row;
        else
            tail->next = row;
        tail = row;
    }
    CMN_Free(views[0].sorted);
    CMN_Free(views[1].sorted);
    if (failed) {
        MSG_Bug(3300);
        if (block)
            CMN_Free(result);
        else
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

void CRVOP_FreeBlock(CRV *curve) { CMN_Free(curve); }

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
