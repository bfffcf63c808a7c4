// [Series MOSFET]: per entry a "Vds = value" line, then an I-V table read
// as "Series_MOSFET"; and the search for entries of equal Vds.
#define MSG_SRC MSGSRC_SMOS
#include "IbisParser/smos.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/smos";
const int kMaxEntries = 100;
// Vds values closer than this are the same.
const double kSameVds = 1e-9;

// The entry being read (null when none), its keyword line, and whether its
// next data line is the Vds line.
SMOS *s_current = nullptr;
unsigned long s_keywordLine = 0;
int s_expectVds = 0;

int SMOS_Create(SMOS **out) {
    if (!CMN_Alloc(out, sizeof(SMOS))) {
        MSG_Bug(2809, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void SMOS_ParseVds(const char *text, double **slot) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(2802, "Vds", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const bool isVds = words.words[0] != nullptr && strcmp(words.words[0], "Vds") == 0;
    CMN_FreeWords(&words);
    if (!isVds) {
        MSG_ErrorLine(2807);
        return;
    }
    if (*slot != nullptr) {
        MSG_ErrorLine(2808);
        return;
    }
    if (!CMN_Alloc(slot, sizeof(double))) {
        MSG_Bug(2809, kSourceName, __LINE__);
        return;
    }
    if (!CMN_SplitWordsAt(text, 3, '=', &words)) {
        MSG_BugLine(2802, "Vds", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found < 3) {
        MSG_ErrorLine(2810, "Vds");
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 3)
        MSG_ErrorLine(2803, static_cast<int>(words.found), "Vds", 3);
    if (strcmp(words.words[1], "=") == 0) {
        double value = 0.0;
        if (CMN_GetValue(words.words[2], &value) == 0)
            MSG_ErrorLine(2811, "Vds", words.words[2]);
        else
            **slot = value;  // digits behind a scale letter pass silently here
    } else {
        MSG_ErrorLine(2810, "Vds");
    }
    CMN_FreeWords(&words);
}

// The plain walk over every pair: used only when the sort's arrays cannot
// be had.
void ReportPairsSlowly(SMOS *list, const char *modelName, const char *label) {
    for (const SMOS *a = list; a != nullptr; a = a->next) {
        if (a->Vds == nullptr)
            continue;
        for (const SMOS *b = a->next; b != nullptr; b = b->next)
            if (b->Vds != nullptr && fabs(*b->Vds - *a->Vds) < kSameVds)
                MSG_Error(2806, modelName, label, *a->Vds);
    }
}

struct VdsAt {
    double vds;
    int order;  // among the entries that have a Vds, in file order
};

}  // namespace

void SMOS_Reset(void) {
    s_current = nullptr;
    s_keywordLine = 0;
    s_expectVds = 0;
}

int SMOS_Init(const char *keywordText, SMOS **list, SMOS **entry) {
    MSG_ASSERT(keywordText != nullptr && list != nullptr && entry != nullptr);
    SMOS_Reset();
    *entry = nullptr;
    SMOS *created = nullptr;
    if (!SMOS_Create(&created))
        return 0;
    if (CMN_AppendAtTail(list, created) >= kMaxEntries)
        MSG_ErrorLine(2800);
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(2801, kSourceName, __LINE__);
    } else {
        WORD_LIST words{};
        if (!CMN_SplitWords(rest, 0, &words))
            MSG_Bug(2802, "[Series_MOSFET]", kSourceName, __LINE__);
        else if (words.found > 0)
            MSG_ErrorLine(2803, static_cast<int>(words.found) + 1, "[Series_MOSFET]", 1);
        CMN_FreeWords(&words);
    }
    s_keywordLine = MSG_GetLineNumber();
    s_expectVds = 1;
    s_current = created;
    *entry = created;
    return 1;
}

void SMOS_ParseLine(const char *text) {
    MSG_ASSERT(text != nullptr);
    if (s_current == nullptr)
        return;
    if (s_expectVds) {
        s_expectVds = 0;
        SMOS_ParseVds(text, &s_current->Vds);
    } else {
        CRV_ParseLine(text, s_current->table, "Series_MOSFET");
    }
}

void SMOS_CheckTable(const char *modelName, int modelType, int keywordCode) {
    MSG_ASSERT(modelName != nullptr);
    if (s_current == nullptr)
        return;
    const int line = static_cast<int>(s_keywordLine);
    if (s_current->Vds == nullptr)
        MSG_Error(2804, modelName, line);
    else if (*s_current->Vds < 0)
        MSG_Error(2805, modelName, line);
    if (s_current->table != nullptr)
        CRV_EndKeyword(modelName, modelType, keywordCode, s_current->table, "Series_MOSFET",
                       "Model");
    SMOS_Reset();
}

void SMOS_CheckDuplicateVds(SMOS *list, const char *modelName, const char *label) {
    MSG_ASSERT(modelName != nullptr && label != nullptr);
    // Sorted by value, the entries close to one another sit side by side:
    // the work is the sort plus one step per pair reported.
    int n = 0;
    for (const SMOS *e = list; e != nullptr; e = e->next)
        n += e->Vds != nullptr;
    if (n < 2)
        return;
    VdsAt *sorted = nullptr;
    int *later = nullptr;  // per entry: later entries of the same Vds
    if (!CMN_Alloc(&sorted, static_cast<size_t>(n) * sizeof(VdsAt)) ||
        !CMN_Alloc(&later, static_cast<size_t>(n) * sizeof(int))) {
        CMN_Free(sorted);
        ReportPairsSlowly(list, modelName, label);
        return;
    }
    int m = 0, order = 0;
    for (const SMOS *e = list; e != nullptr; e = e->next) {
        if (e->Vds == nullptr)
            continue;
        // An infinite Vds is close to nothing, not even to itself.
        if (std::isfinite(*e->Vds))
            sorted[m++] = VdsAt{*e->Vds, order};
        ++order;
    }
    std::sort(sorted, sorted + m, [](const VdsAt &a, const VdsAt &b) {
        return a.vds < b.vds || (a.vds == b.vds && a.order < b.order);
    });
    for (int p = 0; p < m; ++p)
        for (int q = p + 1; q < m && fabs(sorted[q].vds - sorted[p].vds) < kSameVds; ++q)
            ++later[std::min(sorted[p].order, sorted[q].order)];
    order = 0;
    for (const SMOS *e = list; e != nullptr; e = e->next) {
        if (e->Vds == nullptr)
            continue;
        for (int k = 0; k < later[order]; ++k)
            MSG_Error(2806, modelName, label, *e->Vds);
        ++order;
    }
    CMN_Free(sorted);
    CMN_Free(later);
}

void SMOS_Free(SMOS *list) {
    while (list != nullptr) {
        SMOS *e = list;
        list = e->next;
        if (e == s_current)
            SMOS_Reset();
        CMN_Free(e->Vds);
        CRV_Free(e->table);
        CMN_Free(e);
    }
}
