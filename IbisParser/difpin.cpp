// [Diff Pin] rows of a component: the pair, its values, and the end checks
// that both pins exist and that no pin is used twice.
#define MSG_SRC MSGSRC_DIFPIN
#include "IbisParser/difpin.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/pin.h"

namespace {

const char kSourceName[] = "IbisParser/difpin";

// The four checks of a pair of rows, a before b.
void CheckPair(const DIFPIN *a, const DIFPIN *b, const char *component) {
    if (strcmp(a->pin, b->pin) == 0)
        MSG_Warning(812, component, b->pin);
    if (strcmp(a->pin, b->inv_pin) == 0)
        MSG_Error(813, component, b->inv_pin);
    if (strcmp(a->inv_pin, b->pin) == 0)
        MSG_Error(814, component, b->pin);
    if (strcmp(a->inv_pin, b->inv_pin) == 0)
        MSG_Warning(815, component, b->inv_pin);
}

// Where each name stands as pin and as inv_pin: the positions of those rows,
// ascending and grouped by name. A row meets only the later rows that share
// one of its names, so the pair checks take time in proportion to the rows
// and the messages, not to every pair.
struct PairIndex {
    size_t rows;
    size_t names;
    DIFPIN **row;      // by position
    size_t *nameOf;    // per position: pin's name, then (at rows + i) inv_pin's
    size_t *start;     // per name: first entry in at; pins, then (at names + 1) inv_pins
    size_t *at;        // positions; pins, then (at rows) inv_pins
};

void FreePairIndex(PairIndex *x) {
    CMN_Free(x->row);
    CMN_Free(x->nameOf);
    CMN_Free(x->start);
    CMN_Free(x->at);
}

// Groups the positions of one role (0 pin, 1 inv_pin) by name.
void Group(PairIndex *x, int role) {
    size_t *start = x->start + role * (x->names + 1);
    size_t *at = x->at + role * x->rows;
    const size_t *nameOf = x->nameOf + role * x->rows;
    for (size_t i = 0; i < x->rows; ++i)
        ++start[nameOf[i] + 1];
    for (size_t k = 0; k < x->names; ++k)
        start[k + 1] += start[k];
    // Filling moves each start to the next name's; shifted back afterwards.
    for (size_t i = 0; i < x->rows; ++i)
        at[start[nameOf[i]]++] = i;
    for (size_t k = x->names; k > 0; --k)
        start[k] = start[k - 1];
    start[0] = 0;
}

int BuildPairIndex(PairIndex *x, DIFPIN *rows) {
    *x = PairIndex{};
    for (DIFPIN *r = rows; r != nullptr; r = r->next)
        ++x->rows;
    const size_t n = x->rows;
    if (n > SIZE_MAX / (2 * sizeof(size_t)) || !CMN_Alloc(&x->row, n * sizeof(DIFPIN *)) ||
        !CMN_Alloc(&x->nameOf, 2 * n * sizeof(size_t)) || !CMN_Alloc(&x->at, 2 * n * sizeof(size_t)))
        return 0;
    NAME_INDEX names{};
    int ok = 1;
    size_t i = 0;
    for (DIFPIN *r = rows; r != nullptr && ok; r = r->next, ++i) {
        x->row[i] = r;
        const char *both[] = {r->pin, r->inv_pin};
        for (int role = 0; role < 2 && ok; ++role) {
            int added = 0;
            NAME_ENTRY *e = NAMEIDX_Add(&names, both[role], &added);
            if (e == nullptr) {
                ok = 0;
                break;
            }
            if (added)
                e->number = static_cast<uint32_t>(x->names++);
            x->nameOf[role * n + i] = e->number;
        }
    }
    NAMEIDX_Clear(&names);
    if (!ok || !CMN_Alloc(&x->start, 2 * (x->names + 1) * sizeof(size_t)))
        return 0;
    Group(x, 0);
    Group(x, 1);
    return 1;
}

void CheckPairs(DIFPIN *rows, const char *component) {
    PairIndex x;
    if (!BuildPairIndex(&x, rows)) {
        FreePairIndex(&x);
        for (DIFPIN *a = rows; a != nullptr; a = a->next)
            for (DIFPIN *b = a->next; b != nullptr; b = b->next)
                CheckPair(a, b, component);
        return;
    }
    const size_t n = x.rows;
    for (size_t i = 0; i < n; ++i) {
        // The later rows naming this row's pin or inv_pin, in either role.
        struct Range {
            const size_t *next, *end;
        } ranges[4];
        int r = 0;
        for (size_t name : {x.nameOf[i], x.nameOf[n + i]})
            for (int role = 0; role < 2; ++role) {
                const size_t *start = x.start + role * (x.names + 1);
                const size_t *at = x.at + role * n;
                const size_t *end = at + start[name + 1];
                ranges[r++] = {std::upper_bound(at + start[name], end, i), end};
            }
        for (;;) {
            size_t b = SIZE_MAX;
            for (const Range &g : ranges)
                if (g.next != g.end && *g.next < b)
                    b = *g.next;
            if (b == SIZE_MAX)
                break;
            for (Range &g : ranges)
                if (g.next != g.end && *g.next == b)
                    ++g.next;
            CheckPair(x.row[i], x.row[b], component);
        }
    }
    FreePairIndex(&x);
}

// "NA" stands for 0 in every column but tdelay_max, where it stands for
// tdelay_typ.
void ReadColumn(const char *word, double *value, int *state, const char *column,
                const DIFPIN *row) {
    if (DIFPIN_ParseValue(word, value, state, column) != CMN_VALUE_NA)
        return;
    *value = strcmp(column, "tdelay_max") == 0 ? row->tdelay_typ : 0.0;
    *state = CMN_VALUE_NUMBER;
}

}  // namespace

int DIFPIN_Create(DIFPIN **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(DIFPIN))) {
        MSG_ErrorLine(800);
        return 0;
    }
    return 1;
}

int DIFPIN_ParseValue(const char *text, double *value, int *state, const char *column) {
    MSG_ASSERT(text != nullptr && value != nullptr && state != nullptr && column != nullptr);
    int na = 0;
    switch (CMN_GetValueOrNA(text, value, &na)) {
    case 0:
        MSG_ErrorLine(816, column);
        *value = 0.0;
        *state = CMN_VALUE_ABSENT;
        break;
    case 1: *state = na ? CMN_VALUE_NA : CMN_VALUE_NUMBER; break;
    case 2:
        MSG_WarningLine(817, column);
        *state = CMN_VALUE_NUMBER;
        break;
    default:
        MSG_BugLine(818, kSourceName, __LINE__);
        *state = CMN_VALUE_ABSENT;
        break;
    }
    return *state;
}

int DIFPIN_ParseRow(const char *text, int headerColumns, DIFPIN **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    DIFPIN *row = nullptr;
    if (!DIFPIN_Create(&row))
        return 0;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 6, &words)) {
        CMN_FreeWords(&words);
        DIFPIN_Free(row);
        return 0;
    }
    if (words.found > 6)
        MSG_ErrorLine(801);
    if (words.stored >= 1) {
        row->columns++;
        CMN_CopyTruncate(row->pin, words.words[0], 5, "Diff_Pin column");
    } else {
        MSG_ErrorLine(802);
    }
    if (words.stored >= 2) {
        row->columns++;
        CMN_CopyTruncate(row->inv_pin, words.words[1], 5, "inv_pin column");
        if (strcmp(row->pin, row->inv_pin) == 0)
            MSG_ErrorLine(804);
    } else {
        MSG_ErrorLine(803);
    }
    struct {
        const char *name;
        double *value;
        int *state;
        int missing;  // message when the column is required and missing
    } const columns[] = {{"vdiff", &row->vdiff, &row->vdiff_state, 805},
                         {"tdelay_typ", &row->tdelay_typ, &row->tdelay_typ_state, 806},
                         {"tdelay_min", &row->tdelay_min, &row->tdelay_min_state, 0},
                         {"tdelay_max", &row->tdelay_max, &row->tdelay_max_state, 0}};
    for (int i = 0; i < 4; ++i) {
        if (2 + i < words.stored) {
            row->columns++;
            ReadColumn(words.words[2 + i], columns[i].value, columns[i].state, columns[i].name,
                       row);
        } else if (columns[i].missing != 0) {
            MSG_ErrorLine(columns[i].missing);
        }
    }
    if (row->tdelay_typ_state == CMN_VALUE_NUMBER && row->tdelay_min_state == CMN_VALUE_NUMBER &&
        row->tdelay_max_state == CMN_VALUE_NUMBER) {
        const double typ = row->tdelay_typ, lo = row->tdelay_min, hi = row->tdelay_max;
        if ((typ < lo && typ < hi) || (typ > lo && typ > hi))
            MSG_WarningLine(807);
    }
    if (row->columns != 4 && row->columns != 6)
        MSG_ErrorLine(808);
    if (row->columns == 6 && headerColumns == 4)
        MSG_ErrorLine(809);
    CMN_FreeWords(&words);
    *out = row;
    return 1;
}

void DIFPIN_Append(DIFPIN **head, DIFPIN *row) {
    MSG_ASSERT(head != nullptr && row != nullptr);
    CMN_AppendAtTail(head, row);
}

void DIFPIN_Free(DIFPIN *list) {
    CMN_FreeChain(list);
}

void DIFPIN_CheckAll(DIFPIN *rows, PIN *pins, const char *component) {
    MSG_ASSERT(component != nullptr);
    if (pins != nullptr)
        for (DIFPIN *r = rows; r != nullptr; r = r->next) {
            if (!PIN_Exists(r->pin, pins))
                MSG_Error(810, component, r->pin);
            if (!PIN_Exists(r->inv_pin, pins))
                MSG_Error(811, component, r->inv_pin);
        }
    CheckPairs(rows, component);
}
