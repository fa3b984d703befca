/*
 * kvnVC: video-coding primitives with a flat C interface.
 *
 * Every function works on caller-owned memory, one unit of work per call, and
 * returns a KvnResult (kvncore.h). Row steps are signed distances in bytes
 * between the starts of consecutive rows unless a function says otherwise.
 */
#ifndef KVNVC_H
#define KVNVC_H

#include "kvncore.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------ */
/* Library version                                                          */
/* ------------------------------------------------------------------------ */

typedef struct KvnVersionRecord {
  int32_t versionMajor;
  int32_t versionMinor;
  int32_t versionUpdate;
  int32_t revision;
  char targetCode[4]; /* "m7" and two NUL bytes */
  const char* libraryName;
  const char* versionText;
  const char* buildDate;
} KvnVersionRecord;

/* The one static version record; never null, never to be written or freed. */
const KvnVersionRecord* kvnvcGetLibVersion(void);

/* ------------------------------------------------------------------------ */
/* Block copy, averaging and motion compensation                            */
/*                                                                          */
/* halfCode (HP functions): low two bits, 0 full, 1 horizontal half,        */
/*   2 vertical half, 3 both.                                               */
/* mode (MC functions): bits of value 4 (vertical half) and 8 (horizontal   */
/*   half); 12 both.                                                        */
/* rounding: 0 rounds half-sample averages up, 1 down. Widths 2 and 4 of    */
/*   the MC functions accept only 0 and 1.                                  */
/* ------------------------------------------------------------------------ */

KvnResult kvniCopy8x8_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep);
KvnResult kvniCopy16x16_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep);

KvnResult kvniCopy8x4HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                               int32_t rounding);
KvnResult kvniCopy8x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                               int32_t rounding);
KvnResult kvniCopy16x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                                int32_t rounding);
KvnResult kvniCopy16x16HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                                 int32_t rounding);

/* pSrcDst = (pSrc + pSrcDst + 1) >> 1 */
KvnResult kvniAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
KvnResult kvniAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/* pDst = (pSrc1 + pSrc2 + 1) >> 1 */
KvnResult kvniAverage8x8_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn8u* pDst,
                                int32_t dstStep);
KvnResult kvniAverage16x16_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                  Kvn8u* pDst, int32_t dstStep);

/* pSrcDst = (p + pSrcDst + 1) >> 1, p the half-sample prediction of pSrc */
KvnResult kvniInterpolateAverage8x4_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                            int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                            int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage16x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                             int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                              int32_t halfCode, int32_t rounding);

/* pSrcDst = clamp(pSrcDst + residual), 16-bit wrap-around sum */
KvnResult kvniAdd8x8_16s8u_C1IRS(const Kvn16s* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/* pDst = clamp(p + residual), p the half-sample prediction of pRef, 16-bit wrap-around sum */
KvnResult kvniAdd8x8HP_16s8u_C1RS(const Kvn16s* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn8u* pDst,
                                  int32_t dstStep, int32_t halfCode, int32_t rounding);
/* pSrcDst = clamp(pSrcDst + value), 16-bit wrap-around sum */
KvnResult kvniAddC8x8_16s8u_C1IR(Kvn16s value, Kvn8u* pSrcDst, int32_t srcDstStep);

/* pDst = clamp(p + residual), p the prediction of pRef by mode and rounding */
KvnResult kvniMC16x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                            int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                             int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                             int32_t rounding);
KvnResult kvniMC16x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);
KvnResult kvniMC8x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);
KvnResult kvniMC8x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC8x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC4x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC4x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC4x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC2x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC2x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
KvnResult kvniMC2x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC2x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/* Interleaved chroma (Cb, Cr pairs), 16 bytes wide: the horizontal neighbour
 * of a sample is two bytes further on. */
KvnResult kvniMC16x8UV_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                             int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x8BUV_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                              int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                              int32_t rounding);
KvnResult kvniMC16x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);

/* Interleaved chroma prediction with planar residuals: even destination bytes
 * take pSrcUData, odd bytes pSrcVData; both planes share srcUVStep. */
KvnResult kvniMC8x8_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x4_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x8B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                 int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC8x4B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                 int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding);

/* Number of zero coefficients among 64 (0..64). */
KvnResult kvniCountZeros8x8_16s_C1(const Kvn16s* pSrc, Kvn32u* pCount);

/* scan: 1 alternate-vertical, 2 alternate-horizontal, anything else zigzag
 * (ISO/IEC 14496-2 Figure 7-2 and 7-3). */
KvnResult kvniScanFwd_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t countNonZero, int32_t scan);
KvnResult kvniScanInv_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t indxLastNonZero, int32_t scan);

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: SAD family                                    */
/* ------------------------------------------------------------------------ */

/* SAD = sum over the block of |pSrc - p|, p the reference sample chosen by
 * mode (members with a mode): (mode >> 2) & 3 selects 0 full sample,
 * 1 vertical half (r(x, y) + r(x, y+1) + 1) >> 1, 2 horizontal half
 * (r(x, y) + r(x+1, y) + 1) >> 1, 3 centre (four samples + 2) >> 2; the other
 * bits are ignored. Half-sample modes read one more row and/or column of
 * pRef. Only null pointers are checked (and the steps where stated); steps
 * are bytes also for 16-bit samples. The value is written as unsigned. */
KvnResult kvniSAD16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                             int32_t mode);
KvnResult kvniSAD16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);
KvnResult kvniSAD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                               int32_t mode);
KvnResult kvniSAD4x4_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
KvnResult kvniSAD8x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
KvnResult kvniSAD4x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
KvnResult kvniSAD8x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);

/* 16-bit samples: the half-sample averages are formed with sums saturating at
 * 65535, and each |s - p| is added to the total as a signed 16-bit value, so
 * the result is exact for samples up to 16383. */
KvnResult kvniSAD16x16_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                  Kvn32s* pSAD, int32_t mode);
KvnResult kvniSAD8x8_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);
KvnResult kvniSAD4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);

/* 8x8 of each of two interleaved channels (16 bytes a row): pSAD1 gets the SAD
 * of the even bytes, pSAD2 that of the odd bytes; the horizontal neighbour of
 * a sample is two bytes further on. Steps below 1: KVN_STS_STEP_ERR. */
KvnResult kvniSAD8x8_8u32s_C2R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD1,
                               Kvn32s* pSAD2, int32_t mode);

/* Candidates at pRef + i bytes, i = 0 .. (count & ~7) - 1, in the same rows;
 * pSAD[i] gets the SAD of candidate i. Fewer than 8 candidates (count & ~7
 * below 1): KVN_STS_SIZE_ERR. The reference rows are read for
 * (count & ~7) + width - 1 bytes. */
KvnResult kvniSAD16x16xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                   int32_t count);
KvnResult kvniSAD8x8xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
KvnResult kvniSAD4x4xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
KvnResult kvniSAD2x2xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
/* As xN, and *pIndex = the index of the smallest SAD (the lowest among equal
 * ones). */
KvnResult kvniSAD16x16xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16u* pSAD, int32_t count, Kvn32u* pIndex);
KvnResult kvniSAD8x8xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                  int32_t count, Kvn32u* pIndex);
KvnResult kvniSAD4x4xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                  int32_t count, Kvn32u* pIndex);

/* SADs of the 8x8 (4 values) or 4x4 (16 values) sub-blocks of a 16x16 block,
 * full sample, in raster order of the sub-blocks. The 16-bit members address
 * rows by (step >> 1) samples and add differences as the other 16-bit SADs. */
KvnResult kvniSAD16x16Blocks8x8_8u16u(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                      Kvn16u* pDstSAD);
KvnResult kvniSAD16x16Blocks4x4_8u16u(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                      Kvn16u* pDstSAD);
KvnResult kvniSAD16x16Blocks8x8_16u32u_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                           Kvn32u* pDstSAD);
KvnResult kvniSAD16x16Blocks4x4_16u32u_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                           Kvn32u* pDstSAD);

/* Activity of one 16x16 block: frame = sum |R(i) - R(i+1)| over the row pairs
 * within each 8-row half (14 pairs); field = sum |R(i) - R(i+2)|, i = 0..13.
 * The 16-bit form computes modulo 65536 and stores the sums zero-extended. */
KvnResult kvniFrameFieldSAD16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD);
KvnResult kvniFrameFieldSAD16x16_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD);

/* pDst = pSrc1 - pSrc2 (8x8, 16-bit, dstStep in bytes); *pSAD = sum |pDst|. */
KvnResult kvniSubSAD8x8_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                  Kvn16s* pDst, int32_t dstStep, Kvn32u* pSAD);

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: Hadamard, squared-error, variance and         */
/* activity measures                                                        */
/* ------------------------------------------------------------------------ */

/* Hadamard costs of d = pSrc - pRef: each 4x4 block of d is transformed by the
 * unnormalised 4x4 Hadamard transform (rows and columns, entries +-1); *pSATD
 * receives the sum of the absolute values of all coefficients, exact. */
KvnResult kvniSATD4x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD4x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD8x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD8x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSATD16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn32u* pSATD);
/* The same with one 8x8 Hadamard transform of the whole 8x8 block. The 16-bit
 * member is exact for every 16-bit sample value. */
KvnResult kvniSAT8x8D_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
KvnResult kvniSAT8x8D_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                 Kvn32u* pSATD);

/* Sum of squared differences between pSrc and the prediction of pRef by mode
 * (bits of value 4 and 8 as in the MC functions; half-sample averages rounded
 * up). */
KvnResult kvniSSD4x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD,
                               int32_t mode);
KvnResult kvniSSD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD,
                               int32_t mode);
KvnResult kvniSqrDiff16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, int32_t mode,
                                 Kvn32u* pSSD);
/* The prediction is (pF + pB + 1) >> 1 of the predictions of both references. */
KvnResult kvniSqrDiff16x16B_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                  int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn32u* pSSD);

/* Q - ((S * S) >> 8) for the sum S and the sum of squares Q of the 256 samples:
 * 256 times the variance, the subtracted term rounded down. */
KvnResult kvniVariance16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar);
/* *pSum = S, the sum of the 64 samples (not their mean), under both names;
 * *pVar = trunc(Q / 64 - (S / 64)^2) in single precision. The 16-bit members
 * sum each column with signed 16-bit saturation, row by row, and add up the
 * squares modulo 2^32. */
KvnResult kvniVarMean8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
KvnResult kvniVarSum8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
KvnResult kvniVarMean8x8_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
KvnResult kvniVarSum8x8_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
/* For each 8x8 block b of pSrc minus the prediction of pRef by mode (blocks in
 * raster order: four for 16x16, two for 16x8): D = pSrcSum[b] - the sum of the
 * prediction over the block, pMean[b] = D / 8 truncated toward zero, and with
 * Q the sum of the squared differences, pVar[b] = (Q - pMean[b]^2) >> 6 when
 * Q > pMean[b]^2, else 0. The 16x16 member computes and writes nothing unless
 * mode is exactly 0, 4, 8 or 12 (and returns success); the 16x8 member uses
 * the bits of value 4 and 8. */
KvnResult kvniVarMeanDiff16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                         const Kvn32s* pSrcSum, Kvn32s* pVar, Kvn32s* pMean, int32_t mode);
KvnResult kvniVarMeanDiff16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                        const Kvn32s* pSrcSum, Kvn32s* pVar, Kvn32s* pMean, int32_t mode);
/* Sum of |x - m| over the block, m the mean rounded half up. */
KvnResult kvniMeanAbsDev16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst);
KvnResult kvniMeanAbsDev8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst);
/* A position (x, y), x and y below 15, of the 16x16 block is an edge when its
 * right or lower neighbour differs from it by more than diffThreshold; *pFlag
 * is 1 when there are more than countThreshold edges, else 0. */
KvnResult kvniEdgesDetect16x16_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, int32_t diffThreshold, int32_t countThreshold,
                                      Kvn8u* pFlag);
KvnResult kvniEdgesDetect16x16_16u_C1R(const Kvn16u* pSrc, int32_t srcStep, int32_t diffThreshold,
                                       int32_t countThreshold, Kvn32u* pFlag);

/* ------------------------------------------------------------------------ */
/* Block differences: residual formation                                    */
/* ------------------------------------------------------------------------ */

/* Differences are source - prediction as signed 16-bit values; steps of
 * 16-bit data are in bytes. mode: bits of value 4 (vertical half) and 8
 * (horizontal half), as in the MC functions; rounding: its low bit, 0 rounds
 * half-sample averages up, 1 down. */

/* pDstDiff = pSrc - pRef, 4x4 */
KvnResult kvniGetDiff4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep);

/* pDstDiff = pSrc - p, p the prediction of pRef by mode and rounding; p is
 * also written to pDstPredictor (16-bit, its own step) unless that is null. */
KvnResult kvniGetDiff8x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                  int32_t dstPredictorStep, int32_t mode, int32_t rounding);
KvnResult kvniGetDiff8x8_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                  int32_t dstPredictorStep, int32_t mode, int32_t rounding);
KvnResult kvniGetDiff8x16_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                   Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                   int32_t dstPredictorStep, int32_t mode, int32_t rounding);
KvnResult kvniGetDiff16x8_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                   Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                   int32_t dstPredictorStep, int32_t mode, int32_t rounding);
KvnResult kvniGetDiff16x16_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                    int32_t dstPredictorStep, int32_t mode, int32_t rounding);

/* pDstDiff = pSrc - ((pF + pB + 1) >> 1), pF and pB the predictions of pRefF
 * and pRefB by their modes and the shared rounding. */
KvnResult kvniGetDiff8x4B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                   int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff,
                                   int32_t dstDiffStep, int32_t rounding);
KvnResult kvniGetDiff8x8B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                   int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff,
                                   int32_t dstDiffStep, int32_t rounding);
KvnResult kvniGetDiff8x16B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                    int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);
KvnResult kvniGetDiff16x8B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                    int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);
KvnResult kvniGetDiff16x16B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);

/* Interleaved (Cb, Cr) source and reference, 8 pairs a row (the horizontal
 * neighbour of a sample is two bytes further on); Cb differences go to
 * pDstDiffU, Cr differences to pDstDiffV. */
KvnResult kvniGetDiff8x4_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                    int32_t mode, int32_t rounding);
KvnResult kvniGetDiff8x8_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                    int32_t mode, int32_t rounding);
KvnResult kvniGetDiff8x4B_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                     int32_t rounding);
KvnResult kvniGetDiff8x8B_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                     int32_t rounding);

/* pDst = pSrc1 - pSrc2 */
KvnResult kvniSub4x4_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst,
                               int32_t dstStep);
KvnResult kvniSub8x8_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst,
                               int32_t dstStep);
KvnResult kvniSub16x16_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                 Kvn16s* pDst, int32_t dstStep);
/* 16-bit samples: the difference modulo 65536, read as signed. */
KvnResult kvniSub4x4_16u16s_C1R(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step,
                                Kvn16s* pDst, int32_t dstStep);
KvnResult kvniSub8x8_16u16s_C1R(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step,
                                Kvn16s* pDst, int32_t dstStep);

/* pSums[b] = sum of the 16 differences pSrc - pPred of 4x4 block b (blocks in
 * raster order). Unless pDiff is null it receives the differences without a
 * step: 4x4 block after 4x4 block in that order, each block row by row
 * (64 values for 8x8, 256 for 16x16). */
KvnResult kvniSumsDiff8x8Blocks4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep,
                                            Kvn16s* pSums, Kvn16s* pDiff);
KvnResult kvniSumsDiff16x16Blocks4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep,
                                              Kvn16s* pSums, Kvn16s* pDiff);
/* 16-bit samples: exact 32-bit sums; the differences modulo 65536. */
KvnResult kvniSumsDiff8x8Blocks4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred,
                                              int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff);
KvnResult kvniSumsDiff16x16Blocks4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred,
                                                int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff);
/* Interleaved (Cb, Cr) source against planar predictions: the Cb channel
 * gives pSumsU (4 sums) and pDiffU, the Cr channel pSumsV and pDiffV; either
 * difference pointer may be null. */
KvnResult kvniSumsDiff8x8Blocks4x4_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPredU,
                                              int32_t predUStep, const Kvn8u* pPredV, int32_t predVStep, Kvn16s* pSumsU,
                                              Kvn16s* pDiffU, Kvn16s* pSumsV, Kvn16s* pDiffV);

/* ------------------------------------------------------------------------ */
/* H.264 4x4 and DC transforms with quantisation                            */
/* ------------------------------------------------------------------------ */

/* Blocks are 16 coefficients in raster order (DC blocks: 4 for 2x2 chroma,
 * 8 = 4 rows of 2 for 2x4 chroma, 16 for luma) unless a step is given.
 * qp is split as qp / 6 and qp % 6. Forward functions: level =
 * sign(c) * ((|c| * M + f) >> s), M the multiplier Q(qp % 6, class) or the
 * caller's forward scale level, s = 15 + qp / 6 (11 + qp / 6 with scale
 * levels; one more for DC blocks), f = 2^s / 3 intra, 2^s / 6 inter unless
 * stated otherwise. pScanMatrix[p] is the scan index of raster position p;
 * *pLastCoeff receives the largest one among the nonzero levels (0 if none).
 * Inverse scale levels are LevelScale4x4 = v * w (16 * v for flat weights),
 * H.264 8.5.9. */

/* Plain core transforms (H.264 8.5.12); 16s saturates every addition, 32s
 * wraps. The inverse includes (x + 32) >> 6. */
KvnResult kvniTransformResidual4x4Fwd_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
KvnResult kvniTransformResidual4x4Fwd_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst);
KvnResult kvniTransformResidual4x4Inv_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
KvnResult kvniTransformResidual4x4Inv_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst);
/* Forward core transform of a 4x4 block of samples (for SP/SI prediction). */
KvnResult kvniTransformPrediction_H264_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, Kvn16s* pDst);

/* Forward transform and quantisation of a residual block; qp 0..51 (16s) or
 * 0..87 (16s32s); intra nonzero for intra blocks; pScaleLevels may be null.
 * *pNumLevels is the number of nonzero levels, negated when level 0 is
 * nonzero. The 16s levels are the low 16 bits of the exact ones; the 16s32s
 * levels are exact, also where |c| * M + f passes 2^32. */
KvnResult kvniTransformQuantFwd4x4_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t qp, int32_t* pNumLevels,
                                               int32_t intra, const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                               const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantFwd4x4_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst, int32_t qp, int32_t* pNumLevels,
                                                  int32_t intra, const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                                  const Kvn16s* pScaleLevels);
/* Quantisation of transformed coefficients; levels saturate to their type;
 * *pNumLevels is never negated. qp 0..51 (16s, 16s32s) or 0..87 (32s);
 * pScaleLevels may be null except in 16s32s. The 32-bit levels are computed
 * exactly and saturated to 32 bits. */
KvnResult kvniQuantizeResidual4x4Fwd_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t* pNumLevels,
                                                 int32_t* pLastCoeff, const Kvn16s* pScaleLevels,
                                                 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
KvnResult kvniQuantizeResidual4x4Fwd_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst, int32_t* pNumLevels,
                                                    int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
                                                    const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
KvnResult kvniQuantizeResidual4x4Fwd_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst, int32_t* pNumLevels,
                                                 int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
                                                 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
/* In place, qp 0..51, 16-bit wrapping transform. A level above 2063 in
 * magnitude gives KVN_STS_LEVEL_RANGE: the block then holds the transform,
 * with the levels of the first 8 positions when only the last 8 failed, and
 * the counts are not written. *pLastCoeff is masked with 127. */
KvnResult kvniTransformQuantResidual_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, Kvn8s* pNumLevels, Kvn8u intra,
                                                  const Kvn16s* pScanMatrix, Kvn8u* pLastCoeff);

/* Forward DC transforms and quantisation: pDCLevels in: DC values, out:
 * levels; pTransformed receives the transform, or with transform 0 supplies
 * it. Multiplier Q(qp % 6, E) or pScaleLevels[0]. */
/* Luma (Intra16x16): f = 2^s / 3, or 682 * 2^(s - 11) with scale levels;
 * *pNumLevels negated when pTransformed[0] is nonzero. qp 0..51 / 0..87. */
KvnResult kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                      int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
                                                      int32_t* pLastCoeff, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                      int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
                                                      int32_t* pLastCoeff, const Kvn16s* pScaleLevels);
/* Legacy luma DC: 16-bit wrapping transform, level limit 2063 as
 * kvniTransformQuantResidual_H264_16s_C1I; negated when level 0 is nonzero. */
KvnResult kvniTransformQuantLumaDC_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, Kvn8s* pNumLevels,
                                                Kvn8u transform, const Kvn16s* pScanMatrix, Kvn8u* pLastCoeff);
/* Chroma DC 2x2 (4:2:0) and 2x4 (4:2:2, qp + 3 used); chroma qp 0..39 (16s)
 * or 0..75 (32s). 2x4: f = 682 (intra) or 342 (inter) * 2^(s - 11).
 * *pNumLevels negated when level 0 is zero (16s) or nonzero (32s). */
KvnResult kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
/* Legacy chroma DC 2x2, qp 0..39: a level above 2063 in magnitude gives
 * KVN_STS_LEVEL_RANGE after all levels and the count have been written. */
KvnResult kvniTransformQuantChromaDC_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                  Kvn8s* pNumLevels, Kvn8u intra, Kvn8u transform);

/* Dequantise (H.264 8.5.12.1), replace position 0 by *pDC when given, then
 * with AC & 1: inverse transform, residual written back to pSrcDst, pDst =
 * clamp(pPred + residual); without: only the DC, (dc + 32) >> 6 added to the
 * prediction, pSrcDst untouched. qp 0..51 (16s) or 0..87 (32s, bitDepth
 * 9..14); pScaleLevels (inverse, may be null). */
KvnResult kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(const Kvn8u* pPred, int32_t predStep, Kvn16s* pSrcDst,
                                                        const Kvn16s* pDC, Kvn8u* pDst, int32_t dstStep, int32_t qp,
                                                        int32_t AC, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(const Kvn16u* pPred, int32_t predStep, Kvn32s* pSrcDst,
                                                        const Kvn32s* pDC, Kvn16u* pDst, int32_t dstStep, int32_t qp,
                                                        int32_t AC, int32_t bitDepth, const Kvn16s* pScaleLevels);
/* Inverse DC transforms with dequantisation (H.264 8.5.10, 8.5.11); in
 * place; pScaleLevels[0] or 16 * v(m, E). Luma qp 0..51 / 0..87, chroma
 * 0..39 / 0..75. */
KvnResult kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvLumaDC4x4_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvChromaDC2x2_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvChromaDC2x4_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
KvnResult kvniTransformQuantInvChromaDC2x4_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/* Pre-shifted dequantisation: coefficients times v(m, class) << qp / 6
 * (16-bit), DC *pDC when given; qp 0..51. In place with srcDstStep >= 8
 * bytes; without AC the block is filled with (dc + 32) >> 6. */
KvnResult kvniDequantTransformResidual_H264_16s_C1I(Kvn16s* pSrcDst, int32_t srcDstStep, const Kvn16s* pDC, int32_t AC,
                                                    int32_t qp);
/* The same added to pPred into pDst; pSrcDst may be null when pDC is given
 * and AC is 0. */
KvnResult kvniDequantTransformResidualAndAdd_H264_16s_C1I(const Kvn8u* pPred, Kvn16s* pSrcDst, const Kvn16s* pDC,
                                                          Kvn8u* pDst, int32_t predStep, int32_t dstStep, int32_t qp,
                                                          int32_t AC);
/* Legacy DC dequantisation in the pre-shifted form; qp 0..51. */
KvnResult kvniTransformDequantLumaDC_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp);
KvnResult kvniTransformDequantChromaDC_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp);
/* SP/SI slices (H.264 8.6): transform-domain prediction, requantisation with
 * qs (qp' = qs when switching is nonzero), reconstruction into the level
 * block. qp and qs 0..51. */
KvnResult kvniDequantTransformResidual_SISP_H264_16s_C1I(Kvn16s* pSrcDst, const Kvn16s* pTransformedPred,
                                                         const Kvn16s* pDC, int32_t AC, int32_t qp, int32_t qs,
                                                         int32_t switching);
KvnResult kvniTransformDequantChromaDC_SISP_H264_16s_C1I(Kvn16s* pSrcDst, const Kvn16s* pDCPred, int32_t qp, int32_t qs,
                                                         int32_t switching);

/* Scale levels for m (0..5) from a scaling list of 16 weights: inverse
 * v(m, class) * w, forward floor(Q(m, class) / w); a weight of 0 gives
 * inverse 0 and forward Q(m, class). */
KvnResult kvniGenScaleLevel4x4_H264_8u16s_C1(const Kvn8u* pScaleList, Kvn16s* pInvLevels, Kvn16s* pFwdLevels,
                                             int32_t m);

/* ------------------------------------------------------------------------ */
/* H.264 deblocking filter                                                  */
/* ------------------------------------------------------------------------ */

/* One call filters all vertical (VerEdge) or all horizontal (HorEdge) edges of
 * one colour component of a macroblock in place, edge 0 (the macroblock edge)
 * first, with the sample filters of H.264 8.7.2.3 (bS 1..3) and 8.7.2.4
 * (bS 4). pSrcDst is the macroblock's top-left sample; when edge 0 is filtered
 * the 4 (luma) or 2 (chroma) samples left of / above the macroblock are read
 * and written. Edges are 4 samples apart.
 * pAlpha, pBeta: [0] edge 0, [1] internal edges.
 * pThresholds (tc0): [4 * edge + segment].
 * pBS: luma and 4:2:2 horizontal [4 * edge + segment]; 4:2:0 and 4:2:2
 *   vertical [8 * edge + segment] (the luma bS of luma edges 0 and 2).
 * bS 0 leaves a segment alone, 1..3 select the normal filter, 4 and above the
 * strong one. Only pointers are checked. */
KvnResult kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                        const Kvn8u* pBeta, const Kvn8u* pThresholds, const Kvn8u* pBS);
KvnResult kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                        const Kvn8u* pBeta, const Kvn8u* pThresholds, const Kvn8u* pBS);
/* One 4:2:0 chroma plane: edges 0 and 4, 8 samples long, segments of 2. */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/* Interleaved 4:2:0 chroma (even bytes one channel, odd bytes the other), both
 * channels with the same arrays. */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/* The left edge of one field/frame mixed unit: 8 luma rows with bS and tc0
 * [row >> 1], or 4 chroma rows with bS and tc0 [row]; returns at once when
 * alpha is 0 or all four bS are 0. Only pSrcDst, pThresholds and pBS are
 * checked. */
KvnResult kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha,
                                                              Kvn32u beta, const Kvn8u* pThresholds, const Kvn8u* pBS);
KvnResult kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha,
                                                                Kvn32u beta, const Kvn8u* pThresholds,
                                                                const Kvn8u* pBS);

typedef struct KvnDeblockingRecord8u {
  Kvn8u* pSrcDstPlane; /* macroblock's top-left sample */
  int32_t srcDstStep;  /* bytes */
  const Kvn8u* pAlpha;
  const Kvn8u* pBeta;
  const Kvn8u* pThresholds;
  const Kvn8u* pBs;
} KvnDeblockingRecord8u;

/* Interleaved 4:2:0 chroma with per-channel arrays: pAlpha and pBeta
 * [2 * channel + (edge != 0)], pThresholds [8 * channel + 4 * edge + segment];
 * pBs shared ([8 * edge + segment]). */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I(const KvnDeblockingRecord8u* pDeblockInfo);
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I(const KvnDeblockingRecord8u* pDeblockInfo);
/* One 4:2:2 chroma plane: vertical edges 0 and 4, 16 rows, segments of 4;
 * horizontal edges 0, 4, 8, 12, 8 samples, segments of 2 (pThresholds then
 * holds 16 entries). */
KvnResult kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(const KvnDeblockingRecord8u* pDeblockInfo);
KvnResult kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(const KvnDeblockingRecord8u* pDeblockInfo);

/* High bit depth: steps in samples; results of the normal filter clamped to
 * 0 .. 2^bitDepth - 1, with bitDepth taken as 1 when below and as 16 when
 * above 1..16. The MBAFF members use pAlpha[0] and pBeta[0]. */
typedef struct KvnDeblockingRecord16u {
  Kvn16u* pSrcDstPlane;
  int32_t srcDstStep; /* samples */
  const Kvn16u* pAlpha;
  const Kvn16u* pBeta;
  const Kvn16u* pThresholds;
  const Kvn8u* pBs;
  int32_t bitDepth;
} KvnDeblockingRecord16u;

KvnResult kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
KvnResult kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);

/* ------------------------------------------------------------------------ */
/* H.264 8x8 transform and quantisation, intra prediction                   */
/* ------------------------------------------------------------------------ */

/* 8x8 forward core transform (rows, then columns): 16-bit wrapping
 * intermediates, or 32-bit (16s32s). The in-place form is the 16-bit one. */
KvnResult kvniTransformFwdLuma8x8_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
KvnResult kvniTransformFwdLuma8x8_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst);
KvnResult kvniTransformLuma8x8Fwd_H264_16s_C1I(Kvn16s* pSrcDst);
/* Levels sign(c) * ((|c| * F + f) >> (q6 + 12)), F from pScaleLevels (64,
 * raster), f = 682 or 342 (inter) * 2^(q6 + 1); q6 0..8 (16s) or 0..14 (32s),
 * else KVN_STS_QP_ERR. *pNumLevels: nonzero levels, negated when the DC level
 * is nonzero; *pLastCoeff: largest pScanMatrix entry among them (0 if none). */
KvnResult kvniQuantLuma8x8_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t q6, int32_t intra,
                                       const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels, int32_t* pNumLevels,
                                       int32_t* pLastCoeff);
KvnResult kvniQuantLuma8x8_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst, int32_t q6, int32_t intra,
                                       const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels, int32_t* pNumLevels,
                                       int32_t* pLastCoeff);
/* Inverse scaling (H.264 8.5.12.1, 8x8) with LevelScale8x8 = pInvLevels:
 * q6 0..8 (16-bit saturated) or 0..14 (32-bit), else KVN_STS_QP_ERR. */
KvnResult kvniQuantLuma8x8Inv_H264_16s_C1I(Kvn16s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels);
KvnResult kvniQuantInvLuma8x8_H264_32s_C1I(Kvn32s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels);
/* Inverse 8x8 transform (H.264 8.5.13.2), (x + 32) >> 6, added to the
 * prediction and clamped to 0..255 (16-bit saturating intermediates) or to
 * 0..2^bitDepth - 1 (32-bit; bitDepth 8..14, values outside 1..16 are taken
 * as the nearest of 1 and 16). */
KvnResult kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(const Kvn8u* pPred, int32_t predStep, const Kvn16s* pSrc,
                                                        Kvn8u* pDst, int32_t dstStep);
KvnResult kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(const Kvn16u* pPred, int32_t predStep, const Kvn32s* pSrc,
                                                         Kvn16u* pDst, int32_t dstStep, int32_t bitDepth);
/* 8x8 scale tables for m = qp % 6 (0..5, else KVN_STS_QP_ERR) from 8 rows of
 * weights at scaleStep bytes: inverse v8(m, class) * w, forward
 * floor(Q8(m, class) / w); a weight of 0 gives inverse 0 and forward Q8. */
KvnResult kvniGenScaleLevel8x8_H264_8u16s_D2(const Kvn8u* pScaleList, int32_t scaleStep, Kvn16s* pInvLevels,
                                             Kvn16s* pFwdLevels, int32_t m);

/* Intra prediction in place (H.264 8.3), 8-bit. availability: 1 top, 2 left,
 * 32 top-left, 64 top-right (4x4 only); the memory of an unavailable
 * neighbour is never read.
 * 4x4: modes 0..8 (else KVN_STS_OUT_OF_RANGE), step >= 4; unavailable
 * samples are taken as 128 (KVN_STS_WRN_SUBSTITUTE when the mode used them;
 * a missing top-right repeats p[3, -1] without warning). */
KvnResult kvniPredictIntra_4x4_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability);
/* 16x16: 0 vertical, 1 horizontal, 2 DC, 3 plane; step >= 16; a mode whose
 * neighbours are unavailable: KVN_STS_INTRA_UNAVAILABLE, then mode above 3:
 * KVN_STS_OUT_OF_RANGE. */
KvnResult kvniPredictIntra_16x16_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability);
/* One 8x8 chroma block (4:2:0): 0 DC (per 4x4 quadrant), 1 horizontal,
 * 2 vertical, 3 plane; step >= 8; statuses as for 16x16. */
KvnResult kvniPredictIntraChroma8x8_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                 int32_t availability);

/* ------------------------------------------------------------------------ */
/* H.264 Exp-Golomb and CAVLC decoding, CAVLC encoding analysis             */
/*                                                                          */
/* Word bit position: *ppBitStream points to the current 32-bit word        */
/*   (machine byte order; stream bit 0 is bit 31 of word 0), *pBitOffset    */
/*   (0..31, else KVN_STS_BAD_ARG) names its next bit, 31 the most          */
/*   significant. Both are advanced past the bits decoded. Any read may     */
/*   load the word after the current one: keep one readable word beyond the */
/*   data.                                                                  */
/* VLC tables: arrays of Kvn32s: [0] = b0, the bits of the first level,     */
/*   then 2^b0 entries indexed by the next b0 bits. An entry with bit 7 set */
/*   links to the sub-table at word offset entry >> 8 (its b, then 2^b      */
/*   entries); else it is a leaf: value = entry >> 8, entry & 0x7f = the    */
/*   bits of its level given back. Value 0xF0F1: not a codeword.            */
/*   coeff_token values: TotalCoeff << 8 | TrailingOnes. Levels read 1..16  */
/*   bits, at most 32 over one lookup, and a leaf gives back at most the    */
/*   bits its level read (else a code error).                               */
/* Code errors (KVN_STS_VLC_CODE_ERR) leave the bit position as it was; the */
/*   TotalCoeff output and the cleared, partly filled block may have been   */
/*   written, the buffer pointer is not advanced. A table taken from one of */
/*   the arrays is tested when it is about to be used: null gives           */
/*   KVN_STS_NULL_PTR with the position moved past the bits read so far.    */
/* ------------------------------------------------------------------------ */

/* ue(v) (low byte of isSigned 0) or se(v). A codeNum of more than 16 (16s)
 * or 31 (32s) leading zero bits is passed over with result 0; 32 or more
 * leading zeros: KVN_STS_VLC_CODE_ERR. The 16s result is the low 16 bits of
 * the value. */
KvnResult kvniDecodeExpGolombOne_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pDst, Kvn8u isSigned);
KvnResult kvniDecodeExpGolombOne_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32s* pDst, Kvn32s isSigned);

/* One CAVLC residual block (H.264 9.2) into the packed coefficient buffer:
 * with TotalCoeff > 0, 16 entries cleared, the levels stored at their raster
 * positions pScanMatrix[scan index] and *ppPosCoefbuf advanced by 16.
 * uVLCSelect: nC (>= 0; 0..1, 2..3, 4..7 pick ppTblCoeffToken[0..2], 8 and
 * above the 6-bit code); uMaxNumCoeff 15 (AC: scan indices 1..15) or 16.
 * ppTblTotalZeros[TotalCoeff] (1..15), ppTblRunBefore[zerosLeft] (1..15).
 * Code errors also: TotalCoeff above uMaxNumCoeff, TrailingOnes above
 * TotalCoeff, total_zeros or a run beyond the block, a level_prefix above
 * 32, a scan entry outside 0..15. */
KvnResult kvniDecodeCAVLCCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                           Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                           const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
                                           const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix);
KvnResult kvniDecodeCAVLCCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                           Kvn32s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                           const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
                                           const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix);
/* A block restricted to scan indices startIdx..endIdx
 * (0 <= start <= end <= 15, else KVN_STS_OUT_OF_RANGE): with
 * n = end - start + 1 < 16 the decoded (TotalCoeff, TrailingOnes) is
 * replaced by the pair of the same codeword rank among the pairs with
 * TotalCoeff <= n and TrailingOnes <= min(n, 3). uMaxNumCoeff 1..16:
 * total_zeros follows when TotalCoeff is below it, from the table tzVlcIndex
 * = TotalCoeff (15, 16), TotalCoeff - max + 4 (1..4), + 8 (5..8) or + 16
 * (9..14). Coefficient i (of TotalCoeff) goes to scan index start +
 * (TotalCoeff - 1 - i) + zerosLeft. */
KvnResult kvniDecodeCAVLCCoeffsIdxs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                               Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                               const Kvn32s* const* ppTblCoeffToken,
                                               const Kvn32s* const* ppTblTotalZeros,
                                               const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix,
                                               Kvn32s startIdx, Kvn32s endIdx);
/* Chroma DC blocks: 2x2 (4:2:0, nC = -1 table, ppTblTotalZerosCR[1..3], 4
 * entries in raster order) and 2x4 (4:2:2, nC = -2 table, [1..7], 8 entries,
 * raster order of two columns by four rows; scan 0 2 1 4 6 3 5 7). The 2x2
 * 16s member decodes the codewords "1" and "01" itself. */
KvnResult kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                   Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                   const Kvn32s* const* ppTblTotalZerosCR,
                                                   const Kvn32s* const* ppTblRunBefore);
KvnResult kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                   Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                   const Kvn32s* const* ppTblTotalZerosCR,
                                                   const Kvn32s* const* ppTblRunBefore);
KvnResult kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                      Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                      const Kvn32s* const* ppTblTotalZerosCR,
                                                      const Kvn32s* const* ppTblRunBefore);
KvnResult kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                      Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                      const Kvn32s* const* ppTblTotalZerosCR,
                                                      const Kvn32s* const* ppTblRunBefore);

/* CAVLC analysis of a quantised block, visited in reverse scan order:
 * *pTrailingOnes (0..3), *pTrailingOneSigns (1 = negative, the first met in
 * the most significant of the TrailingOnes bits), *pNumOutCoeffs
 * (TotalCoeff), *pTotalZeros (the positions scanned for an all-zero block),
 * pLevels (TotalCoeff - TrailingOnes other levels, highest frequency first)
 * and pRuns (run_before of coefficients 0 .. TotalCoeff - 2); the arrays
 * hold 16 (4x4), 4 or 8 entries; entries beyond the counts keep their
 * values. 4x4: scan indices endIdx down to startIdx of pScanMatrix (raster
 * positions 0..15); endIdx <= 15, startIdx <= endIdx, startIdx >= 0 and the
 * scan entries used within 0..15, else KVN_STS_OUT_OF_RANGE. */
KvnResult kvniEncodeCoeffsCAVLC_H264_16s(const Kvn16s* pSrc, Kvn8u startIdx, const Kvn32s* pScanMatrix, Kvn8u endIdx,
                                         Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs,
                                         Kvn8u* pTotalZeros, Kvn16s* pLevels, Kvn8u* pRuns);
KvnResult kvniEncodeCoeffsCAVLC_H264_32s(const Kvn32s* pSrc, Kvn32s startIdx, const Kvn32s* pScanMatrix, Kvn32s endIdx,
                                         Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs,
                                         Kvn8u* pTotalZeros, Kvn32s* pLevels, Kvn8u* pRuns);
/* 2x2 chroma DC (raster c0 c1 / c2 c3, visited 3 2 1 0) and 2x4 chroma DC
 * (two per row, four rows, visited 7 5 3 6 4 1 2 0). */
KvnResult kvniEncodeChromaDcCoeffsCAVLC_H264_16s(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                 Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn16s* pLevels,
                                                 Kvn8u* pRuns);
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn32s* pLevels,
                                                    Kvn8u* pRuns);
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn16s* pLevels,
                                                    Kvn8u* pRuns);
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn32s* pLevels,
                                                    Kvn8u* pRuns);

/* ------------------------------------------------------------------------ */
/* H.264 CABAC encoder (H.264 9.3)                                          */
/*                                                                          */
/* The coder state is kvniCABACGetSize_H264 bytes (504) of the caller's     */
/*   memory, any alignment, or a block from kvniCABACInitAlloc_H264. It     */
/*   holds the engine registers, the output position and the 460 context    */
/*   variables (ctxIdx 0..459, one byte each: bit 6 valMPS, bits 0..5       */
/*   pStateIdx).                                                            */
/* Output: big-endian 32-bit words into the caller's buffer, which must     */
/*   start on a 4-byte boundary (else KVN_STS_WRN_MISALIGNED, nothing       */
/*   done). The buffer holds every bit produced after each call; carries    */
/*   go at once into the bytes already written. Its last 1 to 4 bytes (from */
/*   kvnAlignPtr(buffer + size - 4, 4) on) are never written: a bin that    */
/*   would need them returns KVN_STS_OUT_OF_BUFFER with the state unchanged */
/*   (move to a larger buffer with kvniCABACSetStream_H264 and repeat it).  */
/* Init: bitOffset bits of the buffer are the slice header; the rest of     */
/*   their byte is set to 1 (cabac_alignment_one_bit) and the slice data    */
/*   starts at the next byte. A bit offset beyond the buffer:               */
/*   KVN_STS_SIZE_ERR. cabacInitIdc -1 for I and SI slices, else 0..2;      */
/*   sliceQPY outside 0..51 acts as the nearest bound.                      */
/* A slice ends with end_of_slice_flag 1 coded by kvniCABACEncodeBin_H264   */
/*   on ctxIdx 276, then kvniCABACTerminateSlice_H264, which writes the     */
/*   final bits (the last is the rbsp_stop_one_bit), reports the bytes from */
/*   the buffer start to the last one written and clears the state's        */
/*   buffer pointers (then only a new Init is meaningful).                  */
/* ------------------------------------------------------------------------ */

KvnResult kvniCABACGetSize_H264(Kvn32u* pSize);
KvnResult kvniCABACInit_H264(void* pState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY,
                             Kvn32s cabacInitIdc);
/* Allocates the state with kvnMalloc (KVN_STS_NO_MEMORY when it fails). */
KvnResult kvniCABACInitAlloc_H264(void** ppState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY,
                                  Kvn32s cabacInitIdc);
KvnResult kvniCABACFree_H264(void* pState);
/* Continues in a larger buffer (size above the old one) into which the
 * caller has copied the bytes written so far; the write position keeps its
 * offset from the buffer start. */
KvnResult kvniCABACSetStream_H264(Kvn8u* pBitStream, Kvn32u size, void* pState);
/* One context-coded bin (ctxIdx 0..459, binVal 0 or 1). */
KvnResult kvniCABACEncodeBin_H264(Kvn32u ctxIdx, Kvn32u binVal, void* pState);
KvnResult kvniCABACEncodeBinBypass_H264(Kvn32u binVal, void* pState);
/* Significance map and levels of one block, coefficients in scan order,
 * lastIdx the index of the last nonzero one (negative: nothing coded;
 * beyond the block: KVN_STS_OUT_OF_RANGE); coded_block_flag is the caller's.
 * ctxBlockCat 0..5 (16, 15, 16, 4 << chromaExp, 15, 64 coefficients);
 * chromaExp 0 (4:2:0) or 1 (4:2:2) with ctxBlockCat 3, else 0
 * (KVN_STS_BAD_ARG); frameFlag 1 frame, 0 field. A block that runs out of
 * buffer returns KVN_STS_OUT_OF_BUFFER with the state, and the buffer
 * before the write position, as they were. */
KvnResult kvniCABACEncodeResidualBlock_H264_16s(const Kvn16s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat,
                                                Kvn32u chromaExp, Kvn32u frameFlag, void* pState);
KvnResult kvniCABACEncodeResidualBlock_H264_32s(const Kvn32s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat,
                                                Kvn32u chromaExp, Kvn32u frameFlag, void* pState);
/* KVN_STS_MEM_ALLOC when the final bits do not fit before the end limit. */
KvnResult kvniCABACTerminateSlice_H264(Kvn32u* pBitStreamBytes, void* pState);
/* Bits from the buffer start to the next bit the slice data will take (the
 * header and alignment bits included, the bits TerminateSlice adds not); 0
 * when that does not fit in 32 bits. */
KvnResult kvniCABACGetStreamSize_H264(Kvn32u* pBitStreamBits, const void* pState);
/* Copies count context bytes from ctxIdx first on (first + count <= 460,
 * else KVN_STS_OUT_OF_RANGE). */
KvnResult kvniCABACGetContexts_H264(const void* pState, Kvn32s first, Kvn8u* pContexts, Kvn32s count);

/* ------------------------------------------------------------------------ */
/* H.264 macroblock reconstruction, 8-bit                                   */
/*                                                                          */
/* ppSrcDstCoeff points to the caller's pointer into the packed coefficient */
/*   stream: only coded blocks, in the order consumed (luma blocks in       */
/*   luma4x4BlkIdx order, the Intra16x16 DC block first; chroma: Cb DC, Cr  */
/*   DC, Cb AC blocks, Cr AC blocks). 4x4 blocks are 16 values, 8x8 blocks  */
/*   64, DC blocks 16 (luma) or 4 (chroma), raster order. On return it      */
/*   points past the last block consumed. DC blocks are transformed and     */
/*   dequantised in place.                                                  */
/* cbp (coded-block mask): bit 0 Intra16x16 DC, bits 1..16 luma 4x4 block   */
/*   k = bit - 1, 17 Cb DC, 18 Cr DC, 19..22 Cb AC blocks 0..3, 23..26 Cr   */
/*   AC blocks; 8x8 functions bits 0..3; luma Half functions bits 0..7      */
/*   (8x8: 0..1).                                                           */
/* edgeType: set bits mark unavailable neighbours: 1 left, 4 top, 16        */
/*   top-left, 32 top-right macroblock.                                     */
/* The older functions dequantise with v(qp % 6, class) << qp / 6; those    */
/*   with scale tables (LevelScale4x4 for qp % 6: 16 values, 8x8: 64) use   */
/*   the H.264 8.5.12.1 rule, and with bypass nonzero and qp 0 add the      */
/*   coefficients themselves (lossless).                                    */
/* Luma intra 4x4 functions return KVN_STS_WRN_SUBSTITUTE when a block was  */
/*   predicted from the substitute 128. An intra 4x4 / 8x8 mode outside     */
/*   0..8 gives KVN_STS_OUT_OF_RANGE when its block is reached, after the   */
/*   blocks before it were reconstructed. Chroma modes: 0 DC, 1 horizontal, */
/*   2 vertical, 3 plane; Intra16x16: 0 vertical, 1 horizontal, 2 DC,       */
/*   3 plane. A mode whose neighbours are unavailable:                      */
/*   KVN_STS_INTRA_UNAVAILABLE, nothing written.                            */
/* ------------------------------------------------------------------------ */

KvnResult kvniReconstructLumaInterMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep,
                                                    Kvn32u cbp4x4, int32_t qp);
KvnResult kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, Kvn32u cbp4x4, int32_t qp,
                                                       const Kvn16s* pQuantTable, Kvn8u bypassFlag);
KvnResult kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, Kvn32u cbp8x8, int32_t qp,
                                                       const Kvn16s* pQuantTable, Kvn8u bypassFlag);
KvnResult kvniReconstructLumaIntraMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep,
                                                    const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4, int32_t qp,
                                                    Kvn8u edgeType);
KvnResult kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4,
                                                       int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                       Kvn8u bypassFlag);
KvnResult kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                         int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4,
                                                         int32_t qp, Kvn8u edgeType);
KvnResult kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                          int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4,
                                                          int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                          Kvn8u bypassFlag);
KvnResult kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, const Kvn32u* pMBIntraTypes, Kvn32u cbp8x8,
                                                       int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                       Kvn8u bypassFlag);
/* Half functions: one 16x8 half (pointer at its top-left sample) with the
 * edge flags of that half; 8 modes (8x8: 2). */
KvnResult kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                        int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x2,
                                                        int32_t qp, Kvn8u edgeType);
KvnResult kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                           int32_t srcDstYStep, const Kvn32s* pMBIntraTypes,
                                                           Kvn8u cbp4x2, int32_t qp, Kvn8u edgeType,
                                                           const Kvn16s* pQuantTable, Kvn8u bypassFlag);
KvnResult kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                           int32_t srcDstYStep, const Kvn32u* pMBIntraTypes,
                                                           Kvn32u cbp8x2, int32_t qp, Kvn8u edgeType,
                                                           const Kvn16s* pQuantTable, Kvn8u bypassFlag);

/* 4:2:0 chroma, both components; chromaQP 0..39. C2R: one interleaved plane
 * (Cb even bytes, Cr odd), a block row is 16 bytes. */
KvnResult kvniReconstructChromaInterMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                      Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
                                                      int32_t chromaQP);
KvnResult kvniReconstructChromaInterMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                      int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQP);
KvnResult kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                         Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
                                                         int32_t chromaQPU, int32_t chromaQPV,
                                                         const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV,
                                                         Kvn8u bypassFlag);
KvnResult kvniReconstructChromaInter4x4MB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                         int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQPU,
                                                         int32_t chromaQPV, const Kvn16s* pQuantTableU,
                                                         const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
KvnResult kvniReconstructChromaIntraMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                      Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                      int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                      Kvn8u edgeType);
KvnResult kvniReconstructChromaIntraMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                      int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
                                                      int32_t chromaQP, Kvn8u edgeType);
KvnResult kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                         Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                         int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQPU,
                                                         int32_t chromaQPV, Kvn8u edgeType, const Kvn16s* pQuantTableU,
                                                         const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
KvnResult kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                         int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
                                                         int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeType,
                                                         const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV,
                                                         Kvn8u bypassFlag);
/* Halves / Halfs (the same function under two names): the upper and the
 * lower 4 rows predicted separately, edgeTypeTop for the upper half,
 * edgeTypeBottom (its left bit only) for the lower; modes DC and vertical
 * only (others: KVN_STS_INTRA_UNAVAILABLE). Without scale tables chromaQP
 * up to 51 is accepted, but with coded blocks a chromaQP above 39 gives
 * KVN_STS_OUT_OF_RANGE after the prediction was written. */
KvnResult kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                            Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                            int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                            Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom);
KvnResult kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                           Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                           int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                           Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom);
KvnResult kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                            int32_t srcDstUVStep, int32_t intraChromaMode,
                                                            Kvn32u cbp4x4, int32_t chromaQP, Kvn8u edgeTypeTop,
                                                            Kvn8u edgeTypeBottom);
KvnResult kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                               Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                               int32_t intraChromaMode, Kvn32u cbp4x4,
                                                               int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeTypeTop,
                                                               Kvn8u edgeTypeBottom, const Kvn16s* pQuantTableU,
                                                               const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
KvnResult kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                              Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                              int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQPU,
                                                              int32_t chromaQPV, Kvn8u edgeTypeTop,
                                                              Kvn8u edgeTypeBottom, const Kvn16s* pQuantTableU,
                                                              const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
/* ------------------------------------------------------------------------ */
/* H.264 high-profile macroblock reconstruction                             */
/*                                                                          */
/* One record per component. The coefficient stream holds, in the order     */
/* they are consumed, only the coded blocks: 16 values per 4x4 block, 64    */
/* per 8x8 block, 16 Intra16x16 DC levels, 4 (4:2:0) or 8 (4:2:2) chroma DC */
/* levels; *ppSrcDstCoeff is advanced past what was consumed (also when a   */
/* call stops at an invalid intra 4x4 / 8x8 mode) and the stream itself is  */
/* only read. Coded-block masks: luma as the 8-bit functions (bit 0 DC,     */
/* bits 1..16 4x4 blocks; 8x8: bits 0..3; Half: bits 0..7 or 0..1); chroma  */
/* per component: bit 0 DC, bits 1..4 (4:2:0) or 1..8 (4:2:2) AC blocks in */
/* raster order. Dequantisation with pQuantTable (LevelScale for qp % 6,    */
/* 16 or 64 raster values), 32-bit wrapping arithmetic; samples clamped to  */
/* 0 .. 2^bitDepth - 1. bypassFlag nonzero with qp 0: the coefficients are  */
/* the residual (lossless). Edge flags: 1 left, 4 top, 16 top-left,         */
/* 32 top-right macroblock unavailable. Intra prediction as the 8-bit       */
/* predictors with 2^(bitDepth - 1) for 128 and 2^bitDepth - 1 for 255.     */
/*                                                                          */
/* Checks: null record, stream, *stream, plane or table: KVN_STS_NULL_PTR;  */
/* step below the component width (16 luma, 8 chroma): KVN_STS_STEP_ERR;    */
/* bitDepth outside 8..14, qp outside 0..6*bitDepth+3 (luma),               */
/* 0..6*bitDepth-9 (chroma) or 0..39 (8-bit 4:2:2): KVN_STS_OUT_OF_RANGE;   */
/* then the intra mode (KVN_STS_INTRA_UNAVAILABLE, KVN_STS_OUT_OF_RANGE),   */
/* intra 4x4 / 8x8 modes when their block is reached. Both chroma records   */
/* are checked before anything is written.                                  */
/* ------------------------------------------------------------------------ */

typedef struct KvnReconstructRecord32s16u {
  Kvn32s** ppSrcDstCoeff;    /* packed coefficient stream */
  Kvn16u* pSrcDstPlane;      /* component's top-left sample */
  int32_t srcDstStep;        /* samples */
  Kvn32u cbp;                /* coded-block mask */
  int32_t qp;                /* QP' = QP + 6 * (bitDepth - 8) */
  const Kvn16s* pQuantTable; /* LevelScale for qp % 6 */
  Kvn32u bypassFlag;
  int32_t bitDepth; /* 8..14 */
} KvnReconstructRecord32s16u;

/* 8-bit 4:2:2 chroma: 16-bit coefficients, 8-bit samples, step in bytes. */
typedef struct KvnReconstructRecord16s8u {
  Kvn16s** ppSrcDstCoeff;
  Kvn8u* pSrcDstPlane;
  int32_t srcDstStep;
  Kvn32u cbp;
  int32_t qp;
  const Kvn16s* pQuantTable;
  Kvn32u bypassFlag;
} KvnReconstructRecord16s8u;

/* Luma, one record; 4x4 intra modes 0..8 (16, Half: 8), 8x8 intra modes
 * 0..8 (4, Half: 2), Intra16x16 mode 0 vertical, 1 horizontal, 2 DC,
 * 3 plane. The intra 4x4 members return KVN_STS_WRN_SUBSTITUTE when a block
 * was predicted from substitute samples. Half members: one 16x8 half. */
KvnResult kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord);
KvnResult kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord);
KvnResult kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                             int32_t intraMode, Kvn8u edgeFlags);
KvnResult kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                           const int32_t* pIntraModes, Kvn8u edgeFlags);
KvnResult kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                           const Kvn32u* pIntraModes, Kvn8u edgeFlags);
KvnResult kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                               const int32_t* pIntraModes, Kvn8u edgeFlags);
KvnResult kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                               const Kvn32u* pIntraModes, Kvn8u edgeFlags);

/* Chroma, two records (Cb, Cr); stream order Cb DC, Cr DC, Cb AC blocks, Cr
 * AC blocks, so both records may share one stream pointer. Chroma mode 0 DC,
 * 1 horizontal, 2 vertical, 3 plane; Half members: DC and vertical only
 * (else KVN_STS_INTRA_UNAVAILABLE), the upper half predicted with the edge
 * flags of the top half, the lower half with the left flag of the bottom
 * half. 4:2:2 (8x16): levelScaleDc is LevelScale4x4 at position 0 for
 * (qp + 3) % 6 of each component. */
KvnResult kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2]);
KvnResult kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                             int32_t intraChromaMode, Kvn8u edgeFlags);
KvnResult kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                 int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                 Kvn8u edgeFlagsBottom);
KvnResult kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                               int32_t levelScaleDcCb, int32_t levelScaleDcCr);
KvnResult kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                int32_t levelScaleDcCb, int32_t levelScaleDcCr);
KvnResult kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                               int32_t intraChromaMode, Kvn8u edgeFlags,
                                                               int32_t levelScaleDcCb, int32_t levelScaleDcCr);
KvnResult kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                int32_t intraChromaMode, Kvn8u edgeFlags,
                                                                int32_t levelScaleDcCb, int32_t levelScaleDcCr);
KvnResult kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                                   int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                   Kvn8u edgeFlagsBottom, int32_t levelScaleDcCb,
                                                                   int32_t levelScaleDcCr);
KvnResult kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                    int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                    Kvn8u edgeFlagsBottom, int32_t levelScaleDcCb,
                                                                    int32_t levelScaleDcCr);

/* ------------------------------------------------------------------------ */
/* H.264 luma and chroma interpolation (H.264 8.4.2.2)                      */
/* ------------------------------------------------------------------------ */

/* Luma fractions dx, dy count quarter samples (0..3), chroma fractions eighth
 * samples (0..7). 8-bit functions take steps in bytes, 16-bit ones in samples.
 * Plain functions read around pSrc (the reference sample at the block's
 * integer position): a luma fraction needs 2 columns/rows before and 3 after
 * the block, a chroma fraction one after. Accepted sizes and statuses are
 * listed after the prototypes. */
KvnResult kvniInterpolateLuma_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx,
                                          int32_t dy, KvnSize roiSize);
/* Top: block row outsideRows is the picture's top row; needed rows above it
 * repeat it. Bottom: block row height - 1 - outsideRows is the bottom row;
 * needed rows below it repeat it. Columns are not padded. */
KvnResult kvniInterpolateLumaTop_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                             int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
KvnResult kvniInterpolateLumaBottom_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                                int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
KvnResult kvniInterpolateChroma_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                            int32_t dx, int32_t dy, KvnSize roiSize);
/* Interleaved chroma in (Cb, Cr alternating), two planes out. */
KvnResult kvniInterpolateChroma_H264_8u_C2P2R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDstU, Kvn8u* pDstV,
                                              int32_t dstStep, int32_t dx, int32_t dy, KvnSize roiSize);
KvnResult kvniInterpolateChromaTop_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                               int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
KvnResult kvniInterpolateChromaBottom_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                                  int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);

/* 16-bit samples (steps in samples); luma results clamped to
 * 0 .. 2^bitDepth - 1. */
typedef struct KvnInterpolationRecord16u {
  const Kvn16u* pSrc;
  int32_t srcStep; /* samples */
  Kvn16u* pDst;
  int32_t dstStep; /* samples */
  int32_t dx;
  int32_t dy;
  KvnSize roiSize;
  int32_t bitDepth;
} KvnInterpolationRecord16u;

KvnResult kvniInterpolateLuma_H264_16u_C1R(const KvnInterpolationRecord16u* pParams);
KvnResult kvniInterpolateLumaTop_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
KvnResult kvniInterpolateLumaBottom_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
KvnResult kvniInterpolateChroma_H264_16u_C1R(const KvnInterpolationRecord16u* pParams);
KvnResult kvniInterpolateChromaTop_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
KvnResult kvniInterpolateChromaBottom_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);

/* Block functions: the reference plane's origin and size, the block position
 * and a motion vector (quarter luma / eighth chroma samples). Samples outside
 * the picture are those of the nearest edge (H.264 8.4.2.2); the block is
 * padded into a private buffer only when its reference region crosses an
 * edge. pSrc[1] / pDst[1]: second chroma plane (planar layouts). */
typedef struct KvnInterpolationBlockRecord8u {
  const Kvn8u* pSrc[2];
  int32_t srcStep; /* bytes */
  Kvn8u* pDst[2];
  int32_t dstStep; /* bytes */
  KvnSize sizeFrame;
  KvnSize sizeBlock;
  int32_t pointBlockPos[2];         /* x, y */
  int32_t pointVectorQuarterPix[2]; /* x, y */
} KvnInterpolationBlockRecord8u;

typedef struct KvnInterpolationBlockRecord16u {
  const Kvn16u* pSrc[2];
  int32_t srcStep; /* samples */
  Kvn16u* pDst[2];
  int32_t dstStep; /* samples */
  KvnSize sizeFrame;
  KvnSize sizeBlock;
  int32_t pointBlockPos[2];
  int32_t pointVectorQuarterPix[2];
  int32_t bitDepth;
} KvnInterpolationBlockRecord16u;

KvnResult kvniInterpolateLumaBlock_H264_8u_P1R(const KvnInterpolationBlockRecord8u* pParams);
KvnResult kvniInterpolateChromaBlock_H264_8u_P2R(const KvnInterpolationBlockRecord8u* pParams);
KvnResult kvniInterpolateChromaBlock_H264_8u_C2P2R(const KvnInterpolationBlockRecord8u* pParams);
KvnResult kvniInterpolateChromaBlock_H264_8u_C2C2R(const KvnInterpolationBlockRecord8u* pParams);
KvnResult kvniInterpolateLumaBlock_H264_16u_P1R(const KvnInterpolationBlockRecord16u* pParams);
KvnResult kvniInterpolateChromaBlock_H264_16u_P2R(const KvnInterpolationBlockRecord16u* pParams);

/* (a + b + 1) >> 1 over a width x height block, width and height 2..16. */
KvnResult kvniInterpolateBlock_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width,
                                             uint32_t height, int32_t pitch);
KvnResult kvniInterpolateBlock_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width,
                                             uint32_t height, int32_t src1Step, int32_t src2Step, int32_t dstStep);

/* Replicates the picture's edge samples into a border of borderSize samples
 * around a width x height plane at pSrcDst. fieldMode: 0 frame, 1 even rows
 * (top field), 2 odd rows (bottom field). */
KvnResult kvniExpandPlane_H264_8u_C1R(Kvn8u* pSrcDst, int32_t width, int32_t height, int32_t step, int32_t borderSize,
                                      int32_t fieldMode);

/* Luma interpolation statuses:
 * - 8-bit luma and both luma Block functions: width 4, 8, 12 or 16, height
 *   4, 8, 12 or 16, else KVN_STS_SIZE_ERR (16-bit plain, Top and Bottom:
 *   4, 8 or 16 each, not 4x16 or 16x4; steps below the width give
 *   KVN_STS_STEP_ERR before the fraction and size checks).
 * - Top / Bottom: any outsideRows; rows beyond the edge row repeat it, so a
 *   count of at least the block height (Bottom) or a negative one (Top,
 *   -2 and below with a vertical fraction) is well defined.
 * - Block functions: positions and vectors are combined in 64 bits; a
 *   non-zero vector with a picture narrower or lower than 1 sample (nothing
 *   to pad from) gives KVN_STS_SIZE_ERR.
 * - 16-bit records: bitDepth outside 1..16 gives KVN_STS_OUT_OF_RANGE (after
 *   the size checks); results are exact for any 16-bit samples. */
/* Chroma interpolation, block average and border expansion, statuses:
 * - 8-bit chroma (and the 16-bit chroma Block function): width 2, 4, 6 or 8,
 *   height even 2..16, else KVN_STS_SIZE_ERR; 16-bit chroma plain, Top and
 *   Bottom: width 2, 4 or 8, height 2, 4, 8 or 16, both steps at least 8.
 * - Chroma Top: outsideRows below 0 gives KVN_STS_OUT_OF_RANGE (after the
 *   other checks); Bottom with outsideRows below 0 pads nothing.
 * - Block functions: a non-zero vector with a picture narrower or lower than
 *   1 sample gives KVN_STS_SIZE_ERR; the C2P2R form checks both destinations.
 * - 16-bit records: bitDepth outside 1..16 gives KVN_STS_OUT_OF_RANGE (after
 *   the size checks); the chroma results are exact for any 16-bit samples.
 * - kvniExpandPlane_H264_8u_C1R: a width below 1 gives KVN_STS_SIZE_ERR; after
 *   the field-mode check, borderSize below 0 gives KVN_STS_SIZE_ERR and |step|
 *   below width + 2 borderSize KVN_STS_STEP_ERR. */
/* ------------------------------------------------------------------------ */
/* H.264 weighted prediction (H.264 8.4.2.3)                                */
/*                                                                          */
/* Per sample, with L the log2 denominator:                                 */
/*   one list:  ((x * w + 2^(L-1)) >> L) + o   (x * w + o when L is 0)      */
/*   two lists: ((x1 * w1 + x2 * w2 + 2^L) >> (L + 1))                      */
/*              + ((o1 + o2 + 1) >> 1)                                      */
/*   implicit:  (x1 * w1 + x2 * w2 + 32) >> 6                               */
/*   average:   (x1 + x2 + 1) >> 1                                          */
/* clamped to 0..255 (8-bit) or 0..2^bitDepth - 1 (16-bit; bit depths       */
/* outside 1..16 are taken as the nearest of 1 and 16). Results are exact   */
/* for every weight, offset and denominator (wide intermediates).           */
/* Widths and heights 2, 4, 8 or 16 unless stated; interleaved chroma (C2)  */
/* counts the width in Cb/Cr pairs, a row holding 2 * width bytes, channel  */
/* 0 in the even bytes. 8-bit steps in bytes, 16-bit steps in samples.      */
/* Checks: null pointers (KVN_STS_NULL_PTR), then steps below the row       */
/* (KVN_STS_STEP_ERR; negative 8-bit steps too), then sizes                 */
/* (KVN_STS_SIZE_ERR); nothing is written on failure.                       */
/* ------------------------------------------------------------------------ */

typedef struct KvnWeightBlockRecord8u {
  const Kvn8u* pSrc1;
  int32_t src1Step; /* bytes */
  const Kvn8u* pSrc2;
  int32_t src2Step; /* bytes; not checked */
  Kvn8u* pDst;
  int32_t dstStep; /* bytes */
  KvnSize roiSize; /* width in Cb/Cr pairs */
} KvnWeightBlockRecord8u;

/* One list's parameters for both chroma channels. */
typedef struct KvnWeightParams8u {
  Kvn32u log2Denominator; /* low 4 bits used */
  Kvn8s weight0;
  Kvn8s weight1;
  Kvn8s offset0;
  Kvn8s offset1;
} KvnWeightParams8u;

typedef struct KvnBidirRecord16u {
  const Kvn16u* pSrc1;
  int32_t src1Step; /* samples */
  const Kvn16u* pSrc2;
  int32_t src2Step; /* samples */
  Kvn16u* pDst;
  int32_t dstStep; /* samples */
  KvnSize roiSize;
  int32_t bitDepth;
} KvnBidirRecord16u;

/* One list, in place. The C1IR name is the same function. */
KvnResult kvniUniDirWeightBlock_H264_8u_C1R(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                            int32_t offset, KvnSize roiSize);
KvnResult kvniUniDirWeightBlock_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                             int32_t offset, KvnSize roiSize);
/* Interleaved chroma in place on pBlock->pDst (dstStep >= 2 * width). */
KvnResult kvniUniDirWeightBlock_H264_8u_C2R(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams);
/* 16-bit, step in samples; offset already scaled to the bit depth. */
KvnResult kvniUnidirWeight_H264_16u_IP2P1R(Kvn16u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                           int32_t offset, KvnSize roiSize, int32_t bitDepth);

/* Two lists, explicit weights. P2P1R: one step for both sources. */
KvnResult kvniBiDirWeightBlock_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t srcStep,
                                             int32_t dstStep, Kvn32u log2Denominator, int32_t weight1, int32_t offset1,
                                             int32_t weight2, int32_t offset2, KvnSize roiSize);
KvnResult kvniBiDirWeightBlock_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t src1Step,
                                             int32_t src2Step, int32_t dstStep, Kvn32u log2Denominator, int32_t weight1,
                                             int32_t offset1, int32_t weight2, int32_t offset2, KvnSize roiSize);
/* Interleaved chroma; L from pParams1; dstStep and src1Step >= 2 * width
 * (src2Step is not checked). */
KvnResult kvniBiDirWeightBlock_H264_8u_C2R(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams1,
                                           const KvnWeightParams8u* pParams2);
KvnResult kvniBidirWeight_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir, Kvn32u log2Denominator, int32_t weight1,
                                         int32_t offset1, int32_t weight2, int32_t offset2);

/* Two lists, implicit weights (normally summing to 64). The P3P1R member
 * checks only pointers: it weights any width x height block with both at
 * least 1, and returns KVN_STS_OK without writing otherwise. */
KvnResult kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst,
                                                     int32_t srcStep, int32_t dstStep, int32_t weight1, int32_t weight2,
                                                     KvnSize roiSize);
KvnResult kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst,
                                                     int32_t src1Step, int32_t src2Step, int32_t dstStep,
                                                     int32_t weight1, int32_t weight2, KvnSize roiSize);
KvnResult kvniBidirWeightImplicit_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir, int32_t weight1, int32_t weight2);

/* Rounded average; steps are not checked; any width and height 2..16. */
KvnResult kvniBidir_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir);

/* pSrc2Dst = ((x1 * w1 + x2 * w2 + 2^(shift-1)) >> shift) + offset
 * (no rounding term when shift is 0); one step for both blocks. */
KvnResult kvniWeightedAverage_H264_8u_C1IR(const Kvn8u* pSrc1, Kvn8u* pSrc2Dst, int32_t srcDstStep, int32_t weight1,
                                           int32_t weight2, Kvn32u shift, int32_t offset, KvnSize roiSize);

/* ------------------------------------------------------------------------ */
/* MPEG-1/MPEG-2 VLC tables, block decoding and block writing               */
/* (ISO/IEC 11172-2 2.4.3.7, ISO/IEC 13818-2 7.2, 7.3, 7.4, Annex B)        */
/*                                                                          */
/* Source tables (caller's Kvn32s arrays) describe a prefix code:           */
/*   [0] not read; [1] S, the lookup stages (1..32); [2 .. S+1] the bits    */
/*   each stage indexes (1..16); then, for code lengths L = 1, 2, 3, ... in */
/*   turn, a count n(L) >= 0 and n(L) entries, ended by a negative count.   */
/*   An entry is (code, value) for kvniHuffmanTableInitAlloc_32s and        */
/*   (code, first, second) for kvniHuffmanRunLevelTableInitAlloc_32s and    */
/*   kvniCreateRLEncodeTable; code holds the L bits right-aligned. Codes    */
/*   have 1..32 bits and at most the stages' total. Run-level convention:   */
/*   first = run (0..63), 254 end of block, 255 escape (first is taken mod  */
/*   256); second = signed level.                                           */
/* Malformed source tables are refused with KVN_STS_VLC_CODE_ERR before     */
/*   anything is stored: a stage count or stage width outside its range, a  */
/*   code longer than 32 bits or than the stages' total, a code value of    */
/*   more than L bits, codes that are not prefix-free (a code that is a     */
/*   prefix of another, or listed twice), a value outside the leaf's field  */
/*   (signed 24 bits; run-level: second outside the signed 16 bits) or a    */
/*   leaf equal to the invalid entry (value 61681 given back 1 bit). The    */
/*   source is read up to its terminating count; a count after L = 32 that  */
/*   is not negative is malformed too.                                      */
/* KvnHuffmanTable: 32-bit words from kvnMalloc. [0] = B0, then 2^B0        */
/*   entries; each further subtable is a header word (its B) and 2^B        */
/*   entries. Entry: leaf value * 256 + u (u bits of its stage given back;  */
/*   run-level leaves: second * 65536 + (first & 255) * 256 + u), link      */
/*   offset * 256 + 128 (word index of the subtable header), or the invalid */
/*   entry 0x00F0F101. Tables of more than 2^23 words are refused           */
/*   (KVN_STS_MEM_ALLOC). Built tables are read-only and may be shared      */
/*   between threads; kvniHuffmanTableFree_32s releases them and            */
/*   KvnRLEncodeTables.                                                     */
/*                                                                          */
/* Readers: word bit position as for the H.264 readers: *ppBitStream is     */
/*   the current 32-bit word (machine byte order), *pOffset (0..31, else    */
/*   KVN_STS_BAD_ARG) its next bit, 31 the most significant. A reader never */
/*   touches memory beyond the word after the one holding the last bit it   */
/*   consumes (or, when it consumes none, the word after the current one):  */
/*   keep one readable word beyond the data. Table lookups treat entries    */
/*   that no builder makes (stage widths outside 1..16, a leaf giving back  */
/*   all the bits of its stage, links past 31 bits) as invalid codes.       */
/* ------------------------------------------------------------------------ */

typedef Kvn32s KvnHuffmanTable;
typedef Kvn32s KvnRLEncodeTable;

/* Builds a table from a source table. 0; KVN_STS_NULL_PTR; KVN_STS_MEM_ALLOC
 * (memory or a table too large); KVN_STS_VLC_CODE_ERR (malformed source). On
 * failure *ppTable is not written. */
KvnResult kvniHuffmanTableInitAlloc_32s(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable);
KvnResult kvniHuffmanRunLevelTableInitAlloc_32s(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable);
KvnResult kvniHuffmanTableFree_32s(KvnHuffmanTable* pTable);

/* One code. *pDst = the leaf's value (signed 24 bits). An invalid code
 * writes 61681 and returns KVN_STS_VLC_CODE_ERR with the position after all
 * the bits read. */
KvnResult kvniDecodeHuffmanOne_1u32s(Kvn32u** ppBitStream, Kvn32s* pOffset, Kvn32s* pDst,
                                     const KvnHuffmanTable* pTable);
/* One run-level code: *pFirst = bits 8..15 of the leaf, *pSecond = bits
 * 16..31. An invalid code returns KVN_STS_VLC_CODE_ERR with the position as
 * it was and nothing written. */
KvnResult kvniDecodeHuffmanPair_1u16s(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pTable,
                                      Kvn8u* pFirst, Kvn16s* pSecond);

/* One 8x8 block: cleared, then each coefficient inverse quantised and stored
 * at raster index pScan[scan position]; the position is advanced past the
 * block's end-of-block code. pScan: 64 raster indices; pQuantMatrix: 64
 * weights in raster order. Escapes: MPEG-2 run (6 bits) and level (12 bits,
 * two's complement); MPEG-1 run (6 bits) and level (8 bits; 0 and -128 are
 * followed by 8 more bits).
 * Non-intra: a first bit 1 is the code 1s (run 0, level +-1); otherwise
 * pDCTFirstTable codes the first coefficient and pACTable the others.
 *   MPEG-2: F = (2L + sign(L)) * W * Q / 32 (towards zero), saturated to
 *   -2048..2047, then mismatch control (an even sum of the block toggles the
 *   lowest bit of coefficient 63). A null pQuantMatrix means 16 everywhere.
 *   *pDstSize = scan position of the last coefficient (0 reported as 1).
 *   MPEG-1: F = (2L + sign(L)) * W * Q / 16, an even F moved one step
 *   towards zero, clamped to -2048..2047; *pDstSize as it is.
 * Intra: dct_dc_size from pDCSizeTable (sizes 0..11), the differential, then
 * AC coefficients from scan position 1 with pACTable.
 *   MPEG-2: DC = *pDCPred + differential (16 bits) becomes the predictor,
 *   coefficient 0 = DC << shiftDC (shiftDC 0..3 = 3 - intra_dc_precision,
 *   else KVN_STS_OUT_OF_RANGE), AC F = L * W * 2Q / 32; every value
 *   saturated to -2048..2047, then mismatch control over the whole block.
 *   MPEG-1: coefficient 0 = *pDCPred + 8 * differential (16 bits), which
 *   becomes the predictor; AC F = L * W * 2Q / 16, the odd step and clamp
 *   as above. *pDstSize = scan position of the last coefficient.
 * KVN_STS_VLC_CODE_ERR: an invalid code, a dct_dc_size above 11, a run past
 * scan position 63 or a scan entry outside 0..63; the block is left partly
 * filled, the position after the bits read, *pDstSize not written. */
KvnResult kvniReconstructDCTBlock_MPEG1_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                            const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
                                            const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                            Kvn16s* pDstBlock, Kvn32s* pDstSize);
KvnResult kvniReconstructDCTBlock_MPEG2_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                            const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
                                            const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                            Kvn16s* pDstBlock, Kvn32s* pDstSize);
KvnResult kvniReconstructDCTBlockIntra_MPEG1_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                                 const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
                                                 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                                 Kvn16s* pDCPred, Kvn16s* pDstBlock, Kvn32s* pDstSize);
KvnResult kvniReconstructDCTBlockIntra_MPEG2_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                                 const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
                                                 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                                 Kvn16s* pDCPred, Kvn32s shiftDC, Kvn16s* pDstBlock, Kvn32s* pDstSize);

/* Run-level encoding table from a run-level source table (see above):
 * word 0 = escape code * 16 + length (bits 0..9), end-of-block code * 16 +
 * length (bits 10..19), largest run R (bits 20..); words 1..R+1 the byte
 * offset of each run's base word, which holds the run's largest |level|;
 * the word base + level holds code * 65536 + length. Besides the malformed
 * sources above, KVN_STS_VLC_CODE_ERR also for: a run whose levels are not
 * exactly +-1 .. +-m each once, a code of 16 bits or more in value, an
 * escape or end-of-block code that does not fit its 10-bit field. Released
 * with kvniHuffmanTableFree_32s. */
KvnResult kvniCreateRLEncodeTable(const Kvn32s* pSrcTable, KvnRLEncodeTable** ppTable);

/* Block writers. Output position: *ppBitStream the current word, *pBitCount
 * the bits still free in it (1..32, else KVN_STS_BAD_ARG); bits are ORed in
 * from its most significant free bit down, a code crossing into the next
 * word assigns that word, a code filling the word exactly moves on without
 * touching the next. The buffer must be zero from the current word on and
 * large enough: the writers are not told its end (a block takes at most
 * 64 * 24 + 32 bits plus the DC code). Levels are coded from pRLTable
 * or by escape (000001, run in 6 bits, the low 12 bits of the
 * level); pScan entries are taken modulo 64. Writing stops after count
 * non-zero levels or at scan position 63, then the end-of-block code
 * (eobLength 0..32 bits of eobCode, else KVN_STS_OUT_OF_RANGE).
 * Intra: d = pSrcBlock[0] - *pDCPred (|d| <= 2047, else
 * KVN_STS_OUT_OF_RANGE) becomes the dct_dc_size code pDCSizeTable[2 * size],
 * of pDCSizeTable[2 * size + 1] bits (1..32, else KVN_STS_OUT_OF_RANGE),
 * and size bits of d (negative: d + 2^size - 1); *pDCPred = pSrcBlock[0].
 * Non-intra: a first coefficient (at pScan[0]) of +-1 is written as 1s. */
KvnResult kvniPutIntraBlock(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock, Kvn32s* pDCPred,
                            const Kvn32s* pDCSizeTable, const KvnRLEncodeTable* pRLTable, const Kvn32s* pScan,
                            Kvn32s eobLength, Kvn32s eobCode, Kvn32s count);
KvnResult kvniPutNonIntraBlock(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock,
                               const KvnRLEncodeTable* pRLTable, const Kvn32s* pScan, Kvn32s eobLength, Kvn32s eobCode,
                               Kvn32s count);

/* ------------------------------------------------------------------------ */
/* MPEG-2 quantisation and DCT                                              */
/*                                                                          */
/* Blocks are 64 signed 16-bit values, raster order unless stated.          */
/* Checks: null pointers (KVN_STS_NULL_PTR), then a forward quantiser's     */
/* scale of 0 (KVN_STS_DIV_BY_ZERO) or a row step below 1                   */
/* (KVN_STS_STEP_ERR); nothing is written on failure.                       */
/* ------------------------------------------------------------------------ */

/* Forward quantisers, in place; *pCount: the number of non-zero levels.
 * With reciprocal weights (64 floats, 1/W): level = trunc(c * (16/Q) * (1/W))
 * in single precision, clamped to -2047..2047. Without (non-intra only):
 * Q >= 1: sign(c) * min((|c| * R) >> 16, 2047), R = (65536 + Q/2) / Q;
 * Q < 0: the block is left as it is and its non-zero values counted. The
 * intra quantiser leaves position 0 (the DC) and counts positions 1..63; a
 * null pointer selects the reciprocals of the default intra matrix. */
KvnResult kvniQuant_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount);
KvnResult kvniQuantIntra_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount);
/* Inverse quantisers, in place (ISO/IEC 13818-2 7.4): non-intra
 * ((2L + sign(L)) * W * Q) / 32 at all positions (null weights: 16
 * everywhere); intra (L * W * Q) / 16 at positions 1..63 (weights required),
 * position 0 unchanged; exact, saturated to -2048..2047, then mismatch
 * control over all 64 values. */
KvnResult kvniQuantInv_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix);
KvnResult kvniQuantInvIntra_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix);

/* Inverse DCT of a transposed coefficient block (element 8i + j: horizontal
 * frequency i, vertical frequency j). count > 9: full transform; 1..9: only
 * the 4x4 low-frequency corner is read; 0: every sample coefficient 0 / 8;
 * below 0: as 0 for 8-bit output, zeros for 16-bit output. Samples clamped
 * to 0..255 (8u) or -256..255 (16s). Steps in bytes, at least 1. The P2C2R
 * forms write two blocks interleaved (the first at even samples), each
 * with its own count. */
KvnResult kvniDCT8x8Inv_AANTransposed_16s8u_C1R(const Kvn16s* pSrc, Kvn8u* pDst, int32_t dstStep, int32_t count);
KvnResult kvniDCT8x8Inv_AANTransposed_16s_C1R(const Kvn16s* pSrc, Kvn16s* pDst, int32_t dstStep, int32_t count);
KvnResult kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV,
                                                  int32_t dstStep, int32_t countU, int32_t countV);
KvnResult kvniDCT8x8Inv_AANTransposed_16s_P2C2R(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn16s* pDstUV,
                                                int32_t dstStep, int32_t countU, int32_t countV);
/* Two natural-order blocks (element 8v + u) into 8 rows of 16 interleaved
 * bytes: a channel whose flag is set (value 1: the second, 2: the first)
 * takes clamp(coefficient 0 >> 3, 0, 255) everywhere, the other the inverse
 * DCT (IEEE 1180 accuracy) clamped to 0..255. Higher flag bits are ignored. */
KvnResult kvniDCT8x8InvOrSet_16s8u_P2C2(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV, int32_t dstStep,
                                        int32_t flags);
/* Forward DCT (ISO/IEC 13818-2 Annex A scaling, DC = 8 x mean) of 8 rows of
 * 16 interleaved bytes into two natural-order coefficient blocks. */
KvnResult kvniDCT8x8Fwd_8u16s_C2P2(const Kvn8u* pSrcUV, int32_t srcStep, Kvn16s* pDstU, Kvn16s* pDstV);

/* ------------------------------------------------------------------------ */
/* MPEG-4 Part 2, H.263 and H.261: quantisation                             */
/*                                                                          */
/* Blocks are 64 signed 16-bit values in raster order, processed in place.  */
/* Checks: null pointers (KVN_STS_NULL_PTR), the state's kind              */
/* (KVN_STS_CONTEXT_MISMATCH), the quantiser range (KVN_STS_QP_ERR: H.263  */
/* 1..31, MPEG-4 1..2^(bitsPerPixel-3)-1); nothing is written on failure.  */
/* ------------------------------------------------------------------------ */

/* MPEG-4 quantiser states. The caller allocates the size that GetSize
 * reports and passes that memory as it comes: every function rounds the
 * pointer up to the next multiple of 16 and finds the record there. */
typedef struct KvnQuantInvState_MPEG4 {
  Kvn16u weights[64];  /* the caller's matrix, raster order */
  Kvn32s bitsPerPixel; /* 4..12 */
  Kvn32s matrixFlag;   /* 1: weights hold a matrix (quantisation method 2) */
  char tag[4];         /* "SAMC" inter, "RAMC" intra */
} KvnQuantInvState_MPEG4;

typedef struct KvnQuantState_MPEG4 {
  Kvn16u weights[64]; /* bitsPerPixel <= 8: floor(W / 2); above: W */
  union {
    Kvn16u reciprocals[64]; /* bitsPerPixel <= 8: floor(65536 / W) + 1 (65535 for W = 1) */
    float inverses[64];     /* above 8: 1 / W rounded to single precision */
  } scale;
  Kvn32s bitsPerPixel;
  Kvn32s matrixFlag;
  char tag[4]; /* "UAMC" inter, "TAMC" intra */
} KvnQuantState_MPEG4;

/* H.263 forward quantisers, R = floor(65536 / 2QP) + 1, "x by R" = (x * R) >> 16:
 * inter |c| - floor(QP/2) (at least 0) by R; intra AC |c| by R and position 0
 * the INTRADC level (c0 + 4) >> 3 (0 coded as 1, 255 as 254, always counted);
 * Annex I (advIntraFlag) min(|c| + floor(3QP/4), 32767) by R everywhere.
 * Below QP 8 without Annex T (modQuantFlag) levels are clamped to -127..127.
 * *pCount: the non-zero levels. */
KvnResult kvniQuantIntra_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s advIntraFlag,
                                      Kvn32s modQuantFlag);
KvnResult kvniQuantInter_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s modQuantFlag);
/* H.263 inverse quantisers over positions 0..indxLastNonZero (negative:
 * KVN_STS_OUT_OF_RANGE; above 63: the whole block): |F| = QP (2|L| + 1) - 1
 * for an even QP, QP (2|L| + 1) for an odd one, clamped to -2048..2047
 * without Annex T; intra position 0 is 8 L0 (the AC rule only when the last
 * index is above 0); Annex I: F = 2 QP L. Values beyond 16 bits saturate. */
KvnResult kvniQuantInvIntra_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s advIntraFlag,
                                         Kvn32s modQuantFlag);
KvnResult kvniQuantInvInter_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag);

/* State sizes: 412 bytes (forward), 156 (inverse), alignment room included.
 * Init: pQuantMatrix null for quantisation method 1, else 64 weights in raster
 * order (method 2). Checks pSpec (KVN_STS_NULL_PTR), bitsPerPixel 4..12
 * (KVN_STS_OUT_OF_RANGE) and every weight non-zero (KVN_STS_QP_ERR) before
 * writing anything: a failed Init leaves the memory as it was. */
KvnResult kvniQuantIntraGetSize_MPEG4(Kvn32s* pSize);
KvnResult kvniQuantInterGetSize_MPEG4(Kvn32s* pSize);
KvnResult kvniQuantInvIntraGetSize_MPEG4(Kvn32s* pSize);
KvnResult kvniQuantInvInterGetSize_MPEG4(Kvn32s* pSize);
KvnResult kvniQuantIntraInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel);
KvnResult kvniQuantInterInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel);
KvnResult kvniQuantInvIntraInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel);
KvnResult kvniQuantInvInterInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel);
/* MPEG-4 quantisers (ISO/IEC 14496-2 7.4.4), QP 1..2^(bitsPerPixel-3)-1.
 * Forward: integer reciprocals up to 8 bits per pixel, single-precision
 * floats above; intra position 0 is sign(c0) ((|c0| + s/2) div s) with the
 * dc_scaler s of blockType (0 luminance, else chrominance). Inverse: method 1
 * or 2 by the state, clamped to -2^(b+3)..2^(b+3)-1, positions
 * 0..indxLastNonZero (above 63: the whole block), with mismatch control for
 * method 2; the intra DC is s L0. */
KvnResult kvniQuantIntra_MPEG4_16s_C1I(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount,
                                       Kvn32s blockType);
KvnResult kvniQuantInter_MPEG4_16s_C1I(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount);
KvnResult kvniQuantInvIntra_MPEG4_16s_C1I(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec,
                                          Kvn32s QP, Kvn32s blockType);
KvnResult kvniQuantInvInter_MPEG4_16s_C1I(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec,
                                          Kvn32s QP);

/* ------------------------------------------------------------------------ */
/* MPEG-4 Part 2, H.263 and H.261: coefficient VLC decoding and encoding    */
/*                                                                          */
/* Byte bit position: *ppBitStream the current byte, *pBitOffset the bits   */
/* already used in it (0..7, else KVN_STS_BIT_OFFSET_ERR), most significant */
/* first. Checks: null pointers (the byte pointer included), the offset,    */
/* then the quantiser (KVN_STS_QP_ERR) and the MPEG-4 state; nothing is     */
/* written before.                                                          */
/*                                                                          */
/* Decoders: one 8x8 block of levels (Reconstruct: inverse-quantised), 64   */
/* 16-bit values in raster order, the rest cleared. *pIndxLastNonZero: scan */
/* position of the last coefficient (0 for an intra block whose AC part is  */
/* empty). Scan selectors: 0 zigzag, 1 alternate vertical, 2 alternate      */
/* horizontal where a function takes it, other values scan-position order.  */
/* They read at most 4 bytes past the byte holding the last bit they        */
/* consume (on success, the block's last bit); zero bits are no code, so a  */
/* block cut short and followed by 8 zero bytes fails within them.          */
/* Invalid codes, forbidden escape values, bad marker bits and runs past    */
/* position 63: KVN_STS_CODE_ERR, with the position left as it was (except */
/* where stated), the levels stored so far in the block and the last index  */
/* at the last position stored (MPEG-4: at the position that overflowed    */
/* after a run past 63; -1 for an invalid INTRADC).                        */
/* ------------------------------------------------------------------------ */

/* Table B-16 (or B-23 with rvlcFlag) with the escapes of ISO/IEC 14496-2;
 * noDCFlag: entry 0 holds a DC decoded before and is kept, codes start at
 * position 1. Scan 0, 1, 2. */
KvnResult kvniDecodeCoeffsIntra_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                            Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag, Kvn32s scan);
/* Table B-17 (or B-23). Scan 0 and 1 only. */
KvnResult kvniDecodeCoeffsInter_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                            Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan);
/* Reversible codes read backwards: the position is the block's last bit
 * (the sign of its LAST code) and moves to the last bit of the preceding
 * block's LAST code. Levels in scan-position order from position 0 (with
 * noDCFlag from 1, entry 0 kept). Reads no byte after the one holding the given
 * position and none more than 4 bytes before the byte holding the first bit
 * of the preceding LAST code (on failure: of the earliest bit read). On
 * failure the block is not written and the last index is -1. */
KvnResult kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                    Kvn32s* pIndxLastNonZero, Kvn32s noDCFlag);
KvnResult kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                    Kvn32s* pIndxLastNonZero);
/* Table 16 from position 1 with entry 0 kept, or with advIntraFlag the
 * Annex I table from position 0. modQuantFlag (Annex T): escape level -128
 * announces an 11-bit level. Scan 0, 1, 2. */
KvnResult kvniDecodeCoeffsIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s advIntraFlag, Kvn32s modQuantFlag,
                                           Kvn32s scan);
KvnResult kvniDecodeCoeffsInter_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s modQuantFlag, Kvn32s scan);
/* INTRADC into entry 0 (255 is 128), then Table 5 to the end of block; the
 * position after the INTRADC is stored even when the AC codes then fail.
 * Scan -1: scan-position order, any other value zigzag. */
KvnResult kvniDecodeCoeffsIntra_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s scan);
KvnResult kvniDecodeCoeffsInter_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s scan);
/* INTRADC (8 bits; 0 and 128 invalid, 255 is 128); one byte on, same offset. */
KvnResult kvniDecodeDCIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC);
/* dct_dc_size (blockType 0 luminance, else chrominance) and the
 * differential, not the DC itself; above size 8 a marker bit 1 follows (a
 * bad marker fails after the differential was written). */
KvnResult kvniDecodeDCIntra_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC, Kvn32s blockType);
/* H.261 / H.263 reconstruction, QP 1..31, zigzag: |F| = QP (2|L| + 1), less
 * 1 for even QP, clamped to -2048..2047 (Annex T: saturated to 16 bits);
 * intra DC 8 x INTRADC (255: 1024), Annex I: F = 2 QP L. */
KvnResult kvniReconstructCoeffsIntra_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP);
KvnResult kvniReconstructCoeffsInter_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP);
/* cbp 0 without Annex I: only the INTRADC (entry 0, last index 0, the rest
 * untouched); cbp 0 with Annex I: a cleared block, last index -1, nothing
 * read. With Annex I scan 1 and 2 as above, else zigzag. The position after
 * the INTRADC is stored even when the AC codes then fail. */
KvnResult kvniReconstructCoeffsIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s cbp, Kvn32s QP, Kvn32s advIntraFlag,
                                                Kvn32s scan, Kvn32s modQuantFlag);
KvnResult kvniReconstructCoeffsInter_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag);
/* Table B-17 (or B-23) inverse-quantised with an inter inverse state
 * (method 1 or 2 with mismatch control); scan 1 alternate vertical, else
 * zigzag. The state (null, kind, QP 1..2^(bitsPerPixel-3)-1) is checked
 * before anything is read, with or without RVLC. */
KvnResult kvniReconstructCoeffsInter_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                 Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan,
                                                 const KvnQuantInvState_MPEG4* pQuantInvState, Kvn32s QP);

/* Writers of one quantised block (64 levels, raster order) as run-level
 * codes, the inverses of the decoders above. The bits of the current byte
 * before the offset are kept, the code follows, the rest of the last byte
 * written is cleared and no byte after it is touched. The caller provides the
 * room (up to 64 escapes of 33 bits a block). countNonZero: the non-zero
 * levels coded, 1..64, the last of them with LAST set (H.261: followed by the
 * end-of-block code); levels after it are ignored, and when the block has
 * fewer, the last one present is coded with LAST. Checks: ppBitStream,
 * pBitOffset, pCoeffs, *ppBitStream (KVN_STS_NULL_PTR), the offset
 * (KVN_STS_BIT_OFFSET_ERR), the count (KVN_STS_OUT_OF_RANGE); nothing is
 * written and the position is unchanged on failure. Levels are not checked:
 * one outside what its code can carry (H.263 without Annex T beyond +-127,
 * MPEG-4 beyond +-2047) is written truncated.
 *
 * MPEG-4 (ISO/IEC 14496-2 Tables B-16 intra, B-17 inter): the table code,
 * else escape type 1 (level - LMAX), type 2 (run - RMAX - 1), type 3 (fixed
 * length); with rvlcFlag the reversible codes of Table B-23 and their escape.
 * Intra: noDCFlag non-zero leaves position 0 to the DC writer (count 1..63);
 * scan 1 alternate vertical, 2 alternate horizontal, -1 raster, else
 * zigzag. Inter: scan 1 alternate vertical, -1 raster, else zigzag. */
KvnResult kvniEncodeCoeffsIntra_MPEG4_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                            Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag, Kvn32s scan);
KvnResult kvniEncodeCoeffsInter_MPEG4_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                            Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s scan);
/* H.263 (Table 16; Annex I table with advIntraFlag, which also codes
 * position 0, otherwise left to kvniEncodeDCIntra_H263_16s1u): the table
 * code or the 22-bit escape; with modQuantFlag (Annex T) a level of
 * magnitude 128 or more is LEVEL -128 followed by its 11-bit form (5 low
 * bits, then 6 high bits). scan 0 zigzag, 1 alternate vertical, 2 alternate
 * horizontal, other raster. */
KvnResult kvniEncodeCoeffsIntra_H263_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s advIntraFlag, Kvn32s modQuantFlag, Kvn32s scan);
KvnResult kvniEncodeCoeffsInter_H263_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s modQuantFlag, Kvn32s scan);
/* H.261 (Table 5): intra blocks begin with the 8-bit INTRADC of entry 0
 * (128 as 1111 1111), which countNonZero includes; an inter block's first
 * level +-1 at position 0 is 1s; escape 0000 01, RUN, LEVEL (8 bits); every
 * block ends with 10. scan -1 raster, else zigzag. */
KvnResult kvniEncodeCoeffsIntra_H261_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s scan);
KvnResult kvniEncodeCoeffsInter_H261_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s scan);
/* H.263 INTRADC: 8 bits, 128 as 1111 1111, others their low 8 bits. */
KvnResult kvniEncodeDCIntra_H263_16s1u(Kvn16s qDC, Kvn8u** ppBitStream, Kvn32s* pBitOffset);
/* MPEG-4 intra DC difference: dct_dc_size (Table B-14 when blockType is 1,
 * else B-13), dct_dc_differential, a marker bit above size 8. |dcCoeff|
 * above 4095 has no size code: KVN_STS_OUT_OF_RANGE after the other checks. */
KvnResult kvniEncodeDCIntra_MPEG4_16s1u(Kvn16s dcCoeff, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s blockType);

/* ------------------------------------------------------------------------ */
/* H.263 edge filters, in place. The pointer designates the first sample    */
/* after the edge (the row below a horizontal edge, the column right of a   */
/* vertical one); the two samples on each side change.                     */
/* ------------------------------------------------------------------------ */

/* Annex J deblocking of an 8-sample edge with the strength S of QUANT 1..31
 * (else KVN_STS_QP_ERR): d = (A - 4B + 4C - D) / 8, d1 = d ramped down from
 * |d| = S to 0 at 2S, B += d1, C -= d1, d2 = (A - D) / 4 limited to
 * +-(|d1| >> 1), A -= d2, D += d2 (A, B before the edge, C, D after it). Any
 * row step is accepted. */
KvnResult kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP);
KvnResult kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP);
/* The same filter without the strength limit (d1 = d), on a 16-sample edge. */
KvnResult kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
KvnResult kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
/* Block boundary filter of a 16-sample edge: B' = (3B + C + 2) >> 2,
 * C' = (B + 3C + 2) >> 2. */
KvnResult kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
KvnResult kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);

#ifdef __cplusplus
}
#endif

#endif /* KVNVC_H */
