// [Pin] rows of a component: parsing, lookups by name and the end checks
// against models, selectors, pin mappings, diff pins and the package model.
#define MSG_SRC MSGSRC_PIN
#include "IbisParser/pin.h"


#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/pinmpg.h"

namespace {

const char kSourceName[] = "IbisParser/pin";

const char *PinOf(const PIN *p) { return p->pin; }

int ModelNameIs(const char *name, PIN *pins, const char *word) {
    PIN *p = PIN_FindByName(name, pins);
    return p != nullptr && CMN_StrEqualNoCase(p->model_name, word);
}

// Pins whose model_name is one of these carry no model to check.
bool IsSupplyOrSpecial(const char *modelName) {
    return CMN_StrEqualNoCase(modelName, "POWER") || CMN_StrEqualNoCase(modelName, "GND") ||
           CMN_StrEqualNoCase(modelName, "CIRCUITCALL") || CMN_StrEqualNoCase(modelName, "NC");
}

template <typename T>
T *FindIndexed(const NAME_TALLY *index, const char *name, T *list,
               T *(*scan)(const char *, T *)) {
    void *found = nullptr;
    int r = NAMEIDX_Lookup(index, name, &found, nullptr);
    if (r < 0)
        return scan(name, list);
    return static_cast<T *>(found);
}

}  // namespace

int PIN_Create(PIN **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(PIN))) {
        MSG_ErrorLine(614);
        return 0;
    }
    return 1;
}

int PIN_ParseRow(const char *text, int headerColumns, PIN **out, const PIN_COLUMN_MAP *map) {
    MSG_ASSERT(text != nullptr && out != nullptr && map != nullptr);
    PIN *pin = nullptr;
    if (!PIN_Create(&pin)) {
        MSG_ErrorLine(600);
        return 0;
    }
    const char *p = text;
    CMN_SkipBlanks(&p);
    WORD_LIST words{};
    if (!CMN_SplitWords(p, 6, &words)) {
        CMN_FreeWords(&words);
        PIN_Free(pin);
        return 0;
    }
    const size_t nameLimit = PARSE_GetIbisVersion() < 4 ? 20 : 40;
    if (words.stored >= 1) {
        pin->columns++;
        CMN_CopyTruncate(pin->pin, words.words[0], 5, "Pin");
    } else {
        MSG_ErrorLine(601);
    }
    if (words.stored >= 2) {
        pin->columns++;
        CMN_CopyTruncate(pin->signal_name, words.words[1], nameLimit, "Signal name");
    } else {
        MSG_ErrorLine(602);
    }
    if (words.stored >= 3) {
        pin->columns++;
        CMN_CopyTruncate(pin->model_name, words.words[2], nameLimit, "Model name");
    } else {
        MSG_ErrorLine(603);
    }
    struct {
        int position;
        const char *name;
        double *value;
        int *state;
    } const values[] = {{map->r, "R_pin", &pin->R_pin, &pin->R_pin_state},
                        {map->l, "L_pin", &pin->L_pin, &pin->L_pin_state},
                        {map->c, "C_pin", &pin->C_pin, &pin->C_pin_state}};
    for (const auto &v : values) {
        int at = 3 + v.position;
        if (at < words.stored) {
            pin->columns++;
            CMN_ReadValueOrNA(words.words[at], "Pin", v.name, v.value, v.state);
        }
    }
    if (pin->columns != 3 && pin->columns != 6)
        MSG_ErrorLine(604);
    if (pin->columns == 6 && headerColumns == 3)
        MSG_ErrorLine(605);
    CMN_FreeWords(&words);
    *out = pin;
    return 1;
}

void PIN_Append(PIN **head, PIN *pin) {
    MSG_ASSERT(head != nullptr && pin != nullptr);
    for (size_t n = NAMEIDX_AppendCounting(head, pin, PinOf); n > 0; --n)
        MSG_ErrorLine(606, pin->pin);
}

void PIN_Free(PIN *list) {
    if (list != nullptr)
        NAMEIDX_FreeList(list->index);
    CMN_FreeChain(list);
}

PIN *PIN_FindByName(const char *name, PIN *pins) {
    MSG_ASSERT(name != nullptr);
    return NAMEIDX_FindFirst(pins, name, PinOf);
}

int PIN_Exists(const char *name, PIN *pins) { return PIN_FindByName(name, pins) != nullptr; }

const char *PIN_GetModelName(const char *name, PIN *pins) {
    PIN *p = PIN_FindByName(name, pins);
    return p != nullptr ? p->model_name : nullptr;
}

int PIN_IsPower(const char *name, PIN *pins) { return ModelNameIs(name, pins, "POWER"); }
int PIN_IsGnd(const char *name, PIN *pins) { return ModelNameIs(name, pins, "GND"); }
int PIN_IsPowerOrGnd(const char *name, PIN *pins) {
    PIN *p = PIN_FindByName(name, pins);
    return p != nullptr &&
           (CMN_StrEqualNoCase(p->model_name, "POWER") || CMN_StrEqualNoCase(p->model_name, "GND"));
}

void PIN_IndexModels(PIN_MODELS *out, MDL *models, MSEL *selectors) {
    MSG_ASSERT(out != nullptr);
    out->models = models;
    out->selectors = selectors;
    NAMEIDX_InitTally(&out->modelIndex);
    NAMEIDX_CountList(&out->modelIndex, models, [](const MDL *m) { return m->name; });
    NAMEIDX_InitTally(&out->selectorIndex);
    NAMEIDX_CountList(&out->selectorIndex, selectors, [](const MSEL *s) { return s->name; });
}

MDL *PIN_FindModel(const PIN_MODELS *index, const char *name) {
    MSG_ASSERT(index != nullptr);
    return FindIndexed(&index->modelIndex, name, index->models, MDL_FindByName);
}

MSEL *PIN_FindSelector(const PIN_MODELS *index, const char *name) {
    MSG_ASSERT(index != nullptr);
    return FindIndexed(&index->selectorIndex, name, index->selectors, MSEL_FindByName);
}

void PIN_FreeModels(PIN_MODELS *index) {
    MSG_ASSERT(index != nullptr);
    NAMEIDX_FreeTally(&index->modelIndex);
    NAMEIDX_FreeTally(&index->selectorIndex);
}

void PIN_CheckAll(PIN *pins, PINMPG *pinMappings, DIFPIN *diffPins, const char *component,
                  const char *packageModel, const PIN_MODELS *models) {
    MSG_ASSERT(component != nullptr && packageModel != nullptr);
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(607, kSourceName, __LINE__);
        return;
    }
    PIN_MODELS own{};
    if (models == nullptr) {
        PIN_IndexModels(&own, root->models, root->modelSelectors);
        models = &own;
    }
    NAME_TALLY diffNames;
    CMPNT_IndexDiffPins(&diffNames, diffPins);
    const int version = PARSE_GetIbisVersion();

    for (PIN *p = pins; p != nullptr; p = p->next) {
        if (!IsSupplyOrSpecial(p->model_name)) {
            MDL *model = PIN_FindModel(models, p->model_name);
            MSEL *selector = nullptr;
            if (model != nullptr) {
                model->referenced = 1;
                if (version >= 3) {
                    if (model->Model_type == MDL_TYPE_SERIES ||
                        model->Model_type == MDL_TYPE_SERIES_SWITCH)
                        MSG_Error(610, component, p->pin, p->model_name);
                    if (model->single_ended == 0 &&
                        !CMPNT_IsOnDiffPin(&diffNames, diffPins, p->pin))
                        MSG_Caution(611, p->pin, p->model_name);
                }
            } else if (version >= 3 &&
                       (selector = PIN_FindSelector(models, p->model_name)) != nullptr) {
                if (selector->single_ended == 0 && !CMPNT_IsOnDiffPin(&diffNames, diffPins, p->pin))
                    MSG_Caution(609, p->pin, p->model_name);
            } else {
                MSG_Error(608, component, p->model_name, p->pin);
            }
        }
        if (pinMappings != nullptr && !PINMPG_Contains(pinMappings, p->pin))
            MSG_Error(612, component, p->pin);
    }
    NAMEIDX_FreeTally(&diffNames);
    if (models == &own)
        PIN_FreeModels(&own);

    // Pins the package model lists that the component lacks.
    const CMPNT_PKGMDL_OPS &pkg = CMPNT_pkgmdlOps;
    PKGMDL *packageModels = root->packageModels;
    if (packageModel[0] == '\0' || pkg.findByName == nullptr || pkg.nextPinNumber == nullptr ||
        !pkg.findByName(packageModels, packageModel, nullptr))
        return;
    const char *name = nullptr;
    for (int first = 1; pkg.nextPinNumber(packageModels, packageModel, first, &name); first = 0)
        if (!PIN_Exists(name, pins))
            MSG_Error(613, name, packageModel, component);
}
