// [Submodel Spec]: typ/min/max values of the trigger voltages and the
// off delay, one sub-parameter per line.
#define MSG_SRC MSGSRC_SMSPEC
#include "IbisParser/smspec.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"
#include "IbisParser/submdl.h"

namespace {

const char kSourceName[] = "IbisParser/smspec";

const char *const kNames[] = {"V_trigger_r", "V_trigger_f", "Off_delay"};

RNG **Slot(SMSPEC *record, int id) {
    RNG **const slots[] = {&record->V_trigger_r, &record->V_trigger_f, &record->Off_delay};
    return slots[id - 1];
}

}  // namespace

int SMSPEC_LookupSubparam(const char *name) {
    MSG_ASSERT(name != nullptr);
    for (int i = 0; i < 3; ++i)
        if (strcmp(name, kNames[i]) == 0)
            return i + 1;
    return 0;
}

int SMSPEC_Init(const char *keywordText, SMSPEC **slot) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(2700);
        SMSPEC_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(SMSPEC))) {
        MSG_Bug(2701, kSourceName, __LINE__);
        return 0;
    }
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(2702, kSourceName, __LINE__);
        return 1;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 0, &words))
        MSG_Bug(2703, "Submodel Spec", kSourceName, __LINE__);
    else if (words.found > 0)
        MSG_ErrorLine(2704, static_cast<int>(words.found) + 1, "Submodel Spec", 1);
    CMN_FreeWords(&words);
    return 1;
}

namespace {

// The value of the sub-parameter id, the rest of the line after its name.
void SMSPEC_ParseValue(const char *text, SMSPEC *record, int id, const char *submodelName) {
    RNG **slot = Slot(record, id);
    if (*slot != nullptr) {
        MSG_ErrorLine(2707, kNames[id - 1], submodelName);
        return;
    }
    const char *rest = text;
    CMN_SkipBlanks(&rest);
    rest += CMN_TokenLength(rest, '=');
    RNG_ParseLine(rest, kNames[id - 1], slot);
    if (*slot != nullptr && (*slot)->typ_state == CMN_VALUE_NA)
        MSG_ErrorLine(2708);
}

void SMSPEC_ParseSubparam(const char *text, SMSPEC *record, const char *submodelName) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2703, "Sub Model Spec Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const int id = words.stored > 0 ? SMSPEC_LookupSubparam(words.words[0]) : 0;
    CMN_FreeWords(&words);
    if (id == 0)
        MSG_ErrorLine(2706);
    else
        SMSPEC_ParseValue(text, record, id, submodelName);
}

}  // namespace

void SMSPEC_ParseLine(const char *text, SMSPEC *record, const char *submodelName) {
    MSG_ASSERT(text != nullptr && submodelName != nullptr);
    // Without a record (its allocation failed) the lines are dropped.
    if (record != nullptr)
        SMSPEC_ParseSubparam(text, record, submodelName);
}

void SMSPEC_EndKeyword(const SUBMDL *submodel) {
    MSG_ASSERT(submodel != nullptr);
    const SMSPEC *spec = submodel->submodelSpec;
    if (spec == nullptr)
        return;
    if (spec->V_trigger_r == nullptr && spec->V_trigger_f == nullptr && spec->Off_delay == nullptr)
        MSG_Error(2705, submodel->name);
}

void SMSPEC_Free(SMSPEC *record) {
    if (record == nullptr)
        return;
    RNG_Free(record->V_trigger_r);
    RNG_Free(record->V_trigger_f);
    RNG_Free(record->Off_delay);
    CMN_Free(record);
}
