// Numbered diagnostics: line forms, wrap windows, styles, silence, counts,
// summary and the message table.
#include "tests/ibisparser/TextTest.h"

#include <cstring>
#include <string>
#include <unistd.h>

#define MSG_SRC MSGSRC_CMN

namespace {

using MsgTest = TextTest;

std::string Repeat(char c, size_t n) { return std::string(n, c); }

TEST_F(MsgTest, ErrorLineShowsRightAlignedLineNumberAndCounts) {
  MSG_SetLineNumber(12);
  MSG_ErrorLine(1916, "GND");
  EXPECT_EQ(Output(), "ERROR (line   12) - Illegal use of Reserved Word 'GND'.\n");
  EXPECT_EQ(Errors(), 1);
  EXPECT_EQ(MSG_GetLineNumber(), 12UL);

  // Numbers wider than four columns are not cut.
  MSG_SetLineNumber(123456);
  MSG_WarningLine(1910, "Typical", "Pin", "1n5");
  EXPECT_EQ(Output(),
            "WARNING (line 123456) - Suspicious Typical Pin Value (\"1n5\"); Numeric in Scale\n");
  EXPECT_EQ(Warnings(), 1);
}

TEST_F(MsgTest, ErrorWithoutLineWrapsExactlyInItsWindow) {
  // 1909 is "Invalid %s Value ("%s")": 17 characters besides the arguments.
  std::string t72 = Repeat('x', 72 - 17);
  MSG_ErrorFrom(MSGSRC_CMN, 1909, "", t72.c_str());
  EXPECT_EQ(Output(), "ERROR -\n    Invalid  Value (\"" + t72 + "\")\n");

  std::string t71 = Repeat('x', 71);
  MSG_ErrorText("%s", t71.c_str());
  EXPECT_EQ(Output(), "ERROR - " + t71 + "\n");
  std::string t76 = Repeat('x', 76);
  MSG_ErrorText("%s", t76.c_str());
  EXPECT_EQ(Output(), "ERROR - " + t76 + "\n");
  EXPECT_EQ(Errors(), 3);
}

// Window edges of every severity, with and without line number, through
// the generic printer (which ignores the silence settings).
TEST_F(MsgTest, WrapWindowsOfEverySeverity) {
  struct Case {
    int severity;
    const char *head; // before " - " or " -\n    "
    int lo, hi;       // -1: never wrapped
  };
  const Case cases[] = {
      {MSG_SEV_BUG, "PROGRAM BUG", -1, -1},
      {MSG_SEV_BUG_LINE, "PROGRAM BUG (line    7)", -1, -1},
      {MSG_SEV_ERROR, "ERROR", 72, 75},
      {MSG_SEV_ERROR_LINE, "ERROR (line    7)", 60, 75},
      {MSG_SEV_WARNING, "WARNING", 70, 75},
      {MSG_SEV_WARNING_LINE, "WARNING (line    7)", 58, 75},
      {MSG_SEV_CAUTION, "CAUTION", 70, 75},
      {MSG_SEV_CAUTION_LINE, "CAUTION (line    7)", 58, 75},
      {MSG_SEV_NOTE, "NOTE", 73, 75},
      {MSG_SEV_NOTE_LINE, "NOTE (line    7)", 61, 75},
  };
  MSG_SetLineNumber(7);
  for (const Case &c : cases) {
    for (int len = 55; len <= 78; len++) {
      std::string t = Repeat('y', (size_t)len);
      MSG_Print(c.severity, "%s", t.c_str());
      bool wrapped = c.lo >= 0 && len >= c.lo && len <= c.hi;
      std::string want = std::string(c.head) + (wrapped ? " -\n    " : " - ") + t + "\n";
      EXPECT_EQ(Output(), want) << "severity " << c.severity << " length " << len;
    }
  }
}

TEST_F(MsgTest, CodedStyleUsesLetterAndCode) {
  MSG_SetPlainStyle(0);
  MSG_SetLineNumber(3);
  MSG_ErrorLine(1916, "NC");
  MSG_Error(1904);
  MSG_BugLine(1908, "IbisParser/cmn", 42);
  MSG_SetMemoryFailed(0); // a sample of the style, not a failed request
  MSG_WarningLine(1910, "a", "b", "c");
  MSG_NoteLine(1920);
  std::string t = Repeat('z', 72 - 17);
  MSG_Error(1909, "", t.c_str());
  EXPECT_EQ(Output(), "E1916 (line    3) - Illegal use of Reserved Word 'NC'.\n"
                      "E1904 - Unable to assemble filename.\n"
                      "B1908 (line    3) - Unable to Allocate Memory: IbisParser/cmn 42\n"
                      "W1910 (line    3) - Suspicious a b Value (\"c\"); Numeric in Scale\n"
                      "N1920 (line    3) - Premature end of R/L/C section\n"
                      "E1909 -\n    Invalid  Value (\"" +
                          t + "\")\n");
  // Text printers keep the plain style.
  MSG_WarningText("plain");
  EXPECT_EQ(Output(), "WARNING - plain\n");
}

TEST_F(MsgTest, UnknownCodePrintsNothingPlainAndRowZeroCoded) {
  MSG_Error(1925);
  MSG_ErrorLine(42);
  EXPECT_EQ(Output(), "");
  MSG_SetPlainStyle(0);
  MSG_Error(1925);
  EXPECT_EQ(Output(), "I0000 - Error code doesn't exist.\n");
  // A code of another source's row is not this source's row.
  MSG_ErrorFrom(MSGSRC_PINEMI, 1916, "x");
  EXPECT_EQ(Output(), "I0000 - Error code doesn't exist.\n");
  EXPECT_EQ(Errors(), 0);
}

TEST_F(MsgTest, CautionsSilentNotesUncounted) {
  MSG_Caution(1918);
  MSG_CautionText("c");
  MSG_CautionLineText("c");
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(MSG_GetCautionCount(), 0);

  MSG_Note(1918);
  MSG_NoteText("n %d", 5);
  EXPECT_EQ(Output(), "NOTE - Unexpected '=' found\nNOTE - n 5\n");
  EXPECT_EQ(Bugs() + Errors() + Warnings(), 0);

  MSG_PrintSummary();
  EXPECT_EQ(Output(), "Errors  : 0\n\nFile Passed\n");
}

TEST_F(MsgTest, SilencedSeveritiesPrintAndCountNothing) {
  MSG_SuppressBugs(1);
  MSG_SuppressErrors(1);
  MSG_SuppressWarnings(1);
  MSG_Bug(1908, "f", 1);
  MSG_Error(1904);
  MSG_ErrorLine(1918);
  MSG_Warning(1918);
  MSG_ErrorText("x");
  MSG_WarningLineText("x");
  MSG_BugText("x");
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(Bugs() + Errors() + Warnings(), 0);

  // The generic printers do not look at the settings.
  MSG_Print(MSG_SEV_ERROR, "e");
  MSG_Print(MSG_SEV_CAUTION, "c");
  EXPECT_EQ(Output(), "ERROR - e\nCAUTION - c\n");
  EXPECT_EQ(Errors(), 1);
  EXPECT_EQ(MSG_GetCautionCount(), 1);

  MSG_SuppressCautions(0);
  MSG_Caution(1918);
  EXPECT_EQ(Output(), "CAUTION - Unexpected '=' found\n");
  EXPECT_EQ(MSG_GetCautionCount(), 2);
}

TEST_F(MsgTest, GenericPrinters) {
  MSG_Print(MSG_SEV_NOTE_LINE, "n");
  MSG_Print(-1, "x");
  MSG_Print(10, "x");
  MSG_PrintCoded(1234, MSG_SEV_ERROR, "e %s", "1");
  MSG_PrintCoded(1234, MSG_SEV_INFO, "info %d", 2);
  MSG_PrintCoded(1234, 11, "x");
  EXPECT_EQ(Output(), "NOTE (line    0) - n\nERROR - e 1\nI1234 - info 2\n");
  EXPECT_EQ(Errors(), 1);

  MSG_SetPlainStyle(0);
  MSG_PrintCoded(77, MSG_SEV_WARNING_LINE, "w");
  MSG_PrintCoded(77, MSG_SEV_INFO, "i");
  EXPECT_EQ(Output(), "W0077 (line    0) - w\nI0077 - i\n");
  EXPECT_EQ(Warnings(), 1);
}

TEST_F(MsgTest, LongTextIsCutNotOverflowed) {
  std::string big = Repeat('q', 10000);
  MSG_ErrorText("%s", big.c_str());
  MSG_Error(1905, big.c_str(), big.c_str());
  std::string out = Output();
  std::string cut = Repeat('q', MSG_BUFFER_SIZE - 1);
  EXPECT_EQ(out, "ERROR - " + cut + "\n" + "ERROR - Unable To Open File '" +
                     Repeat('q', MSG_BUFFER_SIZE - 1 - 21) + "\n");
  EXPECT_EQ(Errors(), 2);
}

TEST_F(MsgTest, OwnLineFeedOfTheTextIsKept) {
  MSG_Error(1906, 12345u);
  EXPECT_EQ(Output(), "ERROR - Memory allocation failed.  This request 12345.\n\n");
}

// Once memory has run out, only the messages that say so are printed and
// counted, until the counts are reset for a new pass.
TEST_F(MsgTest, AfterMemoryRunsOutOnlyMemoryMessagesPrint) {
  MSG_SetLineNumber(7);
  MSG_Error(1904);
  MSG_Error(1906, 16u);
  MSG_Error(1904);
  MSG_ErrorLine(1917, "NUL", 0, "");
  MSG_WarningText("w");
  MSG_BugFrom(MSGSRC_MDL, 100, "IbisParser/mdl", 9);
  MSG_ErrorFrom(MSGSRC_PKG, 1207, "R_pkg"); // a fault of the file, not of memory
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "ERROR - Unable to assemble filename.\n"
                      "ERROR - Memory allocation failed.  This request 16.\n\n"
                      "PROGRAM BUG - Unable to Allocate Memory: IbisParser/mdl 9\n"
                      "\nBugs    : 1\nErrors  : 2\n\nFile Failed\n");
  EXPECT_EQ(MSG_GetMemoryFailed(), 1);
  MSG_ResetCounts();
  EXPECT_EQ(MSG_GetMemoryFailed(), 0);
  MSG_Error(1904);
  // A failure that reports nothing itself marks the pass all the same.
  MSG_SetMemoryFailed(1);
  MSG_Error(1904);
  EXPECT_EQ(Output(), "ERROR - Unable to assemble filename.\n");
}

TEST_F(MsgTest, SummaryForms) {
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "Errors  : 0\n\nFile Passed\n");

  MSG_Warning(1918);
  MSG_WarningText("w");
  Output();
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "\nErrors  : 0\nWarnings: 2\n\nFile Passed\n");

  MSG_Bug(1908, "f", 1);
  MSG_SetMemoryFailed(0); // a sample of the count, not a failed request
  MSG_Error(1904);
  MSG_SuppressCautions(0);
  MSG_Caution(1918);
  Output();
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "\nBugs    : 1\nErrors  : 1\nWarnings: 2\nCautions: 1\n\nFile Failed\n");

  // A bug alone fails the file; cautions alone do not.
  MSG_ResetCounts();
  MSG_BugText("b");
  Output();
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "\nBugs    : 1\nErrors  : 0\n\nFile Failed\n");
  MSG_ResetCounts();
  MSG_CautionText("c");
  Output();
  MSG_PrintSummary();
  EXPECT_EQ(Output(), "Errors  : 0\nCautions: 1\n\nFile Passed\n");
}

TEST_F(MsgTest, CountsAccumulateUntilReset) {
  MSG_Error(1904);
  MSG_ErrorLine(1918);
  MSG_Warning(1918);
  MSG_Bug(1908, "f", 1);
  int32_t b = -1, e = -1, w = -1;
  MSG_GetCounts(&b, &e, &w);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(e, 2);
  EXPECT_EQ(w, 1);
  MSG_GetCounts(nullptr, nullptr, nullptr);
  MSG_ResetCounts();
  MSG_GetCounts(&b, &e, &w);
  EXPECT_EQ(b + e + w, 0);
}

TEST(MsgTable, StrictlyOrderedByCodeThenSource) {
  ASSERT_GE(MSG_tableSize, 26);
  EXPECT_EQ(MSG_table[0].code, 0);
  EXPECT_STREQ(MSG_table[0].format, "Error code doesn't exist.");
  for (int i = 1; i < MSG_tableSize; i++) {
    const MSG_ENTRY &a = MSG_table[i - 1], &b = MSG_table[i];
    EXPECT_TRUE(a.code < b.code || (a.code == b.code && a.source < b.source))
        << "rows " << i - 1 << " and " << i << ": " << a.code << "/" << a.source << " then "
        << b.code << "/" << b.source;
    EXPECT_NE(b.format, nullptr);
  }
}

TEST(MsgTable, FindCodeAndRow) {
  for (int code = 1900; code <= 1924; code++) {
    int row = MSG_FindRow(MSGSRC_CMN, code);
    ASSERT_GE(row, 0) << code;
    EXPECT_EQ(MSG_table[row].code, code);
    EXPECT_EQ(MSG_table[row].source, MSGSRC_CMN);
    int first = MSG_FindCode(code);
    ASSERT_GE(first, 0);
    EXPECT_EQ(MSG_table[first].code, code);
    EXPECT_TRUE(first == 0 || MSG_table[first - 1].code < code);
  }
  EXPECT_EQ(MSG_FindCode(0), 0);
  EXPECT_EQ(MSG_FindCode(-5), -1);
  EXPECT_EQ(MSG_FindCode(99999), -1);
  EXPECT_EQ(MSG_FindRow(MSGSRC_CMN, 1925), -1);
  EXPECT_STREQ(MSG_table[MSG_FindRow(MSGSRC_CMN, 1917)].format,
               "Found illegal %s character (code %x).%s");
}

TEST(MsgAssert, PrintsFileAndLineThenStops) {
  EXPECT_DEATH(
      {
        dup2(2, 1); // the line goes to the standard output
        MSG_AssertFailed("/src/tree/IbisParser/cmn.cpp", 77);
      },
      "^IbisParser/cmn.cpp:77:assertion failed.\n");
  EXPECT_DEATH(
      {
        dup2(2, 1);
        CMN_StrEqualNoCase(nullptr, "a");
      },
      "IbisParser/cmn.cpp:[0-9]+:assertion failed.");
}

} // namespace
