// Root lists (newest record first) whose records are found by exact name
// through an index instead of a walk. The index hangs on the head record
// (field `index`) and moves to each record linked in front of it, so the
// list head alone answers a lookup. Records need `next`, a `name` array and
// `index` (STRING_INDEX*, null when the record heads no indexed list).
#pragma once

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/stringlist.h"

// Links record in front of next (the old head), taking over its index.
template <typename T> void NAMEDLIST_Link(T *record, T *next) {
    record->next = next;
    if (next != nullptr && next->index != nullptr) {
        MSG_ASSERT(record->index == nullptr);
        record->index = next->index;
        next->index = nullptr;
    }
}

// The first record of the list (in list order) named exactly name, leaving
// out `skip`; null when none. Without a working index the list is walked.
template <typename T> T *NAMEDLIST_Find(T *head, const char *name, const T *skip = nullptr) {
    MSG_ASSERT(name != nullptr);
    if (head == nullptr)
        return nullptr;
    // Unnamed records are not indexed; neither is the one still being named.
    if (head->index != nullptr && !head->index->failed && name[0] != '\0') {
        void *found = nullptr;
        if (!STRING_IndexGet(head->index, name, &found) || found == skip)
            return nullptr;
        return static_cast<T *>(found);
    }
    for (T *r = head; r != nullptr; r = r->next)
        if (r != skip && strcmp(r->name, name) == 0)
            return r;
    return nullptr;
}

// Indexes the name just stored in record, the head of its list: the newest
// record, so it is the first of its name. An index that cannot be made or
// grown leaves the list to be walked.
template <typename T> void NAMEDLIST_Add(T *head, T *record) {
    MSG_ASSERT(head == record);
    if (record->name[0] == '\0')
        return;
    if (head->index == nullptr) {
        if (!CMN_Alloc(&head->index, sizeof(STRING_INDEX)))
            return;
        STRING_IndexInit(head->index, 0);
        for (T *r = head->next; r != nullptr; r = r->next)
            if (r->name[0] != '\0')
                STRING_IndexPut(head->index, r->name, r, 0);
    }
    STRING_IndexPut(head->index, record->name, record, 1);
}

// Frees the index a record holds (the names stay in the records).
template <typename T> void NAMEDLIST_FreeIndex(T *record) {
    if (record->index == nullptr)
        return;
    STRING_IndexFree(record->index);
    CMN_FreeAndClear(&record->index);
}
