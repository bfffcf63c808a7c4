// The [Model] section when memory runs out. The text library's calloc calls
// go through a wrapper (linked with --wrap=calloc) that a test arms to fail
// the next request.
#include <cstdlib>
#include <regex>

#include "AllocFail.h"
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
        FailCalloc(1);
    MDL_ParseLine(lineType, code, text);
    FailCalloc(0);
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
// starts a fresh [On] instead of writing into the freed one.
TEST_F(ModelAllocTest, SeriesKeywordsAfterAFailedOn) {
    g_keyword = "[On]";
    g_countdown = 2;
    std::string out = Run("5.0", "[Model] s\nModel_type Series_switch\nC_comp 1p 1p 1p\n"
                                 "[Voltage Range] 3.3 3.0 3.6\n[On]\n[R Series] 1 1 1\n"
                                 "[On]\n[R Series] 2 2 2\n[Off]\n[L Series] 1n 1n 1n\n[End]\n");
    EXPECT_EQ(Plain(out),
              Expected("5.0", Err(10, "[On] Series Info: Already Defined for this model") +
                                  "ERROR - Memory allocation failed.  This request 64.\n\n"
                                  "PROGRAM BUG - Unable to Allocate Memory: IbisParser/sinfo N\n" +
                                  Err(11, "No preceding [On] or [Off] keyword found. Assuming [On]") +
                                  Tail("s")));
    IBIS *root = nullptr;
    ASSERT_FALSE(IBIS_GetCurrent(&root));  // the pass is over; nothing was left behind
}

// A model record that cannot be made leaves no model current: its lines are
// orphans, and the model before it is not renamed.
TEST_F(ModelAllocTest, ModelThatCannotBeMade) {
    PARSE_sections[SECTION_MODEL].init = [] {
        FailCalloc(g_countdown == 1 ? 1 : 0);
        MDL_Init();
        FailCalloc(0);
    };
    g_keyword = "[Model]";
    g_countdown = 2;
    std::string out = Run("5.0", InputModel("a") + "[Model] b\nModel_type Output\n[End]\n");
    EXPECT_EQ(Plain(out), Expected("5.0", "ERROR - Memory allocation failed.  This request " +
                                              std::to_string(sizeof(MDL)) + ".\n\n"
                                              "PROGRAM BUG - Unable to Allocate Memory: IbisParser/mdl N\n" +
                                              Err(10, "Orphan Model keyword.") +
                                              Err(11, "Orphan data line keyword.") + Tail("a")));
}

}  // namespace
