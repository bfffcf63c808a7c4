// Ranges, table rows, series information and string lists.
#include <string>
#include <vector>

#include "CheckerTest.h"

#include "IbisParser/rngp.h"
#include "IbisParser/stringlist.h"

namespace {

using RecordsTest = CheckerTest;

TEST_F(RecordsTest, NumbersWithScaleLetters) {
    double v = -1;
    EXPECT_EQ(CMN_GetValue("10kOhm", &v), 1);
    EXPECT_DOUBLE_EQ(v, 1e4);
    EXPECT_EQ(CMN_GetValue("1.5n5", &v), 2);
    EXPECT_DOUBLE_EQ(v, 1.5e-9);
    v = -1;
    EXPECT_EQ(CMN_GetValue("2/", &v), 0);
    EXPECT_EQ(v, -1);
    int na = 0;
    EXPECT_EQ(CMN_GetValueOrNA("na", &v, &na), 1);
    EXPECT_EQ(na, 1);
    EXPECT_EQ(v, 0.0);
}

TEST_F(RecordsTest, RangeLineValuesAndStates) {
    RNG *r = nullptr;
    EXPECT_EQ(RNG_ParseLine("1.0 NA 2.0", "C_comp", &r), 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->typ, 1.0);
    EXPECT_EQ(r->typ_state, CMN_VALUE_NUMBER);
    EXPECT_EQ(r->min, 0.0);
    EXPECT_EQ(r->min_state, CMN_VALUE_NA);
    EXPECT_EQ(r->max, 2.0);
    RNG_Free(r);
    r = nullptr;
    EXPECT_EQ(RNG_ParseLine("10kOhm 1.5n 2m", "R", &r), 1);
    EXPECT_DOUBLE_EQ(r->typ, 1e4);
    EXPECT_DOUBLE_EQ(r->min, 1.5e-9);
    EXPECT_DOUBLE_EQ(r->max, 2e-3);
    RNG_Free(r);
    EXPECT_EQ(Output(), "WARNING (line    0) - Typ value is not in between Min and Max \n");
}

TEST_F(RecordsTest, RangeTypOutsideMinAndMax) {
    RNG *r = nullptr;
    RNG_ParseLine("3 1 2", "X", &r);
    RNG_Free(r);
    EXPECT_EQ(Output(), "WARNING (line    0) - Typ value is not in between Min and Max \n");
    RNG_ParseLine("1.5 2 1", "X", &r);
    RNG_Free(r);
    RNG_ParseLine("2 2 2", "X", &r);
    RNG_Free(r);
    EXPECT_EQ(Output(), "");
}

TEST_F(RecordsTest, RangeWordCounts) {
    RNG *r = nullptr;
    EXPECT_EQ(RNG_ParseLine("5", "C_pkg", &r), 1);
    EXPECT_EQ(r->typ_state, CMN_VALUE_NUMBER);
    EXPECT_EQ(r->min_state, CMN_VALUE_ABSENT);
    EXPECT_EQ(r->max_state, CMN_VALUE_ABSENT);
    RNG_Free(r);
    EXPECT_EQ(RNG_ParseLine("1 2 3 4", "C_pkg", &r), 1);
    EXPECT_EQ(r->max, 3.0);
    RNG_Free(r);
    EXPECT_EQ(RNG_ParseLine("1 x 3", "C_pkg", &r), 0);
    EXPECT_EQ(r->min_state, CMN_VALUE_ABSENT);
    RNG_Free(r);
    EXPECT_EQ(Output(),
              "ERROR (line    0) - No minimum Value Was Provided for C_pkg\n"
              "ERROR (line    0) - No maximum Value Was Provided for C_pkg\n"
              "ERROR (line    0) - Incorrect Number of Line Items (4) For C_pkg: Expecting 3\n"
              "WARNING (line    0) - Typ value is not in between Min and Max \n"
              "ERROR (line    0) - Invalid Minimum Value (\"x\")\n");
}

TEST_F(RecordsTest, RowLineAndRepeatedFirstColumn) {
    RNGP *head = nullptr, *row = nullptr;
    RNGP_TAIL tail{};
    int count = 0;
    ASSERT_EQ(RNGP_ParseLine("-1.0 1m 2m 3m", "Pulldown", "Voltage", &row), 1);
    EXPECT_EQ(row->x, -1.0);
    EXPECT_DOUBLE_EQ(row->max, 3e-3);
    RNGP_Append(&head, &tail, row, &count, 1);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(RNGP_ParseLine("-1.0 1", "Pulldown", "Voltage", &row), 1);
    RNGP_Append(&head, &tail, row, &count, 1);
    ASSERT_EQ(RNGP_ParseLine("-1.0 bad 1 1", "Pulldown", "Voltage", &row), 1);
    RNGP_Append(&head, &tail, row, &count, 1);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(RNGP_ParseLine("-1.0 1 1 1", "Pulldown", "Voltage", &row), 1);
    RNGP_Append(&head, &tail, row, &count, 0);
    EXPECT_EQ(count, 4);
    RNGP *prev = nullptr;
    EXPECT_EQ(RNGP_GetPrev(head, &prev), 0);
    EXPECT_EQ(RNGP_GetPrev(row, &prev), 1);
    EXPECT_EQ(prev, head->next->next);
    EXPECT_EQ(prev->next, row);
    RNGP_Free(head);
    RNGP_DropIndex(&tail);
    EXPECT_EQ(Output(),
              "ERROR (line    0) - No minimum Value Was Provided for Pulldown\n"
              "ERROR (line    0) - No maximum Value Was Provided for Pulldown\n"
              "WARNING (line    0) - Value -1.000000e+00 repeated in the First Column\n"
              "ERROR (line    0) - Invalid Typical Value (\"bad\")\n"
              "WARNING (line    0) - Value -1.000000e+00 repeated in the First Column\n"
              "WARNING (line    0) - Value -1.000000e+00 repeated in the First Column\n");
}

// The x index gives what a walk over the earlier rows gives: one 1403 per
// earlier equal row, -0.0 equal to 0.0, rows appended without the check
// counted too. A tail that does not describe its list (zero-filled for a list
// built elsewhere, or its index dropped) catches up on the next append. Rows
// in strictly rising or falling x need no index until one turns back.
TEST_F(RecordsTest, RepeatedFirstColumnAgreesWithAWalk) {
    struct Sequence {
        std::vector<double> xs;
        std::vector<int> checked;
        int drop;   // the index is dropped before this row (-1: never)
        int reset;  // the tail is zero-filled before this row (-1: never)
    };
    const Sequence sequences[] = {
        {{0.0, 1.0, -0.0, 2.5, 1.0, 1.0, 3.0, 0.0, 2.5, 1e-9, 1e-9, 1.0},
         {1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1}, 6, 8},
        {{-2, -1, 0, 1, 2, 2, 1, 3}, {1, 1, 1, 1, 1, 1, 1, 1}, -1, -1},
        {{5, 4, 3, 2, 3, 5, 0}, {1, 1, 1, 1, 1, 1, 1}, -1, -1},
        {{0.0, -0.0, 1, 2, 0.0}, {1, 1, 1, 1, 1}, -1, -1},
        {{1, 2, 3, 4, 2}, {0, 0, 0, 0, 1}, -1, -1},
        {{1, 2, 3, 1, 4}, {1, 1, 1, 0, 1}, 4, -1},
        {{1, 2, 3, 4, 3}, {1, 1, 1, 1, 1}, -1, 3},
        {{3, 3}, {1, 1}, -1, -1},
    };
    for (const Sequence &sequence : sequences) {
        RNGP *head = nullptr;
        RNGP_TAIL tail{};
        std::string expected;
        int n = 0;
        for (double x : sequence.xs) {
            if (n == sequence.drop) {
                RNGP_DropIndex(&tail);
            } else if (n == sequence.reset) {
                RNGP_DropIndex(&tail);
                tail = RNGP_TAIL{};  // as for a list that someone else built
            }
            int earlier = 0;
            for (const RNGP *r = head; r != nullptr; r = r->next)
                earlier += r->x == x;
            char text[96];
            snprintf(text, sizeof text,
                     "WARNING (line    0) - Value %e repeated in the First Column\n", x);
            for (int i = 0; sequence.checked[n] && i < earlier; ++i)
                expected += text;
            RNGP *row = nullptr;
            ASSERT_EQ(RNGP_Create(&row), 1);
            row->x = x;
            int count = 0;
            RNGP_Append(&head, &tail, row, &count, sequence.checked[n]);
            ++n;
            EXPECT_EQ(count, n);
            EXPECT_EQ(tail.last, row);
        }
        EXPECT_EQ(Output(), expected) << "sequence of " << sequence.xs.size() << " rows from "
                                      << sequence.xs[0];
        int forward = 0, backward = 0;
        const RNGP *last = nullptr;
        for (const RNGP *r = head; r != nullptr; r = r->next, ++forward)
            last = r;
        for (const RNGP *r = last; r != nullptr; r = r->prev)
            ++backward;
        EXPECT_EQ(forward, n);
        EXPECT_EQ(backward, n);
        RNGP_Free(head);
        RNGP_DropIndex(&tail);
    }
}

TEST_F(RecordsTest, RowWithOneWord) {
    RNGP *row = nullptr;
    ASSERT_EQ(RNGP_ParseLine("1", "Ramp", "Time", &row), 1);
    RNGP_Free(row);
    ASSERT_EQ(RNGP_ParseLine("1 2 3 4 5", "Ramp", "Time", &row), 1);
    RNGP_Free(row);
    EXPECT_EQ(Output(),
              "ERROR (line    0) - No typical Value Was Provided for Ramp\n"
              "ERROR (line    0) - No minimum Value Was Provided for Ramp\n"
              "ERROR (line    0) - No maximum Value Was Provided for Ramp\n"
              "ERROR (line    0) - Incorrect Number of Line Items (5) For Ramp: Expecting 4\n");
}

TEST_F(RecordsTest, SeriesInfoInitAndChecks) {
    SINFO *on = nullptr;
    EXPECT_EQ(SINFO_Init("[On]", &on, "[On]"), 1);
    ASSERT_NE(on, nullptr);
    RNG_Create(&on->Rl_series);
    RNG_Create(&on->Lc_series);
    EXPECT_EQ(SINFO_Init("[On] extra words", &on, "[On]"), 1);  // replaces the record
    EXPECT_EQ(on->Rl_series, nullptr);
    RNG_Create(&on->Rl_series);
    RNG_Create(&on->Rc_series);
    RNG_Create(&on->Lc_series);
    SINFO_Check(on, "m1", "[On]");
    RNG_Create(&on->R_series);
    SINFO_Check(on, "m1", "");
    SINFO_Free(on);
    EXPECT_EQ(Output(),
              "ERROR (line    0) - [On] Series Info: Already Defined for this model\n"
              "ERROR (line    0) - Incorrect Number of Line Items (3) For [On]: Expecting 1\n"
              "ERROR - Model m1 [On]: No series data found\n"
              "ERROR -\n    Model m1 [On]: Rl_series cannot be specified if L_series is not specified\n"
              "ERROR -\n    Model m1 [On]: Rc_series cannot be specified if C_series is not specified\n"
              "ERROR -\n    Model m1 [On]: Lc_series cannot be specified if C_series is not specified\n"
              "ERROR - Model m1 : Rl_series cannot be specified if L_series is not specified\n"
              "ERROR - Model m1 : Rc_series cannot be specified if C_series is not specified\n"
              "ERROR - Model m1 : Lc_series cannot be specified if C_series is not specified\n");
}

TEST_F(RecordsTest, StringListsAndNameCounters) {
    const char *a = "alpha", *b = "beta", *A = "ALPHA";
    STRING_LIST *l = STRING_PushList(nullptr, a, b, static_cast<const char *>(nullptr));
    EXPECT_STREQ(STRING_GetText(l), "beta");
    EXPECT_STREQ(STRING_GetText(STRING_GetNext(l)), "alpha");
    l = STRING_PushUnique(l, "alpha");
    EXPECT_STREQ(STRING_GetText(l), "beta");
    l = STRING_PushUnique(l, A);
    EXPECT_STREQ(STRING_GetText(l), "ALPHA");
    EXPECT_EQ(STRING_Contains(l, "beta"), 1);
    EXPECT_EQ(STRING_Contains(l, "Beta"), 0);
    EXPECT_EQ(STRING_GetNext(nullptr), nullptr);
    EXPECT_EQ(STRING_GetText(nullptr), nullptr);
    STRING_Free(l);

    STRING_ResetCounts();
    STRING_CountName("p1");
    STRING_CountName("p1");
    STRING_CountName("p2");
    EXPECT_EQ(STRING_GetCount("p1"), 2);
    EXPECT_EQ(STRING_GetCount("p2"), 1);
    EXPECT_EQ(STRING_GetCount("p3"), 0);
    std::string out = Output();
    EXPECT_EQ(out.rfind("PROGRAM BUG - Should not be here IbisParser/string ", 0), 0u) << out;
}

TEST_F(RecordsTest, NameCounterTableNeverOverflows) {
    STRING_ResetCounts();
    static char names[40][8];
    for (int i = 0; i < 40; ++i) {
        snprintf(names[i], sizeof names[i], "n%d", i);
        STRING_CountName(names[i]);
    }
    EXPECT_EQ(STRING_GetCount("n0"), 1);
    EXPECT_EQ(STRING_GetCount("n29"), 1);
    EXPECT_EQ(STRING_GetCount("n35"), 0);  // turned away, silently
    EXPECT_EQ(Output(), "");
    STRING_ResetCounts();
}

}  // namespace
