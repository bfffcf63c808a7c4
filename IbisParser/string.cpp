// String lists (borrowed texts) and the name-counter table.
#define MSG_SRC MSGSRC_STRING
#include "IbisParser/stringlist.h"

#include <cctype>
#include <cstdarg>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/string";

struct NameCount {
    const char *name;
    int count;
};
NameCount s_names[STRING_MAX_NAMES];
int s_nameCount = 0;

}  // namespace

STRING_LIST *STRING_Push(STRING_LIST *list, const char *text) {
    STRING_LIST *node = nullptr;
    if (!CMN_Alloc(&node, sizeof(STRING_LIST))) {
        MSG_Bug(2100, kSourceName, __LINE__);
        STRING_Free(list);
        return nullptr;
    }
    node->text = text;
    node->next = list;
    return node;
}

STRING_LIST *STRING_PushList(STRING_LIST *list, ...) {
    va_list ap;
    va_start(ap, list);
    const char *text;
    while ((text = va_arg(ap, const char *)) != nullptr) {
        list = STRING_Push(list, text);
        if (list == nullptr)
            break;
    }
    va_end(ap);
    return list;
}

STRING_LIST *STRING_PushUnique(STRING_LIST *list, const char *text) {
    if (STRING_Contains(list, text))
        return list;
    return STRING_Push(list, text);
}

int STRING_Contains(const STRING_LIST *list, const char *text) {
    MSG_ASSERT(text != nullptr);
    for (; list != nullptr; list = list->next)
        if (list->text != nullptr && strcmp(list->text, text) == 0)
            return 1;
    return 0;
}

STRING_LIST *STRING_GetNext(const STRING_LIST *node) {
    return node != nullptr ? node->next : nullptr;
}

const char *STRING_GetText(const STRING_LIST *node) {
    return node != nullptr ? node->text : nullptr;
}

void STRING_Free(STRING_LIST *list) {
    while (list != nullptr) {
        STRING_LIST *next = list->next;
        CMN_Free(list);
        list = next;
    }
}

void STRING_ResetCounts(void) { s_nameCount = 0; }

void STRING_CountName(const char *name) {
    MSG_ASSERT(name != nullptr);
    for (int i = 0; i < s_nameCount; ++i) {
        if (strcmp(s_names[i].name, name) == 0) {
            ++s_names[i].count;
            return;
        }
    }
    if (s_nameCount == STRING_MAX_NAMES)
        return;  // table full: further names go uncounted
    s_names[s_nameCount].name = name;
    s_names[s_nameCount].count = 1;
    ++s_nameCount;
}

int STRING_GetCount(const char *name) {
    MSG_ASSERT(name != nullptr);
    for (int i = 0; i < s_nameCount; ++i)
        if (strcmp(s_names[i].name, name) == 0)
            return s_names[i].count;
    // A full table may have turned the name away; only a name that was never
    // offered is a caller's mistake.
    if (s_nameCount < STRING_MAX_NAMES)
        MSG_Bug(2101, kSourceName, __LINE__);
    return 0;
}

namespace {

unsigned long HashName(const char *name, int noCase) {
    unsigned long h = 2166136261UL;  // FNV-1a
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(name); *p; ++p) {
        h ^= noCase ? static_cast<unsigned char>(tolower(*p)) : *p;
        h *= 16777619UL;
    }
    return h;
}

int SameName(const char *a, const char *b, int noCase) {
    return noCase ? CMN_StrEqualNoCase(a, b) : strcmp(a, b) == 0;
}

// Slot of the name, or of the empty place where it would go.
unsigned long FindSlot(const STRING_INDEX *index, const char *name) {
    unsigned long mask = index->capacity - 1;
    unsigned long i = HashName(name, index->noCase) & mask;
    while (index->names[i] != nullptr && !SameName(index->names[i], name, index->noCase))
        i = (i + 1) & mask;
    return i;
}

int Grow(STRING_INDEX *index) {
    unsigned long capacity = index->capacity ? index->capacity * 2 : 64;
    STRING_INDEX grown = *index;
    grown.capacity = capacity;
    if (!CMN_Alloc(&grown.names, capacity * sizeof(const char *)))
        return 0;
    if (!CMN_Alloc(&grown.values, capacity * sizeof(void *))) {
        CMN_Free(grown.names);
        return 0;
    }
    for (unsigned long i = 0; i < index->capacity; ++i) {
        if (index->names[i] == nullptr)
            continue;
        unsigned long j = FindSlot(&grown, index->names[i]);
        grown.names[j] = index->names[i];
        grown.values[j] = index->values[i];
    }
    CMN_Free(index->names);
    CMN_Free(index->values);
    *index = grown;
    return 1;
}

}  // namespace

void STRING_IndexInit(STRING_INDEX *index, int noCase) {
    MSG_ASSERT(index != nullptr);
    *index = STRING_INDEX{};
    index->noCase = noCase != 0;
}

int STRING_IndexPut(STRING_INDEX *index, const char *name, void *value, int replace) {
    MSG_ASSERT(index != nullptr && name != nullptr);
    if (index->failed)
        return 0;
    if ((index->count + 1) * 2 > index->capacity && !Grow(index)) {
        STRING_IndexFree(index);
        index->failed = 1;
        return 0;
    }
    unsigned long i = FindSlot(index, name);
    if (index->names[i] == nullptr) {
        index->names[i] = name;
        index->values[i] = value;
        ++index->count;
    } else if (replace) {
        index->names[i] = name;
        index->values[i] = value;
    }
    return 1;
}

int STRING_IndexGet(const STRING_INDEX *index, const char *name, void **value) {
    MSG_ASSERT(index != nullptr && name != nullptr && value != nullptr);
    if (index->capacity == 0)
        return 0;
    unsigned long i = FindSlot(index, name);
    if (index->names[i] == nullptr)
        return 0;
    *value = index->values[i];
    return 1;
}

void STRING_IndexFree(STRING_INDEX *index) {
    MSG_ASSERT(index != nullptr);
    CMN_Free(index->names);
    CMN_Free(index->values);
    int noCase = index->noCase;
    *index = STRING_INDEX{};
    index->noCase = noCase;
}
