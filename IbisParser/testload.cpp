// [Test Load] section: the load's name, type, circuit elements and receiver
// models; the check of each test load and of its models at the end of the
// file.
#define MSG_SRC MSGSRC_TESTLOAD
#include "IbisParser/testload.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/namedlist.h"
#include "IbisParser/rng.h"

namespace {

const char kSourceName[] = "IbisParser/testload";
const size_t kNameLimit = 109;

TESTLOAD *s_current = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;

const TEST_CODES kCodes = {MSGSRC_TESTLOAD, "TestLoad", "Test Load",
                           2206, 2207, 2208, 2209, 2210, 2211,
                           2216, 2213, 2217, 2218, 2219, 2220, 2221, 2222, 2223};

// Sub-parameters: 1 the type, 2-15 and 20-21 single values in record
// order, 16-17 the ranges, 18-19 the receiver models.
const char *const kSubparams[] = {
    "Test_load_type", "C1_near", "Rs_near",  "Ls_near",        "C2_near",            "Rp1_near",
    "Rp2_near",       "Td",      "Zo",       "Rp1_far",        "Rp2_far",            "C2_far",
    "Ls_far",         "Rs_far",  "C1_far",   "V_term1",        "V_term2",            "Receiver_model",
    "Receiver_model_inv", "R_diff_near", "R_diff_far"};
const int kSubparamCount = static_cast<int>(sizeof kSubparams / sizeof kSubparams[0]);

double **ValueSlot(TESTLOAD *t, int code) {
    double **const slots[] = {&t->C1_near, &t->Rs_near, &t->Ls_near,  &t->C2_near, &t->Rp1_near,
                              &t->Rp2_near, &t->Td,     &t->Zo,       &t->Rp1_far, &t->Rp2_far,
                              &t->C2_far,  &t->Ls_far,  &t->Rs_far,   &t->C1_far};
    if (code == 20)
        return &t->R_diff_near;
    if (code == 21)
        return &t->R_diff_far;
    return slots[code - 2];
}

size_t ModelNameLimit() { return PARSE_GetIbisVersion() < 4 ? 20 : 40; }

// Models that drive only: no receiver of a test load.
int IsOutputOnly(int type) {
    switch (type) {
    case MDL_TYPE_OUTPUT: case MDL_TYPE_3STATE: case MDL_TYPE_OPEN_DRAIN: case MDL_TYPE_OPEN_SINK:
    case MDL_TYPE_OPEN_SOURCE: case MDL_TYPE_OUTPUT_ECL: case MDL_TYPE_SERIES:
    case MDL_TYPE_SERIES_SWITCH: case MDL_TYPE_3STATE_ECL:
        return 1;
    default:
        return 0;
    }
}

// "name = value".
void TESTLOAD_ParseValue(const char *text, const char *name, double **slot) {
    if (*slot != nullptr) {
        MSG_ErrorLine(2237, name);
        return;
    }
    if (!CMN_Alloc(slot, sizeof(double))) {
        MSG_Bug(2200, kSourceName, __LINE__);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(2213, name, kSourceName, __LINE__);
    } else if (words.found < 3) {
        MSG_ErrorLine(2218, name);
    } else {
        if (words.found > 3)
            MSG_ErrorLine(2219, static_cast<int>(words.found), name, 3);
        double value = 0.0;
        if (strcmp(words.words[1], "=") != 0)
            MSG_ErrorLine(2218, name);
        else if (CMN_GetValue(words.words[2], &value) == 0)
            MSG_ErrorLine(2238, name, words.words[2]);
        else
            **slot = value;
    }
    CMN_FreeWords(&words);
}

// "name typ min max".
void TESTLOAD_ParseRange(const char *text, const char *name, RNG **slot, const TESTLOAD *t) {
    if (*slot != nullptr) {
        MSG_ErrorLine(2216, name, t->name);
        return;
    }
    const char *rest = text;
    CMN_SkipBlanks(&rest);
    rest += CMN_TokenLength(rest, '=');
    RNG_ParseLine(rest, name, slot);
    if (*slot != nullptr && (*slot)->typ_state == CMN_VALUE_NA)
        MSG_ErrorLine(2239);
}

void TESTLOAD_ParseSubparam(const char *text, TESTLOAD *t) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2213, "Test Load Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    int code = 0;
    for (int i = 0; i < kSubparamCount && words.stored > 0 && code == 0; ++i)
        if (strcmp(words.words[0], kSubparams[i]) == 0)
            code = i + 1;
    CMN_FreeWords(&words);
    if (code == 0) {
        MSG_ErrorLine(2214);
        return;
    }
    const char *name = kSubparams[code - 1];
    if (code == 1)
        TESTLOAD_ParseTestLoadType(text, name, t->name, &t->Test_load_type, &kCodes);
    else if (code == 16 || code == 17)
        TESTLOAD_ParseRange(text, name, code == 16 ? &t->V_term1 : &t->V_term2, t);
    else if (code == 18 || code == 19)
        TESTLOAD_ParseModelName(text, name, t->name,
                                code == 18 ? t->Receiver_model : t->Receiver_model_inv,
                                ModelNameLimit(), &kCodes);
    else
        TESTLOAD_ParseValue(text, name, ValueSlot(t, code));
}

// Splits "subparam value" into two words; 0 (reported) for any other form.
int SplitSetting(const char *text, const char *subparam, const TEST_CODES *c, WORD_LIST *words) {
    if (!CMN_SplitWordsAt(text, 2, '=', words)) {
        MSG_BugFrom(c->source, c->splitBug, subparam, kSourceName, __LINE__);
        return 0;
    }
    if (words->found == 1) {
        MSG_ErrorLineFrom(c->source, c->missingSetting, subparam);
        return 0;
    }
    if (words->found != 2) {
        if (strcmp(words->words[1], "=") == 0)
            MSG_ErrorLineFrom(c->source, c->invalidLine, subparam);
        else
            MSG_ErrorLineFrom(c->source, c->itemCount, static_cast<int>(words->found), subparam, 2);
        return 0;
    }
    return 1;
}

// One of the receiver models: defined, able to receive, and (for the
// inverting one) on a [Diff Pin].
void CheckReceiver(const char *model, const TESTLOAD *t, MDL *models, int inverting) {
    MDL *m = MDL_FindByName(model, models);
    if (m == nullptr) {
        MSG_Error(inverting ? 2235 : 2233, model, t->name);
        return;
    }
    if (IsOutputOnly(m->Model_type))
        MSG_Warning(2234, model, t->name);
    if (inverting && CMPNT_IsModelOnDiffPin(m, nullptr) == 0)
        MSG_Warning(2236, model, t->name);
}

}  // namespace

int TESTLOAD_ParseName(const char *text, char *name, const TEST_CODES *c) {
    const char *rest = text;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLineFrom(c->source, c->eatKeyword, c->keywordWord, kSourceName, __LINE__);
        return 0;
    }
    WORD_LIST words{};
    int result = 0;
    if (!CMN_SplitWords(rest, 1, &words)) {
        MSG_ErrorFrom(c->source, c->saveName);
    } else if (words.found == 0) {
        MSG_ErrorLineFrom(c->source, c->missingName);
    } else {
        if (words.found > 1)
            MSG_ErrorLineFrom(c->source, c->nameCount, static_cast<int>(words.found), c->keyword, 1);
        const char *word = words.words[0];
        result = 1;
        if (strlen(word) > kNameLimit) {
            MSG_ErrorLineFrom(c->source, c->nameOver, static_cast<int>(kNameLimit));
            result = 2;
        } else if (!CMN_IsNotReservedWord(word)) {
            MSG_ErrorLineFrom(c->source, c->nameReserved, word);
        }
        CMN_StrNCopy(name, word, kNameLimit);
    }
    CMN_FreeWords(&words);
    return result;
}

void TESTLOAD_ParseTestLoadType(const char *text, const char *subparam, const char *ownerName,
                                int *type, const TEST_CODES *c) {
    if (*type != TEST_TYPE_NONE) {
        MSG_ErrorLineFrom(c->source, c->alreadyDefined, subparam, ownerName);
        return;
    }
    *type = TEST_TYPE_INVALID;
    WORD_LIST words{};
    if (SplitSetting(text, subparam, c, &words)) {
        static const struct {
            const char *text;
            int code;
        } kTypes[] = {{"Single_ended", TEST_TYPE_SINGLE_ENDED},
                      {"Differential", TEST_TYPE_DIFFERENTIAL}};
        const char *value = words.words[1];
        bool reported = false;
        for (const auto &row : kTypes) {
            if (strcmp(value, row.text) == 0) {
                *type = row.code;
                reported = true;
                break;
            }
            if (CMN_StrEqualNoCase(value, row.text)) {
                MSG_ErrorLineFrom(c->source, c->tryValue, subparam, value, row.text);
                reported = true;
                break;
            }
        }
        if (!reported)
            MSG_ErrorLineFrom(c->source, c->invalidValue, subparam, value);
    }
    CMN_FreeWords(&words);
}

void TESTLOAD_ParseModelName(const char *text, const char *subparam, const char *ownerName,
                             char *field, size_t limit, const TEST_CODES *c) {
    if (field[0] != '\0') {
        MSG_ErrorLineFrom(c->source, c->alreadyDefined, subparam, ownerName);
        return;
    }
    WORD_LIST words{};
    if (SplitSetting(text, subparam, c, &words)) {
        const char *value = words.words[1];
        if (strlen(value) > limit)
            MSG_ErrorLineFrom(c->source, c->valueOver, subparam, static_cast<int>(limit));
        else if (!CMN_IsNotReservedWord(value))
            MSG_ErrorLineFrom(c->source, c->valueReserved, subparam, value);
        CMN_StrNCopy(field, value, limit);
    }
    CMN_FreeWords(&words);
}

void TESTLOAD_Reset(void) {
    s_current = nullptr;
    s_last = NOT_KEY;
}

void TESTLOAD_Init(void) {
    s_current = nullptr;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(2201);
        return;
    }
    TESTLOAD *t = nullptr;
    if (!TESTLOAD_Create(&t))
        return;
    IBIS_AddTestLoad(root, t);
    s_current = t;
}

void TESTLOAD_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    TESTLOAD *t = s_current;
    if (t == nullptr) {
        if (lineType == LINE_KEYWORD)
            MSG_ErrorLine(2202);
        else if (lineType == LINE_DATA)
            MSG_ErrorLine(2203);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        s_last = code;
        if (code != KW_TEST_LOAD) {
            MSG_BugLine(2204, kSourceName, __LINE__);
            return;
        }
        const int stored = TESTLOAD_ParseName(text, t->name, &kCodes);
        IBIS *root = nullptr;
        if (stored == 0 || !IBIS_GetCurrent(&root) || root->testLoads != t)
            return;
        if (stored == 1 && NAMEDLIST_Find(root->testLoads, t->name, t) != nullptr)
            MSG_ErrorLine(2212, t->name);
        NAMEDLIST_Add(root->testLoads, t);
    } else if (lineType == LINE_DATA) {
        if (s_last == KW_TEST_LOAD)
            TESTLOAD_ParseSubparam(text, t);
        else
            MSG_ErrorLine(2205);
    }
}

void TESTLOAD_EndKeyword(IBIS_KEYWORD) {
    // Every keyword ends a test load, another [Test Load] included.
    if (s_current != nullptr && s_last == KW_TEST_LOAD)
        TESTLOAD_CheckTestLoad(s_current);
    s_current = nullptr;
    s_last = NOT_KEY;
}

void TESTLOAD_CheckTestLoad(const TESTLOAD *t) {
    MSG_ASSERT(t != nullptr);
    if (t->Test_load_type == TEST_TYPE_NONE)
        MSG_Error(2224, t->name, "Test_load_type");
    if (t->Td != nullptr && t->Zo == nullptr)
        MSG_Error(2225, t->name);
    if ((t->Rp1_near != nullptr || t->Rp1_far != nullptr) && t->V_term1 == nullptr)
        MSG_Error(2226, t->name);
    if ((t->Rp2_near != nullptr || t->Rp2_far != nullptr) && t->V_term2 == nullptr)
        MSG_Error(2227, t->name);
    if (t->Test_load_type != TEST_TYPE_DIFFERENTIAL) {
        if (t->R_diff_near != nullptr)
            MSG_Warning(2228, t->name);
        if (t->R_diff_far != nullptr)
            MSG_Warning(2229, t->name);
        if (t->Receiver_model_inv[0] != '\0')
            MSG_Warning(2230, t->name);
    }
}

void TESTLOAD_CheckAll(TESTLOAD *testLoads) {
    for (TESTLOAD *t = testLoads; t != nullptr; t = t->next) {
        IBIS *root = nullptr;
        if (!IBIS_GetCurrent(&root)) {
            MSG_Bug(2231, kSourceName, __LINE__);
            continue;
        }
        if (root->models == nullptr) {
            MSG_Error(2232, t->name);
            continue;
        }
        if (t->Receiver_model[0] != '\0')
            CheckReceiver(t->Receiver_model, t, root->models, 0);
        if (t->Receiver_model_inv[0] != '\0')
            CheckReceiver(t->Receiver_model_inv, t, root->models, 1);
    }
}

TESTLOAD *TESTLOAD_FindByName(const char *name, TESTLOAD *testLoads) {
    return NAMEDLIST_Find(testLoads, name);
}

int TESTLOAD_Create(TESTLOAD **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(TESTLOAD))) {
        MSG_Bug(2200, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void TESTLOAD_SetNext(TESTLOAD *record, TESTLOAD *next) {
    MSG_ASSERT(record != nullptr);
    NAMEDLIST_Link(record, next);
}

void TESTLOAD_Free(TESTLOAD *list) {
    while (list != nullptr) {
        TESTLOAD *next = list->next;
        if (list == s_current)
            s_current = nullptr;
        for (int code = 2; code <= 21; ++code)
            if (code != 16 && code != 17 && code != 18 && code != 19)
                CMN_Free(*ValueSlot(list, code));
        RNG_Free(list->V_term1);
        RNG_Free(list->V_term2);
        NAMEDLIST_FreeIndex(list);
        CMN_Free(list);
        list = next;
    }
}
