// A search tree over the segments of one column of a curve, giving for each
// load what the walk over every segment gives.
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
#include "IbisParser/loadline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/crvop.h"
#include "IbisParser/msg.h"
#include "IbisParser/rngp.h"

namespace {

// The walk's arithmetic, which the leaves repeat operation for operation. A
// load of resistance R to voltage V_L is the line I = G (V_L - V), G = 1/R;
// each segment's line meets it at one V, and a segment parallel to it leaves
// the load unsolved. Candidates are the first segment's V when at or below
// its start, and every V within its segment (with a slack); the one nearest
// the target wins, the first of equal distances; without one the last
// segment's V is the answer.
const double kTiny = 1e-32;
const double kHuge = 1e32;
const double kSlack = 1e-6;

double Conductance(double r) { return r < kTiny ? kHuge : 1.0 / r; }
double Slope(double x0, double i0, double x1, double i1) {
    return x1 - x0 < kTiny ? kHuge : (i1 - i0) / (x1 - x0);
}
bool Parallel(double g, double slope) { return std::fabs(-g - slope) < kTiny; }
double Meet(double x0, double i0, double slope, double g, double vL) {
    return (i0 - slope * x0 - g * vL) / (-g - slope);
}
bool Within(double v, double x0, double x1) { return v > x0 - kSlack && v < x1 + kSlack; }

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

struct LOADLINE {
    size_t points;
    int unsolvable;   // fewer than two points, or x starts descending
    double *x, *i;    // the points
    double *slopes;   // of the segments, ascending
    Node *nodes;      // 1 is the root, leaves from `leaves` on
    size_t leaves;
};

namespace {

size_t Segments(const LOADLINE *t) { return t->points - 1; }

// The first segment under a node.
size_t FirstSegment(const LOADLINE *t, size_t node) {
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
Node SegmentBox(const LOADLINE *t, size_t j) {
    const double x0 = t->x[j], i0 = t->i[j], x1 = t->x[j + 1];
    const double slope = Slope(x0, i0, x1, t->i[j + 1]);
    const double lo = x0 - kSlack, hi = x1 + kSlack;
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

LOADLINE *LOADLINE_Build(const CRV *curve, int column) {
    size_t points = 0;
    if (curve != nullptr)
        for (const RNGP *r = CRVOP_FirstPoint(curve->points, column, nullptr, nullptr);
             r != nullptr; r = CRVOP_NextPoint(r, column, nullptr, nullptr))
            ++points;
    const size_t segments = points > 1 ? points - 1 : 0;
    size_t leaves = 1;
    while (leaves * kBucket < segments)
        leaves *= 2;
    const size_t head = (sizeof(LOADLINE) + sizeof(double) - 1) / sizeof(double);
    double *block = nullptr;
    if (!CMN_Alloc(&block, (head + 2 * points + segments) * sizeof(double) +
                               2 * leaves * sizeof(Node)))
        return nullptr;
    LOADLINE *t = reinterpret_cast<LOADLINE *>(block);
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

int LOADLINE_Solve(const LOADLINE *t, double loadVoltage, double loadResistance,
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
        Meet(t->x[0], t->i[0], Slope(t->x[0], t->i[0], t->x[1], t->i[1]), g,
                      loadVoltage);
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
                const double v = Meet(x0, i0, Slope(x0, i0, x1, t->i[j + 1]),
                                               g, loadVoltage);
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
        *voltage = Meet(t->x[j], t->i[j],
                                 Slope(t->x[j], t->i[j], t->x[j + 1], t->i[j + 1]), g,
                                 loadVoltage);
    }
    return 1;
}

void LOADLINE_Free(LOADLINE *tree) { CMN_Free(tree); }
