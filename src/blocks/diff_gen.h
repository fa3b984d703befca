// Table generators of the difference kernels: each slot index of diff.h mapped
// to the template arguments of its kernel. K is a level's set of kernels, as
// static constexpr variable templates of the kernel types:
//   get_diff<W, H, Code, Round, WithPred>, get_diff_b<W, H, CodeF, CodeB, Round>,
//   get_diff_p2<H, Code, Round>, get_diff_p2b<H, CodeF, CodeB, Round>,
//   sums_diff<N, WithDiff>, sums_diff16u<N, WithDiff>, sums_diff_p2<WithDiffU, WithDiffV>
// (a level names only those it has; the put_* functions are constexpr so that
// the scalar table is built at compile time).
#pragma once

#include <array>

#include "block_pred.h"
#include "diff.h"

namespace kvn {
namespace gen {

template <class K, int W, int H, bool WithPred>
struct GetDiff {
  template <std::size_t I>
  static constexpr GetDiffFn get() {
    return K::template get_diff<W, H, kModeCode[I / 2], I % 2, WithPred>;
  }
};
template <class K, int W, int H>
struct GetDiffB {
  template <std::size_t I>
  static constexpr GetDiffBFn get() {
    return K::template get_diff_b<W, H, kModeCode[(I / 2) % 4], kModeCode[I / 8], I % 2>;
  }
};
template <class K, int H>
struct GetDiffP2 {
  template <std::size_t I>
  static constexpr GetDiffP2Fn get() {
    return K::template get_diff_p2<H, kModeCode[I / 2], I % 2>;
  }
};
template <class K, int H>
struct GetDiffP2B {
  template <std::size_t I>
  static constexpr GetDiffP2BFn get() {
    return K::template get_diff_p2b<H, kModeCode[(I / 2) % 4], kModeCode[I / 8], I % 2>;
  }
};

// The one- and two-reference slots of one size.
template <class K, int W, int H>
constexpr void put_get_diff(DiffKernels& k, DiffSize size) {
  k.get_diff[size][0] = make_table<GetDiff<K, W, H, false>, 8>();
  k.get_diff[size][1] = make_table<GetDiff<K, W, H, true>, 8>();
  k.get_diff_b[size] = make_table<GetDiffB<K, W, H>, 32>();
}

template <class K>
constexpr void put_get_diff16(DiffKernels& k) {
  put_get_diff<K, 16, 8>(k, kDiff16x8);
  put_get_diff<K, 16, 16>(k, kDiff16x16);
}

template <class K>
constexpr void put_get_diff8(DiffKernels& k) {
  put_get_diff<K, 8, 4>(k, kDiff8x4);
  put_get_diff<K, 8, 8>(k, kDiff8x8);
  put_get_diff<K, 8, 16>(k, kDiff8x16);
}

template <class K>
constexpr void put_get_diff_p2(DiffKernels& k) {
  k.get_diff_p2[kDiffP2_8x4] = make_table<GetDiffP2<K, 4>, 8>();
  k.get_diff_p2[kDiffP2_8x8] = make_table<GetDiffP2<K, 8>, 8>();
  k.get_diff_p2b[kDiffP2_8x4] = make_table<GetDiffP2B<K, 4>, 32>();
  k.get_diff_p2b[kDiffP2_8x8] = make_table<GetDiffP2B<K, 8>, 32>();
}

// Every SumsDiff slot.
template <class K>
constexpr void put_sums_diff(DiffKernels& k) {
  k.sums_diff[kSums8x8][0] = K::template sums_diff<8, false>;
  k.sums_diff[kSums8x8][1] = K::template sums_diff<8, true>;
  k.sums_diff[kSums16x16][0] = K::template sums_diff<16, false>;
  k.sums_diff[kSums16x16][1] = K::template sums_diff<16, true>;
  k.sums_diff16u[kSums8x8][0] = K::template sums_diff16u<8, false>;
  k.sums_diff16u[kSums8x8][1] = K::template sums_diff16u<8, true>;
  k.sums_diff16u[kSums16x16][0] = K::template sums_diff16u<16, false>;
  k.sums_diff16u[kSums16x16][1] = K::template sums_diff16u<16, true>;
  k.sums_diff_p2[0] = K::template sums_diff_p2<false, false>;
  k.sums_diff_p2[1] = K::template sums_diff_p2<true, false>;
  k.sums_diff_p2[2] = K::template sums_diff_p2<false, true>;
  k.sums_diff_p2[3] = K::template sums_diff_p2<true, true>;
}

}  // namespace gen
}  // namespace kvn
