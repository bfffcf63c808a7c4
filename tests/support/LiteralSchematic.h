// Pieces for building a model's schematic as drawn, block by block, in the
// tests that hold the models' fast paths against it.
#ifndef VARNHOLT_TESTS_SUPPORT_LITERALSCHEMATIC_H
#define VARNHOLT_TESTS_SUPPORT_LITERALSCHEMATIC_H

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "runtime/CircularBuffer.h"
#include "runtime/TimeResponseFIR.h"

namespace testsupport {

// A response filter over copies of its tables, as a top model hands them
// over: an impulse response (ResponseType 0) at the given sample rate. Setup
// shifts the copies, never the caller's tables.
class ResponseFir : public Varnholt::TimeResponseFIR {
public:
  void Load(const double *response, const double *stamps, int32_t count, double sampleRate) {
    response_.assign(response, response + count);
    stamps_.assign(stamps, stamps + count);
    this->response = response_.data();
    this->timeStamps = stamps_.data();
    responseCount = timeStampCount = count;
    ResponseType = 0;
    SampleRate = sampleRate;
  }
  bool SetUpFrom(const double *response, const double *stamps, int32_t count,
                 double sampleRate) {
    Load(response, stamps, count, sampleRate);
    return Setup();
  }
  std::vector<double> Taps() const {
    return taps ? std::vector<double>(taps, taps + NumTaps) : std::vector<double>();
  }

private:
  std::vector<double> response_, stamps_;
};

// A response filter that fires as the polyphase algorithm defines it: every
// tap through the ring's index arithmetic, summed from the newest input back.
class LiteralFir : public ResponseFir {
public:
  bool Run() override { return RunPolyphase(); }
};

// The one-sample connections of a schematic: each Join makes a storage and
// attaches the producer's view and every consumer's to it.
class Wires {
public:
  void Join(std::initializer_list<Varnholt::CircularBufferBase *> views) {
    doubles_.emplace_back(new double[1]());
    for (Varnholt::CircularBufferBase *v : views) v->SetStorage(doubles_.back().get(), 1, 1, 0);
  }
  void JoinInt(std::initializer_list<Varnholt::CircularBufferBase *> views) {
    ints_.emplace_back(new int[1]());
    for (Varnholt::CircularBufferBase *v : views) v->SetStorage(ints_.back().get(), 1, 1, 0);
  }

private:
  std::vector<std::unique_ptr<double[]>> doubles_;
  std::vector<std::unique_ptr<int[]>> ints_;
};

} // namespace testsupport

#endif
