// Package models: the [Define Package Model] section with its pin names,
// R/L/C sections and matrices, the end checks of a model, the duplicate
// check of a file, the lookups of the component checks and the search of
// the package files of a directory.
#define MSG_SRC MSGSRC_PKGMDL
#include "IbisParser/pkgmdl.h"

#include <cstdlib>
#include <cstring>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/mtx.h"
#include "IbisParser/platform.h"
#include "IbisParser/sect.h"

namespace {

const char kSourceName[] = "IbisParser/pkgmdl";
const uint32_t kPinNameMax = 5;

// ---- Section state: the model being read -------------------------------

PKGMDL *s_model = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;    // last keyword of the model
IBIS_KEYWORD s_before = NOT_KEY;  // the one before it
IBIS_KEYWORD s_matrix = NOT_KEY;  // the matrix keyword whose matrix takes [Row]s
int s_pinNumbersSeen, s_modelDataSeen, s_endModelDataSeen, s_endPackageModelSeen, s_sectionMode;
int64_t s_pin = -1;  // section form: index of the pin being described

static_assert(static_cast<int>(PKGMDL_FORK) == SECT_FORK, "forks share their kind");
PKGMDL_ELEMENT **BranchOf(PKGMDL_ELEMENT *fork) { return &fork->child.branch; }
SECT_FORKLIST<PKGMDL_ELEMENT> s_list = {BranchOf, nullptr, nullptr, 0, 0};  // the pin's sections

// Lookup state: the pin walk of PKGMDL_NextPinNumber and the name index of
// the list PKGMDL_FindByName was last asked about.
uint32_t s_cursor = 0;
PKGMDL *s_byNameHead = nullptr;
NAME_INDEX s_byName = {};
uint32_t s_byNameGeneration = 0;
// Set while a package search resets the sections before it reads a file
// into the root it searches: that root and its list live on, so the index
// stays and the next lookup adds just the models the file brought.
int s_byNameHeld = 0;

void ForgetModel() {
    s_model = nullptr;
    s_pin = -1;
    SECT_EndList(&s_list);
}

void ForgetByName() {
    NAMEIDX_Clear(&s_byName);
    s_byNameHead = nullptr;
}

// ---- Freeing --------------------------------------------------------------

void FreeSection(PKGMDL_ELEMENT *e) {
    if (e->kind == PKGMDL_SECTION)
        SECT_Free(e->child.section);
}

// ---- Pin names --------------------------------------------------------------

// Arrays of the section grow from 16 entries: a room of 32 bits bounds them.
const size_t kFirstRoom = 16;

// Room for `need` pin names, or for `need` pins' section lists.
int GrowNames(PKGMDL *m, size_t need) {
    return CMN_Grow(&m->Pin_Numbers, &m->pinRoom, need, kFirstRoom);
}

int GrowSections(PKGMDL *m, size_t need) {
    return CMN_Grow(&m->Pin_Sections, &m->sectionRoom, need, kFirstRoom);
}

// The name array of the model's first pin line; the count in the file
// sizes nothing, the array grows as names arrive.
int StartNames(PKGMDL *m) {
    if (m->Number_of_Pins == 0) {
        MSG_ErrorLine(3433);
        return 0;
    }
    if (!GrowNames(m, 1)) {
        MSG_ErrorLine(3434);
        return 0;
    }
    return 1;
}

// The section lists, made when the section form first needs them (also
// after plain pin lines): one empty list per name already stored.
int StartSections(PKGMDL *m) {
    if (m->Pin_Sections != nullptr)
        return 1;
    if (!GrowSections(m, m->pinCount > 0 ? m->pinCount : 1)) {
        MSG_ErrorLine(3448);
        return 0;
    }
    return 1;
}

// Stores a name (already cut to 5 characters); its index, or -1 when the
// line is dropped.
int64_t StorePin(PKGMDL *m, const char *name) {
    if (static_cast<uint64_t>(m->pinCount) + 1 > m->Number_of_Pins) {
        MSG_ErrorLine(3435);
        return -1;
    }
    if (!GrowNames(m, static_cast<size_t>(m->pinCount) + 1)) {
        MSG_ErrorLine(3434);
        return -1;
    }
    if (m->Pin_Sections != nullptr && !GrowSections(m, static_cast<size_t>(m->pinCount) + 1)) {
        MSG_ErrorLine(3448);
        return -1;
    }
    char *copy = CMN_StrNDup(name, kPinNameMax);
    if (copy == nullptr) {
        MSG_ErrorLine(3436);
        return -1;
    }
    int added = 0;
    NAME_ENTRY *entry = NAMEIDX_Add(&m->pinIndex, copy, &added);
    if (entry == nullptr) {
        CMN_Free(copy);
        MSG_ErrorLine(3434);
        return -1;
    }
    if (added) {
        entry->number = m->pinCount + 1;
    } else {
        MSG_ErrorLine(3437, copy);
        ++m->repeatedPins;
    }
    m->Pin_Numbers[m->pinCount] = copy;
    return m->pinCount++;
}

void PlainPinLine(PKGMDL *m, const char *text) {
    if (strlen(text) > kPinNameMax)
        MSG_ErrorLine(3432);
    if (m->Pin_Numbers == nullptr && !StartNames(m))
        return;
    StorePin(m, text);
}

// ---- Section form -------------------------------------------------------------

// The head of the described pin's list, where its first element goes.
PKGMDL_ELEMENT **PinHead() { return &s_model->Pin_Sections[s_pin].head; }

void ParseSections(const char *text) {
    const char *cur = text;
    for (;;) {
        SECT *section = nullptr;
        if (!SECT_ParseSection(cur, &section, &cur) || section == nullptr)
            return;
        PKGMDL_ELEMENT *e = SECT_NewElement<PKGMDL_ELEMENT>(PKGMDL_SECTION);
        if (e == nullptr) {
            SECT_Free(section);
            return;
        }
        e->child.section = section;
        SECT_Link(&s_list, PinHead(), e);
        ++s_model->Pin_Sections[s_pin].sections;
    }
}

void OpenFork() {
    if (s_list.depth > 0)
        MSG_ErrorLine(3439);  // opened all the same: the nesting follows the file
    if (s_pin < 0) {
        MSG_ErrorLine(3440);
        return;
    }
    // Null when memory ran out: the fork is not opened, as a board path's is
    // not. The allocator has said so (no message of this section's names
    // it), and from then on the pass reports only memory failures.
    SECT_OpenFork(&s_list, PinHead());
}

void CloseFork() {
    if (s_pin < 0) {
        MSG_ErrorLine(3441);
        return;
    }
    switch (SECT_CloseFork(&s_list)) {
    case SECT_NO_FORK: MSG_ErrorLine(3443); break;  // the chain stays as it is
    case SECT_EMPTY_FORK: MSG_ErrorLine(3442); break;
    default: break;
    }
}

bool IsContinuation(const char *text) {
    if (strncmp(text, "Len", 3) != 0)
        return false;
    const char *p = text + 3;
    while (*p == ' ' || *p == '\t')
        ++p;
    return *p == '=';
}

void SectionPinLine(PKGMDL *m, char *text) {
    if (IsContinuation(text)) {
        if (s_pin < 0 || s_list.current == nullptr) {
            MSG_ErrorLine(3438);
            return;
        }
        ParseSections(text);
        return;
    }
    if (strcmp(text, "Fork") == 0) {
        OpenFork();
        return;
    }
    if (strcmp(text, "Endfork") == 0) {
        CloseFork();
        return;
    }
    // A new pin: its name, then its sections.
    char *name = text;
    char *rest = text + CMN_TokenLength(text, 0);
    if (*rest != '\0')
        *rest++ = '\0';
    if (SECT_StartList(&s_list))
        MSG_ErrorLine(3444, name);
    s_pin = -1;
    if (strlen(name) > kPinNameMax)
        MSG_ErrorLine(3432);
    if (strchr(name, '=') != nullptr)
        MSG_WarningLine(3445, name);
    if (strchr(name, '/') != nullptr)
        MSG_WarningLine(3446, name);
    if (SECT_IsPathWord(name))
        MSG_WarningLine(3447, name);
    if (m->Pin_Numbers == nullptr && !StartNames(m))
        return;
    if (!StartSections(m))
        return;
    int64_t pin = StorePin(m, name);
    if (pin < 0)
        return;
    s_pin = pin;
    ParseSections(rest);
    if (s_list.current == nullptr)
        MSG_ErrorLine(3449);
}

// ---- Keywords -----------------------------------------------------------------

MTX **MatrixSlot(PKGMDL *m, int code) {
    switch (code) {
    case KW_RESISTANCE_MATRIX: return &m->Resistance;
    case KW_INDUCTANCE_MATRIX: return &m->Inductance;
    case KW_CAPACITANCE_MATRIX: return &m->Capacitance;
    default: MSG_BugLine(3463, kSourceName, __LINE__); return nullptr;
    }
}

bool IsMatrixCode(int code) { return code >= KW_RESISTANCE_MATRIX && code <= KW_CAPACITANCE_MATRIX; }

// The matrix that [Row] and its data lines go to, or null.
MTX *CurrentMatrix(PKGMDL *m) {
    if (!IsMatrixCode(s_matrix))
        return nullptr;
    return *MatrixSlot(m, s_matrix);
}

void Flag(int *seen, const char *label, const char *value) {
    if (*seen) {
        MSG_ErrorLine(3468, label);
        return;
    }
    if (*value != '\0')
        MSG_ErrorLine(3469, label);
    *seen = 1;
}

// The codes of a count keyword, in the order of its checks.
struct CountCodes {
    int blank, duplicate;
    int late;  // given after the first pin name; 0 where that is allowed
    int suspicious, bad, zero;
};
const CountCodes kPinCount = {3420, 3421, 0, 3422, 3423, 3424};
const CountCodes kSectionCount = {3425, 3426, 3427, 3428, 3429, 3430};

// [Number Of Pins] or [Number Of Sections] into *count, a number of at most
// 32 bits (a larger one is bad). 0 when the value is blank or the count was
// given already, which changes nothing; else 1.
int NumberOf(const PKGMDL *m, const char *value, uint32_t *count, const CountCodes &codes) {
    if (*value == '\0') {
        MSG_ErrorLine(codes.blank);
        return 0;
    }
    if (*count != 0) {
        MSG_ErrorLine(codes.duplicate);
        return 0;
    }
    if (codes.late != 0 && m->Pin_Numbers != nullptr)
        MSG_ErrorLine(codes.late);
    unsigned long n = 0;
    int r = CMN_GetUnsigned(value, &n);
    if (r == 0 || n > UINT32_MAX) {
        MSG_ErrorLine(codes.bad);
        return 1;
    }
    if (r == 2)
        MSG_WarningLine(codes.suspicious);
    *count = static_cast<uint32_t>(n);
    if (n == 0)
        MSG_ErrorLine(codes.zero);
    return 1;
}

// A matrix keyword: the matrix is made from the value (its type) unless the
// model has one already, which is kept.
void Matrix(PKGMDL *m, IBIS_KEYWORD code, const char *value, int duplicate) {
    s_matrix = code;
    MTX **slot = MatrixSlot(m, code);
    if (*slot != nullptr)
        MSG_ErrorLine(duplicate);
    else
        MTX_Create(slot, value, m->Number_of_Pins);
}

void Keyword(PKGMDL *m, IBIS_KEYWORD code, const char *value) {
    switch (code) {
    case KW_DEFINE_PACKAGE_MODEL:
        CMN_SetField(m->name, value, 40, "Define Package Model");
        CMN_CheckReservedWord(m->name);
        break;
    case KW_PKG_MANUFACTURER: CMN_SetField(m->Manufacturer, value, 40, "Manufacturer"); break;
    case KW_OEM: CMN_SetField(m->OEM, value, 40, "OEM"); break;
    case KW_DESCRIPTION: CMN_SetField(m->Description, value, 60, "Description"); break;
    case KW_NUMBER_OF_PINS: NumberOf(m, value, &m->Number_of_Pins, kPinCount); break;
    case KW_NUMBER_OF_SECTIONS:
        if (NumberOf(m, value, &m->Number_of_Sections, kSectionCount))
            s_sectionMode = 1;
        break;
    case KW_PIN_NUMBERS: Flag(&s_pinNumbersSeen, "Pin_Numbers", value); break;
    case KW_MODEL_DATA: Flag(&s_modelDataSeen, "Model_Data", value); break;
    case KW_END_MODEL_DATA:
        s_matrix = NOT_KEY;
        Flag(&s_endModelDataSeen, "End_Model_Data", value);
        break;
    case KW_END_PACKAGE_MODEL: Flag(&s_endPackageModelSeen, "End_Package_Model", value); break;
    case KW_RESISTANCE_MATRIX: Matrix(m, code, value, 3460); break;
    case KW_INDUCTANCE_MATRIX: Matrix(m, code, value, 3461); break;
    case KW_CAPACITANCE_MATRIX: Matrix(m, code, value, 3462); break;
    case KW_BANDWIDTH:
        if (IsMatrixCode(s_before)) {
            MTX *matrix = *MatrixSlot(m, s_before);
            if (matrix != nullptr)
                MTX_ParseBandwidth(matrix, value);
        } else {
            MSG_ErrorLine(s_before == KW_BANDWIDTH ? 3464 : 3465);
        }
        break;
    case KW_ROW: {
        MTX *matrix = CurrentMatrix(m);
        if (matrix == nullptr)
            MSG_ErrorLine(3466);
        else
            MTX_BeginRow(matrix, value);
        break;
    }
    default: MSG_BugLine(3403, kSourceName, __LINE__); break;
    }
}

void Data(PKGMDL *m, char *text) {
    switch (s_last) {
    case KW_PIN_NUMBERS:
        if (s_sectionMode && PARSE_GetIbisVersion() > 2)
            SectionPinLine(m, text);
        else
            PlainPinLine(m, text);
        break;
    case KW_ROW: {
        MTX *matrix = CurrentMatrix(m);
        if (matrix != nullptr)
            MTX_ParseRowData(matrix, text);
        break;
    }
    default: MSG_ErrorLine(3404); break;
    }
}

// The checks of a model when it closes, in their order.
void EndChecks(PKGMDL *m) {
    const char *name = m->name;
    if (name[0] == '\0')
        MSG_Error(3417);
    if (m->Manufacturer[0] == '\0')
        MSG_Error(3467, "Manufacturer", name);
    if (m->OEM[0] == '\0')
        MSG_Error(3418, name);
    if (m->Description[0] == '\0')
        MSG_Error(3419, name);
    if (m->Number_of_Pins == 0)
        MSG_Error(3431, name);
    if (!s_pinNumbersSeen)
        MSG_Error(3452, name);
    else if (m->Pin_Numbers == nullptr)
        MSG_Error(3453, name);
    else if (m->Number_of_Pins != 0 && m->pinCount != m->Number_of_Pins)
        MSG_Error(3454, m->Number_of_Pins, m->pinCount, name);
    const bool sections = s_sectionMode != 0;
    if (sections) {
        if (SECT_StartList(&s_list))
            MSG_Error(3450);
        for (uint32_t i = 0; m->Pin_Sections != nullptr && i < m->pinCount; ++i) {
            const PKGMDL_PIN_SECTIONS &p = m->Pin_Sections[i];
            if (p.head != nullptr && p.sections > m->Number_of_Sections)
                MSG_Error(3451, m->Pin_Numbers[i], static_cast<int>(p.sections),
                          static_cast<int>(m->Number_of_Sections));
        }
    }
    if (s_modelDataSeen && sections)
        MSG_Error(3456, name);
    else if (!s_modelDataSeen && !sections)
        MSG_Error(3455, name);
    if (m->Resistance != nullptr) {
        if (sections)
            MSG_Error(3411, name);
        else
            MTX_CheckBandwidth("Resistance", m->Resistance);
    }
    if (m->Inductance != nullptr) {
        if (sections)
            MSG_Error(3412, name);
        else
            MTX_CheckBandwidth("Inductance", m->Inductance);
    } else if (!sections) {
        MSG_Error(3413, name);
    }
    if (m->Capacitance != nullptr) {
        if (sections)
            MSG_Error(3414, name);
        else
            MTX_CheckBandwidth("Capacitance", m->Capacitance);
    } else if (!sections) {
        MSG_Error(3415, name);
    }
    if (s_endModelDataSeen && sections)
        MSG_Error(3458, name);
    else if (!s_endModelDataSeen && !sections)
        MSG_Error(3457, name);
    if (!s_endPackageModelSeen)
        MSG_Error(3459);
}

// ---- Lookups ------------------------------------------------------------------

// Brings the name index up to `list`. Records only ever join a list at its
// head, so a list that reaches the indexed head adds just its newer part;
// any other list is indexed afresh. The newest record of a name wins, as a
// walk from the head finds it. 0 when memory ran out.
int SyncByName(PKGMDL *list) {
    if (list == s_byNameHead)
        return 1;
    PKGMDL *stop = s_byNameHead;
    for (PKGMDL *m = list; m != stop; m = m->next) {
        if (m == nullptr) {  // not a newer head of the indexed list
            NAMEIDX_Clear(&s_byName);
            stop = nullptr;
            break;
        }
    }
    ++s_byNameGeneration;
    for (PKGMDL *m = list; m != stop; m = m->next) {
        int added = 0;
        NAME_ENTRY *e = NAMEIDX_Add(&s_byName, m->name, &added);
        if (e == nullptr) {
            ForgetByName();
            return 0;
        }
        if (added || e->number != s_byNameGeneration) {
            e->item = m;
            e->number = s_byNameGeneration;
        }
    }
    s_byNameHead = list;
    return 1;
}

// ---- The package files of a directory ----------------------------------------

struct ModelLine {
    char *text;  // what follows the keyword on a [Define Package Model] line
    uint32_t file;
};

int CompareLines(const void *a, const void *b) {
    const ModelLine *x = static_cast<const ModelLine *>(a), *y = static_cast<const ModelLine *>(b);
    int c = strcmp(x->text, y->text);
    return c != 0 ? c : (x->file > y->file) - (x->file < y->file);
}

int CompareFiles(const void *a, const void *b) {
    uint32_t x = *static_cast<const uint32_t *>(a), y = *static_cast<const uint32_t *>(b);
    return (x > y) - (x < y);
}

// What the passes at one depth of nesting have read of a directory's files.
// An entry counts only when stamped with the serial of the pass asking, so
// a new pass at that depth starts with nothing read, without a clearing walk.
struct PassMarks {
    uint64_t serial;   // the pass that used the marks last
    uint64_t *readBy;  // per file: the pass that read it
    // Per line: the line itself while its file is unread, else a later line
    // (path halving keeps the skips short); one more slot ends the array.
    uint32_t *alive;
    uint64_t *aliveBy;  // per line: the pass that set `alive`
};

}  // namespace

// The listed files of one directory and the model lines they hold, sorted
// so that the lines beginning with a name form one run. Shared by the
// passes of a run; each depth of nesting has its own marks.
struct PKGMDL_SCAN {
    PKGMDL_SCAN *next;
    char dir[CMN_PATH_MAX + 1];
    char **files;  // sorted, as listed
    size_t fileCount;
    uint32_t *unopened;  // the files that did not open, in listing order
    uint32_t unopenedCount;
    uint32_t *order;  // per search: the files to read
    ModelLine *lines;
    uint32_t lineCount, lineRoom;
    PassMarks *marks[CHECKPASS_MAX_DEPTH];
};

namespace {

void FreeMarks(PassMarks *m) {
    if (m == nullptr)
        return;
    CMN_Free(m->readBy);
    CMN_Free(m->alive);
    CMN_Free(m->aliveBy);
    CMN_Free(m);
}

int AddLine(PKGMDL_SCAN *scan, const char *text, uint32_t file) {
    if (!CMN_Grow(&scan->lines, &scan->lineRoom, static_cast<size_t>(scan->lineCount) + 1, kFirstRoom))
        return 0;
    char *copy = CMN_StrDup(text);
    if (copy == nullptr)
        return 0;
    size_t n = strlen(copy);
    while (n > 0 && (copy[n - 1] == '\n' || copy[n - 1] == '\r'))
        copy[--n] = '\0';
    scan->lines[scan->lineCount].text = copy;
    scan->lines[scan->lineCount].file = file;
    ++scan->lineCount;
    return 1;
}

// Opens a listed file, with the opener's message when it does not open.
FILE *OpenListed(const PKGMDL_SCAN *scan, uint32_t file) {
    FILE *f = nullptr;
    char opened[CMN_PATH_MAX + 1];
    return CMN_OpenFile(scan->files[file], FILE_PKG, &f, opened) ? f : nullptr;
}

// Collects the model lines of one file; a file that does not open holds
// none. 0 only when memory ran out.
int ScanFile(PKGMDL_SCAN *scan, uint32_t file) {
    FILE *f = OpenListed(scan, file);
    if (f == nullptr) {
        scan->unopened[scan->unopenedCount++] = file;
        return 1;
    }
    static const char *const kKeys[] = {"[DEFINE PACKAGE MODEL]", "[DEFINE PACKAGE_MODEL]",
                                        "[DEFINE_PACKAGE MODEL]", "[DEFINE_PACKAGE_MODEL]"};
    // Characters the reader refuses are reported when the file is read, with
    // their lines; a scan that may not read it must not report them.
    CMN_SuppressCharCheck(1);
    int ok = 1;
    char line[121];
    while (ok && CMN_ReadKeywordLine(line, sizeof line, f) != nullptr) {
        const char *p = line;
        CMN_SkipBlanks(&p);
        if (*p != '[' || (p[1] != 'D' && p[1] != 'd'))
            continue;  // every key begins "[D"
        for (const char *key : kKeys) {
            if (CMN_StrNEqualNoCase(p, key, 22)) {
                const char *rest = p + 22;
                CMN_SkipBlanks(&rest);
                ok = AddLine(scan, rest, file);
                break;
            }
        }
    }
    CMN_SuppressCharCheck(0);
    fclose(f);
    return ok;
}

// Lists and scans a directory; null after 3408 when memory ran out.
PKGMDL_SCAN *BuildScan(const char *dir) {
    PKGMDL_SCAN *scan = nullptr;
    if (!CMN_Alloc(&scan, sizeof(PKGMDL_SCAN))) {
        MSG_Bug(3408);
        return nullptr;
    }
    CMN_StrNCopy(scan->dir, dir, CMN_PATH_MAX);
    int ok = PLAT_ListPackageFiles(dir, &scan->files, &scan->fileCount) &&
             scan->fileCount < UINT32_MAX &&
             CMN_Alloc(&scan->unopened, scan->fileCount * sizeof(uint32_t)) &&
             CMN_Alloc(&scan->order, scan->fileCount * sizeof(uint32_t));
    for (uint32_t i = 0; ok && i < scan->fileCount; ++i) {
        // A name with a separator would be opened elsewhere, and move the
        // remembered directory: such a file cannot be meant.
        if (strchr(scan->files[i], '/') == nullptr && strchr(scan->files[i], '\\') == nullptr)
            ok = ScanFile(scan, i);
    }
    if (!ok) {
        MSG_Bug(3408);
        PKGMDL_FreeScan(scan);
        return nullptr;
    }
    if (scan->lineCount > 1)
        qsort(scan->lines, scan->lineCount, sizeof(ModelLine), CompareLines);
    return scan;
}

// The marks of the pass `serial` at `depth`; null after 3408 when memory ran
// out. A pass that takes over a scan another pass built gets the messages
// the files that did not open gave when it was built, as if it had built it.
PassMarks *MarksOf(PKGMDL_SCAN *scan, uint32_t depth, uint64_t serial, bool built) {
    PassMarks *m = scan->marks[depth];
    if (m == nullptr) {
        const size_t lines = static_cast<size_t>(scan->lineCount) + 1;
        if (!CMN_Alloc(&m, sizeof(PassMarks)) ||
            !CMN_Alloc(&m->readBy, scan->fileCount * sizeof(uint64_t)) ||
            !CMN_Alloc(&m->alive, lines * sizeof(uint32_t)) ||
            !CMN_Alloc(&m->aliveBy, lines * sizeof(uint64_t))) {
            MSG_Bug(3408);
            FreeMarks(m);
            return nullptr;
        }
        scan->marks[depth] = m;
    }
    if (m->serial != serial) {
        m->serial = serial;
        for (uint32_t i = 0; !built && i < scan->unopenedCount; ++i)
            if (FILE *f = OpenListed(scan, scan->unopened[i]))
                fclose(f);
    }
    return m;
}

uint32_t Alive(const PassMarks *m, uint32_t i) { return m->aliveBy[i] == m->serial ? m->alive[i] : i; }

void SetAlive(PassMarks *m, uint32_t i, uint32_t to) {
    m->alive[i] = to;
    m->aliveBy[i] = m->serial;
}

// The first line at or after i whose file is unread (lineCount at the end).
uint32_t NextAlive(PassMarks *m, uint32_t i) {
    for (uint32_t a = Alive(m, i); a != i; a = Alive(m, i)) {
        SetAlive(m, i, Alive(m, a));
        i = Alive(m, i);
    }
    return i;
}

// The first line not below name.
uint32_t LowerBound(const PKGMDL_SCAN *scan, const char *name) {
    uint32_t lo = 0, hi = scan->lineCount;
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        if (strcmp(scan->lines[mid].text, name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

}  // namespace

void PKGMDL_Init(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_BugLine(3400, kSourceName, __LINE__);
        return;
    }
    ForgetModel();
    PKGMDL *m = nullptr;
    if (!CMN_Alloc(&m, sizeof(PKGMDL))) {
        MSG_ErrorLine(3416);
        return;
    }
    IBIS_AddPackageModel(root, m);
    s_model = m;
    s_pinNumbersSeen = s_modelDataSeen = s_endModelDataSeen = s_endPackageModelSeen = 0;
    s_sectionMode = 0;
    s_matrix = NOT_KEY;
}

void PKGMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    if (lineType != LINE_KEYWORD && lineType != LINE_DATA) {
        MSG_BugLine(3405, kSourceName, __LINE__);
        return;
    }
    if (s_model == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 3401 : 3402);
        return;
    }
    if (lineType == LINE_DATA) {
        Data(s_model, text);
        return;
    }
    char *value = text;
    CMN_SkipPastBracket(&value);
    s_before = s_last;
    s_last = code;
    Keyword(s_model, code, value);
}

void PKGMDL_EndKeyword(IBIS_KEYWORD nextCode) {
    if (s_model == nullptr)
        return;
    if ((nextCode >= KW_PKG_MANUFACTURER && nextCode <= KW_ROW) || nextCode == KW_NUMBER_OF_SECTIONS)
        return;
    MTX_EndMatrix();
    if (nextCode == KW_END_MODEL_DATA || nextCode == KW_END_PACKAGE_MODEL)
        return;  // the model stays open
    EndChecks(s_model);
    ForgetModel();
}

void PKGMDL_Reset(void) {
    ForgetModel();
    s_last = s_before = s_matrix = NOT_KEY;
    s_pinNumbersSeen = s_modelDataSeen = s_endModelDataSeen = s_endPackageModelSeen = 0;
    s_sectionMode = 0;
    MTX_Reset();
    s_cursor = 0;
    if (!s_byNameHeld)
        ForgetByName();
}

void PKGMDL_SetNext(PKGMDL *record, PKGMDL *next) {
    MSG_ASSERT(record != nullptr);
    record->next = next;
}

void PKGMDL_Free(PKGMDL *list) {
    ForgetByName();
    while (list != nullptr) {
        PKGMDL *next = list->next;
        if (list == s_model)
            ForgetModel();
        for (uint32_t i = 0; i < list->pinCount; ++i) {
            CMN_Free(list->Pin_Numbers[i]);
            if (list->Pin_Sections != nullptr)
                SECT_FreeList(list->Pin_Sections[i].head, BranchOf, FreeSection);
        }
        CMN_Free(list->Pin_Numbers);
        CMN_Free(list->Pin_Sections);
        MTX_Free(list->Resistance);
        MTX_Free(list->Inductance);
        MTX_Free(list->Capacitance);
        NAMEIDX_Clear(&list->pinIndex);
        CMN_Free(list);
        list = next;
    }
}

void PKGMDL_CheckAll(PKGMDL *list) {
    NAMEIDX_ReportLaterNamesakes(list, [](const PKGMDL *m) { return m->name; },
                                 [](const PKGMDL *m) { MSG_Error(3410, m->name); });
}

int PKGMDL_FindByName(PKGMDL *list, const char *name, PKGMDL **out) {
    MSG_ASSERT(name != nullptr);
    if (list == nullptr)
        return 0;
    PKGMDL *found = nullptr;
    if (SyncByName(list)) {
        NAME_ENTRY *e = NAMEIDX_Find(&s_byName, name);
        found = e != nullptr ? static_cast<PKGMDL *>(e->item) : nullptr;
    } else {
        for (PKGMDL *m = list; m != nullptr && found == nullptr; m = m->next)
            if (strcmp(m->name, name) == 0)
                found = m;
    }
    if (found == nullptr)
        return 0;
    if (out != nullptr)
        *out = found;
    return 1;
}

int PKGMDL_FindPinIndex(const char *pinName, uint32_t *index) {
    MSG_ASSERT(pinName != nullptr && index != nullptr);
    *index = 0;
    if (s_model == nullptr || s_model->Pin_Numbers == nullptr)
        return 0;
    const NAME_ENTRY *e = NAMEIDX_Find(&s_model->pinIndex, pinName);
    if (e == nullptr)
        return 0;
    *index = e->number;
    return 1;
}

int PKGMDL_FindPinIndexAt(const char *pinName, uint32_t hint, uint32_t *index) {
    MSG_ASSERT(pinName != nullptr && index != nullptr);
    // Without repeated names, a name in place `hint` has its first entry there.
    if (s_model != nullptr && s_model->Pin_Numbers != nullptr && s_model->repeatedPins == 0 &&
        hint >= 1 && hint <= s_model->pinCount && strcmp(s_model->Pin_Numbers[hint - 1], pinName) == 0) {
        *index = hint;
        return 1;
    }
    return PKGMDL_FindPinIndex(pinName, index);
}

int PKGMDL_NextPinNumber(PKGMDL *list, const char *modelName, int first, const char **name) {
    MSG_ASSERT(modelName != nullptr && name != nullptr);
    PKGMDL *m = nullptr;
    if (!PKGMDL_FindByName(list, modelName, &m))
        return 0;
    if (first == 1)
        s_cursor = 0;
    else if (s_cursor < UINT32_MAX)
        ++s_cursor;
    if (m->Pin_Numbers == nullptr || s_cursor >= m->Number_of_Pins || s_cursor >= m->pinCount)
        return 0;
    *name = m->Pin_Numbers[s_cursor];
    return 1;
}

int PKGMDL_FindInPkgFiles(const char *modelName) {
    MSG_ASSERT(modelName != nullptr);
    char dir[CMN_PATH_MAX + 1];
    CMN_GetBaseDirectory(dir);
    // The directory is listed and its files scanned once per run; outside
    // a pass the scan lasts for this call.
    uint32_t depth = 0;
    uint64_t serial = 1;
    PKGMDL_SCAN **kept = CHECKPASS_GetPackageScans(&depth, &serial);
    PKGMDL_SCAN *scan = nullptr;
    for (PKGMDL_SCAN *s = kept != nullptr ? *kept : nullptr; s != nullptr && scan == nullptr; s = s->next)
        if (strcmp(s->dir, dir) == 0)
            scan = s;
    const bool built = scan == nullptr;
    if (built) {
        scan = BuildScan(dir);
        if (scan == nullptr)
            return 0;
        if (kept != nullptr) {
            scan->next = *kept;
            *kept = scan;
        }
    }
    PassMarks *marks = MarksOf(scan, depth, serial, built);
    if (marks == nullptr) {
        if (kept == nullptr)
            PKGMDL_FreeScan(scan);
        return 0;
    }

    // Lines that begin with the name (a longer name matches too) form one
    // run; every unread file with such a line is read, in listing order.
    const size_t length = strlen(modelName);
    const uint32_t first = LowerBound(scan, modelName);
    auto matches = [&](uint32_t i) {
        return i < scan->lineCount && strncmp(scan->lines[i].text, modelName, length) == 0;
    };
    const int found = matches(first);
    uint32_t toRead = 0;
    for (uint32_t i = NextAlive(marks, first); matches(i); i = NextAlive(marks, i + 1)) {
        SetAlive(marks, i, i + 1);
        uint32_t file = scan->lines[i].file;
        if (marks->readBy[file] != serial) {
            marks->readBy[file] = serial;
            scan->order[toRead++] = file;
        }
    }
    if (toRead > 1)
        qsort(scan->order, toRead, sizeof(uint32_t), CompareFiles);
    // The search re-enters the reader from the whole-file checks:
    //
    //   CHECKPASS_RunChecks -> IBIS_CheckFile -> CMPNT_CheckAll
    //     -> component's [Package Model] not in the file
    //     -> PKGMDL_FindInPkgFiles
    //          -> CHECKPASS_ResetSections   (sections only; the root stays)
    //          -> PARSE_ParseFile(.pkg)     (models join the current root)
    //     <- PKGMDL_FindByName finds them through the kept name index
    for (uint32_t i = 0; i < toRead; ++i) {
        // The file's models join the current root. Nothing the checked file
        // left open (a component, model or selector after an unknown
        // keyword) may be ended and checked by this file's keywords. No
        // record is freed on the way, so the name index survives the reset.
        s_byNameHeld = 1;
        CHECKPASS_ResetSections();
        s_byNameHeld = 0;
        PARSE_ParseFile(scan->files[scan->order[i]], FILE_PKG);
    }
    if (kept == nullptr)
        PKGMDL_FreeScan(scan);
    return found;
}

void PKGMDL_FreeScan(PKGMDL_SCAN *scan) {
    while (scan != nullptr) {
        PKGMDL_SCAN *next = scan->next;
        PLAT_FreeNames(scan->files, scan->fileCount);
        for (uint32_t i = 0; i < scan->lineCount; ++i)
            CMN_Free(scan->lines[i].text);
        CMN_Free(scan->lines);
        CMN_Free(scan->unopened);
        CMN_Free(scan->order);
        for (PassMarks *m : scan->marks)
            FreeMarks(m);
        CMN_Free(scan);
        scan = next;
    }
}
