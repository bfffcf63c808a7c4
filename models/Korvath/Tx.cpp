// The generic transmitter's signal path: the slew-limited level and the
// four-tap equalizer over a ring of the last four unit intervals.
#include "models/Korvath/Tx.h"

#include <cmath>
#include <new>

namespace Varnholt {

Tx::~Tx() { FreeLine(); }

void Tx::FreeLine() {
  delete[] line_;
  line_ = nullptr;
  lineLength_ = 0;
  head_ = tap1_ = tap2_ = tap3_ = 0;
}

double Tx::DelayAt(uint64_t k) const {
  uint64_t i = head_ + k;
  if (i >= lineLength_) i -= lineLength_;
  return line_[i];
}

bool Tx::Initialize() {
  // Without a whole sample per bit the taps one, two and three unit
  // intervals back do not exist.
  if (samplesPerBit < 1) {
    FreeLine();
    ReportError("SamplesPerBit must be >= 1");
    return false;
  }
  previousInput = 0.0;
  level = 0.0;
  rampStep = 0.0;
  started = 0.0;
  SlewTime = SlewTime * 1e-12;
  const double spb = static_cast<double>(samplesPerBit);
  const double dt = bitTime / spb;
  rampCounter = spb + 1.0;
  // Compared as a double before the conversion: a huge, negative or NaN
  // slew time must not reach the integer conversion out of its range.
  const double slew = SlewTime / dt;
  if (slew >= 1.0 && slew < spb + 1.0) {
    slewSamples = static_cast<int32_t>(slew);
  } else {
    slewSamples = 1;
  }
  Swing = Swing / 1000.0;
  c_pre = (Pre / 100.0) * 0.5;
  c_pst1 = (Pst1 / 100.0) * 0.5;
  c_pst2 = (Pst2 / 100.0) * 0.5;
  c_main = 1.0 - std::fabs(c_pre) - std::fabs(c_pst1) - std::fabs(c_pst2);

  FreeLine();
  const uint64_t n = 4 * static_cast<uint64_t>(samplesPerBit);
  line_ = new (std::nothrow) double[n];
  if (!line_) {
    ReportError("Unable to allocate the delay line");
    return false;
  }
  for (uint64_t i = 0; i < n; ++i) line_[i] = 0.0;
  lineLength_ = n;
  const uint64_t ui = static_cast<uint64_t>(samplesPerBit);
  head_ = 0;
  tap1_ = ui;
  tap2_ = 2 * ui;
  tap3_ = 3 * ui;
  return true;
}

bool Tx::Run() {
  if (lineLength_ == 0) {
    ReportError("Tx must be initialized before it runs");
    return false;
  }
  double x = input;
  // A sample that is not a number carries no level: it is read as the low
  // level, which its comparison with 0 below already makes it. Left as NaN
  // it would pass the limiter and stay in the level for good.
  if (std::isnan(x)) x = -0.5;

  if (x != previousInput && started == 1.0) {
    rampCounter = 2.0;
    rampStep = ((x - previousInput) / slewSamples) * 2.0;
    target = level + rampStep;
  } else if (static_cast<double>(slewSamples) >= rampCounter && started == 1.0) {
    rampCounter = rampCounter + 1.0;
    target = level + rampStep;
  } else {
    target = x;
  }
  previousInput = x > 0.0 ? 0.5 : -0.5;
  if (target > 0.5) {
    level = 0.5;
  } else if (target < -0.5) {
    level = -0.5;
  } else {
    level = target;
  }
  started = 1.0;

  // One step back around the ring for the newest level and for every tap.
  const uint64_t last = lineLength_ - 1;
  head_ = head_ == 0 ? last : head_ - 1;
  tap1_ = tap1_ == 0 ? last : tap1_ - 1;
  tap2_ = tap2_ == 0 ? last : tap2_ - 1;
  tap3_ = tap3_ == 0 ? last : tap3_ - 1;
  line_[head_] = Swing * level;
  output = ((line_[tap3_] * c_pst2 + line_[tap2_] * c_pst1) + line_[tap1_] * c_main) +
           c_pre * line_[head_];
  return true;
}

} // namespace Varnholt
