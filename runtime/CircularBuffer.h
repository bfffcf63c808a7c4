// Circular sample buffers that join a producer block to its consumers, and
// buses (counted arrays of buffers) for ports with several connections.
#ifndef VARNHOLT_RUNTIME_CIRCULARBUFFER_H
#define VARNHOLT_RUNTIME_CIRCULARBUFFER_H

#include <complex>
#include <cstdint>
#include <cstring>

namespace Varnholt {

// The storage a buffer views is never its own: the model that allocated it
// frees it. Only Release(nullptr) frees the attached storage.
class CircularBufferBase {
public:
  virtual ~CircularBufferBase() = default;

  // Arguments in exactly this order: data, length, size, position.
  void SetStorage(void *data, uint64_t length, uint64_t size, uint64_t position) {
    data_ = data;
    length_ = length;
    size_ = size;
    position_ = position;
  }
  void SetSize(uint64_t n) {
    size_ = n;
    if (maxSize_ < n) maxSize_ = n;
  }
  // Storage index of offset k; callers keep k below the length. One compare
  // and subtract instead of a modulo: this is on the per-sample path.
  uint64_t WrapIndex(uint64_t k) const {
    if (k == 0) return position_;
    uint64_t i = position_ + k;
    if (i >= length_) i -= length_;
    return i;
  }
  void Advance() { position_ = WrapIndex(size_); }

  uint64_t GetSize() const { return size_; }
  uint64_t GetMaxSize() const { return maxSize_; }
  void SetMaxSize(uint64_t n) { maxSize_ = n; }
  bool MaxSizeIsZero() const { return maxSize_ == 0; }
  uint64_t GetPosition() const { return position_; }
  uint64_t GetLength() const { return length_; }
  uint64_t GetElementSize() const { return elementSize_; }
  bool IsConnected() const { return connected_ != 0; }
  void SetConnected(bool c) { connected_ = c ? 1 : 0; }

  virtual void CopyTo(uint64_t srcOffset, CircularBufferBase &dst, uint64_t dstOffset,
                      uint64_t n) const = 0;
  virtual void CopyElements(const void *src, void *dst, uint64_t n) const = 0;
  virtual bool ZeroFill(uint64_t offset, uint64_t n) = 0;
  virtual void *Allocate(uint64_t n) const = 0;
  virtual void Release(void *p) = 0;

protected:
  explicit CircularBufferBase(uint64_t elementSize) : elementSize_(elementSize) {}

  uint64_t size_ = 1;
  uint64_t maxSize_ = 1;
  uint8_t first_ = 0;
  uint64_t elementSize_;
  uint64_t position_ = 0;
  void *data_ = nullptr;
  uint64_t length_ = 0;
  uint8_t connected_ = 1;
};

template <class T> class CircularBuffer : public CircularBufferBase {
public:
  using value_type = T;
  CircularBuffer() : CircularBufferBase(sizeof(T)) {}

  T *GetData() const { return static_cast<T *>(data_); }
  T *ElementAt(uint64_t k) const { return GetData() + WrapIndex(k); }
  // The sample at the current position: what a one-sample connection holds.
  T &Sample() const { return GetData()[position_]; }

  void CopyTo(uint64_t srcOffset, CircularBufferBase &dstBase, uint64_t dstOffset,
              uint64_t n) const override {
    auto &dst = static_cast<CircularBuffer<T> &>(dstBase);
    uint64_t s = WrapIndex(srcOffset);
    uint64_t d = dst.WrapIndex(dstOffset);
    T *sd = GetData();
    T *dd = dst.GetData();
    if (n == 1) {
      dd[d] = sd[s];
      return;
    }
    // A storage of length 0 would never let the chunk loop finish.
    if (length_ == 0 || dst.length_ == 0) return;
    while (n != 0) {
      uint64_t chunk = length_ - s;
      if (dst.length_ - d < chunk) chunk = dst.length_ - d;
      if (n < chunk) chunk = n;
      std::memmove(dd + d, sd + s, chunk * sizeof(T));
      d += chunk;
      if (d == dst.length_) d = 0;
      s += chunk;
      if (s == length_) s = 0;
      n -= chunk;
    }
  }
  void CopyElements(const void *src, void *dst, uint64_t n) const override {
    if (n) std::memmove(dst, src, n * sizeof(T));
  }
  bool ZeroFill(uint64_t offset, uint64_t n) override {
    for (uint64_t i = 0; i < n; ++i) *ElementAt(offset + i) = T();
    return true;
  }
  void *Allocate(uint64_t n) const override { return AllocateArray(n); }
  void Release(void *p) override {
    if (p) {
      delete[] static_cast<T *>(p);
      return;
    }
    delete[] GetData();
    data_ = nullptr;
    position_ = 0;
    length_ = 0;
  }
  // The complex buffers come value-initialised to zero; the others do not.
  static T *AllocateArray(uint64_t n);
};

template <class T> inline T *CircularBuffer<T>::AllocateArray(uint64_t n) { return new T[n]; }
template <>
inline std::complex<double> *CircularBuffer<std::complex<double>>::AllocateArray(uint64_t n) {
  return new std::complex<double>[n]();
}

class CircularBufferBus {
public:
  virtual void Resize(uint64_t n) = 0;
  virtual ~CircularBufferBus() = default;
  virtual CircularBufferBase *GetBuffer(uint64_t i) = 0;
};

// Owns its array of buffers, never their storage.
template <class B> class CircularBufferBusT : public CircularBufferBus {
public:
  CircularBufferBusT() = default;
  CircularBufferBusT(const CircularBufferBusT &) = delete;
  CircularBufferBusT &operator=(const CircularBufferBusT &) = delete;
  ~CircularBufferBusT() override { delete[] buffers_; }

  // Throws when the array cannot be had; the bus is then empty, never a
  // count without its buffers.
  void Resize(uint64_t n) override {
    if (n == count_) return;
    delete[] buffers_;
    buffers_ = nullptr;
    count_ = 0;
    if (n > 0) buffers_ = new B[n];
    count_ = n;
  }
  CircularBufferBase *GetBuffer(uint64_t i) override { return &buffers_[i]; }
  B &BufferAt(uint64_t i) { return buffers_[i]; }
  const B &BufferAt(uint64_t i) const { return buffers_[i]; }
  uint64_t GetCount() const { return count_; }

private:
  uint64_t count_ = 0;
  B *buffers_ = nullptr;
};

extern template class CircularBuffer<double>;
extern template class CircularBuffer<int>;
extern template class CircularBuffer<std::complex<double>>;
extern template class CircularBufferBusT<CircularBuffer<double>>;
extern template class CircularBufferBusT<CircularBuffer<int>>;
extern template class CircularBufferBusT<CircularBuffer<std::complex<double>>>;

} // namespace Varnholt

#endif
