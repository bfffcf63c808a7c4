// Edge cases of the circular buffers and buses, and of the blocks' reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/CircularBuffer.h"
#include "runtime/DFModel.h"

using Varnholt::CircularBuffer;
using Varnholt::CircularBufferBusT;

TEST(CircularBuffer, WrapIndex) {
  CircularBuffer<double> b;
  b.SetStorage(nullptr, 0, 1, 5);
  EXPECT_EQ(b.WrapIndex(0), 5u); // even with no storage

  double s[4] = {};
  b.SetStorage(s, 4, 1, 2);
  EXPECT_EQ(b.WrapIndex(1), 3u);
  EXPECT_EQ(b.WrapIndex(2), 0u);
  EXPECT_EQ(b.WrapIndex(3), 1u);
  b.SetSize(3);
  b.Advance();
  EXPECT_EQ(b.GetPosition(), 1u);
  EXPECT_EQ(b.GetMaxSize(), 3u);
  b.SetSize(2);
  EXPECT_EQ(b.GetMaxSize(), 3u); // the maximum only grows
}

TEST(CircularBuffer, CopyToWrapsSourceThenDestination) {
  // 5 samples from offset 3 of a length-4 source into offset 6 of a length-8
  // destination: chunks of 1, 1 and 3.
  CircularBuffer<int> src, dst;
  int s[4] = {10, 11, 12, 13};
  int d[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  src.SetStorage(s, 4, 1, 0);
  dst.SetStorage(d, 8, 1, 0);
  src.CopyTo(3, dst, 6, 5);
  const std::vector<int> want = {11, 12, 13, -1, -1, -1, 13, 10};
  EXPECT_EQ(std::vector<int>(d, d + 8), want);

  // The same with both positions moved: offsets are relative to them.
  int d2[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  src.SetStorage(s, 4, 1, 1);
  dst.SetStorage(d2, 8, 1, 3);
  src.CopyTo(2, dst, 3, 5); // source index 3, destination index 6
  EXPECT_EQ(std::vector<int>(d2, d2 + 8), want);
}

TEST(CircularBuffer, CopyToSingleAndComplex) {
  CircularBuffer<std::complex<double>> a, b;
  std::complex<double> x[2] = {{1, 2}, {3, 4}};
  std::complex<double> y[1] = {};
  a.SetStorage(x, 2, 1, 1);
  b.SetStorage(y, 1, 1, 0);
  a.CopyTo(0, b, 0, 1);
  EXPECT_EQ(y[0], std::complex<double>(3, 4));
  // A block larger than a one-sample storage wraps on it.
  a.CopyTo(0, b, 0, 2);
  EXPECT_EQ(y[0], std::complex<double>(1, 2));
}

TEST(CircularBuffer, ReleaseAndZeroFill) {
  CircularBuffer<double> b;
  double *storage = static_cast<double *>(b.Allocate(4));
  b.SetStorage(storage, 4, 1, 3);
  EXPECT_TRUE(b.ZeroFill(0, 4));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(storage[i], 0.0);

  // A non-null argument frees that array only.
  void *other = b.Allocate(7);
  b.Release(other);
  EXPECT_EQ(b.GetData(), storage);
  EXPECT_EQ(b.GetLength(), 4u);
  EXPECT_EQ(b.GetPosition(), 3u);

  // A null argument frees the attached storage.
  b.Release(nullptr);
  EXPECT_EQ(b.GetData(), nullptr);
  EXPECT_EQ(b.GetLength(), 0u);
  EXPECT_EQ(b.GetPosition(), 0u);

  CircularBuffer<std::complex<double>> c;
  auto *z = static_cast<std::complex<double> *>(c.Allocate(3));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(z[i], std::complex<double>());
  c.Release(z);
}

TEST(CircularBufferBus, Resize) {
  CircularBufferBusT<CircularBuffer<double>> bus;
  EXPECT_EQ(bus.GetCount(), 0u);
  bus.Resize(2);
  ASSERT_EQ(bus.GetCount(), 2u);
  double s = 1.5;
  bus.BufferAt(1).SetStorage(&s, 1, 1, 0);
  bus.BufferAt(1).SetSize(4);
  auto *first = bus.GetBuffer(0);

  bus.Resize(2); // same count: the buffers stay, storage and sizes included
  EXPECT_EQ(bus.GetBuffer(0), first);
  EXPECT_EQ(bus.BufferAt(1).GetData(), &s);
  EXPECT_EQ(bus.BufferAt(1).GetMaxSize(), 4u);

  bus.Resize(3); // new count: fresh buffers without storage
  ASSERT_EQ(bus.GetCount(), 3u);
  for (uint64_t i = 0; i < 3; ++i) {
    EXPECT_EQ(bus.BufferAt(i).GetData(), nullptr);
    EXPECT_EQ(bus.BufferAt(i).GetSize(), 1u);
    EXPECT_EQ(bus.BufferAt(i).GetMaxSize(), 1u);
  }
  bus.Resize(0);
  EXPECT_EQ(bus.GetCount(), 0u);
  bus.Resize(1);
  EXPECT_EQ(bus.GetCount(), 1u);
}

// A block's sentence goes out as one line, whatever its length.
TEST(DFModel, ReportErrorWritesOneLinePerSentence) {
  const std::string longText(5000, 'x');
  struct Case {
    const char *text;
    std::string written;
  };
  const Case cases[] = {{"BlockSize must be >= 1", "BlockSize must be >= 1\n"},
                        {"", "\n"},
                        {nullptr, "\n"},
                        {longText.c_str(), longText + "\n"}};
  for (const Case &c : cases) {
    testing::internal::CaptureStderr();
    Varnholt::DFModel::ReportError(c.text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.written);
  }
}
