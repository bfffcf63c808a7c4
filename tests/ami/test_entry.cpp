// The AMI template and model holder, driven through a small test model that
// has a receiver's five ports and a clock port.
#include "AllocFail.h"
#include "IbisParser/msg.h"
#include "ami/AmiEntry.h"
#include "runtime/DFModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace {

using Varnholt::AmiEntry;
using Varnholt::CircularBuffer;

// Output = input + Offset; every ClockEvery samples the clock port carries
// the sample index (times 1e-12), otherwise -1. Run fails at FailAt.
struct Probe : Varnholt::DFModel {
  CircularBuffer<double> ports[5];
  double Offset = 0.0, Count = 0.0, bitTime = 0.0, spb = 0.0;
  bool setupOk = true, initOk = true;
  int64_t failAt = -1, clockEvery = 4, n = 0;
  int setupCalls = 0, initCalls = 0, finalizeCalls = 0;
  static std::vector<std::string> *log;
  // Out of memory in the constructor, in Setup or in Initialize.
  static bool throwInCtor, throwInSetup, throwInInit;

  Probe() {
    if (throwInCtor) throw std::bad_alloc();
  }
  bool Setup() override {
    ++setupCalls;
    if (log) log->push_back("Setup");
    if (throwInSetup) throw std::bad_alloc();
    return setupOk;
  }
  bool Initialize() override {
    ++initCalls;
    if (log) log->push_back("Initialize");
    if (throwInInit) throw std::bad_alloc();
    n = 0;
    return initOk;
  }
  bool Run() override {
    if (n == failAt) return false;
    ports[1].Sample() = ports[0].Sample() + Offset;
    if (ports[2].GetData())
      ports[2].Sample() = (clockEvery > 0 && n % clockEvery == 0) ? static_cast<double>(n) * 1e-12
                                                                : -1.0;
    ++n;
    return true;
  }
  bool Finalize() override {
    ++finalizeCalls;
    return true;
  }
};
std::vector<std::string> *Probe::log = nullptr;
bool Probe::throwInCtor = false, Probe::throwInSetup = false, Probe::throwInInit = false;

// Hooks let a test shape the model before Setup runs.
Probe *lastProbe = nullptr;
bool failSetup = false, failInit = false;
int64_t failRunAt = -1, clockEvery = 4;

struct ProbeTraits {
  using Model = Probe;
  static constexpr const char *kName = "Probe";
  static constexpr int kPorts = 5;
  static constexpr bool kHasClock = true;
  static CircularBuffer<double> &Port(Model &m, int i) { return m.ports[i]; }
  static void ReadParameters(Varnholt::AmiParameterReader &r, Model &m, double bitTime,
                             int32_t spb) {
    r.Read("Offset", m.Offset);
    m.bitTime = bitTime;
    m.spb = spb;
    r.Read("Count", m.Count);
    m.setupOk = !failSetup;
    m.initOk = !failInit;
    m.failAt = failRunAt;
    m.clockEvery = clockEvery;
    lastProbe = &m;
  }
};

struct TxTraits : ProbeTraits {
  static constexpr const char *kName = "ProbeTx";
  static constexpr int kPorts = 2;
  static constexpr bool kHasClock = false;
};

using Entry = AmiEntry<ProbeTraits>;
using TxEntry = AmiEntry<TxTraits>;

class AmiEntryTest : public ::testing::Test {
protected:
  void SetUp() override {
    failSetup = failInit = false;
    failRunAt = -1;
    clockEvery = 4;
  }
  int32_t Init(const char *params, double si = 1e-12, double bt = 4e-12) {
    std::string p = params ? params : "";
    std::vector<char> buf(p.begin(), p.end());
    buf.push_back('\0');
    msg = nullptr;
    handle = nullptr;
    return Entry::Init(nullptr, 0, 0, si, bt, params ? buf.data() : nullptr, nullptr, &handle,
                       &msg);
  }
  void TearDown() override {
    if (handle) Entry::Close(handle);
  }
  void *handle = nullptr;
  char *msg = nullptr;
};

const char kOffsetSentence[] = "The IBIS-AMI model, Probe, is unable to initialize the parameter "
                               "Offset from the AMI_Init arguments.  The model will use the "
                               "default setting. ";
const char kCountSentence[] = "The IBIS-AMI model, Probe, is unable to initialize the parameter "
                              "Count from the AMI_Init arguments.  The model will use the "
                              "default setting. ";

TEST_F(AmiEntryTest, MessagesComeInParameterOrderThenOneErrorSentence) {
  EXPECT_EQ(Init("(Probe)"), 1); // "(Probe)" does not parse: (A) is refused
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(std::string(msg), std::string(kOffsetSentence) + kCountSentence);
  Entry::Close(handle);
  handle = nullptr;

  EXPECT_EQ(Init("(Probe (Count 3))"), 1);
  EXPECT_EQ(std::string(msg), kOffsetSentence);
  EXPECT_EQ(lastProbe->Count, 3.0);
  Entry::Close(handle);
  handle = nullptr;

  failSetup = true;
  EXPECT_EQ(Init("(Probe (Count 3) (Offset 1))"), 0);
  EXPECT_EQ(std::string(msg), "Error occurred in Probe::Setup(). ");
  ASSERT_NE(handle, nullptr) << "the handle is stored also on failure";
  EXPECT_EQ(lastProbe->setupCalls, 1);
  EXPECT_EQ(lastProbe->initCalls, 0) << "no Initialize after a failed Setup";
  Entry::Close(handle);
  handle = nullptr;

  failSetup = false;
  failInit = true;
  EXPECT_EQ(Init(""), 0);
  EXPECT_EQ(std::string(msg),
            std::string(kOffsetSentence) + kCountSentence + "Error occurred in Probe::Initialize(). ");
}

TEST_F(AmiEntryTest, EmptyMessageLeavesTheHostPointerAlone) {
  char sentinel[] = "host";
  msg = sentinel;
  std::vector<char> p{'(', 'P', 'r', 'o', 'b', 'e', ' ', '(', 'O', 'f', 'f', 's', 'e', 't', ' ',
                      '1', ')', '(', 'C', 'o', 'u', 'n', 't', ' ', '2', ')', ')', '\0'};
  EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, p.data(), nullptr, &handle, &msg), 1);
  EXPECT_EQ(msg, sentinel);
}

TEST_F(AmiEntryTest, SamplesPerBitRoundsHalfUp) {
  EXPECT_EQ(Varnholt::AmiSamplesPerBit(3e-12, 1e-10), 33);
  EXPECT_EQ(Varnholt::AmiSamplesPerBit(1e-12, 4e-12), 4);
  EXPECT_EQ(Varnholt::AmiSamplesPerBit(2e-12, 2.9e-12), 1);
  EXPECT_EQ(Varnholt::AmiSamplesPerBit(2e-12, 0.9e-12), 0);
  EXPECT_EQ(Init("", 3e-12, 1e-10), 1);
  auto *h = static_cast<Varnholt::AmiModelHolder<Probe> *>(handle);
  EXPECT_EQ(h->samplesPerBit, 33);
  EXPECT_EQ(lastProbe->spb, 33.0);
  EXPECT_EQ(lastProbe->bitTime, 1e-10);
  EXPECT_EQ(static_cast<void *>(&h->model), handle) << "the holder starts with the model";
}

TEST_F(AmiEntryTest, ClockTimesAreCappedAndEndedByMinusOne) {
  // 64 samples, 4 per bit: limit floor(64/4)+3 = 19. A clock every 2 samples
  // gives 32 times; the last 18 and -1.0 are written.
  clockEvery = 2;
  ASSERT_EQ(Init(""), 1);
  std::vector<double> wave(64, 0.25), clock(80, -7.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 64, clock.data(), nullptr, handle), 1);
  for (int i = 0; i < 18; ++i) EXPECT_DOUBLE_EQ(clock[i], (28 + 2 * i) * 1e-12) << i;
  EXPECT_EQ(clock[18], -1.0);
  EXPECT_EQ(clock[19], -7.0) << "nothing past the limit";

  // No clock at all: exactly one value.
  lastProbe->clockEvery = 0;
  std::fill(clock.begin(), clock.end(), -7.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 64, clock.data(), nullptr, handle), 1);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(clock[1], -7.0);

  // Wave size 0: the wave is untouched and -1.0 alone is written.
  std::fill(clock.begin(), clock.end(), -7.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 0, clock.data(), nullptr, handle), 1);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(clock[1], -7.0);
}

TEST_F(AmiEntryTest, RunFailureKeepsInputSamplesAndDeliversClockTimesSoFar) {
  failRunAt = 10;
  ASSERT_EQ(Init("(Probe (Offset 1) (Count 0))"), 1);
  std::vector<double> wave(16), clock(32, -7.0);
  for (int i = 0; i < 16; ++i) wave[i] = i;
  EXPECT_EQ(Entry::GetWave(wave.data(), 16, clock.data(), nullptr, handle), 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(wave[i], i + 1.0);
  for (int i = 10; i < 16; ++i) EXPECT_EQ(wave[i], static_cast<double>(i)) << "kept its input";
  EXPECT_DOUBLE_EQ(clock[0], 0.0);
  EXPECT_DOUBLE_EQ(clock[1], 4e-12);
  EXPECT_DOUBLE_EQ(clock[2], 8e-12);
  EXPECT_EQ(clock[3], -1.0);
  auto *h = static_cast<Varnholt::AmiModelHolder<Probe> *>(handle);
  EXPECT_EQ(h->message, "Error occurred in Probe::Run(). ");
}

TEST_F(AmiEntryTest, HeldMessageStaysPutAndRunIsSaidOncePerHandle) {
  failRunAt = 0;
  ASSERT_EQ(Init("(Probe (Count 1))"), 1);
  ASSERT_NE(msg, nullptr);
  const char *held = msg;
  const std::string text = msg;
  EXPECT_EQ(text, kOffsetSentence);
  std::vector<double> wave(4, 1.0), clock(8);
  for (int call = 0; call < 1000; ++call)
    ASSERT_EQ(Entry::GetWave(wave.data(), 4, clock.data(), nullptr, handle), 0);
  auto *h = static_cast<Varnholt::AmiModelHolder<Probe> *>(handle);
  EXPECT_EQ(h->message.c_str(), held) << "the text the host holds never moves";
  EXPECT_EQ(std::string(held), text + "Error occurred in Probe::Run(). ")
      << "and reads on with the Run sentence, once";
}

TEST_F(AmiEntryTest, OutOfMemoryWhileParsingFailsInitAndSaysSo) {
  const char params[] = "(Probe (Offset 2) (Count 3))";
  const std::string sentence =
      "The IBIS-AMI model, Probe, ran out of memory while reading the AMI_Init arguments. ";
  int32_t bugs0 = 0, errors0 = 0, warnings0 = 0;
  MSG_GetCounts(&bugs0, &errors0, &warnings0);
  const int64_t before = AllocRequests();
  {
    std::vector<char> p(params, params + sizeof params);
    void *h = nullptr;
    ASSERT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, p.data(), nullptr, &h, nullptr,
                          &kCountedParserAlloc),
              1);
    Entry::Close(h);
  }
  const int64_t requests = AllocRequests() - before;
  ASSERT_GT(requests, 0);
  testing::internal::CaptureStdout();
  for (int64_t k = 0; k < requests; ++k) {
    SCOPED_TRACE("request " + std::to_string(k));
    std::vector<char> p(params, params + sizeof params);
    void *h = nullptr;
    char *m = nullptr;
    FailAlloc(k + 1);
    EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, p.data(), nullptr, &h, &m,
                          &kCountedParserAlloc),
              0);
    EXPECT_EQ(FailAllocPending(), 0) << "the armed request was made";
    FailAlloc(0);
    ASSERT_NE(h, nullptr) << "the host still gets a handle to close";
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m, sentence) << "no parameter sentences: nothing was read";
    const Probe &model = static_cast<Varnholt::AmiModelHolder<Probe> *>(h)->model;
    EXPECT_EQ(model.Offset, 0.0);
    EXPECT_EQ(model.setupCalls, 0);
    std::vector<double> wave(4, 1.0), clock(8, -7.0);
    EXPECT_EQ(Entry::GetWave(wave.data(), 4, clock.data(), nullptr, h), 0);
    EXPECT_EQ(wave[0], 1.0);
    EXPECT_EQ(clock[0], -1.0);
    EXPECT_EQ(Entry::Close(h), 1);
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the host's output is not ours";
  int32_t bugs = 0, errors = 0, warnings = 0;
  MSG_GetCounts(&bugs, &errors, &warnings);
  EXPECT_EQ(bugs, bugs0);
  EXPECT_EQ(errors, errors0);
  EXPECT_EQ(warnings, warnings0);
}

TEST_F(AmiEntryTest, TransmitterWritesMinusOneAlone) {
  std::vector<char> p{'\0'};
  void *h = nullptr;
  ASSERT_EQ(TxEntry::Init(nullptr, 0, 0, 1e-12, 4e-12, p.data(), nullptr, &h, nullptr), 1);
  std::vector<double> wave(64, 1.0), clock(8, -7.0);
  EXPECT_EQ(TxEntry::GetWave(wave.data(), 64, clock.data(), nullptr, h), 1);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(clock[1], -7.0);
  EXPECT_EQ(TxEntry::Close(h), 1);
}

TEST_F(AmiEntryTest, MisbehavingHostCannotCrashTheLibrary) {
  // No place for the handle: nothing is built, 0.
  EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, nullptr, nullptr, nullptr, nullptr), 0);
  // Null message pointer and null parameter string.
  EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, nullptr, nullptr, &handle, nullptr), 1);
  std::vector<double> clock(8, -7.0);
  // Null wave with a positive size: refused, clock times still ended.
  EXPECT_EQ(Entry::GetWave(nullptr, 16, clock.data(), nullptr, handle), 0);
  EXPECT_EQ(clock[0], -1.0);
  // Null clock times: the wave is still processed.
  std::vector<double> wave(8, 2.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 8, nullptr, nullptr, handle), 1);
  // Negative size: nothing processed.
  EXPECT_EQ(Entry::GetWave(wave.data(), -5, clock.data(), nullptr, handle), 1);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(Entry::Close(handle), 1);
  handle = nullptr;
  EXPECT_EQ(Entry::Close(nullptr), 0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 8, clock.data(), nullptr, nullptr), 0);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double bad[][2] = {{0.0, 1e-10}, {-1e-12, 1e-10}, {nan, 1e-10}, {1e-12, 0.0},
                           {1e-12, -1e-10}, {1e-12, nan},  {1e-12, 0.4e-12}, {1e-300, 1.0},
                           {inf, 1e-10},  {1e-12, inf}};
  for (const auto &b : bad) {
    char *m = nullptr;
    void *h = nullptr;
    EXPECT_EQ(Entry::Init(nullptr, 0, 0, b[0], b[1], nullptr, nullptr, &h, &m), 0)
        << b[0] << " " << b[1];
    ASSERT_NE(h, nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_NE(std::string(m).find("at least one sample per bit"), std::string::npos);
    EXPECT_EQ(lastProbe->setupCalls, 0) << "refused before Setup";
    // A host that goes on regardless gets a refusal, not a crash.
    std::fill(clock.begin(), clock.end(), -7.0);
    EXPECT_EQ(Entry::GetWave(wave.data(), 8, clock.data(), nullptr, h), 0);
    EXPECT_EQ(clock[0], -1.0);
    EXPECT_EQ(Entry::Close(h), 1);
  }
}

TEST_F(AmiEntryTest, GetWaveAfterFailedInitDoesNotRunTheModel) {
  failInit = true;
  EXPECT_EQ(Init(""), 0);
  std::vector<double> wave(8, 3.0), clock(8, -7.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 8, clock.data(), nullptr, handle), 0);
  EXPECT_EQ(wave[0], 3.0);
  EXPECT_EQ(lastProbe->n, 0);
  EXPECT_EQ(clock[0], -1.0);
}

TEST_F(AmiEntryTest, OutOfMemoryFailsLikeTheStepThatHitIt) {
  // Setup cannot get its memory: reported as a failed Setup, no Initialize,
  // the handle and the message are still handed over.
  Probe::throwInSetup = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(Init("(Probe (Count 3))"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to allocate memory in Probe::Setup()\n");
  Probe::throwInSetup = false;
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(std::string(msg), std::string(kOffsetSentence) + "Error occurred in Probe::Setup(). ");
  EXPECT_EQ(lastProbe->initCalls, 0);
  std::vector<double> wave(8, 3.0), clock(8, -7.0);
  EXPECT_EQ(Entry::GetWave(wave.data(), 8, clock.data(), nullptr, handle), 0);
  EXPECT_EQ(wave[0], 3.0);
  EXPECT_EQ(clock[0], -1.0);
  EXPECT_EQ(Entry::Close(handle), 1);
  handle = nullptr;

  Probe::throwInInit = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(Init("(Probe (Count 3) (Offset 1))"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to allocate memory in Probe::Initialize()\n");
  Probe::throwInInit = false;
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(std::string(msg), "Error occurred in Probe::Initialize(). ");
  EXPECT_EQ(Entry::GetWave(wave.data(), 8, clock.data(), nullptr, handle), 0);
  EXPECT_EQ(lastProbe->n, 0);
  EXPECT_EQ(Entry::Close(handle), 1);
  handle = nullptr;

  // Not even the holder: the host's handle becomes null, which Close refuses,
  // and the message is a constant that needed no memory.
  Probe::throwInCtor = true;
  int sentinel = 0;
  void *h = &sentinel;
  char *m = nullptr;
  EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, nullptr, nullptr, &h, &m), 0);
  Probe::throwInCtor = false;
  EXPECT_EQ(h, nullptr);
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m, "The IBIS-AMI model, Probe, ran out of memory in AMI_Init. ");
  EXPECT_EQ(Entry::Close(h), 0);
}

TEST_F(AmiEntryTest, SplitCallsGiveIdenticalOutputAndClockTimes) {
  std::vector<double> input(1000);
  for (size_t i = 0; i < input.size(); ++i) input[i] = std::sin(0.01 * static_cast<double>(i));
  auto run = [&](const std::vector<int> &sizes) {
    void *h = nullptr;
    std::vector<char> p{'(', 'P', 'r', 'o', 'b', 'e', ' ', '(', 'O', 'f', 'f', 's', 'e', 't', ' ',
                        '0', '.', '5', ')', ')', '\0'};
    EXPECT_EQ(Entry::Init(nullptr, 0, 0, 1e-12, 4e-12, p.data(), nullptr, &h, nullptr), 1);
    std::vector<double> wave = input, times;
    size_t at = 0, k = 0;
    while (at < wave.size()) {
      size_t n = std::min<size_t>(static_cast<size_t>(sizes[k % sizes.size()]), wave.size() - at);
      std::vector<double> clock(n + 4);
      Entry::GetWave(wave.data() + at, static_cast<int32_t>(n), clock.data(), nullptr, h);
      for (size_t i = 0; clock[i] != -1.0; ++i) times.push_back(clock[i]);
      at += n;
      ++k;
    }
    Entry::Close(h);
    return std::make_pair(wave, times);
  };
  auto whole = run({1000});
  EXPECT_EQ(whole.second.size(), 250u);
  for (const auto &sizes : std::vector<std::vector<int>>{{1}, {7}, {64}, {3, 129, 1, 500}}) {
    auto split = run(sizes);
    EXPECT_EQ(split.first, whole.first);
    EXPECT_EQ(split.second, whole.second);
  }
}

} // namespace
