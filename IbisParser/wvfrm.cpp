// Time-value tables: fixture sub-parameters, then rows of time and the three
// corners, checked while read and at the end of the table by its kind.
#define MSG_SRC MSGSRC_WVFRM
#include "IbisParser/wvfrm.h"

#include <cmath>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

const char kSourceName[] = "IbisParser/wvfrm";
const int kMaxTables = 100;

// The table being read (null when none) and its keyword line.
WVFRM *s_current = nullptr;
unsigned long s_keywordLine = 0;

// 0 for anything but a fixture; else 1-9 in the order of the record's fields.
int WVFRM_LookupSubparam(const char *word) {
    static const char *const kNames[] = {"R_fixture", "V_fixture", "V_fixture_min",
                                         "V_fixture_max", "C_fixture", "L_fixture",
                                         "R_dut", "L_dut", "C_dut"};
    // Every name begins with R, V, C or L; data rows begin with a number.
    if (word == nullptr || (word[0] != 'R' && word[0] != 'V' && word[0] != 'C' && word[0] != 'L'))
        return 0;
    for (int i = 0; i < 9; ++i)
        if (strcmp(word, kNames[i]) == 0)
            return i + 1;
    return 0;
}

double **FixtureSlot(WVFRM *t, int which) {
    double **const slots[] = {&t->R_fixture, &t->V_fixture, &t->V_fixture_min,
                              &t->V_fixture_max, &t->C_fixture, &t->L_fixture,
                              &t->R_dut, &t->L_dut, &t->C_dut};
    return slots[which - 1];
}

int IsTestDataCaption(const char *caption) {
    static const char *const kCaptions[] = {
        "Rising Waveform Near",       "Rising Waveform Far",
        "Falling Waveform Near",      "Falling Waveform Far",
        "Diff Rising Waveform Near",  "Diff Rising Waveform Far",
        "Diff Falling Waveform Near", "Diff Falling Waveform Far"};
    for (const char *c : kCaptions)
        if (strcmp(caption, c) == 0)
            return 1;
    return 0;
}

int IsPulseCaption(const char *caption) {
    return strcmp(caption, "GND Pulse Table") == 0 || strcmp(caption, "POWER Pulse Table") == 0;
}

int WVFRM_Create(WVFRM **out) {
    if (!CMN_Alloc(out, sizeof(WVFRM))) {
        MSG_Bug(2012, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void WVFRM_ParseFixture(const char *text, double **slot, const char *caption,
                        const char *name, const WVFRM *table) {
    if (table->points != nullptr)
        MSG_ErrorLine(2013, name);
    if (*slot != nullptr) {
        MSG_ErrorLine(2014, caption, name);
        return;
    }
    if (!CMN_Alloc(slot, sizeof(double))) {
        MSG_Bug(2012, kSourceName, __LINE__);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(2002, caption, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found < 3) {
        MSG_ErrorLine(2015, caption);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 3)
        MSG_ErrorLine(2003, static_cast<int>(words.found), caption, 3);
    if (strcmp(words.words[1], "=") == 0) {
        double value = 0.0;
        const int r = CMN_GetValue(words.words[2], &value);
        if (r == 0) {
            MSG_ErrorLine(2017, caption, words.words[2]);
        } else {
            if (r == 2)
                MSG_WarningLine(2016, caption, name, words.words[2]);
            **slot = value;
        }
    } else {
        MSG_ErrorLine(2015, caption);
    }
    CMN_FreeWords(&words);
}

void WVFRM_ParseRow(const char *text, WVFRM *table, const char *caption) {
    RNGP *row = nullptr;
    if (!RNGP_ParseLine(text, caption, "Time", &row))
        return;
    int count = 0;
    RNGP_Append(&table->points, &table->rows, row, &count, 1);
    const int limit = PARSE_GetIbisVersion() < 4 || IsPulseCaption(caption) ? 100 : 1000;
    if (count > limit)
        MSG_ErrorLine(2018, limit, caption);
    if (row->x_state == CMN_VALUE_NA) {
        MSG_ErrorLine(2019, "Time");
    } else if (row->x_state == CMN_VALUE_NUMBER && row->prev != nullptr &&
               row->prev->x_state == CMN_VALUE_NUMBER && row->prev->x >= row->x) {
        MSG_ErrorLine(2020);
    }
}

// Value and state of column c (0 typ, 1 min, 2 max) of a row.
double Column(const RNGP *row, int c, int *state) {
    switch (c) {
    case 0: *state = row->typ_state; return row->typ;
    case 1: *state = row->min_state; return row->min;
    default: *state = row->max_state; return row->max;
    }
}

const char *const kColumnWords[3] = {"Typical", "Minimum", "Maximum"};

// Pulse tables hold offsets from their rail: at or above 0 for GND, at or
// below 0 for POWER; one warning per column.
void CheckOffsets(const RNGP *head, const char *caption, int line) {
    const int gnd = strcmp(caption, "GND Pulse Table") == 0;
    const int power = strcmp(caption, "POWER Pulse Table") == 0;
    if (!gnd && !power)
        return;
    for (int c = 0; c < 3; ++c) {
        for (const RNGP *r = head; r != nullptr; r = r->next) {
            int state = 0;
            const double v = Column(r, c, &state);
            if (state != CMN_VALUE_NUMBER)
                continue;
            if (gnd && v < 0) {
                MSG_Warning(2008, caption, kColumnWords[c], line);
                break;
            }
            if (power && v > 0) {
                MSG_Warning(2009, caption, kColumnWords[c], line);
                break;
            }
        }
    }
}

void CheckTable(const WVFRM *t, const char *caption, int kind, int line) {
    if (kind == WVFRM_KIND_WAVEFORM) {
        if (t->R_fixture == nullptr)
            MSG_Error(2004, "R_fixture", caption, line);
        if (t->V_fixture == nullptr)
            MSG_Error(2004, "V_fixture", caption, line);
    }
    const RNGP *first = t->points, *last = nullptr;
    int rows = 0;
    bool anyGiven[3] = {false, false, false};
    for (const RNGP *r = first; r != nullptr; r = r->next) {
        ++rows;
        last = r;
        anyGiven[1] = anyGiven[1] || r->min_state == CMN_VALUE_NUMBER;
        anyGiven[2] = anyGiven[2] || r->max_state == CMN_VALUE_NUMBER;
    }
    anyGiven[0] = true;  // typ in state 2 is reported whatever the other rows hold
    if (rows < 2) {
        MSG_Error(2005, caption, line);
    } else {
        const RNGP *ends[2] = {first, last};
        const char *const endWords[2] = {"First", "Last"};
        for (int e = 0; e < 2; ++e)
            for (int c = 0; c < 3; ++c) {
                int state = 0;
                Column(ends[e], c, &state);
                if (anyGiven[c] && state == CMN_VALUE_NA)
                    MSG_Error(2006, endWords[e], kColumnWords[c], caption, line);
            }
    }
    if (kind != WVFRM_KIND_PULSE)
        return;
    if (rows >= 2) {
        for (int c = 0; c < 3; ++c) {
            int firstState = 0, lastState = 0;
            const double a = Column(first, c, &firstState);
            const double b = Column(last, c, &lastState);
            if (firstState != CMN_VALUE_NA && lastState != CMN_VALUE_NA && a != b)
                MSG_Error(2007, kColumnWords[c], caption, line);
        }
    }
    CheckOffsets(first, caption, line);
}

}  // namespace

void WVFRM_Reset(void) {
    s_current = nullptr;
    s_keywordLine = 0;
}

int WVFRM_Init(const char *keywordText, WVFRM **list, const char *caption) {
    MSG_ASSERT(keywordText != nullptr && list != nullptr && caption != nullptr);
    s_current = nullptr;
    WVFRM *table = nullptr;
    if (!WVFRM_Create(&table))
        return 0;
    if (CMN_AppendAtTail(list, table) >= kMaxTables)
        MSG_ErrorLine(2000, caption);
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(2001, kSourceName, __LINE__);
    } else {
        WORD_LIST words{};
        if (!CMN_SplitWords(rest, 0, &words))
            MSG_Bug(2002, caption, kSourceName, __LINE__);
        else if (words.found > 0)
            MSG_ErrorLine(2003, static_cast<int>(words.found) + 1, caption, 1);
        CMN_FreeWords(&words);
    }
    s_current = table;
    s_keywordLine = MSG_GetLineNumber();
    return 1;
}

void WVFRM_ParseLine(const char *text, const char *caption) {
    MSG_ASSERT(text != nullptr && caption != nullptr);
    if (s_current == nullptr)
        return;
    // The first word as splitting at '=' gives it; a word too long for the
    // buffer is split off on the heap.
    char buffer[128];
    const char *first = nullptr;
    WORD_LIST words{};
    const char *p = text;
    CMN_SkipBlanks(&p);
    size_t length = *p == '\0' ? 0 : static_cast<size_t>(CMN_TokenLength(p, '='));
    if (*p != '\0' && length == 0)
        length = 1;  // the '=' alone
    if (length < sizeof buffer) {
        if (length > 0)
            first = CMN_StrNCopy(buffer, p, length);
    } else if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2002, caption, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    } else {
        first = words.words[0];
    }
    const int fixture = WVFRM_LookupSubparam(first);
    double value = 0.0;
    int isNA = 0;
    if (fixture != 0) {
        if (IsTestDataCaption(caption))
            MSG_ErrorLine(2010);
        else
            WVFRM_ParseFixture(text, FixtureSlot(s_current, fixture), caption, first, s_current);
    } else if (first != nullptr && CMN_GetValueOrNA(first, &value, &isNA) != 0) {
        WVFRM_ParseRow(text, s_current, caption);
    } else {
        MSG_ErrorLine(2011, caption);
    }
    CMN_FreeWords(&words);
}

void WVFRM_EndKeyword(const char *caption, int kind) {
    MSG_ASSERT(caption != nullptr);
    if (s_current == nullptr)
        return;
    CheckTable(s_current, caption, kind, static_cast<int>(s_keywordLine));
    // The table takes no more rows: its index of times has done its work.
    RNGP_DropIndex(&s_current->rows);
    s_current = nullptr;
}

int WVFRM_SameTimePoints(const WVFRM *waveform, const WVFRM *composite, int index,
                         const char *modelName, const char *edge) {
    MSG_ASSERT(waveform != nullptr && composite != nullptr && modelName != nullptr &&
               edge != nullptr);
    const RNGP *a = waveform->points, *b = composite->points;
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
        if (a->x_state != b->x_state)
            break;
        if (a->x_state == CMN_VALUE_NUMBER && fabs(a->x - b->x) > fabs(a->x) * 1e-6)
            break;
    }
    if (a == nullptr && b == nullptr)
        return 1;
    MSG_Error(2021, modelName, edge, index);
    return 0;
}

void WVFRM_Free(WVFRM *list) {
    // Composite currents are spliced into the walk instead of recursed into.
    while (list != nullptr) {
        WVFRM *t = list;
        list = t->next;
        if (t->composite != nullptr) {
            WVFRM *end = t->composite;
            while (end->next != nullptr)
                end = end->next;
            end->next = list;
            list = t->composite;
        }
        if (t == s_current)
            s_current = nullptr;
        for (int i = 1; i <= 9; ++i)
            CMN_Free(*FixtureSlot(t, i));
        RNGP_Free(t->points);
        RNGP_DropIndex(&t->rows);
        CMN_Free(t);
    }
}
