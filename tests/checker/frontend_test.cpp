// The command-line checker end to end: files written here, the whole output
// and standard error compared, the exit status checked.
#include <sys/stat.h>

#include "CheckerTest.h"

namespace {

// One run of the tool: its arguments (redirections included), exit status,
// standard output and standard error.
struct RunRow { std::string args; int status; std::string out, err; };

class FrontEndTest : public CheckerTest {
protected:
    // The build always makes the tool beside the tests: its absence fails.
    void SetUp() override {
        CheckerTest::SetUp();
        struct stat st;
        ASSERT_EQ(stat(kTool.c_str(), &st), 0) << kTool << " not built";
    }
    void ExpectRuns(const std::vector<RunRow> &rows) {
        for (const RunRow &r : rows) {
            std::string out;
            const std::string cmd = "cd '" + dir_.path() + "' && '" + kTool + "' 2>err.txt " + r.args;
            EXPECT_EQ(testsupport::RunCommand(cmd, out), r.status) << r.args;
            EXPECT_EQ(out, r.out) << r.args;
            EXPECT_EQ(testsupport::ReadFile(dir_.path() + "/err.txt"), r.err) << r.args;
        }
    }
    const std::string kTool = std::string(VARNHOLT_BIN_DIR) + "/checker/ibischeck";
    const std::string kUsage = "usage: " + kTool + " [-h] [--] file...\n"
        "Checks each IBIS (.ibs), package (.pkg), board (.ebd) or AMI parameter (.ami)\n"
        "file and writes the report to the standard output.\n"
        "  -h, --help  print this text and exit\n"
        "  --          end of the options: every later argument names a file\n"
        "Exit status: 0 every file passed, 1 a file failed, 2 a usage error or a\n"
        "report that could not be written.\n";
    const std::string kFull = kTool + ": write error: No space left on device\n";
};

std::string Passed(const std::string &name, const char *version) {
    return "\nChecking " + name + " for IBIS " + version + " Compatibility...\n\nErrors  : 0\n\n"
           "File Passed\n";
}
// The report of an .ibs file that does not open.
std::string NoFile(const std::string &name) {
    return "ERROR - Unable To Open File '" + name + ".ibs'\nERROR - Could not determine Version for file " +
           name + "\n\nErrors  : 2\n\nFile Failed\n";
}

// Options are read before any file is checked; "--" ends them, and "./"
// names a file that begins with '-' at any place.
TEST_F(FrontEndTest, ChecksFilesAndReadsOptions) {
    Write("good.pkg",
          "[IBIS Ver] 4.2\n[File Name] good.pkg\n[File Rev] 1.0\n[Date] May\n[Notes] fine\n[End]\n");
    Write("bad.ibs", "| a file with several faults\n[IBIS Ver] 3.2\n[File Name] Bad.ibs\n[File Rev] 1.0\n"
                     "[Notes] this line is far too long for a version 3.2 file, which allows only 80 chars\n"
                     "[Component] c\n  [Model] m\n[Frobnicate]\norphan data\n[End]\ntrailing\n");
    Write("w.pkg", "[IBIS Ver] 5.0\n[File Name] other.pkg\n[File Rev] 1\n[Notes]\tx\n[End] more\n");
    Write("Sub Dir/a.pkg", "[IBIS Ver] 5.0\n[File Name] a.pkg\n[File Rev] 1\n[End]\n");
    Write("x.ami", "(x (Reserved_Parameters\n"
                   " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
                   " (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description \"g\"))))\n");
    Write("-p.pkg", "[IBIS Ver] 4.2\n[File Name] -p.pkg\n[File Rev] 1.0\n[End]\n");
    const std::string unknown = kTool + ": unknown option ";
    ExpectRuns({
        {"good.pkg", 0, Passed("good.pkg", "4.2"), ""},
        // Every file is checked; one that fails fails the run.
        {"bad.ibs good.pkg", 1,
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
         "or [Series Pin Mapping] sections.\n No more warnings will be generated for un-referenced models\n"
         "\nErrors  : 9\nWarnings: 1\n\nFile Failed\n" + Passed("good.pkg", "4.2"), ""},
        // A long message wraps; warnings are counted apart.
        {"w.pkg", 1,
         "\nChecking w.pkg for IBIS 5.0 Compatibility...\n\nERROR (line    2) -\n"
         "    File name opened 'w.pkg' not the same as File_name 'other.pkg'.\n"
         "WARNING (line    4) - IBIS files should not contain tab characters.\n"
         "ERROR (line    5) - Extraneous data on End keyword line.\n"
         "\nErrors  : 2\nWarnings: 1\n\nFile Failed\n",
         ""},
        // The kind comes from the extension; the directory keeps its case, the
        // name is retried in lower case.
        {"'Sub Dir/A.PKG' 'Sub Dir\\a.pkg' x.AMI", 0,
         Passed("Sub Dir/A.PKG", "5.0") + Passed("Sub Dir\\a.pkg", "5.0") + Passed("x.AMI", "5.0"), ""},
        {"notes.txt", 1,
         "ERROR - File Name Requires '.ibs' Extension.\n"
         "ERROR - Could not determine Version for file notes.txt\n"
         "\nErrors  : 2\n\nFile Failed\n", ""},
        {"", 2, "", kUsage},
        {"-h", 0, kUsage, ""},
        {"--help", 0, kUsage, ""},
        // The first option met decides.
        {"-h -x", 0, kUsage, ""},
        {"-x -h", 2, "", unknown + "'-x'\n" + kUsage},
        {"-x", 2, "", unknown + "'-x'\n" + kUsage},
        {"--helps", 2, "", unknown + "'--helps'\n" + kUsage},
        {"-p.pkg", 2, "", unknown + "'-p.pkg'\n" + kUsage},
        {"./-p.pkg -h", 0, kUsage, ""},
        // Files are read by name only: a lone '-' is no standard input.
        {"-", 2, "", unknown + "'-'\n" + kUsage},
        {"--", 2, "", kUsage},
        {"-- -p.pkg", 0, Passed("-p.pkg", "4.2"), ""},
        {"./-p.pkg", 0, Passed("./-p.pkg", "4.2"), ""},
        {"-- -- -h", 1, NoFile("--") + NoFile("-h"), ""},
        {"./-p.pkg -- -p.pkg", 0, Passed("./-p.pkg", "4.2") + Passed("-p.pkg", "4.2"), ""},
        // The usage is a report too: one that cannot be written fails.
        {"--help >/dev/full", 2, "", kFull},
    });
}

// A report that cannot be written fails with its own status, whatever the
// files gave, and says so on the standard error.
TEST_F(FrontEndTest, AReportThatCannotBeWrittenFails) {
    Write("good.pkg", "[IBIS Ver] 4.2\n[File Name] good.pkg\n[File Rev] 1.0\n[End]\n");
    Write("bad.pkg", "[IBIS Ver] 4.2\n[File Name] other.pkg\n[File Rev] 1.0\n[End]\n");
    const std::string closed = kTool + ": write error: Bad file descriptor\n";
    ExpectRuns({
        {"good.pkg >/dev/full", 2, "", kFull},
        {"bad.pkg good.pkg >/dev/full", 2, "", kFull},
        {"good.pkg >&-", 2, "", closed},
        // Open only for reading: every write fails.
        {"good.pkg 1<good.pkg", 2, "", closed},
        {"good.pkg >/dev/null", 0, "", ""},
    });
}

}  // namespace
