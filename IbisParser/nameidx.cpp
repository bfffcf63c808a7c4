// Open-addressing hash index of borrowed names.
#include "IbisParser/nameidx.h"

#include <chrono>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Drawn once per process from the clock and from where the system put
// this library and the stack; nothing a file can know. (No allocation:
// the count of requests must not depend on when the first hash comes.)
uint64_t Seed() {
    static const uint64_t seed = [] {
        int onStack = 0;
        uint64_t s = static_cast<uint64_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count());
        s = Mix(s ^ reinterpret_cast<uintptr_t>(&onStack));
        return Mix(s ^ reinterpret_cast<uintptr_t>(&Mix));
    }();
    return seed;
}

// A key's hash and its first eight bytes, NUL-padded.
struct Key {
    const char *text;
    uint32_t hash;
    char head[8];
};

// FNV-1a from a secret start, mixed at the end. With a start everybody
// knows, a file can be made of names whose hashes share their low bits
// (thousands of them cost seconds to find), so that every lookup walks one
// long run of slots and the check goes quadratic; with this one it cannot.
Key MakeKey(const char *text) {
    Key k{text, 0, {}};
    uint64_t h = Seed();
    size_t n = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p != 0; ++p, ++n) {
        h = (h ^ *p) * 0x100000001b3ULL;
        if (n < sizeof k.head)
            k.head[n] = static_cast<char>(*p);
    }
    k.hash = static_cast<uint32_t>(NAMEIDX_HashBits(h));
    return k;
}

bool Matches(const NAME_ENTRY *e, const Key &k) {
    if (e->hash != k.hash || memcmp(e->head, k.head, sizeof k.head) != 0)
        return false;
    // Equal heads holding a NUL are equal names; else compare the rest.
    return memchr(k.head, '\0', sizeof k.head) != nullptr ||
           strcmp(e->key + sizeof k.head, k.text + sizeof k.head) == 0;
}

// The slot of key, or the free slot where it would go.
NAME_ENTRY *Probe(NAME_ENTRY *slots, uint32_t capacity, const Key &k) {
    uint32_t mask = capacity - 1;
    for (uint32_t i = k.hash & mask;; i = (i + 1) & mask) {
        NAME_ENTRY *e = &slots[i];
        if (e->key == nullptr || Matches(e, k))
            return e;
    }
}

Key KeyOf(const NAME_ENTRY &e) {
    Key k{e.key, e.hash, {}};
    memcpy(k.head, e.head, sizeof k.head);
    return k;
}

int Grow(NAME_INDEX *index) {
    uint32_t capacity = index->capacity == 0 ? 16 : index->capacity * 2;
    if (capacity == 0)
        return 0;  // 2^32 slots: more names than any file holds
    NAME_ENTRY *slots = nullptr;
    if (!CMN_Alloc(&slots, static_cast<size_t>(capacity) * sizeof(NAME_ENTRY)))
        return 0;
    for (uint32_t i = 0; i < index->capacity; ++i) {
        const NAME_ENTRY &e = index->slots[i];
        if (e.key != nullptr)
            *Probe(slots, capacity, KeyOf(e)) = e;
    }
    CMN_Free(index->slots);
    index->slots = slots;
    index->capacity = capacity;
    return 1;
}

}  // namespace

uint64_t NAMEIDX_HashBits(uint64_t bits) {
    // The mix is invertible: without the secret, bits that land in one run
    // of slots could be computed from it.
    return Mix(bits ^ Seed());
}

NAME_ENTRY *NAMEIDX_Find(const NAME_INDEX *index, const char *key) {
    MSG_ASSERT(index != nullptr && key != nullptr);
    if (index->capacity == 0)
        return nullptr;
    NAME_ENTRY *e = Probe(index->slots, index->capacity, MakeKey(key));
    return e->key != nullptr ? e : nullptr;
}

NAME_ENTRY *NAMEIDX_Add(NAME_INDEX *index, const char *key, int *added) {
    MSG_ASSERT(index != nullptr && key != nullptr && added != nullptr);
    *added = 0;
    const Key k = MakeKey(key);
    if (index->capacity != 0) {
        NAME_ENTRY *e = Probe(index->slots, index->capacity, k);
        if (e->key != nullptr)
            return e;
    }
    // At most half full, so that probes stay short.
    if ((index->used + 1) * 2ull > index->capacity && !Grow(index))
        return nullptr;
    NAME_ENTRY *e = Probe(index->slots, index->capacity, k);
    e->key = key;
    e->item = nullptr;
    e->number = 0;
    e->hash = k.hash;
    memcpy(e->head, k.head, sizeof k.head);
    ++index->used;
    *added = 1;
    return e;
}

int NAMEIDX_Reserve(NAME_INDEX *index, size_t names) {
    MSG_ASSERT(index != nullptr);
    if (index->capacity != 0 || names < 8 || names > UINT32_MAX / 4)
        return 1;
    // Room for that many names at most half full, as the adds keep it.
    uint32_t capacity = 16;
    while (capacity < 2 * names)
        capacity *= 2;
    NAME_ENTRY *slots = nullptr;
    if (!CMN_Alloc(&slots, static_cast<size_t>(capacity) * sizeof(NAME_ENTRY)))
        return 0;
    index->slots = slots;
    index->capacity = capacity;
    return 1;
}

void NAMEIDX_Clear(NAME_INDEX *index) {
    MSG_ASSERT(index != nullptr);
    CMN_Free(index->slots);
    index->slots = nullptr;
    index->capacity = 0;
    index->used = 0;
}

void NAMEIDX_InitTally(NAME_TALLY *tally) {
    MSG_ASSERT(tally != nullptr);
    memset(tally, 0, sizeof *tally);
}

long NAMEIDX_Count(NAME_TALLY *tally, const char *name, void *record) {
    MSG_ASSERT(tally != nullptr && name != nullptr);
    if (tally->failed)
        return -1;
    int added = 0;
    NAME_ENTRY *e = NAMEIDX_Add(&tally->names, name, &added);
    if (e == nullptr) {
        NAMEIDX_Clear(&tally->names);
        tally->failed = 1;
        return -1;
    }
    if (added)
        e->item = record;
    return static_cast<long>(e->number++);
}

int NAMEIDX_Lookup(const NAME_TALLY *tally, const char *name, void **first, size_t *count) {
    MSG_ASSERT(tally != nullptr && name != nullptr);
    if (tally->failed)
        return -1;
    const NAME_ENTRY *e = NAMEIDX_Find(&tally->names, name);
    if (e == nullptr)
        return 0;
    if (first != nullptr)
        *first = e->item;
    if (count != nullptr)
        *count = e->number;
    return 1;
}

void NAMEIDX_FreeTally(NAME_TALLY *tally) {
    MSG_ASSERT(tally != nullptr);
    NAMEIDX_Clear(&tally->names);
}

NAMEIDX_LIST *NAMEIDX_NewList(const char *name, void *record) {
    NAMEIDX_LIST *list = nullptr;
    if (!CMN_Alloc(&list, sizeof(NAMEIDX_LIST)))
        return nullptr;
    NAMEIDX_InitTally(&list->names);
    NAMEIDX_Count(&list->names, name, record);
    list->tail = record;
    return list;
}

void NAMEIDX_FreeList(NAMEIDX_LIST *list) {
    if (list == nullptr)
        return;
    NAMEIDX_FreeTally(&list->names);
    CMN_Free(list);
}
