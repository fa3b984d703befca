// Squared-error costs: kernel types and tables.
//
// Each kernel returns the sum over the block of (s - p)^2, s the source and p
// the prediction of the reference at the position that its slot stands for
// (reference interpolation mode, half-sample averages rounded up):
//   index 0 full sample, 1 vertical half (one more row is read), 2 horizontal
//   half (one more column), 3 centre (both);
// the entries take the index from the bits of value 4 and 8 of the mode,
// (mode & 12) / 4, and ignore the other bits. The two-reference kernels
// predict (p1 + p2 + 1) >> 1 from the predictions of both references, at index
// (mode1 & 12) / 4 + (mode2 & 12).
//
// Kernels read the block (and the one extra row and/or column of a half-sample
// position) and nothing else; steps are signed byte distances and nothing is
// assumed about alignment. The sums are exact (at most 256 * 255^2 < 2^24).
// Kernels store the sum through their last argument and return KVN_STS_OK, so
// that each entry ends in a tail call.
#pragma once

#include <array>
#include <cstdint>

#include "block_pred.h"
#include "core/dispatch.h"
#include "kvncore.h"

namespace kvn {

using SsdFn = KvnResult (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref, int32_t refStep, uint32_t* ssd);
using SsdBFn = KvnResult (*)(const uint8_t* src, int32_t srcStep, const uint8_t* ref1, int32_t ref1Step,
                             const uint8_t* ref2, int32_t ref2Step, uint32_t* ssd);

enum SsdSize { kSsd4x4, kSsd8x8, kSsd16x16, kSsdSizes };

inline int ssd_index(int32_t mode) { return (mode & 12) >> 2; }
inline int ssd_b_index(int32_t mode1, int32_t mode2) { return ssd_index(mode1) + (mode2 & 12); }

struct SsdKernels {
  std::array<SsdFn, 4> ssd[kSsdSizes];
  std::array<SsdBFn, 16> ssd_b16x16;
};

// Table generators for make_table (block_pred.h) over the kernel templates of
// one level, K::one<Size, Code> and K::two<Code1, Code2> (half-sample codes).
template <class K, int Size>
struct SsdSlots {
  template <std::size_t I>
  static constexpr SsdFn get() {
    return K::template one<Size, kModeCode[I]>;
  }
};
template <class K>
struct SsdBSlots {
  template <std::size_t I>
  static constexpr SsdBFn get() {
    return K::template two<kModeCode[I % 4], kModeCode[I / 4]>;
  }
};

// The scalar table kSsdKernelsC, the table of each level ssd_kernels(isa), the
// chosen one ssd_kernels() and the SIMD steps ssd_init_<level>: see
// KVN_DECLARE_FAMILY (core/dispatch.h).
KVN_DECLARE_FAMILY(ssd, SsdKernels);

}  // namespace kvn
