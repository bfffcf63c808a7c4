// R/L/C sections: one section per call, its items in any order after Len,
// and the messages of each fault.
#include <cmath>

#include "CheckerTest.h"
#include "IbisParser/sect.h"

namespace {

using SectTest = CheckerTest;

const double kAbsent = NAN;

struct SectCase {
    const char *text;
    int result;
    bool section;
    double len, l, r, c;  // kAbsent for an item not given
    const char *rest;     // where the next call starts
    const char *messages;
};

const SectCase kCases[] = {
    {"Len=0 L=1n C=1p /", 1, true, 0, 1e-9, kAbsent, 1e-12, "", ""},
    {"  ", 1, false, 0, 0, 0, 0, "", ""},
    {"", 1, false, 0, 0, 0, 0, "", ""},
    {"Len=1 R=0.1 /", 1, true, 1, kAbsent, 0.1, kAbsent, "",
     "ERROR (line    7) -  L and C must be specified when Len != 0\n"},
    {"/", 1, true, kAbsent, kAbsent, kAbsent, kAbsent, "",
     "ERROR (line    7) - Empty R/L/C section found\n"},
    {"Len=1 L=1n C=1p", 0, false, 0, 0, 0, 0, "",
     "ERROR (line    7) - Premature end of R/L/C section. Trailing '/' missing\n"},
    {"R=1 Len=1 L=1n C=1p /", 1, true, 1, 1e-9, 1, 1e-12, "",
     "ERROR (line    7) - Len should be specified before R\n"},
    {"Len=1 Len=2 L=1n C=1p /", 1, true, 2, 1e-9, kAbsent, 1e-12, "",
     "ERROR (line    7) - Duplicate Len sub param in R/L/C section\n"},
    {"L=1n C=1p Len=0 /", 1, true, 0, 1e-9, kAbsent, 1e-12, "",
     "ERROR (line    7) - Len should be specified before L\n"
     "ERROR (line    7) - Len should be specified before C\n"},
    {"Len=0 L=1n L=2n C=1p C=2p R=1 R=2 /", 1, true, 0, 2e-9, 2, 2e-12, "",
     "ERROR (line    7) - Duplicate L sub param in R/L/C section\n"
     "ERROR (line    7) - Duplicate C sub param in R/L/C section\n"
     "ERROR (line    7) - Duplicate R sub param in R/L/C section\n"},
    {"Len=-1 L=-1n C=1p R=-2 /", 1, true, -1, -1e-9, -2, 1e-12, "",
     "ERROR (line    7) - Len should not be less than zero\n"
     "ERROR (line    7) - L should not be less than zero\n"
     "ERROR (line    7) - R should not be less than zero\n"},
    {"Len=0 C=-1p /", 1, true, 0, kAbsent, kAbsent, -1e-12, "",
     "ERROR (line    7) - C should not be less than zero\n"},
    // Two sections on one text: the first call stops behind the first '/'.
    {"Len=0 L=1n C=1p / Len=1 L=2n C=2p /", 1, true, 0, 1e-9, kAbsent, 1e-12,
     "Len=1 L=2n C=2p /", ""},
    // A faulty item is reported and skipped; reading goes on after it.
    {"Len=0 X=1 L=1n C=1p /", 1, true, 0, 1e-9, kAbsent, 1e-12, "",
     "ERROR (line    7) - Unexpected token 'X' found in R/L/C section\n"
     "ERROR (line    7) - Unexpected '=' found\n"
     "ERROR (line    7) - Unexpected token '1' found in R/L/C section\n"},
    {"X /", 1, true, kAbsent, kAbsent, kAbsent, kAbsent, "",
     "ERROR (line    7) - Unexpected token 'X' found in R/L/C section\n"
     "ERROR (line    7) - Empty R/L/C section found\n"},
    // An item without its value that ends the text is no section: the item
    // reader's message alone. After another item the section is cut short.
    {"Len=", 1, false, 0, 0, 0, 0, "", "ERROR (line    7) - Premature end of R/L/C section\n"},
    {" Len ", 1, false, 0, 0, 0, 0, "", "ERROR (line    7) - Premature end of R/L/C section\n"},
    {"L", 1, false, 0, 0, 0, 0, "", "ERROR (line    7) - Premature end of R/L/C section\n"},
    {"Len=0 L", 0, false, 0, 0, 0, 0, "",
     "ERROR (line    7) - Premature end of R/L/C section\n"
     "ERROR (line    7) - Premature end of R/L/C section. Trailing '/' missing\n"},
};

void ExpectItem(const double *item, double want, const char *what, const char *text) {
    if (std::isnan(want)) {
        EXPECT_EQ(item, nullptr) << what << " of " << text;
    } else {
        ASSERT_NE(item, nullptr) << what << " of " << text;
        EXPECT_DOUBLE_EQ(*item, want) << what << " of " << text;
    }
}

TEST_F(SectTest, OneSectionPerCall) {
    MSG_SetLineNumber(7);
    for (const SectCase &c : kCases) {
        SECT *s = reinterpret_cast<SECT *>(1);
        const char *rest = nullptr;
        EXPECT_EQ(SECT_ParseSection(c.text, &s, &rest), c.result) << c.text;
        EXPECT_EQ(Output(), c.messages) << c.text;
        if (!c.section) {
            EXPECT_EQ(s, nullptr) << c.text;
            continue;
        }
        ASSERT_NE(s, nullptr) << c.text;
        ExpectItem(s->Len, c.len, "Len", c.text);
        ExpectItem(s->L, c.l, "L", c.text);
        ExpectItem(s->R, c.r, "R", c.text);
        ExpectItem(s->C, c.c, "C", c.text);
        EXPECT_STREQ(rest, c.rest) << c.text;
        SECT_Free(s);
    }
}

TEST_F(SectTest, CallerWalksALineSectionBySection) {
    char line[] = "Len=0 L=1n C=1p / Len=1 L=2n C=2p R=1 /   ";
    char *cur = line;
    int count = 0;
    for (;;) {
        SECT *s = nullptr;
        ASSERT_EQ(SECT_ParseSection(cur, &s, &cur), 1);
        if (s == nullptr)
            break;
        ++count;
        SECT_Free(s);
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Output(), "");
    SECT_Free(nullptr);
}

}  // namespace
