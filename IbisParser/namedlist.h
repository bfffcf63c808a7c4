// Root lists (newest record first) whose records are found by exact name
// through an index instead of a walk. The index hangs on the head record
// (field `index`) and moves to each record linked in front of it, so the
// list head alone answers a lookup. Records need `next`, a `name` array and
// `index` (NAMEDLIST_INDEX*, null when the record heads no indexed list).
#pragma once

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"

struct NAMEDLIST_INDEX {
    NAME_INDEX names;  // name -> first record of that name in list order
    int failed;        // out of memory: the list is walked from then on
};

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
    // Unnamed records are not indexed.
    if (head->index != nullptr && !head->index->failed && name[0] != '\0') {
        const NAME_ENTRY *e = NAMEIDX_Find(&head->index->names, name);
        if (e == nullptr || e->item == skip)
            return nullptr;
        return static_cast<T *>(e->item);
    }
    for (T *r = head; r != nullptr; r = r->next)
        if (r != skip && strcmp(r->name, name) == 0)
            return r;
    return nullptr;
}

// Indexes name under record unless the name is there already (replace 0)
// or in any case (replace 1); 0 when the index could not grow.
inline int NAMEDLIST_Put(NAMEDLIST_INDEX *index, const char *name, void *record, int replace) {
    int added = 0;
    NAME_ENTRY *e = NAMEIDX_Add(&index->names, name, &added);
    if (e == nullptr)
        return 0;
    if (added || replace) {
        e->key = name;
        e->item = record;
    }
    return 1;
}

// Indexes the name just stored in record, the head of its list: the newest
// record, so it is the first of its name. An index that cannot be made or
// grown leaves the list to be walked.
template <typename T> void NAMEDLIST_Add(T *head, T *record) {
    MSG_ASSERT(head == record);
    if (record->name[0] == '\0')
        return;
    if (head->index == nullptr) {
        if (!CMN_Alloc(&head->index, sizeof(NAMEDLIST_INDEX)))
            return;
        for (T *r = head->next; r != nullptr && !head->index->failed; r = r->next)
            if (r->name[0] != '\0' && !NAMEDLIST_Put(head->index, r->name, r, 0))
                head->index->failed = 1;
    }
    if (!head->index->failed && !NAMEDLIST_Put(head->index, record->name, record, 1))
        head->index->failed = 1;
    if (head->index->failed)
        NAMEIDX_Clear(&head->index->names);
}

// Frees the index a record holds (the names stay in the records).
template <typename T> void NAMEDLIST_FreeIndex(T *record) {
    if (record->index == nullptr)
        return;
    NAMEIDX_Clear(&record->index->names);
    CMN_FreeAndClear(&record->index);
}
