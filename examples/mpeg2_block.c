/*
 * One MPEG-2 intra block through the library, encoder and decoder side:
 *
 *   forward DCT -> quantisation -> VLC writing (kvniPutIntraBlock)
 *   VLC reading with inverse quantisation (kvniReconstructDCTBlockIntra_MPEG2_32s)
 *   -> inverse DCT
 *
 * and, on the encoder side, the encoder's own reconstruction through the
 * inverse quantiser, which must give the decoder's coefficients exactly.
 *
 * The VLC functions take their codes from tables that the caller describes
 * in a source format (include/kvnvc.h: stages, then the codes of each length)
 * and the library builds. To stay short, this example describes a reduced
 * ISO/IEC 13818-2 Table B-14: the 15 shortest (run, level) codes, end of
 * block and escape; every other (run, level) goes out through the escape
 * (6-bit run, 12-bit level), which costs more bits, and the decoder built
 * from the same table reads it back. A real codec lists the whole table.
 */
#include <kvnvc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { QUANT_SCALE = 4 };              /* quantiser_scale (code 2, linear scale) */
enum { DC_PRECISION = 0 };             /* intra_dc_precision 0: 8-bit DC, step 8 */
enum { EOB_CODE = 2, EOB_LENGTH = 2 }; /* end of block "10" */

/* Zig-zag scan (ISO/IEC 13818-2 Figure 7-2): raster index by scan position. */
static const Kvn32s kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                   12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                   35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                   58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
/* The default intra quantiser matrix (raster order). */
static const Kvn16u kIntraMatrix[64] = {8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37,
                                        19, 22, 26, 27, 29, 34, 34, 38, 22, 22, 26, 27, 29, 34, 37, 40,
                                        22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32, 35, 40, 48, 58,
                                        26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83};

/* Table B-14, reduced: code without its sign bit, length, run, level. The
 * runs listed must each have all levels 1 .. m (the encoding table's rule). */
static const struct {
  Kvn32s code, length, run, level;
} kB14[] = {
    {0x3, 2, 0, 1}, /* 11   (in intra blocks; a non-intra block's first coefficient uses 1s) */
    {0x3, 3, 1, 1}, /* 011 */
    {0x4, 4, 0, 2}, /* 0100 */
    {0x5, 4, 2, 1}, /* 0101 */
    {0x5, 5, 0, 3}, /* 0010 1 */
    {0x7, 5, 3, 1}, /* 0011 1 */
    {0x6, 5, 4, 1}, /* 0011 0 */
    {0x6, 6, 1, 2}, /* 0001 10 */
    {0x7, 6, 5, 1}, /* 0001 11 */
    {0x5, 6, 6, 1}, /* 0001 01 */
    {0x4, 6, 7, 1}, /* 0001 00 */
    {0x6, 7, 0, 4}, /* 0000 110 */
    {0x4, 7, 2, 2}, /* 0000 100 */
    {0x7, 7, 8, 1}, /* 0000 111 */
    {0x5, 7, 9, 1}, /* 0000 101 */
};
/* dct_dc_size_luminance (Table B-12): code and length by size 0..11. */
static const Kvn32s kDcSizeLuma[12][2] = {{0x4, 3},  {0x0, 2},  {0x1, 2},  {0x5, 3},  {0x6, 3},   {0xe, 4},
                                          {0x1e, 5}, {0x3e, 6}, {0x7e, 7}, {0xfe, 8}, {0x1fe, 9}, {0x1ff, 9}};

/* The run-level source table: one lookup stage of 8 bits (the longest code
 * with its sign), then by code length 1..8 the count and the entries (code,
 * run, level), levels of both signs (sign bit 1: negative); run 254 is the
 * end of block and 255 the escape. */
static int rl_source(Kvn32s* t) {
  int n = 0, len, i;
  t[n++] = 0;
  t[n++] = 1; /* stages */
  t[n++] = 8; /* bits of stage 1 */
  for (len = 1; len <= 8; ++len) {
    const int at = n++;
    t[at] = 0;
    for (i = 0; i < (int)(sizeof kB14 / sizeof kB14[0]); ++i)
      if (kB14[i].length + 1 == len) {
        t[n++] = kB14[i].code << 1, t[n++] = kB14[i].run, t[n++] = kB14[i].level;
        t[n++] = kB14[i].code << 1 | 1, t[n++] = kB14[i].run, t[n++] = -kB14[i].level;
        t[at] += 2;
      }
    if (len == EOB_LENGTH) t[n++] = EOB_CODE, t[n++] = 254, t[n++] = 0, ++t[at];
    if (len == 6) t[n++] = 1, t[n++] = 255, t[n++] = 0, ++t[at]; /* escape 0000 01 */
  }
  t[n++] = -1;
  return n;
}

/* The dct_dc_size source table: one stage of 9 bits, entries (code, size). */
static void dc_source(Kvn32s* t) {
  int n = 0, len, s;
  t[n++] = 0;
  t[n++] = 1;
  t[n++] = 9;
  for (len = 1; len <= 9; ++len) {
    const int at = n++;
    t[at] = 0;
    for (s = 0; s < 12; ++s)
      if (kDcSizeLuma[s][1] == len) t[n++] = kDcSizeLuma[s][0], t[n++] = s, ++t[at];
  }
  t[n++] = -1;
}

/* Element 8i + j of the transposed block is element 8j + i of the natural
 * one: the inverse DCT takes the transposed order. */
static int transpose(int k) { return (k & 7) * 8 + (k >> 3); }

int main(void) {
  Kvn8u source[64], pair[8 * 16], recon[64];
  Kvn16s coef[64], other[64], levels[64], encRec[64], decRec[64], idctIn[64];
  Kvn32s rlSrc[128], dcSrc[64], dcWriter[24], transposedScan[64];
  Kvn16s transposedMatrix[64];
  Kvn32u stream[64] = {0}; /* must be zero where the writer puts bits */
  KvnRLEncodeTable* rlEncode = NULL;
  KvnHuffmanTable *rlDecode = NULL, *dcDecode = NULL;
  Kvn32s count = 0, last = 0, bitCount = 32, bitOffset = 31;
  Kvn32s encPred = 128, written; /* DC predictors reset to 128 (8-bit precision) */
  Kvn16s decPred = 128;
  Kvn32u *out = stream, *in = stream;
  int k, err, sumErr = 0, maxErr = 0, match, ok;

  /* A textured 8x8 block. */
  for (k = 0; k < 64; ++k) source[k] = (Kvn8u)(90 + 7 * (k & 7) + 3 * (k >> 3) + (k * 37 % 11) * 4);

  /* Tables: the writer's and the reader's from the same description. */
  rl_source(rlSrc);
  dc_source(dcSrc);
  for (k = 0; k < 12; ++k) dcWriter[2 * k] = kDcSizeLuma[k][0], dcWriter[2 * k + 1] = kDcSizeLuma[k][1];
  if (kvniCreateRLEncodeTable(rlSrc, &rlEncode) != KVN_STS_OK ||
      kvniHuffmanRunLevelTableInitAlloc_32s(rlSrc, &rlDecode) != KVN_STS_OK ||
      kvniHuffmanTableInitAlloc_32s(dcSrc, &dcDecode) != KVN_STS_OK)
    return 1;

  /* 1. Forward DCT. It transforms two blocks at once, interleaved byte by
   * byte (the Cb and Cr of a 4:2:0 macroblock); here the second is a copy. */
  for (k = 0; k < 64; ++k) pair[(k >> 3) * 16 + 2 * (k & 7)] = pair[(k >> 3) * 16 + 2 * (k & 7) + 1] = source[k];
  kvniDCT8x8Fwd_8u16s_C2P2(pair, 16, coef, other);

  /* 2. Quantisation: the AC levels with the default intra matrix (null
   * pointer), count = their nonzero number; the DC level is the caller's,
   * coefficient 0 (8 x the mean) in steps of 8. */
  memcpy(levels, coef, sizeof levels);
  kvniQuantIntra_MPEG2_16s_C1I(levels, QUANT_SCALE, NULL, &count);
  levels[0] = (Kvn16s)((coef[0] + 4) / 8);

  /* 3. VLC: dct_dc_differential from the predictor, then the run-level codes
   * along the scan and the end of block. The position is a word pointer and
   * the bits still free in that word. */
  if (kvniPutIntraBlock(&out, &bitCount, levels, &encPred, dcWriter, rlEncode, kZigzag, EOB_LENGTH, EOB_CODE, count) !=
      KVN_STS_OK)
    return 1;
  written = (Kvn32s)(out - stream) * 32 + (32 - bitCount);

  /* 4. The encoder's reconstruction: DC << (3 - intra_dc_precision), inverse
   * quantisation of the AC levels (with mismatch control). */
  memcpy(encRec, levels, sizeof encRec);
  encRec[0] = (Kvn16s)(levels[0] << (3 - DC_PRECISION));
  kvniQuantInvIntra_MPEG2_16s_C1I(encRec, QUANT_SCALE, kIntraMatrix);

  /* 5. Decoding and inverse quantisation in one call. It stores coefficient
   * n at pScan[n] with weight pQuantMatrix[pScan[n]]: with a transposed scan
   * and matrix, its output is already in the inverse DCT's order. */
  for (k = 0; k < 64; ++k) {
    transposedScan[k] = transpose(kZigzag[k]);
    transposedMatrix[transpose(k)] = (Kvn16s)kIntraMatrix[k];
  }
  if (kvniReconstructDCTBlockIntra_MPEG2_32s(&in, &bitOffset, dcDecode, rlDecode, transposedScan, QUANT_SCALE,
                                             transposedMatrix, &decPred, 3 - DC_PRECISION, decRec, &last) != KVN_STS_OK)
    return 1;
  match = (in - stream) * 32 + (31 - bitOffset) == written && decPred == levels[0];
  for (k = 0; k < 64; ++k) match = match && decRec[transpose(k)] == encRec[k];

  /* 6. Inverse DCT (count 63: the full transform) straight to 8-bit samples. */
  memcpy(idctIn, decRec, sizeof idctIn);
  kvniDCT8x8Inv_AANTransposed_16s8u_C1R(idctIn, recon, 8, 63);
  for (k = 0; k < 64; ++k) {
    err = abs(recon[k] - source[k]);
    sumErr += err;
    if (err > maxErr) maxErr = err;
  }
  /* The quantiser steps are W * Q / 16 = 2 .. 20 here: small errors. */
  ok = match && maxErr <= 12 && sumErr <= 3 * 64;

  printf("mpeg2_block: %d AC levels in %d bits, decoded coefficients %s, error max %d, sum %d: %s\n", count, written,
         match ? "match" : "differ", maxErr, sumErr, ok ? "ok" : "FAILED");
  kvniHuffmanTableFree_32s(rlEncode);
  kvniHuffmanTableFree_32s(rlDecode);
  kvniHuffmanTableFree_32s(dcDecode);
  return ok ? 0 : 1;
}
