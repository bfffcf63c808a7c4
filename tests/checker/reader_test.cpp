// The file reader on whole files: classification, [End], [Comment Char],
// line limits, illegal characters, the .ami reader, and the check pass.
#include "CheckerTest.h"

#include "IbisParser/hdr.h"

namespace {

std::string Banner(const std::string &name, const char *version = "5.0") {
    return "\nChecking " + name + " for IBIS " + version + " Compatibility...\n\n";
}
std::string Failed(int errors) { return "\nErrors  : " + std::to_string(errors) + "\n\nFile Failed\n"; }
std::string NonAscii(const char *line, const char *code) {
    return "ERROR (line    " + std::string(line) + ") -\n    Found illegal non-7-bit ASCII character (code " +
           code + ").  Converting to space.\n";
}
const std::string kBanner50 = Banner("a.ibs"), kBanner32 = Banner("a.ibs", "3.2");
const std::string kNoComponent = "ERROR - Required keyword 'Component' not found.\n";
const std::string kNoVersion = "ERROR - Could not determine Version for file a.ibs\n";
const std::string kBareX = "ERROR - Required keyword 'Manufacturer' not defined for Component 'x'.\n"
                           "ERROR - Keyword 'Package' not defined for Component 'x'.\n";
const std::string kNoPinX = "ERROR - Unable to find Pin keyword data for Component 'x'.\n";
const std::string kControl1 = "    Found illegal control character (code 1).  Converting to space.\n";
const std::string kZero(1, '\0');
const std::string kNul = " - Found illegal NUL character (code 0).  Converting to space.\n";

// A complete 5.0 header ending in a keyword that closes it.
std::string Ibs50(const std::string &body) { return Header("5.0", "a.ibs") + body; }

class ReaderTest : public CheckerTest {
protected:
    // The [Notes] text of the header that one pass reads from body, written
    // as name; the pass ends without the whole-file checks. "(not read)" when
    // the file was not read whole, "(no notes)" when the header has none.
    std::string NotesRead(const char *name, const std::string &body, int kind) {
        CHECKPASS_BeginFile();
        std::string path = Write(name, body);
        std::string notes = "(not read)";
        if (PARSE_ParseFile(path.c_str(), kind) == 1) {
            IBIS *root = nullptr;
            HDR *hdr = nullptr;
            const char *text = nullptr;
            notes = IBIS_GetCurrent(&root) && IBIS_GetHeader(root, &hdr) && HDR_GetNotes(hdr, &text)
                        ? text
                        : "(no notes)";
        }
        CHECKPASS_EndFile();
        return notes;
    }
};

// Whole check passes: the file written, all the pass printed and, where
// given, the comment character in force after it.
struct CheckRow { const char *name; int kind; std::string text, out; char comment = 0; };

TEST_F(ReaderTest, WholeFileChecks) {
    const std::string pkg = Header("5.0", "a.pkg"), tabs = pkg + "[Notes]\ta\n\tb\n[End]\n";
    const std::string tabsOut = Banner("a.pkg") + "WARNING (line    4) - IBIS files should not contain tab "
                                "characters.\n\nErrors  : 0\nWarnings: 1\n\nFile Passed\n";
    const std::string x80 = "|" + std::string(80, 'x') + "\n", exceeds = " - Exceeds 80 chararacters.\n";
    const CheckRow rows[] = {
        // An indented keyword is reported and still opens.
        {"a.pkg", FILE_PKG, pkg + "[Date] d\n  [Notes] n\n   [not a keyword] t\n[End]\n",
         Banner("a.pkg") + "ERROR (line    5) - Keywords Must Begin In Column 1.\n" + Failed(1)},
        {"a.ibs", FILE_IBS, Ibs50("[End]\n"), kBanner50 + kNoComponent + Failed(1)},
        // Lines after [End] are errors, except comments and blanks.
        {"a.ibs", FILE_IBS, Ibs50("[End]\n| fine\n\n   \nmore\n[Model] x\n"),
         kBanner50 + "ERROR (line    8) - Non-comment line exists after 'End' keyword.\n"
                     "ERROR (line    9) - Non-comment line exists after 'End' keyword.\n" +
             kNoComponent + Failed(3)},
        // No [End], and no line feed at the end.
        {"a.ibs", FILE_IBS, Ibs50("[Notes] last line without feed"),
         kBanner50 + "ERROR - Required keyword 'End' not found.\n" + kNoComponent + Failed(2)},
        {"a.ibs", FILE_IBS,
         Ibs50("[Comment Char] #_char\n[Notes] a # cut | kept\n# a comment now\n[Comment_Char] a_char\n"
               "[comment char] x\n[COMMENT CHAR] |_char # more\n[End] | fine\n"),
         kBanner50 + "ERROR (line    7) - Invalid Comment Character 'a'.\n"
                     "ERROR (line    8) - Invalid Comment Character Definition.\n"
                     "ERROR (line    9) - Too Many Line Items For Keyword COMMENT_CHAR.\n" +
             kNoComponent + Failed(4),
         '|'},
        // The line length follows the version: 81 characters of comment and of data, then 121.
        {"a.ibs", FILE_IBS, Header("3.2", "a.ibs") + x80 + "[Notes] " + std::string(73, 'n') + "\n[End]\n",
         kBanner32 + "ERROR (line    4)" + exceeds + "ERROR (line    5)" + exceeds + kNoComponent +
             Failed(3)},
        {"a.ibs", FILE_IBS,
         Header("4.2", "a.ibs") + x80 + "[Notes] x\n" + std::string(121, 'n') + "\n[End]\n",
         Banner("a.ibs", "4.2") + "ERROR (line    6) - Exceeds 120 chararacters.\n" + kNoComponent +
             Failed(2)},
        // Tabs are warned once per file, and again in the next file.
        {"a.pkg", FILE_PKG, tabs, tabsOut},
        {"a.pkg", FILE_PKG, tabs, tabsOut},
        // The version scan reads these lines too; only the main read reports them.
        {"a.ibs", FILE_IBS, "|\x01 x\n" + Ibs50("[Component] x\n[End]\n"),
         kBanner50 + "ERROR (line    1) -\n" + kControl1 + kBareX + kNoPinX + Failed(4)},
        {"a.ibs", FILE_IBS, std::string("\xff\x02 junk\n", 8), kNoVersion + Failed(1)},
        // A byte-order mark, or a control character in the version line, does
        // not keep a file from being checked; the main read reports each byte.
        {"a.ibs", FILE_IBS, "\xEF\xBB\xBF" + Ibs50("[Component] x\n[End]\n"),
         kBanner50 + NonAscii("1", "ef") + NonAscii("1", "bb") + NonAscii("1", "bf") +
             "ERROR (line    1) - Keywords Must Begin In Column 1.\n" + kBareX + kNoPinX + Failed(7)},
        {"a.ibs", FILE_IBS, "[IBIS Ver]" + kZero + "3.2\n[File Name] a.ibs\n[File Rev] 1\n[End]\n",
         kBanner32 + "ERROR (line    1)" + kNul + kNoComponent + Failed(2)},
        // The version scan decides the banner.
        {"a.ibs", FILE_IBS, "[Component] x\n[IBIS Ver] 5.0\n", kNoVersion + Failed(1)},
        {"a.ibs", FILE_IBS, "| only comments\n", kNoVersion + Failed(1)},
        {"a.ami", FILE_AMI, "",
         Banner("a.ami") + "ERROR - The AMI parameter file should start with a parenthesis\n" + Failed(1)},
    };
    for (const CheckRow &r : rows) {
        EXPECT_EQ(Check(r.name, r.text, r.kind), r.out) << r.text;
        EXPECT_EQ(passed_, r.out.find("\nFile Passed\n") != std::string::npos ? 1 : 0) << r.text;
        if (r.comment) {
            EXPECT_EQ(PARSE_GetCommentChar(), r.comment) << r.text;
        }
    }
}

// Header notes one pass reads, and all it printed: the comment is cut and
// the lines trimmed before the handlers, illegal bytes read as blanks.
TEST_F(ReaderTest, NotesAsTheHandlersSeeThem) {
    const struct { const char *name; int kind; std::string text, notes, out; } rows[] = {
        {"b.pkg", FILE_PKG, Header("5.0", "b.pkg") + "[Date] d\n  [Notes] n\n   [not a keyword] t\n",
         "n\n[not a keyword] t",
         Banner("b.pkg") + "ERROR (line    5) - Keywords Must Begin In Column 1.\n"
                           "ERROR - Required keyword 'End' not found.\n" + Failed(2)},
        {"a.ibs", FILE_IBS,
         Ibs50("[Comment Char] #_char\n[Notes]   first  # gone\n    second line   \t\n"
               "[Component] c\n[End]\n"),
         "first\nsecond line",
         kBanner50 + "WARNING (line    6) - IBIS files should not contain tab characters.\n"
                     "ERROR - Required keyword 'Manufacturer' not defined for Component 'c'.\n"
                     "ERROR - Keyword 'Package' not defined for Component 'c'.\n"
                     "\nErrors  : 2\nWarnings: 1\n\nFile Failed\n"},
        {"a.ibs", FILE_IBS, Ibs50("[Notes] a\001b\nc\200d\ne" + kZero + "f\n[Component] x\n[End]\n"),
         "a b\nc d\ne f",
         kBanner50 + "ERROR (line    4) -\n" + kControl1 + NonAscii("5", "80") + "ERROR (line    6)" + kNul +
             kBareX + Failed(5)},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(NotesRead(r.name, r.text, r.kind), r.notes) << r.text;
        EXPECT_EQ(Output(), r.out) << r.text;
    }
}

TEST_F(ReaderTest, AmiFileIsJoinedWithOneBlankPerLine) {
    const std::string desc120 = "(Description " + std::string(107, 'd'), desc121 = desc120 + "e";
    const std::string c120(120, 'c'), o120(120, 'o');
    CHECKPASS_BeginFile();
    std::string path = Write("m.ami", "(top | comment\n  (List 2\n3) | the values stay apart\n\n"
                                      "| whole comment\n" + desc120 + "\n" + desc121 + "\n  continued " +
                                          c120 + "\n(Other " + o120 + ")\n)\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_AMI), 1);
    char *joined = PARSE_TakeAmiText();
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(std::string(joined), "(top (List 2 3) " + desc120 + " " + desc121 + " continued " + c120 +
                                       " (Other " + o120 + ") )");
    CMN_Free(joined);
    CHECKPASS_EndFile();
    auto tooLong = [](const std::string &n) {
        return "ERROR (line    " + n + ") -\n    Description line in AMI file (at line no " + n +
               ") is greater than 120 characters\n";
    };
    EXPECT_EQ(Output(), Banner("m.ami") + tooLong("7") + tooLong("8") + Failed(2));
}

// An .ami file is read without the length check, whatever the option says;
// the option still holds for the next file.
TEST_F(ReaderTest, AmiFileLeavesTheLengthOptionAsItWas) {
    const std::string ibs = Header("3.2", "a.ibs") + "|" + std::string(80, 'x') + "\n[End]\n";
    for (int option : {0, 1}) {
        PARSE_SetNoLengthCheck(option);
        CHECKPASS_BeginFile();
        std::string path = Write("m.ami", "(top " + std::string(130, 'x') + ")\n");
        ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_AMI), 1);
        PARSE_FreeAmiText();
        CHECKPASS_EndFile();
        EXPECT_EQ(Output().find("Exceeds"), std::string::npos) << option;
        const std::string out = Check("a.ibs", ibs, FILE_IBS);
        EXPECT_EQ(out.find("Exceeds 80") != std::string::npos, option == 0) << option;
    }
    PARSE_SetNoLengthCheck(0);
}

TEST_F(ReaderTest, AmiLineClassification) {
    EXPECT_EQ(PARSE_ClassifyAmiLine("   "), LINE_BLANK);
    EXPECT_EQ(PARSE_ClassifyAmiLine(" | x"), LINE_BLANK);
    EXPECT_EQ(PARSE_ClassifyAmiLine("( Description \"x\")"), LINE_AMI_DESCRIPTION);
    EXPECT_EQ(PARSE_ClassifyAmiLine("(Usage In)"), LINE_AMI_PAREN);
    EXPECT_EQ(PARSE_ClassifyAmiLine("  1 2 3)"), LINE_DATA);
}

TEST_F(ReaderTest, ReferencedNamesResolveInTheReferencingDirectory) {
    Write("Mixed Dir/a.pkg", Header("5.0", "a.pkg") + "[End]\n");
    Write("Mixed Dir/b.pkg", Header("5.0", "b.pkg") + "[End]\n");
    Write("b.pkg", "not this one\n");
    CHECKPASS_BeginFile();
    EXPECT_EQ(PARSE_ParseFile((dir_.path() + "/Mixed Dir/a.pkg").c_str(), FILE_PKG), 1);
    EXPECT_EQ(PARSE_ParseFile("B.PKG", FILE_PKG), 1);  // next to a.pkg, name case retried
    char name[PARSE_MAX_NAME + 1];
    PARSE_GetFileName(name);
    EXPECT_STREQ(name, "b.pkg");  // the spelling that opened
    CHECKPASS_EndFile();
    EXPECT_EQ(Output(), Banner("Mixed Dir/a.pkg") + Banner("B.PKG") + "Errors  : 0\n\nFile Passed\n");
}

}  // namespace
