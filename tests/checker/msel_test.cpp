// [Model Selector]: each case is a small .ibs file and every message it
// gives (the body starts on line 4).
#include "SectionFile.h"

#include "IbisParser/cmpnt.h"
#include "IbisParser/difpin.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"

namespace {

std::string Unreferenced(const std::string &model) {
    return "WARNING - Model " + model +
           " not referenced in any [Pin], [Model Selector], [Driver Schedule] or [Series Pin "
           "Mapping] sections.\n No more warnings will be generated for un-referenced models\n";
}

const FileCase kCases[] = {
    // Rows name models defined before or after the selector; a model named
    // only in a selector is referenced.
    {"two models", "4.2", "[Model Selector] sel\nin the input\nout the output, in words\n" +
                              std::string(kPassingModels),
     NoDriveTables("out")},
    {"no rows, one row", "4.2",
     "[Model Selector] none\n[Model Selector] one\nin the input\n" + std::string(kPassingModels),
     "ERROR - Model Selector: 'none' has no models defined\n"
     "WARNING - Model Selector: 'one' has only one model defined\n" +
         NoDriveTables("out") + Unreferenced("out")},
    // A row named twice is kept twice, so the selector has two rows; a
    // reserved word names no model and is not looked for.
    {"rows", "4.2",
     "[Model Selector] sel\nin\nna a model\nin again\nGND ground\n" + std::string(kPassingModels),
     "ERROR (line    5) -\n    Incorrect Number of Line Items (1) For Keyword Model Selector: Expecting 2\n"
     "ERROR (line    6) - Invalid Model Name (\"NA\")\n"
     "ERROR (line    7) - Model 'in'. already used in this Model Selector\n" +
         NoDriveTables("out") + Unreferenced("out")},
    {"names", "4.2",
     "[Model Selector]\nin a\n[Model Selector] a b\nin a\nout b\n[Model Selector] Power\n"
     "in a\nout b\n[Model Selector] a\nin a\nout b\n" + std::string(kPassingModels),
     "ERROR (line    4) - 'Model Selector' Keyword Missing name\n"
     "WARNING - Model Selector: '' has only one model defined\n"
     "ERROR (line    6) -\n    Incorrect Number of Line Items (2) For Keyword Model Selector: Expecting 1\n"
     "ERROR (line    9) - Invalid Model SelectorName (\"Power\"); Reserved Word.\n"
     "ERROR (line   12) - Model Selector Name Previously Defined (\"a\")\n" +
         NoDriveTables("out")},
    // Names are cut to 20 characters below 4.0 and to 40 from 4.0 on; the
    // checks then look at the stored name.
    {"name limits 3.2", "3.2",
     "[Model Selector] abcdefghijklmnopqrstu\nin a\nabcdefghijklmnopqrstuvwxyz b\n"
     "[Model Selector] abcdefghijklmnopqrst\nin a\nout b\n",
     "ERROR (line    4) - Model Selector Name Over 20 Characters Long\n"
     "ERROR (line    6) - Model Name Over 20 Characters Long\n"
     "ERROR (line    7) -\n    Model Selector Name Previously Defined (\"abcdefghijklmnopqrst\")\n"
     "ERROR - Model 'in' in Model Selector 'abcdefghijklmnopqrst' is not defined in the file\n"
     "ERROR - Model 'out' in Model Selector 'abcdefghijklmnopqrst' is not defined in the file\n"
     "ERROR - Model 'in' in Model Selector 'abcdefghijklmnopqrst' is not defined in the file\n"
     "ERROR - Model 'abcdefghijklmnopqrst' in Model Selector 'abcdefghijklmnopqrst' is not "
     "defined in the file\n"},
    {"name limit 4.2", "4.2",
     "[Model Selector] " + std::string(41, 's') + "\nin a\nout b\n" + kPassingModels,
     "ERROR (line    4) - Model Selector Name Over 40 Characters Long\n" +
         NoDriveTables("out")},
    // The description takes 80 characters less the stored model name: with a
    // name cut to 40, a description of 45 characters is cut to 40.
    {"description limits", "4.2",
     "[Model Selector] sel\n" + std::string(100, 'm') + " " + std::string(45, 'd') + "\n" +
         std::string(40, 'n') + " " + std::string(40, 'e') + "\nin " + std::string(79, 'f') + "\n",
     "ERROR (line    5) - Exceeds 120 chararacters.\n"
     "ERROR (line    5) - Model Name Over 40 Characters Long\n"
     "ERROR (line    5) - Model Descriptor string '" + std::string(45, 'd') +
         "' is too long, truncating to 40 characters.\n"
         "ERROR (line    7) - Model Descriptor string '" + std::string(79, 'f') +
         "' is too long, truncating to 78 characters.\n"
         "ERROR - Model '" + std::string(40, 'm') + "' in Model Selector 'sel' is not defined in the file\n"
         "ERROR - Model '" + std::string(40, 'n') + "' in Model Selector 'sel' is not defined in the file\n"
         "ERROR - Model 'in' in Model Selector 'sel' is not defined in the file\n"},
    // A selector named like a model: 4021, and the model counts as referenced.
    {"named like a model", "4.2",
     "[Model Selector] out\nin the input\nout the output\n" + std::string(kPassingModels),
     NoDriveTables("out") + "ERROR - 'out' is the name of a Model and a Model Selector\n"},
    // The keyword after a selector ends it; submodel keywords that follow a
    // selector are orphans until the next [Model].
    {"orphan submodel keywords after a selector", "4.2",
     "[Submodel] s\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n-1 -1m -1m -1m\n0 0 0 0\n"
     "[Model Selector] sel\nin a\nout b\n[Pulldown]\n-1 -1m -1m -1m\n" + std::string(kPassingModels),
     "ERROR (line   12) - Orphan Sub Model keyword.\n"
     "ERROR (line   13) - Orphan data line keyword.\n" + NoDriveTables("out") +
         "WARNING - Submodel s is not referenced by any model [Add Submodel] keyword\n"},
};

class SelectorFileTest : public FileCaseTest {};

TEST_P(SelectorFileTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, SelectorFileTest, ::testing::ValuesIn(kCases), CaseName<FileCase>);

// The end-of-file check on models whose kind the diff-pin search has set:
// the first row sets the selector's kind, each later row of the other kind
// is reported.
TEST_F(SectionFileTest, SelectorKindFollowsItsFirstRow) {
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    std::string path = Write("t.ibs", Header("4.2", "t.ibs") +
                                          "[Model Selector] first_diff\nin a\nout b\nGND c\n"
                                          "[Model Selector] first_single\nout a\nin b\n"
                                          "[Model Selector] diff\nin a\nin b\n" +
                                          kPassingModels + "[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    Output();
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    MDL_FindByName("in", root->models)->single_ended = 0;  // found on a [Diff Pin]
    MSEL_CheckAll(root->modelSelectors);
    EXPECT_EQ(Output(),
              "WARNING - Model in in Model Selector first_single is Differential, but this Model "
              "Selector contains Single Ended models too \n"
              "WARNING - Model out in Model Selector first_diff is Single Ended, but this Model "
              "Selector contains Differential models too \n"
              "WARNING - Model GND in Model Selector first_diff is Single Ended, but this Model "
              "Selector contains Differential models too \n");
    EXPECT_EQ(MSEL_FindByName("first_diff", root->modelSelectors)->single_ended, 0);
    EXPECT_EQ(MSEL_FindByName("first_single", root->modelSelectors)->single_ended, 1);
    EXPECT_EQ(MSEL_FindByName("diff", root->modelSelectors)->single_ended, 0);
    EXPECT_EQ(MDL_FindByName("out", root->models)->referenced, 1);
    CHECKPASS_EndFile();
}

// The whole file with components: models found on a [Diff Pin] make a
// selector differential, and the pins that name it must be diff pins too.
// The [Diff Pin] rows are read by a stand-in that keeps their two pins.
class SelectorFlowTest : public SectionFileTest {
protected:
    void SetUp() override {
        SectionFileTest::SetUp();
        tables_ = CMPNT_tables;
        CMPNT_tables.diffPin.addRow = [](CMPNT *c, const char *text) {
            DIFPIN *row = nullptr;
            if (!CMN_Alloc(&row, sizeof(DIFPIN)))
                return 0;
            sscanf(text, "%5s %5s", row->pin, row->inv_pin);
            DIFPIN **tail = &c->diff_pins;
            while (*tail != nullptr)
                tail = &(*tail)->next;
            *tail = row;
            return 1;
        };
        CMPNT_tables.diffPin.freeRows = [](CMPNT *c) {
            for (DIFPIN *r = c->diff_pins; r != nullptr;) {
                DIFPIN *next = r->next;
                CMN_Free(r);
                r = next;
            }
            c->diff_pins = nullptr;
        };
        MSG_SuppressCautions(0);
    }
    void TearDown() override {
        SectionFileTest::TearDown();
        CMPNT_tables = tables_;
        MSG_SuppressCautions(1);
    }
    CMPNT_TABLES tables_;
};

const char kComponent[] =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n"
    "[Pin] signal_name model_name\n1 a sel\n2 b sel\n3 c in\n4 d GND\n"
    "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n3 4 0.1 0 0 0\n";

TEST_F(SelectorFlowTest, SingleEndedModelInADifferentialSelector) {
    EXPECT_EQ(Run("4.2", std::string(kComponent) + "[Model Selector] sel\nin the input\n"
                                                   "out the output\n" + kPassingModels),
              NoDriveTables("out") +
                  "WARNING - Model out in Model Selector sel is Single Ended, but this Model "
              "Selector contains Differential models too \n"
              "CAUTION - Pin 1 is not defined as a Diff Pin though the associated Model "
              "Selector sel was determined to be Differential\n"
              "CAUTION - Pin 2 is not defined as a Diff Pin though the associated Model "
              "Selector sel was determined to be Differential\n");
    // The other order: the first row sets the kind, the later one differs.
    EXPECT_EQ(Run("4.2", std::string(kComponent) + "[Model Selector] sel\nout the output\n"
                                                   "in the input\n" + kPassingModels),
              NoDriveTables("out") +
                  "WARNING - Model in in Model Selector sel is Differential, but this Model "
              "Selector contains Single Ended models too \n");
}

}  // namespace
