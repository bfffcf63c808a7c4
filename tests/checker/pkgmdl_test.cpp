// Package models: keywords and values, plain and sectioned [Pin Numbers]
// with forks, the end checks in their order, duplicates, and the lookups
// the component checks use.
#include <cstdio>
#include <vector>

#include "PackageTest.h"
#include "IbisParser/sect.h"

namespace {

using PkgmdlTest = PackageTest;

// A model and its text keywords.
std::string Define(const std::string &model) {
    return "[Define Package Model] " + model + "\n[Manufacturer] m\n[OEM] o\n[Description] d\n";
}

// Header of a 3.2 file and a model's text keywords: the next line is 8.
std::string Named(const std::string &file, const std::string &model = "P") {
    return "[IBIS Ver] 3.2\n[File Name] " + file + "\n[File Rev] 1\n" + Define(model);
}

struct FileCase {
    const char *what;
    const char *name;
    std::string text;
    const char *messages;
};

const FileCase kFiles[] = {
    {"values once only, flag keywords, orphan data", "a.pkg",
     "[IBIS Ver] 3.2\n[File Name] a.pkg\n[File Rev] 1\n[Define Package Model] GND\n"
     "[Manufacturer] m\n[Manufacturer] m2\n[OEM] 12345678901234567890123456789012345678901\n"
     "[Description] d\n[Number Of Pins] 2x\n[Number Of Pins] 3\n[Pin Numbers] extra\n1\n2\n"
     "[Pin Numbers]\n[Model Data]\nstray\n[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n"
     "[Row] 2\n2 1n\n[Capacitance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n2 1n\n"
     "[End Model Data] x\n[End Package Model]\n[End Package Model]\n[Bandwidth] 3\n[End]\n",
     "ERROR (line    4) - Illegal use of Reserved Word 'GND'.\n"
     "ERROR (line    6) - Duplicate 'Manufacturer' keyword.\n"
     "ERROR (line    7) - OEM string '12345678901234567890123456789012345678901' is too long, "
     "truncating to 40 characters.\n"
     "WARNING (line    9) - Suspicious Number_of_Pins value.\n"
     "ERROR (line   10) - Duplicate Number_of_Pins keyword.\n"
     "ERROR (line   11) - Extraneous data on 'Pin_Numbers' line.\n"
     "ERROR (line   14) - Duplicate 'Pin_Numbers' keyword found.\n"
     "ERROR (line   16) - Orphan Data line.\n"
     "ERROR (line   27) - Extraneous data on 'End_Model_Data' line.\n"
     "ERROR (line   29) - Duplicate 'End_Package_Model' keyword found.\n"
     "ERROR (line   30) - Bandwidth keyword in wrong location.\n"},
    {"orphans, counts and every end check in order", "b.pkg",
     "[IBIS Ver] 3.2\n[File Name] b.pkg\n[File Rev] 1\n[OEM] x\ndata\n[Define Package Model]\n"
     "[Number Of Pins]\n[Number Of Pins] abc\n[Number Of Pins] 4294967296\n[Number Of Pins] 0\n"
     "[Pin Numbers]\nA\n[Number Of Sections]\n[End]\n",
     "ERROR (line    4) - Orphan Package Model keyword.\n"
     "ERROR (line    5) - Orphan Data Line.\n"
     "ERROR (line    6) - Zero length value for keyword 'Define Package Model'.\n"
     "ERROR (line    7) - Blank Number_of_Pins value.\n"
     "ERROR (line    8) - Bad Number_of_Pins value.\n"
     "ERROR (line    9) - Bad Number_of_Pins value.\n"
     "ERROR (line   10) - Number_of_Pins = 0.\n"
     "ERROR (line   12) - Number of Pins is zero, unable to add Pin Number.\n"
     "ERROR (line   13) - Blank Number_of_Sections value.\n"
     "ERROR - Package Model keyword 'Define_Package_Model' not found or blank.\n"
     "ERROR - Keyword 'Manufacturer' not found or blank for Package Model ''.\n"
     "ERROR - OEM keyword not found for Package Model ''.\n"
     "ERROR - Description keyword not found for Package Model ''.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Package Model ''.\n"
     "ERROR - No Pin Numbers names found for Package Model ''.\n"
     "ERROR - Required Model_Data keyword not found for package .\n"
     "ERROR - Inductance matrix not found for Package Model ''.\n"
     "ERROR - Capacitance matrix not found for Package Model ''.\n"
     "ERROR - Required End_Model_Data keyword not found for package .\n"
     "ERROR - Required End_Package_Model keyword not found.\n"},
    {"plain pin names: cut, repeated, too many; pins missing", "c.pkg",
     Named("c.pkg") + "[Number Of Pins] 4\n[Pin Numbers]\nABCDEF\nABCDEFG\nA B\nA B\nX\n"
                      "[Model Data]\n[Inductance Matrix] Full_matrix\n[Capacitance Matrix] Full_matrix\n"
                      "[End Model Data]\n[End Package Model]\n[Define Package Model] Q\n[Pin Numbers]\n"
                      "[End Package Model]\n[End]\n",
     "ERROR (line   10) - Pin Numbers name string too long. will be truncated.\n"
     "ERROR (line   11) - Pin Numbers name string too long. will be truncated.\n"
     "ERROR (line   11) - Duplicate Pin <ABCDE>.\n"
     "ERROR (line   13) - Duplicate Pin <A B>.\n"
     "ERROR (line   14) - More Pin Numbers names than Number of pins.\n"
     "ERROR (line   17) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   18) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR - Keyword 'Manufacturer' not found or blank for Package Model 'Q'.\n"
     "ERROR - OEM keyword not found for Package Model 'Q'.\n"
     "ERROR - Description keyword not found for Package Model 'Q'.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Package Model 'Q'.\n"
     "ERROR - No Pin Numbers names found for Package Model 'Q'.\n"
     "ERROR - Required Model_Data keyword not found for package Q.\n"
     "ERROR - Inductance matrix not found for Package Model 'Q'.\n"
     "ERROR - Capacitance matrix not found for Package Model 'Q'.\n"
     "ERROR - Required End_Model_Data keyword not found for package Q.\n"},
    {"sections: continuations, a pin without sections, counts", "d.pkg",
     Named("d.pkg") + "[Number Of Pins] 5\n[Number Of Sections] 2\n[Pin Numbers]\n"
                      "A1 Len=0 L=1n C=1p /\nLen=1 R=1 L=2n C=0.5p /\nA2\nLen=1 R=1 L=2n C=0.5p /\n"
                      "A3 Len=0 L=1n C=1p / Len=0 L=1n C=1p /\nFork\nLen=0 L=1n C=1p /\nEndfork\n"
                      "ABCDEF Len=0 L=1n C=1p /\nABCDEFG Len=0 L=1n C=1p /\n[End Package Model]\n[End]\n",
     "ERROR (line   13) - No Sections were defined for this pin even though [Number of Sections] was "
     "defined.\n"
     "ERROR (line   14) - Detected the start of an orphan R/L/C section\n"
     "ERROR (line   19) - Pin Numbers name string too long. will be truncated.\n"
     "ERROR (line   20) - Pin Numbers name string too long. will be truncated.\n"
     "ERROR (line   20) - Duplicate Pin <ABCDE>.\n"
     "ERROR - Pin 'A3' has 3 sections. This is greater than the Number of Sections 2 specified\n"},
    {"forks: orphans, nesting, empty, unterminated; suspicious pin names", "e.pkg",
     Named("e.pkg") + "[Number Of Pins] 9\n[Number Of Sections] 1\n[Pin Numbers]\nFork\nEndfork\n"
                      "Len=0 L=1n C=1p /\nA1 Len=0 L=1n C=1p /\nEndfork\nLen=0 L=1n C=1p /\nFork\nFork\n"
                      "Len=0 L=1n C=1p /\nEndfork\nEndfork\nEndfork\nFork\nEndfork\nFork\n"
                      "A=/ Len=0 L=1n C=1p /\nLen Len=0 L=1n C=1p /\nC Len=0 L=1n C=1p /\nFork\n"
                      "[End Package Model]\n[End]\n",
     "ERROR (line   11) - Detected the start of an orphan 'Fork'\n"
     "ERROR (line   12) - Detected the start of an orphan 'Endfork'\n"
     "ERROR (line   13) - Detected the start of an orphan R/L/C section\n"
     "ERROR (line   15) - Endfork found without enclosing Fork\n"
     "ERROR (line   18) - Cannot Nest Forks\n"
     "ERROR (line   22) - Endfork found without enclosing Fork\n"
     "ERROR (line   24) - Empty Fork/Endfork found\n"
     "ERROR (line   26) - A new Pin A=/ has been defined before terminating a previous Fork with the "
     "corresponding Endfork\n"
     "WARNING (line   26) - Found a Pin Name 'A=/' containing '='. Possible syntax error\n"
     "WARNING (line   26) - Found a Pin Name 'A=/' containing '/'. Possible syntax error\n"
     "WARNING (line   27) - Found a Pin Name 'Len'. Possible syntax error\n"
     "WARNING (line   28) - Found a Pin Name 'C'. Possible syntax error\n"
     "ERROR - Number of Pins <9> not the same as count of Pin Numbers names found <4> for Package "
     "Model 'P'.\n"
     "ERROR - Some Fork sub parameters were not terminated with Endfork\n"
     "ERROR - Pin 'A1' has 3 sections. This is greater than the Number of Sections 1 specified\n"},
    {"[Number Of Sections] after plain pin lines; matrices and model data refused", "f.pkg",
     Named("f.pkg") + "[Number Of Pins] 3\n[Pin Numbers]\nA1\n[Number Of Sections] 1\n[Pin Numbers]\n"
                      "A2 Len=0 L=1n C=1p /\nA3 Len=0 L=1n C=1p /\n[Model Data]\n"
                      "[Resistance Matrix] Full_matrix\n[Inductance Matrix] Full_matrix\n"
                      "[Capacitance Matrix] Full_matrix\n[End Model Data]\n[End Package Model]\n[End]\n",
     "ERROR (line   11) - Number of Sections should be specified before Pin Numbers\n"
     "ERROR (line   12) - Duplicate 'Pin_Numbers' keyword found.\n"
     "ERROR (line   17) - Expected 3 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   18) - Expected 3 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   19) - Expected 3 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR - Model_Data cannot be specified when Number_Of_Sections is specified for package P.\n"
     "ERROR - Resistance_Matrix cannot be specified when Number_Of_Sections is specified for Package "
     "Model P.\n"
     "ERROR - Inductance_Matrix cannot be specified when Number_Of_Sections is specified for Package "
     "Model P.\n"
     "ERROR - Capacitance_Matrix cannot be specified when Number_Of_Sections is specified for Package "
     "Model P.\n"
     "ERROR - End_Model_Data cannot be specified when Number_Of_Sections is specified for package P.\n"},
    {"[Number Of Sections] values", "g.pkg",
     Named("g.pkg") + "[Number Of Pins] 1\n[Number Of Sections] 1x\n[Number Of Sections] 2\n"
                      "[Define Package Model] Q\n[Number Of Sections] x\n[Number Of Sections] 0\n"
                      "[Define Package Model] R\n[Number Of Sections] 4294967296\n[End]\n",
     "WARNING (line    9) - Suspicious Number_of_Sections value.\n"
     "ERROR (line   10) - Duplicate Number_of_Sections keyword.\n"
     "ERROR - Required keyword Pin_Numbers not found for Package Model 'P'.\n"
     "ERROR - Required End_Package_Model keyword not found.\n"
     "ERROR (line   12) - Bad Number_of_Sections value.\n"
     "ERROR (line   13) - Number_of_Sections = 0.\n"
     "ERROR - Keyword 'Manufacturer' not found or blank for Package Model 'Q'.\n"
     "ERROR - OEM keyword not found for Package Model 'Q'.\n"
     "ERROR - Description keyword not found for Package Model 'Q'.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Package Model 'Q'.\n"
     "ERROR - Required keyword Pin_Numbers not found for Package Model 'Q'.\n"
     "ERROR - Required End_Package_Model keyword not found.\n"
     "ERROR (line   15) - Bad Number_of_Sections value.\n"
     "ERROR - Keyword 'Manufacturer' not found or blank for Package Model 'R'.\n"
     "ERROR - OEM keyword not found for Package Model 'R'.\n"
     "ERROR - Description keyword not found for Package Model 'R'.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Package Model 'R'.\n"
     "ERROR - Required keyword Pin_Numbers not found for Package Model 'R'.\n"
     "ERROR - Required End_Package_Model keyword not found.\n"},
    {"[Row] with no matrix of the model", "h.pkg",
     Named("h.pkg") + "[Number Of Pins] 1\n[Pin Numbers]\nA\n[Model Data]\n[Inductance Matrix] Full_matrix\n"
                      "[Row] A\n1n\n[Capacitance Matrix] Full_matrix\n[Row] A\n1p\n[End Model Data]\n[Row] A\n"
                      "1p\n[End Package Model]\n" + Define("Q") +
                      "[Number Of Pins] 1\n[Pin Numbers]\nA\n[Model Data]\n[Row] A\n[End Model Data]\n"
                      "[End Package Model]\n[End]\n",
     "ERROR (line   19) - Row keyword in wrong location.\n"
     "ERROR (line   30) - Row keyword in wrong location.\n"
     "ERROR - Inductance matrix not found for Package Model 'Q'.\n"
     "ERROR - Capacitance matrix not found for Package Model 'Q'.\n"},
};

TEST_F(PkgmdlTest, KeywordsPinsSectionsAndEndChecks) {
    for (const FileCase &c : kFiles)
        EXPECT_EQ(Parse(c.name, c.text), c.messages) << c.what;
}

// A pin line whose last word is an item without its value: the item
// reader's message is the only one, and the section before it is kept.
struct TrailCase {
    const char *line;
    const char *messages;
};

const TrailCase kTrailingItems[] = {
    {"A1 Len=0 L=0.15n / L", "ERROR (line   11) - Premature end of R/L/C section\n"},
    {"A1 Len=0 L=0.15n / Len", "ERROR (line   11) - Premature end of R/L/C section\n"},
    {"A1 Len=0 L=0.15n / Len=", "ERROR (line   11) - Premature end of R/L/C section\n"},
};

TEST_F(PkgmdlTest, TrailingItemWithoutValue) {
    for (const TrailCase &c : kTrailingItems) {
        EXPECT_EQ(Check("t.pkg", Named("t.pkg") + "[Number Of Pins] 1\n[Number Of Sections] 1\n"
                                                  "[Pin Numbers]\n" + c.line +
                                                  "\n[End Package Model]\n[End]\n",
                        FILE_PKG),
                  std::string("\nChecking t.pkg for IBIS 3.2 Compatibility...\n\n") + c.messages +
                      "\nErrors  : 1\n\nFile Failed\n")
            << c.line;
        MSG_ResetCounts();
    }
}

// The section list of the model's pin at index i.
const PKGMDL_ELEMENT *Pin(PKGMDL *m, uint32_t i) {
    EXPECT_NE(m->Pin_Sections, nullptr);
    return m->Pin_Sections != nullptr && i < m->pinCount ? m->Pin_Sections[i].head : nullptr;
}

double Inductance(const PKGMDL_ELEMENT *e) {
    return e != nullptr && e->kind == PKGMDL_SECTION && e->child.section->L != nullptr
               ? *e->child.section->L
               : -1;
}

TEST_F(PkgmdlTest, SectionListsFollowTheForks) {
    Parse("s.pkg", Named("s.pkg") + "[Number Of Pins] 3\n[Number Of Sections] 9\n[Pin Numbers]\n"
                                    "A1 Len=0 L=1n C=1p /\nLen=1 R=1 L=2n C=0.5p /\n"
                                    "A2 Len=0 L=3n C=1p /\nFork\nLen=0 L=4n C=1p /\nLen=0 L=5n C=1p /\n"
                                    "Endfork\nLen=0 L=6n C=1p /\n"
                                    "A3 Len=0 L=7n C=1p /\nEndfork\nLen=0 L=8n C=1p /\n[End]\n");
    PKGMDL *m = Models();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->pinCount, 3u);
    const PKGMDL_ELEMENT *a1 = Pin(m, 0);
    EXPECT_DOUBLE_EQ(Inductance(a1), 1e-9);
    EXPECT_DOUBLE_EQ(Inductance(a1->next), 2e-9);
    EXPECT_EQ(a1->next->next, nullptr);
    EXPECT_EQ(m->Pin_Sections[0].sections, 2u);

    // A2: section, fork (branch of two), then a section behind the fork.
    const PKGMDL_ELEMENT *fork = Pin(m, 1)->next;
    ASSERT_EQ(fork->kind, PKGMDL_FORK);
    EXPECT_DOUBLE_EQ(Inductance(fork->child.branch), 4e-9);
    EXPECT_DOUBLE_EQ(Inductance(fork->child.branch->next), 5e-9);
    EXPECT_DOUBLE_EQ(Inductance(fork->next), 6e-9);
    EXPECT_EQ(m->Pin_Sections[1].sections, 4u);

    // An Endfork without a fork changes nothing: the chain goes on.
    const PKGMDL_ELEMENT *a3 = Pin(m, 2);
    EXPECT_DOUBLE_EQ(Inductance(a3), 7e-9);
    EXPECT_DOUBLE_EQ(Inductance(a3->next), 8e-9);
}

TEST_F(PkgmdlTest, SectionsAfterPlainPinsGetTheirOwnLists) {
    Parse("s.pkg", Named("s.pkg") + "[Number Of Pins] 3\n[Pin Numbers]\nA1\n[Number Of Sections] 1\n"
                                    "[Pin Numbers]\nA2 Len=0 L=1n C=1p /\n[End]\n");
    PKGMDL *m = Models();
    ASSERT_EQ(m->pinCount, 2u);
    EXPECT_EQ(Pin(m, 0), nullptr);
    EXPECT_DOUBLE_EQ(Inductance(Pin(m, 1)), 1e-9);
}

TEST_F(PkgmdlTest, VersionTwoReadsPinsPlainYetChecksAsSectioned) {
    // A model read under version 2 with [Number Of Sections] given.
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    PARSE_SetIbisVersion(2);
    char define[] = "[Define Package Model] P", sections[] = "[Number Of Sections] 1",
         pins[] = "[Number Of Pins] 1", numbers[] = "[Pin Numbers]", pin[] = "A1 Len=0 L=1n C=1p /",
         inductance[] = "[Inductance Matrix] Full_matrix";
    PKGMDL_Init();
    PKGMDL_ParseLine(LINE_KEYWORD, KW_DEFINE_PACKAGE_MODEL, define);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_NUMBER_OF_PINS, pins);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_NUMBER_OF_SECTIONS, sections);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_PIN_NUMBERS, numbers);
    PKGMDL_ParseLine(LINE_DATA, KW_PIN_NUMBERS, pin);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_INDUCTANCE_MATRIX, inductance);
    PKGMDL_EndKeyword(KW_END);
    IBIS *root = nullptr;
    PKGMDL *m = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root) && IBIS_GetPackageModels(root, &m));
    ASSERT_EQ(m->pinCount, 1u);
    EXPECT_STREQ(m->Pin_Numbers[0], "A1 Le");
    EXPECT_EQ(m->Pin_Sections, nullptr);
    std::string out = Messages(Output());
    EXPECT_NE(out.find("Inductance_Matrix cannot be specified"), std::string::npos) << out;
    EXPECT_EQ(out.find("Capacitance matrix not found"), std::string::npos) << out;
    EXPECT_EQ(out.find("Required Model_Data"), std::string::npos) << out;
    CHECKPASS_EndFile();
    Output();
}

TEST_F(PkgmdlTest, DuplicateNamesOncePerPair) {
    std::string model = "[Manufacturer] m\n[OEM] o\n[Description] d\n[Number Of Pins] 1\n[Pin Numbers]\n"
                        "A\n[Model Data]\n[Inductance Matrix] Full_matrix\n[Row] A\n1n\n"
                        "[Capacitance Matrix] Full_matrix\n[Row] A\n1p\n[End Model Data]\n"
                        "[End Package Model]\n";
    std::string text = "[IBIS Ver] 3.2\n[File Name] t.ibs\n[File Rev] 1\n";
    for (const char *name : {"P", "Q", "P", "P", "Q"})
        text += std::string("[Define Package Model] ") + name + "\n" + model;
    EXPECT_EQ(Messages(Check("t.ibs", text + "[End]\n", FILE_IBS)),
              "ERROR - Required keyword 'Component' not found.\n"
              "ERROR - Define_Package_Model 'Q' is duplicated within the .ibs file.\n"
              "ERROR - Define_Package_Model 'P' is duplicated within the .ibs file.\n"
              "ERROR - Define_Package_Model 'P' is duplicated within the .ibs file.\n"
              "ERROR - Define_Package_Model 'P' is duplicated within the .ibs file.\n"
              "\nErrors  : 5\n\nFile Failed\n");
}

TEST_F(PkgmdlTest, LookupsOfTheComponentChecks) {
    Parse("t.pkg", Named("t.pkg", "P") + "[Number Of Pins] 3\n[Pin Numbers]\nA1\nB2\nA1\n" +
                       Define("P") + "[Number Of Pins] 1\n[Pin Numbers]\nZ\n" +
                       Define("Q") + "[Number Of Pins] 1\n[Pin Numbers]\nQ1\n[End]\n");
    PKGMDL *list = Models(), *found = nullptr;
    ASSERT_TRUE(PKGMDL_FindByName(list, "P", &found));
    EXPECT_STREQ(found->Pin_Numbers[0], "Z");  // the newest of the name
    EXPECT_TRUE(PKGMDL_FindByName(list, "Q", nullptr));
    EXPECT_FALSE(PKGMDL_FindByName(list, "p", &found));
    EXPECT_FALSE(PKGMDL_FindByName(nullptr, "P", &found));
    // From a record further down the list, the older P is the first found.
    ASSERT_TRUE(PKGMDL_FindByName(list->next->next, "P", &found));
    EXPECT_STREQ(found->Pin_Numbers[0], "A1");

    // Walking the pins of the older P: all three names, then the end.
    std::vector<std::string> pins;
    const char *name = nullptr;
    for (int first = 1; PKGMDL_NextPinNumber(list->next->next, "P", first, &name); first = 0)
        pins.push_back(name);
    EXPECT_EQ(pins, (std::vector<std::string>{"A1", "B2", "A1"}));
    EXPECT_FALSE(PKGMDL_NextPinNumber(list, "R", 1, &name));

    // A model added at the head of the indexed list is found.
    PKGMDL *newer = nullptr;
    ASSERT_EQ(CMN_Alloc(&newer, sizeof(PKGMDL)), 1);
    strcpy(newer->name, "P");
    IBIS *root = nullptr;
    IBIS_GetCurrent(&root);
    IBIS_AddPackageModel(root, newer);
    ASSERT_TRUE(PKGMDL_FindByName(Models(), "P", &found));
    EXPECT_EQ(found, newer);
    ASSERT_TRUE(PKGMDL_FindByName(Models(), "Q", &found));
    EXPECT_STREQ(found->Pin_Numbers[0], "Q1");
}

TEST_F(PkgmdlTest, PinIndexWhileAModelIsRead) {
    uint32_t index = 7;
    EXPECT_EQ(PKGMDL_FindPinIndex("A1", &index), 0);
    EXPECT_EQ(index, 0u);
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    char define[] = "[Define Package Model] P", pins[] = "[Number Of Pins] 3", numbers[] = "[Pin Numbers]";
    char a[] = "A1", b[] = "B2", c[] = "A1";
    PKGMDL_Init();
    PKGMDL_ParseLine(LINE_KEYWORD, KW_DEFINE_PACKAGE_MODEL, define);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_NUMBER_OF_PINS, pins);
    PKGMDL_ParseLine(LINE_KEYWORD, KW_PIN_NUMBERS, numbers);
    for (char *p : {a, b, c})
        PKGMDL_ParseLine(LINE_DATA, KW_PIN_NUMBERS, p);
    EXPECT_EQ(PKGMDL_FindPinIndex("B2", &index), 1);
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(PKGMDL_FindPinIndex("A1", &index), 1);
    EXPECT_EQ(index, 1u);  // the first of the name
    EXPECT_EQ(PKGMDL_FindPinIndex("a1", &index), 0);
    CHECKPASS_EndFile();
    Output();
}

TEST_F(PkgmdlTest, HugePinCountGrowsWithTheNames) {
    Parse("t.pkg", Named("t.pkg") + "[Number Of Pins] 4000000000\n[Number Of Sections] 4000000000\n"
                                    "[Pin Numbers]\nA1 Len=0 L=1n C=1p /\nA2 Len=0 L=1n C=1p /\n[End]\n");
    PKGMDL *m = Models();
    EXPECT_EQ(m->Number_of_Pins, 4000000000u);
    EXPECT_EQ(m->pinCount, 2u);
    EXPECT_LE(m->pinRoom, 16u);
    EXPECT_LE(m->sectionRoom, 16u);
}

TEST_F(PkgmdlTest, AMillionForksCheckAndFreeWithoutDeepCalls) {
    std::string text = Named("t.pkg") + "[Number Of Pins] 1\n[Number Of Sections] 1\n[Pin Numbers]\n"
                                        "A1 Len=0 L=1n C=1p /\n";
    text.reserve(text.size() + 6000000);
    for (int i = 0; i < 1000000; ++i)
        text += "Fork\n";
    text += "Len=0 L=2n C=1p /\n[End]\n";
    FILE *sink = fopen("/dev/null", "w");
    ASSERT_NE(sink, nullptr);
    MSG_SetOutput(sink);
    Parse("t.pkg", text);
    PKGMDL *m = Models();
    EXPECT_EQ(m->Pin_Sections[0].sections, 2u);
    int32_t bugs = 0, errors = 0, warnings = 0;
    MSG_GetCounts(&bugs, &errors, &warnings);
    EXPECT_EQ(errors, 999999 + 3);  // 3439 per nested fork; 3450, 3451, 3459
    Close();                            // frees the nested branches
    MSG_SetOutput(nullptr);
    fclose(sink);
}

}  // namespace
