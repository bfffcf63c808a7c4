// [Driver Schedule]: row names, delays, the end check of the row count and
// the whole-file check of the scheduled models.
#include "ModelBlockTest.h"

#include <string>

#include "IbisParser/dly.h"
#include "IbisParser/drvsh.h"

namespace {

struct Case {
    const char *what;
    int version;
    const char *lines;
    const char *expected;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

const Case kCases[] = {
    {"two rows", 5, "[Driver Schedule]\nm2 1n NA 2n NA\nm3 NA 1n NA 2n\n", ""},
    {"one row", 5, "[Driver Schedule]\nm2 1n NA 2n NA\n",
     "WARNING - Model 'm1': The [Driver_Schedule] has only one model defined\n"},
    {"no row", 5, "[Driver Schedule]\n",
     "ERROR - Model 'm1': The [Driver_Schedule] has no models defined\n"},
    {"words after the keyword", 5, "[Driver Schedule] x y\nm2 1n NA 2n NA\nm3 1n NA 2n NA\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (3) For Driver Schedule: Expecting 1\n"},
    {"a second schedule replaces the first", 5,
     "[Driver Schedule]\nm2 1n NA 2n NA\nm3 1n NA 2n NA\n[Driver Schedule]\nm2 1n NA 2n NA\n",
     "ERROR (line    4) - Driver Schedule: Already Defined for this model\n"
     "WARNING - Model 'm1': The [Driver_Schedule] has only one model defined\n"},

    {"one delay given", 5, "[Driver Schedule]\nm2 1n NA NA NA\nm3 1n NA 2n NA\n",
     "ERROR (line    2) - At least two delays must be specified\n"},
    {"rise on with fall off", 5, "[Driver Schedule]\nm2 1n NA NA 2n\nm3 1n NA 3n 2n\n",
     "ERROR (line    2) - Rise_on_dly and Fall_off_delay cannot be specified together\n"
     "ERROR (line    3) - Rise_on_dly and Fall_off_delay cannot be specified together\n"},
    {"rise off with fall on", 5, "[Driver Schedule]\nm2 NA 1n 2n NA\nm3 1n 2n 3n 4n\n",
     "ERROR (line    2) - Rise_off_dly and Fall_on_delay cannot be specified together\n"},
    {"a negative delay", 5, "[Driver Schedule]\nm2 -1n NA 2n NA\nm3 1n NA -2n NA\n",
     "ERROR (line    2) - Rise_on_dly is less than zero\n"
     "ERROR (line    3) - Fall_on_dly is less than zero\n"},
    {"a bad delay stops the checks", 5, "[Driver Schedule]\nm2 x NA NA -1n\nm3 1n NA 2n NA\n",
     "ERROR (line    2) - Invalid Rise_on_dly Value (\"x\")\n"},
    {"missing columns", 5, "[Driver Schedule]\nm2 1n\nm3 1n 2n\nm4 1n NA 2n\nm5\n",
     "ERROR (line    2) - No Rise_off_dly Value Was Provided for m2\n"
     "ERROR (line    2) - At least two delays must be specified\n"
     "ERROR (line    3) - No Fall_on_dly Value Was Provided for m3\n"
     "ERROR (line    4) - No Fall_off_dly Value Was Provided for m4\n"
     "ERROR (line    5) - Incorrect Number of Line Items (0) For m5: Expecting 4\n"
     "ERROR (line    5) - At least two delays must be specified\n"},
    {"a fifth column", 5, "[Driver Schedule]\nm2 1n NA 2n NA 3n\nm3 1n NA 2n NA\n",
     "ERROR (line    2) - Incorrect Number of Line Items (5) For m2: Expecting 4\n"},

    {"the enclosing model", 5, "[Driver Schedule]\nm1 1n NA 2n NA\nm2 1n NA 2n NA\n",
     "ERROR (line    2) -\n    Model Name in Driver Schedule is the same as enclosing Model (\"m1\")\n"},
    {"a reserved word", 5, "[Driver Schedule]\nGND 1n NA 2n NA\nm2 1n NA 2n NA\n",
     "ERROR (line    2) -\n    Invalid Model Name in Driver Schedule (\"GND\"); Reserved Word.\n"},
    {"a name used twice", 5, "[Driver Schedule]\nm2 1n NA 2n NA\nm3 1n NA 2n NA\nm2 NA 1n NA 2n\nM2 1n NA 2n NA\n",
     "ERROR (line    4) - Model Name (\"m2\") previously used in this Driver Schedule\n"},
    {"a long name in a 3.2 file", 3,
     "[Driver Schedule]\nabcdefghijklmnopqrstu 1n NA 2n NA\nabcdefghijklmnopqrstv 1n NA 2n NA\n",
     "ERROR (line    2) - Model Name Over 20 Characters Long\n"
     "ERROR (line    3) - Model Name Over 20 Characters Long\n"
     "ERROR (line    3) -\n    Model Name (\"abcdefghijklmnopqrst\") previously used in this Driver Schedule\n"},
    {"the same names in a 4.2 file", 4,
     "[Driver Schedule]\nabcdefghijklmnopqrstu 1n NA 2n NA\nabcdefghijklmnopqrstv 1n NA 2n NA\n", ""},
};

class DrvshTest : public ModelBlockTest, public ::testing::WithParamInterface<Case> {};

TEST_P(DrvshTest, WholeOutput) {
    PARSE_SetIbisVersion(GetParam().version);
    MDL *m = NewModel("m1", MDL_TYPE_OUTPUT);
    EXPECT_EQ(Feed(m, GetParam().lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DrvshTest, ::testing::ValuesIn(kCases));

using DrvshRecordTest = ModelBlockTest;

TEST_F(DrvshRecordTest, RowsAreNewestFirstWithTheirDelays) {
    PARSE_SetIbisVersion(5);
    MDL *m = NewModel("m1", MDL_TYPE_OUTPUT);
    Feed(m, "[Driver Schedule]\nm2 1n NA 2n NA\nm3 -1n NA 2n NA\nm3 NA\n");
    const DRVSH_MODEL *e = m->driverSchedule->models;
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "m3");  // the duplicate row is kept
    EXPECT_EQ(e->delays->Rise_on_state, CMN_VALUE_NA);
    EXPECT_EQ(e->delays->Fall_on_state, CMN_VALUE_ABSENT);
    e = e->next;
    EXPECT_STREQ(e->name, "m3");
    EXPECT_DOUBLE_EQ(e->delays->Rise_on_dly, -1e-9);  // kept although negative
    e = e->next;
    EXPECT_STREQ(e->name, "m2");
    EXPECT_EQ(e->delays->Rise_on_state, CMN_VALUE_NUMBER);
    EXPECT_DOUBLE_EQ(e->delays->Fall_on_dly, 2e-9);
    EXPECT_EQ(e->next, nullptr);
}

TEST_F(DrvshRecordTest, ManyRowsEachNameOnce) {
    PARSE_SetIbisVersion(5);
    MDL *m = NewModel("m1", MDL_TYPE_OUTPUT);
    std::string lines = "[Driver Schedule]\n";
    for (int i = 0; i < 5000; ++i)
        lines += "d" + std::to_string(i) + " 1n NA 2n NA\n";
    lines += "d4999 1n NA 2n NA\nd0 1n NA 2n NA\n";
    EXPECT_EQ(Feed(m, lines),
              "ERROR (line 5002) -\n    Model Name (\"d4999\") previously used in this Driver Schedule\n"
              "ERROR (line 5003) - Model Name (\"d0\") previously used in this Driver Schedule\n");
}

TEST_F(DrvshRecordTest, CheckAllLooksUpEachScheduledModel) {
    PARSE_SetIbisVersion(5);
    MDL *driver = NewModel("drv", MDL_TYPE_IO);
    NewModel("out", MDL_TYPE_OUTPUT);
    NewModel("in", MDL_TYPE_INPUT);
    MDL *nested = NewModel("nested", MDL_TYPE_3STATE);
    NewModel("term", MDL_TYPE_TERMINATOR);
    Feed(driver, "[Driver Schedule]\nout 1n NA 2n NA\nin 1n NA 2n NA\nnested 1n NA 2n NA\n"
                 "term 1n NA 2n NA\nghost 1n NA 2n NA\n");
    Feed(nested, "[Driver Schedule]\nout 1n NA 2n NA\nsw 1n NA 2n NA\n");
    NewModel("sw", MDL_TYPE_SERIES_SWITCH);
    DRVSH_CheckAll(List());
    EXPECT_EQ(Output(),
              "ERROR - Model sw used in the Driver Schedule of Model nested should be an output model\n"
              "ERROR - Model ghost used in the Driver Schedule of Model drv is not defined\n"
              "ERROR - Model term used in the Driver Schedule of Model drv should be an output model\n"
              "ERROR - Model nested used in the Driver Schedule of Model drv cannot itself have a Driver Schedule\n"
              "ERROR -\n    Model in used in the Driver Schedule of Model drv should be an output model\n");
    for (MDL *m = List(); m != nullptr; m = m->next)
        EXPECT_EQ(m->referenced, m != driver) << m->name;
}

}  // namespace
