// [Series MOSFET]: each case is the keyword line with its data lines, read
// and ended as the model section does, and the whole message output; then
// the Vds comparison and the series information that reaches it.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CheckerTest.h"
#include "TableDriver.h"

#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/smos.h"

namespace {

struct MosfetCase {
    const char *name;
    std::string input;
    std::string expected;
    int hasVds;  // -1: no Vds; else the Vds slot exists
    double vds;
    int rows;
};

const char kRows[] = "0 0 0 0\n1 1m 1m 1m\n";

const MosfetCase kMosfetCases[] = {
    {"complete", std::string("[Series MOSFET]\nVds = 1.0\n") + kRows, "", 1, 1.0, 2},
    {"joined equals sign", std::string("[Series MOSFET]\nVds=0.5\n") + kRows, "", 1, 0.5, 2},
    {"an I-V row first is lost", std::string("[Series MOSFET]\n") + kRows + "2 2m 2m 2m\n",
     "ERROR (line    2) - Unknown data line in Series_MOSFET\n"
     "ERROR - Model m1: Vds not specified for [Series MOSFET] defined on line 1\n",
     -1, 0, 2},
    {"the name is exact", std::string("[Series MOSFET]\nvds = 1\n") + kRows,
     "ERROR (line    2) - Unknown data line in Series_MOSFET\n"
     "ERROR - Model m1: Vds not specified for [Series MOSFET] defined on line 1\n",
     -1, 0, 2},
    {"negative Vds", std::string("[Series MOSFET]\nVds = -0.1\n") + kRows,
     "ERROR - Model m1: Vds should be >= 0 for [Series MOSFET] defined on line 1\n", 1, -0.1,
     2},
    // A Vds line that is refused still makes the Vds known (as 0).
    {"no equals sign", std::string("[Series MOSFET]\nVds 1.0\n") + kRows,
     "ERROR (line    2) - Invalid Vds Line\n", 1, 0.0, 2},
    {"name alone", std::string("[Series MOSFET]\nVds\n") + kRows,
     "ERROR (line    2) - Invalid Vds Line\n", 1, 0.0, 2},
    {"invalid value", std::string("[Series MOSFET]\nVds = abc\n") + kRows,
     "ERROR (line    2) - Invalid Vds Value (\"abc\")\n", 1, 0.0, 2},
    {"extra words are reported and the value read",
     std::string("[Series MOSFET]\nVds = 2 V\n") + kRows,
     "ERROR (line    2) - Incorrect Number of Line Items (4) For Vds: Expecting 3\n", 1, 2.0,
     2},
    {"digits behind a scale letter pass", std::string("[Series MOSFET]\nVds = 1m5\n") + kRows,
     "", 1, 1e-3, 2},
    {"words behind the keyword", std::string("[Series MOSFET] x\nVds = 1\n") + kRows,
     // The table's own CRV_Init reads the same keyword line.
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For [Series_MOSFET]: Expecting 1\n"
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For Series_MOSFET: Expecting 1\n",
     1, 1.0, 2},
    {"the table's own end checks", "[Series MOSFET]\nVds = 1\n0 5m 5m 5m\n1 1m 1m 1m\n",
     "WARNING - Model m1: Series_MOSFET has Decreasing Current\n", 1, 1.0, 2},
    {"an empty table", "[Series MOSFET]\nVds = 1\n",
     "ERROR - Require at least 2 Voltage Points for Series_MOSFET Beginning at Line 1\n", 1,
     1.0, 0},
};

class MosfetTest : public CheckerTest, public ::testing::WithParamInterface<MosfetCase> {};

// Reads one [Series MOSFET] into *list the way the model section does.
void ReadMosfet(const std::string &text, SMOS **list) {
    FeedTable(
        text,
        [&](const char *line) {
            SMOS *entry = nullptr;
            ASSERT_EQ(SMOS_Init(line, list, &entry), 1);
            ASSERT_EQ(CRV_Init(line, "Series_MOSFET", &entry->table), 1);
        },
        [&](const char *line) { SMOS_ParseLine(line); });
    SMOS_CheckTable("m1", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
}

TEST_P(MosfetTest, WholeOutput) {
    const MosfetCase &c = GetParam();
    SMOS *list = nullptr;
    ReadMosfet(c.input, &list);
    EXPECT_EQ(Output(), c.expected);
    ASSERT_NE(list, nullptr);
    if (c.hasVds < 0) {
        EXPECT_EQ(list->Vds, nullptr);
    } else {
        ASSERT_NE(list->Vds, nullptr);
        EXPECT_DOUBLE_EQ(*list->Vds, c.vds);
    }
    int rows = 0;
    for (const RNGP *r = list->table->points; r != nullptr; r = r->next)
        ++rows;
    EXPECT_EQ(rows, c.rows);
    SMOS_Free(list);
}

INSTANTIATE_TEST_SUITE_P(Tables, MosfetTest, ::testing::ValuesIn(kMosfetCases), CaseName<MosfetCase>);

using MosfetRecordTest = CheckerTest;

TEST_F(MosfetRecordTest, EntriesAppendInFileOrderAndThe101stIsReported) {
    SMOS *list = nullptr;
    for (int i = 0; i < 101; ++i)
        ReadMosfet("[Series MOSFET]\nVds = " + std::to_string(i) + "\n" + kRows, &list);
    EXPECT_EQ(Output(), "ERROR (line    1) - More than 100 [Series_MOSFET]s are defined\n");
    int n = 0;
    for (const SMOS *e = list; e != nullptr; e = e->next, ++n)
        EXPECT_EQ(*e->Vds, n);
    EXPECT_EQ(n, 101);
    SMOS_Free(list);
}

// After its end, a reset, or the freeing of its list, no entry takes lines.
TEST_F(MosfetRecordTest, NothingCurrentTakesNothing) {
    SMOS *list = nullptr;
    ReadMosfet(std::string("[Series MOSFET]\nVds = 1\n") + kRows, &list);
    SMOS_ParseLine("5 5 5 5");
    SMOS_CheckTable("m1", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
    SMOS *entry = nullptr;
    SMOS_Init("[Series MOSFET]", &list, &entry);
    SMOS_Reset();
    SMOS_ParseLine("Vds = 2");
    SMOS_CheckTable("m1", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
    EXPECT_EQ(list->next->Vds, nullptr);
    SMOS_Free(list);
    list = nullptr;
    SMOS_Init("[Series MOSFET]", &list, &entry);
    SMOS_Free(list);
    SMOS_ParseLine("Vds = 2");
    SMOS_CheckTable("m1", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
    EXPECT_EQ(Output(), "");
}

// Builds a list of entries with these Vds values (NAN: no Vds line).
SMOS *ListOf(std::initializer_list<double> values) {
    SMOS *list = nullptr;
    for (double v : values) {
        SMOS *entry = nullptr;
        SMOS_Init("[Series MOSFET]", &list, &entry);
        char line[64];
        snprintf(line, sizeof line, "Vds = %.17g", v);
        if (!std::isnan(v))
            SMOS_ParseLine(line);
        else
            SMOS_ParseLine("0 0 0 0");
    }
    SMOS_Reset();
    return list;
}

TEST_F(MosfetRecordTest, DuplicateVdsInTheOrderOfTheEarlierEntry) {
    struct {
        std::initializer_list<double> values;
        const char *label;
        std::string expected;
    } cases[] = {
        {{1.0, 2.0, 3.0}, "[On]", ""},
        // Sorting by value must not reorder the messages: the entry of 2.0
        // comes first in the file.
        {{2.0, 1.0, 2.0 + 5e-10, 1.0, 1.0},
         "[On]",
         "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 2.000000e+00\n"
         "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n"
         "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n"
         "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n"},
        {{0.5, NAN, 0.5}, "",
         "ERROR -\n    Model m1 : Found two Series_MOSFETs with identical Vds value 5.000000e-01\n"},
        {{1.0, 1.0 + 2e-9}, "[On]", ""},
    };
    for (const auto &c : cases) {
        SMOS *list = ListOf(c.values);
        Output();
        SMOS_CheckDuplicateVds(list, "m1", c.label);
        EXPECT_EQ(Output(), c.expected);
        SMOS_Free(list);
    }
}

// Clusters of near-equal values, some closer than 1e-9 and some not: the
// sorted search reports exactly the pairs a walk over every pair finds, in
// the same order.
TEST_F(MosfetRecordTest, DuplicateVdsAgreesWithAWalkOverEveryPair) {
    SMOS *list = nullptr;
    std::vector<double> values;
    unsigned seed = 12345;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double base = static_cast<double>((seed >> 16) % 7) * 0.25 - 0.5;
        seed = seed * 1103515245u + 12345u;
        const double jitter = (static_cast<double>((seed >> 16) % 13) - 6.0) * 2.5e-10;
        values.push_back(base + jitter);
        SMOS *entry = nullptr;
        SMOS_Init("[Series MOSFET]", &list, &entry);
        if (i % 17 == 3)
            continue;  // an entry without Vds
        char line[64];
        snprintf(line, sizeof line, "Vds = %.17g", values.back());
        SMOS_ParseLine(line);
    }
    SMOS_Reset();
    Output();
    std::string expected;
    for (size_t a = 0; a < values.size(); ++a) {
        if (a % 17 == 3)
            continue;
        for (size_t b = a + 1; b < values.size(); ++b) {
            if (b % 17 == 3 || !(fabs(values[b] - values[a]) < 1e-9))
                continue;
            char text[160];
            snprintf(text, sizeof text,
                     "Model m1 [On]: Found two Series_MOSFETs with identical Vds value %e", values[a]);
            expected += std::string(strlen(text) > 75 ? "ERROR - " : "ERROR -\n    ") + text + "\n";
        }
    }
    SMOS_CheckDuplicateVds(list, "m1", "[On]");
    EXPECT_EQ(Output(), expected);
    EXPECT_GT(expected.size(), 0u);
    SMOS_Free(list);
}

// The series-information record reaches the I-V and Series MOSFET records
// through its hooks: the Vds check runs from its end check, and freeing it
// frees the tables (the sanitizer build sees any leak).
TEST_F(MosfetRecordTest, SeriesInformationHooks) {
    SINFO *on = nullptr;
    ASSERT_EQ(SINFO_Init("[On]", &on, "[On]"), 1);
    ASSERT_EQ(CRV_Init("[Series Current]", "Series_Current", &on->series_current), 1);
    CRV_ParseLine("0 0 0 0", on->series_current, "Series_Current");
    on->series_mosfet = ListOf({1.0, 1.0});
    Output();
    SINFO_Check(on, "m1", "[On]");
    SINFO_Check(on, "m1", "[Off]");
    EXPECT_EQ(Output(),
              "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n"
              "ERROR - Model m1: [Series_MOSFET] is not allowed in conjunction with the [Off] keyword\n"
              "ERROR - Model m1 [Off]: Found two Series_MOSFETs with identical Vds value 1.000000e+00\n");
    SINFO_Free(on);
}

}  // namespace
