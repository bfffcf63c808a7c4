// The direct-form FIR kernels, a portable one and the x86 vector ones, and
// the choice among them by what the processor offers.
#include "runtime/FirKernel.h"

#include <cstddef>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARNHOLT_X86_KERNELS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace Varnholt {

namespace {

// Set only by the tests; constant-initialised, so loading a library runs no
// code for it.
SimdLevel g_limit = SimdLevel::Avx2Fma;

inline const double *Back(const double *newest, uint64_t u) {
  return newest - static_cast<ptrdiff_t>(u);
}

// Address of padded tap k in the copy that holds it at a multiple of W.
template <uint32_t W> inline const double *Taps(const FirBlockState &s, uint64_t k) {
  const uint64_t r = k % W;
  return s.copies + r * s.stride + (k - r);
}

// In every kernel: output j of the next block takes the input u samples back
// (u = 0 the newest) with tap u + 1 + j, for every such tap there is, which
// is padded tap B + 1 + u + j. Lanes j >= T - 1 - u have no tap: there the
// input is left out (not multiplied by a padding zero), so that an infinite
// or NaN input reaches no output it does not reach in the filter's sum.

// ---------------------------------------------------------------------------
// Plain C++: eight lanes, one copy of the taps.

constexpr uint32_t kPortableBlock = 8;

void RefillPortable(FirBlockState &s, const double *newest) {
  constexpr uint32_t B = kPortableBlock;
  const double *h = s.copies + B + 1;
  const uint64_t T = s.count;
  double acc[B] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  uint64_t u = 0;
  for (; u + B < T; ++u) {
    const double x = *Back(newest, u);
    for (uint32_t j = 0; j < B; ++j) acc[j] += h[u + j] * x;
  }
  for (; u + 1 < T; ++u) {
    const double x = *Back(newest, u);
    for (uint64_t j = 0; j < T - 1 - u; ++j) acc[j] += h[u + j] * x;
  }
  for (uint32_t j = 0; j < B; ++j) s.partial[j] = acc[j];
}

double StepPortable(FirBlockState &s, const double *newest) {
  constexpr uint32_t B = kPortableBlock;
  const double x = newest[0];
  const double *h = s.copies + B - s.phase; // h[j]: tap j - phase
  for (uint32_t j = s.phase; j < B; ++j) s.partial[j] += h[j] * x;
  const double y = s.partial[s.phase];
  if (++s.phase == B) {
    s.phase = 0;
    RefillPortable(s, newest);
  }
  return y;
}

#ifdef VARNHOLT_X86_KERNELS

// No vector may ever go to the stack in these kernels: the Windows x64 stack
// is only 16-byte aligned. They keep to few enough registers for that.

// The output of the sample, from the sum before the vector update and tap 0,
// rounded as the vector lane rounds it; read this way it never waits for the
// vector store to reach memory.
__attribute__((target("fma"))) inline double FusedOutput(double x, double tap0, double sum) {
  return _mm_cvtsd_f64(_mm_fmadd_sd(_mm_set_sd(x), _mm_set_sd(tap0), _mm_set_sd(sum)));
}

// ---------------------------------------------------------------------------
// AVX2 and FMA: blocks of sixteen outputs, four vectors of four.

constexpr uint32_t kAvx2Block = 16;

#define VARNHOLT_AVX2 __attribute__((target("avx2,fma")))

// One input x into four accumulators r0..r3 with the tap vectors t0..t3.
#define VARNHOLT_INPUT(x, r, t0, t1, t2, t3)                                                   \
  r##0 = _mm256_fmadd_pd(x, t0, r##0);                                                        \
  r##1 = _mm256_fmadd_pd(x, t1, r##1);                                                        \
  r##2 = _mm256_fmadd_pd(x, t2, r##2);                                                        \
  r##3 = _mm256_fmadd_pd(x, t3, r##3)

VARNHOLT_AVX2 __attribute__((noinline)) void RefillAvx2(FirBlockState &s, const double *newest) {
  constexpr uint32_t B = kAvx2Block;
  const uint64_t T = s.count;
  const uint64_t full = T - B; // the inputs below reach all sixteen outputs
  __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0, b0 = a0, b1 = a0, b2 = a0,
          b3 = a0;
  // The inputs u = r + 4i of one residue r take the tap vectors v[i .. i+3]
  // (v[m] at v + 4m, aligned): from one input to the next the window slides
  // by one vector, so each input loads one. Inputs alternate between two
  // sets of accumulators (the latency of the multiply-add).
  for (uint64_t r = 0; r < 4; ++r) {
    const double *v = Taps<4>(s, B + 1 + r);
    const double *x = Back(newest, r);
    const uint64_t n = full > r ? (full - r + 3) / 4 : 0;
    uint64_t i = 0;
    if (n >= 4) {
      __m256d w0 = _mm256_load_pd(v), w1 = _mm256_load_pd(v + 4), w2 = _mm256_load_pd(v + 8),
              w3 = _mm256_load_pd(v + 12);
      for (; i + 4 <= n; i += 4) {
        const double *vi = v + 4 * i;
        const double *xi = x - static_cast<ptrdiff_t>(4 * i);
        __m256d xv = _mm256_broadcast_sd(xi);
        VARNHOLT_INPUT(xv, a, w0, w1, w2, w3);
        w0 = _mm256_load_pd(vi + 16);
        xv = _mm256_broadcast_sd(xi - 4);
        VARNHOLT_INPUT(xv, b, w1, w2, w3, w0);
        w1 = _mm256_load_pd(vi + 20);
        xv = _mm256_broadcast_sd(xi - 8);
        VARNHOLT_INPUT(xv, a, w2, w3, w0, w1);
        w2 = _mm256_load_pd(vi + 24);
        xv = _mm256_broadcast_sd(xi - 12);
        VARNHOLT_INPUT(xv, b, w3, w0, w1, w2);
        w3 = _mm256_load_pd(vi + 28);
      }
    }
    for (; i < n; ++i) {
      const double *vi = v + 4 * i;
      const __m256d xv = _mm256_broadcast_sd(x - static_cast<ptrdiff_t>(4 * i));
      VARNHOLT_INPUT(xv, a, _mm256_load_pd(vi), _mm256_load_pd(vi + 4), _mm256_load_pd(vi + 8),
                     _mm256_load_pd(vi + 12));
    }
  }
  uint64_t u = full;
  // The rest one input at a time, the last ones only into the lanes their
  // taps reach: the other lanes take 0.0 in place of the input.
  const __m256d lanes = _mm256_set_pd(3.0, 2.0, 1.0, 0.0);
  const __m256d four = _mm256_set1_pd(4.0);
  for (; u + 1 < T; ++u) {
    __m256d reach = _mm256_set1_pd(static_cast<double>(T - 1 - u));
    const __m256d x = _mm256_broadcast_sd(Back(newest, u));
    const double *t = Taps<4>(s, B + 1 + u);
    a0 = _mm256_fmadd_pd(_mm256_and_pd(x, _mm256_cmp_pd(lanes, reach, _CMP_LT_OQ)),
                         _mm256_load_pd(t), a0);
    reach = _mm256_sub_pd(reach, four);
    a1 = _mm256_fmadd_pd(_mm256_and_pd(x, _mm256_cmp_pd(lanes, reach, _CMP_LT_OQ)),
                         _mm256_load_pd(t + 4), a1);
    reach = _mm256_sub_pd(reach, four);
    a2 = _mm256_fmadd_pd(_mm256_and_pd(x, _mm256_cmp_pd(lanes, reach, _CMP_LT_OQ)),
                         _mm256_load_pd(t + 8), a2);
    reach = _mm256_sub_pd(reach, four);
    a3 = _mm256_fmadd_pd(_mm256_and_pd(x, _mm256_cmp_pd(lanes, reach, _CMP_LT_OQ)),
                         _mm256_load_pd(t + 12), a3);
  }
  _mm256_store_pd(s.partial, _mm256_add_pd(a0, b0));
  _mm256_store_pd(s.partial + 4, _mm256_add_pd(a1, b1));
  _mm256_store_pd(s.partial + 8, _mm256_add_pd(a2, b2));
  _mm256_store_pd(s.partial + 12, _mm256_add_pd(a3, b3));
}

#undef VARNHOLT_INPUT

// The lanes before the phase belong to outputs already given: they take a
// padding zero times the input and are started afresh by the next refill.
VARNHOLT_AVX2 double StepAvx2(FirBlockState &s, const double *newest) {
  constexpr uint32_t B = kAvx2Block;
  const uint32_t phase = s.phase;
  const double *h = Taps<4>(s, B - phase);
  double *p = s.partial;
  const double y = FusedOutput(newest[0], h[phase], p[phase]);
  const __m256d x = _mm256_broadcast_sd(newest);
  for (uint32_t q = 0; q < B; q += 4)
    _mm256_store_pd(p + q, _mm256_fmadd_pd(x, _mm256_load_pd(h + q), _mm256_load_pd(p + q)));
  if (++s.phase == B) {
    s.phase = 0;
    RefillAvx2(s, newest);
  }
  return y;
}

#undef VARNHOLT_AVX2

#endif

// Doubles per copy: the padded taps and a vector of slack, in whole cache
// lines, so that every copy starts aligned when the first does.
uint64_t CopyStride(const FirKernel &k, uint64_t count) {
  const uint64_t n = count + 2 * static_cast<uint64_t>(k.block) + k.lanes;
  return (n + 7) / 8 * 8;
}

} // namespace

uint64_t FirKernel::Storage(uint64_t count) const {
  // The copies, the sums, and room to align the first copy to 64 bytes.
  return static_cast<uint64_t>(lanes) * CopyStride(*this, count) + block + 8;
}

FirBlockState FirKernel::Prepare(double *storage, const double *taps, uint64_t count) const {
  FirBlockState s;
  double *base = storage;
  while (reinterpret_cast<uintptr_t>(base) % 64 != 0) ++base;
  s.stride = CopyStride(*this, count);
  // Copy r holds padded tap i + r at i.
  for (uint64_t r = 0; r < lanes; ++r) {
    double *copy = base + r * s.stride;
    for (uint64_t i = 0; i < s.stride; ++i) {
      const uint64_t k = i + r;
      copy[i] = k >= block && k - block < count ? taps[k - block] : 0.0;
    }
  }
  s.copies = base;
  s.partial = base + lanes * s.stride;
  for (uint32_t j = 0; j < block; ++j) s.partial[j] = 0.0;
  s.count = count;
  s.phase = 0;
  return s;
}

SimdLevel SupportedSimdLevel() {
#ifdef VARNHOLT_X86_KERNELS
  // Asked when a filter starts (nothing runs at load time): the processor
  // must have AVX, FMA and AVX2, and the operating system must save the
  // 256-bit registers on a thread switch.
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return SimdLevel::Portable;
  const bool osxsave = (c >> 27) & 1u, avx = (c >> 28) & 1u, fma = (c >> 12) & 1u;
  if (!osxsave || !avx || !fma) return SimdLevel::Portable;
  unsigned lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0u));
  if ((lo & 6u) != 6u) return SimdLevel::Portable;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !((b >> 5) & 1u)) return SimdLevel::Portable;
  return SimdLevel::Avx2Fma;
#else
  return SimdLevel::Portable;
#endif
}

FirKernel FirKernelAt(SimdLevel level) {
  FirKernel k;
  if (static_cast<int32_t>(level) > static_cast<int32_t>(SupportedSimdLevel())) return k;
  switch (level) {
#ifdef VARNHOLT_X86_KERNELS
  case SimdLevel::Avx2Fma:
    k.block = kAvx2Block;
    k.lanes = 4;
    k.step = StepAvx2;
    break;
#endif
  case SimdLevel::Portable:
    k.block = kPortableBlock;
    k.lanes = 1;
    k.step = StepPortable;
    break;
  default:
    break;
  }
  return k;
}

FirKernel SelectFirKernel() {
  SimdLevel level = SupportedSimdLevel();
  if (static_cast<int32_t>(g_limit) < static_cast<int32_t>(level)) level = g_limit;
  FirKernel k = FirKernelAt(level);
  return k.step ? k : FirKernelAt(SimdLevel::Portable);
}

void LimitSimdLevel(SimdLevel level) { g_limit = level; }

} // namespace Varnholt
