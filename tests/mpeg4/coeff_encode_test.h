// Shared helpers of the MPEG-4 / H.263 / H.261 coefficient writer tests: a
// uniform call of every writer, and the bits between two byte bit positions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kvnvc.h"

namespace coeffenc {

// The coefficient writers, one per syntax variant; flags as in the exported
// names.
enum class Syntax { kMpeg4Intra, kMpeg4Inter, kH263Intra, kH263Inter, kH261Intra, kH261Inter };

struct Variant {
  Syntax syntax;
  int rvlc = 0;      // MPEG-4
  int noDC = 0;      // MPEG-4 intra
  int advIntra = 0;  // H.263 intra
  int modQuant = 0;  // H.263
  int scan = 0;
};

inline KvnResult encode(const Variant& v, const int16_t* blk, uint8_t** pp, int32_t* off, int32_t count) {
  switch (v.syntax) {
    case Syntax::kMpeg4Intra: return kvniEncodeCoeffsIntra_MPEG4_16s1u(blk, pp, off, count, v.rvlc, v.noDC, v.scan);
    case Syntax::kMpeg4Inter: return kvniEncodeCoeffsInter_MPEG4_16s1u(blk, pp, off, count, v.rvlc, v.scan);
    case Syntax::kH263Intra:
      return kvniEncodeCoeffsIntra_H263_16s1u(blk, pp, off, count, v.advIntra, v.modQuant, v.scan);
    case Syntax::kH263Inter: return kvniEncodeCoeffsInter_H263_16s1u(blk, pp, off, count, v.modQuant, v.scan);
    case Syntax::kH261Intra: return kvniEncodeCoeffsIntra_H261_16s1u(blk, pp, off, count, v.scan);
    case Syntax::kH261Inter: return kvniEncodeCoeffsInter_H261_16s1u(blk, pp, off, count, v.scan);
  }
  return KVN_STS_ERR;
}

// Bits [from, to) of a buffer, most significant first, as '0'/'1'.
inline std::string bits(const uint8_t* buf, long from, long to) {
  std::string s;
  for (long i = from; i < to; ++i) s += char('0' + ((buf[i >> 3] >> (7 - (i & 7))) & 1));
  return s;
}

// A pattern without its spaces.
inline std::string pat(const char* p) {
  std::string s;
  for (; *p; ++p)
    if (*p != ' ') s += *p;
  return s;
}

}  // namespace coeffenc
