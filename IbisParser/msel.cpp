// [Model Selector] section.
#define MSG_SRC MSGSRC_MSEL
#include "IbisParser/msel.h"

#include <cstring>

#include "IbisParser/msg.h"

MSEL *MSEL_FindByName(const char *name, MSEL *selectors) {
    MSG_ASSERT(name != nullptr);
    for (MSEL *s = selectors; s != nullptr; s = s->next)
        if (strcmp(s->name, name) == 0)
            return s;
    return nullptr;
}
