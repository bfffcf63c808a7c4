// [Test Data] section: the name, type, driver models and test load of a set
// of reference waveforms, the waveforms themselves, and the checks of each
// test data and of its references at the end of the file.
#define MSG_SRC MSGSRC_TESTDATA
#include "IbisParser/testdata.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/namedlist.h"
#include "IbisParser/testload.h"
#include "IbisParser/wvfrm.h"

namespace {

const char kSourceName[] = "IbisParser/testdata";

TESTDATA *s_current = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;

const TEST_CODES kCodes = {MSGSRC_TESTDATA, "TestData", "Test Data",
                           2314, 2315, 2316, 2317, 2318, 2319,
                           2324, 2321, 2325, 2326, 2327, 2328, 2329, 2330, 2331};

// The waveform keywords 109-116: slot, caption and duplicate message.
struct Waveform {
    int slot;
    const char *caption;
    int duplicate;
};
const Waveform kWaveforms[] = {
    {TESTDATA_RISING_NEAR, "Rising Waveform Near", 2304},
    {TESTDATA_RISING_FAR, "Rising Waveform Far", 2306},
    {TESTDATA_FALLING_NEAR, "Falling Waveform Near", 2305},
    {TESTDATA_FALLING_FAR, "Falling Waveform Far", 2307},
    {TESTDATA_DIFF_RISING_NEAR, "Diff Rising Waveform Near", 2308},
    {TESTDATA_DIFF_RISING_FAR, "Diff Rising Waveform Far", 2310},
    {TESTDATA_DIFF_FALLING_NEAR, "Diff Falling Waveform Near", 2309},
    {TESTDATA_DIFF_FALLING_FAR, "Diff Falling Waveform Far", 2311},
};

bool IsWaveform(int code) {
    return code >= KW_RISING_WAVEFORM_NEAR && code <= KW_DIFF_FALLING_WAVEFORM_FAR;
}
const Waveform &WaveformOf(int code) { return kWaveforms[code - KW_RISING_WAVEFORM_NEAR]; }

size_t ModelNameLimit() { return PARSE_GetIbisVersion() < 4 ? 20 : 40; }

// Models that cannot drive a reference waveform.
int IsInputOnly(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}

void TESTDATA_ParseTestDataType(const char *text, TESTDATA *d) {
    TESTLOAD_ParseTestLoadType(text, "Test_data_type", d->name, &d->Test_data_type, &kCodes);
}

// Driver_model, Driver_model_inv, Test_load into field (room for limit + 1).
void TESTDATA_ParseModelName(const char *text, const char *subparam, char *field, size_t limit,
                             const TESTDATA *d) {
    TESTLOAD_ParseModelName(text, subparam, d->name, field, limit, &kCodes);
}

void TESTDATA_ParseSubparam(const char *text, TESTDATA *d) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2321, "Test Data Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    static const char *const kSubparams[] = {"Test_data_type", "Driver_model", "Driver_model_inv",
                                             "Test_load"};
    int code = 0;
    for (int i = 0; i < 4 && words.stored > 0 && code == 0; ++i)
        if (strcmp(words.words[0], kSubparams[i]) == 0)
            code = i + 1;
    CMN_FreeWords(&words);
    const size_t models = ModelNameLimit();
    switch (code) {
    case 0: MSG_ErrorLine(2322); break;
    case 1: TESTDATA_ParseTestDataType(text, d); break;
    case 2: TESTDATA_ParseModelName(text, kSubparams[1], d->Driver_model, models, d); break;
    case 3: TESTDATA_ParseModelName(text, kSubparams[2], d->Driver_model_inv, models, d); break;
    default:
        TESTDATA_ParseModelName(text, kSubparams[3], d->Test_load, sizeof d->Test_load - 1, d);
        break;
    }
}

// The name of the keyword line, unique among the file's test data.
void TESTDATA_ParseName(const char *text, TESTDATA *d) {
    const int stored = TESTLOAD_ParseName(text, d->name, &kCodes);
    IBIS *root = nullptr;
    if (stored == 0 || !IBIS_GetCurrent(&root) || root->testData != d)
        return;
    if (stored == 1 && NAMEDLIST_Find(root->testData, d->name, d) != nullptr)
        MSG_ErrorLine(2320, d->name);
    NAMEDLIST_Add(root->testData, d);
}

void ParseKeyword(IBIS_KEYWORD code, const char *text, TESTDATA *d) {
    if (code == KW_TEST_DATA) {
        TESTDATA_ParseName(text, d);
        return;
    }
    if (!IsWaveform(code)) {
        MSG_BugLine(2312, kSourceName, __LINE__);
        return;
    }
    const Waveform &w = WaveformOf(code);
    WVFRM **slot = &d->waveforms[w.slot];
    if (*slot != nullptr) {
        MSG_ErrorLine(w.duplicate);
        WVFRM_Free(*slot);
        *slot = nullptr;
    }
    WVFRM_Init(text, slot, w.caption);
}

void TESTDATA_CheckSubparams(const TESTDATA *d) {
    if (d->Test_data_type == TEST_TYPE_NONE)
        MSG_Error(2332, d->name, "Test_data_type");
    if (d->Driver_model[0] == '\0')
        MSG_Error(2332, d->name, "Driver_model");
    if (d->Driver_model_inv[0] != '\0' && d->Test_data_type != TEST_TYPE_DIFFERENTIAL)
        MSG_Error(2333, d->name);
    if (d->Test_load[0] == '\0')
        MSG_Error(2332, d->name, "Test_load");
}

void TESTDATA_CheckTestData(const TESTDATA *d) {
    bool any = false, diff = false;
    for (int i = 0; i < TESTDATA_WAVEFORMS; ++i) {
        if (d->waveforms[i] == nullptr)
            continue;
        any = true;
        diff = diff || i >= TESTDATA_DIFF_RISING_NEAR;
    }
    if (!any)
        MSG_Error(2334, d->name);
    if (diff && d->Test_data_type != TEST_TYPE_DIFFERENTIAL)
        MSG_Error(2335, d->name);
}

void TESTDATA_CheckDriverModels(const TESTDATA *d, const IBIS *root) {
    if (root->models == nullptr) {
        MSG_Error(2337, d->name);
        return;
    }
    if (d->Driver_model[0] != '\0') {
        MDL *m = MDL_FindByName(d->Driver_model, root->models);
        if (m == nullptr)
            MSG_Error(2338, d->Driver_model, d->name);
        else if (IsInputOnly(m->Model_type))
            MSG_Warning(2339, d->Driver_model, d->name);
    }
    if (d->Driver_model_inv[0] != '\0') {
        MDL *m = MDL_FindByName(d->Driver_model_inv, root->models);
        if (m == nullptr) {
            MSG_Error(2340, d->Driver_model_inv, d->name);
            return;
        }
        if (IsInputOnly(m->Model_type))
            MSG_Warning(2339, d->Driver_model_inv, d->name);
        if (CMPNT_IsModelOnDiffPin(m, nullptr) == 0)
            MSG_Warning(2341, d->Driver_model_inv, d->name);
    }
}

void TESTDATA_CheckTestLoadRef(const TESTDATA *d, const IBIS *root) {
    if (root->testLoads == nullptr) {
        MSG_Error(2342, d->name);
        return;
    }
    if (d->Test_load[0] == '\0')
        return;
    const TESTLOAD *t = TESTLOAD_FindByName(d->Test_load, root->testLoads);
    if (t == nullptr)
        MSG_Error(2343, d->Test_load, d->name);
    else if (t->Test_load_type != d->Test_data_type)
        MSG_Error(2344, d->name, d->Test_load);
}

}  // namespace

void TESTDATA_Reset(void) {
    s_current = nullptr;
    s_last = NOT_KEY;
    WVFRM_Reset();
}

void TESTDATA_Init(void) {
    s_current = nullptr;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(2301);
        return;
    }
    TESTDATA *d = nullptr;
    if (!TESTDATA_Create(&d))
        return;
    IBIS_AddTestData(root, d);
    s_current = d;
}

void TESTDATA_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    TESTDATA *d = s_current;
    if (d == nullptr) {
        if (lineType == LINE_KEYWORD)
            MSG_ErrorLine(2302);
        else if (lineType == LINE_DATA)
            MSG_ErrorLine(2303);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        s_last = code;
        ParseKeyword(code, text, d);
    } else if (lineType == LINE_DATA) {
        if (code == KW_TEST_DATA)
            TESTDATA_ParseSubparam(text, d);
        else if (IsWaveform(code))
            WVFRM_ParseLine(text, WaveformOf(code).caption);
        else
            MSG_ErrorLine(2313);
    }
}

void TESTDATA_EndKeyword(IBIS_KEYWORD nextCode) {
    TESTDATA *d = s_current;
    if (d == nullptr)
        return;
    if (s_last == KW_TEST_DATA)
        TESTDATA_CheckSubparams(d);
    else if (IsWaveform(s_last))
        WVFRM_EndKeyword(WaveformOf(s_last).caption, WVFRM_KIND_TEST_DATA);
    // The waveform keywords continue a test data; any other ends it.
    if (IsWaveform(nextCode))
        return;
    TESTDATA_CheckTestData(d);
    s_current = nullptr;
    s_last = NOT_KEY;
}

void TESTDATA_CheckAll(TESTDATA *testData) {
    for (TESTDATA *d = testData; d != nullptr; d = d->next) {
        IBIS *root = nullptr;
        if (!IBIS_GetCurrent(&root)) {
            MSG_Bug(2336, kSourceName, __LINE__);
            MSG_Bug(2336, kSourceName, __LINE__);
            continue;
        }
        TESTDATA_CheckDriverModels(d, root);
        TESTDATA_CheckTestLoadRef(d, root);
    }
}

int TESTDATA_Create(TESTDATA **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(TESTDATA))) {
        MSG_Bug(2300, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void TESTDATA_SetNext(TESTDATA *record, TESTDATA *next) {
    MSG_ASSERT(record != nullptr);
    NAMEDLIST_Link(record, next);
}

void TESTDATA_Free(TESTDATA *list) {
    while (list != nullptr) {
        TESTDATA *next = list->next;
        if (list == s_current)
            s_current = nullptr;
        for (WVFRM *w : list->waveforms)
            WVFRM_Free(w);
        NAMEDLIST_FreeIndex(list);
        CMN_Free(list);
        list = next;
    }
}
