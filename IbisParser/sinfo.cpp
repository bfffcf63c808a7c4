// Series information of [On] and [Off]: the series elements of one state.
#define MSG_SRC MSGSRC_SINFO
#include "IbisParser/sinfo.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {
const char kSourceName[] = "IbisParser/sinfo";
}

int SINFO_Create(SINFO **slot) {
    MSG_ASSERT(slot != nullptr);
    if (!CMN_Alloc(slot, sizeof(SINFO))) {
        MSG_Bug(2901, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

int SINFO_Init(const char *keywordText, SINFO **slot, const char *label) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr && label != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(2900, label);
        SINFO_Free(*slot);
        *slot = nullptr;
    }
    if (!SINFO_Create(slot))
        return 0;
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(2902, kSourceName, __LINE__);
        return 1;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 1, &words)) {
        MSG_Bug(2903, label, kSourceName, __LINE__);
    } else if (words.found > 0) {
        MSG_ErrorLine(2904, static_cast<int>(words.found) + 1, label, 1);
    }
    CMN_FreeWords(&words);
    return 1;
}

void SINFO_Check(const SINFO *record, const char *modelName, const char *label) {
    MSG_ASSERT(record != nullptr && modelName != nullptr && label != nullptr);
    if (record->R_series == nullptr && record->L_series == nullptr &&
        record->C_series == nullptr && record->series_current == nullptr &&
        record->series_mosfet == nullptr)
        MSG_Error(2905, modelName, label);
    if (strcmp(label, "[Off]") == 0 && record->series_mosfet != nullptr)
        MSG_Error(2906, modelName);
    if (record->Rl_series != nullptr && record->L_series == nullptr)
        MSG_Error(2907, modelName, label);
    if (record->Rc_series != nullptr && record->C_series == nullptr)
        MSG_Error(2908, modelName, label);
    if (record->Lc_series != nullptr && record->C_series == nullptr)
        MSG_Error(2909, modelName, label);
    if (record->series_mosfet != nullptr && SINFO_ops.checkMosfets)
        SINFO_ops.checkMosfets(record->series_mosfet, modelName, label);
}

void SINFO_Free(SINFO *record) {
    if (record == nullptr)
        return;
    RNG_Free(record->R_series);
    RNG_Free(record->L_series);
    RNG_Free(record->Rl_series);
    RNG_Free(record->C_series);
    RNG_Free(record->Rc_series);
    RNG_Free(record->Lc_series);
    if (record->series_current != nullptr) {
        MSG_ASSERT(SINFO_ops.freeCurve != nullptr);
        SINFO_ops.freeCurve(record->series_current);
    }
    if (record->series_mosfet != nullptr) {
        MSG_ASSERT(SINFO_ops.freeMosfets != nullptr);
        SINFO_ops.freeMosfets(record->series_mosfet);
    }
    CMN_Free(record);
}
