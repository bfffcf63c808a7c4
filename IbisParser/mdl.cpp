// [Model] section.
#define MSG_SRC MSGSRC_MDL
#include "IbisParser/mdl.h"

#include <cstring>

#include "IbisParser/msg.h"

namespace {

// Model_type texts by code; 0 and 1 have none of their own.
const char *const kTypeNames[] = {
    "No Type",        "No Type",         "Input",         "Output",
    "I/O",            "3-state",         "Open_drain",    "I/O_open_drain",
    "Open_sink",      "I/O_open_sink",   "Open_source",   "I/O_open_source",
    "Input_ECL",      "Output_ECL",      "I/O_ECL",       "Terminator",
    "Series",         "Series_switch",   "3-state_ECL",   "I/O_diff",
    "Output_diff",    "3-state_diff",    "Input_diff"};

}  // namespace

MDL *MDL_FindByName(const char *name, MDL *models) {
    MSG_ASSERT(name != nullptr);
    for (MDL *m = models; m != nullptr; m = m->next)
        if (strcmp(m->name, name) == 0)
            return m;
    return nullptr;
}

int MDL_MarkReferenced(const char *name, MDL *models) {
    MDL *m = MDL_FindByName(name, models);
    if (m == nullptr)
        return 0;
    m->referenced = 1;
    return 1;
}

int MDL_GetTypeByName(MDL *models, const char *name, int *modelType) {
    MSG_ASSERT(modelType != nullptr);
    MDL *m = MDL_FindByName(name, models);
    if (m == nullptr)
        return 0;
    *modelType = m->Model_type;
    return 1;
}

void MDL_GetModelTypeName(int code, const char **text) {
    MSG_ASSERT(text != nullptr);
    MSG_ASSERT(code >= 0 && code < static_cast<int>(sizeof kTypeNames / sizeof kTypeNames[0]));
    *text = kTypeNames[code];
}
