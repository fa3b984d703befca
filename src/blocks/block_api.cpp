// Entries of the block layer: null-pointer checks (the only checks besides the
// scan counts), then one call through the kernel table.
#include "block.h"
#include "core/entry.h"
#include "tables/mpeg4_tables.h"

using namespace kvn;

namespace {

inline int hp_index(int32_t code, int32_t rounding) { return 2 * (code & 3) + (rounding & 1); }
inline int mc_index(int32_t mode, int32_t rounding) { return (mode & 12) / 2 + (rounding & 1); }
inline int mc_b_index(int32_t modeF, int32_t modeB, int32_t rounding) {
  return (modeF & 12) / 2 + 2 * (modeB & 12) + (rounding & 1);
}

inline KvnResult copy_hp(HpSize size, const Kvn8u* src, int32_t ss, Kvn8u* dst, int32_t ds, int32_t code,
                         int32_t rounding) {
  KVN_CHECK_PTRS(src, dst);
  KVN_KERNEL(block, copy_hp[size][hp_index(code, rounding)])(src, ss, dst, ds);
  return KVN_STS_OK;
}

inline KvnResult interp_avg(HpSize size, const Kvn8u* src, int32_t ss, Kvn8u* sd, int32_t ds, int32_t code,
                            int32_t rounding) {
  KVN_CHECK_PTRS(src, sd);
  KVN_KERNEL(block, interp_avg[size][hp_index(code, rounding)])(src, ss, sd, ds);
  return KVN_STS_OK;
}

inline KvnResult mc(McSize size, const Kvn8u* ref, int32_t fs, const Kvn16s* res, int32_t rs, Kvn8u* dst, int32_t ds,
                    int32_t mode, int32_t rounding) {
  KVN_CHECK_PTRS(ref, res, dst);
  const int index = mc_small(size) ? (mode & 12) / 4 : mc_index(mode, rounding);
  KVN_KERNEL(block, mc[size][index])(ref, fs, res, rs, dst, ds, rounding);
  return KVN_STS_OK;
}

inline KvnResult mc_b(McSize size, const Kvn8u* rf, int32_t fs, int32_t modeF, const Kvn8u* rb, int32_t bs,
                      int32_t modeB, const Kvn16s* res, int32_t rs, Kvn8u* dst, int32_t ds, int32_t rounding) {
  KVN_CHECK_PTRS(rf, rb, res, dst);
  const int index = mc_small(size) ? (modeF & 12) / 4 + (modeB & 12) : mc_b_index(modeF, modeB, rounding);
  KVN_KERNEL(block, mc_b[size][index])(rf, fs, rb, bs, res, rs, dst, ds, rounding);
  return KVN_STS_OK;
}

inline KvnResult mc_p2(P2Size size, const Kvn8u* ref, int32_t fs, const Kvn16s* ru, const Kvn16s* rv, int32_t rs,
                       Kvn8u* dst, int32_t ds, int32_t mode, int32_t rounding) {
  KVN_CHECK_PTRS(ref, ru, rv, dst);
  KVN_KERNEL(block, mc_p2[size][mc_index(mode, rounding)])(ref, fs, ru, rv, rs, dst, ds);
  return KVN_STS_OK;
}

inline KvnResult mc_p2b(P2Size size, const Kvn8u* rf, int32_t fs, int32_t modeF, const Kvn8u* rb, int32_t bs,
                        int32_t modeB, const Kvn16s* ru, const Kvn16s* rv, int32_t rs, Kvn8u* dst, int32_t ds,
                        int32_t rounding) {
  KVN_CHECK_PTRS(rf, rb, ru, rv, dst);
  KVN_KERNEL(block, mc_p2b[size][mc_b_index(modeF, modeB, rounding)])(rf, fs, rb, bs, ru, rv, rs, dst, ds);
  return KVN_STS_OK;
}

inline const uint8_t* scan_table(int32_t scan) {
  return scan == 1 ? kScanAltVertical : scan == 2 ? kScanAltHorizontal : kScanZigzag;
}

}  // namespace

// ---- copy and average ----------------------------------------------------

KVN_ENTRY(kvniCopy8x8_8u_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(block, copy8x8)(pSrc, srcStep, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCopy16x16_8u_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc, pDst);
  KVN_KERNEL(block, copy16x16)(pSrc, srcStep, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCopy8x4HP_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t code, int32_t rounding) {
  return copy_hp(kHp8x4, pSrc, srcStep, pDst, dstStep, code, rounding);
}

KVN_ENTRY(kvniCopy8x8HP_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t code, int32_t rounding) {
  return copy_hp(kHp8x8, pSrc, srcStep, pDst, dstStep, code, rounding);
}

KVN_ENTRY(kvniCopy16x8HP_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t code, int32_t rounding) {
  return copy_hp(kHp16x8, pSrc, srcStep, pDst, dstStep, code, rounding);
}

KVN_ENTRY(kvniCopy16x16HP_8u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t code, int32_t rounding) {
  return copy_hp(kHp16x16, pSrc, srcStep, pDst, dstStep, code, rounding);
}

KVN_ENTRY(kvniInterpolateAverage8x4_8u_C1IR)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep, int32_t code, int32_t rounding) {
  return interp_avg(kHp8x4, pSrc, srcStep, pSrcDst, srcDstStep, code, rounding);
}

KVN_ENTRY(kvniInterpolateAverage8x8_8u_C1IR)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep, int32_t code, int32_t rounding) {
  return interp_avg(kHp8x8, pSrc, srcStep, pSrcDst, srcDstStep, code, rounding);
}

KVN_ENTRY(kvniInterpolateAverage16x8_8u_C1IR)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep, int32_t code, int32_t rounding) {
  return interp_avg(kHp16x8, pSrc, srcStep, pSrcDst, srcDstStep, code, rounding);
}

KVN_ENTRY(kvniInterpolateAverage16x16_8u_C1IR)
(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep, int32_t code, int32_t rounding) {
  return interp_avg(kHp16x16, pSrc, srcStep, pSrcDst, srcDstStep, code, rounding);
}

KVN_ENTRY(kvniAverage8x8_8u_C1IR)(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep) {
  KVN_CHECK_PTRS(pSrc, pSrcDst);
  KVN_KERNEL(block, avg_ir8x8)(pSrc, srcStep, pSrcDst, srcDstStep, pSrcDst, srcDstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniAverage16x16_8u_C1IR)(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep) {
  KVN_CHECK_PTRS(pSrc, pSrcDst);
  KVN_KERNEL(block, avg_ir16x16)(pSrc, srcStep, pSrcDst, srcDstStep, pSrcDst, srcDstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniAverage8x8_8u_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn8u* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  KVN_KERNEL(block, avg8x8)(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniAverage16x16_8u_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn8u* pDst, int32_t dstStep) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst);
  KVN_KERNEL(block, avg16x16)(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
  return KVN_STS_OK;
}

// ---- residual addition -----------------------------------------------------

KVN_ENTRY(kvniAdd8x8_16s8u_C1IRS)(const Kvn16s* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep) {
  KVN_CHECK_PTRS(pSrc, pSrcDst);
  KVN_KERNEL(block, add8x8)(pSrc, srcStep, pSrcDst, srcDstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniAdd8x8HP_16s8u_C1RS)
(const Kvn16s* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn8u* pDst, int32_t dstStep,
 int32_t halfCode, int32_t rounding) {
  KVN_CHECK_PTRS(pSrc, pRef, pDst);
  KVN_KERNEL(block, add8x8_hp[hp_index(halfCode, rounding)])(pSrc, srcStep, pRef, refStep, pDst, dstStep);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniAddC8x8_16s8u_C1IR)(Kvn16s value, Kvn8u* pSrcDst, int32_t srcDstStep) {
  KVN_CHECK_PTRS(pSrcDst);
  KVN_KERNEL(block, addc8x8)(value, pSrcDst, srcDstStep);
  return KVN_STS_OK;
}

// ---- motion compensation ---------------------------------------------------

KVN_ENTRY(kvniMC16x16_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc16x16, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC16x16B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc16x16, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC16x8_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc16x8, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC16x8B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc16x8, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC8x16_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc8x16, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC8x16B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc8x16, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC8x8_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc8x8, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC8x8B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc8x8, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC8x4_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc8x4, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC8x4B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc8x4, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC4x8_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc4x8, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC4x8B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc4x8, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC4x4_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc4x4, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC4x4B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc4x4, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC4x2_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc4x2, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC4x2B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc4x2, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC2x4_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc2x4, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC2x4B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc2x4, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC2x2_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc2x2, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC2x2B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc2x2, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC16x8UV_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc16x8UV, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC16x8BUV_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc16x8UV, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC16x4_8u_C1)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
 int32_t mode, int32_t rounding) {
  return mc(kMc16x4, pRef, refStep, pSrcYData, srcYStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC16x4B_8u_C1)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_b(kMc16x4, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcYData, srcYStep, pDst, dstStep, rounding);
}

KVN_ENTRY(kvniMC8x8_16s8u_P2C2R)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst,
 int32_t dstStep, int32_t mode, int32_t rounding) {
  return mc_p2(kP2_8x8, pRef, refStep, pSrcUData, pSrcVData, srcUVStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC8x8B_16s8u_P2C2R)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcUData, const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_p2b(kP2_8x8, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcUData, pSrcVData, srcUVStep, pDst, dstStep,
                rounding);
}

KVN_ENTRY(kvniMC8x4_16s8u_P2C2R)
(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst,
 int32_t dstStep, int32_t mode, int32_t rounding) {
  return mc_p2(kP2_8x4, pRef, refStep, pSrcUData, pSrcVData, srcUVStep, pDst, dstStep, mode, rounding);
}

KVN_ENTRY(kvniMC8x4B_16s8u_P2C2R)
(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
 const Kvn16s* pSrcUData, const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding) {
  return mc_p2b(kP2_8x4, pRefF, refFStep, modeF, pRefB, refBStep, modeB, pSrcUData, pSrcVData, srcUVStep, pDst, dstStep,
                rounding);
}

// ---- coefficient blocks ----------------------------------------------------

KVN_ENTRY(kvniCountZeros8x8_16s_C1)(const Kvn16s* pSrc, Kvn32u* pCount) {
  KVN_CHECK_PTRS(pSrc, pCount);
  *pCount = KVN_KERNEL(block, count_zeros8x8)(pSrc);
  return KVN_STS_OK;
}

// With fewer than 20 nonzero coefficients the block is cleared and only the
// nonzero ones are copied, stopping after the count; otherwise all 64 are copied.
KVN_ENTRY(kvniScanFwd_16s_C1)(const Kvn16s* pSrc, Kvn16s* pDst, int32_t countNonZero, int32_t scan) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (countNonZero < 1 || countNonZero > 64) return KVN_STS_OUT_OF_RANGE;
  const uint8_t* order = scan_table(scan);
  if (countNonZero < 20) {
    for (int k = 0; k < 64; ++k) pDst[k] = 0;
    int copied = 0;
    for (int k = 0; k < 64 && copied < countNonZero; ++k) {
      const Kvn16s v = pSrc[order[k]];
      if (v != 0) {
        pDst[k] = v;
        ++copied;
      }
    }
  } else {
    for (int k = 0; k < 64; ++k) pDst[k] = pSrc[order[k]];
  }
  return KVN_STS_OK;
}

KVN_ENTRY(kvniScanInv_16s_C1)(const Kvn16s* pSrc, Kvn16s* pDst, int32_t indxLastNonZero, int32_t scan) {
  KVN_CHECK_PTRS(pSrc, pDst);
  if (indxLastNonZero < 0 || indxLastNonZero > 63) return KVN_STS_OUT_OF_RANGE;
  const uint8_t* order = scan_table(scan);
  for (int k = 0; k < 64; ++k) pDst[k] = 0;
  pDst[0] = pSrc[0];
  for (int k = 1; k <= indxLastNonZero; ++k) pDst[order[k]] = pSrc[k];
  return KVN_STS_OK;
}
