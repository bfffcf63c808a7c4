// Each model's AMI_Init, AMI_GetWave and AMI_Close with every allocation of
// a whole session failed in turn (operator new in all its forms, malloc,
// calloc and realloc): a session either ends as the clean one, bit for bit,
// or one of its calls returns 0 and says why, never a wrong wave behind a 1
// and never a sentence about bad data that was fine.
#include "AllocFailNew.h"

#include "models/Korvath/Korvath_traits.h"
#include "models/Sarnet/Sarnet_traits.h"
#include "models/Welbrook_rx/Welbrook_rx_traits.h"
#include "models/Welbrook_tx/Welbrook_tx_traits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kHalf = 512; // samples per GetWave call; 32 samples per bit

// What one session gave; sized before it starts, so that recording it
// allocates nothing while a failure is armed.
struct Session {
  int32_t init = -1, wave1 = -1, wave2 = -1, close = -1;
  char message[1024] = {};
  bool messageSet = false, reached = false; // reached: the armed request was made
  std::vector<double> wave, clock = std::vector<double>(2 * (kHalf / 32 + 3), -7.0);
  int64_t requests = 0;
};

// A PRBS-7 NRZ wave of +-0.5 V.
std::vector<double> Stimulus() {
  std::vector<double> w(2 * kHalf);
  unsigned lfsr = 0x7f;
  for (size_t i = 0; i < w.size(); ++i) {
    if (i % 32 == 0) lfsr = ((lfsr << 1) | (((lfsr >> 6) ^ (lfsr >> 5)) & 1)) & 0x7f;
    w[i] = (lfsr & 1) ? 0.5 : -0.5;
  }
  return w;
}

// One whole session, its failAt-th request failing (0: none).
template <class Traits> void Drive(const char *params, int64_t failAt, Session &s) {
  using Entry = Varnholt::AmiEntry<Traits>;
  std::vector<char> p(params, params + std::strlen(params) + 1);
  s.wave = Stimulus();
  char *msg = nullptr;
  void *h = nullptr;
  const int64_t before = AllocRequests();
  FailAlloc(failAt);
  s.init = Entry::Init(nullptr, 0, 0, 3.125e-12, 1e-10, p.data(), nullptr, &h, &msg);
  if ((s.messageSet = msg != nullptr)) std::strncpy(s.message, msg, sizeof s.message - 1);
  s.wave1 = Entry::GetWave(s.wave.data(), kHalf, s.clock.data(), nullptr, h);
  s.wave2 = Entry::GetWave(s.wave.data() + kHalf, kHalf, s.clock.data() + s.clock.size() / 2,
                           nullptr, h);
  s.close = Entry::Close(h);
  s.reached = FailAllocPending() == 0;
  FailAlloc(0);
  s.requests = AllocRequests() - before;
}

const struct {
  const char *name;
  void (*drive)(const char *, int64_t, Session &);
  const char *params;
} kModels[] = {
    {"Korvath", Drive<Varnholt::KorvathTraits>,
     "(Korvath (SlewTime 100) (Pre 0) (Pst1 -10) (Pst2 0) (Swing 500))"},
    {"Sarnet", Drive<Varnholt::SarnetTraits>, "(Sarnet (Gain 1))"},
    {"Welbrook_tx", Drive<Varnholt::WelbrookTxTraits>, "(Welbrook_tx (SLEW_CTL 1) (TX_TERM_CTL 0))"},
    {"Welbrook_rx", Drive<Varnholt::WelbrookRxTraits>,
     "(Welbrook_rx (EQ 3) (HorL 0) (VotingThreshold 0) (SettlingTime 4))"},
};

TEST(AmiAlloc, EveryRequestOfASessionFailsSoundly) {
  const std::vector<double> input = Stimulus();
  for (const auto &m : kModels) {
    SCOPED_TRACE(m.name);
    const std::string name = m.name, model = "The IBIS-AMI model, " + name + ", ran out of memory ";
    Session clean;
    testing::internal::CaptureStderr();
    m.drive(m.params, 0, clean);
    ASSERT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(clean.init + clean.wave1 + clean.wave2 + clean.close, 4);
    ASSERT_FALSE(clean.messageSet) << clean.message;

    int failedCalls = 0;
    for (int64_t n = 1; n <= clean.requests; ++n) {
      SCOPED_TRACE("request " + std::to_string(n));
      Session s;
      testing::internal::CaptureStderr();
      m.drive(m.params, n, s);
      const std::string err = testing::internal::GetCapturedStderr();
      ASSERT_TRUE(s.reached) << "the session made fewer requests than the clean one";
      // A block says why it failed; a shortage is never told as bad data.
      std::istringstream lines(err);
      for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind("Unable to allocate ", 0), 0u) << line;
      if (s.init && s.wave1 && s.wave2) { // through: the clean session
        EXPECT_EQ(err, "");
        EXPECT_FALSE(s.messageSet) << s.message;
        EXPECT_EQ(0, std::memcmp(s.wave.data(), clean.wave.data(), sizeof(double) * 2 * kHalf));
        EXPECT_EQ(s.clock, clean.clock);
        EXPECT_EQ(s.close, 1);
        continue;
      }
      ++failedCalls;
      if (!s.init) {
        // Exactly the sentence of the failure; a failed model operation
        // has told its reason on the standard error stream.
        const std::string message = s.messageSet ? s.message : "(none)";
        EXPECT_TRUE(message == model + "in AMI_Init. " ||
                    message == model + "while reading the AMI_Init arguments. " ||
                    (message == "Error occurred in " + name + "::Setup(). " && !err.empty()) ||
                    (message == "Error occurred in " + name + "::Initialize(). " && !err.empty()))
            << message << "\n" << err;
        EXPECT_EQ(s.wave1 + s.wave2, 0);
      }
      // A GetWave that could not get its clock store runs nothing.
      for (int call = 0; call < 2; ++call)
        if (!(call ? s.wave2 : s.wave1)) {
          EXPECT_EQ(0, std::memcmp(s.wave.data() + call * kHalf, input.data() + call * kHalf,
                                   sizeof(double) * kHalf));
          EXPECT_EQ(s.clock[call * s.clock.size() / 2], -1.0);
        }
    }
    EXPECT_GT(failedCalls, 0);
  }
}

} // namespace
