// I-V tables: rows in file order, with the checks made while they are read
// (repeated voltages, monotonic columns, row limit) and at their end (first
// and last rows, direction of the current, clamps that never reach zero).
#define MSG_SRC MSGSRC_CRV
#include "IbisParser/crv.h"

#include <cmath>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

const char kSourceName[] = "IbisParser/crv";
const int kRowLimit = 100;
// Currents at or below this magnitude count as zero.
const double kZeroCurrent = 1e-6;

// The row of the lowest or highest voltage seen so far.
struct Extreme {
    double voltage;
    double typ;
    int typState;
};

// What is known of the table being read; one table is read at a time.
struct State {
    unsigned long keywordLine;
    int haveVoltage;  // a row with a given voltage was seen
    Extreme low, high;
    CRV_TRACKER trackers[4];  // Voltage, Typical, Minimum, Maximum
};

State s_state;
int s_noRowLimit = 0;

const char *const kColumnWords[4] = {"Voltage", "Typical", "Minimum", "Maximum"};

void UpdateExtremes(const RNGP *row) {
    Extreme e = {row->x, row->typ, row->typ_state};
    if (!s_state.haveVoltage) {
        s_state.haveVoltage = 1;
        s_state.low = e;
        s_state.high = e;
    } else if (row->x < s_state.low.voltage ||
               (row->x == s_state.low.voltage && s_state.low.typState != CMN_VALUE_NUMBER)) {
        s_state.low = e;
    } else if (row->x > s_state.high.voltage ||
               (row->x == s_state.high.voltage && s_state.high.typState != CMN_VALUE_NUMBER)) {
        s_state.high = e;
    }
}

// 0 unchecked, 1 rising, 2 falling: the direction the typ current must take
// from the lowest to the highest voltage.
int ExpectedDirection(int modelType, int keywordCode) {
    switch (modelType) {
    case MDL_TYPE_INPUT_ECL:
    case MDL_TYPE_OUTPUT_ECL:
    case MDL_TYPE_IO_ECL:
    case MDL_TYPE_3STATE_ECL:
        return keywordCode == KW_GND_CLAMP ? 1 : 2;
    case MDL_TYPE_SERIES:
    case MDL_TYPE_SERIES_SWITCH:
        if (keywordCode == KW_SERIES_CURRENT)
            return 0;
        if (keywordCode == KW_SERIES_MOSFET)
            return 1;
        break;
    default:
        break;
    }
    return keywordCode == KW_PULLDOWN || keywordCode == KW_GND_CLAMP ? 1 : 2;
}

void CheckDirection(const char *modelName, int modelType, int keywordCode, const char *caption,
                    const char *owner) {
    if (modelType == MDL_TYPE_NONE || modelType == MDL_TYPE_INVALID ||
        keywordCode == KW_ISSO_PD || keywordCode == KW_ISSO_PU || !s_state.haveVoltage ||
        s_state.low.typState != CMN_VALUE_NUMBER || s_state.high.typState != CMN_VALUE_NUMBER)
        return;
    int expected = ExpectedDirection(modelType, keywordCode);
    if (expected == 1 && s_state.low.typ > s_state.high.typ)
        MSG_Warning(1111, owner, modelName, caption);
    else if (expected == 2 && s_state.low.typ < s_state.high.typ)
        MSG_Warning(1112, owner, modelName, caption);
}

// Value and state of one current column of a row: 0 typ, 1 min, 2 max.
double Current(const RNGP *row, int column, int *state) {
    switch (column) {
    case 0: *state = row->typ_state; return row->typ;
    case 1: *state = row->min_state; return row->min;
    default: *state = row->max_state; return row->max;
    }
}

// A clamp column that is given in its first and last rows and stays on one
// side of zero.
void CheckZeroCrossing(const RNGP *first, const RNGP *last, const char *modelName,
                       const char *caption, const char *owner) {
    static const int kNoZeroCrossing[3] = {1113, 1114, 1115};  // typ, min, max
    for (int column = 0; column < 3; ++column) {
        int firstState = 0, lastState = 0;
        double lowest = Current(first, column, &firstState);
        Current(last, column, &lastState);
        if (firstState != CMN_VALUE_NUMBER || lastState != CMN_VALUE_NUMBER)
            continue;
        double highest = lowest;
        bool reachesZero = false;
        for (const RNGP *r = first; r != nullptr && !reachesZero; r = r->next) {
            int state = 0;
            double value = Current(r, column, &state);
            if (state != CMN_VALUE_NUMBER)
                continue;
            if (fabs(value) <= kZeroCurrent)
                reachesZero = true;
            else if (value <= lowest)
                lowest = value;
            else if (value >= highest)
                highest = value;
        }
        if (!reachesZero && ((lowest < 0 && highest < 0) || (lowest > 0 && highest > 0)))
            MSG_Warning(kNoZeroCrossing[column], owner, modelName, caption);
    }
}

// One interpolation point: its voltage and the corners known there.
struct Point {
    double voltage;
    double value[3];
    bool known[3];
};

// A corner of a row: its own value when given, typ for "NA" (when typ is
// given), else unknown.
void TakeCorner(double value, int state, const RNGP *row, double *out, bool *known) {
    if (state == CMN_VALUE_NUMBER) {
        *out = value;
        *known = true;
    } else if (state == CMN_VALUE_NA && row->typ_state == CMN_VALUE_NUMBER) {
        *out = row->typ;
        *known = true;
    }
}

}  // namespace

void CRV_Reset(void) { s_state = State{}; }

void CRV_SetNoRowLimit(int flag) { s_noRowLimit = flag != 0; }

int CRV_TrackMonotonic(CRV_TRACKER *t, double value) {
    MSG_ASSERT(t != nullptr);
    if (t->phase == 2)
        return 0;
    if (t->phase == 0) {
        t->phase = 1;
        t->direction = 0;
    } else if ((t->direction == 1 && value < t->last) || (t->direction == 2 && value > t->last)) {
        t->phase = 2;
        return 1;
    } else if (t->direction == 0 && value != t->last) {
        t->direction = value > t->last ? 1 : 2;
    }
    t->last = value;
    return 0;
}

int CRV_TrackRow(CRV_TRACKER *trackers, const RNGP *row) {
    MSG_ASSERT(trackers != nullptr && row != nullptr);
    const int states[4] = {row->x_state, row->typ_state, row->min_state, row->max_state};
    const double values[4] = {row->x, row->typ, row->min, row->max};
    int turned = 0;
    for (int i = 0; i < 4; ++i)
        if (states[i] == CMN_VALUE_NUMBER && CRV_TrackMonotonic(&trackers[i], values[i]))
            turned |= 1 << i;
    return turned;
}

int CRV_Init(const char *keywordText, const char *caption, CRV **slot) {
    MSG_ASSERT(keywordText != nullptr && caption != nullptr && slot != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(1100, caption);
        CRV_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(CRV))) {
        MSG_Bug(1101, kSourceName, __LINE__);
        return 0;
    }
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(1102, kSourceName, __LINE__);
    } else {
        WORD_LIST words{};
        if (!CMN_SplitWords(rest, 0, &words))
            MSG_Bug(1103, caption, kSourceName, __LINE__);
        else if (words.found > 0)
            MSG_ErrorLine(1104, static_cast<int>(words.found) + 1, caption, 1);
        CMN_FreeWords(&words);
    }
    s_state = State{};
    s_state.keywordLine = MSG_GetLineNumber();
    return 1;
}

int CRV_ParseLine(const char *text, CRV *table, const char *caption) {
    MSG_ASSERT(text != nullptr && caption != nullptr);
    if (table == nullptr)
        return 0;
    RNGP *row = nullptr;
    if (!RNGP_ParseLine(text, caption, "Voltage", &row))
        return 0;
    int count = 0;
    RNGP_Append(&table->points, &table->rows, row, &count, 1);

    const int turned = CRV_TrackRow(s_state.trackers, row);
    for (int i = 0; i < 4; ++i)
        if (turned & (1 << i))
            MSG_NoteLine(1110, caption, kColumnWords[i]);

    if (row->x_state == CMN_VALUE_NA)
        MSG_ErrorLine(1106);
    else if (row->x_state == CMN_VALUE_NUMBER)
        UpdateExtremes(row);

    if (count == kRowLimit + 1 && !s_noRowLimit)
        MSG_ErrorLine(1107, kRowLimit, caption);
    return 1;
}

void CRV_EndKeyword(const char *modelName, int modelType, int keywordCode, CRV *table,
                    const char *caption, const char *owner) {
    MSG_ASSERT(modelName != nullptr && caption != nullptr && owner != nullptr);
    if (table == nullptr)
        return;
    const int line = static_cast<int>(s_state.keywordLine);
    const RNGP *first = table->points, *last = nullptr;
    int rows = 0;
    bool anyMin = false, anyMax = false;
    for (const RNGP *r = first; r != nullptr; r = r->next) {
        ++rows;
        last = r;
        anyMin = anyMin || r->min_state == CMN_VALUE_NUMBER;
        anyMax = anyMax || r->max_state == CMN_VALUE_NUMBER;
    }
    if (rows < 2) {
        MSG_Error(1108, caption, line);
    } else {
        const RNGP *ends[2] = {first, last};
        const char *const endWords[2] = {"First", "Last"};
        for (int e = 0; e < 2; ++e) {
            if (ends[e]->typ_state == CMN_VALUE_NA)
                MSG_Error(1109, endWords[e], "Typical", caption, line);
            if (anyMin && ends[e]->min_state == CMN_VALUE_NA)
                MSG_Error(1109, endWords[e], "Minimum", caption, line);
            if (anyMax && ends[e]->max_state == CMN_VALUE_NA)
                MSG_Error(1109, endWords[e], "Maximum", caption, line);
        }
    }
    CheckDirection(modelName, modelType, keywordCode, caption, owner);
    if ((keywordCode == KW_GND_CLAMP || keywordCode == KW_POWER_CLAMP) && first != nullptr)
        CheckZeroCrossing(first, last, modelName, caption, owner);
    // The table takes no more rows: its index of voltages has done its work.
    RNGP_DropIndex(&table->rows);
}

void CRV_InterpolateAt(const CRV *table, double voltage, double **typ, double **min,
                       double **max) {
    MSG_ASSERT(table != nullptr && typ != nullptr && min != nullptr && max != nullptr);
    double **outs[3] = {typ, min, max};
    for (double **out : outs)
        *out = nullptr;
    Point left{}, right{};
    bool haveLeft = false, found = false;
    for (const RNGP *r = table->points; r != nullptr && !found; r = r->next) {
        if (r->x_state != CMN_VALUE_NUMBER)
            continue;
        if (!haveLeft) {
            haveLeft = true;
            left = Point{};
            left.voltage = r->x;
            TakeCorner(r->typ, r->typ_state, r, &left.value[0], &left.known[0]);
            TakeCorner(r->min, r->min_state, r, &left.value[1], &left.known[1]);
            TakeCorner(r->max, r->max_state, r, &left.value[2], &left.known[2]);
            continue;
        }
        // A row at the left point's voltage, or too close to it, would give
        // a segment of no width.
        const double step = fabs(r->x - left.voltage);
        if (step == 0.0 || fabs(left.voltage) * 1e-6 > step)
            continue;
        if (r->typ_state != CMN_VALUE_NUMBER) {
            left = Point{};
            left.voltage = r->x;
            continue;
        }
        right = left;  // a corner the row does not give keeps the left value
        right.voltage = r->x;
        right.value[0] = r->typ;
        right.known[0] = true;
        TakeCorner(r->min, r->min_state, r, &right.value[1], &right.known[1]);
        TakeCorner(r->max, r->max_state, r, &right.value[2], &right.known[2]);
        const double lo = fmin(left.voltage, r->x), hi = fmax(left.voltage, r->x);
        if ((voltage >= lo && voltage <= hi) || fabs(voltage) * 1e-6 > fabs(voltage - r->x))
            found = true;
        else
            left = right;
    }
    if (!found)
        return;
    for (int c = 0; c < 3; ++c) {
        if (!left.known[c] || !right.known[c])
            continue;
        double *value = nullptr;
        if (!CMN_Alloc(&value, sizeof(double))) {
            MSG_Bug(1101, kSourceName, __LINE__);
            continue;
        }
        *value = left.value[c] + (right.value[c] - left.value[c]) /
                                     (right.voltage - left.voltage) * (voltage - left.voltage);
        *outs[c] = value;
    }
}

int CRV_CopyPoints(const CRV *source, CRV **out) {
    MSG_ASSERT(source != nullptr && out != nullptr);
    CRV *copy = nullptr;
    if (!CMN_Alloc(&copy, sizeof(CRV))) {
        MSG_Bug(1105, kSourceName, __LINE__);
        return 0;
    }
    for (const RNGP *r = source->points; r != nullptr; r = r->next) {
        if (r->x_state != CMN_VALUE_NUMBER)
            continue;
        RNGP *row = nullptr;
        if (!CMN_Alloc(&row, sizeof(RNGP))) {
            MSG_Bug(1105, kSourceName, __LINE__);
            CRV_Free(copy);
            return 0;
        }
        *row = *r;
        int count = 0;
        RNGP_Append(&copy->points, &copy->rows, row, &count, 0);
    }
    *out = copy;
    return 1;
}

void CRV_Free(CRV *table) {
    if (table == nullptr)
        return;
    if (table->storage != CRV_ONE_BLOCK) {  // a block's rows go with the record
        RNGP_Free(table->points);
        RNGP_DropIndex(&table->rows);
    }
    CMN_Free(table);
}
