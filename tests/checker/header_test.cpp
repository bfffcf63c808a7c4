// The file header section: version, [File Name] rules, texts, duplicates and
// required keywords.
#include "CheckerTest.h"

#include "IbisParser/hdr.h"

namespace {

class HeaderTest : public CheckerTest {
protected:
    // [Define Package Model] stands for any section that closes the header;
    // its own end checks are not what these tests look at.
    void SetUp() override {
        CheckerTest::SetUp();
        PARSE_sections[SECTION_PKGMDL] = {};
    }
    // Parses a .pkg file (no whole-file checks needed) and keeps its root
    // for inspection until Finish().
    std::string Parse(const std::string &name, const std::string &text) {
        CHECKPASS_BeginFile();
        std::string path = Write(name, text);
        EXPECT_EQ(PARSE_ParseFile(path.c_str(), FILE_PKG), 1);
        IBIS *root = nullptr;
        EXPECT_TRUE(IBIS_GetCurrent(&root));
        hdr_ = nullptr;
        if (root != nullptr)
            IBIS_GetHeader(root, &hdr_);
        return Output();
    }
    std::string Finish() {
        CHECKPASS_EndFile();
        return Output();
    }
    HDR *hdr_ = nullptr;
};

const char kPkgBanner50[] = "\nChecking a.pkg for IBIS 5.0 Compatibility...\n\n";

TEST_F(HeaderTest, VersionSetsLimits) {
    std::string name24 = std::string(20, 'a') + ".pkg";
    std::string out = Parse(name24, Header("3.2", name24) + "[End]\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 3);
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    Finish();

    std::string name25 = std::string(21, 'a') + ".pkg";
    out = Parse(name25, Header("3.2", name25) + "[End]\n");
    EXPECT_NE(out.find("ERROR (line    2) - File_name string '" + name25 +
                       "' is too long, maximum length 24 allowed."),
              std::string::npos)
        << out;
    const char *stored = nullptr;
    ASSERT_TRUE(HDR_GetFileName(hdr_, &stored));
    EXPECT_EQ(std::string(stored), name25);  // kept whole
    Finish();

    std::string name44 = std::string(40, 'b') + ".pkg";
    out = Parse(name44, Header("4.1", name44) + "[End]\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 4);
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    Finish();

    // Below version 3 the name is cut to 12 characters.
    out = Parse("abcdefghi.pkg", Header("2.1", "abcdefghi.pkg") + "[End]\n");
    EXPECT_NE(out.find("File_name string 'abcdefghi.pkg' is too long, truncating to 12 characters."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("File name opened 'abcdefghi.pkg' not the same as File_name 'abcdefghi.pk'."),
              std::string::npos)
        << out;
    Finish();
}

TEST_F(HeaderTest, IllegalVersionKeepsThePreviousOne) {
    PARSE_SetIbisVersion(4);
    std::string out = Parse("a.pkg", Header("3.3", "a.pkg") + "[End]\n");
    EXPECT_EQ(out, std::string("\nChecking a.pkg for IBIS 3.2 Compatibility...\n\n") +
                       "ERROR (line    1) - Illegal IBIS_Version '3.3'.\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 4);
    Finish();
}

TEST_F(HeaderTest, FileNameMessagesOnePerCharacter) {
    std::string out = Parse("a.pkg", "[IBIS Ver] 5.0\n[File Name] ABD+x.y.pkg\n[File Rev] 1\n[End]\n");
    EXPECT_EQ(out, std::string(kPkgBanner50) +
                       "ERROR (line    2) -\n    File_name 'ABD+x.y.pkg' contains an upper case character 'A'.\n"
                       "ERROR (line    2) -\n    File_name 'ABD+x.y.pkg' contains an upper case character 'B'.\n"
                       "ERROR (line    2) -\n    File_name 'ABD+x.y.pkg' contains an upper case character 'D'.\n"
                       "ERROR (line    2) -\n"
                       "    File_name 'ABD+x.y.pkg' contains a character '+' that is illegal for DOS.\n"
                       "ERROR (line    2) - File_name 'ABD+x.y.pkg' contains more than one period.\n"
                       "ERROR (line    2) -\n"
                       "    File name opened 'a.pkg' not the same as File_name 'ABD+x.y.pkg'.\n");
    Finish();
    out = Parse("a.pkg", "[IBIS Ver] 5.0\n[File Name] gnd\n[File Rev] 1\n[End]\n");
    EXPECT_EQ(out, std::string(kPkgBanner50) +
                       "ERROR (line    2) - File_name 'gnd' must contain one period.\n"
                       "ERROR (line    2) - File name opened 'a.pkg' not the same as File_name 'gnd'.\n"
                       "ERROR (line    2) - Illegal use of Reserved Word 'gnd'.\n");
    Finish();
}

TEST_F(HeaderTest, OpenedUnderAnotherCaseMatchesTheName) {
    Write("up.pkg", Header("5.0", "up.pkg") + "[End]\n");
    CHECKPASS_BeginFile();
    ASSERT_EQ(PARSE_ParseFile((dir_.path() + "/UP.PKG").c_str(), FILE_PKG), 1);
    CHECKPASS_EndFile();
    EXPECT_EQ(Output(), "\nChecking UP.PKG for IBIS 5.0 Compatibility...\n\nErrors  : 0\n\nFile Passed\n");
}

TEST_F(HeaderTest, TextsJoinTheirLines) {
    Parse("a.pkg", Header("5.0", "a.pkg") +
                       "[Notes] rest\none\ntwo\n[Source]\nsrc\n[Disclaimer] d1\n"
                       "[Disclaimer] d2\nd3\n[Copyright] c\n[End]\n");
    const char *t = nullptr;
    ASSERT_TRUE(HDR_GetNotes(hdr_, &t));
    EXPECT_STREQ(t, "rest\none\ntwo");
    ASSERT_TRUE(HDR_GetSource(hdr_, &t));
    EXPECT_STREQ(t, "\nsrc");
    ASSERT_TRUE(HDR_GetDisclaimer(hdr_, &t));
    EXPECT_STREQ(t, "d1\nd2\nd3");
    ASSERT_TRUE(HDR_GetCopyright(hdr_, &t));
    EXPECT_STREQ(t, "c");
    EXPECT_FALSE(HDR_GetDate(hdr_, &t));
    EXPECT_EQ(Finish(), "Errors  : 0\n\nFile Passed\n");
}

TEST_F(HeaderTest, DuplicatesAndOrphans) {
    std::string out = Parse("a.pkg", Header("5.0", "a.pkg") +
                                         "[File Name] a.pkg\n[File Rev] 2\n[Date] x\n[Date] y\n"
                                         "[Notes] a\n[Notes] b\nc\n[Source] s\n[Source] t\n"
                                         "[Copyright] 1\n[Copyright] 2\n[File_Rev] junk\n"
                                         "[Define Package Model] p\n[File Rev] 3\nline\n[End]\n");
    EXPECT_EQ(out, std::string(kPkgBanner50) +
                       "ERROR (line    4) - Duplicate File_name keyword.\n"
                       "ERROR (line    5) - Duplicate File_Rev keyword.\n"
                       "ERROR (line    7) - Duplicate Date keyword.\n"
                       "ERROR (line    9) - Duplicate Notes keyword.\n"
                       "ERROR (line   12) - Duplicate Source keyword.\n"
                       "ERROR (line   14) - Duplicate Copyright keyword.\n"
                       "ERROR (line   15) - Duplicate File_Rev keyword.\n"
                       "ERROR (line   17) - Orphan File Header keyword.\n"
                       "ERROR (line   18) - Orphan Data Line.\n");
    const char *t = nullptr;
    ASSERT_TRUE(HDR_GetNotes(hdr_, &t));
    EXPECT_STREQ(t, "a\nc");
    Finish();
}

TEST_F(HeaderTest, RequiredKeywordsCheckedWhenTheHeaderCloses) {
    std::string out = Parse("a.pkg", "[IBIS Ver] 5.0\n[Define Package Model] p\n[File Rev] 1\nx\n[End]\n");
    EXPECT_EQ(out, std::string(kPkgBanner50) +
                       "ERROR - Required keyword 'File_name' not found in file 'a.pkg'.\n"
                       "ERROR - Required keyword 'File_Rev' not found in file 'a.pkg'.\n"
                       "ERROR (line    3) - Orphan File Header keyword.\n"
                       "ERROR (line    4) - Orphan Data Line.\n");
    Finish();
    // A second [IBIS Ver] while the header is open: the first header is never
    // checked.
    out = Parse("a.pkg", "[IBIS Ver] 5.0\n[IBIS Ver] 5.0\n[File Name] a.pkg\n[File Rev] 1\n"
                         "[Date] 1\nextra\n[End]\n");
    EXPECT_EQ(out, std::string(kPkgBanner50) +
                       "ERROR (line    2) - Duplicate IBIS_Ver keyword\n"
                       "ERROR (line    2) - Duplicate IBIS_Ver keyword.\n"
                       "ERROR (line    6) - Orphan Data Line.\n");
    Finish();
}

}  // namespace
