// [Model Spec] of a model: typ/min/max values of thresholds, overshoot and
// pulse limits and timing-test loads, and the checks of their signs, pairs
// and order when the keyword ends.
#define MSG_SRC MSGSRC_MSPEC
#include "IbisParser/mspec.h"

#include <cstdio>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"

namespace {

const char kSourceName[] = "IbisParser/mspec";

// Line of the last [Model Spec] keyword, named by the end-check messages.
int s_keywordLine = 0;

struct Subparam {
    const char *name;
    int id;
    RNG *MSPEC::*slot;
};

// In id order; the version decides how many rows are admitted.
const Subparam kSubparams[] = {
    {"Vinh", 1, &MSPEC::Vinh},
    {"Vinl", 2, &MSPEC::Vinl},
    {"Vinh+", 3, &MSPEC::Vinh_plus},
    {"Vinh-", 4, &MSPEC::Vinh_minus},
    {"Vinl+", 5, &MSPEC::Vinl_plus},
    {"Vinl-", 6, &MSPEC::Vinl_minus},
    {"S_overshoot_high", 7, &MSPEC::S_overshoot_high},
    {"S_overshoot_low", 8, &MSPEC::S_overshoot_low},
    {"D_overshoot_high", 9, &MSPEC::D_overshoot_high},
    {"D_overshoot_low", 10, &MSPEC::D_overshoot_low},
    {"D_overshoot_time", 11, &MSPEC::D_overshoot_time},
    {"Pulse_high", 12, &MSPEC::Pulse_high},
    {"Pulse_low", 13, &MSPEC::Pulse_low},
    {"Pulse_time", 14, &MSPEC::Pulse_time},
    {"Vmeas", 15, &MSPEC::Vmeas},
    {"Vref", 16, &MSPEC::Vref},
    {"Cref", 17, &MSPEC::Cref},
    {"Rref", 18, &MSPEC::Rref},
    {"Rref_diff", 19, &MSPEC::Rref_diff},
    {"Cref_diff", 20, &MSPEC::Cref_diff},
    {"Vref_rising", 21, &MSPEC::Vref_rising},
    {"Vref_falling", 22, &MSPEC::Vref_falling},
    {"Cref_rising", 23, &MSPEC::Cref_rising},
    {"Cref_falling", 24, &MSPEC::Cref_falling},
    {"Rref_rising", 25, &MSPEC::Rref_rising},
    {"Rref_falling", 26, &MSPEC::Rref_falling},
    {"Vmeas_rising", 27, &MSPEC::Vmeas_rising},
    {"Vmeas_falling", 28, &MSPEC::Vmeas_falling},
    {"D_overshoot_amp_h", 29, &MSPEC::D_overshoot_amp_h},
    {"D_overshoot_amp_l", 30, &MSPEC::D_overshoot_amp_l},
    {"D_overshoot_area_h", 31, &MSPEC::D_overshoot_area_h},
    {"D_overshoot_area_l", 32, &MSPEC::D_overshoot_area_l},
};

int AdmittedRows(int version) {
    if (version <= 3)
        return 15;
    return version == 4 ? 28 : 32;
}

bool IsReceiver(int type) {
    switch (type) {
    case MDL_TYPE_INPUT: case MDL_TYPE_IO: case MDL_TYPE_IO_OPEN_DRAIN: case MDL_TYPE_IO_OPEN_SINK:
    case MDL_TYPE_IO_OPEN_SOURCE: case MDL_TYPE_INPUT_ECL: case MDL_TYPE_IO_ECL:
        return true;
    default:
        return false;
    }
}

bool TakesNoTimingLoad(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}

bool FitsModelType(int id, int type) {
    if (id <= 14)
        return IsReceiver(type);
    if (id == 19 || id == 20)
        return false;
    if (id <= 28)
        return !TakesNoTimingLoad(type);
    return true;
}

// ---- Corners ----------------------------------------------------------------

// Checked in this order: typ, then max, then min.
enum Corner { TYP, MAX, MIN };
const Corner kCorners[] = {TYP, MAX, MIN};
const char *const kCornerNames[] = {"Typ", "Max", "Min"};

// The value of one corner: typ when it is a number; min (max) when it is a
// number, else typ when that is a number. A comparison between two ranges
// needs the column in both (columnNeeded): a number or NA, not a column the
// line left out or could not read.
bool CornerValue(const RNG *r, Corner corner, double *value, bool columnNeeded = false) {
    if (corner == TYP) {
        *value = r->typ;
        return r->typ_state == CMN_VALUE_NUMBER;
    }
    const double v = corner == MIN ? r->min : r->max;
    const int state = corner == MIN ? r->min_state : r->max_state;
    if (state == CMN_VALUE_NUMBER) {
        *value = v;
        return true;
    }
    if (columnNeeded && state != CMN_VALUE_NA)
        return false;
    *value = r->typ;
    return r->typ_state == CMN_VALUE_NUMBER;
}

// Given with a typ that is a number: only such values take part in the sign,
// pair and order checks.
bool Usable(const RNG *r) { return r != nullptr && r->typ_state == CMN_VALUE_NUMBER; }

// 3811 for each corner below 0, or 3810 (above) for each corner above 0.
void CheckSign(const RNG *r, const char *name, bool mustNotBeNegative) {
    for (Corner c : kCorners) {
        double v = 0;
        if (!CornerValue(r, c, &v))
            continue;
        if (mustNotBeNegative ? v < 0 : v > 0) {
            char label[64];
            snprintf(label, sizeof label, "%s (%s)", name, kCornerNames[c]);
            MSG_Warning(mustNotBeNegative ? 3811 : 3810, label, s_keywordLine);
        }
    }
}

enum Order { GREATER, LESS, GREATER_OR_EQUAL };

// Compares a with b at every corner both have; each failing corner is one
// message.
void CheckOrder(const RNG *a, const char *aName, const RNG *b, const char *bName, Order order) {
    for (Corner c : kCorners) {
        double x = 0, y = 0;
        if (!CornerValue(a, c, &x, true) || !CornerValue(b, c, &y, true))
            continue;
        bool ok = order == GREATER ? x > y : order == LESS ? x < y : x >= y;
        if (ok)
            continue;
        const int code = order == GREATER ? 3818 : order == LESS ? 3817 : 3820;
        MSG_Warning(code, aName, kCornerNames[c], bName, kCornerNames[c], s_keywordLine);
    }
}

// The model's own Vinl or Vinh as a range of three equal numbers.
RNG ScalarRange(double value) {
    return RNG{value, CMN_VALUE_NUMBER, value, CMN_VALUE_NUMBER, value, CMN_VALUE_NUMBER};
}

void CheckOvershoot(const MSPEC *s, const RNG *d, const char *dName, const RNG *sLimit,
                    const char *sName, bool high) {
    if (!Usable(d))
        return;
    CheckSign(d, dName, high);
    if (!Usable(sLimit))
        MSG_Error(3812, dName, sName, s_keywordLine);
    else
        CheckOrder(d, dName, sLimit, sName, high ? GREATER : LESS);
    if (!Usable(s->D_overshoot_time))
        MSG_Error(3812, dName, "D_overshoot_time", s_keywordLine);
}

void CheckArea(const RNG *area, const char *areaName, const RNG *amp, const char *ampName) {
    if (!Usable(area))
        return;
    CheckSign(area, areaName, true);
    if (!Usable(amp))
        MSG_Error(3813, ampName, areaName, s_keywordLine);
}

// Pulse_high must lie above the low threshold, Pulse_low below the high one:
// the hysteresis threshold when all four are given, else the Model Spec
// threshold, else the model's own.
void CheckPulse(const MSPEC *s, const MDL *model, bool high) {
    const RNG *pulse = high ? s->Pulse_high : s->Pulse_low;
    const char *name = high ? "Pulse_high" : "Pulse_low";
    if (!Usable(pulse))
        return;
    if (!Usable(s->Pulse_time))
        MSG_Error(3812, name, "Pulse_time", s_keywordLine);
    const Order order = high ? GREATER : LESS;
    const RNG *spec = high ? s->Vinl : s->Vinh;
    const double *own = high ? model->Vinl : model->Vinh;
    if (s->hysteresisComplete) {
        CheckOrder(pulse, name, high ? s->Vinh_minus : s->Vinl_plus, high ? "Vinh-" : "Vinl+",
                   order);
    } else if (Usable(spec)) {
        CheckOrder(pulse, name, spec, high ? "Vinl" : "Vinh", order);
    } else if (own != nullptr) {
        const RNG threshold = ScalarRange(*own);
        CheckOrder(pulse, name, &threshold, high ? "Vinl" : "Vinh", order);
    } else {
        MSG_Error(3812, name, "Thresholds or Hysteresis Thresholds", s_keywordLine);
    }
}

void CheckTime(const RNG *time, const char *name, bool used) {
    if (!Usable(time))
        return;
    if (used)
        CheckSign(time, name, true);
    else
        MSG_Warning(3814, name, s_keywordLine);
}

// X_rising and X_falling come together and replace X.
void CheckPair(const RNG *plain, const RNG *rising, const RNG *falling, const char *name) {
    char plainName[16], risingName[24], fallingName[24];
    snprintf(plainName, sizeof plainName, "%s", name);
    snprintf(risingName, sizeof risingName, "%s_rising", name);
    snprintf(fallingName, sizeof fallingName, "%s_falling", name);
    if (rising != nullptr) {
        if (falling == nullptr)
            MSG_Error(3815, fallingName, risingName);
        if (plain != nullptr)
            MSG_Error(3816, plainName, risingName);
    }
    if (falling != nullptr) {
        if (rising == nullptr)
            MSG_Error(3815, risingName, fallingName);
        if (plain != nullptr)
            MSG_Error(3816, plainName, fallingName);
    }
}

}  // namespace

int MSPEC_Init(const char *keywordText, MSPEC **slot) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(3800);
        MSPEC_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(MSPEC))) {
        MSG_Bug(3801, kSourceName, __LINE__);
        return 0;
    }
    static const CMN_KEYWORD_ALONE kCodes = {MSG_SRC, kSourceName, 3802, 3803, 3804, "Model Spec"};
    CMN_CheckKeywordAlone(keywordText, &kCodes, __LINE__);
    s_keywordLine = static_cast<int>(MSG_GetLineNumber());
    return 1;
}

namespace {

void MSPEC_ParseSubparam(const char *text, MSPEC *record, const MDL *model) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(3803, "Model Spec Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const char *name = words.found > 0 ? words.words[0] : "";
    const Subparam *sub = nullptr;
    const int rows = AdmittedRows(PARSE_GetIbisVersion());
    for (int i = 0; i < rows && sub == nullptr; ++i)
        if (strcmp(name, kSubparams[i].name) == 0)
            sub = &kSubparams[i];
    if (sub == nullptr) {
        MSG_ErrorLine(3806);
        CMN_FreeWords(&words);
        return;
    }
    if (!FitsModelType(sub->id, model->Model_type)) {
        const char *typeName = nullptr;
        MDL_GetModelTypeName(model->Model_type, &typeName);
        MSG_WarningLine(3805, sub->name, typeName != nullptr ? typeName : "No Type");
    }
    RNG *&slot = record->*(sub->slot);
    if (slot != nullptr) {
        MSG_ErrorLine(3807, sub->name, model->name);
    } else {
        const char *rest = text;
        CMN_SkipBlanks(&rest);
        rest += strlen(name);
        RNG_ParseLine(rest, sub->name, &slot);
        if (slot != nullptr && slot->typ_state == CMN_VALUE_NA)
            MSG_ErrorLine(3808);
    }
    CMN_FreeWords(&words);
}

}  // namespace

void MSPEC_ParseLine(const char *text, MSPEC *record, const MDL *model) {
    MSG_ASSERT(text != nullptr && model != nullptr);
    // Without a record (its allocation failed) the lines are dropped.
    if (record != nullptr)
        MSPEC_ParseSubparam(text, record, model);
}

void MSPEC_EndKeyword(MDL *model) {
    MSG_ASSERT(model != nullptr);
    MSPEC *s = model->modelSpec;
    if (s == nullptr)
        return;
    const RNG *hysteresis[] = {s->Vinh_plus, s->Vinh_minus, s->Vinl_plus, s->Vinl_minus};
    int given = 0;
    for (const RNG *r : hysteresis)
        given += r != nullptr;
    s->hysteresisComplete = given == 4;
    if (given > 0 && given < 4)
        MSG_Warning(3809, "", s_keywordLine);
    if (s->hysteresisComplete) {
        CheckOrder(s->Vinh_plus, "Vinh+", s->Vinh_minus, "Vinh-", GREATER_OR_EQUAL);
        CheckOrder(s->Vinl_plus, "Vinl+", s->Vinl_minus, "Vinl-", GREATER_OR_EQUAL);
    }
    if (Usable(s->S_overshoot_high))
        CheckSign(s->S_overshoot_high, "S_overshoot_high", true);
    if (Usable(s->S_overshoot_low))
        CheckSign(s->S_overshoot_low, "S_overshoot_low", false);
    CheckOvershoot(s, s->D_overshoot_high, "D_overshoot_high", s->S_overshoot_high,
                   "S_overshoot_high", true);
    CheckOvershoot(s, s->D_overshoot_low, "D_overshoot_low", s->S_overshoot_low, "S_overshoot_low",
                   false);
    CheckArea(s->D_overshoot_area_h, "D_overshoot_area_h", s->D_overshoot_amp_h, "D_overshoot_amp_h");
    CheckArea(s->D_overshoot_area_l, "D_overshoot_area_l", s->D_overshoot_amp_l, "D_overshoot_amp_l");
    if (Usable(s->D_overshoot_amp_h))
        CheckSign(s->D_overshoot_amp_h, "D_overshoot_amp_h", true);
    if (Usable(s->D_overshoot_amp_l))
        CheckSign(s->D_overshoot_amp_l, "D_overshoot_amp_l", true);
    CheckTime(s->D_overshoot_time, "D_overshoot_time",
              Usable(s->D_overshoot_low) || Usable(s->D_overshoot_high));
    CheckPulse(s, model, true);
    CheckPulse(s, model, false);
    CheckTime(s->Pulse_time, "Pulse_time", Usable(s->Pulse_high) || Usable(s->Pulse_low));
    CheckPair(s->Vmeas, s->Vmeas_rising, s->Vmeas_falling, "Vmeas");
    CheckPair(s->Vref, s->Vref_rising, s->Vref_falling, "Vref");
    CheckPair(s->Cref, s->Cref_rising, s->Cref_falling, "Cref");
    CheckPair(s->Rref, s->Rref_rising, s->Rref_falling, "Rref");
}

void MSPEC_Free(MSPEC *record) {
    if (record == nullptr)
        return;
    for (const Subparam &s : kSubparams)
        RNG_Free(record->*(s.slot));
    CMN_Free(record);
}
