// V-T waveforms: each case is the keyword line with its data lines, ended as
// the owning section ends it, and the whole message output.
#include <string>

#include "CheckerTest.h"
#include "TableDriver.h"

#include "IbisParser/wvfrm.h"

namespace {

struct WaveCase {
    const char *name;
    int version;
    const char *caption;       // WVFRM_Init
    const char *lineCaption;   // WVFRM_ParseLine
    const char *endCaption;    // WVFRM_EndKeyword
    int kind;
    std::string input;
    std::string expected;
    int rows;
};

const char kFixtures[] = "R_fixture = 50\nV_fixture = 0\n";

std::string Rising(const std::string &body) { return "[Rising Waveform]\n" + body; }

const WaveCase kWaveCases[] = {
    {"complete", 4, "Rising Waveform", "Rising Waveform", "Rising", WVFRM_KIND_WAVEFORM,
     Rising(std::string(kFixtures) + "V_fixture_min = 0\n0 0 0 0\n1n 1 0.9 1.1\n"), "", 2},
    {"fixtures missing", 4, "Rising Waveform", "Rising Waveform", "Rising",
     WVFRM_KIND_WAVEFORM, Rising("C_fixture = 1p\n0 0 0 0\n1n 1 1 1\n"),
     "ERROR - R_fixture Not Defined For Rising Waveform Beginning on Line 1\n"
     "ERROR - V_fixture Not Defined For Rising Waveform Beginning on Line 1\n",
     2},
    {"one row", 4, "Falling Waveform", "Falling Waveform", "Falling", WVFRM_KIND_WAVEFORM,
     "[Falling Waveform]\n" + std::string(kFixtures) + "0 1 1 1\n",
     "ERROR - Require at least 2 Data Points for Falling Waveform Beginning at Line 1\n", 1},
    {"NA at the ends", 4, "Rising Waveform", "Rising Waveform", "Rising", WVFRM_KIND_WAVEFORM,
     Rising(std::string(kFixtures) + "0 NA NA NA\n1n 1 1 NA\n2n NA NA 1\n"),
     "ERROR -\n    First Typical Value Cannot Be 'NA' for Rising Waveform Beginning at Line 1\n"
     "ERROR -\n    First Minimum Value Cannot Be 'NA' for Rising Waveform Beginning at Line 1\n"
     "ERROR -\n    First Maximum Value Cannot Be 'NA' for Rising Waveform Beginning at Line 1\n"
     "ERROR -\n    Last Typical Value Cannot Be 'NA' for Rising Waveform Beginning at Line 1\n"
     "ERROR -\n    Last Minimum Value Cannot Be 'NA' for Rising Waveform Beginning at Line 1\n",
     3},
    {"fixture after data is still stored", 4, "Rising Waveform", "Rising Waveform", "Rising",
     WVFRM_KIND_WAVEFORM, Rising("R_fixture = 50\n0 0 0 0\nV_fixture = 0\n1n 1 1 1\n"),
     "ERROR (line    4) - V_fixture specified after beginning of timing data\n", 2},
    // A refused value still defines the fixture: no 2004 for it at the end.
    {"fixture forms", 4, "Rising Waveform", "Rising Waveform", "Rising", WVFRM_KIND_WAVEFORM,
     Rising("R_fixture = abc\nR_fixture = 50\nV_fixture 1\nL_fixture = 1n 2n\n"
            "C_fixture 1p 2p\nR_dut = 5k5\nC_dut=1p\n0 0 0 0\n1n 1 1 1\n"),
     "ERROR (line    2) - Invalid Rising Waveform Value (\"abc\")\n"
     "ERROR (line    3) - Duplicate definition for Rising Waveform R_fixture\n"
     "ERROR (line    4) - Invalid Rising Waveform line\n"
     "ERROR (line    5) -\n    Incorrect Number of Line Items (4) For Rising Waveform: Expecting 3\n"
     "ERROR (line    6) - Invalid Rising Waveform line\n"
     "WARNING (line    7) -\n    Suspicious Rising Waveform R_dut Value (\"5k5\"); Numeric in Scale\n",
     2},
    {"unknown line", 4, "Rising Waveform", "Rising Waveform", "Rising", WVFRM_KIND_WAVEFORM,
     Rising(std::string(kFixtures) + "r_fixture = 1\n0 0 0 0\n1n 1 1 1\n"),
     "ERROR (line    4) - Unknown Line Among Rising Waveform Data\n", 2},
    {"no sub-parameters in test data", 4, "Rising Waveform Near", "Rising Waveform Near",
     "Rising Waveform Near", WVFRM_KIND_TEST_DATA,
     "[Rising Waveform Near]\nR_fixture = 50\n0 0 0 0\n1n 1 1 1\n",
     "ERROR (line    2) - SubParameters are not allowed in Golden Waveforms\n", 2},
    // The repeated time gives its 1403 besides 2020.
    {"time must increase", 4, "Rising Waveform", "Rising Waveform", "Rising",
     WVFRM_KIND_WAVEFORM, Rising(std::string(kFixtures) + "0 0 0 0\n1n 1 1 1\n1n 1 1 1\n0.5n 1 1 1\n"),
     "WARNING (line    6) - Value 1.000000e-09 repeated in the First Column\n"
     "ERROR (line    6) - Time value did not increase\n"
     "ERROR (line    7) - Time value did not increase\n",
     4},
    {"NA time", 4, "Rising Waveform", "Rising Waveform", "Rising", WVFRM_KIND_WAVEFORM,
     Rising(std::string(kFixtures) + "0.5n 0 0 0\nNA 1 1 1\n1n 1 1 1\n"),
     "ERROR (line    5) - 'NA' not allowed for Time value\n", 3},
    {"pulse table ends and offsets", 4, "GND Pulse", "GND Pulse Table", "GND Pulse Table",
     WVFRM_KIND_PULSE, "[GND Pulse Table]\n0 0 0 0\n1n -1m 0 0\n2n 1m 0 0\n",
     "ERROR - First Typical Value should be the same as the Last for GND Pulse Table Waveform Beginning at Line 1\n"
     "WARNING - Found some GND Pulse Table (Typical) offsets less than 0 for Table Beginning at Line 1\n",
     3},
    // Pulse tables check their offsets also after 2005.
    {"one-row POWER pulse table", 4, "POWER Pulse", "POWER Pulse Table", "POWER Pulse Table",
     WVFRM_KIND_PULSE, "[POWER Pulse Table]\n0 1m 2m -1m\n",
     "ERROR - Require at least 2 Data Points for POWER Pulse Table Waveform Beginning at Line 1\n"
     "WARNING - Found some POWER Pulse Table (Typical) offsets greater than 0 for Table Beginning at Line 1\n"
     "WARNING - Found some POWER Pulse Table (Minimum) offsets greater than 0 for Table Beginning at Line 1\n",
     1},
    {"composite current needs no fixtures", 4, "Composite Current", "Composite Current",
     "Composite Current", WVFRM_KIND_COMPOSITE, "[Composite Current]\n0 1m 1m 1m\n",
     "ERROR - Require at least 2 Data Points for Composite Current Waveform Beginning at Line 1\n",
     1},
    {"words behind the keyword", 4, "Rising Waveform", "Rising Waveform", "Rising",
     WVFRM_KIND_WAVEFORM, "[Rising Waveform] now\n" + std::string(kFixtures) + "0 0 0 0\n1n 1 1 1\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For Rising Waveform: Expecting 1\n", 2},
};

class WaveTest : public CheckerTest, public ::testing::WithParamInterface<WaveCase> {};

int CountRows(const WVFRM *t) {
    int n = 0;
    for (const RNGP *r = t->points; r != nullptr; r = r->next)
        ++n;
    return n;
}

TEST_P(WaveTest, WholeOutput) {
    const WaveCase &c = GetParam();
    PARSE_SetIbisVersion(c.version);
    WVFRM *list = nullptr;
    FeedTable(
        c.input, [&](const char *line) { ASSERT_EQ(WVFRM_Init(line, &list, c.caption), 1); },
        [&](const char *line) { WVFRM_ParseLine(line, c.lineCaption); });
    WVFRM_EndKeyword(c.endCaption, c.kind);
    EXPECT_EQ(Output(), c.expected);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(CountRows(list), c.rows);
    WVFRM_Free(list);
}

INSTANTIATE_TEST_SUITE_P(Tables, WaveTest, ::testing::ValuesIn(kWaveCases), CaseName<WaveCase>);

using WaveRecordTest = CheckerTest;

// Reads one table of `rows` rows at increasing times.
void ReadRows(WVFRM **list, const char *keyword, const char *caption, const char *lineCaption,
              int rows) {
    std::string text = std::string(keyword) + "\n";
    for (int i = 0; i < rows; ++i)
        text += std::to_string(i) + "n 0 0 0\n";
    FeedTable(
        text, [&](const char *line) { WVFRM_Init(line, list, caption); },
        [&](const char *line) { WVFRM_ParseLine(line, lineCaption); });
    WVFRM_EndKeyword(lineCaption, WVFRM_KIND_COMPOSITE);
}

TEST_F(WaveRecordTest, RowLimitsByVersionAndTable) {
    struct {
        int version;
        const char *keyword, *caption, *lineCaption;
        int rows, limit;
    } cases[] = {
        {3, "[Rising Waveform]", "Rising Waveform", "Rising Waveform", 102, 100},
        {4, "[Rising Waveform]", "Rising Waveform", "Rising Waveform", 1002, 1000},
        {5, "[GND Pulse Table]", "GND Pulse", "GND Pulse Table", 102, 100},
        {2, "[Composite Current]", "Composite Current", "Composite Current", 102, 100},
    };
    for (const auto &c : cases) {
        PARSE_SetIbisVersion(c.version);
        WVFRM *list = nullptr;
        ReadRows(&list, c.keyword, c.caption, c.lineCaption, c.rows);
        const std::string text = "More than " + std::to_string(c.limit) +
                                 " data points provided for " + c.lineCaption + " table\n";
        std::string expected;
        for (int row = c.limit + 1; row <= c.rows; ++row) {
            char prefix[32];
            snprintf(prefix, sizeof prefix, "ERROR (line %4d) -\n    ", row + 1);
            expected += prefix + text;
        }
        EXPECT_EQ(Output(), expected) << c.keyword << " version " << c.version;
        EXPECT_EQ(CountRows(list), c.rows);
        WVFRM_Free(list);
    }
}

TEST_F(WaveRecordTest, TablesAppendInFileOrderAndThe101stIsReported) {
    WVFRM *list = nullptr;
    for (int i = 0; i < 102; ++i) {
        MSG_SetLineNumber(10 + i);
        ASSERT_EQ(WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform"), 1);
        WVFRM_ParseLine((std::to_string(i) + " 0 0 0").c_str(), "Rising Waveform");
        WVFRM_ParseLine((std::to_string(i) + ".5 0 0 0").c_str(), "Rising Waveform");
        WVFRM_EndKeyword("Rising", WVFRM_KIND_COMPOSITE);
    }
    EXPECT_EQ(Output(), "ERROR (line  110) - More than 100 Rising Waveforms are defined\n"
                        "ERROR (line  111) - More than 100 Rising Waveforms are defined\n");
    int n = 0;
    for (const WVFRM *t = list; t != nullptr; t = t->next, ++n)
        EXPECT_EQ(t->points->x, n);
    EXPECT_EQ(n, 102);
    WVFRM_Free(list);
}

// Lines reach only the table selected by WVFRM_Init, and only until its end;
// after a reset or once that table is freed nothing is selected.
TEST_F(WaveRecordTest, NothingSelectedTakesNothing) {
    WVFRM *list = nullptr;
    for (int kind : {WVFRM_KIND_WAVEFORM, WVFRM_KIND_PULSE, WVFRM_KIND_TEST_DATA,
                     WVFRM_KIND_COMPOSITE}) {
        WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform");
        WVFRM_EndKeyword("Rising", kind);
        Output();
        WVFRM_ParseLine("0 1 1 1", "Rising Waveform");
        WVFRM_ParseLine("R_fixture = 1", "Rising Waveform");
        WVFRM_EndKeyword("Rising", kind);
        EXPECT_EQ(Output(), "") << "kind " << kind;
    }
    for (const WVFRM *t = list; t != nullptr; t = t->next) {
        EXPECT_EQ(t->points, nullptr);
        EXPECT_EQ(t->R_fixture, nullptr);
    }
    WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform");
    WVFRM_Reset();
    WVFRM_ParseLine("0 1 1 1", "Rising Waveform");
    WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM);
    WVFRM_Free(list);
    list = nullptr;
    WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform");
    WVFRM_Free(list);
    WVFRM_ParseLine("0 1 1 1", "Rising Waveform");
    WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM);
    EXPECT_EQ(Output(), "");
}

TEST_F(WaveRecordTest, SameTimePoints) {
    struct {
        const char *wave, *composite;
        int same;
    } cases[] = {
        {"0 1 1 1\n1n 1 1 1\n", "0 2 2 2\n1n 2 2 2\n", 1},
        {"0 1 1 1\n1n 1 1 1\n", "0 2 2 2\n1.0000005n 2 2 2\n", 1},
        {"0 1 1 1\n1n 1 1 1\n", "0 2 2 2\n1.00001n 2 2 2\n", 0},
        {"0 1 1 1\n1n 1 1 1\n", "0 2 2 2\n1n 2 2 2\n2n 2 2 2\n", 0},
        {"0 1 1 1\nNA 1 1 1\n", "0 2 2 2\nNA 2 2 2\n", 1},
        {"0 1 1 1\nNA 1 1 1\n", "0 2 2 2\n1n 2 2 2\n", 0},
        {"", "", 1},
    };
    for (const auto &c : cases) {
        WVFRM *wave = nullptr;
        WVFRM_Init("[Rising Waveform]", &wave, "Rising Waveform");
        for (const std::string &line : SplitLines(c.wave))
            WVFRM_ParseLine(line.c_str(), "Rising Waveform");
        WVFRM_EndKeyword("Rising", WVFRM_KIND_COMPOSITE);
        WVFRM_Init("[Composite Current]", &wave->composite, "Composite Current");
        for (const std::string &line : SplitLines(c.composite))
            WVFRM_ParseLine(line.c_str(), "Composite Current");
        WVFRM_EndKeyword("Composite Current", WVFRM_KIND_COMPOSITE);
        Output();
        EXPECT_EQ(WVFRM_SameTimePoints(wave, wave->composite, 2, "m1", "Falling"), c.same)
            << c.wave << "/" << c.composite;
        EXPECT_EQ(Output(), c.same ? ""
                                   : "ERROR - Model m1: Falling Waveform [2] and its Composite "
                                     "Current don't have identical time points\n");
        WVFRM_Free(wave);  // with its composite current
    }
}

}  // namespace
