// Loads a model library by path and calls its three AMI functions, as a
// channel simulator does.
#ifndef VARNHOLT_HOST_AMILOADER_H
#define VARNHOLT_HOST_AMILOADER_H

#include <cstdint>
#include <string>
#include <vector>

namespace Varnholt {

using AmiInitFn = int32_t (*)(double *, int32_t, int32_t, double, double, char *, char **,
                              void **, char **);
using AmiGetWaveFn = int32_t (*)(double *, int32_t, double *, char **, void *);
using AmiCloseFn = int32_t (*)(void *);

class AmiLibrary {
public:
  AmiLibrary() = default;
  ~AmiLibrary();
  AmiLibrary(const AmiLibrary &) = delete;
  AmiLibrary &operator=(const AmiLibrary &) = delete;

  // False with a reason when the file does not load or lacks a function.
  bool Open(const std::string &path, std::string &error);
  void CloseLibrary();

  AmiInitFn Init = nullptr;
  AmiGetWaveFn GetWave = nullptr;
  AmiCloseFn Close = nullptr;

private:
  void *lib_ = nullptr;
};

// One run of a model over a waveform, fed in blocks of blockSize samples.
struct AmiRunResult {
  int32_t initResult = -1;
  std::string message;        // the AMI_Init message ("" when none was given)
  bool messageGiven = false;
  std::vector<int32_t> getWaveResults;
  int32_t closeResult = -1;
  std::vector<double> wave;   // processed in place
  std::vector<double> clockTimes; // all calls, each call's -1.0 removed
  std::vector<size_t> clockCounts; // values written before -1.0, per call
};

// Runs Init, GetWave over the wave in blocks, then Close. blockSize < 1 means
// the whole wave in one call.
AmiRunResult AmiRun(AmiLibrary &lib, const std::string &parameters, double sampleInterval,
                    double bitTime, std::vector<double> wave, int64_t blockSize);

// Pseudo-random NRZ stimulus: a PRBS-7 bit stream, +-amplitude, samplesPerBit
// samples per bit.
std::vector<double> AmiPrbsWave(int64_t bits, int32_t samplesPerBit, double amplitude,
                                uint32_t seed);

} // namespace Varnholt

#endif
