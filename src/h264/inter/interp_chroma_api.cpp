// Entries of the H.264 chroma interpolation (H.264 8.4.2.2.2), the block
// average and the border expansion: argument checks, then the kernel chosen
// by width and fraction.
//
// Sizes: the kernels serve the H.264 chroma partitions, width 2, 4 (6) or 8
// and an even height up to 16; larger or empty blocks are refused with
// KVN_STS_SIZE_ERR. Top and Bottom functions copy the rows they need into a
// small buffer with the rows beyond the picture edge replaced by the edge row;
// Block functions do the same on all four sides when the region the filter
// reads crosses the picture (H.264 8.4.2.2 reference padding). Positions are
// computed in 64 bits, so no vector or position can overflow.
//
// 16-bit records: the bit depth must be 1..16 (KVN_STS_OUT_OF_RANGE, after
// the size checks), as for luma; the chroma results are exact for every
// 16-bit sample value and need nothing more of it.
#include <cstddef>

#include "core/entry.h"
#include "h264/inter/interp_chroma.h"
#include "h264/inter/mc_edge.h"

using namespace kvn;
using kvn::h264::copy_clamped;
using kvn::h264::crosses_edge;
using kvn::h264::EdgeRange;
using kvn::h264::kUnbounded;

namespace {

// lo <= v <= hi without overflow.
constexpr bool between(int32_t v, int32_t lo, int32_t hi) { return uint32_t(v) - uint32_t(lo) <= uint32_t(hi - lo); }

constexpr bool bit_depth_ok(int32_t bitDepth) { return between(bitDepth, 1, 16); }

constexpr bool fractions_ok(int32_t dx, int32_t dy) { return in_range(dx, 7) && in_range(dy, 7); }

// Width with no bit but those of 2, 4 and 8, height even; and within the
// largest partition (8 x 16), not empty.
constexpr bool size_ok(KvnSize s) {
  return (s.width & ~14) == 0 && between(s.width, 2, 8) && (s.height & 1) == 0 && between(s.height, 2, 16);
}

// 16-bit plain, Top and Bottom: width 2, 4 or 8; height 2, 4, 8 or 16.
constexpr bool size16_ok(KvnSize s) {
  const auto pow2 = [](int32_t v, int32_t hi) { return between(v, 2, hi) && (v & (v - 1)) == 0; };
  return pow2(s.width, 8) && pow2(s.height, 16);
}

// Region buffers: the rows a block needs (height + 1) of 16 samples or pairs.
constexpr int kBufRows = 17;
constexpr int kBufRow = 16;

// Runs run(src, step) on the block's reference, with the rows outside `rows`
// (block row coordinates) replaced by the nearest row inside.
template <class T, class Run>
void with_rows(const T* src, ptrdiff_t step, KvnSize size, int32_t dx, int32_t dy, EdgeRange rows, Run run) {
  const int w = size.width + (dx != 0), h = size.height + (dy != 0);
  if (rows.lo <= 0 && rows.hi >= h - 1) return run(src, step);
  T buf[kBufRows * kBufRow];
  copy_clamped<T>(src, step, 0, 0, w, h, kUnbounded, rows, buf, kBufRow);
  run(static_cast<const T*>(buf), ptrdiff_t(kBufRow));
}

// Block row k is the picture's top row / block row height - 1 - k its bottom row.
inline EdgeRange top_rows(int32_t k) { return {k, kUnbounded.hi}; }
inline EdgeRange bottom_rows(KvnSize size, int32_t k) { return {kUnbounded.lo, int64_t(size.height) - 1 - k}; }

inline KvnResult check8(const Kvn8u* src, const Kvn8u* dst, int32_t dx, int32_t dy, KvnSize size) {
  KVN_CHECK_PTRS(src, dst);
  if (!fractions_ok(dx, dy)) return KVN_STS_BAD_ARG;
  if (!size_ok(size)) return KVN_STS_SIZE_ERR;
  return KVN_STS_OK;
}

inline ChromaFn c1_kernel(KvnSize size, int32_t dx, int32_t dy) {
  return KVN_KERNEL(interp_chroma, c1[chroma_width_index(size.width)][chroma_kind(dx, dy)]);
}

inline KvnResult edge8(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy,
                       int32_t outsideRows, KvnSize size, bool top) {
  if (const KvnResult st = check8(pSrc, pDst, dx, dy, size)) return st;
  if (top && outsideRows < 0) return KVN_STS_OUT_OF_RANGE;
  const ChromaFn fn = c1_kernel(size, dx, dy);
  with_rows(pSrc, srcStep, size, dx, dy, top ? top_rows(outsideRows) : bottom_rows(size, outsideRows),
            [&](const Kvn8u* s, ptrdiff_t ss) { fn(s, ss, pDst, dstStep, dx, dy, size.height); });
  return KVN_STS_OK;
}

inline KvnResult check16(const KvnInterpolationRecord16u* p) {
  KVN_CHECK_PTRS(p);
  KVN_CHECK_PTRS(p->pSrc, p->pDst);
  if (p->srcStep < 8 || p->dstStep < 8) return KVN_STS_STEP_ERR;
  if (!fractions_ok(p->dx, p->dy)) return KVN_STS_BAD_ARG;
  if (!size16_ok(p->roiSize)) return KVN_STS_SIZE_ERR;
  if (!bit_depth_ok(p->bitDepth)) return KVN_STS_OUT_OF_RANGE;
  return KVN_STS_OK;
}

inline KvnResult edge16(const KvnInterpolationRecord16u* p, int32_t outsideRows, bool top) {
  if (const KvnResult st = check16(p)) return st;
  if (top && outsideRows < 0) return KVN_STS_OUT_OF_RANGE;
  const KvnInterpolationRecord16u r = *p;
  const Chroma16Fn fn = KVN_KERNEL(interp_chroma, c16[chroma_width_index(r.roiSize.width)][chroma_kind(r.dx, r.dy)]);
  with_rows(r.pSrc, r.srcStep, r.roiSize, r.dx, r.dy, top ? top_rows(outsideRows) : bottom_rows(r.roiSize, outsideRows),
            [&](const Kvn16u* s, ptrdiff_t ss) { fn(s, ss, r.pDst, r.dstStep, r.dx, r.dy, r.roiSize.height); });
  return KVN_STS_OK;
}

// ---- Block functions ----

// Where a Block call reads: the integer position and fraction of the block's
// reference, and whether the region the filter needs crosses the picture.
struct Reference {
  int64_t x, y;
  int32_t dx, dy;
  bool pad;
  EdgeRange cols, rows;
  int w, h;  // region in samples (pairs)
};

template <class Rec>
Reference reference_of(const Rec& r) {
  const int32_t mvx = r.pointVectorQuarterPix[0], mvy = r.pointVectorQuarterPix[1];
  Reference ref{r.pointBlockPos[0], r.pointBlockPos[1], 0, 0, false, {}, {}, r.sizeBlock.width, r.sizeBlock.height};
  if (mvx == 0 && mvy == 0) return ref;  // copied from its own position, never padded
  ref.x += mvx >> 3;
  ref.y += mvy >> 3;
  ref.dx = mvx & 7;
  ref.dy = mvy & 7;
  ref.w += ref.dx != 0;
  ref.h += ref.dy != 0;
  ref.cols = {0, int64_t(r.sizeFrame.width) - 1};
  ref.rows = {0, int64_t(r.sizeFrame.height) - 1};
  ref.pad = crosses_edge(ref.x, ref.y, ref.w, ref.h, ref.cols, ref.rows);
  return ref;
}

// The reference of one plane: in the picture, or padded into buf.
template <int Channels, class T>
const T* plane_source(const T* base, ptrdiff_t step, const Reference& ref, T* buf, ptrdiff_t& srcStep) {
  if (!ref.pad) {
    srcStep = step;
    return base + ref.y * step + ref.x * Channels;
  }
  srcStep = kBufRow * Channels;
  copy_clamped<T, Channels>(base, step, ref.x, ref.y, ref.w, ref.h, ref.cols, ref.rows, buf, srcStep);
  return buf;
}

// Block size, then a picture that can pad a moved block.
template <class Rec>
KvnResult check_block(const Rec& r) {
  if (!size_ok(r.sizeBlock)) return KVN_STS_SIZE_ERR;
  const bool moved = r.pointVectorQuarterPix[0] != 0 || r.pointVectorQuarterPix[1] != 0;
  if (moved && (r.sizeFrame.width < 1 || r.sizeFrame.height < 1)) return KVN_STS_SIZE_ERR;
  return KVN_STS_OK;
}

// Interleaved source, run(src, srcStep, dx, dy).
template <class Run>
KvnResult block_c2(const KvnInterpolationBlockRecord8u& r, Run run) {
  if (const KvnResult st = check_block(r)) return st;
  const Reference ref = reference_of(r);
  alignas(16) Kvn8u buf[kBufRows * kBufRow * 2];
  ptrdiff_t ss;
  const Kvn8u* s = plane_source<2>(r.pSrc[0], r.srcStep, ref, buf, ss);
  run(s, ss, ref.dx, ref.dy, chroma_width_index(r.sizeBlock.width), chroma_kind(ref.dx, ref.dy));
  return KVN_STS_OK;
}

// Two planes, each padded and interpolated in turn (checked); kernel(width
// index, kind) is the interpolator.
template <class T, class Rec, class Kernel>
KvnResult block_p2(const Rec& r, Kernel kernel) {
  const Reference ref = reference_of(r);
  const auto fn = kernel(chroma_width_index(r.sizeBlock.width), chroma_kind(ref.dx, ref.dy));
  alignas(16) T buf[kBufRows * kBufRow];
  for (int p = 0; p < 2; ++p) {
    ptrdiff_t ss;
    const T* s = plane_source<1>(r.pSrc[p], r.srcStep, ref, buf, ss);
    fn(s, ss, r.pDst[p], r.dstStep, ref.dx, ref.dy, r.sizeBlock.height);
  }
  return KVN_STS_OK;
}

}  // namespace

// ---- plain, Top and Bottom, 8-bit ----

KVN_ENTRY(kvniInterpolateChroma_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, KvnSize roiSize) {
  if (const KvnResult st = check8(pSrc, pDst, dx, dy, roiSize)) return st;
  c1_kernel(roiSize, dx, dy)(pSrc, srcStep, pDst, dstStep, dx, dy, roiSize.height);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateChroma_H264_8u_C2P2R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDstU, Kvn8u* pDstV, int32_t dstStep, int32_t dx, int32_t dy,
 KvnSize roiSize) {
  KVN_CHECK_PTRS(pDstV);
  if (const KvnResult st = check8(pSrc, pDstU, dx, dy, roiSize)) return st;
  KVN_KERNEL(interp_chroma, c2p2[chroma_width_index(roiSize.width)][chroma_kind(dx, dy)])
  (pSrc, srcStep, pDstU, pDstV, dstStep, dx, dy, roiSize.height);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateChromaTop_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, int32_t outsideRows,
 KvnSize roiSize) {
  return edge8(pSrc, srcStep, pDst, dstStep, dx, dy, outsideRows, roiSize, true);
}

KVN_ENTRY(kvniInterpolateChromaBottom_H264_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx, int32_t dy, int32_t outsideRows,
 KvnSize roiSize) {
  return edge8(pSrc, srcStep, pDst, dstStep, dx, dy, outsideRows, roiSize, false);
}

// ---- plain, Top and Bottom, 16-bit ----

KVN_ENTRY(kvniInterpolateChroma_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams) {
  if (const KvnResult st = check16(pParams)) return st;
  const KvnInterpolationRecord16u& r = *pParams;
  KVN_KERNEL(interp_chroma, c16[chroma_width_index(r.roiSize.width)][chroma_kind(r.dx, r.dy)])
  (r.pSrc, r.srcStep, r.pDst, r.dstStep, r.dx, r.dy, r.roiSize.height);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateChromaTop_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams, int32_t outsideRows) {
  return edge16(pParams, outsideRows, true);
}

KVN_ENTRY(kvniInterpolateChromaBottom_H264_16u_C1R)(const KvnInterpolationRecord16u* pParams, int32_t outsideRows) {
  return edge16(pParams, outsideRows, false);
}

// ---- Block functions ----

KVN_ENTRY(kvniInterpolateChromaBlock_H264_8u_P2R)(const KvnInterpolationBlockRecord8u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pSrc[1], pParams->pDst[0], pParams->pDst[1]);
  if (const KvnResult st = check_block(*pParams)) return st;
  return block_p2<Kvn8u>(*pParams, [](int wi, int kind) { return KVN_KERNEL(interp_chroma, c1[wi][kind]); });
}

// Both destinations are written, so both are checked.
KVN_ENTRY(kvniInterpolateChromaBlock_H264_8u_C2P2R)(const KvnInterpolationBlockRecord8u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pDst[0], pParams->pDst[1]);
  const KvnInterpolationBlockRecord8u& r = *pParams;
  return block_c2(r, [&](const Kvn8u* s, ptrdiff_t ss, int32_t dx, int32_t dy, int wi, int kind) {
    KVN_KERNEL(interp_chroma, c2p2[wi][kind])(s, ss, r.pDst[0], r.pDst[1], r.dstStep, dx, dy, r.sizeBlock.height);
  });
}

KVN_ENTRY(kvniInterpolateChromaBlock_H264_8u_C2C2R)(const KvnInterpolationBlockRecord8u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pDst[0]);
  const KvnInterpolationBlockRecord8u& r = *pParams;
  return block_c2(r, [&](const Kvn8u* s, ptrdiff_t ss, int32_t dx, int32_t dy, int wi, int kind) {
    KVN_KERNEL(interp_chroma, c2c2[wi][kind])(s, ss, r.pDst[0], r.dstStep, dx, dy, r.sizeBlock.height);
  });
}

KVN_ENTRY(kvniInterpolateChromaBlock_H264_16u_P2R)(const KvnInterpolationBlockRecord16u* pParams) {
  KVN_CHECK_PTRS(pParams);
  KVN_CHECK_PTRS(pParams->pSrc[0], pParams->pSrc[1], pParams->pDst[0], pParams->pDst[1]);
  if (const KvnResult st = check_block(*pParams)) return st;
  if (!bit_depth_ok(pParams->bitDepth)) return KVN_STS_OUT_OF_RANGE;
  return block_p2<Kvn16u>(*pParams, [](int wi, int kind) { return KVN_KERNEL(interp_chroma, c16[wi][kind]); });
}

// ---- averaging ----

KVN_ENTRY(kvniInterpolateBlock_H264_8u_P2P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width, uint32_t height, int32_t pitch) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  if (width - 2 > 14 || height - 2 > 14) return KVN_STS_SIZE_ERR;
  KVN_KERNEL(interp_chroma, average[width - 2])(pSrc1, pitch, pSrc2, pitch, pDst, pitch, int(height));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniInterpolateBlock_H264_8u_P3P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width, uint32_t height, int32_t src1Step,
 int32_t src2Step, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  if (width - 2 > 14 || height - 2 > 14) return KVN_STS_SIZE_ERR;
  KVN_KERNEL(interp_chroma, average[width - 2])(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, int(height));
  return KVN_STS_OK;
}

// ---- border expansion ----

// After the checks of the picture (an even height of at least 2, a width of at
// least 1), a border of 0 has nothing to do and the field mode must be 0, 1
// or 2. A negative border, and a step too short for a row with its two
// borders (which would write the borders over the neighbouring rows), are
// refused last.
KVN_ENTRY(kvniExpandPlane_H264_8u_C1R)
(Kvn8u* pSrcDst, int32_t width, int32_t height, int32_t step, int32_t borderSize, int32_t fieldMode) {
  KVN_CHECK_PTRS(pSrcDst);
  if ((height & 1) != 0 || height < 2 || width < 1) return KVN_STS_SIZE_ERR;
  if (borderSize == 0) return KVN_STS_OK;
  if (!in_range(fieldMode, 2)) return KVN_STS_BAD_ARG;
  if (borderSize < 0) return KVN_STS_SIZE_ERR;
  const int64_t rowBytes = int64_t(width) + 2 * int64_t(borderSize);
  if ((step < 0 ? -int64_t(step) : int64_t(step)) < rowBytes) return KVN_STS_STEP_ERR;
  KVN_KERNEL(interp_chroma, expand)(pSrcDst, width, height, step, borderSize, fieldMode);
  return KVN_STS_OK;
}
