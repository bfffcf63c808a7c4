#include "models/Sarnet/NdArray.h"

#include <gtest/gtest.h>

#include <complex>

using Varnholt::NdArray;

TEST(NdArray, NewArrayHasTwoEmptyDimensionsAndNoData) {
  NdArray<double> a;
  EXPECT_EQ(a.GetDimensions(), 2u);
  EXPECT_EQ(a.GetSize(), 0u);
  EXPECT_EQ(a.GetCapacity(), 0u);
  EXPECT_EQ(a.GetData(), nullptr);
  EXPECT_EQ(a.GetShape()[0], 0u);
  EXPECT_EQ(a.GetShape()[1], 0u);
  EXPECT_EQ(a.GetStrides()[0], 0u);
  EXPECT_EQ(a.GetStrides()[1], 0u);
}

TEST(NdArray, ReshapeSetsSizeShapeAndColumnMajorStrides) {
  NdArray<double> a;
  a.ReshapeMatrix(1, 2);
  EXPECT_EQ(a.GetSize(), 2u);
  EXPECT_EQ(a.GetStrides()[0], 1u);
  EXPECT_EQ(a.GetStrides()[1], 1u);
  a.ReshapeMatrix(3, 4);
  EXPECT_EQ(a.GetSize(), 12u);
  EXPECT_EQ(a.GetShape()[0], 3u);
  EXPECT_EQ(a.GetShape()[1], 4u);
  EXPECT_EQ(a.GetStrides()[0], 1u);
  EXPECT_EQ(a.GetStrides()[1], 3u);

  const uint64_t ext[3] = {2, 3, 4};
  a.Reshape(3, ext);
  EXPECT_EQ(a.GetDimensions(), 3u);
  EXPECT_EQ(a.GetSize(), 24u);
  EXPECT_EQ(a.GetCapacity(), 24u);
  EXPECT_EQ(a.GetStrides()[0], 1u);
  EXPECT_EQ(a.GetStrides()[1], 2u);
  EXPECT_EQ(a.GetStrides()[2], 6u);
  // Fewer dimensions again: the arrays stay, the shape follows.
  a.ReshapeMatrix(5, 1);
  EXPECT_EQ(a.GetDimensions(), 2u);
  EXPECT_EQ(a.GetSize(), 5u);
  EXPECT_EQ(a.GetStrides()[1], 5u);

  a.Reshape(2, nullptr);
  EXPECT_EQ(a.GetSize(), 0u);
}

TEST(NdArray, ShrinkingKeepsStorageAndGrowingBackDoesNotAllocate) {
  NdArray<double> a;
  a.ReshapeMatrix(3, 4);
  for (uint64_t i = 0; i < 12; ++i) *a.ElementAt(i) = static_cast<double>(i);
  double *block = a.GetData();
  a.ReshapeMatrix(1, 2);
  EXPECT_EQ(a.GetData(), block);
  EXPECT_EQ(a.GetCapacity(), 12u);
  a.ReshapeMatrix(4, 3);
  EXPECT_EQ(a.GetData(), block);
  EXPECT_EQ(a.GetSize(), 12u);
  EXPECT_EQ(*a.ElementAt(11), 11.0);
  a.Clear();
  EXPECT_EQ(a.GetSize(), 0u);
  EXPECT_EQ(a.GetCapacity(), 12u);
  EXPECT_EQ(a.GetData(), block);
}

TEST(NdArray, ReallocateReplacesStorageOnlyForANewCapacity) {
  NdArray<double> a;
  a.Reallocate(4);
  double *block = a.GetData();
  ASSERT_NE(block, nullptr);
  a.Reallocate(4);
  EXPECT_EQ(a.GetData(), block);
  a.Reallocate(0);
  EXPECT_EQ(a.GetData(), nullptr);
  EXPECT_EQ(a.GetCapacity(), 0u);
}

TEST(NdArray, FreshComplexElementsAreZero) {
  NdArray<std::complex<double>> a;
  a.ReshapeMatrix(1, 2);
  ASSERT_EQ(a.GetSize(), 2u);
  EXPECT_EQ(*a.ElementAt(0), std::complex<double>(0, 0));
  EXPECT_EQ(*a.ElementAt(1), std::complex<double>(0, 0));
}
