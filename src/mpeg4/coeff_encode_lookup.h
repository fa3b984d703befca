// Encoding lookups of the MPEG-4 / H.263 / H.261 run-level code tables, built
// at compile time from the code tables of src/tables/ (the decoders' own), so
// that each (last, run, |level|) event costs one lookup.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvn {
namespace mpeg4 {

inline constexpr int kLookupMaxLevel = 31;  // larger than any table's largest level

// The codes of one table by (last, run, |level|), through per-(last, run)
// offsets. A code is stored with a 0 sign bit appended: (code << 1) << 8 |
// (length + 1).
template <size_t N>
struct RunLevelCodes {
  int32_t maxRun[2];                    // largest run with a code, per last; -1: none
  uint8_t lmax[2][64];                  // LMAX(last, run): largest level with a code, 0: none
  int8_t rmax[2][kLookupMaxLevel + 1];  // RMAX(last, level): largest run with a code, -1: none
  uint16_t first[2][64];                // index of (last, run, level 1) in codes
  uint32_t codes[N];
  bool valid;  // every entry in range, none twice, and (last, run, 1..LMAX) all coded

  // The code and length (sign bit included) of an event, 0 when the table has none.
  constexpr uint32_t find(int last, uint32_t run, uint32_t level) const {
    if (run > 63 || level - 1 >= lmax[last][run]) return 0;
    return codes[first[last][run] + level - 1];
  }
};

// One meaning of a code (the reversible codes have an intra and an inter one).
struct EventCode {
  uint16_t code;
  uint8_t length, last, run, level;
};

// From N table entries e with e.code, e.length (without the sign bit),
// e.last, e.run, e.level (absolute); entries with level 0 are not events and
// are skipped.
template <size_t N, class Entry>
constexpr RunLevelCodes<N> make_run_level_codes(const Entry* src) {
  RunLevelCodes<N> t{};
  t.valid = true;
  for (int l = 0; l < 2; ++l) {
    t.maxRun[l] = -1;
    for (int r = 0; r <= kLookupMaxLevel; ++r) t.rmax[l][r] = -1;
  }
  for (size_t i = 0; i < N; ++i) {
    const auto& e = src[i];
    if (e.level == 0) continue;
    if (e.last > 1 || e.run > 63 || e.level > kLookupMaxLevel || e.length < 1 || e.length > 23) {
      t.valid = false;
      continue;
    }
    const int l = e.last, r = e.run, v = e.level;
    if (t.lmax[l][r] < v) t.lmax[l][r] = uint8_t(v);
    if (t.rmax[l][v] < r) t.rmax[l][v] = int8_t(r);
    if (t.maxRun[l] < r) t.maxRun[l] = r;
  }
  size_t next = 0;
  for (int l = 0; l < 2; ++l)
    for (int r = 0; r < 64; ++r) {
      t.first[l][r] = uint16_t(next);
      next += t.lmax[l][r];
    }
  if (next > N) return t.valid = false, t;
  for (size_t i = 0; i < N; ++i) {
    const auto& e = src[i];
    if (e.level == 0 || e.last > 1 || e.run > 63 || e.level > kLookupMaxLevel) continue;
    uint32_t& c = t.codes[t.first[e.last][e.run] + e.level - 1];
    if (c) t.valid = false;
    c = (uint32_t(e.code) << 9) | uint32_t(e.length + 1);
  }
  for (size_t i = 0; i < next; ++i)
    if (!t.codes[i]) t.valid = false;
  return t;
}

template <class Entry, size_t N>
constexpr RunLevelCodes<N> make_run_level_codes(const Entry (&src)[N]) {
  return make_run_level_codes<N>(&src[0]);
}

// The intra or the inter meaning of the reversible codes.
template <bool kIntra, class Rvlc, size_t N>
constexpr RunLevelCodes<N> make_rvlc_codes(const Rvlc (&src)[N]) {
  EventCode e[N]{};
  for (size_t i = 0; i < N; ++i)
    e[i] = kIntra ? EventCode{src[i].code, src[i].length, src[i].intraLast, src[i].intraRun, src[i].intraLevel}
                  : EventCode{src[i].code, src[i].length, src[i].interLast, src[i].interRun, src[i].interLevel};
  return make_run_level_codes<N>(&e[0]);
}

// True when the lookup's LMAX and RMAX are those of `limits` (a table's
// RunLevelLimits, 0 where it has no code).
template <size_t N, class Limits>
constexpr bool same_limits(const RunLevelCodes<N>& t, const Limits& limits) {
  for (int l = 0; l < 2; ++l) {
    for (int r = 0; r < 64; ++r)
      if (t.lmax[l][r] != limits.lmax[l][r]) return false;
    for (int v = 1; v <= kLookupMaxLevel; ++v)
      if ((t.rmax[l][v] < 0 ? 0 : t.rmax[l][v]) != limits.rmax[l][v]) return false;
  }
  return true;
}

}  // namespace mpeg4
}  // namespace kvn
