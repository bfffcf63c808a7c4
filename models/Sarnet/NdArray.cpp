// Storage and reshaping of the n-dimensional array, and its double and
// complex double instantiations.
#include "models/Sarnet/NdArray.h"

namespace Varnholt {

template <class T>
NdArray<T>::NdArray() : shape_(new uint64_t[2]()), strides_(new uint64_t[2]()) {}

template <class T> NdArray<T>::~NdArray() {
  delete[] data_;
  delete[] shape_;
  delete[] strides_;
}

template <class T> void NdArray<T>::Reallocate(uint64_t n) {
  if (n == capacity_) return;
  capacity_ = n;
  delete[] data_;
  // std::complex zero-initialises itself; doubles stay uncleared.
  data_ = n ? new T[n] : nullptr;
}

template <class T> void NdArray<T>::Reshape(uint64_t n, const uint64_t *extents) {
  uint64_t newSize = 0;
  if (extents && n > 0) {
    newSize = 1;
    for (uint64_t i = 0; i < n; ++i) newSize *= extents[i];
  }
  if (n > dimensions_) {
    delete[] shape_;
    delete[] strides_;
    shape_ = new uint64_t[n]();
    strides_ = new uint64_t[n]();
  }
  dimensions_ = n;
  size_ = newSize;
  if (newSize > capacity_) Reallocate(newSize);
  for (uint64_t i = 0; i < n; ++i) {
    shape_[i] = extents ? extents[i] : 0;
    strides_[i] = i == 0 ? 1 : strides_[i - 1] * shape_[i - 1];
  }
}

template <class T> void NdArray<T>::ReshapeMatrix(uint64_t rows, uint64_t columns) {
  const uint64_t extents[2] = {rows, columns};
  Reshape(2, extents);
}

template class NdArray<double>;
template class NdArray<std::complex<double>>;

} // namespace Varnholt
