// [Ramp]: the dV/dt_r and dV/dt_f pairs of the three corners and R_load.
#define MSG_SRC MSGSRC_RAMP
#include "IbisParser/ramp.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/ramp";

enum { SUB_UNKNOWN = 0, SUB_DVDT_R = 1, SUB_DVDT_F = 2, SUB_R_LOAD = 3 };

unsigned long s_keywordLine = 0;

int RAMP_LookupSubparam(const char *word) {
    if (word == nullptr)
        return SUB_UNKNOWN;
    if (strcmp(word, "dV/dt_r") == 0)
        return SUB_DVDT_R;
    if (strcmp(word, "dV/dt_f") == 0)
        return SUB_DVDT_F;
    if (strcmp(word, "R_load") == 0)
        return SUB_R_LOAD;
    return SUB_UNKNOWN;
}

int RAMP_Create(DVDT **out) {
    if (!CMN_Alloc(out, sizeof(DVDT))) {
        MSG_Bug(1301, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

// One corner, "dV/dt" or "NA"; 1 when read. dV and dt are written only
// then, so a corner that is missing or unreadable keeps its zeros.
int RAMP_ParseDvDt(const char *text, double *dV, double *dt, int *state, const char *name,
                   const char *column) {
    *state = CMN_VALUE_ABSENT;
    if (text == nullptr)
        return 0;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '/', &words)) {
        MSG_BugLine(1303, name, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return 0;
    }
    int ok = 0;
    if (words.found == 1) {
        if (CMN_StrEqualNoCase(words.words[0], "NA")) {
            *state = CMN_VALUE_NA;
            ok = 1;
        }
    } else if (words.found == 3 && strcmp(words.words[1], "/") == 0) {
        double v = 0.0, t = 0.0;
        const int rv = CMN_GetValue(words.words[0], &v);
        const int rt = CMN_GetValue(words.words[2], &t);
        if (rv == 2)
            MSG_WarningLine(1311, column, name, words.words[0]);
        if (rt == 2)
            MSG_WarningLine(1311, column, name, words.words[2]);
        if (rv != 0 && rt != 0) {
            *dV = v;
            *dt = t;
            *state = CMN_VALUE_NUMBER;
            ok = 1;
        }
    }
    if (!ok)
        MSG_ErrorLine(1312, name, column, text);
    CMN_FreeWords(&words);
    return ok;
}

void CheckPositive(const DVDT *d, int corner) {
    if (d->dV[corner] <= 0)
        MSG_ErrorLine(1310, "dV");
    if (d->dt[corner] <= 0)
        MSG_ErrorLine(1310, "dT");
}

void RAMP_CheckValues(const char *typ, const char *min, const char *max, const char *name,
                      DVDT *d) {
    if (RAMP_ParseDvDt(typ, &d->dV[0], &d->dt[0], &d->state[0], name, "Typical")) {
        if (d->state[0] == CMN_VALUE_NA)
            MSG_ErrorLine(1309, name);
        else
            CheckPositive(d, 0);
    }
    const char *const texts[2] = {min, max};
    const char *const columns[2] = {"Minimum", "Maximum"};
    for (int c = 1; c <= 2; ++c) {
        RAMP_ParseDvDt(texts[c - 1], &d->dV[c], &d->dt[c], &d->state[c], name, columns[c - 1]);
        if (d->state[c] != CMN_VALUE_NA)
            CheckPositive(d, c);
    }
}

void RAMP_ParseDvDtLine(const char *text, DVDT **slot, const char *name,
                        const char *modelName) {
    if (*slot != nullptr) {
        MSG_ErrorLine(1307, name, modelName);
        return;
    }
    if (!RAMP_Create(slot))
        return;
    const char *rest = text;
    CMN_SkipBlanks(&rest);
    CMN_SkipWord(&rest);
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 3, &words)) {
        MSG_BugLine(1303, name, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    switch (words.found) {
    case 1:
        MSG_ErrorLine(1308, "minimum", name);
        MSG_ErrorLine(1308, "maximum", name);
        break;
    case 2:
        MSG_ErrorLine(1308, "maximum", name);
        break;
    case 3:
        break;
    default:
        MSG_ErrorLine(1304, static_cast<int>(words.found), name, 3);
        break;
    }
    RAMP_CheckValues(words.words[0], words.words[1], words.words[2], name, *slot);
    CMN_FreeWords(&words);
}

void RAMP_ParseRLoad(const char *text, RAMP *ramp, const char *modelName) {
    if (ramp->R_load_given) {
        MSG_ErrorLine(1307, "R_load", modelName);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(1303, "R_load", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found < 3) {
        MSG_ErrorLine(1313, "R_load");
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 3)
        MSG_ErrorLine(1304, static_cast<int>(words.found), "R_load", 3);
    if (strcmp(words.words[1], "=") == 0) {
        double value = 0.0;
        const int r = CMN_GetValue(words.words[2], &value);
        if (r == 0) {
            MSG_ErrorLine(1314, "R_load", words.words[2]);
        } else {
            if (r == 2)
                MSG_WarningLine(1311, "Ramp", "R_load", words.words[2]);
            ramp->R_load = value;
            ramp->R_load_given = 1;
        }
    } else {
        MSG_ErrorLine(1313, "R_load");
    }
    CMN_FreeWords(&words);
}

}  // namespace

void RAMP_Reset(void) { s_keywordLine = 0; }

int RAMP_Init(const char *keywordText, RAMP **slot, const char *modelName) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr && modelName != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(1300);
        RAMP_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(RAMP))) {
        MSG_Bug(1301, kSourceName, __LINE__);
        return 0;
    }
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(1302, kSourceName, __LINE__);
    } else {
        WORD_LIST words{};
        if (!CMN_SplitWords(rest, 0, &words))
            MSG_Bug(1303, "Ramp", kSourceName, __LINE__);
        else if (words.found > 0)
            MSG_ErrorLine(1304, static_cast<int>(words.found) + 1, "Ramp", 1);
        CMN_FreeWords(&words);
    }
    s_keywordLine = MSG_GetLineNumber();
    return 1;
}

void RAMP_ParseLine(const char *text, RAMP *ramp, const char *modelName) {
    MSG_ASSERT(text != nullptr && modelName != nullptr);
    if (ramp == nullptr)
        return;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(1303, "Ramp", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    switch (RAMP_LookupSubparam(words.words[0])) {
    case SUB_DVDT_R: RAMP_ParseDvDtLine(text, &ramp->dVdt_r, "dV/dt_r", modelName); break;
    case SUB_DVDT_F: RAMP_ParseDvDtLine(text, &ramp->dVdt_f, "dV/dt_f", modelName); break;
    case SUB_R_LOAD: RAMP_ParseRLoad(text, ramp, modelName); break;
    default: MSG_ErrorLine(1305); break;
    }
    CMN_FreeWords(&words);
}

void RAMP_EndKeyword(RAMP *ramp) {
    if (ramp == nullptr)
        return;
    const int line = static_cast<int>(s_keywordLine);
    if (ramp->dVdt_r == nullptr)
        MSG_Error(1306, "dV/dt_r", line);
    if (ramp->dVdt_f == nullptr)
        MSG_Error(1306, "dV/dt_f", line);
}

void RAMP_Free(RAMP *ramp) {
    if (ramp == nullptr)
        return;
    CMN_Free(ramp->dVdt_r);
    CMN_Free(ramp->dVdt_f);
    CMN_Free(ramp);
}
