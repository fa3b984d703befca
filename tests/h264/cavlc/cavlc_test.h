// Shared by the CAVLC tests: calls of every decoder through the exported
// names with the standard tables (or the caller's overrides), a packed buffer
// between guard values, and random blocks of a chosen shape.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cavlc_writer.h"
#include "h264_vlc_tables.h"
#include "kvnvc.h"

namespace cavlctest {

constexpr Kvn32s kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
constexpr int kScan2x4[8] = {0, 2, 1, 4, 6, 3, 5, 7};
constexpr int32_t kGuard = 0x5a5a;

enum class Kind { k16s, k32s, kRange, kDc2x2_16s, kDc2x2_32s, kDc2x4_16s, kDc2x4_32s };
constexpr Kind kKinds[] = {Kind::k16s,       Kind::k32s,       Kind::kRange,    Kind::kDc2x2_16s,
                           Kind::kDc2x2_32s, Kind::kDc2x4_16s, Kind::kDc2x4_32s};
inline bool is_dc(Kind k) { return k >= Kind::kDc2x2_16s; }
inline bool is_32(Kind k) { return k == Kind::k32s || k == Kind::kDc2x2_32s || k == Kind::kDc2x4_32s; }
inline int entries(Kind k) { return k == Kind::kDc2x2_16s || k == Kind::kDc2x2_32s ? 4 : is_dc(k) ? 8 : 16; }

struct Call {
  Kind kind = Kind::k16s;
  int nC = 0, maxCoeff = 16, start = 0, end = 15;
  const Kvn32s* scan = kZigzag;
  // Tables: null takes the standard ones.
  const Kvn32s* const* coeffToken = nullptr;
  const Kvn32s* dcToken = nullptr;
  const Kvn32s* const* totalZeros = nullptr;
  const Kvn32s* const* runBefore = nullptr;
};

struct Result {
  KvnResult status;
  Kvn16s numCoeff;
  long advanced;              // entries the buffer pointer moved
  std::vector<int32_t> coef;  // the block's entries
};

// The total_zeros array of the range member for a maximum count.
inline const Kvn32s* const* range_total_zeros(const kvnvlc::CavlcTables& t, int maxCoeff) {
  return maxCoeff <= 4 ? t.total_zeros_dc2x2() : maxCoeff <= 8 ? t.total_zeros_dc2x4() : t.total_zeros();
}

template <class T>
Result run(const Call& c, const kvnvlc::CavlcTables& t, Kvn32u** pp, Kvn32u* idx) {
  const int n = entries(c.kind);
  std::vector<T> buf(std::size_t(n) + 2, T(kGuard));
  T* p = buf.data() + 1;
  Result r{};
  r.numCoeff = -7;
  const Kvn32s* const* tz = c.totalZeros             ? c.totalZeros
                            : c.kind == Kind::kRange ? range_total_zeros(t, c.maxCoeff)
                            : c.kind == Kind::kDc2x2_16s || c.kind == Kind::kDc2x2_32s ? t.total_zeros_dc2x2()
                            : is_dc(c.kind)                                            ? t.total_zeros_dc2x4()
                                                                                       : t.total_zeros();
  const Kvn32s* const* ct = c.coeffToken ? c.coeffToken : t.coeff_token();
  const Kvn32s* const* rb = c.runBefore ? c.runBefore : t.run_before();
  const Kvn32s* dct = c.dcToken ? c.dcToken : n == 4 ? t.coeff_token_dc2x2() : t.coeff_token_dc2x4();
  if constexpr (sizeof(T) == 2) {
    switch (c.kind) {
      case Kind::k16s:
        r.status =
            kvniDecodeCAVLCCoeffs_H264_1u16s(pp, idx, &r.numCoeff, &p, c.nC, Kvn16s(c.maxCoeff), ct, tz, rb, c.scan);
        break;
      case Kind::kRange:
        r.status = kvniDecodeCAVLCCoeffsIdxs_H264_1u16s(pp, idx, &r.numCoeff, &p, c.nC, Kvn16s(c.maxCoeff), ct, tz, rb,
                                                        c.scan, c.start, c.end);
        break;
      case Kind::kDc2x2_16s:
        r.status = kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s(pp, idx, &r.numCoeff, &p, dct, tz, rb);
        break;
      default: r.status = kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(pp, idx, &r.numCoeff, &p, dct, tz, rb);
    }
  } else {
    switch (c.kind) {
      case Kind::k32s:
        r.status =
            kvniDecodeCAVLCCoeffs_H264_1u32s(pp, idx, &r.numCoeff, &p, c.nC, Kvn16s(c.maxCoeff), ct, tz, rb, c.scan);
        break;
      case Kind::kDc2x2_32s:
        r.status = kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(pp, idx, &r.numCoeff, &p, dct, tz, rb);
        break;
      default: r.status = kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(pp, idx, &r.numCoeff, &p, dct, tz, rb);
    }
  }
  EXPECT_EQ(buf.front(), T(kGuard));
  EXPECT_EQ(buf.back(), T(kGuard));
  r.advanced = long(p - (buf.data() + 1));
  r.coef.assign(buf.begin() + 1, buf.end() - 1);
  return r;
}

inline Result decode(const Call& c, const kvnvlc::CavlcTables& t, Kvn32u** pp, Kvn32u* idx) {
  return is_32(c.kind) ? run<int32_t>(c, t, pp, idx) : run<int16_t>(c, t, pp, idx);
}

// Bit position after `bits` stream bits from words[0] bit 31.
struct Pos {
  Kvn32u* word;
  Kvn32u index;
};
inline Pos pos_at(std::vector<uint32_t>& words, std::size_t bits) {
  return {words.data() + bits / 32, Kvn32u(31 - bits % 32)};
}

}  // namespace cavlctest
