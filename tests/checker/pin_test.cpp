// [Pin]: the header and its column map, the rows, the lookups by pin name and
// the end checks of a component's pins.
#include "ComponentTest.h"

#include <unistd.h>

namespace {

struct Case {
    const char *version;
    std::string body;  // after the component's lines 4-9
    std::string messages;
    // The rows read: "pin signal model R L C|" each; n stands for NA, - for absent.
    std::string pins;
};

std::string Rows(PIN *pins) {
    std::string s;
    for (PIN *p = pins; p != nullptr; p = p->next)
        s += std::string(p->pin) + " " + p->signal_name + " " + p->model_name + " " +
             Value(p->R_pin, p->R_pin_state) + " " + Value(p->L_pin, p->L_pin_state) + " " +
             Value(p->C_pin, p->C_pin_state) + "|";
    return s;
}

class PinTest : public ComponentTest {
protected:
    void RunCases(const std::vector<Case> &cases) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.body);
            std::string rows;
            std::string out = Run(c.version, std::string(kGoodComponent) + c.body,
                                  [&](IBIS *root) { rows = Rows(root->components->pins); });
            EXPECT_EQ(out, c.messages);
            EXPECT_EQ(rows, c.pins);
        }
    }
};

TEST_F(PinTest, HeaderAndColumnMap) {
    RunCases({
        {"4.2", "[Pin] signal_name model_name R_pin L_pin C_pin\n1 s GND 1 2 3\n", "",
         "1 s GND 1 2 3|"},
        // The columns are read in the header's order, whatever the case.
        {"4.2", "[Pin] Signal_Name MODEL_NAME C_pin r_pin L_PIN\n1 s GND 1 2 3\n", "",
         "1 s GND 2 3 1|"},
        // A column named twice keeps its first place; the one not named
        // keeps its reset place.
        {"4.2", "[Pin] signal_name model_name L_pin R_pin L_pin\n1 s GND 1 2 3\n",
         "E0531 (line 10) - Duplicate column header 'L_pin' .\n", "1 s GND 2 1 3|"},
        // Three header columns: six-column rows are faulted, still read.
        {"3.2", "[Pin] signal_name model_name\n1 s GND 1 2 3\n2 t POWER\n",
         "E0605 (line 11) - When using 6 columns, the headers R_pin, L_pin, and C_pin must be "
         "listed.\n",
         "1 s GND 1 2 3|2 t POWER - - -|"},
        {"3.2", "[Pin]\n1 s GND\n",
         "E0528 (line 10) - Unable to find column headers after Pin keyword.\n", "1 s GND - - -|"},
        {"5.0", "[Pin] signal_name model_name R_pin\n1 s GND 1\n",
         "E0532 (line 10) - Pin keyword column count must be 3 or 6, found 4 columns.\n"
         "E0604 (line 11) - Each line of Pin data must contain either 3 or 6 columns.\n",
         "1 s GND 1 - -|"},
        {"5.0", "[Pin] signal_name model_name R_pin L_pin C_pin x y\n1 s GND 1 2 3\n",
         "E0532 (line 10) - Pin keyword column count must be 3 or 6, found 7 columns.\n",
         "1 s GND 1 2 3|"},
        {"5.0", "[Pin] model_name signal_name X_pin\n1 s GND\n",
         "E0532 (line 10) - Pin keyword column count must be 3 or 6, found 4 columns.\n"
         "E0529 (line 10) - 'signal_name' column header not found or out of order.\n"
         "E0529 (line 10) - 'model_name' column header not found or out of order.\n"
         "E0530 (line 10) - Unknown column header 'X_pin' or out of order.\n",
         "1 s GND - - -|"},
        // A second [Pin]: its header is refused, its rows join the list.
        {"5.0", "[Pin] signal_name model_name\n1 s GND\n[Pin] bad\n2 t GND\n",
         "E0523 (line 12) - Duplicate Pin keyword found.\n", "1 s GND - - -|2 t GND - - -|"},
    });
}

TEST_F(PinTest, Rows) {
    const std::string header = "[Pin] signal_name model_name R_pin L_pin C_pin\n";  // line 10
    const std::string s21(21, 's');
    RunCases({
        {"5.0", header + "1 s GND 1 2\n2 s GND 1 2 3 4 5\n3 s\n4\n",
         "E0604 (line 11) - Each line of Pin data must contain either 3 or 6 columns.\n"
         "E0603 (line 13) - Model name not found.\n"
         "E0604 (line 13) - Each line of Pin data must contain either 3 or 6 columns.\n"
         "E0602 (line 14) - Signal name not found.\n"
         "E0603 (line 14) - Model name not found.\n"
         "E0604 (line 14) - Each line of Pin data must contain either 3 or 6 columns.\n"
         "E0608 - Component 'c': Model '' for Pin '3' not defined.\n"
         "E0608 - Component 'c': Model '' for Pin '4' not defined.\n",
         "1 s GND 1 2 -|2 s GND 1 2 3|3 s  - - -|4   - - -|"},
        {"5.0", header + "123456 s GND NA abc 5p3\n",
         "E1912 (line 11) - Pin string '123456' is too long, truncating to 5 characters.\n"
         "E1909 (line 11) - Invalid L_pin Value (\"abc\")\n"
         "W1910 (line 11) - Suspicious C_pin Pin Value (\"5p3\"); Numeric in Scale\n",
         "12345 s GND n - 5e-12|"},
        // Names of 21 characters are too long below version 4 only.
        {"3.2", "[Pin] signal_name model_name\n1 " + s21 + " GND\n",
         "E1912 (line 11) - Signal name string '" + s21 +
             "' is too long, truncating to 20 characters.\n",
         "1 " + s21.substr(0, 20) + " GND - - -|"},
        {"4.2", "[Pin] signal_name model_name\n1 " + s21 + " GND\n", "",
         "1 " + s21 + " GND - - -|"},
        // Each later row of a name is reported once per earlier one; all stay.
        {"4.2", "[Pin] signal_name model_name\n1 a GND\n1 b GND\n2 c GND\n1 d GND\n",
         "E0606 (line 12) - Duplicate Pin '1'.\n"
         "E0606 (line 14) - Duplicate Pin '1'.\n"
         "E0606 (line 14) - Duplicate Pin '1'.\n",
         "1 a GND - - -|1 b GND - - -|2 c GND - - -|1 d GND - - -|"},
    });
}

// Lookups answer for the first row of a name, and for an absent pin when the
// component has no pins at all.
TEST_F(PinTest, LookupsByName) {
    MSG_SetLineNumber(0);
    PIN *pins = nullptr;
    PIN_COLUMN_MAP map = {0, 1, 2};
    for (const char *row : {"1 a power", "2 b Gnd", "1 c GND", "3 d m"}) {
        PIN *p = nullptr;
        ASSERT_TRUE(PIN_ParseRow(row, 3, &p, &map));
        PIN_Append(&pins, p);
    }
    EXPECT_TRUE(PIN_Exists("3", pins));
    EXPECT_FALSE(PIN_Exists("4", pins));
    EXPECT_STREQ(PIN_FindByName("1", pins)->signal_name, "a");
    EXPECT_STREQ(PIN_GetModelName("3", pins), "m");
    EXPECT_EQ(PIN_GetModelName("4", pins), nullptr);
    EXPECT_TRUE(PIN_IsPower("1", pins));
    EXPECT_FALSE(PIN_IsGnd("1", pins));
    EXPECT_TRUE(PIN_IsGnd("2", pins));
    EXPECT_TRUE(PIN_IsPowerOrGnd("2", pins));
    EXPECT_FALSE(PIN_IsPowerOrGnd("3", pins));
    EXPECT_FALSE(PIN_IsPowerOrGnd("4", pins));
    PIN_Free(pins);
    EXPECT_EQ(Messages(Output()), "E0606 (line 0) - Duplicate Pin '1'.\n");

    EXPECT_FALSE(PIN_Exists("1", nullptr));
    EXPECT_EQ(PIN_FindByName("1", nullptr), nullptr);
    EXPECT_EQ(PIN_GetModelName("1", nullptr), nullptr);
    EXPECT_FALSE(PIN_IsPower("1", nullptr));
    EXPECT_FALSE(PIN_IsGnd("1", nullptr));
    EXPECT_FALSE(PIN_IsPowerOrGnd("1", nullptr));
    EXPECT_DEATH(
        {
            dup2(2, 1);  // the assertion prints on the standard output
            PIN_Exists(nullptr, nullptr);
        },
        "IbisParser/pin.cpp:[0-9]+:assertion failed.");
}

// The end checks against models, selectors, mappings, diff pins and the
// package model; models and selectors are built by the test.
TEST_F(PinTest, ChecksAgainstModels) {
    const std::string rows = "[Pin] signal_name model_name\n1 a io\n2 b sel\n3 c ser\n"
                             "4 d gnd\n5 e Nc\n6 f CircuitCall\n7 g nomodel\n8 h NA\n";
    auto models = [this](IBIS *) {
        AddModel("io", MDL_TYPE_IO);
        AddModel("ser", MDL_TYPE_SERIES);
        AddModel("unused", MDL_TYPE_INPUT);
        AddSelector("sel", {"io"});
    };
    EXPECT_EQ(Run("3.2", std::string(kGoodComponent) + rows, models),
              "E0610 - Component 'c':  Pin '3': Model 'ser': model type for a Pin cannot be "
              "Series or Series_switch.\n"
              "E0608 - Component 'c': Model 'nomodel' for Pin '7' not defined.\n"
              "E0608 - Component 'c': Model 'NA' for Pin '8' not defined.\n"
              // Models on pins are referenced; the one on none is not.
              "W0219 - Model unused not referenced in any [Pin], [Model Selector], [Driver "
              "Schedule] or [Series Pin Mapping] sections.\n No more warnings will be generated "
              "for un-referenced models\n");
    EXPECT_EQ(models_[2]->referenced + models_[1]->referenced * 10 + models_[0]->referenced * 100,
              11);  // io and ser, not unused
    ClearModels();

    // Below version 3 only models count, and their type is not looked at.
    EXPECT_EQ(Run("2.1", std::string(kGoodComponent) + rows, models),
              "E0608 - Component 'c': Model 'sel' for Pin '2' not defined.\n"
              "E0608 - Component 'c': Model 'nomodel' for Pin '7' not defined.\n"
              "E0608 - Component 'c': Model 'NA' for Pin '8' not defined.\n"
              "W0219 - Model unused not referenced in any [Pin], [Model Selector], [Driver "
              "Schedule] or [Series Pin Mapping] sections.\n No more warnings will be generated "
              "for un-referenced models\n");
}

TEST_F(PinTest, ChecksAgainstMappingsDiffPinsAndPackageModel) {
    static int s_version;
    static IBIS *s_root;
    CMPNT_pkgmdlOps.findByName = [](PKGMDL *list, const char *name, PKGMDL **) {
        return list != nullptr && strcmp(name, "pk") == 0 ? 1 : 0;
    };
    CMPNT_pkgmdlOps.nextPinNumber = [](PKGMDL *, const char *, int first, const char **out) {
        static int at;
        static const char *const kPins[] = {"1", "9", "3"};
        at = first ? 0 : at + 1;
        if (at >= 3)
            return 0;
        *out = kPins[at];
        return 1;
    };
    // The search reads a .pkg file, with a version of its own, into the root.
    CMPNT_pkgmdlOps.findInPkgFiles = [](const char *name) {
        s_version = PARSE_GetIbisVersion();
        PARSE_SetIbisVersion(2);
        if (strcmp(name, "pk") == 0)
            s_root->packageModels = FakePackageModels();
        return 1;
    };
    std::string body = std::string(kGoodComponent) +
                       "[Package Model] pk\n[Pin] signal_name model_name\n1 a io\n2 b sel\n"
                       "3 c io\n4 d GND\n";
    std::string out = Run("4.2", body, [this](IBIS *root) {
        s_root = root;
        MDL *io = AddModel("io", MDL_TYPE_IO);
        MSEL *sel = AddSelector("sel", {"io"});
        io->single_ended = 0;  // as the receiver-threshold check leaves them
        sel->single_ended = 0;
        CMPNT *c = root->components;
        AddDiffPin(c, "3", "8");
        AddPinMapping(c, "1");
        AddPinMapping(c, "4");
    });
    EXPECT_EQ(out,
              "C0611 - Pin 1 is not defined as a Diff Pin though the associated Model io was "
              "determined to be Differential\n"
              "C0609 - Pin 2 is not defined as a Diff Pin though the associated Model Selector "
              "sel was determined to be Differential\n"
              "E0612 - Component 'c': Pin '2' not referenced in Pin Mappings.\n"
              "E0612 - Component 'c': Pin '3' not referenced in Pin Mappings.\n"
              "E0613 - Pin '9' found in Package_Model 'pk' Pin_Numbers list not found in "
              "Component 'c' Pin list.\n"
              // The rows' own checks follow the pin checks.
              "W0711 - Component c Pin 4 is a GND pin. Usually only has Pulldown_ref in Pin "
              "Mapping\n"
              "E0811 - Component 'c': inv_pin '8' not previously declared in Pin section.\n");
    EXPECT_EQ(s_version, 4);
    EXPECT_EQ(PARSE_GetIbisVersion(), 4);  // restored after the search

    // A search that reads files without the model, and the alternate names.
    PARSE_SetIbisVersion(0);
    out = Run("5.0", std::string(kGoodComponent) + "[Package Model] other\n[Pin] signal_name "
              "model_name\n1 a GND\n[Alternate Package Models]\nq\npk\n"
              "[End Alternate Package Models]\n",
              [](IBIS *root) { s_root = root; });
    EXPECT_EQ(out, "E0516 - Unable to find Package Model 'other' for Component 'c'\n"
                   "E0516 - Unable to find Package Model 'q' for Component 'c'\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 5);
}

// The same checks on models that the file defines.
TEST_F(PinTest, ModelsDefinedInTheFile) {
    const std::string body = std::string(kGoodComponent) +
                             "[Pin] signal_name model_name\n1 a io\n2 b ser\n3 c dm\n4 d GND\n"
                             "5 e undefined\n"
                             "[Model] io\nModel_type I/O\n[Model] ser\nModel_type Series\n"
                             "[Model] dm\nModel_type Input_diff\n";
    EXPECT_EQ(ComponentMessages(Run("4.2", body)),
              "E0610 - Component 'c':  Pin '2': Model 'ser': model type for a Pin cannot be "
              "Series or Series_switch.\n"
              "E0608 - Component 'c': Model 'undefined' for Pin '5' not defined.\n"
              "E0544 - TBD: Put this in model check, *_DIFF without external model\n"
              "E0545 - Component <c> pin <3> model <dm> type <Input_diff> using [External Model] "
              "without corresponding [Diff_Pin]\n");
    EXPECT_EQ(ComponentMessages(Run("2.1", body)),
              "E0608 - Component 'c': Model 'undefined' for Pin '5' not defined.\n");
}

}  // namespace
