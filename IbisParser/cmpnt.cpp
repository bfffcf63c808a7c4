// [Component] section: one record per [Component], the routing of its keyword
// and data lines to its tables, the close of a component at the first keyword
// outside it, and the end checks of every component.
#define MSG_SRC MSGSRC_CMPNT
#include "IbisParser/cmpnt.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "IbisParser/apkg.h"
#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/difpin.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/pkg.h"
#include "IbisParser/stringlist.h"

namespace {

const char kSourceName[] = "IbisParser/cmpnt";
const PIN_COLUMN_MAP kResetMap = {0, 1, 2};

// Section state.
CMPNT *s_current = nullptr;
int s_manufacturerSeen = 0;
PIN_COLUMN_MAP s_pinMap = kResetMap;
IBIS_KEYWORD s_keyword = NOT_KEY;  // last keyword line handled here
IBIS_KEYWORD s_lastEnd = NOT_KEY;  // last keyword CMPNT_EndKeyword saw

bool In(int code, int lo, int hi) { return code >= lo && code <= hi; }

// Keywords that leave the component open ([Component] itself closes it).
bool IsComponentKeyword(int code) {
    return In(code, KW_MANUFACTURER, KW_END_CIRCUIT_CALL) ||
           In(code, KW_BEGIN_EMI_COMPONENT, KW_PIN_DOMAIN_EMI);
}

// ---- Keyword lines ----------------------------------------------------------

void CMPNT_ParseName(CMPNT *c, const char *text) {
    CMN_SetField(c->name, text, 40, "Component");
    if (strpbrk(c->name, " \t") != nullptr)
        MSG_WarningLine(513, c->name);
    CMN_CheckReservedWord(c->name);
}

// Seen even when the copy is refused: the keyword was given.
void CMPNT_ParseManufacturer(CMPNT *c, const char *text) {
    CMN_SetField(c->manufacturer, text, 40, "Manufacturer");
    s_manufacturerSeen = 1;
}

void CMPNT_BeginPackage(CMPNT *c, const char *text) {
    if (c->package != nullptr) {
        MSG_ErrorLine(517);
        return;
    }
    if (text[0] != '\0')
        MSG_ErrorLine(518);
    if (!PKG_Create(&c->package))
        MSG_ErrorLine(533, "Package");
}

void CMPNT_ParsePackageModel(CMPNT *c, const char *text) {
    CMN_SetField(c->package_model, text, 40, "Package_Model");
    CMN_CheckReservedWord(c->package_model);
}

void CMPNT_BeginNodeDeclarations(CMPNT *c) {
    if (c->node_declarations != nullptr) {
        MSG_ErrorLine(548);
        return;
    }
    if (!CMN_Alloc(&c->node_declarations, sizeof(STRING_LIST)))
        MSG_ErrorLine(549);
}

void CMPNT_BeginCircuitCall(CMPNT *c, const char *text) {
    CIRCUIT_CALL *call = nullptr;
    if (!CMN_Alloc(&call, sizeof(CIRCUIT_CALL))) {
        MSG_ErrorLine(550);
        return;
    }
    CMN_SetField(call->name, text, 40, "Circuit Call");
    call->line = MSG_GetLineNumber();
    call->next = c->circuit_calls;
    c->circuit_calls = call;
}

void ParseEmiLine(CMPNT *c, int lineType, IBIS_KEYWORD code, const char *text) {
    if (CMPNT_emiOps.parseLine != nullptr)
        CMPNT_emiOps.parseLine(lineType, code, text, &c->emi);
}

void ParseTableHeader(const CMPNT_TABLE_OPS &table, CMPNT *c, const char *text) {
    if (table.parseHeader != nullptr)
        table.parseHeader(c, text);
}

void ParseKeyword(CMPNT *c, IBIS_KEYWORD code, const char *text) {
    const CMPNT_TABLES &t = CMPNT_tables;
    switch (code) {
    case KW_COMPONENT: CMPNT_ParseName(c, text); break;
    case KW_MANUFACTURER: CMPNT_ParseManufacturer(c, text); break;
    case KW_PACKAGE: CMPNT_BeginPackage(c, text); break;
    case KW_PIN: CMPNT_ParsePinHeader(c, &s_pinMap, text); break;
    case KW_PACKAGE_MODEL: CMPNT_ParsePackageModel(c, text); break;
    case KW_PIN_MAPPING: ParseTableHeader(t.pinMapping, c, text); break;
    case KW_DIFF_PIN: ParseTableHeader(t.diffPin, c, text); break;
    case KW_SERIES_SWITCH_GROUPS: ParseTableHeader(t.seriesSwitchGroups, c, text); break;
    case KW_SERIES_PIN_MAPPING: ParseTableHeader(t.seriesPinMapping, c, text); break;
    case KW_ALTERNATE_PACKAGE_MODELS: CMPNT_BeginAlternatePackageModels(c, text); break;
    case KW_END_ALTERNATE_PACKAGE_MODELS: CMPNT_EndAlternatePackageModels(c, text); break;
    case KW_NODE_DECLARATIONS: CMPNT_BeginNodeDeclarations(c); break;
    case KW_END_NODE_DECLARATIONS:
        if (CMPNT_circuitOps.endDeclarations != nullptr)
            CMPNT_circuitOps.endDeclarations();
        break;
    case KW_CIRCUIT_CALL: CMPNT_BeginCircuitCall(c, text); break;
    case KW_END_CIRCUIT_CALL: break;
    case KW_BEGIN_EMI_COMPONENT:
    case KW_END_EMI_COMPONENT:
    case KW_PIN_EMI:
    case KW_PIN_DOMAIN_EMI: ParseEmiLine(c, LINE_KEYWORD, code, text); break;
    default: MSG_BugLine(505, kSourceName, __LINE__); break;
    }
}

// ---- Data lines -------------------------------------------------------------

struct Location {
    const char *text;
    int code;
};
// Looked up in this order; the last row ends the table.
const Location kLocations[] = {{"Pin", CMPNT_LOCATION_PIN}, {"Die", CMPNT_LOCATION_DIE},
                               {nullptr, CMPNT_LOCATION_INVALID}};

// Si_location or Timing_location: name and one of Pin, Die.
void ParseLocation(CMPNT *c, const char *text, const char *name, int *field) {
    if (*field != CMPNT_LOCATION_NONE)
        MSG_ErrorLine(537, name, c->name);
    *field = CMPNT_LOCATION_INVALID;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        MSG_Bug(534, name, kSourceName, __LINE__);
    } else if (words.found == 1) {
        MSG_ErrorLine(538, name);
    } else if (words.found > 2) {
        MSG_ErrorLine(539, static_cast<int>(words.found), name, 2);
    } else if (words.found == 2) {
        const char *value = words.words[1];
        const Location *l = kLocations;
        for (; l->text != nullptr; ++l) {
            if (strcmp(value, l->text) == 0) {
                *field = l->code;
                break;
            }
            if (CMN_StrEqualNoCase(value, l->text)) {
                MSG_ErrorLine(540, name, value, l->text);
                break;
            }
        }
        if (l->text == nullptr)
            MSG_ErrorLine(541, name, value);
    }
    CMN_FreeWords(&words);
}

void CMPNT_ParseSiLocation(CMPNT *c, const char *text) {
    ParseLocation(c, text, "Si_location", &c->si_location);
}

void CMPNT_ParseTimingLocation(CMPNT *c, const char *text) {
    ParseLocation(c, text, "Timing_location", &c->timing_location);
}

// A data line under [Component] (version 3 and later): a sub-parameter.
void CMPNT_ParseSubparam(CMPNT *c, const char *text) {
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 1, &words)) {
        MSG_BugLine(534, "Component Sub-Parameter", kSourceName, __LINE__);
    } else if (words.stored == 0) {
        MSG_ErrorLine(535);
    } else if (strcmp(words.words[0], "Si_location") == 0) {
        CMPNT_ParseSiLocation(c, text);
    } else if (strcmp(words.words[0], "Timing_location") == 0) {
        CMPNT_ParseTimingLocation(c, text);
    } else {
        MSG_ErrorLine(535);
    }
    CMN_FreeWords(&words);
}

void CMPNT_AddPin(CMPNT *c, const char *text) {
    PIN *pin = nullptr;
    if (!PIN_ParseRow(text, c->pin_columns, &pin, &s_pinMap)) {
        MSG_ErrorLine(533, "Pin");
        return;
    }
    PIN_Append(&c->pins, pin);
}

void AddTableRow(const CMPNT_TABLE_OPS &table, CMPNT *c, const char *text, const char *label) {
    if (table.addRow != nullptr && !table.addRow(c, text))
        MSG_ErrorLine(533, label);
}

void CMPNT_AddPinMapping(CMPNT *c, const char *text) {
    AddTableRow(CMPNT_tables.pinMapping, c, text, "Pin_Mapping");
}

void CMPNT_AddDiffPin(CMPNT *c, const char *text) {
    AddTableRow(CMPNT_tables.diffPin, c, text, "Diff_Pin");
}

void CMPNT_AddSeriesSwitchGroup(CMPNT *c, const char *text) {
    AddTableRow(CMPNT_tables.seriesSwitchGroups, c, text, "Series_Switch_Group");
}

void CMPNT_AddSeriesPinMapping(CMPNT *c, const char *text) {
    AddTableRow(CMPNT_tables.seriesPinMapping, c, text, "Series_Pin_Mapping");
}

void ParseData(CMPNT *c, const char *text) {
    switch (s_keyword) {
    case KW_COMPONENT:
        if (PARSE_GetIbisVersion() < 3)
            MSG_ErrorLine(506);
        else
            CMPNT_ParseSubparam(c, text);
        break;
    case KW_MANUFACTURER: MSG_ErrorLine(507); break;
    case KW_PACKAGE:
        if (c->package != nullptr)
            PKG_ParseRow(c->package, text);
        break;
    case KW_PIN: CMPNT_AddPin(c, text); break;
    case KW_PACKAGE_MODEL: MSG_ErrorLine(508); break;
    case KW_PIN_MAPPING: CMPNT_AddPinMapping(c, text); break;
    case KW_DIFF_PIN: CMPNT_AddDiffPin(c, text); break;
    case KW_SERIES_SWITCH_GROUPS: CMPNT_AddSeriesSwitchGroup(c, text); break;
    case KW_SERIES_PIN_MAPPING: CMPNT_AddSeriesPinMapping(c, text); break;
    case KW_ALTERNATE_PACKAGE_MODELS: APKG_ParseRow(&c->alternate_package_models, text); break;
    case KW_NODE_DECLARATIONS:
        if (CMPNT_circuitOps.parseNodeList != nullptr && c->node_declarations != nullptr)
            CMPNT_circuitOps.parseNodeList(text, &c->node_declarations);
        break;
    case KW_CIRCUIT_CALL:
        if (CMPNT_circuitOps.parseCallLine != nullptr && c->circuit_calls != nullptr)
            CMPNT_circuitOps.parseCallLine(text, c->circuit_calls);
        break;
    case KW_BEGIN_EMI_COMPONENT:
    case KW_END_EMI_COMPONENT:
    case KW_PIN_EMI:
    case KW_PIN_DOMAIN_EMI: ParseEmiLine(c, LINE_DATA, s_keyword, text); break;
    // A stray line after a block's end keyword is the file's fault, not
    // ours: it belongs to no block, like a line before any component.
    case KW_END_ALTERNATE_PACKAGE_MODELS:
    case KW_END_NODE_DECLARATIONS:
    case KW_END_CIRCUIT_CALL: MSG_ErrorLine(502); break;
    default: MSG_BugLine(509, kSourceName, __LINE__); break;
    }
}

// ---- Freeing ----------------------------------------------------------------

void FreeTable(const CMPNT_TABLE_OPS &table, CMPNT *c, const void *rows) {
    if (rows == nullptr)
        return;
    MSG_ASSERT(table.freeRows != nullptr);  // rows exist only where a table is built
    table.freeRows(c);
}

// Node names are owned copies, unlike those of other string lists.
void FreeNodes(STRING_LIST *list) {
    for (STRING_LIST *n = list; n != nullptr; n = n->next)
        CMN_Free(const_cast<char *>(n->text));
    STRING_Free(list);
}

void FreeCalls(CIRCUIT_CALL *call) {
    while (call != nullptr) {
        CIRCUIT_CALL *next = call->next;
        for (CIRCUIT_PORT *p = call->ports; p != nullptr;) {
            CIRCUIT_PORT *n = p->next;
            CMN_Free(p);
            p = n;
        }
        CMN_Free(call);
        call = next;
    }
}

// ---- Checks -----------------------------------------------------------------

bool IsDifferentialType(int type) { return In(type, MDL_TYPE_IO_DIFF, MDL_TYPE_INPUT_DIFF); }

void CheckDiffModels(const char *component, PIN *pins, DIFPIN *diffPins, const PIN_MODELS *models) {
    if (models->models == nullptr)
        return;
    NAME_TALLY diffNames;
    CMPNT_IndexDiffPins(&diffNames, diffPins);
    for (PIN *p = pins; p != nullptr; p = p->next) {
        MDL *m = PIN_FindModel(models, p->model_name);
        if (m == nullptr || !IsDifferentialType(m->Model_type))
            continue;
        if (m->externalModel == nullptr)
            MSG_Error(544);
        if (!CMPNT_IsOnDiffPin(&diffNames, diffPins, p->pin)) {
            const char *type = nullptr;
            MDL_GetModelTypeName(m->Model_type, &type);
            MSG_Error(545, component, p->pin, p->model_name, type);
        }
    }
    NAMEIDX_FreeTally(&diffNames);
}

int PackageModelDefined(IBIS *root, const char *name) {
    const CMPNT_PKGMDL_OPS &ops = CMPNT_pkgmdlOps;
    return root->packageModels != nullptr && ops.findByName != nullptr &&
           ops.findByName(root->packageModels, name, nullptr);
}

// 511 once for each pair of components of the same name, in the order of a
// walk over every component and each one after it.
void CheckDuplicateNames(CMPNT *components) {
    NAMEIDX_ReportLaterNamesakes(components, [](const CMPNT *c) { return c->name; },
                                 [](const CMPNT *c) { MSG_Error(511, c->name); });
}

void CheckTable(const CMPNT_TABLE_OPS &table, CMPNT *c, const void *rows,
                const PIN_MODELS *models) {
    if (rows != nullptr && table.checkAll != nullptr)
        table.checkAll(c, models);
}

// ---- Models on differential pins ------------------------------------------------

// What CMPNT_IsModelOnDiffPin answers for one file. The search it stands for
// walks every component with pins, its [Diff Pin] rows in order, each row's
// pin and inv_pin, and stops at the first pin whose model is the one asked
// for or a selector that lists it; each selector it passes on the way is
// marked differential. So the answer for a model is the first position of
// its name (directly or through a selector), and a question marks the
// selectors first met before that position.
struct DiffAnswers {
    IBIS *root;  // null: nothing worked out
    CMPNT *components;
    MSEL *selectors;
    PIN **pins;  // the pins of the walk that exist, in walk order
    size_t pinCount, pinRoom;
    struct Met {
        MSEL *selector;  // a selector on those pins
        size_t at;       // the position where it was first met
    } *met;              // in the order first met
    size_t metCount, metRoom;
    size_t marked;     // met[0, marked) are marked differential
    NAME_TALLY firstHit;  // model name -> 1 + first position
    int failed;        // out of memory: questions walk the rows
};
DiffAnswers s_diff;

void FreeDiffAnswers() {
    CMN_Free(s_diff.pins);
    CMN_Free(s_diff.met);
    NAMEIDX_FreeTally(&s_diff.firstHit);
    memset(&s_diff, 0, sizeof s_diff);
}

void *PositionValue(size_t at) { return reinterpret_cast<void *>(static_cast<uintptr_t>(at) + 1); }

int AddPosition(PIN *pin, const PIN_MODELS &lookup, NAME_TALLY *metNames) {
    DiffAnswers &d = s_diff;
    size_t at = d.pinCount;
    if (!CMN_Grow(&d.pins, &d.pinRoom, at + 1, 16))
        return 0;
    d.pins[d.pinCount++] = pin;
    if (NAMEIDX_Count(&d.firstHit, pin->model_name, PositionValue(at)) < 0)
        return 0;
    MSEL *s = d.selectors != nullptr ? PIN_FindSelector(&lookup, pin->model_name) : nullptr;
    if (s == nullptr)
        return 1;
    long before = NAMEIDX_Count(metNames, s->name, s);
    if (before < 0)
        return 0;
    if (before > 0)
        return 1;
    if (!CMN_Grow(&d.met, &d.metRoom, d.metCount + 1, 16))
        return 0;
    d.met[d.metCount++] = {s, at};
    for (MSEL_MODEL *m = s->models; m != nullptr; m = m->next)
        if (NAMEIDX_Count(&d.firstHit, m->name, PositionValue(at)) < 0)
            return 0;
    return 1;
}

void BuildDiffAnswers(IBIS *root) {
    FreeDiffAnswers();
    DiffAnswers &d = s_diff;
    d.root = root;
    d.components = root->components;
    d.selectors = root->modelSelectors;
    NAMEIDX_InitTally(&d.firstHit);
    PIN_MODELS lookup{};
    PIN_IndexModels(&lookup, nullptr, d.selectors);
    NAME_TALLY metNames;
    NAMEIDX_InitTally(&metNames);
    bool ok = true;
    for (CMPNT *c = d.components; c != nullptr && ok; c = c->next) {
        if (c->pins == nullptr)
            continue;
        for (DIFPIN *row = c->diff_pins; row != nullptr && ok; row = row->next)
            for (const char *name : {row->pin, row->inv_pin}) {
                PIN *pin = PIN_FindByName(name, c->pins);
                if (pin != nullptr && ok)
                    ok = AddPosition(pin, lookup, &metNames) != 0;
            }
    }
    NAMEIDX_FreeTally(&metNames);
    PIN_FreeModels(&lookup);
    d.failed = !ok;
}

// The walk itself, for when the answers could not be worked out.
int WalkDiffPins(IBIS *root, MDL *model, PIN **out) {
    for (CMPNT *c = root->components; c != nullptr; c = c->next) {
        if (c->pins == nullptr)
            continue;
        for (DIFPIN *row = c->diff_pins; row != nullptr; row = row->next)
            for (const char *name : {row->pin, row->inv_pin}) {
                PIN *pin = PIN_FindByName(name, c->pins);
                if (pin == nullptr)
                    continue;
                bool hit = strcmp(pin->model_name, model->name) == 0;
                MSEL *s = hit || root->modelSelectors == nullptr
                              ? nullptr
                              : MSEL_FindByName(pin->model_name, root->modelSelectors);
                for (MSEL_MODEL *m = s != nullptr ? s->models : nullptr; m != nullptr && !hit;
                     m = m->next)
                    hit = strcmp(m->name, model->name) == 0;
                if (s != nullptr && !hit)
                    s->single_ended = 0;
                if (hit) {
                    model->single_ended = 0;
                    if (out != nullptr)
                        *out = pin;
                    return 1;
                }
            }
    }
    return 0;
}

}  // namespace

// ---- Section handlers -----------------------------------------------------------

void CMPNT_Reset(void) {
    s_current = nullptr;
    s_manufacturerSeen = 0;
    s_pinMap = kResetMap;
    s_keyword = NOT_KEY;
    s_lastEnd = NOT_KEY;
    FreeDiffAnswers();
    const CMPNT_TABLES &t = CMPNT_tables;
    for (const CMPNT_TABLE_OPS *table :
         {&t.pinMapping, &t.diffPin, &t.seriesSwitchGroups, &t.seriesPinMapping})
        if (table->reset != nullptr)
            table->reset();
    if (CMPNT_emiOps.reset != nullptr)
        CMPNT_emiOps.reset();
}

int CMPNT_Create(CMPNT **out) {
    MSG_ASSERT(out != nullptr);
    return CMN_Alloc(out, sizeof(CMPNT));
}

void CMPNT_Init(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_BugLine(500, kSourceName, __LINE__);
        return;
    }
    CMPNT *c = nullptr;
    if (!CMPNT_Create(&c)) {
        MSG_ErrorLine(512);
        s_current = nullptr;
        return;
    }
    IBIS_AddComponent(root, c);
    s_current = c;
    s_pinMap = kResetMap;
    s_manufacturerSeen = 0;
}

void CMPNT_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    CMPNT *c = s_current;
    if (c == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 501 : 502);
        return;
    }
    if (lineType == LINE_DATA) {
        ParseData(c, text);
        return;
    }
    if (lineType != LINE_KEYWORD) {
        MSG_BugLine(510, kSourceName, __LINE__);
        return;
    }
    // These only report: the keyword is still handled.
    if (code == KW_END_ALTERNATE_PACKAGE_MODELS && s_keyword != KW_ALTERNATE_PACKAGE_MODELS)
        MSG_ErrorLine(503);
    if (s_keyword == KW_ALTERNATE_PACKAGE_MODELS && code != KW_END_ALTERNATE_PACKAGE_MODELS)
        MSG_ErrorLine(504);
    if (CMPNT_emiOps.isOpen != nullptr && CMPNT_emiOps.isOpen() &&
        !In(code, KW_END_EMI_COMPONENT, KW_PIN_DOMAIN_EMI))
        MSG_ErrorLine(553);
    const char *rest = text;
    CMN_SkipPastBracket(&rest);
    s_keyword = code;
    ParseKeyword(c, code, rest);
}

void CMPNT_EndKeyword(IBIS_KEYWORD nextCode) {
    IBIS_KEYWORD last = s_lastEnd;
    s_lastEnd = nextCode;
    if (IsComponentKeyword(nextCode) || s_current == nullptr)
        return;
    CMPNT *c = s_current;
    if (last == KW_ALTERNATE_PACKAGE_MODELS)
        MSG_ErrorLine(504);
    const CMPNT_EMI_OPS &emi = CMPNT_emiOps;
    if (emi.isOpen != nullptr && emi.isOpen() && emi.endKeyword != nullptr)
        emi.endKeyword(nextCode);
    if (!s_manufacturerSeen)
        MSG_Error(514, c->name);
    if (c->package != nullptr)
        PKG_Check(c->package, c->name);
    else
        MSG_Error(519, c->name);
    s_current = nullptr;
    s_manufacturerSeen = 0;
}

void CMPNT_SetNext(CMPNT *component, CMPNT *next) {
    MSG_ASSERT(component != nullptr);
    component->next = next;
}

void CMPNT_Free(CMPNT *list) {
    const CMPNT_TABLES &t = CMPNT_tables;
    while (list != nullptr) {
        CMPNT *c = list;
        list = c->next;
        if (c == s_current)
            s_current = nullptr;
        PKG_Free(c->package);
        PIN_Free(c->pins);
        FreeTable(t.pinMapping, c, c->pin_mappings);
        FreeTable(t.diffPin, c, c->diff_pins);
        FreeTable(t.seriesPinMapping, c, c->series_pin_mappings);
        FreeTable(t.seriesSwitchGroups, c, c->series_switch_groups);
        APKG_Free(c->alternate_package_models);
        if (c->emi != nullptr) {
            MSG_ASSERT(CMPNT_emiOps.freeRecord != nullptr);
            CMPNT_emiOps.freeRecord(c->emi);
        }
        FreeNodes(c->node_declarations);
        FreeCalls(c->circuit_calls);
        CMN_Free(c);
    }
}

// ---- Keyword lines of the component's own tables --------------------------------

namespace {

// The words of a table's header line. The column count starts at 1 and each
// of the first `counted` words adds one; an empty header gives 528 and 0.
int SplitHeader(const char *text, const char *label, int counted, int *columns,
                WORD_LIST *words) {
    *columns = 1;
    const char *p = text;
    CMN_SkipBlanks(&p);
    if (*p == '\0') {
        MSG_ErrorLine(528, label);
        return 0;
    }
    if (!CMN_SplitWords(p, 6, words)) {
        CMN_FreeWords(words);
        return 0;
    }
    *columns += words->found < counted ? static_cast<int>(words->found) : counted;
    return 1;
}

// 529 for each expected column name, in order, that is not in its place: the
// first `required` must be there, the others only when given.
void CheckHeaderNames(const WORD_LIST &words, const char *const *names, int count,
                      int required) {
    for (int i = 0; i < count; ++i)
        if (i < words.stored ? !CMN_StrEqualNoCase(words.words[i], names[i]) : i < required)
            MSG_ErrorLine(529, names[i]);
}

}  // namespace

void CMPNT_ParsePinHeader(CMPNT *component, PIN_COLUMN_MAP *map, const char *text) {
    MSG_ASSERT(component != nullptr && map != nullptr && text != nullptr);
    if (component->pin_columns != 0) {
        MSG_ErrorLine(523);
        return;
    }
    WORD_LIST words{};
    if (!SplitHeader(text, "Pin", 6, &component->pin_columns, &words))
        return;
    if (component->pin_columns != 3 && component->pin_columns != 6)
        MSG_ErrorLine(532, "Pin", 3, 6, component->pin_columns);
    static const char *const kRequired[] = {"signal_name", "model_name"};
    CheckHeaderNames(words, kRequired, 2, 2);
    struct {
        const char *name;
        int *position;
        bool seen;
    } columns[] = {{"R_pin", &map->r, false}, {"L_pin", &map->l, false}, {"C_pin", &map->c, false}};
    for (int k = 0; k < 3 && 2 + k < words.stored; ++k) {
        const char *word = words.words[2 + k];
        bool known = false;
        for (auto &column : columns) {
            if (!CMN_StrEqualNoCase(word, column.name))
                continue;
            known = true;
            if (column.seen) {
                MSG_ErrorLine(531, word);
            } else {
                column.seen = true;
                *column.position = k;
            }
        }
        if (!known)
            MSG_ErrorLine(530, word);
    }
    CMN_FreeWords(&words);
}

void CMPNT_ParsePinMappingHeader(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (component->pin_mapping_columns != 0) {
        MSG_ErrorLine(525);
        return;
    }
    WORD_LIST words{};
    if (!SplitHeader(text, "Pin_Mapping", 5, &component->pin_mapping_columns, &words))
        return;
    const int n = component->pin_mapping_columns;
    if (PARSE_GetIbisVersion() < 4) {
        if (n != 3 && n != 5)
            MSG_ErrorLine(532, "Pin_Mappings", 3, 5, n);
    } else if (n != 3 && n != 5 && n != 6) {
        MSG_ErrorLine(526, n);
    }
    static const char *const kNames[] = {"pulldown_ref", "pullup_ref", "gnd_clamp_ref",
                                         "power_clamp_ref", "ext_ref"};
    CheckHeaderNames(words, kNames, 5, 2);
    CMN_FreeWords(&words);
}

void CMPNT_ParseDiffPinHeader(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (component->diff_pin_columns != 0) {
        MSG_ErrorLine(527);
        return;
    }
    WORD_LIST words{};
    if (!SplitHeader(text, "Diff_Pins", 6, &component->diff_pin_columns, &words))
        return;
    const int n = component->diff_pin_columns;
    if (n != 4 && n != 6)
        MSG_ErrorLine(532, "Diff_Pins", 4, 6, n);
    static const char *const kNames[] = {"inv_pin", "vdiff", "tdelay_typ", "tdelay_min",
                                         "tdelay_max"};
    CheckHeaderNames(words, kNames, 5, 1);
    CMN_FreeWords(&words);
}

void CMPNT_ParseSeriesPinMappingHeader(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (component->series_pin_mapping_columns != 0) {
        MSG_ErrorLine(542);
        FreeTable(CMPNT_tables.seriesPinMapping, component, component->series_pin_mappings);
        component->series_pin_mappings = nullptr;
    }
    WORD_LIST words{};
    if (!SplitHeader(text, "Series_Pin_Mapping", 3, &component->series_pin_mapping_columns,
                     &words))
        return;
    if (words.found > 3)
        MSG_ErrorLine(543);
    const int n = component->series_pin_mapping_columns;
    if (n != 3 && n != 4)
        MSG_ErrorLine(532, "Series_Pin_Mappings", 3, 4, n);
    static const char *const kNames[] = {"pin_2", "model_name", "function_table_group"};
    CheckHeaderNames(words, kNames, 3, 2);
    CMN_FreeWords(&words);
}

void CMPNT_BeginSeriesSwitchGroups(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (component->series_switch_groups != nullptr)
        MSG_ErrorLine(546);
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 0, &words))
        MSG_Bug(534, "Series_Switch_Groups", kSourceName, __LINE__);
    else if (words.found > 0)
        MSG_ErrorLine(539, static_cast<int>(words.found) + 1, "Series_Switch_Groups", 1);
    CMN_FreeWords(&words);
    const CMPNT_TABLE_OPS &groups = CMPNT_tables.seriesSwitchGroups;
    if (groups.reset != nullptr)
        groups.reset();
}

void CMPNT_BeginAlternatePackageModels(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (component->alternate_package_models != nullptr)
        MSG_ErrorLine(520);
    else if (text[0] != '\0')
        MSG_ErrorLine(521);
}

void CMPNT_EndAlternatePackageModels(CMPNT *component, const char *text) {
    MSG_ASSERT(component != nullptr && text != nullptr);
    if (text[0] != '\0')
        MSG_ErrorLine(522);
    APKG_CheckCount(component->alternate_package_models);
}

// ---- End checks -------------------------------------------------------------------

void CMPNT_CheckPackageModel(const char *component, const char *packageModel) {
    MSG_ASSERT(component != nullptr && packageModel != nullptr);
    if (packageModel[0] == '\0')
        return;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(515, kSourceName, __LINE__);
        return;
    }
    if (PackageModelDefined(root, packageModel))
        return;
    // The search reads the .pkg files that define it into this root.
    const CMPNT_PKGMDL_OPS &ops = CMPNT_pkgmdlOps;
    if (ops.findInPkgFiles == nullptr || !ops.findInPkgFiles(packageModel) ||
        !PackageModelDefined(root, packageModel))
        MSG_Error(516, packageModel, component);
}

void CMPNT_CheckAlternatePackageModels(const char *component, APKG *names) {
    for (APKG *a = names; a != nullptr; a = a->next)
        if (a->name[0] != '\0')
            CMPNT_CheckPackageModel(component, a->name);
}

void CMPNT_CheckDiffModels(const char *component, PIN *pins, DIFPIN *diffPins, MDL *models) {
    MSG_ASSERT(component != nullptr);
    PIN_MODELS lookup{};
    PIN_IndexModels(&lookup, models, nullptr);
    CheckDiffModels(component, pins, diffPins, &lookup);
    PIN_FreeModels(&lookup);
}

void CMPNT_CheckAll(CMPNT *components, EXTCKT *circuits, MDL *models) {
    CheckDuplicateNames(components);
    IBIS *root = nullptr;
    PIN_MODELS lookup{};
    PIN_IndexModels(&lookup, models, IBIS_GetCurrent(&root) ? root->modelSelectors : nullptr);
    const CMPNT_TABLES &t = CMPNT_tables;
    for (CMPNT *c = components; c != nullptr; c = c->next) {
        // A .pkg file read on the way sets its own version.
        int version = PARSE_GetIbisVersion();
        CMPNT_CheckPackageModel(c->name, c->package_model);
        PARSE_SetIbisVersion(version);
        if (c->pins != nullptr)
            PIN_CheckAll(c->pins, c->pin_mappings, c->diff_pins, c->name, c->package_model,
                         &lookup);
        else
            MSG_Error(524, c->name);
        CheckTable(t.pinMapping, c, c->pin_mappings, &lookup);
        CheckTable(t.diffPin, c, c->diff_pins, &lookup);
        CheckTable(t.seriesPinMapping, c, c->series_pin_mappings, &lookup);
        CheckTable(t.seriesSwitchGroups, c, c->series_switch_groups, &lookup);
        if (CMPNT_circuitOps.resolveCalls != nullptr)
            CMPNT_circuitOps.resolveCalls(c, circuits);
        CheckDiffModels(c->name, c->pins, c->diff_pins, &lookup);
        version = PARSE_GetIbisVersion();
        CMPNT_CheckAlternatePackageModels(c->name, c->alternate_package_models);
        PARSE_SetIbisVersion(version);
        if (c->emi != nullptr && CMPNT_emiOps.checkAll != nullptr)
            CMPNT_emiOps.checkAll(c, c->emi);
    }
    PIN_FreeModels(&lookup);
}

// ---- Models on differential pins ------------------------------------------------

void CMPNT_IndexDiffPins(NAME_TALLY *out, DIFPIN *rows) {
    MSG_ASSERT(out != nullptr);
    NAMEIDX_InitTally(out);
    for (DIFPIN *r = rows; r != nullptr; r = r->next)
        if (NAMEIDX_Count(out, r->pin, r) < 0 || NAMEIDX_Count(out, r->inv_pin, r) < 0)
            return;
}

int CMPNT_IsOnDiffPin(const NAME_TALLY *index, DIFPIN *rows, const char *pin) {
    MSG_ASSERT(index != nullptr && pin != nullptr);
    int r = NAMEIDX_Lookup(index, pin, nullptr, nullptr);
    if (r >= 0)
        return r;
    for (DIFPIN *d = rows; d != nullptr; d = d->next)
        if (strcmp(d->pin, pin) == 0 || strcmp(d->inv_pin, pin) == 0)
            return 1;
    return 0;
}

int CMPNT_IsModelOnDiffPin(MDL *model, PIN **pin) {
    MSG_ASSERT(model != nullptr);
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_BugLine(500, kSourceName, __LINE__);
        return 0;
    }
    // A file without components has been reported as such (3901).
    if (root->components == nullptr)
        return 0;
    DiffAnswers &d = s_diff;
    if (d.root != root || d.components != root->components || d.selectors != root->modelSelectors)
        BuildDiffAnswers(root);
    if (d.failed)
        return WalkDiffPins(root, model, pin);
    void *value = nullptr;
    size_t hit = SIZE_MAX;
    if (NAMEIDX_Lookup(&d.firstHit, model->name, &value, nullptr) == 1)
        hit = static_cast<size_t>(reinterpret_cast<uintptr_t>(value)) - 1;
    for (; d.marked < d.metCount && d.met[d.marked].at < hit; ++d.marked)
        d.met[d.marked].selector->single_ended = 0;
    if (hit == SIZE_MAX)
        return 0;
    model->single_ended = 0;
    if (pin != nullptr)
        *pin = d.pins[hit];
    return 1;
}
