#include "harness.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

namespace kvntest {

Area::Area(int rowBytes, int rows, int step, int align, int margin)
    : row_bytes_(rowBytes), rows_(rows), step_(step), align_(align), margin_(margin) {
  const std::size_t abs_step = std::size_t(step < 0 ? -step : step);
  const std::size_t span = std::size_t(rows - 1) * abs_step + std::size_t(rowBytes);
  const std::size_t first_row = (std::size_t(margin) + 15) / 16 * 16 + std::size_t(align);
  size_ = first_row + span + std::size_t(margin);
  mem_.reset(new uint8_t[size_]());
  origin_ = step < 0 ? first_row + std::size_t(rows - 1) * abs_step : first_row;
}

Area::Area(const Area& o) : Area(o.row_bytes_, o.rows_, o.step_, o.align_, o.margin_) {
  std::memcpy(mem_.get(), o.mem_.get(), size_);
}

void Area::fill(Rng& rng, Fill kind) {
  for (std::size_t i = 0; i < size_; ++i) {
    uint8_t v = 0;
    switch (kind) {
      case Fill::kRandom: v = rng.byte(); break;
      case Fill::kZero: v = 0; break;
      case Fill::kMax: v = 0xff; break;
      case Fill::kExtremes: v = rng.coin() ? 0xff : 0; break;
      case Fill::kNearExtreme: v = uint8_t(rng.coin() ? 0xff - rng.range(0, 2) : rng.range(0, 2)); break;
    }
    mem_[i] = v;
  }
}

void Area::fill_i16(Rng& rng, bool extremes) {
  static const int16_t kSpecial[] = {-32768, 32767, -32767, 255, -255, 256, -256, 0, 1, -1, 32512, -32513};
  for (std::size_t i = 0; i + 1 < size_; i += 2) {
    int16_t v = int16_t(rng.u32());
    if (extremes && rng.coin()) v = kSpecial[rng.range(0, int(sizeof kSpecial / sizeof kSpecial[0]) - 1)];
    std::memcpy(&mem_[i], &v, 2);
  }
}

bool Area::in_block(std::size_t i) const {
  for (int r = 0; r < rows_; ++r) {
    const std::size_t start = std::size_t(std::ptrdiff_t(origin_) + std::ptrdiff_t(r) * step_);
    if (i >= start && i < start + std::size_t(row_bytes_)) return true;
  }
  return false;
}

static std::string where(const Area& a, std::size_t i, const uint8_t* origin, const uint8_t* base) {
  std::ostringstream s;
  const std::ptrdiff_t off = std::ptrdiff_t(i) - (origin - base);
  if (a.in_block(i)) {
    for (int r = 0; r < a.rows(); ++r) {
      const std::ptrdiff_t c = off - std::ptrdiff_t(r) * a.step();
      if (c >= 0 && c < a.row_bytes()) s << "row " << r << " byte " << c;
    }
  } else {
    s << "guard byte at offset " << off << " from the block origin";
  }
  return s.str();
}

::testing::AssertionResult same_area(const Area& before, const Area& want, const Area& got) {
  const uint8_t* w = want.data();
  const uint8_t* g = got.data();
  const uint8_t* b = before.data();
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (!got.in_block(i) && g[i] != b[i])
      return ::testing::AssertionFailure() << "stray write: " << where(got, i, got.origin(), g) << " (" << int(b[i])
                                           << " -> " << int(g[i]) << "), " << seed_note();
    if (g[i] != w[i])
      return ::testing::AssertionFailure() << "mismatch at " << where(got, i, got.origin(), g) << ": want " << int(w[i])
                                           << ", got " << int(g[i]) << ", " << seed_note();
  }
  return ::testing::AssertionSuccess();
}

static std::set<AnyFn>& compared() {
  static std::set<AnyFn> fns;
  return fns;
}
void note_compared_kernel(AnyFn fn) { compared().insert(fn); }
bool was_compared(AnyFn fn) { return compared().count(fn) != 0; }

std::vector<kvn::Isa> simd_levels() {
  std::vector<kvn::Isa> v;
  for (int i = 1; i < int(kvn::Isa::kCount); ++i)
    if (kvn::isa_supported(kvn::Isa(i))) v.push_back(kvn::Isa(i));
  return v;
}

int random_step(Rng& rng, int rowBytes, bool allowNegative) {
  int step = rowBytes;
  switch (rng.range(0, 3)) {
    case 0: step = rowBytes; break;
    case 1: step = rowBytes + rng.range(1, 15); break;  // odd and unaligned steps
    case 2: step = (rowBytes + 15) / 16 * 16 + 16 * rng.range(0, 3); break;
    default: step = rowBytes + rng.range(16, 200); break;
  }
  return allowNegative && rng.coin() ? -step : step;
}

}  // namespace kvntest
