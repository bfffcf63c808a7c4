// The receiver's clock and data recovery: the sample-counting bang-bang
// phase detector, its vote over eight bits and the clock level it gives.
#include "models/Welbrook_rx/cdr.h"

namespace Varnholt {

namespace {
// 0.0 and NaN count as -1.
inline int32_t Sign(double x) { return x > 0.0 ? 1 : -1; }
inline double Toggle(double c) { return c > 0.0 ? 0.0 : 1.0; }
} // namespace

bool cdr::Initialize() {
  k = 1;
  p = 0;
  clock = 1.0;
  vote = 0;
  settling = 0;
  groups = 0;
  settleCount = 0;
  for (int i = 0; i < 9; ++i) {
    D[i] = -1;
    E[i] = -1;
  }
  firstDecisionPending_ = true;
  return true;
}

bool cdr::Run() {
  const double x = input;

  // Boundary of the unit interval.
  if (p >= N) {
    clock = Toggle(clock);
    p = 0;
  }
  // Edge decision on the boundary sample.
  if (p == 0) E[k] = Sign(x);
  // Data decision in the middle of the unit interval.
  if (p == N / 2) {
    D[k] = Sign(x);
    if (firstDecisionPending_) {
      D[0] = D[k];
      firstDecisionPending_ = false;
    }
    ++k;
    clock = Toggle(clock);
  }
  // Group close after the eighth decision.
  if (k == 9) {
    k = 1;
    for (int i = 0; i < 8; ++i) {
      if (D[i] != D[i + 1]) {
        // The edge sample already shows the new bit: sampling is late.
        if (E[i + 1] == D[i + 1])
          ++vote;
        else
          --vote;
      }
    }
    D[0] = D[8];
    ++groups;
    if (settling == 1) ++settleCount;
    // Compared in int64 so that no SettlingTime overflows the sum.
    const int64_t settleEnd = static_cast<int64_t>(SettlingTime) + 1;
    if (settleCount == settleEnd) settling = 0;
    if (settleCount > settleEnd) settleCount = 0;
  }
  // Phase step late in the unit interval, after enough groups and no pause.
  if (groups == static_cast<int64_t>(VotingThreshold) + 1 && k == 1 && settling == 0 &&
      p == static_cast<int64_t>(N) - 3) {
    if (vote > 0 && p != 0)
      ++p; // this unit interval one sample shorter: sample earlier
    else if (vote < 0)
      --p; // one sample longer: sample later
    settleCount = 0;
    settling = 1;
    groups = 0;
    vote = 0;
  }
  ++p;
  data = x;
  return true;
}

} // namespace Varnholt
