// [Receiver Thresholds] of a model: name = value lines for single-ended and
// differential thresholds, the Reference_supply line, and the whole-file check
// of which values a receiver needs.
#define MSG_SRC MSGSRC_RCVTH
#include "IbisParser/rcvth.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/pin.h"

namespace {

const char kSourceName[] = "IbisParser/rcvth";

struct Subparam {
    const char *name;
    double *RCVTH::*slot;  // null for Reference_supply
};

const Subparam kSubparams[] = {
    {"Vth", &RCVTH::Vth},
    {"Vth_min", &RCVTH::Vth_min},
    {"Vth_max", &RCVTH::Vth_max},
    {"Vinh_ac", &RCVTH::Vinh_ac},
    {"Vinh_dc", &RCVTH::Vinh_dc},
    {"Vinl_ac", &RCVTH::Vinl_ac},
    {"Vinl_dc", &RCVTH::Vinl_dc},
    {"Threshold_sensitivity", &RCVTH::Threshold_sensitivity},
    {"Reference_supply", nullptr},
    {"Vcross_low", &RCVTH::Vcross_low},
    {"Vcross_high", &RCVTH::Vcross_high},
    {"Vdiff_ac", &RCVTH::Vdiff_ac},
    {"Vdiff_dc", &RCVTH::Vdiff_dc},
    {"Tslew_ac", &RCVTH::Tslew_ac},
    {"Tdiffslew_ac", &RCVTH::Tdiffslew_ac},
};

const char *const kReferenceSupplies[] = {"Power_clamp_ref", "Gnd_clamp_ref", "Pullup_ref",
                                          "Pulldown_ref", "Ext_ref"};

// Values a differential receiver needs, and those a single-ended one needs.
struct Required {
    int code;
    double *RCVTH::*slot;
};
const Required kDifferential[] = {{3206, &RCVTH::Vcross_low},
                                  {3207, &RCVTH::Vcross_high},
                                  {3208, &RCVTH::Vdiff_ac},
                                  {3209, &RCVTH::Vdiff_dc},
                                  {3210, &RCVTH::Tdiffslew_ac}};
const Required kSingleEnded[] = {{3219, &RCVTH::Vth},     {3220, &RCVTH::Vinh_ac},
                                 {3221, &RCVTH::Vinl_ac}, {3222, &RCVTH::Vinh_dc},
                                 {3223, &RCVTH::Vinl_dc}, {3224, &RCVTH::Tslew_ac}};

// name = value
void ParseValue(const char *text, const char *name, double **slot) {
    if (*slot != nullptr) {
        MSG_ErrorLine(3231, name);
        return;
    }
    // The value counts as given from here on, 0 until it is read.
    if (!CMN_Alloc(slot, sizeof(double)))
        return;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(3203, "Receiver Threshold Sub-Parameter", kSourceName, __LINE__);
    } else if (words.found < 3) {
        MSG_ErrorLine(3232, name);
    } else {
        if (words.found > 3)
            MSG_ErrorLine(3204, static_cast<int>(words.found), name, 3);
        double value = 0;
        if (strcmp(words.words[1], "=") != 0)
            MSG_ErrorLine(3232, name);
        else if (CMN_GetValue(words.words[2], &value) == 0)
            MSG_ErrorLine(3233, name, words.words[2]);
        else
            **slot = value;
    }
    CMN_FreeWords(&words);
}

// Reference_supply value (no "=")
void ParseReferenceSupply(const char *text, const char *name, char **slot) {
    if (*slot != nullptr) {
        MSG_ErrorLine(3231, name);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 2, '=', &words)) {
        MSG_BugLine(3203, "Receiver Threshold Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const int found = static_cast<int>(words.found);
    if (found < 2 || (found == 3 && strcmp(words.words[1], "=") == 0)) {
        MSG_ErrorLine(3232, name);
    } else if (found == 3) {
        MSG_ErrorLine(3204, 3, name, 2);
    } else {
        if (found != 2)
            MSG_ErrorLine(3204, found, name, 2);
        const char *value = words.words[1];
        bool known = false;
        for (const char *supply : kReferenceSupplies)
            known = known || strcmp(value, supply) == 0;
        if (!known)
            MSG_ErrorLine(3234, value);
        else
            *slot = CMN_StrDup(value);
    }
    CMN_FreeWords(&words);
}

}  // namespace

int RCVTH_Init(const char *keywordText, RCVTH **slot) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(3200);
        RCVTH_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(RCVTH))) {
        MSG_Bug(3201, kSourceName, __LINE__);
        return 0;
    }
    static const CMN_KEYWORD_ALONE kCodes = {MSG_SRC, kSourceName, 3202, 3203, 3204,
                                             "Receiver Threshold"};
    CMN_CheckKeywordAlone(keywordText, &kCodes, __LINE__);
    return 1;
}

void RCVTH_ParseLine(const char *text, RCVTH *record, const char * /*modelName*/) {
    MSG_ASSERT(text != nullptr);
    if (record == nullptr)
        return;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(3203, "Receiver Threshold Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const char *name = words.found > 0 ? words.words[0] : "";
    const Subparam *sub = nullptr;
    for (const Subparam &s : kSubparams)
        if (strcmp(name, s.name) == 0)
            sub = &s;
    if (sub == nullptr)
        MSG_ErrorLine(3230);
    else if (sub->slot == nullptr)
        ParseReferenceSupply(text, sub->name, &record->Reference_supply);
    else
        ParseValue(text, sub->name, &(record->*(sub->slot)));
    CMN_FreeWords(&words);
}

void RCVTH_EndKeyword(MDL *model) {
    MSG_ASSERT(model != nullptr);
    const RCVTH *r = model->receiverThresholds;
    if (r != nullptr && r->Threshold_sensitivity != nullptr && r->Reference_supply == nullptr)
        MSG_Error(3205, model->name);
}

void RCVTH_CheckAll(MDL *models) {
    // Without a component no model can sit on a [Diff Pin]: the question is
    // not asked.
    IBIS *root = nullptr;
    const bool components = IBIS_GetCurrent(&root) && root->components != nullptr;
    for (MDL *m = models; m != nullptr; m = m->next) {
        PIN *pin = nullptr;
        const int onDiffPin =
            components && RCVTH_ops.isModelOnDiffPin && RCVTH_ops.isModelOnDiffPin(m, &pin);
        const RCVTH *r = m->receiverThresholds;
        if (r == nullptr)
            continue;
        if (onDiffPin) {
            for (const Required &q : kDifferential)
                if (r->*q.slot == nullptr)
                    MSG_Warning(q.code, m->name, pin != nullptr ? pin->pin : "");
        } else {
            for (const Required &q : kSingleEnded)
                if (r->*q.slot == nullptr)
                    MSG_Warning(q.code, m->name);
        }
    }
}

void RCVTH_Free(RCVTH *record) {
    if (record == nullptr)
        return;
    for (const Subparam &s : kSubparams)
        if (s.slot != nullptr)
            CMN_Free(record->*(s.slot));
    CMN_Free(record->Reference_supply);
    CMN_Free(record);
}
