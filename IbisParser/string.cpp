// String lists (borrowed texts) and the name-counter table.
#define MSG_SRC MSGSRC_STRING
#include "IbisParser/stringlist.h"

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
