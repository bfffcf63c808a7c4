// A small n-dimensional array of doubles or complex doubles, laid out
// column-major. The s-domain filter keeps its poles and zeros in these.
#ifndef VARNHOLT_MODELS_SARNET_NDARRAY_H
#define VARNHOLT_MODELS_SARNET_NDARRAY_H

#include <complex>
#include <cstdint>

namespace Varnholt {

template <class T> class NdArray {
public:
  NdArray();
  ~NdArray();
  NdArray(const NdArray &) = delete;
  NdArray &operator=(const NdArray &) = delete;

  uint64_t GetSize() const { return size_; }
  uint64_t GetCapacity() const { return capacity_; }
  uint64_t GetDimensions() const { return dimensions_; }
  const uint64_t *GetShape() const { return shape_; }
  const uint64_t *GetStrides() const { return strides_; }
  T *GetData() const { return data_; }

  // Forgets the elements in use; shape, capacity and storage stay.
  void Clear() { size_ = 0; }
  // Element i in storage order; callers keep i below the size.
  T *ElementAt(uint64_t i) const { return data_ + i; }

  // n dimensions of the given extents. Growing beyond the capacity replaces
  // the storage without keeping its contents; anything smaller keeps both.
  void Reshape(uint64_t n, const uint64_t *extents);
  void ReshapeMatrix(uint64_t rows, uint64_t columns);
  // Replaces the storage by n fresh elements when n is not the capacity.
  void Reallocate(uint64_t n);

private:
  T *data_ = nullptr;
  uint64_t dimensions_ = 2;
  uint64_t *shape_;
  uint64_t size_ = 0;
  uint64_t capacity_ = 0;
  uint64_t *strides_;
};

extern template class NdArray<double>;
extern template class NdArray<std::complex<double>>;

} // namespace Varnholt

#endif
