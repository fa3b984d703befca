// Residual data with CABAC (H.264 7.3.5.3 with residual_block_cabac):
// coded_block_flag with its neighbour-dependent contexts (9.3.3.1.1.9), then
// the engine's block decoding into the packed coefficient streams the
// reconstruction takes, in the same order and with the same masks as CAVLC.
#include <cstring>

#include "cabac_syntax.h"
#include "slice.h"
#include "tables.h"

namespace h264dec {

namespace {

// Scan position -> raster position of the chroma DC blocks (4:2:0: 2x2
// raster; 4:2:2: 2 columns by 4 rows, 8.5.11.1).
const uint8_t kChromaDcScan[2][8] = {{0, 1, 2, 3}, {0, 2, 1, 4, 6, 3, 5, 7}};

// Appends one coded block of `count` coefficients to a packed stream.
template <typename T>
void put_block(kvnsupport::CabacDecoder& d, T*& end, int count, int cat, int chromaExp, const uint8_t* scan) {
  // Constant sizes, written in place rather than through a memset call.
  switch (count) {
    case 4: std::memset(end, 0, 4 * sizeof(T)); break;
    case 8: std::memset(end, 0, 8 * sizeof(T)); break;
    case 16: std::memset(end, 0, 16 * sizeof(T)); break;
    default: std::memset(end, 0, 64 * sizeof(T)); break;  // 8x8 blocks
  }
  d.residual_scan(cat, chromaExp, false, scan, end);
  end += count;
}

}  // namespace

// condTermFlagN of coded_block_flag: N's flag where N is available (skipped
// macroblocks have none, I_PCM ones all); for an unavailable N 1 in intra
// and 0 in inter macroblocks. Increment condTermFlagA + 2 * condTermFlagB.
int SliceDecoder::cbf_inc_luma(int bx, int by) const {
  const uint16_t own = ctx.cabacMbs[size_t(mb.addr)].cbfY;
  const int none = mb.intra ? 1 : 0;
  const int a = bx > 0      ? own >> (4 * by + bx - 1) & 1
                : mb.availA ? ctx.cabacMbs[size_t(mb.addr - 1)].cbfY >> (4 * by + 3) & 1
                            : none;
  const int b = by > 0      ? own >> (4 * (by - 1) + bx) & 1
                : mb.availB ? ctx.cabacMbs[size_t(mb.addr - W)].cbfY >> (12 + bx) & 1
                            : none;
  return a + 2 * b;
}

int SliceDecoder::cbf_inc_chroma(int c, int bx, int by) const {
  const uint8_t own = ctx.cabacMbs[size_t(mb.addr)].cbfC[c];
  const int none = mb.intra ? 1 : 0;
  const int bottom = 2 * (2 * cf - 1);  // first bit of the last block row
  const int a = bx > 0      ? own >> (2 * by) & 1
                : mb.availA ? ctx.cabacMbs[size_t(mb.addr - 1)].cbfC[c] >> (2 * by + 1) & 1
                            : none;
  const int b = by > 0      ? own >> (2 * (by - 1) + bx) & 1
                : mb.availB ? ctx.cabacMbs[size_t(mb.addr - W)].cbfC[c] >> (bottom + bx) & 1
                            : none;
  return a + 2 * b;
}

int SliceDecoder::cbf_inc_dc(int bit) const {
  const int none = mb.intra ? 1 : 0;
  const int a = mb.availA ? ctx.cabacMbs[size_t(mb.addr - 1)].cbfDc >> bit & 1 : none;
  const int b = mb.availB ? ctx.cabacMbs[size_t(mb.addr - W)].cbfDc >> bit & 1 : none;
  return a + 2 * b;
}

Status SliceDecoder::parse_residual_cabac() {
  const bool hbd = bd > 8;
  reset_coefficients();
  CabacMbState& cs = ctx.cabacMbs[size_t(mb.addr)];
  const bool i16 = ctx.mbs[size_t(mb.addr)].i16;
  auto put = [&](int16_t*& e16, int32_t*& e32, int count, int cat, int chromaExp, const uint8_t* scan) {
    if (hbd)
      put_block(cabac_, e32, count, cat, chromaExp, scan);
    else
      put_block(cabac_, e16, count, cat, chromaExp, scan);
  };

  if (i16 && cabac::coded_block(cabac_, 0, cbf_inc_dc(0))) {
    put(endY16, endY32, 16, 0, 0, kZigzag4x4);
    maskY |= 1;
    cs.cbfDc |= 1;
  }
  for (int b8 = 0; b8 < 4; ++b8) {
    if (!(mb.cbp & (1 << b8))) continue;
    if (mb.t8x8) {  // no coded_block_flag outside 4:4:4; at least one coefficient
      put(endY16, endY32, 64, 5, 0, kZigzag8x8);
      maskY |= 1u << b8;
      for (int i = 0; i < 4; ++i) {
        const int bx = kBlkX[b8 * 4 + i], by = kBlkY[b8 * 4 + i];
        cs.cbfY |= uint16_t(1 << (4 * by + bx));
      }
      continue;
    }
    for (int i = 0; i < 4; ++i) {
      const int k = b8 * 4 + i;
      const int bx = kBlkX[k], by = kBlkY[k];
      const int cat = i16 ? 1 : 2;  // Intra16x16 AC: scan positions 1..15
      if (!cabac::coded_block(cabac_, cat, cbf_inc_luma(bx, by))) continue;
      put(endY16, endY32, 16, cat, 0, i16 ? kZigzag4x4 + 1 : kZigzag4x4);
      cs.cbfY |= uint16_t(1 << (4 * by + bx));
      maskY |= 1u << (k + 1);
    }
  }

  const int cbpC = mb.cbp >> 4;
  // 8-bit 4:2:0 chroma uses one stream for both components, in bitstream order.
  const bool shared = !hbd && cf == 1;
  if (cbpC & 3) {
    for (int c = 0; c < 2; ++c) {
      if (!cabac::coded_block(cabac_, 3, cbf_inc_dc(1 + c))) continue;
      put(endC16[shared ? 0 : c], endC32[c], 4 * cf, 3, cf - 1, kChromaDcScan[cf - 1]);
      maskC[c] |= 1;
      cs.cbfDc |= uint8_t(2 << c);
    }
  }
  if (cbpC & 2) {
    for (int c = 0; c < 2; ++c)
      for (int k = 0; k < 4 * cf; ++k) {
        if (!cabac::coded_block(cabac_, 4, cbf_inc_chroma(c, k & 1, k >> 1))) continue;
        put(endC16[shared ? 0 : c], endC32[c], 16, 4, 0, kZigzag4x4 + 1);
        maskC[c] |= 2u << k;
        cs.cbfC[c] |= uint8_t(1 << k);
      }
  }
  // The luma blocks with coefficients are those with coded_block_flag set.
  ctx.mbs[size_t(mb.addr)].nzMask = cs.cbfY;
  return Status::success();
}

}  // namespace h264dec
