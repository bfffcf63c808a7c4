// Delays of a [Driver Schedule] row: Rise_on_dly, Rise_off_dly, Fall_on_dly,
// Fall_off_dly, each a number or NA.
#define MSG_SRC MSGSRC_DLY
#include "IbisParser/dly.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {
const char kSourceName[] = "IbisParser/dly";
}

int DLY_Create(DLY **slot) {
    MSG_ASSERT(slot != nullptr);
    if (!CMN_Alloc(slot, sizeof(DLY))) {
        MSG_Bug(4503, kSourceName, __LINE__);
        return 0;
    }
    return 1;
}

void DLY_ParseDelays(const char *text, const char *name, DLY **slot) {
    MSG_ASSERT(text != nullptr && name != nullptr && slot != nullptr);
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 4, &words)) {
        MSG_BugLine(4500, name, kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    switch (words.found) {
    case 1: MSG_ErrorLine(4501, "Rise_off_dly", name); break;
    case 2: MSG_ErrorLine(4501, "Fall_on_dly", name); break;
    case 3: MSG_ErrorLine(4501, "Fall_off_dly", name); break;
    case 4: break;
    default: MSG_ErrorLine(4502, static_cast<int>(words.found), name, 4); break;
    }
    if (DLY_Create(slot))
        DLY_Check(words.words[0], words.words[1], words.words[2], words.words[3], name, *slot);
    CMN_FreeWords(&words);
}

int DLY_Check(const char *riseOn, const char *riseOff, const char *fallOn, const char *fallOff,
              const char *name, DLY *record) {
    MSG_ASSERT(name != nullptr && record != nullptr);
    struct Column {
        const char *text;
        const char *label;
        double *value;
        int *state;
    } const columns[] = {
        {riseOn, "Rise_on_dly", &record->Rise_on_dly, &record->Rise_on_state},
        {riseOff, "Rise_off_dly", &record->Rise_off_dly, &record->Rise_off_state},
        {fallOn, "Fall_on_dly", &record->Fall_on_dly, &record->Fall_on_state},
        {fallOff, "Fall_off_dly", &record->Fall_off_dly, &record->Fall_off_state},
    };
    int read = 1;
    int given = 0;
    for (const Column &c : columns) {
        read &= CMN_ReadValueOrNA(c.text, name, c.label, c.value, c.state);
        given += *c.state == CMN_VALUE_NUMBER;
    }
    if (!read)
        return 0;
    if (given < 2) {
        MSG_ErrorLine(4504);
        return 0;
    }
    int consistent = 1;
    if (given < 4) {
        if (record->Rise_on_state == CMN_VALUE_NUMBER && record->Fall_off_state == CMN_VALUE_NUMBER) {
            MSG_ErrorLine(4505, "Rise_on_dly", "Fall_off_delay");
            consistent = 0;
        }
        if (record->Rise_off_state == CMN_VALUE_NUMBER && record->Fall_on_state == CMN_VALUE_NUMBER) {
            MSG_ErrorLine(4505, "Rise_off_dly", "Fall_on_delay");
            consistent = 0;
        }
    }
    for (const Column &c : columns)
        if (*c.state == CMN_VALUE_NUMBER && *c.value < 0)
            MSG_ErrorLine(4506, c.label);
    return consistent;
}

void DLY_Free(DLY *record) { CMN_Free(record); }
