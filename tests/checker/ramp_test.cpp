// [Ramp]: each case is the keyword line with its data lines, ended as the
// model section ends it, and the whole message output.
#include <string>

#include "CheckerTest.h"
#include "TableDriver.h"

#include "IbisParser/ramp.h"

namespace {

struct RampCase {
    const char *name;
    std::string input;
    std::string expected;
};

const char kBoth[] = "dV/dt_r 1.0/0.5n 0.9/0.6n 1.1/0.4n\ndV/dt_f 1.0/0.5n 0.9/0.6n 1.1/0.4n\n";

const RampCase kRampCases[] = {
    {"complete", std::string("[Ramp]\n") + kBoth + "R_load = 50\n", ""},
    {"NA min and max", "[Ramp]\ndV/dt_r 1.0/0.5n NA na\ndV/dt_f 1.0/0.5n NA NA\n", ""},
    {"NA typ", "[Ramp]\ndV/dt_r NA 1/1n 1/1n\ndV/dt_f 1.0/0.5n NA NA\n",
     "ERROR (line    2) - 'NA' not allowed for dV/dt_r Typical value\n"},
    // Missing min and max hold zeros and so fail both positivity checks.
    {"only a typ pair", "[Ramp]\ndV/dt_f 1.0/0.5n\n",
     "ERROR (line    2) - No minimum Value Was Provided for dV/dt_f\n"
     "ERROR (line    2) - No maximum Value Was Provided for dV/dt_f\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"
     "ERROR - dV/dt_r Not Defined For Ramp Beginning on Line 1\n"},
    {"negative dV and zero dt", "[Ramp]\ndV/dt_r -1/1n 1/0 NA\ndV/dt_f 1.0/0.5n NA NA\n",
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"},
    {"unreadable pairs", "[Ramp]\ndV/dt_r 1.0 1/1n/2 x/1n\ndV/dt_f 1.0/0.5n NA NA\n",
     "ERROR (line    2) - Invalid dV/dt_r Typical Value (\"1.0\")\n"
     "ERROR (line    2) - Invalid dV/dt_r Minimum Value (\"1/1n/2\")\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - Invalid dV/dt_r Maximum Value (\"x/1n\")\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"},
    {"digits behind a scale letter", "[Ramp]\ndV/dt_r 1.0/0.5n5 NA NA\ndV/dt_f 1.0/0.5n NA NA\n",
     "WARNING (line    2) -\n"
     "    Suspicious Typical dV/dt_r Value (\"0.5n5\"); Numeric in Scale\n"},
    {"too many pairs", std::string("[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n x\n") + kBoth,
     "ERROR (line    2) - Incorrect Number of Line Items (4) For dV/dt_r: Expecting 3\n"
     "ERROR (line    3) - dV/dt_r Already Defined For Model 'm1'\n"},
    {"no pairs at all", "[Ramp]\ndV/dt_r\ndV/dt_f 1.0/0.5n NA NA\n",
     "ERROR (line    2) - Incorrect Number of Line Items (0) For dV/dt_r: Expecting 3\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dV must be greater than 0 in a Ramp specification\n"
     "ERROR (line    2) - dT must be greater than 0 in a Ramp specification\n"},
    {"names are exact", std::string("[Ramp]\ndv/dt_r 1/1n 1/1n 1/1n\nr_load = 5\n") + kBoth,
     "ERROR (line    2) - Unknown Line Among Ramp Data\n"
     "ERROR (line    3) - Unknown Line Among Ramp Data\n"},
    {"R_load forms",
     std::string("[Ramp]\n") + kBoth +
         "R_load 50\nR_load = abc\nR_load = 50 Ohm\nR_load = 60\n",
     "ERROR (line    4) - Invalid Ramp R_load Line\n"
     "ERROR (line    5) - Invalid R_load Value (\"abc\")\n"
     "ERROR (line    6) - Incorrect Number of Line Items (4) For R_load: Expecting 3\n"
     "ERROR (line    7) - R_load Already Defined For Model 'm1'\n"},
    {"R_load without '=' in three words", std::string("[Ramp]\n") + kBoth + "R_load 50 Ohm\n",
     "ERROR (line    4) - Invalid Ramp R_load Line\n"},
    {"R_load with digits behind the scale letter",
     std::string("[Ramp]\n") + kBoth + "R_load=5k5\n",
     "WARNING (line    4) - Suspicious Ramp R_load Value (\"5k5\"); Numeric in Scale\n"},
    {"only R_load", "[Ramp]\nR_load = 50\n",
     "ERROR - dV/dt_r Not Defined For Ramp Beginning on Line 1\n"
     "ERROR - dV/dt_f Not Defined For Ramp Beginning on Line 1\n"},
    {"words behind the keyword", std::string("[Ramp] fast\n") + kBoth,
     "ERROR (line    1) - Incorrect Number of Line Items (2) For Ramp: Expecting 1\n"},
};

class RampTest : public CheckerTest, public ::testing::WithParamInterface<RampCase> {};

TEST_P(RampTest, WholeOutput) {
    const RampCase &c = GetParam();
    RAMP *ramp = nullptr;
    FeedTable(
        c.input, [&](const char *line) { ASSERT_EQ(RAMP_Init(line, &ramp, "m1"), 1); },
        [&](const char *line) { RAMP_ParseLine(line, ramp, "m1"); });
    RAMP_EndKeyword(ramp);
    EXPECT_EQ(Output(), c.expected);
    RAMP_Free(ramp);
}

INSTANTIATE_TEST_SUITE_P(Tables, RampTest, ::testing::ValuesIn(kRampCases), CaseName<RampCase>);

using RampRecordTest = CheckerTest;

TEST_F(RampRecordTest, ValuesAndStates) {
    RAMP *ramp = nullptr;
    ASSERT_EQ(RAMP_Init("[Ramp]", &ramp, "m1"), 1);
    RAMP_ParseLine("dV/dt_r 1.0/0.5n NA 2/3p", ramp, "m1");
    RAMP_ParseLine("R_load=50", ramp, "m1");
    ASSERT_NE(ramp->dVdt_r, nullptr);
    EXPECT_EQ(ramp->dVdt_f, nullptr);
    EXPECT_EQ(ramp->dVdt_r->state[0], CMN_VALUE_NUMBER);
    EXPECT_DOUBLE_EQ(ramp->dVdt_r->dt[0], 0.5e-9);
    EXPECT_EQ(ramp->dVdt_r->state[1], CMN_VALUE_NA);
    EXPECT_DOUBLE_EQ(ramp->dVdt_r->dV[2], 2.0);
    EXPECT_DOUBLE_EQ(ramp->dVdt_r->dt[2], 3e-12);
    EXPECT_EQ(ramp->R_load_given, 1);
    EXPECT_EQ(ramp->R_load, 50.0);
    // A second [Ramp] replaces the first.
    MSG_SetLineNumber(9);
    ASSERT_EQ(RAMP_Init("[Ramp]", &ramp, "m1"), 1);
    EXPECT_EQ(ramp->dVdt_r, nullptr);
    EXPECT_EQ(ramp->R_load_given, 0);
    EXPECT_EQ(Output(), "ERROR (line    9) - Ramp Already Defined\n");
    RAMP_Free(ramp);
    // A [Ramp] whose record could not be made has nothing to read or end.
    RAMP_ParseLine("dV/dt_r 1/1n 1/1n 1/1n", nullptr, "m1");
    RAMP_EndKeyword(nullptr);
    EXPECT_EQ(Output(), "");
}

}  // namespace
