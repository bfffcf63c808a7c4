// Where load lines meet one column of an I-V curve, answered for many loads
// by a search tree over the curve's segments: each answer is the one the walk
// over every segment in ACDC_IntersectLoadLine gives (the same candidates,
// the first of equal distances, the last segment extrapolated), to the last
// bit, in time logarithmic in the segments for curves whose current rises
// with the voltage.
#pragma once

struct CRV;
struct LOADLINE;

// The tree of one column of a curve; null when the curve's values are too
// large to bound the rounding of the search, or when memory runs out: the
// walk answers then.
LOADLINE *LOADLINE_Build(const CRV *curve, int column);
// The walk's answer: 1 and *voltage, or 0 when the load is not solved; -1 for
// a load voltage or target too large to search for (the walk answers it).
int LOADLINE_Solve(const LOADLINE *tree, double loadVoltage, double loadResistance,
                   double target, double *voltage);
void LOADLINE_Free(LOADLINE *tree);
