// Point-list arithmetic: walkers, direction, interpolation, sums, rails.
#include "CheckerTest.h"
#include "CurveTest.h"

#include <vector>

#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/rng.h"

namespace {

using CrvopTest = CheckerTest;

TEST_F(CrvopTest, WalkersSkipRowsWithoutXOrColumn) {
    CRV *c = MakeCurve({"NA 1 1 1", "0 NA 4 4", "1 5", "2 6 NA", "3"});
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
    struct Case {
        std::vector<const char *> rows;
        int direction;
    };
    const Case cases[] = {
        {{"0 0 0 0", "1 0 0 0"}, 1},
        {{"1 0 0 0", "1 0 0 0", "0 0 0 0"}, -1},
        {{"NA 0 0 0", "5 0 0 0", "NA 0 0 0", "6 0 0 0"}, 1},
        {{"1 0 0 0", "1 0 0 0"}, 0},
        {{"1 0 0 0"}, 0},
    };
    for (const Case &c : cases) {
        CRV *curve = MakeCurve(c.rows);
        EXPECT_EQ(CRVOP_Direction(curve->points), c.direction) << c.rows[0];
        CRV_Free(curve);
    }
    EXPECT_EQ(CRVOP_Direction(nullptr), 0);
}

TEST_F(CrvopTest, InterpolateExtrapolatesAndMovesItsCursor) {
    CRV *c = MakeCurve({"0 0 0 0", "1 1 NA 1", "2 4 4 4"});
    const RNGP *cursor = c->points;
    double v = 0;
    ASSERT_EQ(CRVOP_Interpolate(&cursor, 1, -1.0, CRVOP_TYP, &v), 1);
    EXPECT_EQ(v, -1.0);
    EXPECT_EQ(cursor, c->points);
    ASSERT_EQ(CRVOP_Interpolate(&cursor, 1, 1.5, CRVOP_TYP, &v), 1);
    EXPECT_EQ(v, 2.5);
    EXPECT_EQ(cursor, c->points);  // on the row before the current point
    ASSERT_EQ(CRVOP_Interpolate(&cursor, 1, 3.0, CRVOP_TYP, &v), 1);
    EXPECT_EQ(v, 7.0);  // along the last segment
    EXPECT_EQ(cursor, c->points->next);
    cursor = c->points;
    ASSERT_EQ(CRVOP_Interpolate(&cursor, 1, 1.0, CRVOP_MIN, &v), 1);
    EXPECT_EQ(v, 2.0);  // the row without min is passed over
    EXPECT_EQ(CRVOP_Interpolate(&cursor, 0, 1.0, CRVOP_TYP, &v), 0);
    EXPECT_EQ(CRVOP_Interpolate(nullptr, 1, 1.0, CRVOP_TYP, &v), 0);
    CRV_Free(c);

    // Walking a falling list towards lower x.
    c = MakeCurve({"2 4 4 4", "1 1 1 1", "0 0 0 0"});
    cursor = c->points;
    ASSERT_EQ(CRVOP_Interpolate(&cursor, -1, 0.5, CRVOP_MAX, &v), 1);
    EXPECT_EQ(v, 0.5);
    ASSERT_EQ(CRVOP_ValueAt(c, 3.0, CRVOP_TYP, &v), 1);
    EXPECT_EQ(v, 7.0);
    CRV_Free(c);

    c = MakeCurve({"0 NA 1 1", "1 NA 1 1"});
    cursor = c->points;
    EXPECT_EQ(CRVOP_Interpolate(&cursor, 1, 0.5, CRVOP_TYP, &v), 0);
    EXPECT_EQ(cursor, nullptr);
    CRV_Free(c);
}

// One cursor carried through a series of targets in the direction of travel,
// past both ends of the list.
TEST_F(CrvopTest, InterpolateWalksBothWaysPastBothEnds) {
    struct Case {
        std::vector<const char *> rows;
        int direction;
        std::vector<double> targets, values;
    };
    const Case cases[] = {
        {{"0 0 0 0", "1 1 1 1", "2 4 4 4"}, 1, {-1.0, 0.5, 1.5, 3.0}, {-1.0, 0.5, 2.5, 7.0}},
        {{"2 4 4 4", "1 1 1 1", "0 0 0 0"}, -1, {3.0, 1.5, 0.5, -1.0}, {7.0, 2.5, 0.5, -1.0}},
        // Rows without x or without the column are passed over.
        {{"NA 9 9 9", "2 4 4 4", "1.5 NA 0 0", "1 1 1 1", "0 0 0 0"},
         -1,
         {2.5, 0.5, -2.0},
         {5.5, 0.5, -2.0}},
    };
    for (const Case &c : cases) {
        CRV *curve = MakeCurve(c.rows);
        const RNGP *cursor = curve->points;
        for (size_t i = 0; i < c.targets.size(); ++i) {
            double v = 0;
            ASSERT_EQ(CRVOP_Interpolate(&cursor, c.direction, c.targets[i], CRVOP_TYP, &v), 1);
            EXPECT_EQ(v, c.values[i]) << c.rows[0] << " at " << c.targets[i];
        }
        CRV_Free(curve);
    }
    Output();
}

TEST_F(CrvopTest, InterpolateHoldsTheValueWhereNoSecondXExists) {
    struct Case {
        std::vector<const char *> rows;
        double x;
        double value;
    };
    const Case cases[] = {
        // A repeated last x: the last value holds (not a line of slope 1e5).
        {{"-2 0 0 0", "-1 5 5 5", "-1 6 6 6"}, 0.0, 6.0},
        {{"-2 0 0 0", "-1 5 5 5", "-1 6 6 6"}, -1.0, 5.0},
        {{"-2 0 0 0", "-1 5 5 5", "-1 6 6 6"}, -1.5, 2.5},
        // A single row giving the column.
        {{"0 NA 0 0", "1 3 0 0", "2 NA 0 0"}, 10.0, 3.0},
        // A repeated first x read before it.
        {{"0 1 0 0", "0 2 0 0", "1 4 0 0"}, -1.0, 1.0},
    };
    for (const Case &c : cases) {
        CRV *curve = MakeCurve(c.rows);
        const RNGP *cursor = curve->points;
        double v = 0;
        ASSERT_EQ(CRVOP_Interpolate(&cursor, 1, c.x, CRVOP_TYP, &v), 1);
        EXPECT_EQ(v, c.value) << c.rows[0] << " at " << c.x;
        CRV_Free(curve);
    }
}

TEST_F(CrvopTest, MergeSumsTwoCurves) {
    struct Case {
        const char *name;
        std::vector<const char *> a, b;
        int mask;
        const char *sum;
    };
    const Case cases[] = {
        {"x 1e-6 apart join",
         {"0 1 1 1", "1 2 2 2"},
         {"1e-6 10 10 10", "1.000001 20 20 20"},
         CRVOP_TYP,
         "0 10.99999 - -; 1 21.99999 - -"},
        {"falling plus rising",
         {"5 5 5 5", "0 0 0 0"},
         {"0 0 0 0", "5 10 10 10"},
         CRVOP_ALL,
         "0 0 0 0; 5 15 15 15"},
        {"union of x, extrapolated",
         {"0 0 0 0", "2 2 2 2"},
         {"1 10 10 10", "3 30 30 30"},
         CRVOP_TYP | CRVOP_MAX,
         "0 0 - 0; 1 11 - 11; 2 22 - 22; 3 33 - 33"},
        {"one row of a column is a constant",
         {"0 0 7 0", "1 1 NA 1"},
         {"0 0 0 0", "2 0 0 0"},
         CRVOP_ALL,
         "0 0 7 0; 1 1 7 1; 2 2 7 2"},
        {"rows of one x take no part",
         {"1 5 5 5", "1 6 6 6"},
         {"0 0 0 0", "2 2 2 2"},
         CRVOP_ALL,
         "0 0 0 0; 2 2 2 2"},
        {"column in a only, in neither",
         {"0 1 1 NA", "1 2 2 NA"},
         {"0 0 NA NA", "1 1 NA NA"},
         CRVOP_ALL,
         "0 1 1 -; 1 3 2 -"},
        {"repeated last x holds its value",
         {"-2 0 0 0", "-1 5 5 5", "-1 6 6 6"},
         {"0 0 0 0", "1 0 0 0"},
         CRVOP_TYP,
         "-2 0 - -; -1 5 - -; 0 6 - -; 1 6 - -"},
        {"rows without x are passed over",
         {"0 0 0 0", "NA 9 9 9", "1 1 1 1"},
         {},
         CRVOP_MIN,
         "0 - 0 -; 1 - 1 -"},
        {"x zigzag read in order of x",
         {"0 0 0 0", "2 2 2 2", "1 10 10 10", "3 3 3 3"},
         {},
         CRVOP_TYP,
         "0 0 - -; 1 10 - -; 2 2 - -; 3 3 - -"},
        {"falling zigzag",
         {"3 3 3 3", "1 1 1 1", "2 20 20 20", "0 0 0 0"},
         {"0 0 0 0", "3 0 0 0"},
         CRVOP_TYP,
         "0 0 - -; 1 1 - -; 2 20 - -; 3 3 - -"},
        {"x within 1e-5 of the last row is skipped, its value still read",
         {"0 0 0 0", "1 1 1 1", "1.000001 5 5 5", "2 2 2 2"},
         {},
         CRVOP_TYP,
         "0 0 - -; 1 1 - -; 2 2 - -"},
        {"a repeated x gives one row",
         {"0 0 0 0", "1 1 1 1", "1 3 3 3", "2 4 4 4"},
         {},
         CRVOP_TYP,
         "0 0 - -; 1 1 - -; 2 4 - -"},
        {"a join keeps the x of a",
         {"1.000004 1 1 1", "2 2 2 2"},
         {"1 10 10 10", "2 20 20 20"},
         CRVOP_TYP,
         "1.000004 11.00004 - -; 2 22 - -"},
        {"neither input", {}, {}, CRVOP_ALL, ""},
    };
    for (const Case &c : cases) {
        CRV *a = MakeCurve(c.a), *b = MakeCurve(c.b);
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

TEST_F(CrvopTest, MergeWithItselfDoublesAndZeroCurveStaysZero) {
    CRV *c = MakeCurve({"3 3 3 3", "1 1 2 3", "0 0 0 0"});
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
    CRV_Free(back);
    CRV_Free(copy);
    CRV_Free(twice);
    CRV_Free(c);
}

TEST_F(CrvopTest, ShiftNegateReverseAndRows) {
    CRV *c = MakeCurve({"1 1 1 1", "NA 2 2 2", "3 3 3 3"});
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
    CRV *a = MakeCurve({"0 0 0 NA", "1 1 1 NA"});
    CRV *b = MakeCurve({"0 1 NA NA", "1 1 NA NA"});
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

    EXPECT_STREQ(CRVOP_ColumnName(CRVOP_TYP), "TYP");
    EXPECT_STREQ(CRVOP_ColumnName(CRVOP_MIN), "MIN");
    EXPECT_STREQ(CRVOP_ColumnName(CRVOP_MAX), "MAX");
    EXPECT_STREQ(CRVOP_ColumnName(0), "UNK");
    EXPECT_EQ(CRVOP_IsOpenType(MDL_TYPE_3STATE), 0);
    EXPECT_EQ(CRVOP_IsOpenType(MDL_TYPE_OPEN_DRAIN), 1);
    EXPECT_EQ(CRVOP_IsOpenType(MDL_TYPE_IO_OPEN_SOURCE), 1);
    EXPECT_EQ(CRVOP_IsOpenType(MDL_TYPE_INPUT_ECL), 0);
    EXPECT_EQ(CRVOP_Abs(-2.5), 2.5);
}

TEST_F(CrvopTest, RailsInSourceOrder) {
    RNG range{3.3, CMN_VALUE_NUMBER, 3.0, CMN_VALUE_NUMBER, 3.6, CMN_VALUE_NUMBER};
    RNG pullup{2.5, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_NA, 2.7, CMN_VALUE_NUMBER};
    RNG gnd{0.1, CMN_VALUE_NUMBER, 0.2, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_ABSENT};
    RNG pulldown{0.0, CMN_VALUE_NA, -5.0, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_ABSENT};
    MDL m{};
    m.Model_type = MDL_TYPE_OUTPUT;
    m.voltageRange = &range;
    m.pullupReference = &pullup;
    m.gndClampReference = &gnd;
    struct Case {
        int type;
        int corner;
        bool withPulldown;
        double pc, pu, gc, pd;
    };
    const Case cases[] = {
        {MDL_TYPE_OUTPUT, CRVOP_TYP, false, 3.3, 2.5, 0.1, 0.0},
        {MDL_TYPE_OUTPUT, CRVOP_MIN, false, 3.0, 2.5, 0.2, 0.0},
        {MDL_TYPE_OUTPUT, CRVOP_MAX, false, 3.6, 2.7, 0.1, 0.0},
        {MDL_TYPE_OUTPUT_ECL, CRVOP_MIN, false, 3.0, 2.5, 0.2, 3.0},
        {MDL_TYPE_3STATE_ECL, CRVOP_MAX, true, 3.6, 2.7, 0.1, 3.6},
        {MDL_TYPE_3STATE_ECL, CRVOP_MIN, true, 3.0, 2.5, 0.2, -5.0},
        {MDL_TYPE_OUTPUT, CRVOP_TYP, true, 3.3, 2.5, 0.1, 0.0},
    };
    for (const Case &c : cases) {
        m.Model_type = c.type;
        m.pulldownReference = c.withPulldown ? &pulldown : nullptr;
        double pc = -1, pu = -1, gc = -1, pd = -1;
        CRVOP_GetRails(&m, c.corner, &pc, &pu, &gc, &pd);
        EXPECT_EQ(pc, c.pc) << c.type << "/" << c.corner;
        EXPECT_EQ(pu, c.pu) << c.type << "/" << c.corner;
        EXPECT_EQ(gc, c.gc) << c.type << "/" << c.corner;
        EXPECT_EQ(pd, c.pd) << c.type << "/" << c.corner;
    }
    double v = -1;
    EXPECT_EQ(CRVOP_GetRngColumn(&pullup, CRVOP_MIN, &v), 0);
    EXPECT_EQ(CRVOP_GetRngColumn(nullptr, CRVOP_TYP, &v), 0);
    EXPECT_EQ(CRVOP_GetRngColumn(&pullup, CRVOP_MAX, &v), 1);
    EXPECT_EQ(v, 2.7);
}

}  // namespace
