// [Submodel] section: the name, Submodel_type, [Submodel Spec] and the
// tables of a submodel, and the checks of each finished submodel.
#define MSG_SRC MSGSRC_SUBMDL
#include "IbisParser/submdl.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/namedlist.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/smspec.h"
#include "IbisParser/wvfrm.h"

namespace {

const char kSourceName[] = "IbisParser/submdl";
const size_t kNameLimit = 20;

SUBMDL *s_current = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;

// The four I-V tables by keyword code 101-104, with their captions.
CRV **CurveSlot(SUBMDL *s, int code) {
    CRV **const slots[] = {&s->pulldown, &s->pullup, &s->gndClamp, &s->powerClamp};
    return slots[code - KW_SUB_PULLDOWN];
}
const char *const kCurveCaptions[] = {"Pulldown", "Pullup", "GND Clamp", "POWER Clamp"};

int AnyTable(const SUBMDL *s) {
    return s->pullup || s->pulldown || s->powerClamp || s->gndClamp || s->gndPulseTable ||
           s->powerPulseTable || s->ramp || s->risingWaveform || s->fallingWaveform;
}

void SUBMDL_ParseName(const char *text, SUBMDL *s) {
    const char *rest = text;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(2408, "SubModel", kSourceName, __LINE__);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 1, &words)) {
        MSG_Error(2409);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found == 0) {
        MSG_ErrorLine(2410);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 1)
        MSG_ErrorLine(2411, static_cast<int>(words.found), "Sub Model", 1);
    const char *name = words.words[0];
    if (strlen(name) > kNameLimit) {
        MSG_ErrorLine(2412, static_cast<int>(kNameLimit));
    } else {
        if (!CMN_IsNotReservedWord(name))
            MSG_ErrorLine(2413, name);
        IBIS *root = nullptr;
        if (IBIS_GetCurrent(&root) && NAMEDLIST_Find(root->submodels, name, s) != nullptr)
            MSG_ErrorLine(2414, name);
    }
    CMN_StrNCopy(s->name, name, kNameLimit);
    CMN_FreeWords(&words);
    IBIS *root = nullptr;
    if (IBIS_GetCurrent(&root) && root->submodels == s)
        NAMEDLIST_Add(root->submodels, s);
}

// Submodel_type values by IBIS version: Fall_back from version 4.
int LookupType(const char *value, const char **tryText) {
    static const struct {
        const char *text;
        int code;
    } kTypes[] = {{"Dynamic_clamp", SUBMDL_TYPE_DYNAMIC_CLAMP},
                  {"Bus_hold", SUBMDL_TYPE_BUS_HOLD},
                  {"Fall_back", SUBMDL_TYPE_FALL_BACK}};
    const int rows = PARSE_GetIbisVersion() >= 4 ? 3 : 2;
    for (int i = 0; i < rows; ++i) {
        if (strcmp(value, kTypes[i].text) == 0)
            return kTypes[i].code;
        if (CMN_StrEqualNoCase(value, kTypes[i].text)) {
            *tryText = kTypes[i].text;
            return SUBMDL_TYPE_INVALID;
        }
    }
    return SUBMDL_TYPE_INVALID;
}

void SUBMDL_ParseSubmodelType(const char *text, SUBMDL *s) {
    const char *name = "Submodel_type";
    if (s->Submodel_type != SUBMDL_TYPE_NONE) {
        MSG_ErrorLine(2417, name, s->name);
        return;
    }
    s->Submodel_type = SUBMDL_TYPE_INVALID;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 2, '=', &words)) {
        MSG_BugLine(2415, name, kSourceName, __LINE__);
    } else if (words.found == 1) {
        MSG_ErrorLine(2418, name);
    } else if (words.found != 2) {
        if (strcmp(words.words[1], "=") == 0)
            MSG_ErrorLine(2419, name);
        else
            MSG_ErrorLine(2420, static_cast<int>(words.found), name, 2);
    } else {
        const char *tryText = nullptr;
        s->Submodel_type = LookupType(words.words[1], &tryText);
        if (tryText != nullptr)
            MSG_ErrorLine(2421, name, words.words[1], tryText);
        else if (s->Submodel_type == SUBMDL_TYPE_INVALID)
            MSG_ErrorLine(2422, name, words.words[1]);
    }
    CMN_FreeWords(&words);
}

void SUBMDL_ParseSubparam(const char *text, SUBMDL *s) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2415, "Sub Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const bool known = words.stored > 0 && strcmp(words.words[0], "Submodel_type") == 0;
    CMN_FreeWords(&words);
    if (!known)
        MSG_ErrorLine(2416);
    else
        SUBMDL_ParseSubmodelType(text, s);
}

void ParseKeyword(IBIS_KEYWORD code, const char *text, SUBMDL *s) {
    switch (code) {
    case KW_SUBMODEL:
        SUBMDL_ParseName(text, s);
        break;
    case KW_SUBMODEL_SPEC:
        if (AnyTable(s))
            MSG_ErrorLine(2406);
        SMSPEC_Init(text, &s->submodelSpec);
        break;
    case KW_GND_PULSE_TABLE:
    case KW_POWER_PULSE_TABLE: {
        const bool gnd = code == KW_GND_PULSE_TABLE;
        WVFRM **slot = gnd ? &s->gndPulseTable : &s->powerPulseTable;
        if (*slot != nullptr) {
            MSG_ErrorLine(gnd ? 2404 : 2405);
            WVFRM_Free(*slot);
            *slot = nullptr;
        }
        WVFRM_Init(text, slot, gnd ? "GND Pulse" : "POWER Pulse");
        break;
    }
    case KW_SUB_PULLDOWN:
    case KW_SUB_PULLUP:
    case KW_SUB_GND_CLAMP:
    case KW_SUB_POWER_CLAMP:
        CRV_Init(text, kCurveCaptions[code - KW_SUB_PULLDOWN], CurveSlot(s, code));
        break;
    case KW_SUB_RAMP:
        RAMP_Init(text, &s->ramp, s->name);
        break;
    case KW_SUB_RISING_WAVEFORM:
        WVFRM_Init(text, &s->risingWaveform, "Rising Waveform");
        break;
    case KW_SUB_FALLING_WAVEFORM:
        WVFRM_Init(text, &s->fallingWaveform, "Falling Waveform");
        break;
    default:
        break;
    }
}

void ParseData(IBIS_KEYWORD code, const char *text, SUBMDL *s) {
    switch (code) {
    case KW_SUBMODEL: SUBMDL_ParseSubparam(text, s); break;
    case KW_SUBMODEL_SPEC: SMSPEC_ParseLine(text, s->submodelSpec, s->name); break;
    case KW_GND_PULSE_TABLE: WVFRM_ParseLine(text, "GND Pulse Table"); break;
    case KW_POWER_PULSE_TABLE: WVFRM_ParseLine(text, "POWER Pulse Table"); break;
    case KW_SUB_PULLDOWN:
    case KW_SUB_PULLUP:
    case KW_SUB_GND_CLAMP:
    case KW_SUB_POWER_CLAMP: {
        const char *caption = kCurveCaptions[code - KW_SUB_PULLDOWN];
        CRV_ParseLine(text, *CurveSlot(s, code), caption);
        break;
    }
    case KW_SUB_RAMP: RAMP_ParseLine(text, s->ramp, s->name); break;
    case KW_SUB_RISING_WAVEFORM: WVFRM_ParseLine(text, "Rising Waveform"); break;
    case KW_SUB_FALLING_WAVEFORM: WVFRM_ParseLine(text, "Falling Waveform"); break;
    default: MSG_BugLine(2407, kSourceName, __LINE__); break;
    }
}

// --- Trigger voltages against the waveforms -------------------------------

enum Corner { CORNER_TYP, CORNER_MIN, CORNER_MAX };
const char *const kCornerWords[] = {"Typ", "Min", "Max"};

// The pair of values a corner compares, by numbers and "NA" on both sides;
// 0 when the corner is not tested.
int CornerPair(const RNG *trigger, const RNGP *point, int corner, double *t, double *w) {
    if (corner == CORNER_TYP) {
        *t = trigger->typ;
        *w = point->typ;
        return 1;
    }
    const bool min = corner == CORNER_MIN;
    const int ts = min ? trigger->min_state : trigger->max_state;
    const int ws = min ? point->min_state : point->max_state;
    const double tv = min ? trigger->min : trigger->max;
    const double wv = min ? point->min : point->max;
    if (ws == CMN_VALUE_NUMBER && ts == CMN_VALUE_NUMBER) {
        *t = tv;
        *w = wv;
    } else if (ws == CMN_VALUE_NUMBER && ts == CMN_VALUE_NA) {
        *t = trigger->typ;
        *w = wv;
    } else if (ws == CMN_VALUE_NA && ts == CMN_VALUE_NUMBER) {
        *t = tv;
        *w = point->typ;
    } else {
        return 0;  // both "NA", or a corner absent on either side
    }
    return 1;
}

// Reports each corner at which the trigger lies on the wrong side of the
// point: below it (sign -1) or above it (sign 1).
void CheckCorners(const SUBMDL *s, const RNG *trigger, const RNGP *point, int sign, int code) {
    for (int c = CORNER_TYP; c <= CORNER_MAX; ++c) {
        double t = 0.0, w = 0.0;
        if (CornerPair(trigger, point, c, &t, &w) && (sign < 0 ? t < w : t > w))
            MSG_Warning(code, s->name, kCornerWords[c]);
    }
}

// Rising waveforms must start at or below V_trigger_r and end at or above
// it; falling waveforms start at or above V_trigger_f and end at or below.
void CheckTriggers(const SUBMDL *s, const RNG *trigger, const WVFRM *list, int rising) {
    if (trigger == nullptr || trigger->typ_state != CMN_VALUE_NUMBER)
        return;
    for (const WVFRM *w = list; w != nullptr; w = w->next) {
        const RNGP *first = w->points;
        if (first == nullptr || first->typ_state != CMN_VALUE_NUMBER)
            continue;
        const RNGP *last = first;
        while (last->next != nullptr)
            last = last->next;
        CheckCorners(s, trigger, first, rising ? -1 : 1, rising ? 2441 : 2443);
        if (last->typ_state == CMN_VALUE_NUMBER)
            CheckCorners(s, trigger, last, rising ? 1 : -1, rising ? 2442 : 2444);
    }
}

void CheckBusHold(const SUBMDL *s, const SMSPEC *spec) {
    if (spec == nullptr) {
        MSG_Error(2424, s->name);
    } else {
        if (spec->V_trigger_r == nullptr)
            MSG_Error(2425, s->name);
        if (spec->V_trigger_f == nullptr)
            MSG_Error(2426, s->name);
        if (spec->Off_delay != nullptr && s->pullup != nullptr && s->pulldown != nullptr)
            MSG_Error(2427, s->name);
    }
    if (s->ramp == nullptr)
        MSG_Error(2428, s->name);
    if (s->pullup == nullptr && s->pulldown == nullptr)
        MSG_Error(2429, s->name);
}

void CheckDynamicClamp(const SUBMDL *s, const SMSPEC *spec) {
    if (s->gndPulseTable != nullptr && (spec == nullptr || spec->V_trigger_f == nullptr))
        MSG_Error(2430, s->name);
    if (s->powerPulseTable != nullptr && (spec == nullptr || spec->V_trigger_r == nullptr))
        MSG_Error(2431, s->name);
    if (s->gndPulseTable == nullptr && s->powerPulseTable == nullptr && s->gndClamp == nullptr &&
        s->powerClamp == nullptr)
        MSG_Error(2432, s->name);
    if (spec != nullptr && spec->Off_delay != nullptr)
        MSG_Error(2433, s->name);
}

void CheckFallBack(const SUBMDL *s, const SMSPEC *spec) {
    if (spec == nullptr) {
        MSG_Error(2434, s->name);
    } else {
        if (spec->V_trigger_r == nullptr)
            MSG_Error(2435, s->name);
        if (spec->V_trigger_f == nullptr)
            MSG_Error(2436, s->name);
    }
    if (s->pullup == nullptr && s->pulldown == nullptr)
        MSG_Error(2437, s->name);
    if (s->pullup != nullptr && s->pulldown != nullptr)
        MSG_Error(2438, s->name);
    if (s->ramp == nullptr)
        MSG_Error(2439, s->name);
    if (spec != nullptr && spec->Off_delay != nullptr)
        MSG_Error(2440, s->name);
}

}  // namespace

void SUBMDL_Reset(void) {
    s_current = nullptr;
    s_last = NOT_KEY;
    WVFRM_Reset();
}

void SUBMDL_Init(void) {
    s_current = nullptr;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(2401);
        return;
    }
    SUBMDL *s = nullptr;
    if (!SUBMDL_Create(&s))
        return;
    IBIS_AddSubmodel(root, s);
    s_current = s;
}

void SUBMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    if (s_current == nullptr) {
        if (lineType == LINE_KEYWORD)
            MSG_ErrorLine(2402);
        else if (lineType == LINE_DATA)
            MSG_ErrorLine(2403);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        s_last = code;
        ParseKeyword(code, text, s_current);
    } else if (lineType == LINE_DATA) {
        ParseData(code, text, s_current);
    }
}

void SUBMDL_EndKeyword(IBIS_KEYWORD nextCode) {
    // A submodel keyword after the submodel ended (or in a file that
    // refused [Submodel]) has no submodel to close.
    SUBMDL *s = s_current;
    if (s == nullptr)
        return;
    switch (s_last) {
    case KW_SUBMODEL:
        if (s->Submodel_type == SUBMDL_TYPE_NONE)
            MSG_Error(2423, s->name, "Submodel_type");
        break;
    case KW_SUBMODEL_SPEC: SMSPEC_EndKeyword(s); break;
    case KW_GND_PULSE_TABLE: WVFRM_EndKeyword("GND Pulse Table", WVFRM_KIND_PULSE); break;
    case KW_POWER_PULSE_TABLE: WVFRM_EndKeyword("POWER Pulse Table", WVFRM_KIND_PULSE); break;
    case KW_SUB_PULLDOWN:
    case KW_SUB_PULLUP:
    case KW_SUB_GND_CLAMP:
    case KW_SUB_POWER_CLAMP: {
        const int i = s_last - KW_SUB_PULLDOWN;
        // Checked as the tables of an Output model.
        CRV_EndKeyword(s->name, MDL_TYPE_OUTPUT, KW_PULLDOWN + i, *CurveSlot(s, s_last),
                       kCurveCaptions[i], "Submodel");
        break;
    }
    case KW_SUB_RAMP: RAMP_EndKeyword(s->ramp); break;
    case KW_SUB_RISING_WAVEFORM: WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM); break;
    case KW_SUB_FALLING_WAVEFORM: WVFRM_EndKeyword("Falling", WVFRM_KIND_WAVEFORM); break;
    default: break;
    }
    if (nextCode >= KW_SUBMODEL_SPEC && nextCode <= KW_SUB_FALLING_WAVEFORM)
        return;
    SUBMDL_CheckSubmodel(s);
    s_current = nullptr;
    s_last = NOT_KEY;
}

void SUBMDL_CheckSubmodel(const SUBMDL *s) {
    MSG_ASSERT(s != nullptr);
    const SMSPEC *spec = s->submodelSpec;
    switch (s->Submodel_type) {
    case SUBMDL_TYPE_BUS_HOLD: CheckBusHold(s, spec); break;
    case SUBMDL_TYPE_DYNAMIC_CLAMP: CheckDynamicClamp(s, spec); break;
    case SUBMDL_TYPE_FALL_BACK: CheckFallBack(s, spec); break;
    default: break;
    }
    if (spec != nullptr) {
        CheckTriggers(s, spec->V_trigger_r, s->risingWaveform, 1);
        CheckTriggers(s, spec->V_trigger_f, s->fallingWaveform, 0);
    }
}

SUBMDL *SUBMDL_FindByName(const char *name, SUBMDL *submodels) {
    return NAMEDLIST_Find(submodels, name);
}

int SUBMDL_Create(SUBMDL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(SUBMDL))) {
        MSG_Bug(2400, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void SUBMDL_SetNext(SUBMDL *record, SUBMDL *next) {
    MSG_ASSERT(record != nullptr);
    NAMEDLIST_Link(record, next);
}

void SUBMDL_Free(SUBMDL *record) {
    if (record == nullptr)
        return;
    if (record == s_current)
        s_current = nullptr;
    CRV_Free(record->pulldown);
    CRV_Free(record->pullup);
    CRV_Free(record->gndClamp);
    CRV_Free(record->powerClamp);
    RAMP_Free(record->ramp);
    WVFRM_Free(record->risingWaveform);
    WVFRM_Free(record->fallingWaveform);
    WVFRM_Free(record->gndPulseTable);
    WVFRM_Free(record->powerPulseTable);
    SMSPEC_Free(record->submodelSpec);
    NAMEDLIST_FreeIndex(record);
    CMN_Free(record);
}

void SUBMDL_FreeList(SUBMDL *list) {
    while (list != nullptr) {
        SUBMDL *next = list->next;
        SUBMDL_Free(list);
        list = next;
    }
}
