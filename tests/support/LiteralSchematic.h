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

// A response filter that fires as the polyphase algorithm defines it: every
// tap through the ring's index arithmetic, summed from the newest input back.
// It keeps its own copies of the tables it is set up from.
class LiteralFir : public Varnholt::TimeResponseFIR {
public:
  bool SetUpFrom(const double *response, const double *stamps, int32_t count,
                 double sampleRate) {
    response_.assign(response, response + count);
    stamps_.assign(stamps, stamps + count);
    this->response = response_.data();
    this->timeStamps = stamps_.data();
    responseCount = timeStampCount = count;
    ResponseType = 0;
    SampleRate = sampleRate;
    return Setup();
  }
  bool Run() override { return RunPolyphase(); }

private:
  std::vector<double> response_, stamps_;
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
