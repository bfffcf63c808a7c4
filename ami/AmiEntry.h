// The AMI_Init / AMI_GetWave / AMI_Close template shared by every model, and
// the record behind the memory handle.
//
// A model library supplies a traits class:
//   struct Traits {
//     using Model = ...;                        // the top model, a DFModel
//     static constexpr const char *kName;       // model word, e.g. "Sarnet"
//     static constexpr int kPorts;              // port buffers AMI_Init attaches
//     static constexpr bool kHasClock;          // port 2 carries clock times
//     static CircularBuffer<double> &Port(Model &, int i);
//     // Reads the parameters in the model's order; stores bit time and
//     // samples per bit at the model's own point of that order.
//     static void ReadParameters(AmiParameterReader &, Model &, double bitTime,
//                                int32_t samplesPerBit);
//   };
// and one line in its <Model>_entry.cpp: VARNHOLT_AMI_ENTRY(Traits)
#ifndef VARNHOLT_AMI_AMIENTRY_H
#define VARNHOLT_AMI_AMIENTRY_H

#include "ami/AmiParameterTree.h"
#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

namespace Varnholt {

template <class Model> struct AmiModelHolder {
  Model model;
  // The text AMI_Init hands the host. The host may read it at any time until
  // AMI_Close, so it never moves: AMI_Init reserves room for the one sentence
  // a failing Run may add later.
  std::string message;
  std::vector<double> clockStore;
  int32_t samplesPerBit = 0;
  // False when AMI_Init failed: the model's connections may not exist, so a
  // host that calls AMI_GetWave anyway must not reach Run.
  bool ready = false;
  // Set by the first AMI_GetWave whose Run fails, which appends
  // "Error occurred in <model>::Run(). " to the message; later failures add
  // nothing, so the text cannot outgrow its room.
  bool runFailed = false;
};

// Appends the parts as one sentence: the room is taken first, so a failure
// (std::bad_alloc) leaves the text as it was, never half a sentence.
inline void AppendSentence(std::string &text, std::initializer_list<const char *> parts) {
  size_t n = text.size();
  for (const char *p : parts) n += std::strlen(p);
  // Only ever to grow: a text the host holds must not move when it fits.
  if (n > text.capacity()) text.reserve(n);
  for (const char *p : parts) text += p;
}

// Reads one parameter after another by "<model>.<name>", appending the
// default-setting sentence for each one that cannot be read. Out of memory
// it throws, so that a lookup that could not run is never taken for a
// parameter that is missing.
class AmiParameterReader {
public:
  AmiParameterReader(const AmiParameterTree &tree, const char *model, std::string &message)
      : tree_(tree), model_(model), message_(message) {}

  bool Read(const char *name, double &field) {
    std::string path = std::string(model_) + "." + name;
    if (tree_.GetDouble(field, path.c_str())) return true;
    AppendSentence(message_, {"The IBIS-AMI model, ", model_,
                              ", is unable to initialize the parameter ", name,
                              " from the AMI_Init arguments.  The model will use the default "
                              "setting. "});
    return false;
  }

private:
  const AmiParameterTree &tree_;
  const char *model_;
  std::string &message_;
};

// Bit time / sample interval + 0.5, truncated; 0 when the pair gives no
// whole number of samples per bit a 32-bit integer can hold.
inline int32_t AmiSamplesPerBit(double sampleInterval, double bitTime) {
  if (!(sampleInterval > 0.0) || !(bitTime > 0.0) || !std::isfinite(sampleInterval) ||
      !std::isfinite(bitTime))
    return 0;
  double spb = bitTime / sampleInterval + 0.5;
  if (!(spb < 2147483647.0)) return 0;
  return static_cast<int32_t>(spb);
}

// A text fixed at compile time, so that handing it out needs no memory.
template <size_t N> struct FixedText {
  char text[N];
};

constexpr size_t TextLength(const char *s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

template <size_t N> constexpr FixedText<N> JoinText(const char *a, const char *b, const char *c) {
  FixedText<N> t{};
  size_t at = 0;
  for (const char *p : {a, b, c})
    for (size_t i = 0; p[i]; ++i) t.text[at++] = p[i];
  return t;
}

// "The IBIS-AMI model, <model>, ran out of memory in AMI_Init. "
template <class Traits> struct AmiOutOfMemory {
  static constexpr const char *kHead = "The IBIS-AMI model, ";
  static constexpr const char *kTail = ", ran out of memory in AMI_Init. ";
  static constexpr size_t kSize = TextLength(kHead) + TextLength(Traits::kName) + TextLength(kTail) + 1;
  static constexpr FixedText<kSize> kSentence = JoinText<kSize>(kHead, Traits::kName, kTail);
};

template <class Traits> struct AmiEntry {
  using Model = typename Traits::Model;
  using Holder = AmiModelHolder<Model>;

  static void Append(std::string &message, const char *what) {
    AppendSentence(message, {"Error occurred in ", Traits::kName, "::", what, "(). "});
  }

  // What a failed AMI_Init that ran out of memory tells the host: the
  // sentence of the model operation that could not get its memory, or, when
  // none was running, the out-of-memory sentence; both behind the message so
  // far. With no holder, or no room for the sentence in its message, the
  // fixed sentence alone.
  static const char *OutOfMemory(Holder *h, const char *step) noexcept {
    if (step) {
      // The blocks' own failures are told on the standard error stream; so
      // is this one.
      char line[128];
      std::snprintf(line, sizeof line, "Unable to allocate memory in %s::%s()", Traits::kName,
                    step);
      DFModel::ReportError(line);
    }
    if (h) {
      try {
        if (step)
          Append(h->message, step);
        else
          h->message += AmiOutOfMemory<Traits>::kSentence.text;
        return h->message.c_str();
      } catch (...) {
      }
    }
    return AmiOutOfMemory<Traits>::kSentence.text;
  }

  // Length of the sentence Append writes for `what`.
  static size_t SentenceLength(const char *what) {
    return std::strlen("Error occurred in ") + std::strlen(Traits::kName) + std::strlen("::") +
           std::strlen(what) + std::strlen("(). ");
  }

  // Hands the message to the host, with room for the Run sentence behind it
  // so that appending it later neither moves nor reallocates the text.
  static void HandOut(Holder *h, char **msg) {
    h->message.reserve(h->message.size() + SentenceLength("Run"));
    if (msg && !h->message.empty()) *msg = const_cast<char *>(h->message.c_str());
  }

  // parseAlloc: where the parameter parse takes its memory (null: calloc
  // and realloc); the exported function leaves it null.
  static int32_t Init(double *, int32_t, int32_t, double sampleInterval, double bitTime,
                      char *parameters, char **, void **handle, char **msg,
                      const AMIP_ALLOC *parseAlloc = nullptr) {
    // Nowhere to put the model: nothing can be closed later, so build nothing.
    if (!handle) return 0;
    Holder *h = nullptr;
    const char *step = nullptr; // the model operation running, for the catch
    try {
      h = new Holder();
      AmiParameterTree tree(parameters, parseAlloc);
      h->samplesPerBit = AmiSamplesPerBit(sampleInterval, bitTime);
      // Out of memory while parsing: no parameter is known, so the model
      // does not run on defaults that were never asked for.
      if (!tree.OutOfMemory()) {
        AmiParameterReader reader(tree, Traits::kName, h->message);
        Traits::ReadParameters(reader, h->model, bitTime, h->samplesPerBit);
      }
      for (int i = 0; i < Traits::kPorts; ++i)
        Traits::Port(h->model, i).SetStorage(new double[1], 1, 1, 0);
      bool ok = false;
      if (tree.OutOfMemory()) {
        AppendSentence(h->message, {"The IBIS-AMI model, ", Traits::kName,
                                    ", ran out of memory while reading the AMI_Init arguments. "});
      } else if (h->samplesPerBit < 1) {
        AppendSentence(h->message, {"The IBIS-AMI model, ", Traits::kName,
                                    ", needs a positive sample interval and bit time giving at "
                                    "least one sample per bit. "});
      } else {
        step = "Setup";
        const bool setupOk = h->model.Setup();
        step = nullptr;
        if (!setupOk) {
          Append(h->message, "Setup");
        } else {
          step = "Initialize";
          const bool initOk = h->model.Initialize();
          step = nullptr;
          if (!initOk)
            Append(h->message, "Initialize");
          else
            ok = true;
        }
      }
      h->ready = ok;
      *handle = h;
      HandOut(h, msg);
      return ok ? 1 : 0;
    } catch (...) {
      // Out of memory inside the host's process: the operation that could
      // not get its memory failed like one that returned false. The host
      // always gets a handle it may close (null when not even the holder
      // could be made) and a message that says why. Not ready: no Run
      // follows, so no room is needed behind the text.
      *handle = h;
      if (h) h->ready = false;
      const char *why = OutOfMemory(h, step);
      if (msg) *msg = const_cast<char *>(why);
      return 0;
    }
  }

  static int32_t GetWave(double *wave, int32_t size, double *clockTimes, char **, void *handle) {
    Holder *h = static_cast<Holder *>(handle);
    if (!h) {
      if (clockTimes) clockTimes[0] = -1.0;
      return 0;
    }
    try {
      if (size < 0) size = 0;
      h->clockStore.resize(static_cast<size_t>(size) + 1);
    } catch (...) {
      if (clockTimes) clockTimes[0] = -1.0;
      return 0;
    }
    int32_t result = 1;
    size_t count = 0;
    if (!h->ready || (size > 0 && !wave)) {
      result = 0;
    } else {
      Model &m = h->model;
      double &in = Traits::Port(m, 0).Sample();
      double &out = Traits::Port(m, 1).Sample();
      for (int32_t j = 0; j < size; ++j) {
        in = wave[j];
        if (!m.Run()) {
          // Once per handle, into the room AMI_Init reserved: the text the
          // host holds grows by this sentence and does not move.
          if (!h->runFailed) {
            h->runFailed = true;
            if (h->message.capacity() - h->message.size() >= SentenceLength("Run"))
              Append(h->message, "Run");
          }
          result = 0;
          break;
        }
        wave[j] = out;
        if constexpr (Traits::kHasClock) {
          double t = Traits::Port(m, 2).Sample();
          if (t >= 0.0) h->clockStore[count++] = t;
        }
      }
    }
    if (!clockTimes) return result;
    if constexpr (Traits::kHasClock) {
      h->clockStore[count++] = -1.0;
      size_t limit = static_cast<size_t>(
          std::floor(static_cast<double>(size) / static_cast<double>(h->samplesPerBit > 0 ? h->samplesPerBit : 1)) + 3);
      size_t first = count > limit ? count - limit : 0;
      for (size_t i = first; i < count; ++i) clockTimes[i - first] = h->clockStore[i];
    } else {
      h->clockStore[0] = -1.0;
      clockTimes[0] = h->clockStore[0];
    }
    return result;
  }

  static int32_t Close(void *handle) {
    Holder *h = static_cast<Holder *>(handle);
    if (!h) return 0;
    int32_t result = h->model.Finalize() ? 1 : 0;
    for (int i = 0; i < Traits::kPorts; ++i) Traits::Port(h->model, i).Release(nullptr);
    delete h;
    return result;
  }
};

} // namespace Varnholt

#if defined(_WIN32)
// A DLL exports what its module-definition file lists, by name and ordinal
// (cmake/ami_exports.def); that file alone decides the export table.
#define VARNHOLT_AMI_EXPORT extern "C"
#else
#define VARNHOLT_AMI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The three exported functions of one model library.
#define VARNHOLT_AMI_ENTRY(Traits)                                                          \
  VARNHOLT_AMI_EXPORT int32_t AMI_Init(double *impulse_matrix, int32_t row_size,             \
                                       int32_t aggressors, double sample_interval,          \
                                       double bit_time, char *AMI_parameters_in,            \
                                       char **AMI_parameters_out, void **AMI_memory_handle, \
                                       char **msg) {                                        \
    return ::Varnholt::AmiEntry<Traits>::Init(impulse_matrix, row_size, aggressors,         \
                                              sample_interval, bit_time, AMI_parameters_in, \
                                              AMI_parameters_out, AMI_memory_handle, msg);  \
  }                                                                                         \
  VARNHOLT_AMI_EXPORT int32_t AMI_GetWave(double *wave, int32_t wave_size,                   \
                                          double *clock_times, char **AMI_parameters_out,   \
                                          void *AMI_memory_handle) {                        \
    return ::Varnholt::AmiEntry<Traits>::GetWave(wave, wave_size, clock_times,              \
                                                 AMI_parameters_out, AMI_memory_handle);    \
  }                                                                                         \
  VARNHOLT_AMI_EXPORT int32_t AMI_Close(void *AMI_memory_handle) {                           \
    return ::Varnholt::AmiEntry<Traits>::Close(AMI_memory_handle);                          \
  }

#endif
