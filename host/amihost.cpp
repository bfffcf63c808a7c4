// Reference host: loads a model library, runs it over a waveform in blocks
// and writes the output wave, the clock times and a short summary.
#include "host/AmiLoader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: amihost LIBRARY [options]\n"
               "  --params TEXT        AMI parameter string (default: empty)\n"
               "  --sample-interval S  seconds per sample (default 3.125e-12)\n"
               "  --bit-time T         seconds per bit (default 1e-10)\n"
               "  --block N            samples per AMI_GetWave call (default 4096)\n"
               "  --wave FILE          input waveform, one sample a line\n"
               "  --prbs BITS          PRBS-7 NRZ stimulus of BITS bits (default 1024)\n"
               "  --amplitude A        NRZ levels +-A (default 0.5)\n"
               "  --seed N             PRBS seed (default 1)\n"
               "  --out-wave FILE      write the output wave, one sample a line\n"
               "  --out-clock FILE     write the clock times, one a line\n");
}

bool ReadWave(const char *path, std::vector<double> &wave) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    const char *p = line.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0' || *p == '#') continue;
    char *end = nullptr;
    double v = std::strtod(p, &end);
    if (end == p) return false;
    wave.push_back(v);
  }
  return true;
}

bool WriteValues(const char *path, const std::vector<double> &values) {
  FILE *f = std::fopen(path, "w");
  if (!f) return false;
  for (double v : values) std::fprintf(f, "%.17g\n", v);
  return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 2 || argv[1][0] == '-') {
    Usage();
    return 2;
  }
  std::string library = argv[1];
  std::string params;
  double sampleInterval = 3.125e-12, bitTime = 1e-10, amplitude = 0.5;
  long long block = 4096, bits = 1024;
  unsigned long seed = 1;
  const char *waveFile = nullptr, *outWave = nullptr, *outClock = nullptr;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) {
      Usage();
      return 2;
    }
    const char *v = argv[++i];
    if (a == "--params") params = v;
    else if (a == "--sample-interval") sampleInterval = std::atof(v);
    else if (a == "--bit-time") bitTime = std::atof(v);
    else if (a == "--block") block = std::atoll(v);
    else if (a == "--wave") waveFile = v;
    else if (a == "--prbs") bits = std::atoll(v);
    else if (a == "--amplitude") amplitude = std::atof(v);
    else if (a == "--seed") seed = std::strtoul(v, nullptr, 10);
    else if (a == "--out-wave") outWave = v;
    else if (a == "--out-clock") outClock = v;
    else {
      Usage();
      return 2;
    }
  }

  std::vector<double> wave;
  if (waveFile) {
    if (!ReadWave(waveFile, wave)) {
      std::fprintf(stderr, "amihost: cannot read waveform %s\n", waveFile);
      return 2;
    }
  } else {
    double spb = std::floor(bitTime / sampleInterval + 0.5);
    if (!(spb >= 1 && spb < 1e6)) {
      std::fprintf(stderr, "amihost: bit time and sample interval give no stimulus\n");
      return 2;
    }
    wave = Varnholt::AmiPrbsWave(bits, static_cast<int32_t>(spb), amplitude,
                                 static_cast<uint32_t>(seed));
  }

  Varnholt::AmiLibrary lib;
  std::string error;
  if (!lib.Open(library, error)) {
    std::fprintf(stderr, "amihost: %s\n", error.c_str());
    return 2;
  }
  size_t samples = wave.size();
  Varnholt::AmiRunResult r =
      Varnholt::AmiRun(lib, params, sampleInterval, bitTime, std::move(wave), block);

  int failed = 0;
  for (int32_t g : r.getWaveResults) failed += g != 1;
  std::printf("library:     %s\n", library.c_str());
  std::printf("AMI_Init:    %d\n", r.initResult);
  std::printf("message:     %s\n", r.messageGiven ? r.message.c_str() : "(none)");
  std::printf("AMI_GetWave: %zu calls, %d failed, %zu samples\n", r.getWaveResults.size(),
              failed, samples);
  std::printf("clock times: %zu\n", r.clockTimes.size());
  std::printf("AMI_Close:   %d\n", r.closeResult);

  if (outWave && !WriteValues(outWave, r.wave)) {
    std::fprintf(stderr, "amihost: cannot write %s\n", outWave);
    return 2;
  }
  if (outClock && !WriteValues(outClock, r.clockTimes)) {
    std::fprintf(stderr, "amihost: cannot write %s\n", outClock);
    return 2;
  }
  return (r.initResult == 1 && failed == 0 && r.closeResult == 1) ? 0 : 1;
}
