// R/L/C sections: one section per call, its items in any order after Len,
// and the messages of each fault; the lists with forks that hold them.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "CheckerTest.h"
#include "IbisParser/sect.h"

namespace {

using SectTest = CheckerTest;

const double kAbsent = NAN;

// Each text, what the call returns, whether it gives a section and its items
// (kAbsent for one not given), where the next call starts, and the messages,
// one a line, each reported as an error of line 7.
const struct {
    const char *text; int result; bool section; double len, l, r, c; const char *rest, *messages;
} kCases[] = {
    {"Len=0 L=1n C=1p /", 1, true, 0, 1e-9, kAbsent, 1e-12, "", ""},
    {"  ", 1, false, 0, 0, 0, 0, "", ""},
    {"", 1, false, 0, 0, 0, 0, "", ""},
    {"Len=1 R=0.1 /", 1, true, 1, kAbsent, 0.1, kAbsent, "", " L and C must be specified when Len != 0"},
    {"/", 1, true, kAbsent, kAbsent, kAbsent, kAbsent, "", "Empty R/L/C section found"},
    {"Len=1 L=1n C=1p", 0, false, 0, 0, 0, 0, "", "Premature end of R/L/C section. Trailing '/' missing"},
    {"R=1 Len=1 L=1n C=1p /", 1, true, 1, 1e-9, 1, 1e-12, "", "Len should be specified before R"},
    {"Len=1 Len=2 L=1n C=1p /", 1, true, 2, 1e-9, kAbsent, 1e-12, "",
     "Duplicate Len sub param in R/L/C section"},
    {"L=1n C=1p Len=0 /", 1, true, 0, 1e-9, kAbsent, 1e-12, "",
     "Len should be specified before L\nLen should be specified before C"},
    {"Len=0 L=1n L=2n C=1p C=2p R=1 R=2 /", 1, true, 0, 2e-9, 2, 2e-12, "",
     "Duplicate L sub param in R/L/C section\nDuplicate C sub param in R/L/C section\n"
     "Duplicate R sub param in R/L/C section"},
    {"Len=-1 L=-1n C=1p R=-2 /", 1, true, -1, -1e-9, -2, 1e-12, "",
     "Len should not be less than zero\nL should not be less than zero\nR should not be less than zero"},
    {"Len=0 C=-1p /", 1, true, 0, kAbsent, kAbsent, -1e-12, "", "C should not be less than zero"},
    // Two sections on one text: the first call stops behind the first '/'.
    {"Len=0 L=1n C=1p / Len=1 L=2n C=2p /", 1, true, 0, 1e-9, kAbsent, 1e-12, "Len=1 L=2n C=2p /", ""},
    // A faulty item is reported and skipped; reading goes on after it.
    {"Len=0 X=1 L=1n C=1p /", 1, true, 0, 1e-9, kAbsent, 1e-12, "",
     "Unexpected token 'X' found in R/L/C section\nUnexpected '=' found\n"
     "Unexpected token '1' found in R/L/C section"},
    {"X /", 1, true, kAbsent, kAbsent, kAbsent, kAbsent, "",
     "Unexpected token 'X' found in R/L/C section\nEmpty R/L/C section found"},
    // An item without its value that ends the text is no section: the item
    // reader's message alone. After another item the section is cut short.
    {"Len=", 1, false, 0, 0, 0, 0, "", "Premature end of R/L/C section"},
    {" Len ", 1, false, 0, 0, 0, 0, "", "Premature end of R/L/C section"},
    {"L", 1, false, 0, 0, 0, 0, "", "Premature end of R/L/C section"},
    {"Len=0 L", 0, false, 0, 0, 0, 0, "",
     "Premature end of R/L/C section\nPremature end of R/L/C section. Trailing '/' missing"},
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
    for (const auto &c : kCases) {
        SECT *s = reinterpret_cast<SECT *>(1);
        const char *rest = nullptr;
        EXPECT_EQ(SECT_ParseSection(c.text, &s, &rest), c.result) << c.text;
        std::string messages, line;
        for (std::istringstream in(c.messages); std::getline(in, line);)
            messages += "ERROR (line    7) - " + line + "\n";
        EXPECT_EQ(Output(), messages) << c.text;
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
    int count = 0;
    for (char *cur = line;; ++count) {
        SECT *s = nullptr;
        ASSERT_EQ(SECT_ParseSection(cur, &s, &cur), 1);
        if (s == nullptr)
            break;
        SECT_Free(s);
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Output(), "");
    SECT_Free(nullptr);
}

// Lists with forks of numbered items, built from a script of words, and
// their picture: items by number, a fork's branch in parentheses.
struct TestElement {
    TestElement *next;
    int32_t kind;  // SECT_FORK, or 1 for an item
    union { TestElement *branch; int number; } data;
};

TestElement **TestBranchOf(TestElement *fork) { return &fork->data.branch; }
int g_freed = 0;
void CountFreed(TestElement *) { ++g_freed; }

// Runs the words on the list: a number links an item, F opens a fork, E
// closes one, | starts the next list in heads[]. What the steps reported.
std::string RunForkScript(SECT_FORKLIST<TestElement> *list, TestElement **heads, const char *script) {
    static const char *const kClosed[] = {"", "empty ", "nofork "};
    std::istringstream words(script);
    std::string word, reports;
    for (TestElement **head = heads; words >> word;) {
        if (word == "F") {
            reports += SECT_OpenFork(list, head) != nullptr ? "" : "nomemory ";
        } else if (word == "E") {
            reports += kClosed[SECT_CloseFork(list)];
        } else if (word == "|") {
            reports += SECT_StartList(list) ? "dropped " : "";
            ++head;
        } else if (TestElement *e = SECT_NewElement<TestElement>(1)) {
            e->data.number = atoi(word.c_str());
            SECT_Link(list, head, e);
        }
    }
    return reports;
}

std::string Picture(const TestElement *e) {
    std::string s;
    for (; e != nullptr; e = e->next)
        s += (s.empty() ? "" : " ") +
             (e->kind == SECT_FORK ? "(" + Picture(e->data.branch) + ")" : std::to_string(e->data.number));
    return s;
}

// Each script, the lists it builds (separated by " | "), what its steps
// reported and how many elements SECT_FreeList frees.
const struct { const char *script, *pictures, *reports; int elements; } kForkCases[] = {
    {"1 2 3", "1 2 3", "", 3},
    {"1 F 2 E 3", "1 (2) 3", "", 4},
    {"1 F 2 F 3 E 4 E 5", "1 (2 (3) 4) 5", "", 7},
    {"F F 1 E E 2", "((1)) 2", "", 4},
    // A closed inner fork is followed inside the outer branch.
    {"F F E 1 E", "(() 1)", "empty ", 3},
    {"1 F E 2", "1 () 2", "empty ", 3},
    // An Endfork without a fork, also right after one, leaves the chain.
    {"1 E 2 E", "1 2", "nofork nofork ", 2},
    {"F 1 E E 2", "(1) 2", "nofork ", 3},
    // The next list starts with no fork open and nothing current.
    {"1 F 2 | 3 F 4 E | E 5", "1 (2) | 3 (4) | 5", "dropped nofork ", 7},
};

TEST(ForkListTest, ScriptsBuildTheirLists) {
    for (const auto &c : kForkCases) {
        SECT_FORKLIST<TestElement> list = {TestBranchOf, nullptr, nullptr, 0, 0};
        TestElement *heads[3] = {};
        EXPECT_EQ(RunForkScript(&list, heads, c.script), c.reports) << c.script;
        std::string pictures;
        g_freed = 0;
        for (TestElement *head : heads) {
            if (head == nullptr)
                continue;
            pictures += (pictures.empty() ? "" : " | ") + Picture(head);
            SECT_FreeList(head, TestBranchOf, CountFreed);
        }
        EXPECT_EQ(pictures, c.pictures) << c.script;
        EXPECT_EQ(g_freed, c.elements) << c.script;
        SECT_EndList(&list);
        EXPECT_EQ(list.open, nullptr);
    }
}

}  // namespace
