// Open-addressing hash index of records by name. It grows by doubling as
// names arrive, never from a count read in a file.
#include "IbisParser/nameidx.h"

#include <cstdint>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

const size_t kFirstCapacity = 16;

size_t Hash(const char *name) {
    uint64_t h = 14695981039346656037ULL;  // FNV-1a
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(name); *p; ++p) {
        h ^= *p;
        h *= 1099511628211ULL;
    }
    return static_cast<size_t>(h ^ (h >> 29));
}

// The slot that holds name, or the free slot where it belongs.
NAMEIDX_SLOT *Probe(NAMEIDX_SLOT *slots, size_t capacity, const char *name) {
    size_t mask = capacity - 1;
    for (size_t i = Hash(name) & mask;; i = (i + 1) & mask)
        if (slots[i].name == nullptr || strcmp(slots[i].name, name) == 0)
            return &slots[i];
}

// Doubles the table (at most half full afterwards); 0 when memory ran out.
int Grow(NAMEIDX *index) {
    size_t capacity = index->capacity == 0 ? kFirstCapacity : index->capacity * 2;
    if (capacity < index->capacity || capacity > SIZE_MAX / sizeof(NAMEIDX_SLOT))
        return 0;
    NAMEIDX_SLOT *slots = nullptr;
    if (!CMN_Alloc(&slots, capacity * sizeof(NAMEIDX_SLOT)))
        return 0;
    for (size_t i = 0; i < index->capacity; ++i)
        if (index->slots[i].name != nullptr)
            *Probe(slots, capacity, index->slots[i].name) = index->slots[i];
    CMN_Free(index->slots);
    index->slots = slots;
    index->capacity = capacity;
    return 1;
}

}  // namespace

void NAMEIDX_Init(NAMEIDX *index) {
    MSG_ASSERT(index != nullptr);
    memset(index, 0, sizeof *index);
}

long NAMEIDX_Add(NAMEIDX *index, const char *name, void *record) {
    MSG_ASSERT(index != nullptr && name != nullptr);
    if (index->failed)
        return -1;
    if (2 * (index->used + 1) > index->capacity && !Grow(index)) {
        NAMEIDX_Free(index);
        index->failed = 1;
        return -1;
    }
    NAMEIDX_SLOT *slot = Probe(index->slots, index->capacity, name);
    if (slot->name == nullptr) {
        slot->name = name;
        slot->first = record;
        slot->count = 0;
        ++index->used;
    }
    return static_cast<long>(slot->count++);
}

int NAMEIDX_Find(const NAMEIDX *index, const char *name, void **first, size_t *count) {
    MSG_ASSERT(index != nullptr && name != nullptr);
    if (index->failed)
        return -1;
    if (index->capacity == 0)
        return 0;
    const NAMEIDX_SLOT *slot = Probe(index->slots, index->capacity, name);
    if (slot->name == nullptr)
        return 0;
    if (first != nullptr)
        *first = slot->first;
    if (count != nullptr)
        *count = slot->count;
    return 1;
}

void NAMEIDX_Free(NAMEIDX *index) {
    MSG_ASSERT(index != nullptr);
    CMN_Free(index->slots);
    index->slots = nullptr;
    index->capacity = 0;
    index->used = 0;
}

NAMEIDX_LIST *NAMEIDX_NewList(const char *name, void *record) {
    NAMEIDX_LIST *list = nullptr;
    if (!CMN_Alloc(&list, sizeof(NAMEIDX_LIST)))
        return nullptr;
    NAMEIDX_Init(&list->names);
    NAMEIDX_Add(&list->names, name, record);
    list->tail = record;
    return list;
}

void NAMEIDX_FreeList(NAMEIDX_LIST *list) {
    if (list == nullptr)
        return;
    NAMEIDX_Free(&list->names);
    CMN_Free(list);
}
