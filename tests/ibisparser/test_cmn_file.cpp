// Input files: opening by kind, directories and case, the line readers and
// the version pre-scan.
#include "tests/ibisparser/TextTest.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class CmnFileTest : public TextTest {
protected:
  std::string Write(const std::string &name, const std::string &contents) {
    return dir_.Write(name, contents);
  }
  const std::string &Dir() const { return dir_.path(); }

  // Opens, reads the whole file with CMN_ReadLine(n) and closes it.
  std::string ReadAll(const std::string &path, size_t n, int *lines = nullptr) {
    FILE *f = fopen(path.c_str(), "rb");
    EXPECT_NE(f, nullptr);
    std::string all;
    std::string buf(n, '\0');
    int count = 0;
    while (CMN_ReadLine(&buf[0], n, f)) {
      all += std::string(buf.c_str()) + "|";
      count++;
    }
    fclose(f);
    if (lines) *lines = count;
    return all;
  }

  testsupport::TempDir dir_;
};

TEST_F(CmnFileTest, DirectoryIsRememberedForLaterNames) {
  Write("a.ibs", "x\n");
  Write("b.pkg", "y\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  ASSERT_EQ(CMN_OpenFile((Dir() + "/a.ibs").c_str(), FILE_IBS, &f, name), 1);
  fclose(f);
  EXPECT_STREQ(name, "a.ibs");
  char dir[CMN_PATH_MAX + 1];
  CMN_GetBaseDirectory(dir);
  EXPECT_EQ(std::string(dir), Dir() + "/");

  ASSERT_EQ(CMN_OpenFile("b", FILE_PKG, &f, name), 1); // extension appended
  fclose(f);
  EXPECT_STREQ(name, "b.pkg");
  EXPECT_STREQ(CMN_GetOpenedName(), "b.pkg");
  EXPECT_EQ(Output(), "");
}

TEST_F(CmnFileTest, BackslashAndRelativeDirectories) {
  Write("sub/deep/c.ebd", "z\n");
  Write("sub/d.ami", "(a)\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  std::string win = Dir() + "\\sub\\d.ami";
  ASSERT_EQ(CMN_OpenFile(win.c_str(), FILE_AMI, &f, name), 1);
  fclose(f);
  EXPECT_STREQ(name, "d.ami");
  // A relative name with a directory is looked for below the directory of
  // the file opened before.
  ASSERT_EQ(CMN_OpenFile("deep\\c.ebd", FILE_EBD, &f, name), 1);
  fclose(f);
  char dir[CMN_PATH_MAX + 1];
  CMN_GetBaseDirectory(dir);
  EXPECT_EQ(std::string(dir), Dir() + "\\sub\\deep\\");
  EXPECT_EQ(Output(), "");

  // Otherwise it is taken from the working directory.
  CMN_SetBaseDirectory((Dir() + "/nowhere/").c_str());
  std::string rel = std::filesystem::relative(Dir() + "/sub/deep/c.ebd").string();
  ASSERT_EQ(CMN_OpenFile(rel.c_str(), FILE_EBD, &f, name), 1);
  fclose(f);
}

TEST_F(CmnFileTest, OpeningTheSameNameTwiceFindsTheSameFile) {
  // The check pass opens each file twice (version pre-scan, then reading).
  Write("top/a.ebd", "x\n");
  Write("top/sub/b.ibs", "[IBIS Ver] 4.2\n");
  Write("top/c.ibs", "[IBIS Ver] 3.2\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  std::string top = Dir() + "/top/a.ebd";
  ASSERT_EQ(CMN_OpenFile(top.c_str(), FILE_EBD, &f, name), 1);
  fclose(f);
  ASSERT_EQ(CMN_OpenFile(top.c_str(), FILE_EBD, &f, name), 1);
  fclose(f);
  EXPECT_EQ(CMN_GetIbisVersion("sub/b.ibs", nullptr, FILE_IBS), 4);
  ASSERT_EQ(CMN_OpenFile("sub/b.ibs", FILE_IBS, &f, name), 1);
  fclose(f);
  char dir[CMN_PATH_MAX + 1];
  CMN_GetBaseDirectory(dir);
  EXPECT_EQ(std::string(dir), Dir() + "/top/sub/");
  // A nested check restores the directory of the referencing file.
  CMN_SetBaseDirectory((Dir() + "/top/").c_str());
  EXPECT_EQ(CMN_GetIbisVersion("c.ibs", nullptr, FILE_IBS), 3);
  EXPECT_EQ(Output(), "");
}

TEST_F(CmnFileTest, ExtensionsByKind) {
  Write("upper.IBS", "x\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  ASSERT_EQ(CMN_OpenFile((Dir() + "/upper.IBS").c_str(), FILE_IBS, &f, name), 1);
  fclose(f);

  const char *want[] = {"", "File Name Requires '.ibs' Extension.",
                        "File Name Requires '.pkg' Extension.",
                        "File Name Requires '.ebd' Extension.",
                        "File Name Requires '.ami' Extension."};
  for (int kind = FILE_IBS; kind <= FILE_AMI; kind++) {
    EXPECT_EQ(CMN_OpenFile("x.txt", kind, &f, name), 0);
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(Output(), std::string("ERROR - ") + want[kind] + "\n");
  }
  EXPECT_EQ(CMN_OpenFile("x.", FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - File Name Requires '.ibs' Extension.\n");
  EXPECT_EQ(Errors(), 5);
}

TEST_F(CmnFileTest, CaseRetriesOnTheFileNameOnly) {
  Write("MixedDir/lower.ibs", "x\n");
  Write("MixedDir/UPPER.PKG", "x\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  ASSERT_EQ(CMN_OpenFile((Dir() + "/MixedDir/LoWeR.IBS").c_str(), FILE_IBS, &f, name), 1);
  fclose(f);
  EXPECT_STREQ(name, "lower.ibs");
  ASSERT_EQ(CMN_OpenFile("Upper.pkg", FILE_PKG, &f, name), 1);
  fclose(f);
  EXPECT_STREQ(name, "UPPER.PKG");
  char dir[CMN_PATH_MAX + 1];
  CMN_GetBaseDirectory(dir);
  EXPECT_EQ(std::string(dir), Dir() + "/MixedDir/"); // not cased

  EXPECT_EQ(CMN_OpenFile("none.ibs", FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable To Open File '" + Dir() + "/MixedDir/none.ibs'\n");
}

TEST_F(CmnFileTest, OverlongNamesAndNonFiles) {
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  std::string base(1022, 'n');
  EXPECT_EQ(CMN_OpenFile(base.c_str(), FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable to append filename extension.\n");
  std::string longName(1030, 'n');
  EXPECT_EQ(CMN_OpenFile((longName + ".ibs").c_str(), FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable to assemble filename.\n");
  // The extension is judged before any length.
  EXPECT_EQ(CMN_OpenFile(longName.c_str(), FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable to append filename extension.\n");
  EXPECT_EQ(CMN_OpenFile((longName + ".txt").c_str(), FILE_PKG, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - File Name Requires '.pkg' Extension.\n");
  EXPECT_EQ(CMN_OpenFile((longName + "/x.txt").c_str(), FILE_EBD, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - File Name Requires '.ebd' Extension.\n");
  EXPECT_EQ(CMN_OpenFile((longName + "/x.ebd").c_str(), FILE_EBD, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable to assemble filename.\n");
  CMN_SetBaseDirectory((std::string(1000, 'd') + "/").c_str());
  EXPECT_EQ(CMN_OpenFile((std::string(100, 'f') + ".ibs").c_str(), FILE_IBS, &f, name), 0);
  EXPECT_EQ(Output(), "ERROR - Unable to assemble filename.\n");

  // A directory with a file's name is no file.
  std::filesystem::create_directories(Dir() + "/dir.ibs");
  EXPECT_EQ(CMN_OpenFile((Dir() + "/dir.ibs").c_str(), FILE_IBS, &f, name), 0);
  EXPECT_EQ(f, nullptr);
  EXPECT_NE(Output().find("Unable To Open File"), std::string::npos);
}

TEST_F(CmnFileTest, ReadLineCutsLongLinesAndGoesOn) {
  std::string line200(200, 'a');
  std::string p = Write("long.ibs", line200 + "\nnext\n");
  FILE *f = fopen(p.c_str(), "rb");
  char buf[121];
  ASSERT_NE(CMN_ReadLine(buf, sizeof buf, f), nullptr);
  EXPECT_EQ(std::string(buf), std::string(120, 'a'));
  ASSERT_NE(CMN_ReadLine(buf, sizeof buf, f), nullptr);
  EXPECT_STREQ(buf, "next\n");
  EXPECT_EQ(CMN_ReadLine(buf, sizeof buf, f), nullptr);
  fclose(f);

  EXPECT_EQ(ReadAll(Write("x.ibs", "ab\ncd"), 10), "ab\n|cd|"); // no final line feed
  EXPECT_EQ(ReadAll(Write("y.ibs", "abc\n"), 4), "abc|");       // no room for the LF
  EXPECT_EQ(ReadAll(Write("z.ibs", ""), 4), "");
  EXPECT_EQ(ReadAll(Write("w.ibs", "\n\n"), 4), "\n|\n|");
  EXPECT_EQ(Output(), "");
}

TEST_F(CmnFileTest, ReadLineArgumentsAndTinyBuffer) {
  std::string p = Write("t.ibs", "abc\n");
  FILE *f = fopen(p.c_str(), "rb");
  char buf[4] = "zz";
  EXPECT_EQ(CMN_ReadLine(nullptr, 4, f), nullptr);
  EXPECT_EQ(CMN_ReadLine(buf, 0, f), nullptr);
  EXPECT_EQ(CMN_ReadLine(buf, 4, nullptr), nullptr);
  EXPECT_EQ(CMN_ReadLine(buf, 1, f), buf);
  EXPECT_STREQ(buf, "");
  ASSERT_NE(CMN_ReadLine(buf, 4, f), nullptr); // nothing was consumed
  EXPECT_STREQ(buf, "abc");
  fclose(f);
}

TEST_F(CmnFileTest, LineEndsAndIllegalCharacters) {
  MSG_SetLineNumber(3);
  EXPECT_EQ(ReadAll(Write("crlf.ibs", "a\r\nb\r\n"), 16), "a\n|b\n|");
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(ReadAll(Write("cz.ibs", "a\n\x1a"), 16), "a\n|");
  EXPECT_EQ(ReadAll(Write("cz2.ibs", "a\x1a"), 16), "a|");
  EXPECT_EQ(Output(), "");

  EXPECT_EQ(ReadAll(Write("cr.ibs", "a\rb\n"), 16), "a b\n|");
  EXPECT_EQ(Output(), "ERROR (line    3) -\n    Found illegal control character (code d).  "
                      "Converting to space.\n");
  EXPECT_EQ(ReadAll(Write("cr2.ibs", "a\r"), 16), "a |");
  Output();

  EXPECT_EQ(ReadAll(Write("mix.ibs", std::string("\x1a" "b\t\x7f\x01", 5) + std::string(1, '\0') +
                                         "\xe9\n"),
                    16),
            " b\t\x7f   \n|");
  EXPECT_EQ(Output(),
            "ERROR (line    3) -\n    Found illegal control character (code 1a).  Converting to "
            "space.\n"
            "ERROR (line    3) -\n    Found illegal control character (code 1).  Converting to "
            "space.\n"
            "ERROR (line    3) - Found illegal NUL character (code 0).  Converting to space.\n"
            "ERROR (line    3) -\n    Found illegal non-7-bit ASCII character (code e9).  "
            "Converting to space.\n");

  // With the buffer full the tail of the message is empty.
  EXPECT_EQ(ReadAll(Write("full.ibs", "abc\x01\n"), 4), "abc|");
  EXPECT_EQ(Output(), "ERROR (line    3) - Found illegal control character (code 1).\n");
}

TEST_F(CmnFileTest, KeepFlagKeepsIllegalCharacters) {
  EXPECT_EQ(CMN_SuppressCharCheck(5), 1);
  std::string p = Write("k.ibs", std::string("a\x01\0b\r\n", 6));
  FILE *f = fopen(p.c_str(), "rb");
  char buf[16];
  ASSERT_NE(CMN_ReadLine(buf, sizeof buf, f), nullptr);
  EXPECT_EQ(std::string(buf, 5), std::string("a\x01\0b\n", 5));
  fclose(f);
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(CMN_SuppressCharCheck(0), 0);
}

// The measured reader gives the line CMN_ReadLine gives, its string length
// and whether that much of it holds a tab: with NULs kept or turned into
// blanks, tabs before and behind a NUL, lines cut by the buffer.
TEST_F(CmnFileTest, MeasuredLinesAgreeWithTheirText) {
  const std::string text("plain\n\tlead tab\r\nab\0c\td\nx\0\ny\t\0\n\0\n"
                         "long line with a tab far\tbehind\nend\tno newline",
                         79);
  const std::string path = Write("m.ibs", text);
  for (int keep : {0, 1}) {
    for (size_t n : {size_t(1024), size_t(6), size_t(2)}) {
      CMN_SuppressCharCheck(keep);
      FILE *plain = fopen(path.c_str(), "rb");
      FILE *measured = fopen(path.c_str(), "rb");
      std::string a(n, 'z'), b(n, 'z');
      for (int line = 0;; ++line) {
        SCOPED_TRACE("keep " + std::to_string(keep) + ", buffer " + std::to_string(n) +
                     ", line " + std::to_string(line));
        size_t length = 99;
        int tab = 9;
        char *got = CMN_ReadLineMeasured(&b[0], n, measured, &length, &tab);
        ASSERT_EQ(got == nullptr, CMN_ReadLine(&a[0], n, plain) == nullptr);
        if (got == nullptr)
          break;
        EXPECT_EQ(a, b);
        EXPECT_EQ(length, strlen(b.c_str()));
        EXPECT_EQ(tab != 0, strchr(b.c_str(), '\t') != nullptr);
      }
      fclose(plain);
      fclose(measured);
    }
  }
  CMN_SuppressCharCheck(0);
  Output();
}

// The keyword-line reader gives the lines that CMN_ReadLine gives whose
// first character other than white space is '[', and nothing else: blank,
// cut and control-character lines, carriage returns, a final control-Z.
TEST_F(CmnFileTest, KeywordLinesAreTheBracketLinesOfThePlainReader) {
  const std::string text("[A] 1\n  [B]\r\nx [C]\n\t\r [D] \r\r\n\n   \n\0[E]\n\x01[F]\n"
                         "        [G] behind a long run of blanks\n\r\n[H]\x1a[I]\n"
                         "\x0b\x0c[J] last\x1a",
                         105);
  const std::string path = Write("k.pkg", text);
  for (int keep : {0, 1}) {
    for (size_t n : {size_t(121), size_t(8), size_t(2)}) {
      SCOPED_TRACE("keep " + std::to_string(keep) + ", buffer " + std::to_string(n));
      CMN_SuppressCharCheck(keep);
      FILE *f = fopen(path.c_str(), "rb");
      std::vector<std::string> expected, got;
      std::string buf(n, 'z');
      while (CMN_ReadLine(&buf[0], n, f)) {
        const char *p = buf.c_str();
        CMN_SkipBlanks(&p);
        if (*p == '[')
          expected.push_back(buf.c_str());
      }
      rewind(f);
      while (CMN_ReadKeywordLine(&buf[0], n, f))
        got.push_back(buf.c_str());
      fclose(f);
      EXPECT_EQ(got, expected);
      if (n == 121) {
        EXPECT_GE(expected.size(), 6u);
      }
    }
  }
  CMN_SuppressCharCheck(0);
  Output();
}

TEST_F(CmnFileTest, ReadLineAllocWholeLines) {
  std::string big(300000, 'q');
  std::string p = Write("a.ami", big + "\n\x01x\r\nend");
  FILE *f = fopen(p.c_str(), "rb");
  size_t size = 0;
  int state = CMN_LINE_NO_MEMORY;
  char *l = CMN_ReadLineAlloc(&size, f, &state);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(size, big.size() + 2);
  EXPECT_EQ(state, CMN_LINE_WHOLE);
  EXPECT_EQ(std::string(l), big + "\n");
  CMN_Free(l);
  l = CMN_ReadLineAlloc(&size, f, &state);
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l, " x\n");
  EXPECT_EQ(size, 4u);
  CMN_Free(l);
  l = CMN_ReadLineAlloc(&size, f, &state);
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l, "end");
  EXPECT_EQ(size, 4u);
  CMN_Free(l);
  state = CMN_LINE_NO_MEMORY;
  EXPECT_EQ(CMN_ReadLineAlloc(&size, f, &state), nullptr);
  EXPECT_EQ(state, CMN_LINE_WHOLE);  // the end of the file
  EXPECT_EQ(CMN_ReadLineAlloc(&size, nullptr, &state), nullptr);
  fclose(f);
  EXPECT_EQ(Output(), "ERROR (line    0) -\n    Found illegal control character (code 1).  "
                      "Converting to space.\n");
}

TEST_F(CmnFileTest, ReadLineAllocCapsEndlessLines) {
  std::string p = Write("huge.ami", std::string(CMN_LINE_ALLOC_MAX + 1000, 'h') + "\nnext\n");
  FILE *f = fopen(p.c_str(), "rb");
  size_t size = 0;
  int state = CMN_LINE_NO_MEMORY;
  char *l = CMN_ReadLineAlloc(&size, f, &state);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(size, (size_t)CMN_LINE_ALLOC_MAX + 2); // cut, line feed kept
  EXPECT_EQ(state, CMN_LINE_CUT);
  EXPECT_EQ(l[CMN_LINE_ALLOC_MAX], '\n');
  CMN_Free(l);
  l = CMN_ReadLineAlloc(&size, f, &state);
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l, "next\n");
  EXPECT_EQ(state, CMN_LINE_WHOLE);
  CMN_Free(l);
  fclose(f);
  EXPECT_EQ(Output(), "ERROR (line    0) -\n    Line longer than 1048576 characters; the rest of "
                      "it is dropped.\n");
  EXPECT_EQ(Errors(), 1);
}

TEST_F(CmnFileTest, ReadingAVanishedFile) {
  std::string p = Write("gone.ibs", "one\ntwo\n");
  FILE *f = fopen(p.c_str(), "rb");
  std::filesystem::remove(p);
  char buf[16];
  int n = 0;
  while (CMN_ReadLine(buf, sizeof buf, f) && n < 10) n++;
  EXPECT_EQ(n, 2);
  fclose(f);
}

TEST_F(CmnFileTest, IbisVersionPrescan) {
  unsigned long lines = 0;
  Write("v5.ibs", "| comment\n\n   [IBIS Ver]   5.0\n");
  EXPECT_EQ(CMN_GetIbisVersion((Dir() + "/v5.ibs").c_str(), &lines, FILE_IBS), 5);
  EXPECT_EQ(lines, 3UL);
  Write("v4.pkg", "[ibis_ver] 4.2\n");
  EXPECT_EQ(CMN_GetIbisVersion("v4.pkg", &lines, FILE_PKG), 4);
  EXPECT_EQ(lines, 4UL);
  Write("comp.ibs", "[Component] x\n[IBIS Ver] 3.2\n");
  EXPECT_EQ(CMN_GetIbisVersion("comp.ibs", nullptr, FILE_IBS), 0);
  Write("v6.ibs", "[IBIS Ver] 6.0\n");
  EXPECT_EQ(CMN_GetIbisVersion("v6.ibs", nullptr, FILE_IBS), 0);
  Write("v1.ibs", "[IBIS Ver]1.1");
  EXPECT_EQ(CMN_GetIbisVersion("v1.ibs", nullptr, FILE_IBS), 1);
  Write("none.ibs", "nothing here\n");
  EXPECT_EQ(CMN_GetIbisVersion("none.ibs", nullptr, FILE_IBS), 0);
  Write("long.ibs", std::string(500, ' ') + "[IBIS Ver] 2.1\n");
  EXPECT_EQ(CMN_GetIbisVersion("long.ibs", nullptr, FILE_IBS), 0); // cut at 120
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(CMN_GetIbisVersion("missing.ibs", nullptr, FILE_IBS), 0);
  EXPECT_NE(Output().find("Unable To Open File"), std::string::npos);
}

// Bytes an editor or a transfer may leave before or inside the version line
// read as blanks in the scan, silently: the main read reports each with its
// line.
TEST_F(CmnFileTest, IbisVersionPrescanReadsIllegalBytesAsBlanks) {
  struct {
    const char *name;
    std::string text;
    int version;
  } cases[] = {
      {"bom.ibs", "\xEF\xBB\xBF[IBIS Ver] 4.2\r\n", 4},
      {"nul.ibs", std::string("\0\0[IBIS Ver] 3.2\n", 17), 3},
      {"ctl.ibs", "| x\n\x7f\n\x01\x1b[IBIS Ver]\x0c"
                  "5.0\n",
       5},
      {"inside.ibs", std::string("[IBIS\0Ver] 2.1\n", 16), 2},
      {"lonecr.ibs", "\r[IBIS_Ver] 4.0\n", 4},
      {"high.ibs", "\xA0\xFF[Component] x\n[IBIS Ver] 4.2\n", 0},
  };
  for (const auto &c : cases) {
    const std::string path = Write(c.name, c.text);
    EXPECT_EQ(CMN_GetIbisVersion(path.c_str(), nullptr, FILE_IBS), c.version) << c.name;
  }
  EXPECT_EQ(Output(), "");
  // The keep flag does not change what the scan sees.
  CMN_SuppressCharCheck(1);
  const std::string bom = Dir() + "/bom.ibs";
  EXPECT_EQ(CMN_GetIbisVersion(bom.c_str(), nullptr, FILE_IBS), 4);
  CMN_SuppressCharCheck(0);
  // Nor does the scan change what the main read reports.
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  ASSERT_EQ(CMN_OpenFile(bom.c_str(), FILE_IBS, &f, name), 1);
  char line[64];
  ASSERT_NE(CMN_ReadLine(line, sizeof line, f), nullptr);
  fclose(f);
  EXPECT_STREQ(line, "   [IBIS Ver] 4.2\n");
  EXPECT_EQ(Output(), "ERROR (line    0) -\n    Found illegal non-7-bit ASCII character (code ef).  "
                      "Converting to space.\n"
                      "ERROR (line    0) -\n    Found illegal non-7-bit ASCII character (code bb).  "
                      "Converting to space.\n"
                      "ERROR (line    0) -\n    Found illegal non-7-bit ASCII character (code bf).  "
                      "Converting to space.\n");
}

TEST_F(CmnFileTest, RequiredKeywordNamesTheOpenedFile) {
  Write("hdr.ibs", "x\n");
  FILE *f = nullptr;
  char name[CMN_PATH_MAX + 1];
  ASSERT_EQ(CMN_OpenFile((Dir() + "/HDR.ibs").c_str(), FILE_IBS, &f, name), 1);
  fclose(f);
  CMN_CheckRequired("File_Rev", 1);
  EXPECT_EQ(Output(), "");
  CMN_CheckRequired("File_Rev", 0);
  EXPECT_EQ(Output(), "ERROR - Required keyword 'File_Rev' not found in file 'hdr.ibs'.\n");
}

TEST_F(CmnFileTest, OpenBinaryModes) {
  std::string p = Dir() + "/bin.dat";
  FILE *f = CMN_OpenBinary(p.c_str(), "w+");
  ASSERT_NE(f, nullptr);
  fputs("a\r\n", f);
  fclose(f);
  f = CMN_OpenBinary(p.c_str(), "rxyz"); // cut to two letters: "rbx"
  ASSERT_NE(f, nullptr);
  char buf[8] = {0};
  EXPECT_EQ(fread(buf, 1, sizeof buf, f), 3u);
  fclose(f);
  EXPECT_EQ(CMN_OpenBinary((Dir() + "/missing").c_str(), "r"), nullptr);
}

} // namespace
