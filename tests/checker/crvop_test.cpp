// Point-list arithmetic: walkers, direction, interpolation, sums, rails.
#include "CheckerTest.h"
#include "CurveTest.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "IbisParser/crv.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/rng.h"

namespace {

using CrvopTest = CheckerTest;

// A table of rows "x typ min max" joined by "; " (none: a null table).
CRV *Curve(const std::string &rows) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < rows.size();) {
        const size_t end = std::min(rows.find("; ", at), rows.size());
        lines.push_back(rows.substr(at, end - at));
        at = end + 2;
    }
    std::vector<const char *> text;
    for (const std::string &line : lines)
        text.push_back(line.c_str());
    return MakeCurve(text);
}

TEST_F(CrvopTest, WalkersSkipRowsWithoutXOrColumn) {
    CRV *c = Curve("NA 1 1 1; 0 NA 4 4; 1 5; 2 6 NA; 3");
    Output();
    const RNGP *r0 = c->points->next, *r1 = r0->next, *r2 = r1->next, *r3 = r2->next;
    double x = -9, v = -9;
    EXPECT_EQ(CRVOP_FirstPoint(c->points, CRVOP_TYP, &x, &v), r1);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(v, 5.0);
    EXPECT_EQ(CRVOP_NextPoint(r1, CRVOP_TYP, &x, &v), r2);
    EXPECT_EQ(v, 6.0);
    EXPECT_EQ(CRVOP_NextPoint(r2, CRVOP_TYP, &x, &v), nullptr);
    EXPECT_EQ(CRVOP_LastPoint(c->points, CRVOP_TYP, &x, &v), r2);
    EXPECT_EQ(CRVOP_PrevPoint(r2, CRVOP_TYP, &x, &v), r1);
    EXPECT_EQ(CRVOP_PrevPoint(r1, CRVOP_TYP, &x, &v), nullptr);
    EXPECT_EQ(CRVOP_GetPoint(r0, CRVOP_TYP, &x, &v), nullptr);
    EXPECT_EQ(CRVOP_GetPoint(r0, CRVOP_MIN, &x, &v), r0);
    EXPECT_EQ(v, 4.0);
    EXPECT_EQ(CRVOP_FirstPoint(c->points, 3, &x, &v), nullptr);  // selects nothing
    EXPECT_EQ(CRVOP_FirstX(c->points, &x), r0);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(CRVOP_LastX(r1, &x), r3);
    EXPECT_EQ(CRVOP_PrevX(r0, &x), nullptr);
    EXPECT_EQ(CRVOP_NextX(r3, &x), nullptr);
    EXPECT_EQ(CRVOP_GetX(c->points, &x), nullptr);
    EXPECT_EQ(CRVOP_CountPoints(c, CRVOP_TYP), 2);
    EXPECT_EQ(CRVOP_CountPoints(c, CRVOP_MIN), 1);
    EXPECT_EQ(CRVOP_IsTooShort(c, CRVOP_TYP), 0);
    EXPECT_EQ(CRVOP_IsTooShort(c, CRVOP_MIN), 1);
    EXPECT_EQ(CRVOP_IsTooShort(nullptr, CRVOP_TYP), 1);
    CRV_Free(c);
}

TEST_F(CrvopTest, DirectionOfX) {
    const std::pair<const char *, int> cases[] = {
        {"0 0 0 0; 1 0 0 0", 1}, {"1 0 0 0; 1 0 0 0; 0 0 0 0", -1},
        {"NA 0 0 0; 5 0 0 0; NA 0 0 0; 6 0 0 0", 1}, {"1 0 0 0; 1 0 0 0", 0}, {"1 0 0 0", 0},
    };
    for (const auto &[rows, direction] : cases) {
        CRV *curve = Curve(rows);
        EXPECT_EQ(CRVOP_Direction(curve->points), direction) << rows;
        CRV_Free(curve);
    }
    EXPECT_EQ(CRVOP_Direction(nullptr), 0);
}

// One cursor carried from the head through targets in the direction of
// travel: each step's x, the value found (NAN: none), and the row index the
// cursor rests on after it (kNull: none, kAny: not checked).
constexpr int kNull = -1, kAny = -2;
struct Step {
    double x, value;
    int at = kAny;
};
struct Walk {
    const char *rows;
    int direction, column;
    std::vector<Step> steps;
};
const Walk kWalks[] = {
    // The cursor stays on the row before the current point, also past the ends.
    {"0 0 0 0; 1 1 NA 1; 2 4 4 4", 1, CRVOP_TYP, {{-1.0, -1.0, 0}, {1.5, 2.5, 0}, {3.0, 7.0, 1}}},
    {"0 0 0 0; 1 1 NA 1; 2 4 4 4", 1, CRVOP_MIN, {{1.0, 2.0}}},  // the row without min passed over
    {"0 0 0 0; 1 1 NA 1; 2 4 4 4", 0, CRVOP_TYP, {{1.0, NAN}}},
    {"2 4 4 4; 1 1 1 1; 0 0 0 0", -1, CRVOP_MAX, {{0.5, 0.5}}},
    {"0 NA 1 1; 1 NA 1 1", 1, CRVOP_TYP, {{0.5, NAN, kNull}}},
    {"0 0 0 0; 1 1 1 1; 2 4 4 4", 1, CRVOP_TYP, {{-1.0, -1.0}, {0.5, 0.5}, {1.5, 2.5}, {3.0, 7.0}}},
    {"2 4 4 4; 1 1 1 1; 0 0 0 0", -1, CRVOP_TYP, {{3.0, 7.0}, {1.5, 2.5}, {0.5, 0.5}, {-1.0, -1.0}}},
    // Rows without x or without the column are passed over.
    {"NA 9 9 9; 2 4 4 4; 1.5 NA 0 0; 1 1 1 1; 0 0 0 0", -1, CRVOP_TYP, {{2.5, 5.5}, {0.5, 0.5}, {-2, -2}}},
    // Where no second x exists the value holds: a repeated last x (not a line
    // of slope 1e5), a single row giving the column, a repeated first x.
    {"-2 0 0 0; -1 5 5 5; -1 6 6 6", 1, CRVOP_TYP, {{0.0, 6.0}}},
    {"-2 0 0 0; -1 5 5 5; -1 6 6 6", 1, CRVOP_TYP, {{-1.0, 5.0}}},
    {"-2 0 0 0; -1 5 5 5; -1 6 6 6", 1, CRVOP_TYP, {{-1.5, 2.5}}},
    {"0 NA 0 0; 1 3 0 0; 2 NA 0 0", 1, CRVOP_TYP, {{10.0, 3.0}}},
    {"0 1 0 0; 0 2 0 0; 1 4 0 0", 1, CRVOP_TYP, {{-1.0, 1.0}}},
};

TEST_F(CrvopTest, InterpolateWalksACursor) {
    for (const Walk &w : kWalks) {
        CRV *curve = Curve(w.rows);
        const RNGP *cursor = curve->points;
        for (const Step &s : w.steps) {
            double v = 0;
            const int found = CRVOP_Interpolate(&cursor, w.direction, s.x, w.column, &v);
            EXPECT_EQ(found, !std::isnan(s.value)) << w.rows << " at " << s.x;
            if (found) {
                EXPECT_EQ(v, s.value) << w.rows << " at " << s.x;
            }
            const RNGP *at = s.at == kNull ? nullptr : curve->points;
            for (int i = 0; i < s.at; ++i)
                at = at->next;
            if (s.at != kAny) {
                EXPECT_EQ(cursor, at) << w.rows << " at " << s.x;
            }
        }
        CRV_Free(curve);
    }
    double v = 0;
    EXPECT_EQ(CRVOP_Interpolate(nullptr, 1, 1.0, CRVOP_TYP, &v), 0);
    CRV *falling = Curve("2 4 4 4; 1 1 1 1; 0 0 0 0");
    ASSERT_EQ(CRVOP_ValueAt(falling, 3.0, CRVOP_TYP, &v), 1);
    EXPECT_EQ(v, 7.0);
    CRV_Free(falling);
    Output();
}

// Sums of two tables: the rows of each (none: a null table), the columns
// summed, the sum.
struct MergeCase {
    const char *name, *a, *b;
    int mask;
    const char *sum;
};
const MergeCase kMerges[] = {
    {"x 1e-6 apart join", "0 1 1 1; 1 2 2 2", "1e-6 10 10 10; 1.000001 20 20 20",
     CRVOP_TYP, "0 10.99999 - -; 1 21.99999 - -"},
    {"falling plus rising", "5 5 5 5; 0 0 0 0", "0 0 0 0; 5 10 10 10", CRVOP_ALL, "0 0 0 0; 5 15 15 15"},
    {"union of x, extrapolated", "0 0 0 0; 2 2 2 2", "1 10 10 10; 3 30 30 30",
     CRVOP_TYP | CRVOP_MAX, "0 0 - 0; 1 11 - 11; 2 22 - 22; 3 33 - 33"},
    {"one row of a column is a constant", "0 0 7 0; 1 1 NA 1", "0 0 0 0; 2 0 0 0",
     CRVOP_ALL, "0 0 7 0; 1 1 7 1; 2 2 7 2"},
    {"rows of one x take no part", "1 5 5 5; 1 6 6 6", "0 0 0 0; 2 2 2 2", CRVOP_ALL, "0 0 0 0; 2 2 2 2"},
    {"column in a only, in neither", "0 1 1 NA; 1 2 2 NA", "0 0 NA NA; 1 1 NA NA",
     CRVOP_ALL, "0 1 1 -; 1 3 2 -"},
    {"repeated last x holds its value", "-2 0 0 0; -1 5 5 5; -1 6 6 6", "0 0 0 0; 1 0 0 0",
     CRVOP_TYP, "-2 0 - -; -1 5 - -; 0 6 - -; 1 6 - -"},
    {"rows without x are passed over", "0 0 0 0; NA 9 9 9; 1 1 1 1", "", CRVOP_MIN, "0 - 0 -; 1 - 1 -"},
    // The sum steps back with its input; each x reads the input from the
    // head, so at 1 the row of 10 (after the 2) is not reached yet.
    {"x that steps back is followed", "0 0 0 0; 2 2 2 2; 1 10 10 10; 3 3 3 3", "",
     CRVOP_TYP, "0 0 - -; 2 2 - -; 1 1 - -; 3 3 - -"},
    {"a falling input steps back from its tail", "3 3 3 3; 1 1 1 1; 2 20 20 20; 0 0 0 0", "0 0 0 0; 3 0 0 0",
     CRVOP_TYP, "0 0 - -; 2 20 - -; 1 10 - -; 3 3 - -"},
    {"x within 1e-5 of the last row is skipped, its value still read",
     "0 0 0 0; 1 1 1 1; 1.000001 5 5 5; 2 2 2 2", "", CRVOP_TYP, "0 0 - -; 1 1 - -; 2 2 - -"},
    {"a repeated x gives one row", "0 0 0 0; 1 1 1 1; 1 3 3 3; 2 4 4 4", "",
     CRVOP_TYP, "0 0 - -; 1 1 - -; 2 4 - -"},
    {"a join keeps the x of a", "1.000004 1 1 1; 2 2 2 2", "1 10 10 10; 2 20 20 20",
     CRVOP_TYP, "1.000004 11.00004 - -; 2 22 - -"},
    {"neither input", "", "", CRVOP_ALL, ""},
};

TEST_F(CrvopTest, MergeSumsTwoCurves) {
    for (const MergeCase &c : kMerges) {
        CRV *a = Curve(c.a), *b = Curve(c.b);
        std::string before = CurveText(a) + "|" + CurveText(a, true) + "|" + CurveText(b);
        CRV *sum = CRVOP_Merge(a, b, c.mask);
        EXPECT_EQ(CurveText(sum), c.sum) << c.name;
        EXPECT_TRUE(LinksAgree(sum)) << c.name;
        CRV *block = CRVOP_MergeBlock(a, b, c.mask);  // the same rows in one allocation
        EXPECT_EQ(CurveText(block), c.sum) << c.name;
        EXPECT_TRUE(LinksAgree(block)) << c.name;
        CRVOP_FreeBlock(block);
        // Inputs as found, links both ways.
        EXPECT_EQ(CurveText(a) + "|" + CurveText(a, true) + "|" + CurveText(b), before) << c.name;
        CRV_Free(sum);
        CRV_Free(a);
        CRV_Free(b);
    }
    EXPECT_EQ(Output(), "");
}

// The sum as its steps read, on copies of the rows: a falling input reversed,
// both walked in list order, each column's cursor back at the head whenever x
// steps below the last row, each value read by CRVOP_Interpolate from its
// cursor. Rows are x plus typ, min, max with NAN where absent.
namespace literal {

using Row = std::array<double, 4>;
double RNGP::*const kValue[4] = {&RNGP::x, &RNGP::typ, &RNGP::min, &RNGP::max};
int RNGP::*const kState[4] = {&RNGP::x_state, &RNGP::typ_state, &RNGP::min_state, &RNGP::max_state};

const RNGP *NextX(const RNGP *r) {
    while (r != nullptr && r->x_state != CMN_VALUE_NUMBER)
        r = r->next;
    return r;
}

// A row of the list: NAN is an "NA" x or an absent value.
RNGP RowOf(const Row &r) {
    RNGP p{};
    for (int c = 0; c < 4; ++c) {
        p.*kValue[c] = std::isnan(r[c]) ? 0.0 : r[c];
        p.*kState[c] = !std::isnan(r[c]) ? CMN_VALUE_NUMBER : c == 0 ? CMN_VALUE_NA : CMN_VALUE_ABSENT;
    }
    return p;
}

// Rows of a curve in the order the sum reads them (none: no part).
std::vector<RNGP> Reading(const std::vector<Row> &rows) {
    const Row *first = nullptr;
    int direction = 0;
    for (const Row &r : rows) {
        if (std::isnan(r[0]) || direction != 0)
            continue;
        if (first == nullptr)
            first = &r;
        else if (r[0] != (*first)[0])
            direction = (*first)[0] > r[0] ? -1 : 1;
    }
    if (direction == 0)
        return {};
    std::vector<RNGP> list;
    for (const Row &r : rows)
        list.push_back(RowOf(r));
    if (direction < 0)
        std::reverse(list.begin(), list.end());
    for (size_t i = 0; i + 1 < list.size(); ++i)
        list[i].next = &list[i + 1];
    return list;
}

std::vector<Row> Merge(const std::vector<Row> &a, const std::vector<Row> &b, int mask) {
    std::vector<RNGP> in[2] = {Reading(a), Reading(b)};
    const RNGP *head[2], *pending[2], *cursor[2][3];
    for (int i = 0; i < 2; ++i)
        head[i] = pending[i] = in[i].empty() ? nullptr : NextX(&in[i][0]);
    const int columns[3] = {CRVOP_TYP, CRVOP_MIN, CRVOP_MAX};
    std::vector<Row> out;
    double last = 3.4028234663852886e38;
    while (pending[0] != nullptr || pending[1] != nullptr) {
        const bool join = pending[0] != nullptr && pending[1] != nullptr &&
                          std::fabs(pending[0]->x - pending[1]->x) < 1e-5;
        const int i = join || pending[1] == nullptr ||
                              (pending[0] != nullptr && pending[0]->x < pending[1]->x) ? 0 : 1;
        const double x = pending[i]->x;
        for (int k = 0; k < 2; ++k)
            if (k == i || join)
                pending[k] = NextX(pending[k]->next);
        if (std::fabs(x - last) <= 1e-5)
            continue;
        if (x < last)
            for (int k = 0; k < 2; ++k)
                std::fill(cursor[k], cursor[k] + 3, head[k]);
        last = x;
        Row row = {x, NAN, NAN, NAN};
        for (int c = 0; c < 3; ++c) {
            if ((mask & columns[c]) == 0)
                continue;
            double v[2] = {0.0, 0.0};
            const int hasA = CRVOP_Interpolate(&cursor[0][c], 1, x, columns[c], &v[0]);
            const int hasB = CRVOP_Interpolate(&cursor[1][c], 1, x, columns[c], &v[1]);
            if (hasA || hasB)
                row[c + 1] = v[0] + v[1];
        }
        out.push_back(row);
    }
    return out;
}

}  // namespace literal

// A random table: x on a coarse grid (so that values repeat, join within
// 1e-5 and step back), now and then "NA" for x or an absent cell.
std::vector<literal::Row> RandomRows(std::mt19937 &rng) {
    std::uniform_int_distribution<int> rows(0, 9), grid(-6, 6), pick(0, 19), value(-50, 50),
        many(10, 300);
    std::vector<literal::Row> out(static_cast<size_t>(pick(rng) == 0 ? many(rng) : rows(rng)));
    const bool falling = pick(rng) < 6, zigzag = pick(rng) < 10;
    for (size_t i = 0; i < out.size(); ++i) {
        const double step = static_cast<double>(i) - 3 + (zigzag ? grid(rng) * 0.5 : 0.0);
        double x = falling ? -step : step;
        if (pick(rng) == 0)
            x += 4e-6;
        out[i][0] = pick(rng) == 0 ? NAN : x;
        for (int c = 1; c < 4; ++c)
            out[i][c] = pick(rng) < 3 ? NAN : value(rng) * 0.1;
    }
    return out;
}

CRV *CurveOf(const std::vector<literal::Row> &rows) {
    if (rows.empty())
        return nullptr;
    CRV *c = nullptr;
    CMN_Alloc(&c, sizeof(CRV));
    RNGP *tail = nullptr;
    for (const literal::Row &r : rows) {
        RNGP *p = nullptr;
        RNGP_Create(&p);
        *p = literal::RowOf(r);
        p->prev = tail;
        (tail != nullptr ? tail->next : c->points) = p;
        tail = p;
    }
    return c;
}

std::vector<literal::Row> RowsOf(const CRV *c) {
    std::vector<literal::Row> out;
    for (const RNGP *r = c != nullptr ? c->points : nullptr; r != nullptr; r = r->next) {
        literal::Row row;
        for (int k = 0; k < 4; ++k)
            row[k] = r->*literal::kState[k] == CMN_VALUE_NUMBER ? r->*literal::kValue[k] : NAN;
        out.push_back(row);
    }
    return out;
}

bool Same(const std::vector<literal::Row> &a, const std::vector<literal::Row> &b) {
    using literal::Row;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Row &p, const Row &q) {
        for (int c = 0; c < 4; ++c)
            if (p[c] != q[c] && !(std::isnan(p[c]) && std::isnan(q[c])))
                return false;
        return true;
    });
}

// Sums of random tables, and chains of them kept flat, against the steps.
TEST_F(CrvopTest, SumsFollowTheStepsOnRandomTables) {
    std::mt19937 rng(26);
    for (int round = 0; round < 4000; ++round) {
        const std::vector<literal::Row> a = RandomRows(rng), b = RandomRows(rng);
        const int mask = 1 + round % 7;
        CRV *ca = CurveOf(a), *cb = CurveOf(b);
        const std::vector<literal::Row> expected = literal::Merge(a, b, mask);
        CRV *sum = CRVOP_Merge(ca, cb, mask);
        CRV *block = CRVOP_MergeBlock(ca, cb, mask);
        EXPECT_TRUE(Same(RowsOf(sum), expected)) << round << ": " << CurveText(sum);
        EXPECT_TRUE(Same(RowsOf(block), expected)) << round;
        EXPECT_TRUE(LinksAgree(sum) && LinksAgree(block)) << round;
        EXPECT_TRUE(Same(RowsOf(ca), a) && Same(RowsOf(cb), b)) << round;
        // One column summed on: the flat sum against chained merges.
        const int column = 1 << (round % 3);
        const std::vector<literal::Row> c = RandomRows(rng);
        CRV *cc = CurveOf(c);
        CRVOP_SUM flat{};
        ASSERT_EQ(CRVOP_SumStart(&flat, ca, cb, column), 1);
        ASSERT_EQ(CRVOP_SumAdd(&flat, cc), 1);
        ASSERT_EQ(CRVOP_SumAdd(&flat, ca), 1);
        CRV *flatCurve = CRVOP_SumCurve(&flat);
        const std::vector<literal::Row> chained = literal::Merge(
            literal::Merge(literal::Merge(a, b, column), c, column), a, column);
        EXPECT_TRUE(Same(RowsOf(flatCurve), chained)) << round << ": " << CurveText(flatCurve);
        CRVOP_FreeBlock(flatCurve);
        CRVOP_SumFree(&flat);
        CRVOP_FreeBlock(block);
        for (CRV *curve : {sum, ca, cb, cc})
            CRV_Free(curve);
    }
    EXPECT_EQ(Output(), "");
}

TEST_F(CrvopTest, MergeWithItselfDoublesAndZeroCurveStaysZero) {
    CRV *c = Curve("3 3 3 3; 1 1 2 3; 0 0 0 0");
    CRV *twice = CRVOP_Merge(c, c, CRVOP_ALL);
    EXPECT_EQ(CurveText(twice), "0 0 0 0; 1 2 4 6; 3 6 6 6");
    EXPECT_EQ(CurveText(c), "3 3 3 3; 1 1 2 3; 0 0 0 0");
    const CRV *zero = CRVOP_ZeroCurve();
    CRV *copy = CRVOP_Merge(c, zero, CRVOP_TYP);
    EXPECT_EQ(CurveText(copy), "0 0 - -; 1 1 - -; 3 3 - -");
    CRVOP_NegateX(copy);
    CRVOP_ShiftX(copy, 2.0);
    EXPECT_EQ(CurveText(copy), "2 0 - -; 1 1 - -; -1 3 - -");
    CRV *back = CRVOP_Merge(copy, zero, CRVOP_TYP);
    EXPECT_EQ(CurveText(back), "-1 3 - -; 0 2 - -; 1 1 - -; 2 0 - -");
    EXPECT_EQ(CurveText(CRVOP_ZeroCurve()), "0 0 0 0; 1 0 0 0");
    EXPECT_EQ(CRVOP_ZeroCurve(), zero);
    EXPECT_EQ(CurveText(CRVOP_TwoPointCurve(-1, 4)), "-1 0 0 0; 4 0 0 0");
    for (CRV *curve : {back, copy, twice, c})
        CRV_Free(curve);
}

// A curve says how it was allocated, so either free function releases any
// kind whole: under ASan a wrong or partial free fails here.
TEST_F(CrvopTest, EitherFreeReleasesEveryKindOfCurve) {
    const char kSum[] = "0 1 - -; 2 6 - -; 1 3.5 - -", kTable[] = "0 0 0 0; 2 4 4 4; 1 2 2 2";
    const struct {
        const char *name;
        CRV *(*make)(const CRV *a, const CRV *b);
        const char *rows;
    } kinds[] = {
        {"rows apart", [](const CRV *a, const CRV *b) { return CRVOP_Merge(a, b, CRVOP_TYP); }, kSum},
        {"one block", [](const CRV *a, const CRV *b) { return CRVOP_MergeBlock(a, b, CRVOP_TYP); }, kSum},
        {"running sum", [](const CRV *a, const CRV *b) {
             CRVOP_SUM sum{};
             CRVOP_SumStart(&sum, a, b, CRVOP_TYP);
             CRV *curve = CRVOP_SumCurve(&sum);
             CRVOP_SumFree(&sum);
             return curve;
         }, kSum},
        {"copy of a table", [](const CRV *a, const CRV *) {
             CRV *copy = nullptr;
             CRV_CopyPoints(a, &copy);
             return copy;
         }, kTable},
        {"table as read, its x index built", [](const CRV *, const CRV *) {
             CRV *table = nullptr;
             CRV_Init("[Pulldown]", "Pulldown", &table);
             for (const char *line : {"0 0 0 0", "2 4 4 4", "1 2 2 2"})
                 CRV_ParseLine(line, table, "Pulldown");
             return table;
         }, kTable},
    };
    CRV *a = Curve(kTable), *b = Curve("0 1 1 1; 2 2 2 2");
    for (const auto &k : kinds) {
        for (void (*release)(CRV *) : {CRV_Free, CRVOP_FreeBlock}) {
            CRV *curve = k.make(a, b);
            ASSERT_NE(curve, nullptr) << k.name;
            EXPECT_EQ(CurveText(curve), k.rows) << k.name;
            release(curve);
        }
    }
    CRV_Free(a);
    CRV_Free(b);
    std::string notes;  // of each table read, its x turning back
    for (const char *column : {"Voltage", "Typical", "Minimum", "Maximum"})
        notes += std::string("NOTE (line    0) - Pulldown ") + column + " data is non-monotonic\n";
    EXPECT_EQ(Output(), notes + notes);
}

TEST_F(CrvopTest, ShiftNegateReverseAndRows) {
    CRV *c = Curve("1 1 1 1; NA 2 2 2; 3 3 3 3");
    c->points->next->next->x_state = CMN_VALUE_ABSENT;
    CRVOP_ShiftX(c, 1.0);
    CRVOP_NegateX(c);
    EXPECT_EQ(CurveText(c), "-2 1 1 1; NA 2 2 2; - 3 3 3");
    EXPECT_EQ(c->points->next->x, -1.0);  // an "NA" x moves too
    c->points = CRVOP_Reverse(c->points);
    EXPECT_EQ(CurveText(c), "- 3 3 3; NA 2 2 2; -2 1 1 1");
    EXPECT_TRUE(LinksAgree(c));
    c->points = CRVOP_Reverse(c->points);
    EXPECT_EQ(CurveText(c), "-2 1 1 1; NA 2 2 2; - 3 3 3");
    RNGP *row = c->points;
    CRVOP_ClearRow(row);
    EXPECT_EQ(RowText(row), "- - - -");
    CRVOP_SetPoint(row, CRVOP_MIN, 5.0, 6.0);
    EXPECT_EQ(RowText(row), "5 - 6 -");
    CRVOP_SetPoint(row, 3, 7.0, 8.0);
    EXPECT_EQ(RowText(row), "7 - 6 -");
    CRV_Free(c);

    RNGP sum{};
    CRV *a = Curve("0 0 0 NA; 1 1 1 NA"), *b = Curve("0 1 NA NA; 1 1 NA NA");
    EXPECT_EQ(CRVOP_SumAllAt(a, b, 2.0, &sum), 1);
    EXPECT_EQ(RowText(&sum), "2 3 2 -");
    const RNGP *ca = a->points, *cb = b->points;
    RNGP one{};
    EXPECT_EQ(CRVOP_SumAt(&ca, &cb, 1, 0.5, CRVOP_MAX, &one), 0);
    EXPECT_EQ(ca, nullptr);  // no row gives the column
    ca = a->points;
    cb = b->points;
    EXPECT_EQ(CRVOP_SumAt(&ca, &cb, 1, 0.5, CRVOP_TYP, &one), 1);
    EXPECT_EQ(RowText(&one), "0.5 1.5 - -");
    CRV_Free(a);
    CRV_Free(b);

    const std::pair<int, const char *> names[] = {
        {CRVOP_TYP, "TYP"}, {CRVOP_MIN, "MIN"}, {CRVOP_MAX, "MAX"}, {0, "UNK"}};
    for (const auto &[column, name] : names)
        EXPECT_STREQ(CRVOP_ColumnName(column), name);
    const std::pair<int, int> open[] = {{MDL_TYPE_3STATE, 0}, {MDL_TYPE_OPEN_DRAIN, 1},
                                        {MDL_TYPE_IO_OPEN_SOURCE, 1}, {MDL_TYPE_INPUT_ECL, 0}};
    for (const auto &[type, isOpen] : open)
        EXPECT_EQ(CRVOP_IsOpenType(type), isOpen) << type;
    EXPECT_EQ(CRVOP_Abs(-2.5), 2.5);
}

// Rails of each model type and corner: power clamp, pullup, ground clamp, pulldown.
TEST_F(CrvopTest, RailsInSourceOrder) {
    RNG range{3.3, CMN_VALUE_NUMBER, 3.0, CMN_VALUE_NUMBER, 3.6, CMN_VALUE_NUMBER};
    RNG pullup{2.5, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_NA, 2.7, CMN_VALUE_NUMBER};
    RNG gnd{0.1, CMN_VALUE_NUMBER, 0.2, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_ABSENT};
    RNG pulldown{0.0, CMN_VALUE_NA, -5.0, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_ABSENT};
    MDL m{};
    m.voltageRange = &range;
    m.pullupReference = &pullup;
    m.gndClampReference = &gnd;
    const struct {
        int type, corner;
        bool withPulldown;
        std::array<double, 4> rails;
    } cases[] = {
        {MDL_TYPE_OUTPUT, CRVOP_TYP, false, {3.3, 2.5, 0.1, 0.0}},
        {MDL_TYPE_OUTPUT, CRVOP_MIN, false, {3.0, 2.5, 0.2, 0.0}},
        {MDL_TYPE_OUTPUT, CRVOP_MAX, false, {3.6, 2.7, 0.1, 0.0}},
        {MDL_TYPE_OUTPUT_ECL, CRVOP_MIN, false, {3.0, 2.5, 0.2, 3.0}},
        {MDL_TYPE_3STATE_ECL, CRVOP_MAX, true, {3.6, 2.7, 0.1, 3.6}},
        {MDL_TYPE_3STATE_ECL, CRVOP_MIN, true, {3.0, 2.5, 0.2, -5.0}},
        {MDL_TYPE_OUTPUT, CRVOP_TYP, true, {3.3, 2.5, 0.1, 0.0}},
    };
    for (const auto &c : cases) {
        m.Model_type = c.type;
        m.pulldownReference = c.withPulldown ? &pulldown : nullptr;
        std::array<double, 4> got = {-1, -1, -1, -1};
        CRVOP_GetRails(&m, c.corner, &got[0], &got[1], &got[2], &got[3]);
        EXPECT_EQ(got, c.rails) << c.type << "/" << c.corner;
    }
    double v = -1;
    EXPECT_EQ(CRVOP_GetRngColumn(&pullup, CRVOP_MIN, &v), 0);
    EXPECT_EQ(CRVOP_GetRngColumn(nullptr, CRVOP_TYP, &v), 0);
    EXPECT_EQ(CRVOP_GetRngColumn(&pullup, CRVOP_MAX, &v), 1);
    EXPECT_EQ(v, 2.7);
}

}  // namespace
