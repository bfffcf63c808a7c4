// Package matrices and rows: full, banded and sparse rows, the circle-back
// conversion, [Bandwidth], and the checks when a matrix closes.
#include "PackageTest.h"
#include "IbisParser/mtx.h"
#include "IbisParser/row.h"

namespace {

using MatrixTest = PackageTest;

// Banded, N 5, B 1: the second value of the fifth row turns it circle-back.
const char kCircleBack[] =
    "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
    "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n 1n\n";
// A second [Resistance Matrix] keeps the first, which takes the block's
// rows while the inductance matrix stays open.
const char kKeptMatrix[] =
    "[Resistance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1 1\n[Row] 2\n1 1\n[Row] 3\n1 1\n"
    "[Row] 4\n1 1\n[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Resistance Matrix]\n"
    "[Row] 5\n1 1\n";

// Banded, N 5, B 3, then the keyword again with a narrower band: the rows
// keep the band they were read with, and the last one takes no second value
// (it cannot turn circle-back at B 3).
const char kBandAfterRows[] =
    "[Inductance Matrix] Banded_matrix\n[Bandwidth] 3\n[Row] 1\n1n 1n 1n 1n\n[Row] 2\n1n 1n 1n 1n\n"
    "[Row] 3\n1n 1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n\n[Inductance Matrix] Banded_matrix\n"
    "[Bandwidth] 1\n[Row] 5\n1n 1n\n";

struct MatrixCase {
    const char *what;
    int pins;          // the body starts on line 11 + pins
    const char *body;  // the [Model Data] content
    std::string messages;
};

std::string At(int line, const std::string &text) {
    char head[32];
    snprintf(head, sizeof head, "ERROR (line %4d) - ", line);
    return head + text + "\n";
}
const char kEnding[] = " in Matrix ending previous to this line";
// A row with fewer columns than its place holds, for rows first..last.
std::string Columns(int line, int want, int first, int last, int found) {
    std::string out;
    for (int r = first; r <= last; ++r)
        out += At(line, "Expected " + std::to_string(want) + " columns of Row data for [Row] " +
                            std::to_string(r) + kEnding + ", found " + std::to_string(found) +
                            (found == 1 ? " column." : " columns."));
    return out;
}
// A matrix closed with a row count other than the pins'.
std::string Rows(int line, int want, int found) {
    return At(line, "Expected " + std::to_string(want) + " Rows, found " + std::to_string(found) +
                        " for Matrix ending previous to this line.");
}
// A row found at another index than its pin's, after a row of its name when
// repeated.
std::string Misplaced(int line, int pin, int index, int found, bool repeated = true) {
    const std::string p = "<" + std::to_string(pin) + ">";
    return (repeated ? At(line, "Repeated ROW " + p + ".") : "") +
           At(line, "Expected Pin " + p + " at matrix row index " + std::to_string(index) +
                        ", found at matrix row index " + std::to_string(found) + ".");
}
std::string Lower(int line) {
    return At(line, "This Row Column Index defines an entry in the lower matrix triangle.");
}
std::string NoPin(int line, const std::string &pin) {
    return At(line, "Unable to find Pin <" + pin + "> in Package Model Pin_Number list.");
}
std::string NoSelf(int line, const std::string &row) {
    return At(line, "[Row] " + row + " must contain a self-coupled index and entry.");
}
// A row given no column at all.
std::string Empty(int line, const std::string &row) {
    return At(line, "Expected at least one column of Row data for [Row] " + row + kEnding + ".");
}

const MatrixCase kCases[] = {
    {"full 3-pin matrix takes 3, 2 and 1 values", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 0.1n 0.1n\n[Row] 2\n1n\n0.1n\n[Row] 3\n1n\n", ""},
    {"a third value on the second row", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 0.1n 0.1n\n[Row] 2\n1n 0.1n 0.2n\n[Row] 3\n1n\n",
     At(18, "More row data than allowed for this row.")},
    {"short rows name column and columns, reported at the closing keyword", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n",
     Columns(20, 3, 1, 1, 1) + Columns(20, 2, 2, 2, 1) + Columns(20, 1, 3, 3, 0)},
    {"found 2 of 3 is plural", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 2n\n[Row] 2\n1n 2n\n[Row] 3\n1n\n",
     Columns(21, 3, 1, 1, 2)},
    {"number faults end the line; a suspicious one is kept", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n5 abc 2n\n2n 3n\n[Row] 2\n1n 1n\n[Row] 3\n1n\n",
     "WARNING (line   16) - Suspicious row data.\n" + At(16, "Unable to convert row data.")},
    {"rows out of order and unknown, repeated rows", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 2\n2 1n\n[Row] 1\n1 1n\n[Row] 9\n9 1n\n[Row] 1\n1 1n\n",
     Misplaced(15, 2, 2, 1, false) + Misplaced(17, 1, 1, 2, false) + Lower(18) + NoPin(19, "9") +
         NoPin(20, "9") + Misplaced(21, 1, 1, 4) + Lower(22) + Rows(23, 3, 4) + Empty(23, "9")},
    {"one earlier row of the name, one message each", 2,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 1\n[Row] 1\n",
     Misplaced(16, 1, 1, 2) + At(17, "Repeated ROW <1>.") + Misplaced(17, 1, 1, 3) + Rows(18, 2, 3) +
         Empty(18, "1") + NoSelf(18, "1") + Empty(18, "1")},
    {"rows in their places, then one repeated", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n2 1n\n[Row] 2\n3 1n\n",
     Misplaced(19, 2, 2, 3) + NoSelf(21, "2")},
    {"a row of no pin first, then one repeated", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 9\n[Row] 2\n2 1n\n[Row] 2\n3 1n\n",
     NoPin(15, "9") + Misplaced(18, 2, 2, 3) + Empty(20, "9") + NoSelf(20, "9")},
    {"sparse rows: upper column, lower column, own pin", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n3 1.5n\n1 2n\n[Row] 3\n3 1n\n",
     Lower(19) + NoSelf(22, "2")},
    {"sparse line faults", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n9 1n\n2\n2 abc\n2 1n 7\n2 3n\n2 4n5\n"
     "[Row] 2\n2 1n\n[Row] 3\n3 1n\n",
     NoPin(17, "9") + At(18, "No row data.") + At(19, "Unable to convert row data.") +
         At(20, "Excessive data <7>, only Index and Value should be specified for a Sparse_matrix.") +
         At(21, "Duplicate Row column index 2.") + At(22, "Duplicate Row column index 2.") +
         "WARNING (line   22) - Suspicious row data.\n"},
    {"the self-entry check stops at the first row missing slots", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 2n\n[Row] 2\n[Row] 3\n",
     Columns(19, 3, 1, 1, 2) + Columns(19, 2, 2, 2, 0) + Columns(19, 1, 3, 3, 0)},
    {"banded N 5, B 1: a second value on the fifth row turns it circle-back", 5,
     kCircleBack, ""},
    {"banded N 4, B 2 cannot turn circle-back", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 1\n1n 1n 1n\n[Row] 2\n1n 1n 1n\n"
     "[Row] 3\n1n 1n 1n\n2n\n[Row] 4\n1n 1n 1n\n",
     At(22, "Bandwidth for this Banded, circle-back matrix exceeds the limit of 1.") +
         At(23, "Only 2 columns of data allowed for this Row .")},
    {"a full band row takes no more", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n\n",
     At(19, "Only 2 columns of data allowed for this Row .")},
    {"bandwidth values", 4,
     "[Resistance Matrix] Banded_matrix\n[Bandwidth] x\n[Inductance Matrix] Banded_matrix\n"
     "[Bandwidth] 2x\n[Bandwidth] 1\n[Capacitance Matrix] Banded_matrix\n[Bandwidth] 4\n",
     At(16, "Bad Bandwidth value.") + Rows(17, 4, 0) + At(18, "Suspicious Bandwidth value.") +
         At(19, "Multiple Bandwidth keywords.") + Rows(20, 4, 0) +
         At(21, "Bandwidth <4> must be less than Number_of_Pins <4>.") + Rows(22, 4, 0)},
    {"a bandwidth beyond 32 bits is bad, not cut", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 4294967296\n",
     At(16, "Bad Bandwidth value.") + Rows(17, 4, 0)},
    {"bandwidth out of place and on other types; banded without one", 2,
     "[Bandwidth] 1\n[Inductance Matrix] Full_matrix\n[Bandwidth] 1\n"
     "[Resistance Matrix] Banded_matrix\n",
     At(13, "Bandwidth keyword in wrong location.") +
         At(15, "Bandwidth only allowed for Banded Matrices") + Rows(16, 2, 0) + Rows(17, 2, 0) +
         "ERROR - The Resistance Matrix is Banded and requires the 'Bandwidth' keyword.\n"},
    {"matrix types", 2,
     "[Resistance Matrix]\n[Inductance Matrix] Diagonal\n[Row] 1\n1 2 3 4\n",
     At(13, "Matrix type not specified.") + Rows(14, 2, 0) + At(14, "Unknown matrix type 'Diagonal'.") +
         Rows(17, 2, 0)},
    {"row names: empty, too long, reserved", 2,
     "[Inductance Matrix] Sparse_matrix\n[Row]\n[Row] 1234567\n[Row] GND\n",
     At(14, "Unknown PIN NUMBER.") + NoPin(14, "") + At(15, "PIN NUMBER string too long.") +
         NoPin(15, "12345") + At(16, "Illegal use of Reserved Word 'GND'.") + NoPin(16, "GND") +
         Rows(17, 2, 3) + Empty(17, "") + NoSelf(17, "") + Empty(17, "12345") + Empty(17, "GND")},
    {"each kind of matrix given twice", 1,
     "[Resistance Matrix] Full_matrix\n[Row] 1\n1\n[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n"
     "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n[Resistance Matrix] Sparse_matrix\n"
     "[Inductance Matrix] Sparse_matrix\n[Capacitance Matrix] Sparse_matrix\n",
     At(21, "Duplicate Resistance Matrix.") + At(22, "Duplicate Inductance Matrix.") +
         At(23, "Duplicate Capacitance Matrix.")},
    // Without pins a sparse row has no column to hold.
    {"a sparse matrix of no pins", 0,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n",
     At(8, "Number_of_Pins = 0.") + At(12, "Unable to add new matrix row, expected column count = 0.") +
         "ERROR - Number_of_Pins keyword not found or value bad for Package Model 'P'.\n" +
         "ERROR - No Pin Numbers names found for Package Model 'P'.\n"},
    {"type words in any case", 1,
     "[Inductance Matrix] FULL_MATRIX\n[Row] 1\n1n\n[Capacitance Matrix] sparse_Matrix\n[Row] 1\n1 1p\n",
     ""},
    // A kept matrix takes the block's rows while the other one stays open:
    // every row operation acts on the matrix it is handed.
    {"a duplicate matrix keyword keeps the first", 5,
     kKeptMatrix, Rows(26, 5, 4) + At(28, "Duplicate Resistance Matrix.") + Rows(31, 5, 0)},
    {"a bandwidth for a matrix with rows is refused", 5,
     kBandAfterRows, At(28, "Duplicate Inductance Matrix.") + At(29, "Bandwidth keyword in wrong location.") +
         At(31, "Bandwidth for this Banded, circle-back matrix exceeds the limit of 2.")},
    // A band that leaves room for the rows read so far is taken: later rows
    // and the circle-back conversion use it.
    {"a bandwidth after rows read without one", 3,
     "[Inductance Matrix] Banded_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 0\n",
     At(21, "Duplicate Inductance Matrix.")},
    {"a wider bandwidth after rows widens the later ones", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 3\n1n 1n 1n\n[Row] 4\n1n 1n\n"
     "[Row] 5\n1n\n",
     At(22, "Duplicate Inductance Matrix.")},
    {"a wider bandwidth after rows rules the conversion", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n",
     At(21, "Duplicate Inductance Matrix.") +
         At(26, "Bandwidth for this Banded, circle-back matrix exceeds the limit of 1.")},
    {"a bandwidth narrower than circle-back rows is refused", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n 1n\n[Inductance Matrix] Banded_matrix\n"
     "[Bandwidth] 0x\n",
     At(28, "Duplicate Inductance Matrix.") + At(29, "Suspicious Bandwidth value.") +
         At(29, "Bandwidth keyword in wrong location.")},
    // The conversion widens every row to the late band: a band narrower than
    // that is refused afterwards, though no row was read that wide.
    {"a bandwidth narrower than rows the conversion widened is refused", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n"
     "[Row] 5\n1n 1n\n[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n 1n\n",
     At(26, "Duplicate Inductance Matrix.") + At(30, "Duplicate Inductance Matrix.") +
         At(31, "Bandwidth keyword in wrong location.") + Misplaced(32, 1, 1, 6) + Rows(34, 5, 6) +
         Columns(34, 3, 1, 5, 2)},
    // Bad values after rows are reported as anywhere else, and the matrix
    // does not also lack its [Bandwidth].
    {"bad bandwidth values after rows", 3,
     "[Inductance Matrix] Banded_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] x\n"
     "[Resistance Matrix] Banded_matrix\n[Row] 1\n1\n[Row] 2\n1\n[Row] 3\n1\n"
     "[Resistance Matrix] Banded_matrix\n[Bandwidth] 7x\n"
     "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p 0 0\n[Row] 2\n1p 0\n[Row] 3\n1p\n"
     "[Capacitance Matrix] Full_matrix\n[Bandwidth] 1\n",
     At(21, "Duplicate Inductance Matrix.") + At(22, "Bad Bandwidth value.") +
         At(30, "Duplicate Resistance Matrix.") + At(31, "Suspicious Bandwidth value.") +
         At(31, "Bandwidth <7> must be less than Number_of_Pins <3>.") +
         At(39, "Duplicate Capacitance Matrix.") + At(40, "Bandwidth only allowed for Banded Matrices")},
};

TEST_F(MatrixTest, RowsChecksAndMessages) {
    for (const MatrixCase &c : kCases)
        EXPECT_EQ(Model(c.pins, c.body), c.messages) << c.what;
}

// A name repeated in the pin list has its place at its first entry: rows and
// sparse columns naming it find that place, wherever they stand.
TEST_F(MatrixTest, RepeatedPinNamesKeepTheirFirstPlace) {
    const std::string text =
        "[IBIS Ver] 3.2\n[File Name] t.pkg\n[File Rev] 1\n[Define Package Model] P\n"
        "[Manufacturer] m\n[OEM] o\n[Description] d\n[Number Of Pins] 3\n[Pin Numbers]\n1\n2\n1\n"
        "[Model Data]\n[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n2 1n\n"
        "[Row] 1\n1 1n\n[Capacitance Matrix] Sparse_matrix\n[Row] 1\n1 1p\n[Row] 2\n2 1p\n"
        "[Row] 1\n1 1p\n[End Model Data]\n[End Package Model]\n[End]\n";
    EXPECT_EQ(Parse("t.pkg", text),
              "ERROR (line   12) - Duplicate Pin <1>.\n" + Misplaced(19, 1, 1, 3) + Lower(20) +
                  Misplaced(26, 1, 1, 3) + Lower(27));
}

// Each row's column count and values filled, "count/filled".
std::string Shape(const MTX *m) {
    std::string out;
    for (const ROW *row = m->rows; row != nullptr; row = row->next)
        out += (out.empty() ? "" : " ") + std::to_string(row->uiColumnCount) + "/" +
               std::to_string(row->filled);
    return out;
}

// The rows a matrix holds once read: widened by the circle-back conversion,
// in the matrix they were given to, at the band they were read with.
TEST_F(MatrixTest, RowsKeepTheirShape) {
    struct Case {
        const char *body;
        MTX *PKGMDL::*matrix;
        int type;
        uint32_t bandwidth;
        const char *shape;
    };
    const Case cases[] = {
        {kCircleBack, &PKGMDL::Inductance, MTX_TYPE_CIRCLE_BACK, 1, "2/2 2/2 2/2 2/2 2/2"},
        {kBandAfterRows, &PKGMDL::Inductance, MTX_TYPE_CIRCLE_BACK, 3, "4/4 4/4 3/3 2/2 1/1"},
        {kKeptMatrix, &PKGMDL::Resistance, MTX_TYPE_CIRCLE_BACK, 1, "2/2 2/2 2/2 2/2 2/2"},
    };
    for (const Case &c : cases) {
        Model(5, c.body);
        const MTX *m = Models()->*c.matrix;
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->eMatrixType, c.type) << c.shape;
        EXPECT_EQ(m->uiBandwidth, c.bandwidth) << c.shape;
        EXPECT_EQ(m->uiRowsFound, 5u) << c.shape;
        EXPECT_EQ(Shape(m), c.shape);
    }
    // The inductance matrix the kept one's rows went past holds none.
    EXPECT_EQ(Models()->Inductance->uiRowsFound, 0u);
    EXPECT_EQ(Shape(Models()->Inductance), "");
    Model(5, kCircleBack);
    EXPECT_EQ(Models()->Inductance->tail->values[1], 1e-9);
}

TEST_F(MatrixTest, SparseValuesKeepTheirColumns) {
    ASSERT_EQ(Model(3, "[Inductance Matrix] Sparse_matrix\n[Row] 1\n3 3n\n1 1n\n3 4n\n"
                       "[Row] 2\n2 1n\n[Row] 3\n3 1n\n"),
              "ERROR (line   18) - Duplicate Row column index 3.\n");
    const ROW *row = Models()->Inductance->rows;
    ASSERT_EQ(row->filled, 2u);
    EXPECT_EQ(row->columns[0], 3u);
    EXPECT_EQ(row->values[0], 4e-9);  // replaced
    EXPECT_EQ(row->columns[1], 1u);
    EXPECT_EQ(row->uiColumnCount, 3u);
    EXPECT_EQ(row->selfEntry, 1);
}

// Rows long enough that their values grow where they stand, then move to
// new blocks of the matrix, while later rows follow them: every value and
// column stays where the file put it.
TEST_F(MatrixTest, LongRowsKeepEveryValue) {
    const int n = 60;
    std::string body = "[Inductance Matrix] Full_matrix\n";
    std::string sparse = "[Capacitance Matrix] Sparse_matrix\n";
    for (int r = 1; r <= n; ++r) {
        body += "[Row] " + std::to_string(r) + "\n";
        sparse += "[Row] " + std::to_string(r) + "\n";
        for (int c = r; c <= n; ++c) {
            body += std::to_string(r * 100 + c) + (c % 10 == 0 ? "\n" : " ");
            // Columns from the far end first, so they differ from positions.
            const int col = n + r - c;
            sparse += std::to_string(col) + " " + std::to_string(r * 100 + col) + "\n";
        }
        body += "\n";  // lines stay within 80 characters
    }
    ASSERT_EQ(Model(n, body + sparse), "");
    int r = 1;
    for (const ROW *row = Models()->Inductance->rows; row != nullptr; row = row->next, ++r) {
        ASSERT_EQ(row->filled, static_cast<uint32_t>(n - r + 1)) << r;
        for (uint32_t i = 0; i < row->filled; ++i)
            EXPECT_EQ(row->values[i], r * 100 + r + i) << r;
    }
    r = 1;
    for (const ROW *row = Models()->Capacitance->rows; row != nullptr; row = row->next, ++r) {
        ASSERT_EQ(row->filled, static_cast<uint32_t>(n - r + 1)) << r;
        for (uint32_t i = 0; i < row->filled; ++i) {
            EXPECT_EQ(row->columns[i], n - i) << r;
            EXPECT_EQ(row->values[i], r * 100 + n - i) << r;
        }
    }
    EXPECT_EQ(r, n + 1);
}

TEST_F(MatrixTest, HugePinCountsSizeNothing) {
    // A matrix of four billion rows: its rows hold what the file gives.
    Parse("t.pkg", "[IBIS Ver] 3.2\n[File Name] t.pkg\n[File Rev] 1\n"
                                     "[Define Package Model] P\n[Number Of Pins] 4000000000\n"
                                     "[Pin Numbers]\n1\n[Inductance Matrix] Full_matrix\n[Row] 1\n"
                                     "1n 2n\n[Capacitance Matrix] Sparse_matrix\n[Row] 1\n1 1p\n");
    const ROW *row = Models()->Inductance->rows;
    EXPECT_EQ(row->uiColumnCount, 4000000000u);
    EXPECT_EQ(row->filled, 2u);
    EXPECT_LE(row->room, 16u);
    EXPECT_EQ(Models()->Capacitance->rows->uiColumnCount, 4000000000u);
}

TEST_F(MatrixTest, AccessorsReportAMissingOrWrongMatrix) {
    uint32_t n = 0;
    int yes = 0;
    EXPECT_EQ(MTX_GetRowCount(nullptr, &n), 0);
    EXPECT_EQ(MTX_GetBandwidth(nullptr, &n), 0);
    EXPECT_EQ(MTX_IsCircleBack(nullptr, &yes), 0);
    EXPECT_EQ(MTX_ConvertToCircleBack(nullptr), 0);
    MTX full = {};
    full.eMatrixType = MTX_TYPE_FULL;
    EXPECT_EQ(MTX_GetBandwidth(&full, &n), 0);
    EXPECT_EQ(MTX_IsCircleBack(&full, &yes), 0);
    EXPECT_EQ(MTX_ConvertToCircleBack(&full), 0);
    full.eMatrixType = MTX_TYPE_CIRCLE_BACK;
    EXPECT_EQ(MTX_ConvertToCircleBack(&full), 0);
    EXPECT_EQ(Messages(Output()),
              "PROGRAM BUG (line    0) - gpMtx is NULL, cannot determine row count.\n"
              "PROGRAM BUG (line    0) - gpMtx is NULL, cannot determine bandwidth.\n"
              "PROGRAM BUG (line    0) - gpMtx is NULL, cannot determine banded wrap type.\n"
              "PROGRAM BUG (line    0) - gpMtx is NULL, cannot reset banded wrap type.\n"
              "PROGRAM BUG (line    0) - gpMtx is not banded type, cannot determine bandwidth.\n"
              "PROGRAM BUG (line    0) - gpMtx->eMatrixType is not a banded type, cannot "
              "determine banded wrap type.\n"
              "PROGRAM BUG (line    0) - gpMtx->eMatrixType is not a banded type, cannot reset "
              "banded wrap type.\n"
              "PROGRAM BUG (line    0) - gpMtx->eMatrixType is alreaded banded wrap\n");
}

}  // namespace
