// [Diff Pin]: the header, the rows and their values, and the checks that both
// pins exist and that no pin serves twice, also on large shuffled tables
// against every pair taken in turn.
#include <algorithm>
#include <random>

#include "ComponentTest.h"

namespace {

// "pin inv vdiff typ min max columns|" per row, "-" for a value not read.
std::string Rows(DIFPIN *rows) {
    std::string s;
    for (DIFPIN *d = rows; d != nullptr; d = d->next)
        s += std::string(d->pin) + " " + d->inv_pin + " " + Value(d->vdiff, d->vdiff_state) + " " +
             Value(d->tdelay_typ, d->tdelay_typ_state) + " " +
             Value(d->tdelay_min, d->tdelay_min_state) + " " +
             Value(d->tdelay_max, d->tdelay_max_state) + " " + std::to_string(d->columns) + "|";
    return s;
}

class DiffPinTest : public ComponentTest {
protected:
    void RunCases(const std::vector<TableCase> &cases) {
        RunTableCases(cases, [](IBIS *root, const std::string &) {
            return Rows(root->components->diff_pins);
        });
    }
};

// Pins 1-6 (lines 10-16); the table's header follows on line 17.
const std::string kPins =
    "[Pin] signal_name model_name\n1 a GND\n2 b GND\n3 c GND\n4 d GND\n5 e GND\n6 f GND\n";

TEST_F(DiffPinTest, Header) {
    RunCases({
        {"4.2", kPins + "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0.1 1n\n", "",
         "1 2 0.1 1e-09 - - 4|"},
        {"4.2", kPins + "[Diff Pin] INV_PIN vdiff tdelay_typ tdelay_min tdelay_max\n"
                        "1 2 0.1 1n 0.5n 2n\n",
         ""},
        // A sixth word counts one more column; later ones are not counted.
        {"4.2", kPins + "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max x y\n",
         "E0532 (line 17) - Diff_Pins keyword column count must be 4 or 6, found 7 columns.\n"},
        {"4.2", kPins + "[Diff Pin] inv_pin tdelay_typ vdiff tdelay_min\n1 2 0.1 1n\n"
                        "[Diff Pin] inv_pin vdiff tdelay_typ\n",
         "E0532 (line 17) - Diff_Pins keyword column count must be 4 or 6, found 5 columns.\n"
         "E0529 (line 17) - 'vdiff' column header not found or out of order.\n"
         "E0529 (line 17) - 'tdelay_typ' column header not found or out of order.\n"
         "E0527 (line 19) - Duplicate Diff_Pin keyword found.\n"},
        {"4.2", kPins + "[Diff Pin]\n",
         "E0528 (line 17) - Unable to find column headers after Diff_Pins keyword.\n"},
    });
}

TEST_F(DiffPinTest, RowsAndValues) {
    const std::string header4 = kPins + "[Diff Pin] inv_pin vdiff tdelay_typ\n";  // 17
    const std::string header6 =
        kPins + "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n";
    RunCases({
        // NA stands for 0, and for tdelay_typ in tdelay_max.
        {"4.2", header6 + "1 2 NA 1n na NA\n", "", "1 2 0 1e-09 0 1e-09 6|"},
        // Typ outside min and max; between max and min given the other way.
        {"4.2", header6 + "1 2 0.1 1n 2n 3n\n3 4 0.1 2.5n 3n 2n\n",
         "W0807 (line 18) - Typ value is not in between Min and Max \n"},
        // Five columns; six under a four-column header; seven.
        {"4.2", header4 + "1 2 0.1 1n 0\n3 4 0.1 1n 0 2n\n5 6 0.1 1n 0 2n 0\n",
         "E0808 (line 18) - Diff_Pin data line column count must be 4 or 6.\n"
         "E0809 (line 19) - When using 6 columns, the tdelay_min and tdelay_max headers must be "
         "used.\n"
         "E0801 (line 20) - Too many Diff Pin data columns.\n"
         "E0809 (line 20) - When using 6 columns, the tdelay_min and tdelay_max headers must be "
         "used.\n",
         "1 2 0.1 1e-09 0 - 5|3 4 0.1 1e-09 0 2e-09 6|5 6 0.1 1e-09 0 2e-09 6|"},
        // A pin paired with itself; a bad and a suspicious value; a lone pin.
        {"4.2", header4 + "1 1 x 5p3\n2\n",
         "E0804 (line 18) - Diff_Pin column pin same as inv_pin column pin.\n"
         "E0816 (line 18) - Bad value for vdiff column.\n"
         "W0817 (line 18) - Suspicious value for tdelay_typ column.\n"
         "E0803 (line 19) - No inv_pin column entry.\n"
         "E0805 (line 19) - No vdiff column entry.\n"
         "E0806 (line 19) - No tdelay_typ column entry.\n"
         "E0808 (line 19) - Diff_Pin data line column count must be 4 or 6.\n"
         "E0811 - Component 'c': inv_pin '' not previously declared in Pin section.\n",
         "1 1 - 5e-12 - - 4|2  - - - - 1|"},
        // A pin name over 5 characters.
        {"4.2", header4 + "123456 2 0 0\n",
         "E1912 (line 18) - Diff_Pin column string '123456' is too long, truncating to 5 "
         "characters.\n"
         "E0810 - Component 'c': Diff_Pin '12345' not previously declared in Pin section.\n"},
    });
}

TEST_F(DiffPinTest, Pairs) {
    const std::string header = kPins + "[Diff Pin] inv_pin vdiff tdelay_typ\n";
    RunCases({
        {"4.2", header + "1 2 0 0\n3 9 0 0\n8 4 0 0\n1 5 0 0\n6 2 0 0\n5 3 0 0\n",
         "E0811 - Component 'c': inv_pin '9' not previously declared in Pin section.\n"
         "E0810 - Component 'c': Diff_Pin '8' not previously declared in Pin section.\n"
         "W0812 - Component 'c': Diff_Pin '1' is not unique.\n"
         "W0815 - Component 'c': inv_pin '2' is not unique.\n"
         "E0813 - Component 'c': Inv_pin '3' already in use as a Diff_pin.\n"
         "E0814 - Component 'c': Diff_pin '5' already in use as an inv_pin.\n"},
        // Without [Pin] only the pairs are checked.
        {"4.2", "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0 0\n9 1 0 0\n",
         "E0524 - Unable to find Pin keyword data for Component 'c'.\n"
         "E0813 - Component 'c': Inv_pin '1' already in use as a Diff_pin.\n"},
    });
}

TEST_F(DiffPinTest, IndexedPairsSayWhatEveryPairSays) {
    std::mt19937 random(8);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int messages = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        DIFPIN *rows = nullptr;
        const int names = 2 + pick(20);
        for (int n = pick(30); n > 0; --n) {
            DIFPIN *row = nullptr;
            ASSERT_TRUE(DIFPIN_Create(&row));
            strcpy(row->pin, std::to_string(pick(names)).c_str());
            strcpy(row->inv_pin, std::to_string(pick(names)).c_str());
            DIFPIN_Append(&rows, row);
        }
        Output();
        DIFPIN_CheckAll(rows, nullptr, "c");
        std::string indexed = Output();
        for (DIFPIN *a = rows; a != nullptr; a = a->next)
            for (DIFPIN *b = a->next; b != nullptr; b = b->next) {
                if (strcmp(a->pin, b->pin) == 0)
                    MSG_WarningFrom(MSGSRC_DIFPIN, 812, "c", b->pin);
                if (strcmp(a->pin, b->inv_pin) == 0)
                    MSG_ErrorFrom(MSGSRC_DIFPIN, 813, "c", b->inv_pin);
                if (strcmp(a->inv_pin, b->pin) == 0)
                    MSG_ErrorFrom(MSGSRC_DIFPIN, 814, "c", b->pin);
                if (strcmp(a->inv_pin, b->inv_pin) == 0)
                    MSG_WarningFrom(MSGSRC_DIFPIN, 815, "c", b->inv_pin);
            }
        std::string plain = Output();
        ASSERT_EQ(indexed, plain);
        messages += static_cast<int>(std::count(plain.begin(), plain.end(), '\n'));
        DIFPIN_Free(rows);
    }
    EXPECT_GT(messages, 1000);
}

}  // namespace
