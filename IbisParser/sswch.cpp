// [Series Switch Groups] of a component: groups of names after On or Off,
// each ended by "/". A group may run over several lines: the reader's
// unterminated-entry flag says that the next data line continues it, and the
// reader clears that flag (reporting it) at the next keyword line.
#define MSG_SRC MSGSRC_SSWCH
#include "IbisParser/sswch.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/spinmpg.h"

namespace {

const size_t kNameMax = 20;

// The group being read and the names it holds so far.
SSWCH *s_reading = nullptr;
NAME_TALLY s_readingNames;

void ForgetReading() {
    s_reading = nullptr;
    NAMEIDX_FreeTally(&s_readingNames);
    NAMEIDX_InitTally(&s_readingNames);
}

bool IsState(const char *word) { return strcmp(word, "On") == 0 || strcmp(word, "Off") == 0; }

// Stores a name (its first 20 characters) at the end of the group.
char *AddName(SSWCH *g, const char *word) {
    if (!CMN_Grow(&g->names, &g->room, static_cast<size_t>(g->count) + 1, 4))
        return nullptr;
    char *name = CMN_StrNDup(word, kNameMax);
    if (name != nullptr)
        g->names[g->count++] = name;
    return name;
}

// 2506 once for each earlier name of the group equal to the new one.
void ReportRepeats(const SSWCH *g, const char *name) {
    long before = NAMEIDX_Count(&s_readingNames, name, nullptr);
    if (before < 0) {
        before = 0;
        for (unsigned k = 0; k + 1 < g->count; ++k)
            before += strcmp(g->names[k], name) == 0;
    }
    for (; before > 0; --before)
        MSG_ErrorLine(2506, name);
}

// The words of a line, however many.
int SplitAll(const char *text, WORD_LIST *words) {
    WORD_LIST counted{};
    if (!CMN_SplitWords(text, 0, &counted))
        return 0;
    return CMN_SplitWords(text, counted.found, words);
}

int ParseWords(const WORD_LIST &words, SSWCH **out) {
    int first = 0;
    SSWCH *g = nullptr;
    if (PARSE_GetUnterminated()) {
        PARSE_SetUnterminated(0);
        g = s_reading;
    }
    if (g == nullptr) {
        const char *state = words.stored > 0 ? words.words[0] : "";
        if (!IsState(state)) {
            MSG_ErrorLine(2500, state);
            return 0;
        }
        if (!SSWCH_Create(&g)) {
            MSG_ErrorLine(2501);
            return 0;
        }
        strcpy(g->state, state);
        *out = g;
        ForgetReading();
        if (words.stored == 1) {
            MSG_ErrorLine(2502);
            return 1;
        }
        s_reading = g;
        first = 1;
    }
    *out = g;
    for (int i = first; i < words.stored; ++i) {
        const char *word = words.words[i];
        if (strcmp(word, "/") == 0) {
            ForgetReading();
            return 1;
        }
        const char *name = AddName(g, word);
        if (name == nullptr) {
            MSG_ErrorLine(2503);
            ForgetReading();
            return 0;
        }
        if (strlen(word) > kNameMax)
            MSG_ErrorLine(2504, word, static_cast<int>(kNameMax));
        if (IsState(name))
            MSG_ErrorLine(2505);
        ReportRepeats(g, name);
        CMN_CheckReservedWord(name);
    }
    PARSE_SetUnterminated(1);
    return 1;
}

}  // namespace

int SSWCH_Create(SSWCH **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(SSWCH))) {
        MSG_ErrorLine(2508);
        return 0;
    }
    return 1;
}

int SSWCH_ParseLine(const char *text, SSWCH **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    *out = nullptr;
    WORD_LIST words{};
    int ok = SplitAll(text, &words) && ParseWords(words, out);
    CMN_FreeWords(&words);
    return ok;
}

int SSWCH_AddLine(SSWCH **groups, const char *text) {
    MSG_ASSERT(groups != nullptr);
    SSWCH *g = nullptr;
    int ok = SSWCH_ParseLine(text, &g);
    // A continued group is the last of the list already.
    if (g != nullptr && (*groups == nullptr || (*groups)->listLast != g))
        CMN_AppendAtTail(groups, g);
    return ok;
}

void SSWCH_Free(SSWCH *list) {
    while (list != nullptr) {
        SSWCH *next = list->next;
        if (list == s_reading)
            ForgetReading();
        for (unsigned k = 0; k < list->count; ++k)
            CMN_Free(list->names[k]);
        CMN_Free(list->names);
        CMN_Free(list);
        list = next;
    }
}

void SSWCH_Reset(void) { ForgetReading(); }

void SSWCH_IndexNames(NAME_TALLY *out, SSWCH *groups) {
    MSG_ASSERT(out != nullptr);
    NAMEIDX_InitTally(out);
    for (SSWCH *g = groups; g != nullptr; g = g->next)
        for (unsigned k = 0; k < g->count; ++k)
            if (NAMEIDX_Count(out, g->names[k], g) < 0)
                return;
}

int SSWCH_HasGroup(const NAME_TALLY *index, SSWCH *groups, const char *name) {
    MSG_ASSERT(index != nullptr && name != nullptr);
    int r = NAMEIDX_Lookup(index, name, nullptr, nullptr);
    if (r >= 0)
        return r;
    for (SSWCH *g = groups; g != nullptr; g = g->next)
        for (unsigned k = 0; k < g->count; ++k)
            if (strcmp(g->names[k], name) == 0)
                return 1;
    return 0;
}

void SSWCH_CheckAll(SSWCH *groups, Series_Pin_Mapping *rows, const char *component) {
    MSG_ASSERT(component != nullptr);
    auto groupOf = [](const Series_Pin_Mapping *r) { return r->function_table_group; };
    NAME_TALLY used;
    NAMEIDX_InitTally(&used);
    NAMEIDX_CountList(&used, rows, groupOf);
    for (SSWCH *g = groups; g != nullptr; g = g->next)
        for (unsigned k = 0; k < g->count; ++k)
            if (!NAMEIDX_Has(&used, rows, g->names[k], groupOf))
                MSG_Warning(2507, component, g->names[k]);
    NAMEIDX_FreeTally(&used);
}
