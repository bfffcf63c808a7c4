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

struct Context {
    const char *component;
    SSWCH *groups;
    NAME_TALLY groupNames;
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

// model: the [Model] of that name, or null.
void CheckModelType(const MDL *model, const char *name, const char *selector,
                    const Series_Pin_Mapping *row, const Context &c) {
    const TypeMessages &m = selector != nullptr ? kSelectorModel : kModel;
    const char *group = row->function_table_group;
    const bool hasGroup = group[0] != '\0';
    int code = 0;
    if (model == nullptr)
        code = m.unknown;
    else if (model->Model_type == MDL_TYPE_SERIES)
        code = hasGroup ? m.ignored : 0;
    else if (model->Model_type != MDL_TYPE_SERIES_SWITCH)
        code = hasGroup ? m.notSwitch : m.notSeries;
    else if (!hasGroup)
        code = m.required;
    else if (!SSWCH_HasGroup(&c.groupNames, c.groups, group))
        code = m.undefined;
    if (code != 0)
        Report(code, code == m.ignored, c, selector, name, group);
}

}  // namespace

int SPINMPG_ParseRow(const char *text, int headerColumns, Series_Pin_Mapping **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    Series_Pin_Mapping *row = nullptr;
    if (!CMN_Alloc(&row, sizeof(Series_Pin_Mapping))) {
        MSG_ErrorLine(2619);
        return 0;
    }
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
    Context c{component, groups, {}};
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
            CheckModelType(model, r->model_name, nullptr, r, c);
        } else if (selector != nullptr) {
            for (MSEL_MODEL *m = selector->models; m != nullptr; m = m->next)
                CheckModelType(PIN_FindModel(models, m->name), m->name, selector->name, r, c);
        } else {
            MSG_Error(2617, component, r->model_name);
        }
    }
    NAMEIDX_FreeTally(&c.groupNames);
}
