// AC/DC consistency checks of models and of the clamps that [Add Submodel]
// adds.
#define MSG_SRC MSGSRC_ACDC
#include "IbisParser/acdc.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/rng.h"
#include "IbisParser/rngp.h"
#include "IbisParser/submdl.h"
#include "IbisParser/wvfrm.h"

namespace {

int s_enabled = 1;

// Below this a resistance, a voltage step or a slope difference counts as
// zero; 1/kTiny stands for an infinite conductance or slope.
const double kTiny = 1e-32;
const double kHuge = 1e32;
// How far outside a segment an intersection still belongs to it.
const double kSegmentSlack = 1e-6;
// Waveform DC levels off by more than these shares of the swing.
const double kErrorShare = 0.10;
const double kWarningShare = 0.02;
// Up to this many waveforms each load line walks the combined curves; more
// are solved by a search tree of each curve, whose building costs a few
// walks. The walk reads every segment for every load: 5,000 rising and
// 5,000 falling waveforms on tables of 20,000 rows took 11 s; the trees
// check 20,000 of each in 0.35 s.
const int kWalkedWaveforms = 8;
// Clamp currents read at this voltage must stay within the limit.
const double kExtremeVoltage = -1.5;
const double kExtremeLimit = 10.0;

const int kCorners[3] = {CRVOP_TYP, CRVOP_MIN, CRVOP_MAX};

enum { kSeverityWarning = 4, kSeverityNote = 8 };

const char *ColumnWord(int corner) {
    switch (corner) {
    case CRVOP_TYP:
        return "Typical";
    case CRVOP_MIN:
        return "Minimum";
    case CRVOP_MAX:
        return "Maximum";
    default:
        return "Unknown";
    }
}

int Given(int state) { return state == CMN_VALUE_NUMBER; }

bool IsEcl(int type) {
    return type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_OUTPUT_ECL || type == MDL_TYPE_IO_ECL ||
           type == MDL_TYPE_3STATE_ECL;
}

bool HasNoDriver(int type) {
    return type == MDL_TYPE_INPUT || type == MDL_TYPE_INPUT_ECL || type == MDL_TYPE_TERMINATOR ||
           type == MDL_TYPE_SERIES || type == MDL_TYPE_SERIES_SWITCH;
}

bool HasNonDrivingMode(int type) {
    switch (type) {
    case MDL_TYPE_INPUT:
    case MDL_TYPE_IO:
    case MDL_TYPE_IO_OPEN_DRAIN:
    case MDL_TYPE_IO_OPEN_SINK:
    case MDL_TYPE_IO_OPEN_SOURCE:
    case MDL_TYPE_INPUT_ECL:
    case MDL_TYPE_IO_ECL:
    case MDL_TYPE_TERMINATOR:
        return true;
    default:
        return false;
    }
}

bool HasDrivingMode(int type) {
    return MDL_PullsUpAndDown(type) || CRVOP_IsOpenType(type) != 0;
}

// One column's direction tracker, by the I-V table reader's rule.  This,
// ACDC_CheckAddSubmodelClamps and ACDC_CheckExtremeCurrent are file-local
// but keep the prefix: they are the named inner steps of the AC/DC checks.
int ACDC_TrackMonotonic(CRV_TRACKER *t, double value) { return CRV_TrackMonotonic(t, value); }

void ReportReversal(const char *caption, const char *modelName, const char *word, int severity) {
    if (severity == kSeverityNote)
        MSG_Note(1509, caption, modelName, word);
    else
        MSG_Warning(1509, caption, modelName, word);
}

// The value of a corner's column of a row when given.
int CornerOf(const RNGP *row, int corner, double *value) {
    return CRVOP_GetPoint(row, corner, nullptr, value) != nullptr;
}

// One corner of an I-V table at a voltage, without extrapolation.
int TableAt(const CRV *table, double voltage, int corner, double *out) {
    double *v[3] = {nullptr, nullptr, nullptr};
    CRV_InterpolateAt(table, voltage, &v[0], &v[1], &v[2]);
    double *chosen = corner == CRVOP_TYP ? v[0] : corner == CRVOP_MIN ? v[1] : v[2];
    int found = chosen != nullptr;
    if (found)
        *out = *chosen;
    for (double *p : v)
        CMN_Free(p);
    return found;
}

// A table as a current against the pin voltage: merged with the zero curve
// (a missing table is zero current), optionally negated, then shifted. The
// curves of a check are its own: each is one block (CRVOP_FreeBlock).
CRV *PinCurve(const CRV *table, int corner, bool negate, double shift) {
    CRV *copy = CRVOP_MergeBlock(table, CRVOP_ZeroCurve(), corner);
    if (copy == nullptr)
        return nullptr;
    if (negate)
        CRVOP_NegateX(copy);
    CRVOP_ShiftX(copy, shift);
    return copy;
}

// sum + addend into a new curve; the old sum and the addend are freed.
// Null (both freed) when out of memory.
CRV *AddInto(CRV *sum, CRV *addend, int corner) {
    CRV *result =
        sum != nullptr && addend != nullptr ? CRVOP_MergeBlock(sum, addend, corner) : nullptr;
    CRVOP_FreeBlock(sum);
    CRVOP_FreeBlock(addend);
    return result;
}

int Verdict(double deviation, double swing) {
    if (deviation > kErrorShare * swing)
        return 2;
    if (deviation > kWarningShare * swing)
        return 1;
    return 0;
}

// The submodels of the file by name, for one run of the [Add Submodel] check.
struct Submodels {
    SUBMDL *list;
    NAME_INDEX index;
    bool indexed;
};

// Indexes the list once; the first submodel of a name (in list order) is the
// one found, as a walk of the list would find it.
void SubmodelsOpen(Submodels *s, SUBMDL *list) {
    const MDL_SUBMODEL_OPS &ops = MDL_submodelOps;
    s->list = list;
    s->index = NAME_INDEX{};
    s->indexed = ops.next != nullptr && ops.name != nullptr;
    for (SUBMDL *sub = list; s->indexed && sub != nullptr; sub = ops.next(sub)) {
        int added = 0;
        NAME_ENTRY *e = NAMEIDX_Add(&s->index, ops.name(sub), &added);
        if (e == nullptr)
            s->indexed = false;  // out of memory: look each name up in the list
        else if (added)
            e->item = sub;
    }
}

SUBMDL *SubmodelNamed(const Submodels *s, const char *name) {
    if (s->indexed) {
        const NAME_ENTRY *e = NAMEIDX_Find(&s->index, name);
        return e != nullptr ? static_cast<SUBMDL *>(e->item) : nullptr;
    }
    return MDL_submodelOps.findByName != nullptr ? MDL_submodelOps.findByName(name, s->list)
                                                 : nullptr;
}

// Where entries times grid rows may grow for a sum in entry order: a
// constant, and a share of what the sum reads. Only lists far beyond any
// file's (thousands of submodels, each with voltages of its own) go past it;
// they are summed pairwise instead, the same sum but for rounding, so that
// the check stays linear in the file.
const double kOrderedWork = 1 << 20;
const double kOrderedShare = 256;

// What one sum of clamps adds: the model's clamps, then for each entry in
// the mode (`mode` or All) whose submodel is a Dynamic_clamp, its GND and
// POWER Clamp on the pin axis.
struct ClampSum {
    const MDL *model;
    const Submodels *submodels;
    int corner, mode;
    const CRV *gnd, *power;
    double gndRail, powerRail;
    bool InMode(const ADD_SUBMDL *e) const { return e->mode == mode || e->mode == 2; }
    // The entry's submodel clamps when it adds any.
    bool Clamps(const ADD_SUBMDL *e, const CRV **subGnd, const CRV **subPower) const {
        const SUBMDL *sub = SubmodelNamed(submodels, e->name);
        if (sub == nullptr || ACDC_ops.clamps == nullptr)
            return false;
        int type = 0;
        ACDC_ops.clamps(sub, &type, subGnd, subPower);
        return type == 2;  // Dynamic_clamp
    }
};

// Rows of a table with x given, plus the two of the zero curve it is merged
// with: a bound on the rows it brings to a sum.
double RowsBrought(const CRV *table) {
    double n = 2;
    for (const RNGP *r = table != nullptr ? CRVOP_FirstX(table->points, nullptr) : nullptr;
         r != nullptr; r = CRVOP_NextX(r, nullptr))
        ++n;
    return n;
}

// Every entry's clamps added in turn into one running sum, left to right.
// Null after bug 3300.
CRV *SumInEntryOrder(const ClampSum &c) {
    CRVOP_SUM sum{};
    bool ok = CRVOP_SumStart(&sum, c.gnd, c.power, c.corner) != 0;
    for (const ADD_SUBMDL *e = c.model->addSubmodel; ok && e != nullptr; e = e->next) {
        const CRV *subGnd = nullptr, *subPower = nullptr;
        if (!c.InMode(e) || !c.Clamps(e, &subGnd, &subPower))
            continue;
        for (int power = 0; ok && power < 2; ++power) {
            CRV *added = power ? PinCurve(subPower, c.corner, true, c.powerRail)
                               : PinCurve(subGnd, c.corner, false, c.gndRail);
            ok = added != nullptr && CRVOP_SumAdd(&sum, added);
            CRVOP_FreeBlock(added);
        }
    }
    CRV *total = ok ? CRVOP_SumCurve(&sum) : nullptr;
    CRVOP_SumFree(&sum);
    return total;
}

// A sum of curves merging partial sums of equal size as a binary counter
// carries: each curve goes through O(log n) merges, so a model that adds
// many submodels costs n log n rather than n^2 row steps.
struct CurveSum {
    CRV *part[64];
    unsigned long size[64];  // curves summed into each part
    int depth;
    bool failed;
};

void SumAdd(CurveSum *s, CRV *curve, int corner) {
    if (s->failed || curve == nullptr) {
        CRVOP_FreeBlock(curve);
        s->failed = true;
        return;
    }
    s->part[s->depth] = curve;
    s->size[s->depth++] = 1;
    while (s->depth >= 2 && s->size[s->depth - 1] == s->size[s->depth - 2]) {
        --s->depth;
        s->part[s->depth - 1] = AddInto(s->part[s->depth - 1], s->part[s->depth], corner);
        s->size[s->depth - 1] *= 2;
        if (s->part[s->depth - 1] == nullptr) {
            --s->depth;
            s->failed = true;
            return;
        }
    }
}

// The whole sum (the caller frees it), or null when memory ran out.
CRV *SumTake(CurveSum *s, int corner) {
    CRV *sum = s->depth > 0 && !s->failed ? s->part[0] : nullptr;
    if (s->failed && s->depth > 0)
        CRVOP_FreeBlock(s->part[0]);
    for (int i = 1; i < s->depth; ++i)
        sum = AddInto(sum, s->part[i], corner);  // frees the part also after a failure
    s->depth = 0;
    return sum;
}

// Multiplies one column of a check's own curve: the sum of `times` copies.
void ScaleColumn(CRV *curve, int corner, size_t times) {
    if (curve == nullptr || times == 1)
        return;
    for (RNGP *r = curve->points; r != nullptr; r = r->next) {
        double value = 0.0;
        if (CornerOf(r, corner, &value))
            CRVOP_SetPoint(r, corner, r->x, value * static_cast<double>(times));
    }
}

// The sum of a list too long for entry order: pairwise, a submodel that
// several entries name added once, times their number, at the first of them
// (`entries` counts them by name).
CRV *SumPairwise(const ClampSum &c, const NAME_TALLY *entries) {
    CurveSum sum{};
    SumAdd(&sum, CRVOP_MergeBlock(c.gnd, c.power, c.corner), c.corner);
    for (const ADD_SUBMDL *e = c.model->addSubmodel; !sum.failed && e != nullptr; e = e->next) {
        if (!c.InMode(e))
            continue;
        void *first = nullptr;
        size_t times = 1;
        const int counted = NAMEIDX_Lookup(entries, e->name, &first, &times);
        if (counted == 1 && first != e)
            continue;  // added with the first entry of its name
        if (counted != 1)
            times = 1;  // no tally (out of memory): one entry at a time
        const CRV *subGnd = nullptr, *subPower = nullptr;
        if (!c.Clamps(e, &subGnd, &subPower))
            continue;
        CRV *added = PinCurve(subGnd, c.corner, false, c.gndRail);
        ScaleColumn(added, c.corner, times);
        SumAdd(&sum, added, c.corner);
        added = PinCurve(subPower, c.corner, true, c.powerRail);
        ScaleColumn(added, c.corner, times);
        SumAdd(&sum, added, c.corner);
    }
    return SumTake(&sum, c.corner);
}

// The sum of a model's clamps in one mode with those its entries add,
// checked for monotonicity. In entry order unless the list's entries times
// its rows (those of each submodel counted once) outgrow the file.
void CheckModeClamps(const ClampSum &c, const char *caption) {
    NAME_TALLY entries;
    NAMEIDX_InitTally(&entries);
    double count = 0, rows = RowsBrought(c.gnd) + RowsBrought(c.power);
    for (const ADD_SUBMDL *e = c.model->addSubmodel; e != nullptr; e = e->next) {
        if (!c.InMode(e))
            continue;
        ++count;
        // A name counted before adds no new voltages; without a tally (out
        // of memory) every entry is counted.
        const CRV *subGnd = nullptr, *subPower = nullptr;
        if (NAMEIDX_Count(&entries, e->name, const_cast<ADD_SUBMDL *>(e)) <= 0 &&
            c.Clamps(e, &subGnd, &subPower))
            rows += RowsBrought(subGnd) + RowsBrought(subPower);
    }
    CRV *total = count * rows <= kOrderedWork + kOrderedShare * (count + rows)
                     ? SumInEntryOrder(c)
                     : SumPairwise(c, &entries);
    NAMEIDX_FreeTally(&entries);
    if (total != nullptr)
        ACDC_CheckCurveMonotonic(total, c.model->name, caption, c.corner, kSeverityWarning);
    CRVOP_FreeBlock(total);
}

void ACDC_CheckAddSubmodelClamps(MDL *models, const Submodels *submodels, int corner) {
    for (const MDL *m = models; m != nullptr; m = m->next) {
        if (m->addSubmodel == nullptr ||
            (!HasNonDrivingMode(m->Model_type) && !HasDrivingMode(m->Model_type)))
            continue;
        if (m->gndClamp != nullptr && m->powerClamp != nullptr &&
            CRVOP_IsTooShort(m->gndClamp, corner) && CRVOP_IsTooShort(m->powerClamp, corner))
            continue;
        double powerRail, pullupRail, gndRail, pulldownRail;
        CRVOP_GetRails(m, corner, &powerRail, &pullupRail, &gndRail, &pulldownRail);
        CRV *gnd = PinCurve(m->gndClamp, corner, false, gndRail);
        CRV *power = gnd != nullptr ? PinCurve(m->powerClamp, corner, true, powerRail) : nullptr;
        if (power != nullptr) {
            ClampSum sum{m, submodels, corner, 1, gnd, power, gndRail, powerRail};
            if (HasNonDrivingMode(m->Model_type))
                CheckModeClamps(sum, "Combined Clamp in Non Driving Mode for Model");
            sum.mode = 0;
            if (HasDrivingMode(m->Model_type))
                CheckModeClamps(sum, "Combined Clamp in Driving Mode for Model");
        }
        CRVOP_FreeBlock(gnd);
        CRVOP_FreeBlock(power);
    }
}

int ACDC_CheckExtremeCurrent(const char *name, const CRV *table, const char *caption) {
    if (table == nullptr)
        return 1;
    int ok = 1;
    for (int corner : kCorners) {
        double current = 0.0;
        if (CRVOP_ValueAt(table, kExtremeVoltage, corner, &current) &&
            std::fabs(current) > kExtremeLimit) {
            MSG_Warning(1506, name, CRVOP_ColumnName(corner), caption, current,
                        kExtremeVoltage);
            ok = 0;
        }
    }
    return ok;
}

// The two clamps of a model or a submodel at the limit's voltage.
int CheckClamps(const char *name, const CRV *gndClamp, const CRV *powerClamp) {
    int ok = ACDC_CheckExtremeCurrent(name, gndClamp, "GND_Clamp");
    ok &= ACDC_CheckExtremeCurrent(name, powerClamp, "POWER_Clamp");
    return ok;
}

// An ISSO table against the drive table it should match: the ISSO current
// at 0 V equals the drive table's at the reference difference, and the ISSO
// current there is zero.
void CheckIssoTable(const MDL *model, int corner, const CRV *isso, const CRV *table,
                    const char *issoName, const char *tableName, const char *otherName,
                    double reference, double difference) {
    if (CRVOP_IsTooShort(isso, corner) || CRVOP_IsTooShort(table, corner))
        return;
    double atZero = 0.0, atDifference = 0.0;
    if (TableAt(isso, 0.0, corner, &atZero) && TableAt(table, difference, corner, &atDifference) &&
        std::fabs(atDifference - atZero) > std::fabs(atZero) * 1e-6)
        MSG_Warning(1512, model->name, ColumnWord(corner), issoName, atZero, tableName,
                    atDifference, reference);
    double current = 0.0;
    if (TableAt(isso, difference, corner, &current) && std::fabs(current) > 1e-9)
        MSG_Warning(1513, model->name, ColumnWord(corner), issoName, current, otherName, reference,
                    difference);
}

}  // namespace

int ACDC_SetEnabled(int flag) { return s_enabled = flag != 0 ? 1 : 0; }
int ACDC_GetEnabled(void) { return s_enabled; }

int ACDC_GetCornerValue(const RNG *primary, const RNG *fallback, int corner, double *out) {
    MSG_ASSERT(out != nullptr);
    if (corner == CRVOP_TYP) {
        return CRVOP_GetRngColumn(primary, CRVOP_TYP, out) ||
               CRVOP_GetRngColumn(fallback, CRVOP_TYP, out);
    }
    const RNG *const ranges[2] = {primary, fallback};
    for (const RNG *r : ranges) {
        if (r == nullptr)
            continue;
        int state = corner == CRVOP_MIN ? r->min_state : r->max_state;
        if (state == CMN_VALUE_ABSENT)
            continue;
        if (state == CMN_VALUE_NA)
            return CRVOP_GetRngColumn(r, CRVOP_TYP, out);
        return CRVOP_GetRngColumn(r, corner, out);
    }
    return 0;
}

namespace {

// The walk's arithmetic, which the leaves repeat operation for operation. A
// load of resistance R to voltage V_L is the line I = G (V_L - V), G = 1/R;
// each segment's line meets it at one V, and a segment parallel to it leaves
// the load unsolved. Candidates are the first segment's V when at or below
// its start, and every V within its segment (with a slack); the one nearest
// the target wins, the first of equal distances; without one the last
// segment's V is the answer.
double Conductance(double r) { return r < kTiny ? kHuge : 1.0 / r; }
double Slope(double x0, double i0, double x1, double i1) {
    return x1 - x0 < kTiny ? kHuge : (i1 - i0) / (x1 - x0);
}
bool Parallel(double g, double slope) { return std::fabs(-g - slope) < kTiny; }
double Meet(double x0, double i0, double slope, double g, double vL) {
    return (i0 - slope * x0 - g * vL) / (-g - slope);
}
bool Within(double v, double x0, double x1) {
    return v > x0 - kSegmentSlack && v < x1 + kSegmentSlack;
}

}  // namespace

int ACDC_IntersectLoadLine(const CRV *curve, double loadVoltage, double loadResistance,
                           int corner, double target, double *voltage, double *current) {
    MSG_ASSERT(voltage != nullptr);
    if (CRVOP_IsTooShort(curve, corner))
        return 0;
    double x0 = 0.0, i0 = 0.0, x1 = 0.0, i1 = 0.0;
    const RNGP *p0 = CRVOP_FirstPoint(curve->points, corner, &x0, &i0);
    const RNGP *p1 = CRVOP_NextPoint(p0, corner, &x1, &i1);
    if (x0 > x1)
        return 0;
    const double g = Conductance(loadResistance);
    bool found = false;
    double best = 0.0, bestDistance = 0.0, v = 0.0;
    for (bool first = true; p1 != nullptr; first = false) {
        const double slope = Slope(x0, i0, x1, i1);
        if (Parallel(g, slope))
            return 0;  // parallel to the load line
        v = Meet(x0, i0, slope, g, loadVoltage);
        const double distance = std::fabs(v - target);
        if (first && v <= x0) {
            found = true;
            best = v;
            bestDistance = distance;
        }
        if (Within(v, x0, x1) && (!found || distance < bestDistance)) {
            found = true;
            best = v;
            bestDistance = distance;
        }
        x0 = x1;
        i0 = i1;
        p1 = CRVOP_NextPoint(p1, corner, &x1, &i1);
    }
    *voltage = found ? best : v;  // else the last segment, extrapolated
    if (current != nullptr)
        *current = g * (loadVoltage - *voltage);
    return 1;
}

// Load lines solved in bulk: a search tree over the segments of one column
// of a curve gives for each load what the walk over every segment gives.
//
// Leaves hold a few consecutive segments; every node the box around what its
// segments can answer: the x within the slack of each segment, and the
// current of each segment's line over that stretch. A load line that passes
// the box by more than the rounding of one segment's intersection can have
// no candidate there, and a box farther from the target than the best
// candidate found has no better one; the walk's own arithmetic decides in the
// leaves that are left, so the answer is the walk's to the last bit. On a
// curve whose current rises with the voltage a load line crosses a few boxes
// per level, so a search reads a logarithmic share of the segments.
namespace {

const size_t kBucket = 8;  // segments per leaf
// Beyond these magnitudes (values of the curve; load voltage and target) the
// sums that bound the rounding could overflow.
const double kValueLimit = 1e100;
const double kLoadLimit = 1e250;
// Share of the magnitudes in a box test that covers the rounding of the
// intersection and of the box (a few units in the last place are enough).
const double kRounding = 1e-12;

struct Node {
    double vlo, vhi;  // x within the slack of the segments (vlo > vhi: none)
    double ilo, ihi;  // current of the segments' lines over those x
    double size;      // largest |i0| + |slope * x0|
};

}  // namespace

struct ACDC_LOADLINE {
    size_t points;
    int unsolvable;   // fewer than two points, or x starts descending
    double *x, *i;    // the points
    double *slopes;   // of the segments, ascending
    Node *nodes;      // 1 is the root, leaves from `leaves` on
    size_t leaves;
};

namespace {

size_t Segments(const ACDC_LOADLINE *t) { return t->points - 1; }

// The first segment under a node.
size_t FirstSegment(const ACDC_LOADLINE *t, size_t node) {
    while (node < t->leaves)
        node *= 2;
    return (node - t->leaves) * kBucket;
}

void Join(Node *into, const Node &n) {
    into->vlo = std::min(into->vlo, n.vlo);
    into->vhi = std::max(into->vhi, n.vhi);
    into->ilo = std::min(into->ilo, n.ilo);
    into->ihi = std::max(into->ihi, n.ihi);
    into->size = std::max(into->size, n.size);
}

const Node kEmpty = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, 0.0};

// The box of one segment; empty when no intersection can lie within it.
Node SegmentBox(const ACDC_LOADLINE *t, size_t j) {
    const double x0 = t->x[j], i0 = t->i[j], x1 = t->x[j + 1];
    const double slope = Slope(x0, i0, x1, t->i[j + 1]);
    const double lo = x0 - kSegmentSlack, hi = x1 + kSegmentSlack;
    if (!(lo < hi))
        return kEmpty;
    const double a = i0 + slope * (lo - x0), b = i0 + slope * (hi - x0);
    return Node{lo, hi, std::min(a, b), std::max(a, b),
                std::fabs(i0) + std::fabs(slope * x0)};
}

// 1 when the load line I = g (vL - V) passes the box without touching it
// (by more than the rounding of an intersection): then every point of the
// box is strictly above it or strictly below it.
bool Passes(const Node &n, double g, double vL) {
    const double a = g * n.vlo, b = g * n.vhi, c = g * vL;
    const double margin =
        kRounding * (std::fabs(n.ilo) + std::fabs(n.ihi) + std::fabs(a) + std::fabs(b) +
                     std::fabs(c) + n.size) +
        1e-300;
    return n.ihi + std::max(a, b) - c < -margin || n.ilo + std::min(a, b) - c > margin;
}

// How far the target lies outside the box's x: no candidate in it is nearer.
double Distance(const Node &n, double target) {
    if (target < n.vlo)
        return n.vlo - target;
    if (target > n.vhi)
        return target - n.vhi;
    return 0.0;
}

// The best candidate so far: the walk's order is nearest first, then lowest
// segment.
struct Best {
    bool found;
    double v, distance;
    size_t segment;
    void Offer(double cv, double target, size_t j) {
        const double d = std::fabs(cv - target);
        if (!found || d < distance || (d == distance && j < segment)) {
            found = true;
            v = cv;
            distance = d;
            segment = j;
        }
    }
};

}  // namespace

ACDC_LOADLINE *ACDC_BuildLoadLineTree(const CRV *curve, int column) {
    size_t points = 0;
    if (curve != nullptr)
        for (const RNGP *r = CRVOP_FirstPoint(curve->points, column, nullptr, nullptr);
             r != nullptr; r = CRVOP_NextPoint(r, column, nullptr, nullptr))
            ++points;
    const size_t segments = points > 1 ? points - 1 : 0;
    size_t leaves = 1;
    while (leaves * kBucket < segments)
        leaves *= 2;
    const size_t head = (sizeof(ACDC_LOADLINE) + sizeof(double) - 1) / sizeof(double);
    double *block = nullptr;
    if (!CMN_Alloc(&block, (head + 2 * points + segments) * sizeof(double) +
                               2 * leaves * sizeof(Node)))
        return nullptr;
    ACDC_LOADLINE *t = reinterpret_cast<ACDC_LOADLINE *>(block);
    t->points = points;
    t->x = block + head;
    t->i = t->x + points;
    t->slopes = t->i + points;
    t->nodes = reinterpret_cast<Node *>(t->slopes + segments);
    t->leaves = leaves;
    size_t k = 0;
    double xv = 0.0, iv = 0.0;
    for (const RNGP *r = points > 0 ? CRVOP_FirstPoint(curve->points, column, &xv, &iv) : nullptr;
         r != nullptr; r = CRVOP_NextPoint(r, column, &xv, &iv), ++k) {
        if (!(std::fabs(xv) <= kValueLimit && std::fabs(iv) <= kValueLimit)) {
            CMN_Free(block);
            return nullptr;
        }
        t->x[k] = xv;
        t->i[k] = iv;
    }
    t->unsolvable = points < 2 || t->x[0] > t->x[1];
    if (t->unsolvable)
        return t;
    for (size_t j = 0; j < segments; ++j)
        t->slopes[j] = Slope(t->x[j], t->i[j], t->x[j + 1], t->i[j + 1]);
    std::sort(t->slopes, t->slopes + segments);
    for (size_t leaf = 0; leaf < leaves; ++leaf) {
        Node box = kEmpty;
        for (size_t j = leaf * kBucket; j < segments && j < (leaf + 1) * kBucket; ++j)
            Join(&box, SegmentBox(t, j));
        t->nodes[leaves + leaf] = box;
    }
    for (size_t node = leaves - 1; node >= 1; --node) {
        t->nodes[node] = t->nodes[2 * node];
        Join(&t->nodes[node], t->nodes[2 * node + 1]);
    }
    return t;
}

int ACDC_SolveLoadLine(const ACDC_LOADLINE *t, double loadVoltage, double loadResistance,
                       double target, double *voltage) {
    MSG_ASSERT(t != nullptr && voltage != nullptr);
    if (t->unsolvable)
        return 0;
    const double g = Conductance(loadResistance);
    if (!(std::fabs(loadVoltage) <= kLoadLimit && std::fabs(target) <= kLoadLimit &&
          std::fabs(g) <= kLoadLimit))
        return -1;
    // -g - slope falls as the slope rises: the first slope where it drops
    // below the limit is the one nearest to parallel from above.
    const size_t segments = Segments(t);
    const double *s = std::partition_point(
        t->slopes, t->slopes + segments, [g](double slope) { return !(-g - slope < kTiny); });
    if (s != t->slopes + segments && Parallel(g, *s))
        return 0;
    Best best{false, 0.0, 0.0, 0};
    // The first segment also takes an intersection at or below its start.
    const double v0 =
        Meet(t->x[0], t->i[0], Slope(t->x[0], t->i[0], t->x[1], t->i[1]), g, loadVoltage);
    if (v0 <= t->x[0] || Within(v0, t->x[0], t->x[1]))
        best.Offer(v0, target, 0);
    // Nearer boxes first, so that the best candidate soon bounds the rest;
    // the stack holds at most two nodes per level.
    size_t stack[2 * 64];
    size_t depth = 0;
    stack[depth++] = 1;
    while (depth > 0) {
        const size_t node = stack[--depth];
        const Node &n = t->nodes[node];
        if (!(n.vlo <= n.vhi))
            continue;
        const double away = Distance(n, target);
        if (best.found && (away > best.distance ||
                           (away == best.distance && FirstSegment(t, node) > best.segment)))
            continue;
        if (Passes(n, g, loadVoltage))
            continue;
        if (node >= t->leaves) {
            const size_t first = (node - t->leaves) * kBucket;
            for (size_t j = first > 0 ? first : 1; j < segments && j < first + kBucket; ++j) {
                const double x0 = t->x[j], i0 = t->i[j], x1 = t->x[j + 1];
                const double v = Meet(x0, i0, Slope(x0, i0, x1, t->i[j + 1]), g, loadVoltage);
                if (Within(v, x0, x1))
                    best.Offer(v, target, j);
            }
            continue;
        }
        const size_t near = Distance(t->nodes[2 * node], target) <=
                                    Distance(t->nodes[2 * node + 1], target)
                                ? 2 * node
                                : 2 * node + 1;
        stack[depth++] = near ^ 1;
        stack[depth++] = near;
    }
    if (best.found) {
        *voltage = best.v;
    } else {
        const size_t j = segments - 1;
        *voltage = Meet(t->x[j], t->i[j], Slope(t->x[j], t->i[j], t->x[j + 1], t->i[j + 1]), g,
                        loadVoltage);
    }
    return 1;
}

void ACDC_FreeLoadLineTree(ACDC_LOADLINE *tree) { CMN_Free(tree); }

void ACDC_CheckCurveMonotonic(const CRV *curve, const char *modelName, const char *caption,
                              int corner, int severity) {
    MSG_ASSERT(modelName != nullptr && caption != nullptr);
    if (CRVOP_IsTooShort(curve, corner))
        return;
    CRV_TRACKER voltage{}, column{};
    for (const RNGP *r = curve->points; r != nullptr; r = r->next) {
        if (corner == CRVOP_TYP && Given(r->x_state) && ACDC_TrackMonotonic(&voltage, r->x))
            ReportReversal(caption, modelName, "Voltage", severity);
        double value = 0.0;
        if (CornerOf(r, corner, &value) && ACDC_TrackMonotonic(&column, value))
            ReportReversal(caption, modelName, ColumnWord(corner), severity);
    }
}

namespace {

// A combined curve, with its search tree when many loads are solved on it.
struct Side {
    const CRV *curve;
    ACDC_LOADLINE *tree;
};

int Solve(const Side &side, double loadVoltage, double resistance, int corner, double target,
          double *voltage) {
    const int solved = side.tree != nullptr
                           ? ACDC_SolveLoadLine(side.tree, loadVoltage, resistance, target, voltage)
                           : -1;
    return solved >= 0 ? solved
                       : ACDC_IntersectLoadLine(side.curve, loadVoltage, resistance, corner,
                                                target, voltage, nullptr);
}

int WaveformEndpoints(const MDL *model, int corner, const WVFRM *waveform, const Side &pulldown,
                      const Side &pullup, int rising) {
    MSG_ASSERT(model != nullptr && waveform != nullptr);
    const double r = waveform->R_fixture != nullptr ? *waveform->R_fixture : kHuge;
    double v = waveform->V_fixture != nullptr ? *waveform->V_fixture : 0.0;
    const char *fixture = "V_fixture";
    if (corner == CRVOP_MIN) {
        fixture = "V_fixture_min";
        if (waveform->V_fixture_min != nullptr)
            v = *waveform->V_fixture_min;
    } else if (corner == CRVOP_MAX) {
        fixture = "V_fixture_max";
        if (waveform->V_fixture_max != nullptr)
            v = *waveform->V_fixture_max;
    }
    double first = 0.0, last = 0.0;
    if (CRVOP_FirstPoint(waveform->points, corner, nullptr, &first) == nullptr ||
        CRVOP_LastPoint(waveform->rows.last != nullptr ? waveform->rows.last : waveform->points,
                        corner, nullptr, &last) == nullptr)
        return 1;
    const double low = rising ? first : last;
    const double high = rising ? last : first;
    double vLow = 0.0, vHigh = 0.0;
    if (!Solve(pulldown, v, r, corner, low, &vLow) || !Solve(pullup, v, r, corner, high, &vHigh))
        return 1;
    const double swing = std::fabs(high - low);
    const double dLow = std::fabs(vLow - low);
    const double dHigh = std::fabs(vHigh - high);
    const double apart = std::fabs(vLow - vHigh);
    const double lowShare = apart == 0.0 ? 100.0 : 100.0 * dLow / apart;
    const double highShare = apart == 0.0 ? 100.0 : 100.0 * dHigh / apart;
    int verdict = 0;
    if (!MDL_PullsUpOnly(model->Model_type))
        verdict = Verdict(dLow, swing);
    if (!MDL_PullsDownOnly(model->Model_type) && Verdict(dHigh, swing) > verdict)
        verdict = Verdict(dHigh, swing);
    if (verdict == 0)
        return 1;
    if (verdict == 2)
        MSG_Error(1503, model->name, rising ? "Rising" : "Falling", r, fixture, v,
                  CRVOP_ColumnName(corner), low, high, vLow, vHigh, lowShare, highShare);
    else
        MSG_Warning(1503, model->name, rising ? "Rising" : "Falling", r, fixture, v,
                    CRVOP_ColumnName(corner), low, high, vLow, vHigh, lowShare, highShare);
    return 0;
}

}  // namespace

int ACDC_CheckWaveformEndpoints(const MDL *model, int corner, const WVFRM *waveform,
                                const CRV *pulldown, const CRV *pullup, int rising) {
    return WaveformEndpoints(model, corner, waveform, Side{pulldown, nullptr},
                             Side{pullup, nullptr}, rising);
}

int ACDC_CheckVmeas(const MDL *model, int corner, const CRV *pulldown, const CRV *pullup) {
    MSG_ASSERT(model != nullptr);
    double vmeas = 0.0;
    const RNG *spec = model->modelSpec != nullptr ? model->modelSpec->Vmeas : nullptr;
    if (CRVOP_GetRngColumn(spec, CRVOP_TYP, &vmeas))
        CRVOP_GetRngColumn(spec, corner, &vmeas);
    else if (model->Vmeas != nullptr)
        vmeas = *model->Vmeas;
    else
        return 1;
    if (model->Rref == nullptr || model->Vref == nullptr)
        return 1;
    double vPulldown = 0.0, vPullup = 0.0;
    const int type = model->Model_type;
    const double vref = *model->Vref, rref = *model->Rref;
    const int pulldownSolved =
        !MDL_PullsUpOnly(type) &&
        ACDC_IntersectLoadLine(pulldown, vref, rref, corner, 0.0, &vPulldown, nullptr);
    const int pullupSolved =
        !MDL_PullsDownOnly(type) &&
        ACDC_IntersectLoadLine(pullup, vref, rref, corner, 0.0, &vPullup, nullptr);
    if (!pulldownSolved && !pullupSolved)
        return 1;
    if (model->externalModel != nullptr)
        return 1;
    // A side that was not solved (an open type drives one side only) has no
    // voltage to compare.
    if ((pulldownSolved && vPulldown > vmeas) || (pullupSolved && vPullup < vmeas)) {
        MSG_Warning(1500, model->name, CRVOP_ColumnName(corner), vmeas, *model->Rref,
                    *model->Vref);
        return 0;
    }
    return 1;
}

int ACDC_CheckCombinedCurves(const MDL *model, int corner) {
    MSG_ASSERT(model != nullptr);
    if (model->pulldown != nullptr && model->pullup != nullptr &&
        CRVOP_IsTooShort(model->pulldown, corner) && CRVOP_IsTooShort(model->pullup, corner))
        return 1;
    double powerRail, pullupRail, gndRail, pulldownRail;
    CRVOP_GetRails(model, corner, &powerRail, &pullupRail, &gndRail, &pulldownRail);
    // The four tables as currents against the pin voltage.
    CRV *pulldown = PinCurve(model->pulldown, corner, IsEcl(model->Model_type), pulldownRail);
    CRV *pullup = pulldown ? PinCurve(model->pullup, corner, true, pullupRail) : nullptr;
    CRV *gnd = pullup ? PinCurve(model->gndClamp, corner, false, gndRail) : nullptr;
    CRV *power = gnd ? PinCurve(model->powerClamp, corner, true, powerRail) : nullptr;
    CRV *clamps = power ? CRVOP_MergeBlock(power, gnd, corner) : nullptr;
    CRV *combinedPulldown = clamps ? CRVOP_MergeBlock(clamps, pulldown, corner) : nullptr;
    CRV *combinedPullup = combinedPulldown ? CRVOP_MergeBlock(clamps, pullup, corner) : nullptr;
    int ok = 0;
    if (combinedPullup != nullptr) {
        ok = 1;
        ACDC_CheckCurveMonotonic(combinedPulldown, model->name, "Combined Pulldown for Model:",
                                 corner, kSeverityWarning);
        ACDC_CheckCurveMonotonic(combinedPullup, model->name, "Combined Pullup for Model:",
                                 corner, kSeverityWarning);
        int waveforms = 0;
        for (const WVFRM *w = model->risingWaveform; w != nullptr && waveforms <= kWalkedWaveforms;
             w = w->next)
            ++waveforms;
        for (const WVFRM *w = model->fallingWaveform;
             w != nullptr && waveforms <= kWalkedWaveforms; w = w->next)
            ++waveforms;
        const bool search = waveforms > kWalkedWaveforms;
        const Side pulldownSide{
            combinedPulldown, search ? ACDC_BuildLoadLineTree(combinedPulldown, corner) : nullptr};
        const Side pullupSide{combinedPullup,
                              search ? ACDC_BuildLoadLineTree(combinedPullup, corner) : nullptr};
        for (int rising = 1; rising >= 0; --rising)
            for (const WVFRM *w = rising ? model->risingWaveform : model->fallingWaveform;
                 w != nullptr; w = w->next)
                ok &= WaveformEndpoints(model, corner, w, pulldownSide, pullupSide, rising);
        ACDC_FreeLoadLineTree(pulldownSide.tree);
        ACDC_FreeLoadLineTree(pullupSide.tree);
        // A table too short for this corner has no combined curve to test Vmeas on.
        const bool pulldownShort =
            model->pulldown != nullptr && CRVOP_IsTooShort(model->pulldown, corner);
        const bool pullupShort =
            model->pullup != nullptr && CRVOP_IsTooShort(model->pullup, corner);
        ok &= ACDC_CheckVmeas(model, corner, pulldownShort ? nullptr : combinedPulldown,
                              pullupShort ? nullptr : combinedPullup);
    }
    CRV *const curves[] = {pulldown, pullup, gnd, power, clamps, combinedPulldown, combinedPullup};
    for (CRV *c : curves)
        CRVOP_FreeBlock(c);
    return ok;
}

void ACDC_CheckIsso(const MDL *model, int corner) {
    MSG_ASSERT(model != nullptr);
    double vPullup = 0.0;
    if (!ACDC_GetCornerValue(model->pullupReference, model->voltageRange, corner, &vPullup))
        return;
    double vPulldown = 0.0;
    const RNG *ref = model->pulldownReference;
    if (corner == CRVOP_TYP) {
        if (!CRVOP_GetRngColumn(ref, CRVOP_TYP, &vPulldown))
            return;
    } else if (ref != nullptr) {
        const int state = corner == CRVOP_MIN ? ref->min_state : ref->max_state;
        if (state == CMN_VALUE_NA && !CRVOP_GetRngColumn(ref, CRVOP_TYP, &vPulldown))
            return;
        if (state == CMN_VALUE_NUMBER)
            CRVOP_GetRngColumn(ref, corner, &vPulldown);
    }
    const double difference = vPullup - vPulldown;
    CheckIssoTable(model, corner, model->ISSO_PU, model->pullup, "ISSO_PU", "Pullup", "Pulldown",
                   vPulldown, difference);
    CheckIssoTable(model, corner, model->ISSO_PD, model->pulldown, "ISSO_PD", "Pulldown", "Pullup",
                   vPullup, difference);
}

int ACDC_CheckClampCurrents(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    return CheckClamps(model->name, model->gndClamp, model->powerClamp);
}

int ACDC_HasCurrent(const CRV *table) {
    if (table == nullptr)
        return 0;
    for (const RNGP *r = table->points; r != nullptr; r = r->next)
        if ((Given(r->typ_state) && r->typ != 0.0) || (Given(r->min_state) && r->min != 0.0) ||
            (Given(r->max_state) && r->max != 0.0))
            return 1;
    return 0;
}

int ACDC_CheckOpenDrainCurrents(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    const int type = model->Model_type;
    int code = 0;
    if (MDL_PullsDownOnly(type))
        code = ACDC_HasCurrent(model->pullup) ? 1507 : ACDC_HasCurrent(model->ISSO_PU) ? 1510 : 0;
    else if (MDL_PullsUpOnly(type))
        code = ACDC_HasCurrent(model->pulldown) ? 1508 : ACDC_HasCurrent(model->ISSO_PD) ? 1511 : 0;
    if (code == 0)
        return 1;
    MSG_Error(code, model->name);
    return 0;
}

int ACDC_CheckModel(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    int ok = 1;
    if (!HasNoDriver(model->Model_type)) {
        for (int corner : kCorners)
            ok &= ACDC_CheckCombinedCurves(model, corner);
        for (int corner : kCorners)
            ACDC_CheckIsso(model, corner);
    }
    ok &= ACDC_CheckClampCurrents(model);
    ok &= ACDC_CheckOpenDrainCurrents(model);
    return ok;
}

int ACDC_CheckModels(MDL *models) {
    if (!s_enabled)
        return 0;
    int failed = 0;
    for (const MDL *m = models; m != nullptr; m = m->next)
        if (!ACDC_CheckModel(m))
            ++failed;
    return failed;
}

int ACDC_CheckAddSubmodels(MDL *models, SUBMDL *submodels) {
    if (!s_enabled)
        return 0;
    Submodels named{};
    SubmodelsOpen(&named, submodels);
    for (int corner : kCorners)
        ACDC_CheckAddSubmodelClamps(models, &named, corner);
    NAMEIDX_Clear(&named.index);
    return 0;
}

namespace {

const char *const kTableColumnWords[4] = {"Voltage", "Typical", "Minimum", "Maximum"};

// Row by row, every column at once; tables[i] is captioned captions[i].
int CheckTablesMonotonic(const CRV *const tables[4], const char *const captions[4],
                         const char *name) {
    int ok = 1;
    for (int t = 0; t < 4; ++t) {
        if (tables[t] == nullptr)
            continue;
        CRV_TRACKER trackers[4] = {};
        for (const RNGP *r = tables[t]->points; r != nullptr; r = r->next)
            ok &= ACDC_CheckRowMonotonic(trackers, r, captions[t], name, kSeverityNote);
    }
    return ok;
}

// x and value as a CSV line in the shortest digits that read back to the
// same doubles, whatever the locale; returns the end of the line. A double
// takes at most 24 characters, so 64 are always enough.
char *CsvLine(char *at, char *end, double x, double value) {
    at = std::to_chars(at, end, x).ptr;
    *at++ = ',';
    at = std::to_chars(at, end, value).ptr;
    *at++ = '\n';
    return at;
}

}  // namespace

int ACDC_CheckSubmodel(const SUBMDL *submodel) {
    MSG_ASSERT(submodel != nullptr);
    return CheckClamps(submodel->name, submodel->gndClamp, submodel->powerClamp);
}

int ACDC_CheckModelTables(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    const CRV *const tables[4] = {model->powerClamp, model->gndClamp, model->pulldown,
                                  model->pullup};
    static const char *const captions[4] = {"POWER Clamp for Model:", "GND Clamp for Model:",
                                            "Pulldown for Model:", "Pullup for Model:"};
    return CheckTablesMonotonic(tables, captions, model->name);
}

int ACDC_CheckSubmodelTables(const SUBMDL *submodel) {
    MSG_ASSERT(submodel != nullptr);
    const CRV *const tables[4] = {submodel->powerClamp, submodel->gndClamp, submodel->pulldown,
                                  submodel->pullup};
    static const char *const captions[4] = {"POWER Clamp for SubModel:", "GND Clamp for SubModel:",
                                            "Pulldown for SubModel:", "Pullup for SubModel:"};
    return CheckTablesMonotonic(tables, captions, submodel->name);
}

int ACDC_CheckRowMonotonic(CRV_TRACKER *trackers, const RNGP *row, const char *caption,
                           const char *name, int severity) {
    MSG_ASSERT(caption != nullptr && name != nullptr);
    const int turned = CRV_TrackRow(trackers, row);
    for (int i = 0; i < 4; ++i)
        if (turned & (1 << i))
            ReportReversal(caption, name, kTableColumnWords[i], severity);
    return turned == 0;
}

int ACDC_GetRngValue(const RNG *range, int corner, double *out) {
    return ACDC_GetCornerValue(range, nullptr, corner, out);
}

int ACDC_LineThroughPoints(double x1, double y1, double x2, double y2, double *slope,
                           double *intercept) {
    MSG_ASSERT(slope != nullptr && intercept != nullptr);
    if (std::fabs(x2 - x1) < kTiny)
        return 0;
    *slope = (y2 - y1) / (x2 - x1);
    *intercept = y1 - *slope * x1;
    return 1;
}

int ACDC_WriteCurveCsv(const CRV *curve, const char *first, const char *second, int corner) {
    MSG_ASSERT(first != nullptr && second != nullptr);
    const char *suffix = corner == CRVOP_TYP   ? "_typ.csv"
                         : corner == CRVOP_MIN ? "_min.csv"
                         : corner == CRVOP_MAX ? "_max.csv"
                                               : nullptr;
    if (suffix == nullptr)
        return 0;
    const size_t firstLength = strlen(first), secondLength = strlen(second);
    char *name = nullptr;
    if (!CMN_Alloc(&name, firstLength + secondLength + strlen(suffix) + 1))
        return 0;
    memcpy(name, first, firstLength);
    memcpy(name + firstLength, second, secondLength);
    strcpy(name + firstLength + secondLength, suffix);
    FILE *file = fopen(name, "w");
    CMN_Free(name);
    if (file == nullptr)
        return 0;
    int ok = fprintf(file, "Voltage,%s\n", ColumnWord(corner)) > 0;
    double x = 0.0, value = 0.0;
    for (const RNGP *r = curve != nullptr ? CRVOP_FirstPoint(curve->points, corner, &x, &value)
                                          : nullptr;
         ok && r != nullptr; r = CRVOP_NextPoint(r, corner, &x, &value)) {
        char line[64];
        const char *end = CsvLine(line, line + sizeof line, x, value);
        ok = fwrite(line, 1, static_cast<size_t>(end - line), file) ==
             static_cast<size_t>(end - line);
    }
    if (fclose(file) != 0)
        ok = 0;
    return ok;
}
