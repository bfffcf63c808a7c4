// The submodel and test sections when memory runs out: a table or spec that
// cannot be made leaves its slot empty (the one it replaces is gone), its
// lines are passed over (the sanitizer build sees that nothing reaches a
// freed block), and nothing after the failure is judged.
#include <regex>

#include "AllocFail.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl.h"
#include "IbisParser/testdata.h"
#include "IbisParser/wvfrm.h"
#include "tests/checker/SectionFile.h"

namespace {

// Fails the first allocation made for the n-th keyword line that starts
// with `keyword`, in whichever section it reaches.
const char *g_keyword = nullptr;
int g_countdown = 0;
PARSE_HANDLERS g_real[SECTION_COUNT];

template <int Section> void FailingLine(int lineType, IBIS_KEYWORD code, char *text) {
    if (lineType == LINE_KEYWORD && strncmp(text, g_keyword, strlen(g_keyword)) == 0 &&
        --g_countdown == 0)
        FailAlloc(1);
    g_real[Section].parseLine(lineType, code, text);
    FailAlloc(0);
}
template <int Section> void FailingInit() {
    FailAlloc(g_countdown == 1 && strcmp(g_keyword, "[Submodel]") == 0 ? 1 : 0);
    g_real[Section].init();
    FailAlloc(0);
}

class SectionAllocTest : public SectionFileTest {
protected:
    void SetUp() override {
        SectionFileTest::SetUp();
        memcpy(g_real, PARSE_sections, sizeof g_real);
        PARSE_sections[SECTION_SUBMDL].parseLine = FailingLine<SECTION_SUBMDL>;
        PARSE_sections[SECTION_SUBMDL].init = FailingInit<SECTION_SUBMDL>;
        PARSE_sections[SECTION_TESTDATA].parseLine = FailingLine<SECTION_TESTDATA>;
    }
    // Messages of the n-th keyword `keyword` failing its first allocation,
    // with the source lines of memory messages blanked.
    std::string RunFailing(const char *keyword, int n, const std::string &body) {
        g_keyword = keyword;
        g_countdown = n;
        return std::regex_replace(Run("4.2", body), std::regex("(IbisParser/[a-z]+) [0-9]+"),
                                  "$1 N");
    }
    static std::string NoMemory(size_t size, const char *source) {
        return "ERROR - Memory allocation failed.  This request " + std::to_string(size) +
               ".\n\nPROGRAM BUG - Unable to Allocate Memory: IbisParser/" + source + " N\n";
    }
};

TEST_F(SectionAllocTest, PulseTableThatCannotBeMade) {
    std::string out = RunFailing(
        "[GND Pulse Table]", 2,
        "[Submodel] s\nSubmodel_type Dynamic_clamp\n[Submodel Spec]\nV_trigger_f 1 1 1\n"
        "[GND Pulse Table]\n0 0 0 0\n1n 1 1 1\n2n 0 0 0\n[GND Pulse Table]\n0 0 0 0\n1n 5 5 5\n");
    EXPECT_EQ(out, "ERROR (line   12) - [GND Pulse Table] Already Defined\n" +
                       NoMemory(sizeof(WVFRM), "wvfrm"));
}

TEST_F(SectionAllocTest, SpecThatCannotBeMade) {
    std::string out = RunFailing("[Submodel Spec]", 2,
                                 "[Submodel] s\nSubmodel_type Dynamic_clamp\n[Submodel Spec]\n"
                                 "V_trigger_f 1 1 1\n[Submodel Spec]\nV_trigger_r 1 1 1\n"
                                 "[GND Pulse Table]\n0 0 0 0\n1n 1 1 1\n2n 0 0 0\n");
    EXPECT_EQ(out, "ERROR (line    8) - Sub Model Specification: Already Defined for this sub model\n" +
                       NoMemory(sizeof(SMSPEC), "smspec"));
}

TEST_F(SectionAllocTest, SubmodelThatCannotBeMade) {
    std::string out = RunFailing("[Submodel]", 1,
                                 "[Submodel] s\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n0 0 0 0\n");
    EXPECT_EQ(out, NoMemory(sizeof(SUBMDL), "submdl"));
}

TEST_F(SectionAllocTest, TestDataWaveformThatCannotBeMade) {
    std::string out = RunFailing("[Rising Waveform Near]", 2,
                                 "[Test Data] d\nTest_data_type Single_ended\nDriver_model m\n"
                                 "Test_load t\n[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n"
                                 "[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n");
    EXPECT_EQ(out, "ERROR (line   11) - [Rising Waveform Near] Already Defined\n" +
                       NoMemory(sizeof(WVFRM), "wvfrm"));
}

}  // namespace
