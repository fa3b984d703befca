/**
 * @file kvnvc.h
 * @brief kvnVC: video-coding primitives with a flat C interface.
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

/** @defgroup core Core: version, types, statuses and kvncore services */
/** @defgroup blocks Blocks: copy, averaging, motion compensation and metrics */
/** @defgroup h264 H.264 */
/** @defgroup mpeg2 MPEG-1 and MPEG-2 */
/** @defgroup mpeg4 MPEG-4 Visual, H.263 and H.261 */

/* ------------------------------------------------------------------------ */
/* Library version                                                          */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup core_version Library version
 * @ingroup core
 * @brief The version query kvnvcGetLibVersion() and its record.
 * @{
 */

/** The library's version record (static, read-only). */
typedef struct KvnVersionRecord {
  int32_t versionMajor;    /**< Major version (7). */
  int32_t versionMinor;    /**< Minor version (1). */
  int32_t versionUpdate;   /**< Update number (1). */
  int32_t revision;        /**< Source revision (37466). */
  char targetCode[4];      /**< "m7" and two NUL bytes. */
  const char* libraryName; /**< NUL-terminated library name, "kvnVC SSE3 (m7)". */
  const char* versionText; /**< NUL-terminated version, "7.1.1 (r37466)". */
  const char* buildDate;   /**< NUL-terminated build date, "Sep 24 2012". */
} KvnVersionRecord;

/**
 * The library's version. Never fails; the only function that does not return a KvnResult.
 * @return The one static version record: never null, the same on every call,
 *         never to be written or freed.
 */
const KvnVersionRecord* kvnvcGetLibVersion(void);

/** @} */

/* ------------------------------------------------------------------------ */
/* Block copy, averaging and motion compensation                            */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup blocks_mc Copy, averaging and motion compensation
 * @ingroup blocks
 * @brief Codec-independent block layer of MPEG-1/2, MPEG-4 and H.263 motion compensation.
 *
 * Each function works on the fixed block size in its name, 8-bit samples and
 * 16-bit residuals; steps are in bytes (a dense 8x8 residual has step 16).
 * Only pointers are checked (KVN_STS_NULL_PTR, nothing written), plus the
 * count of the scan functions (KVN_STS_OUT_OF_RANGE); only the destination is
 * written. Results do not depend on alignment.
 *
 * - **halfCode** (HP functions): the low two bits select the prediction p of
 *   the reference r: 0 full sample r(x, y); 1 horizontal half
 *   (r(x, y) + r(x+1, y) + 1 - rc) >> 1; 2 vertical half
 *   (r(x, y) + r(x, y+1) + 1 - rc) >> 1; 3 both, (four samples + 2 - rc) >> 2.
 *   Higher bits are ignored.
 * - **mode** (MC functions, the SAD/SSD/GetDiff metrics): bits of value 4
 *   (vertical half) and 8 (horizontal half), 12 both, 0 full sample; other
 *   bits are ignored. The averages are those of halfCode.
 * - **rounding** (rc): 0 rounds half-sample averages up, 1 down. The HP
 *   functions and MC widths 8 and 16 use its low bit; MC widths 2 and 4
 *   subtract it from the rounding constant, so pass only 0 or 1.
 * - Half-sample positions read one more column (horizontal) and/or one more
 *   row (vertical) of the reference than the block has.
 * - clamp() limits to 0..255.
 * @{
 */

/**
 * Copies an 8x8 block.
 * @param pSrc Source block, top-left sample.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst Destination block.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniCopy8x8_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep);
/** Copies a 16x16 block. @copydetails kvniCopy8x8_8u_C1R */
KvnResult kvniCopy16x16_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep);

/**
 * Writes the half-sample prediction of an 8x4 reference block.
 * @param pSrc Reference block at the integer position (one more row/column is
 *        read at half-sample positions).
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Destination block.
 * @param dstStep Destination row step in bytes.
 * @param halfCode Half-sample code (low two bits: 0 full, 1 horizontal, 2 vertical, 3 both).
 * @param rounding Rounding control, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniCopy8x4HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                               int32_t rounding);
/** Half-sample prediction of an 8x8 block. @copydetails kvniCopy8x4HP_8u_C1R */
KvnResult kvniCopy8x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                               int32_t rounding);
/** Half-sample prediction of a 16x8 block. @copydetails kvniCopy8x4HP_8u_C1R */
KvnResult kvniCopy16x8HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                                int32_t rounding);
/** Half-sample prediction of a 16x16 block. @copydetails kvniCopy8x4HP_8u_C1R */
KvnResult kvniCopy16x16HP_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t halfCode,
                                 int32_t rounding);

/**
 * Averages an 8x8 block into another in place: pSrcDst = (pSrc + pSrcDst + 1) >> 1.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param[in,out] pSrcDst Second source and destination.
 * @param srcDstStep Its row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/** 16x16 in-place average, pSrcDst = (pSrc + pSrcDst + 1) >> 1. @copydetails kvniAverage8x8_8u_C1IR */
KvnResult kvniAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/**
 * Averages two 8x8 blocks: pDst = (pSrc1 + pSrc2 + 1) >> 1.
 * @param pSrc1 First source.
 * @param src1Step Its row step in bytes.
 * @param pSrc2 Second source.
 * @param src2Step Its row step in bytes.
 * @param[out] pDst Destination.
 * @param dstStep Its row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniAverage8x8_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn8u* pDst,
                                int32_t dstStep);
/** Averages two 16x16 blocks, pDst = (pSrc1 + pSrc2 + 1) >> 1. @copydetails kvniAverage8x8_8u_C1R */
KvnResult kvniAverage16x16_8u_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                  Kvn8u* pDst, int32_t dstStep);

/**
 * Averages the half-sample prediction of an 8x4 block into the destination.
 * pSrcDst = (p + pSrcDst + 1) >> 1, p the prediction of pSrc.
 * @param pSrc Reference block at the integer position.
 * @param srcStep Reference row step in bytes.
 * @param[in,out] pSrcDst Other prediction and destination.
 * @param srcDstStep Its row step in bytes.
 * @param halfCode Half-sample code (low two bits: 0 full, 1 horizontal, 2 vertical, 3 both).
 * @param rounding Rounding control of p, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if a pointer is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniInterpolateAverage8x4_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                            int32_t halfCode, int32_t rounding);
/** The same for an 8x8 block. @copydetails kvniInterpolateAverage8x4_8u_C1IR */
KvnResult kvniInterpolateAverage8x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                            int32_t halfCode, int32_t rounding);
/** The same for a 16x8 block. @copydetails kvniInterpolateAverage8x4_8u_C1IR */
KvnResult kvniInterpolateAverage16x8_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                             int32_t halfCode, int32_t rounding);
/** The same for a 16x16 block. @copydetails kvniInterpolateAverage8x4_8u_C1IR */
KvnResult kvniInterpolateAverage16x16_8u_C1IR(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep,
                                              int32_t halfCode, int32_t rounding);

/**
 * Adds an 8x8 residual in place: pSrcDst = clamp(pSrcDst + residual).
 * The sum is formed in 16 bits with wrap-around before the clamp, so a
 * residual above 32767 - 255 can wrap and give 0.
 * @param pSrc Residual, signed 16-bit.
 * @param srcStep Residual row step in bytes (16 for a dense block).
 * @param[in,out] pSrcDst Prediction and destination.
 * @param srcDstStep Its row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniAdd8x8_16s8u_C1IRS(const Kvn16s* pSrc, int32_t srcStep, Kvn8u* pSrcDst, int32_t srcDstStep);
/**
 * Half-sample prediction plus an 8x8 residual: pDst = clamp(p + residual), p the
 * prediction of pRef; 16-bit wrap-around sum as kvniAdd8x8_16s8u_C1IRS().
 * @param pSrc Residual, signed 16-bit.
 * @param srcStep Residual row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pDst Destination.
 * @param dstStep Destination row step in bytes.
 * @param halfCode Half-sample code (low two bits: 0 full, 1 horizontal, 2 vertical, 3 both).
 * @param rounding Rounding control, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniAdd8x8HP_16s8u_C1RS(const Kvn16s* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn8u* pDst,
                                  int32_t dstStep, int32_t halfCode, int32_t rounding);
/**
 * Adds a constant to an 8x8 block: pSrcDst = clamp(pSrcDst + value), 16-bit wrap-around sum.
 * @param value Value added to every sample.
 * @param[in,out] pSrcDst Block.
 * @param srcDstStep Its row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniAddC8x8_16s8u_C1IR(Kvn16s value, Kvn8u* pSrcDst, int32_t srcDstStep);

/**
 * Motion compensation of a 16x16 block from one reference.
 * pDst = clamp(p + residual), p the prediction of pRef by mode and rounding; the sum is exact before the clamp.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param pSrcYData Residual, signed 16-bit.
 * @param srcYStep Residual row step in bytes.
 * @param[out] pDst Destination.
 * @param dstStep Destination row step in bytes.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @param rounding Rounding control: 0 rounds up, 1 down (widths 2 and 4: only 0 or 1).
 * @return KVN_STS_NULL_PTR if pRef, pSrcYData or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniMC16x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                            int32_t dstStep, int32_t mode, int32_t rounding);
/**
 * Motion compensation of a 16x16 block from two references.
 * pDst = clamp(((pF + pB + 1) >> 1) + residual), pF and pB the predictions of
 * pRefF and pRefB by their modes with the shared rounding control (the final
 * average always rounds up).
 * @param pRefF Forward reference block at the integer position.
 * @param refFStep Its row step in bytes.
 * @param modeF Its reference interpolation mode (0, 4, 8, 12).
 * @param pRefB Backward reference block at the integer position.
 * @param refBStep Its row step in bytes.
 * @param modeB Its reference interpolation mode (0, 4, 8, 12).
 * @param pSrcYData Residual, signed 16-bit.
 * @param srcYStep Residual row step in bytes.
 * @param[out] pDst Destination.
 * @param dstStep Destination row step in bytes.
 * @param rounding Rounding control of both predictions: 0 up, 1 down (widths 2 and 4: only 0 or 1).
 * @return KVN_STS_NULL_PTR if a reference, pSrcYData or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniMC16x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                             int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                             int32_t rounding);
/** One-reference motion compensation of a 16x8 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC16x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 16x8 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC16x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);
/** One-reference motion compensation of an 8x16 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC8x16_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of an 8x16 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC8x16B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);
/** One-reference motion compensation of an 8x8 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC8x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of an 8x8 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC8x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of an 8x4 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC8x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of an 8x4 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC8x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of a 4x8 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC4x8_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 4x8 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC4x8B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of a 4x4 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC4x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 4x4 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC4x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of a 4x2 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC4x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 4x2 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC4x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of a 2x4 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC2x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 2x4 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC2x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/** One-reference motion compensation of a 2x2 block. @copydetails kvniMC16x16_8u_C1 */
KvnResult kvniMC2x2_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                          int32_t dstStep, int32_t mode, int32_t rounding);
/** Two-reference motion compensation of a 2x2 block. @copydetails kvniMC16x16B_8u_C1 */
KvnResult kvniMC2x2B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                           int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                           int32_t rounding);
/**
 * One-reference motion compensation of interleaved chroma, 16 bytes (8 Cb/Cr
 * pairs) by 8 rows: the horizontal neighbour of a sample is two bytes further on.
 * @copydetails kvniMC16x16_8u_C1
 */
KvnResult kvniMC16x8UV_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                             int32_t dstStep, int32_t mode, int32_t rounding);
/**
 * Two-reference motion compensation of interleaved chroma, 16 bytes by 8 rows
 * (horizontal neighbour two bytes further on).
 * @copydetails kvniMC16x16B_8u_C1
 */
KvnResult kvniMC16x8BUV_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                              int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                              int32_t rounding);
/**
 * One-reference motion compensation of interleaved chroma, 16 bytes by 4 rows
 * (horizontal neighbour two bytes further on).
 * @copydetails kvniMC16x16_8u_C1
 */
KvnResult kvniMC16x4_8u_C1(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst,
                           int32_t dstStep, int32_t mode, int32_t rounding);
/**
 * Two-reference motion compensation of interleaved chroma, 16 bytes by 4 rows
 * (horizontal neighbour two bytes further on).
 * @copydetails kvniMC16x16B_8u_C1
 */
KvnResult kvniMC16x4B_8u_C1(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB, int32_t refBStep,
                            int32_t modeB, const Kvn16s* pSrcYData, int32_t srcYStep, Kvn8u* pDst, int32_t dstStep,
                            int32_t rounding);

/**
 * Interleaved chroma prediction with planar residuals, 8x8 per component.
 * pDst = clamp(p + residual), even destination bytes (Cb) taking pSrcUData,
 * odd bytes (Cr) pSrcVData; horizontal neighbours are two bytes apart.
 * @param pRef Interleaved reference at the integer position.
 * @param refStep Reference row step in bytes.
 * @param pSrcUData Cb residual, signed 16-bit.
 * @param pSrcVData Cr residual, signed 16-bit.
 * @param srcUVStep Row step in bytes shared by both residual planes.
 * @param[out] pDst Interleaved destination.
 * @param dstStep Destination row step in bytes.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @param rounding Rounding control, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if pRef, a residual or pDst is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniMC8x8_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
/** The same with 8x4 per component. @copydetails kvniMC8x8_16s8u_P2C2R */
KvnResult kvniMC8x4_16s8u_P2C2R(const Kvn8u* pRef, int32_t refStep, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t mode, int32_t rounding);
/**
 * Two-reference interleaved chroma prediction with planar residuals, 8x8 per
 * component. pDst = clamp(((pF + pB + 1) >> 1) + residual), Cb residual in the
 * even bytes, Cr in the odd bytes.
 * @param pRefF Forward interleaved reference.
 * @param refFStep Its row step in bytes.
 * @param modeF Its reference interpolation mode (0, 4, 8, 12).
 * @param pRefB Backward interleaved reference.
 * @param refBStep Its row step in bytes.
 * @param modeB Its reference interpolation mode (0, 4, 8, 12).
 * @param pSrcUData Cb residual, signed 16-bit.
 * @param pSrcVData Cr residual, signed 16-bit.
 * @param srcUVStep Row step in bytes shared by both residual planes.
 * @param[out] pDst Interleaved destination.
 * @param dstStep Destination row step in bytes.
 * @param rounding Rounding control of both predictions, low bit: 0 up, 1 down.
 * @return KVN_STS_NULL_PTR if any of the five pointers is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniMC8x8B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                 int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding);
/** The same with 8x4 per component. @copydetails kvniMC8x8B_16s8u_P2C2R */
KvnResult kvniMC8x4B_16s8u_P2C2R(const Kvn8u* pRefF, int32_t refFStep, int32_t modeF, const Kvn8u* pRefB,
                                 int32_t refBStep, int32_t modeB, const Kvn16s* pSrcUData, const Kvn16s* pSrcVData,
                                 int32_t srcUVStep, Kvn8u* pDst, int32_t dstStep, int32_t rounding);

/**
 * Counts the zero coefficients of an 8x8 block.
 * @param pSrc 64 coefficients.
 * @param[out] pCount Receives the number of zeros (0..64).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniCountZeros8x8_16s_C1(const Kvn16s* pSrc, Kvn32u* pCount);

/**
 * Reorders 64 raster-order coefficients into scan order (ISO/IEC 14496-2 7.4.1,
 * Figures 7-2 and 7-3). With countNonZero below 20 the destination is cleared
 * and only the first countNonZero nonzero coefficients met in scan order are
 * copied; otherwise all 64 are copied.
 * @param pSrc 64 coefficients in raster order.
 * @param[out] pDst 64 coefficients in scan order.
 * @param countNonZero Number of nonzero coefficients, 1..64.
 * @param scan 1 alternate-vertical, 2 alternate-horizontal, any other value zigzag.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_OUT_OF_RANGE if
 *         countNonZero is outside 1..64 (nothing written); else KVN_STS_OK.
 */
KvnResult kvniScanFwd_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t countNonZero, int32_t scan);
/**
 * Places scan-order coefficients 0..indxLastNonZero at their raster positions;
 * the other positions are cleared.
 * @param pSrc 64 coefficients in scan order.
 * @param[out] pDst 64 coefficients in raster order.
 * @param indxLastNonZero Scan index of the last nonzero coefficient, 0..63.
 * @param scan 1 alternate-vertical, 2 alternate-horizontal, any other value zigzag.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_OUT_OF_RANGE if
 *         indxLastNonZero is outside 0..63 (nothing written); else KVN_STS_OK.
 */
KvnResult kvniScanInv_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t indxLastNonZero, int32_t scan);

/** @} */

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: SAD family                                    */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup blocks_sad SAD
 * @ingroup blocks
 * @brief Sums of absolute differences for motion estimation.
 *
 * SAD = sum over the block of |pSrc - p|, p the reference sample chosen by
 * mode (members with a mode): (mode >> 2) & 3 selects 0 full sample,
 * 1 vertical half (r(x, y) + r(x, y+1) + 1) >> 1, 2 horizontal half
 * (r(x, y) + r(x+1, y) + 1) >> 1, 3 centre (four samples + 2) >> 2; the other
 * bits are ignored (this is the reference interpolation mode 0, 4, 8, 12 of
 * the MC functions). Half-sample modes read one more row and/or column of
 * pRef. Steps are in bytes, also for 16-bit samples. Only null pointers are
 * checked (KVN_STS_NULL_PTR), and the steps or counts where stated; nothing
 * is written on failure. The value is written as unsigned.
 * @{
 */

/**
 * SAD of a 16x16 block against a full- or half-sample reference.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pSAD Receives the SAD (exact for 8-bit samples).
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSAD is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                             int32_t mode);
/** SAD of a 16x8 block against a full- or half-sample reference. @copydetails kvniSAD16x16_8u32s */
KvnResult kvniSAD16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);
/** SAD of an 8x8 block against a full- or half-sample reference. @copydetails kvniSAD16x16_8u32s */
KvnResult kvniSAD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD,
                               int32_t mode);
/**
 * SAD of a 4x4 block, full sample.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block.
 * @param refStep Reference row step in bytes.
 * @param[out] pSAD Receives the SAD.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSAD is null; else KVN_STS_OK.
 */
KvnResult kvniSAD4x4_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
/** SAD of an 8x4 block, full sample. @copydetails kvniSAD4x4_8u32s */
KvnResult kvniSAD8x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
/** SAD of a 4x8 block, full sample. @copydetails kvniSAD4x4_8u32s */
KvnResult kvniSAD4x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);
/** SAD of an 8x16 block, full sample. @copydetails kvniSAD4x4_8u32s */
KvnResult kvniSAD8x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD);

/**
 * SAD of a 16x16 block of 16-bit samples against a full- or half-sample reference.
 * The half-sample averages are formed with sums saturating at 65535, and each
 * |s - p| is added to the total as a signed 16-bit value, so the result is
 * exact for samples up to 16383 (14 bits).
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pSAD Receives the SAD.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSAD is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                  Kvn32s* pSAD, int32_t mode);
/** SAD of an 8x8 block of 16-bit samples. @copydetails kvniSAD16x16_16u32s_C1R */
KvnResult kvniSAD8x8_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);
/** SAD of a 4x4 block of 16-bit samples. @copydetails kvniSAD16x16_16u32s_C1R */
KvnResult kvniSAD4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD,
                                int32_t mode);

/**
 * SADs of 8x8 of each of two interleaved channels (16 bytes a row); the
 * horizontal neighbour of a sample is two bytes further on, and the mode
 * applies to each channel alone.
 * @param pSrc Interleaved source.
 * @param srcStep Source row step in bytes, at least 1.
 * @param pRef Interleaved reference at the integer position.
 * @param refStep Reference row step in bytes, at least 1.
 * @param[out] pSAD1 Receives the SAD of the even bytes (first channel).
 * @param[out] pSAD2 Receives the SAD of the odd bytes (second channel).
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if a step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniSAD8x8_8u32s_C2R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD1,
                               Kvn32s* pSAD2, int32_t mode);

/**
 * SADs of a 16x16 block against a horizontal run of candidates, full sample.
 * Candidate i is the block at pRef + i bytes in the same rows,
 * i = 0 .. (count & ~7) - 1; candidates are scored eight at a time. The
 * reference rows are read for (count & ~7) + width - 1 bytes.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef First candidate.
 * @param refStep Reference row step in bytes.
 * @param[out] pSAD count & ~7 SADs, entry i for candidate i.
 * @param count Number of candidates; rounded down to a multiple of 8.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSAD is null; KVN_STS_SIZE_ERR if
 *         count & ~7 is below 1 (fewer than 8 candidates); else KVN_STS_OK.
 */
KvnResult kvniSAD16x16xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                   int32_t count);
/** SADs of an 8x8 block against a run of candidates. @copydetails kvniSAD16x16xN_8u16u_C1R */
KvnResult kvniSAD8x8xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
/** SADs of a 4x4 block against a run of candidates. @copydetails kvniSAD16x16xN_8u16u_C1R */
KvnResult kvniSAD4x4xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
/** SADs of a 2x2 block against a run of candidates. @copydetails kvniSAD16x16xN_8u16u_C1R */
KvnResult kvniSAD2x2xN_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                 int32_t count);
/**
 * SADs of a 16x16 block against a run of candidates, and the best index.
 * As kvniSAD16x16xN_8u16u_C1R(), and the index of the smallest SAD (the lowest
 * index among equal ones).
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef First candidate.
 * @param refStep Reference row step in bytes.
 * @param[out] pSAD count & ~7 SADs, entry i for candidate i.
 * @param count Number of candidates; rounded down to a multiple of 8.
 * @param[out] pIndex Receives the index of the best candidate.
 * @return KVN_STS_NULL_PTR if pSrc, pRef, pSAD or pIndex is null;
 *         KVN_STS_SIZE_ERR if count & ~7 is below 1; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16u* pSAD, int32_t count, Kvn32u* pIndex);
/** SADs of an 8x8 block against a run of candidates, and the best index. @copydetails kvniSAD16x16xNI_8u16u_C1R */
KvnResult kvniSAD8x8xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                  int32_t count, Kvn32u* pIndex);
/** SADs of a 4x4 block against a run of candidates, and the best index. @copydetails kvniSAD16x16xNI_8u16u_C1R */
KvnResult kvniSAD4x4xNI_8u16u_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD,
                                  int32_t count, Kvn32u* pIndex);

/**
 * SADs of the four 8x8 sub-blocks of a 16x16 block, full sample, in raster
 * order of the sub-blocks.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstSAD 4 SADs.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16Blocks8x8_8u16u(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                      Kvn16u* pDstSAD);
/**
 * SADs of the sixteen 4x4 sub-blocks of a 16x16 block, full sample; entry
 * 4 * row + column in sub-blocks.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstSAD 16 SADs.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16Blocks4x4_8u16u(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                      Kvn16u* pDstSAD);
/**
 * SADs of the four 8x8 sub-blocks of a 16x16 block of 16-bit samples. Rows
 * are addressed by (step >> 1) samples; differences are added as in the other
 * 16-bit SADs (exact up to 14-bit samples).
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstSAD 4 SADs in raster order of the sub-blocks.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16Blocks8x8_16u32u_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                           Kvn32u* pDstSAD);
/**
 * SADs of the sixteen 4x4 sub-blocks of a 16x16 block of 16-bit samples
 * (rows addressed by (step >> 1) samples).
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstSAD 16 SADs, entry 4 * row + column in sub-blocks.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSAD16x16Blocks4x4_16u32u_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                           Kvn32u* pDstSAD);

/**
 * Frame and field activity of one 16x16 block: frame = sum |R(i) - R(i+1)|
 * over the row pairs within each 8-row half (14 pairs; rows 7 and 8 are not
 * paired); field = sum |R(i) - R(i+2)|, i = 0..13. Both are exact.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pFrameSAD Receives the frame activity.
 * @param[out] pFieldSAD Receives the field activity.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniFrameFieldSAD16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD);
/**
 * Frame and field activity of a 16x16 block of signed 16-bit samples, as
 * kvniFrameFieldSAD16x16_8u32s_C1R() but computed modulo 65536; the 16-bit
 * sums are stored zero-extended.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pFrameSAD Receives the frame activity.
 * @param[out] pFieldSAD Receives the field activity.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniFrameFieldSAD16x16_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD);

/**
 * Differences and their SAD, 8x8: pDst = pSrc1 - pSrc2, *pSAD = sum |pDst|.
 * @param pSrc1 First source.
 * @param src1Step Its row step in bytes.
 * @param pSrc2 Second source.
 * @param src2Step Its row step in bytes.
 * @param[out] pDst Differences, signed 16-bit.
 * @param dstStep Difference row step in bytes.
 * @param[out] pSAD Receives the SAD.
 * @return KVN_STS_NULL_PTR if pSrc1, pSrc2, pDst or pSAD is null (nothing written); else KVN_STS_OK.
 */
KvnResult kvniSubSAD8x8_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                  Kvn16s* pDst, int32_t dstStep, Kvn32u* pSAD);

/** @} */

/* ------------------------------------------------------------------------ */
/* Motion-estimation metrics: Hadamard, squared-error, variance and         */
/* activity measures                                                        */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup blocks_satd SATD
 * @ingroup blocks
 * @brief Hadamard-domain costs of d = pSrc - pRef.
 *
 * Only null pointers are checked (KVN_STS_NULL_PTR, nothing written); steps
 * are in bytes, also for 16-bit samples. No scaling or halving is applied.
 * @{
 */

/**
 * Hadamard cost of a 4x4 block.
 * d is transformed by the unnormalised 4x4
 * Hadamard transform (rows and columns, entries +-1) and *pSATD receives the
 * sum of the absolute values of all coefficients, exact. Larger members sum
 * over their 4x4 blocks.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Prediction block.
 * @param refStep Prediction row step in bytes.
 * @param[out] pSATD Receives the cost.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSATD is null; else KVN_STS_OK.
 */
KvnResult kvniSATD4x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of a 4x8 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD4x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of an 8x4 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD8x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of an 8x8 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of an 8x16 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD8x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of a 16x8 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/** Hadamard cost of a 16x16 block, summed over its 4x4 blocks. @copydetails kvniSATD4x4_8u32s_C1R */
KvnResult kvniSATD16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn32u* pSATD);
/**
 * Hadamard cost of an 8x8 block with one unnormalised 8x8 Hadamard transform
 * of the whole block: the sum of the absolute values of the 64 coefficients.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Prediction block.
 * @param refStep Prediction row step in bytes.
 * @param[out] pSATD Receives the cost.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSATD is null; else KVN_STS_OK.
 */
KvnResult kvniSAT8x8D_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSATD);
/**
 * 8x8 Hadamard cost of 16-bit samples, as kvniSAT8x8D_8u32s_C1R(); exact for
 * every 16-bit sample value.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Prediction block.
 * @param refStep Prediction row step in bytes.
 * @param[out] pSATD Receives the cost.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSATD is null; else KVN_STS_OK.
 */
KvnResult kvniSAT8x8D_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep,
                                 Kvn32u* pSATD);

/** @} */

/**
 * @defgroup blocks_ssd SSD
 * @ingroup blocks
 * @brief Sums of squared differences against full- or half-sample predictions.
 *
 * The prediction is chosen by the reference interpolation mode (bits of value
 * 4 and 8 as in the MC functions; half-sample averages rounded up). Only null
 * pointers are checked (KVN_STS_NULL_PTR, nothing written).
 * @{
 */

/**
 * Sum of squared differences of a 4x4 block and the prediction of pRef by mode.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pSSD Receives the sum.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pSSD is null; else KVN_STS_OK.
 */
KvnResult kvniSSD4x4_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD,
                               int32_t mode);
/** Sum of squared differences of an 8x8 block. @copydetails kvniSSD4x4_8u32s_C1R */
KvnResult kvniSSD8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32u* pSSD,
                               int32_t mode);
/** Sum of squared differences of a 16x16 block (mode before the result pointer). @copydetails kvniSSD4x4_8u32s_C1R */
KvnResult kvniSqrDiff16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, int32_t mode,
                                 Kvn32u* pSSD);
/**
 * Sum of squared differences of a 16x16 block and the two-reference
 * prediction (pF + pB + 1) >> 1 of the predictions of both references.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRefF Forward reference at the integer position.
 * @param refFStep Its row step in bytes.
 * @param modeF Its reference interpolation mode (0, 4, 8, 12).
 * @param pRefB Backward reference at the integer position.
 * @param refBStep Its row step in bytes.
 * @param modeB Its reference interpolation mode (0, 4, 8, 12).
 * @param[out] pSSD Receives the sum.
 * @return KVN_STS_NULL_PTR if pSrc, pRefF, pRefB or pSSD is null; else KVN_STS_OK.
 */
KvnResult kvniSqrDiff16x16B_8u32s(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                  int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn32u* pSSD);

/** @} */

/**
 * @defgroup blocks_variance Variance and activity
 * @ingroup blocks
 * @brief Variances, means, mean absolute deviations and edge detection of blocks.
 *
 * Only null pointers are checked (KVN_STS_NULL_PTR, nothing written); steps
 * are in bytes, also for 16-bit samples.
 * @{
 */

/**
 * 256 times the variance of a 16x16 block: Q - ((S * S) >> 8) for the sum S
 * and the sum of squares Q of the 256 samples (the subtracted term rounded down).
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pVar Receives the value.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniVariance16x16_8u32s(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar);
/**
 * Variance and sum of an 8x8 block.
 * *pSum = S, the sum of the 64 samples (not
 * their mean); *pVar = trunc(Q / 64 - (S / 64)^2) in single precision, Q the
 * sum of squares. kvniVarSum8x8_8u32s_C1R() is the same function.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pVar Receives the variance.
 * @param[out] pSum Receives the sum of the samples.
 * @return KVN_STS_NULL_PTR if pSrc, pVar or pSum is null; else KVN_STS_OK.
 */
KvnResult kvniVarMean8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
/** The same function as kvniVarMean8x8_8u32s_C1R(). @copydetails kvniVarMean8x8_8u32s_C1R */
KvnResult kvniVarSum8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
/**
 * Variance and sum of an 8x8 block of signed 16-bit samples.
 * As kvniVarMean8x8_8u32s_C1R(); each column is summed with signed 16-bit
 * saturation, row by row, and the squares are added modulo 2^32.
 * kvniVarSum8x8_16s32s_C1R() is the same function.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pVar Receives the variance.
 * @param[out] pSum Receives the sum of the samples.
 * @return KVN_STS_NULL_PTR if pSrc, pVar or pSum is null; else KVN_STS_OK.
 */
KvnResult kvniVarMean8x8_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
/** The same function as kvniVarMean8x8_16s32s_C1R(). @copydetails kvniVarMean8x8_16s32s_C1R */
KvnResult kvniVarSum8x8_16s32s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn32s* pVar, Kvn32s* pSum);
/**
 * Variances and means of the four 8x8 blocks of a 16x16 difference pSrc - p,
 * p the prediction of pRef by mode (blocks in raster order). For block b:
 * D = pSrcSum[b] - the sum of p over the block, pMean[b] = D / 8 truncated
 * toward zero, and with Q the sum of the squared differences,
 * pVar[b] = (Q - pMean[b]^2) >> 6 when Q > pMean[b]^2, else 0. Unless mode is
 * exactly 0, 4, 8 or 12 nothing is computed or written (and KVN_STS_OK returned).
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param pSrcSum Sums of the source's 8x8 blocks (4 values).
 * @param[out] pVar 4 variances.
 * @param[out] pMean 4 means.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if any of the five pointers is null; else KVN_STS_OK.
 */
KvnResult kvniVarMeanDiff16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                         const Kvn32s* pSrcSum, Kvn32s* pVar, Kvn32s* pMean, int32_t mode);
/**
 * Variances and means of the two 8x8 blocks of a 16x8 difference, as
 * kvniVarMeanDiff16x16_8u32s_C1R() (pSrcSum, pVar and pMean hold 2 values);
 * the bits of value 4 and 8 of mode are used, the others ignored.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param pSrcSum Sums of the source's 8x8 blocks (2 values).
 * @param[out] pVar 2 variances.
 * @param[out] pMean 2 means.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @return KVN_STS_NULL_PTR if any of the five pointers is null; else KVN_STS_OK.
 */
KvnResult kvniVarMeanDiff16x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                        const Kvn32s* pSrcSum, Kvn32s* pVar, Kvn32s* pMean, int32_t mode);
/**
 * Mean absolute deviation sum of a 16x16 block: sum of |x - m|, m the mean
 * rounded half up, (S + 128) / 256.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pDst Receives the sum.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniMeanAbsDev16x16_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst);
/**
 * Mean absolute deviation sum of an 8x8 block: sum of |x - m|, m the mean
 * rounded half up, (S + 32) / 64.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param[out] pDst Receives the sum.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniMeanAbsDev8x8_8u32s_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn32s* pDst);
/**
 * Edge detection in a 16x16 block: a position (x, y), x and y below 15, is an
 * edge when its right or lower neighbour differs from it by more than
 * diffThreshold; the flag is 1 when there are more than countThreshold edges, else 0.
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param diffThreshold Sample-difference threshold.
 * @param countThreshold Edge-count threshold (225 or more: always 0).
 * @param[out] pFlag Receives 1 or 0.
 * @return KVN_STS_NULL_PTR if pSrc or pFlag is null; else KVN_STS_OK.
 */
KvnResult kvniEdgesDetect16x16_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, int32_t diffThreshold, int32_t countThreshold,
                                      Kvn8u* pFlag);
/**
 * Edge detection in a 16x16 block of 16-bit samples, as kvniEdgesDetect16x16_8u_C1R().
 * @param pSrc Block.
 * @param srcStep Row step in bytes.
 * @param diffThreshold Sample-difference threshold.
 * @param countThreshold Edge-count threshold.
 * @param[out] pFlag Receives 1 or 0.
 * @return KVN_STS_NULL_PTR if pSrc or pFlag is null; else KVN_STS_OK.
 */
KvnResult kvniEdgesDetect16x16_16u_C1R(const Kvn16u* pSrc, int32_t srcStep, int32_t diffThreshold,
                                       int32_t countThreshold, Kvn32u* pFlag);

/** @} */

/* ------------------------------------------------------------------------ */
/* Block differences: residual formation                                    */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup blocks_diff Differences and residual formation
 * @ingroup blocks
 * @brief Residuals source - prediction, with optional half-sample prediction and per-4x4 sums.
 *
 * Differences are source - prediction as signed 16-bit values; steps of
 * 16-bit data are in bytes. mode: bits of value 4 (vertical half) and 8
 * (horizontal half), as in the MC functions; rounding: its low bit, 0 rounds
 * half-sample averages up, 1 down. Only null pointers are checked
 * (KVN_STS_NULL_PTR, nothing written); optional outputs may be null.
 * @{
 */

/**
 * Differences of a 4x4 block: pDstDiff = pSrc - pRef.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Prediction block.
 * @param refStep Prediction row step in bytes.
 * @param[out] pDstDiff Differences.
 * @param dstDiffStep Difference row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pDstDiff is null; else KVN_STS_OK.
 */
KvnResult kvniGetDiff4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep);

/**
 * Residual of an 8x4 block against a half-sample prediction.
 * pDstDiff = pSrc - p, p the prediction of pRef by mode and rounding; p is also written to
 * pDstPredictor unless that is null.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRef Reference block at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstDiff Differences.
 * @param dstDiffStep Difference row step in bytes.
 * @param[out] pDstPredictor Optional: receives p as 16-bit values (may be null).
 * @param dstPredictorStep Predictor row step in bytes.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @param rounding Rounding control, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc, pRef or pDstDiff is null; else KVN_STS_OK.
 */
KvnResult kvniGetDiff8x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                  int32_t dstPredictorStep, int32_t mode, int32_t rounding);
/** Residual of an 8x8 block against a half-sample prediction. @copydetails kvniGetDiff8x4_8u16s_C1 */
KvnResult kvniGetDiff8x8_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                  Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                  int32_t dstPredictorStep, int32_t mode, int32_t rounding);
/** Residual of an 8x16 block against a half-sample prediction. @copydetails kvniGetDiff8x4_8u16s_C1 */
KvnResult kvniGetDiff8x16_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                   Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                   int32_t dstPredictorStep, int32_t mode, int32_t rounding);
/** Residual of a 16x8 block against a half-sample prediction. @copydetails kvniGetDiff8x4_8u16s_C1 */
KvnResult kvniGetDiff16x8_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                   Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                   int32_t dstPredictorStep, int32_t mode, int32_t rounding);
/** Residual of a 16x16 block against a half-sample prediction. @copydetails kvniGetDiff8x4_8u16s_C1 */
KvnResult kvniGetDiff16x16_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, Kvn16s* pDstPredictor,
                                    int32_t dstPredictorStep, int32_t mode, int32_t rounding);

/**
 * Residual of an 8x4 block against a two-reference prediction.
 * pDstDiff = pSrc - ((pF + pB + 1) >> 1), pF and pB the predictions of pRefF
 * and pRefB by their modes and the shared rounding.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pRefF Forward reference at the integer position.
 * @param refFStep Its row step in bytes.
 * @param modeF Its reference interpolation mode (0, 4, 8, 12).
 * @param pRefB Backward reference at the integer position.
 * @param refBStep Its row step in bytes.
 * @param modeB Its reference interpolation mode (0, 4, 8, 12).
 * @param[out] pDstDiff Differences.
 * @param dstDiffStep Difference row step in bytes.
 * @param rounding Rounding control of both predictions, low bit: 0 up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc, a reference or pDstDiff is null; else KVN_STS_OK.
 */
KvnResult kvniGetDiff8x4B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                   int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff,
                                   int32_t dstDiffStep, int32_t rounding);
/** Residual of an 8x8 block against a two-reference prediction. @copydetails kvniGetDiff8x4B_8u16s_C1 */
KvnResult kvniGetDiff8x8B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                   int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB, Kvn16s* pDstDiff,
                                   int32_t dstDiffStep, int32_t rounding);
/** Residual of an 8x16 block against a two-reference prediction. @copydetails kvniGetDiff8x4B_8u16s_C1 */
KvnResult kvniGetDiff8x16B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                    int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);
/** Residual of a 16x8 block against a two-reference prediction. @copydetails kvniGetDiff8x4B_8u16s_C1 */
KvnResult kvniGetDiff16x8B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                    int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                    Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);
/** Residual of a 16x16 block against a two-reference prediction. @copydetails kvniGetDiff8x4B_8u16s_C1 */
KvnResult kvniGetDiff16x16B_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiff, int32_t dstDiffStep, int32_t rounding);

/**
 * Residual of interleaved (Cb, Cr) chroma, 8x4 per channel.
 * 8 pairs a row; the horizontal neighbour of a sample is two bytes further
 * on. Cb differences go to pDstDiffU, Cr differences to pDstDiffV.
 * @param pSrc Interleaved source.
 * @param srcStep Source row step in bytes.
 * @param pRef Interleaved reference at the integer position.
 * @param refStep Reference row step in bytes.
 * @param[out] pDstDiffU Cb differences.
 * @param dstDiffUStep Their row step in bytes.
 * @param[out] pDstDiffV Cr differences.
 * @param dstDiffVStep Their row step in bytes.
 * @param mode Reference interpolation mode: 0 full, 4 vertical half, 8 horizontal half, 12 both.
 * @param rounding Rounding control, low bit: 0 rounds up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc, pRef, pDstDiffU or pDstDiffV is null; else KVN_STS_OK.
 */
KvnResult kvniGetDiff8x4_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                    int32_t mode, int32_t rounding);
/** Residual of interleaved chroma, 8x8 per channel. @copydetails kvniGetDiff8x4_8u16s_C2P2 */
KvnResult kvniGetDiff8x8_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                    Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                    int32_t mode, int32_t rounding);
/**
 * Two-reference residual of interleaved (Cb, Cr) chroma, 8x4 per channel.
 * The prediction is (pF + pB + 1) >> 1; Cb differences go to pDstDiffU, Cr
 * differences to pDstDiffV.
 * @param pSrc Interleaved source.
 * @param srcStep Source row step in bytes.
 * @param pRefF Forward interleaved reference.
 * @param refFStep Its row step in bytes.
 * @param modeF Its reference interpolation mode (0, 4, 8, 12).
 * @param pRefB Backward interleaved reference.
 * @param refBStep Its row step in bytes.
 * @param modeB Its reference interpolation mode (0, 4, 8, 12).
 * @param[out] pDstDiffU Cb differences.
 * @param dstDiffUStep Their row step in bytes.
 * @param[out] pDstDiffV Cr differences.
 * @param dstDiffVStep Their row step in bytes.
 * @param rounding Rounding control of both predictions, low bit: 0 up, 1 down.
 * @return KVN_STS_NULL_PTR if pSrc, a reference or a difference pointer is null; else KVN_STS_OK.
 */
KvnResult kvniGetDiff8x4B_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                     int32_t rounding);
/** Two-reference residual of interleaved chroma, 8x8 per channel. @copydetails kvniGetDiff8x4B_8u16s_C2P2 */
KvnResult kvniGetDiff8x8B_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRefF, int32_t refFStep,
                                     int32_t modeF, const Kvn8u* pRefB, int32_t refBStep, int32_t modeB,
                                     Kvn16s* pDstDiffU, int32_t dstDiffUStep, Kvn16s* pDstDiffV, int32_t dstDiffVStep,
                                     int32_t rounding);

/**
 * Differences of two 4x4 blocks: pDst = pSrc1 - pSrc2.
 * @param pSrc1 First source.
 * @param src1Step Its row step in bytes.
 * @param pSrc2 Second source.
 * @param src2Step Its row step in bytes.
 * @param[out] pDst Differences.
 * @param dstStep Difference row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSub4x4_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst,
                               int32_t dstStep);
/** Differences of two 8x8 blocks. @copydetails kvniSub4x4_8u16s_C1R */
KvnResult kvniSub8x8_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst,
                               int32_t dstStep);
/** Differences of two 16x16 blocks. @copydetails kvniSub4x4_8u16s_C1R */
KvnResult kvniSub16x16_8u16s_C1R(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                 Kvn16s* pDst, int32_t dstStep);
/**
 * Differences of two 4x4 blocks of 16-bit samples, modulo 65536 read as signed.
 * @param pSrc1 First source.
 * @param src1Step Its row step in bytes.
 * @param pSrc2 Second source.
 * @param src2Step Its row step in bytes.
 * @param[out] pDst Differences.
 * @param dstStep Difference row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSub4x4_16u16s_C1R(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step,
                                Kvn16s* pDst, int32_t dstStep);
/** Differences of two 8x8 blocks of 16-bit samples. @copydetails kvniSub4x4_16u16s_C1R */
KvnResult kvniSub8x8_16u16s_C1R(const Kvn16u* pSrc1, int32_t src1Step, const Kvn16u* pSrc2, int32_t src2Step,
                                Kvn16s* pDst, int32_t dstStep);

/**
 * Per-4x4 sums of the differences of an 8x8 block.
 * pSums[b] = sum of the 16
 * differences pSrc - pPred of 4x4 block b (raster order of blocks). Unless
 * pDiff is null it receives the differences without a step: 4x4 block after
 * 4x4 block in that order, each block row by row.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pPred Prediction block.
 * @param predStep Prediction row step in bytes.
 * @param[out] pSums 4 sums.
 * @param[out] pDiff Optional: 64 differences (may be null).
 * @return KVN_STS_NULL_PTR if pSrc, pPred or pSums is null; else KVN_STS_OK.
 */
KvnResult kvniSumsDiff8x8Blocks4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep,
                                            Kvn16s* pSums, Kvn16s* pDiff);
/**
 * Per-4x4 sums of the differences of a 16x16 block, as
 * kvniSumsDiff8x8Blocks4x4_8u16s_C1() with 16 sums and 256 differences.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pPred Prediction block.
 * @param predStep Prediction row step in bytes.
 * @param[out] pSums 16 sums.
 * @param[out] pDiff Optional: 256 differences (may be null).
 * @return KVN_STS_NULL_PTR if pSrc, pPred or pSums is null; else KVN_STS_OK.
 */
KvnResult kvniSumsDiff16x16Blocks4x4_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPred, int32_t predStep,
                                              Kvn16s* pSums, Kvn16s* pDiff);
/**
 * Per-4x4 sums of the differences of an 8x8 block of 16-bit samples: exact
 * 32-bit sums; the differences modulo 65536.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pPred Prediction block.
 * @param predStep Prediction row step in bytes.
 * @param[out] pSums 4 sums.
 * @param[out] pDiff Optional: 64 differences (may be null).
 * @return KVN_STS_NULL_PTR if pSrc, pPred or pSums is null; else KVN_STS_OK.
 */
KvnResult kvniSumsDiff8x8Blocks4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred,
                                              int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff);
/**
 * Per-4x4 sums of the differences of a 16x16 block of 16-bit samples: exact
 * 32-bit sums; the differences modulo 65536.
 * @param pSrc Source block.
 * @param srcStep Source row step in bytes.
 * @param pPred Prediction block.
 * @param predStep Prediction row step in bytes.
 * @param[out] pSums 16 sums.
 * @param[out] pDiff Optional: 256 differences (may be null).
 * @return KVN_STS_NULL_PTR if pSrc, pPred or pSums is null; else KVN_STS_OK.
 */
KvnResult kvniSumsDiff16x16Blocks4x4_16u32s_C1R(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pPred,
                                                int32_t predStep, Kvn32s* pSums, Kvn16s* pDiff);
/**
 * Per-4x4 sums of the differences of interleaved (Cb, Cr) 8x8 chroma against
 * planar predictions: the Cb channel gives pSumsU and pDiffU, the Cr channel
 * pSumsV and pDiffV.
 * @param pSrc Interleaved source (8 pairs a row).
 * @param srcStep Source row step in bytes.
 * @param pPredU Cb prediction (planar).
 * @param predUStep Its row step in bytes.
 * @param pPredV Cr prediction (planar).
 * @param predVStep Its row step in bytes.
 * @param[out] pSumsU 4 Cb sums.
 * @param[out] pDiffU Optional: 64 Cb differences (may be null).
 * @param[out] pSumsV 4 Cr sums.
 * @param[out] pDiffV Optional: 64 Cr differences (may be null).
 * @return KVN_STS_NULL_PTR if pSrc, a prediction or a sums pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSumsDiff8x8Blocks4x4_8u16s_C2P2(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pPredU,
                                              int32_t predUStep, const Kvn8u* pPredV, int32_t predVStep, Kvn16s* pSumsU,
                                              Kvn16s* pDiffU, Kvn16s* pSumsV, Kvn16s* pDiffV);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 4x4 and DC transforms with quantisation                            */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_transform Transforms and quantisation
 * @ingroup h264
 * @brief H.264 4x4, DC and 8x8 transforms, quantisation, dequantisation and scale tables (H.264 8.5, 8.6).
 *
 * Blocks are 16 coefficients in raster order (DC blocks: 4 for 2x2 chroma,
 * 8 = 4 rows of 2 for 2x4 chroma, 16 for luma; 8x8 blocks 64) unless a step
 * is given. qp is split as q6 = qp / 6 and m = qp % 6; position classes E (row
 * and column even), O (both odd), M (mixed).
 *
 * - Forward quantisation: level = sign(c) * ((|c| * M + f) >> s), M the
 *   multiplier Q(m, class) or the caller's forward scale level,
 *   s = 15 + q6 (11 + q6 with scale levels; one more for DC blocks),
 *   f = 2^s / 3 intra, 2^s / 6 inter unless stated otherwise.
 * - pScanMatrix[p] is the scan index of raster position p; *pLastCoeff
 *   receives the largest one among the nonzero levels (0 if none).
 * - Forward scale levels are floor(Q / w), inverse ones LevelScale4x4 = v * w
 *   (16 * v for flat weights), H.264 8.5.9; kvniGenScaleLevel4x4_H264_8u16s_C1()
 *   makes both.
 * - Checks: required pointers (KVN_STS_NULL_PTR), then the ranges in argument
 *   order (KVN_STS_OUT_OF_RANGE; the 8x8 functions KVN_STS_QP_ERR); nothing is
 *   written on failure unless stated.
 * @{
 */

/**
 * Forward 4x4 core transform (counterpart of H.264 8.5.12), saturating 16-bit additions.
 * @param pSrc 16 residuals.
 * @param[out] pDst 16 coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformResidual4x4Fwd_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
/**
 * Forward 4x4 core transform, 32-bit wrapping arithmetic.
 * @param pSrc 16 residuals.
 * @param[out] pDst 16 coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformResidual4x4Fwd_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst);
/**
 * Inverse 4x4 core transform (H.264 8.5.12.2) including (x + 32) >> 6,
 * saturating 16-bit additions.
 * @param pSrc 16 coefficients.
 * @param[out] pDst 16 residuals.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformResidual4x4Inv_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
/**
 * Inverse 4x4 core transform (H.264 8.5.12.2) including (x + 32) >> 6, 32-bit wrapping.
 * @param pSrc 16 coefficients.
 * @param[out] pDst 16 residuals.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformResidual4x4Inv_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst);
/**
 * Forward core transform of a 4x4 block of prediction samples (SP/SI slices, H.264 8.6).
 * @param pSrc 4x4 samples.
 * @param srcStep Their row step in bytes.
 * @param[out] pDst 16 coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformPrediction_H264_8u16s_C1(const Kvn8u* pSrc, int32_t srcStep, Kvn16s* pDst);

/**
 * Forward transform and quantisation of a 4x4 residual block. The transform
 * and products are exact in 32 bits; the levels are the low 16 bits of the
 * exact ones.
 * @param pSrc 16 residuals.
 * @param[out] pDst 16 levels, raster order.
 * @param qp 0..51.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 (DC) is nonzero.
 * @param intra Nonzero for intra blocks (f = 2^s / 3), 0 for inter (2^s / 6).
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional 16 forward scale levels (null: flat).
 * @return KVN_STS_NULL_PTR if pSrc, pDst, pNumLevels, pScanMatrix or
 *         pLastCoeff is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwd4x4_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t qp, int32_t* pNumLevels,
                                               int32_t intra, const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                               const Kvn16s* pScaleLevels);
/**
 * Forward transform and quantisation of a 4x4 residual block to 32-bit
 * levels, for bit depths up to 14. The levels are exact, also where
 * |c| * M + f passes 2^32.
 * @param pSrc 16 residuals.
 * @param[out] pDst 16 levels, raster order.
 * @param qp 0..87 (QP + 6 * (bitDepth - 8)).
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional 16 forward scale levels (null: flat).
 * @return KVN_STS_NULL_PTR if pSrc, pDst, pNumLevels, pScanMatrix or
 *         pLastCoeff is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..87; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwd4x4_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst, int32_t qp, int32_t* pNumLevels,
                                                  int32_t intra, const Kvn16s* pScanMatrix, int32_t* pLastCoeff,
                                                  const Kvn16s* pScaleLevels);
/**
 * Quantisation of transformed 4x4 coefficients; levels saturate to 16 bits;
 * *pNumLevels is never negated.
 * @param pSrc 16 coefficients.
 * @param[out] pDst 16 levels.
 * @param[out] pNumLevels Number of nonzero levels.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional 16 forward scale levels (null: flat).
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param qp 0..51.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @return KVN_STS_NULL_PTR if pSrc, pDst, pNumLevels, pLastCoeff or
 *         pScanMatrix is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniQuantizeResidual4x4Fwd_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t* pNumLevels,
                                                 int32_t* pLastCoeff, const Kvn16s* pScaleLevels,
                                                 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
/**
 * Quantisation of 16-bit coefficients to 32-bit levels with required scale
 * levels; the levels are computed exactly and saturated to 32 bits;
 * *pNumLevels is never negated.
 * @param pSrc 16 coefficients.
 * @param[out] pDst 16 levels.
 * @param[out] pNumLevels Number of nonzero levels.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels 16 forward scale levels (required).
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param qp 0..51.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @return KVN_STS_NULL_PTR if any pointer is null; KVN_STS_OUT_OF_RANGE if
 *         qp is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniQuantizeResidual4x4Fwd_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst, int32_t* pNumLevels,
                                                    int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
                                                    const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
/**
 * Quantisation of 32-bit coefficients; levels computed exactly and saturated
 * to 32 bits; *pNumLevels is never negated.
 * @param pSrc 16 coefficients.
 * @param[out] pDst 16 levels.
 * @param[out] pNumLevels Number of nonzero levels.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional 16 forward scale levels (null: flat).
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param qp 0..87.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @return KVN_STS_NULL_PTR if pSrc, pDst, pNumLevels, pLastCoeff or
 *         pScanMatrix is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..87; else KVN_STS_OK.
 */
KvnResult kvniQuantizeResidual4x4Fwd_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst, int32_t* pNumLevels,
                                                 int32_t* pLastCoeff, const Kvn32s* pScaleLevels,
                                                 const Kvn16s* pScanMatrix, int32_t qp, int32_t intra);
/**
 * Legacy forward transform and quantisation in place, 16-bit wrapping
 * transform, levels limited to 2063 in magnitude (baseline CAVLC).
 * @param[in,out] pSrcDst In: 16 residuals; out: 16 levels.
 * @param qp 0..51.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels, masked with 127.
 * @return KVN_STS_NULL_PTR if pSrcDst, pNumLevels, pScanMatrix or pLastCoeff
 *         is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51;
 *         KVN_STS_LEVEL_RANGE if a level exceeds 2063 in magnitude: the block
 *         then holds the transform, with the levels of the first 8 positions
 *         when only the last 8 failed, and the counts are not written; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantResidual_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, Kvn8s* pNumLevels, Kvn8u intra,
                                                  const Kvn16s* pScanMatrix, Kvn8u* pLastCoeff);

/**
 * Forward luma DC transform (Intra16x16 Hadamard, halved) and quantisation,
 * multiplier Q(m, E) or pScaleLevels[0], s = 16 + q6 (12 + q6 with scale
 * levels), f = 2^s / 3, or 682 * 2^(s - 11) with scale levels.
 * @param[in,out] pDCLevels In: 16 DC values; out: 16 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp 0..51.
 * @param[out] pNumLevels Number of nonzero levels, negated when pTransformed[0] is nonzero.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed, pNumLevels,
 *         pScanMatrix or pLastCoeff is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                      int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
                                                      int32_t* pLastCoeff, const Kvn16s* pScaleLevels);
/**
 * Forward luma DC transform and quantisation with 32-bit values, as
 * kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I() with qp 0..87.
 * @param[in,out] pDCLevels In: 16 DC values; out: 16 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp 0..87.
 * @param[out] pNumLevels Number of nonzero levels, negated when pTransformed[0] is nonzero.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed, pNumLevels,
 *         pScanMatrix or pLastCoeff is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..87; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdLumaDC4x4_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                      int32_t* pNumLevels, int32_t transform, const Kvn16s* pScanMatrix,
                                                      int32_t* pLastCoeff, const Kvn16s* pScaleLevels);
/**
 * Legacy forward luma DC transform and quantisation: 16-bit wrapping
 * transform, f = 2^s / 3, level limit 2063 as kvniTransformQuantResidual_H264_16s_C1I().
 * @param[in,out] pDCLevels In: 16 DC values; out: 16 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp 0..51.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScanMatrix 16 scan indices of the raster positions.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels, masked with 127.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_OUT_OF_RANGE if qp
 *         is outside 0..51; KVN_STS_LEVEL_RANGE if a level exceeds 2063 (the
 *         transform is written, the failing half of the levels and the counts
 *         are not); else KVN_STS_OK.
 */
KvnResult kvniTransformQuantLumaDC_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp, Kvn8s* pNumLevels,
                                                Kvn8u transform, const Kvn16s* pScanMatrix, Kvn8u* pLastCoeff);
/**
 * Forward chroma DC 2x2 transform (4:2:0) and quantisation, multiplier
 * Q(m, E) or pScaleLevels[0], f = 2^s / 3 intra, 2^s / 6 inter.
 * @param[in,out] pDCLevels In: 4 DC values (c0 c1 / c2 c3); out: 4 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp Chroma QP, 0..39.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is zero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed or pNumLevels is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdChromaDC2x2_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
/**
 * Forward chroma DC 2x2 transform and quantisation with 32-bit values.
 * @param[in,out] pDCLevels In: 4 DC values; out: 4 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp Chroma QP, 0..75.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed or pNumLevels is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..75; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdChromaDC2x2_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
/**
 * Forward chroma DC 2x4 transform (4:2:2, qp + 3 used) and quantisation,
 * f = 682 (intra) or 342 (inter) * 2^(s - 11).
 * @param[in,out] pDCLevels In: 8 DC values (4 rows of 2); out: 8 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp Chroma QP, 0..39.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is zero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed or pNumLevels is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdChromaDC2x4_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
/**
 * Forward chroma DC 2x4 transform (4:2:2) and quantisation with 32-bit values.
 * @param[in,out] pDCLevels In: 8 DC values; out: 8 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp Chroma QP, 0..75.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @param pScaleLevels Optional forward scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed or pNumLevels is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..75; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantFwdChromaDC2x4_H264_32s_C1I(Kvn32s* pDCLevels, Kvn32s* pTransformed, int32_t qp,
                                                        int32_t* pNumLevels, int32_t intra, int32_t transform,
                                                        const Kvn16s* pScaleLevels);
/**
 * Legacy forward chroma DC 2x2 transform and quantisation.
 * @param[in,out] pDCLevels In: 4 DC values; out: 4 levels.
 * @param[in,out] pTransformed Receives the transform, or with transform 0 supplies it.
 * @param qp Chroma QP, 0..39.
 * @param[out] pNumLevels Number of nonzero levels, negated when level 0 is nonzero.
 * @param intra 1 intra, 0 inter.
 * @param transform Nonzero: transform pDCLevels; 0: quantise pTransformed as given.
 * @return KVN_STS_NULL_PTR if pDCLevels, pTransformed or pNumLevels is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..39; KVN_STS_LEVEL_RANGE if
 *         a level exceeds 2063 in magnitude, after all levels and the count
 *         have been written; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantChromaDC_H264_16s_C1I(Kvn16s* pDCLevels, Kvn16s* pTransformed, int32_t qp,
                                                  Kvn8s* pNumLevels, Kvn8u intra, Kvn8u transform);

/**
 * Dequantises a 4x4 block (H.264 8.5.12.1), inverse-transforms it and adds it
 * to the prediction. *pDC, when given, replaces position 0. With AC & 1: the
 * residual is written back to pSrcDst and pDst = clamp(pPred + residual, 0, 255);
 * without: only the DC, (dc + 32) >> 6 is added to the prediction and pSrcDst
 * is untouched.
 * @param pPred 4x4 prediction.
 * @param predStep Its row step in bytes.
 * @param[in,out] pSrcDst 16 levels; receives the residual when AC & 1.
 * @param pDC Optional dequantised DC value (from the DC inverse functions), may be null.
 * @param[out] pDst 4x4 destination.
 * @param dstStep Its row step in bytes.
 * @param qp 0..51.
 * @param AC Bit 0: the block has AC coefficients.
 * @param pScaleLevels Optional 16 inverse scale levels (null: 16 * v, flat).
 * @return KVN_STS_NULL_PTR if pPred, pSrcDst or pDst is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(const Kvn8u* pPred, int32_t predStep, Kvn16s* pSrcDst,
                                                        const Kvn16s* pDC, Kvn8u* pDst, int32_t dstStep, int32_t qp,
                                                        int32_t AC, const Kvn16s* pScaleLevels);
/**
 * High-bit-depth form of kvniTransformQuantInvAddPred4x4_H264_16s_C1IR():
 * 32-bit coefficients, samples clamped to 0..2^bitDepth - 1.
 * @param pPred 4x4 prediction, 16-bit samples.
 * @param predStep Its row step in bytes.
 * @param[in,out] pSrcDst 16 levels; receives the residual when AC & 1.
 * @param pDC Optional dequantised DC value, may be null.
 * @param[out] pDst 4x4 destination, 16-bit samples.
 * @param dstStep Its row step in bytes.
 * @param qp 0..87.
 * @param AC Bit 0: the block has AC coefficients.
 * @param bitDepth 9..14.
 * @param pScaleLevels Optional 16 inverse scale levels (null: flat).
 * @return KVN_STS_NULL_PTR if pPred, pSrcDst or pDst is null;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..87, then if bitDepth is
 *         outside 9..14; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvAddPred4x4_H264_32s_C1IR(const Kvn16u* pPred, int32_t predStep, Kvn32s* pSrcDst,
                                                        const Kvn32s* pDC, Kvn16u* pDst, int32_t dstStep, int32_t qp,
                                                        int32_t AC, int32_t bitDepth, const Kvn16s* pScaleLevels);
/**
 * Inverse luma DC transform with dequantisation, in place (H.264 8.5.10);
 * scale pScaleLevels[0] or 16 * v(m, E); 16-bit saturating.
 * @param[in,out] pSrcDst 16 DC levels in, 16 dequantised DC values out.
 * @param qp 0..51.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvLumaDC4x4_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Inverse luma DC transform with dequantisation, 32-bit (H.264 8.5.10).
 * @param[in,out] pSrcDst 16 DC levels in, 16 dequantised DC values out.
 * @param qp 0..87.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..87; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvLumaDC4x4_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Inverse chroma DC 2x2 transform with dequantisation (H.264 8.5.11, 4:2:0), 16-bit saturating.
 * @param[in,out] pSrcDst 4 DC levels in, 4 dequantised DC values out.
 * @param qp Chroma QP, 0..39.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvChromaDC2x2_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Inverse chroma DC 2x2 transform with dequantisation, 32-bit (H.264 8.5.11).
 * @param[in,out] pSrcDst 4 DC levels in, 4 dequantised DC values out.
 * @param qp Chroma QP, 0..75.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..75; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvChromaDC2x2_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Inverse chroma DC 2x4 transform with dequantisation (H.264 8.5.11, 4:2:2,
 * qp + 3 used), 16-bit saturating.
 * @param[in,out] pSrcDst 8 DC levels in, 8 dequantised DC values out.
 * @param qp Chroma QP, 0..39.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvChromaDC2x4_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Inverse chroma DC 2x4 transform with dequantisation, 32-bit (H.264 8.5.11, 4:2:2).
 * @param[in,out] pSrcDst 8 DC levels in, 8 dequantised DC values out.
 * @param qp Chroma QP, 0..75.
 * @param pScaleLevels Optional inverse scale levels, element 0 used (null: flat).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..75; else KVN_STS_OK.
 */
KvnResult kvniTransformQuantInvChromaDC2x4_H264_32s_C1I(Kvn32s* pSrcDst, int32_t qp, const Kvn16s* pScaleLevels);
/**
 * Pre-shifted dequantisation and inverse transform in place: coefficients
 * times v(m, class) << qp / 6 (16-bit), DC *pDC when given; without AC the
 * block is filled with (dc + 32) >> 6.
 * @param[in,out] pSrcDst 4x4 levels in, residuals out.
 * @param srcDstStep Row step in bytes, at least 8.
 * @param pDC Optional DC value (may be null: position 0 is dequantised).
 * @param AC Bit 0: the block has AC coefficients.
 * @param qp 0..51.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..51; KVN_STS_STEP_ERR if srcDstStep is below 8; else KVN_STS_OK.
 */
KvnResult kvniDequantTransformResidual_H264_16s_C1I(Kvn16s* pSrcDst, int32_t srcDstStep, const Kvn16s* pDC, int32_t AC,
                                                    int32_t qp);
/**
 * Pre-shifted dequantisation and inverse transform added to the prediction:
 * pDst = clamp(pPred + residual, 0, 255); with AC & 1 the residual is written
 * back to pSrcDst.
 * @param pPred 4x4 prediction.
 * @param[in,out] pSrcDst 16 levels; may be null when pDC is given and AC is 0.
 * @param pDC Optional DC value (may be null).
 * @param[out] pDst 4x4 destination.
 * @param predStep Prediction row step in bytes.
 * @param dstStep Destination row step in bytes.
 * @param qp 0..51.
 * @param AC Bit 0: the block has AC coefficients.
 * @return KVN_STS_NULL_PTR if pPred or pDst is null; KVN_STS_OUT_OF_RANGE if
 *         qp is outside 0..51; KVN_STS_NULL_PTR if pSrcDst is null while it
 *         is needed; else KVN_STS_OK.
 */
KvnResult kvniDequantTransformResidualAndAdd_H264_16s_C1I(const Kvn8u* pPred, Kvn16s* pSrcDst, const Kvn16s* pDC,
                                                          Kvn8u* pDst, int32_t predStep, int32_t dstStep, int32_t qp,
                                                          int32_t AC);
/**
 * Legacy luma DC inverse transform and dequantisation in the pre-shifted form, in place.
 * @param[in,out] pSrcDst 16 DC levels in, 16 DC values out.
 * @param qp 0..51.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformDequantLumaDC_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp);
/**
 * Legacy chroma DC 2x2 inverse transform and dequantisation in the pre-shifted
 * form, dc = (f * (v(m, E) << q6)) >> 1, in place.
 * @param[in,out] pSrcDst 4 DC levels in, 4 DC values out.
 * @param qp Chroma QP, 0..51.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if qp is
 *         outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformDequantChromaDC_H264_16s_C1I(Kvn16s* pSrcDst, int32_t qp);
/**
 * SP/SI luma reconstruction (H.264 8.6): transform-domain prediction plus
 * dequantised levels, requantisation with qs (qp' = qs when switching is
 * nonzero, else qp), dequantisation, inverse transform and clamping to
 * 0..255; the 16 samples overwrite the level block. Without AC & 1 the AC
 * levels count as zero; a given DC replaces position 0 unprocessed.
 * @param[in,out] pSrcDst 16 levels in, 16 reconstructed samples out.
 * @param pTransformedPred 16 coefficients of the prediction (kvniTransformPrediction_H264_8u16s_C1()).
 * @param pDC Optional DC value (may be null).
 * @param AC Bit 0: the block has AC coefficients.
 * @param qp 0..51.
 * @param qs 0..51.
 * @param switching Nonzero for SI and switching SP slices.
 * @return KVN_STS_NULL_PTR if pSrcDst or pTransformedPred is null;
 *         KVN_STS_OUT_OF_RANGE if qp or qs is outside 0..51 (refused rather
 *         than read past the tables); else KVN_STS_OK.
 */
KvnResult kvniDequantTransformResidual_SISP_H264_16s_C1I(Kvn16s* pSrcDst, const Kvn16s* pTransformedPred,
                                                         const Kvn16s* pDC, int32_t AC, int32_t qp, int32_t qs,
                                                         int32_t switching);
/**
 * SP/SI chroma DC path (H.264 8.6): prediction DC transform, requantisation
 * with qs, dequantisation, 2x2 transform and halving, written back in place.
 * @param[in,out] pSrcDst 4 chroma DC levels in, 4 DC values out.
 * @param pDCPred 4 prediction DC values.
 * @param qp Chroma QP, 0..51.
 * @param qs Chroma QS, 0..51.
 * @param switching Nonzero for SI and switching SP slices (qs used for both steps).
 * @return KVN_STS_NULL_PTR if pSrcDst or pDCPred is null;
 *         KVN_STS_OUT_OF_RANGE if qp or qs is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniTransformDequantChromaDC_SISP_H264_16s_C1I(Kvn16s* pSrcDst, const Kvn16s* pDCPred, int32_t qp, int32_t qs,
                                                         int32_t switching);

/**
 * 4x4 scale levels for m from a scaling list (H.264 8.5.9): inverse
 * v(m, class) * w, forward floor(Q(m, class) / w); a weight of 0 gives inverse
 * 0 and forward Q(m, class).
 * @param pScaleList 16 weights, raster order.
 * @param[out] pInvLevels 16 inverse scale levels (LevelScale4x4).
 * @param[out] pFwdLevels 16 forward scale levels.
 * @param m qp % 6, 0..5.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_OUT_OF_RANGE if m is
 *         outside 0..5; else KVN_STS_OK.
 */
KvnResult kvniGenScaleLevel4x4_H264_8u16s_C1(const Kvn8u* pScaleList, Kvn16s* pInvLevels, Kvn16s* pFwdLevels,
                                             int32_t m);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 deblocking filter                                                  */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_deblock Deblocking filter
 * @ingroup h264
 * @brief H.264 in-loop deblocking of the edges of one macroblock in place (H.264 8.7).
 *
 * One call filters all vertical (VerEdge) or all horizontal (HorEdge) edges
 * of one colour component of a macroblock in place, edge 0 (the macroblock
 * edge) first, with the sample filters of H.264 8.7.2.3 (bS 1..3) and 8.7.2.4
 * (bS 4). The caller derives bS, alpha, beta and tc0 (H.264 8.7.2.2) and
 * orders the calls (vertical edges of a macroblock before its horizontal ones).
 *
 * - The picture pointer is the macroblock's top-left sample; when edge 0 is
 *   filtered the 4 (luma) or 2 (chroma) samples left of / above the
 *   macroblock are read and written. Edges are 4 samples apart.
 * - pAlpha, pBeta: [0] edge 0, [1] internal edges.
 * - pThresholds (tc0): [4 * edge + segment].
 * - pBS: luma and 4:2:2 horizontal [4 * edge + segment]; 4:2:0 and 4:2:2
 *   vertical [8 * edge + segment] (the luma bS of luma edges 0 and 2).
 * - bS 0 leaves a segment alone, 1..3 select the normal filter, 4 and above
 *   the strong one.
 * - Only pointers are checked (KVN_STS_NULL_PTR, nothing written); steps,
 *   thresholds and bS values are taken as given.
 * - 8-bit steps are in bytes, 16-bit steps in samples.
 * @{
 */

/**
 * Filters the four vertical luma edges of a macroblock (16 rows, segments of 4).
 * @param[in,out] pSrcDst Macroblock's top-left luma sample.
 * @param srcDstStep Row step in bytes.
 * @param pAlpha 2 alpha values: [0] edge 0, [1] internal edges.
 * @param pBeta 2 beta values, indexed as pAlpha.
 * @param pThresholds 16 tc0 values, [4 * edge + segment].
 * @param pBS 16 boundary strengths, [4 * edge + segment].
 * @return KVN_STS_NULL_PTR if any pointer is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                        const Kvn8u* pBeta, const Kvn8u* pThresholds, const Kvn8u* pBS);
/**
 * Filters the four horizontal luma edges of a macroblock.
 * @copydetails kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR
 */
KvnResult kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                        const Kvn8u* pBeta, const Kvn8u* pThresholds, const Kvn8u* pBS);
/**
 * Filters the two vertical edges (0 and 4) of one 4:2:0 chroma plane.
 * Edges are 8 samples long, segments of 2.
 * @param[in,out] pSrcDst Macroblock's top-left chroma sample.
 * @param srcDstStep Row step in bytes.
 * @param pAlpha 2 alpha values: [0] edge 0, [1] edge 4.
 * @param pBeta 2 beta values, indexed as pAlpha.
 * @param pThresholds 8 tc0 values, [4 * edge + segment].
 * @param pBS 16 boundary strengths, [8 * edge + segment] (the luma bS of luma edges 0 and 2).
 * @return KVN_STS_NULL_PTR if any pointer is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/**
 * Filters the two horizontal edges of one 4:2:0 chroma plane.
 * @copydetails kvniFilterDeblockingChroma_VerEdge_H264_8u_C1IR
 */
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/**
 * Filters the two vertical edges of interleaved 4:2:0 chroma.
 * Even bytes are one channel, odd bytes the other; both channels use the same
 * arrays; the neighbour of a sample is two bytes away.
 * @param[in,out] pSrcDst Macroblock's top-left Cb byte.
 * @param srcDstStep Row step in bytes.
 * @param pAlpha 2 alpha values: [0] edge 0, [1] edge 4.
 * @param pBeta 2 beta values, indexed as pAlpha.
 * @param pThresholds 8 tc0 values, [4 * edge + segment].
 * @param pBS 16 boundary strengths, [8 * edge + segment].
 * @return KVN_STS_NULL_PTR if any pointer is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/**
 * Filters the two horizontal edges of interleaved 4:2:0 chroma.
 * @copydetails kvniFilterDeblockingChroma_VerEdge_H264_8u_C2IR
 */
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR(Kvn8u* pSrcDst, int32_t srcDstStep, const Kvn8u* pAlpha,
                                                          const Kvn8u* pBeta, const Kvn8u* pThresholds,
                                                          const Kvn8u* pBS);
/**
 * Filters the left luma edge of one field/frame mixed unit (MBAFF): 8 rows,
 * bS and tc0 [row >> 1]; returns at once when alpha is 0 or all four bS are 0.
 * @param[in,out] pSrcDst First sample right of the edge in the unit's first row.
 * @param srcDstStep Row step in bytes.
 * @param alpha Alpha threshold.
 * @param beta Beta threshold.
 * @param pThresholds 4 tc0 values, [row >> 1].
 * @param pBS 4 boundary strengths, [row >> 1].
 * @return KVN_STS_NULL_PTR if pSrcDst, pThresholds or pBS is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha,
                                                              Kvn32u beta, const Kvn8u* pThresholds, const Kvn8u* pBS);
/**
 * Filters the left chroma edge of one field/frame mixed unit (MBAFF): 4 rows,
 * bS and tc0 [row]; returns at once when alpha is 0 or all four bS are 0.
 * @param[in,out] pSrcDst First sample right of the edge in the unit's first row.
 * @param srcDstStep Row step in bytes.
 * @param alpha Alpha threshold.
 * @param beta Beta threshold.
 * @param pThresholds 4 tc0 values, [row].
 * @param pBS 4 boundary strengths, [row].
 * @return KVN_STS_NULL_PTR if pSrcDst, pThresholds or pBS is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_MBAFF_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u alpha,
                                                                Kvn32u beta, const Kvn8u* pThresholds,
                                                                const Kvn8u* pBS);

/** Arguments of the 8-bit deblocking functions that take a record. */
typedef struct KvnDeblockingRecord8u {
  Kvn8u* pSrcDstPlane;      /**< Macroblock's top-left sample, read and written. */
  int32_t srcDstStep;       /**< Row step in bytes. */
  const Kvn8u* pAlpha;      /**< Alpha values (layout per function). */
  const Kvn8u* pBeta;       /**< Beta values, indexed as pAlpha. */
  const Kvn8u* pThresholds; /**< tc0 values (layout per function). */
  const Kvn8u* pBs;         /**< Boundary strengths (layout per function). */
} KvnDeblockingRecord8u;

/**
 * Filters the two vertical edges of interleaved 4:2:0 chroma with per-channel arrays.
 * pAlpha and pBeta [2 * channel + (edge != 0)] (4 entries),
 * pThresholds [8 * channel + 4 * edge + segment] (16 entries); pBs shared
 * ([8 * edge + segment]). Channel 0 is the even bytes.
 * @param pDeblockInfo The plane, step and arrays.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I(const KvnDeblockingRecord8u* pDeblockInfo);
/**
 * Filters the two horizontal edges of interleaved 4:2:0 chroma with per-channel arrays.
 * @copydetails kvniFilterDeblockingChroma_VerEdge_H264_8u_C2I
 */
KvnResult kvniFilterDeblockingChroma_HorEdge_H264_8u_C2I(const KvnDeblockingRecord8u* pDeblockInfo);
/**
 * Filters the two vertical edges (0 and 4) of one 4:2:2 chroma plane: 16
 * rows, segments of 4; pThresholds [4 * edge + segment], pBs [8 * edge + segment].
 * @param pDeblockInfo The plane, step and arrays.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma422VerEdge_H264_8u_C1IR(const KvnDeblockingRecord8u* pDeblockInfo);
/**
 * Filters the four horizontal edges (0, 4, 8, 12) of one 4:2:2 chroma plane:
 * 8 samples, segments of 2; pThresholds and pBs [4 * edge + segment] (16 entries).
 * @param pDeblockInfo The plane, step and arrays.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma422HorEdge_H264_8u_C1IR(const KvnDeblockingRecord8u* pDeblockInfo);

/**
 * Arguments of the high-bit-depth deblocking functions. Steps are in samples;
 * the results are clamped to 0 .. 2^bitDepth - 1. The MBAFF members use
 * pAlpha[0] and pBeta[0].
 */
typedef struct KvnDeblockingRecord16u {
  Kvn16u* pSrcDstPlane;      /**< Macroblock's top-left sample, read and written. */
  int32_t srcDstStep;        /**< Row step in samples. */
  const Kvn16u* pAlpha;      /**< Alpha values (layout as the 8-bit function of the same name). */
  const Kvn16u* pBeta;       /**< Beta values, indexed as pAlpha. */
  const Kvn16u* pThresholds; /**< tc0 values. */
  const Kvn8u* pBs;          /**< Boundary strengths. */
  int32_t bitDepth;          /**< Bits per sample; taken as 1 when below and as 16 when above 1..16. */
} KvnDeblockingRecord16u;

/**
 * Filters the four vertical luma edges of a macroblock, 16-bit samples
 * (layout as kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR()).
 * @param pDeblockInfo The plane, step, arrays and bit depth.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the four horizontal luma edges, 16-bit samples.
 * @copydetails kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR
 */
KvnResult kvniFilterDeblockingLumaHorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the left luma edge of one MBAFF unit (8 rows, bS and tc0 [row >> 1]),
 * 16-bit samples, with pAlpha[0] and pBeta[0].
 * @param pDeblockInfo The plane, step, arrays and bit depth.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLumaVerEdgeMBAFF_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the two vertical edges of one 4:2:0 chroma plane, 16-bit samples.
 * @copydetails kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR
 */
KvnResult kvniFilterDeblockingChromaVerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the two horizontal edges of one 4:2:0 chroma plane, 16-bit samples.
 * @copydetails kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR
 */
KvnResult kvniFilterDeblockingChromaHorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the left chroma edge of one MBAFF unit (4 rows, bS and tc0 [row]),
 * 16-bit samples, with pAlpha[0] and pBeta[0].
 * @param pDeblockInfo The plane, step, arrays and bit depth.
 * @return KVN_STS_NULL_PTR if pDeblockInfo or any pointer in it is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChromaVerEdgeMBAFF_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the two vertical edges of one 4:2:2 chroma plane, 16-bit samples.
 * @copydetails kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR
 */
KvnResult kvniFilterDeblockingChroma422VerEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);
/**
 * Filters the four horizontal edges of one 4:2:2 chroma plane, 16-bit samples.
 * @copydetails kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR
 */
KvnResult kvniFilterDeblockingChroma422HorEdge_H264_16u_C1IR(const KvnDeblockingRecord16u* pDeblockInfo);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 8x8 transform and quantisation, intra prediction                   */
/* ------------------------------------------------------------------------ */

/**
 * @addtogroup h264_transform
 * @{
 */

/**
 * Forward 8x8 core transform (rows, then columns; counterpart of H.264
 * 8.5.13), 16-bit wrapping intermediates.
 * @param pSrc 64 residuals.
 * @param[out] pDst 64 coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformFwdLuma8x8_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst);
/**
 * Forward 8x8 core transform with 32-bit intermediates.
 * @param pSrc 64 residuals.
 * @param[out] pDst 64 coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransformFwdLuma8x8_H264_16s32s_C1(const Kvn16s* pSrc, Kvn32s* pDst);
/**
 * Forward 8x8 core transform in place, as kvniTransformFwdLuma8x8_H264_16s_C1().
 * @param[in,out] pSrcDst 64 residuals in, 64 coefficients out.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransformLuma8x8Fwd_H264_16s_C1I(Kvn16s* pSrcDst);
/**
 * Quantisation of an 8x8 block: level = sign(c) * ((|c| * F + f) >> (q6 + 12)),
 * F from pScaleLevels, f = 682 (intra) or 342 (inter) * 2^(q6 + 1); |c| is
 * saturated to 32767 and the levels to 16 bits.
 * @param pSrc 64 coefficients.
 * @param[out] pDst 64 levels.
 * @param q6 qp / 6, 0..8.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param pScanMatrix 64 scan indices of the raster positions.
 * @param pScaleLevels 64 forward scale levels for qp % 6 (kvniGenScaleLevel8x8_H264_8u16s_D2()).
 * @param[out] pNumLevels Number of nonzero levels, negated when the DC level is nonzero.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @return KVN_STS_NULL_PTR if any pointer is null; KVN_STS_QP_ERR if q6 is
 *         outside 0..8; else KVN_STS_OK.
 */
KvnResult kvniQuantLuma8x8_H264_16s_C1(const Kvn16s* pSrc, Kvn16s* pDst, int32_t q6, int32_t intra,
                                       const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels, int32_t* pNumLevels,
                                       int32_t* pLastCoeff);
/**
 * Quantisation of an 8x8 block of 32-bit coefficients (64-bit products), as
 * kvniQuantLuma8x8_H264_16s_C1().
 * @param pSrc 64 coefficients.
 * @param[out] pDst 64 levels.
 * @param q6 qp / 6, 0..14.
 * @param intra Nonzero for intra blocks, 0 for inter.
 * @param pScanMatrix 64 scan indices of the raster positions.
 * @param pScaleLevels 64 forward scale levels for qp % 6.
 * @param[out] pNumLevels Number of nonzero levels, negated when the DC level is nonzero.
 * @param[out] pLastCoeff Largest scan index among the nonzero levels (0 if none).
 * @return KVN_STS_NULL_PTR if any pointer is null; KVN_STS_QP_ERR if q6 is
 *         outside 0..14; else KVN_STS_OK.
 */
KvnResult kvniQuantLuma8x8_H264_32s_C1(const Kvn32s* pSrc, Kvn32s* pDst, int32_t q6, int32_t intra,
                                       const Kvn16s* pScanMatrix, const Kvn16s* pScaleLevels, int32_t* pNumLevels,
                                       int32_t* pLastCoeff);
/**
 * Inverse scaling of an 8x8 block in place (H.264 8.5.12.1) with
 * LevelScale8x8 = pInvLevels, saturated to 16 bits.
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param q6 qp / 6, 0..8.
 * @param pInvLevels 64 inverse scale levels for qp % 6.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_QP_ERR if q6 is
 *         outside 0..8; else KVN_STS_OK.
 */
KvnResult kvniQuantLuma8x8Inv_H264_16s_C1I(Kvn16s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels);
/**
 * Inverse scaling of an 8x8 block of 32-bit values in place (H.264 8.5.12.1).
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param q6 qp / 6, 0..14.
 * @param pInvLevels 64 inverse scale levels for qp % 6.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_QP_ERR if q6 is
 *         outside 0..14; else KVN_STS_OK.
 */
KvnResult kvniQuantInvLuma8x8_H264_32s_C1I(Kvn32s* pSrcDst, int32_t q6, const Kvn16s* pInvLevels);
/**
 * Inverse 8x8 transform (H.264 8.5.13.2) with (x + 32) >> 6, added to the
 * prediction and clamped to 0..255 (16-bit saturating intermediates).
 * @param pPred 8x8 prediction.
 * @param predStep Its row step in bytes.
 * @param pSrc 64 dequantised coefficients.
 * @param[out] pDst 8x8 destination.
 * @param dstStep Its row step in bytes.
 * @return KVN_STS_NULL_PTR if pPred, pSrc or pDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(const Kvn8u* pPred, int32_t predStep, const Kvn16s* pSrc,
                                                        Kvn8u* pDst, int32_t dstStep);
/**
 * Inverse 8x8 transform (H.264 8.5.13.2) in 32 bits, added to a 16-bit
 * prediction and clamped to 0..2^bitDepth - 1.
 * @param pPred 8x8 prediction, 16-bit samples.
 * @param predStep Its row step in bytes.
 * @param pSrc 64 dequantised coefficients.
 * @param[out] pDst 8x8 destination, 16-bit samples.
 * @param dstStep Its row step in bytes.
 * @param bitDepth 8..14; not checked: values outside 1..16 are taken as the nearest of 1 and 16.
 * @return KVN_STS_NULL_PTR if pPred, pSrc or pDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(const Kvn16u* pPred, int32_t predStep, const Kvn32s* pSrc,
                                                         Kvn16u* pDst, int32_t dstStep, int32_t bitDepth);
/**
 * 8x8 scale tables for m = qp % 6 from a scaling list (H.264 8.5.9): inverse
 * v8(m, class) * w, forward floor(Q8(m, class) / w); a weight of 0 gives
 * inverse 0 and forward Q8.
 * @param pScaleList 8 rows of 8 weights.
 * @param scaleStep Row step of the weights in bytes.
 * @param[out] pInvLevels 64 inverse scale levels (LevelScale8x8).
 * @param[out] pFwdLevels 64 forward scale levels.
 * @param m 0..5.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_QP_ERR if m is
 *         outside 0..5; else KVN_STS_OK.
 */
KvnResult kvniGenScaleLevel8x8_H264_8u16s_D2(const Kvn8u* pScaleList, int32_t scaleStep, Kvn16s* pInvLevels,
                                             Kvn16s* pFwdLevels, int32_t m);

/** @} */

/**
 * @defgroup h264_intra Intra prediction
 * @ingroup h264
 * @brief H.264 intra prediction of one 8-bit block in place (H.264 8.3).
 *
 * The pointer addresses the block's top-left sample inside the picture; the
 * neighbours are read around it in the same plane. availability: 1 top,
 * 2 left, 32 top-left, 64 top-right (4x4 only); the memory of an unavailable
 * neighbour is never read.
 * @{
 */

/**
 * 4x4 luma intra prediction (H.264 8.3.1.2). Unavailable samples are taken as
 * 128; a missing top-right repeats p[3, -1] without warning.
 * @param[in,out] pSrcDst Block in the picture (neighbours read around it).
 * @param srcDstStep Row step in bytes, at least 4.
 * @param mode 0..8: vertical, horizontal, DC, diagonal down-left, diagonal
 *        down-right, vertical-right, horizontal-down, vertical-left, horizontal-up.
 * @param availability Available neighbours: 1 top, 2 left, 32 top-left, 64 top-right.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_STEP_ERR if the step
 *         is below 4; KVN_STS_OUT_OF_RANGE if mode is outside 0..8 (nothing
 *         written); KVN_STS_WRN_SUBSTITUTE when the mode used a substitute
 *         sample (the block is written); else KVN_STS_OK.
 */
KvnResult kvniPredictIntra_4x4_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability);
/**
 * 16x16 luma intra prediction (H.264 8.3.3).
 * @param[in,out] pSrcDst Macroblock in the picture (neighbours read around it).
 * @param srcDstStep Row step in bytes, at least 16.
 * @param mode 0 vertical, 1 horizontal, 2 DC, 3 plane.
 * @param availability Available neighbours: 1 top, 2 left, 32 top-left.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_STEP_ERR if the step
 *         is below 16; KVN_STS_INTRA_UNAVAILABLE if the mode needs an
 *         unavailable neighbour (vertical: top; horizontal: left; plane: top,
 *         left and top-left); KVN_STS_OUT_OF_RANGE if mode is above 3;
 *         nothing is written on failure; else KVN_STS_OK.
 */
KvnResult kvniPredictIntra_16x16_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode, int32_t availability);
/**
 * Intra prediction of one 8x8 chroma block, 4:2:0 (H.264 8.3.4); DC works per 4x4 quadrant.
 * @param[in,out] pSrcDst Block in the chroma plane (neighbours read around it).
 * @param srcDstStep Row step in bytes, at least 8.
 * @param mode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param availability Available neighbours: 1 top, 2 left, 32 top-left.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_STEP_ERR if the step
 *         is below 8; KVN_STS_INTRA_UNAVAILABLE if the mode needs an
 *         unavailable neighbour; KVN_STS_OUT_OF_RANGE if mode is above 3;
 *         nothing is written on failure; else KVN_STS_OK.
 */
KvnResult kvniPredictIntraChroma8x8_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, int32_t mode,
                                                 int32_t availability);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 Exp-Golomb and CAVLC decoding, CAVLC encoding analysis             */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_cavlc CAVLC and Exp-Golomb
 * @ingroup h264
 * @brief H.264 Exp-Golomb and CAVLC residual decoding into the packed coefficient stream, and CAVLC encoding analysis
 * (H.264 9.1, 9.2).
 *
 * - **Word bit position**: *ppBitStream points to the current 32-bit word
 *   (machine byte order; stream bit 0 is bit 31 of word 0), *pBitOffset
 *   (0..31, else KVN_STS_BAD_ARG) names its next bit, 31 the most
 *   significant. Both are advanced past the bits decoded. Any read may load
 *   the word after the current one: keep one readable word beyond the data.
 * - **VLC tables**: arrays of Kvn32s: [0] = b0, the bits of the first level,
 *   then 2^b0 entries indexed by the next b0 bits. An entry with bit 7 set
 *   links to the sub-table at word offset entry >> 8 (its b, then 2^b
 *   entries); else it is a leaf: value = entry >> 8, entry & 0x7f = the bits
 *   of its level given back. Value 0xF0F1: not a codeword. coeff_token
 *   values: TotalCoeff << 8 | TrailingOnes. Levels read 1..16 bits, at most
 *   32 over one lookup, and a leaf gives back at most the bits its level read
 *   (else a code error).
 * - **Packed coefficient stream**: a block with TotalCoeff 0 writes nothing
 *   and leaves *ppPosCoefbuf unchanged; otherwise its entries (16, or 4 / 8
 *   for chroma DC) are cleared, the levels stored at their raster positions
 *   and *ppPosCoefbuf advanced past them.
 * - **Checks**: null pointers (including *ppBitStream and *ppPosCoefbuf),
 *   KVN_STS_NULL_PTR; *pBitOffset above 31, KVN_STS_BAD_ARG; the numeric
 *   ranges, KVN_STS_OUT_OF_RANGE; nothing is written on these failures.
 * - **Code errors** (KVN_STS_VLC_CODE_ERR) leave the bit position as it was;
 *   the TotalCoeff output and the cleared, partly filled block may have been
 *   written, the buffer pointer is not advanced. A table taken from one of
 *   the arrays is tested when it is about to be used: null gives
 *   KVN_STS_NULL_PTR with the position moved past the bits read so far.
 * @{
 */

/**
 * Decodes one Exp-Golomb code, ue(v) or se(v) (H.264 9.1). A code of more than
 * 16 leading zero bits is passed over with result 0; the result is the low
 * 16 bits of the value.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pDst Receives the value.
 * @param isSigned 0: ue(v); nonzero: se(v).
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_VLC_CODE_ERR for 32 or more leading zeros; else KVN_STS_OK.
 */
KvnResult kvniDecodeExpGolombOne_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pDst, Kvn8u isSigned);
/**
 * Decodes one Exp-Golomb code, ue(v) or se(v) (H.264 9.1), to 32 bits. A code
 * of more than 31 leading zero bits is passed over with result 0.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pDst Receives the value.
 * @param isSigned Low byte 0: ue(v); nonzero: se(v).
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_VLC_CODE_ERR for 32 or more leading zeros; else KVN_STS_OK.
 */
KvnResult kvniDecodeExpGolombOne_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32s* pDst, Kvn32s isSigned);

/**
 * Decodes one CAVLC residual block (H.264 9.2) into the packed coefficient stream.
 * Levels go to raster positions pScanMatrix[scan index]; with
 * uMaxNumCoeff 15 (AC blocks) scan indices 1..15 are used. Besides invalid
 * codes, KVN_STS_VLC_CODE_ERR also for TotalCoeff above uMaxNumCoeff,
 * TrailingOnes above TotalCoeff, total_zeros or a run beyond the block, a
 * level_prefix above 32 and a scan entry outside 0..15.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Receives TotalCoeff.
 * @param[in,out] ppPosCoefbuf Write pointer into the packed stream; advanced by 16 when TotalCoeff > 0.
 * @param uVLCSelect nC, at least 0: 0..1, 2..3, 4..7 pick ppTblCoeffToken[0..2], 8 and above the 6-bit code.
 * @param uMaxNumCoeff 15 or 16.
 * @param ppTblCoeffToken 3 coeff_token tables.
 * @param ppTblTotalZeros total_zeros tables indexed by TotalCoeff (1..15).
 * @param ppTblRunBefore run_before tables indexed by zerosLeft (1..15).
 * @param pScanMatrix 16 raster positions in scan order.
 * @return KVN_STS_NULL_PTR if a pointer, *ppBitStream or *ppPosCoefbuf is
 *         null; KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_OUT_OF_RANGE if uMaxNumCoeff is not 15 or 16, then if
 *         uVLCSelect is negative; KVN_STS_VLC_CODE_ERR for a code error;
 *         KVN_STS_NULL_PTR for a null table met while decoding; else KVN_STS_OK.
 */
KvnResult kvniDecodeCAVLCCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                           Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                           const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
                                           const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix);
/**
 * Decodes one CAVLC residual block into a 32-bit packed coefficient stream.
 * @copydetails kvniDecodeCAVLCCoeffs_H264_1u16s
 */
KvnResult kvniDecodeCAVLCCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                           Kvn32s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                           const Kvn32s* const* ppTblCoeffToken, const Kvn32s* const* ppTblTotalZeros,
                                           const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix);
/**
 * Decodes one CAVLC block restricted to scan indices startIdx..endIdx. With
 * n = endIdx - startIdx + 1 < 16 the decoded (TotalCoeff, TrailingOnes) is
 * replaced by the pair of the same codeword rank among the pairs with
 * TotalCoeff <= n and TrailingOnes <= min(n, 3). total_zeros follows when
 * TotalCoeff is below uMaxNumCoeff, from the table tzVlcIndex = TotalCoeff
 * (maximum 15, 16), TotalCoeff - max + 4 (1..4), + 8 (5..8) or + 16 (9..14).
 * Coefficient i (of TotalCoeff) goes to scan index
 * startIdx + (TotalCoeff - 1 - i) + zerosLeft. Code errors as
 * kvniDecodeCAVLCCoeffs_H264_1u16s().
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Receives TotalCoeff.
 * @param[in,out] ppPosCoefbuf Write pointer into the packed stream; advanced by 16 when TotalCoeff > 0.
 * @param uVLCSelect nC, at least 0.
 * @param uMaxNumCoeff Maximum coefficient count, 1..16.
 * @param ppTblCoeffToken 3 coeff_token tables.
 * @param ppTblTotalZeros total_zeros tables indexed by tzVlcIndex.
 * @param ppTblRunBefore run_before tables indexed by zerosLeft.
 * @param pScanMatrix 16 raster positions in scan order.
 * @param startIdx First scan index, 0..15.
 * @param endIdx Last scan index, startIdx..15.
 * @return KVN_STS_NULL_PTR if a pointer, *ppBitStream or *ppPosCoefbuf is
 *         null; KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_OUT_OF_RANGE if uMaxNumCoeff is outside 1..16, then if
 *         uVLCSelect is negative, then if the index range is invalid;
 *         KVN_STS_VLC_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCAVLCCoeffsIdxs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                               Kvn16s** ppPosCoefbuf, Kvn32s uVLCSelect, Kvn16s uMaxNumCoeff,
                                               const Kvn32s* const* ppTblCoeffToken,
                                               const Kvn32s* const* ppTblTotalZeros,
                                               const Kvn32s* const* ppTblRunBefore, const Kvn32s* pScanMatrix,
                                               Kvn32s startIdx, Kvn32s endIdx);
/**
 * Decodes one CAVLC 2x2 chroma DC block (4:2:0): 4 entries in raster order.
 * This member decodes the codewords "1" and "01" itself.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Receives TotalCoeff.
 * @param[in,out] ppPosCoefbuf Write pointer into the packed stream; advanced by 4 when TotalCoeff > 0.
 * @param pTblCoeffToken coeff_token table for nC = -1.
 * @param ppTblTotalZerosCR total_zeros tables indexed by TotalCoeff (1..3).
 * @param ppTblRunBefore run_before tables indexed by zerosLeft.
 * @return KVN_STS_NULL_PTR if a pointer, *ppBitStream or *ppPosCoefbuf is
 *         null; KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_VLC_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                   Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                   const Kvn32s* const* ppTblTotalZerosCR,
                                                   const Kvn32s* const* ppTblRunBefore);
/**
 * Decodes one CAVLC 2x2 chroma DC block (4:2:0) into a 32-bit stream: 4 entries in raster order.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Receives TotalCoeff.
 * @param[in,out] ppPosCoefbuf Write pointer into the packed stream; advanced by 4 when TotalCoeff > 0.
 * @param pTblCoeffToken coeff_token table for nC = -1.
 * @param ppTblTotalZerosCR total_zeros tables indexed by TotalCoeff (1..3).
 * @param ppTblRunBefore run_before tables indexed by zerosLeft.
 * @return KVN_STS_NULL_PTR if a pointer, *ppBitStream or *ppPosCoefbuf is
 *         null; KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_VLC_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                   Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                   const Kvn32s* const* ppTblTotalZerosCR,
                                                   const Kvn32s* const* ppTblRunBefore);
/**
 * Decodes one CAVLC 2x4 chroma DC block (4:2:2).
 * 8 entries in raster order of two columns by four rows (scan 0 2 1 4 6 3 5 7).
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Receives TotalCoeff.
 * @param[in,out] ppPosCoefbuf Write pointer into the packed stream; advanced by 8 when TotalCoeff > 0.
 * @param pTblCoeffToken coeff_token table for nC = -2.
 * @param ppTblTotalZerosCR total_zeros tables indexed by TotalCoeff (1..7).
 * @param ppTblRunBefore run_before tables indexed by zerosLeft.
 * @return KVN_STS_NULL_PTR if a pointer, *ppBitStream or *ppPosCoefbuf is
 *         null; KVN_STS_BAD_ARG if *pBitOffset is above 31;
 *         KVN_STS_VLC_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                      Kvn16s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                      const Kvn32s* const* ppTblTotalZerosCR,
                                                      const Kvn32s* const* ppTblRunBefore);
/**
 * Decodes one CAVLC 2x4 chroma DC block (4:2:2) into a 32-bit stream.
 * @copydetails kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s
 */
KvnResult kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn16s* pNumCoeff,
                                                      Kvn32s** ppPosCoefbuf, const Kvn32s* pTblCoeffToken,
                                                      const Kvn32s* const* ppTblTotalZerosCR,
                                                      const Kvn32s* const* ppTblRunBefore);

/**
 * CAVLC analysis of a quantised 4x4 block (H.264 9.2), visited in reverse scan
 * order over scan indices endIdx down to startIdx: the values of the syntax
 * elements that the caller's bit writer codes. No bits are written; array
 * entries beyond the counts keep their values.
 * @param pSrc 16 levels in raster order.
 * @param startIdx First scan index (0, or 1 for AC blocks).
 * @param pScanMatrix 16 raster positions in scan order; the entries used must lie in 0..15.
 * @param endIdx Last scan index, startIdx..15.
 * @param[out] pTrailingOnes TrailingOnes, 0..3.
 * @param[out] pTrailingOneSigns One bit per trailing one, 1 = negative; the
 *        first met is the most significant of the TrailingOnes bits.
 * @param[out] pNumOutCoeffs TotalCoeff.
 * @param[out] pTotalZeros total_zeros (for an all-zero block: the positions scanned).
 * @param[out] pLevels TotalCoeff - TrailingOnes other levels, highest frequency first (16 entries of room).
 * @param[out] pRuns run_before of coefficients 0 .. TotalCoeff - 2 (16 entries of room).
 * @return KVN_STS_NULL_PTR if any pointer is null; KVN_STS_OUT_OF_RANGE if
 *         endIdx is above 15 or below startIdx, or a scan entry used is
 *         outside 0..15 (nothing written); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsCAVLC_H264_16s(const Kvn16s* pSrc, Kvn8u startIdx, const Kvn32s* pScanMatrix, Kvn8u endIdx,
                                         Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs,
                                         Kvn8u* pTotalZeros, Kvn16s* pLevels, Kvn8u* pRuns);
/**
 * CAVLC analysis of a quantised 4x4 block of 32-bit levels, as
 * kvniEncodeCoeffsCAVLC_H264_16s(); a negative startIdx is refused.
 * @param pSrc 16 levels in raster order.
 * @param startIdx First scan index, 0..endIdx.
 * @param pScanMatrix 16 raster positions in scan order; the entries used must lie in 0..15.
 * @param endIdx Last scan index, startIdx..15.
 * @param[out] pTrailingOnes TrailingOnes, 0..3.
 * @param[out] pTrailingOneSigns One bit per trailing one, 1 = negative.
 * @param[out] pNumOutCoeffs TotalCoeff.
 * @param[out] pTotalZeros total_zeros.
 * @param[out] pLevels Non-trailing-one levels, highest frequency first (16 entries of room).
 * @param[out] pRuns run_before values (16 entries of room).
 * @return KVN_STS_NULL_PTR if any pointer is null; KVN_STS_OUT_OF_RANGE if
 *         endIdx is above 15 or below startIdx, startIdx is negative, or a
 *         scan entry used is outside 0..15 (nothing written); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsCAVLC_H264_32s(const Kvn32s* pSrc, Kvn32s startIdx, const Kvn32s* pScanMatrix, Kvn32s endIdx,
                                         Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns, Kvn8u* pNumOutCoeffs,
                                         Kvn8u* pTotalZeros, Kvn32s* pLevels, Kvn8u* pRuns);
/**
 * CAVLC analysis of a 2x2 chroma DC block.
 * Raster c0 c1 / c2 c3, visited 3 2 1 0.
 * @param pSrc 4 levels.
 * @param[out] pTrailingOnes TrailingOnes, 0..3.
 * @param[out] pTrailingOneSigns One bit per trailing one, 1 = negative.
 * @param[out] pNumOutCoeffs TotalCoeff.
 * @param[out] pTotalZeros total_zeros.
 * @param[out] pLevels Non-trailing-one levels (4 entries of room).
 * @param[out] pRuns run_before values (4 entries of room).
 * @return KVN_STS_NULL_PTR if any pointer is null; else KVN_STS_OK.
 */
KvnResult kvniEncodeChromaDcCoeffsCAVLC_H264_16s(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                 Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn16s* pLevels,
                                                 Kvn8u* pRuns);
/** CAVLC analysis of a 2x2 chroma DC block of 32-bit levels. @copydetails kvniEncodeChromaDcCoeffsCAVLC_H264_16s */
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn32s* pLevels,
                                                    Kvn8u* pRuns);
/**
 * CAVLC analysis of a 2x4 chroma DC block.
 * Two per row, four rows, visited 7 5 3 6 4 1 2 0.
 * @param pSrc 8 levels.
 * @param[out] pTrailingOnes TrailingOnes, 0..3.
 * @param[out] pTrailingOneSigns One bit per trailing one, 1 = negative.
 * @param[out] pNumOutCoeffs TotalCoeff.
 * @param[out] pTotalZeros total_zeros.
 * @param[out] pLevels Non-trailing-one levels (8 entries of room).
 * @param[out] pRuns run_before values (8 entries of room).
 * @return KVN_STS_NULL_PTR if any pointer is null; else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(const Kvn16s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn16s* pLevels,
                                                    Kvn8u* pRuns);
/** CAVLC analysis of a 2x4 chroma DC block of 32-bit levels. @copydetails kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s */
KvnResult kvniEncodeCoeffsCAVLCChromaDC2x4_H264_32s(const Kvn32s* pSrc, Kvn8u* pTrailingOnes, Kvn8u* pTrailingOneSigns,
                                                    Kvn8u* pNumOutCoeffs, Kvn8u* pTotalZeros, Kvn32s* pLevels,
                                                    Kvn8u* pRuns);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 CABAC encoder (H.264 9.3)                                          */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_cabac CABAC encoder
 * @ingroup h264
 * @brief H.264 CABAC encoding engine with its coder state (H.264 9.3, encoder side).
 *
 * - **State**: kvniCABACGetSize_H264() bytes (504) of the caller's memory, any
 *   alignment, or a block from kvniCABACInitAlloc_H264(). It holds the engine
 *   registers, the output position and the 460 context variables (ctxIdx
 *   0..459, one byte each: bit 6 valMPS, bits 0..5 pStateIdx).
 * - **Output**: big-endian 32-bit words into the caller's buffer, which must
 *   start on a 4-byte boundary (else KVN_STS_WRN_MISALIGNED, nothing done).
 *   The buffer holds every bit produced after each call; carries go at once
 *   into the bytes already written. Its last 1 to 4 bytes (from
 *   kvnAlignPtr(buffer + size - 4, 4) on) are never written: a bin that
 *   would need them returns KVN_STS_OUT_OF_BUFFER with the state unchanged
 *   (move to a larger buffer with kvniCABACSetStream_H264() and repeat it).
 * - **Init**: bitOffset bits of the buffer are the slice header; the rest of
 *   their byte is set to 1 (cabac_alignment_one_bit) and the slice data
 *   starts at the next byte. cabacInitIdc -1 for I and SI slices, else 0..2;
 *   sliceQPY outside 0..51 acts as the nearest bound.
 * - **End of slice**: end_of_slice_flag 1 coded by kvniCABACEncodeBin_H264()
 *   on ctxIdx 276, then kvniCABACTerminateSlice_H264(), which writes the
 *   final bits (the last is the rbsp_stop_one_bit), reports the bytes from
 *   the buffer start to the last one written and clears the state's buffer
 *   pointers (then only a new Init is meaningful).
 * - The state pointer is not identified: pass only states made by Init or InitAlloc.
 * @{
 */

/**
 * Size of the CABAC coder state.
 * @param[out] pSize Receives 504 (bytes).
 * @return KVN_STS_NULL_PTR if pSize is null; else KVN_STS_OK.
 */
KvnResult kvniCABACGetSize_H264(Kvn32u* pSize);
/**
 * Initialises a coder state in the caller's memory for one slice (H.264
 * 9.3.1.1 context initialisation, 9.3.1.2 engine initialisation).
 * @param[out] pState kvniCABACGetSize_H264() bytes, any alignment.
 * @param[in,out] pBitStream Output buffer, 4-byte aligned, starting with the slice header.
 * @param bitOffset Bits of slice header already in the buffer.
 * @param size Buffer size in bytes.
 * @param sliceQPY SliceQPY; outside 0..51 the nearest bound is used.
 * @param cabacInitIdc -1 for I and SI slices, else cabac_init_idc 0..2.
 * @return KVN_STS_NULL_PTR if pState or pBitStream is null;
 *         KVN_STS_OUT_OF_RANGE if cabacInitIdc is outside -1..2;
 *         KVN_STS_SIZE_ERR if size is 0 or bitOffset lies beyond the buffer;
 *         KVN_STS_WRN_MISALIGNED if pBitStream is not 4-byte aligned (nothing
 *         done); else KVN_STS_OK.
 */
KvnResult kvniCABACInit_H264(void* pState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY,
                             Kvn32s cabacInitIdc);
/**
 * Allocates a coder state with kvnMalloc() and initialises it as kvniCABACInit_H264().
 * @param[out] ppState Receives the state, to be released with kvniCABACFree_H264(); not written on failure.
 * @param[in,out] pBitStream Output buffer, 4-byte aligned, starting with the slice header.
 * @param bitOffset Bits of slice header already in the buffer.
 * @param size Buffer size in bytes.
 * @param sliceQPY SliceQPY; outside 0..51 the nearest bound is used.
 * @param cabacInitIdc -1 for I and SI slices, else cabac_init_idc 0..2.
 * @return KVN_STS_NULL_PTR if ppState or pBitStream is null; the statuses of
 *         kvniCABACInit_H264() in its order; KVN_STS_NO_MEMORY if the
 *         allocation fails; else KVN_STS_OK.
 */
KvnResult kvniCABACInitAlloc_H264(void** ppState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY,
                                  Kvn32s cabacInitIdc);
/**
 * Releases a state obtained from kvniCABACInitAlloc_H264().
 * @param pState The state.
 * @return KVN_STS_NULL_PTR if pState is null; else KVN_STS_OK.
 */
KvnResult kvniCABACFree_H264(void* pState);
/**
 * Continues in a larger buffer into which the caller has copied the bytes
 * written so far; the write position keeps its offset from the buffer start.
 * @param[in,out] pBitStream New buffer, 4-byte aligned.
 * @param size Its size in bytes, above the old size.
 * @param[in,out] pState The coder state.
 * @return KVN_STS_NULL_PTR if pBitStream or pState is null; KVN_STS_SIZE_ERR
 *         if size is 0; KVN_STS_WRN_MISALIGNED if pBitStream is not 4-byte
 *         aligned; KVN_STS_SIZE_ERR if size is not above the old size or
 *         leaves no room after the bytes written; nothing is changed on
 *         failure; else KVN_STS_OK.
 */
KvnResult kvniCABACSetStream_H264(Kvn8u* pBitStream, Kvn32u size, void* pState);
/**
 * Encodes one context-coded bin (H.264 9.3.4.2).
 * @param ctxIdx Context index, 0..459.
 * @param binVal 0 or 1.
 * @param[in,out] pState The coder state.
 * @return KVN_STS_NULL_PTR if pState is null; KVN_STS_OUT_OF_RANGE if binVal
 *         is above 1 or ctxIdx above 459; KVN_STS_OUT_OF_BUFFER if the output
 *         would reach the buffer's end limit (state unchanged); else KVN_STS_OK.
 */
KvnResult kvniCABACEncodeBin_H264(Kvn32u ctxIdx, Kvn32u binVal, void* pState);
/**
 * Encodes one bypass bin (H.264 9.3.4.4).
 * @param binVal 0 or 1.
 * @param[in,out] pState The coder state.
 * @return KVN_STS_NULL_PTR if pState is null; KVN_STS_OUT_OF_RANGE if binVal
 *         is above 1; KVN_STS_OUT_OF_BUFFER if the output would reach the
 *         buffer's end limit (state unchanged); else KVN_STS_OK.
 */
KvnResult kvniCABACEncodeBinBypass_H264(Kvn32u binVal, void* pState);
/**
 * Encodes the significance map and levels of one residual block (the
 * residual_block_cabac syntax of H.264 without coded_block_flag, which is the caller's).
 * @param pSrc Coefficients in scan order (16, 15, 16, 4 or 8, 15 or 64 by category).
 * @param lastIdx Index of the last nonzero coefficient; negative: nothing coded.
 * @param ctxBlockCat 0..5 (16, 15, 16, 4 << chromaExp, 15, 64 coefficients).
 * @param chromaExp With ctxBlockCat 3: 0 (4:2:0) or 1 (4:2:2); else 0.
 * @param frameFlag 1 frame coding, 0 field coding (field significance contexts).
 * @param[in,out] pState The coder state.
 * @return KVN_STS_NULL_PTR if pSrc or pState is null; KVN_STS_OUT_OF_RANGE if
 *         ctxBlockCat is above 5 or frameFlag above 1; KVN_STS_BAD_ARG if
 *         chromaExp does not fit the category; KVN_STS_OUT_OF_RANGE if lastIdx
 *         lies beyond the block; KVN_STS_OUT_OF_BUFFER if the block runs out
 *         of buffer (the state, and the buffer before the write position, as
 *         they were); else KVN_STS_OK.
 */
KvnResult kvniCABACEncodeResidualBlock_H264_16s(const Kvn16s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat,
                                                Kvn32u chromaExp, Kvn32u frameFlag, void* pState);
/** Encodes one residual block of 32-bit levels. @copydetails kvniCABACEncodeResidualBlock_H264_16s */
KvnResult kvniCABACEncodeResidualBlock_H264_32s(const Kvn32s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat,
                                                Kvn32u chromaExp, Kvn32u frameFlag, void* pState);
/**
 * Ends the slice (H.264 9.3.4.5 flush, after end_of_slice_flag 1): writes the
 * final bits, the last of them the rbsp_stop_one_bit, and clears the state's
 * buffer pointers.
 * @param[out] pBitStreamBytes Receives the bytes from the buffer start to the last one written.
 * @param[in,out] pState The coder state.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_MEM_ALLOC if the
 *         final bits do not fit before the end limit (nothing written); else KVN_STS_OK.
 */
KvnResult kvniCABACTerminateSlice_H264(Kvn32u* pBitStreamBytes, void* pState);
/**
 * Bits from the buffer start to the next bit the slice data will take (the
 * header and alignment bits included, the bits TerminateSlice adds not).
 * @param[out] pBitStreamBits Receives the count; 0 when it does not fit in 32 bits.
 * @param pState The coder state.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniCABACGetStreamSize_H264(Kvn32u* pBitStreamBits, const void* pState);
/**
 * Copies context variables out of the state (bit 6 valMPS, bits 0..5 pStateIdx).
 * @param pState The coder state.
 * @param first First ctxIdx, at least 0.
 * @param[out] pContexts Receives count bytes.
 * @param count Number of contexts; first + count at most 460.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_OUT_OF_RANGE if the
 *         range is outside 0..459; else KVN_STS_OK.
 */
KvnResult kvniCABACGetContexts_H264(const void* pState, Kvn32s first, Kvn8u* pContexts, Kvn32s count);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 macroblock reconstruction, 8-bit                                   */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_recon Macroblock reconstruction
 * @ingroup h264
 * @brief H.264 reconstruction of a macroblock component from the packed coefficient stream, 8-bit and high profile
 * (H.264 8.3, 8.5).
 *
 * One call dequantises, inverse-transforms and adds the residual of one
 * macroblock component (the 16x16 luma block, or both 4:2:0 chroma blocks)
 * to the prediction in the picture, in place, clamped to the sample range;
 * intra functions predict each block themselves first.
 *
 * - **ppSrcDstCoeff** points to the caller's pointer into the packed
 *   coefficient stream (filled by the CAVLC decoders): only coded blocks, in
 *   the order consumed (luma blocks in luma4x4BlkIdx order, the Intra16x16 DC
 *   block first; chroma: Cb DC, Cr DC, Cb AC blocks, Cr AC blocks). 4x4
 *   blocks are 16 values, 8x8 blocks 64, DC blocks 16 (luma) or 4 (chroma),
 *   raster order. On return it points past the last block consumed. DC
 *   blocks are transformed and dequantised in place.
 * - **cbp** (coded-block mask): bit 0 Intra16x16 DC, bits 1..16 luma 4x4
 *   block k = bit - 1, 17 Cb DC, 18 Cr DC, 19..22 Cb AC blocks 0..3, 23..26
 *   Cr AC blocks; 8x8 functions bits 0..3; luma Half functions bits 0..7
 *   (8x8: 0..1).
 * - **edgeType**: set bits mark unavailable neighbours: 1 left, 4 top,
 *   16 top-left, 32 top-right macroblock.
 * - **Dequantisation**: the older functions use v(qp % 6, class) << qp / 6;
 *   those with scale tables (LevelScale4x4 for qp % 6: 16 values, 8x8: 64)
 *   use the H.264 8.5.12.1 rule, and with bypassFlag nonzero and qp 0 add
 *   the coefficients themselves (lossless).
 * - **Intra modes**: 4x4 and 8x8 modes 0..8 as kvniPredictIntra_4x4_H264_8u_C1IR();
 *   Intra16x16: 0 vertical, 1 horizontal, 2 DC, 3 plane; chroma: 0 DC,
 *   1 horizontal, 2 vertical, 3 plane.
 * - **Statuses**: luma intra 4x4 functions return KVN_STS_WRN_SUBSTITUTE when
 *   a block was predicted from the substitute 128. An intra 4x4 / 8x8 mode
 *   outside 0..8 gives KVN_STS_OUT_OF_RANGE when its block is reached, after
 *   the blocks before it were reconstructed. A 16x16 or chroma mode whose
 *   neighbours are unavailable: KVN_STS_INTRA_UNAVAILABLE, nothing written.
 *   Other failures are found before anything is written.
 * @{
 */

/**
 * Inter luma, 4x4 transform, older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample, holding the prediction.
 * @param srcDstYStep Row step in bytes.
 * @param cbp4x4 Coded-block mask, bits 1..16.
 * @param qp 0..51.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane or *ppSrcDstCoeff
 *         is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInterMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep,
                                                    Kvn32u cbp4x4, int32_t qp);
/**
 * Inter luma, 4x4 transform, with a scale table and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample, holding the prediction.
 * @param srcDstYStep Row step in bytes.
 * @param cbp4x4 Coded-block mask, bits 1..16.
 * @param qp 0..51.
 * @param pQuantTable 16 LevelScale4x4 values for qp % 6, raster order.
 * @param bypassFlag Nonzero with qp 0: lossless (coefficients are the residual).
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, *ppSrcDstCoeff
 *         or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp is outside
 *         0..51; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInter4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, Kvn32u cbp4x4, int32_t qp,
                                                       const Kvn16s* pQuantTable, Kvn8u bypassFlag);
/**
 * Inter luma, 8x8 transform (H.264 8.5.13), with a scale table and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample, holding the prediction.
 * @param srcDstYStep Row step in bytes.
 * @param cbp8x8 Coded-block mask, bits 0..3.
 * @param qp 0..51.
 * @param pQuantTable 64 LevelScale8x8 values for qp % 6, raster order.
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, *ppSrcDstCoeff
 *         or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp is outside
 *         0..51; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, Kvn32u cbp8x8, int32_t qp,
                                                       const Kvn16s* pQuantTable, Kvn8u bypassFlag);
/**
 * Intra 4x4 luma: each block predicted (H.264 8.3.1), then its residual
 * added, in luma4x4BlkIdx order; older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample (neighbours read around it).
 * @param srcDstYStep Row step in bytes.
 * @param pMBIntraTypes 16 intra 4x4 modes (0..8) in block order.
 * @param cbp4x4 Coded-block mask, bits 1..16.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left, 32 top-right.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes or
 *         *ppSrcDstCoeff is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51,
 *         or when a block with a mode outside 0..8 is reached;
 *         KVN_STS_WRN_SUBSTITUTE if a block used the substitute 128; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane, int32_t srcDstYStep,
                                                    const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4, int32_t qp,
                                                    Kvn8u edgeType);
/**
 * Intra 4x4 luma with a scale table and transform bypass, as
 * kvniReconstructLumaIntraMB_H264_16s8u_C1R().
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample (neighbours read around it).
 * @param srcDstYStep Row step in bytes.
 * @param pMBIntraTypes 16 intra 4x4 modes (0..8) in block order.
 * @param cbp4x4 Coded-block mask, bits 1..16.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left, 32 top-right.
 * @param pQuantTable 16 LevelScale4x4 values for qp % 6.
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes,
 *         *ppSrcDstCoeff or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp
 *         is outside 0..51, or when a block with a mode outside 0..8 is
 *         reached; KVN_STS_WRN_SUBSTITUTE if a block used the substitute 128; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x4,
                                                       int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                       Kvn8u bypassFlag);
/**
 * Intra 16x16 luma (H.264 8.3.3): prediction, luma DC transform (H.264
 * 8.5.10) and the 16 blocks; older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample (neighbours read around it).
 * @param srcDstYStep Row step in bytes.
 * @param intraLumaMode 0 vertical, 1 horizontal, 2 DC, 3 plane.
 * @param cbp4x4 Coded-block mask: bit 0 DC block, bits 1..16 AC blocks.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane or *ppSrcDstCoeff
 *         is null; KVN_STS_OUT_OF_RANGE if qp is outside 0..51;
 *         KVN_STS_INTRA_UNAVAILABLE if the mode needs an unavailable
 *         neighbour; KVN_STS_OUT_OF_RANGE if the mode is above 3; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                         int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4,
                                                         int32_t qp, Kvn8u edgeType);
/**
 * Intra 16x16 luma with a scale table and transform bypass, as
 * kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R().
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample (neighbours read around it).
 * @param srcDstYStep Row step in bytes.
 * @param intraLumaMode 0 vertical, 1 horizontal, 2 DC, 3 plane.
 * @param cbp4x4 Coded-block mask: bit 0 DC block, bits 1..16 AC blocks.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @param pQuantTable 16 LevelScale4x4 values for qp % 6 (element 0 for the DC).
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, *ppSrcDstCoeff
 *         or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp is outside
 *         0..51; KVN_STS_INTRA_UNAVAILABLE if the mode needs an unavailable
 *         neighbour; KVN_STS_OUT_OF_RANGE if the mode is above 3; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra_16x16MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                          int32_t srcDstYStep, int32_t intraLumaMode, Kvn32u cbp4x4,
                                                          int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                          Kvn8u bypassFlag);
/**
 * Intra 8x8 luma (H.264 8.3.2, with reference sample filtering) and the 8x8
 * transform, with a scale table and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Macroblock's top-left luma sample (neighbours read around it).
 * @param srcDstYStep Row step in bytes.
 * @param pMBIntraTypes 4 intra 8x8 modes (0..8).
 * @param cbp8x8 Coded-block mask, bits 0..3.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left, 32 top-right.
 * @param pQuantTable 64 LevelScale8x8 values for qp % 6.
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes,
 *         *ppSrcDstCoeff or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp
 *         is outside 0..51, or when a block with a mode outside 0..8 is
 *         reached; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                       int32_t srcDstYStep, const Kvn32u* pMBIntraTypes, Kvn32u cbp8x8,
                                                       int32_t qp, Kvn8u edgeType, const Kvn16s* pQuantTable,
                                                       Kvn8u bypassFlag);
/**
 * Intra 4x4 luma of one 16x8 half macroblock (8 blocks), older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Top-left sample of the half.
 * @param srcDstYStep Row step in bytes, at least 1.
 * @param pMBIntraTypes 8 intra 4x4 modes (0..8).
 * @param cbp4x2 Coded-block mask, bits 0..7.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours of the half: 1 left, 4 top, 16 top-left, 32 top-right.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes or
 *         *ppSrcDstCoeff is null; KVN_STS_STEP_ERR if the step is below 1;
 *         KVN_STS_OUT_OF_RANGE if qp is outside 0..51, or when a block with a
 *         mode outside 0..8 is reached; KVN_STS_WRN_SUBSTITUTE if a block used
 *         the substitute 128; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraHalfMB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                        int32_t srcDstYStep, const Kvn32s* pMBIntraTypes, Kvn32u cbp4x2,
                                                        int32_t qp, Kvn8u edgeType);
/**
 * Intra 4x4 luma of one 16x8 half macroblock with a scale table and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Top-left sample of the half.
 * @param srcDstYStep Row step in bytes.
 * @param pMBIntraTypes 8 intra 4x4 modes (0..8).
 * @param cbp4x2 Coded-block mask, bits 0..7.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours of the half: 1 left, 4 top, 16 top-left, 32 top-right.
 * @param pQuantTable 16 LevelScale4x4 values for qp % 6.
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes,
 *         *ppSrcDstCoeff or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp
 *         is outside 0..51, or when a block with a mode outside 0..8 is
 *         reached; KVN_STS_WRN_SUBSTITUTE if a block used the substitute 128; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraHalf4x4MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                           int32_t srcDstYStep, const Kvn32s* pMBIntraTypes,
                                                           Kvn8u cbp4x2, int32_t qp, Kvn8u edgeType,
                                                           const Kvn16s* pQuantTable, Kvn8u bypassFlag);
/**
 * Intra 8x8 luma of one 16x8 half macroblock (2 blocks) with a scale table and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstYPlane Top-left sample of the half.
 * @param srcDstYStep Row step in bytes.
 * @param pMBIntraTypes 2 intra 8x8 modes (0..8).
 * @param cbp8x2 Coded-block mask, bits 0..1.
 * @param qp 0..51.
 * @param edgeType Unavailable neighbours of the half: 1 left, 4 top, 16 top-left, 32 top-right.
 * @param pQuantTable 64 LevelScale8x8 values for qp % 6.
 * @param bypassFlag Nonzero with qp 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstYPlane, pMBIntraTypes,
 *         *ppSrcDstCoeff or pQuantTable is null; KVN_STS_OUT_OF_RANGE if qp
 *         is outside 0..51, or when a block with a mode outside 0..8 is
 *         reached; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraHalf8x8MB_H264_16s8u_C1R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstYPlane,
                                                           int32_t srcDstYStep, const Kvn32u* pMBIntraTypes,
                                                           Kvn32u cbp8x2, int32_t qp, Kvn8u edgeType,
                                                           const Kvn16s* pQuantTable, Kvn8u bypassFlag);

/**
 * Inter 4:2:0 chroma, both components in two planes (chroma DC transform,
 * H.264 8.5.11), older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample, holding the prediction.
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample, holding the prediction.
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..39.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane or *ppSrcDstCoeff is
 *         null; KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInterMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                      Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
                                                      int32_t chromaQP);
/**
 * Inter 4:2:0 chroma in one interleaved plane (Cb even bytes, Cr odd; a block
 * row is 16 bytes), older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUVPlane Top-left Cb byte, holding the prediction.
 * @param srcDstUVStep Row step in bytes, at least 1.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..39.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, pSrcDstUVPlane or
 *         *ppSrcDstCoeff is null; KVN_STS_OUT_OF_RANGE if chromaQP is outside
 *         0..39; KVN_STS_STEP_ERR if the step is below 1; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInterMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                      int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQP);
/**
 * Inter 4:2:0 chroma in two planes with per-component QPs, scale tables and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample, holding the prediction.
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample, holding the prediction.
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQPU Cb QPc, 0..39.
 * @param chromaQPV Cr QPc, 0..39.
 * @param pQuantTableU 16 Cb LevelScale4x4 values for chromaQPU % 6.
 * @param pQuantTableV 16 Cr LevelScale4x4 values for chromaQPV % 6.
 * @param bypassFlag Nonzero with QPc 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane, *ppSrcDstCoeff or a
 *         table is null; KVN_STS_OUT_OF_RANGE if a QPc is outside 0..39; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInter4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                         Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep, Kvn32u cbp4x4,
                                                         int32_t chromaQPU, int32_t chromaQPV,
                                                         const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV,
                                                         Kvn8u bypassFlag);
/**
 * Inter 4:2:0 chroma in one interleaved plane with per-component QPs, scale tables and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUVPlane Top-left Cb byte, holding the prediction.
 * @param srcDstUVStep Row step in bytes, at least 1.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQPU Cb QPc, 0..39.
 * @param chromaQPV Cr QPc, 0..39.
 * @param pQuantTableU 16 Cb LevelScale4x4 values.
 * @param pQuantTableV 16 Cr LevelScale4x4 values.
 * @param bypassFlag Nonzero with QPc 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, the plane, *ppSrcDstCoeff or a
 *         table is null; KVN_STS_OUT_OF_RANGE if a QPc is outside 0..39;
 *         KVN_STS_STEP_ERR if the step is below 1; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInter4x4MB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                         int32_t srcDstUVStep, Kvn32u cbp4x4, int32_t chromaQPU,
                                                         int32_t chromaQPV, const Kvn16s* pQuantTableU,
                                                         const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
/**
 * Intra 4:2:0 chroma in two planes (H.264 8.3.4 prediction), older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample (neighbours read around it).
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample (neighbours read around it).
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..39.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane or *ppSrcDstCoeff is
 *         null; KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..39 or the mode
 *         above 3; KVN_STS_INTRA_UNAVAILABLE if the mode needs an unavailable
 *         neighbour; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                      Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                      int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                      Kvn8u edgeType);
/**
 * Intra 4:2:0 chroma in one interleaved plane, older dequantisation.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUVPlane Top-left Cb byte (neighbours read around it).
 * @param srcDstUVStep Row step in bytes, at least 1.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..39.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, the plane or *ppSrcDstCoeff is
 *         null; KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..39;
 *         KVN_STS_STEP_ERR if the step is below 1; KVN_STS_OUT_OF_RANGE if
 *         the mode is above 3; KVN_STS_INTRA_UNAVAILABLE if the mode needs an
 *         unavailable neighbour; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                      int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
                                                      int32_t chromaQP, Kvn8u edgeType);
/**
 * Intra 4:2:0 chroma in two planes with per-component QPs, scale tables and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample (neighbours read around it).
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample (neighbours read around it).
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQPU Cb QPc, 0..39.
 * @param chromaQPV Cr QPc, 0..39.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @param pQuantTableU 16 Cb LevelScale4x4 values.
 * @param pQuantTableV 16 Cr LevelScale4x4 values.
 * @param bypassFlag Nonzero with QPc 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane, *ppSrcDstCoeff or a
 *         table is null; KVN_STS_OUT_OF_RANGE if a QPc is outside 0..39, then
 *         if the mode is above 3; KVN_STS_INTRA_UNAVAILABLE if the mode needs
 *         an unavailable neighbour; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntra4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                         Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                         int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQPU,
                                                         int32_t chromaQPV, Kvn8u edgeType, const Kvn16s* pQuantTableU,
                                                         const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
/**
 * Intra 4:2:0 chroma in one interleaved plane with per-component QPs, scale tables and transform bypass.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUVPlane Top-left Cb byte (neighbours read around it).
 * @param srcDstUVStep Row step in bytes, at least 1.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQPU Cb QPc, 0..39.
 * @param chromaQPV Cr QPc, 0..39.
 * @param edgeType Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @param pQuantTableU 16 Cb LevelScale4x4 values.
 * @param pQuantTableV 16 Cr LevelScale4x4 values.
 * @param bypassFlag Nonzero with QPc 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, the plane, *ppSrcDstCoeff or a
 *         table is null; KVN_STS_OUT_OF_RANGE if a QPc is outside 0..39;
 *         KVN_STS_STEP_ERR if the step is below 1; KVN_STS_OUT_OF_RANGE if
 *         the mode is above 3; KVN_STS_INTRA_UNAVAILABLE if the mode needs an
 *         unavailable neighbour; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntra4x4MB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                         int32_t srcDstUVStep, int32_t intraChromaMode, Kvn32u cbp4x4,
                                                         int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeType,
                                                         const Kvn16s* pQuantTableU, const Kvn16s* pQuantTableV,
                                                         Kvn8u bypassFlag);
/**
 * Intra 4:2:0 chroma with separately predicted halves, two planes, older dequantisation.
 * The upper and the lower 4 rows are predicted separately; modes DC and
 * vertical only. The Halves and Halfs names are the same function.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample (neighbours read around it).
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample (neighbours read around it).
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param intraChromaMode 0 DC or 2 vertical.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..51 accepted; with coded blocks above 39 is refused late.
 * @param edgeTypeTop Unavailable neighbours of the upper half (1 left, 4 top, 16 top-left).
 * @param edgeTypeBottom Unavailable neighbours of the lower half (its left bit only).
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane or *ppSrcDstCoeff is
 *         null; KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..51;
 *         KVN_STS_INTRA_UNAVAILABLE for another mode or a mode whose
 *         neighbours are unavailable (nothing written); KVN_STS_OUT_OF_RANGE
 *         if there are coded blocks and chromaQP is above 39, after the
 *         prediction was written; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                            Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                            int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                            Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom);
/**
 * The same function as kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R().
 * @copydetails kvniReconstructChromaIntraHalvesMB_H264_16s8u_P2R
 */
KvnResult kvniReconstructChromaIntraHalfsMB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                           Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                           int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQP,
                                                           Kvn8u edgeTypeTop, Kvn8u edgeTypeBottom);
/**
 * Intra 4:2:0 chroma with separately predicted halves in one interleaved
 * plane, older dequantisation. Modes DC and vertical only.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUVPlane Top-left Cb byte (neighbours read around it).
 * @param srcDstUVStep Row step in bytes, at least 1.
 * @param intraChromaMode 0 DC or 2 vertical.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQP QPc, 0..51 accepted; with coded blocks above 39 is refused late.
 * @param edgeTypeTop Unavailable neighbours of the upper half.
 * @param edgeTypeBottom Unavailable neighbours of the lower half (its left bit only).
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, the plane or *ppSrcDstCoeff is
 *         null; KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..51;
 *         KVN_STS_STEP_ERR if the step is below 1; KVN_STS_INTRA_UNAVAILABLE
 *         for another mode or unavailable neighbours; KVN_STS_OUT_OF_RANGE if
 *         there are coded blocks and chromaQP is above 39, after the
 *         prediction was written; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraHalvesMB_H264_16s8u_C2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUVPlane,
                                                            int32_t srcDstUVStep, int32_t intraChromaMode,
                                                            Kvn32u cbp4x4, int32_t chromaQP, Kvn8u edgeTypeTop,
                                                            Kvn8u edgeTypeBottom);
/**
 * Intra 4:2:0 chroma with separately predicted halves, two planes, with
 * per-component QPs, scale tables and transform bypass. Modes DC and vertical
 * only. The Halves and Halfs names are the same function.
 * @param[in,out] ppSrcDstCoeff Pointer to the stream pointer; advanced past the blocks consumed.
 * @param[in,out] pSrcDstUPlane Cb block's top-left sample (neighbours read around it).
 * @param[in,out] pSrcDstVPlane Cr block's top-left sample (neighbours read around it).
 * @param srcDstUVStep Row step in bytes of both planes.
 * @param intraChromaMode 0 DC or 2 vertical.
 * @param cbp4x4 Coded-block mask, bits 17..26.
 * @param chromaQPU Cb QPc, 0..39.
 * @param chromaQPV Cr QPc, 0..39.
 * @param edgeTypeTop Unavailable neighbours of the upper half.
 * @param edgeTypeBottom Unavailable neighbours of the lower half (its left bit only).
 * @param pQuantTableU 16 Cb LevelScale4x4 values.
 * @param pQuantTableV 16 Cr LevelScale4x4 values.
 * @param bypassFlag Nonzero with QPc 0: lossless.
 * @return KVN_STS_NULL_PTR if ppSrcDstCoeff, a plane, *ppSrcDstCoeff or a
 *         table is null; KVN_STS_OUT_OF_RANGE if a QPc is outside 0..39;
 *         KVN_STS_INTRA_UNAVAILABLE for another mode or unavailable
 *         neighbours; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                               Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                               int32_t intraChromaMode, Kvn32u cbp4x4,
                                                               int32_t chromaQPU, int32_t chromaQPV, Kvn8u edgeTypeTop,
                                                               Kvn8u edgeTypeBottom, const Kvn16s* pQuantTableU,
                                                               const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
/**
 * The same function as kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R().
 * @copydetails kvniReconstructChromaIntraHalves4x4MB_H264_16s8u_P2R
 */
KvnResult kvniReconstructChromaIntraHalfs4x4MB_H264_16s8u_P2R(Kvn16s** ppSrcDstCoeff, Kvn8u* pSrcDstUPlane,
                                                              Kvn8u* pSrcDstVPlane, int32_t srcDstUVStep,
                                                              int32_t intraChromaMode, Kvn32u cbp4x4, int32_t chromaQPU,
                                                              int32_t chromaQPV, Kvn8u edgeTypeTop,
                                                              Kvn8u edgeTypeBottom, const Kvn16s* pQuantTableU,
                                                              const Kvn16s* pQuantTableV, Kvn8u bypassFlag);
/** @} */
/* ------------------------------------------------------------------------ */
/* H.264 high-profile macroblock reconstruction                             */
/* ------------------------------------------------------------------------ */

/**
 * @addtogroup h264_recon
 * @par High-profile functions (H264High, one record per component)
 * The coefficient stream holds, in the order consumed, only the coded blocks: 16
 * values per 4x4 block, 64 per 8x8 block, 16 Intra16x16 DC levels, 4 (4:2:0)
 * or 8 (4:2:2) chroma DC levels; *ppSrcDstCoeff is advanced past what was
 * consumed (also when a call stops at an invalid intra 4x4 / 8x8 mode) and
 * the stream itself is only read. Coded-block masks: luma as the 8-bit
 * functions; chroma per component: bit 0 DC, bits 1..4 (4:2:0) or 1..8
 * (4:2:2) AC blocks in raster order. Dequantisation with pQuantTable
 * (LevelScale for qp % 6, 16 or 64 raster values), 32-bit wrapping
 * arithmetic; samples clamped to 0 .. 2^bitDepth - 1. bypassFlag nonzero
 * with qp 0: the coefficients are the residual. Intra prediction as the
 * 8-bit predictors with 2^(bitDepth - 1) for 128 and 2^bitDepth - 1 for 255.
 * @par
 * Checks, in order: a null record, stream, *stream, plane or table:
 * KVN_STS_NULL_PTR; a step below the component width (16 luma, 8 chroma):
 * KVN_STS_STEP_ERR; bitDepth outside 8..14, then qp outside
 * 0..6*bitDepth+3 (luma), 0..6*bitDepth-9 (chroma) or 0..39 (8-bit 4:2:2):
 * KVN_STS_OUT_OF_RANGE; then the intra mode (KVN_STS_INTRA_UNAVAILABLE,
 * KVN_STS_OUT_OF_RANGE); intra 4x4 / 8x8 modes when their block is reached.
 * Both chroma records are checked before anything is written.
 * @{
 */

/** Record of one component for the high-bit-depth reconstruction functions. */
typedef struct KvnReconstructRecord32s16u {
  Kvn32s** ppSrcDstCoeff;    /**< Pointer to the stream pointer (packed 32-bit coefficients); advanced. */
  Kvn16u* pSrcDstPlane;      /**< Component's top-left sample, holding the prediction. */
  int32_t srcDstStep;        /**< Row step in samples, at least 16 (luma) or 8 (chroma). */
  Kvn32u cbp;                /**< Coded-block mask. */
  int32_t qp;                /**< QP' = QP + 6 * (bitDepth - 8). */
  const Kvn16s* pQuantTable; /**< LevelScale for qp % 6 (16 or 64 values, raster order). */
  Kvn32u bypassFlag;         /**< Nonzero with qp 0: lossless. */
  int32_t bitDepth;          /**< Bits per sample, 8..14. */
} KvnReconstructRecord32s16u;

/** Record of one 8-bit 4:2:2 chroma component: 16-bit coefficients, 8-bit samples. */
typedef struct KvnReconstructRecord16s8u {
  Kvn16s** ppSrcDstCoeff;    /**< Pointer to the stream pointer (packed 16-bit coefficients); advanced. */
  Kvn8u* pSrcDstPlane;       /**< Component's top-left sample, holding the prediction. */
  int32_t srcDstStep;        /**< Row step in bytes, at least 8. */
  Kvn32u cbp;                /**< Coded-block mask. */
  int32_t qp;                /**< Chroma QP, 0..39. */
  const Kvn16s* pQuantTable; /**< LevelScale4x4 for qp % 6 (16 values). */
  Kvn32u bypassFlag;         /**< Nonzero with qp 0: lossless. */
} KvnReconstructRecord16s8u;

/**
 * High-bit-depth inter luma, 4x4 transform.
 * @param pRecord The luma component.
 * @return KVN_STS_NULL_PTR, KVN_STS_STEP_ERR, KVN_STS_OUT_OF_RANGE for the
 *         record checks (group order); else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInter4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord);
/**
 * High-bit-depth inter luma, 8x8 transform.
 * @param pRecord The luma component (64-value scale table).
 * @return KVN_STS_NULL_PTR, KVN_STS_STEP_ERR, KVN_STS_OUT_OF_RANGE for the
 *         record checks (group order); else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord);
/**
 * High-bit-depth Intra 16x16 luma.
 * @param pRecord The luma component.
 * @param intraMode 0 vertical, 1 horizontal, 2 DC, 3 plane.
 * @param edgeFlags Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @return The record checks (group order); KVN_STS_INTRA_UNAVAILABLE if the
 *         mode needs an unavailable neighbour; KVN_STS_OUT_OF_RANGE if the
 *         mode is above 3; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra16x16_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                             int32_t intraMode, Kvn8u edgeFlags);
/**
 * High-bit-depth Intra 4x4 luma, 16 blocks.
 * @param pRecord The luma component.
 * @param pIntraModes 16 intra 4x4 modes (0..8) in block order.
 * @param edgeFlags Unavailable neighbours: 1 left, 4 top, 16 top-left, 32 top-right.
 * @return KVN_STS_NULL_PTR if pIntraModes is null; the record checks (group
 *         order); KVN_STS_OUT_OF_RANGE when a block with a mode outside 0..8
 *         is reached; KVN_STS_WRN_SUBSTITUTE if a block was predicted from
 *         substitute samples; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                           const int32_t* pIntraModes, Kvn8u edgeFlags);
/**
 * High-bit-depth Intra 8x8 luma, 4 blocks.
 * @param pRecord The luma component (64-value scale table).
 * @param pIntraModes 4 intra 8x8 modes (0..8).
 * @param edgeFlags Unavailable neighbours: 1 left, 4 top, 16 top-left, 32 top-right.
 * @return KVN_STS_NULL_PTR if pIntraModes is null; the record checks (group
 *         order); KVN_STS_OUT_OF_RANGE when a block with a mode outside 0..8
 *         is reached; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntra8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                           const Kvn32u* pIntraModes, Kvn8u edgeFlags);
/**
 * High-bit-depth Intra 4x4 luma of one 16x8 half (8 blocks, mask bits 0..7).
 * @param pRecord The luma component; the plane pointer is the half's top-left sample.
 * @param pIntraModes 8 intra 4x4 modes (0..8).
 * @param edgeFlags Unavailable neighbours of the half.
 * @return KVN_STS_NULL_PTR if pIntraModes is null; the record checks (group
 *         order); KVN_STS_OUT_OF_RANGE when a block with a mode outside 0..8
 *         is reached; KVN_STS_WRN_SUBSTITUTE if a block was predicted from
 *         substitute samples; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraHalf4x4_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                               const int32_t* pIntraModes, Kvn8u edgeFlags);
/**
 * High-bit-depth Intra 8x8 luma of one 16x8 half (2 blocks, mask bits 0..1).
 * @param pRecord The luma component; the plane pointer is the half's top-left sample.
 * @param pIntraModes 2 intra 8x8 modes (0..8).
 * @param edgeFlags Unavailable neighbours of the half.
 * @return KVN_STS_NULL_PTR if pIntraModes is null; the record checks (group
 *         order); KVN_STS_OUT_OF_RANGE when a block with a mode outside 0..8
 *         is reached; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaIntraHalf8x8_H264High_32s16u_IP1R(const KvnReconstructRecord32s16u* pRecord,
                                                               const Kvn32u* pIntraModes, Kvn8u edgeFlags);

/**
 * High-bit-depth inter 4:2:0 chroma, both components. Stream order Cb DC,
 * Cr DC, Cb AC blocks, Cr AC blocks, so both records may share one stream pointer.
 * @param pRecords The Cb and Cr records.
 * @return KVN_STS_NULL_PTR, KVN_STS_STEP_ERR, KVN_STS_OUT_OF_RANGE for the
 *         record checks (group order, both records first); else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInter4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2]);
/**
 * High-bit-depth intra 4:2:0 chroma, both components (H.264 8.3.4).
 * @param pRecords The Cb and Cr records.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param edgeFlags Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @return The record checks (group order); KVN_STS_INTRA_UNAVAILABLE if the
 *         mode needs an unavailable neighbour; KVN_STS_OUT_OF_RANGE if the
 *         mode is above 3; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                             int32_t intraChromaMode, Kvn8u edgeFlags);
/**
 * High-bit-depth intra 4:2:0 chroma with separately predicted halves: the
 * upper half with the edge flags of the top half, the lower half with the
 * left flag of the bottom half. DC and vertical only.
 * @param pRecords The Cb and Cr records.
 * @param intraChromaMode 0 DC or 2 vertical.
 * @param edgeFlagsTop Unavailable neighbours of the upper half.
 * @param edgeFlagsBottom Unavailable neighbours of the lower half (left bit used).
 * @return The record checks (group order); KVN_STS_INTRA_UNAVAILABLE for
 *         another mode, or vertical without the top; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaIntraHalf4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                 int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                 Kvn8u edgeFlagsBottom);
/**
 * 8-bit inter 4:2:2 chroma (8x16 per component, 2x4 DC transform), both components.
 * @param pRecords The Cb and Cr records.
 * @param levelScaleDcCb LevelScale4x4 at position 0 for (Cb qp + 3) % 6.
 * @param levelScaleDcCr LevelScale4x4 at position 0 for (Cr qp + 3) % 6.
 * @return The record checks (group order; qp 0..39); else KVN_STS_OK.
 */
KvnResult kvniReconstructChroma422Inter4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                               int32_t levelScaleDcCb, int32_t levelScaleDcCr);
/**
 * High-bit-depth inter 4:2:2 chroma, both components.
 * @param pRecords The Cb and Cr records.
 * @param levelScaleDcCb LevelScale4x4 at position 0 for (Cb qp + 3) % 6.
 * @param levelScaleDcCr LevelScale4x4 at position 0 for (Cr qp + 3) % 6.
 * @return The record checks (group order); else KVN_STS_OK.
 */
KvnResult kvniReconstructChroma422Inter4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                int32_t levelScaleDcCb, int32_t levelScaleDcCr);
/**
 * 8-bit intra 4:2:2 chroma, both components.
 * @param pRecords The Cb and Cr records.
 * @param intraChromaMode 0 DC, 1 horizontal, 2 vertical, 3 plane.
 * @param edgeFlags Unavailable neighbours: 1 left, 4 top, 16 top-left.
 * @param levelScaleDcCb LevelScale4x4 at position 0 for (Cb qp + 3) % 6.
 * @param levelScaleDcCr LevelScale4x4 at position 0 for (Cr qp + 3) % 6.
 * @return The record checks (group order); KVN_STS_INTRA_UNAVAILABLE if the
 *         mode needs an unavailable neighbour; KVN_STS_OUT_OF_RANGE if the
 *         mode is above 3; else KVN_STS_OK.
 */
KvnResult kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                               int32_t intraChromaMode, Kvn8u edgeFlags,
                                                               int32_t levelScaleDcCb, int32_t levelScaleDcCr);
/**
 * High-bit-depth intra 4:2:2 chroma, both components.
 * @copydetails kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R
 */
KvnResult kvniReconstructChroma422Intra4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                int32_t intraChromaMode, Kvn8u edgeFlags,
                                                                int32_t levelScaleDcCb, int32_t levelScaleDcCr);
/**
 * 8-bit intra 4:2:2 chroma with separately predicted halves. DC and vertical only.
 * @param pRecords The Cb and Cr records.
 * @param intraChromaMode 0 DC or 2 vertical.
 * @param edgeFlagsTop Unavailable neighbours of the upper half.
 * @param edgeFlagsBottom Unavailable neighbours of the lower half (left bit used).
 * @param levelScaleDcCb LevelScale4x4 at position 0 for (Cb qp + 3) % 6.
 * @param levelScaleDcCr LevelScale4x4 at position 0 for (Cr qp + 3) % 6.
 * @return The record checks (group order); KVN_STS_INTRA_UNAVAILABLE for
 *         another mode, or vertical without the top; else KVN_STS_OK.
 */
KvnResult kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R(const KvnReconstructRecord16s8u* const pRecords[2],
                                                                   int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                   Kvn8u edgeFlagsBottom, int32_t levelScaleDcCb,
                                                                   int32_t levelScaleDcCr);
/**
 * High-bit-depth intra 4:2:2 chroma with separately predicted halves.
 * @copydetails kvniReconstructChroma422IntraHalf4x4_H264High_16s8u_IP2R
 */
KvnResult kvniReconstructChroma422IntraHalf4x4_H264High_32s16u_IP2R(const KvnReconstructRecord32s16u* const pRecords[2],
                                                                    int32_t intraChromaMode, Kvn8u edgeFlagsTop,
                                                                    Kvn8u edgeFlagsBottom, int32_t levelScaleDcCb,
                                                                    int32_t levelScaleDcCr);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 luma and chroma interpolation (H.264 8.4.2.2)                      */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_inter Inter prediction: interpolation
 * @ingroup h264
 * @brief H.264 quarter-sample luma and eighth-sample chroma interpolation, picture-edge handling, block average and
 * border expansion (H.264 8.4.2.2).
 *
 * - Luma fractions dx, dy count quarter samples (0..3), chroma fractions
 *   eighth samples (0..7); else KVN_STS_BAD_ARG. 8-bit functions take steps in
 *   bytes, 16-bit ones in samples.
 * - Plain functions read around pSrc (the reference sample at the block's
 *   integer position): a luma fraction needs 2 columns/rows before and 3
 *   after the block, a chroma fraction one after; every sample read must be
 *   inside the caller's picture.
 * - Top: block row outsideRows is the picture's top row; needed rows above it
 *   repeat it. Bottom: block row height - 1 - outsideRows is the bottom row;
 *   needed rows below it repeat it. Columns are not padded. Rows beyond the
 *   edge row repeat it, so any count is well defined for luma.
 * - Block functions take the reference plane's origin and size, the block
 *   position and a motion vector; samples outside the picture are those of
 *   the nearest edge, and the block is padded into a private buffer only when
 *   its reference region crosses an edge. Positions and vectors are combined
 *   in 64 bits.
 * - Luma sizes: 8-bit and both luma Block functions: width and height 4, 8,
 *   12 or 16; 16-bit plain, Top and Bottom: 4, 8 or 16 each, not 4x16 or
 *   16x4. Chroma sizes: 8-bit (and the 16-bit chroma Block function): width
 *   2, 4, 6 or 8, height even 2..16; 16-bit chroma plain, Top and Bottom:
 *   width 2, 4 or 8, height 2, 4, 8 or 16. Else KVN_STS_SIZE_ERR.
 * - 16-bit records: bitDepth outside 1..16 gives KVN_STS_OUT_OF_RANGE (after
 *   the size checks); luma results are clamped to 0 .. 2^bitDepth - 1;
 *   results are exact for any 16-bit samples.
 * - Nothing is written on failure.
 * @{
 */

/**
 * 8-bit luma interpolation at a quarter-sample position (H.264 8.4.2.2.1).
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in quarter samples, 0..3.
 * @param dy Vertical fraction in quarter samples, 0..3.
 * @param roiSize Block size: width and height 4, 8, 12 or 16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..3; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLuma_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, int32_t dx,
                                          int32_t dy, KvnSize roiSize);
/**
 * 8-bit luma interpolation of a block crossing the picture's top edge: block
 * row outsideRows is the top row, rows above it repeat it.
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in quarter samples, 0..3.
 * @param dy Vertical fraction in quarter samples, 0..3.
 * @param outsideRows Block rows above the picture (any value).
 * @param roiSize Block size: width and height 4, 8, 12 or 16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..3; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLumaTop_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                             int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
/**
 * 8-bit luma interpolation of a block crossing the picture's bottom edge: block
 * row height - 1 - outsideRows is the bottom row, rows below it repeat it.
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in quarter samples, 0..3.
 * @param dy Vertical fraction in quarter samples, 0..3.
 * @param outsideRows Block rows below the picture (any value).
 * @param roiSize Block size: width and height 4, 8, 12 or 16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..3; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLumaBottom_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                                int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
/**
 * 8-bit chroma interpolation at an eighth-sample position (H.264 8.4.2.2.2).
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in eighth samples, 0..7.
 * @param dy Vertical fraction in eighth samples, 0..7.
 * @param roiSize Block size: width 2, 4, 6 or 8, height even 2..16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..7; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChroma_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                            int32_t dx, int32_t dy, KvnSize roiSize);
/**
 * 8-bit chroma interpolation from interleaved (Cb, Cr alternating) reference
 * into two planes.
 * @param pSrc Interleaved reference at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDstU Cb prediction.
 * @param[out] pDstV Cr prediction.
 * @param dstStep Row step in bytes of both destinations.
 * @param dx Horizontal fraction in eighth samples, 0..7.
 * @param dy Vertical fraction in eighth samples, 0..7.
 * @param roiSize Block size per component: width 2, 4, 6 or 8, height even 2..16.
 * @return KVN_STS_NULL_PTR if pDstV, pSrc or pDstU is null; KVN_STS_BAD_ARG if
 *         a fraction is outside 0..7; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChroma_H264_8u_C2P2R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDstU, Kvn8u* pDstV,
                                              int32_t dstStep, int32_t dx, int32_t dy, KvnSize roiSize);
/**
 * 8-bit chroma interpolation of a block crossing the picture's top edge.
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in eighth samples, 0..7.
 * @param dy Vertical fraction in eighth samples, 0..7.
 * @param outsideRows Block rows above the picture, at least 0.
 * @param roiSize Block size: width 2, 4, 6 or 8, height even 2..16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..7; KVN_STS_SIZE_ERR for an unsupported size;
 *         KVN_STS_OUT_OF_RANGE if outsideRows is negative; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaTop_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                               int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);
/**
 * 8-bit chroma interpolation of a block crossing the picture's bottom edge.
 * @param pSrc Reference sample at the block's integer position.
 * @param srcStep Reference row step in bytes.
 * @param[out] pDst Prediction block.
 * @param dstStep Destination row step in bytes.
 * @param dx Horizontal fraction in eighth samples, 0..7.
 * @param dy Vertical fraction in eighth samples, 0..7.
 * @param outsideRows Block rows below the picture; below 0 pads nothing.
 * @param roiSize Block size: width 2, 4, 6 or 8, height even 2..16.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_BAD_ARG if a
 *         fraction is outside 0..7; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaBottom_H264_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                                  int32_t dx, int32_t dy, int32_t outsideRows, KvnSize roiSize);

/** Arguments of the 16-bit plain, Top and Bottom interpolation functions (steps in samples). */
typedef struct KvnInterpolationRecord16u {
  const Kvn16u* pSrc; /**< Reference sample at the block's integer position. */
  int32_t srcStep;    /**< Reference row step in samples (luma: at least the width; chroma: at least 8). */
  Kvn16u* pDst;       /**< Prediction block. */
  int32_t dstStep;    /**< Destination row step in samples (as srcStep). */
  int32_t dx;         /**< Horizontal fraction: quarter (luma, 0..3) or eighth (chroma, 0..7) samples. */
  int32_t dy;         /**< Vertical fraction, as dx. */
  KvnSize roiSize;    /**< Block size. */
  int32_t bitDepth;   /**< Bits per sample, 1..16. */
} KvnInterpolationRecord16u;

/**
 * 16-bit luma interpolation; results clamped to 0 .. 2^bitDepth - 1.
 * @param pParams Source, destination, steps (samples), fractions (0..3), size
 *        (4, 8 or 16 each, not 4x16 or 16x4) and bit depth.
 * @return KVN_STS_NULL_PTR if pParams, its pSrc or pDst is null;
 *         KVN_STS_STEP_ERR if a step is below the width; KVN_STS_BAD_ARG for
 *         a fraction outside 0..3; KVN_STS_SIZE_ERR for an unsupported size;
 *         KVN_STS_OUT_OF_RANGE if bitDepth is outside 1..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLuma_H264_16u_C1R(const KvnInterpolationRecord16u* pParams);
/**
 * 16-bit luma interpolation of a block crossing the picture's top edge.
 * @param pParams Source, destination, steps, fractions, size and bit depth.
 * @param outsideRows Block rows above the picture (any value).
 * @return As kvniInterpolateLuma_H264_16u_C1R().
 */
KvnResult kvniInterpolateLumaTop_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
/**
 * 16-bit luma interpolation of a block crossing the picture's bottom edge.
 * @param pParams Source, destination, steps, fractions, size and bit depth.
 * @param outsideRows Block rows below the picture (any value).
 * @return As kvniInterpolateLuma_H264_16u_C1R().
 */
KvnResult kvniInterpolateLumaBottom_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
/**
 * 16-bit chroma interpolation.
 * @param pParams Source, destination, steps (samples, at least 8), fractions
 *        (0..7), size (width 2, 4 or 8, height 2, 4, 8 or 16) and bit depth.
 * @return KVN_STS_NULL_PTR if pParams, its pSrc or pDst is null;
 *         KVN_STS_STEP_ERR if a step is below 8; KVN_STS_BAD_ARG for a
 *         fraction outside 0..7; KVN_STS_SIZE_ERR for an unsupported size;
 *         KVN_STS_OUT_OF_RANGE if bitDepth is outside 1..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChroma_H264_16u_C1R(const KvnInterpolationRecord16u* pParams);
/**
 * 16-bit chroma interpolation of a block crossing the picture's top edge.
 * @param pParams Source, destination, steps, fractions, size and bit depth.
 * @param outsideRows Block rows above the picture, at least 0.
 * @return The statuses of kvniInterpolateChroma_H264_16u_C1R(), then
 *         KVN_STS_OUT_OF_RANGE if outsideRows is negative; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaTop_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);
/**
 * 16-bit chroma interpolation of a block crossing the picture's bottom edge.
 * @param pParams Source, destination, steps, fractions, size and bit depth.
 * @param outsideRows Block rows below the picture; below 0 pads nothing.
 * @return As kvniInterpolateChroma_H264_16u_C1R().
 */
KvnResult kvniInterpolateChromaBottom_H264_16u_C1R(const KvnInterpolationRecord16u* pParams, int32_t outsideRows);

/** Arguments of the 8-bit Block interpolation functions. */
typedef struct KvnInterpolationBlockRecord8u {
  const Kvn8u* pSrc[2]; /**< Reference planes' origins (top-left sample); [1]: second chroma plane (planar layouts). */
  int32_t srcStep;      /**< Reference row step in bytes. */
  Kvn8u* pDst[2];       /**< Destination blocks; [1]: second chroma plane (planar layouts). */
  int32_t dstStep;      /**< Destination row step in bytes. */
  KvnSize sizeFrame;    /**< Reference picture size in samples (chroma pairs for interleaved chroma). */
  KvnSize sizeBlock;    /**< Block size. */
  int32_t pointBlockPos[2];         /**< Block position x, y in the picture. */
  int32_t pointVectorQuarterPix[2]; /**< Motion vector x, y: quarter luma or eighth chroma samples. */
} KvnInterpolationBlockRecord8u;

/** Arguments of the 16-bit Block interpolation functions. */
typedef struct KvnInterpolationBlockRecord16u {
  const Kvn16u* pSrc[2];            /**< Reference planes' origins; [1]: second chroma plane. */
  int32_t srcStep;                  /**< Reference row step in samples. */
  Kvn16u* pDst[2];                  /**< Destination blocks; [1]: second chroma plane. */
  int32_t dstStep;                  /**< Destination row step in samples. */
  KvnSize sizeFrame;                /**< Reference picture size in samples. */
  KvnSize sizeBlock;                /**< Block size. */
  int32_t pointBlockPos[2];         /**< Block position x, y in the picture. */
  int32_t pointVectorQuarterPix[2]; /**< Motion vector x, y: quarter luma or eighth chroma samples. */
  int32_t bitDepth;                 /**< Bits per sample, 1..16. */
} KvnInterpolationBlockRecord16u;

/**
 * 8-bit luma prediction of a block at a position plus a motion vector, with
 * edge replication outside the picture (H.264 8.4.2.2).
 * @param pParams Planes (pSrc[0], pDst[0]), steps, picture and block sizes
 *        (width and height 4, 8, 12 or 16), position and vector.
 * @return KVN_STS_NULL_PTR if pParams, pSrc[0] or pDst[0] is null;
 *         KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with a picture narrower or lower than 1 sample; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLumaBlock_H264_8u_P1R(const KvnInterpolationBlockRecord8u* pParams);
/**
 * 8-bit chroma prediction of a block in two planes (Cb pSrc[0] to pDst[0], Cr
 * pSrc[1] to pDst[1]), with edge replication.
 * @param pParams Planes, steps, picture and block sizes (width 2, 4, 6 or 8,
 *        height even 2..16), position and vector (eighth samples).
 * @return KVN_STS_NULL_PTR if pParams or any of the four plane pointers is
 *         null; KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with a picture narrower or lower than 1 sample; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaBlock_H264_8u_P2R(const KvnInterpolationBlockRecord8u* pParams);
/**
 * 8-bit chroma prediction from an interleaved reference (pSrc[0]) into two
 * planes (pDst[0] Cb, pDst[1] Cr), with edge replication.
 * @param pParams Planes, steps, picture size in pairs, block size per component, position and vector.
 * @return KVN_STS_NULL_PTR if pParams, pSrc[0], pDst[0] or pDst[1] is null;
 *         KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with a picture narrower or lower than 1 sample; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaBlock_H264_8u_C2P2R(const KvnInterpolationBlockRecord8u* pParams);
/**
 * 8-bit chroma prediction from an interleaved reference (pSrc[0]) into an
 * interleaved destination (pDst[0]), with edge replication.
 * @param pParams Planes, steps, picture size in pairs, block size per component, position and vector.
 * @return KVN_STS_NULL_PTR if pParams, pSrc[0] or pDst[0] is null;
 *         KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with a picture narrower or lower than 1 sample; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaBlock_H264_8u_C2C2R(const KvnInterpolationBlockRecord8u* pParams);
/**
 * 16-bit luma prediction of a block at a position plus a motion vector, with
 * edge replication; results clamped to 0 .. 2^bitDepth - 1.
 * @param pParams Planes (pSrc[0], pDst[0]), steps (samples), sizes, position, vector and bit depth.
 * @return KVN_STS_NULL_PTR if pParams, pSrc[0] or pDst[0] is null;
 *         KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with an empty picture; KVN_STS_OUT_OF_RANGE if bitDepth is
 *         outside 1..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateLumaBlock_H264_16u_P1R(const KvnInterpolationBlockRecord16u* pParams);
/**
 * 16-bit chroma prediction of a block in two planes, with edge replication.
 * @param pParams Planes, steps (samples), sizes (width 2, 4, 6 or 8, height even 2..16), position, vector and bit
 * depth.
 * @return KVN_STS_NULL_PTR if pParams or any of the four plane pointers is
 *         null; KVN_STS_SIZE_ERR for an unsupported block size, or a non-zero
 *         vector with an empty picture; KVN_STS_OUT_OF_RANGE if bitDepth is
 *         outside 1..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateChromaBlock_H264_16u_P2R(const KvnInterpolationBlockRecord16u* pParams);

/**
 * Rounded average (a + b + 1) >> 1 of two prediction blocks, one row step for all three blocks.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param width 2..16.
 * @param height 2..16.
 * @param pitch Row step in bytes of both sources and the destination.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if width or
 *         height is outside 2..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateBlock_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width,
                                             uint32_t height, int32_t pitch);
/**
 * Rounded average (a + b + 1) >> 1 of two prediction blocks, each with its own step.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param width 2..16.
 * @param height 2..16.
 * @param src1Step First prediction row step in bytes.
 * @param src2Step Second prediction row step in bytes.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if width or
 *         height is outside 2..16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateBlock_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, uint32_t width,
                                             uint32_t height, int32_t src1Step, int32_t src2Step, int32_t dstStep);

/**
 * Replicates the picture's edge samples into a border of borderSize samples
 * on every side of a width x height plane, in place.
 * @param[in,out] pSrcDst The plane's top-left sample; the border around it is written.
 * @param width Picture width, at least 1.
 * @param height Picture height, even, at least 2.
 * @param step Row step in bytes; |step| at least width + 2 * borderSize.
 * @param borderSize Border width and height in samples, at least 0 (0: nothing to do).
 * @param fieldMode 0 frame, 1 even rows (top field), 2 odd rows (bottom field).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_SIZE_ERR for an odd
 *         height, a height below 2 or a width below 1; KVN_STS_OK at once if
 *         borderSize is 0; KVN_STS_BAD_ARG if fieldMode is outside 0..2;
 *         KVN_STS_SIZE_ERR if borderSize is negative; KVN_STS_STEP_ERR if the
 *         step is too short; else KVN_STS_OK.
 */
KvnResult kvniExpandPlane_H264_8u_C1R(Kvn8u* pSrcDst, int32_t width, int32_t height, int32_t step, int32_t borderSize,
                                      int32_t fieldMode);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.264 weighted prediction (H.264 8.4.2.3)                                */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup h264_weight Inter prediction: weighted prediction
 * @ingroup h264
 * @brief H.264 explicit and implicit weighted sample prediction (H.264 8.4.2.3).
 *
 * Per sample, with L the log2 denominator:
 * - one list: ((x * w + 2^(L-1)) >> L) + o (x * w + o when L is 0);
 * - two lists: ((x1 * w1 + x2 * w2 + 2^L) >> (L + 1)) + ((o1 + o2 + 1) >> 1);
 * - implicit: (x1 * w1 + x2 * w2 + 32) >> 6;
 * - average: (x1 + x2 + 1) >> 1;
 *
 * clamped to 0..255 (8-bit) or 0..2^bitDepth - 1 (16-bit; bit depths
 * outside 1..16 are taken as the nearest of 1 and 16). Results are exact for
 * every weight, offset and denominator (wide intermediates). Widths and
 * heights 2, 4, 8 or 16 unless stated; interleaved chroma (C2) counts the
 * width in Cb/Cr pairs, a row holding 2 * width bytes, channel 0 in the even
 * bytes. 8-bit steps in bytes, 16-bit steps in samples.
 *
 * Checks: null pointers (KVN_STS_NULL_PTR), then steps below the row
 * (KVN_STS_STEP_ERR; negative 8-bit steps too), then sizes
 * (KVN_STS_SIZE_ERR); nothing is written on failure.
 * @{
 */

/** Blocks of the interleaved-chroma (C2R) weighting functions. */
typedef struct KvnWeightBlockRecord8u {
  const Kvn8u* pSrc1; /**< First source (two lists only). */
  int32_t src1Step;   /**< Its row step in bytes, at least 2 * width. */
  const Kvn8u* pSrc2; /**< Second source (two lists only). */
  int32_t src2Step;   /**< Its row step in bytes; not checked. */
  Kvn8u* pDst;        /**< Destination (one list: source and destination). */
  int32_t dstStep;    /**< Its row step in bytes, at least 2 * width. */
  KvnSize roiSize;    /**< Width in Cb/Cr pairs and height: 2, 4, 8 or 16 each. */
} KvnWeightBlockRecord8u;

/** One list's explicit weighting parameters for both chroma channels. */
typedef struct KvnWeightParams8u {
  Kvn32u log2Denominator; /**< logWD; its low 4 bits are used. */
  Kvn8s weight0;          /**< Weight of channel 0 (Cb, even bytes). */
  Kvn8s weight1;          /**< Weight of channel 1 (Cr, odd bytes). */
  Kvn8s offset0;          /**< Offset of channel 0. */
  Kvn8s offset1;          /**< Offset of channel 1. */
} KvnWeightParams8u;

/** Blocks and bit depth of the 16-bit two-list functions (steps in samples). */
typedef struct KvnBidirRecord16u {
  const Kvn16u* pSrc1; /**< First prediction. */
  int32_t src1Step;    /**< Its row step in samples. */
  const Kvn16u* pSrc2; /**< Second prediction. */
  int32_t src2Step;    /**< Its row step in samples. */
  Kvn16u* pDst;        /**< Destination. */
  int32_t dstStep;     /**< Its row step in samples. */
  KvnSize roiSize;     /**< Block size. */
  int32_t bitDepth;    /**< Bits per sample (taken as the nearest of 1 and 16 outside 1..16). */
} KvnBidirRecord16u;

/**
 * One-list explicit weighting in place. kvniUniDirWeightBlock_H264_8u_C1IR()
 * is the same function.
 * @param[in,out] pSrcDst Prediction block, weighted in place.
 * @param srcDstStep Row step in bytes, at least the width.
 * @param log2Denominator logWD.
 * @param weight Weight w.
 * @param offset Offset o.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_STEP_ERR if the step
 *         is negative or below the width; KVN_STS_SIZE_ERR for an unsupported
 *         size; else KVN_STS_OK.
 */
KvnResult kvniUniDirWeightBlock_H264_8u_C1R(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                            int32_t offset, KvnSize roiSize);
/** The same function as kvniUniDirWeightBlock_H264_8u_C1R(). @copydetails kvniUniDirWeightBlock_H264_8u_C1R */
KvnResult kvniUniDirWeightBlock_H264_8u_C1IR(Kvn8u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                             int32_t offset, KvnSize roiSize);
/**
 * One-list explicit weighting of interleaved chroma in place on pBlock->pDst,
 * each channel with its own weight and offset.
 * @param pBlock The block (pDst, dstStep at least 2 * width, roiSize).
 * @param pParams logWD, weights and offsets of both channels.
 * @return KVN_STS_NULL_PTR if pBlock, pParams or pBlock->pDst is null;
 *         KVN_STS_STEP_ERR if dstStep is below 2 * width; KVN_STS_SIZE_ERR for
 *         an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniUniDirWeightBlock_H264_8u_C2R(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams);
/**
 * One-list explicit weighting of 16-bit samples in place.
 * @param[in,out] pSrcDst Prediction block.
 * @param srcDstStep Row step in samples, at least the width.
 * @param log2Denominator logWD.
 * @param weight Weight w.
 * @param offset Offset o, already scaled to the bit depth.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @param bitDepth Bits per sample (nearest of 1 and 16 outside 1..16).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_STEP_ERR if the step
 *         is below the width; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniUnidirWeight_H264_16u_IP2P1R(Kvn16u* pSrcDst, int32_t srcDstStep, Kvn32u log2Denominator, int32_t weight,
                                           int32_t offset, KvnSize roiSize, int32_t bitDepth);

/**
 * Two-list explicit weighting; one step for both sources.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param srcStep Row step in bytes of both sources, at least the width.
 * @param dstStep Destination row step in bytes, at least the width.
 * @param log2Denominator logWD.
 * @param weight1 First weight.
 * @param offset1 First offset.
 * @param weight2 Second weight.
 * @param offset2 Second offset.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if a step
 *         is negative or below the width; KVN_STS_SIZE_ERR for an unsupported
 *         size; else KVN_STS_OK.
 */
KvnResult kvniBiDirWeightBlock_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t srcStep,
                                             int32_t dstStep, Kvn32u log2Denominator, int32_t weight1, int32_t offset1,
                                             int32_t weight2, int32_t offset2, KvnSize roiSize);
/**
 * Two-list explicit weighting; each block with its own step.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param src1Step First prediction row step in bytes, at least the width.
 * @param src2Step Second prediction row step in bytes, at least the width.
 * @param dstStep Destination row step in bytes, at least the width.
 * @param log2Denominator logWD.
 * @param weight1 First weight.
 * @param offset1 First offset.
 * @param weight2 Second weight.
 * @param offset2 Second offset.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if a step
 *         is negative or below the width; KVN_STS_SIZE_ERR for an unsupported
 *         size; else KVN_STS_OK.
 */
KvnResult kvniBiDirWeightBlock_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst, int32_t src1Step,
                                             int32_t src2Step, int32_t dstStep, Kvn32u log2Denominator, int32_t weight1,
                                             int32_t offset1, int32_t weight2, int32_t offset2, KvnSize roiSize);
/**
 * Two-list explicit weighting of interleaved chroma; L from pParams1.
 * @param pBlock Sources, destination, steps (dstStep and src1Step at least
 *        2 * width; src2Step not checked) and size.
 * @param pParams1 First list's logWD, weights and offsets.
 * @param pParams2 Second list's weights and offsets.
 * @return KVN_STS_NULL_PTR if pBlock, a parameter record or a block pointer
 *         is null; KVN_STS_STEP_ERR if dstStep or src1Step is below
 *         2 * width; KVN_STS_SIZE_ERR for an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniBiDirWeightBlock_H264_8u_C2R(const KvnWeightBlockRecord8u* pBlock, const KvnWeightParams8u* pParams1,
                                           const KvnWeightParams8u* pParams2);
/**
 * Two-list explicit weighting of 16-bit samples.
 * @param pBidir Blocks, steps (samples, at least the width), size and bit depth.
 * @param log2Denominator logWD.
 * @param weight1 First weight.
 * @param offset1 First offset (scaled to the bit depth).
 * @param weight2 Second weight.
 * @param offset2 Second offset (scaled to the bit depth).
 * @return KVN_STS_NULL_PTR if pBidir or a block pointer is null;
 *         KVN_STS_STEP_ERR if a step is below the width; KVN_STS_SIZE_ERR for
 *         an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniBidirWeight_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir, Kvn32u log2Denominator, int32_t weight1,
                                         int32_t offset1, int32_t weight2, int32_t offset2);

/**
 * Two-list implicit weighting (weights normally summing to 64); one step for both sources.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param srcStep Row step in bytes of both sources, at least the width.
 * @param dstStep Destination row step in bytes, at least the width.
 * @param weight1 First implicit weight.
 * @param weight2 Second implicit weight.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if a step
 *         is negative or below the width; KVN_STS_SIZE_ERR for an unsupported
 *         size; else KVN_STS_OK.
 */
KvnResult kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst,
                                                     int32_t srcStep, int32_t dstStep, int32_t weight1, int32_t weight2,
                                                     KvnSize roiSize);
/**
 * Two-list implicit weighting; each block with its own step. Only pointers
 * are checked: any width x height block with both at least 1 is weighted, and
 * KVN_STS_OK is returned without writing otherwise.
 * @param pSrc1 First prediction.
 * @param pSrc2 Second prediction.
 * @param[out] pDst Destination.
 * @param src1Step First prediction row step in bytes.
 * @param src2Step Second prediction row step in bytes.
 * @param dstStep Destination row step in bytes.
 * @param weight1 First implicit weight.
 * @param weight2 Second implicit weight.
 * @param roiSize Block size (any).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniBiDirWeightBlockImplicit_H264_8u_P3P1R(const Kvn8u* pSrc1, const Kvn8u* pSrc2, Kvn8u* pDst,
                                                     int32_t src1Step, int32_t src2Step, int32_t dstStep,
                                                     int32_t weight1, int32_t weight2, KvnSize roiSize);
/**
 * Two-list implicit weighting of 16-bit samples.
 * @param pBidir Blocks, steps (samples, at least the width), size and bit depth.
 * @param weight1 First implicit weight.
 * @param weight2 Second implicit weight.
 * @return KVN_STS_NULL_PTR if pBidir or a block pointer is null;
 *         KVN_STS_STEP_ERR if a step is below the width; KVN_STS_SIZE_ERR for
 *         an unsupported size; else KVN_STS_OK.
 */
KvnResult kvniBidirWeightImplicit_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir, int32_t weight1, int32_t weight2);

/**
 * Rounded average (x1 + x2 + 1) >> 1 of two 16-bit predictions. Steps are not
 * checked; any width and height 2..16.
 * @param pBidir Blocks, steps (samples), size and bit depth.
 * @return KVN_STS_NULL_PTR if pBidir or a block pointer is null;
 *         KVN_STS_SIZE_ERR if width or height is outside 2..16; else KVN_STS_OK.
 */
KvnResult kvniBidir_H264_16u_P2P1R(const KvnBidirRecord16u* pBidir);

/**
 * General weighted average in place: pSrc2Dst = ((x1 * w1 + x2 * w2 +
 * 2^(shift-1)) >> shift) + offset (no rounding term when shift is 0), clamped
 * to 0..255; one step for both blocks.
 * @param pSrc1 First block.
 * @param[in,out] pSrc2Dst Second block and destination.
 * @param srcDstStep Row step in bytes of both blocks, at least the width.
 * @param weight1 First weight.
 * @param weight2 Second weight.
 * @param shift Right shift.
 * @param offset Offset added after the shift.
 * @param roiSize Width and height 2, 4, 8 or 16.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is negative or below the width; KVN_STS_SIZE_ERR for an unsupported
 *         size; else KVN_STS_OK.
 */
KvnResult kvniWeightedAverage_H264_8u_C1IR(const Kvn8u* pSrc1, Kvn8u* pSrc2Dst, int32_t srcDstStep, int32_t weight1,
                                           int32_t weight2, Kvn32u shift, int32_t offset, KvnSize roiSize);

/** @} */

/* ------------------------------------------------------------------------ */
/* MPEG-1/MPEG-2 VLC tables, block decoding and block writing               */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup mpeg2_vlc VLC tables, block decoding and block writing
 * @ingroup mpeg2
 * @brief MPEG-1/MPEG-2 VLC tables built from caller descriptions, coefficient block decoding with inverse quantisation,
 * and run-level block writing (ISO/IEC 11172-2 2.4.3.7; ISO/IEC 13818-2 7.2, 7.3, 7.4, Annex B).
 *
 * **Source tables** (caller's Kvn32s arrays) describe a prefix code: [0] not
 * read; [1] S, the lookup stages (1..32); [2 .. S+1] the bits each stage
 * indexes (1..16); then, for code lengths L = 1, 2, 3, ... in turn, a count
 * n(L) >= 0 and n(L) entries, ended by a negative count. An entry is
 * (code, value) for kvniHuffmanTableInitAlloc_32s() and (code, first,
 * second) for kvniHuffmanRunLevelTableInitAlloc_32s() and
 * kvniCreateRLEncodeTable(); code holds the L bits right-aligned. Codes have
 * 1..32 bits and at most the stages' total. Run-level convention: first = run
 * (0..63), 254 end of block, 255 escape (first is taken mod 256); second =
 * signed level.
 *
 * **Malformed source tables** are refused with KVN_STS_VLC_CODE_ERR before
 * anything is stored: a stage count or stage width outside its range, a code
 * longer than 32 bits or than the stages' total, a code value of more than L
 * bits, codes that are not prefix-free (a code that is a prefix of another,
 * or listed twice), a value outside the leaf's field (signed 24 bits;
 * run-level: second outside the signed 16 bits) or a leaf equal to the
 * invalid entry (value 61681 given back 1 bit). The source is read up to its
 * terminating count; a count after L = 32 that is not negative is malformed too.
 *
 * **Readers** use the word bit position of the H.264 readers: *ppBitStream is
 * the current 32-bit word (machine byte order), *pOffset (0..31, else
 * KVN_STS_BAD_ARG) its next bit, 31 the most significant. A reader never
 * touches memory beyond the word after the one holding the last bit it
 * consumes (or, when it consumes none, the word after the current one): keep
 * one readable word beyond the data. Table lookups treat entries that no
 * builder makes (stage widths outside 1..16, a leaf giving back all the bits
 * of its stage, links past 31 bits) as invalid codes.
 *
 * Checks, in order: pointers (the word pointer behind the first argument
 * included), KVN_STS_NULL_PTR; the bit index or free-bit count,
 * KVN_STS_BAD_ARG; numeric ranges, KVN_STS_OUT_OF_RANGE; nothing is written before.
 * @{
 */

/**
 * A built VLC table: 32-bit words from kvnMalloc(). [0] = B0, then 2^B0
 * entries; each further subtable is a header word (its B) and 2^B entries.
 * Entry: leaf value * 256 + u (u bits of its stage given back; run-level
 * leaves: second * 65536 + (first & 255) * 256 + u), link offset * 256 + 128
 * (word index of the subtable header), or the invalid entry 0x00F0F101.
 * Built tables are read-only and may be shared between threads.
 */
typedef Kvn32s KvnHuffmanTable;
/**
 * A run-level encoding table (see kvniCreateRLEncodeTable()), 32-bit words
 * from kvnMalloc(), released with kvniHuffmanTableFree_32s().
 */
typedef Kvn32s KvnRLEncodeTable;

/**
 * Builds a decoding table from a (code, value) source table.
 * @param pSrcTable Source table.
 * @param[out] ppTable Receives the table, to be released with kvniHuffmanTableFree_32s(); not written on failure.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_VLC_CODE_ERR for a
 *         malformed source; KVN_STS_MEM_ALLOC if memory is short or the table
 *         would exceed 2^23 words; else KVN_STS_OK.
 */
KvnResult kvniHuffmanTableInitAlloc_32s(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable);
/**
 * Builds a run-level decoding table from a (code, first, second) source table.
 * @param pSrcTable Source table.
 * @param[out] ppTable Receives the table, to be released with kvniHuffmanTableFree_32s(); not written on failure.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_VLC_CODE_ERR for a
 *         malformed source; KVN_STS_MEM_ALLOC if memory is short or the table
 *         would exceed 2^23 words; else KVN_STS_OK.
 */
KvnResult kvniHuffmanRunLevelTableInitAlloc_32s(const Kvn32s* pSrcTable, KvnHuffmanTable** ppTable);
/**
 * Releases a table built by kvniHuffmanTableInitAlloc_32s(),
 * kvniHuffmanRunLevelTableInitAlloc_32s() or kvniCreateRLEncodeTable().
 * @param pTable The table.
 * @return KVN_STS_NULL_PTR if pTable is null; else KVN_STS_OK.
 */
KvnResult kvniHuffmanTableFree_32s(KvnHuffmanTable* pTable);

/**
 * Decodes one code.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pDst Receives the leaf's value (signed 24 bits).
 * @param pTable Table from kvniHuffmanTableInitAlloc_32s().
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pOffset is outside 0..31; KVN_STS_VLC_CODE_ERR
 *         for an invalid code: 61681 is written and the position is after all
 *         the bits read; else KVN_STS_OK.
 */
KvnResult kvniDecodeHuffmanOne_1u32s(Kvn32u** ppBitStream, Kvn32s* pOffset, Kvn32s* pDst,
                                     const KvnHuffmanTable* pTable);
/**
 * Decodes one run-level code.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param pTable Table from kvniHuffmanRunLevelTableInitAlloc_32s().
 * @param[out] pFirst Receives bits 8..15 of the leaf (run, 254 end of block, 255 escape).
 * @param[out] pSecond Receives bits 16..31 of the leaf (signed level).
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pOffset is outside 0..31; KVN_STS_VLC_CODE_ERR
 *         for an invalid code, with the position as it was and nothing
 *         written; else KVN_STS_OK.
 */
KvnResult kvniDecodeHuffmanPair_1u16s(Kvn32u** ppBitStream, Kvn32s* pOffset, const KvnHuffmanTable* pTable,
                                      Kvn8u* pFirst, Kvn16s* pSecond);

/**
 * Decodes and inverse-quantises one MPEG-1 non-intra 8x8 block (ISO/IEC
 * 11172-2 2.4.4.2). The block is cleared, then each coefficient stored at
 * raster index pScan[scan position]; the position is advanced past the
 * end-of-block code. A first bit 1 is the code 1s (run 0, level +-1);
 * otherwise pDCTFirstTable codes the first coefficient and pACTable the
 * others. Escapes: run (6 bits) and level (8 bits; 0 and -128 are followed by
 * 8 more bits). F = (2L + sign(L)) * W * Q / 16, an even F moved one step
 * towards zero, clamped to -2048..2047.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param pDCTFirstTable Run-level table for the first coefficient.
 * @param pACTable Run-level table for the other coefficients.
 * @param pScan 64 raster indices in scan order.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 weights W in raster order (required).
 * @param[out] pDstBlock 64 coefficients, raster order.
 * @param[out] pDstSize Scan position of the last coefficient.
 * @return KVN_STS_NULL_PTR if a pointer (pQuantMatrix included) or
 *         *ppBitStream is null; KVN_STS_BAD_ARG if *pOffset is outside 0..31;
 *         KVN_STS_VLC_CODE_ERR for an invalid code, a run past scan position
 *         63 or a scan entry outside 0..63: the block is left partly filled,
 *         the position after the bits read, *pDstSize not written; else KVN_STS_OK.
 */
KvnResult kvniReconstructDCTBlock_MPEG1_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                            const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
                                            const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                            Kvn16s* pDstBlock, Kvn32s* pDstSize);
/**
 * Decodes and inverse-quantises one MPEG-2 non-intra 8x8 block (ISO/IEC
 * 13818-2 7.2, 7.4). Decoding as kvniReconstructDCTBlock_MPEG1_32s(); escapes:
 * run (6 bits) and level (12 bits, two's complement).
 * F = (2L + sign(L)) * W * Q / 32 (towards zero), saturated to -2048..2047,
 * then mismatch control (an even sum of the block toggles the lowest bit of
 * coefficient 63).
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param pDCTFirstTable Run-level table for the first coefficient.
 * @param pACTable Run-level table for the other coefficients.
 * @param pScan 64 raster indices in scan order.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 weights W in raster order; null means 16 everywhere.
 * @param[out] pDstBlock 64 coefficients, raster order.
 * @param[out] pDstSize Scan position of the last coefficient (0 reported as 1).
 * @return KVN_STS_NULL_PTR if a required pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pOffset is outside 0..31; KVN_STS_VLC_CODE_ERR
 *         for an invalid code, a run past scan position 63 or a scan entry
 *         outside 0..63 (block partly filled, position after the bits read,
 *         *pDstSize not written); else KVN_STS_OK.
 */
KvnResult kvniReconstructDCTBlock_MPEG2_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                            const KvnHuffmanTable* pDCTFirstTable, const KvnHuffmanTable* pACTable,
                                            const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                            Kvn16s* pDstBlock, Kvn32s* pDstSize);
/**
 * Decodes and inverse-quantises one MPEG-1 intra 8x8 block: dct_dc_size from
 * pDCSizeTable (sizes 0..11), the differential, then AC coefficients from
 * scan position 1 with pACTable. Coefficient 0 = *pDCPred + 8 * differential
 * (16 bits), which becomes the predictor; AC F = L * W * 2Q / 16, an even F
 * moved one step towards zero, clamped to -2048..2047.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param pDCSizeTable Table of dct_dc_size codes.
 * @param pACTable Run-level table for the AC coefficients.
 * @param pScan 64 raster indices in scan order.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 intra weights W in raster order.
 * @param[in,out] pDCPred DC predictor; receives the new DC.
 * @param[out] pDstBlock 64 coefficients, raster order.
 * @param[out] pDstSize Scan position of the last coefficient.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pOffset is outside 0..31; KVN_STS_VLC_CODE_ERR
 *         for an invalid code, a dct_dc_size above 11, a run past scan
 *         position 63 or a scan entry outside 0..63 (block partly filled,
 *         position after the bits read, *pDstSize not written); else KVN_STS_OK.
 */
KvnResult kvniReconstructDCTBlockIntra_MPEG1_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                                 const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
                                                 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                                 Kvn16s* pDCPred, Kvn16s* pDstBlock, Kvn32s* pDstSize);
/**
 * Decodes and inverse-quantises one MPEG-2 intra 8x8 block (ISO/IEC 13818-2
 * 7.2.1, 7.4): DC = *pDCPred + differential (16 bits) becomes the predictor,
 * coefficient 0 = DC << shiftDC, AC F = L * W * 2Q / 32; every value saturated
 * to -2048..2047, then mismatch control over the whole block.
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pOffset Next bit in the current word, 0..31; advanced.
 * @param pDCSizeTable Table of dct_dc_size codes.
 * @param pACTable Run-level table for the AC coefficients (B.14 or B.15).
 * @param pScan 64 raster indices in scan order.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 intra weights W in raster order.
 * @param[in,out] pDCPred DC predictor; receives the new DC.
 * @param shiftDC 3 - intra_dc_precision, 0..3.
 * @param[out] pDstBlock 64 coefficients, raster order.
 * @param[out] pDstSize Scan position of the last coefficient.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pOffset is outside 0..31; KVN_STS_OUT_OF_RANGE
 *         if shiftDC is outside 0..3; KVN_STS_VLC_CODE_ERR for an invalid
 *         code, a dct_dc_size above 11, a run past scan position 63 or a scan
 *         entry outside 0..63 (block partly filled, position after the bits
 *         read, *pDstSize not written); else KVN_STS_OK.
 */
KvnResult kvniReconstructDCTBlockIntra_MPEG2_32s(Kvn32u** ppBitStream, Kvn32s* pOffset,
                                                 const KvnHuffmanTable* pDCSizeTable, const KvnHuffmanTable* pACTable,
                                                 const Kvn32s* pScan, Kvn32s quantScale, const Kvn16s* pQuantMatrix,
                                                 Kvn16s* pDCPred, Kvn32s shiftDC, Kvn16s* pDstBlock, Kvn32s* pDstSize);

/**
 * Builds a run-level encoding table from a run-level source table: word 0 =
 * escape code * 16 + length (bits 0..9), end-of-block code * 16 + length
 * (bits 10..19), largest run R (bits 20..); words 1..R+1 the byte offset of
 * each run's base word, which holds the run's largest |level|; the word
 * base + level holds code * 65536 + length.
 * @param pSrcTable Run-level source table.
 * @param[out] ppTable Receives the table, to be released with kvniHuffmanTableFree_32s(); not written on failure.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_VLC_CODE_ERR for a
 *         malformed source, a run whose levels are not exactly +-1 .. +-m
 *         each once, a code of 16 bits or more in value, or an escape or
 *         end-of-block code that does not fit its 10-bit field;
 *         KVN_STS_MEM_ALLOC if memory is short; else KVN_STS_OK.
 */
KvnResult kvniCreateRLEncodeTable(const Kvn32s* pSrcTable, KvnRLEncodeTable** ppTable);

/**
 * Writes one intra block: the DC differential d = pSrcBlock[0] - *pDCPred as
 * the dct_dc_size code pDCSizeTable[2 * size] of pDCSizeTable[2 * size + 1]
 * bits and size bits of d (negative: d + 2^size - 1), then the AC levels
 * from pRLTable or by escape (000001, run in 6 bits, the low 12 bits of the
 * level), then the end-of-block code; *pDCPred = pSrcBlock[0].
 * Output position: *ppBitStream the current word, *pBitCount the bits still
 * free in it; bits are ORed in from its most significant free bit down, a
 * code crossing into the next word assigns that word, a code filling the
 * word exactly moves on without touching the next. The buffer must be zero
 * from the current word on and large enough: the writers are not told its
 * end (a block takes at most 64 * 24 + 32 bits plus the DC code).
 * @param[in,out] ppBitStream Current word; advanced.
 * @param[in,out] pBitCount Free bits in the current word, 1..32; updated.
 * @param pSrcBlock 64 levels, raster order.
 * @param[in,out] pDCPred DC predictor; receives pSrcBlock[0].
 * @param pDCSizeTable (code, length) pairs of dct_dc_size 0..11.
 * @param pRLTable Table from kvniCreateRLEncodeTable().
 * @param pScan 64 raster indices in scan order (taken modulo 64).
 * @param eobLength Length of the end-of-block code, 0..32.
 * @param eobCode End-of-block code, right-aligned.
 * @param count Writing stops after count non-zero levels or at scan position 63.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pBitCount is outside 1..32;
 *         KVN_STS_OUT_OF_RANGE if eobLength is outside 0..32, |d| is above
 *         2047, or the dct_dc_size code length is outside 1..32; nothing is
 *         written on failure; else KVN_STS_OK.
 */
KvnResult kvniPutIntraBlock(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock, Kvn32s* pDCPred,
                            const Kvn32s* pDCSizeTable, const KvnRLEncodeTable* pRLTable, const Kvn32s* pScan,
                            Kvn32s eobLength, Kvn32s eobCode, Kvn32s count);
/**
 * Writes one non-intra block, as kvniPutIntraBlock() without the DC part: a
 * first coefficient (at pScan[0]) of +-1 is written as 1s.
 * @param[in,out] ppBitStream Current word; advanced.
 * @param[in,out] pBitCount Free bits in the current word, 1..32; updated.
 * @param pSrcBlock 64 levels, raster order.
 * @param pRLTable Table from kvniCreateRLEncodeTable().
 * @param pScan 64 raster indices in scan order (taken modulo 64).
 * @param eobLength Length of the end-of-block code, 0..32.
 * @param eobCode End-of-block code, right-aligned.
 * @param count Writing stops after count non-zero levels or at scan position 63.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pBitCount is outside 1..32;
 *         KVN_STS_OUT_OF_RANGE if eobLength is outside 0..32; nothing is
 *         written on failure; else KVN_STS_OK.
 */
KvnResult kvniPutNonIntraBlock(Kvn32u** ppBitStream, Kvn32s* pBitCount, const Kvn16s* pSrcBlock,
                               const KvnRLEncodeTable* pRLTable, const Kvn32s* pScan, Kvn32s eobLength, Kvn32s eobCode,
                               Kvn32s count);

/** @} */

/* ------------------------------------------------------------------------ */
/* MPEG-2 quantisation and DCT                                              */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup mpeg2_quant Quantisation and DCT
 * @ingroup mpeg2
 * @brief MPEG-1/MPEG-2 forward and inverse quantisers, inverse and forward 8x8 DCT (ISO/IEC 13818-2 7.4, 7.5, Annex A).
 *
 * Blocks are 64 signed 16-bit values, raster order unless stated. Checks:
 * null pointers (KVN_STS_NULL_PTR), then a forward quantiser's scale of 0
 * (KVN_STS_DIV_BY_ZERO) or a row step below 1 (KVN_STS_STEP_ERR); nothing is
 * written on failure.
 * @{
 */

/**
 * Forward non-intra quantiser in place. With reciprocal weights (64 floats,
 * 1/W): level = trunc(c * (16/Q) * (1/W)) in single precision, clamped to
 * -2047..2047. Without: Q >= 1: sign(c) * min((|c| * R) >> 16, 2047),
 * R = (65536 + Q/2) / Q; Q < 0: the block is left as it is and its non-zero
 * values counted.
 * @param[in,out] pSrcDst 64 coefficients in, 64 levels out.
 * @param quantScale Quantiser scale Q, not 0.
 * @param pQuantMatrix Optional 64 reciprocal weights 1/W, raster order (may be null).
 * @param[out] pCount Receives the number of non-zero levels.
 * @return KVN_STS_NULL_PTR if pSrcDst or pCount is null; KVN_STS_DIV_BY_ZERO
 *         if quantScale is 0; else KVN_STS_OK.
 */
KvnResult kvniQuant_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount);
/**
 * Forward intra quantiser in place, as kvniQuant_MPEG2_16s_C1I() with
 * reciprocal weights; position 0 (the DC) is left as it is and positions
 * 1..63 are counted.
 * @param[in,out] pSrcDst 64 coefficients in, levels out (DC unchanged).
 * @param quantScale Quantiser scale Q, not 0.
 * @param pQuantMatrix 64 reciprocal weights 1/W; null selects the reciprocals of the default intra matrix.
 * @param[out] pCount Receives the number of non-zero levels at positions 1..63.
 * @return KVN_STS_NULL_PTR if pSrcDst or pCount is null; KVN_STS_DIV_BY_ZERO
 *         if quantScale is 0; else KVN_STS_OK.
 */
KvnResult kvniQuantIntra_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const float* pQuantMatrix, int32_t* pCount);
/**
 * Non-intra inverse quantiser in place (ISO/IEC 13818-2 7.4):
 * ((2L + sign(L)) * W * Q) / 32 at all positions, exact, saturated to
 * -2048..2047, then mismatch control over all 64 values.
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 weights W, raster order; null means 16 everywhere.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInv_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix);
/**
 * Intra inverse quantiser in place (ISO/IEC 13818-2 7.4): (L * W * Q) / 16 at
 * positions 1..63, position 0 unchanged; exact, saturated to -2048..2047,
 * then mismatch control over all 64 values.
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param quantScale Quantiser scale Q.
 * @param pQuantMatrix 64 intra weights W, raster order (required).
 * @return KVN_STS_NULL_PTR if pSrcDst or pQuantMatrix is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntra_MPEG2_16s_C1I(Kvn16s* pSrcDst, int32_t quantScale, const Kvn16u* pQuantMatrix);

/**
 * Inverse DCT of a transposed coefficient block (element 8i + j: horizontal
 * frequency i, vertical frequency j) to 8-bit samples clamped to 0..255.
 * @param pSrc 64 transposed coefficients.
 * @param[out] pDst 8x8 samples.
 * @param dstStep Destination row step in bytes, at least 1.
 * @param count Coefficient count: above 9 full transform; 1..9 only the 4x4
 *        low-frequency corner is read; 0 or below: every sample coefficient 0 / 8.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8Inv_AANTransposed_16s8u_C1R(const Kvn16s* pSrc, Kvn8u* pDst, int32_t dstStep, int32_t count);
/**
 * Inverse DCT of a transposed coefficient block to 16-bit values clamped to -256..255.
 * @param pSrc 64 transposed coefficients.
 * @param[out] pDst 8x8 values.
 * @param dstStep Destination row step in bytes, at least 1.
 * @param count Coefficient count: above 9 full transform; 1..9 the 4x4
 *        corner; 0 every value coefficient 0 / 8; below 0 zeros.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8Inv_AANTransposed_16s_C1R(const Kvn16s* pSrc, Kvn16s* pDst, int32_t dstStep, int32_t count);
/**
 * Inverse DCT of two transposed blocks written interleaved (the first at even
 * samples) as 8-bit samples clamped to 0..255, each block with its own count
 * (as kvniDCT8x8Inv_AANTransposed_16s8u_C1R()).
 * @param pSrcU First (Cb) block, 64 transposed coefficients.
 * @param pSrcV Second (Cr) block.
 * @param[out] pDstUV 8 rows of 16 interleaved samples.
 * @param dstStep Destination row step in bytes, at least 1.
 * @param countU Coefficient count of the first block.
 * @param countV Coefficient count of the second block.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8Inv_AANTransposed_16s8u_P2C2R(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV,
                                                  int32_t dstStep, int32_t countU, int32_t countV);
/**
 * Inverse DCT of two transposed blocks written interleaved as 16-bit values
 * clamped to -256..255, each with its own count (as kvniDCT8x8Inv_AANTransposed_16s_C1R()).
 * @param pSrcU First block, 64 transposed coefficients.
 * @param pSrcV Second block.
 * @param[out] pDstUV 8 rows of 16 interleaved values.
 * @param dstStep Destination row step in bytes, at least 1.
 * @param countU Coefficient count of the first block.
 * @param countV Coefficient count of the second block.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8Inv_AANTransposed_16s_P2C2R(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn16s* pDstUV,
                                                int32_t dstStep, int32_t countU, int32_t countV);
/**
 * Inverse DCT or DC fill of two natural-order blocks (element 8v + u) into 8
 * rows of 16 interleaved bytes: a channel whose flag is set takes
 * clamp(coefficient 0 >> 3, 0, 255) everywhere, the other the inverse DCT
 * (IEEE 1180 accuracy) clamped to 0..255.
 * @param pSrcU First (Cb, even bytes) block.
 * @param pSrcV Second (Cr, odd bytes) block.
 * @param[out] pDstUV 8 rows of 16 interleaved samples.
 * @param dstStep Destination row step in bytes, at least 1.
 * @param flags Bit of value 1: the second block is DC only; 2: the first; higher bits ignored.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8InvOrSet_16s8u_P2C2(const Kvn16s* pSrcU, const Kvn16s* pSrcV, Kvn8u* pDstUV, int32_t dstStep,
                                        int32_t flags);
/**
 * Forward DCT (ISO/IEC 13818-2 Annex A scaling, DC = 8 x mean) of 8 rows of
 * 16 interleaved bytes into two natural-order coefficient blocks.
 * @param pSrcUV 8 rows of 16 interleaved samples (Cb even, Cr odd).
 * @param srcStep Source row step in bytes, at least 1.
 * @param[out] pDstU 64 Cb coefficients.
 * @param[out] pDstV 64 Cr coefficients.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_STEP_ERR if the step
 *         is below 1; else KVN_STS_OK.
 */
KvnResult kvniDCT8x8Fwd_8u16s_C2P2(const Kvn8u* pSrcUV, int32_t srcStep, Kvn16s* pDstU, Kvn16s* pDstV);

/** @} */

/* ------------------------------------------------------------------------ */
/* MPEG-4 Visual, H.263 and H.261: quantisation                             */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup mpeg4_quant Quantisation and quantiser states
 * @ingroup mpeg4
 * @brief H.263 and MPEG-4 Visual forward and inverse quantisers, with the MPEG-4 quantiser states (ITU-T H.263 6.2,
 * Annexes I and T; ISO/IEC 14496-2 7.4.4).
 *
 * Blocks are 64 signed 16-bit values in raster order, processed in place.
 * Checks, in order: null pointers (KVN_STS_NULL_PTR), the state's kind
 * (KVN_STS_CONTEXT_MISMATCH), the quantiser range (KVN_STS_QP_ERR: H.263
 * 1..31, MPEG-4 1..2^(bitsPerPixel-3)-1), then the last index of the H.263
 * inverse quantisers (KVN_STS_OUT_OF_RANGE); nothing is written on failure.
 *
 * R = floor(65536 / 2QP) + 1 and "x by R" = (x * R) >> 16 (division by the
 * step through a reciprocal; the results are defined by this formula).
 *
 * MPEG-4 states: GetSize, then Init once per matrix and bit depth; the state
 * is then read-only and may be shared by any number of calls. The caller
 * allocates the size that GetSize reports and passes that memory as it comes:
 * every function rounds the pointer up to the next multiple of 16 and finds
 * the record there. A tag tells intra from inter and forward from inverse
 * states; a state of the wrong kind is refused.
 * @{
 */

/**
 * MPEG-4 inverse-quantiser state (intra or inter), built by kvniQuantInvIntraInit_MPEG4() or
 * kvniQuantInvInterInit_MPEG4().
 */
typedef struct KvnQuantInvState_MPEG4 {
  Kvn16u weights[64];  /**< The caller's matrix W, raster order (matrixFlag 1). */
  Kvn32s bitsPerPixel; /**< Bits per pixel b, 4..12. */
  Kvn32s matrixFlag;   /**< 1: weights hold a matrix (quantisation method 2); 0: method 1. */
  char tag[4];         /**< "SAMC" inter, "RAMC" intra. */
} KvnQuantInvState_MPEG4;

/**
 * MPEG-4 forward-quantiser state (intra or inter), built by kvniQuantIntraInit_MPEG4() or
 * kvniQuantInterInit_MPEG4().
 */
typedef struct KvnQuantState_MPEG4 {
  Kvn16u weights[64]; /**< bitsPerPixel <= 8: floor(W / 2); above: W. */
  /** Reciprocals of the weights. */
  union {
    Kvn16u reciprocals[64]; /**< bitsPerPixel <= 8: floor(65536 / W) + 1 (65535 for W = 1). */
    float inverses[64];     /**< Above 8: 1 / W rounded to single precision. */
  } scale;
  Kvn32s bitsPerPixel; /**< Bits per pixel b, 4..12. */
  Kvn32s matrixFlag;   /**< 1: a matrix was given (quantisation method 2); 0: method 1. */
  char tag[4];         /**< "UAMC" inter, "TAMC" intra. */
} KvnQuantState_MPEG4;

/**
 * H.263 intra quantiser in place. Without Annex I: positions 1..63 get |c| by
 * R, position 0 the INTRADC level (c0 + 4) >> 3 (0 coded as 1, 255 as 254,
 * always counted); with Annex I: min(|c| + floor(3QP/4), 32767) by R
 * everywhere. Below QP 8 without Annex T levels are clamped to -127..127.
 * @param[in,out] pSrcDst 64 coefficients in, 64 levels out.
 * @param QP Quantiser, 1..31.
 * @param[out] pCount Receives the number of non-zero levels.
 * @param advIntraFlag Nonzero: advanced intra coding (Annex I).
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @return KVN_STS_NULL_PTR if pSrcDst or pCount is null; KVN_STS_QP_ERR if QP
 *         is outside 1..31; else KVN_STS_OK.
 */
KvnResult kvniQuantIntra_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s advIntraFlag,
                                      Kvn32s modQuantFlag);
/**
 * H.263 inter quantiser in place: level = (|c| - floor(QP/2), at least 0) by
 * R with the sign of c; below QP 8 without Annex T clamped to -127..127.
 * @param[in,out] pSrcDst 64 coefficients in, 64 levels out.
 * @param QP Quantiser, 1..31.
 * @param[out] pCount Receives the number of non-zero levels.
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @return KVN_STS_NULL_PTR if pSrcDst or pCount is null; KVN_STS_QP_ERR if QP
 *         is outside 1..31; else KVN_STS_OK.
 */
KvnResult kvniQuantInter_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s QP, Kvn32s* pCount, Kvn32s modQuantFlag);
/**
 * H.263 intra inverse quantiser in place over positions 0..indxLastNonZero.
 * Without Annex I: position 0 is 8 L0, and the AC rule |F| = QP (2|L| + 1),
 * minus 1 for an even QP, only when the last index is above 0, clamped to
 * -2048..2047 without Annex T; with Annex I: F = 2 QP L at every position.
 * Values beyond 16 bits saturate.
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param indxLastNonZero Highest raster index that may hold a level, at least 0 (above 63: the whole block).
 * @param QP Quantiser, 1..31.
 * @param advIntraFlag Nonzero: advanced intra coding (Annex I).
 * @param modQuantFlag Nonzero: modified quantisation (Annex T, no clamping).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_QP_ERR if QP is
 *         outside 1..31; KVN_STS_OUT_OF_RANGE if indxLastNonZero is negative; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntra_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s advIntraFlag,
                                         Kvn32s modQuantFlag);
/**
 * H.263 inter inverse quantiser in place over positions 0..indxLastNonZero:
 * |F| = QP (2|L| + 1), minus 1 for an even QP, sign of L, clamped to
 * -2048..2047 without Annex T; values beyond 16 bits saturate.
 * @param[in,out] pSrcDst 64 levels in, 64 coefficients out.
 * @param indxLastNonZero Highest raster index that may hold a level, at least 0 (above 63: the whole block).
 * @param QP Quantiser, 1..31.
 * @param modQuantFlag Nonzero: modified quantisation (Annex T, no clamping).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_QP_ERR if QP is
 *         outside 1..31; KVN_STS_OUT_OF_RANGE if indxLastNonZero is negative; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInter_H263_16s_C1I(Kvn16s* pSrcDst, Kvn32s indxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag);

/**
 * Size of the memory for an MPEG-4 forward-quantiser state (intra or inter),
 * alignment room included. kvniQuantInterGetSize_MPEG4() is the same function.
 * @param[out] pSize Receives 412 (bytes).
 * @return KVN_STS_NULL_PTR if pSize is null; else KVN_STS_OK.
 */
KvnResult kvniQuantIntraGetSize_MPEG4(Kvn32s* pSize);
/** The same function as kvniQuantIntraGetSize_MPEG4(). @copydetails kvniQuantIntraGetSize_MPEG4 */
KvnResult kvniQuantInterGetSize_MPEG4(Kvn32s* pSize);
/**
 * Size of the memory for an MPEG-4 inverse-quantiser state (intra or inter),
 * alignment room included. kvniQuantInvInterGetSize_MPEG4() is the same function.
 * @param[out] pSize Receives 156 (bytes).
 * @return KVN_STS_NULL_PTR if pSize is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraGetSize_MPEG4(Kvn32s* pSize);
/** The same function as kvniQuantInvIntraGetSize_MPEG4(). @copydetails kvniQuantInvIntraGetSize_MPEG4 */
KvnResult kvniQuantInvInterGetSize_MPEG4(Kvn32s* pSize);
/**
 * Builds an MPEG-4 intra forward-quantiser state. Everything is checked
 * before anything is written: a failed Init leaves the memory as it was.
 * @param pQuantMatrix 64 intra weights in raster order (method 2), or null (method 1).
 * @param[out] pSpec Memory of kvniQuantIntraGetSize_MPEG4() bytes, any alignment.
 * @param bitsPerPixel 4..12.
 * @return KVN_STS_NULL_PTR if pSpec is null; KVN_STS_OUT_OF_RANGE if
 *         bitsPerPixel is outside 4..12; KVN_STS_QP_ERR if a weight is 0; else KVN_STS_OK.
 */
KvnResult kvniQuantIntraInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel);
/**
 * Builds an MPEG-4 inter forward-quantiser state, as kvniQuantIntraInit_MPEG4().
 * @param pQuantMatrix 64 inter weights in raster order (method 2), or null (method 1).
 * @param[out] pSpec Memory of kvniQuantInterGetSize_MPEG4() bytes, any alignment.
 * @param bitsPerPixel 4..12.
 * @return KVN_STS_NULL_PTR if pSpec is null; KVN_STS_OUT_OF_RANGE if
 *         bitsPerPixel is outside 4..12; KVN_STS_QP_ERR if a weight is 0; else KVN_STS_OK.
 */
KvnResult kvniQuantInterInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantState_MPEG4* pSpec, Kvn32s bitsPerPixel);
/**
 * Builds an MPEG-4 intra inverse-quantiser state. Everything is checked
 * before anything is written: a failed Init leaves the memory as it was.
 * @param pQuantMatrix 64 intra weights in raster order (method 2), or null (method 1).
 * @param[out] pSpec Memory of kvniQuantInvIntraGetSize_MPEG4() bytes, any alignment.
 * @param bitsPerPixel 4..12.
 * @return KVN_STS_NULL_PTR if pSpec is null; KVN_STS_OUT_OF_RANGE if
 *         bitsPerPixel is outside 4..12; KVN_STS_QP_ERR if a weight is 0; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel);
/**
 * Builds an MPEG-4 inter inverse-quantiser state, as kvniQuantInvIntraInit_MPEG4().
 * @param pQuantMatrix 64 inter weights in raster order (method 2), or null (method 1).
 * @param[out] pSpec Memory of kvniQuantInvInterGetSize_MPEG4() bytes, any alignment.
 * @param bitsPerPixel 4..12.
 * @return KVN_STS_NULL_PTR if pSpec is null; KVN_STS_OUT_OF_RANGE if
 *         bitsPerPixel is outside 4..12; KVN_STS_QP_ERR if a weight is 0; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInterInit_MPEG4(const Kvn8u* pQuantMatrix, KvnQuantInvState_MPEG4* pSpec, Kvn32s bitsPerPixel);
/**
 * MPEG-4 intra quantiser in place (ISO/IEC 14496-2 7.4.4, encoder side):
 * integer reciprocals up to 8 bits per pixel, single-precision floats above;
 * position 0 is sign(c0) ((|c0| + s/2) div s) with the dc_scaler s of QP and
 * blockType (Table 7-1), clamped to -2047..2047.
 * @param[in,out] pCoeffs 64 coefficients in, 64 levels out.
 * @param pSpec Intra forward state (kvniQuantIntraInit_MPEG4()).
 * @param QP Quantiser, 1..2^(bitsPerPixel-3)-1.
 * @param[out] pCount Receives the number of non-zero levels.
 * @param blockType 0 luminance, nonzero chrominance.
 * @return KVN_STS_NULL_PTR if pCoeffs, pSpec or pCount is null;
 *         KVN_STS_CONTEXT_MISMATCH if pSpec is not an intra forward state;
 *         KVN_STS_QP_ERR if QP is out of range; else KVN_STS_OK.
 */
KvnResult kvniQuantIntra_MPEG4_16s_C1I(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount,
                                       Kvn32s blockType);
/**
 * MPEG-4 inter quantiser in place (ISO/IEC 14496-2 7.4.4, encoder side),
 * method 1 or 2 by the state.
 * @param[in,out] pCoeffs 64 coefficients in, 64 levels out.
 * @param pSpec Inter forward state (kvniQuantInterInit_MPEG4()).
 * @param QP Quantiser, 1..2^(bitsPerPixel-3)-1.
 * @param[out] pCount Receives the number of non-zero levels.
 * @return KVN_STS_NULL_PTR if pCoeffs, pSpec or pCount is null;
 *         KVN_STS_CONTEXT_MISMATCH if pSpec is not an inter forward state;
 *         KVN_STS_QP_ERR if QP is out of range; else KVN_STS_OK.
 */
KvnResult kvniQuantInter_MPEG4_16s_C1I(Kvn16s* pCoeffs, const KvnQuantState_MPEG4* pSpec, Kvn32s QP, Kvn32s* pCount);
/**
 * MPEG-4 intra inverse quantiser in place (ISO/IEC 14496-2 7.4.4): method 1
 * or 2 by the state over positions 1..indxLastNonZero, clamped to
 * -2^(b+3)..2^(b+3)-1; the DC is s L0 with the dc_scaler s; mismatch control
 * for method 2.
 * @param[in,out] pCoeffs 64 levels in, 64 coefficients out.
 * @param indxLastNonZero Highest raster index that may hold a level (above 63: the whole block; below 1: the DC only).
 * @param pSpec Intra inverse state (kvniQuantInvIntraInit_MPEG4()).
 * @param QP Quantiser, 1..2^(bitsPerPixel-3)-1.
 * @param blockType 0 luminance, nonzero chrominance.
 * @return KVN_STS_NULL_PTR if pCoeffs or pSpec is null;
 *         KVN_STS_CONTEXT_MISMATCH if pSpec is not an intra inverse state;
 *         KVN_STS_QP_ERR if QP is out of range; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntra_MPEG4_16s_C1I(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec,
                                          Kvn32s QP, Kvn32s blockType);
/**
 * MPEG-4 inter inverse quantiser in place (ISO/IEC 14496-2 7.4.4): method 1
 * |F| = QP (2|L| + 1) - (1 for an even QP), or method 2
 * F = ((2L + sign(L)) W QP) / 16 toward zero with mismatch control, over
 * positions 0..indxLastNonZero, clamped to -2^(b+3)..2^(b+3)-1.
 * @param[in,out] pCoeffs 64 levels in, 64 coefficients out.
 * @param indxLastNonZero Highest raster index that may hold a level (above 63: the whole block; negative: no level).
 * @param pSpec Inter inverse state (kvniQuantInvInterInit_MPEG4()).
 * @param QP Quantiser, 1..2^(bitsPerPixel-3)-1.
 * @return KVN_STS_NULL_PTR if pCoeffs or pSpec is null;
 *         KVN_STS_CONTEXT_MISMATCH if pSpec is not an inter inverse state;
 *         KVN_STS_QP_ERR if QP is out of range; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInter_MPEG4_16s_C1I(Kvn16s* pCoeffs, Kvn32s indxLastNonZero, const KvnQuantInvState_MPEG4* pSpec,
                                          Kvn32s QP);

/** @} */

/* ------------------------------------------------------------------------ */
/* MPEG-4 Visual, H.263 and H.261: coefficient VLC decoding and encoding    */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup mpeg4_vlc Coefficient decoding and reconstruction
 * @ingroup mpeg4
 * @brief Decoding of one 8x8 block of run-level codes of MPEG-4 Visual, H.263 or H.261, and of the intra DC; the
 * Reconstruct functions also inverse-quantise (ISO/IEC 14496-2 Tables B-16, B-17, B-23; ITU-T H.263 Table 16, Annexes I
 * and T; ITU-T H.261 Table 5).
 *
 * - **Byte bit position**: *ppBitStream the current byte, *pBitOffset the bits
 *   already used in it (0..7, else KVN_STS_BIT_OFFSET_ERR), most significant
 *   first; both are advanced past the bits decoded.
 * - **Block**: 64 16-bit levels (Reconstruct: inverse-quantised values) in
 *   raster order, the rest cleared. *pIndxLastNonZero receives the scan
 *   position of the last coefficient (0 for an intra block whose AC part is
 *   empty). Scan selectors: 0 zigzag, 1 alternate vertical, 2 alternate
 *   horizontal where a function takes it, other values scan-position order.
 * - **Reads**: at most 4 bytes past the byte holding the last bit consumed
 *   (on success, the block's last bit); zero bits are no code, so a block cut
 *   short and followed by 8 zero bytes fails within them.
 * - **Checks**, in order: ppBitStream, pBitOffset, *ppBitStream, the block
 *   (or DC output) and pIndxLastNonZero (KVN_STS_NULL_PTR); the bit offset
 *   (KVN_STS_BIT_OFFSET_ERR); then for the Reconstruct functions the
 *   quantiser (KVN_STS_QP_ERR) and the MPEG-4 state. Nothing is written before.
 * - **Code errors** (KVN_STS_CODE_ERR): invalid codes, forbidden escape
 *   values, bad marker bits and runs past position 63. The position is left
 *   as it was (except where stated), the block holds the levels stored so
 *   far and the last index the last position stored (MPEG-4: the position
 *   that overflowed after a run past 63; -1 for an invalid INTRADC).
 * @{
 */

/**
 * Decodes one MPEG-4 intra block (Table B-16 with the escapes of ISO/IEC
 * 14496-2, or the reversible codes of Table B-23).
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param rvlcFlag Nonzero: reversible VLC (Table B-23).
 * @param noDCFlag Nonzero: entry 0 holds a DC decoded before and is kept; the codes start at position 1.
 * @param scan 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other: scan-position order.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsIntra_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                            Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag, Kvn32s scan);
/**
 * Decodes one MPEG-4 inter block (Table B-17 with its LMAX/RMAX escapes, or
 * the reversible codes of Table B-23).
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param rvlcFlag Nonzero: reversible VLC.
 * @param scan 0 zigzag, 1 alternate vertical, other (2 too): scan-position order.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsInter_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                            Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan);
/**
 * Decodes one MPEG-4 intra block backwards with the reversible codes (Table
 * B-23). The position is the block's last bit (the sign of its LAST code) and
 * moves to the last bit of the preceding block's LAST code. Levels in
 * scan-position order (no inverse scan). Reads no byte after the one holding
 * the given position and none more than 4 bytes before the byte holding the
 * first bit of the preceding LAST code (on failure: of the earliest bit
 * read). On failure the block is not written and the last index is -1.
 * @param[in,out] ppBitStream Byte holding the block's last bit; moved back.
 * @param[in,out] pBitOffset Offset of that bit, 0..7; updated.
 * @param[out] pCoeffs 64 levels in scan-position order (from position 1 with noDCFlag, entry 0 kept).
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param noDCFlag Nonzero: the DC is coded separately and entry 0 is kept.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                    Kvn32s* pIndxLastNonZero, Kvn32s noDCFlag);
/**
 * Decodes one MPEG-4 inter block backwards with the reversible codes, as
 * kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(): levels in scan-position order
 * from position 0; on failure the block is not written and the last index is -1.
 * @param[in,out] ppBitStream Byte holding the block's last bit; moved back.
 * @param[in,out] pBitOffset Offset of that bit, 0..7; updated.
 * @param[out] pCoeffs 64 levels in scan-position order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                    Kvn32s* pIndxLastNonZero);
/**
 * Decodes one H.263 intra block: Table 16 from position 1 with entry 0 (the
 * INTRADC decoded before) kept, or with Annex I the Annex I table from position 0.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param advIntraFlag Nonzero: advanced intra coding (Annex I).
 * @param modQuantFlag Nonzero: modified quantisation (Annex T): escape LEVEL -128 announces an 11-bit level.
 * @param scan 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other: scan-position order.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s advIntraFlag, Kvn32s modQuantFlag,
                                           Kvn32s scan);
/**
 * Decodes one H.263 inter block (Table 16).
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @param scan 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other: scan-position order.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsInter_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s modQuantFlag, Kvn32s scan);
/**
 * Decodes one H.261 intra block: the 8-bit INTRADC into entry 0 (255 gives
 * 128), then the AC codes of Table 5 up to the end-of-block code.
 * @param[in,out] ppBitStream Current byte; advanced (also past an accepted INTRADC when the AC part fails).
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param scan -1: scan-position order; any other value zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for an INTRADC of 0 or 128 or a
 *         code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsIntra_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s scan);
/**
 * Decodes one H.261 inter block (Table 5; a first coefficient +-1 is coded 1s).
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 levels, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param scan -1: scan-position order; any other value zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniDecodeCoeffsInter_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                           Kvn32s* pIndxLastNonZero, Kvn32s scan);
/**
 * Decodes the 8-bit H.263 INTRADC: 255 gives 128, other values themselves;
 * the byte pointer advances one byte.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; unchanged.
 * @param[out] pDC Receives the INTRADC level; written only on success.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BIT_OFFSET_ERR if the offset is outside 0..7;
 *         KVN_STS_CODE_ERR for the values 0 and 128; else KVN_STS_OK.
 */
KvnResult kvniDecodeDCIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC);
/**
 * Decodes an MPEG-4 intra DC difference: dct_dc_size (luminance or
 * chrominance code), dct_dc_differential and, above size 8, a marker bit.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pDC Receives the differential (not the reconstructed DC).
 * @param blockType 0 luminance, nonzero chrominance.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BIT_OFFSET_ERR if the offset is outside 0..7;
 *         KVN_STS_CODE_ERR for an invalid size code or a zero marker bit;
 *         else KVN_STS_OK.
 */
KvnResult kvniDecodeDCIntra_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pDC, Kvn32s blockType);
/**
 * Decodes and inverse-quantises one H.261 intra block: DC 8 x INTRADC (1024
 * for the code 255); AC |F| = QP (2|L| + 1), minus 1 for an even QP, clamped
 * to -2048..2047; zigzag scan.
 * @param[in,out] ppBitStream Current byte; advanced (also past an accepted INTRADC when the AC part fails).
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 coefficients, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param QP Quantiser, 1..31.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_QP_ERR if QP is outside 1..31;
 *         KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniReconstructCoeffsIntra_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP);
/**
 * Decodes and inverse-quantises one H.261 inter block: |F| = QP (2|L| + 1),
 * minus 1 for an even QP, clamped to -2048..2047; zigzag scan.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 coefficients, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param QP Quantiser, 1..31.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_QP_ERR if QP is outside 1..31;
 *         KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniReconstructCoeffsInter_H261_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP);
/**
 * Decodes and inverse-quantises one H.263 intra block. Without Annex I: the
 * INTRADC (DC 8 x INTRADC, 1024 for 255), then, when cbp is nonzero, the AC
 * codes with |F| = QP (2|L| + 1) - (1 for an even QP), clamped to -2048..2047
 * (Annex T: saturated to 16 bits); zigzag scan. With Annex I: F = 2 QP L at
 * every position, position 0 coded by the VLC; cbp 0 then gives a cleared
 * block and last index -1 without reading anything.
 * @param[in,out] ppBitStream Current byte; advanced (also past an accepted INTRADC when the AC part fails).
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 coefficients, raster order (cbp 0 without Annex I: only entry 0 written, the rest untouched).
 * @param[out] pIndxLastNonZero Scan position of the last coefficient (0 for a DC-only block; -1 for cbp 0 with
 *        Annex I).
 * @param cbp Nonzero when the block has AC codes.
 * @param QP Quantiser, 1..31.
 * @param advIntraFlag Nonzero: advanced intra coding (Annex I).
 * @param scan With Annex I: 1 alternate vertical, 2 alternate horizontal, other zigzag; without: ignored (zigzag).
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_QP_ERR if QP is outside 1..31;
 *         KVN_STS_CODE_ERR for an invalid INTRADC or code; else KVN_STS_OK.
 */
KvnResult kvniReconstructCoeffsIntra_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s cbp, Kvn32s QP, Kvn32s advIntraFlag,
                                                Kvn32s scan, Kvn32s modQuantFlag);
/**
 * Decodes and inverse-quantises one H.263 inter block: |F| = QP (2|L| + 1),
 * minus 1 for an even QP, clamped to -2048..2047 (with Annex T: saturated to
 * 16 bits); zigzag scan.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 coefficients, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param QP Quantiser, 1..31.
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_QP_ERR if QP is outside 1..31;
 *         KVN_STS_CODE_ERR for a code error; else KVN_STS_OK.
 */
KvnResult kvniReconstructCoeffsInter_H263_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                Kvn32s* pIndxLastNonZero, Kvn32s QP, Kvn32s modQuantFlag);
/**
 * Decodes and inverse-quantises one MPEG-4 inter block with the rules of
 * kvniQuantInvInter_MPEG4_16s_C1I() (method 1 or 2 by the state, mismatch
 * control for method 2). The state is checked before anything is read, with
 * or without RVLC.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param[out] pCoeffs 64 coefficients, raster order.
 * @param[out] pIndxLastNonZero Scan position of the last coefficient.
 * @param rvlcFlag Nonzero: reversible VLC (Table B-23), else Table B-17.
 * @param scan 1 alternate vertical, any other value zigzag.
 * @param pQuantInvState Inter inverse state (kvniQuantInvInterInit_MPEG4()).
 * @param QP Quantiser, 1..2^(bitsPerPixel-3)-1.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR for the argument checks
 *         (group order); KVN_STS_NULL_PTR if pQuantInvState is null;
 *         KVN_STS_CONTEXT_MISMATCH if it is not an inter inverse state;
 *         KVN_STS_QP_ERR if QP is out of range; KVN_STS_CODE_ERR for a code
 *         error; else KVN_STS_OK.
 */
KvnResult kvniReconstructCoeffsInter_MPEG4_1u16s(Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn16s* pCoeffs,
                                                 Kvn32s* pIndxLastNonZero, Kvn32s rvlcFlag, Kvn32s scan,
                                                 const KvnQuantInvState_MPEG4* pQuantInvState, Kvn32s QP);

/** @} */

/**
 * @defgroup mpeg4_vlcenc Coefficient encoding
 * @ingroup mpeg4
 * @brief Writing of one quantised 8x8 block as run-level codes of MPEG-4 Visual, H.263 or H.261, and of the intra DC;
 * the inverses of @ref mpeg4_vlc.
 *
 * - **Byte bit position** as in @ref mpeg4_vlc. The bits of the current byte
 *   before the offset are kept, the code follows, the rest of the last byte
 *   written is cleared and no byte after it is touched. The caller provides
 *   the room (up to 64 escapes of 33 bits a block).
 * - **countNonZero**: the non-zero levels coded, 1..64, the last of them with
 *   LAST set (H.261: followed by the end-of-block code); levels after it are
 *   ignored, and when the block has fewer, the last one present is coded
 *   with LAST.
 * - **Checks**, in order: ppBitStream, pBitOffset, pCoeffs, *ppBitStream
 *   (KVN_STS_NULL_PTR); the offset (KVN_STS_BIT_OFFSET_ERR); the count
 *   (KVN_STS_OUT_OF_RANGE). Nothing is written and the position is unchanged
 *   on failure. Levels are not checked: one outside what its code can carry
 *   (H.263 without Annex T beyond +-127, MPEG-4 beyond +-2047) is written truncated.
 * @{
 */

/**
 * Writes one MPEG-4 intra block (Table B-16): the table code, else escape
 * type 1 (level - LMAX), type 2 (run - RMAX - 1), type 3 (fixed length); with
 * rvlcFlag the reversible codes of Table B-23 and their escape.
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded: 1..64, or 1..63 with noDCFlag.
 * @param rvlcFlag Nonzero: reversible VLC.
 * @param noDCFlag Nonzero: position 0 is left to kvniEncodeDCIntra_MPEG4_16s1u().
 * @param scan 1 alternate vertical, 2 alternate horizontal, -1 raster, other zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsIntra_MPEG4_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                            Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s noDCFlag, Kvn32s scan);
/**
 * Writes one MPEG-4 inter block (Table B-17 with escapes of types 1 to 3, or
 * the reversible codes of Table B-23).
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded, 1..64.
 * @param rvlcFlag Nonzero: reversible VLC.
 * @param scan 1 alternate vertical, -1 raster, other zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsInter_MPEG4_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                            Kvn32s countNonZero, Kvn32s rvlcFlag, Kvn32s scan);
/**
 * Writes one H.263 intra block (Table 16, or the Annex I table, which also
 * codes position 0; otherwise position 0 is left to
 * kvniEncodeDCIntra_H263_16s1u()): the table code or the 22-bit escape.
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded, 1..64.
 * @param advIntraFlag Nonzero: advanced intra coding (Annex I).
 * @param modQuantFlag Nonzero: modified quantisation (Annex T): a level of
 *        magnitude 128 or more is LEVEL -128 followed by its 11-bit form.
 * @param scan 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other raster.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsIntra_H263_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s advIntraFlag, Kvn32s modQuantFlag, Kvn32s scan);
/**
 * Writes one H.263 inter block (Table 16): the table code or the 22-bit escape.
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded, 1..64.
 * @param modQuantFlag Nonzero: modified quantisation (Annex T).
 * @param scan 0 zigzag, 1 alternate vertical, 2 alternate horizontal, other raster.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsInter_H263_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s modQuantFlag, Kvn32s scan);
/**
 * Writes one H.261 intra block (Table 5): the 8-bit INTRADC of entry 0 (128
 * as 1111 1111), the AC codes (escape 0000 01, RUN, 8-bit LEVEL), then the
 * end-of-block code 10.
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded including the DC, 1..64.
 * @param scan -1 raster, other zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsIntra_H261_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s scan);
/**
 * Writes one H.261 inter block (Table 5; a first level +-1 at position 0 is
 * 1s), then the end-of-block code 10.
 * @param pCoeffs 64 levels, raster order.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param countNonZero Levels coded, 1..64.
 * @param scan -1 raster, other zigzag.
 * @return KVN_STS_NULL_PTR, KVN_STS_BIT_OFFSET_ERR, KVN_STS_OUT_OF_RANGE for
 *         the argument checks (group order); else KVN_STS_OK.
 */
KvnResult kvniEncodeCoeffsInter_H261_16s1u(const Kvn16s* pCoeffs, Kvn8u** ppBitStream, Kvn32s* pBitOffset,
                                           Kvn32s countNonZero, Kvn32s scan);
/**
 * Writes the 8-bit H.263 INTRADC: 128 as 1111 1111, other values their low 8
 * bits; the byte pointer advances one byte.
 * @param qDC INTRADC level.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; unchanged.
 * @return KVN_STS_NULL_PTR if ppBitStream, pBitOffset or *ppBitStream is
 *         null; KVN_STS_BIT_OFFSET_ERR if the offset is outside 0..7; else KVN_STS_OK.
 */
KvnResult kvniEncodeDCIntra_H263_16s1u(Kvn16s qDC, Kvn8u** ppBitStream, Kvn32s* pBitOffset);
/**
 * Writes an MPEG-4 intra DC difference: dct_dc_size (Table B-14 when
 * blockType is 1, else B-13), dct_dc_differential, a marker bit above size 8.
 * @param dcCoeff DC difference, |dcCoeff| at most 4095.
 * @param[in,out] ppBitStream Current byte; advanced.
 * @param[in,out] pBitOffset Bits used in the current byte, 0..7; advanced.
 * @param blockType 1 chrominance, other luminance.
 * @return KVN_STS_NULL_PTR if ppBitStream, pBitOffset or *ppBitStream is
 *         null; KVN_STS_BIT_OFFSET_ERR if the offset is outside 0..7;
 *         KVN_STS_OUT_OF_RANGE if |dcCoeff| is above 4095; else KVN_STS_OK.
 */
KvnResult kvniEncodeDCIntra_MPEG4_16s1u(Kvn16s dcCoeff, Kvn8u** ppBitStream, Kvn32s* pBitOffset, Kvn32s blockType);

/** @} */

/* ------------------------------------------------------------------------ */
/* H.263 edge filters                                                       */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup mpeg4_filter H.263 edge filters
 * @ingroup mpeg4
 * @brief H.263 deblocking (Annex J) and block boundary (Annex Q) filters of one edge, in place.
 *
 * The pointer designates the first sample after the edge (the row below a
 * horizontal edge, the column right of a vertical one); for each position
 * along the edge A, B are the two samples before the edge (A farther) and C,
 * D the two after it; every position is computed from its unfiltered
 * samples. Steps are in bytes; any row step is accepted.
 * @{
 */

/**
 * Annex J deblocking of an 8-sample horizontal edge with the strength S of
 * QUANT: d = (A - 4B + 4C - D) / 8, d1 = d ramped down from |d| = S to 0 at
 * 2S, B += d1, C -= d1, d2 = (A - D) / 4 limited to +-(|d1| >> 1), A -= d2,
 * D += d2, clamped to 0..255.
 * @param[in,out] pSrcDst First sample of the row below the edge.
 * @param srcDstStep Row step in bytes.
 * @param QP QUANT, 1..31.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_QP_ERR if QP is
 *         outside 1..31; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP);
/**
 * Annex J deblocking of an 8-sample vertical edge, as kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR().
 * @param[in,out] pSrcDst First sample of the column right of the edge.
 * @param srcDstStep Row step in bytes.
 * @param QP QUANT, 1..31.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_QP_ERR if QP is
 *         outside 1..31; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep, Kvn32s QP);
/**
 * The Annex J filter without the strength limit (d1 = d) on a 16-sample horizontal edge.
 * @param[in,out] pSrcDst First sample of the row below the edge.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
/**
 * The Annex J filter without the strength limit (d1 = d) on a 16-sample vertical edge.
 * @param[in,out] pSrcDst First sample of the column right of the edge.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
/**
 * Block boundary filter (Annex Q) of a 16-sample horizontal edge:
 * B' = (3B + C + 2) >> 2, C' = (B + 3C + 2) >> 2.
 * @param[in,out] pSrcDst First sample of the row below the edge.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);
/**
 * Block boundary filter (Annex Q) of a 16-sample vertical edge:
 * B' = (3B + C + 2) >> 2, C' = (B + 3C + 2) >> 2.
 * @param[in,out] pSrcDst First sample of the column right of the edge.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR(Kvn8u* pSrcDst, Kvn32s srcDstStep);

/** @} */

/* ------------------------------------------------------------------------ */
/* AVS coefficient decoding and inter reconstruction                        */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup avs AVS coefficient decoding and inter reconstruction
 * @brief AVS video (GB/T 20090.2): 8x8 coefficient blocks read with the
 * context-adaptive 2-D VLC, and inter macroblocks reconstructed from them.
 *
 * The decoders read through a word bit position (see
 * kvniDecodeCAVLCCoeffs_H264_1u16s()): 32-bit words in machine byte order,
 * the bit index naming the next bit of the current word (31: its most
 * significant bit); the caller keeps one readable word after the last word of
 * data. A block is a list of (run, level) codes, Exp-Golomb coded with the
 * current table's order (escapes: a second code of the escape order), read
 * until end of block, until a run would carry the position past 63, or until
 * 65 codes; the table switches up as the largest magnitude grows. The levels
 * are placed in reverse order of reading (the last one read is the first in
 * scan order) at the raster positions of the zigzag or the field scan, the
 * other coefficients cleared.
 *
 * Code errors (KVN_STS_VLC_CODE_ERR): an Exp-Golomb prefix of more than
 * 31 - k zeros for order k (the code number would not fit 32 bits), or an
 * escape level outside -32768..32767. Nothing is written then and the bit
 * position is left as it was.
 *
 * The reconstruction functions dequantise each coded block,
 * c' = int16((c * scale(QP) + 2^(shift(QP) - 1)) >> shift(QP)) with the AVS
 * dequantisation table, inverse-transform it with the AVS 8x8 matrix (rows
 * first, (x + 4) >> 3, then columns, (x + 64) >> 7, both saturated to 16
 * bits), add it to the prediction in the picture and clamp to 0..255. Blocks
 * follow the bits of the coded block pattern; the coefficient buffer holds 64
 * values for each coded block, in that order. A block's coefficient count
 * only chooses a faster path (1: the DC alone, 2..10: the top-left 4x4
 * corner, other values the whole block); results are the same on every path
 * while the count is not below the true one. Any row step is taken as it is,
 * rows handled in increasing order.
 * @{
 */

/**
 * Decodes one intra luma 8x8 block (seven tables, Exp-Golomb order 2, escape
 * order 1).
 * @param[in,out] ppBitStream Current word pointer; advanced.
 * @param[in,out] pBitOffset Next bit in the current word, 0..31; advanced.
 * @param[out] pNumCoeff Scan positions covered: one more than the highest
 *        one holding a coefficient (0 for an empty block); 63 with the field scan.
 * @param[out] pDstCoeffs 64 coefficients, raster order.
 * @param scanType 0 zigzag, any other value the field scan.
 * @return KVN_STS_NULL_PTR if a pointer or *ppBitStream is null;
 *         KVN_STS_BAD_ARG if *pBitOffset is above 31; KVN_STS_VLC_CODE_ERR
 *         for a code error (nothing written, position unchanged); else KVN_STS_OK.
 */
KvnResult kvniDecodeLumaBlockIntra_AVS_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff,
                                             Kvn16s* pDstCoeffs, Kvn32s scanType);
/**
 * Decodes one inter luma 8x8 block (seven tables, Exp-Golomb order 3 in the
 * first table, 2 in the others, escape order 0).
 * @copydetails kvniDecodeLumaBlockIntra_AVS_1u16s
 */
KvnResult kvniDecodeLumaBlockInter_AVS_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff,
                                             Kvn16s* pDstCoeffs, Kvn32s scanType);
/**
 * Decodes one chroma 8x8 block (five tables, Exp-Golomb orders 2, 0, 1, 1, 0,
 * escape order 0).
 * @copydetails kvniDecodeLumaBlockIntra_AVS_1u16s
 */
KvnResult kvniDecodeChromaBlock_AVS_1u16s(Kvn32u** ppBitStream, Kvn32u* pBitOffset, Kvn32u* pNumCoeff,
                                          Kvn16s* pDstCoeffs, Kvn32s scanType);
/**
 * Reconstructs the coded 8x8 blocks of an inter luma macroblock.
 * @param[in,out] ppSrcCoeff Coefficient buffer; advanced by 64 values per coded block.
 * @param[in,out] pSrcDst Top-left sample of the macroblock, holding the prediction.
 * @param srcDstStep Row step in bytes.
 * @param pNumCoeff Coefficient counts of the four blocks, by bit.
 * @param cbp Coded block pattern: bit 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
 * @param QP 0..63.
 * @return KVN_STS_NULL_PTR if a pointer or *ppSrcCoeff is null;
 *         KVN_STS_OUT_OF_RANGE if QP is outside 0..63; else KVN_STS_OK.
 */
KvnResult kvniReconstructLumaInter_AVS_16s8u_C1R(Kvn16s** ppSrcCoeff, Kvn8u* pSrcDst, Kvn32s srcDstStep,
                                                 const Kvn32u* pNumCoeff, Kvn8u cbp, Kvn32s QP);
/**
 * Reconstructs the coded 8x8 chroma blocks of an inter macroblock.
 * @param[in,out] ppSrcCoeff Coefficient buffer; advanced by 64 values per coded block.
 * @param[in,out] pSrcDstU Top-left Cb sample, holding the prediction.
 * @param[in,out] pSrcDstV Top-left Cr sample, holding the prediction.
 * @param srcDstStep Row step in bytes of both planes.
 * @param pNumCoeff Coefficient counts of the four blocks, by bit.
 * @param cbp Coded block pattern: bit 0 Cb, 1 Cr, 2 Cb eight rows lower, 3 Cr eight rows lower.
 * @param chromaQP 0..51.
 * @return KVN_STS_NULL_PTR if a pointer or *ppSrcCoeff is null;
 *         KVN_STS_OUT_OF_RANGE if chromaQP is outside 0..51; else KVN_STS_OK.
 */
KvnResult kvniReconstructChromaInter_AVS_16s8u_C1R(Kvn16s** ppSrcCoeff, Kvn8u* pSrcDstU, Kvn8u* pSrcDstV,
                                                   Kvn32s srcDstStep, const Kvn32u* pNumCoeff, Kvn8u cbp,
                                                   Kvn32s chromaQP);

/** @} */

/* ------------------------------------------------------------------------ */
/* VC-1 transforms and quantisation                                         */
/* ------------------------------------------------------------------------ */

/** @defgroup vc1 VC-1 */

/**
 * @defgroup vc1_transform Transforms and quantisation
 * @ingroup vc1
 * @brief VC-1 forward and inverse transforms (SMPTE 421M 8.1.2.1), quantisers and inverse quantisers.
 *
 * Blocks are signed 16-bit values, rows at a step in bytes (any value; the
 * calls check pointers, not steps), named width x height: 8x4 is eight
 * columns and four rows. In a coefficient block the row is the vertical and
 * the column the horizontal frequency. In-place forms are the out-of-place
 * operation with source equal to destination. Checks: null pointers
 * (KVN_STS_NULL_PTR), then a forward quantiser's double quantiser outside
 * 2..62 (KVN_STS_OUT_OF_RANGE), then an inter region side other than 4 or 8
 * (KVN_STS_SIZE_ERR); nothing is written on failure. The double quantiser Q is
 * 2 MQUANT + HALFQP.
 * @{
 */
/**
 * Forward transform of a 4x4 residual block (4-point rows, then 4-point columns; scale 2^-30): each stage's output k is
 * the dot product of basis row k with the input, accumulated in 32 bits
 * (wrapping), rounded, shifted right and saturated to 16 bits. The inverse of
 * kvniTransform4x4Inv_VC1_16s_C1R().
 * @param pSrc 4x4 residuals.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 4x4 coefficients.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x4Fwd_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep);
/**
 * Forward 4x4 transform in place, as kvniTransform4x4Fwd_VC1_16s_C1R().
 * @param[in,out] pSrcDst 4x4 residuals in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x4Fwd_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep);
/**
 * Forward transform of a 4x8 residual block (4-point rows, then 8-point columns; scale 2^-31): each stage's output k is
 * the dot product of basis row k with the input, accumulated in 32 bits
 * (wrapping), rounded, shifted right and saturated to 16 bits. The inverse of
 * kvniTransform4x8Inv_VC1_16s_C1R().
 * @param pSrc 4x8 residuals.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 4x8 coefficients.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x8Fwd_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep);
/**
 * Forward 4x8 transform in place, as kvniTransform4x8Fwd_VC1_16s_C1R().
 * @param[in,out] pSrcDst 4x8 residuals in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x8Fwd_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep);
/**
 * Forward transform of a 8x4 residual block (8-point rows, then 4-point columns; scale 2^-31): each stage's output k is
 * the dot product of basis row k with the input, accumulated in 32 bits
 * (wrapping), rounded, shifted right and saturated to 16 bits. The inverse of
 * kvniTransform8x4Inv_VC1_16s_C1R().
 * @param pSrc 8x4 residuals.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x4 coefficients.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x4Fwd_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep);
/**
 * Forward 8x4 transform in place, as kvniTransform8x4Fwd_VC1_16s_C1R().
 * @param[in,out] pSrcDst 8x4 residuals in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x4Fwd_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep);
/**
 * Forward transform of a 8x8 residual block (8-point rows, then 8-point columns; scale 2^-32): each stage's output k is
 * the dot product of basis row k with the input, accumulated in 32 bits
 * (wrapping), rounded, shifted right and saturated to 16 bits. The inverse of
 * kvniTransform8x8Inv_VC1_16s_C1R().
 * @param pSrc 8x8 residuals.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x8 coefficients.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x8Fwd_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep);
/**
 * Forward 8x8 transform in place, as kvniTransform8x8Fwd_VC1_16s_C1R().
 * @param[in,out] pSrcDst 8x8 residuals in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x8Fwd_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep);
/**
 * Inverse 4x4 transform (SMPTE 421M 8.1.2.1): each row, (sum + 4) >> 3, then
 * each column, (sum + 64) >> 7,
 * saturating to 16 bits after each stage. Coefficients outside the region
 * are taken as zero and not read; a sparse region costs less.
 * @param pSrc 4x4 coefficients.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 4x4 residuals.
 * @param dstStep Destination row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients (as the
 *        inverse quantisers report it); each side is taken within 1..4 (width)
 *        and 1..4 (height).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x4Inv_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                          KvnSize srcSizeNZ);
/**
 * Inverse 4x4 transform in place, as kvniTransform4x4Inv_VC1_16s_C1R().
 * @param[in,out] pSrcDst 4x4 coefficients in, residuals out.
 * @param srcDstStep Row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x4Inv_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, KvnSize srcSizeNZ);
/**
 * Inverse 4x8 transform (SMPTE 421M 8.1.2.1): each row, (sum + 4) >> 3, then
 * each column, (sum + 64) >> 7, (sum + 65) >> 7 for the lower four rows,
 * saturating to 16 bits after each stage. Coefficients outside the region
 * are taken as zero and not read; a sparse region costs less.
 * @param pSrc 4x8 coefficients.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 4x8 residuals.
 * @param dstStep Destination row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients (as the
 *        inverse quantisers report it); each side is taken within 1..4 (width)
 *        and 1..8 (height).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x8Inv_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                          KvnSize srcSizeNZ);
/**
 * Inverse 4x8 transform in place, as kvniTransform4x8Inv_VC1_16s_C1R().
 * @param[in,out] pSrcDst 4x8 coefficients in, residuals out.
 * @param srcDstStep Row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform4x8Inv_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, KvnSize srcSizeNZ);
/**
 * Inverse 8x4 transform (SMPTE 421M 8.1.2.1): each row, (sum + 4) >> 3, then
 * each column, (sum + 64) >> 7,
 * saturating to 16 bits after each stage. Coefficients outside the region
 * are taken as zero and not read; a sparse region costs less.
 * @param pSrc 8x4 coefficients.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x4 residuals.
 * @param dstStep Destination row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients (as the
 *        inverse quantisers report it); each side is taken within 1..8 (width)
 *        and 1..4 (height).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x4Inv_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                          KvnSize srcSizeNZ);
/**
 * Inverse 8x4 transform in place, as kvniTransform8x4Inv_VC1_16s_C1R().
 * @param[in,out] pSrcDst 8x4 coefficients in, residuals out.
 * @param srcDstStep Row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x4Inv_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, KvnSize srcSizeNZ);
/**
 * Inverse 8x8 transform (SMPTE 421M 8.1.2.1): each row, (sum + 4) >> 3, then
 * each column, (sum + 64) >> 7, (sum + 65) >> 7 for the lower four rows,
 * saturating to 16 bits after each stage. Coefficients outside the region
 * are taken as zero and not read; a sparse region costs less.
 * @param pSrc 8x8 coefficients.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x8 residuals.
 * @param dstStep Destination row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients (as the
 *        inverse quantisers report it); each side is taken within 1..8 (width)
 *        and 1..8 (height).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x8Inv_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                          KvnSize srcSizeNZ);
/**
 * Inverse 8x8 transform in place, as kvniTransform8x8Inv_VC1_16s_C1R().
 * @param[in,out] pSrcDst 8x8 coefficients in, residuals out.
 * @param srcDstStep Row step in bytes.
 * @param srcSizeNZ Top-left region holding the nonzero coefficients.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniTransform8x8Inv_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, KvnSize srcSizeNZ);
/**
 * Intra uniform quantiser in place: level = trunc(c / Q), truncating towards zero, at
 * every position of the 8x8 block except (0,0), which is left as it is.
 * @param[in,out] pSrcDst 8x8 coefficients in, levels out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q, 2..62.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if
 *         doubleQuant is outside 2..62; else KVN_STS_OK.
 */
KvnResult kvniQuantIntraUniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant);
/**
 * Inter uniform quantiser in place: level = trunc(c / Q), truncating towards zero, at
 * every position of the top-left region (DC included); nothing else is touched.
 * @param[in,out] pSrcDst Coefficients in, levels out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q, 2..62.
 * @param roiSize Region to quantise, each side 4 or 8.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if
 *         doubleQuant is outside 2..62; KVN_STS_SIZE_ERR if a side of roiSize
 *         is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInterUniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant, KvnSize roiSize);
/**
 * Intra nonuniform quantiser in place: level = trunc((c - sign(c) (Q >> 1)) / Q), the difference taken in 16 bits,
 * truncating towards zero, at every position of the 8x8 block except (0,0), which is left as it is.
 * @param[in,out] pSrcDst 8x8 coefficients in, levels out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q, 2..62.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if
 *         doubleQuant is outside 2..62; else KVN_STS_OK.
 */
KvnResult kvniQuantIntraNonuniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant);
/**
 * Inter nonuniform quantiser in place: level = trunc((c - sign(c) (Q >> 1)) / Q), the difference taken in 16 bits,
 * truncating towards zero, at every position of the top-left region (DC included); nothing else is touched.
 * @param[in,out] pSrcDst Coefficients in, levels out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q, 2..62.
 * @param roiSize Region to quantise, each side 4 or 8.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; KVN_STS_OUT_OF_RANGE if
 *         doubleQuant is outside 2..62; KVN_STS_SIZE_ERR if a side of roiSize
 *         is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInterNonuniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant,
                                                KvnSize roiSize);
/**
 * Intra uniform inverse quantiser in place: value = level Q, modulo 2^16, at
 * every position of the 8x8 block except (0,0), which keeps its value. Then
 * the nonzero region: width 1 + the last column, height 1 + the last row
 * holding a nonzero value, (0,0) included; 0 x 0 for an all-zero block.
 * @param[in,out] pSrcDst 8x8 levels in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraUniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant,
                                                KvnSize* pDstSizeNZ);
/**
 * Intra uniform inverse quantiser, as kvniQuantInvIntraUniform_VC1_16s_C1IR();
 * (0,0) is copied from source to destination.
 * @param pSrc 8x8 levels.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x8 coefficients.
 * @param dstStep Destination row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraUniform_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                               int32_t doubleQuant, KvnSize* pDstSizeNZ);
/**
 * Inter uniform inverse quantiser in place: value = level Q, modulo 2^16, at
 * every position of the top-left region (DC included); then the nonzero
 * region of the result, as kvniQuantInvIntraUniform_VC1_16s_C1IR().
 * @param[in,out] pSrcDst Levels in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param roiSize Region to dequantise, each side 4 or 8.
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if a side of
 *         roiSize is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInterUniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant,
                                                KvnSize roiSize, KvnSize* pDstSizeNZ);
/**
 * Inter uniform inverse quantiser, as kvniQuantInvInterUniform_VC1_16s_C1IR();
 * the destination outside the region is not written.
 * @param pSrc Levels.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst Coefficients.
 * @param dstStep Destination row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param roiSize Region to dequantise, each side 4 or 8.
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if a side of
 *         roiSize is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInterUniform_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                               int32_t doubleQuant, KvnSize roiSize, KvnSize* pDstSizeNZ);
/**
 * Intra nonuniform inverse quantiser in place: value = level Q + sign(level) (Q >> 1), modulo 2^16, at
 * every position of the 8x8 block except (0,0), which keeps its value. Then
 * the nonzero region: width 1 + the last column, height 1 + the last row
 * holding a nonzero value, (0,0) included; 0 x 0 for an all-zero block.
 * @param[in,out] pSrcDst 8x8 levels in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraNonuniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant,
                                                   KvnSize* pDstSizeNZ);
/**
 * Intra nonuniform inverse quantiser, as kvniQuantInvIntraNonuniform_VC1_16s_C1IR();
 * (0,0) is copied from source to destination.
 * @param pSrc 8x8 levels.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst 8x8 coefficients.
 * @param dstStep Destination row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInvIntraNonuniform_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                                  int32_t doubleQuant, KvnSize* pDstSizeNZ);
/**
 * Inter nonuniform inverse quantiser in place: value = level Q + sign(level) (Q >> 1), modulo 2^16, at
 * every position of the top-left region (DC included); then the nonzero
 * region of the result, as kvniQuantInvIntraNonuniform_VC1_16s_C1IR().
 * @param[in,out] pSrcDst Levels in, coefficients out.
 * @param srcDstStep Row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param roiSize Region to dequantise, each side 4 or 8.
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if a side of
 *         roiSize is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInterNonuniform_VC1_16s_C1IR(Kvn16s* pSrcDst, int32_t srcDstStep, int32_t doubleQuant,
                                                   KvnSize roiSize, KvnSize* pDstSizeNZ);
/**
 * Inter nonuniform inverse quantiser, as kvniQuantInvInterNonuniform_VC1_16s_C1IR();
 * the destination outside the region is not written.
 * @param pSrc Levels.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst Coefficients.
 * @param dstStep Destination row step in bytes.
 * @param doubleQuant Double quantiser Q (any value).
 * @param roiSize Region to dequantise, each side 4 or 8.
 * @param[out] pDstSizeNZ Receives the nonzero region.
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if a side of
 *         roiSize is not 4 or 8; else KVN_STS_OK.
 */
KvnResult kvniQuantInvInterNonuniform_VC1_16s_C1R(const Kvn16s* pSrc, int32_t srcStep, Kvn16s* pDst, int32_t dstStep,
                                                  int32_t doubleQuant, KvnSize roiSize, KvnSize* pDstSizeNZ);
/** @} */

/* ------------------------------------------------------------------------ */
/* VC-1 interpolation and range mapping; pre- and post-processing           */
/* ------------------------------------------------------------------------ */

/** @defgroup vpp Pre- and post-processing */

/**
 * @defgroup vc1_inter Quarter-sample interpolation and range mapping
 * @ingroup vc1
 * @brief Bicubic and bilinear motion-compensated prediction (SMPTE 421M
 * 8.3.6.5) and the range reduction mapping (SMPTE 421M 8.1.1.3).
 *
 * - The caller resolves the motion vector into the reference sample at its
 *   integer part (pSrc) and the quarter-sample fraction (dx, dy); no picture
 *   edge is handled: every sample the filter reads must exist. A bicubic
 *   fraction reads one column left and two right (dx != 0), one row above and
 *   two below (dy != 0); a bilinear fraction one more column (dx != 0, one
 *   more Cb/Cr pair for interleaved chroma) and one more row (dy != 0).
 * - The fractions are taken modulo 4 (dx & 3, dy & 3). All three filters
 *   use the lowest bit of the rounding control.
 * - Sizes: bicubic 8x8, 16x8 and 16x16; bilinear one channel 16x16, 8x8, 8x4
 *   and 4x4; bilinear two channels 8x8, 8x4 and 4x4 (width in Cb/Cr pairs).
 *   Any other size gives KVN_STS_SIZE_ERR and nothing is written.
 * @{
 */

/** Arguments of the VC-1 interpolation functions. */
typedef struct KvnInterpolationRecordVC1 {
  const Kvn8u* pSrc;    /**< Reference sample at the integer part of the motion vector. */
  int32_t srcStep;      /**< Reference row step in bytes. */
  Kvn8u* pDst;          /**< Prediction block. */
  int32_t dstStep;      /**< Destination row step in bytes. */
  int32_t dx;           /**< Horizontal fraction in quarter samples, 0..3 (used modulo 4). */
  int32_t dy;           /**< Vertical fraction in quarter samples, 0..3 (used modulo 4). */
  int32_t blockWidth;   /**< Block width in samples (of one channel for interleaved chroma). */
  int32_t blockHeight;  /**< Block height in rows. */
  int32_t roundControl; /**< Rounding control r, 0 or 1 (lowest bit used). */
} KvnInterpolationRecordVC1;

/**
 * Bicubic interpolation of an 8x8, 16x8 or 16x16 block. Taps by quarter
 * fraction: 1/4 (-4, 53, 18, -3), 1/2 (-1, 9, 9, -1), 3/4 (-3, 18, 53, -4).
 * One direction: vertical (sum + 2^(n-1) - 1 + r) >> n, horizontal
 * (sum + 2^(n-1) - r) >> n, n = 6 (quarter) or 4 (half); both directions:
 * vertical first with shift s = n(dy) + n(dx) - 7 and rounding
 * 2^(s-1) - 1 + r, then horizontal (sum + 64 - r) >> 7; clamped to 0..255.
 * @param pParams Source, destination, steps, fractions, size and rounding control.
 * @return KVN_STS_NULL_PTR if pParams, its pSrc or pDst is null;
 *         KVN_STS_SIZE_ERR if the size is not 8x8, 16x8 or 16x16; else KVN_STS_OK.
 */
KvnResult kvniInterpolateQPBicubic_VC1_8u_C1R(const KvnInterpolationRecordVC1* pParams);
/**
 * Bilinear interpolation of one channel:
 * ((4-dx)(4-dy) a + dx (4-dy) b + (4-dx) dy c + dx dy d + 8 - r) >> 4 with a,
 * b, c, d at (x, y), (x+1, y), (x, y+1), (x+1, y+1).
 * @param pParams Source, destination, steps, fractions, size (16x16, 8x8,
 *        8x4 or 4x4) and rounding control (lowest bit).
 * @return KVN_STS_NULL_PTR if pParams, its pSrc or pDst is null;
 *         KVN_STS_SIZE_ERR for another size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateQPBilinear_VC1_8u_C1R(const KvnInterpolationRecordVC1* pParams);
/**
 * Bilinear interpolation of interleaved Cb/Cr, each channel as in
 * kvniInterpolateQPBilinear_VC1_8u_C1R(); the horizontal neighbour of a
 * sample is two bytes on.
 * @param pParams Source, destination, steps, fractions, size in pairs (8x8,
 *        8x4 or 4x4) and rounding control (lowest bit).
 * @return KVN_STS_NULL_PTR if pParams, its pSrc or pDst is null;
 *         KVN_STS_SIZE_ERR for another size; else KVN_STS_OK.
 */
KvnResult kvniInterpolateQPBilinear_VC1_8u_C2R(const KvnInterpolationRecordVC1* pParams);
/**
 * Range mapping of a reduced-range picture: every sample y becomes
 * clamp((((y - 128) (R + 9) + 4) >> 3) + 128) to 0..255. pDst may equal pSrc.
 * @param pSrc Source region.
 * @param srcStep Source row step in bytes.
 * @param[out] pDst Destination region.
 * @param dstStep Destination row step in bytes.
 * @param roiSize Region size; a width or height below 1 writes nothing.
 * @param rangeMapParam R, 0..7.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_OUT_OF_RANGE if
 *         R is above 7; else KVN_STS_OK.
 */
KvnResult kvniRangeMapping_VC1_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep, KvnSize roiSize,
                                      Kvn32u rangeMapParam);

/** @} */

/**
 * @defgroup vpp_deinterlace Edge-directed deinterlacing
 * @ingroup vpp
 * @brief The missing field of an interlaced picture from the present one.
 * @{
 */

/**
 * Builds the missing field by edge-directed line averaging. Each interpolated
 * row takes its first and last sample from the source row of the same index;
 * every other sample x is the rounded average of the upper line a and the
 * lower line b along the direction of least difference: d1 = |a[x-1] -
 * b[x+1]|, d2 = |a[x+1] - b[x-1]|, d3 = |a[x] - b[x]|; if d1 < d2 the
 * diagonal (a[x-1], b[x+1]) when d1 < d3, else if d2 < d3 the diagonal
 * (a[x+1], b[x-1]), else the vertical (a[x], b[x]).
 * @param pSrc Present field, one row per field line.
 * @param srcStep Source row step in bytes (twice the frame step for a field of a frame).
 * @param[out] pDst Missing field, same size.
 * @param dstStep Destination row step in bytes.
 * @param size Width and height of both fields.
 * @param fieldNum 0: missing row k lies between source rows k - 1 and k; any
 *        other value: between source rows k and k + 1.
 * @param bCopyBorder Nonzero: the row with a source row on one side only
 *        (row 0 for field 0, row height - 1 otherwise) is copied from the
 *        source row of the same index; zero: it is interpolated too, from
 *        source row -1 (field 0) or row height (otherwise), which the caller provides.
 * @return KVN_STS_NULL_PTR if pSrc or pDst is null; KVN_STS_SIZE_ERR if the
 *         width or height is below 1; else KVN_STS_OK.
 */
KvnResult kvniDeinterlaceEdgeDetect_8u_C1R(const Kvn8u* pSrc, int32_t srcStep, Kvn8u* pDst, int32_t dstStep,
                                           KvnSize size, int32_t fieldNum, int32_t bCopyBorder);

/** @} */

/**
 * @defgroup vpp_cc422 4:2:2 to 4:2:0 conversion with rotation
 * @ingroup vpp
 * @brief Interleaved (Cb, Y0, Cr, Y1) or planar 4:2:2 to planar 4:2:0, turned
 * by a quarter or half turn in the same pass.
 *
 * The largest even part W' x H' of the W x H region is converted: luma is
 * moved to its rotated position, and each chroma sample of 4:2:0 is
 * (C(2i, c) + C(2i + 1, c) + 1) >> 1 of the two source rows, moved by the
 * same rotation of the W'/2 x H'/2 chroma picture. Rotation: 0 none; 1 a
 * quarter turn counter-clockwise (luma (r, x) to (W' - 1 - x, r)); 2 a
 * quarter turn clockwise ((x, H' - 1 - r)); 3 a half turn
 * ((H' - 1 - r, W' - 1 - x)). Quarter turns make the destination H' wide and
 * W' high. Checks in order: null pointers (KVN_STS_NULL_PTR), W or H below 2
 * (KVN_STS_SIZE_ERR), a rotation outside 0..3 (KVN_STS_BAD_ARG); nothing is
 * written on failure. An odd W or H returns KVN_STS_WRN_ODD_SIZE.
 * @{
 */

/** Pointers to the three planes of a picture. */
typedef struct KvnPlaneRecord8u {
  Kvn8u* pY;  /**< Luma plane. */
  Kvn8u* pCb; /**< Cb plane. */
  Kvn8u* pCr; /**< Cr plane. */
} KvnPlaneRecord8u;

/**
 * Interleaved 4:2:2 (Cb, Y0, Cr, Y1 per two samples) to planar 4:2:0 with rotation.
 * @param pSrc Source picture, W/2 groups of four bytes a row.
 * @param srcStep Source row step in bytes.
 * @param srcSize Luma width W and height H, at least 2 each.
 * @param pDst Destination planes (Y, Cb, Cr).
 * @param dstStep Destination row steps in bytes: Y, Cb, Cr.
 * @param rotation 0, 1, 2 or 3 (see above).
 * @return KVN_STS_NULL_PTR if pSrc, pDst, a plane pointer or dstStep is null;
 *         KVN_STS_SIZE_ERR if W or H is below 2; KVN_STS_BAD_ARG if rotation
 *         is outside 0..3; KVN_STS_WRN_ODD_SIZE if W or H is odd; else KVN_STS_OK.
 */
KvnResult kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(const Kvn8u* pSrc, int32_t srcStep, KvnSize srcSize,
                                                 const KvnPlaneRecord8u* pDst, const Kvn32u dstStep[3],
                                                 int32_t rotation);
/**
 * Planar 4:2:2 (chroma planes W/2 wide, H high) to planar 4:2:0 with rotation.
 * @param pSrc Source planes (Y, Cb, Cr), only read.
 * @param srcStep Source row steps in bytes: Y, Cb, Cr.
 * @param srcSize Luma width W and height H, at least 2 each.
 * @param pDst Destination planes (Y, Cb, Cr).
 * @param dstStep Destination row steps in bytes: Y, Cb, Cr.
 * @param rotation 0, 1, 2 or 3 (see above).
 * @return KVN_STS_NULL_PTR if a record, a plane pointer or a step array is
 *         null; KVN_STS_SIZE_ERR if W or H is below 2; KVN_STS_BAD_ARG if
 *         rotation is outside 0..3; KVN_STS_WRN_ODD_SIZE if W or H is odd;
 *         else KVN_STS_OK.
 */
KvnResult kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(const KvnPlaneRecord8u* pSrc, const Kvn32u srcStep[3], KvnSize srcSize,
                                               const KvnPlaneRecord8u* pDst, const Kvn32u dstStep[3], int32_t rotation);

/** @} */

/* ------------------------------------------------------------------------ */
/* DV segment decoding and dequantisation                                   */
/* ------------------------------------------------------------------------ */

/** @defgroup dv DV */

/**
 * @defgroup dv_segment Segment decoding and dequantisation
 * @ingroup dv
 * @brief DV (IEC 61834-2, SMPTE 314M) and DV100 (SMPTE 370M) video segments
 * into coefficient blocks, with the three-pass bit redistribution, and the
 * dequantisers of a block.
 *
 * **Segment**: five compressed macroblocks of 80 bytes, 400 bytes in all. In
 * each, byte 3 holds the QNO in its low four bits, and the block areas are
 * at bytes 4, 18, 32, 46 (14 bytes) and 60, 70 (10 bytes) in the DV layout,
 * at bytes 4, 14, 24, 34, 44, 54 (10 bytes) and 64, 72 (8 bytes) in the DV100
 * layout. An area holds the 9-bit DC, the DCT mode bit (1: 2-4-8), two class
 * bits, then the AC codes. The decoders fetch the data in 64-bit groups and
 * may read up to 16 bytes past the segment (this version reads at most 8):
 * keep 16 readable bytes after it.
 *
 * **Output**: 64 Kvn16s values per block in raster order, block k at element
 * 64 k, blocks in macroblock and area order. Position 0 receives DC x 128
 * (the DC in the top nine bits); each AC coefficient is written at the raster
 * position of its scan index (zigzag in mode 0, the 2-4-8 scan in mode 1,
 * rows 0..3 the sum field) as +-amplitude x 64. No other position is written:
 * clear the blocks before the call. Each block's parameter word: bit 0 set
 * when its end-of-block code was decoded; bits 4..5 class; bit 6 mode; bits
 * 8..15 the scan positions consumed (the scan index of its last coefficient);
 * bits 16..19 the QNO; other bits 0.
 *
 * **Bit redistribution**: every block first decodes from its own area. Then,
 * within each macroblock, the unfinished blocks in area order continue from
 * the bits left after the end-of-block codes of the finished ones, in area
 * order; then the blocks still unfinished, in segment order, continue from
 * the bits left in all finished blocks of the segment, in segment order. A
 * code may continue from the end of a block's area or of one block's spare
 * bits into the next bits used. A block that the whole segment cannot finish
 * keeps bit 0 clear, its position count telling how far it got.
 *
 * **Corrupt data**: a code that would carry the scan index past 63 stops its
 * block; nothing is written for it, bit 0 stays 0, the position count reads
 * 64, and the block gives no spare bits to others. The decoders always
 * return KVN_STS_OK once the pointers pass.
 * @{
 */

/**
 * Decodes one DV segment into 30 blocks.
 * @param pStream The 400-byte segment (16 more bytes readable).
 * @param pScanTables Not read (the decoder has the scans built in); may be null.
 * @param pHuffTable Not read (the decoder has the code built in); may be null.
 * @param[out] pBlocks 30 x 64 coefficients, cleared by the caller.
 * @param[out] pBlockParams 30 parameter words.
 * @return KVN_STS_NULL_PTR if pStream, pBlocks or pBlockParams is null
 *         (nothing written); else KVN_STS_OK.
 */
KvnResult kvniHuffmanDecodeSegment_DV_8u16s(const Kvn8u* pStream, const Kvn32u* pScanTables,
                                            const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks, Kvn32u* pBlockParams);
/**
 * Decodes one DV segment into 30 blocks from the blocks' own areas only
 * (no redistribution), each block stopping as soon as its scan index reaches
 * nLimit, for reduced-resolution output: limit 0 keeps the DC alone, limit 1
 * the DC and at most one AC code; 64 and above set no limit. A block stopped
 * by the limit keeps bit 0 clear.
 * @param pStream The 400-byte segment (16 more bytes readable).
 * @param pScanTables Not read; may be null.
 * @param pHuffTable Not read; may be null.
 * @param[out] pBlocks 30 x 64 coefficients, cleared by the caller.
 * @param[out] pBlockParams 30 parameter words.
 * @param nLimit Scan positions decoded per block.
 * @return KVN_STS_NULL_PTR if pStream, pBlocks or pBlockParams is null
 *         (nothing written); else KVN_STS_OK.
 */
KvnResult kvniHuffmanDecodeSegmentOnePass_DV_8u16s(const Kvn8u* pStream, const Kvn32u* pScanTables,
                                                   const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks,
                                                   Kvn32u* pBlockParams, Kvn8u nLimit);
/**
 * Decodes one DV100 segment into 40 blocks. DV100 has the 8-8 DCT only:
 * every block takes the zigzag scan, whatever its mode bit (which marks a
 * field macroblock there and is reported in bit 6 as it stands).
 * @param pStream The 400-byte segment (16 more bytes readable).
 * @param pScanTables Not read; may be null.
 * @param pHuffTable Not read; may be null.
 * @param[out] pBlocks 40 x 64 coefficients, cleared by the caller.
 * @param[out] pBlockParams 40 parameter words.
 * @return KVN_STS_NULL_PTR if pStream, pBlocks or pBlockParams is null
 *         (nothing written); else KVN_STS_OK.
 */
KvnResult kvniHuffmanDecodeSegment_DV100_8u16s(const Kvn8u* pStream, const Kvn32u* pScanTables,
                                               const KvnHuffmanTable* pHuffTable, Kvn16s* pBlocks,
                                               Kvn32u* pBlockParams);

/**
 * Builds a two-part DV lookup table from two source tables. A source is
 * Kvn32s words: [0] b, the lookup bits (0..16); [1] and [2] not read; from
 * [3] on, for each code length L = 1 .. b in turn, a count n (0..2^L)
 * followed by n triples (code, run, level), run the low byte of its word.
 * The table holds 2^b1 four-byte entries, then 2^b2: byte 0 the code length
 * (255 where no code reaches; L + 4 in the second part), byte 1 the run,
 * bytes 2..3 level x 64 (unsigned 16-bit, little-endian). A code of length L
 * fills the 2^(b - L) entries from index (code << (b - L)) masked to b bits;
 * a later code overwrites an earlier one.
 * @param pSrcTable1 First source table.
 * @param pSrcTable2 Second source table.
 * @param[out] ppHuffTable Receives the table (null when memory is short); to
 *             be released with kvniFreeHuffmanTable_DV_32u().
 * @return KVN_STS_NULL_PTR if a pointer is null; KVN_STS_SIZE_ERR if a b is
 *         outside 0..16; KVN_STS_VLC_CODE_ERR if a count is outside 0..2^L
 *         (in these cases nothing is written); KVN_STS_MEM_ALLOC if memory is
 *         short (*ppHuffTable is set to null); else KVN_STS_OK.
 */
KvnResult kvniInitAllocHuffmanTable_DV_32u(const Kvn32s* pSrcTable1, const Kvn32s* pSrcTable2,
                                           KvnHuffmanTable** ppHuffTable);
/**
 * Releases a table built by kvniInitAllocHuffmanTable_DV_32u() (the body of
 * kvniHuffmanTableFree_32s()).
 * @param pHuffTable The table.
 * @return KVN_STS_NULL_PTR if pHuffTable is null; else KVN_STS_OK.
 */
KvnResult kvniFreeHuffmanTable_DV_32u(KvnHuffmanTable* pHuffTable);

/**
 * Dequantises a block in place: v = ((v x t) >> 16) << 2 at each position,
 * the product in 32 bits, the shift arithmetic, the result truncated to 16
 * bits.
 * @param[in,out] pSrcDst 64 coefficients, raster order.
 * @param pDequantTable 64 factors, raster order.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantInv_DV_16s_C1I(Kvn16s* pSrcDst, const Kvn16s* pDequantTable);
/**
 * Dequantises and weights a block in place: v = (s x w) >> 16 at each
 * position, s = (v >> 3) x q taken modulo 2^16 as a signed 16-bit value,
 * the shifts arithmetic.
 * @param[in,out] pSrcDst 64 coefficients, raster order.
 * @param pDequantTable 64 factors q, raster order.
 * @param pWeightInvTable 64 inverse weights w, raster order.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniQuantWeightBlockInv_DV_16s_C1I(Kvn16s* pSrcDst, const Kvn16u* pDequantTable,
                                             const Kvn16s* pWeightInvTable);

/** @} */

/* ------------------------------------------------------------------------ */
/* DV 2-4-8 DCT and DV100 weighting                                         */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup dv_transform DV 2-4-8 DCT and DV100 weighting
 * @ingroup dv
 * @brief The 2-4-8 DCT of IEC 61834 in both directions and the DV100
 * dequantisation with weighting of one block, in place.
 *
 * These three functions are defined by this library as follows.
 *
 * A 2-4-8 block covers 8 frame lines of two fields. Its 64 coefficients are
 * in raster order, 8r + h: rows r = 0..3 hold the transform of the sum field
 * (line 2z plus line 2z + 1), rows 4..7 that of the difference field (line 2z
 * minus line 2z + 1), as the DV 2-4-8 scan places them; h is the horizontal
 * frequency. The forward transform is
 * C(u, h) = c4(u) c8(h) / sqrt2 * sum over z = 0..3, x = 0..7 of
 * (P(2z, x) +- P(2z + 1, x)) cos(u (2z + 1) pi / 8) cos(h (2x + 1) pi / 16),
 * with c8(0) = 1 / (2 sqrt2), c8(h) = 1/2, c4(0) = 1/2 and c4(u) = 1 / sqrt2:
 * an orthonormal transform, scaled like the library's 8x8 inverse DCTs (a
 * flat block of value p has C(0, 0) = 8p). Both directions are computed as
 * two integer passes with 16-bit constants (the matrix entries x 32768
 * rounded) and 32-bit sums: the first pass keeps 4 fraction bits
 * ((sum + 1024) >> 11), the second rounds to integers ((sum + 2^18) >> 19);
 * both saturate to 16 bits. The inverse transforms the rows first, the
 * forward transform the columns first. For coefficients of 8-bit pictures
 * the integer inverse stays within 1 of the exact transform.
 * @{
 */

/**
 * Inverse 2-4-8 DCT of one block, in place: 64 coefficients in, 64 samples
 * (8 frame lines, field lines alternating) out, rounded, saturated to 16 bits,
 * not clamped to a sample range.
 * @param[in,out] pSrcDst 64 signed 16-bit values, raster order.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniDCT2x4x8Inv_16s_C1I(Kvn16s* pSrcDst);
/**
 * Forward 2-4-8 DCT of one block, in place: 64 samples (8 frame lines) in,
 * 64 coefficients out (rows 0..3 sum field, 4..7 difference field).
 * @param[in,out] pSrcDst 64 signed 16-bit values, raster order.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniDCT2x4x8Frw_16s_C1I(Kvn16s* pSrcDst);
/**
 * DV100 dequantisation with weighting of one block, in place, in raster
 * order: each value v (as the DV100 segment decoder writes it: AC amplitude
 * x 64, DC x 128) becomes ((v >> 3) x D[i] x W[i] + 32768) >> 16, saturated
 * to 16 bits, where (v >> 3) x D[i] is exact in 32 bits and the product with
 * W[i] in 64 bits; the result is rounded to nearest, unlike
 * kvniQuantWeightBlockInv_DV_16s_C1I(), whose 16-bit intermediate product
 * would overflow with the larger DV100 quantiser steps. With D the quantiser
 * step of each coefficient and W = 8192 / weight, an AC amplitude a gives
 * a x D / weight.
 * @param[in,out] pSrcDst 64 signed 16-bit values, raster order.
 * @param pDeqTable 64 unsigned 16-bit dequantisation factors, raster order.
 * @param pWeightInvTable 64 signed 16-bit inverse weights, raster order.
 * @return KVN_STS_NULL_PTR if any pointer is null (nothing written); else
 *         KVN_STS_OK.
 */
KvnResult kvniQuantWeightBlockInv_DV100_16s_C1I(Kvn16s* pSrcDst, const Kvn16u* pDeqTable,
                                                const Kvn16s* pWeightInvTable);

/** @} */

/* ------------------------------------------------------------------------ */
/* VC-1: overlap smoothing and in-loop deblocking                           */
/* ------------------------------------------------------------------------ */

/**
 * @defgroup vc1_filter Overlap smoothing and loop filter
 * @ingroup vc1
 * @brief The two VC-1 edge filters of a decoder (SMPTE 421M 8.5, 8.6), one macroblock edge per call: 16 samples
 * long for luma, 8 for chroma. The caller chooses the edges and their order (vertical edges before horizontal ones).
 *
 * **Overlap smoothing** works on the reconstructed intra samples as signed
 * 16-bit values and writes the final 8-bit samples. Across the edge, x0, x1
 * are the last two samples before it and x2, x3 the first two after it:
 * - y0 = (7 x0 + x3 + r) >> 3
 * - y1 = (-x0 + 7 x1 + x2 + x3 + (7 - r)) >> 3
 * - y2 = (x0 + x1 + 7 x2 - x3 + r) >> 3
 * - y3 = (x0 + 7 x3 + (7 - r)) >> 3
 *
 * in 16-bit arithmetic that saturates at every step: 7x is clamped to
 * -32768..32767 and the terms are added or subtracted one at a time from left
 * to right, each partial result clamped (-x0 is 0 - x0, clamped); >> is
 * arithmetic. r is 4 on the first row (column) of the edge, 3 on the second,
 * and so on alternately. The destination receives y0..y3 clamped to 0..255;
 * the vertical-edge functions also store y0..y3 unclamped back into the
 * 16-bit sources, for the horizontal smoothing that follows. The smoothing
 * flags switch parts of an edge ON: a nonzero masked value means filtered.
 *
 * **Loop filter**, per line across the edge with P1..P4 before it (P4 next to
 * the edge) and P5..P8 after it: a0 = (2 (P3 - P6) - 5 (P4 - P5) + 4) >> 3;
 * a1, a2 the same over P1..P4 and P5..P8; a3 = min(|a1|, |a2|);
 * d = 5 (sign(a0) a3 - a0) / 8 and clip = (P4 - P5) / 2, both toward zero.
 * A line's conditions are |a0| < pquant, a3 < |a0| and clip != 0. Lines go
 * in segments of four; a line is filtered when its own conditions and those
 * of the third line of its segment hold and d and clip do not have opposite
 * signs: d is limited to clip in magnitude, P4 -= d, P5 += d. The loop-filter
 * flags switch segments OFF: a set bit means not filtered, and the samples of
 * a segment switched off are not written.
 *
 * Every function checks its pointers only (KVN_STS_NULL_PTR, nothing
 * written); steps are in bytes, any value.
 * @{
 */

/**
 * Overlap smoothing of a 16-row vertical luma edge.
 *
 * fieldNeighbourMode gives the row order of the two 16-bit sources by its two
 * low bits (the other bits are ignored). 0: destination row i pairs with
 * row i of both sources, r = 4 on the even rows and 3 on the odd ones.
 * 1: the right source holds one field in rows 0..7 and the other in rows
 * 8..15: destination row 2k pairs with left row 2k and right row k (r = 4),
 * row 2k + 1 with left row 2k + 1 and right row 8 + k (r = 3). 2: the same
 * with the left source in field order (left rows k and 8 + k, right rows 2k
 * and 2k + 1). 3: both sources in field order (rows k of both to destination
 * row 2k with r = 4, rows 8 + k to row 2k + 1 with r = 3).
 *
 * edgeDisableFlags: 0 does nothing at all. With mode 0, (flags & 3) nonzero
 * filters destination rows 0..7 and (flags & 12) nonzero rows 8..15; with
 * modes 1..3 any nonzero value filters all sixteen rows.
 * @param[in,out] pSrcLeft Left block at its column 6 (x0, x1); receives y0, y1.
 * @param srcLeftStep Row step of the left block in bytes.
 * @param[in,out] pSrcRight Right block at its column 0 (x2, x3); receives y2, y3.
 * @param srcRightStep Row step of the right block in bytes.
 * @param[out] pDst First destination sample right of the edge; columns -2..1 are written.
 * @param dstStep Destination row step in bytes.
 * @param fieldNeighbourMode Row order of the sources, 0..3 (two low bits).
 * @param edgeDisableFlags Which rows to filter (see above).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(Kvn16s* pSrcLeft, Kvn32s srcLeftStep, Kvn16s* pSrcRight,
                                                  Kvn32s srcRightStep, Kvn8u* pDst, Kvn32s dstStep,
                                                  Kvn32s fieldNeighbourMode, Kvn32u edgeDisableFlags);
/**
 * Overlap smoothing of a 16-column horizontal luma edge: (flags & 3) nonzero
 * filters columns 0..7, (flags & 12) nonzero columns 8..15; r = 4 on the even
 * columns, 3 on the odd ones. The sources are only read.
 * @param pSrcUpper Upper block at its row 6 (x0, x1: rows 6 and 7), 16 samples a row.
 * @param srcUpperStep Row step of the upper block in bytes.
 * @param pSrcLower Lower block at its row 0 (x2, x3: rows 0 and 1).
 * @param srcLowerStep Row step of the lower block in bytes.
 * @param[out] pDst First destination row below the edge; rows -2..1 are written.
 * @param dstStep Destination row step in bytes.
 * @param edgeDisableFlags Which columns to filter (see above).
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(const Kvn16s* pSrcUpper, Kvn32s srcUpperStep, const Kvn16s* pSrcLower,
                                                  Kvn32s srcLowerStep, Kvn8u* pDst, Kvn32s dstStep,
                                                  Kvn8u edgeDisableFlags);
/**
 * Overlap smoothing of an 8-row vertical chroma edge, always filtered; r = 4
 * on the even rows, 3 on the odd ones; y0..y3 also go back to the sources.
 * @param[in,out] pSrcLeft Left block at its column 6.
 * @param srcLeftStep Row step of the left block in bytes.
 * @param[in,out] pSrcRight Right block at its column 0.
 * @param srcRightStep Row step of the right block in bytes.
 * @param[out] pDst First destination sample right of the edge; columns -2..1 are written.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R(Kvn16s* pSrcLeft, Kvn32s srcLeftStep, Kvn16s* pSrcRight,
                                                    Kvn32s srcRightStep, Kvn8u* pDst, Kvn32s dstStep);
/**
 * Overlap smoothing of an 8-column horizontal chroma edge, always filtered;
 * r = 4 on the even columns, 3 on the odd ones.
 * @param pSrcUpper Upper block at its row 6.
 * @param srcUpperStep Row step of the upper block in bytes.
 * @param pSrcLower Lower block at its row 0.
 * @param srcLowerStep Row step of the lower block in bytes.
 * @param[out] pDst First destination row below the edge; rows -2..1 are written.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R(const Kvn16s* pSrcUpper, Kvn32s srcUpperStep,
                                                    const Kvn16s* pSrcLower, Kvn32s srcLowerStep, Kvn8u* pDst,
                                                    Kvn32s dstStep);
/**
 * Overlap smoothing of the 8-row vertical edges of both chroma planes into
 * an interleaved destination (Cb in the even bytes, Cr in the odd ones);
 * both planes take r = 4 on the even rows and 3 on the odd ones, and get
 * y0..y3 back into their sources.
 * @param[in,out] pSrcLeftCb Left Cb block at its column 6.
 * @param srcLeftCbStep Its row step in bytes.
 * @param[in,out] pSrcRightCb Right Cb block at its column 0.
 * @param srcRightCbStep Its row step in bytes.
 * @param[in,out] pSrcLeftCr Left Cr block at its column 6.
 * @param srcLeftCrStep Its row step in bytes.
 * @param[in,out] pSrcRightCr Right Cr block at its column 0.
 * @param srcRightCrStep Its row step in bytes.
 * @param[out] pDst First (Cb, Cr) pair right of the edge; pairs -2..1 are written.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R(Kvn16s* pSrcLeftCb, Kvn32s srcLeftCbStep, Kvn16s* pSrcRightCb,
                                                      Kvn32s srcRightCbStep, Kvn16s* pSrcLeftCr, Kvn32s srcLeftCrStep,
                                                      Kvn16s* pSrcRightCr, Kvn32s srcRightCrStep, Kvn8u* pDst,
                                                      Kvn32s dstStep);
/**
 * Overlap smoothing of the 8-column horizontal edges of both chroma planes
 * into an interleaved destination (Cb in the even bytes, Cr in the odd ones);
 * both planes take r = 4 on the even columns and 3 on the odd ones.
 * @param pSrcUpperCb Upper Cb block at its row 6.
 * @param srcUpperCbStep Its row step in bytes.
 * @param pSrcLowerCb Lower Cb block at its row 0.
 * @param srcLowerCbStep Its row step in bytes.
 * @param pSrcUpperCr Upper Cr block at its row 6.
 * @param srcUpperCrStep Its row step in bytes.
 * @param pSrcLowerCr Lower Cr block at its row 0.
 * @param srcLowerCrStep Its row step in bytes.
 * @param[out] pDst First interleaved destination row below the edge; rows -2..1 (16 bytes each) are written.
 * @param dstStep Destination row step in bytes.
 * @return KVN_STS_NULL_PTR if a pointer is null; else KVN_STS_OK.
 */
KvnResult kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(const Kvn16s* pSrcUpperCb, Kvn32s srcUpperCbStep,
                                                      const Kvn16s* pSrcLowerCb, Kvn32s srcLowerCbStep,
                                                      const Kvn16s* pSrcUpperCr, Kvn32s srcUpperCrStep,
                                                      const Kvn16s* pSrcLowerCr, Kvn32s srcLowerCrStep, Kvn8u* pDst,
                                                      Kvn32s dstStep);

/**
 * Loop filter of a 16-row vertical luma edge: bit s of edgeDisableFlags
 * (s = 0..3) switches rows 4s..4s+3 off; pquant 0 changes nothing.
 * @param[in,out] pSrcDst First sample right of the edge (P5 of row 0); columns -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlags Segments switched off.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                       Kvn32u edgeDisableFlags);
/**
 * Loop filter of a 16-column horizontal luma edge: bit s of edgeDisableFlags
 * (s = 0..3) switches columns 4s..4s+3 off; pquant 0 changes nothing.
 * @param[in,out] pSrcDst First sample below the edge (P5 of column 0); rows -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlags Segments switched off.
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                       Kvn32u edgeDisableFlags);
/**
 * Loop filter of an 8-row vertical chroma edge: flag bit 1 switches rows
 * 0..3 off, bit 2 rows 4..7; the other bits are not looked at.
 * @param[in,out] pSrcDst First sample right of the edge; columns -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlags Segments switched off (bits 1 and 2).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                         Kvn32u edgeDisableFlags);
/**
 * Loop filter of an 8-column horizontal chroma edge: flag bit 1 switches
 * columns 0..3 off, bit 2 columns 4..7; the other bits are not looked at.
 * @param[in,out] pSrcDst First sample below the edge; rows -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlags Segments switched off (bits 1 and 2).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                         Kvn32u edgeDisableFlags);
/**
 * Loop filter of the 8-row vertical edges of interleaved chroma (Cb, Cr byte
 * pairs): each plane's flag word as in kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR().
 * @param[in,out] pSrcDst First pair right of the edge; pairs -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlagsCb Segments of the Cb plane switched off (bits 1 and 2).
 * @param edgeDisableFlagsCr Segments of the Cr plane switched off (bits 1 and 2).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                         Kvn32u edgeDisableFlagsCb, Kvn32u edgeDisableFlagsCr);
/**
 * Loop filter of the 8-pair horizontal edges of interleaved chroma (Cb, Cr
 * byte pairs): each plane's flag word as in kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR().
 * @param[in,out] pSrcDst First pair below the edge (16 bytes a row); rows -4..3 are read, -1 and 0 written.
 * @param pquant Picture quantiser PQUANT (compared as unsigned).
 * @param srcDstStep Row step in bytes.
 * @param edgeDisableFlagsCb Segments of the Cb plane switched off (bits 1 and 2).
 * @param edgeDisableFlagsCr Segments of the Cr plane switched off (bits 1 and 2).
 * @return KVN_STS_NULL_PTR if pSrcDst is null; else KVN_STS_OK.
 */
KvnResult kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(Kvn8u* pSrcDst, Kvn32u pquant, Kvn32s srcDstStep,
                                                         Kvn32u edgeDisableFlagsCb, Kvn32u edgeDisableFlagsCr);

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* KVNVC_H */
