// Rows of package matrices: creation, the data lines of full, banded and
// sparse rows, and the slot rules checked when a matrix closes.
#define MSG_SRC MSGSRC_ROW
#include "IbisParser/row.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/pkgmdl.h"

namespace {

const char kSourceName[] = "IbisParser/row";

// A token read as a number with its scale letter: 0 after 3103.
int ReadValue(const char *token, double *value) {
    int r = CMN_GetValue(token, value);
    if (r == 0) {
        MSG_ErrorLine(3103);
        return 0;
    }
    if (r == 2)
        MSG_WarningLine(3104);
    return 1;
}

// Room for one more value (and its column in a sparse row). The last row's
// values, then a sparse row's columns, are its matrix's newest piece: they
// grow where they stand while the block has room, else move to new room.
int MakeRoom(MTX *matrix, ROW *row, bool sparse) {
    if (row->filled < row->room)
        return 1;
    // A full or banded row first gets the slots it may fill (up to 8), a
    // sparse row room for a few entries; then the room doubles.
    uint32_t room = row->room > UINT32_MAX / 2 ? UINT32_MAX : row->room * 2;
    if (row->room == 0)
        room = sparse ? 2 : row->uiColumnCount < 1 ? 1 : row->uiColumnCount < 8 ? row->uiColumnCount : 8;
    if (room <= row->filled)
        return 0;
    const size_t slot = sparse ? sizeof(double) + sizeof(uint32_t) : sizeof(double);
    double *values = row->values;
    if (values == nullptr ||
        !CMN_PoolExtend(&matrix->pool, values, row->room * slot, static_cast<size_t>(room) * slot)) {
        if (!CMN_PoolAlloc(&matrix->pool, &values, static_cast<size_t>(room) * slot))
            return 0;  // the old room stays with the row
        if (row->filled > 0)
            memcpy(values, row->values, row->filled * sizeof(double));
    }
    if (sparse) {
        uint32_t *columns = reinterpret_cast<uint32_t *>(values + room);
        if (row->filled > 0)
            memmove(columns, row->columns, row->filled * sizeof(uint32_t));
        row->columns = columns;
    }
    row->values = values;
    row->room = room;
    return 1;
}

// Appends a value to a full or banded row.
int Append(MTX *matrix, ROW *row, double value) {
    if (!MakeRoom(matrix, row, false)) {
        MSG_ErrorLine(3106);
        return 0;
    }
    row->values[row->filled++] = value;
    row->selfEntry = 1;
    return 1;
}

// Makes the sparse bookkeeping of the matrix reach column `index`. Both
// arrays grow alike; position 0 belongs to no row, so new columns are unset.
int ReachColumn(MTX *matrix, uint32_t index) {
    if (index < matrix->colRoom)
        return 1;  // the common case, without a call
    uint32_t rowsRoom = matrix->colRoom, entriesRoom = matrix->colRoom;
    const size_t need = static_cast<size_t>(index) + 1;
    if (!CMN_Grow(&matrix->colRow, &rowsRoom, need, 16) ||
        !CMN_Grow(&matrix->colEntry, &entriesRoom, need, 16))
        return 0;  // a grown first array keeps its room until the next try
    matrix->colRoom = rowsRoom;
    return 1;
}

// A banded row whose slots are full takes one more value only by turning
// the matrix into circle-back; 1 when that made room.
int MakeBandedRoom(MTX *matrix, ROW *row) {
    uint32_t bandwidth = 0, rows = 0;
    if (!MTX_GetBandwidth(matrix, &bandwidth))
        return 0;
    uint64_t wide = static_cast<uint64_t>(bandwidth) + 1;
    if (row->uiColumnCount == wide) {
        MSG_ErrorLine(3107, row->uiColumnCount);
        return 0;
    }
    int circleBack = 0;
    if (!MTX_GetRowCount(matrix, &rows) || !MTX_IsCircleBack(matrix, &circleBack))
        return 0;
    if (rows >= static_cast<uint64_t>(row->position) + row->uiColumnCount || circleBack) {
        MSG_ErrorLine(3107, row->uiColumnCount);
        return 0;
    }
    if (row->uiColumnCount >= wide) {
        MSG_BugLine(3108, kSourceName, __LINE__, static_cast<unsigned>(wide), row->uiColumnCount);
        return 0;
    }
    return MTX_ConvertToCircleBack(matrix);
}

void ParseSlots(MTX *matrix, char *line, bool banded) {
    ROW *row = matrix->pLastRow;
    char *cur = line;
    for (char *token; (token = CMN_NextToken(&cur)) != nullptr;) {
        double value = 0.0;
        if (!ReadValue(token, &value))
            return;
        if (row->filled >= row->uiColumnCount) {
            if (!banded) {
                MSG_ErrorLine(3105, row->uiColumnCount);
                return;
            }
            if (!MakeBandedRoom(matrix, row))
                return;
        }
        if (!Append(matrix, row, value))
            return;
    }
}

}  // namespace

int ROW_Begin(MTX *matrix, const char *name, uint32_t columnCount) {
    MSG_ASSERT(matrix != nullptr && name != nullptr);
    matrix->pLastRow = nullptr;
    ROW *row = nullptr;
    if (!CMN_PoolAlloc(&matrix->pool, &row, sizeof(ROW))) {
        MSG_ErrorLine(3119);
        return 0;
    }
    if (name[0] == '\0')
        MSG_ErrorLine(3120);
    if (strlen(name) > 5)
        MSG_ErrorLine(3121);
    CMN_StrNCopy(row->name, name, 5);
    CMN_CheckReservedWord(row->name);
    if (columnCount == 0) {
        MSG_ErrorLine(3122);
        return 0;  // its piece stays in the pool until the matrix goes
    }
    row->uiColumnCount = columnCount;
    matrix->pLastRow = row;

    uint32_t index = 0;
    if (!PKGMDL_FindPinIndexAt(row->name, matrix->uiRowsFound + 1, &index))
        MSG_ErrorLine(3100, row->name);
    if (matrix->tail == nullptr)
        matrix->rows = row;
    else
        matrix->tail->next = row;
    matrix->tail = row;
    row->position = ++matrix->uiRowsFound;
    if (matrix->uiWidestRow < columnCount)
        matrix->uiWidestRow = columnCount;
    if (matrix->rowNamesBuilt || index == 0 || index != row->position) {
        int added = 0;
        for (ROW *r = matrix->rowNamesBuilt ? row : matrix->rows; r != nullptr; r = r->next) {
            NAME_ENTRY *seen = NAMEIDX_Add(&matrix->rowNames, r->name, &added);
            if (seen == nullptr)
                continue;
            if (r == row)
                for (uint32_t i = 0; i < seen->number; ++i)
                    MSG_ErrorLine(3101, row->name);
            ++seen->number;
        }
        matrix->rowNamesBuilt = 1;
    }
    if (index != 0 && index != row->position)
        MSG_ErrorLine(3102, row->name, index, row->position);
    return 1;
}

void ROW_ParseFull(MTX *matrix, char *line) {
    MSG_ASSERT(matrix != nullptr && matrix->pLastRow != nullptr && line != nullptr);
    ParseSlots(matrix, line, false);
}

void ROW_ParseBanded(MTX *matrix, char *line) {
    MSG_ASSERT(matrix != nullptr && matrix->pLastRow != nullptr && line != nullptr);
    ParseSlots(matrix, line, true);
}

void ROW_ParseSparse(MTX *matrix, char *line) {
    MSG_ASSERT(matrix != nullptr && matrix->pLastRow != nullptr && line != nullptr);
    ROW *row = matrix->pLastRow;
    char *cur = line;
    char *column = CMN_NextToken(&cur);
    if (column == nullptr) {
        MSG_ErrorLine(3110);
        return;
    }
    const bool self = strcmp(column, row->name) == 0;
    if (self)
        row->selfEntry = 1;
    uint32_t index = 0;
    if (!PKGMDL_FindPinIndexAt(column, self ? row->position : row->position + 1, &index)) {
        MSG_ErrorLine(3100, column);
        return;  // no column to store at
    }
    if (index < row->position)
        MSG_ErrorLine(3111, index);
    if (index > row->uiColumnCount) {
        MSG_BugLine(3112, kSourceName, __LINE__);
        return;
    }
    if (!ReachColumn(matrix, index)) {
        MSG_ErrorLine(3106);
        return;
    }
    bool again = matrix->colRow[index] == row->position;
    if (again)
        MSG_ErrorLine(3113, index);
    char *text = CMN_NextToken(&cur);
    if (text == nullptr) {
        MSG_ErrorLine(3114);
        return;
    }
    double value = 0.0;
    if (!ReadValue(text, &value))
        return;
    if (again) {
        row->values[matrix->colEntry[index]] = value;  // the new value replaces the old
    } else {
        if (!MakeRoom(matrix, row, true)) {
            MSG_ErrorLine(3106);
            return;
        }
        matrix->colRow[index] = row->position;
        matrix->colEntry[index] = row->filled;
        row->columns[row->filled] = index;
        row->values[row->filled++] = value;
    }
    char *extra = CMN_NextToken(&cur);
    if (extra != nullptr)
        MSG_ErrorLine(3115, extra);
}

int ROW_CheckEverySlot(const ROW *row) {
    MSG_ASSERT(row != nullptr);
    if (row->filled >= row->uiColumnCount)
        return 1;
    MSG_ErrorLine(3116, row->uiColumnCount, row->name, row->filled, row->filled == 1 ? "" : "s");
    return 0;
}

int ROW_CheckAnySlot(const ROW *row) {
    MSG_ASSERT(row != nullptr);
    if (row->filled > 0)
        return 1;
    MSG_ErrorLine(3117, row->name);
    return 0;
}

int ROW_Widen(ROW *row, uint32_t count) {
    MSG_ASSERT(row != nullptr);
    if (row->uiColumnCount > count) {
        MSG_BugLine(3109, kSourceName, __LINE__);
        return 0;
    }
    row->uiColumnCount = count;  // the new slots are empty: values are stored as they come
    return 1;
}
