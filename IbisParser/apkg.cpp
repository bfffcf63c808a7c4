// [Alternate Package Models] names of a component.
#define MSG_SRC MSGSRC_APKG
#include "IbisParser/apkg.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {
const size_t kNameMax = 40;
}

void APKG_CheckDuplicateName(const char *name, APKG *list) {
    MSG_ASSERT(name != nullptr);
    int found = NAMEIDX_FindInList<APKG>(list, name, nullptr, nullptr);
    if (found < 0) {
        found = 0;
        for (APKG *a = list; a != nullptr && !found; a = a->next)
            found = strcmp(a->name, name) == 0;
    }
    if (found)
        MSG_ErrorLine(1605, name);
}

void APKG_ParseRow(APKG **list, const char *text) {
    MSG_ASSERT(list != nullptr && text != nullptr);
    if (strlen(text) > kNameMax)
        MSG_ErrorLine(1600, text);
    if (text[0] == '\0') {
        MSG_ErrorLine(1601);
        return;
    }
    APKG_CheckDuplicateName(text, *list);
    APKG *record = nullptr;
    if (!CMN_Alloc(&record, sizeof(APKG))) {
        MSG_ErrorLine(1602);
        return;
    }
    CMN_StrNCopy(record->name, text, kNameMax);
    NAMEIDX_Append(list, record, [](const APKG *a) { return a->name; });
}

void APKG_CheckCount(const APKG *list) {
    if (list == nullptr)
        MSG_ErrorLine(1603);
    else if (list->next == nullptr)
        MSG_WarningLine(1604);
}

void APKG_Free(APKG *list) {
    if (list != nullptr)
        NAMEIDX_FreeList(list->index);
    while (list != nullptr) {
        APKG *next = list->next;
        CMN_Free(list);
        list = next;
    }
}
