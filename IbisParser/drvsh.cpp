// [Driver Schedule]: the models a model drives, each row a model name and its
// delays, and the whole-file check of the names against the file's models.
#define MSG_SRC MSGSRC_DRVSH
#include "IbisParser/drvsh.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/dly.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

const char kSourceName[] = "IbisParser/drvsh";

bool IsNotOutputType(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}

}  // namespace

int DRVSH_Init(const char *keywordText, DRVSH **slot, const char *modelName) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr && modelName != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(4200);
        DRVSH_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(DRVSH))) {
        MSG_Bug(4201, kSourceName, __LINE__);
        return 0;
    }
    static const CMN_KEYWORD_ALONE kCodes = {MSG_SRC, kSourceName, 4202, 4203, 4204,
                                             "Driver Schedule"};
    CMN_CheckKeywordAlone(keywordText, &kCodes, __LINE__);
    return 1;
}

int DRVSH_CreateModel(DRVSH_MODEL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(DRVSH_MODEL))) {
        MSG_ErrorLine(4216);
        return 0;
    }
    return 1;
}

int DRVSH_ParseModelName(const char *text, DRVSH_MODEL *entry, const char *modelName) {
    MSG_ASSERT(text != nullptr && entry != nullptr && modelName != nullptr);
    WORD_LIST words{};
    int stored = 0;
    if (!CMN_SplitWords(text, 1, &words)) {
        MSG_Error(4210);
    } else if (words.found == 0) {
        MSG_ErrorLine(4211);
    } else {
        const size_t limit = PARSE_GetIbisVersion() < 4 ? 20 : 40;
        const char *word = words.words[0];
        if (strlen(word) > limit)
            MSG_ErrorLine(4212, static_cast<int>(limit));
        CMN_StrNCopy(entry->name, word, limit);
        if (strcmp(entry->name, modelName) == 0)
            MSG_ErrorLine(4213, entry->name);
        else if (!CMN_IsNotReservedWord(entry->name))
            MSG_ErrorLine(4214, entry->name);
        stored = 1;
    }
    CMN_FreeWords(&words);
    return stored;
}

void DRVSH_CheckDuplicateModel(DRVSH *schedule, DRVSH_MODEL *entry) {
    MSG_ASSERT(schedule != nullptr && entry != nullptr);
    int added = 0;
    // When the index cannot grow the name goes unindexed: only its own
    // repeats are missed.
    if (NAMEIDX_Add(&schedule->names, entry->name, &added) != nullptr && !added)
        MSG_ErrorLine(4215, entry->name);
}

void DRVSH_ParseLine(const char *text, DRVSH *schedule, const char *modelName) {
    MSG_ASSERT(text != nullptr && modelName != nullptr);
    if (schedule == nullptr)
        return;
    DRVSH_MODEL *entry = nullptr;
    if (!DRVSH_CreateModel(&entry))
        return;
    if (DRVSH_ParseModelName(text, entry, modelName)) {
        DRVSH_CheckDuplicateModel(schedule, entry);
        const char *rest = text;
        CMN_SkipBlanks(&rest);
        CMN_SkipWord(&rest);
        CMN_SkipBlanks(&rest);
        DLY_ParseDelays(rest, entry->name, &entry->delays);
    }
    entry->next = schedule->models;
    schedule->models = entry;
}

void DRVSH_EndKeyword(DRVSH *schedule, const char *modelName) {
    MSG_ASSERT(modelName != nullptr);
    if (schedule == nullptr)
        return;
    if (schedule->models == nullptr)
        MSG_Error(4205, modelName);
    else if (schedule->models->next == nullptr)
        MSG_Warning(4206, modelName);
}

void DRVSH_CheckAll(MDL *models) {
    for (MDL *m = models; m != nullptr; m = m->next) {
        if (m->driverSchedule == nullptr)
            continue;
        for (DRVSH_MODEL *e = m->driverSchedule->models; e != nullptr; e = e->next) {
            MDL *found = MDL_FindByName(e->name, models);
            if (found == nullptr) {
                MSG_Error(4207, e->name, m->name);
                continue;
            }
            MDL_MarkReferenced(e->name, models);
            if (found->driverSchedule != nullptr)
                MSG_Error(4208, e->name, m->name);
            if (IsNotOutputType(found->Model_type))
                MSG_Error(4209, e->name, m->name);
        }
    }
}

void DRVSH_Free(DRVSH *schedule) {
    if (schedule == nullptr)
        return;
    for (DRVSH_MODEL *e = schedule->models; e != nullptr;) {
        DRVSH_MODEL *next = e->next;
        DLY_Free(e->delays);
        CMN_Free(e);
        e = next;
    }
    NAMEIDX_Clear(&schedule->names);
    CMN_Free(schedule);
}
