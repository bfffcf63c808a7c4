// Board descriptions: the [Begin Board Description] section with its pin
// list, paths and reference-designator map, the checks of a board when it
// closes, and the end pass over the files the boards reference.
#define MSG_SRC MSGSRC_EBDMDL
#include "IbisParser/ebdmdl.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/pin.h"
#include "IbisParser/sect.h"

namespace {

const char kSourceName[] = "IbisParser/ebdmdl";
const size_t kPinMax = 8;
const size_t kSignalMax = 20;
const size_t kRefdesMax = 10;
const size_t kNameMax = 40;
const size_t kIbsPinMax = 5;  // pin names of an .ibs [Pin] list

// ---- Section state: the board being read -----------------------------------

EBDMDL *s_board = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;
int s_numberOfPinsSeen, s_pinListSeen, s_mapSeen, s_endSeen;
EBDPATH *s_path = nullptr;  // the path that path lines extend

static_assert(static_cast<int>(EBD_FORK) == SECT_FORK, "forks share their kind");
EBDELEM **BranchOf(EBDELEM *fork) { return &fork->data.branch; }
SECT_FORKLIST<EBDELEM> s_list = {BranchOf, nullptr, nullptr, 0, 0};  // the path's elements

// The pin array grows from 16 rows.
const size_t kFirstPinRoom = 16;

void ForgetBoard() {
    s_board = nullptr;
    s_path = nullptr;
    SECT_EndList(&s_list);
}

// ---- Freeing ------------------------------------------------------------------

void FreeData(EBDELEM *e) {
    if (e->kind == EBD_NODE)
        CMN_Free(e->data.node);
    else if (e->kind == EBD_PIN)
        CMN_Free(e->data.pin);
    else if (e->kind == EBD_SECTION)
        SECT_Free(e->data.section);
}

// ---- [Pin List] ---------------------------------------------------------------

void PinListHeader(const char *value) {
    if (s_pinListSeen) {
        MSG_ErrorLine(4336);  // the rows that follow join the same list
        return;
    }
    s_pinListSeen = 1;
    char header[CMN_PATH_MAX + 1];
    CMN_StrNCopy(header, value, CMN_PATH_MAX);
    char *cur = header;
    const char *first = CMN_NextToken(&cur);
    if (first == nullptr) {
        MSG_ErrorLine(4337);
        return;
    }
    if (!CMN_StrEqualNoCase(first, "signal_name"))
        MSG_ErrorLine(4338);
    if (CMN_NextToken(&cur) != nullptr)
        MSG_ErrorLine(4339);
}

// One row: pin name and signal name. The array grows with the rows, so the
// count in the file sizes nothing.
void PinRow(EBDMDL *b, char *text) {
    char *cur = text;
    const char *name = CMN_NextToken(&cur);
    if (name == nullptr) {
        MSG_ErrorLine(4316);
        return;
    }
    if (strlen(name) > kPinMax)
        MSG_ErrorLine(4317);
    if (b->pins == nullptr) {
        if (b->Number_of_Pins == 0) {
            MSG_ErrorLine(4318);
            return;
        }
        if (!CMN_Grow(&b->pins, &b->pinRoom, 1, kFirstPinRoom)) {
            MSG_ErrorLine(4319);
            return;
        }
    }
    if (static_cast<uint64_t>(b->pinCount) + 1 > b->Number_of_Pins) {
        MSG_ErrorLine(4320);
        return;
    }
    if (!CMN_Grow(&b->pins, &b->pinRoom, static_cast<size_t>(b->pinCount) + 1, kFirstPinRoom)) {
        MSG_ErrorLine(4319);
        return;
    }
    EBDPIN *pin = nullptr;
    if (!CMN_Alloc(&pin, sizeof(EBDPIN))) {
        MSG_ErrorLine(4321);
        return;
    }
    CMN_StrNCopy(pin->pin, name, kPinMax);
    int added = 0;
    NAME_ENTRY *entry = NAMEIDX_Add(&b->pinIndex, pin->pin, &added);
    if (entry == nullptr) {
        CMN_Free(pin);
        MSG_ErrorLine(4321);
        return;
    }
    if (added)
        entry->number = b->pinCount + 1;
    else
        MSG_ErrorLine(4322, pin->pin);  // stored all the same
    b->pins[b->pinCount++] = pin;

    const char *signal = CMN_NextToken(&cur);
    if (signal == nullptr) {
        MSG_ErrorLine(4323);
    } else {
        if (strlen(signal) > kSignalMax)
            MSG_ErrorLine(4324);
        CMN_StrNCopy(pin->signal, signal, kSignalMax);
    }
    if (CMN_NextToken(&cur) != nullptr)
        MSG_ErrorLine(4325);
}

// ---- Path lines ---------------------------------------------------------------

// Puts an element just linked at the end of the path's file order.
void InFileOrder(EBDELEM *e) {
    if (s_path->last != nullptr)
        s_path->last->after = e;
    else
        s_path->all = e;
    s_path->last = e;
}

void Link(EBDELEM *e) {
    SECT_Link(&s_list, &s_path->first, e);
    InFileOrder(e);
}

void AddSection(SECT *section) {
    EBDELEM *e = SECT_NewElement<EBDELEM>(EBD_SECTION);
    if (e == nullptr) {
        SECT_Free(section);
        MSG_ErrorLine(4360);
        return;
    }
    e->data.section = section;
    Link(e);
}

void AddNc() {
    EBDELEM *e = SECT_NewElement<EBDELEM>(EBD_NC);
    if (e == nullptr) {
        MSG_ErrorLine(4360);
        return;
    }
    Link(e);
}

void OpenFork() {
    EBDELEM *fork = SECT_OpenFork(&s_list, &s_path->first);
    if (fork == nullptr) {
        MSG_ErrorLine(4360);
        return;
    }
    InFileOrder(fork);
}

void CloseFork() {
    switch (SECT_CloseFork(&s_list)) {
    case SECT_NO_FORK: MSG_ErrorLine(4348); break;  // the chain stays as it is
    case SECT_EMPTY_FORK: MSG_ErrorLine(4347); break;
    default: break;
    }
}

// A copy of the n characters at text for checks and messages; a run longer
// than a line is cut.
void CopyRun(char *dst, const char *text, size_t n) {
    if (n > CMN_PATH_MAX)
        n = CMN_PATH_MAX;
    memcpy(dst, text, n);
    dst[n] = '\0';
}

void AddPin(const char *text, size_t n) {
    char name[CMN_PATH_MAX + 1];
    CopyRun(name, text, n);
    if (n > kPinMax)
        MSG_ErrorLine(4361);
    if (strchr(name, '=') != nullptr)
        MSG_WarningLine(4363, name);
    if (strchr(name, '/') != nullptr)
        MSG_WarningLine(4362, name);
    if (SECT_IsPathWord(name))
        MSG_WarningLine(4364, name);
    EBDELEM *e = SECT_NewElement<EBDELEM>(EBD_PIN);
    if (e == nullptr) {
        MSG_ErrorLine(4365);
        return;
    }
    e->data.pin = CMN_StrNDup(name, kPinMax);
    if (e->data.pin == nullptr) {
        CMN_Free(e);
        MSG_ErrorLine(4366);
        return;
    }
    Link(e);
}

void AddNode(const char *text, size_t n) {
    char full[CMN_PATH_MAX + 1];
    CopyRun(full, text, n);
    EBDELEM *e = SECT_NewElement<EBDELEM>(EBD_NODE);
    if (e == nullptr) {
        MSG_ErrorLine(4365);
        return;
    }
    if (!CMN_Alloc(&e->data.node, sizeof(EBDNODE))) {
        CMN_Free(e);
        MSG_ErrorLine(4367);
        return;
    }
    EBDNODE *node = e->data.node;
    const char *pin = "";
    char *dot = strchr(full, '.');
    if (dot == nullptr) {
        MSG_ErrorLine(4368);
    } else {
        *dot = '\0';
        pin = dot + 1;
    }
    if (strlen(full) > kRefdesMax)
        MSG_ErrorLine(4369);
    if (strlen(pin) > kPinMax)
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4300);
    CMN_StrNCopy(node->refdes, full, kRefdesMax);
    CMN_StrNCopy(node->pin, pin, kPinMax);
    if (strchr(node->refdes, '=') != nullptr)
        MSG_WarningLineFrom(MSGSRC_EBDMDL_G1, 4301, node->refdes);
    if (strchr(node->refdes, '/') != nullptr)
        MSG_WarningLineFrom(MSGSRC_EBDMDL_G1, 4302, node->refdes);
    if (SECT_IsPathWord(node->refdes))
        MSG_WarningLineFrom(MSGSRC_EBDMDL_G1, 4303, node->refdes);
    Link(e);
}

bool TokenIs(const char *token, size_t n, const char *word) {
    return strlen(word) == n && strncmp(token, word, n) == 0;
}

// The tokens that need an element before them, with their message when
// there is none.
struct Step {
    const char *word;
    int orphan;
    void (*take)();
};
const Step kSteps[] = {{"NC", 4344, AddNc}, {"Fork", 4345, OpenFork}, {"Endfork", 4346, CloseFork}};

const Step *FindStep(const char *token, size_t n) {
    for (const Step &step : kSteps)
        if (TokenIs(token, n, step.word))
            return &step;
    return nullptr;
}

// The name after Pin or Node: blanks and tabs skipped, then up to the next
// blank or tab. Its length (0 when the line has ended); *p moves past it.
size_t ReadName(const char **p, const char **name) {
    const char *q = *p;
    while (*q == ' ' || *q == '\t')
        ++q;
    *name = q;
    *p = q + CMN_TokenLength(q, 0);
    return static_cast<size_t>(*p - q);
}

// One line of a path, token by token. Every step moves the cursor on or
// ends the line.
void PathLine(const char *text) {
    const char *p = text;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '/' || *p == '=') {
            if (*p == '/')
                MSG_ErrorLine(4341);
            else if (*p == '=')
                MSG_ErrorLine(4340);
            ++p;
        }
        if (*p == '\0')
            return;
        const char *token = p;
        const size_t n = static_cast<size_t>(CMN_TokenLength(token, '='));
        p += n;
        if (TokenIs(token, n, "Len")) {
            if (s_list.current == nullptr) {
                MSG_ErrorLine(4342);
                return;
            }
            SECT *section = nullptr;
            if (!SECT_ParseSection(token, &section, &p) || section == nullptr)
                return;  // the section was not ended on this line
            AddSection(section);
        } else if (const Step *step = FindStep(token, n)) {
            if (s_list.current == nullptr)
                MSG_ErrorLine(step->orphan);
            else
                step->take();
        } else if (TokenIs(token, n, "Pin") || TokenIs(token, n, "Node")) {
            const bool pin = token[0] == 'P';
            const char *name = nullptr;
            const size_t length = ReadName(&p, &name);
            if (length == 0) {
                MSG_ErrorLine(pin ? 4349 : 4350);
                return;
            }
            if (pin)
                AddPin(name, length);
            else if (s_list.current == nullptr)
                MSG_ErrorLine(4351);
            else
                AddNode(name, length);
        } else {
            char shown[CMN_PATH_MAX + 1];
            CopyRun(shown, token, n);
            MSG_ErrorLine(4352, shown);
        }
    }
}

void BeginPath(EBDMDL *b, const char *value) {
    if (SECT_StartList(&s_list))
        MSG_ErrorLine(4303);
    s_path = nullptr;
    EBDPATH *path = nullptr;
    if (!CMN_Alloc(&path, sizeof(EBDPATH))) {
        MSG_ErrorLine(4353);
        return;
    }
    CMN_CopyTruncate(path->name, value, kNameMax, "Path Description");
    CMN_CheckReservedWord(path->name);
    int added = 1;
    if (NAMEIDX_Add(&b->pathIndex, path->name, &added) != nullptr && !added)
        MSG_ErrorLine(4354, path->name);  // appended all the same
    if (b->lastPath != nullptr)
        b->lastPath->next = path;
    else
        b->paths = path;
    b->lastPath = path;
    s_path = path;
}

// ---- [Reference Designator Map] ------------------------------------------------

// The file-name rule of a map entry; 1 when the name passed.
int CheckFileName(const char *name) {
    int valid = 1;
    const char *dot = strrchr(name, '.');
    if (dot == nullptr) {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4304, name);
        valid = 0;
    } else if (strcmp(dot, ".ibs") != 0 && strcmp(dot, ".ebd") != 0) {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4305, dot);
        valid = 0;
    }
    int periods = 0;
    for (const char *p = name; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (isupper(c)) {
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4306, name, c);
            valid = 0;
        } else if (!isalnum(c) && strchr(".@!#$%&'()-^_`{}~", c) == nullptr) {
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4307, name, c);
            valid = 0;
        } else if (c == '.' && periods++ > 0) {
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4308, name);
            valid = 0;
        }
    }
    return valid;
}

// A cleared row pushed at the front of the map, or null after 4304.
REFDES *NewRow(EBDMDL *b) {
    REFDES *r = nullptr;
    if (!CMN_Alloc(&r, sizeof(REFDES))) {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4304);
        return nullptr;
    }
    r->next = b->map;
    b->map = r;
    return r;
}

void MapRow(EBDMDL *b, char *text) {
    REFDES *r = NewRow(b);
    if (r == nullptr)
        return;
    char *cur = text;
    const char *refdes = CMN_NextToken(&cur);
    if (refdes == nullptr) {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4307);
    } else {
        if (strlen(refdes) > kRefdesMax)
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4305, refdes);
        CMN_StrNCopy(r->refdes, refdes, kRefdesMax);
        int added = 0;
        NAME_ENTRY *e = NAMEIDX_Add(&b->mapIndex, r->refdes, &added);
        if (e != nullptr) {
            if (!added)
                MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4306, r->refdes);
            e->item = r;  // lookups find the newest row, as a walk of the map does
        }
    }
    const char *file = CMN_NextToken(&cur);
    if (file == nullptr) {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4309);
    } else {
        const size_t limit = PARSE_GetIbisVersion() < 4 ? 24 : 44;
        if (strlen(file) > limit)
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G1, 4308, file);
        CMN_StrNCopy(r->file, file, limit);
        r->fileValid = CheckFileName(r->file);
    }
    CMN_SkipBlanks(&cur);
    if (*cur == '\0') {
        MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4303);
    } else {
        if (strlen(cur) > kNameMax)
            MSG_ErrorLineFrom(MSGSRC_EBDMDL_G2, 4300, cur);
        CMN_StrNCopy(r->component, cur, kNameMax);
        r->componentGiven = 1;
    }
}

// ---- Keywords -------------------------------------------------------------------

void Flag(int *seen, const char *label, const char *value) {
    if (*seen) {
        MSG_ErrorLine(4334, label);
        return;
    }
    if (*value != '\0')
        MSG_ErrorLine(4335, label);
    *seen = 1;
}

void NumberOfPins(EBDMDL *b, const char *value) {
    if (s_numberOfPinsSeen)
        MSG_ErrorLine(4309);
    s_numberOfPinsSeen = 1;
    if (*value == '\0') {
        MSG_ErrorLine(4310);
        return;
    }
    if (b->Number_of_Pins != 0) {
        MSG_ErrorLine(4311);
        return;
    }
    unsigned long n = 0;
    int r = CMN_GetUnsigned(value, &n);
    if (r == 0 || n > UINT32_MAX) {
        MSG_ErrorLine(4313);
        return;
    }
    if (r == 2)
        MSG_WarningLine(4312);
    b->Number_of_Pins = static_cast<uint32_t>(n);
    if (n == 0)
        MSG_ErrorLine(4314);
}

void Keyword(EBDMDL *b, IBIS_KEYWORD code, const char *value) {
    switch (code) {
    case KW_BEGIN_BOARD_DESCRIPTION:
        CMN_SetField(b->name, value, kNameMax, "Define Ebd Model");
        CMN_CheckReservedWord(b->name);
        break;
    case KW_EBD_MANUFACTURER: CMN_SetField(b->Manufacturer, value, kNameMax, "Manufacturer"); break;
    case KW_EBD_NUMBER_OF_PINS: NumberOfPins(b, value); break;
    case KW_PIN_LIST: PinListHeader(value); break;
    case KW_PATH_DESCRIPTION: BeginPath(b, value); break;
    case KW_REFERENCE_DESIGNATOR_MAP: Flag(&s_mapSeen, "Reference_Designator_Map", value); break;
    case KW_END_BOARD_DESCRIPTION: Flag(&s_endSeen, "End_Board_Description", value); break;
    default: MSG_BugLine(4304, kSourceName, __LINE__); break;
    }
}

void Data(EBDMDL *b, char *text) {
    switch (s_last) {
    case KW_PIN_LIST: PinRow(b, text); break;
    case KW_PATH_DESCRIPTION:
        if (s_path != nullptr)
            PathLine(text);
        else
            MSG_ErrorLine(4302);  // the path could not be made
        break;
    case KW_REFERENCE_DESIGNATOR_MAP: MapRow(b, text); break;
    default: MSG_ErrorLine(4302); break;
    }
}

// ---- Board end ---------------------------------------------------------------------

bool PowerOrGnd(const char *signal) {
    return strncmp(signal, "POWER", 5) == 0 || strncmp(signal, "GND", 3) == 0;
}

// Counts the references of every [Pin List] name in one walk over the
// paths, then checks each row.
void CheckPins(EBDMDL *b) {
    if (!s_pinListSeen) {
        MSG_Error(4326);
        return;
    }
    if (b->Number_of_Pins == 0)
        return;
    if (b->pins == nullptr) {
        MSG_Error(4327);
        return;
    }
    uint32_t *refs = nullptr;
    if (!CMN_Alloc(&refs, static_cast<size_t>(b->pinCount) * sizeof(uint32_t)))
        return;
    for (const EBDPATH *path = b->paths; path != nullptr; path = path->next)
        for (const EBDELEM *e = path->all; e != nullptr; e = e->after)
            if (e->kind == EBD_PIN) {
                const NAME_ENTRY *entry = NAMEIDX_Find(&b->pinIndex, e->data.pin);
                if (entry != nullptr && refs[entry->number - 1] < UINT32_MAX)
                    ++refs[entry->number - 1];
            }
    for (uint32_t i = 0; i < b->pinCount; ++i) {
        const EBDPIN *pin = b->pins[i];
        const NAME_ENTRY *entry = NAMEIDX_Find(&b->pinIndex, pin->pin);
        const uint32_t count = entry != nullptr ? refs[entry->number - 1] : 0;
        if (count == 0) {
            if (CMN_IsNotReservedWord(pin->signal) && !PowerOrGnd(pin->signal))
                MSG_Error(4328, pin->pin);
        } else if (PowerOrGnd(pin->signal)) {
            MSG_Warning(4329, pin->pin);
        } else if (count > 1) {
            MSG_Error(4330, pin->pin, static_cast<int>(count > INT32_MAX ? INT32_MAX : count));
        }
    }
    CMN_Free(refs);
    if (b->pinCount < b->Number_of_Pins)
        MSG_Error(4331, b->Number_of_Pins, b->pinCount);
}

void CheckPaths(EBDMDL *b) {
    if (SECT_StartList(&s_list))
        MSG_ErrorLine(4303);
    if (b->paths == nullptr)
        MSG_Error(4355, b->name);
    for (const EBDPATH *path = b->paths; path != nullptr; path = path->next) {
        if (path->first == nullptr) {
            MSG_Error(4356, path->name);
            continue;
        }
        for (const EBDELEM *e = path->all; e != nullptr; e = e->after) {
            if (e->kind == EBD_NODE && NAMEIDX_Find(&b->mapIndex, e->data.node->refdes) == nullptr)
                MSG_Error(4359, e->data.node->refdes, path->name);
            else if (e->kind == EBD_PIN && NAMEIDX_Find(&b->pinIndex, e->data.pin) == nullptr)
                MSG_Error(4358, e->data.pin, path->name);
            else if (e->kind == EBD_NC && e->next != nullptr)
                MSG_Error(4357, path->name);
        }
    }
}

// The checks of a board when it closes, in their order.
void EndChecks(EBDMDL *b) {
    if (b->name[0] == '\0')
        MSG_Error(4308);
    if (b->Manufacturer[0] == '\0')
        MSG_Error(4333, "Manufacturer", b->name);
    if (b->Number_of_Pins == 0)
        MSG_Error(4315, b->name);
    CheckPins(b);
    CheckPaths(b);
    if (!s_endSeen)
        MSG_Error(4332);
}

// ---- End pass --------------------------------------------------------------------

// One pin referenced in another file.
struct PINREF {
    PINREF *next;
    char component[41];
    char board[41];  // the referencing board
    char pin[9];
};

// One other file referenced, with its pins, newest first.
struct FILEREF {
    FILEREF *next;
    char file[45];
    PINREF *pins;
};

// The files one end pass references, newest first. Each call of the end
// pass keeps its own: a nested pass runs the end pass of the file it reads.
struct Queue {
    FILEREF *head;
    NAME_INDEX byName;
};

void Enqueue(Queue *q, const REFDES *r, const char *board, const char *pin) {
    const NAME_ENTRY *entry = NAMEIDX_Find(&q->byName, r->file);
    FILEREF *f = entry != nullptr ? static_cast<FILEREF *>(entry->item) : nullptr;
    if (f == nullptr) {
        int added = 0;
        NAME_ENTRY *e = nullptr;
        if (CMN_Alloc(&f, sizeof(FILEREF))) {
            CMN_StrNCopy(f->file, r->file, sizeof f->file - 1);
            e = NAMEIDX_Add(&q->byName, f->file, &added);
        }
        if (e == nullptr) {
            CMN_Free(f);
            MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4302);
            return;
        }
        e->item = f;
        f->next = q->head;
        q->head = f;
    }
    PINREF *ref = nullptr;
    if (!CMN_Alloc(&ref, sizeof(PINREF))) {
        MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4301);
        return;
    }
    CMN_StrNCopy(ref->component, r->component, sizeof ref->component - 1);
    CMN_StrNCopy(ref->board, board, sizeof ref->board - 1);
    CMN_StrNCopy(ref->pin, pin, sizeof ref->pin - 1);
    ref->next = f->pins;
    f->pins = ref;
}

void FreeQueue(Queue *q) {
    while (q->head != nullptr) {
        FILEREF *f = q->head;
        q->head = f->next;
        while (f->pins != nullptr) {
            PINREF *p = f->pins;
            f->pins = p->next;
            CMN_Free(p);
        }
        CMN_Free(f);
    }
    NAMEIDX_Clear(&q->byName);
}

// The first record of a name in list order, from the tally of the list or,
// when the tally gave up, by a walk.
template <typename T, typename NameOf>
T *FindFirst(const NAME_TALLY *tally, T *list, const char *name, NameOf nameOf) {
    void *first = nullptr;
    int r = NAMEIDX_Lookup(tally, name, &first, nullptr);
    if (r >= 0)
        return r == 1 ? static_cast<T *>(first) : nullptr;
    for (T *t = list; t != nullptr; t = t->next)
        if (strcmp(nameOf(t), name) == 0)
            return t;
    return nullptr;
}

const char *BoardName(const EBDMDL *b) { return b->name; }
const char *ComponentName(const CMPNT *c) { return c->name; }

// Boards by name: the first of a name is the one defined last.
struct Boards {
    EBDMDL *list;
    NAME_TALLY names;
};

void IndexBoards(Boards *boards, EBDMDL *list) {
    boards->list = list;
    NAMEIDX_InitTally(&boards->names);
    NAMEIDX_CountList(&boards->names, list, BoardName);
}

// A pin of a board with a pin array, or 4300 (fourth group) when there is
// no such board, or 4309 (third group) when its list lacks the pin.
void CheckBoardPin(const Boards *boards, const char *component, const char *pin, const char *file) {
    const EBDMDL *target = FindFirst(&boards->names, boards->list, component, BoardName);
    if (target == nullptr || target->pins == nullptr)
        MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4300, component, file);
    else if (NAMEIDX_Find(&target->pinIndex, pin) == nullptr)
        MSG_ErrorFrom(MSGSRC_EBDMDL_G2, 4309, pin, component, file);
}

// The references of one board: within the file at once, to other files
// into the queue.
void ResolveBoard(EBDMDL *b, const Boards *boards, const char *self, Queue *q) {
    for (const EBDPATH *path = b->paths; path != nullptr; path = path->next)
        for (const EBDELEM *e = path->all; e != nullptr; e = e->after) {
            if (e->kind != EBD_NODE)
                continue;
            const EBDNODE *node = e->data.node;
            const NAME_ENTRY *entry = NAMEIDX_Find(&b->mapIndex, node->refdes);
            if (entry == nullptr)
                continue;
            REFDES *r = static_cast<REFDES *>(entry->item);
            if (!r->fileValid || !r->componentGiven)
                continue;
            if (strcmp(r->file, self) != 0) {
                Enqueue(q, r, b->name, node->pin);
            } else if (strcmp(r->component, b->name) == 0) {
                MSG_ErrorFrom(MSGSRC_EBDMDL_G2, 4301, r->refdes, r->component);
                r->componentGiven = 0;  // reported once
            } else {
                CheckBoardPin(boards, r->component, node->pin, r->file);
            }
        }
}

// The pins referenced in an .ebd file, checked against its boards; the
// first reference also looks for a map entry of the file's last board
// that points back at the referencing board.
void CheckEbdRefs(IBIS *root, const FILEREF *f, const char *self) {
    EBDMDL *boards = nullptr;
    IBIS_GetEbdModels(root, &boards);
    const PINREF *first = f->pins;
    if (boards != nullptr && first != nullptr)
        for (const REFDES *r = boards->map; r != nullptr; r = r->next)
            if (strcmp(r->file, self) == 0 && strcmp(r->component, first->board) == 0)
                MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4304, f->file, first->board, self);
    Boards index;
    IndexBoards(&index, boards);
    for (const PINREF *p = f->pins; p != nullptr; p = p->next)
        CheckBoardPin(&index, p->component, p->pin, f->file);
    NAMEIDX_FreeTally(&index.names);
}

// The pins referenced in an .ibs file, checked against its components. A
// component without [Pin] holds no pin.
void CheckIbsRefs(IBIS *root, const FILEREF *f) {
    CMPNT *list = nullptr;
    IBIS_GetComponents(root, &list);
    NAME_TALLY components;
    NAMEIDX_InitTally(&components);
    NAMEIDX_CountList(&components, list, ComponentName);
    for (const PINREF *p = f->pins; p != nullptr; p = p->next) {
        if (strlen(p->pin) > kIbsPinMax) {
            MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4303, p->pin, p->component);
            continue;
        }
        const CMPNT *c = FindFirst(&components, list, p->component, ComponentName);
        if (c == nullptr)
            MSG_ErrorFrom(MSGSRC_EBDMDL_G3, 4300, p->component, f->file);
        else if (!PIN_Exists(p->pin, c->pins))
            MSG_ErrorFrom(MSGSRC_EBDMDL_G2, 4309, p->pin, p->component, f->file);
    }
    NAMEIDX_FreeTally(&components);
}

// One check pass over a referenced file. The pass may move the remembered
// directory and the IBIS version (a file it reads names another
// directory, its [IBIS Ver] sets its own): both come back afterwards, so
// the next file is looked for where the boards' file lies.
void CheckReferencedFile(const FILEREF *f, const char *dir, const char *self) {
    const int version = PARSE_GetIbisVersion();
    char path[CMN_PATH_MAX + sizeof f->file + 2];
    const size_t n = strlen(dir);
    const bool separator = n > 0 && dir[n - 1] != '\\' && dir[n - 1] != '/';
    snprintf(path, sizeof path, "%s%s%s", dir, separator ? "\\" : "", f->file);
    const char *dot = strrchr(f->file, '.');
    const int kind = dot != nullptr && strcmp(dot, ".ibs") == 0 ? FILE_IBS : FILE_EBD;
    if (CHECKPASS_BeginFile() && PARSE_ParseFile(path, kind)) {
        CHECKPASS_RunChecks(kind, 1);
        IBIS *root = nullptr;
        if (IBIS_GetCurrent(&root)) {
            if (kind == FILE_IBS)
                CheckIbsRefs(root, f);
            else
                CheckEbdRefs(root, f, self);
        }
    }
    CHECKPASS_EndFile();
    CMN_SetBaseDirectory(dir);
    PARSE_SetIbisVersion(version);
}

}  // namespace

void EBDMDL_Init(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_BugLine(4300, kSourceName, __LINE__);
        return;
    }
    ForgetBoard();
    EBDMDL *b = nullptr;
    if (!CMN_Alloc(&b, sizeof(EBDMDL))) {
        MSG_ErrorLine(4307);
        return;
    }
    IBIS_AddEbdModel(root, b);
    s_board = b;
    s_numberOfPinsSeen = s_pinListSeen = s_mapSeen = s_endSeen = 0;
    s_last = NOT_KEY;
}

void EBDMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    if (lineType != LINE_KEYWORD && lineType != LINE_DATA) {
        MSG_BugLine(4305, kSourceName, __LINE__);
        return;
    }
    if (s_board == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 4301 : 4302);
        return;
    }
    if (lineType == LINE_DATA) {
        Data(s_board, text);
        return;
    }
    char *value = text;
    CMN_SkipPastBracket(&value);
    s_last = code;
    Keyword(s_board, code, value);
}

void EBDMDL_EndKeyword(IBIS_KEYWORD nextCode) {
    if (s_board == nullptr)
        return;
    if (nextCode >= KW_EBD_MANUFACTURER && nextCode <= KW_END_BOARD_DESCRIPTION)
        return;
    EndChecks(s_board);
    ForgetBoard();
}

void EBDMDL_Reset(void) {
    ForgetBoard();
    s_last = NOT_KEY;
    s_numberOfPinsSeen = s_pinListSeen = s_mapSeen = s_endSeen = 0;
}

void EBDMDL_SetNext(EBDMDL *record, EBDMDL *next) {
    MSG_ASSERT(record != nullptr);
    record->next = next;
}

void EBDMDL_Free(EBDMDL *list) {
    while (list != nullptr) {
        EBDMDL *next = list->next;
        if (list == s_board)
            ForgetBoard();
        for (uint32_t i = 0; i < list->pinCount; ++i)
            CMN_Free(list->pins[i]);
        CMN_Free(list->pins);
        for (EBDPATH *path = list->paths; path != nullptr;) {
            EBDPATH *after = path->next;
            SECT_FreeList(path->first, BranchOf, FreeData);
            CMN_Free(path);
            path = after;
        }
        for (REFDES *r = list->map; r != nullptr;) {
            REFDES *after = r->next;
            CMN_Free(r);
            r = after;
        }
        NAMEIDX_Clear(&list->pinIndex);
        NAMEIDX_Clear(&list->mapIndex);
        NAMEIDX_Clear(&list->pathIndex);
        CMN_Free(list);
        list = next;
    }
}

void EBDMDL_CheckAll(EBDMDL *list, int nested) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root))
        return;
    NAMEIDX_ReportLaterNamesakes(list, BoardName,
                                 [](const EBDMDL *b) { MSG_Error(4306, b->name); });
    HDR *header = nullptr;
    if (!IBIS_GetHeader(root, &header))
        return;  // no file name to tell this file's boards from others
    // Copied: the header belongs to this root, and the passes below
    // overwrite the reader's own record of the file name.
    char self[sizeof header->file_name];
    CMN_StrNCopy(self, header->file_name, sizeof self - 1);
    Boards boards;
    IndexBoards(&boards, list);
    Queue queue = {};
    for (EBDMDL *b = list; b != nullptr; b = b->next)
        ResolveBoard(b, &boards, self, &queue);
    NAMEIDX_FreeTally(&boards.names);
    if (!nested) {
        char dir[CMN_PATH_MAX + 1];
        CMN_GetBaseDirectory(dir);
        for (const FILEREF *f = queue.head; f != nullptr; f = f->next)
            CheckReferencedFile(f, dir, self);
    }
    FreeQueue(&queue);
}
