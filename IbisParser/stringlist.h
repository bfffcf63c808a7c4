// Lists of borrowed strings and a small table of name counters.
#pragma once

struct STRING_LIST {
    STRING_LIST *next;
    const char *text;  // borrowed: the list never frees it
};

// Each returns the new list head; null after an allocation failure (the
// nodes of the old list are then freed, their texts are not).
STRING_LIST *STRING_Push(STRING_LIST *list, const char *text);
// Pushes each text up to a null one; the last text ends up first.
STRING_LIST *STRING_PushList(STRING_LIST *list, ...);
STRING_LIST *STRING_PushUnique(STRING_LIST *list, const char *text);
int STRING_Contains(const STRING_LIST *list, const char *text);
STRING_LIST *STRING_GetNext(const STRING_LIST *node);
const char *STRING_GetText(const STRING_LIST *node);
void STRING_Free(STRING_LIST *list);

// Name counters (process-wide, at most STRING_MAX_NAMES names).
#define STRING_MAX_NAMES 30
void STRING_ResetCounts(void);
void STRING_CountName(const char *name);
int STRING_GetCount(const char *name);

// An index of borrowed names, each mapping to one pointer: exact compare, or
// case ignored. It grows as names are added; when it cannot grow it is
// marked failed and stays empty, and callers then walk their lists instead.
struct STRING_INDEX {
    const char **names;
    void **values;
    unsigned long capacity;  // a power of two, or 0
    unsigned long count;
    int noCase;
    int failed;
};
void STRING_IndexInit(STRING_INDEX *index, int noCase);
// Stores the value of a name; an existing entry keeps its value unless
// replace is set. 0 when out of memory.
int STRING_IndexPut(STRING_INDEX *index, const char *name, void *value, int replace);
// 1 and the value when the name is in the index.
int STRING_IndexGet(const STRING_INDEX *index, const char *name, void **value);
// Frees the table (not the names) and leaves an empty index.
void STRING_IndexFree(STRING_INDEX *index);
