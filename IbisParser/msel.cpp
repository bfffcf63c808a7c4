// [Model Selector] section: a selector's name and its rows (a model name
// and a description each), and the check of every selector's models at the
// end of the file.
#define MSG_SRC MSGSRC_MSEL
#include "IbisParser/msel.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/namedlist.h"
#include "IbisParser/nameidx.h"

namespace {

const char kSourceName[] = "IbisParser/msel";
// A row's model name and description share this many characters.
const size_t kRowWidth = 80;

MSEL *s_current = nullptr;
IBIS_KEYWORD s_code = NOT_KEY;

size_t NameLimit() { return PARSE_GetIbisVersion() < 4 ? 20 : 40; }

void MSEL_ParseName(const char *rest, MSEL *sel) {
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 1, &words)) {
        MSG_Error(4009);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found == 0) {
        MSG_ErrorLine(4010);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found > 1)
        MSG_ErrorLine(4011, static_cast<int>(words.found), "Model Selector", 1);
    const size_t limit = NameLimit();
    if (strlen(words.words[0]) > limit)
        MSG_ErrorLine(4012, static_cast<int>(limit));
    CMN_StrNCopy(sel->name, words.words[0], limit);
    CMN_FreeWords(&words);
    if (!CMN_IsNotReservedWord(sel->name))
        MSG_ErrorLine(4013, sel->name);
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root) || root->modelSelectors != sel)
        return;
    if (NAMEDLIST_Find(root->modelSelectors, sel->name, sel) != nullptr)
        MSG_ErrorLine(4014, sel->name);
    NAMEDLIST_Add(root->modelSelectors, sel);
}

void DropRowNames(MSEL *sel) {
    if (sel->rowNames == nullptr)
        return;
    NAMEIDX_Clear(sel->rowNames);
    CMN_FreeAndClear(&sel->rowNames);
}

// Appends the row; a name already in this selector is reported.
void AppendRow(MSEL *sel, MSEL_MODEL *row) {
    bool used = false;
    NAME_ENTRY *e = nullptr;
    int added = 0;
    if (sel->rowNames == nullptr && sel->models == nullptr)
        CMN_Alloc(&sel->rowNames, sizeof(NAME_INDEX));
    if (sel->rowNames != nullptr && (e = NAMEIDX_Add(sel->rowNames, row->name, &added)) == nullptr)
        DropRowNames(sel);  // out of memory: the rows are walked from here on
    if (e != nullptr) {
        used = !added;
    } else {
        for (const MSEL_MODEL *r = sel->models; r != nullptr && !used; r = r->next)
            used = strcmp(r->name, row->name) == 0;
    }
    (sel->lastModel != nullptr ? sel->lastModel->next : sel->models) = row;
    sel->lastModel = row;
    ++sel->modelCount;
    if (used)
        MSG_ErrorLine(4025, row->name);
}

void MSEL_ParseModelLine(const char *text, MSEL *sel) {
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        MSG_BugLine(4015, "Model Selector Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found == 0) {
        MSG_ErrorLine(4016);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found == 1)
        MSG_ErrorLine(4011, 1, "Model Selector", 2);
    MSEL_MODEL *row = nullptr;
    if (!MSEL_CreateModel(&row)) {
        CMN_FreeWords(&words);
        return;
    }
    const size_t limit = NameLimit();
    if (strlen(words.words[0]) > limit)
        MSG_ErrorLine(4017, static_cast<int>(limit));
    CMN_StrNCopy(row->name, words.words[0], limit);
    CMN_FreeWords(&words);
    if (CMN_StrEqualNoCase(row->name, "NA"))
        MSG_ErrorLine(4018);
    // The description is the rest of the line as written; with the stored
    // (at most 40 character) name it fits the row's width.
    const char *rest = text;
    CMN_SkipBlanks(&rest);
    CMN_SkipWord(&rest);
    CMN_SkipBlanks(&rest);
    const size_t room = kRowWidth - strlen(row->name);
    if (strlen(rest) > room)
        MSG_ErrorLine(4019, rest, static_cast<unsigned>(room));
    CMN_StrNCopy(row->description, rest, room);
    AppendRow(sel, row);
}

}  // namespace

void MSEL_Reset(void) {
    s_current = nullptr;
    s_code = NOT_KEY;
}

void MSEL_Init(void) {
    s_current = nullptr;
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_BugLine(4000, kSourceName, __LINE__);
        return;
    }
    MSEL *sel = nullptr;
    if (!MSEL_Create(&sel))
        return;
    IBIS_AddModelSelector(root, sel);
    s_current = sel;
}

void MSEL_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    MSEL *sel = s_current;
    if (sel == nullptr) {
        if (lineType == LINE_KEYWORD)
            MSG_ErrorLine(4001);
        else if (lineType == LINE_DATA)
            MSG_ErrorLine(4002);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        const char *rest = text;
        CMN_SkipPastBracket(&rest);
        s_code = code;
        if (code == KW_MODEL_SELECTOR)
            MSEL_ParseName(rest, sel);
        else
            MSG_BugLine(4003, kSourceName, __LINE__);
    } else if (lineType == LINE_DATA) {
        if (s_code == KW_MODEL_SELECTOR)
            MSEL_ParseModelLine(text, sel);
        else
            MSG_ErrorLine(4002);
    } else {
        MSG_BugLine(4004, kSourceName, __LINE__);
    }
}

void MSEL_EndKeyword(void) {
    // The keyword after a selector ends it; without one (a file kind that
    // refused [Model Selector]) there is nothing to end.
    MSEL *sel = s_current;
    if (sel == nullptr)
        return;
    if (sel->modelCount == 0)
        MSG_Error(4005, sel->name);
    else if (sel->modelCount == 1)
        MSG_Warning(4006, sel->name);
    DropRowNames(sel);
    s_current = nullptr;
    s_code = NOT_KEY;
}

void MSEL_CheckAll(MSEL *selectors) {
    for (MSEL *sel = selectors; sel != nullptr; sel = sel->next) {
        IBIS *root = nullptr;
        if (!IBIS_GetCurrent(&root)) {
            MSG_Bug(4020, kSourceName, __LINE__);
            continue;
        }
        if (MDL_MarkReferenced(sel->name, root->models))
            MSG_Error(4021, sel->name);
        // Kind of the first row: 1 single-ended, 0 differential.
        int kind = 1;
        for (const MSEL_MODEL *row = sel->models; row != nullptr; row = row->next) {
            MDL *m = nullptr;
            if (CMN_IsNotReservedWord(row->name)) {
                m = MDL_FindByName(row->name, root->models);
                if (m == nullptr)
                    MSG_Error(4024, row->name, sel->name);
                else
                    m->referenced = 1;
            }
            const int single = m != nullptr && m->single_ended == 0 ? 0 : 1;
            if (row == sel->models)
                kind = single;
            else if (single != kind)
                MSG_Warning(single ? 4023 : 4022, row->name, sel->name);
        }
        sel->single_ended = kind;
    }
}

MSEL *MSEL_FindByName(const char *name, MSEL *selectors) {
    return NAMEDLIST_Find(selectors, name);
}

int MSEL_Exists(const char *name, MSEL *selectors) {
    return MSEL_FindByName(name, selectors) != nullptr;
}

int MSEL_Create(MSEL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(MSEL))) {
        MSG_ErrorLine(4007);
        return 0;
    }
    (*out)->single_ended = 2;
    return 1;
}

int MSEL_CreateModel(MSEL_MODEL **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(MSEL_MODEL))) {
        MSG_ErrorLine(4008);
        return 0;
    }
    return 1;
}

void MSEL_SetNext(MSEL *record, MSEL *next) {
    MSG_ASSERT(record != nullptr);
    NAMEDLIST_Link(record, next);
}

void MSEL_Free(MSEL *list) {
    while (list != nullptr) {
        MSEL *next = list->next;
        if (list == s_current)
            s_current = nullptr;
        for (MSEL_MODEL *row = list->models; row != nullptr;) {
            MSEL_MODEL *following = row->next;
            CMN_Free(row);
            row = following;
        }
        DropRowNames(list);
        NAMEDLIST_FreeIndex(list);
        CMN_Free(list);
        list = next;
    }
}
