// Package matrices: type, bandwidth, rows by type, circle-back conversion and
// the checks of a matrix when it closes.
#define MSG_SRC MSGSRC_MTX
#include "IbisParser/mtx.h"

#include "IbisParser/msg.h"
#include "IbisParser/row.h"

MTX *gpMtx = nullptr;

int MTX_Create(MTX **out, const char *typeText, uint32_t rowCount) {
    MSG_ASSERT(out != nullptr && typeText != nullptr);
    MTX_EndMatrix();
    *out = nullptr;
    MTX *m = nullptr;
    if (!CMN_Alloc(&m, sizeof(MTX))) {
        MSG_ErrorLine(3700);
        return 0;
    }
    m->uiRowCount = rowCount;
    gpMtx = m;
    *out = m;
    if (typeText[0] == '\0')
        MSG_ErrorLine(3701);
    else if (CMN_StrEqualNoCase(typeText, "Banded_matrix"))
        m->eMatrixType = MTX_TYPE_BANDED;
    else if (CMN_StrEqualNoCase(typeText, "Sparse_matrix"))
        m->eMatrixType = MTX_TYPE_SPARSE;
    else if (CMN_StrEqualNoCase(typeText, "Full_matrix"))
        m->eMatrixType = MTX_TYPE_FULL;
    else
        MSG_ErrorLine(3702, typeText);
    return 1;
}

void MTX_ParseBandwidth(MTX *matrix, const char *text) {
    MSG_ASSERT(matrix != nullptr && text != nullptr);
    // Whatever follows, the keyword was given: a bad one is not also missing.
    matrix->bBandwidthGiven = 1;
    if (matrix->eMatrixType != MTX_TYPE_BANDED && matrix->eMatrixType != MTX_TYPE_CIRCLE_BACK) {
        MSG_ErrorLine(3703);
        return;
    }
    unsigned long value = 0;
    int r = CMN_GetUnsigned(text, &value);
    // A bandwidth beyond 32 bits is as bad as none, on every platform.
    if (r == 0 || value > UINT32_MAX) {
        MSG_ErrorLine(3704);
        return;
    }
    if (r == 2)
        MSG_ErrorLine(3705);
    // Rows read before (a kept matrix named again) keep their slots: a band
    // narrower than one of them could neither describe it nor widen it when
    // the matrix turns circle-back, so the band they were read with stays.
    if (static_cast<uint64_t>(value) + 1 < matrix->uiWidestRow) {  // unsigned long may be 32 bits
        MSG_ErrorLineFrom(MSGSRC_PKGMDL, 3465);
        return;
    }
    matrix->uiBandwidth = static_cast<uint32_t>(value);
    if (matrix->uiBandwidth >= matrix->uiRowCount)
        MSG_ErrorLine(3706, matrix->uiBandwidth, matrix->uiRowCount);
}

void MTX_BeginRow(MTX *matrix, const char *pinName) {
    MSG_ASSERT(matrix != nullptr && pinName != nullptr);
    const uint64_t n = matrix->uiRowCount, found = matrix->uiRowsFound;
    const uint64_t wide = static_cast<uint64_t>(matrix->uiBandwidth) + 1;
    uint64_t columns = 0;
    switch (matrix->eMatrixType) {
    case MTX_TYPE_FULL:
    case MTX_TYPE_BANDED:
    case MTX_TYPE_CIRCLE_BACK:
        if (found > n)
            return;
        // Row k = found + 1 begins at the diagonal: N - k + 1 columns are left.
        columns = n - found;
        if (matrix->eMatrixType == MTX_TYPE_BANDED && wide < columns)
            columns = wide;
        else if (matrix->eMatrixType == MTX_TYPE_CIRCLE_BACK)
            columns = wide > UINT32_MAX ? UINT32_MAX : wide;
        if (columns == 0)
            return;
        break;
    case MTX_TYPE_SPARSE:
        columns = n;
        break;
    default:
        return;  // a matrix of unknown type takes no rows
    }
    ROW_Begin(matrix, pinName, static_cast<uint32_t>(columns));
}

void MTX_ParseRowData(MTX *matrix, char *line) {
    MSG_ASSERT(matrix != nullptr && line != nullptr);
    if (matrix->pLastRow == nullptr)
        return;
    switch (matrix->eMatrixType) {
    case MTX_TYPE_FULL: ROW_ParseFull(matrix, line); break;
    case MTX_TYPE_BANDED:
    case MTX_TYPE_CIRCLE_BACK: ROW_ParseBanded(matrix, line); break;
    case MTX_TYPE_SPARSE: ROW_ParseSparse(matrix, line); break;
    default: break;
    }
}

void MTX_EndMatrix(void) {
    MTX *m = gpMtx;
    if (m == nullptr)
        return;
    m->pLastRow = nullptr;
    if (m->uiRowsFound != m->uiRowCount)
        MSG_ErrorLine(3717, m->uiRowCount, m->uiRowsFound);
    if (m->rows != nullptr) {
        int (*rule)(const ROW *) = nullptr;
        switch (m->eMatrixType) {
        case MTX_TYPE_BANDED:
        case MTX_TYPE_CIRCLE_BACK:
        case MTX_TYPE_FULL: rule = ROW_CheckEverySlot; break;
        case MTX_TYPE_SPARSE: rule = ROW_CheckAnySlot; break;
        default: MSG_BugLine(3718); break;
        }
        // After the first row that misses slots, a missing self entry is no
        // longer worth a message of its own.
        bool failed = false;
        for (const ROW *row = m->rows; rule != nullptr && row != nullptr; row = row->next) {
            bool ok = rule(row) != 0;
            if (!failed && !row->selfEntry)
                MSG_ErrorLineFrom(MSGSRC_ROW, 3118, row->name);
            failed = failed || !ok;
        }
    }
    gpMtx = nullptr;
}

void MTX_CheckBandwidth(const char *label, const MTX *matrix) {
    MSG_ASSERT(label != nullptr);
    if (matrix == nullptr)
        return;
    if ((matrix->eMatrixType == MTX_TYPE_BANDED || matrix->eMatrixType == MTX_TYPE_CIRCLE_BACK) &&
        !matrix->bBandwidthGiven)
        MSG_Error(3716, label);
}

void MTX_Free(MTX *matrix) {
    if (matrix == nullptr)
        return;
    if (matrix == gpMtx)
        gpMtx = nullptr;
    CMN_PoolFree(&matrix->pool);
    NAMEIDX_Clear(&matrix->rowNames);
    CMN_Free(matrix->colRow);
    CMN_Free(matrix->colEntry);
    CMN_Free(matrix);
}

void MTX_Reset(void) { gpMtx = nullptr; }

int MTX_GetRowCount(const MTX *matrix, uint32_t *count) {
    MSG_ASSERT(count != nullptr);
    if (matrix == nullptr) {
        MSG_BugLine(3713);
        return 0;
    }
    *count = matrix->uiRowCount;
    return 1;
}

int MTX_GetBandwidth(const MTX *matrix, uint32_t *bandwidth) {
    MSG_ASSERT(bandwidth != nullptr);
    if (matrix == nullptr) {
        MSG_BugLine(3714);
        return 0;
    }
    if (matrix->eMatrixType != MTX_TYPE_BANDED && matrix->eMatrixType != MTX_TYPE_CIRCLE_BACK) {
        MSG_BugLine(3715);
        return 0;
    }
    *bandwidth = matrix->uiBandwidth;
    return 1;
}

int MTX_IsCircleBack(const MTX *matrix, int *circleBack) {
    MSG_ASSERT(circleBack != nullptr);
    if (matrix == nullptr) {
        MSG_BugLine(3711);
        return 0;
    }
    if (matrix->eMatrixType != MTX_TYPE_BANDED && matrix->eMatrixType != MTX_TYPE_CIRCLE_BACK) {
        MSG_BugLine(3712);
        return 0;
    }
    *circleBack = matrix->eMatrixType == MTX_TYPE_CIRCLE_BACK;
    return 1;
}

int MTX_ConvertToCircleBack(MTX *matrix) {
    if (matrix == nullptr) {
        MSG_BugLine(3707);
        return 0;
    }
    if (matrix->eMatrixType == MTX_TYPE_CIRCLE_BACK) {
        MSG_BugLine(3709);
        return 0;
    }
    if (matrix->eMatrixType != MTX_TYPE_BANDED) {
        MSG_BugLine(3710);
        return 0;
    }
    matrix->eMatrixType = MTX_TYPE_CIRCLE_BACK;
    uint32_t limit = matrix->uiRowCount == 0 ? 0 : (matrix->uiRowCount - 1) / 2;
    if (limit < matrix->uiBandwidth) {
        MSG_ErrorLine(3708, limit);
        return 0;
    }
    // limit < 2^31, so B + 1 fits.
    for (ROW *row = matrix->rows; row != nullptr; row = row->next)
        if (!ROW_Widen(row, matrix->uiBandwidth + 1))
            return 0;
    if (matrix->rows != nullptr && matrix->uiWidestRow < matrix->uiBandwidth + 1)
        matrix->uiWidestRow = matrix->uiBandwidth + 1;
    return 1;
}
