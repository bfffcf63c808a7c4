// AMI_GetWave throughput of each model library, loaded by path as a
// simulator loads it: 32 samples per bit, blocks of 4096 samples.
#include "host/AmiLoader.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr double kBitTime = 1e-10;
constexpr double kSampleInterval = kBitTime / 32;
constexpr int32_t kBlock = 4096;

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
  const std::vector<double> stimulus = Varnholt::AmiPrbsWave(kBlock / 32, 32, 0.5, 1);
  std::vector<double> wave(stimulus);
  std::vector<double> clock(kBlock + 4);
  for (auto _ : state) {
    state.PauseTiming();
    wave = stimulus;
    state.ResumeTiming();
    benchmark::DoNotOptimize(lib.GetWave(wave.data(), kBlock, clock.data(), &out, handle));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kBlock),
                         benchmark::Counter::kIsRate);
  lib.Close(handle);
}

} // namespace

BENCHMARK_CAPTURE(GetWaveThroughput, Sarnet, "Sarnet_x64.so", "(Sarnet (Gain 2))");
BENCHMARK_CAPTURE(GetWaveThroughput, Welbrook_tx, "Welbrook_tx_x64.so",
                  "(Welbrook_tx (SLEW_CTL 1) (TX_TERM_CTL 1))");
BENCHMARK_CAPTURE(GetWaveThroughput, Korvath, "Korvath_x64.so",
                  "(Korvath (SlewTime 100) (Pre 5) (Pst1 -10) (Pst2 3) (Swing 500))");
// Sixteen equalizer FIRs run on every sample, selected or not.
BENCHMARK_CAPTURE(GetWaveThroughput, Welbrook_rx, "Welbrook_rx_x64.so",
                  "(Welbrook_rx (VotingThreshold 0) (SettlingTime 4) (EQ 3) (HorL 1))");

BENCHMARK_MAIN();
