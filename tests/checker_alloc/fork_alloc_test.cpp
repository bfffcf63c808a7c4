// Package pins and board paths whose fork, element or section finds no
// memory: both kinds of list say so (a board path with its own message) and
// nothing more, and nothing is left behind (the sanitizer build checks).
#include <regex>

#include "AllocFail.h"
#include "LineFailure.h"
#include "tests/checker/CheckerTest.h"

namespace {

class ForkAllocTest : public CheckerTest {
protected:
    void SetUp() override {
        CheckerTest::SetUp();
        linefailure::Hook<SECTION_PKGMDL, SECTION_EBDMDL>();
    }
};

const char kPkg[] = "[IBIS Ver] 3.2\n[File Name] t.pkg\n[File Rev] 1\n[Define Package Model] P\n"
                    "[Manufacturer] m\n[OEM] o\n[Description] d\n[Number Of Pins] 1\n"
                    "[Number Of Sections] 3\n[Pin Numbers]\n";
const char kPkgEnd[] = "[End Package Model]\n[End]\n";
const char kEbd[] = "[IBIS Ver] 3.2\n[File Name] t.ebd\n[File Rev] 1\n[Begin Board Description] B\n"
                    "[Manufacturer] m\n[Number Of Pins] 1\n[Pin List] signal_name\n1 s\n"
                    "[Path Description] P1\n";
const char kEbdEnd[] = "[Reference Designator Map]\n[End Board Description]\n[End]\n";
const char kNoMemory[] = "ERROR - Memory allocation failed.  This request ";

struct ForkCase {
    const char *what;
    int kind;
    const char *lines;     // from line 11 (.pkg) or 10 (.ebd) on
    unsigned long failing; // the line of the failing request
    int nth;               // which of its requests fails
    const char *messages;  // between the banner and the summary
};

const ForkCase kForkCases[] = {
    {"a package fork", FILE_PKG,
     "1 Len=0 L=1n C=1p /\nFork\nLen=1 L=1n C=1p /\nEndfork\nLen=0 L=1n C=1p /\n", 12, 1, "24.\n\n"},
    {"a package fork with one nested in it", FILE_PKG,
     "1 Len=0 L=1n C=1p /\nFork\nFork\nLen=1 L=1n C=1p /\nEndfork\nEndfork\nEndfork\n", 12, 1,
     "24.\n\n"},
    {"a package pin's one section", FILE_PKG,
     "1 Len=0 L=1n C=1p /\nLen=1 L=1n C=1p /\n", 11, 5,
     "32.\n\nPROGRAM BUG - Unable to Allocate Memory: IbisParser/sect N\n"},
    {"a board fork", FILE_EBD,
     "Pin 1 Len=0 L=1n C=1p /\nFork\nNC\nEndfork\nLen=1 L=1n C=1p /\n", 11, 1,
     "32.\n\nERROR (line   11) - Could not allocate path element\n"},
    {"a board path's pin", FILE_EBD,
     "Pin 1\nLen=1 L=1n C=1p / Fork NC Endfork\n", 10, 1,
     "32.\n\nERROR (line   10) - Cannot allocate path element\n"},
};

TEST_F(ForkAllocTest, WhatMemoryLosesIsNotReportedAsTheFilesFault) {
    for (const ForkCase &c : kForkCases) {
        const bool pkg = c.kind == FILE_PKG;
        const std::string text =
            std::string(pkg ? kPkg : kEbd) + c.lines + (pkg ? kPkgEnd : kEbdEnd);
        const char *name = pkg ? "t.pkg" : "t.ebd";
        linefailure::g_line = 0;
        const std::string clean = Check(name, text, c.kind);
        linefailure::g_line = c.failing;
        linefailure::g_nth = c.nth;
        const std::string out = Check(name, text, c.kind);
        linefailure::g_line = 0;
        const std::string banner = std::string("\nChecking ") + name + " for IBIS 3.2 Compatibility...\n\n";
        ASSERT_EQ(out.rfind(banner, 0), 0u) << c.what;
        size_t summary = out.find("\nBugs    :");
        if (summary == std::string::npos)
            summary = out.find("\nErrors  :");
        ASSERT_NE(summary, std::string::npos) << out;
        EXPECT_EQ(std::regex_replace(out.substr(banner.size(), summary - banner.size()),
                                     std::regex("(IbisParser/[a-z]+) [0-9]+"), "$1 N"),
                  kNoMemory + std::string(c.messages))
            << c.what << "\nclean:\n" << clean;
        ExpectFailedCheckPass(clean, out, 1);
    }
}

}  // namespace
