// An index of names (exact, case-sensitive) for the lookups that sections
// make per line: the names stay where their records keep them, the index
// only points at them, so a record must outlive its entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct NAME_ENTRY {
    const char *key;  // borrowed; null marks a free slot
    void *item;       // what the user stores with the name
    uint32_t number;  // likewise
    uint32_t hash;
    // The key's first eight bytes, NUL-padded: a short name (most names are)
    // is compared here without reaching into its record.
    char head[8];
};

struct NAME_INDEX {
    NAME_ENTRY *slots;
    uint32_t capacity;  // a power of two, or 0 before the first name
    uint32_t used;
};

// The hash of 64 bits of a key that a file supplies (a number's bits), for
// other indexes. Like the hash of names it starts from a secret of the
// process, so that no file can be made whose keys all fall into one run of
// slots; no lookup depends on where keys land.
uint64_t NAMEIDX_HashBits(uint64_t bits);
// The entry of key, or null.
NAME_ENTRY *NAMEIDX_Find(const NAME_INDEX *index, const char *key);
// The entry of key; a new one (item null, number 0) is added and *added set
// to 1 when there was none. Null when the index could not grow (reported by
// the allocator). An entry stays valid until the next addition.
NAME_ENTRY *NAMEIDX_Add(NAME_INDEX *index, const char *key, int *added);
// Forgets every entry and frees the slots.
void NAMEIDX_Clear(NAME_INDEX *index);

// ---- Tallies: records counted by name ------------------------------------

// An index of the first record of each name and how many records came under
// it. One that could not grow answers nothing from then on: its users walk
// their lists instead.
struct NAME_TALLY {
    NAME_INDEX names;  // item: the first record of a name; number: its records
    int failed;
};

void NAMEIDX_InitTally(NAME_TALLY *tally);
// Adds one record under name. Returns how many records of that name came
// before, or -1 once the tally has failed.
long NAMEIDX_Count(NAME_TALLY *tally, const char *name, void *record);
// 1 with the first record of the name (and the count; either may be null),
// 0 when the name never came, -1 when the tally has failed.
int NAMEIDX_Lookup(const NAME_TALLY *tally, const char *name, void **first, size_t *count);
void NAMEIDX_FreeTally(NAME_TALLY *tally);

// Makes room for `names` names in an empty index at once, instead of
// doubling as they come. 0 when memory ran out (reported; the index stays
// empty), else 1.
int NAMEIDX_Reserve(NAME_INDEX *index, size_t names);

// Counts every record of a list linked through `next` under nameOf(record).
// A tally that cannot get its room has failed: its users walk the list.
template <typename T, typename NameOf>
void NAMEIDX_CountList(NAME_TALLY *tally, T *list, NameOf nameOf) {
    if (tally->names.capacity == 0) {
        size_t records = 0;
        for (T *r = list; r != nullptr; r = r->next)
            ++records;
        if (!NAMEIDX_Reserve(&tally->names, records)) {
            tally->failed = 1;
            return;
        }
    }
    for (T *r = list; r != nullptr; r = r->next)
        if (NAMEIDX_Count(tally, nameOf(r), r) < 0)
            return;
}

// Calls report(record) for each record of a list once per later record of
// the same name, so that n records of one name give n(n-1)/2 calls, in the
// order of a walk over each record and every one after it.
template <typename T, typename NameOf, typename Report>
void NAMEIDX_ReportLaterNamesakes(T *list, NameOf nameOf, Report report) {
    NAME_TALLY all, seen;
    NAMEIDX_InitTally(&all);
    NAMEIDX_InitTally(&seen);
    NAMEIDX_CountList(&all, list, nameOf);
    for (T *r = list; r != nullptr; r = r->next) {
        size_t total = 0, after = 0;
        long before = NAMEIDX_Count(&seen, nameOf(r), r);
        if (before >= 0 && NAMEIDX_Lookup(&all, nameOf(r), nullptr, &total) == 1) {
            after = total - static_cast<size_t>(before) - 1;
        } else {
            for (T *d = r->next; d != nullptr; d = d->next)
                after += strcmp(nameOf(r), nameOf(d)) == 0;
        }
        for (size_t i = 0; i < after; ++i)
            report(r);
    }
    NAMEIDX_FreeTally(&all);
    NAMEIDX_FreeTally(&seen);
}

// A list of records linked through `next` and appended at its tail, whose
// names are tallied. The tally hangs on the head record (its field `index`),
// so that the list head alone is enough to look a name up.
struct NAMEIDX_LIST {
    NAME_TALLY names;
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
    long before = index != nullptr ? NAMEIDX_Count(&index->names, nameOf(record), record) : -1;
    T *tail = index != nullptr ? static_cast<T *>(index->tail) : *head;
    while (tail->next != nullptr)
        tail = tail->next;
    tail->next = record;
    if (index != nullptr)
        index->tail = record;
    return before;
}

// NAMEIDX_Lookup over the list's index: -1 when the list has none that works.
template <typename T>
int NAMEIDX_FindInList(const T *head, const char *name, T **first, size_t *count) {
    if (head == nullptr)
        return 0;
    if (head->index == nullptr)
        return -1;
    void *found = nullptr;
    int r = NAMEIDX_Lookup(&head->index->names, name, &found, count);
    if (r == 1 && first != nullptr)
        *first = static_cast<T *>(found);
    return r;
}

// NAMEIDX_Append that also answers for a list without a working index: how
// many records of the new record's name the list held before it.
template <typename T, typename NameOf>
size_t NAMEIDX_AppendCounting(T **head, T *record, NameOf nameOf) {
    long before = NAMEIDX_Append(head, record, nameOf);
    if (before >= 0)
        return static_cast<size_t>(before);
    size_t n = 0;
    for (T *r = *head; r != record; r = r->next)
        n += strcmp(nameOf(r), nameOf(record)) == 0;
    return n;
}

// The first record of the name, through the list's index or by a walk.
template <typename T, typename NameOf>
T *NAMEIDX_FindFirst(T *head, const char *name, NameOf nameOf) {
    T *found = nullptr;
    if (NAMEIDX_FindInList(head, name, &found, nullptr) >= 0)
        return found;
    for (T *r = head; r != nullptr; r = r->next)
        if (strcmp(nameOf(r), name) == 0)
            return r;
    return nullptr;
}

// 1 when a record of the list carries the name: the tally of the list (made
// with NAMEIDX_CountList and nameOf) answers, or a walk once it has failed.
template <typename T, typename NameOf>
int NAMEIDX_Has(const NAME_TALLY *tally, T *list, const char *name, NameOf nameOf) {
    int r = NAMEIDX_Lookup(tally, name, nullptr, nullptr);
    if (r >= 0)
        return r;
    for (T *record = list; record != nullptr; record = record->next)
        if (strcmp(nameOf(record), name) == 0)
            return 1;
    return 0;
}
