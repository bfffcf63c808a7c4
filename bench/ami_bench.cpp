// AMI_GetWave throughput of each model library, loaded by path as a
// simulator loads it: 32 samples per bit, blocks of 4096 samples. Beside
// them, as a yardstick measured in the same run, a plain scalar loop over one
// 224-tap response: what one selected equalizer costs at 32 samples per bit
// and 10 Gb/s. Each model reports its rate as a multiple of that loop's
// ("x_scalar_fir", when the yardstick ran first in the same run).
#include "host/AmiLoader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kBitTime = 1e-10;
constexpr double kSampleInterval = kBitTime / 32;
constexpr int32_t kBlock = 4096;

// Samples per second of the scalar loop, once it has run.
double g_scalarFirRate = 0.0;

// Runs process(wave) on a fresh copy of the stimulus per iteration, timing
// only the processing; sets the rate counter and returns the same rate.
template <class Process> double TimeBlocks(benchmark::State &state, Process process) {
  const std::vector<double> stimulus = Varnholt::AmiPrbsWave(kBlock / 32, 32, 0.5, 1);
  std::vector<double> wave(stimulus);
  double busy = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    wave = stimulus;
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    process(wave.data());
    benchmark::ClobberMemory();
    busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const double samples = static_cast<double>(state.iterations() * kBlock);
  state.SetItemsProcessed(state.iterations() * kBlock);
  state.counters["samples/s"] = benchmark::Counter(samples, benchmark::Counter::kIsRate);
  return busy > 0.0 ? samples / busy : 0.0;
}

// y[n] = sum over t of taps[t] * x[n - t], one multiply-add after the other,
// over a ring kept twice so that no index wraps inside the loop.
void ScalarFir224(benchmark::State &state) {
  constexpr int kTaps = 224;
  std::vector<double> taps(kTaps);
  for (int t = 0; t < kTaps; ++t) taps[t] = std::exp(-t / 40.0) * std::cos(t / 7.0) / 20.0;
  std::vector<double> ring(2 * kTaps, 0.0);
  size_t pos = 0;
  g_scalarFirRate = TimeBlocks(state, [&](double *wave) {
    for (int32_t j = 0; j < kBlock; ++j) {
      ring[pos] = ring[pos + kTaps] = wave[j];
      const double *newest = &ring[pos + kTaps];
      double acc = 0.0;
      for (int t = 0; t < kTaps; ++t) acc += taps[t] * newest[-t];
      wave[j] = acc;
      pos = pos + 1 == kTaps ? 0 : pos + 1;
    }
  });
}

void GetWaveThroughput(benchmark::State &state, const char *library, const char *params) {
  Varnholt::AmiLibrary lib;
  std::string error;
  if (!lib.Open(std::string(VARNHOLT_LIB_DIR) + "/" + library, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::vector<char> p(params, params + std::string(params).size() + 1);
  void *handle = nullptr;
  char *msg = nullptr;
  char *out = nullptr;
  if (lib.Init(nullptr, 0, 0, kSampleInterval, kBitTime, p.data(), &out, &handle, &msg) != 1) {
    state.SkipWithError("AMI_Init failed");
    lib.Close(handle);
    return;
  }
  std::vector<double> clock(kBlock + 4);
  const double rate = TimeBlocks(state, [&](double *wave) {
    benchmark::DoNotOptimize(lib.GetWave(wave, kBlock, clock.data(), &out, handle));
  });
  if (rate > 0.0 && g_scalarFirRate > 0.0) state.counters["x_scalar_fir"] = rate / g_scalarFirRate;
  lib.Close(handle);
}

} // namespace

BENCHMARK(ScalarFir224);
BENCHMARK_CAPTURE(GetWaveThroughput, Sarnet, "Sarnet_x64.so", "(Sarnet (Gain 2))");
BENCHMARK_CAPTURE(GetWaveThroughput, Welbrook_tx, "Welbrook_tx_x64.so",
                  "(Welbrook_tx (SLEW_CTL 1) (TX_TERM_CTL 1))");
BENCHMARK_CAPTURE(GetWaveThroughput, Korvath, "Korvath_x64.so",
                  "(Korvath (SlewTime 100) (Pre 5) (Pst1 -10) (Pst2 3) (Swing 500))");
// HorL 1 selects a response that has died away before its end (its last
// taps are exact zeros, which the filter skips); HorL 0 one that has not.
BENCHMARK_CAPTURE(GetWaveThroughput, Welbrook_rx, "Welbrook_rx_x64.so",
                  "(Welbrook_rx (VotingThreshold 0) (SettlingTime 4) (EQ 3) (HorL 1))");
BENCHMARK_CAPTURE(GetWaveThroughput, Welbrook_rx_HorL0, "Welbrook_rx_x64.so",
                  "(Welbrook_rx (VotingThreshold 0) (SettlingTime 4) (EQ 3) (HorL 0))");

BENCHMARK_MAIN();
