// Typ/min/max ranges: the value of nearly every numeric keyword.
#define MSG_SRC MSGSRC_RNG
#include "IbisParser/rng.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {
const char kSourceName[] = "IbisParser/rng";
}

int RNG_Create(RNG **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(RNG))) {
        MSG_Bug(3904, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

int RNG_ParseValues(const char *typ, const char *min, const char *max, const char *label,
                    RNG *range) {
    MSG_ASSERT(label != nullptr && range != nullptr);
    int ok = CMN_ReadValueOrNA(typ, label, "Typical", &range->typ, &range->typ_state);
    ok &= CMN_ReadValueOrNA(min, label, "Minimum", &range->min, &range->min_state);
    ok &= CMN_ReadValueOrNA(max, label, "Maximum", &range->max, &range->max_state);
    return ok;
}

int RNG_ParseLine(const char *text, const char *label, RNG **out) {
    MSG_ASSERT(text != nullptr && label != nullptr && out != nullptr);
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 3, &words)) {
        MSG_BugLine(3900, label, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return 0;
    }
    switch (words.found) {
    case 1:
        MSG_ErrorLine(3901, "minimum", label);
        MSG_ErrorLine(3901, "maximum", label);
        break;
    case 2:
        MSG_ErrorLine(3901, "maximum", label);
        break;
    case 3:
        break;
    default:
        MSG_ErrorLine(3902, static_cast<int>(words.found), label, 3);
        break;
    }
    RNG *range = nullptr;
    if (!RNG_Create(&range)) {
        CMN_FreeWords(&words);
        return 0;
    }
    int ok = RNG_ParseValues(words.words[0], words.words[1], words.words[2], label, range);
    if (range->typ_state == CMN_VALUE_NUMBER && range->min_state == CMN_VALUE_NUMBER &&
        range->max_state == CMN_VALUE_NUMBER) {
        bool below = range->typ < range->min && range->typ < range->max;
        bool above = range->typ > range->min && range->typ > range->max;
        if (below || above)
            MSG_WarningLine(3903);
    }
    CMN_FreeWords(&words);
    *out = range;
    return ok;
}

void RNG_Free(RNG *range) { CMN_Free(range); }
