// AMI parameter files: checked alone, and named by the [Algorithmic Model]
// entries of an .ibs file (found, read and checked once per entry).
#include <unistd.h>

#include <climits>
#include <fstream>
#include <utility>
#include <vector>

#include "IbisParser/algmod.h"
#include "IbisParser/amip.h"
#include "ModelFixture.h"
#include "SectionFile.h"

namespace {

using modeltest::Err;

// Reserved parameters that pass, with a parameter or more of the caller's.
std::string Reserved(const std::string &more = "") {
    return "(Reserved_Parameters\n"
           " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
           " (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description \"g\"))\n" +
           more + ")\n";
}
// A whole file: the reserved parameters, then the Model_Specific group.
std::string Ami(const std::string &modelSpecific, const std::string &reserved = Reserved()) {
    return "(m\n" + reserved + "(Model_Specific\n" + modelSpecific + "))\n";
}

std::string Illegal(const std::string &word, const std::string &value, const std::string &of) {
    return Err("Illegal " + word + " value " + value + " specified for " + of);
}
std::string Numbers(const std::string &format, const std::string &of, int n) {
    return Err(format + ": Illegal Format for " + of + ". Expected " + std::to_string(n) +
               " number(s)");
}
std::string Mandatory(const std::string &word, const std::string &of) {
    return Err("Parameter " + word + " is mandatory for " + of);
}
const std::string kMismatched = Err("The AMI parameter file has mismatched parenthesis");
const std::string kNoParen = Err("The AMI parameter file should start with a parenthesis");
const std::string kTooFew = Err("Too few nodes in branches or leaves");
const std::string kNoReserved = Err("No Reserved_Parameters found");

struct AmiCase {
    const char *name;
    std::string text;
    std::string expected;
};

void PrintTo(const AmiCase &c, std::ostream *os) { *os << c.name; }

class AmiFileTest : public SectionFileTest, public ::testing::WithParamInterface<AmiCase> {
protected:
    std::string RunAmi(const std::string &text) {
        return Messages("t.ami", "5.0", Check("t.ami", text, FILE_AMI));
    }
};

TEST_P(AmiFileTest, WholeOutput) {
    EXPECT_EQ(RunAmi(GetParam().text), GetParam().expected);
    EXPECT_EQ(passed_ != 0, GetParam().expected.empty());
}

const AmiCase kAmiCases[] = {
    {"empty file", "", kNoParen},
    {"blank and comment lines only", "| nothing here\n   \n|(m (x 1))\n", kNoParen},
    {"text before the first parenthesis", "m (Reserved_Parameters (x 1))", kNoParen},
    {"unbalanced", "(m (Reserved_Parameters (x 1))\n", kMismatched},
    {"second outermost group", "(A (b 1)) (C (d 2))", kMismatched},
    {"parenthesis that quotes hid from the count", "(( )\"(a(\"aa)\" (", kMismatched},
    {"group closed before any member", "(A)", kTooFew},
    {"no entry left", "(a 1 (x))", kTooFew},
    {"word before a group closes", "(a (b (c 1) x ) (d 1))",
     Err("Invalid syntax of branch or leaf. At least 2 elements expected in a list")},
    {"only Model_Specific", "(m (Model_Specific (g (Usage In) (Type Float))))", kNoReserved},
    {"a file that passes",
     Ami("(gain (Usage In) (Type Float) (Format Range 1 0 2) (Default 1) (Description \"x\"))\n"
         "(mode (Usage InOut) (Type String) (Format List a b \"c d\") (Labels x y z))\n"
         "(taps (tap1 (Usage Out) (Type Tap) (Format Increment 0 -1 1 0.1)))\n"),
     ""},
    {"Model_Specific groups at every depth",
     Ami("(Usage Bogus)\n"
         "(outer (Type Complex)\n"
         "  (inner (Format Range 1 0) (Format List) (Format Table (Labels a b) (1 2))\n"
         "    (Format Table 1 2 3) (Format Steps 1 2 3 x) (Format Circle 1)\n"
         "    (Default x) (Description \"d\") (Labels a) (Name 1) (Format Gaussian 0 1e-12)\n"
         "    (Format Dual-Dirac 1 2 3) (Format DjRj 1 2) (Format Corner 1 2 3))\n"
         "  (Format Value))\n"
         "(Usage Info)\n"),
     Illegal("Usage", "Bogus", "Model_Specific") + Illegal("Type", "Complex", "outer") +
         Numbers("Range", "inner", 3) + Numbers("List", "inner", 1) +
         Numbers("Steps", "inner", 4) + Illegal("Format", "Circle", "inner") +
         Numbers("DjRj", "inner", 3) + Numbers("Value", "outer", 1)},
    {"Format Value of a text is not a number for any type",
     Ami("(s (Type String) (Format Value abc))\n(b (Type Boolean) (Format Value True))\n"),
     Numbers("Value", "s", 1) + Numbers("Value", "b", 1)},
    {"leaves and branches beside the known groups",
     "(m (Usage Sideways) (Other (Type Float)) (Type Nope)\n" +
         Reserved("(Format Gaussian 1)") + "(Type Bad))\n",
     Illegal("Usage", "Sideways", "m") + Err("Unknown branch Other found") +
         Illegal("Type", "Nope", "Other") +
         Err("Expected a branch but found 'Format'  as a leaf of 'Reserved_Parameters'") +
         Numbers("Gaussian", "Reserved_Parameters", 2) +
         Illegal("Type", "Bad", "Reserved_Parameters")},
    {"members of Reserved_Parameters",
     "(m (Reserved_Parameters\n"
     " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
     " (Lonely 1) (Usage Bad)\n"
     " (Custom (Usage In) (Type Wrong) (deeper (Usage Odd)))))\n",
     Err("Expected a branch but found 'Lonely'  as a leaf of 'Reserved_Parameters'") +
         Err("Expected a branch but found 'Usage'  as a leaf of 'Reserved_Parameters'") +
         Illegal("Usage", "Bad", "Reserved_Parameters") +
         Err("Unknown parameter Custom found as a child of Reserved_Parameters") +
         Illegal("Type", "Wrong", "Custom") + Err("GetWave_Exists parameter is mandatory")},
    {"Reserved_Parameters whose only member was dropped",
     "(m (Reserved_Parameters (Dropped x (a))))",
     Err("Init_Returns_Impulse parameter is mandatory") +
         Err("GetWave_Exists parameter is mandatory")},
    {"the rules of each reserved parameter",
     "(m (Reserved_Parameters\n"
     " (Init_Returns_Impulse (Usage In) (Type Integer) (Format Value 1) (Default 7)"
     " (Description \"i\"))\n"
     " (GetWave_Exists (Usage Info) (Type Boolean) (Table x) (group (Usage Info)))\n"
     " (Use_Init_Output (Usage Info) (Type Boolean) (Default 1) (Description \"u\"))\n"
     " (Max_Init_Aggressors (Usage Info) (Type Integer) (Default 2.5) (Description \"m\")"
     " (Labels a b))\n"
     " (Ignore_Bits (Usage Out) (Type Integer) (Default 3) (Description \"b\"))\n"
     " (Tx_Jitter (Usage Info) (Type UI) (Format Value 0.1) (Default 0) (Description \"j\"))\n"
     " (Tx_DCD (Usage In) (Type Float) (Format Range 0 0 x) (Default y) (Description \"d\"))\n"
     " (Rx_Clock_PDF (Usage Out) (Type Float) (Format Table (Labels a) (1 2))"
     " (Description \"c\"))\n"
     " (Rx_Receiver_Sensitivity (Usage Info) (Type UI) (Format Corner 1 2 3)"
     " (Description \"s\"))\n"
     " (Ignore_Bits (Usage Info) (Type Integer) (Default x)))\n"
     " (Model_Specific (g (Usage In))))\n",
     Illegal("Usage", "In", "Init_Returns_Impulse") +
         Illegal("Type", "Integer", "Init_Returns_Impulse") +
         Err("Unexpected parameter Format specified for Init_Returns_Impulse") +
         Err("Unknown parameter Table found as a child of GetWave_Exists") +
         Err("Found a branch group expecting a leaf for GetWave_Exists") +
         Mandatory("Default", "GetWave_Exists") + Mandatory("Description", "GetWave_Exists") +
         Illegal("Default", "1", "Use_Init_Output") +
         Illegal("Default", "2.5", "Max_Init_Aggressors") +
         Err("Unknown parameter Labels found as a child of Max_Init_Aggressors") +
         Illegal("Format", "Value", "Tx_Jitter") + Mandatory("Format", "Tx_Jitter") +
         Illegal("Usage", "In", "Tx_DCD") + Numbers("Range", "Tx_DCD", 3) +
         Illegal("Default", "y", "Tx_DCD") + Mandatory("Format", "Tx_DCD") +
         // A table written with its parentheses is dropped by the parser.
         Mandatory("Format", "Rx_Clock_PDF") +
         Illegal("Type", "UI", "Rx_Receiver_Sensitivity") +
         Illegal("Default", "x", "Ignore_Bits") + Mandatory("Description", "Ignore_Bits")},
    {"reserved parameters that pass",
     "(m " +
         Reserved(" (Tx_Jitter (Usage Out) (Type Float) (Format Table 1 2 3) (Description \"t\"))\n"
                  " (Rx_Clock_PDF (Usage Info) (Type UI) (Format DjRj 1 2 3) (Default 0.5)"
                  " (Description \"c\"))\n"
                  " (Tx_DCD (Usage Info) (Type UI) (Format Value 1e-3) (Description \"d\"))\n"
                  " (Max_Init_Aggressors (Usage Info) (Type Integer) (Default 4)"
                  " (Description \"a\"))\n"
                  " (Use_Init_Output (Usage Info) (Type Boolean) (Default True)"
                  " (Description \"u\"))\n") +
         ")",
     ""},
};
INSTANTIATE_TEST_SUITE_P(Files, AmiFileTest, ::testing::ValuesIn(kAmiCases), CaseName<AmiCase>);

// The rows above that name a parser result reach it.
TEST(AmiParserResults, RowsReachTheirResults) {
    const std::pair<const char *, int> rows[] = {
        {"(A (b 1)) (C (d 2))", AMIP_ERR_NESTING},
        {"(( )\"(a(\"aa)\" (", AMIP_ERR_ENTRIES},
        {"(A)", AMIP_ERR_CLOSE},
        {"(a 1 (x))", AMIP_ERR_NO_GROUP},
        {"(a (b (c 1) x ) (d 1))", AMIP_ERR_BOUNDS},
    };
    for (const auto &row : rows) {
        AMIP_TREE *tree = nullptr;
        EXPECT_EQ(AMIP_Parse(row.first, &tree), row.second) << row.first;
        AMIP_FreeTree(&tree);
    }
}

// Nesting comes from the file: half a million levels below Model_Specific
// are walked without the call stack, the leaf at the bottom still judged.
TEST_F(AmiFileTest, HalfAMillionLevels) {
    const int levels = 500000;
    std::string text = "(m\n" + Reserved() + "(Model_Specific (Usage Odd)\n";
    text.reserve(text.size() + 6 * static_cast<size_t>(levels) + 100);
    for (int i = 0; i < levels; ++i)
        text += "(g\n";
    text += "(p (Format Range 1 0))";
    text.append(levels, ')');
    text += "(Type Text)))\n";
    EXPECT_EQ(RunAmi(text), Illegal("Usage", "Odd", "Model_Specific") +
                                Numbers("Range", "p", 3) +
                                Illegal("Type", "Text", "Model_Specific"));
}

// ---- .ami files named by [Algorithmic Model] ----

struct RefCase {
    const char *name;
    std::vector<std::pair<std::string, std::string>> files;  // path, contents
    std::string models;  // after the component, whose pins use models a and b
    std::string expected;
};

const char kComponent[] = "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1 1 1\n"
                          "L_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n[Pin] signal_name model_name\n"
                          "1 a a\n2 b b\n";

// A model without faults of its own, with an [Algorithmic Model] block of
// the given Executable lines (none: no block).
std::string Model(const std::string &name, const char *executables = nullptr) {
    std::string text = "[Model] " + name +
                       "\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n"
                       "[Voltage Range] 3.3 3.0 3.6\n";
    if (executables != nullptr)
        text += std::string("[Algorithmic Model]\n") + executables + "[End Algorithmic Model]\n";
    return text;
}

std::string Banner(const std::string &name) {
    return "\nChecking " + name + " for IBIS 5.0 Compatibility...\n\n";
}
std::string NotFound(const std::string &what, const std::string &name, const char *model) {
    return Err(what + " " + name + " not found. It was defined in [Algorithmic Model] for Model " +
               model);
}

void PrintTo(const RefCase &c, std::ostream *os) { *os << c.name; }

class AmiReferenceTest : public SectionFileTest, public ::testing::WithParamInterface<RefCase> {};

// Contents that make the name no regular file.
const std::string kFifo = "\x01" "fifo", kDirectory = "\x01" "directory", kDevice = "\x01" "device";

TEST_P(AmiReferenceTest, WholeOutput) {
    for (const auto &file : GetParam().files) {
        if (file.second == kFifo)
            WriteFifo(file.first);
        else if (file.second == kDirectory)
            WriteDirectory(file.first);
        else if (file.second == kDevice)
            WriteDevice(file.first);
        else
            Write(file.first, file.second);
    }
    HangGuard guard;
    EXPECT_EQ(Run("5.0", kComponent + GetParam().models), GetParam().expected);
}

// Distinct faults, to tell which file was read.
const std::string kOnlyModelSpecific = "(x (Model_Specific (p (Usage In))))\n";
const std::string kBadUsage = Ami("(q (Usage Top))");
const std::string kBadType = Ami("(q (Type Sub))");

// Models are checked newest first, and so are the entries of a model.
const RefCase kRefCases[] = {
    {"empty block", {}, Model("a", "") + Model("b"),
     Err("Empty [Algorithmic Model] defined for Model a")},
    {"files not there",
     {{"m.txt", kBadUsage}},
     Model("a",
           "Executable Linux_gcc_64 gone.so gone.ami\n"
           "Executable Linux_gcc_32 x.so noext\n"
           "Executable Windows_cl_32 m.dll m.txt\n") +
         Model("b"),
     NotFound("Code file", "m.dll", "a") + Banner("m.txt") +
         Err("File Name Requires '.ami' Extension.") + NotFound("Code file", "x.so", "a") +
         Err("AMI Parameter file noext should have '.ami' extension. It was defined in "
             "[Algorithmic Model] for Model a") +
         NotFound("Code file", "gone.so", "a") + NotFound("AMI parameter file", "gone.ami", "a")},
    {"subdirectory and case variants",
     {{"sub/m.ami", kBadType}, {"sub/a.so", ""}},
     Model("a", "Executable Linux_gcc_64 sub/A.SO sub/M.AMI\n") + Model("b"),
     Banner("sub/M.AMI") + Illegal("Type", "Sub", "q")},
    {"each entry from the directory of the .ibs file",
     {{"sub/m.ami", kOnlyModelSpecific},
      {"n.ami", kBadUsage},
      {"sub/n.ami", kBadType},
      {"a.so", ""},
      {"b.so", ""}},
     Model("a",
           "Executable Linux_gcc_64 a.so n.ami\n"
           "Executable Linux_gcc_32 b.so sub/m.ami\n") +
         Model("b", "Executable Linux_gcc_64 b.so n.ami\n"),
     Banner("n.ami") + Illegal("Usage", "Top", "q") + Banner("sub/m.ami") + kNoReserved +
         Banner("n.ami") + Illegal("Usage", "Top", "q")},
    {"two models on one file, each reads it",
     {{"m.ami", kBadType}},
     Model("a", "Executable Linux_gcc_64 m.so m.ami\n") +
         Model("b", "Executable Linux_gcc_64 m.so m.ami\n"),
     NotFound("Code file", "m.so", "b") + Banner("m.ami") + Illegal("Type", "Sub", "q") +
         NotFound("Code file", "m.so", "a") + Banner("m.ami") + Illegal("Type", "Sub", "q")},
    // Found as missing at once, not waited on or read from.
    {"FIFOs",
     {{"hang.so", kFifo}, {"hang.ami", kFifo}},
     Model("a", "Executable Linux_gcc_64 hang.so none.ami\n") +
         Model("b", "Executable Linux_gcc_64 none.so hang.ami\n"),
     NotFound("Code file", "none.so", "b") + NotFound("AMI parameter file", "hang.ami", "b") +
         NotFound("Code file", "hang.so", "a") + NotFound("AMI parameter file", "none.ami", "a")},
    {"directories and devices",
     {{"dir.so", kDirectory}, {"dir.ami", kDirectory}, {"zero.ami", kDevice}},
     Model("a",
           "Executable Linux_gcc_64 dir.so dir.ami\n"
           "Executable Linux_gcc_32 /dev/zero zero.ami\n") +
         Model("b"),
     NotFound("Code file", "/dev/zero", "a") + NotFound("AMI parameter file", "zero.ami", "a") +
         NotFound("Code file", "dir.so", "a") + NotFound("AMI parameter file", "dir.ami", "a")},
    {"empty and unbalanced files",
     {{"e.ami", "| only a comment\n"}, {"u.ami", "(m (Reserved_Parameters\n"}, {"m.so", ""}},
     Model("a", "Executable Linux_gcc_64 m.so e.ami\n") +
         Model("b", "Executable Linux_gcc_64 m.so u.ami\n"),
     Banner("u.ami") + kMismatched + Banner("e.ami") + kNoParen},
};
INSTANTIATE_TEST_SUITE_P(Files, AmiReferenceTest, ::testing::ValuesIn(kRefCases),
                         CaseName<RefCase>);

// A name with a relative directory that is not below the .ibs file's is
// looked for from the working directory, by the existence test as by the
// read.
TEST_F(SectionFileTest, AmiNameFromTheWorkingDirectory) {
    Write("wd/other/m.ami", kBadUsage);
    Write("wd/other/m.so", "");
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir((dir_.path() + "/wd").c_str()), 0);
    const std::string out =
        Run("5.0", kComponent + Model("a", "Executable Linux_gcc_64 other/m.so other/M.ami\n") +
                       Model("b"));
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(out, Banner("other/M.ami") + Illegal("Usage", "Top", "q"));
}

// ---- Files over a size cap ----

// A file too large to check whole gets the one message of its cap, and its
// text is not parsed, alone or named by an [Algorithmic Model] entry. The
// files are written at run time.
struct CapCase {
    const char *name;
    void (*write)(std::ostream &out);
    std::string expected;  // after the banner
};

void PrintTo(const CapCase &c, std::ostream *os) { *os << c.name; }

// 125 lines of 800 KB in a tree that would pass: the joined text passes
// 64 MiB on line 90, the 84th of them.
void WideLines(std::ostream &out) {
    out << "(m\n" << Reserved() << "(Model_Specific\n";
    const std::string value(800 * 1000, 'v');
    for (int i = 0; i < 125; ++i)
        out << "(p" << i << " (Usage In) (Type String) (Default \"" << value << "\"))\n";
    out << "))\n";
}
// A description of 2 MB on line 8, the tree closed behind it; a line that
// long is also a description line over 120 characters.
void LongDescription(std::ostream &out) {
    out << "(m\n" << Reserved() << "(Model_Specific\n(d (Usage In)\n(Description \""
        << std::string(2 * 1000 * 1000, 'd') << "\")))\n(e (Usage In)))\n";
}

const std::string kTextCap = Err(90, "AMI parameter text longer than 67108864 characters; the parameters are not "
                                     "checked.");
const std::string kLineCap = Err(8, "Line longer than 1048576 characters; the rest of it is dropped.") +
                             Err(8, "Description line in AMI file (at line no 8) is greater than 120 characters");

const CapCase kCapCases[] = {
    {"joined text", WideLines, kTextCap},
    {"line", LongDescription, kLineCap},
};

class AmiCapTest : public SectionFileTest, public ::testing::WithParamInterface<CapCase> {
protected:
    void WriteBig(const std::string &name) {
        std::ofstream out(dir_.path() + "/" + name, std::ios::binary);
        GetParam().write(out);
    }
};

TEST_P(AmiCapTest, AloneAndNamedByAModel) {
    WriteBig("big.ami");
    passed_ = CHECKPASS_CheckFile((dir_.path() + "/big.ami").c_str(), FILE_AMI, 0);
    EXPECT_EQ(Messages("big.ami", "5.0", Output()), GetParam().expected);
    EXPECT_EQ(passed_, 0);

    Write("m.so", "");
    EXPECT_EQ(Run("5.0", kComponent + Model("a", "Executable Linux_gcc_64 m.so big.ami\n") + Model("b")),
              "\nChecking big.ami for IBIS 5.0 Compatibility...\n\n" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, AmiCapTest, ::testing::ValuesIn(kCapCases), CaseName<CapCase>);

}  // namespace
