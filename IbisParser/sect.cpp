// R/L/C sections, read item by item, and the words of the lists that hold
// them.
#define MSG_SRC MSGSRC_SECT
#include "IbisParser/sect.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/sect";

// The items of the section being read, held until its slash.
struct Items {
    double value[4];
    bool given[4];
};
enum { ITEM_LEN, ITEM_L, ITEM_R, ITEM_C };

// Stores one item with its messages: needs Len first (except Len itself), a
// second one replaces the first, a negative value is reported and kept.
void Take(Items &items, int item, double value, int noLen, int duplicate, int negative) {
    if (noLen != 0 && !items.given[ITEM_LEN])
        MSG_ErrorLine(noLen);
    if (items.given[item])
        MSG_ErrorLine(duplicate);
    if (value < 0.0)
        MSG_ErrorLine(negative);
    items.value[item] = value;
    items.given[item] = true;
}

int Make(const Items &items, SECT **out) {
    SECT *s = nullptr;
    if (!SECT_Create(&s))
        return 0;
    double **fields[4] = {&s->Len, &s->L, &s->R, &s->C};
    for (int i = 0; i < 4; ++i) {
        if (!items.given[i])
            continue;
        if (!CMN_Alloc(fields[i], sizeof(double))) {
            MSG_Bug(3014, kSourceName, __LINE__);
            SECT_Free(s);
            return 0;
        }
        **fields[i] = items.value[i];
    }
    *out = s;
    return 1;
}

}  // namespace

int SECT_Create(SECT **section) {
    MSG_ASSERT(section != nullptr);
    if (!CMN_Alloc(section, sizeof(SECT))) {
        MSG_Bug(3014, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void SECT_Free(SECT *section) {
    if (section == nullptr)
        return;
    CMN_Free(section->Len);
    CMN_Free(section->L);
    CMN_Free(section->R);
    CMN_Free(section->C);
    CMN_Free(section);
}

bool SECT_IsPathWord(const char *name) {
    static const char *const kWords[] = {"Len", "Fork", "Endfork", "C", "R", "L"};
    for (const char *w : kWords)
        if (strcmp(name, w) == 0)
            return true;
    return false;
}

int SECT_ParseSection(const char *text, SECT **section, const char **rest) {
    MSG_ASSERT(text != nullptr && section != nullptr && rest != nullptr);
    *section = nullptr;
    const char *p = text;
    *rest = p;
    Items items = {};
    for (bool first = true;; first = false) {
        double value = 0.0;
        int code = CMN_GetRlcItem(p, &value, &p);
        switch (code) {
        case CMN_RLC_LEN: Take(items, ITEM_LEN, value, 0, 3000, 3001); break;
        case CMN_RLC_R: Take(items, ITEM_R, value, 3002, 3003, 3004); break;
        case CMN_RLC_L: Take(items, ITEM_L, value, 3005, 3006, 3007); break;
        case CMN_RLC_C: Take(items, ITEM_C, value, 3008, 3009, 3010); break;
        case CMN_RLC_SLASH: {
            *rest = p;
            bool any = items.given[ITEM_LEN] || items.given[ITEM_L] || items.given[ITEM_R] ||
                       items.given[ITEM_C];
            if (!any)
                MSG_ErrorLine(3011);
            else if (items.given[ITEM_LEN] && items.value[ITEM_LEN] != 0.0 &&
                     (!items.given[ITEM_L] || !items.given[ITEM_C]))
                MSG_ErrorLine(3012);
            return Make(items, section);
        }
        case CMN_RLC_END:
            *rest = p;
            // A text that ends before any item holds no further section,
            // also when its last word was an item without its value (the
            // item reader has reported that).
            if (first)
                return 1;
            MSG_ErrorLine(3013);
            return 0;
        default:
            break;  // reported by the item reader; go on after it
        }
    }
}

int SECT_ParseSection(char *text, SECT **section, char **rest) {
    MSG_ASSERT(rest != nullptr);
    const char *r = text;
    int result = SECT_ParseSection(static_cast<const char *>(text), section, &r);
    *rest = text + (r - text);
    return result;
}
