// I-V tables: each case is a keyword line with its data lines, ended as the
// model section ends it, and the whole message output.
#include <cmath>
#include <string>

#include "CheckerTest.h"
#include "TableDriver.h"

#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"

namespace {

struct CurveCase {
    const char *name;
    int modelType;
    int keywordCode;
    const char *caption;     // at parse time
    const char *endCaption;  // at the end
    std::string input;
    std::string expected;
    int rows;  // rows stored
    const char *owner = "Model";
};

const CurveCase kCurveCases[] = {
    {"clean pulldown", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\n-1 -10m -9m -11m\n0 0 0 0\n1 10m 9m 11m\n", "", 3},
    {"words behind the keyword", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown] extra\n0 0 0 0\n1 1m 1m 1m\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For Pulldown: Expecting 1\n", 2},
    {"one 1403 per earlier row of the same voltage", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown",
     "Pulldown", "[Pulldown]\n0 1m 1m 1m\n1 2m 2m 2m\n1 2m 2m 2m\n1 2m 2m 2m\n",
     "WARNING (line    4) - Value 1.000000e+00 repeated in the First Column\n"
     "WARNING (line    5) - Value 1.000000e+00 repeated in the First Column\n"
     "WARNING (line    5) - Value 1.000000e+00 repeated in the First Column\n",
     4},
    {"short rows are kept; an extreme without typ skips the direction", MDL_TYPE_IO, KW_PULLUP,
     "Pullup", "Pullup", "[Pullup]\n0 1m\n1\n",
     "ERROR (line    2) - No minimum Value Was Provided for Pullup\n"
     "ERROR (line    2) - No maximum Value Was Provided for Pullup\n"
     "ERROR (line    3) - No typical Value Was Provided for Pullup\n"
     "ERROR (line    3) - No minimum Value Was Provided for Pullup\n"
     "ERROR (line    3) - No maximum Value Was Provided for Pullup\n",
     2},
    {"a fifth item is reported and the row kept", MDL_TYPE_IO, KW_PULLUP, "Pullup", "Pullup",
     "[Pullup]\n0 1m 1m 1m 9\n1 0 0 0\n",
     "ERROR (line    2) - Incorrect Number of Line Items (5) For Pullup: Expecting 4\n", 2},
    {"NA voltage is reported and kept", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\nNA 1m 1m 1m\n1 1m 1m 1m\n",
     "ERROR (line    2) - Voltage Value Cannot Be 'NA'\n", 2},
    {"a column turning back is noted once", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\n0 1m NA NA\n1 3m NA NA\n2 2m NA NA\n3 4m NA NA\n4 1m NA NA\n",
     "NOTE (line    4) - Pulldown Typical data is non-monotonic\n", 5},
    {"each column on its own; equal values keep the direction open", MDL_TYPE_IO, KW_PULLDOWN,
     "Pulldown", "Pulldown", "[Pulldown]\n0 1m 1m 1m\n0 1m 2m 0\n1 2m 1m 1m\n2 2m 1m 0\n",
     "WARNING (line    3) - Value 0.000000e+00 repeated in the First Column\n"
     "NOTE (line    4) - Pulldown Minimum data is non-monotonic\n"
     "NOTE (line    4) - Pulldown Maximum data is non-monotonic\n",
     4},
    {"one row gives 1108 only", MDL_TYPE_IO, KW_PULLUP, "Pullup", "Pullup",
     "[Pullup]\n0 NA NA NA\n",
     "ERROR - Require at least 2 Voltage Points for Pullup Beginning at Line 1\n", 1},
    {"an empty table gives 1108", MDL_TYPE_IO, KW_PULLUP, "Pullup", "Pullup", "[Pullup]\n",
     "ERROR - Require at least 2 Voltage Points for Pullup Beginning at Line 1\n", 0},
    {"NA at the ends: min and max only when some row gives them", MDL_TYPE_IO, KW_PULLDOWN,
     "Pulldown", "Pulldown", "[Pulldown]\n0 NA NA NA\n1 1m 2m NA\n2 NA NA 3m\n",
     "ERROR - First Typical Value Cannot Be 'NA' for Pulldown Beginning at Line 1\n"
     "ERROR - First Minimum Value Cannot Be 'NA' for Pulldown Beginning at Line 1\n"
     "ERROR - First Maximum Value Cannot Be 'NA' for Pulldown Beginning at Line 1\n"
     "ERROR - Last Typical Value Cannot Be 'NA' for Pulldown Beginning at Line 1\n"
     "ERROR - Last Minimum Value Cannot Be 'NA' for Pulldown Beginning at Line 1\n",
     3},
    {"NA min and max that no row gives pass", MDL_TYPE_IO, KW_PULLUP, "Pullup", "Pullup",
     "[Pullup]\n0 1m NA NA\n1 0 NA NA\n", "", 2},
    {"pulldown losing current", MDL_TYPE_IO, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\n0 5m 5m 5m\n1 1m 1m 1m\n",
     "WARNING - Model m1: Pulldown has Decreasing Current\n", 2},
    {"the same table as a pullup is silent", MDL_TYPE_IO, KW_PULLUP, "Pullup", "Pullup",
     "[Pullup]\n0 5m 5m 5m\n1 1m 1m 1m\n", "", 2},
    {"the lowest and highest voltages decide, not the first and last rows", MDL_TYPE_IO,
     KW_PULLUP, "Pullup", "Pullup", "[Pullup]\n1 1m\n-1 5m\n0 9m\n",
     "ERROR (line    2) - No minimum Value Was Provided for Pullup\n"
     "ERROR (line    2) - No maximum Value Was Provided for Pullup\n"
     "ERROR (line    3) - No minimum Value Was Provided for Pullup\n"
     "ERROR (line    3) - No maximum Value Was Provided for Pullup\n"
     "ERROR (line    4) - No minimum Value Was Provided for Pullup\n"
     "ERROR (line    4) - No maximum Value Was Provided for Pullup\n"
     "NOTE (line    4) - Pullup Voltage data is non-monotonic\n",
     3},
    {"ECL reverses the pulldown", MDL_TYPE_OUTPUT_ECL, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\n0 1m 1m 1m\n1 5m 5m 5m\n",
     "WARNING - Model m1: Pulldown has Increasing Current\n", 2},
    {"ECL GND clamp still rises", MDL_TYPE_IO_ECL, KW_GND_CLAMP, "GND Clamp", "GND Clamp",
     "[GND Clamp]\n-1 -5m -5m -5m\n0 0 0 0\n", "", 2},
    {"series current is not checked", MDL_TYPE_SERIES, KW_SERIES_CURRENT, "Series_Current",
     "Series_Current", "[Series Current]\n0 5m 5m 5m\n1 1m 1m 1m\n", "", 2},
    {"series MOSFET must rise", MDL_TYPE_SERIES_SWITCH, KW_SERIES_MOSFET, "Series_MOSFET",
     "Series_MOSFET", "[Series MOSFET]\n0 5m 5m 5m\n1 1m 1m 1m\n",
     "WARNING - Model m1: Series_MOSFET has Decreasing Current\n", 2},
    {"series MOSFET of another type falls", MDL_TYPE_IO, KW_SERIES_MOSFET, "Series_MOSFET",
     "Series_MOSFET", "[Series MOSFET]\n0 1m 1m 1m\n1 5m 5m 5m\n",
     "WARNING - Model m1: Series_MOSFET has Increasing Current\n", 2},
    {"no model type, no direction", MDL_TYPE_INVALID, KW_PULLDOWN, "Pulldown", "Pulldown",
     "[Pulldown]\n0 5m 5m 5m\n1 1m 1m 1m\n", "", 2},
    {"ISSO tables have no direction", MDL_TYPE_IO, KW_ISSO_PD, "ISSO_PD", "ISSO PD",
     "[ISSO PD]\n0 5m 5m 5m\n1 1m 1m 1m\n", "", 2},
    {"GND clamp columns that never reach zero", MDL_TYPE_IO, KW_GND_CLAMP, "GND Clamp",
     "GND Clamp", "[GND Clamp]\n-1 1m 2m 3m\n0 2m 3m 4m\n",
     "WARNING - Model m1: GND Clamp : Typical value never becomes zero\n"
     "WARNING - Model m1: GND Clamp : Minimum value never becomes zero\n"
     "WARNING - Model m1: GND Clamp : Maximum value never becomes zero\n",
     2},
    {"0.5 uA counts as zero for its column", MDL_TYPE_IO, KW_GND_CLAMP, "GND Clamp",
     "GND Clamp", "[GND Clamp]\n-1 1m 0.5u 3m\n-0.5 1m 1m 3m\n0 2m 3m 4m\n",
     "WARNING - Model m1: GND Clamp : Typical value never becomes zero\n"
     "WARNING - Model m1: GND Clamp : Maximum value never becomes zero\n",
     3},
    {"a column missing at an end is left out", MDL_TYPE_IO, KW_POWER_CLAMP, "POWER Clamp",
     "POWER Clamp", "[POWER Clamp]\n0 -1m -1m NA\n1 -2m NA -2m\n",
     "ERROR - First Maximum Value Cannot Be 'NA' for POWER Clamp Beginning at Line 1\n"
     "ERROR - Last Minimum Value Cannot Be 'NA' for POWER Clamp Beginning at Line 1\n"
     "WARNING - Model m1: POWER Clamp : Typical value never becomes zero\n", 2},
    {"a column crossing zero passes", MDL_TYPE_IO, KW_GND_CLAMP, "GND Clamp", "GND Clamp",
     "[GND Clamp]\n-1 -1m -1m -1m\n1 1m 1m 1m\n", "", 2},
    // The zero-crossing step runs whatever the row count: a one-row clamp
    // gets its warnings besides 1108.
    {"one-row clamp", MDL_TYPE_IO, KW_GND_CLAMP, "GND Clamp", "GND Clamp",
     "[GND Clamp]\n0 1m 1m 1m\n",
     "ERROR - Require at least 2 Voltage Points for GND Clamp Beginning at Line 1\n"
     "WARNING - Model m1: GND Clamp : Typical value never becomes zero\n"
     "WARNING - Model m1: GND Clamp : Minimum value never becomes zero\n"
     "WARNING - Model m1: GND Clamp : Maximum value never becomes zero\n",
     1},
    {"submodels use the default directions", MDL_TYPE_OUTPUT, KW_PULLDOWN, "Pulldown",
     "Pulldown", "[Pulldown]\n0 5m 5m 5m\n1 1m 1m 1m\n",
     "WARNING - Submodel m1: Pulldown has Decreasing Current\n", 2, "Submodel"},
};

class CurveTest : public CheckerTest, public ::testing::WithParamInterface<CurveCase> {};

int CountRows(const CRV *t) {
    int n = 0;
    for (const RNGP *r = t->points; r != nullptr; r = r->next)
        ++n;
    return n;
}

TEST_P(CurveTest, WholeOutput) {
    const CurveCase &c = GetParam();
    CRV_Reset();
    CRV *table = nullptr;
    FeedTable(
        c.input, [&](const char *line) { ASSERT_EQ(CRV_Init(line, c.caption, &table), 1); },
        [&](const char *line) { CRV_ParseLine(line, table, c.caption); });
    CRV_EndKeyword("m1", c.modelType, c.keywordCode, table, c.endCaption, c.owner);
    EXPECT_EQ(Output(), c.expected);
    EXPECT_EQ(CountRows(table), c.rows);
    CRV_Free(table);
}

INSTANTIATE_TEST_SUITE_P(Tables, CurveTest, ::testing::ValuesIn(kCurveCases), CaseName<CurveCase>);

using CurveRecordTest = CheckerTest;

// The 101st row is reported once in every version, and every row is kept.
TEST_F(CurveRecordTest, RowLimitOnceInEveryVersion) {
    for (int version : {2, 3, 4, 5}) {
        PARSE_SetIbisVersion(version);
        std::string text = "[Pulldown]\n";
        for (int i = 0; i < 150; ++i)
            text += std::to_string(i) + " " + std::to_string(i) + "m NA NA\n";
        CRV *table = nullptr;
        FeedTable(
            text, [&](const char *line) { CRV_Init(line, "Pulldown", &table); },
            [&](const char *line) { CRV_ParseLine(line, table, "Pulldown"); });
        CRV_EndKeyword("m1", MDL_TYPE_IO, KW_PULLDOWN, table, "Pulldown", "Model");
        EXPECT_EQ(Output(), "ERROR (line  102) - More Than 100 Voltage Points Provided For Pulldown\n");
        EXPECT_EQ(CountRows(table), 150);
        CRV_Free(table);
    }
}

TEST_F(CurveRecordTest, RepeatedKeywordReplacesTheTable) {
    CRV *table = nullptr;
    ASSERT_EQ(CRV_Init("[Pullup]", "Pullup", &table), 1);
    CRV_ParseLine("0 1m 1m 1m", table, "Pullup");
    MSG_SetLineNumber(7);
    ASSERT_EQ(CRV_Init("[Pullup]", "Pullup", &table), 1);
    EXPECT_EQ(table->points, nullptr);
    EXPECT_EQ(Output(), "ERROR (line    7) - Pullup Already Defined\n");
    CRV_Free(table);
}

// A table whose CRV_Init ran out of memory is a null slot: its lines and its
// end must pass without effect.
TEST_F(CurveRecordTest, NullTableTakesNothing) {
    EXPECT_EQ(CRV_ParseLine("0 1 1 1", nullptr, "Pullup"), 0);
    CRV_EndKeyword("m1", MDL_TYPE_IO, KW_PULLUP, nullptr, "Pullup", "Model");
    EXPECT_EQ(Output(), "");
}

TEST_F(CurveRecordTest, CopyKeepsRowsWithAVoltage) {
    CRV *table = nullptr, *copy = nullptr;
    CRV_Init("[Pullup]", "Pullup", &table);
    for (const char *line : {"0 1m 1m 1m", "NA 2m 2m 2m", "1 3m NA 3m"})
        CRV_ParseLine(line, table, "Pullup");
    Output();
    ASSERT_EQ(CRV_CopyPoints(table, &copy), 1);
    ASSERT_EQ(CountRows(copy), 2);
    EXPECT_EQ(copy->points->next->typ, 3e-3);
    EXPECT_EQ(copy->points->next->min_state, CMN_VALUE_NA);
    EXPECT_EQ(copy->points->next->prev, copy->points);
    // The copy is a table of its own: rows appended to it go at its end.
    CRV_ParseLine("1 4m 4m 4m", copy, "Pullup");
    EXPECT_EQ(CountRows(copy), 3);
    EXPECT_EQ(CountRows(table), 3);
    EXPECT_EQ(Output(), "WARNING (line    0) - Value 1.000000e+00 repeated in the First Column\n");
    CRV_Free(table);
    CRV_Free(copy);
}

// ---- Interpolation ------------------------------------------------------

struct InterpolateCase {
    const char *name;
    const char *rows;  // data lines
    double at;
    // Expected corners; NAN where the output must stay null.
    double typ, min, max;
};

const double kNull = NAN;

const InterpolateCase kInterpolateCases[] = {
    {"inside a segment", "0 0 0 0\n2 2m 4m 6m\n", 1.0, 1e-3, 2e-3, 3e-3},
    {"at a row", "0 0 0 0\n1 1m 2m 3m\n2 5m 5m 5m\n", 1.0, 1e-3, 2e-3, 3e-3},
    {"falling voltages", "2 2m 2m 2m\n0 0 0 0\n", 0.5, 0.5e-3, 0.5e-3, 0.5e-3},
    {"below the table", "0 0 0 0\n1 1m 1m 1m\n", -0.5, kNull, kNull, kNull},
    {"above the table", "0 0 0 0\n1 1m 1m 1m\n", 1.5, kNull, kNull, kNull},
    {"one row", "0 1m 1m 1m\n", 0.0, kNull, kNull, kNull},
    {"NA min and max take typ", "0 0 NA NA\n1 1m NA 3m\n", 0.5, 0.5e-3, 0.5e-3, 1.5e-3},
    {"a missing corner on the right keeps the left value", "0 0 2m 2m\n1 1m\n", 0.5, 0.5e-3,
     2e-3, 2e-3},
    {"no typ on the left: typ unknown", "0 NA 0 0\n1 1m 1m 1m\n", 0.5, kNull, 0.5e-3, 0.5e-3},
    {"a right row without typ starts afresh", "0 0 0 0\n1 NA 1m 1m\n2 2m 2m 2m\n", 1.5, kNull,
     kNull, kNull},
    {"rows without a voltage are passed over", "0 0 0 0\nNA 9 9 9\n2 2m 2m 2m\n", 1.0, 1e-3,
     1e-3, 1e-3},
    {"rows 1e-7 V apart count as one point", "0 0 0 0\n1 1m 1m 1m\n1.0000001 7 7 7\n2 2m 2m 2m\n",
     1.5, 1.5e-3, 1.5e-3, 1.5e-3},
    // A row at the left point's voltage has no width to interpolate over,
    // also at 0 V, where the relative test finds nothing too close.
    {"repeated 0 V row", "0 0 0 0\n0 5m 5m 5m\n1 1m 1m 1m\n", 0.0, 0.0, 0.0, 0.0},
    {"repeated 0 V row, between", "0 0 0 0\n0 5m 5m 5m\n1 1m 1m 1m\n", 0.5, 0.5e-3, 0.5e-3,
     0.5e-3},
};

class InterpolateTest : public CheckerTest,
                        public ::testing::WithParamInterface<InterpolateCase> {};

TEST_P(InterpolateTest, Corners) {
    const InterpolateCase &c = GetParam();
    CRV *table = nullptr;
    ASSERT_EQ(CRV_Init("[Pullup]", "Pullup", &table), 1);
    for (const std::string &line : SplitLines(c.rows))
        CRV_ParseLine(line.c_str(), table, "Pullup");
    Output();
    double *got[3] = {nullptr, nullptr, nullptr};
    CRV_InterpolateAt(table, c.at, &got[0], &got[1], &got[2]);
    const double want[3] = {c.typ, c.min, c.max};
    for (int i = 0; i < 3; ++i) {
        if (std::isnan(want[i])) {
            EXPECT_EQ(got[i], nullptr) << "corner " << i;
        } else {
            ASSERT_NE(got[i], nullptr) << "corner " << i;
            EXPECT_NEAR(*got[i], want[i], 1e-15) << "corner " << i;
        }
        CMN_Free(got[i]);
    }
    EXPECT_EQ(Output(), "");
    CRV_Free(table);
}

INSTANTIATE_TEST_SUITE_P(Tables, InterpolateTest, ::testing::ValuesIn(kInterpolateCases),
                         CaseName<InterpolateCase>);

}  // namespace
