// Rows of typ/min/max tables, doubly linked in file order.
#define MSG_SRC MSGSRC_RNGP
#include "IbisParser/rngp.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"

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

namespace {

unsigned long long HashOf(double x) {
    if (x == 0.0)
        x = 0.0;  // -0.0 equals 0.0, so it must land in the same slot
    uint64_t h = 0;
    memcpy(&h, &x, sizeof h);
    return NAMEIDX_HashBits(h);
}

// The slot holding x, or the empty slot where it belongs.
RNGP_XCOUNT *FindSlot(RNGP_XCOUNT *slots, unsigned long capacity, double x) {
    unsigned long i = static_cast<unsigned long>(HashOf(x)) & (capacity - 1);
    while (slots[i].count != 0 && !(slots[i].x == x))
        i = (i + 1) & (capacity - 1);
    return &slots[i];
}

int Grow(RNGP_TAIL *tail) {
    unsigned long capacity = tail->capacity != 0 ? tail->capacity * 2 : 64;
    RNGP_XCOUNT *slots = nullptr;
    if (!CMN_Alloc(&slots, capacity * sizeof(RNGP_XCOUNT)))
        return 0;
    for (unsigned long i = 0; i < tail->capacity; ++i)
        if (tail->slots[i].count != 0)
            *FindSlot(slots, capacity, tail->slots[i].x) = tail->slots[i];
    CMN_Free(tail->slots);
    tail->slots = slots;
    tail->capacity = capacity;
    return 1;
}

// Counts one more row of x; the number counted before, or -1 when the
// index cannot grow.
int CountX(RNGP_TAIL *tail, double x) {
    if ((tail->used + 1) * 2 > tail->capacity && !Grow(tail))
        return -1;
    RNGP_XCOUNT *slot = FindSlot(tail->slots, tail->capacity, x);
    if (slot->count == 0) {
        slot->x = x;
        ++tail->used;
    }
    return slot->count++;
}

int BuildIndex(const RNGP *head, RNGP_TAIL *tail) {
    for (const RNGP *r = head; r != nullptr; r = r->next)
        if (CountX(tail, r->x) < 0)
            return 0;
    return 1;
}

// Makes the tail describe the list at head: a zero-filled tail, or one whose
// list was emptied or appended to behind its back, is set up by one walk.
void Resync(RNGP *head, RNGP_TAIL *tail) {
    if (head == nullptr ? tail->last == nullptr && tail->count == 0
                        : tail->last != nullptr && tail->last->next == nullptr)
        return;
    RNGP_DropIndex(tail);
    tail->last = nullptr;
    tail->count = 0;
    tail->order = 0;
    for (RNGP *r = head; r != nullptr; r = r->next) {
        tail->last = r;
        ++tail->count;
    }
}

// The order of the rows once x is appended; 0 when x does not go on in
// the order of the rows before it.
int OrderWith(const RNGP_TAIL *tail, double x) {
    if (tail->count == 0)
        return 3;
    if ((tail->order == 1 || tail->order == 3) && x > tail->lastX)
        return 1;
    if ((tail->order == 2 || tail->order == 3) && x < tail->lastX)
        return 2;
    return 0;
}

}  // namespace

void RNGP_Append(RNGP **head, RNGP_TAIL *tail, RNGP *row, int *count, int check) {
    MSG_ASSERT(head != nullptr && tail != nullptr && row != nullptr && count != nullptr);
    Resync(*head, tail);
    const int order = OrderWith(tail, row->x);
    // Rows before this one with the same x, from the index; -1 unknown.
    int earlier = -1;
    if (order != 0 && tail->slots == nullptr) {
        earlier = 0;  // beyond every x before it
    } else if (check && tail->slots == nullptr && !BuildIndex(*head, tail)) {
        MSG_Bug(1404, kSourceName, __LINE__);
        RNGP_DropIndex(tail);
    } else if (check || tail->slots != nullptr) {
        earlier = CountX(tail, row->x);
        if (earlier < 0) {
            MSG_Bug(1404, kSourceName, __LINE__);
            RNGP_DropIndex(tail);
        }
    }
    if (check) {
        if (earlier < 0) {  // no index to be had: count the slow way
            earlier = 0;
            for (const RNGP *r = *head; r != nullptr; r = r->next)
                earlier += r->x == row->x;
        }
        for (int i = 0; i < earlier; ++i)
            MSG_WarningLine(1403, row->x);
    }
    row->next = nullptr;
    row->prev = tail->last;
    if (tail->last == nullptr)
        *head = row;
    else
        tail->last->next = row;
    tail->last = row;
    tail->order = order;
    tail->lastX = row->x;
    *count = ++tail->count;
}

void RNGP_DropIndex(RNGP_TAIL *tail) {
    MSG_ASSERT(tail != nullptr);
    CMN_Free(tail->slots);
    tail->slots = nullptr;
    tail->capacity = 0;
    tail->used = 0;
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
