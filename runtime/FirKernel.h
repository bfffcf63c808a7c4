// The arithmetic of a direct-form FIR filter (no rate change), one output
// per input, in one kernel per instruction set chosen at run time: the
// libraries run on any x86-64 host a simulator runs on, and use the wider
// units where the host has them.
//
// A kernel works in blocks of B outputs. While a block runs, each new input
// is folded into the sums of the block's outputs from its own on, and the
// output of the sample is then complete. When the block is done, the sums of
// the next block's outputs are started from the inputs seen so far, B outputs
// at once, so that every input loaded serves B multiply-adds. The taps are
// kept padded with B zeros on either side, in one copy per vector lane, each
// shifted by one more tap, so that every vector of taps is read aligned.
#ifndef VARNHOLT_RUNTIME_FIRKERNEL_H
#define VARNHOLT_RUNTIME_FIRKERNEL_H

#include <cstdint>

namespace Varnholt {

struct FirBlockState {
  const double *copies = nullptr; // the shifted copies of the padded taps
  uint64_t stride = 0;            // doubles from one copy to the next
  double *partial = nullptr;      // the sums of the current block's outputs
  uint64_t count = 0;             // T, at least B
  uint32_t phase = 0;             // position of the next output in the block
};

struct FirKernel {
  uint32_t block = 0; // B
  uint32_t lanes = 0; // doubles per vector, the number of copies
  // Takes the input newest[0] and gives its output; newest[-u] is the input
  // u samples back, for u < T (zero before the first input).
  double (*step)(FirBlockState &state, const double *newest) = nullptr;

  // Doubles of storage the kernel's tables take for count taps.
  uint64_t Storage(uint64_t count) const;
  // Lays the tables out in storage (Storage(count) doubles, any alignment)
  // and starts at rest: the first output is taps[0] times the first input.
  FirBlockState Prepare(double *storage, const double *taps, uint64_t count) const;
};

enum class SimdLevel : int32_t {
  Portable = 0, // plain C++: what every x86-64 processor runs
  Avx2Fma = 1,  // 256-bit vectors with fused multiply-add
};

// The widest level this processor and its operating system support.
SimdLevel SupportedSimdLevel();

// The kernel of a level; a null step when the processor lacks the level.
FirKernel FirKernelAt(SimdLevel level);

// The kernel a filter uses: the widest supported level, at most the limit.
FirKernel SelectFirKernel();

// Lowers (or restores) the widest level SelectFirKernel may pick, so that
// the tests can run every path on one machine. The libraries never call it.
void LimitSimdLevel(SimdLevel level);

} // namespace Varnholt

#endif
