// Opens a model library (dlopen or LoadLibrary), finds its three AMI
// functions, and runs a waveform through them in blocks.
#include "host/AmiLoader.h"

#include <algorithm>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace Varnholt {

AmiLibrary::~AmiLibrary() { CloseLibrary(); }

void AmiLibrary::CloseLibrary() {
  if (!lib_) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(lib_));
#else
  dlclose(lib_);
#endif
  lib_ = nullptr;
  Init = nullptr;
  GetWave = nullptr;
  Close = nullptr;
}

namespace {
template <class F> F Symbol(void *lib, const char *name) {
#if defined(_WIN32)
  return reinterpret_cast<F>(
      reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(lib), name)));
#else
  return reinterpret_cast<F>(dlsym(lib, name));
#endif
}
} // namespace

bool AmiLibrary::Open(const std::string &path, std::string &error) {
  CloseLibrary();
#if defined(_WIN32)
  // LoadLibrary wants backslashes; a path from a POSIX-minded caller has '/'.
  std::string native = path;
  std::replace(native.begin(), native.end(), '/', '\\');
  // A missing or broken file must come back as an error, not a dialog box.
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  lib_ = LoadLibraryA(native.c_str());
  DWORD code = lib_ ? 0 : GetLastError();
  SetErrorMode(oldMode);
  if (!lib_) {
    error = "cannot load " + path + " (error " + std::to_string(code) + ")";
    return false;
  }
#else
  lib_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib_) {
    const char *e = dlerror();
    error = e ? e : ("cannot load " + path);
    return false;
  }
#endif
  Init = Symbol<AmiInitFn>(lib_, "AMI_Init");
  GetWave = Symbol<AmiGetWaveFn>(lib_, "AMI_GetWave");
  Close = Symbol<AmiCloseFn>(lib_, "AMI_Close");
  if (!Init || !GetWave || !Close) {
    error = path + " does not export AMI_Init, AMI_GetWave and AMI_Close";
    CloseLibrary();
    return false;
  }
  return true;
}

AmiRunResult AmiRun(AmiLibrary &lib, const std::string &parameters, double sampleInterval,
                    double bitTime, std::vector<double> wave, int64_t blockSize) {
  AmiRunResult r;
  std::vector<char> params(parameters.begin(), parameters.end());
  params.push_back('\0');
  void *handle = nullptr;
  char *msg = nullptr;
  char *paramsOut = nullptr;
  r.initResult = lib.Init(nullptr, 0, 0, sampleInterval, bitTime, params.data(), &paramsOut,
                          &handle, &msg);
  if (msg) {
    r.message = msg;
    r.messageGiven = true;
  }
  int64_t total = static_cast<int64_t>(wave.size());
  if (blockSize < 1) blockSize = total > 0 ? total : 1;
  std::vector<double> clock(static_cast<size_t>(blockSize) + 4);
  for (int64_t at = 0; at < total; at += blockSize) {
    int64_t n = std::min<int64_t>(blockSize, total - at);
    std::fill(clock.begin(), clock.end(), -2.0);
    r.getWaveResults.push_back(
        lib.GetWave(wave.data() + at, static_cast<int32_t>(n), clock.data(), &paramsOut, handle));
    size_t k = 0;
    while (k < clock.size() && clock[k] != -1.0) {
      r.clockTimes.push_back(clock[k]);
      ++k;
    }
    r.clockCounts.push_back(k);
  }
  r.closeResult = lib.Close(handle);
  r.wave = std::move(wave);
  return r;
}

std::vector<double> AmiPrbsWave(int64_t bits, int32_t samplesPerBit, double amplitude,
                                uint32_t seed) {
  std::vector<double> wave;
  if (bits < 1 || samplesPerBit < 1) return wave;
  wave.reserve(static_cast<size_t>(bits * samplesPerBit));
  uint32_t lfsr = (seed & 0x7f) ? (seed & 0x7f) : 0x7f;
  for (int64_t b = 0; b < bits; ++b) {
    uint32_t bit = ((lfsr >> 6) ^ (lfsr >> 5)) & 1u; // x^7 + x^6 + 1
    lfsr = ((lfsr << 1) | bit) & 0x7f;
    double v = bit ? amplitude : -amplitude;
    for (int32_t s = 0; s < samplesPerBit; ++s) wave.push_back(v);
  }
  return wave;
}

} // namespace Varnholt
