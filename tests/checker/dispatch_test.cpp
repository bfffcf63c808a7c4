// The section protocol of the reader: end of the previous owner, begin,
// line handler; refused keywords by file kind; context remaps.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "CheckerTest.h"
#include "IbisParser/hdr.h"

namespace {

std::vector<std::string> g_log;
const char *const kSec[SECTION_COUNT] = {"HDR", "CMPNT", "EXT", "MDL", "PKG",
                                         "EBD", "MSEL",  "SUB", "TD",  "TL"};

template <int S> void Init() { g_log.push_back(std::string(kSec[S]) + ".init"); }
template <int S> void Line(int type, IBIS_KEYWORD code, char *text) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s.line %d %d %s", kSec[S], type, static_cast<int>(code), text);
    g_log.push_back(buf);
}
template <int S> void End(IBIS_KEYWORD next) {
    g_log.push_back(std::string(kSec[S]) + ".end " + std::to_string(static_cast<int>(next)));
}
template <int S> void Reset() { g_log.push_back(std::string(kSec[S]) + ".reset"); }

template <int S> void Register(bool withReset = false) {
    PARSE_sections[S] = {Init<S>, Line<S>, End<S>, withReset ? Reset<S> : nullptr};
}

void RegisterAll() {
    Register<SECTION_HEADER>();
    Register<SECTION_COMPONENT>();
    Register<SECTION_EXTCKT>();
    Register<SECTION_MODEL>();
    Register<SECTION_PKGMDL>();
    Register<SECTION_EBDMDL>();
    Register<SECTION_MSEL>();
    Register<SECTION_SUBMDL>();
    Register<SECTION_TESTDATA>();
    Register<SECTION_TESTLOAD>();
}

using Log = std::vector<std::string>;

class DispatchTest : public CheckerTest {
protected:
    void SetUp() override {
        CheckerTest::SetUp();
        g_log.clear();
        RegisterAll();
    }
    // Feeds lines through one version's dispatcher as the reader would.
    void Feed(int version, int kind, std::initializer_list<const char *> lines) {
        for (const char *l : lines) {
            char buf[1024];
            snprintf(buf, sizeof buf, "%s", l);
            int type = buf[0] == '[' ? LINE_KEYWORD : LINE_DATA;
            switch (version) {
            case 21: PARSE_DispatchLine21(kind, type, buf); break;
            case 32: PARSE_DispatchLine32(kind, type, buf); break;
            case 42: PARSE_DispatchLine42(kind, type, buf); break;
            default: PARSE_DispatchLine50(kind, type, buf); break;
            }
        }
    }
    Log Take() {
        Log l = g_log;
        g_log.clear();
        return l;
    }
};

TEST_F(DispatchTest, KeywordEndsPreviousOwnerThenBeginsThenHandsOverTheLine) {
    Feed(50, FILE_IBS, {"[Model] m1", "Model_type Input", "[Pulldown]", "1 2 3 4",
                        "[Component] c1", "[Pin] signal model"});
    EXPECT_EQ(Take(), (Log{"MDL.init", "MDL.line 1 32 [Model] m1", "MDL.line 4 32 Model_type Input",
                           "MDL.end 40", "MDL.line 1 40 [Pulldown]", "MDL.line 4 40 1 2 3 4",
                           "MDL.end 9", "CMPNT.init", "CMPNT.line 1 9 [Component] c1",
                           "CMPNT.end 12", "CMPNT.line 1 12 [Pin] signal model"}));
    EXPECT_EQ(Output(), "");
}

TEST_F(DispatchTest, KeywordsAreCaseAndBlankInsensitive) {
    Feed(50, FILE_IBS, {"[model] a", "[MODEL] b", "[Pin Mapping] x", "[pin_mapping] y"});
    EXPECT_EQ(Take(), (Log{"MDL.init", "MDL.line 1 32 [model] a", "MDL.end 32", "MDL.init",
                           "MDL.line 1 32 [MODEL] b", "MDL.end 14",
                           "CMPNT.line 1 14 [Pin Mapping] x", "CMPNT.end 14",
                           "CMPNT.line 1 14 [pin_mapping] y"}));
}

TEST_F(DispatchTest, SectionKeywordsRefusedByFileKind) {
    // A refused keyword still becomes current: its end handler runs (in any
    // kind), its lines are dropped.
    Feed(50, FILE_PKG, {"[Component] c", "data", "[Model] m", "[Define Package Model] p",
                        "[Begin Board Description] b"});
    EXPECT_EQ(Take(), (Log{"CMPNT.end 32", "MDL.end 74", "PKG.init",
                           "PKG.line 1 74 [Define Package Model] p", "PKG.end 89"}));
    EXPECT_EQ(Output(),
              "ERROR (line    0) - Illegal keyword for a '.pkg' file.\n"
              "ERROR (line    0) - Illegal keyword for a '.pkg' file.\n"
              "ERROR (line    0) - Illegal keyword for a '.pkg' file.\n");

    PARSE_Reset();
    Feed(50, FILE_EBD, {"[Model] m", "[Define Package Model] p", "[Begin Board Description] b"});
    EXPECT_EQ(Take(), (Log{"MDL.end 74", "PKG.end 89", "EBD.init",
                           "EBD.line 1 89 [Begin Board Description] b"}));
    EXPECT_EQ(Output(),
              "ERROR (line    0) - Illegal keyword for a '.ebd' file.\n"
              "ERROR (line    0) - Illegal keyword for a '.ebd' file.\n");

    PARSE_Reset();
    Feed(50, FILE_IBS, {"[Begin Board Description] b", "[Test Load] t"});
    EXPECT_EQ(Take(), (Log{"EBD.end 117", "TL.init", "TL.line 1 117 [Test Load] t"}));
    EXPECT_EQ(Output(), "ERROR (line    0) - Illegal keyword for a '.ibs' file.\n");
}

TEST_F(DispatchTest, PackageModelOpensInEveryKindUnderVersion21) {
    Feed(21, FILE_EBD, {"[Define Package Model] p", "data"});
    EXPECT_EQ(Take(), (Log{"PKG.init", "PKG.line 1 74 [Define Package Model] p", "PKG.line 4 74 data"}));
    EXPECT_EQ(Output(), "");
}

TEST_F(DispatchTest, ManufacturerFollowsItsContext) {
    Feed(50, FILE_IBS, {"[Component] c", "[Manufacturer] a", "[Define Package Model] p",
                        "[Manufacturer] b", "[OEM] o", "[Manufacturer] c"});
    EXPECT_EQ(Take(), (Log{"CMPNT.init", "CMPNT.line 1 9 [Component] c", "CMPNT.end 10",
                           "CMPNT.line 1 10 [Manufacturer] a", "CMPNT.end 74", "PKG.init",
                           "PKG.line 1 74 [Define Package Model] p", "PKG.end 75",
                           "PKG.line 1 75 [Manufacturer] b", "PKG.end 76", "PKG.line 1 76 [OEM] o",
                           "PKG.end 75", "PKG.line 1 75 [Manufacturer] c"}));
    PARSE_Reset();
    Feed(50, FILE_EBD, {"[Begin Board Description] b", "[Manufacturer] x", "[Manufacturer] y",
                        "[Number Of Pins] 3"});
    EXPECT_EQ(Take(), (Log{"EBD.init", "EBD.line 1 89 [Begin Board Description] b", "EBD.end 90",
                           "EBD.line 1 90 [Manufacturer] x", "EBD.end 90",
                           "EBD.line 1 90 [Manufacturer] y", "EBD.end 91",
                           "EBD.line 1 91 [Number Of Pins] 3"}));
    PARSE_Reset();
    Feed(50, FILE_PKG, {"[Define Package Model] p", "[Number Of Pins] 3", "[Manufacturer] m"});
    EXPECT_EQ(Take(), (Log{"PKG.init", "PKG.line 1 74 [Define Package Model] p", "PKG.end 78",
                           "PKG.line 1 78 [Number Of Pins] 3", "PKG.end 10"}));
}

TEST_F(DispatchTest, SubmodelTablesReachTheSubmodelUntilNextModel) {
    Feed(50, FILE_IBS, {"[Submodel] s", "[Pulldown]", "[Ramp]", "[Model] m", "[Pulldown]"});
    EXPECT_EQ(Take(), (Log{"SUB.init", "SUB.line 1 97 [Submodel] s", "SUB.end 101",
                           "SUB.line 1 101 [Pulldown]", "SUB.end 105", "SUB.line 1 105 [Ramp]",
                           "SUB.end 32", "MDL.init", "MDL.line 1 32 [Model] m", "MDL.end 40",
                           "MDL.line 1 40 [Pulldown]"}));
}

TEST_F(DispatchTest, UnknownKeywordLeavesOpenSectionWithoutItsEnd) {
    Feed(50, FILE_IBS, {"[Model] m", "[Bogus Thing]", "orphan", "[Component] c"});
    EXPECT_EQ(Take(), (Log{"MDL.init", "MDL.line 1 32 [Model] m", "CMPNT.init",
                           "CMPNT.line 1 9 [Component] c"}));
    // The unknown name is shown as compared: its blanks turned into '_'.
    EXPECT_EQ(Output(),
              "ERROR (line    0) - Invalid Keyword: Bogus_Thing\n"
              "ERROR (line    0) - Data for unknown keyword.\norphan\n");
}

TEST_F(DispatchTest, VersionTablesAdmitTheirKeywordsOnly) {
    Feed(32, FILE_IBS, {"[Model] m", "[Receiver Thresholds]", "Vth = 1"});
    EXPECT_EQ(Take(), (Log{"MDL.init", "MDL.line 1 32 [Model] m"}));
    EXPECT_EQ(Output(),
              "ERROR (line    0) - Invalid Keyword: Receiver_Thresholds\n"
              "ERROR (line    0) - Data for unknown keyword.\nVth = 1\n");
    Feed(50, FILE_IBS, {"[Model] m", "[Receiver Thresholds]"});
    EXPECT_EQ(Take().back(), "MDL.line 1 54 [Receiver Thresholds]");
    Feed(21, FILE_IBS, {"[Submodel] s"});
    EXPECT_EQ(Output(), "ERROR (line    0) - Invalid Keyword: Submodel\n");
    Feed(42, FILE_IBS, {"[Test Data] t", "[Algorithmic Model]"});
    EXPECT_EQ(Take(), (Log{"TD.init", "TD.line 1 108 [Test Data] t"}));
    EXPECT_EQ(Output(), "ERROR (line    0) - Invalid Keyword: Algorithmic_Model\n");
}

// Both ends of every run of codes a version admits: the keyword just inside
// is recognised with its code, the ones just outside are unknown names. The
// submodel's [Falling Waveform] (107) is reached from the model's name.
TEST_F(DispatchTest, VersionTablesEndWhereTheirRangesEnd) {
    const IBIS_KEYWORD no = NOT_KEY;
    // Each keyword is fed after `context`, a line that gives it its code.
    const struct { int version; const char *keyword; IBIS_KEYWORD code; const char *context = ""; } rows[] = {
        {21, "IBIS Ver", KW_IBIS_VER}, {21, "Diff Pin", KW_DIFF_PIN}, {21, "Series Switch Groups", no},
        {21, "End External Model", no}, {21, "Model", KW_MODEL},
        {21, "GND Clamp Reference", KW_GND_CLAMP_REFERENCE}, {21, "External Reference", no},
        {21, "Pulldown", KW_PULLDOWN}, {21, "Falling Waveform", KW_FALLING_WAVEFORM}, {21, "TTgnd", no},
        {21, "End EMI Model", no}, {21, "Define Package Model", KW_DEFINE_PACKAGE_MODEL},
        {21, "End Package Model", KW_END_PACKAGE_MODEL}, {21, "Number Of Sections", no},
        {21, "Test Load", no}, {21, "End", KW_END},

        {32, "IBIS Ver", KW_IBIS_VER}, {32, "Series Pin Mapping", KW_SERIES_PIN_MAPPING},
        {32, "Alternate Package Models", no}, {32, "End External Model", no}, {32, "Model", KW_MODEL},
        {32, "Model Spec", KW_MODEL_SPEC}, {32, "Receiver Thresholds", no},
        {32, "Driver Schedule", KW_DRIVER_SCHEDULE}, {32, "Add Submodel", KW_ADD_SUBMODEL},
        {32, "Algorithmic Model", no}, {32, "End EMI Model", no},
        {32, "Define Package Model", KW_DEFINE_PACKAGE_MODEL},
        {32, "Falling Waveform", KW_SUB_FALLING_WAVEFORM, "[Submodel] s"}, {32, "Test Data", no},
        {32, "Test Load", no}, {32, "End", KW_END},

        {42, "IBIS Ver", KW_IBIS_VER}, {42, "End External Circuit", KW_END_EXTERNAL_CIRCUIT},
        {42, "Begin EMI Component", no}, {42, "Pin Domain EMI", no},
        {42, "External Model", KW_EXTERNAL_MODEL}, {42, "Add Submodel", KW_ADD_SUBMODEL},
        {42, "Algorithmic Model", no}, {42, "End EMI Model", no},
        {42, "Define Package Model", KW_DEFINE_PACKAGE_MODEL}, {42, "End", KW_END},

        // 5.0 admits every code, each one refused above included.
        {50, "IBIS Ver", KW_IBIS_VER}, {50, "Series Switch Groups", KW_SERIES_SWITCH_GROUPS},
        {50, "Alternate Package Models", KW_ALTERNATE_PACKAGE_MODELS},
        {50, "Begin EMI Component", KW_BEGIN_EMI_COMPONENT}, {50, "Pin Domain EMI", KW_PIN_DOMAIN_EMI},
        {50, "End External Model", KW_END_EXTERNAL_MODEL},
        {50, "External Reference", KW_EXTERNAL_REFERENCE}, {50, "TTgnd", KW_TTGND},
        {50, "Receiver Thresholds", KW_RECEIVER_THRESHOLDS},
        {50, "Algorithmic Model", KW_ALGORITHMIC_MODEL}, {50, "End EMI Model", KW_END_EMI_MODEL},
        {50, "Number Of Sections", KW_NUMBER_OF_SECTIONS}, {50, "Test Data", KW_TEST_DATA},
        {50, "Test Load", KW_TEST_LOAD}, {50, "End", KW_END},
    };
    for (const auto &r : rows) {
        PARSE_Reset();
        const std::string line = "[" + std::string(r.keyword) + "]";
        if (*r.context != '\0')
            Feed(r.version, FILE_IBS, {r.context});
        Feed(r.version, FILE_IBS, {line.c_str()});
        std::string name = r.keyword;
        std::replace(name.begin(), name.end(), ' ', '_');
        EXPECT_EQ(Output(), r.code == no ? "ERROR (line    0) - Invalid Keyword: " + name + "\n" : "")
            << r.version << " " << line;
        EXPECT_EQ(PARSE_GetCurrentKeyword(), r.code) << r.version << " " << line;
    }
}

TEST_F(DispatchTest, KeywordNameLimitsAndBrackets) {
    std::string at117 = "[" + std::string(117, 'x') + "]";
    std::string at118 = "[" + std::string(118, 'x') + "]";
    Feed(50, FILE_IBS, {at117.c_str(), at118.c_str(), "[]", "[Model"});
    EXPECT_EQ(Output(), "ERROR (line    0) - Invalid Keyword: " + std::string(117, 'x') + "\n"
                        "ERROR (line    0) - Invalid Keyword.\n"
                        "ERROR (line    0) - Invalid Keyword.\n"
                        "ERROR (line    0) - Keyword Missing Ending Bracket (']').\n");
    EXPECT_EQ(PARSE_GetCurrentKeyword(), NOT_KEY);
}

TEST_F(DispatchTest, UnterminatedEntryReportedOnNextKeyword) {
    Feed(32, FILE_IBS, {"[Component] c"});
    PARSE_SetUnterminated(1);
    Feed(32, FILE_IBS, {"[Pin] a b", "[Diff Pin] x"});
    EXPECT_EQ(Output(), "ERROR (line    0) -\n    Previous keyword not terminated properly. "
                        "Possibly missing a \"/\"\n\n");
    // The 2.1 dispatcher does not look at the flag.
    PARSE_SetUnterminated(1);
    Feed(21, FILE_IBS, {"[Pin] a b"});
    EXPECT_EQ(Output(), "");
}

TEST_F(DispatchTest, SecondIbisVerAndEndLine) {
    Feed(50, FILE_IBS, {"[IBIS Ver] 5.0", "[IBIS Ver] 5.0", "[End] junk"});
    EXPECT_EQ(Take(), (Log{"HDR.init", "HDR.line 1 0 [IBIS Ver] 5.0", "HDR.end 0", "HDR.init",
                           "HDR.line 1 0 [IBIS Ver] 5.0", "HDR.end 118"}));
    EXPECT_EQ(Output(), "ERROR (line    0) - Duplicate IBIS_Ver keyword.\n"
                        "ERROR (line    0) - Extraneous data on End keyword line.\n");
}

TEST_F(DispatchTest, SectionWithoutHandlersIsRecognisedAndSilent) {
    PARSE_sections[SECTION_MODEL] = {nullptr, nullptr, nullptr, nullptr};
    Feed(50, FILE_IBS, {"[Model] m", "Model_type Input", "[Ramp]", "dV/dt_r 1/2"});
    EXPECT_EQ(Take(), Log{});
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(PARSE_GetCurrentKeyword(), KW_RAMP);
}

TEST_F(DispatchTest, KeywordNamesComeFromThe21Table) {
    char name[PARSE_MAX_KEYWORD + 1];
    PARSE_GetKeywordName(KW_PKG_MANUFACTURER, name);
    EXPECT_STREQ(name, "MANUFACTURER");
    PARSE_GetKeywordName(KW_DIFF_PIN, name);
    EXPECT_STREQ(name, "DIFF_PIN");
    PARSE_GetKeywordName(KW_SUBMODEL, name);
    EXPECT_STREQ(name, "Unknown enumerated keyword code");
    EXPECT_EQ(Output(), "PROGRAM BUG (line    0) - Unknown enumerated keyword code.\n");
}

// A whole file through the reader: the last section is ended at the end of
// the file when [End] is missing, and sections are reset for each pass.
TEST_F(DispatchTest, MissingEndStillEndsLastSection) {
    Register<SECTION_MODEL>(true);
    PARSE_sections[SECTION_HEADER] = {HDR_Init, HDR_ParseLine, HDR_EndKeyword, HDR_Reset};
    std::string text = Check("a.ibs", Header("5.0", "a.ibs") + "[Model] m\n", FILE_IBS);
    Log l = Take();
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l.front(), "MDL.reset");  // new pass
    EXPECT_EQ(l[l.size() - 2], "MDL.end 118");
    EXPECT_EQ(l.back(), "MDL.reset");  // root destroyed
    EXPECT_EQ(text, "\nChecking a.ibs for IBIS 5.0 Compatibility...\n\n"
                    "ERROR - Required keyword 'End' not found.\n"
                    "ERROR - Required keyword 'Component' not found.\n\n"
                    "Errors  : 2\n\nFile Failed\n");
}

}  // namespace
