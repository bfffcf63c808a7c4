// [Circuit Call] of a component: the lines of a call, and the resolution of
// every call of a component against the file's [External Circuit]s into a
// table of the component's nodes and the ports connected to them, with the
// floating, unused and conflicting connections reported.
#define MSG_SRC MSGSRC_CIRCUIT
#include "IbisParser/circuit.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/pin.h"
#include "IbisParser/stringlist.h"

namespace {

const char kSourceName[] = "IbisParser/circuit";

// ---- [Circuit Call] lines ------------------------------------------------------

// The ports of the call whose lines are read, so that a repeated port is
// found without a walk of its map. Rebuilt whenever another call's line
// arrives, and emptied by the first Port_map of each call: only this file
// adds entries to a call, so an index left from a freed call (its keys
// point into that call) is never read, only cleared.
const CIRCUIT_CALL *s_indexed = nullptr;
NAME_INDEX s_mapPorts;

NAME_INDEX *MapPorts(const CIRCUIT_CALL *call) {
    if (call == s_indexed && call->ports != nullptr)
        return &s_mapPorts;
    NAMEIDX_Clear(&s_mapPorts);
    s_indexed = call;
    int added = 0;
    for (const CIRCUIT_PORT *p = call->ports; p != nullptr; p = p->next)
        if (NAMEIDX_Add(&s_mapPorts, p->port, &added) == nullptr) {
            s_indexed = nullptr;
            return nullptr;
        }
    return &s_mapPorts;
}

bool InMap(const CIRCUIT_CALL *call, const char *port) {
    const NAME_INDEX *index = MapPorts(call);
    if (index != nullptr)
        return NAMEIDX_Find(index, port) != nullptr;
    for (const CIRCUIT_PORT *p = call->ports; p != nullptr; p = p->next)
        if (strcmp(p->port, port) == 0)
            return true;
    return false;
}

// Fills the first empty reference pin; 1800 when both are set.
void AddReferencePin(CIRCUIT_CALL *call, const char *pin, const char *label) {
    char *slot = call->pin1[0] == '\0' ? call->pin1 : call->pin2[0] == '\0' ? call->pin2 : nullptr;
    if (slot == nullptr)
        MSG_ErrorLine(1800, pin);
    else
        CMN_CopyTruncate(slot, pin, sizeof call->pin1 - 1, label);
}

// Port_map port pin_or_node.
int AddPortMap(CIRCUIT_CALL *call, const WORD_LIST &w) {
    if (w.found < 3) {
        MSG_ErrorLine(1807);
        return 0;
    }
    CIRCUIT_PORT *entry = nullptr;
    if (!CMN_Alloc(&entry, sizeof(CIRCUIT_PORT))) {
        MSG_Bug(1803, kSourceName, __LINE__);
        return 1;
    }
    CMN_CopyTruncate(entry->port, w.words[1], sizeof entry->port - 1, "Port_map port");
    if (InMap(call, entry->port)) {
        MSG_ErrorLine(1801, entry->port);
        CMN_Free(entry);
        return 1;
    }
    CMN_CopyTruncate(entry->node, w.words[2], sizeof entry->node - 1, "Port_map pin or node");
    NAME_INDEX *index = MapPorts(call);
    entry->next = call->ports;
    call->ports = entry;
    int added = 0;
    if (index != nullptr && NAMEIDX_Add(index, entry->port, &added) == nullptr)
        s_indexed = nullptr;  // the next line rebuilds it
    return 1;
}

// ---- Kinds -------------------------------------------------------------------

// Kind bits of nodes, connections and converter ports.
enum : unsigned {
    NC = 0x1,
    UNKNOWN = 0x2,
    DIGITAL = 0x4,
    DIGITAL_DRIVER = 0x8,
    DIGITAL_RECEIVER = 0x10,
    ANALOG_RESERVE = 0x20,
    ANALOG_REFERENCE = 0x40,
    ANALOG = 0x80,
    ANALOG_PIN = 0x100,
    ANALOG_DRIVER = 0x200,
    DIGITAL_PORT = 0x400,
    AMS_UNKNOWN = 0x800,
    ANALOG_RECEIVER = 0x1000,
    PIN_KIND = ANALOG_PIN | ANALOG_DRIVER | ANALOG_RECEIVER,
    DIGITAL_BITS = DIGITAL | DIGITAL_DRIVER | DIGITAL_RECEIVER,
    ANALOG_BITS = ANALOG_RESERVE | ANALOG_REFERENCE | ANALOG | ANALOG_PIN | ANALOG_DRIVER |
                  ANALOG_RECEIVER,
    AMS_DRIVEN = DIGITAL_PORT | DIGITAL | DIGITAL_RECEIVER,  // D_drive, D_switch, D_enable
    AMS_RECEIVED = DIGITAL_PORT | DIGITAL | DIGITAL_DRIVER   // D_receive
};

// The names of the bits of a kind, in the order the messages print them.
struct KindNames {
    char text[160];
};
KindNames NamesOf(unsigned kind) {
    static const struct {
        unsigned bit;
        const char *name;
    } kNames[] = {{AMS_UNKNOWN, "AMS_UNKNOWN "},       {DIGITAL, "DIGITAL "},
                  {DIGITAL_DRIVER, "DIGITAL_DRIVER "}, {DIGITAL_RECEIVER, "DIGITAL_RECEIVER "},
                  {ANALOG_RESERVE, "ANALOG_RESERVE "}, {ANALOG_REFERENCE, "ANALOG_REFERENCE "},
                  {ANALOG, "ANALOG "},                 {ANALOG_PIN, "ANALOG_PIN "},
                  {ANALOG_DRIVER, "ANALOG_DRIVER "},   {ANALOG_RECEIVER, "ANALOG_RECEIVER "}};
    KindNames out{};
    bool any = false;
    for (const auto &n : kNames)
        if ((kind & n.bit) != 0) {
            strcat(out.text, n.name);
            any = true;
        }
    if (!any && (kind & NC) != 0)
        strcat(out.text, "NC ");
    if (!any && (kind & UNKNOWN) != 0)
        strcat(out.text, "UNKNOWN ");
    return out;
}

// A text that grows as needed, up to what one message can show.
struct Text {
    char *data;
    size_t length;
    size_t capacity;
    bool full;  // the printer would cut what comes next, or memory ran out
};

void TextAppend(Text *t, const char *format, ...) {
    if (t->full)
        return;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int n = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    const size_t need = t->length + static_cast<size_t>(n > 0 ? n : 0) + 1;
    if (n < 0 || !CMN_Grow(&t->data, &t->capacity, need, 256)) {
        t->full = true;  // keeps what it has
        va_end(args);
        return;
    }
    vsnprintf(t->data + t->length, t->capacity - t->length, format, args);
    va_end(args);
    t->length += static_cast<size_t>(n);
    t->full = t->length >= MSG_BUFFER_SIZE;
}

const char *TextOf(const Text &t) { return t.data != nullptr ? t.data : ""; }

// ---- What a circuit's ports are --------------------------------------------------

// One port of one converter row of a circuit's Typ corner.
enum { ROLE_A2D_DIGITAL, ROLE_A2D_ANALOG, ROLE_D2A_DIGITAL, ROLE_D2A_ANALOG };
struct ROLE {
    const EXT_CONVERTER *row;
    int role;
    bool first;     // port1 of an analog pair
    unsigned kind;  // the converter port's own kind
    ROLE *next;     // the next role of the same name, in row order
};

// A name of a circuit: a port of its [Ports] and/or of its converter rows.
struct PORT_INFO {
    const char *name;
    bool inPorts;
    bool digital;  // the digital port of a converter row
    ROLE *roles;
    ROLE *rolesTail;
    int roleCount;
    int analogDrivers;  // D_to_A analog ports
    unsigned kinds;     // of its roles
    unsigned effects;   // what its roles give the connection
    PORT_INFO *next;    // every name of the circuit, for freeing
};

// A circuit as the calls see it, worked out once per component check.
// The ports of a circuit that can float in a call (neither A_gnd nor
// digital): each name once, in the order it first comes, with the places
// in the port list where it stands.
struct FLOAT_NAME {
    const char *name;
    unsigned kind;
    size_t first, count;  // its places: at[first] .. at[first + count - 1]
};
struct FLOAT_PORTS {
    FLOAT_NAME *names;
    size_t nameCount;
    size_t *at;
    size_t portCount;  // of the whole list
};

struct CIRCUIT_INFO {
    const EXTCKT *circuit;
    bool spice;
    NAME_INDEX names;  // name -> PORT_INFO
    PORT_INFO *infos;
    ROLE *roles;  // one block
    const EXT_CONVERTER **groundPairs;  // A_to_D rows between A_gnd and A_gnd
    int groundPairCount;
    FLOAT_PORTS *floating;  // made for the floating-node check; null before
    CIRCUIT_INFO *next;
};

bool IsGround(const char *port) { return strcmp(port, "A_gnd") == 0; }

// The record of a name, made on first use.
PORT_INFO *InfoOf(CIRCUIT_INFO *c, const char *name) {
    if (const NAME_ENTRY *e = NAMEIDX_Find(&c->names, name))
        return static_cast<PORT_INFO *>(e->item);
    PORT_INFO *info = nullptr;
    int added = 0;
    NAME_ENTRY *e = nullptr;
    if (!CMN_Alloc(&info, sizeof(PORT_INFO)) || (e = NAMEIDX_Add(&c->names, name, &added)) == nullptr) {
        CMN_Free(info);
        return nullptr;
    }
    info->name = name;
    info->next = c->infos;
    c->infos = info;
    e->item = info;
    return info;
}

// The kind of the internal node a port of the circuit makes in a call.
unsigned InternalKind(const CIRCUIT_INFO *c, const char *port) {
    if (IsGround(port))
        return UNKNOWN | ANALOG_RESERVE | ANALOG;
    if (c->spice)
        return ANALOG;
    if (strcmp(port, "D_drive") == 0 || strcmp(port, "D_switch") == 0 || strcmp(port, "D_enable") == 0)
        return AMS_DRIVEN;
    if (strcmp(port, "D_receive") == 0)
        return AMS_RECEIVED;
    return AMS_UNKNOWN;
}

// The kind a port gives the connection a port map makes.
unsigned PortKind(const CIRCUIT_INFO *c, const PORT_INFO *p) {
    if (p->digital)
        return DIGITAL;
    if (c->spice)
        return ANALOG;
    const unsigned internal = InternalKind(c, p->name);
    return internal == (UNKNOWN | ANALOG_RESERVE | ANALOG) ? AMS_UNKNOWN : internal;
}

bool AddRole(CIRCUIT_INFO *c, ROLE *r, const char *name) {
    PORT_INFO *p = InfoOf(c, name);
    if (p == nullptr)
        return false;
    const bool ground = IsGround(name);
    switch (r->role) {
    case ROLE_D2A_DIGITAL:
        r->kind = DIGITAL | DIGITAL_RECEIVER;
        p->effects |= DIGITAL_RECEIVER;
        p->digital = true;
        break;
    case ROLE_D2A_ANALOG:
        r->kind = ground ? ANALOG_DRIVER | ANALOG | ANALOG_REFERENCE | ANALOG_RESERVE : ANALOG_DRIVER;
        p->effects |= ANALOG_DRIVER | ANALOG;
        ++p->analogDrivers;
        break;
    case ROLE_A2D_DIGITAL:
        r->kind = DIGITAL | DIGITAL_DRIVER;
        p->effects |= DIGITAL_DRIVER;
        p->digital = true;
        break;
    default:
        r->kind = ground ? ANALOG_RECEIVER | ANALOG_DRIVER | ANALOG_REFERENCE | ANALOG_RESERVE
                         : ANALOG_RECEIVER;
        p->effects |= ANALOG_RECEIVER;
        break;
    }
    p->kinds |= r->kind;
    ++p->roleCount;
    (p->rolesTail != nullptr ? p->rolesTail->next : p->roles) = r;
    p->rolesTail = r;
    return true;
}

void FreeFloating(FLOAT_PORTS *f) {
    if (f == nullptr)
        return;
    CMN_Free(f->names);
    CMN_Free(f->at);
    CMN_Free(f);
}

void FreeInfo(CIRCUIT_INFO *c) {
    FreeFloating(c->floating);
    CMN_FreeChain(c->infos);
    NAMEIDX_Clear(&c->names);
    CMN_Free(c->roles);
    CMN_Free(c->groundPairs);
    CMN_Free(c);
}

int CountRows(const EXT_CONVERTER *rows) {
    int n = 0;
    for (; rows != nullptr; rows = rows->next)
        ++n;
    return n;
}

// The ports and the converter rows of the Typ corner (the Min and Max rows
// repeat them) of one circuit. Null when memory ran out.
CIRCUIT_INFO *BuildInfo(const EXTCKT *circuit) {
    CIRCUIT_INFO *c = nullptr;
    if (!CMN_Alloc(&c, sizeof(CIRCUIT_INFO)))
        return nullptr;
    const EXTMDL *d = circuit->description;
    c->circuit = circuit;
    c->spice = d->language == MDL_LANG_SPICE;
    bool ok = true;
    for (const EXT_NAME *p = d->ports; p != nullptr && ok; p = p->next) {
        PORT_INFO *info = InfoOf(c, p->text);
        ok = info != nullptr;
        if (ok)
            info->inPorts = true;
    }
    const EXT_CONVERTER *dToA = d->typ != nullptr ? d->typ->dToA : nullptr;
    const EXT_CONVERTER *aToD = d->typ != nullptr ? d->typ->aToD : nullptr;
    const int rows = CountRows(dToA) + CountRows(aToD);
    if (ok && rows > 0)
        ok = CMN_Alloc(&c->roles, static_cast<size_t>(rows) * 3 * sizeof(ROLE)) &&
             CMN_Alloc(&c->groundPairs, static_cast<size_t>(rows) * sizeof(EXT_CONVERTER *));
    ROLE *r = c->roles;
    for (int list = 0; list < 2 && ok; ++list) {
        const bool d2a = list == 0;
        for (const EXT_CONVERTER *row = d2a ? dToA : aToD; row != nullptr && ok; row = row->next) {
            const char *const names[] = {row->digital, row->port1, row->port2};
            for (int i = 0; i < 3 && ok; ++i, ++r) {
                r->row = row;
                r->role = i == 0 ? (d2a ? ROLE_D2A_DIGITAL : ROLE_A2D_DIGITAL)
                                 : (d2a ? ROLE_D2A_ANALOG : ROLE_A2D_ANALOG);
                r->first = i == 1;
                ok = AddRole(c, r, names[i]);
            }
            if (!d2a && IsGround(row->port1) && IsGround(row->port2))
                c->groundPairs[c->groundPairCount++] = row;
        }
    }
    if (!ok) {
        FreeInfo(c);
        return nullptr;
    }
    return c;
}

// ---- The component's nodes --------------------------------------------------------

struct NODE;

// A port of one call connected to a node of the component.
struct CONNECTION {
    const char *port;
    unsigned long line;  // of the call
    unsigned kind;
    int analogDrivers;
    const PORT_INFO *converters;  // the converter ports attached; null when none
    NODE *node;
    CONNECTION *next;      // of the node, newest first
    CONNECTION *nextMade;  // of the call, in the order made
};

// A pin or declared node that a call names.
struct NODE {
    const char *name;
    int count;  // connections
    unsigned kind;
    CONNECTION *connections;
    NODE *next;  // the table, newest first
};

// One call of an external circuit.
struct INSTANCE {
    const CIRCUIT_CALL *call;
    CIRCUIT_INFO *circuit;
    NAME_INDEX connected;  // port -> CONNECTION
    CONNECTION *made;
    CONNECTION *madeTail;
    INSTANCE *next;
};

// Everything one component's calls resolve into.
struct RESOLUTION {
    const CMPNT *component;
    NAME_INDEX declared;  // the declared node names
    NAME_INDEX nodeIndex;
    NODE *nodes;
    NAME_INDEX circuitIndex;  // circuit name -> CIRCUIT_INFO
    CIRCUIT_INFO *circuits;
    INSTANCE *instances;
    INSTANCE *instancesTail;
};

// The kind a converter port has on a connection: the second analog driver
// on one connection makes every driver there a reference.
unsigned RoleKind(const ROLE *r, const CONNECTION *k) {
    if (r->role == ROLE_D2A_ANALOG && k->analogDrivers > 1)
        return r->kind | ANALOG_REFERENCE;
    return r->kind;
}

// A node of the table, made on first use with no connection; a node named
// again by a port map counts one connection more.
NODE *EnterNode(RESOLUTION *res, const char *name, unsigned kind, bool connects) {
    NODE *n = nullptr;
    if (const NAME_ENTRY *e = NAMEIDX_Find(&res->nodeIndex, name)) {
        n = static_cast<NODE *>(e->item);
        if (connects)
            ++n->count;
    } else {
        int added = 0;
        NAME_ENTRY *made = nullptr;
        if (!CMN_Alloc(&n, sizeof(NODE)) ||
            (made = NAMEIDX_Add(&res->nodeIndex, name, &added)) == nullptr) {
            CMN_Free(n);
            return nullptr;
        }
        made->item = n;
        n->name = name;
        n->next = res->nodes;
        res->nodes = n;
    }
    n->kind |= kind;
    return n;
}

// The circuit's record, worked out at its first call.
CIRCUIT_INFO *CircuitOf(RESOLUTION *res, const EXTCKT *circuit) {
    if (const NAME_ENTRY *e = NAMEIDX_Find(&res->circuitIndex, circuit->name))
        return static_cast<CIRCUIT_INFO *>(e->item);
    CIRCUIT_INFO *c = BuildInfo(circuit);
    int added = 0;
    NAME_ENTRY *e = nullptr;
    if (c == nullptr || (e = NAMEIDX_Add(&res->circuitIndex, circuit->name, &added)) == nullptr) {
        if (c != nullptr)
            FreeInfo(c);
        return nullptr;
    }
    e->item = c;
    c->next = res->circuits;
    res->circuits = c;
    return c;
}

// Signal_pin and the like name [Pin]s whose model is CIRCUITCALL.
void ReferencePins(RESOLUTION *res, const CIRCUIT_CALL *call) {
    const CMPNT *cmp = res->component;
    const int line = static_cast<int>(call->line);
    const char *const pins[] = {call->pin1, call->pin2};
    for (int i = 0; i < 2; ++i) {
        if (pins[i][0] == '\0')
            continue;
        const PIN *pin = PIN_FindByName(pins[i], cmp->pins);
        if (pin == nullptr)
            MSG_Error(1839, cmp->name, line, pins[i]);
        else if (strcmp(pin->model_name, "CIRCUITCALL") != 0)
            MSG_Error(i == 0 ? 1840 : 1841, line, pins[i]);
        else if (EnterNode(res, pins[i], NC | PIN_KIND, false) == nullptr)
            MSG_Bug(1803, kSourceName, __LINE__);
    }
    if (pins[0][0] != '\0' && strcmp(pins[0], pins[1]) == 0)
        MSG_Error(1842, cmp->name, line, pins[0]);
}

// One Port_map entry of a call.
void Connect(RESOLUTION *res, INSTANCE *inst, const CIRCUIT_PORT *entry) {
    const CMPNT *cmp = res->component;
    const int line = static_cast<int>(inst->call->line);
    unsigned cls;
    if (PIN_Exists(entry->node, cmp->pins))
        cls = PIN_KIND;
    else if (NAMEIDX_Find(&res->declared, entry->node) != nullptr)
        cls = UNKNOWN;
    else {
        MSG_Error(1846, line, entry->node, cmp->name);
        return;
    }
    NODE *n = EnterNode(res, entry->node, NC | cls, true);
    if (n == nullptr) {
        MSG_Bug(1803, kSourceName, __LINE__);
        return;
    }
    const NAME_ENTRY *found = NAMEIDX_Find(&inst->circuit->names, entry->port);
    const PORT_INFO *p = found != nullptr ? static_cast<const PORT_INFO *>(found->item) : nullptr;
    if (p == nullptr || (!p->inPorts && !p->digital)) {
        MSG_Error(1845, line, entry->port, inst->circuit->circuit->name);
        return;
    }
    // This call's connections to the node come first in its list.
    for (const CONNECTION *k = n->connections; k != nullptr && k->line == inst->call->line; k = k->next)
        if (strcmp(k->port, entry->port) == 0) {
            MSG_Error(1815, line, entry->port);
            return;
        }
    CONNECTION *k = nullptr;
    int added = 0;
    NAME_ENTRY *e = nullptr;
    if (!CMN_Alloc(&k, sizeof(CONNECTION)) ||
        (e = NAMEIDX_Add(&inst->connected, entry->port, &added)) == nullptr) {
        CMN_Free(k);
        MSG_Bug(1803, kSourceName, __LINE__);
        return;
    }
    e->item = k;
    k->port = entry->port;
    k->line = inst->call->line;
    k->kind = PortKind(inst->circuit, p);
    k->node = n;
    k->next = n->connections;
    n->connections = k;
    (inst->madeTail != nullptr ? inst->madeTail->nextMade : inst->made) = k;
    inst->madeTail = k;
    n->kind |= k->kind;
    if (p->inPorts)
        ++n->count;  // and the instance's internal node is reached
    if (p->roleCount > 0) {
        k->converters = p;
        k->kind |= p->effects;
        k->analogDrivers = p->analogDrivers;
        if (k->analogDrivers > 1)
            k->kind |= ANALOG_REFERENCE;
        n->count += p->roleCount;
    }
}

void ResolveCall(RESOLUTION *res, const CIRCUIT_CALL *call, EXTCKT *circuits) {
    const EXTCKT *circuit = MDL_FindExternalCircuit(call->name, circuits);
    if (circuit == nullptr) {
        MSG_Error(1838, static_cast<int>(call->line), call->name, res->component->name);
        return;
    }
    ReferencePins(res, call);
    CIRCUIT_INFO *c = CircuitOf(res, circuit);
    INSTANCE *inst = nullptr;
    if (c == nullptr || !CMN_Alloc(&inst, sizeof(INSTANCE))) {
        MSG_Bug(1803, kSourceName, __LINE__);
        return;
    }
    inst->call = call;
    inst->circuit = c;
    (res->instancesTail != nullptr ? res->instancesTail->next : res->instances) = inst;
    res->instancesTail = inst;
    for (const CIRCUIT_PORT *entry = call->ports; entry != nullptr; entry = entry->next)
        Connect(res, inst, entry);
}

// ---- Checks ---------------------------------------------------------------------

const CONNECTION *ConnectionOf(const INSTANCE *inst, const char *port) {
    const NAME_ENTRY *e = NAMEIDX_Find(&inst->connected, port);
    return e != nullptr ? static_cast<const CONNECTION *>(e->item) : nullptr;
}

const char *NodeOf(const INSTANCE *inst, const char *port) {
    const CONNECTION *k = ConnectionOf(inst, port);
    return k != nullptr ? k->node->name : "";
}

// One line per port of the node whose kinds meet the mask.
Text Conflicts(const NODE *n, unsigned mask) {
    Text t{};
    for (const CONNECTION *k = n->connections; k != nullptr && !t.full; k = k->next) {
        if (k->converters == nullptr) {
            if ((k->kind & mask) != 0)
                TextAppend(&t, "\n        [CCALL] Line %d Node <%s>, Conflicting port = Port <%s> = %s",
                           static_cast<int>(k->line), n->name, k->port, NamesOf(k->kind & mask).text);
            continue;
        }
        for (const ROLE *r = k->converters->roles; r != nullptr && !t.full; r = r->next) {
            const unsigned kind = RoleKind(r, k) & mask;
            if (kind != 0)
                TextAppend(&t, "\n        [CCALL] Line %d Node <%s>, Conflicting port = Line <%d> Port <%s> = %s",
                           static_cast<int>(k->line), n->name, static_cast<int>(r->row->line), k->port,
                           NamesOf(kind).text);
        }
    }
    return t;
}

bool CanFloat(unsigned kind) { return (kind & (ANALOG_RESERVE | DIGITAL_PORT)) == 0; }

// 1817 for each port of the call's circuit, in the order of the list, that
// can float and that no port map of the call reached.
void ReportFloating(const INSTANCE *inst) {
    const CIRCUIT_INFO *c = inst->circuit;
    for (const EXT_NAME *p = c->circuit->description->ports; p != nullptr; p = p->next) {
        const unsigned kind = InternalKind(c, p->text);
        if (CanFloat(kind) && ConnectionOf(inst, p->text) == nullptr)
            MSG_Error(1817, static_cast<int>(inst->call->line), static_cast<int>(c->circuit->line),
                      p->text, NamesOf(kind).text);
    }
}

// The circuit's floating candidates, made at its first call. Null when
// memory runs out.
const FLOAT_PORTS *FloatingOf(CIRCUIT_INFO *c) {
    if (c->floating != nullptr)
        return c->floating;
    FLOAT_PORTS *f = nullptr;
    NAME_INDEX seen{};
    size_t ports = 0;
    for (const EXT_NAME *p = c->circuit->description->ports; p != nullptr; p = p->next)
        ++ports;
    bool ok = CMN_Alloc(&f, sizeof(FLOAT_PORTS)) && (ports == 0 ||
              (CMN_Alloc(&f->names, ports * sizeof(FLOAT_NAME)) &&
               CMN_Alloc(&f->at, ports * sizeof(size_t))));
    // First the names and how often each stands, then its places.
    for (int pass = 0; ok && pass < 2; ++pass) {
        size_t place = 0;
        for (const EXT_NAME *p = c->circuit->description->ports; ok && p != nullptr;
             p = p->next, ++place) {
            const unsigned kind = InternalKind(c, p->text);
            if (!CanFloat(kind))
                continue;
            int added = 0;
            NAME_ENTRY *e = NAMEIDX_Add(&seen, p->text, &added);
            if (e == nullptr) {
                ok = false;
            } else if (pass == 0) {
                if (added) {
                    e->number = static_cast<uint32_t>(f->nameCount);
                    f->names[f->nameCount++] = {p->text, kind, 0, 0};
                }
                ++f->names[e->number].count;
            } else {
                FLOAT_NAME &n = f->names[e->number];
                f->at[n.first + n.count++] = place;
            }
        }
        if (ok && pass == 0)
            for (size_t i = 0, first = 0; i < f->nameCount; ++i) {
                f->names[i].first = first;
                first += f->names[i].count;
                f->names[i].count = 0;
            }
    }
    NAMEIDX_Clear(&seen);
    if (!ok) {
        FreeFloating(f);
        return nullptr;
    }
    f->portCount = ports;
    c->floating = f;
    return f;
}

// The places of a call's unmapped candidates, with the name each holds.
struct Unmapped {
    struct Item {
        size_t place;
        const FLOAT_NAME *name;
    } *items;
    size_t capacity;
};

// ReportFloating by the circuit's candidates: a call costs the names it
// maps and the messages it draws, not a walk over the whole port list (a
// circuit of many ports that cannot float, or of one mapped name many
// times, called many times, was quadratic). False, with nothing said, when
// memory runs out.
bool ReportFloatingQuickly(const INSTANCE *inst, Unmapped *scratch) {
    const FLOAT_PORTS *f = FloatingOf(const_cast<CIRCUIT_INFO *>(inst->circuit));
    if (f == nullptr)
        return false;
    if (scratch->capacity < f->portCount) {
        CMN_Free(scratch->items);
        scratch->items = nullptr;
        scratch->capacity = 0;
        if (!CMN_Alloc(&scratch->items, f->portCount * sizeof(Unmapped::Item)))
            return false;
        scratch->capacity = f->portCount;
    }
    size_t n = 0;
    for (size_t i = 0; i < f->nameCount; ++i) {
        const FLOAT_NAME &name = f->names[i];
        if (ConnectionOf(inst, name.name) != nullptr)
            continue;
        for (size_t k = 0; k < name.count; ++k)
            scratch->items[n++] = {f->at[name.first + k], &name};
    }
    std::sort(scratch->items, scratch->items + n,
              [](const Unmapped::Item &a, const Unmapped::Item &b) { return a.place < b.place; });
    for (size_t i = 0; i < n; ++i)
        MSG_Error(1817, static_cast<int>(inst->call->line),
                  static_cast<int>(inst->circuit->circuit->line), scratch->items[i].name->name,
                  NamesOf(scratch->items[i].name->kind).text);
    return true;
}

void CheckInstances(const RESOLUTION *res) {
    for (const INSTANCE *inst = res->instances; inst != nullptr; inst = inst->next) {
        const CIRCUIT_INFO *c = inst->circuit;
        for (int i = 0; i < c->groundPairCount; ++i) {
            const EXT_CONVERTER *row = c->groundPairs[i];
            MSG_Error(1816, static_cast<int>(inst->call->line), static_cast<int>(row->line), row->port1,
                      NodeOf(inst, row->port1), row->port2, NodeOf(inst, row->port2));
        }
    }
    // An internal node that no port map reached floats.
    Unmapped scratch{};
    for (const INSTANCE *inst = res->instances; inst != nullptr; inst = inst->next)
        if (!ReportFloatingQuickly(inst, &scratch))
            ReportFloating(inst);
    CMN_Free(scratch.items);
}

void Report(int code, bool warning, const RESOLUTION *res, const NODE *n, unsigned mask) {
    Text t = Conflicts(n, mask);
    if (warning)
        MSG_Warning(code, res->component->name, n->name, TextOf(t));
    else
        MSG_Error(code, res->component->name, n->name, TextOf(t));
    CMN_Free(t.data);
}

void CheckNode(const RESOLUTION *res, NODE *n) {
    const char *cmp = res->component->name;
    const bool pin = (n->kind & ANALOG_PIN) != 0;
    if (n->count == 1 && !pin)
        Report(1821, false, res, n, UNKNOWN | DIGITAL | ANALOG);
    if (n->count == 0 && !pin)
        MSG_Warning(1822, cmp, n->name, "");
    if (n->count == 0 && pin)
        MSG_Error(1823, cmp, n->name);
    int analogDrivers = 0;
    for (const CONNECTION *k = n->connections; k != nullptr; k = k->next) {
        if (k->converters == nullptr)
            continue;
        n->kind |= k->converters->kinds | (k->analogDrivers > 1 ? ANALOG_REFERENCE : 0u);
        analogDrivers += k->analogDrivers;
    }
    if (analogDrivers > 1)
        n->kind |= ANALOG_REFERENCE;
    const unsigned kind = n->kind;
    if ((kind & DIGITAL_BITS) != 0 && (kind & ANALOG_BITS) != 0)
        Report(1824, false, res, n, DIGITAL_BITS | ANALOG_BITS);
    const bool ams = (kind & AMS_UNKNOWN) != 0;
    if ((kind & DIGITAL_RECEIVER) != 0 && (kind & DIGITAL_DRIVER) == 0)
        Report(ams ? 1826 : 1825, ams, res, n, DIGITAL_BITS);
    if ((kind & DIGITAL_DRIVER) != 0 && (kind & DIGITAL_RECEIVER) == 0)
        Report(ams ? 1828 : 1827, ams, res, n, DIGITAL_BITS);
    if (pin && (kind & DIGITAL_BITS) != 0)
        Report(1834, false, res, n, ANALOG_PIN | DIGITAL_BITS);
}

// A D_to_A row whose two analog ports both sit on connections with more
// than one analog driver.
void CheckDriverPairs(const RESOLUTION *res) {
    for (const INSTANCE *inst = res->instances; inst != nullptr; inst = inst->next)
        for (const CONNECTION *k = inst->made; k != nullptr; k = k->nextMade) {
            if ((k->kind & ANALOG_REFERENCE) == 0 || k->converters == nullptr)
                continue;
            for (const ROLE *r = k->converters->roles; r != nullptr; r = r->next) {
                if (r->role != ROLE_D2A_ANALOG || !r->first)
                    continue;
                const CONNECTION *other = ConnectionOf(inst, r->row->port2);
                if (other == nullptr || (other->kind & ANALOG_REFERENCE) == 0)
                    continue;
                const unsigned mask = ANALOG_REFERENCE | ANALOG_DRIVER | ANALOG_RESERVE;
                Text first = Conflicts(k->node, mask);
                Text second = Conflicts(other->node, mask);
                MSG_Error(1819, static_cast<int>(inst->call->line), static_cast<int>(r->row->line),
                          r->row->port1, k->node->name, r->row->port2, other->node->name, TextOf(first),
                          TextOf(second));
                CMN_Free(first.data);
                CMN_Free(second.data);
            }
        }
}

void FreeResolution(RESOLUTION *res) {
    for (INSTANCE *inst = res->instances; inst != nullptr;) {
        INSTANCE *next = inst->next;
        NAMEIDX_Clear(&inst->connected);
        CMN_Free(inst);
        inst = next;
    }
    for (NODE *n = res->nodes; n != nullptr; n = n->next)
        CMN_FreeChain(n->connections);
    CMN_FreeChain(res->nodes);
    for (CIRCUIT_INFO *c = res->circuits; c != nullptr;) {
        CIRCUIT_INFO *next = c->next;
        FreeInfo(c);
        c = next;
    }
    NAMEIDX_Clear(&res->declared);
    NAMEIDX_Clear(&res->nodeIndex);
    NAMEIDX_Clear(&res->circuitIndex);
}

}  // namespace

int CIRCUIT_ParseCallLine(const char *line, CIRCUIT_CALL *call) {
    MSG_ASSERT(line != nullptr && call != nullptr);
    WORD_LIST w{};  // no line uses more than four words
    if (!CMN_SplitWords(line, 4, &w)) {
        CMN_FreeWords(&w);
        MSG_Bug(1803, kSourceName, __LINE__);
        return 1;
    }
    int result = 1;
    const char *sub = w.found > 0 ? w.words[0] : "";
    if (strcmp(sub, "Signal_pin") == 0) {
        if (w.found < 2) {
            MSG_ErrorLine(1805, sub);
        } else {
            if (call->pin1[0] != '\0')
                MSG_ErrorLine(1800, w.words[1]);
            else
                CMN_CopyTruncate(call->pin1, w.words[1], sizeof call->pin1 - 1, sub);
            if (w.found > 2)
                MSG_ErrorLine(1806, w.words[2]);
        }
    } else if (strcmp(sub, "Diff_signal_pins") == 0 || strcmp(sub, "Series_pins") == 0) {
        if (w.found < 3) {
            MSG_ErrorLine(1805, sub);
        } else {
            AddReferencePin(call, w.words[1], sub);
            AddReferencePin(call, w.words[2], sub);
            if (w.found > 3)
                MSG_ErrorLine(1806, w.words[3]);
        }
    } else if (strcmp(sub, "Port_map") == 0) {
        result = AddPortMap(call, w);
    } else {
        MSG_ErrorLine(1804, sub);
        result = 0;
    }
    CMN_FreeWords(&w);
    return result;
}

void CIRCUIT_ResolveCalls(CMPNT *component, EXTCKT *circuits) {
    MSG_ASSERT(component != nullptr);
    if (component->circuit_calls == nullptr)
        return;
    RESOLUTION res{};
    res.component = component;
    int added = 0;
    for (const STRING_LIST *n = component->node_declarations; n != nullptr; n = n->next)
        if (n->text != nullptr && NAMEIDX_Add(&res.declared, n->text, &added) == nullptr)
            break;  // reported by the allocator; unindexed names count as unknown
    for (const CIRCUIT_CALL *call = component->circuit_calls; call != nullptr; call = call->next)
        ResolveCall(&res, call, circuits);
    CheckInstances(&res);
    for (NODE *n = res.nodes; n != nullptr; n = n->next)
        CheckNode(&res, n);
    CheckDriverPairs(&res);
    FreeResolution(&res);
}
