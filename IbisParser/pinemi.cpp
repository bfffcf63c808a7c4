// [Pin EMI] rows of a component's EMI block: each pin's clock domain and
// divider, and the end checks of the pins and domains.
#define MSG_SRC MSGSRC_PINEMI
#include "IbisParser/pinemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/pin.h"

namespace {

const char kSourceName[] = "IbisParser/pinemi";
const size_t kClockDivMax = 5;

const char *PinOf(const PINEMI *row) { return row->pin_name; }

}  // namespace

int PINEMI_Create(PINEMI **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(PINEMI))) {
        MSG_ErrorLine(4910);
        return 0;
    }
    return 1;
}

int PINEMI_ParseRow(const char *text, PINEMI **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    PINEMI *row = nullptr;
    if (!PINEMI_Create(&row)) {
        MSG_ErrorLine(4900);
        return 0;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 4, &words)) {
        CMN_FreeWords(&words);
        PINEMI_Free(row);
        return 0;
    }
    if (words.stored >= 4)
        MSG_ErrorLine(4905, words.words[3]);
    if (words.stored >= 1)
        CMN_CopyTruncate(row->pin_name, words.words[0], 5, "pin_name");
    else
        MSG_ErrorLine(4901);
    if (words.stored >= 2) {
        const char *domain = words.words[1];
        if (!CMN_StrEqualNoCase(domain, "NA"))
            CMN_CheckReservedWord(domain);
        CMN_CopyTruncate(row->domain_name, domain, 20, "domain_name");
    } else {
        MSG_ErrorLine(4902);
    }
    if (words.stored >= 3) {
        const char *div = words.words[2];
        if (strlen(div) > kClockDivMax)
            MSG_ErrorLine(4904, static_cast<int>(kClockDivMax));
        CMN_ReadValueOrNA(div, "Pin EMI", "clock_div", &row->clock_div, &row->clock_div_state);
    } else {
        MSG_ErrorLine(4903);
    }
    CMN_FreeWords(&words);
    *out = row;
    return 1;
}

void PINEMI_Append(PINEMI **head, PINEMI *row) {
    MSG_ASSERT(head != nullptr && row != nullptr);
    for (size_t n = NAMEIDX_AppendCounting(head, row, PinOf); n > 0; --n)
        MSG_ErrorLine(4906, row->pin_name);
}

void PINEMI_Free(PINEMI *list) {
    if (list != nullptr)
        NAMEIDX_FreeList(list->index);
    CMN_FreeChain(list);
}

PINEMI *PINEMI_FindByPin(PINEMI *list, const char *pin) {
    MSG_ASSERT(pin != nullptr);
    return NAMEIDX_FindFirst(list, pin, PinOf);
}

int PINEMI_Exists(PINEMI *list, const char *pin) { return PINEMI_FindByPin(list, pin) != nullptr; }

void PINEMI_CheckAll(PINEMI *rows, CMPNTEMI_DOMAIN *domains, PIN *pins, const char *component) {
    MSG_ASSERT(component != nullptr);
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(4907, kSourceName, __LINE__);
        return;
    }
    auto domainOf = [](const PINEMI *r) { return r->domain_name; };
    NAME_TALLY used;
    NAMEIDX_InitTally(&used);
    NAMEIDX_CountList(&used, rows, domainOf);
    for (CMPNTEMI_DOMAIN *d = domains; d != nullptr; d = d->next)
        if (!NAMEIDX_Has(&used, rows, d->domain_name, domainOf))
            MSG_Error(4908, component, d->domain_name);
    NAMEIDX_FreeTally(&used);
    for (PINEMI *row = rows; row != nullptr; row = row->next) {
        PIN *pin = PIN_FindByName(row->pin_name, pins);
        if (pin == nullptr)
            MSG_Error(4909, component, row->pin_name);
        else if (!CMN_IsNotReservedWord(pin->model_name))
            MSG_Error(4911, component, row->pin_name, pin->model_name);
    }
}
