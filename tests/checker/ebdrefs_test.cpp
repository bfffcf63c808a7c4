// The end pass of board files: duplicate boards, references within the
// file, and the check pass of each other file referenced, with the pins
// looked up in it. Each test writes a directory of files and compares the
// whole output of checking the board file.
#include <string>

#include "BoardLines.h"
#include "CheckerTest.h"
#include "IbisParser/ebdmdl.h"

namespace {

using EbdRefsTest = CheckerTest;

std::string Head(const std::string &version, const std::string &file) {
    return "[IBIS Ver] " + version + "\n[File Name] " + file + "\n[File Rev] 1\n";
}

// A board with one pin per name of `pins` (signal NC), one path of `path`
// and the map rows `map`.
std::string Board(const std::string &name, const std::string &pins, const std::string &path,
                  const std::string &map) {
    std::string rows;
    int count = 0;
    for (size_t at = 0; at < pins.size(); ++count) {
        size_t end = pins.find(' ', at);
        if (end == std::string::npos)
            end = pins.size();
        rows += pins.substr(at, end - at) + " NC\n";
        at = end + 1;
    }
    return "[Begin Board Description] " + name + "\n[Manufacturer] m\n[Number Of Pins] " +
           std::to_string(count) + "\n[Pin List] signal_name\n" + rows + "[Path Description] p\n" + path +
           "\n[Reference Designator Map]\n" + map + "[End Board Description]\n";
}

TEST_F(EbdRefsTest, DuplicateBoardsOncePerPair) {
    const std::string b = Board("B", "1", "Pin 1", "");
    std::string out = Check("t.ebd", Head("3.2", "t.ebd") + b + b + Board("C", "1", "Pin 1", "") + b + "[End]\n",
                            FILE_EBD);
    EXPECT_EQ(out, "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n"
                   "ERROR - Board Description 'B' is duplicated within the .ebd file.\n"
                   "ERROR - Board Description 'B' is duplicated within the .ebd file.\n"
                   "ERROR - Board Description 'B' is duplicated within the .ebd file.\n"
                   "\nErrors  : 3\n\nFile Failed\n");
}

TEST_F(EbdRefsTest, BoardsOfThisFileAndOfOtherBoardFiles) {
    Write("other.ebd", Head("3.2", "other.ebd") +
                           Board("O", "1", "Pin 1 Node U1.1 Node U2.1",
                                 "U1 board.ebd B\nU2 far.ebd F\n") +
                           "[End]\n");
    std::string out = Check(
        "board.ebd",
        Head("5.0", "board.ebd") +
            Board("B", "1 2",
                  "Pin 1 Node U1.1 Node U2.3 Node U8.1 Node U6.1 Node U7.1\n"
                  "Pin 2 Node U1.2 Node U2.1 Node U6.9",
                  "U1 board.ebd B\nU2 board.ebd C\nU6 other.ebd O\nU7 missing.ebd M\nU8 board.ebd Z\n") +
            Board("C", "1", "Pin 1 Node U9.1", "U9 other.ebd O\n") + "[End]\n",
        FILE_EBD);
    EXPECT_EQ(out, "\nChecking board.ebd for IBIS 5.0 Compatibility...\n\n"
                   "ERROR -\n    Reference Designator 'U1' refers to the Component 'B' itself being defined\n"
                   "ERROR - Pin '3' not found on Component 'C' in file 'board.ebd'\n"
                   "ERROR - Component 'Z' not found in file 'board.ebd'\n"
                   // Files in the order they were first referenced, newest first.
                   "ERROR - Unable To Open File 'missing.ebd'\n"
                   "ERROR - Could not determine Version for file missing.ebd\n"
                   "\nErrors  : 2\n\nFile Failed\n"
                   "\nChecking other.ebd for IBIS 3.2 Compatibility...\n\n"
                   "ERROR - Ebd file 'other.ebd' recursively references the component B in the calling "
                   "Ebd file 'board.ebd'\n"
                   "ERROR - Pin '9' not found on Component 'O' in file 'other.ebd'\n"
                   "\nErrors  : 2\n\nFile Failed\n"
                   "\nErrors  : 7\n\nFile Failed\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 5);
}

TEST_F(EbdRefsTest, AReferencedBoardFileWithoutBoards) {
    Write("empty.ebd", Head("3.2", "empty.ebd") + "[End]\n");
    std::string out = Check("t.ebd", Head("3.2", "t.ebd") + Board("B", "1", "Pin 1 Node U1.1", "U1 empty.ebd E\n") +
                                         "[End]\n",
                            FILE_EBD);
    EXPECT_EQ(out, "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n"
                   "\nChecking empty.ebd for IBIS 3.2 Compatibility...\n\n"
                   "ERROR - Component 'E' not found in file 'empty.ebd'\n"
                   "\nErrors  : 1\n\nFile Failed\n"
                   "\nErrors  : 1\n\nFile Failed\n");
}

TEST_F(EbdRefsTest, NothingIsResolvedWithoutAHeaderOrAValidEntry) {
    // Map rows whose file name broke the rule, or that name no component,
    // are not followed; nor is anything in a file without a header.
    std::string out = Check("t.ebd", Head("3.2", "t.ebd") +
                                         Board("B", "1", "Pin 1 Node U1.1 Node U2.1",
                                               "U1 Gone.ebd G\nU2 gone.ebd\n") +
                                         "[End]\n",
                            FILE_EBD);
    EXPECT_EQ(out, "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n"
                   "ERROR (line   12) - File_name 'Gone.ebd' contains an upper case character 'G'.\n"
                   "ERROR (line   13) - No Component name found\n"
                   "\nErrors  : 2\n\nFile Failed\n");


    // A root without a header (its allocation failed): no file name to
    // compare with, so no reference is followed.
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    BoardWithPath("Pin 1 Node U1.1", "U1 other.ebd O");
    EBDMDL_EndKeyword(KW_END);
    Output();
    CHECKPASS_RunChecks(FILE_EBD, 0);
    EXPECT_EQ(Output(), "");
    CHECKPASS_EndFile();
}

// A nested pass that moves the remembered directory and the IBIS version
// leaves the next referenced file to be found where the boards' file lies.
TEST_F(EbdRefsTest, EachReferencedFileIsLookedForBesideTheBoardFile) {
    static int s_calls;
    s_calls = 0;
    IBIS_checks.mdlCheckAddSubmodelRefs = [](MDL *, SUBMDL *) {
        ++s_calls;
        CMN_SetBaseDirectory("elsewhere/");
        PARSE_SetIbisVersion(2);
    };
    Write("a.ibs", Head("3.2", "a.ibs") + "[End]\n");
    Write("b.ebd", Head("3.2", "b.ebd") + Board("X", "1", "Pin 1", "") + "[End]\n");
    std::string out = Check("t.ebd", Head("5.0", "t.ebd") +
                                         Board("B", "1", "Pin 1 Node U2.1 Node U1.1",
                                               "U1 a.ibs A\nU2 b.ebd X\n") +
                                         "[End]\n",
                            FILE_EBD);
    EXPECT_EQ(s_calls, 1);
    EXPECT_EQ(out, "\nChecking t.ebd for IBIS 5.0 Compatibility...\n\n"
                   "\nChecking a.ibs for IBIS 3.2 Compatibility...\n\n"
                   "ERROR - Required keyword 'Component' not found.\n"
                   "ERROR - Component 'A' not found in file 'a.ibs'\n"
                   "\nErrors  : 2\n\nFile Failed\n"
                   "\nChecking b.ebd for IBIS 3.2 Compatibility...\n\n"
                   "Errors  : 0\n\nFile Passed\n"
                   "\nErrors  : 2\n\nFile Failed\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 5);
}

// A FIFO, a directory or a device is missing like a file that is not
// there, at once.
TEST_F(EbdRefsTest, ReferencedNamesThatAreNoRegularFiles) {
    WriteFifo("hang.ibs");
    WriteDirectory("dir.ebd");
    WriteDevice("zero.ibs");
    HangGuard guard;
    std::string out = Check("t.ebd", Head("3.2", "t.ebd") +
                                         Board("B", "1", "Pin 1 Node U1.1 Node U2.1 Node U3.1 Node U4.1",
                                               "U1 hang.ibs c\nU2 dir.ebd d\nU3 zero.ibs z\n"
                                               "U4 none.ibs n\n") +
                                         "[End]\n",
                            FILE_EBD);
    std::string expected = "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n";
    for (const char *name : {"none.ibs", "zero.ibs", "dir.ebd", "hang.ibs"})
        expected += std::string("ERROR - Unable To Open File '") + name +
                    "'\nERROR - Could not determine Version for file " + name +
                    "\n\nErrors  : 2\n\nFile Failed\n";
    EXPECT_EQ(out, expected + "\nErrors  : 8\n\nFile Failed\n");
}

TEST_F(EbdRefsTest, PinsOfComponentsInAnIbsFile) {
    // bare has no [Pin]: it holds no pin.
    Write("ref.ibs", Head("3.2", "ref.ibs") +
                         "[Component] chip\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\n"
                         "C_pkg 1p 1p 1p\n[Pin] signal_name model_name\n1 a POWER\n2 b GND\n"
                         "[Component] bare\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\n"
                         "L_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n[End]\n");
    const std::string board =
        Head("3.2", "t.ebd") +
        Board("B", "1", "Pin 1 Node U1.1 Node U1.3 Node U1.123456 Node U2.1 Node U3.1",
              "U1 ref.ibs chip\nU2 ref.ibs bare\nU3 ref.ibs nothere\n") +
        "[End]\n";
    // Newest reference first.
    EXPECT_EQ(Check("t.ebd", board, FILE_EBD),
              "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n"
              "\nChecking ref.ibs for IBIS 3.2 Compatibility...\n\n"
              "ERROR - Unable to find Pin keyword data for Component 'bare'.\n"
              "ERROR - Component 'nothere' not found in file 'ref.ibs'\n"
              "ERROR - Pin '1' not found on Component 'bare' in file 'ref.ibs'\n"
              "ERROR - Length of Pin '123456' referenced for Component 'chip' is too long\n"
              "ERROR - Pin '3' not found on Component 'chip' in file 'ref.ibs'\n"
              "\nErrors  : 5\n\nFile Failed\n"
              "\nErrors  : 5\n\nFile Failed\n");
}

// Each referenced file's pass reads the package files that define its
// package model for itself, with their messages, and reports what none
// defines; the directory is the same for all of them.
TEST_F(EbdRefsTest, EveryReferencedFileSearchesThePackageFiles) {
    const std::string model = "[Manufacturer] m\n[OEM] o\n[Number Of Pins] 1\n[Pin Numbers]\n1\n"
                              "[Model Data]\n[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n"
                              "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n[End Model Data]\n"
                              "[End Package Model]\n";
    Write("a.pkg", Head("3.2", "a.pkg") + "[Define Package Model] PKG1\n[Description] d\n" + model + "[End]\n");
    Write("b.pkg", Head("3.2", "b.pkg") + "[Define Package Model] PKG1_BIG\n" + model + "[End]\n");
    Write("c.pkg", Head("3.2", "c.pkg") + "[Define Package Model] OTHER\n" + model + "[End]\n");
    auto ibs = [&](const std::string &name, const std::string &component, const std::string &package) {
        Write(name, Head("3.2", name) + "[Component] " + component + "\n[Manufacturer] m\n[Package Model] " +
                        package + "\n[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n"
                        "[Pin] signal_name model_name\n1 s POWER\n[End]\n");
    };
    ibs("x.ibs", "X", "PKG1");
    ibs("y.ibs", "Y", "PKG2");
    ibs("z.ibs", "Z", "PKG1");
    const std::string read =
        "\nChecking a.pkg for IBIS 3.2 Compatibility...\n\n"
        "\nChecking b.pkg for IBIS 3.2 Compatibility...\n\n"
        "ERROR - Description keyword not found for Package Model 'PKG1_BIG'.\n";
    EXPECT_EQ(Check("t.ebd", Head("3.2", "t.ebd") +
                                 Board("B", "1", "Pin 1 Node U1.1 Node U2.1 Node U3.1",
                                       "U1 x.ibs X\nU2 y.ibs Y\nU3 z.ibs Z\n") +
                                 "[End]\n",
                    FILE_EBD),
              "\nChecking t.ebd for IBIS 3.2 Compatibility...\n\n"
              "\nChecking z.ibs for IBIS 3.2 Compatibility...\n\n" +
                  read + "\nErrors  : 1\n\nFile Failed\n"
                  "\nChecking y.ibs for IBIS 3.2 Compatibility...\n\n"
                  "ERROR - Unable to find Package Model 'PKG2' for Component 'Y'\n"
                  "\nErrors  : 1\n\nFile Failed\n"
                  "\nChecking x.ibs for IBIS 3.2 Compatibility...\n\n" +
                  read + "\nErrors  : 1\n\nFile Failed\n"
                  "\nErrors  : 3\n\nFile Failed\n");
}

}  // namespace
