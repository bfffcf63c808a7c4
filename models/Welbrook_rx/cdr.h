// Clock and data recovery of the receiver: a sample-counting bang-bang phase
// detector that votes over groups of eight bits and pauses after each phase
// step. Per sample it gives a clock level (1.0 in the first half of a unit
// interval, 0.0 in the second) and passes the sample on as its data output.
#ifndef VARNHOLT_MODELS_WELBROOK_RX_CDR_H
#define VARNHOLT_MODELS_WELBROOK_RX_CDR_H

#include "runtime/DFModel.h"

#include <cstdint>

namespace Varnholt {

class cdr : public DFModel {
public:
  double input = 0.0;  // x, written by the owner before Run
  double clock = 1.0;  // c, 1.0 or 0.0
  double data = 0.0;   // equals input after Run

  // D[1..8] the decisions of the current group, D[0] the last bit of the
  // previous group; E[j] the edge decision at the boundary before D[j].
  int32_t D[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  int32_t E[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
  // Votes and groups keep counting while no further phase step comes (with
  // the defaults, for the rest of the run): 64 bits so they never overflow.
  int64_t vote = 0;
  int32_t N = 32;       // samples per unit interval, set by the owner
  int32_t k = 1;        // index of the next decision in the group, 1..8
  int32_t p = 0;        // sample phase in the unit interval, 0 at the boundary
  int32_t settling = 0; // 1 while the pause after a phase step runs
  int64_t groups = 0;   // groups closed since the last phase step
  int32_t VotingThreshold = 0;
  int32_t SettlingTime = 4;
  int64_t settleCount = 0; // groups closed during the current pause

  ~cdr() override = default;

  bool Initialize() override;
  bool Run() override;

private:
  // Until the first decision there is no previous bit: D[0] takes the first
  // decision, so the first comparison of the first group is no transition.
  bool firstDecisionPending_ = true;
};

} // namespace Varnholt

#endif
