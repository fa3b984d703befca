// Entries of the H.264 luma interpolation: argument checks, then the kernel
// of the block's width and fraction, run on the reference itself or, where
// the reference must be padded (Top, Bottom, Block), on a private copy of the
// region the filter reads (H.264 8.4.2.2: a sample outside the picture takes
// the value of the nearest edge sample).
//
// Sizes: luma blocks are at most 16x16. Sizes that the bit-pattern checks
// let through but that no luma partition has (width 20, 24, 28, heights
// above 16, zero or negative heights) are rejected with KVN_STS_SIZE_ERR;
// widths of 12 (8 + 4) are served.
// Bit depths (16-bit records): 1 .. 16, else KVN_STS_OUT_OF_RANGE.
#include <cstddef>

#include "core/entry.h"
#include "h264/inter/interp_luma.h"
#include "h264/inter/mc_edge.h"

using namespace kvn;

// The records are part of the binary interface.
static_assert(sizeof(KvnInterpolationRecord16u) == 48, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, srcStep) == 8, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, pDst) == 16, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, dstStep) == 24, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, dx) == 28, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, dy) == 32, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, roiSize) == 36, "record layout");
static_assert(offsetof(KvnInterpolationRecord16u, bitDepth) == 44, "record layout");
static_assert(sizeof(KvnInterpolationBlockRecord8u) == 80, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, srcStep) == 16, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, pDst) == 24, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, dstStep) == 40, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, sizeFrame) == 44, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, sizeBlock) == 52, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, pointBlockPos) == 60, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord8u, pointVectorQuarterPix) == 68, "record layout");
static_assert(sizeof(KvnInterpolationBlockRecord16u) == 80, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, srcStep) == 16, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, pDst) == 24, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, dstStep) == 40, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, sizeFrame) == 44, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, sizeBlock) == 52, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, pointBlockPos) == 60, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, pointVectorQuarterPix) == 68, "record layout");
static_assert(offsetof(KvnInterpolationBlockRecord16u, bitDepth) == 76, "record layout");

namespace {

using h264::EdgeRange;
using h264::kUnbounded;

// Region buffers: at most 21 x 21 samples, rows of 32 samples.
constexpr int kBufStep = 32;
constexpr int kBufRows = 16 + 5;

// 8-bit functions and Block functions: height a multiple of 4, width made of
// the bits of 4, 8 and 16; both at most 16 and above 0. Together: multiples
// of 4 in 4 .. 16.
inline bool luma_size_ok(KvnSize s) {
  return ((s.width | s.height) & 3) == 0 && ((uint32_t(s.width) - 4u) | (uint32_t(s.height) - 4u)) <= 12u;
}

// 16-bit plain, Top and Bottom: 4, 8 or 16 each, not 4x16 or 16x4.
inline bool is_4_8_16(int32_t v) { return v == 4 || v == 8 || v == 16; }
inline bool luma16_size_ok(KvnSize s) { return is_4_8_16(s.width) && is_4_8_16(s.height) && s.width + s.height != 20; }

inline bool bit_depth_ok(int32_t bitDepth) { return bitDepth >= 1 && bitDepth <= 16; }
inline int32_t max_value(int32_t bitDepth) { return (int32_t(1) << bitDepth) - 1; }

inline void run(int frac, const Kvn8u* s, ptrdiff_t ss, Kvn8u* d, ptrdiff_t ds, KvnSize size, int32_t) {
  KVN_KERNEL(interp_luma, luma8[luma_width_index(size.width)][frac])(s, ss, d, ds, size.height);
}
inline void run(int frac, const Kvn16u* s, ptrdiff_t ss, Kvn16u* d, ptrdiff_t ds, KvnSize size, int32_t maxValue) {
  KVN_KERNEL(interp_luma, luma16[luma_width_index(size.width)][frac])(s, ss, d, ds, size.height, maxValue);
}

// The region the filter of a fraction reads: columns x0 .. x0 + w - 1 and
// rows y0 .. y0 + h - 1 relative to the block's integer position.
struct Region {
  int x0, y0, w, h;
  Region(int dx, int dy, KvnSize size)
      : x0(dx ? -2 : 0), y0(dy ? -2 : 0), w(size.width + (dx ? 5 : 0)), h(size.height + (dy ? 5 : 0)) {}
};

// Runs the kernel on the reference where every row the filter reads lies in
// `rows`; otherwise on a copy of the region whose rows outside `rows` repeat
// the nearest one in it (Top and Bottom: columns are never padded).
template <class T>
void run_rows_padded(const T* src, ptrdiff_t ss, T* dst, ptrdiff_t ds, int dx, int dy, KvnSize size, EdgeRange rows,
                     int32_t maxValue) {
  const int frac = 4 * dy + dx;
  const Region r(dx, dy, size);
  if (r.y0 >= rows.lo && r.y0 + r.h - 1 <= rows.hi) return run(frac, src, ss, dst, ds, size, maxValue);
  T buf[kBufRows * kBufStep];
  h264::copy_clamped(src, ss, r.x0, r.y0, r.w, r.h, kUnbounded, rows, buf, kBufStep);
  run(frac, buf - r.y0 * kBufStep - r.x0, kBufStep, dst, ds, size, maxValue);
}

// Top: block row k is the picture's first row. Bottom: block row
// height - 1 - k is its last row.
inline EdgeRange top_rows(int32_t k) { return {k, kUnbounded.hi}; }
inline EdgeRange bottom_rows(int32_t k, KvnSize size) { return {kUnbounded.lo, int64_t(size.height) - 1 - k}; }

// ---- 8-bit plain, Top and Bottom

inline KvnResult check8(const Kvn8u* pSrc, const Kvn8u* pDst, int32_t dx, int32_t dy, KvnSize size) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (!in_range(dx, 3) || !in_range(dy, 3)) return KVN_STS_BAD_ARG;
  if (!luma_size_ok(size)) return KVN_STS_SIZE_ERR;
  return KVN_STS_OK;
}

// ---- 16-bit plain, Top and Bottom: record, source, destination, steps,
// fractions, size, bit depth.

inline KvnResult check16(const KvnInterpolationRecord16u* p) {
  KVN_CHECK_PTRS(p);
  KVN_CHECK_PTRS(p->pSrc, p->pDst);
  if (p->srcStep < p->roiSize.width || p->dstStep < p->roiSize.width) return KVN_STS_STEP_ERR;
  if (!in_range(p->dx, 3) || !in_range(p->dy, 3)) return KVN_STS_BAD_ARG;
  if (!luma16_size_ok(p->roiSize)) return KVN_STS_SIZE_ERR;
  if (!bit_depth_ok(p->bitDepth)) return KVN_STS_OUT_OF_RANGE;
  return KVN_STS_OK;
}

// ---- Block functions

// Where a Block call reads: the integer position and fraction of the block
// (computed in 64 bits, so hostile positions and vectors cannot overflow),
// and whether the region the filter reads crosses the picture's edges.
struct BlockPlan {
  int64_t x, y;
  int frac;
  bool pad;
};

template <class Record>
inline BlockPlan plan_block(const Record& r) {
  const int32_t mvx = r.pointVectorQuarterPix[0], mvy = r.pointVectorQuarterPix[1];
  BlockPlan p{r.pointBlockPos[0], r.pointBlockPos[1], 0, false};
  if (mvx == 0 && mvy == 0) return p;  // copied from its position without any test
  p.x += mvx >> 2;
  p.y += mvy >> 2;
  const int dx = mvx & 3, dy = mvy & 3;
  p.frac = 4 * dy + dx;
  const Region g(dx, dy, r.sizeBlock);
  p.pad = h264::crosses_edge(p.x + g.x0, p.y + g.y0, g.w, g.h, {0, int64_t(r.sizeFrame.width) - 1},
                             {0, int64_t(r.sizeFrame.height) - 1});
  return p;
}

// A picture without samples cannot pad the region.
inline bool can_pad(const BlockPlan& p, KvnSize frame) { return !p.pad || (frame.width > 0 && frame.height > 0); }

template <class T, class Record>
void run_block(const Record& r, const BlockPlan& p, int32_t maxValue) {
  const ptrdiff_t ss = r.srcStep;
  if (!p.pad) return run(p.frac, r.pSrc[0] + p.y * ss + p.x, ss, r.pDst[0], r.dstStep, r.sizeBlock, maxValue);
  const int dx = p.frac & 3, dy = p.frac >> 2;
  const Region g(dx, dy, r.sizeBlock);
  T buf[kBufRows * kBufStep];
  h264::copy_clamped(r.pSrc[0], ss, p.x + g.x0, p.y + g.y0, g.w, g.h, {0, int64_t(r.sizeFrame.width) - 1},
                     {0, int64_t(r.sizeFrame.height) - 1}, buf, kBufStep);
  run(p.frac, buf - g.y0 * kBufStep - g.x0, kBufStep, r.pDst[0], r.dstStep, r.sizeBlock, maxValue);
}

}  // namespace

KVN_ENTRY(kvniInterpolateLuma_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, KvnSize roiSize) {
  if (const KvnResult st = check8(pSrc, pDst, dx, dy, roiSize)) return st;
  run(4 * dy + dx, pSrc, srcStep, pDst, dstStep, roiSize, 255);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLumaTop_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, int32_t outsideRows,
 KvnSize roiSize) {
  if (const KvnResult st = check8(pSrc, pDst, dx, dy, roiSize)) return st;
  run_rows_padded(pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, top_rows(outsideRows), 255);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLumaBottom_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, int32_t outsideRows,
 KvnSize roiSize) {
  if (const KvnResult st = check8(pSrc, pDst, dx, dy, roiSize)) return st;
  run_rows_padded(pSrc, srcStep, pDst, dstStep, dx, dy, roiSize, bottom_rows(outsideRows, roiSize), 255);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLuma_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams) {
  if (const KvnResult st = check16(pParams)) return st;
  const KvnInterpolationRecord16u& p = *pParams;
  run(4 * p.dy + p.dx, p.pSrc, p.srcStep, p.pDst, p.dstStep, p.roiSize, max_value(p.bitDepth));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLumaTop_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams, int32_t outsideRows) {
  if (const KvnResult st = check16(pParams)) return st;
  const KvnInterpolationRecord16u& p = *pParams;
  run_rows_padded(p.pSrc, p.srcStep, p.pDst, p.dstStep, p.dx, p.dy, p.roiSize, top_rows(outsideRows),
                  max_value(p.bitDepth));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLumaBottom_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams, int32_t outsideRows) {
  if (const KvnResult st = check16(pParams)) return st;
  const KvnInterpolationRecord16u& p = *pParams;
  run_rows_padded(p.pSrc, p.srcStep, p.pDst, p.dstStep, p.dx, p.dy, p.roiSize, bottom_rows(outsideRows, p.roiSize),
                  max_value(p.bitDepth));
  return KVN_STS_OK;
}

// Block functions: record, first source, first destination; block size; a
// picture without samples where the region must be padded (KVN_STS_SIZE_ERR);
// 16-bit: bit depth.
KVN_ENTRY(kvniInterpolateLumaBlock_H264_8u_P1R)(const KvnInterpolationBlockRecord8u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pDst[0]);
  if (!luma_size_ok(pParams->sizeBlock)) return KVN_STS_SIZE_ERR;
  const BlockPlan plan = plan_block(*pParams);
  if (!can_pad(plan, pParams->sizeFrame)) return KVN_STS_SIZE_ERR;
  run_block<Kvn8u>(*pParams, plan, 255);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateLumaBlock_H264_16u_P1R)(const KvnInterpolationBlockRecord16u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pDst[0]);
  if (!luma_size_ok(pParams->sizeBlock)) return KVN_STS_SIZE_ERR;
  const BlockPlan plan = plan_block(*pParams);
  if (!can_pad(plan, pParams->sizeFrame)) return KVN_STS_SIZE_ERR;
  if (!bit_depth_ok(pParams->bitDepth)) return KVN_STS_OUT_OF_RANGE;
  run_block<Kvn16u>(*pParams, plan, max_value(pParams->bitDepth));
  return KVN_STS_OK;
}
