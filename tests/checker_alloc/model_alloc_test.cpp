// The [Model] section when memory runs out. The text library's requests go
// through wrappers (AllocFail.h) that a test arms to fail the next request.
#include <cstdlib>
#include <regex>

#include "AllocFail.h"
#include "IbisParser/wvfrm.h"
#include "tests/checker/ModelFixture.h"

namespace {

using namespace modeltest;

// Runs the model section, failing the first allocation made for the n-th
// keyword line that starts with `keyword`.
const char *g_keyword = nullptr;
int g_countdown = 0;
void FailingModelLine(int lineType, IBIS_KEYWORD code, char *text) {
    if (lineType == LINE_KEYWORD && g_keyword != nullptr &&
        strncmp(text, g_keyword, strlen(g_keyword)) == 0 && --g_countdown == 0)
        FailAlloc(1);
    MDL_ParseLine(lineType, code, text);
    FailAlloc(0);
}

class ModelAllocTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        PARSE_sections[SECTION_MODEL].parseLine = FailingModelLine;
    }
    // The output with source lines of memory messages blanked.
    static std::string Plain(const std::string &out) {
        return std::regex_replace(out, std::regex("(IbisParser/[a-z]+) [0-9]+"), "$1 N");
    }
};

// A second [On] frees the first; when the new one cannot be made, [R Series]
// starts a fresh [On] instead of writing into the freed one (the sanitizer
// build sees it), and nothing after the failure is judged.
TEST_F(ModelAllocTest, SeriesKeywordsAfterAFailedOn) {
    g_keyword = "[On]";
    g_countdown = 2;
    std::string out = Run("5.0", "[Model] s\nModel_type Series_switch\nC_comp 1p 1p 1p\n"
                                 "[Voltage Range] 3.3 3.0 3.6\n[On]\n[R Series] 1 1 1\n"
                                 "[On]\n[R Series] 2 2 2\n[Off]\n[L Series] 1n 1n 1n\n[End]\n");
    EXPECT_EQ(Plain(out),
              Expected("5.0", Err(10, "[On] Series Info: Already Defined for this model") +
                                  "ERROR - Memory allocation failed.  This request 64.\n\n"
                                  "PROGRAM BUG - Unable to Allocate Memory: IbisParser/sinfo N\n"));
    IBIS *root = nullptr;
    ASSERT_FALSE(IBIS_GetCurrent(&root));  // the pass is over; nothing was left behind
}

// A model record that cannot be made leaves no model current: its lines do
// not reach the model before it. What the pass says ends with the failure.
TEST_F(ModelAllocTest, ModelThatCannotBeMade) {
    PARSE_sections[SECTION_MODEL].init = [] {
        FailAlloc(g_countdown == 1 ? 1 : 0);
        MDL_Init();
        FailAlloc(0);
    };
    g_keyword = "[Model]";
    g_countdown = 2;
    std::string out = Run("5.0", InputModel("a") + "[Model] b\nModel_type Output\n[End]\n");
    EXPECT_EQ(Plain(out), Expected("5.0", "ERROR - Memory allocation failed.  This request " +
                                              std::to_string(sizeof(MDL)) + ".\n\n"
                                              "PROGRAM BUG - Unable to Allocate Memory: IbisParser/mdl N\n"));
}

// An [External Model] description that cannot be made: its lines are
// dropped, and nothing after the failure is judged.
TEST_F(ModelAllocTest, ExternalModelThatCannotBeMade) {
    g_keyword = "[External Model]";
    g_countdown = 1;
    std::string out = Run("5.0", "[Model] a\nModel_type Input\nVinl = 0.8\nVinh = 2.0\n"
                                 "[Voltage Range] 3.3 3.0 3.6\n[External Model]\nLanguage SPICE\n"
                                 "[End External Model]\n[End]\n");
    EXPECT_EQ(Plain(out), Expected("5.0", "ERROR - Memory allocation failed.  This request " +
                                              std::to_string(sizeof(EXTMDL)) + ".\n\n"
                                              "PROGRAM BUG - Unable to Allocate Memory: IbisParser/mdl N\n"));
}

// A waveform table that cannot be made: its lines are dropped, and so is the
// [Composite Current] after it, which must not replace the composite current
// of the waveform before it.
TEST_F(ModelAllocTest, CompositeCurrentOfAWaveformThatCannotBeMade) {
    g_keyword = "[Rising Waveform]";
    g_countdown = 2;
    const std::string rising = "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n0 0 0 0\n1n 1 1 1\n";
    CHECKPASS_BeginFile();
    const std::string path =
        Write("m.ibs", Header("5.0", "m.ibs") +
                           "[Model] o\nModel_type Output\nC_comp 1p 1p 1p\nVmeas = 1.5\n"
                           "[Voltage Range] 3.3 3.0 3.6\n" + rising +
                           "[Composite Current]\n0 0 0 0\n1n 1m 1m 1m\n" + rising +
                           "[Composite Current]\n0 0 0 0\n0.5n 2m 2m 2m\n1n 2m 2m 2m\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    EXPECT_EQ(Plain(Output()), "\nChecking m.ibs for IBIS 5.0 Compatibility...\n\n"
                               "ERROR - Memory allocation failed.  This request " +
                                   std::to_string(sizeof(WVFRM)) + ".\n\n"
                                   "PROGRAM BUG - Unable to Allocate Memory: IbisParser/wvfrm N\n");
    MDL *m = ParsedModels();
    ASSERT_NE(m, nullptr);
    ASSERT_NE(m->risingWaveform, nullptr);
    EXPECT_EQ(m->risingWaveform->next, nullptr);
    const WVFRM *composite = m->risingWaveform->composite;
    ASSERT_NE(composite, nullptr);
    ASSERT_NE(composite->points, nullptr);
    ASSERT_NE(composite->points->next, nullptr);
    EXPECT_EQ(composite->points->next->typ, 1e-3);  // its own rows, not the later block's
    EXPECT_EQ(composite->points->next->next, nullptr);
    CHECKPASS_EndFile();
}

}  // namespace
