// The command-line checker end to end: files written here, the whole output
// compared, the exit status checked.
#include <sys/stat.h>

#include "CheckerTest.h"

namespace {

class FrontEndTest : public CheckerTest {
protected:
    // The build always makes the tool beside the tests: its absence fails.
    void SetUp() override {
        CheckerTest::SetUp();
        struct stat st;
        ASSERT_EQ(stat(kTool.c_str(), &st), 0) << kTool << " not built";
    }
    int Run(const std::string &args, std::string &out) {
        return testsupport::RunCommand("cd '" + dir_.path() + "' && '" + kTool + "' " + args, out);
    }
    const std::string kTool = std::string(VARNHOLT_BIN_DIR) + "/checker/ibischeck";
};

TEST_F(FrontEndTest, ChecksEveryFileAndFailsWhenOneFails) {
    Write("good.pkg", "[IBIS Ver] 4.2\n[File Name] good.pkg\n[File Rev] 1.0\n[Date] May\n"
                      "[Notes] fine\n[End]\n");
    Write("bad.ibs", "| a file with several faults\n"
                     "[IBIS Ver] 3.2\n"
                     "[File Name] Bad.ibs\n"
                     "[File Rev] 1.0\n"
                     "[Notes] this line is far too long for a version 3.2 file, which allows only 80 "
                     "chars\n"
                     "[Component] c\n"
                     "  [Model] m\n"
                     "[Frobnicate]\n"
                     "orphan data\n"
                     "[End]\n"
                     "trailing\n");
    std::string out;
    EXPECT_EQ(Run("good.pkg", out), 0);
    EXPECT_EQ(out, "\nChecking good.pkg for IBIS 4.2 Compatibility...\n\nErrors  : 0\n\nFile Passed\n");

    EXPECT_EQ(Run("bad.ibs good.pkg", out), 1);
    EXPECT_EQ(out,
              "\nChecking bad.ibs for IBIS 3.2 Compatibility...\n\n"
              "ERROR (line    3) - File_name 'Bad.ibs' contains an upper case character 'B'.\n"
              "ERROR (line    5) - Exceeds 80 chararacters.\n"
              "ERROR (line    7) - Keywords Must Begin In Column 1.\n"
              "ERROR - Required keyword 'Manufacturer' not defined for Component 'c'.\n"
              "ERROR - Keyword 'Package' not defined for Component 'c'.\n"
              "ERROR (line    8) - Invalid Keyword: Frobnicate\n"
              "ERROR (line    9) - Data for unknown keyword.\norphan data\n"
              "ERROR (line   11) - Non-comment line exists after 'End' keyword.\n"
              "ERROR - Unable to find Pin keyword data for Component 'c'.\n"
              "WARNING - Model m not referenced in any [Pin], [Model Selector], [Driver Schedule] "
              "or [Series Pin Mapping] sections.\n No more warnings will be generated for "
              "un-referenced models\n"
              "\nErrors  : 9\nWarnings: 1\n\nFile Failed\n"
              "\nChecking good.pkg for IBIS 4.2 Compatibility...\n\nErrors  : 0\n\nFile Passed\n");
}

TEST_F(FrontEndTest, WrapsAndWarnings) {
    Write("w.pkg", "[IBIS Ver] 5.0\n[File Name] other.pkg\n[File Rev] 1\n[Notes]\tx\n[End] more\n");
    std::string out;
    EXPECT_EQ(Run("w.pkg", out), 1);
    EXPECT_EQ(out, "\nChecking w.pkg for IBIS 5.0 Compatibility...\n\n"
                   "ERROR (line    2) -\n"
                   "    File name opened 'w.pkg' not the same as File_name 'other.pkg'.\n"
                   "WARNING (line    4) - IBIS files should not contain tab characters.\n"
                   "ERROR (line    5) - Extraneous data on End keyword line.\n"
                   "\nErrors  : 2\nWarnings: 1\n\nFile Failed\n");
}

TEST_F(FrontEndTest, KindFromExtensionAndFileNames) {
    Write("Sub Dir/a.pkg", "[IBIS Ver] 5.0\n[File Name] a.pkg\n[File Rev] 1\n[End]\n");
    Write("x.ami", "(x (Reserved_Parameters\n"
                   " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
                   " (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description \"g\"))))\n");
    std::string out;
    // The directory keeps its case; the name is retried in lower case.
    EXPECT_EQ(Run("'Sub Dir/A.PKG' 'Sub Dir\\a.pkg' x.AMI", out), 0);
    EXPECT_EQ(out, "\nChecking Sub Dir/A.PKG for IBIS 5.0 Compatibility...\n\nErrors  : 0\n\nFile Passed\n"
                   "\nChecking Sub Dir\\a.pkg for IBIS 5.0 Compatibility...\n\nErrors  : 0\n\nFile Passed\n"
                   "\nChecking x.AMI for IBIS 5.0 Compatibility...\n\nErrors  : 0\n\nFile Passed\n");
    EXPECT_EQ(Run("notes.txt", out), 1);
    EXPECT_EQ(out, "ERROR - File Name Requires '.ibs' Extension.\n"
                   "ERROR - Could not determine Version for file notes.txt\n"
                   "\nErrors  : 2\n\nFile Failed\n");
    EXPECT_EQ(Run("", out), 2);
    EXPECT_EQ(out, "");
}

std::string UsageOf(const std::string &tool) {
    return "usage: " + tool + " [-h] [--] file...\n"
           "Checks each IBIS (.ibs), package (.pkg), board (.ebd) or AMI parameter (.ami)\n"
           "file and writes the report to the standard output.\n"
           "  -h, --help  print this text and exit\n"
           "  --          end of the options: every later argument names a file\n"
           "Exit status: 0 every file passed, 1 a file failed, 2 a usage error or a\n"
           "report that could not be written.\n";
}

// Options are read before any file is checked; "--" ends them, and "./"
// names a file that begins with '-' at any place.
TEST_F(FrontEndTest, OptionsAndUsage) {
    Write("-p.pkg", "[IBIS Ver] 4.2\n[File Name] -p.pkg\n[File Rev] 1.0\n[End]\n");
    const std::string usage = UsageOf(kTool);
    const std::string passed = " for IBIS 4.2 Compatibility...\n\nErrors  : 0\n\nFile Passed\n";
    const std::string unknown = kTool + ": unknown option ";
    struct Row {
        const char *args;
        int status;
        std::string out, err;
    };
    const Row rows[] = {
        {"-h", 0, usage, ""},
        {"--help", 0, usage, ""},
        // The first option met decides.
        {"-h -x", 0, usage, ""},
        {"-x -h", 2, "", unknown + "'-x'\n" + usage},
        {"-x", 2, "", unknown + "'-x'\n" + usage},
        {"--helps", 2, "", unknown + "'--helps'\n" + usage},
        {"-p.pkg", 2, "", unknown + "'-p.pkg'\n" + usage},
        {"./-p.pkg -h", 0, usage, ""},
        // Files are read by name only: a lone '-' is no standard input.
        {"-", 2, "", unknown + "'-'\n" + usage},
        {"--", 2, "", usage},
        {"-- -p.pkg", 0, "\nChecking -p.pkg" + passed, ""},
        {"./-p.pkg", 0, "\nChecking ./-p.pkg" + passed, ""},
        {"-- -- -h", 1,
         "ERROR - Unable To Open File '--.ibs'\n"
         "ERROR - Could not determine Version for file --\n"
         "\nErrors  : 2\n\nFile Failed\n"
         "ERROR - Unable To Open File '-h.ibs'\n"
         "ERROR - Could not determine Version for file -h\n"
         "\nErrors  : 2\n\nFile Failed\n",
         ""},
        {"./-p.pkg -- -p.pkg", 0, "\nChecking ./-p.pkg" + passed + "\nChecking -p.pkg" + passed, ""},
    };
    for (const Row &r : rows) {
        std::string out;
        EXPECT_EQ(Run(std::string(r.args) + " 2>err.txt", out), r.status) << r.args;
        EXPECT_EQ(out, r.out) << r.args;
        EXPECT_EQ(testsupport::ReadFile(dir_.path() + "/err.txt"), r.err) << r.args;
    }
    // The usage is a report too: one that cannot be written fails.
    std::string err;
    EXPECT_EQ(Run("--help 2>&1 >/dev/full", err), 2);
    EXPECT_EQ(err, kTool + ": write error: No space left on device\n");
}

// A report that cannot be written fails with its own status, whatever the
// files gave, and says so on the standard error (read here in place of the
// standard output).
TEST_F(FrontEndTest, AReportThatCannotBeWrittenFails) {
    Write("good.pkg", "[IBIS Ver] 4.2\n[File Name] good.pkg\n[File Rev] 1.0\n[End]\n");
    Write("bad.pkg", "[IBIS Ver] 4.2\n[File Name] other.pkg\n[File Rev] 1.0\n[End]\n");
    const std::string full = kTool + ": write error: No space left on device\n";
    const std::string closed = kTool + ": write error: Bad file descriptor\n";
    std::string err;
    EXPECT_EQ(Run("good.pkg 2>&1 >/dev/full", err), 2);
    EXPECT_EQ(err, full);
    EXPECT_EQ(Run("bad.pkg good.pkg 2>&1 >/dev/full", err), 2);
    EXPECT_EQ(err, full);
    EXPECT_EQ(Run("good.pkg 2>&1 >&-", err), 2);
    EXPECT_EQ(err, closed);
    // Open only for reading: every write fails.
    EXPECT_EQ(Run("good.pkg 2>&1 1<good.pkg", err), 2);
    EXPECT_EQ(err, closed);
    EXPECT_EQ(Run("good.pkg 2>&1 >/dev/null", err), 0);
    EXPECT_EQ(err, "");
}

}  // namespace
