// The search of a directory's package files for a model the checked file
// does not define: which files are listed, which are read, how often, and
// that nothing is left behind.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>

#include "PackageTest.h"
#include "TableDriver.h"

namespace {

namespace fs = std::filesystem;

// A package file defining the models given (one line each, as written).
std::string PkgFile(const std::string &name, const std::string &defines) {
    return "[IBIS Ver] 3.2\n[File Name] " + name + "\n[File Rev] 1\n" + defines + "[End]\n";
}

// A 5.0 package file whose one model, PKG1, passes every check; `stray` is
// line 4.
std::string WholePkg(const std::string &name, const std::string &stray = "") {
    return "[IBIS Ver] 5.0\n[File Name] " + name + "\n[File Rev] 1\n" + stray +
           "[Define Package Model] PKG1\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
           "[Number Of Pins] 1\n[Pin Numbers]\n1\n[Model Data]\n"
           "[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n"
           "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n"
           "[End Model Data]\n[End Package Model]\n[End]\n";
}

class PkgSearchTest : public PackageTest {
protected:
    void SetUp() override {
        PackageTest::SetUp();
        // Blanks, '&' and ';' would each break a command line built from it.
        lib_ = dir_.path() + "/lib dir & x; y";
        fs::create_directories(lib_);
        PARSE_SetNoBanner(0);
    }

    void Put(const std::string &name, const std::string &text) {
        Write("lib dir & x; y/" + name, text);
    }

    // Every path below the test directory.
    std::set<std::string> Tree() {
        std::set<std::string> all;
        for (const auto &e : fs::recursive_directory_iterator(dir_.path()))
            all.insert(e.path().string());
        return all;
    }

    // Starts a pass over an .ibs file of the body and makes the library
    // directory (or `lib`) the remembered one, as an .ami name with a
    // directory would.
    void BeginIbs(const std::string &body = "", const char *version = "3.2", std::string lib = "") {
        Parse("t.ibs", "[IBIS Ver] " + std::string(version) + "\n[File Name] t.ibs\n[File Rev] 1\n" + body +
                           "[End]\n",
              FILE_IBS);
        CMN_SetBaseDirectory(((lib.empty() ? lib_ : lib) + "/").c_str());
    }

    std::set<std::string> ModelNames() {
        std::set<std::string> names;
        for (PKGMDL *m = Models(); m != nullptr; m = m->next)
            names.insert(m->name);
        return names;
    }

    std::string lib_;
};

TEST_F(PkgSearchTest, ListsOnlyVisiblePackageFilesAndReadsEachOnce) {
    Put("a.pkg", PkgFile("a.pkg", "[Define_Package Model]   PKG1_BIG\n"));
    Put("X.PKG", PkgFile("x.pkg", "[DEFINE PACKAGE_MODEL] PKG2\n"));
    Put("b.pkg", PkgFile("b.pkg", "  [define package model] PKG1\n[Define Package Model] OTHER\n"));
    Put(".hidden.pkg", PkgFile(".hidden.pkg", "[Define Package Model] PKG1\n"));
    Put("c.txt", PkgFile("c.txt", "[Define Package Model] PKG1\n"));
    Put("x.pkg/inner.pkg", PkgFile("inner.pkg", "[Define Package Model] PKG1\n"));
    BeginIbs();
    const std::set<std::string> before = Tree();

    // PKG1_BIG begins with PKG1: both files are read, in listing order.
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    std::string out = Output();
    EXPECT_EQ(out.find("Checking a.pkg"), out.find("\nChecking ") + 1) << out;
    EXPECT_NE(out.find("Checking b.pkg"), std::string::npos) << out;
    EXPECT_EQ(out.find("hidden"), std::string::npos) << out;
    EXPECT_EQ(out.find("inner"), std::string::npos) << out;
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1_BIG", "PKG1", "OTHER"}));

    // Asked again (a second component naming it): found, nothing read twice.
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("OTHER"), 1);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG2"), 1);
    EXPECT_NE(Output().find("Checking X.PKG"), std::string::npos);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("NONE"), 0);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("pkg1"), 0);
    EXPECT_EQ(Output(), "");

    // Each model arrived once: no duplicate for the whole-file check.
    PKGMDL_CheckAll(Models());
    EXPECT_EQ(Output(), "");
    char dir[CMN_PATH_MAX + 1];
    CMN_GetBaseDirectory(dir);
    EXPECT_EQ(std::string(dir), lib_ + "/");
    Close();
    EXPECT_EQ(Tree(), before);  // no listing or other file left behind
}

// Two files that define the model are read in name order, whatever order the
// directory gives them in: each pair is written both ways round, into a
// directory of its own.
TEST_F(PkgSearchTest, TwoFilesAreReadInNameOrder) {
    const char *const pairs[][2] = {{"a.pkg", "b.pkg"}, {"b.pkg", "a.pkg"}, {"m1.pkg", "m2.pkg"},
                                    {"m2.pkg", "m1.pkg"}, {"p.pkg", "q.pkg"}, {"q.pkg", "p.pkg"}};
    for (const auto &pair : pairs) {
        const std::string lib = std::string("by ") + pair[0] + " " + pair[1];
        for (const char *name : pair)
            Write(lib + "/" + name, WholePkg(name));
        BeginIbs("", "3.2", dir_.path() + "/" + lib);
        ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1) << lib;
        const bool sorted = strcmp(pair[0], pair[1]) < 0;
        EXPECT_EQ(Output(), "\nChecking " + std::string(pair[sorted ? 0 : 1]) +
                                " for IBIS 5.0 Compatibility...\n\n\nChecking " + pair[sorted ? 1 : 0] +
                                " for IBIS 5.0 Compatibility...\n\n")
            << lib;
    }
}

TEST_F(PkgSearchTest, AnEmptyDirectoryFindsNothingSilently) {
    Put("a.ibs", "");
    BeginIbs();
    const std::set<std::string> before = Tree();
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 0);
    EXPECT_EQ(Output(), "");
    Close();
    EXPECT_EQ(Tree(), before);
}

TEST_F(PkgSearchTest, EachPassReadsIntoItsOwnRoot) {
    Put("a.pkg", PkgFile("a.pkg", "[Define Package Model] PKG1\n"));
    Put("b.pkg", PkgFile("b.pkg", "[Define Package Model] PKG2\n"));
    BeginIbs();
    ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    IBIS *outer = nullptr;
    IBIS_GetCurrent(&outer);

    // A nested pass (a file a board refers to) scans and reads for itself...
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG2"), 1);
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1", "PKG2"}));
    CHECKPASS_EndFile();

    // ...and leaves the outer pass's reads as they were.
    IBIS *root = nullptr;
    IBIS_GetCurrent(&root);
    ASSERT_EQ(root, outer);
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1"}));
    Output();
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG2"), 1);
    EXPECT_NE(Output().find("Checking b.pkg"), std::string::npos);
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1", "PKG2"}));
    Close();

    // A later pass starts afresh.
    BeginIbs();
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1"}));
}

TEST_F(PkgSearchTest, ARunListsTheDirectoryOnce) {
    Put("a.pkg", PkgFile("a.pkg", "[Define Package Model] PKG1\n"));
    BeginIbs();
    ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    const std::string read = Output();
    ASSERT_NE(read.find("Checking a.pkg"), std::string::npos);
    // The passes of a run share one listing: a file that appears meanwhile
    // is not looked at...
    Put("b.pkg", PkgFile("b.pkg", "[Define Package Model] PKG2\n"));
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(CHECKPASS_BeginFile(), 1);
        EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG2"), 0);
        // ...while each pass, one after the other, reads for itself.
        EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
        EXPECT_EQ(Output(), read) << pass;
        EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1"}));
        CHECKPASS_EndFile();
        Output();
    }
    Close();
    // The next run lists it again.
    BeginIbs();
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG2"), 1);
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG2"}));
}

TEST_F(PkgSearchTest, EveryPassReportsTheFilesThatDoNotOpen) {
    // A directory that leaves no room for the longer name of two files.
    std::string lib = dir_.path();
    while (lib.size() < CMN_PATH_MAX - 13)
        lib += "/" + std::string(std::min<size_t>(200, CMN_PATH_MAX - 11 - lib.size()), 'd');
    ASSERT_LE(lib.size() + strlen("/a.pkg"), static_cast<size_t>(CMN_PATH_MAX));
    ASSERT_GT(lib.size() + strlen("/long_name.pkg"), static_cast<size_t>(CMN_PATH_MAX));
    fs::create_directories(lib);
    const std::string below = lib.substr(dir_.path().size() + 1) + "/";
    Write(below + "a.pkg", PkgFile("a.pkg", "[Define Package Model] PKG1\n"));
    Write(below + "long_name.pkg", PkgFile("long_name.pkg", "[Define Package Model] PKG1\n"));
    BeginIbs("", "3.2", lib);
    ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    const std::string read = Output();
    ASSERT_EQ(read.rfind("ERROR - Unable to assemble filename.\n\nChecking a.pkg", 0), 0u) << read;
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(CHECKPASS_BeginFile(), 1);
        EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
        EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
        EXPECT_EQ(Output(), read) << pass;
        CHECKPASS_EndFile();
        Output();
    }
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(Output(), "");
}

TEST_F(PkgSearchTest, NoModelOfTheCheckedFileTakesThePackageFilesLines) {
    // The checked file leaves a model open: an unknown keyword ends nothing.
    Put("a.pkg", "[IBIS Ver] 3.2\n[File Name] a.pkg\n[File Rev] 1\n[Number Of Pins] 7\n"
                 "[Define Package Model] PKG1\n[End]\n");
    BeginIbs("[Define Package Model] P\n[Bogus]\n");
    PKGMDL *open = Models();
    ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(open->Number_of_Pins, 0u);
    EXPECT_NE(Messages(Output()).find("ERROR (line    4) - Orphan Package Model keyword."), std::string::npos);
}

TEST_F(PkgSearchTest, ModelsReadFileByFileAreFoundAsAWalkWouldFindThem) {
    // q.pkg brings a newer PKG1 than the checked file's own: the newest wins.
    Put("q.pkg", PkgFile("q.pkg", "[Define Package Model] Q\n[Define Package Model] PKG1\n"
                                  "[Number Of Pins] 2\n"));
    const int files = 40;
    // No name begins with another, so each search reads one file.
    auto Name = [](int i) { return "M" + std::to_string(i) + "x"; };
    for (int i = 0; i < files; ++i)
        Put("m" + std::to_string(i) + ".pkg",
            PkgFile("m.pkg", "[Define Package Model] " + Name(i) + "\n"));
    BeginIbs("[Define Package Model] PKG1\n[Number Of Pins] 1\n");
    auto pins = [&](const char *name) {
        PKGMDL *m = nullptr;
        return PKGMDL_FindByName(Models(), name, &m) ? static_cast<int>(m->Number_of_Pins) : -1;
    };
    EXPECT_EQ(pins("PKG1"), 1);
    ASSERT_EQ(PKGMDL_FindInPkgFiles("Q"), 1);
    EXPECT_EQ(pins("PKG1"), 2);
    EXPECT_EQ(pins("Q"), 0);
    // Each search resets the sections before its file; the models of every
    // earlier file stay found.
    for (int i = 0; i < files; ++i) {
        const std::string name = Name(i);
        ASSERT_EQ(PKGMDL_FindInPkgFiles(name.c_str()), 1) << name;
        for (int j = 0; j <= i; ++j)
            ASSERT_EQ(pins(Name(j).c_str()), 0) << name << " then " << Name(j);
        if (i + 1 < files) {  // not read yet
            EXPECT_EQ(pins(Name(i + 1).c_str()), -1) << name;
        }
    }
    EXPECT_EQ(pins("PKG1"), 2);
    Close();
    // A new pass forgets them.
    BeginIbs();
    EXPECT_EQ(pins(Name(0).c_str()), -1);
}

TEST_F(PkgSearchTest, OutsideAPassTheScanLastsOneCall) {
    Put("a.pkg", PkgFile("a.pkg", "[Define Package Model] PKG1\n"));
    CMN_SetBaseDirectory((lib_ + "/").c_str());
    ASSERT_EQ(IBIS_Create(), 1);
    EXPECT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);  // its scan is freed with the call
    EXPECT_EQ(ModelNames(), (std::set<std::string>{"PKG1"}));
}

}  // namespace

namespace {

// Sections of the checked file left open (an unknown keyword ends nothing)
// and a package file whose stray keyword on line 4 would end them: the
// package file gives its own messages only.
struct OpenSectionCase {
    const char *name;
    std::string ibs;       // after the header, before [Bogus]
    std::string stray;     // line 4 of the package file
    std::string expected;  // the package file's messages
};

class OpenSectionSearchTest : public PkgSearchTest,
                              public ::testing::WithParamInterface<OpenSectionCase> {};

TEST_P(OpenSectionSearchTest, NothingOfTheCheckedFileEndsInThePackageFile) {
    const OpenSectionCase &c = GetParam();
    Put("a.pkg", WholePkg("a.pkg", c.stray));
    BeginIbs(c.ibs + "[Bogus]\n", "5.0");
    ASSERT_EQ(PKGMDL_FindInPkgFiles("PKG1"), 1);
    EXPECT_EQ(Messages(Output()), c.expected);
}

const char kIllegal[] = "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n";

const OpenSectionCase kOpenSectionCases[] = {
    {"model", "[Model] M\nModel_type Input\n", "[Model] X\n", kIllegal},
    {"component", "[Component] C\n[Manufacturer] m\n", "[Manufacturer] X\n", ""},
    {"submodel", "[Submodel] S\n", "[Submodel] X\n", kIllegal},
    {"selector", "[Model Selector] S\nm one\n", "[Model Selector] X\n", kIllegal},
    {"test load", "[Test Load] L\n", "[Test Load] X\n", kIllegal},
    {"test data", "[Test Data] D\n", "[Test Data] X\n", kIllegal},
    {"package model", "[Define Package Model] P\n", "[Number Of Pins] 7\n",
     "ERROR (line    4) - Orphan Package Model keyword.\n"},
};

INSTANTIATE_TEST_SUITE_P(Sections, OpenSectionSearchTest, ::testing::ValuesIn(kOpenSectionCases),
                         CaseName<OpenSectionCase>);

}  // namespace
