// Entries of H.264 weighted prediction: pointers, steps, sizes; then the
// parameters in the form of weight.h, and one kernel call: a fast kernel for
// the block size when the parameters allow it, else the exact kernel.
#include <cstddef>

#include "core/entry.h"
#include "h264/deblock/deblock.h"  // max_sample
#include "h264/inter/weight.h"

using namespace kvn;

// The records are part of the binary interface.
static_assert(sizeof(KvnWeightBlockRecord8u) == 56, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, src1Step) == 8, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, pSrc2) == 16, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, src2Step) == 24, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, pDst) == 32, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, dstStep) == 40, "record layout");
static_assert(offsetof(KvnWeightBlockRecord8u, roiSize) == 44, "record layout");
static_assert(sizeof(KvnWeightParams8u) == 8, "record layout");
static_assert(offsetof(KvnWeightParams8u, weight0) == 4, "record layout");
static_assert(offsetof(KvnWeightParams8u, weight1) == 5, "record layout");
static_assert(offsetof(KvnWeightParams8u, offset0) == 6, "record layout");
static_assert(offsetof(KvnWeightParams8u, offset1) == 7, "record layout");
static_assert(sizeof(KvnBidirRecord16u) == 56, "record layout");
static_assert(offsetof(KvnBidirRecord16u, src1Step) == 8, "record layout");
static_assert(offsetof(KvnBidirRecord16u, pSrc2) == 16, "record layout");
static_assert(offsetof(KvnBidirRecord16u, src2Step) == 24, "record layout");
static_assert(offsetof(KvnBidirRecord16u, pDst) == 32, "record layout");
static_assert(offsetof(KvnBidirRecord16u, dstStep) == 40, "record layout");
static_assert(offsetof(KvnBidirRecord16u, roiSize) == 44, "record layout");
static_assert(offsetof(KvnBidirRecord16u, bitDepth) == 52, "record layout");

namespace {

inline bool block_side(int32_t n) { return n == 2 || n == 4 || n == 8 || n == 16; }
inline bool block_size(KvnSize s) { return block_side(s.height) && block_side(s.width); }

// Steps of the 8-bit functions with argument lists: negative steps fail too.
inline bool bad_step8(int32_t step, int32_t width) { return step < 0 || step < width; }
// Interleaved rows hold 2 * width bytes.
inline bool bad_step_c2(int32_t step, int32_t width) { return int64_t(step) < 2 * int64_t(width); }

// Interleaved chroma, one list: signed-byte weights and offsets always fit
// the fast kernels up to a shift of 7.
inline void uni8_c2(uint8_t* p, int32_t step, KvnSize roi, const KvnWeightParams8u& q) {
  const int32_t shift = int32_t(q.log2Denominator & 15);
  const WeightUni8Fn fast = KVN_KERNEL(weight, uni8[size_index(2 * roi.width)][size_index(roi.height)]);
  if (shift <= 7) return fast(p, step, byte_pair(q.weight0, q.offset0) | byte_pair(q.weight1, q.offset1) << 16, shift);
  WeightArgs a{{q.weight0, q.weight1}, {0, 0}, {q.offset0, q.offset1}, shift, 255};
  reduce_weights(a);
  if (fits8_one(a)) return fast(p, step, pack8_one(a), a.shift);
  KVN_KERNEL(weight, uni8_exact)(p, step, 2 * roi.width, roi.height, a);
}

// One list, planar: as uni8 with one channel's parameters in scalars. H.264
// parameters fit as they are; others may after reduction.
inline void uni8_planar(uint8_t* p, int32_t step, KvnSize roi, int32_t w, int32_t offset, int32_t shift) {
  const WeightUni8Fn fast = KVN_KERNEL(weight, uni8[size_index(roi.width)][size_index(roi.height)]);
  if (shift <= 7 && signed_byte(w) && signed_byte(offset))
    return fast(p, step, both_channels(byte_pair(w, offset)), shift);
  const int32_t k = reduction(w, shift);
  if (shift - k <= 7 && signed_byte(w >> k) && signed_byte(offset))
    return fast(p, step, both_channels(byte_pair(w >> k, offset)), shift - k);
  KVN_KERNEL(weight, uni8_exact)(p, step, roi.width, roi.height, {{w, w}, {0, 0}, {offset, offset}, shift, 255});
}

// Interleaved chroma, two lists (the shift from the first list).
inline void bi8_c2(const KvnWeightBlockRecord8u& r, const KvnWeightParams8u& p, const KvnWeightParams8u& q) {
  const int32_t shift = int32_t(p.log2Denominator & 15) + 1;
  const int32_t o0 = (p.offset0 + q.offset0 + 1) >> 1, o1 = (p.offset1 + q.offset1 + 1) >> 1;
  const WeightBi8Fn fast = KVN_KERNEL(weight, bi8[size_index(2 * r.roiSize.width)][size_index(r.roiSize.height)]);
  if (shift <= 15 && fits8_channel(p.weight0, q.weight0, o0) && fits8_channel(p.weight1, q.weight1, o1))
    return fast(r.pSrc1, r.src1Step, r.pSrc2, r.src2Step, r.pDst, r.dstStep,
                byte_pair(p.weight0, q.weight0) | byte_pair(p.weight1, q.weight1) << 16,
                uint32_t(uint16_t(o0)) | uint32_t(uint16_t(o1)) << 16, shift);
  WeightArgs a{{p.weight0, p.weight1}, {q.weight0, q.weight1}, {o0, o1}, shift, 255};
  reduce_weights(a);
  if (fits8(a))
    return fast(r.pSrc1, r.src1Step, r.pSrc2, r.src2Step, r.pDst, r.dstStep, pack8_weights(a), pack8_offsets(a),
                a.shift);
  KVN_KERNEL(weight, bi8_exact)
  (r.pSrc1, r.src1Step, r.pSrc2, r.src2Step, r.pDst, r.dstStep, 2 * r.roiSize.width, r.roiSize.height, a);
}

// Planar data: one channel's parameters, kept in scalars (no record on the
// way to a fast kernel). H.264 explicit weights fit as they are, implicit
// ones such as 128 / -64 after reduction.
inline void bi8_planar(const uint8_t* s1, int32_t step1, const uint8_t* s2, int32_t step2, uint8_t* d, int32_t stepD,
                       KvnSize roi, int32_t w1, int32_t w2, int64_t offset, int32_t shift) {
  const WeightBi8Fn fast = KVN_KERNEL(weight, bi8[size_index(roi.width)][size_index(roi.height)]);
  const uint32_t offsets = both_channels(uint16_t(offset));
  if (shift <= 15 && fits8_channel(w1, w2, offset))
    return fast(s1, step1, s2, step2, d, stepD, both_channels(byte_pair(w1, w2)), offsets, shift);
  const int32_t k = reduction(w1 | w2, shift);
  if (shift - k <= 15 && fits8_channel(w1 >> k, w2 >> k, offset))
    return fast(s1, step1, s2, step2, d, stepD, both_channels(byte_pair(w1 >> k, w2 >> k)), offsets, shift - k);
  KVN_KERNEL(weight, bi8_exact)
  (s1, step1, s2, step2, d, stepD, roi.width, roi.height, {{w1, w1}, {w2, w2}, {offset, offset}, shift, 255});
}

inline void bi16(const KvnBidirRecord16u& r, const WeightArgs& a) {
  if (fits16(a)) {
    const Packed16 q = pack16(a);
    KVN_KERNEL(weight, bi16[size_index(r.roiSize.width)][size_index(r.roiSize.height)])
    (r, q.weights, q.add, q.offset, q.shiftMax);
  } else {
    KVN_KERNEL(weight, bi16_exact)(r, a);
  }
}

// Pointers, steps and size of a 16-bit two-list record.
inline KvnResult check16(const KvnBidirRecord16u* r) {
  KVN_CHECK_PTRS(r);
  KVN_CHECK_PTRS(r->pSrc1, r->pSrc2, r->pDst);
  const int32_t w = r->roiSize.width;
  if (r->src1Step < w || r->src2Step < w || r->dstStep < w) return KVN_STS_STEP_ERR;
  if (!block_size(r->roiSize)) return KVN_STS_SIZE_ERR;
  return KVN_STS_OK;
}

// Planar two-list functions: d = clamp(((x1 w1 + x2 w2 + R) >> shift) + offset).
inline KvnResult bidir8(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn8u* pDst,
                        int32_t dstStep, KvnSize roi, int32_t w1, int32_t w2, int64_t offset, uint64_t shift) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  if (bad_step8(src1Step, roi.width) || bad_step8(src2Step, roi.width) || bad_step8(dstStep, roi.width))
    return KVN_STS_STEP_ERR;
  if (!block_size(roi)) return KVN_STS_SIZE_ERR;
  bi8_planar(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, roi, w1, w2, offset, weight_shift(shift));
  return KVN_STS_OK;
}

// The offset of two lists, (o1 + o2 + 1) >> 1.
inline int64_t bi_offset(int32_t o1, int32_t o2) { return (int64_t(o1) + o2 + 1) >> 1; }

}  // namespace

// ---- one list

KVN_ENTRY(kvniUniDirWeightBlock_H264_8u_C1R)
(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight, int32_t offset, KvnSize roiSize) {
  KVN_CHECK_PTRS(pSrcDst);
  if (bad_step8(srcDstStep, roiSize.width)) return KVN_STS_STEP_ERR;
  if (!block_size(roiSize)) return KVN_STS_SIZE_ERR;
  uni8_planar(pSrcDst, srcDstStep, roiSize, weight, offset, weight_shift(log2Denominator));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniUniDirWeightBlock_H264_8u_C2R)(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams) {
  KVN_CHECK_PTRS(pBlock, pParams);
  KVN_CHECK_PTRS(pBlock->pDst);
  const KvnSize roi = pBlock->roiSize;
  if (bad_step_c2(pBlock->dstStep, roi.width)) return KVN_STS_STEP_ERR;
  if (!block_size(roi)) return KVN_STS_SIZE_ERR;
  uni8_c2(pBlock->pDst, pBlock->dstStep, roi, *pParams);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniUnidirWeight_H264_16u_IP2P1R)
(Kvn16u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight, int32_t offset, KvnSize roiSize,
 int32_t bitDepth) {
  KVN_CHECK_PTRS(pSrcDst);
  if (srcDstStep < roiSize.width) return KVN_STS_STEP_ERR;
  if (!block_size(roiSize)) return KVN_STS_SIZE_ERR;
  const WeightArgs a = uni_args(log2Denominator, weight, offset, max_sample(bitDepth));
  if (fits16(a)) {
    const Packed16 q = pack16(a);
    KVN_KERNEL(weight, uni16[size_index(roiSize.width)][size_index(roiSize.height)])
    (pSrcDst, srcDstStep, q.weights, q.add, q.offset, q.shiftMax);
  } else {
    KVN_KERNEL(weight, uni16_exact)(pSrcDst, srcDstStep, roiSize.width, roiSize.height, a);
  }
  return KVN_STS_OK;
}

// ---- two lists, explicit weights

KVN_ENTRY(kvniBiDirWeightBlock_H264_8u_P2P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t srcStep, int32_t dstStep, Kvn32u log2Denominator,
 int32_t weight1, int32_t offset1, int32_t weight2, int32_t offset2, KvnSize roiSize) {
  return bidir8(pSrc1, srcStep, pSrc2, srcStep, pDst, dstStep, roiSize, weight1, weight2, bi_offset(offset1, offset2),
                uint64_t(log2Denominator) + 1);
}

KVN_ENTRY(kvniBiDirWeightBlock_H264_8u_P3P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t src1Step, int32_t src2Step, int32_t dstStep,
 Kvn32u log2Denominator, int32_t weight1, int32_t offset1, int32_t weight2, int32_t offset2, KvnSize roiSize) {
  return bidir8(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, roiSize, weight1, weight2, bi_offset(offset1, offset2),
                uint64_t(log2Denominator) + 1);
}

KVN_ENTRY(kvniBiDirWeightBlock_H264_8u_C2R)
(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams1, const KvnWeightParams8u* pParams2) {
  KVN_CHECK_PTRS(pBlock, pParams1, pParams2);
  const KvnWeightBlockRecord8u& r = *pBlock;
  KVN_CHECK_PTRS(r.pSrc1, r.pSrc2, r.pDst);
  if (bad_step_c2(r.dstStep, r.roiSize.width) || bad_step_c2(r.src1Step, r.roiSize.width)) return KVN_STS_STEP_ERR;
  if (!block_size(r.roiSize)) return KVN_STS_SIZE_ERR;
  bi8_c2(r, *pParams1, *pParams2);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniBidirWeight_H264_16u_P2P1R)
(const KvnBidirRecord16u* pBidir, Kvn32u log2Denominator, int32_t weight1, int32_t offset1, int32_t weight2,
 int32_t offset2) {
  const KvnResult st = check16(pBidir);
  if (st != KVN_STS_OK) return st;
  bi16(*pBidir, bi_args(log2Denominator, weight1, offset1, weight2, offset2, max_sample(pBidir->bitDepth)));
  return KVN_STS_OK;
}

// ---- two lists, implicit weights: logWD 5, no offsets

KVN_ENTRY(kvniBiDirWeightBlockImplicit_H264_8u_P2P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t srcStep, int32_t dstStep, int32_t weight1,
 int32_t weight2, KvnSize roiSize) {
  return bidir8(pSrc1, srcStep, pSrc2, srcStep, pDst, dstStep, roiSize, weight1, weight2, 0, 6);
}

// No step or size checks: any block of at least one sample is weighted.
KVN_ENTRY(kvniBiDirWeightBlockImplicit_H264_8u_P3P1R)
(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t src1Step, int32_t src2Step, int32_t dstStep,
 int32_t weight1, int32_t weight2, KvnSize roiSize) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  if (roiSize.width < 1 || roiSize.height < 1) return KVN_STS_OK;
  if (block_size(roiSize)) {
    bi8_planar(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep, roiSize, weight1, weight2, 0, 6);
    return KVN_STS_OK;
  }
  WeightArgs a = bi_args(5, weight1, 0, weight2, 0, 255);
  reduce_weights(a);
  (fits8(a) ? KVN_KERNEL(weight, bi8_any) : KVN_KERNEL(weight, bi8_exact))(pSrc1, src1Step, pSrc2, src2Step, pDst,
                                                                           dstStep, roiSize.width, roiSize.height, a);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniBidirWeightImplicit_H264_16u_P2P1R)(const KvnBidirRecord16u* pBidir, int32_t weight1, int32_t weight2) {
  const KvnResult st = check16(pBidir);
  if (st != KVN_STS_OK) return st;
  bi16(*pBidir, bi_args(5, weight1, 0, weight2, 0, max_sample(pBidir->bitDepth)));
  return KVN_STS_OK;
}

// ---- rounded average and the general weighted average

// No step checks; any width and height from 2 to 16.
KVN_ENTRY(kvniBidir_H264_16u_P2P1R)(const KvnBidirRecord16u* pBidir) {
  KVN_CHECK_PTRS(pBidir);
  const KvnBidirRecord16u& r = *pBidir;
  KVN_CHECK_PTRS(r.pSrc1, r.pSrc2, r.pDst);
  const int32_t w = r.roiSize.width, h = r.roiSize.height;
  if (h < 2 || h > 16 || w < 2 || w > 16) return KVN_STS_SIZE_ERR;
  KVN_KERNEL(weight, average16[w - 2])(r, max_sample(r.bitDepth));
  return KVN_STS_OK;
}

KVN_ENTRY(kvniWeightedAverage_H264_8u_C1IR)
(const Kvn8u* pSrc1, Kvn8u* pSrc2Dst, int32_t srcDstStep, int32_t weight1, int32_t weight2, Kvn32u shift,
 int32_t offset, KvnSize roiSize) {
  return bidir8(pSrc1, srcDstStep, pSrc2Dst, srcDstStep, pSrc2Dst, srcDstStep, roiSize, weight1, weight2, offset,
                shift);
}
