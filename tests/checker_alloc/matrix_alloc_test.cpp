// Package matrices when memory runs out: a row that cannot be made is not
// added, a value that finds no room is dropped, and the matrix goes on with
// the next line, judged no more; with every request of a pass failing in
// turn nothing is left behind or freed twice (the sanitizer build checks).
#include "AllocFail.h"
#include "IbisParser/mtx.h"
#include "IbisParser/row.h"
#include "LineFailure.h"
#include "tests/checker/PackageTest.h"

namespace {

class MatrixAllocTest : public PackageTest {
protected:
    void SetUp() override {
        PackageTest::SetUp();
        linefailure::Hook<SECTION_PKGMDL>();
    }
    // The model's messages with the first request of line `line` failing.
    std::string ModelFailingAt(unsigned long line, int pins, const std::string &body) {
        linefailure::g_line = line;
        std::string out = Model(pins, body);
        linefailure::g_line = 0;
        return out;
    }
};

// One sparse row of 20 entries: 16 fill its matrix's first block, the 17th
// needs a new one.
std::string LongSparseRow() {
    std::string s = "[Inductance Matrix] Sparse_matrix\n[Row] 1\n";
    for (int c = 1; c <= 20; ++c)
        s += std::to_string(c) + " " + std::to_string(c) + "n\n";
    for (int r = 2; r <= 24; ++r)
        s += "[Row] " + std::to_string(r) + "\n" + std::to_string(r) + " 1n\n";
    return s;
}

struct FailCase {
    const char *what;
    unsigned long line;  // the line whose first request fails
    int pins;
    std::string body;
    const char *messages;
};

const FailCase kFailCases[] = {
    {"a row that cannot be made is not added", 14, 2,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 1n\n[Row] 2\n1n\n",
     "ERROR - Memory allocation failed.  This request 280.\n\n"
     "ERROR (line   14) - Unable to add new matrix row.\n"},
    {"a value that finds no room is dropped, the next one is kept", 53, 24, LongSparseRow(),
     "ERROR - Memory allocation failed.  This request 536.\n\n"
     "ERROR (line   53) - Unable to add row data.\n"},
};

TEST_F(MatrixAllocTest, RequestsThatFail) {
    for (const FailCase &c : kFailCases)
        EXPECT_EQ(ModelFailingAt(c.line, c.pins, c.body), c.messages) << c.what;
}

TEST_F(MatrixAllocTest, ARowKeepsItsValuesPastADroppedOne) {
    ModelFailingAt(53, 24, LongSparseRow());
    const ROW *row = Models()->Inductance->rows;
    ASSERT_EQ(row->filled, 19u);
    for (uint32_t i = 0, c = 1; i < row->filled; ++i, ++c) {
        c += c == 17;  // the dropped entry
        EXPECT_EQ(row->columns[i], c);
        EXPECT_EQ(row->values[i], c * 1e-9);
    }
}

TEST_F(MatrixAllocTest, EveryRequestOfAPassFails) {
    // Full rows that grow in place and move, a banded matrix that turns
    // circle-back, and sparse rows.
    std::string full = "[Resistance Matrix] Full_matrix\n";
    std::string band = "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n";
    for (int r = 1; r <= 40; ++r) {
        full += "[Row] " + std::to_string(r) + "\n";
        for (int c = r; c <= 40; ++c)
            full += " 1";
        full += "\n";
        band += "[Row] " + std::to_string(r) + "\n1n 1n\n";
    }
    const std::string text =
        Preamble(40) + full + band + Diagonal(40) + "[End Model Data]\n[End Package Model]\n[End]\n";
    const std::string clean = Check("t.pkg", text, FILE_PKG);
    ASSERT_NE(clean.find("File Passed"), std::string::npos) << clean;
    std::string seen;
    const int64_t requests = FailEachRequestInTurn(
        [&] { return Check("t.pkg", text, FILE_PKG); },
        [&](const std::string &whole, const std::string &out, int64_t n) {
            EXPECT_NE(out, whole) << "request " << n;
            ExpectFailedCheckPass(whole, out, n);
            seen += out;
        });
    EXPECT_EQ(Check("t.pkg", text, FILE_PKG), clean);
    EXPECT_GT(requests, 50);  // 40 names, and the blocks of three matrices
    EXPECT_NE(seen.find("Unable to add new matrix row."), std::string::npos);
    EXPECT_NE(seen.find("Unable to add row data."), std::string::npos);
}

}  // namespace
