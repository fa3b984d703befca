#include "cavlc_writer.h"

#include <algorithm>
#include <utility>

#include "h264_vlc_tables.h"

namespace kvnvlc {

void BitWriter::put(uint32_t bits, int n) {
  for (int i = n - 1; i >= 0; --i) {
    if (count_ % 32 == 0) words_.push_back(0);
    if (i < 32 && ((bits >> i) & 1)) words_.back() |= 1u << (31 - count_ % 32);  // zeros above bit 31
    ++count_;
  }
}

void BitWriter::put_ue(uint32_t v) {
  const uint64_t x = uint64_t(v) + 1;
  int zeros = 0;
  while ((x >> (zeros + 1)) != 0) ++zeros;
  put(0, zeros);
  if (zeros == 32) put(1, 1);  // x = 2^32: a 1 then 32 zero info bits
  put(uint32_t(x), std::min(zeros + 1, 32));
}

void BitWriter::put_se(int32_t v) {
  const int64_t x = v > 0 ? 2 * int64_t(v) - 1 : -2 * int64_t(v);
  put_ue(uint32_t(x));
}

std::vector<uint32_t> BitWriter::words(int spare, int padBit) const {
  std::vector<uint32_t> w = words_;
  const int used = int(count_ % 32);
  if (used && padBit) w.back() |= (1u << (32 - used)) - 1;
  w.insert(w.end(), std::size_t(spare), padBit ? ~0u : 0u);
  return w;
}

TotalZerosTable total_zeros_table(int maxCoeff, int totalCoeff) {
  if (maxCoeff >= 15) return {16, totalCoeff};
  if (maxCoeff <= 4) return {4, totalCoeff - maxCoeff + 4};
  if (maxCoeff <= 8) return {8, totalCoeff - maxCoeff + 8};
  return {16, totalCoeff - maxCoeff + 16};
}

namespace {

// The code tables, built once: coeff_token by nC -2..7, total_zeros by block
// size (4, 8, 16) and tzVlcIndex, run_before by zerosLeft (1..7, 7 standing
// for all above 6).
const std::vector<Code>& token_codes(int nC) {
  static const auto t = [] {
    std::vector<std::vector<Code>> v;
    for (int n = -2; n <= 7; ++n) v.push_back(coeff_token_codes(n));
    return v;
  }();
  return t[std::size_t(nC + 2)];
}
const std::vector<Code>& zeros_codes(int blockCoeffs, int index) {
  static const auto t = [] {
    constexpr int kSizes[3] = {4, 8, 16};
    std::vector<std::vector<Code>> v(3 * 16);
    for (int k = 0; k < 3; ++k)
      for (int i = 1; i < kSizes[k]; ++i) v[std::size_t(k * 16 + i)] = total_zeros_codes(kSizes[k], i);
    return v;
  }();
  return t[std::size_t((blockCoeffs == 4 ? 0 : blockCoeffs == 8 ? 1 : 2) * 16 + index)];
}
const std::vector<Code>& run_codes(int zerosLeft) {
  static const auto t = [] {
    std::vector<std::vector<Code>> v(8);
    for (int z = 1; z <= 7; ++z) v[std::size_t(z)] = run_before_codes(z);
    return v;
  }();
  return t[std::size_t(std::min(zerosLeft, 7))];
}

const Code* find(const std::vector<Code>& codes, int32_t value) {
  for (const Code& c : codes)
    if (c.value == value) return &c;
  return nullptr;
}

// The codeword order of a coeff_token column: shorter first, equal lengths by
// decreasing value.
std::vector<Code> in_codeword_order(std::vector<Code> codes) {
  std::stable_sort(codes.begin(), codes.end(),
                   [](const Code& a, const Code& b) { return a.len != b.len ? a.len < b.len : a.bits > b.bits; });
  return codes;
}

}  // namespace

bool write_cavlc_block(BitWriter& w, const CavlcBlock& b, const CavlcCoding& c) {
  const int tc = b.totalCoeff, t1 = b.trailingOnes;
  const int blockCoeffs = c.nC == -1 ? 4 : c.nC == -2 ? 8 : 16;
  if (tc < 0 || tc > blockCoeffs || t1 < 0 || t1 > std::min(tc, 3) || c.nC < -2) return false;
  std::vector<std::pair<uint32_t, int>> out;  // (bits, count), written only when all is codable

  // coeff_token
  int tcCoded = tc, t1Coded = t1;
  if (c.nC >= 0 && c.rangeCoeffs < 16) {
    const int n = c.rangeCoeffs;
    const std::vector<Code> order = in_codeword_order(token_codes(std::min(c.nC, 7)));
    int rank = -1, r = 0;
    for (const Code& k : order)
      if ((k.value >> 8) <= n && (k.value & 0xff) <= std::min(n, 3)) {
        if (k.value == (tc << 8 | t1)) rank = r;
        ++r;
      }
    if (rank < 0) return false;
    tcCoded = order[std::size_t(rank)].value >> 8;
    t1Coded = order[std::size_t(rank)].value & 0xff;
  }
  if (c.nC >= 8) {
    out.emplace_back(tcCoded ? uint32_t((tcCoded - 1) << 2 | t1Coded) : 3u, 6);
  } else {
    const std::vector<Code>& codes = token_codes(std::min(c.nC, 7));
    const Code* k = find(codes, tcCoded << 8 | t1Coded);
    if (!k) return false;
    out.emplace_back(k->bits, k->len);
  }

  if (tc > 0) {
    out.emplace_back(uint32_t(b.signs) & ((1u << t1) - 1), t1);

    // Levels (clause 9.2.2.1, inverted).
    int suffixLength = tc > 10 && t1 < 3 ? 1 : 0;
    for (int i = 0; i < tc - t1; ++i) {
      const int64_t level = b.levels[i];
      int64_t code = level > 0 ? 2 * level - 2 : -2 * level - 1;
      if (i == 0 && t1 < 3) code -= 2;
      if (level == 0 || code < 0) return false;
      int prefix;
      int64_t suffix = 0;
      int suffixBits = 0;
      if (suffixLength == 0 && code < 14) {
        prefix = int(code);
      } else if (suffixLength == 0 && code < 30) {
        prefix = 14, suffix = code - 14, suffixBits = 4;
      } else if (suffixLength > 0 && code < (int64_t(15) << suffixLength)) {
        prefix = int(code >> suffixLength), suffix = code & ((1 << suffixLength) - 1), suffixBits = suffixLength;
      } else {
        const int64_t escape = code - (int64_t(15) << suffixLength) - (suffixLength == 0 ? 15 : 0);
        prefix = 15, suffix = escape, suffixBits = 12;
        if (escape >= 4096) {
          prefix = 16;
          while (escape + 4096 >= (int64_t(1) << (prefix - 2))) ++prefix;
          if (prefix > 32) return false;
          suffixBits = prefix - 3;
          suffix = escape + 4096 - (int64_t(1) << suffixBits);
        }
      }
      for (int z = prefix; z > 0; z -= 16) out.emplace_back(0u, std::min(z, 16));
      out.emplace_back(1u, 1);
      out.emplace_back(uint32_t(suffix), suffixBits);
      if (suffixLength == 0) suffixLength = 1;
      if ((level < 0 ? -level : level) > (3 << (suffixLength - 1)) && suffixLength < 6) ++suffixLength;
    }

    // total_zeros and run_before.
    if (tc < c.maxCoeff) {
      const TotalZerosTable t = total_zeros_table(c.maxCoeff, tc);
      if (t.index < 1 || t.index >= t.blockCoeffs) return false;
      if (t.index < 1 || t.index >= t.blockCoeffs) return false;
      const std::vector<Code>& codes = zeros_codes(t.blockCoeffs, t.index);
      const Code* k = find(codes, b.totalZeros);
      if (!k) return false;
      out.emplace_back(k->bits, k->len);
    } else if (b.totalZeros != 0) {
      return false;
    }
    int zerosLeft = b.totalZeros;
    for (int i = 0; i < tc - 1 && zerosLeft > 0; ++i) {
      const std::vector<Code>& codes = run_codes(zerosLeft);
      const Code* k = find(codes, b.runs[i]);
      if (!k) return false;
      out.emplace_back(k->bits, k->len);
      zerosLeft -= b.runs[i];
    }
  }
  for (const auto& [bits, n] : out) w.put(bits, n);
  return true;
}

}  // namespace kvnvlc
