// Board descriptions as they are read: [Number Of Pins] and [Pin List],
// path lines token by token, map rows with the file-name rule, and the
// checks of a board when it closes. Each case reads one file and compares
// every message.
#include <string>

#include "BoardLines.h"
#include "PackageTest.h"
#include "TableDriver.h"
#include "IbisParser/ebdmdl.h"
#include "IbisParser/sect.h"

namespace {

using EbdTest = PackageTest;

// Board B of manufacturer m around `body`, which begins on line 6.
std::string Board(const std::string &body, const std::string &version = "3.2") {
    return "[IBIS Ver] " + version + "\n[File Name] t.ebd\n[File Rev] 1\n[Begin Board Description] B\n"
                                     "[Manufacturer] m\n" +
           body + "[End Board Description]\n[End]\n";
}

// Two pins of signal NC (quiet when referenced once or never), designator U1
// in the map, and path p, whose lines begin on line 13.
std::string PathBoard(const std::string &lines) {
    return Board("[Number Of Pins] 2\n[Pin List] signal_name\n1 NC\n2 NC\n[Reference Designator Map]\n"
                 "U1 x.ibs c\n[Path Description] p\n" +
                 lines);
}

struct Case {
    const char *name;
    std::string text;
    const char *messages;
};

class EbdFileTest : public EbdTest, public ::testing::WithParamInterface<Case> {};

TEST_P(EbdFileTest, Messages) {
    EXPECT_EQ(Parse("t.ebd", GetParam().text, FILE_EBD), GetParam().messages);
}

// ---- [Number Of Pins] and [Pin List] -------------------------------------------

const Case kPinList[] = {
    {"number of pins values in order",
     Board("[Number Of Pins]\n[Number Of Pins] abc\n[Number Of Pins] 4294967296\n[Number Of Pins] 0\n"
           "[Number Of Pins] 2x\n[Number Of Pins] 3\n[Pin List] signal_name\nA1 GND\nA2 POWER\n"
           "[Path Description] p\nPin A1\n"),
     "ERROR (line    6) - Blank Number_of_Pins value.\n"
     "ERROR (line    7) - Duplicate [Number of Pins] keyword\n"
     "ERROR (line    7) - Bad Number_of_Pins value.\n"
     "ERROR (line    8) - Duplicate [Number of Pins] keyword\n"
     "ERROR (line    8) - Bad Number_of_Pins value.\n"
     "ERROR (line    9) - Duplicate [Number of Pins] keyword\n"
     "ERROR (line    9) - Number_of_Pins = 0.\n"
     "ERROR (line   10) - Duplicate [Number of Pins] keyword\n"
     "WARNING (line   10) - Suspicious Number_of_Pins value.\n"
     "ERROR (line   11) - Duplicate [Number of Pins] keyword\n"
     "ERROR (line   11) - Duplicate Number_of_Pins keyword.\n"
     "WARNING - Pin 'A1' was referenced on Electrical Paths but is implicitly connected to a power or "
     "a gnd plane\n"},
    {"a count of four billion sizes nothing",
     Board("[Number Of Pins] 4000000000\n[Pin List] signal_name\nA1 GND\n[Path Description] p\nPin A1\n"),
     "WARNING - Pin 'A1' was referenced on Electrical Paths but is implicitly connected to a power or "
     "a gnd plane\n"
     "ERROR - Number of Pins <4000000000> not the same as count of Pin Numbers names found <1>.\n"},
    {"header missing, rows before the count, a second pin list",
     Board("[Pin List]\nA1 NC\n[Number Of Pins] 1\n[Pin List] pin_name extra\nA1 NC\n"
           "[Path Description] p\nPin A1\n"),
     "ERROR (line    6) - Unable to find 'signal_name' after [Pin List] keyword.\n"
     "ERROR (line    7) - Number of Pins is zero, unable to add Pin Number.\n"
     "ERROR (line    9) - Duplicate [Pin List] keyword found.\n"},
    {"header words",
     Board("[Number Of Pins] 1\n[Pin List] Pin_Name Signal_Name\nA1 NC\n[Path Description] p\nPin A1\n"),
     "ERROR (line    7) - 'signal_name' column header not found.\n"
     "ERROR (line    7) - Unrecognized data after 'signal_name'\n"},
    {"rows cut, repeated, too many, without or with a long signal",
     Board("[Number Of Pins] 3\n[Pin List] SIGNAL_NAME\nABCDEFGHIJ NC\nABCDEFGHXX\n"
           "C1 a23456789012345678901 extra\nD1 NC\n[Path Description] p\nPin ABCDEFGH Pin C1\n"),
     "ERROR (line    8) - Pin name string too long. will be truncated.\n"
     "ERROR (line    9) - Pin name string too long. will be truncated.\n"
     "ERROR (line    9) - Duplicate Pin <ABCDEFGH>.\n"
     "ERROR (line    9) - No signal_name found\n"
     "ERROR (line   10) - signal_name too long. will be truncated.\n"
     "ERROR (line   10) - Unexpected data after signal_name.\n"
     "ERROR (line   11) - More Pin Numbers names than Number of pins.\n"},
};
INSTANTIATE_TEST_SUITE_P(PinList, EbdFileTest, ::testing::ValuesIn(kPinList), CaseName<Case>);

// ---- Path lines ------------------------------------------------------------------

const Case kPaths[] = {
    {"elements and stray separators",
     PathBoard("Pin 1 / Len=0 L=1n C=1p / Node U1.5\n= Len=1 L=1n C=1p /Fork Pin 2 Endfork\n"),
     "ERROR (line   13) - Unexpected '/' found\n"
     "ERROR (line   14) - Unexpected '=' found\n"},
    {"orphans before the first pin",
     PathBoard("Fork Endfork NC Node U1.1 Len=0 L=1n C=1p / Pin 1\nPin 2\n"),
     "ERROR (line   13) - Detected the start of an orphan 'Fork'\n"
     "ERROR (line   13) - Detected the start of an orphan 'Endfork'\n"
     "ERROR (line   13) - Detected the start of an orphan 'NC'\n"
     "ERROR (line   13) - Detected an orphan 'Node' sub param\n"
     "ERROR (line   13) - Detected the start of an orphan R/L/C section\n"},
    {"unknown tokens, missing names, a section that does not end",
     PathBoard("Pin 1 Frob L=1n\nLen=1 L=1n Pin 2\nLen=1 R=1 / Node\nPin\n"),
     "ERROR (line   13) - Unknown token found: 'Frob'\n"
     "ERROR (line   13) - Unknown token found: 'L'\n"
     "ERROR (line   13) - Unexpected '=' found\n"
     "ERROR (line   13) - Unknown token found: '1n'\n"
     "ERROR (line   14) - Unexpected token 'Pin' found in R/L/C section\n"
     "ERROR (line   14) - Unexpected token '2' found in R/L/C section\n"
     "ERROR (line   14) - Premature end of R/L/C section. Trailing '/' missing\n"
     "ERROR (line   15) -  L and C must be specified when Len != 0\n"
     "ERROR (line   15) - No ref_designatior.pin found after Node sub param\n"
     "ERROR (line   16) - No Pin Name found after Pin sub param\n"},
    {"pin and node names",
     PathBoard("Pin 123456789 Pin x=y Pin x/y Pin Fork\n"
               "Node U1 Node U12345678901.123456789 Node L.1 Node a=b.1 Node a/b.2\n"),
     "ERROR (line   13) - Pin_name string too long. will be truncated.\n"
     "WARNING (line   13) - Found a Pin Name 'x=y' containing '='. Possible syntax error\n"
     "WARNING (line   13) - Found a Pin Name 'x/y' containing '/'. Possible syntax error\n"
     "WARNING (line   13) - Found a Pin Name 'Fork'. Possible syntax error\n"
     "ERROR (line   14) - Invalid Node specified. Missing '.'\n"
     "ERROR (line   14) - Node Reference designator string too long. will be truncated.\n"
     "ERROR (line   14) - Node Pin name string too long. will be truncated.\n"
     "WARNING (line   14) - Found a Node 'L'. Possible syntax error\n"
     "WARNING (line   14) - Found a Node 'a=b' containing '='. Possible syntax error\n"
     "WARNING (line   14) - Found a Node 'a/b' containing '/'. Possible syntax error\n"
     "ERROR - Pin '12345678' used in Path 'p' not defined\n"
     "ERROR - Pin 'x=y' used in Path 'p' not defined\n"
     "ERROR - Pin 'x/y' used in Path 'p' not defined\n"
     "ERROR - Pin 'Fork' used in Path 'p' not defined\n"
     "ERROR - Reference Designator 'U123456789' used in Path 'p' not defined\n"
     "ERROR - Reference Designator 'L' used in Path 'p' not defined\n"
     "ERROR - Reference Designator 'a=b' used in Path 'p' not defined\n"
     "ERROR - Reference Designator 'a/b' used in Path 'p' not defined\n"},
    // A path named like an earlier one is reported and kept: both are walked.
    {"paths of one name",
     PathBoard("Pin 1\n[Path Description] q\nPin 2\n[Path Description] p\nPin 1\n"
               "[Path Description] p\nNode U1.1\n"),
     "ERROR (line   16) - Duplicate Path_Description 'p'\n"
     "ERROR (line   18) - Duplicate Path_Description 'p'\n"
     "ERROR (line   19) - Detected an orphan 'Node' sub param\n"
     "ERROR - Pin '1' was referenced 2 times on Electrical Paths\n"
     "ERROR - Path Descriptor 'p' has no segments\n"},
    {"forks nested, empty, unmatched, open at a new path and at the end",
     PathBoard("Pin 1 Fork Fork Node U1.1 Endfork Endfork Endfork\nFork Endfork NC\n"
               "[Path Description] q\nPin 2 Fork\n[Path Description] r\nPin 1 Fork\n"),
     "ERROR (line   13) - Endfork found without enclosing Fork\n"
     "ERROR (line   14) - Empty Fork/Endfork found\n"
     "ERROR (line   17) - Detected previous unterminated Forks\n"
     "ERROR - Pin '1' was referenced 2 times on Electrical Paths\n"
     "ERROR (line   20) - Detected previous unterminated Forks\n"},
};
INSTANTIATE_TEST_SUITE_P(Paths, EbdFileTest, ::testing::ValuesIn(kPaths), CaseName<Case>);

// A path line whose last word is an item without its value: one message,
// and the section before it is kept. `L` does not begin a section here.
TEST_F(EbdTest, TrailingItemWithoutValue) {
    const char *const lines[][2] = {
        {"Len=0 L=1n C=1p / L", "ERROR (line   14) - Unknown token found: 'L'\n"},
        {"Len=0 L=1n C=1p / Len", "ERROR (line   14) - Premature end of R/L/C section\n"},
        {"Len=0 L=1n C=1p / Len=", "ERROR (line   14) - Premature end of R/L/C section\n"},
    };
    for (const auto &c : lines) {
        EXPECT_EQ(Check("t.ebd", PathBoard(std::string("Pin 1\n") + c[0] + "\nPin 2\n"), FILE_EBD),
                  std::string("\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n") + c[1] +
                      "\nErrors  : 1\n\nFile Failed\n")
            << c[0];
        MSG_ResetCounts();
    }
}

// ---- [Reference Designator Map] and the file-name rule --------------------------

const char kOnePin[] = "[Number Of Pins] 1\n[Pin List] signal_name\n1 NC\n[Path Description] p\nPin 1\n";

const Case kMap[] = {
    {"rows and flag keywords",
     Board(std::string(kOnePin) +
           "[Reference Designator Map] x\nU1 a.ibs Comp One\nU12345678901 b.ebd c\nU1 c.ibs c\nU2\n"
           "U3 d.ibs\nU4 e.ibs 12345678901234567890123456789012345678901\n[Reference Designator Map]\n"),
     "ERROR (line   11) - Extraneous data on 'Reference_Designator_Map' line.\n"
     "ERROR (line   13) - Reference Designator name 'U12345678901' too long. Will be truncated\n"
     "ERROR (line   14) - Duplicate Reference Designator 'U1'\n"
     "ERROR (line   15) - No file name found\n"
     "ERROR (line   15) - No Component name found\n"
     "ERROR (line   16) - No Component name found\n"
     "ERROR (line   17) - Component name '12345678901234567890123456789012345678901' too long. Will "
     "be truncated\n"
     "ERROR (line   18) - Duplicate 'Reference_Designator_Map' keyword found.\n"},
    {"file-name rule at 24 characters",
     Board(std::string(kOnePin) +
           "[Reference Designator Map]\nU1 Board.ibs c\nU2 a.b.ibs c\nU3 noext c\nU4 a.txt c\n"
           "U5 a+b.ibs c\nU6 abcdefghijklmnopqrstuvwxyz.ibs c\nU7 A.IBS c\n"),
     "ERROR (line   12) - File_name 'Board.ibs' contains an upper case character 'B'.\n"
     "ERROR (line   13) - File_name 'a.b.ibs' contains more than one period.\n"
     "ERROR (line   14) - Invalid file name 'noext'. It has no extension\n"
     "ERROR (line   15) - Unknown file extension'.txt'. Should be '.ibs' or '.ebd'\n"
     "ERROR (line   16) - File_name 'a+b.ibs' contains a character '+' that is illegal for DOS.\n"
     "ERROR (line   17) - File name 'abcdefghijklmnopqrstuvwxyz.ibs' too long. Will be truncated\n"
     "ERROR (line   17) - Invalid file name 'abcdefghijklmnopqrstuvwx'. It has no extension\n"
     "ERROR (line   18) - Unknown file extension'.IBS'. Should be '.ibs' or '.ebd'\n"
     "ERROR (line   18) - File_name 'A.IBS' contains an upper case character 'A'.\n"
     "ERROR (line   18) - File_name 'A.IBS' contains an upper case character 'I'.\n"
     "ERROR (line   18) - File_name 'A.IBS' contains an upper case character 'B'.\n"
     "ERROR (line   18) - File_name 'A.IBS' contains an upper case character 'S'.\n"},
    {"file names of 44 characters from version 4",
     Board(std::string(kOnePin) +
               "[Reference Designator Map]\nU1 abcdefghijklmnopqrstuvwxyz.ibs c\n"
               "U2 abcdefghijklmnopqrstuvwxyz0123456789abcdef.ibs c\n",
           "5.0"),
     "ERROR (line   13) - File name 'abcdefghijklmnopqrstuvwxyz0123456789abcdef.ibs' too long. Will "
     "be truncated\n"
     "ERROR (line   13) - Unknown file extension'.i'. Should be '.ibs' or '.ebd'\n"},
};
INSTANTIATE_TEST_SUITE_P(Map, EbdFileTest, ::testing::ValuesIn(kMap), CaseName<Case>);

// ---- Board end -----------------------------------------------------------------------

const Case kBoardEnd[] = {
    {"an empty board, every check in order",
     "[IBIS Ver] 3.2\n[File Name] t.ebd\n[File Rev] 1\n[Begin Board Description]\n[End]\n",
     "ERROR (line    4) - Zero length value for keyword 'Define Ebd Model'.\n"
     "ERROR - Ebd Model keyword 'Begin_Board_Description' not found or blank.\n"
     "ERROR - Keyword 'Manufacturer' not found or blank for Ebd Model ''.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Ebd Model ''.\n"
     "ERROR - Required keyword Pin_List not found.\n"
     "ERROR - EBD Model '' has no paths defined\n"
     "ERROR - Required End_Board_Description keyword not found.\n"},
    {"a pin list without rows, paths without segments",
     Board("[Number Of Pins] 2\n[Pin List] signal_name\n[Path Description] p\n[Path Description] GND\n"),
     "ERROR (line    9) - Illegal use of Reserved Word 'GND'.\n"
     "ERROR - No Pin Numbers names found.\n"
     "ERROR - Path Descriptor 'p' has no segments\n"
     "ERROR - Path Descriptor 'GND' has no segments\n"},
    {"references counted over paths and branches, signal rules, NC",
     Board("[Number Of Pins] 7\n[Pin List] signal_name\n1 sig\n2 sig\n3 GNDA\n4 POWER5\n5 gnd\n6 sig\n7 NA\n"
           "[Path Description] p\nPin 1 Fork Pin 2 Endfork NC Pin 3\n[Path Description] q\n"
           "Pin 2 Fork Fork Pin 4 Endfork Endfork\nPin 5 Pin 5\n"),
     "ERROR - Pin '2' was referenced 2 times on Electrical Paths\n"
     "WARNING - Pin '3' was referenced on Electrical Paths but is implicitly connected to a power or "
     "a gnd plane\n"
     "WARNING - Pin '4' was referenced on Electrical Paths but is implicitly connected to a power or "
     "a gnd plane\n"
     "ERROR - Pin '5' was referenced 2 times on Electrical Paths\n"
     "ERROR - Pin '6' was not referenced on any Electrical Path\n"
     "ERROR - Path p or a branch does not terminate after NC\n"},
    {"flag keywords, the next board, orphans after a board closed",
     "[IBIS Ver] 3.2\n[File Name] t.ebd\n[File Rev] 1\n[Begin Board Description] B\n[Manufacturer] m\n"
     "[Manufacturer] n\n[Number Of Pins] 1\n[Pin List] signal_name\n1 NC\n[Path Description] p\nPin 1\n"
     "[End Board Description] now\n[End Board Description]\n[Begin Board Description] C\n"
     "[Manufacturer] m\ndata\n[Notes] stray\n[Number Of Pins] 2\n3\n[End]\n",
     "ERROR (line    6) - Duplicate 'Manufacturer' keyword.\n"
     "ERROR (line   12) - Extraneous data on 'End_Board_Description' line.\n"
     "ERROR (line   13) - Duplicate 'End_Board_Description' keyword found.\n"
     "ERROR (line   16) - Orphan Data Line.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Ebd Model 'C'.\n"
     "ERROR - Required keyword Pin_List not found.\n"
     "ERROR - EBD Model 'C' has no paths defined\n"
     "ERROR - Required End_Board_Description keyword not found.\n"
     "ERROR (line   17) - Orphan File Header keyword.\n"
     "ERROR (line   18) - Orphan Electrical Board Description keyword.\n"
     "ERROR (line   19) - Orphan Data Line.\n"},
};
INSTANTIATE_TEST_SUITE_P(BoardEnd, EbdFileTest, ::testing::ValuesIn(kBoardEnd), CaseName<Case>);

// ---- Records ---------------------------------------------------------------------------

// The boards of the kept root, newest first.
EBDMDL *Boards() {
    IBIS *root = nullptr;
    EBDMDL *list = nullptr;
    if (IBIS_GetCurrent(&root))
        IBIS_GetEbdModels(root, &list);
    return list;
}

TEST_F(EbdTest, PathsChainTheirElements) {
    Parse("t.ebd",
          PathBoard("Pin 1 / Len=0 L=1n C=1p / Node U1.5\n[Path Description] q\n"
                    "Pin 1 Fork Node U1.1 Fork Node U1.2 Endfork Endfork Node U1.3\n"
                    "[Path Description] r\nPin 2 Endfork Node U1.4 NC\n"),
          FILE_EBD);
    const EBDMDL *b = Boards();
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->name, "B");
    ASSERT_EQ(b->pinCount, 2u);
    EXPECT_STREQ(b->pins[1]->pin, "2");
    EXPECT_STREQ(b->pins[1]->signal, "NC");
    ASSERT_NE(b->map, nullptr);
    EXPECT_STREQ(b->map->file, "x.ibs");
    EXPECT_STREQ(b->map->component, "c");
    EXPECT_EQ(b->map->fileValid, 1);

    // p: a pin, a section and a node.
    const EBDPATH *p = b->paths;
    ASSERT_NE(p, nullptr);
    const EBDELEM *e = p->first;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->kind, EBD_PIN);
    EXPECT_STREQ(e->data.pin, "1");
    ASSERT_NE(e = e->next, nullptr);
    ASSERT_EQ(e->kind, EBD_SECTION);
    EXPECT_EQ(*e->data.section->Len, 0.0);
    EXPECT_EQ(e->data.section->R, nullptr);
    ASSERT_NE(e = e->next, nullptr);
    ASSERT_EQ(e->kind, EBD_NODE);
    EXPECT_STREQ(e->data.node->refdes, "U1");
    EXPECT_STREQ(e->data.node->pin, "5");
    EXPECT_EQ(e->next, nullptr);

    // q: pin -> fork{node 1 -> fork{node 2}} -> node 3.
    const EBDPATH *q = p->next;
    ASSERT_NE(q, nullptr);
    const EBDELEM *outer = q->first->next;
    ASSERT_EQ(outer->kind, EBD_FORK);
    const EBDELEM *n1 = outer->data.branch;
    EXPECT_STREQ(n1->data.node->pin, "1");
    const EBDELEM *inner = n1->next;
    ASSERT_EQ(inner->kind, EBD_FORK);
    EXPECT_STREQ(inner->data.branch->data.node->pin, "2");
    EXPECT_EQ(inner->data.branch->next, nullptr);
    EXPECT_EQ(inner->next, nullptr);
    ASSERT_NE(outer->next, nullptr);
    EXPECT_STREQ(outer->next->data.node->pin, "3");

    // r: an Endfork without a fork leaves the chain as it was.
    const EBDPATH *r = q->next;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->first->kind, EBD_PIN);
    ASSERT_NE(r->first->next, nullptr);
    EXPECT_EQ(r->first->next->kind, EBD_NODE);
    ASSERT_NE(r->first->next->next, nullptr);
    EXPECT_EQ(r->first->next->next->kind, EBD_NC);
    EXPECT_EQ(r->next, nullptr);
}

// Nesting comes from the file: a million forks deep is read, checked and
// freed without recursion.
TEST_F(EbdTest, AMillionNestedForks) {
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    std::string forks = "Pin 1";
    for (int i = 0; i < 1000000; ++i)
        forks += " Fork Node U1.1";
    BoardWithPath(forks, "U1 x.ibs c");
    EBDMDL_EndKeyword(KW_END);
    EBDMDL_CheckAll(Boards(), 0);
    CHECKPASS_EndFile();
    EXPECT_EQ(Output(), "ERROR - Keyword 'Manufacturer' not found or blank for Ebd Model 'B'.\n"
                        "ERROR - Number_of_Pins keyword not found or value bad for Ebd Model 'B'.\n"
                        "ERROR - Required keyword Pin_List not found.\n"
                        "ERROR (line    0) - Detected previous unterminated Forks\n"
                        "ERROR - Pin '1' used in Path 'p' not defined\n"
                        "ERROR - Required End_Board_Description keyword not found.\n"
                        "\nErrors  : 6\n\nFile Failed\n");
}

}  // namespace
