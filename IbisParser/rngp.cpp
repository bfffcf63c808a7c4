// Rows of typ/min/max tables, doubly linked in file order.
#define MSG_SRC MSGSRC_RNGP
#include "IbisParser/rngp.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {
const char kSourceName[] = "IbisParser/rngp";
}

int RNGP_Create(RNGP **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(RNGP))) {
        MSG_Bug(1404, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

int RNGP_ParseValues(const char *x, const char *typ, const char *min, const char *max,
                     const char *label, const char *firstName, RNGP *row) {
    MSG_ASSERT(label != nullptr && firstName != nullptr && row != nullptr);
    int ok = CMN_ReadValueOrNA(x, label, firstName, &row->x, &row->x_state);
    ok &= CMN_ReadValueOrNA(typ, label, "Typical", &row->typ, &row->typ_state);
    ok &= CMN_ReadValueOrNA(min, label, "Minimum", &row->min, &row->min_state);
    ok &= CMN_ReadValueOrNA(max, label, "Maximum", &row->max, &row->max_state);
    return ok;
}

int RNGP_ParseLine(const char *text, const char *label, const char *firstName, RNGP **out) {
    MSG_ASSERT(text != nullptr && label != nullptr && firstName != nullptr && out != nullptr);
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 4, &words)) {
        MSG_BugLine(1400, label);
        CMN_FreeWords(&words);
        return 0;
    }
    static const char *const kColumns[] = {"typical", "minimum", "maximum"};
    if (words.found >= 1 && words.found <= 3) {
        for (int i = words.found - 1; i < 3; ++i)
            MSG_ErrorLine(1401, kColumns[i], label);
    } else if (words.found != 4) {
        MSG_ErrorLine(1402, static_cast<int>(words.found), label, 4);
    }
    RNGP *row = nullptr;
    if (!RNGP_Create(&row)) {
        CMN_FreeWords(&words);
        return 0;
    }
    RNGP_ParseValues(words.words[0], words.words[1], words.words[2], words.words[3], label,
                     firstName, row);
    CMN_FreeWords(&words);
    *out = row;
    return 1;
}

void RNGP_Append(RNGP **head, RNGP *row, int *count, int check) {
    MSG_ASSERT(head != nullptr && row != nullptr && count != nullptr);
    int n = 0;
    RNGP *tail = nullptr;
    for (RNGP *r = *head; r != nullptr; r = r->next) {
        ++n;
        if (check && r->x == row->x)
            MSG_WarningLine(1403, row->x);
        tail = r;
    }
    row->next = nullptr;
    row->prev = tail;
    if (tail == nullptr)
        *head = row;
    else
        tail->next = row;
    *count = n + 1;
}

int RNGP_GetPrev(const RNGP *row, RNGP **out) {
    MSG_ASSERT(row != nullptr && out != nullptr);
    if (row->prev == nullptr)
        return 0;
    *out = row->prev;
    return 1;
}

void RNGP_Free(RNGP *head) {
    while (head != nullptr) {
        RNGP *next = head->next;
        CMN_Free(head);
        head = next;
    }
}
