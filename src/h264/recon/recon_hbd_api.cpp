// Entries of the high-profile macroblock reconstruction: every record's
// pointers, then steps, then bit depth and qp (both chroma records before
// anything is written), then the intra mode; then one walk over the chosen
// kernels.
#include <cstddef>

#include "core/entry.h"
#include "h264/recon/recon_hbd.h"
#include "h264/recon/recon_layout.h"

using namespace kvn;
using namespace kvn::recon_hbd;

static_assert(sizeof(KvnReconstructRecord32s16u) == 48, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, pSrcDstPlane) == 8, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, srcDstStep) == 16, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, cbp) == 20, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, qp) == 24, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, pQuantTable) == 32, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, bypassFlag) == 40, "record layout");
static_assert(offsetof(KvnReconstructRecord32s16u, bitDepth) == 44, "record layout");
static_assert(sizeof(KvnReconstructRecord16s8u) == 48, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, pSrcDstPlane) == 8, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, srcDstStep) == 16, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, cbp) == 20, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, qp) == 24, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, pQuantTable) == 32, "record layout");
static_assert(offsetof(KvnReconstructRecord16s8u, bypassFlag) == 40, "record layout");

namespace {

using h264::kEdgeLeft;
using h264::kEdgeTop;
using h264::kEdgeTopLeft;

template <class R>
bool null_record(const R* r) {
  return !r || !r->ppSrcDstCoeff || !r->pSrcDstPlane || !r->pQuantTable || !*r->ppSrcDstCoeff;
}

// Bit depth 8..14 (it sets shifts and the sample range), then qp: luma up to
// 6 bitDepth + 3, chroma up to 6 bitDepth - 9; 8-bit chroma up to 39.
KvnResult check_range(const Rec32& r, bool luma) {
  if (r.bitDepth < 8 || r.bitDepth > 14) return KVN_STS_OUT_OF_RANGE;
  const uint32_t max = uint32_t(6 * r.bitDepth + (luma ? 3 : -9));
  return in_range(r.qp, max) ? KVN_STS_OK : KVN_STS_OUT_OF_RANGE;
}
KvnResult check_range(const Rec8& r, bool) { return in_range(r.qp, 39) ? KVN_STS_OK : KVN_STS_OUT_OF_RANGE; }

// A row step below the component's width would overlap its rows.
KvnResult check_luma(const Rec32* r) {
  if (null_record(r)) return KVN_STS_NULL_PTR;
  if (r->srcDstStep < 16) return KVN_STS_STEP_ERR;
  return check_range(*r, true);
}

template <class R>
KvnResult check_chroma(const R* const* r) {
  if (!r || null_record(r[0]) || null_record(r[1])) return KVN_STS_NULL_PTR;
  if (r[0]->srcDstStep < 8 || r[1]->srcDstStep < 8) return KVN_STS_STEP_ERR;
  for (int c = 0; c < 2; ++c)
    if (const KvnResult st = check_range(*r[c], false)) return st;
  return KVN_STS_OK;
}

struct Sides {
  bool top, left, top_left;
  explicit Sides(uint32_t e) : top(!(e & kEdgeTop)), left(!(e & kEdgeLeft)), top_left(!(e & kEdgeTopLeft)) {}
};

// Intra16x16: 0 vertical, 1 horizontal, 2 DC, 3 plane.
KvnResult check_16x16_mode(int32_t mode, uint32_t edges) {
  const Sides s(edges);
  if ((mode == 0 && !s.top) || (mode == 1 && !s.left) || (mode == 3 && !(s.top && s.left && s.top_left)))
    return KVN_STS_INTRA_UNAVAILABLE;
  return in_range(mode, 3) ? KVN_STS_OK : KVN_STS_OUT_OF_RANGE;
}

// Chroma: 0 DC, 1 horizontal, 2 vertical, 3 plane.
KvnResult check_chroma_mode(int32_t mode, uint32_t edges) {
  const Sides s(edges);
  if ((mode == 1 && !s.left) || (mode == 2 && !s.top) || (mode == 3 && !(s.top && s.left && s.top_left)))
    return KVN_STS_INTRA_UNAVAILABLE;
  return in_range(mode, 3) ? KVN_STS_OK : KVN_STS_OUT_OF_RANGE;
}

// Half functions: DC or vertical, the latter with the top available.
KvnResult check_half_mode(int32_t mode, uint32_t top) {
  return mode == 0 || (mode == 2 && Sides(top).top) ? KVN_STS_OK : KVN_STS_INTRA_UNAVAILABLE;
}

// Prediction availability of a whole chroma component, and of one whose
// halves have their own left neighbours.
int32_t chroma_avail(uint32_t edges) { return h264::mb_avail(edges) | (Sides(edges).left ? kAvailLeftLower : 0); }
int32_t chroma_avail(uint32_t top, uint32_t bottom) {
  const Sides t(top), b(bottom);
  return (t.top ? kAvailTop : 0) | (t.left ? kAvailLeft : 0) | (b.left ? kAvailLeftLower : 0);
}

}  // namespace

KVN_ENTRY(kvniReconstructLumaInter4x4_H264High_32s16u_IP1R)(const KvnReconstructRecord32s16u* pRecord) {
  if (const KvnResult st = check_luma(pRecord)) return st;
  luma_inter4x4(*pRecord, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaInter8x8_H264High_32s16u_IP1R)(const KvnReconstructRecord32s16u* pRecord) {
  if (const KvnResult st = check_luma(pRecord)) return st;
  luma_inter8x8(*pRecord, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R)
(const KvnReconstructRecord32s16u* pRecord, int32_t intraMode, Kvn8u edgeFlags) {
  if (const KvnResult st = check_luma(pRecord)) return st;
  if (const KvnResult st = check_16x16_mode(intraMode, edgeFlags)) return st;
  luma_intra16x16(*pRecord, intraMode, edgeFlags, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R)
(const KvnReconstructRecord32s16u* pRecord, const int32_t* pIntraModes, Kvn8u edgeFlags) {
  if (!pIntraModes) return KVN_STS_NULL_PTR;
  if (const KvnResult st = check_luma(pRecord)) return st;
  return luma_intra4x4(*pRecord, pIntraModes, false, edgeFlags, recon_hbd_kernels());
}

KVN_ENTRY(kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R)
(const KvnReconstructRecord32s16u* pRecord, const Kvn32u* pIntraModes, Kvn8u edgeFlags) {
  if (!pIntraModes) return KVN_STS_NULL_PTR;
  if (const KvnResult st = check_luma(pRecord)) return st;
  return luma_intra8x8(*pRecord, pIntraModes, false, edgeFlags, recon_hbd_kernels());
}

KVN_ENTRY(kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R)
(const KvnReconstructRecord32s16u* pRecord, const int32_t* pIntraModes, Kvn8u edgeFlags) {
  if (!pIntraModes) return KVN_STS_NULL_PTR;
  if (const KvnResult st = check_luma(pRecord)) return st;
  return luma_intra4x4(*pRecord, pIntraModes, true, edgeFlags, recon_hbd_kernels());
}

KVN_ENTRY(kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R)
(const KvnReconstructRecord32s16u* pRecord, const Kvn32u* pIntraModes, Kvn8u edgeFlags) {
  if (!pIntraModes) return KVN_STS_NULL_PTR;
  if (const KvnResult st = check_luma(pRecord)) return st;
  return luma_intra8x8(*pRecord, pIntraModes, true, edgeFlags, recon_hbd_kernels());
}

KVN_ENTRY(kvniReconstructChromaInter4x4_H264High_32s16u_IP2R)(const KvnReconstructRecord32s16u* const pRecords[2]) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  chroma420(pRecords, -1, 0, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R)
(const KvnReconstructRecord32s16u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlags) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_chroma_mode(intraChromaMode, edgeFlags)) return st;
  chroma420(pRecords, intraChromaMode, chroma_avail(edgeFlags), recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R)
(const KvnReconstructRecord32s16u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlagsTop,
 Kvn8u edgeFlagsBottom) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_half_mode(intraChromaMode, edgeFlagsTop)) return st;
  chroma420(pRecords, intraChromaMode, chroma_avail(edgeFlagsTop, edgeFlagsBottom), recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R)
(const KvnReconstructRecord16s8u* const pRecords[2], int32_t levelScaleDcCb, int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, -1, 0, ls, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R)
(const KvnReconstructRecord32s16u* const pRecords[2], int32_t levelScaleDcCb, int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, -1, 0, ls, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R)
(const KvnReconstructRecord16s8u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlags, int32_t levelScaleDcCb,
 int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_chroma_mode(intraChromaMode, edgeFlags)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, intraChromaMode, chroma_avail(edgeFlags), ls, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R)
(const KvnReconstructRecord32s16u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlags, int32_t levelScaleDcCb,
 int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_chroma_mode(intraChromaMode, edgeFlags)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, intraChromaMode, chroma_avail(edgeFlags), ls, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R)
(const KvnReconstructRecord16s8u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlagsTop, Kvn8u edgeFlagsBottom,
 int32_t levelScaleDcCb, int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_half_mode(intraChromaMode, edgeFlagsTop)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, intraChromaMode, chroma_avail(edgeFlagsTop, edgeFlagsBottom), ls, recon_hbd_kernels());
  return KVN_STS_OK;
}

KVN_ENTRY(kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R)
(const KvnReconstructRecord32s16u* const pRecords[2], int32_t intraChromaMode, Kvn8u edgeFlagsTop,
 Kvn8u edgeFlagsBottom, int32_t levelScaleDcCb, int32_t levelScaleDcCr) {
  if (const KvnResult st = check_chroma(pRecords)) return st;
  if (const KvnResult st = check_half_mode(intraChromaMode, edgeFlagsTop)) return st;
  const int32_t ls[2] = {levelScaleDcCb, levelScaleDcCr};
  chroma422(pRecords, intraChromaMode, chroma_avail(edgeFlagsTop, edgeFlagsBottom), ls, recon_hbd_kernels());
  return KVN_STS_OK;
}
