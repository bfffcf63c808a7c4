// The [Model] section where a literal reading would lose input, crash or
// misreport: one snippet each.
#include "ModelFixture.h"

#include "IbisParser/algmod.h"

namespace {

using namespace modeltest;

const char kNoTypeRT[] = "[Receiver Thresholds] should not be specified for model type No Type";

// Messages that name a Model_type print "No Type" for a type not given or
// not valid.
TEST_F(ModelTest, TypeNameOfNoType) {
    const char *text = nullptr;
    MDL_GetModelTypeName(0, &text);
    EXPECT_STREQ(text, "No Type");
    MDL_GetModelTypeName(1, &text);
    EXPECT_STREQ(text, "No Type");
    MDL_GetModelTypeName(22, &text);
    EXPECT_STREQ(text, "Input_diff");
    EXPECT_EQ(Run("5.0", "[Model] a\nModel_type bogus\nC_comp 1p 1p 1p\n[Receiver Thresholds]\n"
                         "[Voltage Range] 3.3 3.0 3.6\n[End]\n"),
              Expected("5.0", Err(5, "Invalid Model_type (\"bogus\")") + Warn(7, kNoTypeRT) +
                                  Err("Model 'a': Ramp Not Defined") + Tail("a")));
}

// Vinl, Vinh, Rref_diff and Cref_diff written before Model_type are kept and
// judged, with their own line, once the [Model] block closes.
TEST_F(ModelTest, ValuesBeforeModelTypeAreJudgedWhenTheBlockCloses) {
    std::string out = Run("5.0", "[Model] a\nVinl = 0.8\nRref_diff = 100\nModel_type Input\n"
                                 "C_comp 1p 1p 1p\nVinh = 2.0\n[Voltage Range] 3.3 3.0 3.6\n"
                                 "[Model] b\nCref_diff = 1p\nVinh = 2\nModel_type I/O_diff\n"
                                 "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
                                 "[Model] c\nVinl = 1\nRref_diff = 1\nC_comp 1p 1p 1p\n"
                                 "[Voltage Range] 3.3 3.0 3.6\n[End]\n");
    EXPECT_EQ(out, Expected("5.0", Warn(6, "Rreff_diff should not be specified for model type Input") +
                                       Warn(13, "Vinh should not be specified for model type I/O_diff") +
                                       Err("Model 'b': Ramp Not Defined") +
                                       Warn(19, "Rreff_diff should not be specified for model type No Type") +
                                       Err("Model 'c': Model_type Not Defined") +
                                       Err("Model 'c': Ramp Not Defined") + Tail("c")));
}

// A data line under a block's end keyword is input, not a program bug.
TEST_F(ModelTest, DataUnderEndKeywordsIsAnInvalidLine) {
    EXPECT_EQ(Run("5.0", InputModel("a") + "[End External Model]\nLanguage SPICE\n"
                                           "[Algorithmic Model]\n[End Algorithmic Model]\n"
                                           "Executable x_y_32 a b\n[End]\n"),
              Expected("5.0", Err(11, "Expecting Keyword.  Invalid Line") +
                                  Err(14, "Expecting Keyword.  Invalid Line") + Tail("a")));
}

// Short Executable lines: no second word gives no entry; missing file names
// stay empty.
TEST_F(ModelTest, ShortExecutableLines) {
    const std::string body = InputModel("a") +
                             "[Algorithmic Model]\nExecutable\nExecutable Linux_gcc_32\n"
                             "[End Algorithmic Model]\n[End]\n";
    EXPECT_EQ(Run("5.0", body),
              Expected("5.0", Err(11, "Incorrect Number of Line Items (1) For Algorithmic Model: Expecting 4") +
                                  Err(11, "Could not parse Platform, Compiler, Bits  for [Algorithmic "
                                          "Model] Executable Sub-parameter") +
                                  Err(12, "Incorrect Number of Line Items (2) For Algorithmic Model: Expecting 4") +
                                  Tail("a")));
}

// Bits beyond int stay out of range instead of wrapping to 32.
TEST_F(ModelTest, BitsBeyondIntAreOutOfRange) {
    const std::string body = InputModel("a") +
                             "[Algorithmic Model]\nExecutable Linux_gcc_4294967328 a.so a.ami\n"
                             "Executable Win_cl_2147483648 a.dll a.ami\n"
                             "Executable Mac_cc_99999999999999999999999 a.so a.ami\n"
                             "Executable Bsd_cc_2147483647 a.so a.ami\n"
                             "[End Algorithmic Model]\n[End]\n";
    std::string line = " for Algorithmic Model defined on line 10";
    EXPECT_EQ(Run("5.0", body),
              Expected("5.0", Err("The Number of Bits should be 32 or 64 for Platform Bsd and Compiler cc" + line) +
                                  Err("The Number of Bits should be 32 or 64 for Platform Mac and Compiler cc" + line) +
                                  Err("The Number of Bits should be 32 or 64 for Platform Win and Compiler cl" + line) +
                                  Err("The Number of Bits should be 32 or 64 for Platform Linux and Compiler gcc" + line) +
                                  Tail("a")));
}

// Names are found through an index: the newest model of a name wins, a
// lookup from inside the list sees only the older ones, and each file has
// its own.
TEST_F(ModelTest, NameLookupsThroughTheIndex) {
    std::string body;
    for (int i = 0; i < 2000; ++i)
        body += "[Model] m" + std::to_string(i) + "\n" + "Model_type Terminator\n";
    body += "[Model] m7\nModel_type Input\n[Model] x\nModel_type Output\n[End]\n";
    CHECKPASS_BeginFile();
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") + body);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    std::string out = Output();
    EXPECT_EQ(out.find("Previously Defined"), out.rfind("Previously Defined"));  // once
    EXPECT_NE(out.find(Err(4004, "Model Name Previously Defined (\"m7\")")), std::string::npos);
    IBIS *root = nullptr;
    MDL *models = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    ASSERT_TRUE(IBIS_GetModels(root, &models));
    MDL *newest7 = models->next;
    ASSERT_STREQ(newest7->name, "m7");
    EXPECT_EQ(MDL_FindByName("m7", models), newest7);
    MDL *older7 = MDL_FindByName("m7", newest7->next);
    ASSERT_NE(older7, nullptr);
    EXPECT_NE(older7, newest7);
    EXPECT_EQ(older7->Model_type, MDL_TYPE_TERMINATOR);
    EXPECT_EQ(MDL_FindByName("m1999", models)->Model_type, MDL_TYPE_TERMINATOR);
    EXPECT_EQ(MDL_FindByName("M7", models), nullptr);
    EXPECT_EQ(MDL_FindByName("x", newest7), nullptr);
    int type = 0;
    EXPECT_EQ(MDL_GetTypeByName(models, "m7", &type), 1);
    EXPECT_EQ(type, MDL_TYPE_INPUT);
    EXPECT_EQ(MDL_GetTypeByName(models, "none", &type), 0);
    EXPECT_EQ(MDL_MarkReferenced("m7", models), 1);
    EXPECT_EQ(newest7->referenced, 1);
    EXPECT_EQ(older7->referenced, 0);
    CHECKPASS_EndFile();
    Output();

    CHECKPASS_BeginFile();
    path = Write("n.ibs", Header("5.0", "n.ibs") + "[Model] m7\nModel_type Output\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    ASSERT_TRUE(IBIS_GetModels(root, &models));
    EXPECT_EQ(MDL_FindByName("m7", models), models);
    EXPECT_EQ(MDL_FindByName("x", models), nullptr);
    CHECKPASS_EndFile();
}

}  // namespace
