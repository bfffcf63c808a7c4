// [Model] section: the keyword and sub-parameter lines of a model, the
// routing of its tables to their readers, its end checks, and the model
// lookups other sections use.
#define MSG_SRC MSGSRC_MDL
#include "IbisParser/mdl.h"

#include <cstring>

#include "IbisParser/algmod.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mspec.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/rng.h"
#include "IbisParser/sinfo.h"
#include "IbisParser/smos.h"
#include "IbisParser/wvfrm.h"

namespace {

const char kSourceName[] = "IbisParser/mdl";

// Model_type texts by code; 0 and 1 have none of their own.
const char *const kTypeNames[] = {
    "No Type",        "No Type",         "Input",         "Output",
    "I/O",            "3-state",         "Open_drain",    "I/O_open_drain",
    "Open_sink",      "I/O_open_sink",   "Open_source",   "I/O_open_source",
    "Input_ECL",      "Output_ECL",      "I/O_ECL",       "Terminator",
    "Series",         "Series_switch",   "3-state_ECL",   "I/O_diff",
    "Output_diff",    "3-state_diff",    "Input_diff"};
const int kTypeCount = static_cast<int>(sizeof kTypeNames / sizeof kTypeNames[0]);

struct Row {
    const char *text;
    int code;
};

// Sub-parameters of the [Model] block.
enum {
    SUB_MODEL_TYPE = 1, SUB_POLARITY, SUB_ENABLE, SUB_VINL, SUB_VINH, SUB_VMEAS, SUB_CREF,
    SUB_RREF, SUB_VREF, SUB_RREF_DIFF, SUB_CREF_DIFF, SUB_C_COMP, SUB_C_COMP_PULLUP,
    SUB_C_COMP_PULLDOWN, SUB_C_COMP_POWER_CLAMP, SUB_C_COMP_GND_CLAMP
};
const Row kSubparams[] = {
    {"Model_type", SUB_MODEL_TYPE}, {"Polarity", SUB_POLARITY}, {"Enable", SUB_ENABLE},
    {"Vinl", SUB_VINL}, {"Vinh", SUB_VINH}, {"Vmeas", SUB_VMEAS}, {"Cref", SUB_CREF},
    {"Rref", SUB_RREF}, {"Vref", SUB_VREF}, {"Rref_diff", SUB_RREF_DIFF},
    {"Cref_diff", SUB_CREF_DIFF}, {"C_comp", SUB_C_COMP},
    {"C_comp_pullup", SUB_C_COMP_PULLUP}, {"C_comp_pulldown", SUB_C_COMP_PULLDOWN},
    {"C_comp_power_clamp", SUB_C_COMP_POWER_CLAMP}, {"C_comp_gnd_clamp", SUB_C_COMP_GND_CLAMP},
    {nullptr, 0}};

// Model_type rows in the order they are searched; the file's version admits
// a prefix of them.
const Row kTypeRows[] = {
    {"Input", 2}, {"Output", 3}, {"I/O", 4}, {"3-state", 5}, {"Open_drain", 6},
    {"I/O_open_drain", 7}, {"Open_sink", 8}, {"I/O_open_sink", 9}, {"Open_source", 10},
    {"I/O_open_source", 11}, {"Input_ECL", 12}, {"Output_ECL", 13}, {"I/O_ECL", 14},
    {"Terminator", 15}, {"Series", 16}, {"Series_switch", 17}, {"3-state_ECL", 18},
    {"I/O_diff", 19}, {"Output_diff", 20}, {"3-state_diff", 21}, {"Input_diff", 22},
    {nullptr, 0}};
const Row kPolarityRows[] = {{"Non-Inverting", 2}, {"Inverting", 3}, {nullptr, 0}};
const Row kEnableRows[] = {{"Active-High", 2}, {"Active-Low", 3}, {nullptr, 0}};
const Row kModeRows[] = {{"Driving", 0}, {"Non-Driving", 1}, {"All", 2}, {nullptr, 0}};
const int kModeNone = 3;

int TypeRowsForVersion() {
    switch (PARSE_GetIbisVersion()) {
    case 3: return 17;
    case 4:
    case 5: return 21;
    default: return 14;
    }
}

bool IsReceiverType(int t) {
    return t == 2 || t == 4 || t == 7 || t == 9 || t == 11 || t == 12 || t == 14;
}
bool IsNoTimingLoadType(int t) {
    return t == 2 || t == 12 || t == 15 || t == 16 || t == 17 || t == 22;
}
bool IsDiffReferenceType(int t) {
    return (t >= 3 && t <= 11) || t == 13 || t == 14 || (t >= 18 && t <= 21);
}

const char *TypeName(int code) {
    const char *text = nullptr;
    MDL_GetModelTypeName(code, &text);
    return text;
}

// A value read before Model_type, judged when the [Model] block closes.
struct Pending {
    double **slot;
    unsigned long line;
    int sub;
};

// State of the model being read.
MDL *s_current = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;
SINFO *s_series = nullptr;       // what the series keywords fill
ADD_SUBMDL *s_addTail = nullptr;  // last [Add Submodel] row of the current model
WVFRM *s_risingTail = nullptr;    // last table of each waveform list
WVFRM *s_fallingTail = nullptr;
WVFRM *s_composite = nullptr;     // the waveform whose [Composite Current] is read
bool s_waveformMade = false;      // the table of the last waveform keyword exists
Pending s_pending[4];
int s_pendingCount = 0;

// Name index over one list of records linked through next (the list that
// starts at head). When it cannot grow, lookups walk the list instead.
struct ListIndex {
    NAME_INDEX names;
    bool valid;
    bool failed;
    const void *head;
};
ListIndex s_models{};    // over a model list
ListIndex s_circuits{};  // over an [External Circuit] list

void ClearModelState() {
    s_last = NOT_KEY;
    s_series = nullptr;
    s_addTail = nullptr;
    s_risingTail = nullptr;
    s_fallingTail = nullptr;
    s_composite = nullptr;
    s_waveformMade = false;
    s_pendingCount = 0;
}

void IndexDrop(ListIndex &ix) {
    NAMEIDX_Clear(&ix.names);
    ix.valid = false;
    ix.failed = false;
    ix.head = nullptr;
}

template <typename T> void IndexBuild(ListIndex &ix, T *list) {
    IndexDrop(ix);
    // Newest first: the first record of a name is the one the index keeps.
    for (T *r = list; r != nullptr && !ix.failed; r = r->next) {
        int added = 0;
        NAME_ENTRY *e = NAMEIDX_Add(&ix.names, r->name, &added);
        if (e == nullptr)
            ix.failed = true;
        else if (added)
            e->item = r;
    }
    ix.valid = true;
    ix.head = list;
}

// The named record has just been pushed onto the list the index covers.
template <typename T> void IndexAdd(ListIndex &ix, T *record) {
    if (ix.valid && ix.head == record->next && !ix.failed) {
        int added = 0;
        NAME_ENTRY *e = NAMEIDX_Add(&ix.names, record->name, &added);
        if (e == nullptr)
            ix.failed = true;
        else
            e->item = record;  // the newest of its name
        ix.head = record;
    } else {
        IndexDrop(ix);
    }
}

template <typename T> T *IndexFind(ListIndex &ix, T *list, const char *name) {
    MSG_ASSERT(name != nullptr);
    if (list == nullptr)
        return nullptr;
    if (!ix.valid || ix.head != list)
        IndexBuild(ix, list);
    if (ix.failed) {
        for (T *r = list; r != nullptr; r = r->next)
            if (strcmp(r->name, name) == 0)
                return r;
        return nullptr;
    }
    const NAME_ENTRY *e = NAMEIDX_Find(&ix.names, name);
    return e != nullptr ? static_cast<T *>(e->item) : nullptr;
}

int FindRow(const Row *rows, const char *text, size_t length) {
    for (const Row *r = rows; r->text != nullptr; ++r)
        if (strncmp(r->text, text, length) == 0 && r->text[length] == '\0')
            return r->code;
    return 0;
}

// Looks a value up in a table: an exact match gives its code; a match that
// ignores case is reported with the right spelling. -1 when nothing matched.
int LookupValue(const Row *rows, int count, const char *name, const char *value) {
    for (int i = 0; i < count && rows[i].text != nullptr; ++i) {
        if (strcmp(rows[i].text, value) == 0)
            return rows[i].code;
        if (CMN_StrEqualNoCase(rows[i].text, value)) {
            MSG_ErrorLine(136, name, value, rows[i].text);
            return -1;
        }
    }
    MSG_ErrorLine(158, name, value);
    return -1;
}

// Model_type, Polarity, Enable: name and value, with or without '='.
void ParseEnum(const char *text, MDL *m, int *field, const char *name, const Row *rows,
               int count) {
    if (*field != 0) {
        MSG_ErrorLine(119, name, m->name);
        return;
    }
    *field = 1;
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 2, '=', &words)) {
        MSG_BugLine(134, "Model Sub-Parameter", kSourceName, __LINE__);
    } else if (words.found == 1) {
        MSG_ErrorLine(175, name);
    } else if (words.found != 2) {
        if (strcmp(words.words[1], "=") == 0)
            MSG_ErrorLine(176, name);
        else
            MSG_ErrorLine(137, static_cast<int>(words.found), name, 2);
    } else {
        int code = LookupValue(rows, count, name, words.words[1]);
        if (code >= 0)
            *field = code;
    }
    CMN_FreeWords(&words);
}

void MDL_ParseModelType(const char *text, MDL *m) {
    ParseEnum(text, m, &m->Model_type, "Model_type", kTypeRows, TypeRowsForVersion());
}

void MDL_ParsePolarity(const char *text, MDL *m) {
    ParseEnum(text, m, &m->Polarity, "Polarity", kPolarityRows, 2);
}

void MDL_ParseEnable(const char *text, MDL *m) {
    ParseEnum(text, m, &m->Enable, "Enable", kEnableRows, 2);
}

// The form name = value. The slot is made first, so a refused value still
// counts as given. 1 when this line made the slot.
int MDL_ParseValue(const char *text, MDL *m, double **slot, const char *name) {
    if (*slot != nullptr) {
        MSG_ErrorLine(119, name, m->name);
        return 0;
    }
    if (!CMN_Alloc(slot, sizeof(double))) {
        MSG_Bug(100, kSourceName, __LINE__);
        return 0;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(134, "Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return 1;
    }
    if (words.found < 3) {
        MSG_ErrorLine(176, name);
    } else {
        if (words.found > 3)
            MSG_ErrorLine(137, static_cast<int>(words.found), name, 3);
        double value = 0.0;
        if (strcmp(words.words[1], "=") != 0)
            MSG_ErrorLine(176, name);
        else if (CMN_GetValue(words.words[2], &value) == 0)
            MSG_ErrorLine(149, name, words.words[2]);
        else
            **slot = value;
    }
    CMN_FreeWords(&words);
    return 1;
}

// Kept with its line until the [Model] block closes and Model_type is known.
void ParsePendingValue(const char *text, MDL *m, double **slot, const char *name, int sub) {
    if (MDL_ParseValue(text, m, slot, name) && *slot != nullptr && s_pendingCount < 4)
        s_pending[s_pendingCount++] = Pending{slot, MSG_GetLineNumber(), sub};
}

// Typical NA refused; min and max must bound the other values.
void CheckRangeOrder(const RNG *r, const char *modelName, const char *name) {
    if (r->typ_state == CMN_VALUE_NA)
        MSG_ErrorLine(178);
    const bool typ = r->typ_state == CMN_VALUE_NUMBER;
    const bool min = r->min_state == CMN_VALUE_NUMBER;
    const bool max = r->max_state == CMN_VALUE_NUMBER;
    if (min && ((typ && r->min > r->typ) || (max && r->min > r->max)))
        MSG_WarningLine(177, modelName, name);
    if (max && ((typ && r->typ > r->max) || (min && r->max < r->min)))
        MSG_WarningLine(179, modelName, name);
}

// The form name typ min max.
void MDL_ParseRange(const char *text, MDL *m, RNG **slot, const char *name) {
    if (*slot != nullptr) {
        MSG_ErrorLine(119, name, m->name);
        return;
    }
    const char *rest = text + CMN_TokenLength(text, '=');
    CMN_SkipBlanks(&rest);
    RNG *range = nullptr;
    RNG_ParseLine(rest, name, &range);
    if (range == nullptr)
        return;
    *slot = range;
    CheckRangeOrder(range, m->name, name);
}

// Keywords that a Series_switch model must give before [On] and [Off].
bool IsBeforeOnOff(const char *caption) {
    static const char *const kCaptions[] = {"Voltage Range", "Temperature Range",
                                            "Pullup Reference", "Pulldown Reference",
                                            "POWER Clamp Reference", "GND Clamp Reference"};
    for (const char *c : kCaptions)
        if (CMN_StrEqualNoCase(c, caption))
            return true;
    return false;
}

// The form [Keyword] typ min max. Returns the range read, or null.
RNG *MDL_ParseRangeKeyword(const char *text, const char *caption, MDL *m, RNG **slot) {
    if (*slot != nullptr) {
        MSG_ErrorLine(119, caption, m->name);
        return nullptr;
    }
    if (m->Model_type == MDL_TYPE_SERIES_SWITCH && s_series != nullptr && IsBeforeOnOff(caption))
        MSG_ErrorLine(204, m->name, caption);
    const char *rest = text;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(125, caption, kSourceName, __LINE__);
        return nullptr;
    }
    RNG *range = nullptr;
    RNG_ParseLine(rest, caption, &range);
    if (range == nullptr)
        return nullptr;
    *slot = range;
    if (range->typ_state == CMN_VALUE_NA)
        MSG_ErrorLine(178);
    return range;
}

// [TTgnd] / [TTpower]: no corner below 0.
struct CornerCodes {
    int typ, min, max;
};
void CheckTransitTime(const RNG *r, const CornerCodes &codes) {
    if (r == nullptr)
        return;
    if (r->typ_state == CMN_VALUE_NUMBER && r->typ < 0)
        MSG_ErrorLine(codes.typ);
    if (r->min_state == CMN_VALUE_NUMBER && r->min < 0)
        MSG_ErrorLine(codes.min);
    if (r->max_state == CMN_VALUE_NUMBER && r->max < 0)
        MSG_ErrorLine(codes.max);
}

// What a record's name line reports, for [Model] and [External Circuit].
struct NameCodes {
    const char *caption;       // bug 125
    int splitFailed;           // error without line
    int missing;               // no name
    const char *countCaption;  // 128
    int tooLong;
    int reserved;
    int duplicate;  // equal to the name of an earlier record of the list
};
const NameCodes kModelName = {"Model", 126, 127, "Model", 129, 130, 131};
const NameCodes kCircuitName = {"External Circuit", 250, 251, "Externa Circuit", 252, 253, 254};

// The keyword line that names a record just pushed onto the list ix covers.
template <typename T> void ParseRecordName(const char *text, T *record, const NameCodes &codes,
                                           ListIndex &ix) {
    const char *rest = text;
    WORD_LIST words{};
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(125, codes.caption, kSourceName, __LINE__);
    } else if (!CMN_SplitWords(rest, 1, &words)) {
        MSG_Error(codes.splitFailed);
    } else if (words.found == 0) {
        MSG_ErrorLine(codes.missing);
    } else {
        if (words.found > 1)
            MSG_ErrorLine(128, static_cast<int>(words.found), codes.countCaption, 1);
        const char *name = words.words[0];
        const size_t limit = PARSE_GetIbisVersion() < 4 ? 20 : 40;
        if (strlen(name) > limit) {
            MSG_ErrorLine(codes.tooLong, static_cast<int>(limit));
        } else {
            if (!CMN_IsNotReservedWord(name))
                MSG_ErrorLine(codes.reserved, name);
            if (IndexFind(ix, record->next, name) != nullptr)
                MSG_ErrorLine(codes.duplicate, name);
        }
        CMN_StrNCopy(record->name, name, limit);
    }
    CMN_FreeWords(&words);
    IndexAdd(ix, record);
}

void MDL_ParseModelName(const char *text, MDL *m) {
    ParseRecordName(text, m, kModelName, s_models);
}

void MDL_ParseExternalCircuitName(const char *text, EXTCKT *c) {
    ParseRecordName(text, c, kCircuitName, s_circuits);
}

void MDL_ParseSubparam(const char *text, MDL *m) {
    const size_t length = static_cast<size_t>(CMN_TokenLength(text, '='));
    const int sub = FindRow(kSubparams, text, length);
    const int t = m->Model_type;
    const bool v4 = PARSE_GetIbisVersion() >= 4;
    switch (sub) {
    case SUB_MODEL_TYPE: MDL_ParseModelType(text, m); break;
    case SUB_POLARITY: MDL_ParsePolarity(text, m); break;
    case SUB_ENABLE: MDL_ParseEnable(text, m); break;
    case SUB_VINL:
    case SUB_VINH: {
        const bool low = sub == SUB_VINL;
        double **slot = low ? &m->Vinl : &m->Vinh;
        const char *name = low ? "Vinl" : "Vinh";
        if (IsReceiverType(t))
            MDL_ParseValue(text, m, slot, name);
        else if (t == MDL_TYPE_NONE)
            ParsePendingValue(text, m, slot, name, sub);
        else if (t != MDL_TYPE_INVALID)
            MSG_WarningLine(low ? 159 : 161, TypeName(t));
        break;
    }
    case SUB_VMEAS:
    case SUB_CREF:
    case SUB_RREF:
    case SUB_VREF: {
        static const char *const kNames[] = {"Vmeas", "Cref", "Rref", "Vref"};
        static const int kNoTimingLoad[] = {166, 167, 168, 169};
        double **const slots[] = {&m->Vmeas, &m->Cref, &m->Rref, &m->Vref};
        const int i = sub - SUB_VMEAS;
        if (IsNoTimingLoadType(t))
            MSG_WarningLine(kNoTimingLoad[i], TypeName(t));
        else
            MDL_ParseValue(text, m, slots[i], kNames[i]);
        break;
    }
    case SUB_RREF_DIFF:
    case SUB_CREF_DIFF: {
        const bool r = sub == SUB_RREF_DIFF;
        double **slot = r ? &m->Rref_diff : &m->Cref_diff;
        const char *name = r ? "Rref_diff" : "Cref_diff";
        if (!v4)
            MSG_ErrorLine(r ? 164 : 162);
        else if (IsDiffReferenceType(t))
            MDL_ParseValue(text, m, slot, name);
        else if (t == MDL_TYPE_NONE)
            ParsePendingValue(text, m, slot, name, sub);
        else
            MSG_WarningLine(r ? 165 : 163, TypeName(t));
        break;
    }
    case SUB_C_COMP:
        MDL_ParseRange(text, m, &m->C_comp, "C_comp");
        break;
    case SUB_C_COMP_PULLUP:
    case SUB_C_COMP_PULLDOWN:
    case SUB_C_COMP_POWER_CLAMP:
    case SUB_C_COMP_GND_CLAMP: {
        static const char *const kNames[] = {"C_comp_pullup", "C_comp_pulldown",
                                             "C_comp_power_clamp", "C_comp_gnd_clamp"};
        static const int kBeforeVersion4[] = {170, 171, 172, 173};
        RNG **const slots[] = {&m->C_comp_pullup, &m->C_comp_pulldown, &m->C_comp_power_clamp,
                               &m->C_comp_gnd_clamp};
        const int i = sub - SUB_C_COMP_PULLUP;
        if (!v4)
            MSG_ErrorLine(kBeforeVersion4[i]);
        else
            MDL_ParseRange(text, m, slots[i], kNames[i]);
        break;
    }
    default:
        MSG_ErrorLine(174);
        break;
    }
}

// Values given before Model_type, judged by the rule of their line now that
// the type is known; messages carry the value's line.
void JudgePending(MDL *m) {
    const int t = m->Model_type;
    const unsigned long line = MSG_GetLineNumber();
    for (int i = 0; i < s_pendingCount; ++i) {
        const Pending &p = s_pending[i];
        const bool input = p.sub == SUB_VINL || p.sub == SUB_VINH;
        if (input ? IsReceiverType(t) : IsDiffReferenceType(t))
            continue;
        MSG_SetLineNumber(p.line);
        if (!input)
            MSG_WarningLine(p.sub == SUB_RREF_DIFF ? 165 : 163, TypeName(t));
        else if (t != MDL_TYPE_NONE && t != MDL_TYPE_INVALID)
            MSG_WarningLine(p.sub == SUB_VINL ? 159 : 161, TypeName(t));
        CMN_FreeAndClear(p.slot);
    }
    s_pendingCount = 0;
    MSG_SetLineNumber(line);
}

// The series elements the current keyword fills; a Series model gets its
// record with the first series keyword.
bool MDL_GetSeriesInfo(MDL *m) {
    const int t = m->Model_type;
    if (t != MDL_TYPE_SERIES && t != MDL_TYPE_SERIES_SWITCH) {
        MSG_ErrorLine(206);
        return false;
    }
    if (s_series != nullptr)
        return true;
    if (t == MDL_TYPE_SERIES_SWITCH)
        MSG_ErrorLine(207);
    if (m->on == nullptr && !SINFO_Create(&m->on))
        return false;
    s_series = m->on;
    return true;
}

void MDL_BeginAddSubmodel(const char *text, MDL *m) {
    if (m->addSubmodel != nullptr)
        MSG_ErrorLine(208);
    const char *rest = text;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(122, kSourceName, __LINE__);
    } else {
        WORD_LIST words{};
        if (CMN_SplitWords(rest, 0, &words) && words.found > 0)
            MSG_ErrorLine(137, static_cast<int>(words.found) + 1, "Add Submodel", 1);
        CMN_FreeWords(&words);
    }
    if (m->Model_type == MDL_TYPE_SERIES || m->Model_type == MDL_TYPE_SERIES_SWITCH)
        MSG_ErrorLine(209);
}

void MDL_ParseAddSubmodelLine(const char *text, MDL *m) {
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        CMN_FreeWords(&words);
        return;
    }
    if (words.found == 0) {
        MSG_ErrorLine(211);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 2)
        MSG_ErrorLine(210);
    ADD_SUBMDL *row = nullptr;
    if (!CMN_Alloc(&row, sizeof(ADD_SUBMDL))) {
        MSG_Bug(100, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    row->mode = kModeNone;
    if (s_addTail == nullptr)
        for (ADD_SUBMDL *r = m->addSubmodel; r != nullptr; r = r->next)
            s_addTail = r;
    (s_addTail != nullptr ? s_addTail->next : m->addSubmodel) = row;
    s_addTail = row;

    const char *name = words.words[0];
    if (strlen(name) > 20)
        MSG_ErrorLine(212, 20);
    else if (!CMN_IsNotReservedWord(name))
        MSG_ErrorLine(213, name);
    CMN_StrNCopy(row->name, name, 20);
    if (words.found < 2) {
        MSG_ErrorLine(215);
        CMN_FreeWords(&words);
        return;
    }
    int mode = LookupValue(kModeRows, 3, "Add Submodel Mode", words.words[1]);
    if (mode >= 0)
        row->mode = mode;
    const int t = m->Model_type;
    if (row->mode == 0 && (t == MDL_TYPE_INPUT || t == MDL_TYPE_INPUT_ECL || t == MDL_TYPE_TERMINATOR))
        MSG_ErrorLine(216);
    if (row->mode == 1 && (t == MDL_TYPE_OUTPUT || t == MDL_TYPE_OPEN_DRAIN ||
                           t == MDL_TYPE_OPEN_SINK || t == MDL_TYPE_OPEN_SOURCE ||
                           t == MDL_TYPE_OUTPUT_ECL))
        MSG_ErrorLine(217);
    CMN_FreeWords(&words);
}

// Keywords that [Model Spec] (all of them) and [Receiver Thresholds] (all
// but itself and the ISSO tables) must come before.
bool OtherKeywordsGiven(const MDL *m, bool forModelSpec) {
    bool given = m->temperatureRange || m->voltageRange || m->pullupReference ||
                 m->pulldownReference || m->powerClampReference || m->gndClampReference ||
                 m->TTgnd || m->TTpower || m->driverSchedule || m->pullup || m->pulldown ||
                 m->powerClamp || m->gndClamp || m->Rgnd || m->Rpower || m->Rac || m->Cac ||
                 m->ramp || m->risingWaveform || m->fallingWaveform || m->addSubmodel;
    if (forModelSpec)
        given = given || m->receiverThresholds || m->ISSO_PD || m->ISSO_PU;
    return given;
}

// The I-V tables of a model: slot, caption while read, caption when checked.
struct CurveKeyword {
    CRV *MDL::*slot;
    const char *caption;
    const char *endCaption;
};
const CurveKeyword *FindCurve(IBIS_KEYWORD code) {
    static const CurveKeyword kPulldown = {&MDL::pulldown, "Pulldown", "Pulldown"};
    static const CurveKeyword kPullup = {&MDL::pullup, "Pullup", "Pullup"};
    static const CurveKeyword kGndClamp = {&MDL::gndClamp, "GND Clamp", "GND Clamp"};
    static const CurveKeyword kPowerClamp = {&MDL::powerClamp, "POWER Clamp", "POWER Clamp"};
    static const CurveKeyword kIssoPd = {&MDL::ISSO_PD, "ISSO_PD", "ISSO PD"};
    static const CurveKeyword kIssoPu = {&MDL::ISSO_PU, "ISSO_PU", "ISSO PU"};
    switch (code) {
    case KW_PULLDOWN: return &kPulldown;
    case KW_PULLUP: return &kPullup;
    case KW_GND_CLAMP: return &kGndClamp;
    case KW_POWER_CLAMP: return &kPowerClamp;
    case KW_ISSO_PD: return &kIssoPd;
    case KW_ISSO_PU: return &kIssoPu;
    default: return nullptr;
    }
}

// A new waveform table at the tail of its list; the tail is tracked so that
// [Composite Current] finds it without a walk.
void BeginWaveform(const char *text, WVFRM **list, WVFRM **tail, const char *caption) {
    s_waveformMade = WVFRM_Init(text, list, caption) != 0;
    if (*tail == nullptr)
        *tail = *list;
    else if ((*tail)->next != nullptr)
        *tail = (*tail)->next;
}

// [Composite Current] belongs to the last table of the waveform keyword
// just before it.
void BeginCompositeCurrent(const char *text, IBIS_KEYWORD previous) {
    if (previous != KW_RISING_WAVEFORM && previous != KW_FALLING_WAVEFORM) {
        MSG_ErrorLine(257);
        return;
    }
    // When the waveform's table could not be made, the last table of the
    // list is an earlier waveform's: its composite current is not this one.
    WVFRM *last = previous == KW_RISING_WAVEFORM ? s_risingTail : s_fallingTail;
    if (last == nullptr || !s_waveformMade)
        return;
    if (last->composite != nullptr) {
        MSG_BugLine(263);
        WVFRM_Free(last->composite);
        last->composite = nullptr;
    }
    if (WVFRM_Init(text, &last->composite, "Composite Current"))
        s_composite = last;
}

void SeriesTableKeyword(IBIS_KEYWORD code, const char *text, MDL *m) {
    if (!MDL_GetSeriesInfo(m))
        return;
    if (code == KW_SERIES_CURRENT) {
        CRV_Init(text, "Series_Current", &s_series->series_current);
        return;
    }
    SMOS *entry = nullptr;
    if (SMOS_Init(text, &s_series->series_mosfet, &entry))
        CRV_Init(text, "Series_MOSFET", &entry->table);
}

void KeywordLine(IBIS_KEYWORD code, char *text, MDL *m, IBIS_KEYWORD previous) {
    const MDL_SUBSECTION_OPS &sub = MDL_subsections;
    if (const CurveKeyword *c = FindCurve(code)) {
        CRV_Init(text, c->caption, &(m->*c->slot));
        return;
    }
    switch (code) {
    case KW_EXTERNAL_MODEL:
        if (m->externalModel != nullptr)
            MSG_ErrorLine(119, "[External_Model]", m->name);
        else if (MDL_externalOps.create)
            MDL_externalOps.create(&m->externalModel);
        break;
    case KW_MODEL:
        MDL_ParseModelName(text, m);
        break;
    case KW_TEMPERATURE_RANGE:
        MDL_ParseRangeKeyword(text, "Temperature Range", m, &m->temperatureRange);
        break;
    case KW_VOLTAGE_RANGE:
        MDL_ParseRangeKeyword(text, "Voltage Range", m, &m->voltageRange);
        break;
    case KW_PULLUP_REFERENCE:
        MDL_ParseRangeKeyword(text, "Pullup Reference", m, &m->pullupReference);
        break;
    case KW_PULLDOWN_REFERENCE:
        MDL_ParseRangeKeyword(text, "Pulldown Reference", m, &m->pulldownReference);
        break;
    case KW_POWER_CLAMP_REFERENCE:
        MDL_ParseRangeKeyword(text, "POWER Clamp Reference", m, &m->powerClampReference);
        break;
    case KW_GND_CLAMP_REFERENCE:
        MDL_ParseRangeKeyword(text, "GND Clamp Reference", m, &m->gndClampReference);
        break;
    case KW_EXTERNAL_REFERENCE:
        MDL_ParseRangeKeyword(text, "External Reference", m, &m->externalReference);
        break;
    case KW_RGND:
        MDL_ParseRangeKeyword(text, "Rgnd", m, &m->Rgnd);
        break;
    case KW_RPOWER:
        MDL_ParseRangeKeyword(text, "Rpower", m, &m->Rpower);
        break;
    case KW_RAC:
        MDL_ParseRangeKeyword(text, "Rac", m, &m->Rac);
        break;
    case KW_CAC:
        MDL_ParseRangeKeyword(text, "Cac", m, &m->Cac);
        break;
    case KW_TTGND:
        CheckTransitTime(MDL_ParseRangeKeyword(text, "TTgnd", m, &m->TTgnd), {108, 109, 110});
        break;
    case KW_TTPOWER:
        CheckTransitTime(MDL_ParseRangeKeyword(text, "TTpower", m, &m->TTpower), {112, 113, 114});
        break;
    case KW_MODEL_SPEC:
        if (OtherKeywordsGiven(m, true))
            MSG_ErrorLine(116);
        if (sub.mspecInit)
            sub.mspecInit(text, &m->modelSpec);
        break;
    case KW_RECEIVER_THRESHOLDS:
        if (OtherKeywordsGiven(m, false))
            MSG_ErrorLine(120);
        if (!IsReceiverType(m->Model_type))
            MSG_WarningLine(117, TypeName(m->Model_type));
        if (sub.rcvthInit)
            sub.rcvthInit(text, &m->receiverThresholds);
        break;
    case KW_DRIVER_SCHEDULE:
        if (sub.drvshInit)
            sub.drvshInit(text, &m->driverSchedule, m->name);
        break;
    case KW_ON:
    case KW_OFF: {
        if (m->Model_type != MDL_TYPE_SERIES_SWITCH) {
            MSG_ErrorLine(205);
            break;
        }
        SINFO **slot = code == KW_ON ? &m->on : &m->off;
        // The old record goes; the current one must not point at it even
        // when no new one can be made.
        if (s_series == *slot)
            s_series = nullptr;
        if (SINFO_Init(text, slot, code == KW_ON ? "[On]" : "[Off]"))
            s_series = *slot;
        break;
    }
    case KW_R_SERIES:
    case KW_L_SERIES:
    case KW_RL_SERIES:
    case KW_C_SERIES:
    case KW_LC_SERIES:
    case KW_RC_SERIES: {
        static const char *const kCaptions[] = {"R_series",  "L_series",  "Rl_series",
                                                "C_series",  "Lc_series", "Rc_series"};
        if (!MDL_GetSeriesInfo(m))
            break;
        RNG **const slots[] = {&s_series->R_series,  &s_series->L_series,
                               &s_series->Rl_series, &s_series->C_series,
                               &s_series->Lc_series, &s_series->Rc_series};
        const int i = code - KW_R_SERIES;
        MDL_ParseRangeKeyword(text, kCaptions[i], m, slots[i]);
        break;
    }
    case KW_ADD_SUBMODEL:
        MDL_BeginAddSubmodel(text, m);
        break;
    case KW_ALGORITHMIC_MODEL:
        ALGMOD_Init(text, &m->algorithmicModel, m->name);
        break;
    case KW_BEGIN_EMI_MODEL:
        if (sub.mdlemiInit)
            sub.mdlemiInit(text, &m->emiModel, code);
        break;
    case KW_RAMP:
        RAMP_Init(text, &m->ramp, m->name);
        break;
    case KW_RISING_WAVEFORM:
        BeginWaveform(text, &m->risingWaveform, &s_risingTail, "Rising Waveform");
        break;
    case KW_FALLING_WAVEFORM:
        BeginWaveform(text, &m->fallingWaveform, &s_fallingTail, "Falling Waveform");
        break;
    case KW_SERIES_CURRENT:
    case KW_SERIES_MOSFET:
        SeriesTableKeyword(code, text, m);
        break;
    case KW_COMPOSITE_CURRENT:
        BeginCompositeCurrent(text, previous);
        break;
    default:  // block ends: checked when the next keyword arrives
        break;
    }
}

void DataLine(IBIS_KEYWORD code, char *text, MDL *m) {
    const MDL_SUBSECTION_OPS &sub = MDL_subsections;
    if (const CurveKeyword *c = FindCurve(code)) {
        CRV_ParseLine(text, m->*c->slot, c->caption);  // nothing without a table
        return;
    }
    switch (code) {
    case KW_EXTERNAL_MODEL:
        if (MDL_externalOps.parseLine && m->externalModel != nullptr)
            MDL_externalOps.parseLine(text, m->externalModel, 0);
        break;
    case KW_MODEL:
        MDL_ParseSubparam(text, m);
        break;
    case KW_END_EXTERNAL_MODEL:
    case KW_TEMPERATURE_RANGE:
    case KW_VOLTAGE_RANGE:
    case KW_PULLUP_REFERENCE:
    case KW_PULLDOWN_REFERENCE:
    case KW_POWER_CLAMP_REFERENCE:
    case KW_GND_CLAMP_REFERENCE:
    case KW_EXTERNAL_REFERENCE:
    case KW_RGND:
    case KW_RPOWER:
    case KW_RAC:
    case KW_CAC:
    case KW_TTGND:
    case KW_TTPOWER:
    case KW_ON:
    case KW_OFF:
    case KW_R_SERIES:
    case KW_L_SERIES:
    case KW_RL_SERIES:
    case KW_C_SERIES:
    case KW_LC_SERIES:
    case KW_RC_SERIES:
    case KW_END_ALGORITHMIC_MODEL:
        MSG_ErrorLine(121);
        break;
    case KW_MODEL_SPEC:
        if (sub.mspecParseLine && m->modelSpec != nullptr)
            sub.mspecParseLine(text, m->modelSpec, m);
        break;
    case KW_RECEIVER_THRESHOLDS:
        if (sub.rcvthParseLine && m->receiverThresholds != nullptr)
            sub.rcvthParseLine(text, m->receiverThresholds, m->name);
        break;
    case KW_DRIVER_SCHEDULE:
        if (sub.drvshParseLine && m->driverSchedule != nullptr)
            sub.drvshParseLine(text, m->driverSchedule, m->name);
        break;
    case KW_ADD_SUBMODEL:
        MDL_ParseAddSubmodelLine(text, m);
        break;
    case KW_ALGORITHMIC_MODEL:
        if (m->algorithmicModel != nullptr)
            ALGMOD_ParseLine(text, m->algorithmicModel);
        break;
    case KW_BEGIN_EMI_MODEL:
        if (sub.mdlemiParseLine && m->emiModel != nullptr)
            sub.mdlemiParseLine(text, m->emiModel);
        break;
    case KW_END_EMI_MODEL:
        MSG_ErrorLine(174);
        break;
    case KW_RAMP:
        if (m->ramp != nullptr)
            RAMP_ParseLine(text, m->ramp, m->name);
        break;
    case KW_RISING_WAVEFORM:
        WVFRM_ParseLine(text, "Rising Waveform");
        break;
    case KW_FALLING_WAVEFORM:
        WVFRM_ParseLine(text, "Falling Waveform");
        break;
    case KW_SERIES_CURRENT:
        if (MDL_GetSeriesInfo(m) && s_series->series_current != nullptr)
            CRV_ParseLine(text, s_series->series_current, "Series_Current");
        break;
    case KW_SERIES_MOSFET:
        if (MDL_GetSeriesInfo(m))
            SMOS_ParseLine(text);
        break;
    case KW_COMPOSITE_CURRENT:
        if (s_composite != nullptr)
            WVFRM_ParseLine(text, "Composite Current");
        break;
    default:
        MSG_BugLine(122, kSourceName, __LINE__);
        break;
    }
}

// Closes the block of the model's last keyword. False when the model must
// stay open as it is.
bool EndLastKeyword(MDL *m, IBIS_KEYWORD next) {
    const MDL_SUBSECTION_OPS &sub = MDL_subsections;
    if (const CurveKeyword *c = FindCurve(s_last)) {
        CRV_EndKeyword(m->name, m->Model_type, s_last, m->*c->slot, c->endCaption, "Model");
        return true;
    }
    switch (s_last) {
    case KW_EXTERNAL_MODEL:
        if (MDL_externalOps.end && MDL_externalOps.end(m, next)) {
            MSG_ErrorLine(123);
            return false;
        }
        break;
    case KW_MODEL:
        MDL_CheckModelKeyword(m);
        break;
    case KW_MODEL_SPEC:
        if (sub.mspecEndKeyword && m->modelSpec != nullptr)
            sub.mspecEndKeyword(m);
        break;
    case KW_RECEIVER_THRESHOLDS:
        if (sub.rcvthEndKeyword && m->receiverThresholds != nullptr)
            sub.rcvthEndKeyword(m);
        break;
    case KW_DRIVER_SCHEDULE:
        if (sub.drvshEndKeyword && m->driverSchedule != nullptr)
            sub.drvshEndKeyword(m->driverSchedule, m->name);
        break;
    case KW_ALGORITHMIC_MODEL:
        if (next != KW_END_ALGORITHMIC_MODEL)
            MSG_ErrorLine(259);
        if (m->algorithmicModel != nullptr)
            ALGMOD_CheckExecutables(m->algorithmicModel);
        break;
    case KW_BEGIN_EMI_MODEL:
        if (next != KW_END_EMI_MODEL)
            MSG_ErrorLine(260);
        if (sub.mdlemiEndKeyword && m->emiModel != nullptr)
            sub.mdlemiEndKeyword(m);
        break;
    case KW_RAMP:
        if (m->ramp != nullptr)
            RAMP_EndKeyword(m->ramp);
        break;
    case KW_RISING_WAVEFORM:
        WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM);
        break;
    case KW_FALLING_WAVEFORM:
        WVFRM_EndKeyword("Falling", WVFRM_KIND_WAVEFORM);
        break;
    case KW_SERIES_CURRENT:
        if (s_series != nullptr && s_series->series_current != nullptr)
            CRV_EndKeyword(m->name, m->Model_type, s_last, s_series->series_current,
                           "Series_Current", "Model");
        break;
    case KW_SERIES_MOSFET:
        if (s_series != nullptr && s_series->series_mosfet != nullptr)
            SMOS_CheckTable(m->name, m->Model_type, s_last);
        break;
    case KW_COMPOSITE_CURRENT:
        if (s_composite != nullptr) {
            WVFRM_EndKeyword("Composite Current", WVFRM_KIND_COMPOSITE);
            s_composite = nullptr;
        }
        break;
    default:
        break;
    }
    return true;
}

}  // namespace

// ---- Lookups ---------------------------------------------------------------

MDL *MDL_FindByName(const char *name, MDL *models) {
    return IndexFind(s_models, models, name);
}

int MDL_MarkReferenced(const char *name, MDL *models) {
    MDL *m = MDL_FindByName(name, models);
    if (m == nullptr)
        return 0;
    m->referenced = 1;
    return 1;
}

int MDL_GetTypeByName(MDL *models, const char *name, int *modelType) {
    MSG_ASSERT(modelType != nullptr);
    MDL *m = MDL_FindByName(name, models);
    if (m == nullptr)
        return 0;
    *modelType = m->Model_type;
    return 1;
}

void MDL_GetModelTypeName(int code, const char **text) {
    MSG_ASSERT(text != nullptr);
    MSG_ASSERT(code >= 0 && code < kTypeCount);
    *text = kTypeNames[code];
}

// ---- Section handlers --------------------------------------------------------

void MDL_Init(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(101);
        return;
    }
    // A model left open (an unfinished [External Model]) is given up here.
    s_current = nullptr;
    ClearModelState();
    MDL *m = nullptr;
    if (!MDL_Create(&m))
        return;
    IBIS_AddModel(root, m);
    s_current = m;
}

void MDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    if (s_current == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 102 : 107);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        // [Composite Current] looks at the keyword before it.
        const IBIS_KEYWORD previous = s_last;
        s_last = code;
        KeywordLine(code, text, s_current, previous);
    } else {
        DataLine(code, text, s_current);
    }
}

void MDL_EndKeyword(IBIS_KEYWORD nextCode) {
    MDL *m = s_current;
    if (m == nullptr)
        return;
    if (!EndLastKeyword(m, nextCode))
        return;
    if (nextCode == KW_END_ALGORITHMIC_MODEL && s_last != KW_ALGORITHMIC_MODEL)
        MSG_ErrorLine(261);
    if (nextCode == KW_END_EMI_MODEL && s_last != KW_BEGIN_EMI_MODEL)
        MSG_ErrorLine(262);
    if (nextCode == KW_MODEL || nextCode < KW_EXTERNAL_MODEL || nextCode > KW_END_EMI_MODEL) {
        MDL_CheckModel(m);
        s_current = nullptr;
        ClearModelState();
    }
}

void MDL_Reset(void) {
    s_current = nullptr;
    ClearModelState();
    IndexDrop(s_models);
}

void MDL_ClearSeriesInfo(void) { s_series = nullptr; }

// ---- End checks ----------------------------------------------------------------

void MDL_CheckModelKeyword(MDL *m) {
    MSG_ASSERT(m != nullptr);
    if (m == s_current)
        JudgePending(m);
    const int t = m->Model_type;
    if (t == MDL_TYPE_NONE)
        MSG_Error(180, m->name, "Model_type");
    const bool io = t == MDL_TYPE_IO || t == MDL_TYPE_IO_OPEN_DRAIN || t == MDL_TYPE_IO_OPEN_SINK ||
                    t == MDL_TYPE_IO_OPEN_SOURCE || t == MDL_TYPE_IO_ECL;
    if (io && m->Vmeas != nullptr) {
        if (m->Vinl != nullptr && *m->Vinl >= *m->Vmeas)
            MSG_Caution(182, m->name);
        if (m->Vinh != nullptr && *m->Vmeas >= *m->Vinh)
            MSG_Caution(183, m->name);
    }
}

void MDL_CheckModel(MDL *m) {
    MSG_ASSERT(m != nullptr);
    const char *n = m->name;
    const int t = m->Model_type;

    if (!m->C_comp && !m->C_comp_pullup && !m->C_comp_pulldown && !m->C_comp_power_clamp &&
        !m->C_comp_gnd_clamp && !m->externalModel)
        MSG_Error(181, n);

    if (IsReceiverType(t) && m->receiverThresholds == nullptr) {
        if (m->Vinl == nullptr)
            MSG_Warning(184, n, TypeName(t), "Vinl");
        if (m->Vinh == nullptr)
            MSG_Warning(184, n, TypeName(t), "Vinh");
    }

    if (t != MDL_TYPE_TERMINATOR) {
        const RNG *const given[] = {m->Rgnd, m->Rpower, m->Rac, m->Cac};
        static const char *const kNames[] = {"Rgnd", "Rpower", "Rac", "Cac"};
        for (int i = 0; i < 4; ++i)
            if (given[i] != nullptr)
                MSG_Error(185, n, kNames[i]);
    }
    if (m->Rac != nullptr && m->Cac == nullptr)
        MSG_Error(187, n);
    if (m->Cac != nullptr && m->Rac == nullptr)
        MSG_Error(186, n);

    if (m->voltageRange == nullptr) {
        const RNG *const given[] = {m->pullupReference, m->pulldownReference,
                                    m->powerClampReference, m->gndClampReference};
        static const char *const kNames[] = {"Pullup Reference", "Pulldown Reference",
                                             "POWER Clamp Reference", "GND Clamp Reference"};
        for (int i = 0; i < 4; ++i)
            if (given[i] == nullptr)
                MSG_Error(188, n, kNames[i]);
    }

    const bool series = t == MDL_TYPE_SERIES || t == MDL_TYPE_SERIES_SWITCH;
    if (t == MDL_TYPE_INPUT || t == MDL_TYPE_INPUT_ECL || t == MDL_TYPE_TERMINATOR ||
        t == MDL_TYPE_INPUT_DIFF) {
        // receivers and terminators have no [Ramp] to check
    } else if (series) {
        if (m->ramp != nullptr)
            MSG_Error(189, n);
    } else if (m->ramp == nullptr) {
        MSG_Error(190, n);
    }

    if (series) {
        const int code = t == MDL_TYPE_SERIES ? 191 : 192;
        const bool given[] = {m->pullup != nullptr, m->pulldown != nullptr,
                              m->powerClamp != nullptr, m->gndClamp != nullptr,
                              m->risingWaveform != nullptr, m->fallingWaveform != nullptr,
                              m->TTgnd != nullptr, m->TTpower != nullptr,
                              m->driverSchedule != nullptr};
        static const char *const kNames[] = {"Pullup", "Pulldown", "POWER_Clamp", "GND_Clamp",
                                             "Rising Waveform", "Falling Waveform", "TTgnd",
                                             "TTpower", "Driver Schedule"};
        for (int i = 0; i < 9; ++i)
            if (given[i])
                MSG_Error(code, n, kNames[i]);
        if (m->modelSpec != nullptr)
            MSG_Warning(code, n, "Model Spec");
    }

    if (t == MDL_TYPE_SERIES && m->on != nullptr) {
        SINFO_Check(m->on, n, "");
    } else if (t == MDL_TYPE_SERIES_SWITCH) {
        if (m->on == nullptr)
            MSG_Error(193, n);
        else
            SINFO_Check(m->on, n, "[On]");
        if (m->off == nullptr)
            MSG_Error(194, n);
        else
            SINFO_Check(m->off, n, "[Off]");
    }

    const RCVTH *rt = m->receiverThresholds;
    if (rt != nullptr && rt->Reference_supply != nullptr) {
        const char *s = rt->Reference_supply;
        if (strcmp(s, "Power_clamp_ref") == 0 && m->powerClampReference == nullptr)
            MSG_Error(195, n);
        else if (strcmp(s, "Gnd_clamp_ref") == 0 && m->gndClampReference == nullptr)
            MSG_Error(196, n);
        else if (strcmp(s, "Pullup_ref") == 0 && m->pullupReference == nullptr)
            MSG_Error(197, n);
        else if (strcmp(s, "Pulldown_ref") == 0 && m->pulldownReference == nullptr)
            MSG_Error(198, n);
        else if (strcmp(s, "Ext_ref") == 0 && m->externalReference == nullptr)
            MSG_Error(199, n);
    }

    const MSPEC *spec = m->modelSpec;
    const bool vmeas = m->Vmeas != nullptr || (spec != nullptr && spec->Vmeas != nullptr);
    const bool vref = m->Vref != nullptr || (spec != nullptr && spec->Vref != nullptr);
    const bool rref = m->Rref != nullptr || (spec != nullptr && spec->Rref != nullptr);
    switch (t) {
    case MDL_TYPE_OUTPUT:
    case MDL_TYPE_IO:
    case MDL_TYPE_3STATE:
        if (!vmeas)
            MSG_Warning(201, n);
        break;
    case MDL_TYPE_OPEN_DRAIN:
    case MDL_TYPE_IO_OPEN_DRAIN:
    case MDL_TYPE_OPEN_SINK:
    case MDL_TYPE_IO_OPEN_SINK:
    case MDL_TYPE_OPEN_SOURCE:
    case MDL_TYPE_IO_OPEN_SOURCE:
    case MDL_TYPE_OUTPUT_ECL:
    case MDL_TYPE_IO_ECL:
    case MDL_TYPE_3STATE_ECL:
        if (!(vmeas && vref && rref))
            MSG_Warning(200, n);
        break;
    case MDL_TYPE_IO_DIFF:
    case MDL_TYPE_OUTPUT_DIFF:
    case MDL_TYPE_3STATE_DIFF:
        if (m->Rref_diff == nullptr && m->Cref_diff == nullptr)
            MSG_Warning(202, n);
        break;
    default:
        break;
    }
}

void MDL_CheckAddSubmodelRefs(MDL *models, SUBMDL *submodels) {
    if (MDL_submodelOps.findByName == nullptr)
        return;
    for (MDL *m = models; m != nullptr; m = m->next)
        for (ADD_SUBMDL *row = m->addSubmodel; row != nullptr; row = row->next)
            if (submodels == nullptr || MDL_submodelOps.findByName(row->name, submodels) == nullptr)
                MSG_Error(218, row->name, m->name);
}

void MDL_WarnUnreferenced(MDL *models) {
    for (MDL *m = models; m != nullptr; m = m->next) {
        if (!m->referenced) {
            MSG_Warning(219, m->name);
            return;
        }
    }
}

void MDL_CheckSubmodelsReferenced(MDL *models, SUBMDL *submodels) {
    const MDL_SUBMODEL_OPS &ops = MDL_submodelOps;
    if (ops.next == nullptr || ops.name == nullptr)
        return;
    // Every row's name, so that each submodel is one lookup.
    NAME_INDEX names{};
    bool indexed = true;
    for (MDL *m = models; m != nullptr && indexed; m = m->next) {
        for (ADD_SUBMDL *row = m->addSubmodel; row != nullptr && indexed; row = row->next) {
            int added = 0;
            indexed = NAMEIDX_Add(&names, row->name, &added) != nullptr;
        }
    }
    for (SUBMDL *s = submodels; s != nullptr; s = ops.next(s)) {
        const char *name = ops.name(s);
        bool named = false;
        if (indexed) {
            named = NAMEIDX_Find(&names, name) != nullptr;
        } else {
            for (MDL *m = models; m != nullptr && !named; m = m->next)
                for (ADD_SUBMDL *r = m->addSubmodel; r != nullptr && !named; r = r->next)
                    named = strcmp(r->name, name) == 0;
        }
        if (!named)
            MSG_Warning(220, name);
    }
    NAMEIDX_Clear(&names);
}

// ---- Records -----------------------------------------------------------------

int MDL_Create(MDL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(MDL))) {
        MSG_Bug(100, kSourceName, __LINE__);
        return 0;
    }
    (*out)->single_ended = 2;
    return 1;
}

void MDL_SetNext(MDL *record, MDL *next) {
    MSG_ASSERT(record != nullptr);
    record->next = next;
}

namespace {

// A sub-section record freed through its slot in the hook table; a record
// exists only if its section was plugged in.
template <typename T>
void FreeThrough(void (*freeRecord)(T *), T *record) {
    if (record == nullptr)
        return;
    MSG_ASSERT(freeRecord != nullptr);
    freeRecord(record);
}

}  // namespace

void MDL_Free(MDL *m) {
    if (m == nullptr)
        return;
    double *const values[] = {m->Vinl, m->Vinh, m->Vmeas, m->Cref, m->Rref, m->Vref,
                              m->Cref_diff, m->Rref_diff};
    for (double *v : values)
        CMN_Free(v);
    RNG *const ranges[] = {m->C_comp, m->C_comp_pullup, m->C_comp_pulldown,
                           m->C_comp_power_clamp, m->C_comp_gnd_clamp, m->temperatureRange,
                           m->voltageRange, m->pullupReference, m->pulldownReference,
                           m->powerClampReference, m->gndClampReference, m->externalReference,
                           m->TTgnd, m->TTpower, m->Rgnd, m->Rpower, m->Rac, m->Cac};
    for (RNG *r : ranges)
        RNG_Free(r);
    const MDL_SUBSECTION_OPS &sub = MDL_subsections;
    FreeThrough(sub.drvshFree, m->driverSchedule);
    FreeThrough(sub.mspecFree, m->modelSpec);
    FreeThrough(sub.rcvthFree, m->receiverThresholds);
    FreeThrough(sub.mdlemiFree, m->emiModel);
    FreeThrough(MDL_externalOps.free, m->externalModel);
    SINFO_Free(m->on);
    SINFO_Free(m->off);
    for (ADD_SUBMDL *row = m->addSubmodel; row != nullptr;) {
        ADD_SUBMDL *next = row->next;
        CMN_Free(row);
        row = next;
    }
    ALGMOD_Free(m->algorithmicModel);
    CRV *const curves[] = {m->pulldown, m->pullup, m->gndClamp, m->powerClamp, m->ISSO_PU,
                           m->ISSO_PD};
    for (CRV *c : curves)
        CRV_Free(c);
    RAMP_Free(m->ramp);
    WVFRM_Free(m->risingWaveform);
    WVFRM_Free(m->fallingWaveform);
    CMN_Free(m);
}

void MDL_FreeList(MDL *list) {
    // The index and the current model may point into this list.
    IndexDrop(s_models);
    while (list != nullptr) {
        MDL *next = list->next;
        if (list == s_current) {
            s_current = nullptr;
            ClearModelState();
        }
        MDL_Free(list);
        list = next;
    }
}

// ---- [External Model] and [External Circuit] ---------------------------------

namespace {

// Sub-parameters of an external description.
enum {
    EXT_LANGUAGE = 17, EXT_CORNER_LINE, EXT_PORTS, EXT_D_TO_A, EXT_A_TO_D, EXT_PARAMETERS,
    EXT_PORT_TYPE
};
const Row kExtSubparams[] = {
    {"Language", EXT_LANGUAGE}, {"Corner", EXT_CORNER_LINE}, {"Ports", EXT_PORTS},
    {"D_to_A", EXT_D_TO_A},     {"A_to_D", EXT_A_TO_D},      {"Parameters", EXT_PARAMETERS},
    {"Port_type", EXT_PORT_TYPE}, {nullptr, 0}};
const Row kLanguages[] = {{"SPICE", MDL_LANG_SPICE},           {"VHDL-AMS", MDL_LANG_VHDL_AMS},
                          {"VHDL-A(MS)", MDL_LANG_SPICE},      {"Verilog-AMS", MDL_LANG_VERILOG_AMS},
                          {"Verilog-A(MS)", MDL_LANG_SPICE},   {nullptr, 0}};
enum { CORNER_TYP = 24, CORNER_MIN, CORNER_MAX };
const Row kCorners[] = {{"Min", CORNER_MIN}, {"Typ", CORNER_TYP}, {"Max", CORNER_MAX}, {nullptr, 0}};

// Longest file or circuit name of a Corner line.
const size_t kCornerNameMax = 111;

// Reserved ports; a port's bit is 1 << its place here.
const char *const kReservedPorts[] = {
    "A_puref", "A_pcref", "A_pdref", "A_gcref", "A_signal", "A_extref", "A_gnd", "A_pos",
    "A_neg",   "A_signal_pos", "A_signal_neg", "D_drive", "D_enable", "D_receive", "D_switch"};
const int kReservedCount = static_cast<int>(sizeof kReservedPorts / sizeof kReservedPorts[0]);
const int kFirstDigital = 11;
enum : unsigned {
    BIT_A_GND = 1u << 6,
    BIT_D_DRIVE = 1u << 11,
    BIT_D_ENABLE = 1u << 12,
    BIT_D_RECEIVE = 1u << 13,
    BIT_D_SWITCH = 1u << 14,
    // Reserved ports any model may use.
    BITS_ALWAYS_ALLOWED = 0x6Fu  // A_puref, A_pcref, A_pdref, A_gcref, A_extref, A_gnd
};

// Place of a reserved port, or -1.
int ReservedPlace(const char *name) {
    if ((name[0] != 'A' && name[0] != 'D') || name[1] != '_')
        return -1;
    for (int i = 0; i < kReservedCount; ++i)
        if (strcmp(kReservedPorts[i], name) == 0)
            return i;
    return -1;
}
unsigned ReservedBit(const char *name) {
    const int place = ReservedPlace(name);
    return place < 0 ? 0u : 1u << place;
}
bool IsReservedDigital(const char *name) { return ReservedPlace(name) >= kFirstDigital; }
bool IsReservedAnalog(const char *name) {
    const int place = ReservedPlace(name);
    return place >= 0 && place < kFirstDigital;
}

// The reserved ports a Model_type requires, in the order they are reported.
const char *const *RequiredPorts(int type) {
    static const char *const kNone[] = {nullptr};
    static const char *const kInput[] = {"D_receive", "A_signal", nullptr};
    static const char *const kOutput[] = {"D_drive", "A_signal", nullptr};
    static const char *const k3State[] = {"D_drive", "D_enable", "A_signal", nullptr};
    static const char *const kIO[] = {"D_drive", "D_enable", "D_receive", "A_signal", nullptr};
    static const char *const kTerminator[] = {"A_signal", nullptr};
    static const char *const kSeries[] = {"A_pos", "A_neg", nullptr};
    static const char *const kSeriesSwitch[] = {"D_switch", "A_pos", "A_neg", nullptr};
    static const char *const kIODiff[] = {"D_drive", "D_enable", "D_receive", "A_signal_pos",
                                          "A_signal_neg", nullptr};
    static const char *const kOutputDiff[] = {"D_drive", "A_signal_pos", "A_signal_neg", nullptr};
    static const char *const k3StateDiff[] = {"D_drive", "D_enable", "A_signal_pos",
                                              "A_signal_neg", nullptr};
    static const char *const kInputDiff[] = {"D_receive", "A_signal_pos", "A_signal_neg", nullptr};
    switch (type) {
    case MDL_TYPE_INPUT:
    case MDL_TYPE_INPUT_ECL: return kInput;
    case MDL_TYPE_OUTPUT:
    case MDL_TYPE_OPEN_DRAIN:
    case MDL_TYPE_OPEN_SINK:
    case MDL_TYPE_OPEN_SOURCE:
    case MDL_TYPE_OUTPUT_ECL: return kOutput;
    case MDL_TYPE_3STATE:
    case MDL_TYPE_3STATE_ECL: return k3State;
    case MDL_TYPE_IO:
    case MDL_TYPE_IO_OPEN_DRAIN:
    case MDL_TYPE_IO_OPEN_SINK:
    case MDL_TYPE_IO_OPEN_SOURCE:
    case MDL_TYPE_IO_ECL: return kIO;
    case MDL_TYPE_TERMINATOR: return kTerminator;
    case MDL_TYPE_SERIES: return kSeries;
    case MDL_TYPE_SERIES_SWITCH: return kSeriesSwitch;
    case MDL_TYPE_IO_DIFF: return kIODiff;
    case MDL_TYPE_OUTPUT_DIFF: return kOutputDiff;
    case MDL_TYPE_3STATE_DIFF: return k3StateDiff;
    case MDL_TYPE_INPUT_DIFF: return kInputDiff;
    default: return kNone;
    }
}

int FindWord(const Row *rows, const char *word) { return FindRow(rows, word, strlen(word)); }

// Every word of the line (a line of 1024 characters holds at most 512).
int SplitAll(const char *text, WORD_LIST *words) {
    WORD_LIST count{};
    if (!CMN_SplitWords(text, 0, &count))
        return 0;
    return CMN_SplitWords(text, count.found, words);
}

// A record followed by copies of texts, in one block; the copies' addresses
// go to texts[i]. Null after bug 100.
void *AllocWithTexts(size_t size, const char *const *sources, const char **texts, int count) {
    size_t total = size;
    for (int i = 0; i < count; ++i)
        total += strlen(sources[i]) + 1;
    char *block = nullptr;
    if (!CMN_Alloc(&block, total)) {
        MSG_Bug(100, kSourceName, __LINE__);
        return nullptr;
    }
    char *at = block + size;
    for (int i = 0; i < count; ++i) {
        const size_t length = strlen(sources[i]);
        memcpy(at, sources[i], length + 1);
        texts[i] = at;
        at += length + 1;
    }
    return block;
}

EXT_NAME *NewName(const char *text) {
    const char *copy = nullptr;
    auto *node = static_cast<EXT_NAME *>(AllocWithTexts(sizeof(EXT_NAME), &text, &copy, 1));
    if (node != nullptr)
        node->text = copy;
    return node;
}

void FreeCorner(EXT_CORNER *corner) {
    if (corner == nullptr)
        return;
    CMN_FreeChain(corner->dToA);
    CMN_FreeChain(corner->aToD);
    NAMEIDX_Clear(&corner->aToDDigital);
    CMN_Free(corner);
}

EXT_CORNER *NewCorner(const char *fileName, const char *circuitName) {
    const char *const sources[] = {fileName, circuitName};
    const char *texts[2] = {};
    auto *corner = static_cast<EXT_CORNER *>(AllocWithTexts(sizeof(EXT_CORNER), sources, texts, 2));
    if (corner != nullptr) {
        corner->fileName = texts[0];
        corner->circuitName = texts[1];
    }
    return corner;
}

EXT_CORNER **CornerSlot(EXTMDL *d, int corner) {
    return corner == CORNER_TYP ? &d->typ : corner == CORNER_MIN ? &d->min : &d->max;
}

// The digital-port rule: a new entry of Ports (spicePorts: of a SPICE
// description) or of the converters' digital ports, and what D_switch may
// not share a list with. 0 when out of memory.
int MDL_CheckDigitalPorts(const char *port, EXT_NAME **list, unsigned *reserved, bool spicePorts) {
    const bool digital = IsReservedDigital(port);
    if (spicePorts && digital)
        MSG_ErrorLine(103, port);
    EXT_NAME *node = NewName(port);
    if (node == nullptr)
        return 0;
    node->next = *list;
    *list = node;
    const unsigned bit = ReservedBit(port);
    if (bit == BIT_D_SWITCH && (*reserved & (BIT_D_DRIVE | BIT_D_RECEIVE | BIT_D_ENABLE)) != 0)
        MSG_ErrorLine(104);
    if ((bit & (BIT_D_DRIVE | BIT_D_RECEIVE | BIT_D_ENABLE)) != 0 && (*reserved & BIT_D_SWITCH) != 0)
        MSG_ErrorLine(105, port);
    *reserved |= bit;
    return 1;
}

void AddPort(EXTMDL *d, const char *port) {
    if (!MDL_CheckDigitalPorts(port, &d->ports, &d->portsReserved, d->language == MDL_LANG_SPICE))
        return;
    ++d->portCount;
    int added = 0;
    if (!d->portIndexFailed && NAMEIDX_Add(&d->portIndex, d->ports->text, &added) == nullptr)
        d->portIndexFailed = 1;
}

void AddParameter(EXTMDL *d, const char *name) {
    EXT_NAME *node = NewName(name);
    if (node == nullptr)
        return;
    (d->parametersTail != nullptr ? d->parametersTail->next : d->parameters) = node;
    d->parametersTail = node;
}

void ParseLanguage(EXTMDL *d, const WORD_LIST &w) {
    if (d->language != MDL_LANG_NONE) {
        MSG_ErrorLine(135);
        return;
    }
    const char *word = w.found > 1 ? w.words[1] : "";
    const int language = FindWord(kLanguages, word);
    if (language == 0)
        MSG_ErrorLine(136, "Language", word, "SPICE, VHDL-AMS, VHDL-A(MS), Verilog-AMS, Verilog-A(MS)");
    else
        d->language = language;
}

void ParseCorner(EXTMDL *d, const WORD_LIST &w) {
    if (w.found != 4)
        MSG_ErrorLine(137, static_cast<int>(w.found) - 1, "Corner", 3);
    if (w.found < 4)
        return;
    if (d->language == MDL_LANG_NONE)
        MSG_ErrorLine(138);
    const int corner = FindWord(kCorners, w.words[1]);
    if (corner == 0) {
        MSG_ErrorLine(136, "Corner", w.words[1], "Typ,Min,Max");
        return;
    }
    EXT_CORNER **slot = CornerSlot(d, corner);
    if (*slot != nullptr) {
        MSG_ErrorLine(corner == CORNER_TYP ? 139 : corner == CORNER_MIN ? 141 : 140);
        return;
    }
    // Names longer than a corner holds are refused, not cut.
    if (strlen(w.words[2]) > kCornerNameMax) {
        MSG_ErrorLine(149, "Corner file name", w.words[2]);
        return;
    }
    if (strlen(w.words[3]) > kCornerNameMax) {
        MSG_ErrorLine(149, "Corner circuit name", w.words[3]);
        return;
    }
    *slot = NewCorner(w.words[2], w.words[3]);
}

// The corner a converter row goes to. Min and Max are made from the Typ
// corner's names, so without a Typ corner the row is refused (noTyp).
EXT_CORNER *ConverterCorner(EXTMDL *d, const char *name, int noTyp) {
    const int corner = FindWord(kCorners, name);
    if (corner == 0) {
        MSG_ErrorLine(149, "Corner", name);
        return nullptr;
    }
    if (d->typ == nullptr) {
        MSG_ErrorLine(noTyp);
        return nullptr;
    }
    EXT_CORNER **slot = CornerSlot(d, corner);
    if (*slot == nullptr)
        *slot = NewCorner(d->typ->fileName, d->typ->circuitName);
    return *slot;
}

// Reads one converter value; 149 when it is no number.
bool ReadConverterValue(const char *word, const char *name, double *value) {
    if (CMN_GetValue(word, value) != 0)
        return true;
    *value = 0.0;
    MSG_ErrorLine(149, name, word);
    return false;
}

// The checks a D_to_A and an A_to_D row share up to their values: the
// analog ports, and for an [External Circuit] the digital port's kind.
// False when the row is refused.
bool CheckConverterPorts(EXTMDL *d, const WORD_LIST &w, int owner, bool dToA) {
    const char *digital = w.words[1];
    for (int i = 2; i <= 3; ++i) {
        if (!MDL_IsKnownPort(w.words[i], d)) {
            MSG_ErrorLine(153, w.words[i]);
            return false;
        }
    }
    const unsigned bit = ReservedBit(digital);
    if (owner == 0) {
        if (dToA && (bit & (BIT_D_DRIVE | BIT_D_ENABLE | BIT_D_SWITCH)) == 0)
            MSG_ErrorLine(239, digital);
        if (!dToA && bit != BIT_D_RECEIVE)
            MSG_ErrorLine(240, digital);
        return true;
    }
    if (dToA && bit == BIT_D_RECEIVE)
        MSG_ErrorLine(239, digital);
    if (IsReservedAnalog(digital))
        MSG_ErrorLine(237, digital);
    for (int i = 2; i <= 3; ++i)
        if (IsReservedDigital(w.words[i]))
            MSG_ErrorLine(106, w.words[i]);
    if (IsReservedDigital(digital)) {
        MDL_CheckDigitalPorts(digital, &d->digitalPorts, &d->digitalReserved, false);
        if (!dToA && bit != BIT_D_RECEIVE)
            MSG_ErrorLine(241, digital);
    } else if (!IsReservedAnalog(digital)) {
        if (EXT_NAME *node = NewName(digital)) {
            node->next = d->digitalPorts;
            d->digitalPorts = node;
        }
    }
    return true;
}

// The port-name rule of a converter row's analog ports (what: "D2A" or
// "A2D"): a declared port or a reserved analog one. The rows come here after
// the Ports test (153), which refuses every name this rule could report.
void MDL_CheckPortName(const EXTMDL *d, const char *port, const char *what, int owner) {
    if (MDL_IsKnownPort(port, d) || IsReservedAnalog(port))
        return;
    if (IsReservedDigital(port))
        MSG_ErrorLine(106, port);
    else if (owner == 0)
        MSG_ErrorLine(236, port, what);
}

// A row with its texts and the "digital port1 port2" key.
EXT_CONVERTER *NewConverter(const WORD_LIST &w) {
    char *key = nullptr;
    const size_t length = strlen(w.words[1]) + strlen(w.words[2]) + strlen(w.words[3]) + 3;
    if (!CMN_Alloc(&key, length)) {
        MSG_Bug(100, kSourceName, __LINE__);
        return nullptr;
    }
    snprintf(key, length, "%s %s %s", w.words[1], w.words[2], w.words[3]);
    const char *const sources[] = {w.words[1], w.words[2], w.words[3], key};
    const char *texts[4] = {};
    auto *row = static_cast<EXT_CONVERTER *>(AllocWithTexts(sizeof(EXT_CONVERTER), sources, texts, 4));
    CMN_Free(key);
    if (row == nullptr)
        return nullptr;
    row->digital = texts[0];
    row->port1 = texts[1];
    row->port2 = texts[2];
    row->ports = texts[3];
    row->line = MSG_GetLineNumber();
    return row;
}

// What a D_to_A and an A_to_D line check before their values; the corner
// the row goes to, or null when the line is refused.
EXT_CORNER *BeginConverter(EXTMDL *d, const WORD_LIST &w, int owner, bool dToA) {
    if (d->language == MDL_LANG_NONE) {
        MSG_ErrorLine(dToA ? 144 : 154);
        return nullptr;
    }
    if (d->language != MDL_LANG_SPICE) {
        MSG_ErrorLine(dToA ? 145 : 256);
        return nullptr;
    }
    // The corner name is the optional last word.
    const int words = dToA ? 8 : 6;
    if (w.found != words && w.found != words + 1) {
        MSG_ErrorLine(137, static_cast<int>(w.found), dToA ? "D_to_A" : "A_to_D", words + 1);
        return nullptr;
    }
    EXT_CORNER *corner = ConverterCorner(d, w.found > words ? w.words[words] : "Typ", dToA ? 146 : 155);
    if (corner == nullptr || !CheckConverterPorts(d, w, owner, dToA))
        return nullptr;
    return corner;
}

void ParseDToA(EXTMDL *d, const WORD_LIST &w, int owner) {
    EXT_CORNER *corner = BeginConverter(d, w, owner, true);
    EXT_CONVERTER *row = corner != nullptr ? NewConverter(w) : nullptr;
    if (row == nullptr)
        return;
    const bool vlow = ReadConverterValue(w.words[4], "vlow", &row->vlow);
    const bool vhigh = ReadConverterValue(w.words[5], "vhigh", &row->vhigh);
    // A value that is no number is not compared as well.
    if (ReadConverterValue(w.words[6], "trise", &row->trise) && row->trise <= 0)
        MSG_ErrorLine(150, w.words[6]);
    if (ReadConverterValue(w.words[7], "tfall", &row->tfall) && row->tfall <= 0)
        MSG_ErrorLine(151, w.words[7]);
    if (vlow && vhigh && row->vlow >= row->vhigh)
        MSG_ErrorLine(152, w.words[4], w.words[5]);
    MDL_CheckPortName(d, row->port1, "D2A", owner);
    MDL_CheckPortName(d, row->port2, "D2A", owner);
    row->next = corner->dToA;
    corner->dToA = row;
}

void ParseAToD(EXTMDL *d, const WORD_LIST &w, int owner) {
    EXT_CORNER *corner = BeginConverter(d, w, owner, false);
    if (corner == nullptr)
        return;
    double vlow = 0.0, vhigh = 0.0;
    const bool haveLow = ReadConverterValue(w.words[4], "vlow", &vlow);
    const bool haveHigh = ReadConverterValue(w.words[5], "vhigh", &vhigh);
    if (haveLow && haveHigh && vlow > vhigh) {
        MSG_ErrorLine(242, w.words[4], w.words[5]);
        return;
    }
    MDL_CheckPortName(d, w.words[2], "A2D", owner);
    MDL_CheckPortName(d, w.words[3], "A2D", owner);
    EXT_CONVERTER *row = NewConverter(w);
    if (row == nullptr)
        return;
    row->vlow = vlow;
    row->vhigh = vhigh;
    row->next = corner->aToD;
    corner->aToD = row;
    int added = 0;
    if (NAMEIDX_Add(&corner->aToDDigital, row->digital, &added) != nullptr && !added)
        MSG_ErrorLine(133, row->digital);
}

// The rows of a Min or Max corner must each repeat a row of the Typ corner.
void CompareWithTyp(const EXTMDL *d, const char *owner) {
    NAME_INDEX typA{}, typD{};
    int added = 0;
    bool indexed = true;
    if (d->typ != nullptr) {
        for (const EXT_CONVERTER *r = d->typ->aToD; r != nullptr && indexed; r = r->next)
            indexed = NAMEIDX_Add(&typA, r->ports, &added) != nullptr;
        for (const EXT_CONVERTER *r = d->typ->dToA; r != nullptr && indexed; r = r->next)
            indexed = NAMEIDX_Add(&typD, r->ports, &added) != nullptr;
    }
    const EXT_CORNER *const corners[] = {d->min, d->max};
    static const char *const kNames[] = {"Min", "Max"};
    for (int i = 0; i < 2 && indexed; ++i) {
        if (corners[i] == nullptr)
            continue;
        for (const EXT_CONVERTER *r = corners[i]->aToD; r != nullptr; r = r->next)
            if (NAMEIDX_Find(&typA, r->ports) == nullptr)
                MSG_Error(226, owner, kNames[i], static_cast<int>(r->line), r->digital, r->port1,
                          r->port2);
        for (const EXT_CONVERTER *r = corners[i]->dToA; r != nullptr; r = r->next)
            if (NAMEIDX_Find(&typD, r->ports) == nullptr)
                MSG_Error(227, owner, kNames[i], static_cast<int>(r->line), r->digital, r->port1,
                          r->port2);
    }
    NAMEIDX_Clear(&typA);
    NAMEIDX_Clear(&typD);
}

// A D_to_A row whose two analog ports both serve other D_to_A rows of the
// corner too joins two drivers.
void CheckConnections(const EXT_CORNER *corner) {
    if (corner == nullptr)
        return;
    NAME_INDEX uses{};
    int added = 0;
    for (const EXT_CONVERTER *r = corner->dToA; r != nullptr; r = r->next) {
        const char *const ports[] = {r->port1, r->port2};
        for (const char *p : ports) {
            NAME_ENTRY *e = NAMEIDX_Add(&uses, p, &added);
            if (e == nullptr) {
                NAMEIDX_Clear(&uses);
                return;
            }
            ++e->number;
        }
    }
    for (const EXT_CONVERTER *r = corner->dToA; r != nullptr; r = r->next)
        if (NAMEIDX_Find(&uses, r->port1)->number > 1 && NAMEIDX_Find(&uses, r->port2)->number > 1)
            MSG_Error(255, static_cast<int>(r->line), r->port1, r->port2);
    NAMEIDX_Clear(&uses);
}

// Calls f on every name the reserved-port check looks at: the Typ corner's
// converter ports when asked, then the Ports.
template <typename F> void ForEachCheckedName(const EXTMDL *d, bool typRows, F f) {
    if (typRows) {
        const EXT_CONVERTER *const lists[] = {d->typ->dToA, d->typ->aToD};
        for (const EXT_CONVERTER *list : lists)
            for (const EXT_CONVERTER *r = list; r != nullptr; r = r->next) {
                f(r->digital);
                f(r->port1);
                f(r->port2);
            }
    }
    for (const EXT_NAME *p = d->ports; p != nullptr; p = p->next)
        f(p->text);
}

// The reserved ports a model's Model_type requires, and those it may not use.
void CheckReservedPorts(const EXTMDL *d, const MDL *m) {
    const int t = m->Model_type;
    if (t == MDL_TYPE_NONE)
        return;
    const bool spice = d->language == MDL_LANG_SPICE;
    if (spice && d->typ == nullptr)
        return;
    if (t >= kTypeCount) {
        MSG_Error(224, "Unknown");
        return;
    }
    const char *corner = spice ? "TYP" : "ALL";
    const char *type = TypeName(t);
    unsigned present = 0;
    ForEachCheckedName(d, spice, [&](const char *name) { present |= ReservedBit(name); });
    unsigned required = 0;
    for (const char *const *p = RequiredPorts(t); *p != nullptr; ++p) {
        required |= ReservedBit(*p);
        if ((present & ReservedBit(*p)) == 0)
            MSG_Error(222, m->name, corner, type, *p);
    }
    unsigned reported = required | BITS_ALWAYS_ALLOWED;
    ForEachCheckedName(d, spice, [&](const char *name) {
        const unsigned bit = ReservedBit(name);
        if (bit != 0 && (reported & bit) == 0) {
            MSG_Error(223, m->name, corner, type, name);
            reported |= bit;
        }
    });
}

// A port of an [External Circuit] that one converter row uses as digital
// port and another (or the same) as analog port.
void CheckDigitalAndAnalog(const EXT_CORNER *corner, const char *circuit, const char *cornerName) {
    if (corner == nullptr)
        return;
    NAME_INDEX analog{};
    int added = 0;
    const EXT_CONVERTER *const lists[] = {corner->dToA, corner->aToD};
    for (const EXT_CONVERTER *list : lists)
        for (const EXT_CONVERTER *r = list; r != nullptr; r = r->next)
            if (NAMEIDX_Add(&analog, r->port1, &added) == nullptr ||
                NAMEIDX_Add(&analog, r->port2, &added) == nullptr) {
                NAMEIDX_Clear(&analog);
                return;
            }
    for (const EXT_CONVERTER *list : lists)
        for (const EXT_CONVERTER *r = list; r != nullptr; r = r->next) {
            NAME_ENTRY *e = NAMEIDX_Find(&analog, r->digital);
            if (e != nullptr && e->number == 0) {
                MSG_Error(225, circuit, cornerName, r->digital);
                e->number = 1;  // once per port
            }
        }
    NAMEIDX_Clear(&analog);
}

void MDL_EndExternalCircuit(const EXTCKT *c) {
    const EXTMDL *d = c->description;
    if (d->typ == nullptr)
        MSG_ErrorLine(231);
    CompareWithTyp(d, c->name);
    if (d->portCount < 2)
        MSG_Warning(245, c->name, d->portCount);
    if (d->language != MDL_LANG_SPICE)
        return;
    CheckConnections(d->typ);
    CheckDigitalAndAnalog(d->typ, c->name, "Typ");
    CheckDigitalAndAnalog(d->min, c->name, "Min");
    CheckDigitalAndAnalog(d->max, c->name, "Max");
}

EXTCKT *s_circuit = nullptr;  // the [External Circuit] being read

}  // namespace

int MDL_CreateExternalModel(EXTMDL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(EXTMDL))) {
        MSG_Bug(100, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void MDL_ParseExternalModelSubparam(const char *text, EXTMDL *d, int owner) {
    MSG_ASSERT(text != nullptr && d != nullptr);
    WORD_LIST w{};
    if (!SplitAll(text, &w)) {
        MSG_BugLine(134, "External Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&w);
        return;
    }
    const int sub = w.found > 0 ? FindWord(kExtSubparams, w.words[0]) : 0;
    switch (sub) {
    case EXT_LANGUAGE:
        ParseLanguage(d, w);
        break;
    case EXT_CORNER_LINE:
        ParseCorner(d, w);
        break;
    case EXT_PORTS:
        for (int i = 1; i < w.found; ++i)
            AddPort(d, w.words[i]);
        break;
    case EXT_PARAMETERS:
        for (int i = 1; i < w.found; ++i)
            AddParameter(d, w.words[i]);
        break;
    case EXT_PORT_TYPE:
        MSG_ErrorLine(143);
        break;
    case EXT_D_TO_A:
        ParseDToA(d, w, owner);
        break;
    case EXT_A_TO_D:
        ParseAToD(d, w, owner);
        break;
    default:
        MSG_ErrorLine(158, "[External Model] subparameter", w.found > 0 ? w.words[0] : "");
        break;
    }
    CMN_FreeWords(&w);
}

int MDL_EndExternalModel(MDL *m, IBIS_KEYWORD nextCode) {
    MSG_ASSERT(m != nullptr);
    if (nextCode != KW_END_EXTERNAL_MODEL)
        return 1;
    const EXTMDL *d = m->externalModel;
    if (d == nullptr) {
        MSG_ErrorLine(230);
        return 0;
    }
    if (d->typ == nullptr)
        MSG_ErrorLine(231);
    CompareWithTyp(d, m->name);
    if (d->portCount < 2)
        MSG_Warning(232, m->name, d->portCount);
    CheckConnections(d->typ);
    CheckConnections(d->max);
    CheckConnections(d->min);
    CheckReservedPorts(d, m);
    return 0;
}

void MDL_FreeExternalModel(EXTMDL *d) {
    if (d == nullptr)
        return;
    FreeCorner(d->typ);
    FreeCorner(d->min);
    FreeCorner(d->max);
    CMN_FreeChain(d->digitalPorts);
    CMN_FreeChain(d->parameters);
    CMN_FreeChain(d->ports);
    NAMEIDX_Clear(&d->portIndex);
    CMN_Free(d);
}

void MDL_InitExternalCircuit(void) {
    s_circuit = nullptr;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(101);
        return;
    }
    EXTCKT *c = nullptr;
    if (!CMN_Alloc(&c, sizeof(EXTCKT))) {
        MSG_Bug(100, kSourceName, __LINE__);
        return;
    }
    if (!MDL_CreateExternalModel(&c->description)) {
        CMN_Free(c);
        return;
    }
    c->line = MSG_GetLineNumber();
    // Series keywords after the circuit must not fill an earlier model.
    MDL_ClearSeriesInfo();
    IBIS_AddExternalCircuit(root, c);
    s_circuit = c;
}

void MDL_ParseExternalCircuitLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    EXTCKT *c = s_circuit;
    if (c == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 249 : 107);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        if (code == KW_EXTERNAL_CIRCUIT) {
            MDL_ParseExternalCircuitName(text, c);
        } else if (code == KW_END_EXTERNAL_CIRCUIT) {
            MDL_EndExternalCircuit(c);
            s_circuit = nullptr;
        }
    } else if (code == KW_EXTERNAL_CIRCUIT) {
        MDL_ParseExternalModelSubparam(text, c->description, 1);
    } else {
        MSG_BugLine(122, kSourceName, __LINE__);
    }
}

void MDL_ResetExternalCircuit(void) {
    s_circuit = nullptr;
    IndexDrop(s_circuits);
}

int MDL_IsReservedPort(const char *name) {
    MSG_ASSERT(name != nullptr);
    return ReservedPlace(name) >= 0;
}

int MDL_IsKnownPort(const char *name, const EXTMDL *d) {
    MSG_ASSERT(name != nullptr && d != nullptr);
    if (strcmp(name, "A_gnd") == 0)
        return 1;
    if (!d->portIndexFailed)
        return NAMEIDX_Find(&d->portIndex, name) != nullptr;
    for (const EXT_NAME *p = d->ports; p != nullptr; p = p->next)
        if (strcmp(p->text, name) == 0)
            return 1;
    return 0;
}

EXTCKT *MDL_FindExternalCircuit(const char *name, EXTCKT *circuits) {
    return IndexFind(s_circuits, circuits, name);
}

void MDL_SetExternalCircuitNext(EXTCKT *record, EXTCKT *next) {
    MSG_ASSERT(record != nullptr);
    record->next = next;
}

void MDL_FreeExternalCircuits(EXTCKT *list) {
    // The index and the current circuit may point into this list.
    IndexDrop(s_circuits);
    while (list != nullptr) {
        EXTCKT *next = list->next;
        if (list == s_circuit)
            s_circuit = nullptr;
        MDL_FreeExternalModel(list->description);
        CMN_Free(list);
        list = next;
    }
}
