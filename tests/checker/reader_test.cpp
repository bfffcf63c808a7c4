// The file reader on whole files: classification, [End], [Comment Char],
// line limits, illegal characters, the .ami reader, and the check pass.
#include "CheckerTest.h"

#include "IbisParser/hdr.h"

namespace {

const char kBanner50[] = "\nChecking a.ibs for IBIS 5.0 Compatibility...\n\n";
const char kBanner32[] = "\nChecking a.ibs for IBIS 3.2 Compatibility...\n\n";

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

TEST_F(ReaderTest, IndentedKeywordIsReportedAndStillOpens) {
    std::string out = Check("a.pkg",
                            Header("5.0", "a.pkg") + "[Date] d\n  [Notes] n\n   [not a keyword] t\n"
                                                     "[End]\n",
                            FILE_PKG);
    EXPECT_EQ(out, "\nChecking a.pkg for IBIS 5.0 Compatibility...\n\n"
                   "ERROR (line    5) - Keywords Must Begin In Column 1.\n\n"
                   "Errors  : 1\n\nFile Failed\n");
    EXPECT_EQ(NotesRead("b.pkg",
                        Header("5.0", "b.pkg") + "[Date] d\n  [Notes] n\n   [not a keyword] t\n",
                        FILE_PKG),
              "n\n[not a keyword] t");
    Output();
    out = Check("a.ibs", Ibs50("[End]\n"), FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR - Required keyword 'Component' not found.\n\n"
                       "Errors  : 1\n\nFile Failed\n");
}

TEST_F(ReaderTest, LinesAfterEndAreErrorsExceptCommentsAndBlanks) {
    std::string out = Check("a.ibs", Ibs50("[End]\n| fine\n\n   \nmore\n[Model] x\n"), FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR (line    8) - Non-comment line exists after 'End' keyword.\n"
                       "ERROR (line    9) - Non-comment line exists after 'End' keyword.\n"
                       "ERROR - Required keyword 'Component' not found.\n\n"
                       "Errors  : 3\n\nFile Failed\n");
}

TEST_F(ReaderTest, MissingEndAndNoLineFeedAtTheEnd) {
    std::string out = Check("a.ibs", Ibs50("[Notes] last line without feed"), FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR - Required keyword 'End' not found.\n"
                       "ERROR - Required keyword 'Component' not found.\n\n"
                       "Errors  : 2\n\nFile Failed\n");
}

TEST_F(ReaderTest, CommentCharacterDefinitions) {
    std::string out = Check("a.ibs",
                            Ibs50("[Comment Char] #_char\n"
                                  "[Notes] a # cut | kept\n"
                                  "# a comment now\n"
                                  "[Comment_Char] a_char\n"
                                  "[comment char] x\n"
                                  "[COMMENT CHAR] |_char # more\n"
                                  "[End] | fine\n"),
                            FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR (line    7) - Invalid Comment Character 'a'.\n"
                       "ERROR (line    8) - Invalid Comment Character Definition.\n"
                       "ERROR (line    9) - Too Many Line Items For Keyword COMMENT_CHAR.\n"
                       "ERROR - Required keyword 'Component' not found.\n\n"
                       "Errors  : 4\n\nFile Failed\n");
    EXPECT_EQ(PARSE_GetCommentChar(), '|');
}

TEST_F(ReaderTest, CommentCutAndTrimBeforeHandlers) {
    EXPECT_EQ(NotesRead("a.ibs",
                        Ibs50("[Comment Char] #_char\n"
                              "[Notes]   first  # gone\n"
                              "    second line   \t\n"
                              "[Component] c\n[End]\n"),
                        FILE_IBS),
              "first\nsecond line");
}

TEST_F(ReaderTest, LineLengthFollowsTheVersion) {
    std::string l81 = "|" + std::string(80, 'x') + "\n";
    std::string d81 = "[Notes] " + std::string(73, 'n') + "\n";  // 81 characters
    std::string d121 = std::string(121, 'n') + "\n";
    std::string out = Check("a.ibs", Header("3.2", "a.ibs") + l81 + d81 + "[End]\n", FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner32) +
                       "ERROR (line    4) - Exceeds 80 chararacters.\n"
                       "ERROR (line    5) - Exceeds 80 chararacters.\n"
                       "ERROR - Required keyword 'Component' not found.\n\n"
                       "Errors  : 3\n\nFile Failed\n");
    out = Check("a.ibs", Header("4.2", "a.ibs") + l81 + "[Notes] x\n" + d121 + "[End]\n", FILE_IBS);
    EXPECT_EQ(out, "\nChecking a.ibs for IBIS 4.2 Compatibility...\n\n"
                   "ERROR (line    6) - Exceeds 120 chararacters.\n"
                   "ERROR - Required keyword 'Component' not found.\n\n"
                   "Errors  : 2\n\nFile Failed\n");
}

TEST_F(ReaderTest, TabsWarnedOncePerFile) {
    std::string body = Header("5.0", "a.pkg") + "[Notes]\ta\n\tb\n[End]\n";
    std::string out = Check("a.pkg", body, FILE_PKG);
    EXPECT_EQ(out, "\nChecking a.pkg for IBIS 5.0 Compatibility...\n\n"
                       "WARNING (line    4) - IBIS files should not contain tab characters.\n"
                       "\nErrors  : 0\nWarnings: 1\n\nFile Passed\n");
    EXPECT_EQ(passed_, 1);
    out = Check("a.pkg", body, FILE_PKG);  // warned again in the next file
    EXPECT_NE(out.find("WARNING (line    4)"), std::string::npos);
}

TEST_F(ReaderTest, IllegalCharactersAreReportedAndReadAsBlanks) {
    std::string body = Ibs50(std::string("[Notes] a\x01") + "b\n" + "c\x80" + "d\n" +
                             std::string("e\0f\n", 4) + "[Component] x\n[End]\n");
    EXPECT_EQ(NotesRead("a.ibs", body, FILE_IBS), "a b\nc d\ne f");
    std::string out = Output();
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR (line    4) -\n"
                       "    Found illegal control character (code 1).  Converting to space.\n"
                       "ERROR (line    5) -\n"
                       "    Found illegal non-7-bit ASCII character (code 80).  Converting to space.\n"
                       "ERROR (line    6) - Found illegal NUL character (code 0).  Converting to space.\n"
                       "ERROR - Required keyword 'Manufacturer' not defined for Component 'x'.\n"
                       "ERROR - Keyword 'Package' not defined for Component 'x'.\n"
                       "\nErrors  : 5\n\nFile Failed\n");
}

TEST_F(ReaderTest, IllegalCharactersBeforeTheVersionAreReportedOnce) {
    // The version scan reads these lines too; only the main read reports them.
    std::string out = Check("a.ibs", std::string("|\x01 x\n") + Ibs50("[Component] x\n[End]\n"),
                            FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR (line    1) -\n"
                       "    Found illegal control character (code 1).  Converting to space.\n"
                       "ERROR - Required keyword 'Manufacturer' not defined for Component 'x'.\n"
                       "ERROR - Keyword 'Package' not defined for Component 'x'.\n"
                       "ERROR - Unable to find Pin keyword data for Component 'x'.\n"
                       "\nErrors  : 4\n\nFile Failed\n");
    out = Check("a.ibs", std::string("\xff\x02 junk\n", 8), FILE_IBS);
    EXPECT_EQ(out, "ERROR - Could not determine Version for file a.ibs\n\nErrors  : 1\n\nFile Failed\n");
}

// A byte-order mark, or a control character in the version line, does not
// keep a file from being checked; the main read reports each such byte.
TEST_F(ReaderTest, ByteOrderMarkAndControlCharactersInTheVersionLine) {
    std::string out = Check("a.ibs", "\xEF\xBB\xBF" + Ibs50("[Component] x\n[End]\n"), FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner50) +
                       "ERROR (line    1) -\n"
                       "    Found illegal non-7-bit ASCII character (code ef).  Converting to space.\n"
                       "ERROR (line    1) -\n"
                       "    Found illegal non-7-bit ASCII character (code bb).  Converting to space.\n"
                       "ERROR (line    1) -\n"
                       "    Found illegal non-7-bit ASCII character (code bf).  Converting to space.\n"
                       "ERROR (line    1) - Keywords Must Begin In Column 1.\n"
                       "ERROR - Required keyword 'Manufacturer' not defined for Component 'x'.\n"
                       "ERROR - Keyword 'Package' not defined for Component 'x'.\n"
                       "ERROR - Unable to find Pin keyword data for Component 'x'.\n"
                       "\nErrors  : 7\n\nFile Failed\n");
    out = Check("a.ibs",
                std::string("[IBIS Ver]\0" "3.2\n", 15) + "[File Name] a.ibs\n[File Rev] 1\n[End]\n",
                FILE_IBS);
    EXPECT_EQ(out, std::string(kBanner32) +
                       "ERROR (line    1) - Found illegal NUL character (code 0).  Converting to space.\n"
                       "ERROR - Required keyword 'Component' not found.\n"
                       "\nErrors  : 2\n\nFile Failed\n");
}

TEST_F(ReaderTest, VersionPrescanDecidesTheBanner) {
    std::string out = Check("a.ibs", "[Component] x\n[IBIS Ver] 5.0\n", FILE_IBS);
    EXPECT_EQ(out, "ERROR - Could not determine Version for file a.ibs\n\nErrors  : 1\n\nFile Failed\n");
    EXPECT_EQ(passed_, 0);
    out = Check("a.ibs", "| only comments\n", FILE_IBS);
    EXPECT_EQ(out, "ERROR - Could not determine Version for file a.ibs\n\nErrors  : 1\n\nFile Failed\n");
}

TEST_F(ReaderTest, AmiFileIsJoinedWithOneBlankPerLine) {
    std::string desc120 = "(Description " + std::string(107, 'd');  // 120 characters
    std::string desc121 = desc120 + "e";
    std::string text = "(top | comment\n"
                       "  (List 2\n"
                       "3) | the values stay apart\n"
                       "\n| whole comment\n" +
                       desc120 + "\n" + desc121 + "\n" + "  continued " + std::string(120, 'c') +
                       "\n(Other " + std::string(120, 'o') + ")\n)\n";
    CHECKPASS_BeginFile();
    std::string path = Write("m.ami", text);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_AMI), 1);
    char *joined = PARSE_TakeAmiText();
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(std::string(joined), "(top (List 2 3) " + desc120 + " " + desc121 + " continued " +
                                       std::string(120, 'c') + " (Other " +
                                       std::string(120, 'o') + ") )");
    CMN_Free(joined);
    CHECKPASS_EndFile();
    EXPECT_EQ(Output(), "\nChecking m.ami for IBIS 5.0 Compatibility...\n\n"
                        "ERROR (line    7) -\n    Description line in AMI file (at line no 7) is "
                        "greater than 120 characters\n"
                        "ERROR (line    8) -\n    Description line in AMI file (at line no 8) is "
                        "greater than 120 characters\n\n"
                        "Errors  : 2\n\nFile Failed\n");
}

// An .ami file is read without the length check, whatever the option says;
// the option still holds for the next file.
TEST_F(ReaderTest, AmiFileLeavesTheLengthOptionAsItWas) {
    const std::string ami = "(top " + std::string(130, 'x') + ")\n";
    const std::string ibs = Header("3.2", "a.ibs") + "|" + std::string(80, 'x') + "\n[End]\n";
    for (int option : {0, 1}) {
        PARSE_SetNoLengthCheck(option);
        CHECKPASS_BeginFile();
        std::string path = Write("m.ami", ami);
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
    EXPECT_EQ(Output(), "\nChecking Mixed Dir/a.pkg for IBIS 5.0 Compatibility...\n\n"
                        "\nChecking B.PKG for IBIS 5.0 Compatibility...\n\n"
                        "Errors  : 0\n\nFile Passed\n");
}

TEST_F(ReaderTest, MissingFilesFailTheirPassOnly) {
    std::string out = Check("a.ami", "", FILE_AMI);  // exists, empty
    EXPECT_EQ(out, "\nChecking a.ami for IBIS 5.0 Compatibility...\n\n"
                   "ERROR - The AMI parameter file should start with a parenthesis\n"
                   "\nErrors  : 1\n\nFile Failed\n");
    passed_ = CHECKPASS_CheckFile((dir_.path() + "/gone.ami").c_str(), FILE_AMI, 0);
    out = Output();
    EXPECT_EQ(out, "\nChecking gone.ami for IBIS 5.0 Compatibility...\n\n"
                   "ERROR - Unable To Open File 'gone.ami'\n\nErrors  : 1\n\nFile Failed\n");
    EXPECT_EQ(passed_, 0);
}

}  // namespace
