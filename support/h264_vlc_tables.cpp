#include "h264_vlc_tables.h"

#include <algorithm>

#include "h264_cavlc_codes.h"

namespace kvnvlc {
namespace {

constexpr int32_t kLinkFlag = 0x80;

bool starts_with(const Code& c, uint32_t pattern, int len) {
  return c.len > len && (c.bits >> (c.len - len)) == pattern;
}

// Fills the level at out[at] for the codes that begin with `prefix` (plen bits).
void build_level(std::vector<int32_t>& out, std::size_t at, const std::vector<Code>& codes, uint32_t prefix, int plen,
                 int bits, int subBits) {
  out[at] = bits;
  for (uint32_t idx = 0; idx < (1u << bits); ++idx) {
    const uint32_t pattern = prefix << bits | idx;
    const int len = plen + bits;
    int32_t entry = kInvalidValue << 8;
    int longest = 0;
    for (const Code& c : codes) {
      if (c.len <= len && c.len > plen && (pattern >> (len - c.len)) == c.bits) entry = c.value << 8 | (len - c.len);
      if (starts_with(c, pattern, len)) longest = std::max(longest, c.len);
    }
    if (longest) {
      const int sub = std::min(subBits, longest - len);
      const std::size_t o = out.size();
      out.resize(o + 1 + (std::size_t(1) << sub));
      build_level(out, o, codes, pattern, len, sub, subBits);
      entry = int32_t(o << 8) | kLinkFlag;
    }
    out[at + 1 + idx] = entry;
  }
}

Code code_of(const char* s, int32_t value) {
  const VlcCode c = vlc_code(s);
  return {c.len, c.bits, value};
}

}  // namespace

std::vector<int32_t> build_vlc_table(const std::vector<Code>& codes, int firstBits, int subBits) {
  int longest = 1;
  for (const Code& c : codes) longest = std::max(longest, c.len);
  const int first = std::min(firstBits, longest);
  std::vector<int32_t> out(1 + (std::size_t(1) << first));
  build_level(out, 0, codes, 0, 0, first, std::max(1, subBits));
  return out;
}

std::vector<Code> coeff_token_codes(int nC) {
  std::vector<Code> v;
  const int rows = nC == -1 ? 5 : nC == -2 ? 9 : 17;
  for (int tc = 0; tc < rows; ++tc)
    for (int t1 = 0; t1 < 4; ++t1) {
      const char* s = nC == -1   ? kCoeffTokenDc2x2[tc][t1]
                      : nC == -2 ? kCoeffTokenDc2x4[tc][t1]
                                 : kCoeffToken4x4[nC < 2   ? 0
                                                  : nC < 4 ? 1
                                                           : 2][tc][t1];
      const Code c = code_of(s, tc << 8 | t1);
      if (c.len) v.push_back(c);
    }
  return v;
}

std::vector<Code> total_zeros_codes(int blockCoeffs, int tzVlcIndex) {
  std::vector<Code> v;
  for (int tz = 0; tz + tzVlcIndex <= blockCoeffs; ++tz) {
    const char* s = blockCoeffs == 4   ? kTotalZerosDc2x2[tzVlcIndex - 1][tz]
                    : blockCoeffs == 8 ? kTotalZerosDc2x4[tzVlcIndex - 1][tz]
                                       : kTotalZeros4x4[tzVlcIndex - 1][tz];
    const Code c = code_of(s, tz);
    if (c.len) v.push_back(c);
  }
  return v;
}

std::vector<Code> run_before_codes(int zerosLeft) {
  std::vector<Code> v;
  const int row = std::min(zerosLeft, 7) - 1;
  for (int run = 0; run < 15; ++run) {
    const Code c = code_of(kRunBefore[row][run], run);
    if (c.len) v.push_back(c);
  }
  return v;
}

CavlcTables::CavlcTables(int firstBits, int subBits) {
  auto add = [&](const std::vector<Code>& codes) {
    store_.push_back(build_vlc_table(codes, firstBits, subBits));
    return store_.size() - 1;
  };
  std::size_t ct[3], dc[2], tz[16] = {}, tz2[4] = {}, tz4[8] = {}, rb[8] = {};
  for (int i = 0; i < 3; ++i) ct[i] = add(coeff_token_codes(2 * i));
  dc[0] = add(coeff_token_codes(-1));
  dc[1] = add(coeff_token_codes(-2));
  for (int i = 1; i < 16; ++i) tz[i] = add(total_zeros_codes(16, i));
  for (int i = 1; i < 4; ++i) tz2[i] = add(total_zeros_codes(4, i));
  for (int i = 1; i < 8; ++i) tz4[i] = add(total_zeros_codes(8, i));
  for (int i = 1; i < 8; ++i) rb[i] = add(run_before_codes(i));
  // Pointers only once the store is complete.
  for (int i = 0; i < 3; ++i) coeffToken_[i] = store_[ct[i]].data();
  for (int i = 0; i < 2; ++i) coeffTokenDc_[i] = store_[dc[i]].data();
  totalZeros_[0] = totalZerosDc2x2_[0] = totalZerosDc2x4_[0] = runBefore_[0] = nullptr;
  for (int i = 1; i < 16; ++i) totalZeros_[i] = store_[tz[i]].data();
  for (int i = 1; i < 4; ++i) totalZerosDc2x2_[i] = store_[tz2[i]].data();
  for (int i = 1; i < 8; ++i) totalZerosDc2x4_[i] = store_[tz4[i]].data();
  for (int i = 1; i < 16; ++i) runBefore_[i] = store_[rb[std::min(i, 7)]].data();
}

}  // namespace kvnvlc
