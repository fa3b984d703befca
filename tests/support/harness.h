// Randomised differential harness: random and extreme inputs, tight input
// allocations (so AddressSanitizer sees over-reads), output areas with guard
// bytes, every alignment and signed steps.
//
// Seeds: see rng.h; the seed is printed with every failure.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "core/dispatch.h"
#include "rng.h"
#include "slots.h"

namespace kvntest {

// How the bytes of an area are drawn.
enum class Fill {
  kRandom,       // uniform bytes
  kZero,         // all 0
  kMax,          // all 0xff
  kExtremes,     // each byte 0 or 0xff at random
  kNearExtreme,  // bytes within 2 of 0 or of 0xff
};
constexpr Fill kAllFills[] = {Fill::kRandom, Fill::kZero, Fill::kMax, Fill::kExtremes, Fill::kNearExtreme};

// A 2-D area of rows x rowBytes bytes at `step` bytes from row to row (negative:
// the rows go up in memory), with the first sample `align` (0..15) bytes past a
// 16-byte boundary, surrounded by `margin` guard bytes on each side of the span
// it covers. The allocation is exactly that span: inputs use margin 0, so the
// allocation ends at the last byte a kernel may read and AddressSanitizer
// reports any read past it. Copies keep geometry and alignment.
class Area {
 public:
  Area(int rowBytes, int rows, int step, int align, int margin = 0);
  Area(const Area& other);
  Area& operator=(const Area&) = delete;

  uint8_t* origin() { return mem_.get() + origin_; }
  const uint8_t* origin() const { return mem_.get() + origin_; }
  template <class T>
  T* as() {
    return reinterpret_cast<T*>(origin());
  }
  template <class T>
  const T* as() const {
    return reinterpret_cast<const T*>(origin());
  }
  int step() const { return step_; }
  int row_bytes() const { return row_bytes_; }
  int rows() const { return rows_; }

  void fill(Rng& rng, Fill kind);
  // Fills the bytes as int16 values: uniform, or extremes (-32768, 32767,
  // +-255, +-256, 0) mixed with random ones.
  void fill_i16(Rng& rng, bool extremes);

  // The whole allocation, guards included.
  const uint8_t* data() const { return mem_.get(); }
  std::size_t size() const { return size_; }
  // True when the byte at offset i of the allocation lies inside the block.
  bool in_block(std::size_t i) const;

 private:
  std::unique_ptr<uint8_t[]> mem_;  // operator new[] aligns to 16 bytes
  std::size_t size_ = 0, origin_ = 0;
  int row_bytes_, rows_, step_, align_, margin_;
};

// Compares two output areas of equal geometry byte for byte, guards included,
// and checks that `got`'s guard bytes still equal those of `before`.
::testing::AssertionResult same_area(const Area& before, const Area& want, const Area& got);

// Every differential test notes each SIMD kernel it compares with its scalar
// reference, where it calls it (returns the kernel, to be called in place).
// After a run of the whole binary, a kernel-table slot that differs from the
// scalar one and was never noted fails (slot_coverage_test.cpp).
void note_compared_kernel(AnyFn fn);
bool was_compared(AnyFn fn);
template <class Fn>
Fn note_compared(Fn fn) {
  static_assert(std::is_function_v<std::remove_pointer_t<Fn>>, "a kernel pointer");
  note_compared_kernel(reinterpret_cast<AnyFn>(fn));
  return fn;
}

// SIMD levels this host can run, above the scalar one.
std::vector<kvn::Isa> simd_levels();

// A step for an area of rowBytes: the width itself, a wider one, or (when
// allowNegative) either of them negated; alignment-friendly and odd values.
int random_step(Rng& rng, int rowBytes, bool allowNegative);

}  // namespace kvntest
