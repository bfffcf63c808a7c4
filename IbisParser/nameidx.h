// Index of records by exact name (case-sensitive), so that sections look a
// name up in constant time instead of walking their lists. The index borrows
// the names: each must live as long as the index (a field of the record).
#pragma once

#include <cstddef>

struct NAMEIDX_SLOT {
    const char *name;  // null: the slot is free
    void *first;       // the first record added under the name
    size_t count;      // records added under the name
};

struct NAMEIDX {
    NAMEIDX_SLOT *slots;
    size_t capacity;  // a power of two, or 0 before the first add
    size_t used;
    int failed;  // growing failed: the index answers nothing from then on
};

void NAMEIDX_Init(NAMEIDX *index);
// Adds one record under name. Returns how many records of that name were
// added before, or -1 when the index could not grow (the allocation failure
// is reported); from then on the caller searches its own list.
long NAMEIDX_Add(NAMEIDX *index, const char *name, void *record);
// 1 with the first record of the name (and the count, either may be null),
// 0 when the name was never added, -1 when the index gave up.
int NAMEIDX_Find(const NAMEIDX *index, const char *name, void **first, size_t *count);
void NAMEIDX_Free(NAMEIDX *index);

// Adds every record of a list linked through `next` under nameOf(record);
// stops when the index gives up.
template <typename T, typename NameOf>
void NAMEIDX_AddList(NAMEIDX *index, T *list, NameOf nameOf) {
    for (T *r = list; r != nullptr; r = r->next)
        if (NAMEIDX_Add(index, nameOf(r), r) < 0)
            return;
}

// A list of records linked through `next` and appended at its tail, whose
// names are indexed. The index hangs on the head record (its field `index`),
// so that the list head alone is enough to look a name up.
struct NAMEIDX_LIST {
    NAMEIDX names;
    void *tail;
};

// A list index holding its first record; null when memory ran out.
NAMEIDX_LIST *NAMEIDX_NewList(const char *name, void *record);
void NAMEIDX_FreeList(NAMEIDX_LIST *list);

// Appends record at the tail of *head. Returns how many records of its name
// the list held before, or -1 when the list has no working index.
template <typename T, typename NameOf>
long NAMEIDX_Append(T **head, T *record, NameOf nameOf) {
    record->next = nullptr;
    record->index = nullptr;
    if (*head == nullptr) {
        *head = record;
        record->index = NAMEIDX_NewList(nameOf(record), record);
        return 0;
    }
    NAMEIDX_LIST *index = (*head)->index;
    long before = index != nullptr ? NAMEIDX_Add(&index->names, nameOf(record), record) : -1;
    T *tail = index != nullptr ? static_cast<T *>(index->tail) : *head;
    while (tail->next != nullptr)
        tail = tail->next;
    tail->next = record;
    if (index != nullptr)
        index->tail = record;
    return before;
}

// NAMEIDX_Find over the list's index: -1 when the list has none that works.
template <typename T>
int NAMEIDX_FindInList(const T *head, const char *name, T **first, size_t *count) {
    if (head == nullptr)
        return 0;
    if (head->index == nullptr)
        return -1;
    void *found = nullptr;
    int r = NAMEIDX_Find(&head->index->names, name, &found, count);
    if (r == 1 && first != nullptr)
        *first = static_cast<T *>(found);
    return r;
}
