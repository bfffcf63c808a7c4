// [Pin Mapping] rows of a component, and the checks of the buses they name
// against the component's POWER and GND pins.
#define MSG_SRC MSGSRC_PINMPG
#include "IbisParser/pinmpg.h"

#include <cstdint>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/pin.h"

namespace {

const size_t kBusMax = 15;

const char *PinOf(const PINMPG *row) { return row->pin; }

// A bus that is given and connected: neither empty nor NC.
bool Used(const char *bus) { return bus[0] != '\0' && !CMN_StrEqualNoCase(bus, "NC"); }

enum Kind { kSignal, kPower, kGnd };

// What the first [Pin] of the name carries; a pin [Pin] lacks is a signal.
Kind PinKind(const char *pin, PIN *pins) {
    PIN *p = PIN_FindByName(pin, pins);
    if (p == nullptr)
        return kSignal;
    if (CMN_StrEqualNoCase(p->model_name, "POWER"))
        return kPower;
    return CMN_StrEqualNoCase(p->model_name, "GND") ? kGnd : kSignal;
}

// The kind of every row's pin, and for each bus the first row (in list
// order) of a POWER or GND pin that carries it as pulldown_ref, and as
// pullup_ref: the row that decides for every signal row using that bus.
// Built once, so that the checks stay linear however the rows are ordered.
struct Carriers {
    PINMPG *rows;
    PIN *pins;
    unsigned char *kinds;  // by position; null: each kind is looked up again
    NAME_INDEX pulldown;   // item: the row; number: its position in the list
    NAME_INDEX pullup;
    int failed;  // out of memory: the rows are walked instead
};

Kind KindAt(const Carriers &c, const PINMPG *row, size_t at) {
    return c.kinds != nullptr ? static_cast<Kind>(c.kinds[at]) : PinKind(row->pin, c.pins);
}

int Note(NAME_INDEX *index, const char *bus, PINMPG *row, uint32_t at) {
    if (bus[0] == '\0')
        return 1;
    int added = 0;
    NAME_ENTRY *e = NAMEIDX_Add(index, bus, &added);
    if (e == nullptr)
        return 0;
    if (added) {
        e->item = row;
        e->number = at;
    }
    return 1;
}

void IndexCarriers(Carriers *c, PINMPG *rows, PIN *pins) {
    *c = Carriers{rows, pins, nullptr, {}, {}, 0};
    size_t n = 0;
    for (PINMPG *r = rows; r != nullptr; r = r->next)
        ++n;
    if (n == 0)
        return;
    if (n > UINT32_MAX || !CMN_Alloc(&c->kinds, n))
        c->failed = 1;
    uint32_t at = 0;
    for (PINMPG *r = rows; r != nullptr && c->kinds != nullptr; r = r->next, ++at) {
        const Kind kind = PinKind(r->pin, pins);
        c->kinds[at] = static_cast<unsigned char>(kind);
        if (kind != kSignal && !c->failed &&
            (!Note(&c->pulldown, r->pulldown_ref, r, at) || !Note(&c->pullup, r->pullup_ref, r, at)))
            c->failed = 1;
    }
}

void FreeCarriers(Carriers *c) {
    CMN_Free(c->kinds);
    NAMEIDX_Clear(&c->pulldown);
    NAMEIDX_Clear(&c->pullup);
}

// The first row of a POWER or GND pin naming the bus in one of the columns
// asked for, and its position; null when there is none.
PINMPG *FirstCarrier(const Carriers &c, const char *bus, bool down, bool up, size_t *at) {
    if (c.failed) {
        size_t i = 0;
        for (PINMPG *r = c.rows; r != nullptr; r = r->next, ++i)
            if (((down && strcmp(r->pulldown_ref, bus) == 0) ||
                 (up && strcmp(r->pullup_ref, bus) == 0)) &&
                KindAt(c, r, i) != kSignal) {
                *at = i;
                return r;
            }
        return nullptr;
    }
    const NAME_ENTRY *d = down ? NAMEIDX_Find(&c.pulldown, bus) : nullptr;
    const NAME_ENTRY *u = up ? NAMEIDX_Find(&c.pullup, bus) : nullptr;
    const NAME_ENTRY *e = d == nullptr || (u != nullptr && u->number < d->number) ? u : d;
    if (e == nullptr)
        return nullptr;
    *at = e->number;
    return static_cast<PINMPG *>(e->item);
}

// A reference of a signal row, the columns of the POWER and GND rows that
// carry it, the kind of pin it should reach and its two messages.
struct Reference {
    char (PINMPG::*field)[16];
    bool down, up;
    Kind fine;
    int warning;  // the deciding pin is of the other kind
    int error;    // no POWER or GND pin carries the bus
};
const Reference kPulldown = {&PINMPG::pulldown_ref, true, false, kGnd, 717, 716};
const Reference kOthers[] = {
    {&PINMPG::pullup_ref, false, true, kPower, 721, 720},
    {&PINMPG::gnd_clamp_ref, true, false, kGnd, 723, 722},
    {&PINMPG::power_clamp_ref, false, true, kPower, 725, 724},
    {&PINMPG::ext_ref, true, true, kPower, 727, 726},  // version 4 and later
};

void Decide(const Carriers &c, const Reference &ref, const char *bus, const char *component) {
    size_t at = 0;
    PINMPG *carrier = FirstCarrier(c, bus, ref.down, ref.up, &at);
    if (carrier == nullptr)
        MSG_Error(ref.error, component, bus);
    else if (KindAt(c, carrier, at) != ref.fine)
        MSG_Warning(ref.warning, component, bus);
}

// The row of a POWER, GND or NC pin should use only the buses of its kind.
void CheckSupplyPins(PINMPG *rows, PIN *pins, const char *component, bool longForm) {
    for (PIN *p = pins; p != nullptr; p = p->next) {
        const bool power = CMN_StrEqualNoCase(p->model_name, "POWER") != 0;
        const bool gnd = CMN_StrEqualNoCase(p->model_name, "GND") != 0;
        if (!power && !gnd && !CMN_StrEqualNoCase(p->model_name, "NC"))
            continue;
        PINMPG *m = PINMPG_FindByPin(p->pin, rows);
        if (m == nullptr)
            continue;  // the pin check reports it
        const bool down = Used(m->pulldown_ref), up = Used(m->pullup_ref);
        const bool clamps = Used(m->gnd_clamp_ref) || Used(m->power_clamp_ref);
        const bool wrong = power ? !(up && !down && !clamps)
                           : gnd ? !(down && !up && !clamps)
                                 : down || up || clamps || Used(m->ext_ref);
        if (!wrong)
            continue;
        // POWER, GND, NC: the warning naming the component, then the one without it.
        static const int kCodes[3][2] = {{709, 710}, {711, 712}, {713, 714}};
        const int *codes = kCodes[power ? 0 : gnd ? 1 : 2];
        if (longForm)
            MSG_Warning(codes[0], component, p->pin);
        else
            MSG_Warning(codes[1], p->pin);
    }
}

}  // namespace

int PINMPG_Create(PINMPG **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(PINMPG))) {
        MSG_ErrorLine(728);
        return 0;
    }
    return 1;
}

int PINMPG_ParseRow(const char *text, int headerColumns, PINMPG **out) {
    MSG_ASSERT(text != nullptr && out != nullptr);
    PINMPG *row = nullptr;
    if (!PINMPG_Create(&row))
        return 0;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 6, &words)) {
        CMN_FreeWords(&words);
        PINMPG_Free(row);
        return 0;
    }
    if (words.found > 6)
        MSG_ErrorLine(700);
    if (words.stored >= 1) {
        row->columns++;
        CMN_CopyTruncate(row->pin, words.words[0], 5, "Pin");
    } else {
        MSG_ErrorLine(701);
    }
    static const char *const kColumns[] = {"pulldown_ref", "pullup_ref", "gnd_clamp_ref",
                                           "power_clamp_ref", "ext_ref"};
    char *const fields[] = {row->pulldown_ref, row->pullup_ref, row->gnd_clamp_ref,
                            row->power_clamp_ref, row->ext_ref};
    for (int i = 0; i < 5; ++i) {
        if (1 + i < words.stored) {
            const char *word = words.words[1 + i];
            row->columns++;
            if (CMN_StrEqualNoCase(word, "NA"))
                MSG_ErrorLine(729, word);
            CMN_CopyTruncate(fields[i], word, kBusMax, kColumns[i]);
        } else if (i < 2) {
            MSG_ErrorLine(i == 0 ? 702 : 703);  // pulldown_ref and pullup_ref are required
        }
    }
    const int c = row->columns;
    if (PARSE_GetIbisVersion() > 3) {
        if (c != 3 && c != 5 && c != 6)
            MSG_ErrorLine(704);
    } else if (c != 3 && c != 5) {
        MSG_ErrorLine(705);
    }
    if (c == 5 && headerColumns == 3)
        MSG_ErrorLine(706);
    if (PARSE_GetIbisVersion() > 3 && c == 6 && headerColumns != 6)
        MSG_ErrorLine(707);
    CMN_FreeWords(&words);
    *out = row;
    return 1;
}

void PINMPG_Append(PINMPG **head, PINMPG *row) {
    MSG_ASSERT(head != nullptr && row != nullptr);
    for (size_t n = NAMEIDX_AppendCounting(head, row, PinOf); n > 0; --n)
        MSG_ErrorLine(708);
}

void PINMPG_Free(PINMPG *list) {
    if (list != nullptr)
        NAMEIDX_FreeList(list->index);
    CMN_FreeChain(list);
}

PINMPG *PINMPG_FindByPin(const char *pin, PINMPG *list) {
    MSG_ASSERT(pin != nullptr);
    return NAMEIDX_FindFirst(list, pin, PinOf);
}

int PINMPG_Contains(PINMPG *list, const char *pin) {
    return PINMPG_FindByPin(pin, list) != nullptr;
}

void PINMPG_CheckAll(PINMPG *rows, PIN *pins, const char *component) {
    MSG_ASSERT(component != nullptr);
    if (pins == nullptr)
        return;
    const int version = PARSE_GetIbisVersion();
    CheckSupplyPins(rows, pins, component, version >= 4);
    for (PINMPG *r = rows; r != nullptr; r = r->next)
        if (!PIN_Exists(r->pin, pins))
            MSG_Error(715, component, r->pin);

    Carriers carriers;
    IndexCarriers(&carriers, rows, pins);
    auto pullupOf = [](const PINMPG *m) { return m->pullup_ref; };
    NAME_TALLY pullups;  // every row's pullup_ref
    NAMEIDX_InitTally(&pullups);
    NAMEIDX_CountList(&pullups, rows, pullupOf);
    size_t at = 0;
    for (PINMPG *r = rows; r != nullptr; r = r->next, ++at) {
        const char *bus = r->pulldown_ref;
        if (!Used(bus))
            continue;
        if (KindAt(carriers, r, at) == kSignal) {
            Decide(carriers, kPulldown, bus, component);
            continue;
        }
        if (!NAMEIDX_Has(&pullups, rows, bus, pullupOf))
            continue;
        if (version >= 4)
            MSG_Warning(718, component, bus);
        else
            MSG_Warning(719, bus);
    }
    NAMEIDX_FreeTally(&pullups);

    for (const Reference &ref : kOthers) {
        if (ref.field == &PINMPG::ext_ref && version < 4)
            continue;
        at = 0;
        for (PINMPG *r = rows; r != nullptr; r = r->next, ++at)
            if (Used(r->*ref.field) && KindAt(carriers, r, at) == kSignal)
                Decide(carriers, ref, r->*ref.field, component);
    }
    FreeCarriers(&carriers);
}
