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
    const char *messages;
};

const MatrixCase kCases[] = {
    {"full 3-pin matrix takes 3, 2 and 1 values", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 0.1n 0.1n\n[Row] 2\n1n\n0.1n\n[Row] 3\n1n\n", ""},
    {"a third value on the second row", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 0.1n 0.1n\n[Row] 2\n1n 0.1n 0.2n\n[Row] 3\n1n\n",
     "ERROR (line   18) - More row data than allowed for this row.\n"},
    {"short rows name column and columns, reported at the closing keyword", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n",
     "ERROR (line   20) - Expected 3 columns of Row data for [Row] 1 in Matrix ending previous to "
     "this line, found 1 column.\n"
     "ERROR (line   20) - Expected 2 columns of Row data for [Row] 2 in Matrix ending previous to "
     "this line, found 1 column.\n"
     "ERROR (line   20) - Expected 1 columns of Row data for [Row] 3 in Matrix ending previous to "
     "this line, found 0 columns.\n"},
    {"found 2 of 3 is plural", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 2n\n[Row] 2\n1n 2n\n[Row] 3\n1n\n",
     "ERROR (line   21) - Expected 3 columns of Row data for [Row] 1 in Matrix ending previous to "
     "this line, found 2 columns.\n"},
    {"number faults end the line; a suspicious one is kept", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n5 abc 2n\n2n 3n\n[Row] 2\n1n 1n\n[Row] 3\n1n\n",
     "WARNING (line   16) - Suspicious row data.\n"
     "ERROR (line   16) - Unable to convert row data.\n"},
    {"rows out of order and unknown, repeated rows", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 2\n2 1n\n[Row] 1\n1 1n\n[Row] 9\n9 1n\n[Row] 1\n1 1n\n",
     "ERROR (line   15) - Expected Pin <2> at matrix row index 2, found at matrix row index 1.\n"
     "ERROR (line   17) - Expected Pin <1> at matrix row index 1, found at matrix row index 2.\n"
     "ERROR (line   18) - This Row Column Index defines an entry in the lower matrix triangle.\n"
     "ERROR (line   19) - Unable to find Pin <9> in Package Model Pin_Number list.\n"
     "ERROR (line   20) - Unable to find Pin <9> in Package Model Pin_Number list.\n"
     "ERROR (line   21) - Repeated ROW <1>.\n"
     "ERROR (line   21) - Expected Pin <1> at matrix row index 1, found at matrix row index 4.\n"
     "ERROR (line   22) - This Row Column Index defines an entry in the lower matrix triangle.\n"
     "ERROR (line   23) - Expected 3 Rows, found 4 for Matrix ending previous to this line.\n"
     "ERROR (line   23) - Expected at least one column of Row data for [Row] 9 in Matrix ending "
     "previous to this line.\n"},
    {"one earlier row of the name, one message each", 2,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 1\n[Row] 1\n",
     "ERROR (line   16) - Repeated ROW <1>.\n"
     "ERROR (line   16) - Expected Pin <1> at matrix row index 1, found at matrix row index 2.\n"
     "ERROR (line   17) - Repeated ROW <1>.\n"
     "ERROR (line   17) - Repeated ROW <1>.\n"
     "ERROR (line   17) - Expected Pin <1> at matrix row index 1, found at matrix row index 3.\n"
     "ERROR (line   18) - Expected 2 Rows, found 3 for Matrix ending previous to this line.\n"
     "ERROR (line   18) - Expected at least one column of Row data for [Row] 1 in Matrix ending "
     "previous to this line.\n"
     "ERROR (line   18) - [Row] 1 must contain a self-coupled index and entry.\n"
     "ERROR (line   18) - Expected at least one column of Row data for [Row] 1 in Matrix ending "
     "previous to this line.\n"},
    {"rows in their places, then one repeated", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n2 1n\n[Row] 2\n3 1n\n",
     "ERROR (line   19) - Repeated ROW <2>.\n"
     "ERROR (line   19) - Expected Pin <2> at matrix row index 2, found at matrix row index 3.\n"
     "ERROR (line   21) - [Row] 2 must contain a self-coupled index and entry.\n"},
    {"a row of no pin first, then one repeated", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 9\n[Row] 2\n2 1n\n[Row] 2\n3 1n\n",
     "ERROR (line   15) - Unable to find Pin <9> in Package Model Pin_Number list.\n"
     "ERROR (line   18) - Repeated ROW <2>.\n"
     "ERROR (line   18) - Expected Pin <2> at matrix row index 2, found at matrix row index 3.\n"
     "ERROR (line   20) - Expected at least one column of Row data for [Row] 9 in Matrix ending "
     "previous to this line.\n"
     "ERROR (line   20) - [Row] 9 must contain a self-coupled index and entry.\n"},
    {"sparse rows: upper column, lower column, own pin", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n[Row] 2\n3 1.5n\n1 2n\n[Row] 3\n3 1n\n",
     "ERROR (line   19) - This Row Column Index defines an entry in the lower matrix triangle.\n"
     "ERROR (line   22) - [Row] 2 must contain a self-coupled index and entry.\n"},
    {"sparse line faults", 3,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n9 1n\n2\n2 abc\n2 1n 7\n2 3n\n2 4n5\n"
     "[Row] 2\n2 1n\n[Row] 3\n3 1n\n",
     "ERROR (line   17) - Unable to find Pin <9> in Package Model Pin_Number list.\n"
     "ERROR (line   18) - No row data.\n"
     "ERROR (line   19) - Unable to convert row data.\n"
     "ERROR (line   20) - Excessive data <7>, only Index and Value should be specified for a "
     "Sparse_matrix.\n"
     "ERROR (line   21) - Duplicate Row column index 2.\n"
     "ERROR (line   22) - Duplicate Row column index 2.\n"
     "WARNING (line   22) - Suspicious row data.\n"},
    {"the self-entry check stops at the first row missing slots", 3,
     "[Inductance Matrix] Full_matrix\n[Row] 1\n1n 2n\n[Row] 2\n[Row] 3\n",
     "ERROR (line   19) - Expected 3 columns of Row data for [Row] 1 in Matrix ending previous to "
     "this line, found 2 columns.\n"
     "ERROR (line   19) - Expected 2 columns of Row data for [Row] 2 in Matrix ending previous to "
     "this line, found 0 columns.\n"
     "ERROR (line   19) - Expected 1 columns of Row data for [Row] 3 in Matrix ending previous to "
     "this line, found 0 columns.\n"},
    {"banded N 5, B 1: a second value on the fifth row turns it circle-back", 5,
     kCircleBack,
     ""},
    {"banded N 4, B 2 cannot turn circle-back", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 1\n1n 1n 1n\n[Row] 2\n1n 1n 1n\n"
     "[Row] 3\n1n 1n 1n\n2n\n[Row] 4\n1n 1n 1n\n",
     "ERROR (line   22) - Bandwidth for this Banded, circle-back matrix exceeds the limit of 1.\n"
     "ERROR (line   23) - Only 2 columns of data allowed for this Row .\n"},
    {"a full band row takes no more", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n\n",
     "ERROR (line   19) - Only 2 columns of data allowed for this Row .\n"},
    {"bandwidth values", 4,
     "[Resistance Matrix] Banded_matrix\n[Bandwidth] x\n[Inductance Matrix] Banded_matrix\n"
     "[Bandwidth] 2x\n[Bandwidth] 1\n[Capacitance Matrix] Banded_matrix\n[Bandwidth] 4\n",
     "ERROR (line   16) - Bad Bandwidth value.\n"
     "ERROR (line   17) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   18) - Suspicious Bandwidth value.\n"
     "ERROR (line   19) - Multiple Bandwidth keywords.\n"
     "ERROR (line   20) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   21) - Bandwidth <4> must be less than Number_of_Pins <4>.\n"
     "ERROR (line   22) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"},
    {"a bandwidth beyond 32 bits is bad, not cut", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 4294967296\n",
     "ERROR (line   16) - Bad Bandwidth value.\n"
     "ERROR (line   17) - Expected 4 Rows, found 0 for Matrix ending previous to this line.\n"},
    {"bandwidth out of place and on other types; banded without one", 2,
     "[Bandwidth] 1\n[Inductance Matrix] Full_matrix\n[Bandwidth] 1\n"
     "[Resistance Matrix] Banded_matrix\n",
     "ERROR (line   13) - Bandwidth keyword in wrong location.\n"
     "ERROR (line   15) - Bandwidth only allowed for Banded Matrices\n"
     "ERROR (line   16) - Expected 2 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   17) - Expected 2 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR - The Resistance Matrix is Banded and requires the 'Bandwidth' keyword.\n"},
    {"matrix types", 2,
     "[Resistance Matrix]\n[Inductance Matrix] Diagonal\n[Row] 1\n1 2 3 4\n",
     "ERROR (line   13) - Matrix type not specified.\n"
     "ERROR (line   14) - Expected 2 Rows, found 0 for Matrix ending previous to this line.\n"
     "ERROR (line   14) - Unknown matrix type 'Diagonal'.\n"
     "ERROR (line   17) - Expected 2 Rows, found 0 for Matrix ending previous to this line.\n"},
    {"row names: empty, too long, reserved", 2,
     "[Inductance Matrix] Sparse_matrix\n[Row]\n[Row] 1234567\n[Row] GND\n",
     "ERROR (line   14) - Unknown PIN NUMBER.\n"
     "ERROR (line   14) - Unable to find Pin <> in Package Model Pin_Number list.\n"
     "ERROR (line   15) - PIN NUMBER string too long.\n"
     "ERROR (line   15) - Unable to find Pin <12345> in Package Model Pin_Number list.\n"
     "ERROR (line   16) - Illegal use of Reserved Word 'GND'.\n"
     "ERROR (line   16) - Unable to find Pin <GND> in Package Model Pin_Number list.\n"
     "ERROR (line   17) - Expected 2 Rows, found 3 for Matrix ending previous to this line.\n"
     "ERROR (line   17) - Expected at least one column of Row data for [Row]  in Matrix ending "
     "previous to this line.\n"
     "ERROR (line   17) - [Row]  must contain a self-coupled index and entry.\n"
     "ERROR (line   17) - Expected at least one column of Row data for [Row] 12345 in Matrix ending "
     "previous to this line.\n"
     "ERROR (line   17) - Expected at least one column of Row data for [Row] GND in Matrix ending "
     "previous to this line.\n"},
    {"each kind of matrix given twice", 1,
     "[Resistance Matrix] Full_matrix\n[Row] 1\n1\n[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n"
     "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n[Resistance Matrix] Sparse_matrix\n"
     "[Inductance Matrix] Sparse_matrix\n[Capacitance Matrix] Sparse_matrix\n",
     "ERROR (line   21) - Duplicate Resistance Matrix.\n"
     "ERROR (line   22) - Duplicate Inductance Matrix.\n"
     "ERROR (line   23) - Duplicate Capacitance Matrix.\n"},
    // Without pins a sparse row has no column to hold.
    {"a sparse matrix of no pins", 0,
     "[Inductance Matrix] Sparse_matrix\n[Row] 1\n1 1n\n",
     "ERROR (line    8) - Number_of_Pins = 0.\n"
     "ERROR (line   12) - Unable to add new matrix row, expected column count = 0.\n"
     "ERROR - Number_of_Pins keyword not found or value bad for Package Model 'P'.\n"
     "ERROR - No Pin Numbers names found for Package Model 'P'.\n"},
    {"type words in any case", 1,
     "[Inductance Matrix] FULL_MATRIX\n[Row] 1\n1n\n[Capacitance Matrix] sparse_Matrix\n[Row] 1\n1 1p\n",
     ""},
    // A kept matrix takes the block's rows while the other one stays open:
    // every row operation acts on the matrix it is handed.
    {"a duplicate matrix keyword keeps the first", 5,
     kKeptMatrix,
     "ERROR (line   26) - Expected 5 Rows, found 4 for Matrix ending previous to this line.\n"
     "ERROR (line   28) - Duplicate Resistance Matrix.\n"
     "ERROR (line   31) - Expected 5 Rows, found 0 for Matrix ending previous to this line.\n"},
    {"a bandwidth for a matrix with rows is refused", 5,
     kBandAfterRows,
     "ERROR (line   28) - Duplicate Inductance Matrix.\n"
     "ERROR (line   29) - Bandwidth keyword in wrong location.\n"
     "ERROR (line   31) - Bandwidth for this Banded, circle-back matrix exceeds the limit of 2.\n"},
    // A band that leaves room for the rows read so far is taken: later rows
    // and the circle-back conversion use it.
    {"a bandwidth after rows read without one", 3,
     "[Inductance Matrix] Banded_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 0\n",
     "ERROR (line   21) - Duplicate Inductance Matrix.\n"},
    {"a wider bandwidth after rows widens the later ones", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 3\n1n 1n 1n\n[Row] 4\n1n 1n\n"
     "[Row] 5\n1n\n",
     "ERROR (line   22) - Duplicate Inductance Matrix.\n"},
    {"a wider bandwidth after rows rules the conversion", 4,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n",
     "ERROR (line   21) - Duplicate Inductance Matrix.\n"
     "ERROR (line   26) - Bandwidth for this Banded, circle-back matrix exceeds the limit of 1.\n"},
    {"a bandwidth narrower than circle-back rows is refused", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Row] 5\n1n 1n\n[Inductance Matrix] Banded_matrix\n"
     "[Bandwidth] 0x\n",
     "ERROR (line   28) - Duplicate Inductance Matrix.\n"
     "ERROR (line   29) - Suspicious Bandwidth value.\n"
     "ERROR (line   29) - Bandwidth keyword in wrong location.\n"},
    // The conversion widens every row to the late band: a band narrower than
    // that is refused afterwards, though no row was read that wide.
    {"a bandwidth narrower than rows the conversion widened is refused", 5,
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n\n[Row] 2\n1n 1n\n"
     "[Row] 3\n1n 1n\n[Row] 4\n1n 1n\n[Inductance Matrix] Banded_matrix\n[Bandwidth] 2\n"
     "[Row] 5\n1n 1n\n[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] 1\n1n 1n 1n\n",
     "ERROR (line   26) - Duplicate Inductance Matrix.\n"
     "ERROR (line   30) - Duplicate Inductance Matrix.\n"
     "ERROR (line   31) - Bandwidth keyword in wrong location.\n"
     "ERROR (line   32) - Repeated ROW <1>.\n"
     "ERROR (line   32) - Expected Pin <1> at matrix row index 1, found at matrix row index 6.\n"
     "ERROR (line   34) - Expected 5 Rows, found 6 for Matrix ending previous to this line.\n"
     "ERROR (line   34) - Expected 3 columns of Row data for [Row] 1 in Matrix ending previous to "
     "this line, found 2 columns.\n"
     "ERROR (line   34) - Expected 3 columns of Row data for [Row] 2 in Matrix ending previous to "
     "this line, found 2 columns.\n"
     "ERROR (line   34) - Expected 3 columns of Row data for [Row] 3 in Matrix ending previous to "
     "this line, found 2 columns.\n"
     "ERROR (line   34) - Expected 3 columns of Row data for [Row] 4 in Matrix ending previous to "
     "this line, found 2 columns.\n"
     "ERROR (line   34) - Expected 3 columns of Row data for [Row] 5 in Matrix ending previous to "
     "this line, found 2 columns.\n"},
    // Bad values after rows are reported as anywhere else, and the matrix
    // does not also lack its [Bandwidth].
    {"bad bandwidth values after rows", 3,
     "[Inductance Matrix] Banded_matrix\n[Row] 1\n1n\n[Row] 2\n1n\n[Row] 3\n1n\n"
     "[Inductance Matrix] Banded_matrix\n[Bandwidth] x\n"
     "[Resistance Matrix] Banded_matrix\n[Row] 1\n1\n[Row] 2\n1\n[Row] 3\n1\n"
     "[Resistance Matrix] Banded_matrix\n[Bandwidth] 7x\n"
     "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p 0 0\n[Row] 2\n1p 0\n[Row] 3\n1p\n"
     "[Capacitance Matrix] Full_matrix\n[Bandwidth] 1\n",
     "ERROR (line   21) - Duplicate Inductance Matrix.\n"
     "ERROR (line   22) - Bad Bandwidth value.\n"
     "ERROR (line   30) - Duplicate Resistance Matrix.\n"
     "ERROR (line   31) - Suspicious Bandwidth value.\n"
     "ERROR (line   31) - Bandwidth <7> must be less than Number_of_Pins <3>.\n"
     "ERROR (line   39) - Duplicate Capacitance Matrix.\n"
     "ERROR (line   40) - Bandwidth only allowed for Banded Matrices\n"},
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
              "ERROR (line   12) - Duplicate Pin <1>.\n"
              "ERROR (line   19) - Repeated ROW <1>.\n"
              "ERROR (line   19) - Expected Pin <1> at matrix row index 1, found at matrix row index 3.\n"
              "ERROR (line   20) - This Row Column Index defines an entry in the lower matrix triangle.\n"
              "ERROR (line   26) - Repeated ROW <1>.\n"
              "ERROR (line   26) - Expected Pin <1> at matrix row index 1, found at matrix row index 3.\n"
              "ERROR (line   27) - This Row Column Index defines an entry in the lower matrix triangle.\n");
}

TEST_F(MatrixTest, CircleBackWidensEveryRow) {
    ASSERT_EQ(Model(5, kCircleBack), "");
    MTX *m = Models()->Inductance;
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->eMatrixType, MTX_TYPE_CIRCLE_BACK);
    for (ROW *row = m->rows; row != nullptr; row = row->next) {
        EXPECT_EQ(row->uiColumnCount, 2u) << row->name;
        EXPECT_EQ(row->filled, 2u) << row->name;
    }
    EXPECT_EQ(m->tail->values[1], 1e-9);
}

TEST_F(MatrixTest, RowsGoToTheMatrixTheyAreGiven) {
    Model(5, kKeptMatrix);
    const MTX *r = Models()->Resistance;
    EXPECT_EQ(r->eMatrixType, MTX_TYPE_CIRCLE_BACK);
    ASSERT_EQ(r->uiRowsFound, 5u);
    for (const ROW *row = r->rows; row != nullptr; row = row->next)
        EXPECT_EQ(row->uiColumnCount, 2u) << row->name;
    EXPECT_EQ(r->tail->filled, 2u);
    EXPECT_EQ(Models()->Inductance->uiRowsFound, 0u);
    for (const ROW *row = Models()->Inductance->rows; row != nullptr; row = row->next)
        ADD_FAILURE() << "inductance row " << row->name;
}

TEST_F(MatrixTest, ABandAfterRowsLeavesThem) {
    Model(5, kBandAfterRows);
    const MTX *m = Models()->Inductance;
    EXPECT_EQ(m->uiBandwidth, 3u);
    const uint32_t columns[] = {4, 4, 3, 2, 1};
    const uint32_t *want = columns;
    for (const ROW *row = m->rows; row != nullptr; row = row->next, ++want) {
        EXPECT_EQ(row->uiColumnCount, *want) << row->name;
        EXPECT_EQ(row->filled, *want) << row->name;
    }
    EXPECT_EQ(want, columns + 5);
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
