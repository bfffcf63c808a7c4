// An index of names (exact, case-sensitive) for the lookups that sections
// make per line: the names stay where their records keep them, the index
// only points at them, so a record must outlive its entry.
#pragma once

#include <cstdint>

struct NAME_ENTRY {
    const char *key;  // borrowed; null marks a free slot
    void *item;       // what the user stores with the name
    uint32_t number;  // likewise
    uint32_t hash;
};

struct NAME_INDEX {
    NAME_ENTRY *slots;
    uint32_t capacity;  // a power of two, or 0 before the first name
    uint32_t used;
};

// The entry of key, or null.
NAME_ENTRY *NAMEIDX_Find(const NAME_INDEX *index, const char *key);
// The entry of key; a new one (item null, number 0) is added and *added set
// to 1 when there was none. Null when the index could not grow (reported by
// the allocator). An entry stays valid until the next addition.
NAME_ENTRY *NAMEIDX_Add(NAME_INDEX *index, const char *key, int *added);
// Forgets every entry and frees the slots.
void NAMEIDX_Clear(NAME_INDEX *index);
