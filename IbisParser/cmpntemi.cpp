// [Begin EMI Component] ... [End EMI Component] blocks of a component: the
// sub-parameter lines, the [Pin EMI] and [Pin Domain EMI] tables, the close
// of a block, and its end checks.
#define MSG_SRC MSGSRC_CMPNTEMI
#include "IbisParser/cmpntemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/msg.h"
#include "IbisParser/pinemi.h"

namespace {

const char kSourceName[] = "IbisParser/cmpntemi";
const size_t kDomainNameMax = 20;
const size_t kPercentageMax = 5;

// The block being read (null when none is open) and its last keyword.
CMPNTEMI *s_open = nullptr;
IBIS_KEYWORD s_keyword = NOT_KEY;

struct Row {
    const char *text;
    int code;
};
enum { kUnknown, kDomain, kCpd, kHeatsinkGnd, kHeatsinkFloat };
const Row kSubparameters[] = {{"Domain", kDomain},
                              {"Cpd", kCpd},
                              {"C_Heatsink_gnd", kHeatsinkGnd},
                              {"C_Heatsink_float", kHeatsinkFloat},
                              {nullptr, kUnknown}};
const Row kDomains[] = {{"Analog", CMPNTEMI_DOMAIN_ANALOG},
                        {"Digital", CMPNTEMI_DOMAIN_DIGITAL},
                        {"Digital_Analog", CMPNTEMI_DOMAIN_DIGITAL_ANALOG},
                        {nullptr, CMPNTEMI_DOMAIN_NONE}};

void FreeDomains(CMPNTEMI_DOMAINS *table) {
    if (table == nullptr)
        return;
    for (CMPNTEMI_DOMAIN *d = table->first; d != nullptr;) {
        CMPNTEMI_DOMAIN *next = d->next;
        CMN_Free(d->percentage);
        CMN_Free(d);
        d = next;
    }
    NAMEIDX_FreeTally(&table->names);
    CMN_Free(table);
}

void CMPNTEMI_Init(const char *text, CMPNTEMI **slot) {
    if (*slot != nullptr) {
        MSG_ErrorLine(4703);
        CMPNTEMI_Free(*slot);  // also closes it when it is the open block
        *slot = nullptr;
    }
    CMPNTEMI *record = nullptr;
    if (!CMPNTEMI_Create(&record)) {
        MSG_ErrorLine(4713);
        return;
    }
    *slot = record;
    s_open = record;
    if (text[0] != '\0')
        MSG_ErrorLine(4704, text);
}

// Domain and one of its values.
void CMPNTEMI_ParseDomain(CMPNTEMI *e, const char *text) {
    if (e->domain != CMPNTEMI_DOMAIN_NONE)
        MSG_ErrorLine(4701, "Domain");
    e->domain = CMPNTEMI_DOMAIN_NONE;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        MSG_Bug(4702, "Domain", kSourceName, __LINE__);
    } else if (words.found == 1) {
        MSG_ErrorLine(4718, "Domain");
    } else if (words.found > 2) {
        MSG_ErrorLine(4719, static_cast<int>(words.found), "Domain", 2);
    } else if (words.found == 2) {
        const char *value = words.words[1];
        const Row *r = kDomains;
        for (; r->text != nullptr; ++r) {
            if (strcmp(value, r->text) == 0) {
                e->domain = r->code;
                break;
            }
            if (CMN_StrEqualNoCase(value, r->text)) {
                MSG_ErrorLine(4720, "Domain", value, r->text);
                break;
            }
        }
        if (r->text == nullptr)
            MSG_ErrorLine(4721, "Domain", value);
    }
    CMN_FreeWords(&words);
}

// Cpd, C_Heatsink_gnd, C_Heatsink_float: name = value, the '=' alone or
// joined. A line that cannot be read still marks the value as given.
void CMPNTEMI_ParseValue(const char *line, double **slot, const char *name) {
    if (*slot != nullptr) {
        MSG_ErrorLine(4701, name);
        return;
    }
    if (!CMN_Alloc(slot, sizeof(double))) {
        MSG_Bug(4722, kSourceName, __LINE__);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(line, 3, '=', &words)) {
        MSG_BugLine(4702, name, kSourceName, __LINE__);
    } else if (words.found < 3) {
        MSG_ErrorLine(4723, name);
    } else {
        if (words.found > 3)
            MSG_ErrorLine(4719, static_cast<int>(words.found), name, 3);
        if (strcmp(words.words[1], "=") != 0)
            MSG_ErrorLine(4723, name);
        else if (!CMN_GetValue(words.words[2], *slot))
            MSG_ErrorLine(4721, name, words.words[2]);
    }
    CMN_FreeWords(&words);
}

// A data line after [Begin EMI Component]. The name ends at a blank or at
// an '=' joined to it, as the value lines allow.
void CMPNTEMI_ParseSubparam(CMPNTEMI *e, const char *text) {
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 1, '=', &words)) {
        MSG_BugLine(4702, "Emi Component Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    int code = kUnknown;
    for (const Row *r = kSubparameters; words.stored > 0 && r->text != nullptr; ++r)
        if (strcmp(words.words[0], r->text) == 0)
            code = r->code;
    CMN_FreeWords(&words);
    switch (code) {
    case kDomain: CMPNTEMI_ParseDomain(e, text); break;
    case kCpd: CMPNTEMI_ParseValue(text, &e->Cpd, "Cpd"); break;
    case kHeatsinkGnd:
        if (e->C_Heatsink_float != nullptr)
            MSG_ErrorLine(4714);
        CMPNTEMI_ParseValue(text, &e->C_Heatsink_gnd, "C_Heatsink_gnd");
        break;
    case kHeatsinkFloat:
        if (e->C_Heatsink_gnd != nullptr)
            MSG_ErrorLine(4715);
        CMPNTEMI_ParseValue(text, &e->C_Heatsink_float, "C_Heatsink_float");
        break;
    default: MSG_ErrorLine(4716); break;
    }
}

void CMPNTEMI_BeginPinEmi(CMPNTEMI *e, const char *text) {
    if (e->pin_emi != nullptr) {
        MSG_ErrorLine(4729);
        return;
    }
    const char *p = text;
    CMN_SkipBlanks(&p);
    if (*p == '\0') {
        MSG_ErrorLine(4730);
        return;
    }
    WORD_LIST words{};
    if (CMN_SplitWords(p, 3, &words)) {
        if (words.stored >= 3)
            MSG_ErrorLine(4704, words.words[2]);
        static const char *const kHeaders[] = {"domain_name", "clock_div"};
        for (int i = 0; i < 2; ++i)
            if (i >= words.stored || !CMN_StrEqualNoCase(words.words[i], kHeaders[i]))
                MSG_ErrorLine(4731, kHeaders[i]);
    }
    CMN_FreeWords(&words);
}

void CMPNTEMI_AddPinEmi(CMPNTEMI *e, const char *text) {
    PINEMI *row = nullptr;
    if (!PINEMI_ParseRow(text, &row)) {
        MSG_ErrorLine(4732);
        return;
    }
    PINEMI_Append(&e->pin_emi, row);
}

void CMPNTEMI_BeginPinDomainEmi(CMPNTEMI *e, const char *text) {
    if (e->pin_domains != nullptr) {
        MSG_ErrorLine(4724);
        FreeDomains(e->pin_domains);
        e->pin_domains = nullptr;
    }
    if (!CMN_Alloc(&e->pin_domains, sizeof(CMPNTEMI_DOMAINS))) {
        MSG_Bug(4722, kSourceName, __LINE__);
        return;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 1, &words))
        MSG_Bug(4702, "Pin Domain EMI", kSourceName, __LINE__);
    else if (words.found == 0)
        MSG_ErrorLine(4725);
    else if (words.found > 1)
        MSG_ErrorLine(4719, static_cast<int>(words.found) + 1, "Pin Domain EMI", 2);
    else if (strcmp(words.words[0], "percentage") != 0)
        MSG_ErrorLine(4726, words.words[0]);
    CMN_FreeWords(&words);
}

// One domain and its percentage.
void CMPNTEMI_ParseDomainRow(CMPNTEMI_DOMAINS *table, const char *name, const char *percentage) {
    if (NAMEIDX_Has(&table->names, table->first, name,
                    [](const CMPNTEMI_DOMAIN *d) { return d->domain_name; })) {
        MSG_ErrorLine(4727, name);
        return;
    }
    CMPNTEMI_DOMAIN *d = nullptr;
    if (!CMN_Alloc(&d, sizeof(CMPNTEMI_DOMAIN))) {
        MSG_Bug(4722, kSourceName, __LINE__);
        return;
    }
    CMN_CopyTruncate(d->domain_name, name, kDomainNameMax, "domain_name");
    if (strlen(percentage) > kPercentageMax)
        MSG_ErrorLine(4728, percentage, "Should be specified using at most 5 characters");
    double value = 0.0;
    if (!CMN_GetValue(percentage, &value)) {
        MSG_ErrorLine(4728, percentage, "Invalid Number");
        CMN_Free(d);
        return;
    }
    if (!(value > 0.0 && value <= 100.0))
        MSG_ErrorLine(4728, percentage, "Should be greater than 0 and less than equal to 100");
    if (!CMN_Alloc(&d->percentage, sizeof(double))) {
        MSG_Bug(4722, kSourceName, __LINE__);
        CMN_Free(d);
        return;
    }
    *d->percentage = value;
    if (table->first == nullptr)
        table->first = d;
    else
        table->last->next = d;
    table->last = d;
    NAMEIDX_Count(&table->names, d->domain_name, d);
}

// A data line under [Pin Domain EMI]: domain_name percentage.
void CMPNTEMI_ParsePinDomainEmiLine(CMPNTEMI *e, const char *text) {
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        MSG_BugLine(4702, "Pin Domain EMI", kSourceName, __LINE__);
    } else if (words.found < 2) {
        MSG_ErrorLine(4719, static_cast<int>(words.found), "Pin Domain EMI", 2);
    } else {
        if (words.found > 2)
            MSG_ErrorLine(4719, static_cast<int>(words.found), "Pin Domain EMI", 2);
        if (e->pin_domains != nullptr)
            CMPNTEMI_ParseDomainRow(e->pin_domains, words.words[0], words.words[1]);
    }
    CMN_FreeWords(&words);
}

bool IsEmpty(const CMPNTEMI *e) {
    return e->domain == CMPNTEMI_DOMAIN_NONE && e->Cpd == nullptr && e->C_Heatsink_gnd == nullptr &&
           e->C_Heatsink_float == nullptr && e->pin_emi == nullptr && e->pin_domains == nullptr;
}

}  // namespace

int CMPNTEMI_Create(CMPNTEMI **out) {
    MSG_ASSERT(out != nullptr);
    return CMN_Alloc(out, sizeof(CMPNTEMI));
}

void CMPNTEMI_Free(CMPNTEMI *record) {
    if (record == nullptr)
        return;
    if (record == s_open)
        s_open = nullptr;
    CMN_Free(record->Cpd);
    CMN_Free(record->C_Heatsink_gnd);
    CMN_Free(record->C_Heatsink_float);
    PINEMI_Free(record->pin_emi);
    FreeDomains(record->pin_domains);
    CMN_Free(record);
}

void CMPNTEMI_Reset(void) {
    s_open = nullptr;
    s_keyword = NOT_KEY;
}

int CMPNTEMI_IsOpen(void) { return s_open != nullptr; }

void CMPNTEMI_ParseLine(int lineType, IBIS_KEYWORD code, const char *text, CMPNTEMI **slot) {
    MSG_ASSERT(text != nullptr && slot != nullptr);
    // An open block belongs to the component being read.
    if (s_open != nullptr && s_open != *slot)
        s_open = nullptr;
    if (s_open == nullptr && (lineType != LINE_KEYWORD || code != KW_BEGIN_EMI_COMPONENT)) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 4705 : 4706);
        return;
    }
    if (lineType == LINE_KEYWORD) {
        s_keyword = code;
        switch (code) {
        case KW_BEGIN_EMI_COMPONENT: CMPNTEMI_Init(text, slot); break;
        case KW_END_EMI_COMPONENT:
            if (text[0] != '\0')
                MSG_ErrorLine(4704, text);
            CMPNTEMI_EndKeyword(code);
            break;
        case KW_PIN_EMI: CMPNTEMI_BeginPinEmi(s_open, text); break;
        case KW_PIN_DOMAIN_EMI: CMPNTEMI_BeginPinDomainEmi(s_open, text); break;
        default: MSG_BugLine(4707, kSourceName, __LINE__); break;
        }
        return;
    }
    if (lineType != LINE_DATA) {
        MSG_BugLine(4710, kSourceName, __LINE__);
        return;
    }
    switch (s_keyword) {
    case KW_BEGIN_EMI_COMPONENT: CMPNTEMI_ParseSubparam(s_open, text); break;
    case KW_END_EMI_COMPONENT: MSG_Bug(4708, kSourceName, __LINE__); break;
    case KW_PIN_EMI: CMPNTEMI_AddPinEmi(s_open, text); break;
    case KW_PIN_DOMAIN_EMI: CMPNTEMI_ParsePinDomainEmiLine(s_open, text); break;
    default: MSG_BugLine(4709, kSourceName, __LINE__); break;
    }
}

void CMPNTEMI_EndKeyword(IBIS_KEYWORD code) {
    if (code == KW_PIN_EMI || code == KW_PIN_DOMAIN_EMI)
        return;
    if (code != KW_END_EMI_COMPONENT)
        MSG_ErrorLine(4711);
    if (s_open == nullptr)
        return;
    if (IsEmpty(s_open))
        MSG_WarningLine(4712);
    s_open = nullptr;
}

void CMPNTEMI_CheckAll(CMPNT *component, CMPNTEMI *record) {
    MSG_ASSERT(component != nullptr && record != nullptr);
    PINEMI_CheckAll(record->pin_emi, record->pin_domains != nullptr ? record->pin_domains->first
                                                                     : nullptr,
                    component->pins, component->name);
}
