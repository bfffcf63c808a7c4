// Inputs far past every limit: they complete with the right result (their
// speed is measured in bench/checker_bench.cpp).
#include <string>

#include "CheckerTest.h"

#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/smos.h"
#include "IbisParser/wvfrm.h"

namespace {

using BigTablesTest = CheckerTest;

size_t CountOf(const std::string &text, const std::string &part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(BigTablesTest, TwoHundredThousandRowTable) {
    const int kRows = 200000;
    CRV *table = nullptr;
    MSG_SetLineNumber(1);
    ASSERT_EQ(CRV_Init("[Pulldown]", "Pulldown", &table), 1);
    char line[96];
    for (int i = 0; i < kRows; ++i) {
        MSG_SetLineNumber(2 + i);
        snprintf(line, sizeof line, "%d.%03d %dm %dm %dm", i / 1000, i % 1000, i, i, i);
        CRV_ParseLine(line, table, "Pulldown");
    }
    CRV_ParseLine("0 0 0 0", table, "Pulldown");  // repeats the first voltage only
    CRV_EndKeyword("m1", MDL_TYPE_IO, KW_PULLDOWN, table, "Pulldown", "Model");
    EXPECT_EQ(Output(), "ERROR (line  102) - More Than 100 Voltage Points Provided For Pulldown\n"
                        "WARNING (line 200001) - Value 0.000000e+00 repeated in the First Column\n"
                        "NOTE (line 200001) - Pulldown Voltage data is non-monotonic\n"
                        "NOTE (line 200001) - Pulldown Typical data is non-monotonic\n"
                        "NOTE (line 200001) - Pulldown Minimum data is non-monotonic\n"
                        "NOTE (line 200001) - Pulldown Maximum data is non-monotonic\n");
    int rows = 0;
    for (const RNGP *r = table->points; r != nullptr; r = r->next)
        ++rows;
    EXPECT_EQ(rows, kRows + 1);
    CRV_Free(table);
}

TEST_F(BigTablesTest, FiftyThousandWaveforms) {
    const int kTables = 50000;
    WVFRM *list = nullptr;
    for (int i = 0; i < kTables; ++i) {
        MSG_SetLineNumber(1);
        ASSERT_EQ(WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform"), 1);
        WVFRM_ParseLine("R_fixture = 50", "Rising Waveform");
        WVFRM_ParseLine("V_fixture = 0", "Rising Waveform");
        WVFRM_ParseLine("0 0 0 0", "Rising Waveform");
        WVFRM_ParseLine((std::to_string(i + 1) + "p 1 1 1").c_str(), "Rising Waveform");
        WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM);
    }
    const std::string out = Output();
    EXPECT_EQ(CountOf(out, "\n"), static_cast<size_t>(kTables - 100));
    EXPECT_EQ(CountOf(out, "ERROR (line    1) - More than 100 Rising Waveforms are defined\n"),
              static_cast<size_t>(kTables - 100));
    int n = 0;
    for (const WVFRM *t = list; t != nullptr; t = t->next, ++n)
        ASSERT_DOUBLE_EQ(t->points->next->x, (n + 1) * 1e-12);
    EXPECT_EQ(n, kTables);
    WVFRM_Free(list);
}

TEST_F(BigTablesTest, FiftyThousandSeriesMosfets) {
    const int kEntries = 50000;
    SMOS *list = nullptr;
    char line[64];
    for (int i = 0; i < kEntries; ++i) {
        SMOS *entry = nullptr;
        ASSERT_EQ(SMOS_Init("[Series MOSFET]", &list, &entry), 1);
        // Every entry but the last two has a Vds of its own.
        snprintf(line, sizeof line, "Vds = %dm", i < kEntries - 1 ? i : 7);
        SMOS_ParseLine(line);
        SMOS_CheckTable("m1", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
    }
    Output();
    SMOS_CheckDuplicateVds(list, "m1", "[On]");
    EXPECT_EQ(Output(),
              "ERROR - Model m1 [On]: Found two Series_MOSFETs with identical Vds value 7.000000e-03\n");
    int n = 0;
    for (const SMOS *e = list; e != nullptr; e = e->next)
        ++n;
    EXPECT_EQ(n, kEntries);
    SMOS_Free(list);
}

}  // namespace
