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
