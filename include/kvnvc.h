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
    int32_t     versionMajor;
    int32_t     versionMinor;
    int32_t     versionUpdate;
    int32_t     revision;
    char        targetCode[4];  /* "m7" and two NUL bytes */
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

KvnResult kvniCopy8x4HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                               int32_t halfCode, int32_t rounding);
KvnResult kvniCopy8x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                               int32_t halfCode, int32_t rounding);
KvnResult kvniCopy16x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                int32_t halfCode, int32_t rounding);
KvnResult kvniCopy16x16HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                 int32_t halfCode, int32_t rounding);

/* pSrcDst = (pSrc + pSrcDst + 1) >> 1 */
KvnResult kvniAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
KvnResult kvniAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/* pDst = (pSrc1 + pSrc2 + 1) >> 1 */
KvnResult kvniAverage8x8_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                Kvn8u* pDst, int32_t dstStep);
KvnResult kvniAverage16x16_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                  Kvn8u* pDst, int32_t dstStep);

/* pSrcDst = (p + pSrcDst + 1) >> 1, p the half-sample prediction of pSrc */
KvnResult kvniInterpolateAverage8x4_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst,
                                            int32_t srcDstStep, int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst,
                                            int32_t srcDstStep, int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage16x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst,
                                             int32_t srcDstStep, int32_t halfCode, int32_t rounding);
KvnResult kvniInterpolateAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst,
                                              int32_t srcDstStep, int32_t halfCode, int32_t rounding);

/* pSrcDst = clamp(pSrcDst + residual), 16-bit wrap-around sum */
KvnResult kvniAdd8x8_16s8u_C1IRS(const Kvn16s* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/* pDst = clamp(p + residual), p the half-sample prediction of pRef, 16-bit wrap-around sum */
KvnResult kvniAdd8x8HP_16s8u_C1RS(const Kvn16s* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn8u* pDst, int32_t dstStep, int32_t halfCode, int32_t rounding);
/* pSrcDst = clamp(pSrcDst + value), 16-bit wrap-around sum */
KvnResult kvniAddC8x8_16s8u_C1IR(Kvn16s value, Kvn8u* pSrcDst, int32_t srcDstStep);

/* pDst = clamp(p + residual), p the prediction of pRef by mode and rounding */
KvnResult kvniMC16x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                            Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                             int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                             Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC16x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                            int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                            Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC8x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                            int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                            Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC8x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC8x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC8x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC4x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC4x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC4x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC4x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC2x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC2x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC2x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                          Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC2x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                           int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t rounding);
/* Interleaved chroma (Cb, Cr pairs), 16 bytes wide: the horizontal neighbour
 * of a sample is two bytes further on. */
KvnResult kvniMC16x8UV_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                             Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x8BUV_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                              int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                              Kvn8u* pDst, int32_t dstStep, int32_t rounding);
KvnResult kvniMC16x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep,
                           Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
KvnResult kvniMC16x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                            int32_t refBStep, int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep,
                            Kvn8u* pDst, int32_t dstStep, int32_t rounding);

/* Interleaved chroma prediction with planar residuals: even destination bytes
 * take pSrcUData, odd bytes pSrcVData; both planes share srcUVStep. */
KvnResult kvniMC8x8_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData,
                                const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep,
                                int32_t mode, int32_t rounding);
KvnResult kvniMC8x4_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData,
                                const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep,
                                int32_t mode, int32_t rounding);
KvnResult kvniMC8x8B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData,
                                 const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep,
                                 int32_t rounding);
KvnResult kvniMC8x4B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData,
                                 const Kvn16s* pSrcVData, int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep,
                                 int32_t rounding);

/* Number of zero coefficients among 64 (0..64). */
KvnResult kvniCountZeros8x8_16s_C1(const Kvn16s* pSrc, Kvn32u* pCount);

/* scan: 1 alternate-vertical, 2 alternate-horizontal, anything else zigzag
 * (ISO/IEC 14496-2 Figure 7-2 and 7-3). */
KvnResult kvniScanFwd_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t countNonZero, int32_t scan);
KvnResult kvniScanInv_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t indxLastNonZero, int32_t scan);

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: SAD family                                    */
/* ------------------------------------------------------------------------ */

/* @sad */

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: Hadamard, squared-error, variance and         */
/* activity measures                                                        */
/* ------------------------------------------------------------------------ */

/* @measures */

/* ------------------------------------------------------------------------ */
/* Block differences: residual formation                                    */
/* ------------------------------------------------------------------------ */

/* @differences */

/* ------------------------------------------------------------------------ */
/* H.264 4x4 and DC transforms with quantisation                            */
/* ------------------------------------------------------------------------ */

/* @h264_4x4 */

#ifdef __cplusplus
}
#endif

#endif /* KVNVC_H */
