// The model libraries as a simulator uses them: it keeps the Init message,
// runs handles on several threads, loads and unloads a library once per run
// of a sweep, and passes odd numbers and very long parameter strings.
#include "host/AmiLoader.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Varnholt::AmiLibrary;

const double kSampleInterval = 3.125e-12, kBitTime = 1e-10; // 32 samples per bit

void Load(AmiLibrary &lib, const std::string &name) {
  std::string error;
  ASSERT_TRUE(lib.Open(testsupport::ModelLibrary(name), error)) << error;
}

// One handle, Init on construction and Close on destruction.
struct Handle {
  Handle(AmiLibrary &l, const std::string &params) : lib(l) {
    std::vector<char> p(params.begin(), params.end());
    p.push_back('\0');
    init = lib.Init(nullptr, 0, 0, kSampleInterval, kBitTime, p.data(), nullptr, &h, &msg);
  }
  ~Handle() { lib.Close(h); }
  Handle(const Handle &) = delete;
  Handle &operator=(const Handle &) = delete;
  // One AMI_GetWave over n samples.
  int32_t Wave(int32_t n) {
    std::vector<double> wave(static_cast<size_t>(n), 0.3), clock(static_cast<size_t>(n) + 4);
    return lib.GetWave(wave.data(), n, clock.data(), nullptr, h);
  }
  AmiLibrary &lib;
  void *h = nullptr;
  char *msg = nullptr;
  int32_t init = -1;
};

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
    lines.push_back(text.substr(at, nl - at));
  if (at < text.size()) lines.push_back(text.substr(at)); // an unended line
  return lines;
}

// Settings that Init accepts (with default-setting sentences) and that make
// every Run fail.
struct FailingRun {
  const char *library, *params;
};
const FailingRun kFailingRuns[] = {{"Welbrook_rx_x64", "(Welbrook_rx (EQ 9))"},
                                   {"Welbrook_tx_x64", "(Welbrook_tx (SLEW_CTL 5))"}};

// The host may print the Init message whenever it likes before AMI_Close:
// failing runs never move it, and only the first adds its sentence.
TEST(HostSafety, InitMessageOutlivesFailingRuns) {
  for (const FailingRun &f : kFailingRuns) {
    SCOPED_TRACE(f.params);
    AmiLibrary lib;
    Load(lib, f.library);
    Handle h(lib, f.params);
    ASSERT_EQ(h.init, 1);
    ASSERT_NE(h.msg, nullptr);
    const std::string text = h.msg;
    EXPECT_NE(text.find("will use the default setting"), std::string::npos) << text;
    testing::internal::CaptureStderr();
    EXPECT_EQ(h.Wave(1), 0);
    const size_t before = testsupport::HeapInUse();
    for (int call = 0; call < 10000; ++call) ASSERT_EQ(h.Wave(1), 0);
    const size_t after = testsupport::HeapInUse();
    testing::internal::GetCapturedStderr();
    const std::string model(f.params + 1, std::strcspn(f.params + 1, " "));
    EXPECT_EQ(std::string(h.msg), text + "Error occurred in " + model + "::Run(). ");
    EXPECT_LT(static_cast<double>(after) - static_cast<double>(before), 4096.0)
        << "10000 failing calls keep no memory";
  }
}

// Each block's sentence reaches the standard error stream as one whole line,
// whichever thread writes it.
TEST(HostSafety, SentencesFromSeveralThreadsStayWholeLines) {
  AmiLibrary lib;
  Load(lib, "Welbrook_rx_x64");
  const std::string params = kFailingRuns[0].params;
  std::vector<std::string> one;
  {
    Handle h(lib, params);
    ASSERT_EQ(h.init, 1);
    testing::internal::CaptureStderr();
    h.Wave(1);
    one = Lines(testing::internal::GetCapturedStderr());
  }
  ASSERT_FALSE(one.empty());
  const std::set<std::string> sentences(one.begin(), one.end());

  const int threads = 4, calls = 500;
  testing::internal::CaptureStderr();
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&lib, &params] {
      Handle h(lib, params);
      for (int c = 0; c < calls; ++c) h.Wave(1);
    });
  for (std::thread &t : pool) t.join();
  const std::string all = testing::internal::GetCapturedStderr();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back(), '\n');
  const std::vector<std::string> lines = Lines(all);
  EXPECT_EQ(lines.size(), static_cast<size_t>(threads * calls) * one.size());
  size_t broken = 0;
  for (const std::string &line : lines) broken += sentences.count(line) == 0;
  EXPECT_EQ(broken, 0u) << "merged or empty lines among " << lines.size();
}

// A sweep that loads the model once per run: a thousand loads and unloads,
// each with a run, leave the host's heap where it was.
TEST(HostSafety, LoadAndUnloadLeaveTheHeapAsItWas) {
  struct Sweep {
    const char *library;
    std::vector<std::string> params; // taken in turn, one per run
  };
  const Sweep sweeps[] = {
      {"Sarnet_x64", {"(Sarnet (Gain 2))", "junk"}},
      {"Korvath_x64", {"(Korvath (Swing 400) (Pre 5))", "(Korvath (Swing x))"}},
      {"Welbrook_rx_x64", {"(Welbrook_rx (EQ 3) (HorL 0))", "(Welbrook_rx (EQ 9))"}},
      {"Welbrook_tx_x64", {"(Welbrook_tx (SLEW_CTL 2))", "(Welbrook_tx (SLEW_CTL 5))"}},
  };
#if defined(__SANITIZE_ADDRESS__)
  // Ten times slower there; a few hundred runs still show any loss per load.
  const int runs = 200, warmUp = 5;
#else
  const int runs = 1000, warmUp = 5;
#endif
  testing::internal::CaptureStderr();
  for (const Sweep &s : sweeps) {
    SCOPED_TRACE(s.library);
    auto run = [&](int i) {
      AmiLibrary lib;
      Load(lib, s.library);
      Handle h(lib, s.params[static_cast<size_t>(i) % s.params.size()]);
      h.Wave(256);
    };
    for (int i = 0; i < warmUp; ++i) run(i);
    const size_t before = testsupport::HeapInUse();
    for (int i = 0; i < runs; ++i) run(i);
    const double grown = static_cast<double>(testsupport::HeapInUse()) - static_cast<double>(before);
    EXPECT_LT(grown, 64.0 * runs) << grown / runs << " bytes per load";
  }
  testing::internal::GetCapturedStderr();
}

// A value that overflows a double is no number: the default holds, the
// default-setting sentence says so, and the wave stays finite.
TEST(HostSafety, NonFiniteParametersKeepTheDefault) {
  struct Case {
    const char *library, *params, *defaults, *parameter;
  };
  const Case cases[] = {
      {"Sarnet_x64", "(Sarnet (Gain 1e999))", "(Sarnet (Gain 1))", "Gain"},
      {"Sarnet_x64", "(Sarnet (Gain -1e999))", "(Sarnet (Gain 1))", "Gain"},
      {"Korvath_x64", "(Korvath (Swing 1e999) (Pre 0) (Pst1 -10) (Pst2 0) (SlewTime 100))",
       "(Korvath (Swing 500) (Pre 0) (Pst1 -10) (Pst2 0) (SlewTime 100))", "Swing"},
      {"Korvath_x64", "(Korvath (Swing 500) (Pre 0) (Pst1 -10) (Pst2 0) (SlewTime -1e400))",
       "(Korvath (Swing 500) (Pre 0) (Pst1 -10) (Pst2 0) (SlewTime 100))", "SlewTime"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.params);
    AmiLibrary lib;
    Load(lib, c.library);
    const std::vector<double> in = Varnholt::AmiPrbsWave(64, 32, 0.5, 5);
    auto r = Varnholt::AmiRun(lib, c.params, kSampleInterval, kBitTime, in, 0);
    auto ref = Varnholt::AmiRun(lib, c.defaults, kSampleInterval, kBitTime, in, 0);
    EXPECT_EQ(r.initResult, 1);
    const std::string model = std::string(c.library).substr(0, std::string(c.library).find('_'));
    EXPECT_EQ(r.message, "The IBIS-AMI model, " + model + ", is unable to initialize the parameter " +
                             c.parameter +
                             " from the AMI_Init arguments.  The model will use the default "
                             "setting. ");
    EXPECT_FALSE(ref.messageGiven);
    EXPECT_EQ(r.wave, ref.wave);
    for (double v : r.wave) ASSERT_TRUE(std::isfinite(v));
  }
}

// A leaf of a million values parses in one pass (the parser's arrays grow
// geometrically), and the first value is the parameter.
TEST(HostSafety, MillionValueLeaf) {
  std::string params = "(Sarnet (Gain 2";
  for (int i = 0; i < 1000000; ++i) params += " 0";
  params += "))";
  AmiLibrary lib;
  Load(lib, "Sarnet_x64");
  const std::vector<double> in{0.5, -0.25};
  auto r = Varnholt::AmiRun(lib, params, kSampleInterval, kBitTime, in, 0);
  EXPECT_EQ(r.initResult, 1);
  EXPECT_FALSE(r.messageGiven);
  EXPECT_EQ(r.wave, (std::vector<double>{1.0, -0.5}));
}

} // namespace
