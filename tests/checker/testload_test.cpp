// [Test Load] and [Test Data] as they are read and closed: each case is a
// small 4.2 file and every message it gives (the body starts on line 4).
// Files without a [Model] end with the "undefined models" reports.
#include "SectionFile.h"

#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"
#include "IbisParser/wvfrm.h"

namespace {

const char kNoModels[] = "ERROR - Test Load 't' references undefined models\n";
const char kWave[] = "0 0 0 0\n1n 1 1 1\n";

std::string Load(const std::string &lines) { return "[Test Load] t\n" + lines; }
std::string Data(const std::string &lines) {
    return "[Test Data] d\nTest_data_type Single_ended\nDriver_model dm\nTest_load t\n" + lines;
}
std::string DataEnd(const std::string &messages) {
    return messages + "ERROR - Test Data 'd' references undefined models\n"
                      "ERROR - Test Data 'd' references undefined Test Loads\n";
}

const FileCase kLoadCases[] = {
    {"complete", "4.2",
     Load("Test_load_type Single_ended\nC1_near = 1p\nRs_near = 10\nLs_near = 1n\nC2_near = 1p\n"
          "Rp1_near = 50\nRp2_near = 50\nTd = 1n\nZo = 50\nRp1_far = 50\nRp2_far = 50\n"
          "C2_far = 1p\nLs_far = 1n\nRs_far = 10\nC1_far = 1p\nV_term1 1 0.9 1.1\n"
          "V_term2 0 0 0\nReceiver_model rx\n"),
     kNoModels},
    {"differential takes the differential elements", "4.2",
     Load("Test_load_type Differential\nR_diff_near = 100\nR_diff_far = 100\n"
          "Receiver_model rx\nReceiver_model_inv rxb\n"),
     kNoModels},
    {"end checks", "4.2",
     Load("Td = 1n\nRp1_far = 50\nRp2_near = 50\nR_diff_near = 100\nR_diff_far = 100\n"
          "Receiver_model_inv rxb\n"),
     "ERROR - Test Load 't': Test_load_type Not Defined\n"
     "ERROR - Test Load 't': If Td is specified then Zo must be specified also\n"
     "ERROR - Test Load 't': V_term1 must be specified when Rp1_near or Rp1_far is specified\n"
     "ERROR - Test Load 't': V_term2 must be specified when Rp2_near or Rp2_far is specified\n"
     "WARNING - Test Load 't' : R_diff_near specified for Test_load_type which is not Differential\n"
     "WARNING - Test Load 't' : R_diff_far specified for Test_load_type which is not Differential\n"
     "WARNING - Test Load 't' : Receiver_model_inv specified for Test_load_type which is not Differential\n" +
         std::string(kNoModels)},
    // A type in the wrong case counts as given: no 2224 at the end.
    {"type line forms", "4.2",
     "[Test Load] a\nTest_load_type differential\n[Test Load] b\nTest_load_type = Single_ended\n"
     "[Test Load] c\nTest_load_type\n[Test Load] e\nTest_load_type Single_ended x\n"
     "[Test Load] f\nTest_load_type Single\nTest_load_type Single_ended\n",
     "ERROR (line    5) -\n    Invalid Test_load_type (\"differential\") (try \"Differential\")\n"
     "ERROR (line    7) - Invalid Test_load_type Line\n"
     "ERROR (line    9) - 'Test_load_type' Subparameter Missing Setting\n"
     "ERROR (line   11) -\n    Incorrect Number of Line Items (3) For Test_load_type: Expecting 2\n"
     "ERROR (line   13) - Invalid Test_load_type (\"Single\")\n"
     "ERROR (line   14) - Test_load_type Already Defined For Test Load 'f'\n"
     "ERROR - Test Load 'f' references undefined models\n"
     "ERROR - Test Load 'e' references undefined models\n"
     "ERROR - Test Load 'c' references undefined models\n"
     "ERROR - Test Load 'b' references undefined models\n"
     "ERROR - Test Load 'a' references undefined models\n"},
    {"value line forms", "4.2",
     Load("Test_load_type Single_ended\nC1_near 1p\nC1_near = 2p\nRs_near = abc\n"
          "Ls_near = 1n 2n\nC2_near\nc2_far = 1p\n"),
     "ERROR (line    6) - Invalid C1_near Line\n"
     "ERROR (line    7) - C1_near Already Defined For Test Load\n"
     "ERROR (line    8) - Invalid Rs_near Value (\"abc\")\n"
     "ERROR (line    9) - Incorrect Number of Line Items (4) For Ls_near: Expecting 3\n"
     "ERROR (line   10) - Invalid C2_near Line\n"
     "ERROR (line   11) - Unknown Line Among Test Load\n" +
         std::string(kNoModels)},
    {"range line forms", "4.2",
     Load("Test_load_type Single_ended\nV_term1 NA 1 1\nV_term1 1 1 1\nV_term2 1\n"),
     "ERROR (line    6) - 'NA' Not Allowed For Typical Value\n"
     "ERROR (line    7) - V_term1 Already Defined For Test Load 't'\n"
     "ERROR (line    8) - No minimum Value Was Provided for V_term2\n"
     "ERROR (line    8) - No maximum Value Was Provided for V_term2\n" +
         std::string(kNoModels)},
    {"model name line forms", "4.2",
     Load("Test_load_type Differential\nReceiver_model\nReceiver_model = rx\n"
          "Receiver_model " + std::string(41, 'r') + "\nReceiver_model rx\n"
          "Receiver_model_inv gnd\n"),
     "ERROR (line    6) - 'Receiver_model' Subparameter Missing Setting\n"
     "ERROR (line    7) - Invalid Receiver_model Line\n"
     "ERROR (line    8) - Receiver_model Name Over 40 Characters Long\n"
     "ERROR (line    9) - Receiver_model Already Defined For Test Load 't'\n"
     "ERROR (line   10) - Invalid Receiver_model_inv (\"gnd\"); Reserved Word.\n" +
         std::string(kNoModels)},
    {"names", "4.2",
     "[Test Load]\n[Test Load] a b\nTest_load_type Single_ended\n[Test Load] NA\n"
     "Test_load_type Single_ended\n[Test Load] a\nTest_load_type Single_ended\n"
     "[Test Load] " + std::string(120, 'x') + "\nTest_load_type Single_ended\n",
     "ERROR (line    4) - 'Test Load' Keyword Missing name\n"
     "ERROR - Test Load '': Test_load_type Not Defined\n"
     "ERROR (line    5) -\n    Incorrect Number of Line Items (2) For Keyword Test Load: Expecting 1\n"
     "ERROR (line    7) - Invalid Test Load Name (\"NA\"); Reserved Word.\n"
     "ERROR (line    9) - TestLoad Name Previously Defined (\"a\")\n"
     "ERROR (line   11) - Exceeds 120 chararacters.\n"
     "ERROR (line   11) - Test Load Name Over 109 Characters Long\n"
     "ERROR - Test Load '" + std::string(109, 'x') + "' references undefined models\n"
     "ERROR - Test Load 'a' references undefined models\n"
     "ERROR - Test Load 'NA' references undefined models\n"
     "ERROR - Test Load 'a' references undefined models\n"
     "ERROR - Test Load '' references undefined models\n"},
};

class TestLoadFileTest : public FileCaseTest {};

TEST_P(TestLoadFileTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, TestLoadFileTest, ::testing::ValuesIn(kLoadCases),
                         CaseName<FileCase>);

const FileCase kDataCases[] = {
    {"complete", "4.2", Data("[Rising Waveform Near]\n" + std::string(kWave)), DataEnd("")},
    {"sub-parameters missing, no waveform", "4.2", "[Test Data] d\n[Test Load] t\n",
     "ERROR - Test Data 'd': Test_data_type Not Defined\n"
     "ERROR - Test Data 'd': Driver_model Not Defined\n"
     "ERROR - Test Data 'd': Test_load Not Defined\n"
     "ERROR - Test Data 'd': At least one Rising/Falling Waveform must be specified\n"
     "ERROR - Test Load 't': Test_load_type Not Defined\n"
     "ERROR - Test Data 'd' references undefined models\n"
     "ERROR - Test Load 't' references undefined models\n"},
    // Differential waveforms in a single-ended test data: one 2335 however
    // many there are.
    {"differential waveforms and driver", "4.2",
     Data("Driver_model_inv dmb\n[Diff Rising Waveform Near]\n" + std::string(kWave) +
          "[Diff Falling Waveform Far]\n0 1 1 1\n1n 0 0 0\n"),
     DataEnd("ERROR - Test Data 'd': Driver_model_inv can only be specified with Differential Test_data_type\n"
             "ERROR - Test Data 'd': Differential Rising/Falling Waveform can be specified only with Differential Test_data_type\n")},
    // Each waveform keyword has its own slot and its own duplicate text.
    {"every waveform twice", "4.2",
     Data("[Rising Waveform Near]\n[Rising Waveform Near]\n[Rising Waveform Far]\n"
          "[Rising Waveform Far]\n[Falling Waveform Near]\n[Falling Waveform Near]\n"
          "[Falling Waveform Far]\n[Falling Waveform Far]\n[Diff Rising Waveform Near]\n"
          "[Diff Rising Waveform Near]\n[Diff Rising Waveform Far]\n[Diff Rising Waveform Far]\n"
          "[Diff Falling Waveform Near]\n[Diff Falling Waveform Near]\n"
          "[Diff Falling Waveform Far]\n[Diff Falling Waveform Far]\n"),
     [] {
         static const char *const captions[] = {
             "Rising Waveform Near", "Rising Waveform Far", "Falling Waveform Near",
             "Falling Waveform Far", "Diff Rising Waveform Near", "Diff Rising Waveform Far",
             "Diff Falling Waveform Near", "Diff Falling Waveform Far"};
         std::string out;
         int line = 8;
         for (const char *c : captions) {
             for (int twice = 0; twice < 2; ++twice, ++line) {
                 if (twice) {
                     char buf[100];
                     snprintf(buf, sizeof buf, "ERROR (line %4d) - [%s] Already Defined\n", line, c);
                     out += buf;
                 }
                 out += "ERROR - Require at least 2 Data Points for " + std::string(c) +
                        " Waveform Beginning at Line " + std::to_string(line) + "\n";
             }
         }
         return DataEnd(out + "ERROR - Test Data 'd': Differential Rising/Falling Waveform can be "
                              "specified only with Differential Test_data_type\n");
     }()},
    {"sub-parameter line forms", "4.2",
     "[Test Data] d\nTest_data_type Differential\nTest_data_type Single_ended\n"
     "Driver_model = dm\nDriver_model dm x\nDriver_model\nDriver_model_inv " + std::string(41, 'm') +
         "\nTest_load = t\ntest_load t\n[Diff Rising Waveform Near]\nR_fixture = 50\n" + kWave,
     DataEnd("ERROR (line    6) - Test_data_type Already Defined For Test Data 'd'\n"
             "ERROR (line    7) - Invalid Driver_model Line\n"
             "ERROR (line    8) -\n    Incorrect Number of Line Items (3) For Driver_model: Expecting 2\n"
             "ERROR (line    9) - 'Driver_model' Subparameter Missing Setting\n"
             "ERROR (line   10) - Driver_model_inv Name Over 40 Characters Long\n"
             "ERROR (line   11) - Invalid Test_load Line\n"
             "ERROR (line   12) - Unknown Line Among Test Data\n"
             "ERROR - Test Data 'd': Driver_model Not Defined\n"
             "ERROR - Test Data 'd': Test_load Not Defined\n"
             "ERROR (line   14) - SubParameters are not allowed in Golden Waveforms\n")},
    {"type line forms", "4.2",
     "[Test Data] a\nTest_data_type single_ended\n[Test Data] b\nTest_data_type Both\n",
     "ERROR (line    5) -\n    Invalid Test_data_type (\"single_ended\") (try \"Single_ended\")\n"
     "ERROR - Test Data 'a': Driver_model Not Defined\n"
     "ERROR - Test Data 'a': Test_load Not Defined\n"
     "ERROR - Test Data 'a': At least one Rising/Falling Waveform must be specified\n"
     "ERROR (line    7) - Invalid Test_data_type (\"Both\")\n"
     "ERROR - Test Data 'b': Driver_model Not Defined\n"
     "ERROR - Test Data 'b': Test_load Not Defined\n"
     "ERROR - Test Data 'b': At least one Rising/Falling Waveform must be specified\n"
     "ERROR - Test Data 'b' references undefined models\n"
     "ERROR - Test Data 'b' references undefined Test Loads\n"
     "ERROR - Test Data 'a' references undefined models\n"
     "ERROR - Test Data 'a' references undefined Test Loads\n"},
    // Test_load holds 110 characters.
    {"test load names by length", "4.2",
     "[Test Data] d\nTest_data_type Single_ended\nDriver_model dm\nTest_load " +
         std::string(110, 't') + "\n[Rising Waveform Near]\n" + kWave +
         "[Test Data] e\nTest_data_type Single_ended\nDriver_model dm\nTest_load " +
         std::string(111, 't') + "\n[Rising Waveform Near]\n" + kWave,
     "ERROR (line   14) - Exceeds 120 chararacters.\n"
     "ERROR (line   14) - Test_load Name Over 110 Characters Long\n"
     "ERROR - Test Data 'e' references undefined models\n"
     "ERROR - Test Data 'e' references undefined Test Loads\n"
     "ERROR - Test Data 'd' references undefined models\n"
     "ERROR - Test Data 'd' references undefined Test Loads\n"},
    {"names", "4.2",
     "[Test Data]\n[Test Data] a b\n[Test Data] gnd\n[Test Data] a\n[Test Data] " +
         std::string(110, 'y') + "\n",
     [] {
         std::string out;
         auto closed = [&](const std::string &name) {
             out += "ERROR - Test Data '" + name + "': Test_data_type Not Defined\n"
                    "ERROR - Test Data '" + name + "': Driver_model Not Defined\n"
                    "ERROR - Test Data '" + name + "': Test_load Not Defined\n"
                    "ERROR - Test Data '" + name +
                    "': At least one Rising/Falling Waveform must be specified\n";
         };
         out += "ERROR (line    4) - 'Test Data' Keyword Missing name\n";
         closed("");
         out += "ERROR (line    5) -\n    Incorrect Number of Line Items (2) For Keyword Test Data: Expecting 1\n";
         closed("a");
         out += "ERROR (line    6) - Invalid Test Data Name (\"gnd\"); Reserved Word.\n";
         closed("gnd");
         out += "ERROR (line    7) - TestData Name Previously Defined (\"a\")\n"
                "ERROR (line    8) - Exceeds 120 chararacters.\n";
         closed("a");
         out += "ERROR (line    8) - Test Data Name Over 109 Characters Long\n";
         closed(std::string(109, 'y'));
         for (const std::string &name : {std::string(109, 'y'), std::string("a"), std::string("gnd"),
                                        std::string("a"), std::string("")})
             out += "ERROR - Test Data '" + name + "' references undefined models\n"
                    "ERROR - Test Data '" + name + "' references undefined Test Loads\n";
         return out;
     }()},
    // The keyword after a test data's waveforms ends it; waveform keywords
    // without a test data are orphans.
    {"orphan waveforms", "4.2",
     Data("[Falling Waveform Far]\n0 1 1 1\n1n 0 0 0\n") + "[Test Load] t\n" +
         "Test_load_type Single_ended\n[Rising Waveform Near]\n0 0 0 0\n",
     "ERROR (line   13) - Orphan Test Data keyword.\n"
     "ERROR (line   14) - Orphan data line keyword.\n"
     "ERROR - Test Data 'd' references undefined models\n"
     "ERROR - Test Load 't' references undefined models\n"},
};

class TestDataFileTest : public FileCaseTest {};

TEST_P(TestDataFileTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, TestDataFileTest, ::testing::ValuesIn(kDataCases),
                         CaseName<FileCase>);

using TestRecordTest = SectionFileTest;

int Rows(const WVFRM *w) {
    int n = 0;
    for (const RNGP *r = w != nullptr ? w->points : nullptr; r != nullptr; r = r->next)
        ++n;
    return n;
}

// What the sections store: values with their scale, the ranges, each
// waveform in its slot (a repeated one replaced), Test_load whole.
TEST_F(TestRecordTest, ValuesAndWaveformsLandInTheirSlots) {
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    std::string path = Write(
        "t.ibs", Header("4.2", "t.ibs") +
                     Load("Test_load_type Differential\nC1_near = 1p\nZo = 50\nV_term1 1 NA 2\n"
                          "Receiver_model rx\nR_diff_far = 100\n") +
                     "[Test Data] d\nTest_data_type Differential\nTest_load " + std::string(110, 'l') +
                     "\n[Rising Waveform Near]\n0 0 0 0\n[Rising Waveform Near]\n" + kWave +
                     "[Diff Falling Waveform Far]\n0 1 1 1\n0.5n 0.5 0.5 0.5\n1n 0 0 0\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    TESTLOAD *t = root->testLoads;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Test_load_type, TEST_TYPE_DIFFERENTIAL);
    ASSERT_NE(t->C1_near, nullptr);
    EXPECT_DOUBLE_EQ(*t->C1_near, 1e-12);
    ASSERT_NE(t->Zo, nullptr);
    EXPECT_DOUBLE_EQ(*t->Zo, 50);
    ASSERT_NE(t->R_diff_far, nullptr);
    EXPECT_EQ(t->R_diff_near, nullptr);
    ASSERT_NE(t->V_term1, nullptr);
    EXPECT_EQ(t->V_term1->min_state, CMN_VALUE_NA);
    EXPECT_STREQ(t->Receiver_model, "rx");
    EXPECT_EQ(TESTLOAD_FindByName("t", root->testLoads), t);
    TESTDATA *d = root->testData;
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Test_data_type, TEST_TYPE_DIFFERENTIAL);
    EXPECT_EQ(std::string(d->Test_load), std::string(110, 'l'));
    EXPECT_EQ(Rows(d->waveforms[TESTDATA_RISING_NEAR]), 2);
    EXPECT_EQ(d->waveforms[TESTDATA_RISING_NEAR]->next, nullptr);
    EXPECT_EQ(Rows(d->waveforms[TESTDATA_DIFF_FALLING_FAR]), 3);
    for (int i = 0; i < TESTDATA_WAVEFORMS; ++i) {
        if (i != TESTDATA_RISING_NEAR && i != TESTDATA_DIFF_FALLING_FAR) {
            EXPECT_EQ(d->waveforms[i], nullptr) << i;
        }
    }
    CHECKPASS_EndFile();
}

}  // namespace

namespace {

// No pin names the models: the newest draws the one unreferenced warning.
const char kUnreferenced[] =
    "WARNING - Model in not referenced in any [Pin], [Model Selector], [Driver Schedule] or "
    "[Series Pin Mapping] sections.\n No more warnings will be generated for un-referenced models\n";

std::string Wave() { return "[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n"; }

// The references of test loads and test data to models and test loads,
// checked at the end of the file. No component sits on a [Diff Pin], so
// every inverting model draws its warning.
const FileCase kReferenceCases[] = {
    {"receivers", "4.2",
     std::string(kPassingModels) +
         "[Test Load] a\nTest_load_type Differential\nReceiver_model in\nReceiver_model_inv in\n"
         "[Test Load] b\nTest_load_type Differential\nReceiver_model out\nReceiver_model_inv out\n"
         "[Test Load] c\nTest_load_type Differential\nReceiver_model nothing\n"
         "Receiver_model_inv none\n",
     NoDriveTables("out") +
         "ERROR - Receiver_model 'nothing' in Test Load 'c' is not defined in the file\n"
     "ERROR - Receiver_model_inv 'none' in Test Load 'c' is not defined in the file\n"
     "WARNING - Driver_model 'out' in Test Load 'b' is not an input type.\n"
     "WARNING - Driver_model 'out' in Test Load 'b' is not an input type.\n"
     "WARNING - Receiverr_model_inv 'out' in Test Load 'b' is not associated with a Differential Pin.\n"
     "WARNING - Receiverr_model_inv 'in' in Test Load 'a' is not associated with a Differential Pin.\n" +
         std::string(kUnreferenced)},
    {"drivers and test loads", "4.2",
     std::string(kPassingModels) + "[Test Load] tl\nTest_load_type Single_ended\n"
         "[Test Data] a\nTest_data_type Single_ended\nDriver_model out\nTest_load tl\n" + Wave() +
         "[Test Data] b\nTest_data_type Differential\nDriver_model in\nDriver_model_inv out\n"
         "Test_load tl\n" + Wave() +
         "[Test Data] c\nTest_data_type Differential\nDriver_model nothing\n"
         "Driver_model_inv none\nTest_load other\n" + Wave(),
     NoDriveTables("out") +
         "ERROR - Driver_model 'nothing' in Test Data 'c' is not defined in the file\n"
     "ERROR - Driver_model_inv 'none' in Test Data 'c' is not defined in the file\n"
     "ERROR -\n    Test Load 'other' referenced in Test Data 'c' is not defined in the file\n"
     "WARNING - Driver_model 'in' in Test Data 'b' is not an output type.\n"
     "WARNING - Driver_model_inv 'out' in Test Data 'b' is not associated with a Differential Pin.\n"
     "ERROR - Test_data_type in Test Data 'b' is not the same as Test_load_type in referenced Test Load 'tl'\n" +
         std::string(kUnreferenced)},
    {"no test loads", "4.2",
     std::string(kPassingModels) + "[Test Data] a\nTest_data_type Single_ended\nDriver_model out\n"
         "Test_load tl\n" + Wave(),
     NoDriveTables("out") + "ERROR - Test Data 'a' references undefined Test Loads\n" +
         std::string(kUnreferenced)},
};

class TestReferenceTest : public FileCaseTest {};

TEST_P(TestReferenceTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, TestReferenceTest, ::testing::ValuesIn(kReferenceCases),
                         CaseName<FileCase>);

}  // namespace
