// [Series Pin Mapping] rows of a component, and the end checks of the pins
// and series models they name.
#define MSG_SRC MSGSRC_SPINMPG
#include "IbisParser/spinmpg.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"
#include "IbisParser/pin.h"
#include "IbisParser/sswch.h"

namespace {

const char kSourceName[] = "IbisParser/spinmpg";

// The messages of a model's type check, for a model a row names and for a
// model of the selector a row names.
struct TypeMessages {
    int notSwitch;  // neither Series nor Series_switch, with a group
    int notSeries;  // neither, without a group
    int ignored;    // Series with a group (a warning)
    int undefined;  // Series_switch with a group no [Series Switch Groups] lists
    int required;   // Series_switch without a group
    int unknown;    // no such model
};
const TypeMessages kModel = {2621, 2623, 2625, 2629, 2627, 2631};
const TypeMessages kSelectorModel = {2620, 2622, 2624, 2628, 2626, 2630};

// The messages that a selector's models draw for one kind of row (see
// KindOf), in the selector's order.
struct Verdict {
    const MSEL_MODEL *model;
    int code;
};
struct VerdictList {
    Verdict *items;
    size_t count;
    int made;
};
struct Verdicts {
    Verdicts *next;  // every set made in one check, for freeing
    const MSEL *selector;
    VerdictList kinds[3];
};

struct Context {
    const char *component;
    SSWCH *groups;
    NAME_TALLY groupNames;
    NAME_INDEX selectors;  // selector name -> its Verdicts
    Verdicts *verdicts;
};

// Arguments: component, [selector,] model, group (unused by most texts).
void Report(int code, bool warning, const Context &c, const char *selector, const char *model,
            const char *group) {
    void (*print)(MSG_SOURCE, int, ...) = warning ? MSG_WarningFrom : MSG_ErrorFrom;
    if (selector != nullptr)
        print(MSG_SRC, code, c.component, selector, model, group);
    else
        print(MSG_SRC, code, c.component, model, group);
}

// What a row's group makes of a model: 0 no group, 1 a group that
// [Series Switch Groups] lists, 2 one it does not.
int KindOf(const Series_Pin_Mapping *row, const Context &c) {
    const char *group = row->function_table_group;
    if (group[0] == '\0')
        return 0;
    return SSWCH_HasGroup(&c.groupNames, c.groups, group) ? 1 : 2;
}

// model: the [Model] of that name, or null. 0: nothing to say.
int TypeCode(const MDL *model, const TypeMessages &m, int kind) {
    const bool hasGroup = kind != 0;
    if (model == nullptr)
        return m.unknown;
    if (model->Model_type == MDL_TYPE_SERIES)
        return hasGroup ? m.ignored : 0;
    if (model->Model_type != MDL_TYPE_SERIES_SWITCH)
        return hasGroup ? m.notSwitch : m.notSeries;
    if (!hasGroup)
        return m.required;
    return kind == 2 ? m.undefined : 0;
}

// The model a row names, or (selector not null) one model of the selector
// it names.
void SPINMPG_CheckModelType(const MDL *model, const char *name, const char *selector,
                            const Series_Pin_Mapping *row, const Context &c) {
    const TypeMessages &m = selector != nullptr ? kSelectorModel : kModel;
    const int code = TypeCode(model, m, KindOf(row, c));
    if (code != 0)
        Report(code, code == m.ignored, c, selector, name, row->function_table_group);
}

int MakeVerdicts(VerdictList *list, const MSEL *selector, int kind, const PIN_MODELS *models) {
    size_t count = 0;
    for (const MSEL_MODEL *m = selector->models; m != nullptr; m = m->next)
        count += TypeCode(PIN_FindModel(models, m->name), kSelectorModel, kind) != 0;
    if (count > 0 && !CMN_Alloc(&list->items, count * sizeof(Verdict)))
        return 0;
    for (const MSEL_MODEL *m = selector->models; m != nullptr; m = m->next) {
        const int code = TypeCode(PIN_FindModel(models, m->name), kSelectorModel, kind);
        if (code != 0)
            list->items[list->count++] = {m, code};
    }
    list->made = 1;
    return 1;
}

// The verdicts of a row's selector models, worked out at the first row of
// its selector and kind and kept for the others: walking every model for
// every row is rows x models, however few messages there are. Null when
// memory runs out; the caller then walks the models itself.
const VerdictList *VerdictsFor(Context &c, const MSEL *selector, int kind,
                               const PIN_MODELS *models) {
    int added = 0;
    NAME_ENTRY *e = NAMEIDX_Add(&c.selectors, selector->name, &added);
    if (e == nullptr)
        return nullptr;
    Verdicts *v = static_cast<Verdicts *>(e->item);
    if (v == nullptr) {
        if (!CMN_Alloc(&v, sizeof(Verdicts)))
            return nullptr;
        v->selector = selector;
        v->next = c.verdicts;
        c.verdicts = v;
        e->item = v;
    }
    if (v->selector != selector)
        return nullptr;
    VerdictList *list = &v->kinds[kind];
    if (!list->made && !MakeVerdicts(list, selector, kind, models))
        return nullptr;
    return list;
}

void CheckSelectorModels(Context &c, const MSEL *selector, const Series_Pin_Mapping *row,
                         const PIN_MODELS *models) {
    const VerdictList *list = VerdictsFor(c, selector, KindOf(row, c), models);
    if (list == nullptr) {
        for (const MSEL_MODEL *m = selector->models; m != nullptr; m = m->next)
            SPINMPG_CheckModelType(PIN_FindModel(models, m->name), m->name, selector->name, row,
                                   c);
        return;
    }
    for (size_t i = 0; i < list->count; ++i) {
        const int code = list->items[i].code;
        Report(code, code == kSelectorModel.ignored, c, selector->name, list->items[i].model->name,
               row->function_table_group);
    }
}

void FreeVerdicts(Context &c) {
    while (c.verdicts != nullptr) {
        Verdicts *next = c.verdicts->next;
        for (VerdictList &list : c.verdicts->kinds)
            CMN_Free(list.items);
        CMN_Free(c.verdicts);
        c.verdicts = next;
    }
    NAMEIDX_Clear(&c.selectors);
}

}  // namespace

int SPINMPG_Create(Series_Pin_Mapping **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(Series_Pin_Mapping))) {
        MSG_ErrorLine(2619);
        return 0;
    }
    return 1;
}

int SPINMPG_ParseRow(const char *text, int headerColumns, Series_Pin_Mapping **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    Series_Pin_Mapping *row = nullptr;
    if (!SPINMPG_Create(&row))
        return 0;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 4, &words)) {
        CMN_FreeWords(&words);
        CMN_Free(row);
        return 0;
    }
    if (words.found > 4)
        MSG_ErrorLine(2600);
    if (words.stored >= 1)
        CMN_CopyTruncate(row->pin1, words.words[0], 5, "Pin1");
    else
        MSG_ErrorLine(2601);
    if (words.stored >= 2)
        CMN_CopyTruncate(row->pin2, words.words[1], 5, "Pin2");
    else
        MSG_ErrorLine(2602);
    if (words.stored >= 3) {
        CMN_CopyTruncate(row->model_name, words.words[2], PARSE_GetIbisVersion() < 4 ? 20 : 40,
                         "Model");
        CMN_CheckReservedWord(row->model_name);
    } else {
        MSG_ErrorLine(2603);
    }
    if (words.stored >= 4) {
        CMN_CopyTruncate(row->function_table_group, words.words[3], 20, "Function group Name");
        CMN_CheckReservedWord(row->function_table_group);
    }
    row->columns = words.stored;
    if (row->columns != 3 && row->columns != 4)
        MSG_ErrorLine(2604);
    if (row->columns == 4 && headerColumns == 3)
        MSG_ErrorLine(2605);
    CMN_FreeWords(&words);
    *out = row;
    return 1;
}

void SPINMPG_Append(Series_Pin_Mapping **head, Series_Pin_Mapping *row) {
    MSG_ASSERT(head != nullptr && row != nullptr);
    CMN_AppendAtTail(head, row);
}

void SPINMPG_Free(Series_Pin_Mapping *list) {
    CMN_FreeChain(list);
}

void SPINMPG_CheckAll(Series_Pin_Mapping *rows, PIN *pins, const char *component,
                      SSWCH *groups, const PIN_MODELS *models) {
    MSG_ASSERT(component != nullptr && models != nullptr);
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(2606, kSourceName, __LINE__);
        return;
    }
    if (pins == nullptr) {
        MSG_Error(2618, component);
        return;
    }
    Context c{component, groups, {}, {}, nullptr};
    SSWCH_IndexNames(&c.groupNames, groups);
    for (Series_Pin_Mapping *r = rows; r != nullptr; r = r->next) {
        if (!PIN_Exists(r->pin1, pins))
            MSG_Error(2607, component, r->pin1);
        if (!PIN_Exists(r->pin2, pins))
            MSG_Error(2611, component, r->pin2);
        MDL *model = PIN_FindModel(models, r->model_name);
        MSEL *selector = model == nullptr ? PIN_FindSelector(models, r->model_name) : nullptr;
        if (model != nullptr) {
            model->referenced = 1;
            SPINMPG_CheckModelType(model, r->model_name, nullptr, r, c);
        } else if (selector != nullptr) {
            CheckSelectorModels(c, selector, r, models);
        } else {
            MSG_Error(2617, component, r->model_name);
        }
    }
    FreeVerdicts(c);
    NAMEIDX_FreeTally(&c.groupNames);
}
