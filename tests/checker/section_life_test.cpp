// Every section across file kinds and passes: end handlers that run without
// a record of their own, and state that must not outlive the root it points
// into, whether the next pass follows or runs inside the checks of this one
// (run under AddressSanitizer).
#include <cctype>
#include <cstdio>
#include <tuple>
#include <vector>

#include "SectionFile.h"
#include "SectionLife.h"

namespace {

// Every keyword of the four sections with a data line, in a package or
// board file: each opening keyword is refused, nothing else is said.
const char kSectionKeywords32[] =
    "[Model Selector] ms\nm1 first\n[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\n"
    "V_trigger_r 1 1 1\n[Pulldown]\n0 0 0 0\n[GND Pulse Table]\n0 0 0 0\n[Ramp]\n"
    "R_load = 50\n[Rising Waveform]\n0 0 0 0\n";
const char kSectionKeywords42[] =
    "[Test Data] d\nTest_data_type Single_ended\n[Rising Waveform Near]\n0 0 0 0\n"
    "[Test Load] t\nC1_near = 1p\n[Submodel] s\n[Falling Waveform]\n0 0 0 0\n"
    "[Model Selector] ms\nm1 first\n";

const FileCase kRefusedCases[] = {
    {"package 3.2", "3.2", kSectionKeywords32,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line    6) - Illegal keyword for a '.pkg' file.\n"},
    {"board 3.2", "3.2", kSectionKeywords32,
     "ERROR (line    4) - Illegal keyword for a '.ebd' file.\n"
     "ERROR (line    6) - Illegal keyword for a '.ebd' file.\n"},
    {"package 4.2", "4.2", kSectionKeywords42,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line    8) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line   10) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line   13) - Illegal keyword for a '.pkg' file.\n"},
};

// Keywords of every other section, in each file kind that refuses them.
const char kComponentKeywords[] =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\n[Package Model] p\n"
    "[Pin] signal_name model_name\n1 s m\n2 t m\n[Pin Mapping] pulldown_ref pullup_ref\n1 GND VCC\n"
    "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0 0\n"
    "[Series Pin Mapping] pin_2 model_name function_table_group\n1 2 m g\n"
    "[Series Switch Groups]\nOn g\n[Alternate Package Models]\nx\n[End Alternate Package Models]\n"
    "[Node Declarations]\nn\n[End Node Declarations]\n[Circuit Call] x\nPort_map a n\n"
    "[End Circuit Call]\n[Begin EMI Component]\nDomain Digital\n[Pin EMI] domain\n1 Digital\n"
    "[Pin Domain EMI]\nd 1 2\n[End EMI Component]\n"
    "[External Circuit] x\nLanguage SPICE\nPorts a\n[End External Circuit]\n";
const char kModelKeywords[] =
    "[Model] m\nModel_type I/O\n[Voltage Range] 1 1 1\n[Pulldown]\n0 0 0 0\n[Ramp]\n"
    "dV/dt_r 1/1n NA NA\n[Rising Waveform]\nR_fixture = 50\n0 0 0 0\n[Composite Current]\n"
    "0 0 0 0\n[Model Spec]\nVinh 2 NA NA\n[Receiver Thresholds]\nVth = 1\n[Driver Schedule]\n"
    "m2 1n NA 2n NA\n[Add Submodel]\ns Driving\n[External Model]\nLanguage SPICE\n"
    "[End External Model]\n[Algorithmic Model]\nExecutable Linux_gcc_32 m.so m.ami\n"
    "[End Algorithmic Model]\n[Begin EMI Model]\nDomain Digital\n[End EMI Model]\n[ISSO PD]\n"
    "0 0 0 0\n[On]\n[R Series] 1 NA NA\n[Series MOSFET]\nVds = 1\n0 0 0 0\n[Off]\n"
    "[Series Current]\n0 0 0 0\n";
const char kBoardKeywords[] =
    "[Begin Board Description] b\n[Manufacturer] m\n[Number Of Pins] 1\n[Pin List] signal_name\n"
    "1 s\n[Path Description] p\nPin 1 Len=0 L=1n /\nFork\nNode U1.1\nEndfork\n"
    "[Reference Designator Map]\nU1 x.ibs c\n[End Board Description]\n";
const char kPackageKeywords[] =
    "[Define Package Model] p\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
    "[Number Of Sections] 1\n[Number Of Pins] 1\n[Pin Numbers]\nA1 Len=0 L=1n /\nFork\n"
    "Len=1 C=1p /\nEndfork\n[Model Data]\n[Resistance Matrix] Full_matrix\n[Bandwidth] 1\n[Row] A1\n"
    "1\n[End Model Data]\n[End Package Model]\n";

const FileCase kRefusedElsewhere[] = {
    {"package component", "5.0", kComponentKeywords,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line   36) - Illegal keyword for a '.pkg' file.\n"},
    {"board component", "5.0", kComponentKeywords,
     "ERROR (line    4) - Illegal keyword for a '.ebd' file.\n"
     "ERROR (line   36) - Illegal keyword for a '.ebd' file.\n"},
    {"package model", "5.0", kModelKeywords,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"},
    {"board model", "5.0", kModelKeywords,
     "ERROR (line    4) - Illegal keyword for a '.ebd' file.\n"},
    {"ibs board", "5.0", kBoardKeywords,
     "ERROR (line    4) - Illegal keyword for a '.ibs' file.\n"
     "ERROR (line    6) - Orphan Package Model keyword.\n"},
    {"package board", "5.0", kBoardKeywords,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line    6) - Orphan Package Model keyword.\n"},
    {"board package", "5.0", kPackageKeywords,
     "ERROR (line    4) - Illegal keyword for a '.ebd' file.\n"
     "ERROR (line    9) - Orphan Electrical Board Description keyword.\n"},
};

// The kind of file a row's name begins with.
int KindOf(const std::string &name) {
    return name.find("board") == 0 ? FILE_EBD : name.find("ibs") == 0 ? FILE_IBS : FILE_PKG;
}

class RefusedSectionTest : public FileCaseTest {};

TEST_P(RefusedSectionTest, OnlyTheOpeningKeywordsAreReported) {
    ExpectMessages(KindOf(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedSectionTest, ::testing::ValuesIn(kRefusedCases),
                         CaseName<FileCase>);
INSTANTIATE_TEST_SUITE_P(Others, RefusedSectionTest, ::testing::ValuesIn(kRefusedElsewhere),
                         CaseName<FileCase>);

// A file that ends inside a section (an unknown keyword leaves it open),
// then a package file that holds that section's keywords: the end handlers
// of the second pass must not reach the first file's freed records.
TEST_F(SectionFileTest, OpenSectionsDoNotReachTheNextFile) {
    const char *const openAtEnd[] = {
        "[Submodel] s\nSubmodel_type Bus_hold\n[Rising Waveform]\nR_fixture = 50\n0 0 0 0\n",
        "[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 1 1 1\n",
        "[Submodel] s\n[Pullup]\n0 0 0 0\n",
        "[Test Data] d\nTest_data_type Single_ended\n[Diff Rising Waveform Far]\n0 0 0 0\n",
        "[Test Load] t\nTest_load_type Single_ended\n",
        "[Model Selector] ms\nm1 first\nm2 second\n",
    };
    for (const char *open : openAtEnd) {
        Run("4.2", std::string(open) + "[Bogus]\n");
        EXPECT_EQ(Run("4.2", kSectionKeywords42, FILE_PKG),
                  "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line    8) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line   10) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line   13) - Illegal keyword for a '.pkg' file.\n")
            << open;
    }
}

}  // namespace

namespace {

// ---- Lines that reach a section without its record ----

// Every closing keyword, none of them opened.
const char kClosers[] =
    "[End Alternate Package Models]\n[End Node Declarations]\n[End Circuit Call]\n"
    "[End EMI Component]\n[End External Circuit]\n[End External Model]\n"
    "[End Algorithmic Model]\n[End EMI Model]\n[End Model Data]\n[End Package Model]\n"
    "[End Board Description]\n";
// Keywords and data of sections whose opening keyword never came.
const char kOrphans[] =
    "[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\n[Pin] signal_name model_name\n1 s m\n"
    "[Pin Mapping] pulldown_ref\n1 GND\n[Series Switch Groups]\nOn g /\n[Pin EMI] domain\n"
    "1 Digital\n[Voltage Range] 1 1 1\n[Pulldown]\n0 0 0 0\n[Ramp]\ndV/dt_r 1/1n NA NA\n"
    "[Model Spec]\nVinh 1 1 1\n[On]\n[Series MOSFET]\nVds = 1\n[Submodel Spec]\nV_trigger_r 1 1 1\n"
    "[Rising Waveform Near]\n0 0 0 0\n[Pin Numbers]\nA1\n[Row] 1\n1\n[Bandwidth] 1\n"
    "[Pin List] signal_name\n1 s\n[Path Description] p\nPin 1\n[Reference Designator Map]\n"
    "U1 x.ibs c\n";

// A whole file of a kind and all it prints.
struct StrayCase {
    const char *name;
    int kind;
    std::string text;
    std::string expected;
};

// What the closing keywords say, from the given line on: the component,
// circuit, model and package ones have no record to close.
std::string ClosersSaid(int first) {
    static const char *const kSaid[] = {
        "Component", "Component", "Component", "Component", "External Cucuit",
        "Model",     "Model",     "Model",     "Package Model", "Package Model"};
    std::string said;
    char line[80];
    for (int i = 0; i < 10; ++i) {
        snprintf(line, sizeof line, "ERROR (line %4d) - Orphan %s keyword.\n", first + i, kSaid[i]);
        said += line;
    }
    return said;
}

std::string File(const char *name, const std::string &body) {
    return Header("5.0", name) + body + "[End]\n";
}

// All that a file whose first line is data prints: that line reported and
// shown, then `more`, then the summary of `errors` errors.
std::string DataFirstSaid(const char *name, const std::string &more, int errors) {
    return std::string("\nChecking ") + name + " for IBIS 5.0 Compatibility...\n\n"
           "ERROR (line    1) - Data for unknown keyword.\n"
           "stray data\n" +
           more + "\nErrors  : " + std::to_string(errors) + "\n\nFile Failed\n";
}

const StrayCase kStrayCases[] = {
    {"ibs data first", FILE_IBS, "stray data\n" + File("s.ibs", ""),
     DataFirstSaid("s.ibs", "ERROR - Required keyword 'Component' not found.\n", 2)},
    {"pkg data first", FILE_PKG, "stray data\n" + File("s.pkg", ""), DataFirstSaid("s.pkg", "", 1)},
    {"ebd data first", FILE_EBD, "stray data\n" + File("s.ebd", ""), DataFirstSaid("s.ebd", "", 1)},
    {"ibs closers", FILE_IBS, File("s.ibs", kClosers), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "" + ClosersSaid(4) +
     "ERROR - Required keyword 'Component' not found.\n"
     "\n"
     "Errors  : 11\n"
     "\n"
     "File Failed\n"},
    {"pkg closers", FILE_PKG, File("s.pkg", kClosers), "\n"
     "Checking s.pkg for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR (line   12) - Orphan Package Model keyword.\n"
     "ERROR (line   13) - Orphan Package Model keyword.\n"
     "\n"
     "Errors  : 2\n"
     "\n"
     "File Failed\n"},
    {"ebd closers", FILE_EBD, File("s.ebd", kClosers), "\n"
     "Checking s.ebd for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR (line   14) - Orphan Electrical Board Description keyword.\n"
     "\n"
     "Errors  : 1\n"
     "\n"
     "File Failed\n"},
    {"ibs closers in selector", FILE_IBS, File("s.ibs", std::string("[Model Selector] ms\nm a\n") + kClosers), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "WARNING - Model Selector: 'ms' has only one model defined\n"
     "" + ClosersSaid(6) +
     "ERROR - Model 'm' in Model Selector 'ms' is not defined in the file\n"
     "ERROR - Required keyword 'Component' not found.\n"
     "\n"
     "Errors  : 12\n"
     "Warnings: 1\n"
     "\n"
     "File Failed\n"},
    {"ibs closers in submodel", FILE_IBS, File("s.ibs", std::string("[Submodel] s\n") + kClosers), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR - Submodel 's': Submodel_type Not Defined\n"
     "" + ClosersSaid(5) +
     "ERROR - Required keyword 'Component' not found.\n"
     "WARNING - Submodel s is not referenced by any model [Add Submodel] keyword\n"
     "\n"
     "Errors  : 12\n"
     "Warnings: 1\n"
     "\n"
     "File Failed\n"},
    {"ibs closers in test load", FILE_IBS, File("s.ibs", std::string("[Test Load] t\n") + kClosers), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR - Test Load 't': Test_load_type Not Defined\n"
     "" + ClosersSaid(5) +
     "ERROR - Required keyword 'Component' not found.\n"
     "ERROR - Test Load 't' references undefined models\n"
     "\n"
     "Errors  : 13\n"
     "\n"
     "File Failed\n"},
    {"ibs closers in test data", FILE_IBS, File("s.ibs", std::string("[Test Data] d\n") + kClosers), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR - Test Data 'd': Test_data_type Not Defined\n"
     "ERROR - Test Data 'd': Driver_model Not Defined\n"
     "ERROR - Test Data 'd': Test_load Not Defined\n"
     "ERROR - Test Data 'd': At least one Rising/Falling Waveform must be specified\n"
     "" + ClosersSaid(5) +
     "ERROR - Required keyword 'Component' not found.\n"
     "ERROR - Test Data 'd' references undefined models\n"
     "ERROR - Test Data 'd' references undefined Test Loads\n"
     "\n"
     "Errors  : 17\n"
     "\n"
     "File Failed\n"},
    {"ibs orphans", FILE_IBS, File("s.ibs", kOrphans), "\n"
     "Checking s.ibs for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR (line    4) - Orphan Component keyword.\n"
     "ERROR (line    5) - Orphan Component keyword.\n"
     "ERROR (line    6) - Orphan data line keyword.\n"
     "ERROR (line    7) - Orphan Component keyword.\n"
     "ERROR (line    8) - Orphan data line keyword.\n"
     "ERROR (line    9) - Orphan Component keyword.\n"
     "ERROR (line   10) - Orphan data line keyword.\n"
     "ERROR (line   11) - Orphan Component keyword.\n"
     "ERROR (line   12) - Orphan data line keyword.\n"
     "ERROR (line   13) - Orphan Component keyword.\n"
     "ERROR (line   14) - Orphan data line keyword.\n"
     "ERROR (line   15) - Orphan Model keyword.\n"
     "ERROR (line   16) - Orphan Model keyword.\n"
     "ERROR (line   17) - Orphan data line keyword.\n"
     "ERROR (line   18) - Orphan Model keyword.\n"
     "ERROR (line   19) - Orphan data line keyword.\n"
     "ERROR (line   20) - Orphan Model keyword.\n"
     "ERROR (line   21) - Orphan data line keyword.\n"
     "ERROR (line   22) - Orphan Model keyword.\n"
     "ERROR (line   23) - Orphan Model keyword.\n"
     "ERROR (line   24) - Orphan data line keyword.\n"
     "ERROR (line   25) - Orphan Sub Model keyword.\n"
     "ERROR (line   26) - Orphan data line keyword.\n"
     "ERROR (line   27) - Orphan Test Data keyword.\n"
     "ERROR (line   28) - Orphan data line keyword.\n"
     "ERROR (line   29) - Orphan Package Model keyword.\n"
     "ERROR (line   30) - Orphan Data Line.\n"
     "ERROR (line   31) - Orphan Package Model keyword.\n"
     "ERROR (line   32) - Orphan Data Line.\n"
     "ERROR (line   33) - Orphan Package Model keyword.\n"
     "ERROR - Required keyword 'Component' not found.\n"
     "\n"
     "Errors  : 31\n"
     "\n"
     "File Failed\n"},
    {"pkg orphans", FILE_PKG, File("s.pkg", kOrphans), "\n"
     "Checking s.pkg for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR (line   29) - Orphan Package Model keyword.\n"
     "ERROR (line   30) - Orphan Data Line.\n"
     "ERROR (line   31) - Orphan Package Model keyword.\n"
     "ERROR (line   32) - Orphan Data Line.\n"
     "ERROR (line   33) - Orphan Package Model keyword.\n"
     "\n"
     "Errors  : 5\n"
     "\n"
     "File Failed\n"},
    {"ebd orphans", FILE_EBD, File("s.ebd", kOrphans), "\n"
     "Checking s.ebd for IBIS 5.0 Compatibility...\n"
     "\n"
     "ERROR (line   34) - Orphan Electrical Board Description keyword.\n"
     "ERROR (line   35) - Orphan Data Line.\n"
     "ERROR (line   36) - Orphan Electrical Board Description keyword.\n"
     "ERROR (line   37) - Orphan Data Line.\n"
     "ERROR (line   38) - Orphan Electrical Board Description keyword.\n"
     "ERROR (line   39) - Orphan Data Line.\n"
     "\n"
     "Errors  : 6\n"
     "\n"
     "File Failed\n"},
};

class StrayLineTest : public CheckerTest, public ::testing::WithParamInterface<StrayCase> {};

TEST_P(StrayLineTest, AreReportedWithoutReachingAnyRecord) {
    static const char *const kExt[] = {"", "s.ibs", "s.pkg", "s.ebd"};
    const StrayCase &c = GetParam();
    EXPECT_EQ(Check(kExt[c.kind], c.text, c.kind), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, StrayLineTest, ::testing::ValuesIn(kStrayCases),
                         CaseName<StrayCase>);

}  // namespace

namespace {

// ---- Two passes: a file left open in a section, then files of every kind ----

// Runs the first file, then one file of the second pass, for every file of
// the second pass in turn (each must meet what the first left behind): the
// three files and, with `strays`, the stray-line files.
class SecondPassTest : public SectionFileTest {
protected:
    void ExpectSecondPasses(int kind, const char *version, const std::string &body, bool strays) {
        static const char *const kFirst[] = {"", "first.ibs", "first.pkg", "first.ebd"};
        static const char *const kStray[] = {"", "s.ibs", "s.pkg", "s.ebd"};
        const std::string first = Header(version, kFirst[kind]) + body + "[Bogus]\n[End]\n";
        for (const SecondFile &f : kSecondFiles) {
            Check(kFirst[kind], first, kind);
            ASSERT_EQ(Check(f.name, Header("5.0", f.name) + f.body + "[End]\n", f.kind), f.alone)
                << f.name << " after\n" << first;
        }
        for (size_t i = 0; strays && i < sizeof kStrayCases / sizeof *kStrayCases; ++i) {
            const StrayCase &c = kStrayCases[i];
            Check(kFirst[kind], first, kind);
            ASSERT_EQ(Check(kStray[c.kind], c.text, c.kind), c.expected) << c.name << " after\n" << first;
        }
    }
};

class OpenSectionPassTest : public SecondPassTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenSectionPassTest, TheNextPassesPrintWhatTheyPrintAlone) {
    const OpenCase &c = GetParam();
    ExpectSecondPasses(c.kind, c.version, c.body, true);
}

INSTANTIATE_TEST_SUITE_P(Sections, OpenSectionPassTest, ::testing::ValuesIn(kOpenCases),
                         CaseName<OpenCase>);

// The same for every point inside the second files themselves, read under
// each version: each cut after any of its lines and left open there.
using Cut = std::tuple<SecondFile, const char *>;
class CutFileTest : public SecondPassTest, public ::testing::WithParamInterface<Cut> {};

TEST_P(CutFileTest, TheNextPassesPrintWhatTheyPrintAlone) {
    const SecondFile &cut = std::get<0>(GetParam());
    const std::string body = cut.body;
    for (size_t end = body.find('\n'); end != std::string::npos; end = body.find('\n', end + 1))
        ExpectSecondPasses(cut.kind, std::get<1>(GetParam()), body.substr(0, end + 1), false);
}

std::string CutName(const ::testing::TestParamInfo<Cut> &info) {
    std::string name = std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param);
    for (char &c : name)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, CutFileTest,
                         ::testing::Combine(::testing::ValuesIn(kSecondFiles),
                                            ::testing::Values("2.1", "3.2", "4.2", "5.0")),
                         CutName);

}  // namespace

namespace {

// ---- Passes nested in a pass: referenced files, package files, .ami files ----

struct Referenced {
    const char *name;
    int kind;
    std::string text;
};

// A checked file and the files its checks read: each one left open inside
// a section. The output of each read file is what it prints alone, under
// its own banner (package and .ami files read on the way print no summary).
struct NestedCase {
    const char *name;
    Referenced checked;
    std::vector<Referenced> read;
};

std::string Open(const char *name, const char *version, const std::string &body) {
    return Header(version, name) + body + "[Bogus]\n[End]\n";
}

const char kTwoPinComponent[] = "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\n"
                                "L_pkg 1n NA NA\nC_pkg 1p NA NA\n";

// Built when asked: a static table of nested strings trips a false warning
// of the optimiser.
std::vector<NestedCase> NestedCases() {
    return {
        {"board referencing files left open",
         {"board.ebd", FILE_EBD,
          File("board.ebd",
               "[Begin Board Description] B\n[Manufacturer] m\n[Number Of Pins] 4\n"
               "[Pin List] signal_name\n1 a\n2 b\n3 c\n4 d\n[Path Description] p1\nPin 1 Node U1.1\n"
               "[Path Description] p2\nPin 2 Node U2.1\n[Path Description] p3\nPin 3 Node U3.1\n"
               "[Path Description] p4\nPin 4 Fork Node U4.1 Endfork Node U5.1\n"
               "[Reference Designator Map]\nU1 pin.ibs c\nU2 sel.ibs c\nU3 sub.ibs c\nU4 fork.ebd F\n"
               "U5 emi.ibs c\n[End Board Description]\n")},
         {{"pin.ibs", FILE_IBS,
           Open("pin.ibs", "5.0", std::string(kTwoPinComponent) + "[Pin] signal_name model_name\n1 s m\n")},
          {"sel.ibs", FILE_IBS,
           Open("sel.ibs", "4.2",
                std::string(kTwoPinComponent) + "[Pin] signal_name model_name\n1 s ms\n"
                "[Model Selector] ms\nm1 first\n")},
          {"sub.ibs", FILE_IBS,
           Open("sub.ibs", "5.0",
                std::string(kTwoPinComponent) + "[Pin] signal_name model_name\n1 s m\n"
                "[Model] m\nModel_type Input\n[Add Submodel]\ns Non-Driving\n[Submodel] s\n"
                "Submodel_type Bus_hold\n[Pulldown]\n0 0 NA NA\n")},
          {"fork.ebd", FILE_EBD,
           Open("fork.ebd", "5.0",
                "[Begin Board Description] F\n[Number Of Pins] 1\n[Pin List] signal_name\n1 s\n"
                "[Path Description] p\nPin 1 Len=0 L=1n /\nFork\nLen=1 L=1n /\nFork\n")},
          {"emi.ibs", FILE_IBS,
           Open("emi.ibs", "5.0",
                std::string(kTwoPinComponent) + "[Pin] signal_name model_name\n1 s m\n"
                "[Begin EMI Component]\nDomain Digital\n[Pin EMI] domain\n1 Digital\n")}}},
        {"package files left open",
         {"chip.ibs", FILE_IBS,
          File("chip.ibs", std::string(kTwoPinComponent) +
                               "[Package Model] pk1\n[Pin] signal_name model_name\n1 s m\n"
                               "[Alternate Package Models]\npk2\npk3\n[End Alternate Package Models]\n"
                               "[Model Selector] ms\nm first\n[Model] m\nModel_type Input\n"
                               "C_comp 1p NA NA\n[Voltage Range] 1 NA NA\n")},
         {{"a.pkg", FILE_PKG,
           Open("a.pkg", "5.0",
                "[Define Package Model] pk1\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                "[Number Of Pins] 2\n[Pin Numbers]\n1\n2\n[Model Data]\n"
                "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 1n\n")},
          {"b.pkg", FILE_PKG,
           Open("b.pkg", "3.2",
                "[Define Package Model] pk2\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                "[Number Of Sections] 1\n[Number Of Pins] 1\n[Pin Numbers]\n1 Len=0 L=1n /\nFork\n")},
          {"c.pkg", FILE_PKG,
           Open("c.pkg", "5.0",
                "[Define Package Model] pk3\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                "[Number Of Pins] 1\n[Pin Numbers]\n1\n[Model Data]\n[Resistance Matrix] Full_matrix\n"
                "[Row] 1\n1\n[End Model Data]\n[Component] x\n[Model] y\n")}}},
        {"ami files with sections left open",
         {"amis.ibs", FILE_IBS,
          Open("amis.ibs", "5.0",
               std::string(kTwoPinComponent) + "[Pin] signal_name model_name\n1 s m1\n2 t m2\n"
               "[Model] m1\nModel_type Input\nC_comp 1p NA NA\n[Voltage Range] 1 NA NA\n"
               "[Algorithmic Model]\nExecutable Linux_gcc_64 m.so one.ami\n[End Algorithmic Model]\n"
               "[Model] m2\nModel_type Input\nC_comp 1p NA NA\n[Voltage Range] 1 NA NA\n"
               "[Algorithmic Model]\nExecutable Linux_gcc_64 m.so two.ami\n"
               "Executable Windows_VisualStudio_32 m.dll one.ami\n[End Algorithmic Model]\n"
               "[Receiver Thresholds]\nVth = 1\n[Model Selector] ms\nm1 a\nm2 b\n"
               "[Submodel] s\nSubmodel_type Bus_hold\n[Pulldown]\n0 0 NA NA\n")},
         {{"one.ami", FILE_AMI,
           "(m\n(Reserved_Parameters\n (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False)"
           " (Description \"i\"))\n (GetWave_Exists (Usage Info) (Type Boolean) (Default True)"
           " (Description \"g\")))\n(Model_Specific\n (x (Usage In) (Type Integer) (Value 1))))\n"},
          {"two.ami", FILE_AMI, "(m\n(Reserved_Parameters\n (Bogus (Usage Info)))\n"}}},
        {"board left open in a fork, its files reading package and .ami files",
         {"open.ebd", FILE_EBD,
          Open("open.ebd", "5.0",
               "[Begin Board Description] B\n[Number Of Pins] 1\n[Pin List] signal_name\n1 a\n"
               "[Reference Designator Map]\nU1 deep.ibs c\nU2 deep.ibs c\n"
               "[Path Description] p\nPin 1 Len=0 L=1n /\nFork\nNode U1.1\nEndfork\nFork\n"
               "Len=1 L=1n C=1p /\nNode U2.1\n")},
         {{"deep.ibs", FILE_IBS,
           Open("deep.ibs", "5.0",
                std::string(kTwoPinComponent) + "[Package Model] pkd\n"
                "[Pin] signal_name model_name\n1 s m\n[Model] m\nModel_type Input\n"
                "C_comp 1p NA NA\n[Voltage Range] 1 NA NA\n[Algorithmic Model]\n"
                "Executable Linux_gcc_64 m.so deep.ami\n[End Algorithmic Model]\n"
                "[Define Package Model] local\n[Number Of Pins] 1\n[Pin Numbers]\n1\n")},
          {"d.pkg", FILE_PKG,
           Open("d.pkg", "5.0",
                "[Define Package Model] pkd\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                "[Number Of Sections] 1\n[Number Of Pins] 1\n[Pin Numbers]\n1 Len=0 L=1n /\n"
                "Fork\nLen=1 C=1p /\n")},
          {"deep.ami", FILE_AMI, "(m\n(Reserved_Parameters)\n"}}},
    };
}

class ReadFileTest : public SectionFileTest {
protected:
    // What a read file prints when checked alone (a board file as one that
    // is referenced: it reads no files of its own); with `summary` false, up
    // to its summary (package and .ami files read on the way print none;
    // a board adds its own findings in a referenced file before it).
    std::string Alone(const Referenced &f, bool summary) {
        CHECKPASS_CheckFile(Write(f.name, f.text).c_str(), f.kind, f.kind == FILE_EBD);
        std::string out = Output();
        if (!summary) {
            size_t at = out.rfind("Errors  : ");
            const size_t bugs = out.rfind("Bugs    : ", at);
            if (bugs != std::string::npos)
                at = bugs;
            out.erase(out.rfind('\n', at - 2) + 1);
        }
        return out;
    }
};

class NestedPassTest : public ReadFileTest, public ::testing::WithParamInterface<NestedCase> {
protected:
    std::string Alone(const Referenced &f) {
        return ReadFileTest::Alone(f, f.kind != FILE_PKG && f.kind != FILE_AMI);
    }
};

TEST_P(NestedPassTest, EachReadFilePrintsWhatItPrintsAlone) {
    const NestedCase &c = GetParam();
    for (const Referenced &f : c.read)
        Write(f.name, f.text);
    std::vector<std::string> alone;
    for (const Referenced &f : c.read)
        alone.push_back(Alone(f));
    const std::string out = Check(c.checked.name, c.checked.text, c.checked.kind);
    for (size_t i = 0; i < c.read.size(); ++i) {
        EXPECT_NE(out.find(alone[i]), std::string::npos) << c.read[i].name << "\n" << out;
        EXPECT_EQ(Alone(c.read[i]), alone[i]) << c.read[i].name;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, NestedPassTest, ::testing::ValuesIn(NestedCases()),
                         CaseName<NestedCase>);

}  // namespace

namespace {

// A board's referenced file and a package file that the search reads, cut
// after each of their lines and left open there.
class CutReadFileTest : public ReadFileTest, public ::testing::WithParamInterface<SecondFile> {};

TEST_P(CutReadFileTest, PrintsWhatItPrintsAlone) {
    static const char *const kRef[] = {"", "ref.ibs", "ref.pkg", "ref.ebd"};
    const SecondFile &cut = GetParam();
    const char *name = kRef[cut.kind];
    const std::string reader =
        cut.kind == FILE_PKG
            ? File("chip.ibs", std::string(kTwoPinComponent) +
                                   "[Package Model] p1\n[Pin] signal_name model_name\n1 s GND\n")
            : File("board.ebd", std::string("[Begin Board Description] B\n[Number Of Pins] 1\n"
                                            "[Pin List] signal_name\n1 a\n[Path Description] p\n"
                                            "Pin 1 Node U1.1\n[Reference Designator Map]\nU1 ") +
                                    name + " c\n[End Board Description]\n");
    const std::string body = cut.body;
    for (size_t end = body.find('\n'); end != std::string::npos; end = body.find('\n', end + 1)) {
        const std::string alone =
            Alone({name, cut.kind, Header("5.0", name) + body.substr(0, end + 1) + "[Bogus]\n[End]\n"},
                  false);
        const std::string out = Check(cut.kind == FILE_PKG ? "chip.ibs" : "board.ebd", reader,
                                      cut.kind == FILE_PKG ? FILE_IBS : FILE_EBD);
        ASSERT_NE(out.find(alone), std::string::npos) << alone << "\n" << out;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CutReadFileTest, ::testing::ValuesIn(kSecondFiles),
                         CaseName<SecondFile>);

}  // namespace
