/*
 * H.264 intra 4x4 round trip of one luma block:
 *
 *   encoder: intra prediction (best of the 9 modes by SAD), residual, forward
 *            transform and quantisation, CAVLC analysis of the levels, and
 *            the bits written by our own small CAVLC writer;
 *   decoder: CAVLC decoding of the bits back into levels, then inverse
 *            quantisation, inverse transform and the prediction added.
 *
 * The library does the arithmetic and the decoding; the caller owns the bit
 * writer and the VLC code tables. The tables are written here as in H.264
 * Tables 9-5 (the nC 0..1 column of coeff_token only: this block has no
 * coded neighbours), 9-7/9-8 (total_zeros) and 9-10 (run_before), and turned
 * into the library's lookup-table format (one level, indexed by as many bits
 * as the longest code; a real decoder uses smaller multi-level tables).
 *
 * Checks that the decoded levels equal the encoded ones and that the
 * reconstruction is close to the source.
 */
#include <kvnvc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { QP = 22 };

/* Zig-zag scan of a 4x4 frame block (H.264 8.5.6): raster position by scan
 * index (the CAVLC functions), and scan index by raster position (the
 * forward quantiser's pScanMatrix, which reports the last scan index). */
static const Kvn32s kZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
static const Kvn16s kZigzagInv[16] = {0, 1, 5, 6, 2, 4, 7, 12, 3, 8, 11, 13, 9, 10, 14, 15};

/* ---- H.264 CAVLC code tables (first bit first; spaces for reading only) -- */

/* Table 9-5, 0 <= nC < 2: coeff_token by [TotalCoeff][TrailingOnes]. */
static const char* const kCoeffToken[17][4] = {
    {"1"},
    {"0001 01", "01"},
    {"0000 0111", "0001 00", "001"},
    {"0000 0011 1", "0000 0110", "0000 101", "0001 1"},
    {"0000 0001 11", "0000 0011 0", "0000 0101", "0000 11"},
    {"0000 0000 111", "0000 0001 10", "0000 0010 1", "0000 100"},
    {"0000 0000 0111 1", "0000 0000 110", "0000 0001 01", "0000 0100"},
    {"0000 0000 0101 1", "0000 0000 0111 0", "0000 0000 101", "0000 0010 0"},
    {"0000 0000 0100 0", "0000 0000 0101 0", "0000 0000 0110 1", "0000 0001 00"},
    {"0000 0000 0011 11", "0000 0000 0011 10", "0000 0000 0100 1", "0000 0000 100"},
    {"0000 0000 0010 11", "0000 0000 0010 10", "0000 0000 0011 01", "0000 0000 0110 0"},
    {"0000 0000 0001 111", "0000 0000 0001 110", "0000 0000 0010 01", "0000 0000 0011 00"},
    {"0000 0000 0001 011", "0000 0000 0001 010", "0000 0000 0001 101", "0000 0000 0010 00"},
    {"0000 0000 0000 1111", "0000 0000 0000 001", "0000 0000 0001 001", "0000 0000 0001 100"},
    {"0000 0000 0000 1011", "0000 0000 0000 1110", "0000 0000 0000 1101", "0000 0000 0001 000"},
    {"0000 0000 0000 0111", "0000 0000 0000 1010", "0000 0000 0000 1001", "0000 0000 0000 1100"},
    {"0000 0000 0000 0100", "0000 0000 0000 0110", "0000 0000 0000 0101", "0000 0000 0000 1000"},
};
/* Tables 9-7 and 9-8: total_zeros by [TotalCoeff - 1][total_zeros]. */
static const char* const kTotalZeros[15][16] = {
    {"1", "011", "010", "0011", "0010", "0001 1", "0001 0", "0000 11", "0000 10", "0000 011", "0000 010", "0000 0011",
     "0000 0010", "0000 0001 1", "0000 0001 0", "0000 0000 1"},
    {"111", "110", "101", "100", "011", "0101", "0100", "0011", "0010", "0001 1", "0001 0", "0000 11", "0000 10",
     "0000 01", "0000 00"},
    {"0101", "111", "110", "101", "0100", "0011", "100", "011", "0010", "0001 1", "0001 0", "0000 01", "0000 1",
     "0000 00"},
    {"0001 1", "111", "0101", "0100", "110", "101", "100", "0011", "011", "0010", "0001 0", "0000 1", "0000 0"},
    {"0101", "0100", "0011", "111", "110", "101", "100", "011", "0010", "0000 1", "0001", "0000 0"},
    {"0000 01", "0000 1", "111", "110", "101", "100", "011", "010", "0001", "001", "0000 00"},
    {"0000 01", "0000 1", "101", "100", "011", "11", "010", "0001", "001", "0000 00"},
    {"0000 01", "0001", "0000 1", "011", "11", "10", "010", "001", "0000 00"},
    {"0000 01", "0000 00", "0001", "11", "10", "001", "01", "0000 1"},
    {"0000 1", "0000 0", "001", "11", "10", "01", "0001"},
    {"0000", "0001", "001", "010", "1", "011"},
    {"0000", "0001", "01", "1", "001"},
    {"000", "001", "1", "01"},
    {"00", "01", "1"},
    {"0", "1"},
};
/* Table 9-10: run_before by [min(zerosLeft, 7) - 1][run_before]. */
static const char* const kRunBefore[7][15] = {
    {"1", "0"},
    {"1", "01", "00"},
    {"11", "10", "01", "00"},
    {"11", "10", "01", "001", "000"},
    {"11", "10", "011", "010", "001", "000"},
    {"11", "000", "001", "011", "010", "101", "100"},
    {"111", "110", "101", "100", "011", "010", "001", "0001", "0000 1", "0000 01", "0000 001", "0000 0001",
     "0000 0000 1", "0000 0000 01", "0000 0000 001"},
};

/* Length and value of a code written as text. */
static int parse_code(const char* s, Kvn32u* bits) {
  int len = 0;
  for (*bits = 0; *s; ++s)
    if (*s != ' ') *bits = *bits << 1 | (Kvn32u)(*s == '1'), ++len;
  return len;
}

/* ---- the library's lookup tables ------------------------------------------ */

/* Word 0: the bits the (only) level reads, b; then 2^b entries. A leaf is
 * value << 8 | the bits read beyond its code (given back); 0xF0F1 << 8
 * marks bit patterns that begin no code. */
enum { kTokenBits = 16, kZerosBits = 9, kRunBits = 11 };
static Kvn32s tokenTable[1 + (1 << kTokenBits)];
static Kvn32s zerosTables[15][1 + (1 << kZerosBits)];
static Kvn32s runTables[7][1 + (1 << kRunBits)];

static void table_init(Kvn32s* t, int b) {
  int i;
  t[0] = b;
  for (i = 1; i <= 1 << b; ++i) t[i] = 0xF0F1 << 8;
}

static void table_add(Kvn32s* t, const char* code, int value) {
  Kvn32u bits;
  const int len = parse_code(code, &bits), b = t[0];
  Kvn32u rest;
  if (len == 0) return; /* no such code */
  for (rest = 0; rest < 1u << (b - len); ++rest) t[1 + (bits << (b - len) | rest)] = value << 8 | (b - len);
}

static void build_tables(void) {
  int tc, t1, z, r;
  table_init(tokenTable, kTokenBits);
  for (tc = 0; tc <= 16; ++tc) /* value: TotalCoeff << 8 | TrailingOnes */
    for (t1 = 0; t1 < 4; ++t1)
      if (kCoeffToken[tc][t1]) table_add(tokenTable, kCoeffToken[tc][t1], tc << 8 | t1);
  for (tc = 1; tc <= 15; ++tc) {
    table_init(zerosTables[tc - 1], kZerosBits);
    for (z = 0; z < 16; ++z)
      if (kTotalZeros[tc - 1][z]) table_add(zerosTables[tc - 1], kTotalZeros[tc - 1][z], z);
  }
  for (z = 1; z <= 7; ++z) {
    table_init(runTables[z - 1], kRunBits);
    for (r = 0; r < 15; ++r)
      if (kRunBefore[z - 1][r]) table_add(runTables[z - 1], kRunBefore[z - 1][r], r);
  }
}

/* ---- a bit writer producing what the readers take ------------------------ */

/* 32-bit words in machine byte order, the first bit in bit 31 of word 0. */
typedef struct {
  Kvn32u words[64];
  int count; /* bits written */
} BitWriter;

static void put_bits(BitWriter* w, Kvn32u bits, int n) {
  while (n-- > 0) {
    if ((bits >> n) & 1) w->words[w->count / 32] |= 1u << (31 - w->count % 32);
    ++w->count;
  }
}

static void put_code(BitWriter* w, const char* code) {
  Kvn32u bits;
  const int len = parse_code(code, &bits);
  put_bits(w, bits, len);
}

/* One 4x4 block, nC 0..1, from the values the CAVLC analysis returns
 * (H.264 7.3.5.3.2 and 9.2, the coding side). Returns 0 on success, -1 for
 * a level this short writer does not code (level_prefix above 15, which
 * 8-bit video never needs). */
static int write_block(BitWriter* w, int trailingOnes, int signs, int totalCoeff, int totalZeros, const Kvn16s* levels,
                       const Kvn8u* runs) {
  int i, suffixLength, zerosLeft;
  put_code(w, kCoeffToken[totalCoeff][trailingOnes]);
  if (totalCoeff == 0) return 0;
  put_bits(w, (Kvn32u)signs, trailingOnes); /* trailing_ones_sign_flag, 1 = negative */

  /* level_prefix / level_suffix (9.2.2.1 inverted). */
  suffixLength = totalCoeff > 10 && trailingOnes < 3 ? 1 : 0;
  for (i = 0; i < totalCoeff - trailingOnes; ++i) {
    const int level = levels[i], mag = abs(level);
    int code = level > 0 ? 2 * level - 2 : -2 * level - 1; /* levelCode */
    int prefix, suffix = 0, suffixBits = 0;
    if (i == 0 && trailingOnes < 3) code -= 2; /* the first level cannot be +-1 then */
    if (suffixLength == 0 && code < 14) {
      prefix = code;
    } else if (suffixLength == 0 && code < 30) {
      prefix = 14, suffix = code - 14, suffixBits = 4;
    } else if (suffixLength > 0 && code < 15 << suffixLength) {
      prefix = code >> suffixLength, suffix = code & ((1 << suffixLength) - 1), suffixBits = suffixLength;
    } else {
      prefix = 15, suffixBits = 12;
      suffix = code - (15 << suffixLength) - (suffixLength == 0 ? 15 : 0);
      if (suffix >= 4096) return -1;
    }
    put_bits(w, 1, prefix + 1); /* prefix zeros, then a one */
    put_bits(w, (Kvn32u)suffix, suffixBits);
    if (suffixLength == 0) suffixLength = 1;
    if (mag > 3 << (suffixLength - 1) && suffixLength < 6) ++suffixLength;
  }

  /* total_zeros (only when the block is not full), then run_before while
   * zeros are left. */
  if (totalCoeff < 16) put_code(w, kTotalZeros[totalCoeff - 1][totalZeros]);
  zerosLeft = totalZeros;
  for (i = 0; i < totalCoeff - 1 && zerosLeft > 0; ++i) {
    put_code(w, kRunBefore[(zerosLeft < 7 ? zerosLeft : 7) - 1][runs[i]]);
    zerosLeft -= runs[i];
  }
  return 0;
}

/* ---- the round trip ------------------------------------------------------- */

enum { STEP = 8 }; /* an 8x8 picture area; the block is its lower-right 4x4 */

int main(void) {
  Kvn8u source[8 * STEP], recon[8 * STEP], pred[16];
  Kvn16s diff[16], levels[16], decoded[16];
  Kvn8u* const block = recon + 4 * STEP + 4; /* the block's top-left sample */
  const Kvn8u* const src = source + 4 * STEP + 4;
  /* The neighbours above and to the left have been decoded; above-right not. */
  const int availability = 1 | 2 | 32; /* top, left, top-left */
  int x, y, mode, bestMode = 0, err = 0, maxErr = 0, ok;
  Kvn32s bestSad = 1 << 30, numLevels = 0, lastScan = 0;
  Kvn16s total = 0; /* TotalCoeff as decoded */

  /* A smooth picture with some texture. */
  for (y = 0; y < 8; ++y)
    for (x = 0; x < 8; ++x) source[y * STEP + x] = (Kvn8u)(60 + 9 * x + 4 * y + (x * x * 5 + x * y * 7) % 23);
  memcpy(recon, source, sizeof recon); /* neighbours: decoded as the source */
  build_tables();

  /* 1. Prediction: each mode in place in the picture, the one of least SAD.
   * The predictor reads the neighbours around the block through the same
   * pointer and step. */
  for (mode = 0; mode < 9; ++mode) {
    Kvn32s sad = 0;
    if (kvniPredictIntra_4x4_H264_8u_C1IR(block, STEP, mode, availability) != KVN_STS_OK) continue;
    kvniSAD4x4_8u32s(src, STEP, block, STEP, &sad);
    if (sad < bestSad) bestSad = sad, bestMode = mode;
  }
  kvniPredictIntra_4x4_H264_8u_C1IR(block, STEP, bestMode, availability);
  for (y = 0; y < 4; ++y) memcpy(pred + 4 * y, block + y * STEP, 4);

  /* 2. Residual, transform and quantisation (intra rounding). numLevels is
   * the count of nonzero levels, negated when the DC level is nonzero. */
  kvniGetDiff4x4_8u16s_C1(src, STEP, pred, 4, diff, 4 * sizeof(Kvn16s));
  if (kvniTransformQuantFwd4x4_H264_16s_C1(diff, levels, QP, &numLevels, 1, kZigzagInv, &lastScan, NULL) != KVN_STS_OK)
    return 1;

  /* 3. CAVLC: the library analyses the block in reverse scan order, the
   * caller writes the syntax elements. */
  {
    Kvn8u trailingOnes, signs, totalCoeff, totalZeros, runs[16];
    Kvn16s rlLevels[16];
    BitWriter w;
    Kvn32u* stream = w.words;
    Kvn32u bitOffset = 31; /* the first bit is bit 31 of the first word */
    Kvn16s coeffBuffer[16], *pos = coeffBuffer;
    const Kvn32s* tokenTables[3] = {tokenTable, NULL, NULL}; /* only nC 0..1 is used */
    const Kvn32s* zerosByTotal[16];
    const Kvn32s* runsByZerosLeft[16];
    int i;
    memset(&w, 0, sizeof w);
    kvniEncodeCoeffsCAVLC_H264_16s(levels, 0, kZigzag, 15, &trailingOnes, &signs, &totalCoeff, &totalZeros, rlLevels,
                                   runs);
    if (write_block(&w, trailingOnes, signs, totalCoeff, totalZeros, rlLevels, runs) != 0) return 1;

    /* 4. Decoding: the table arrays are indexed by TotalCoeff (1..15) and by
     * zerosLeft (1..15, 7 and above sharing one table). The reader may load
     * the word after the last one written: w.words has room. */
    zerosByTotal[0] = runsByZerosLeft[0] = NULL;
    for (i = 1; i < 16; ++i) {
      zerosByTotal[i] = zerosTables[i - 1];
      runsByZerosLeft[i] = runTables[(i < 7 ? i : 7) - 1];
    }
    if (kvniDecodeCAVLCCoeffs_H264_1u16s(&stream, &bitOffset, &total, &pos, 0, 16, tokenTables, zerosByTotal,
                                         runsByZerosLeft, kZigzag) != KVN_STS_OK)
      return 1;
    /* With TotalCoeff > 0 the block (raster order) was stored and pos moved
     * on by 16; an empty block stores nothing. */
    if (total > 0)
      memcpy(decoded, coeffBuffer, sizeof decoded);
    else
      memset(decoded, 0, sizeof decoded);
    ok = total == totalCoeff && memcmp(decoded, levels, sizeof levels) == 0 &&
         (int)((stream - w.words) * 32 + (31 - (int)bitOffset)) == w.count;
    printf("h264_intra4x4: mode %d, %d levels in %d bits, ", bestMode, total, w.count);
  }

  /* 5. Reconstruction from the decoded levels: dequantise, inverse
   * transform, add the prediction (AC 1: the whole block; 0 takes the
   * DC-only path, which is all an empty block needs). */
  if (kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred, 4, decoded, NULL, block, STEP, QP, total != 0, NULL) !=
      KVN_STS_OK)
    return 1;
  for (y = 0; y < 4; ++y)
    for (x = 0; x < 4; ++x) {
      const int e = abs(block[y * STEP + x] - src[y * STEP + x]);
      err += e;
      if (e > maxErr) maxErr = e;
    }
  /* QP 22 has a quantiser step of 8: errors within one step, half a step on
   * average. */
  ok = ok && maxErr <= 8 && err <= 16 * 4;
  printf("reconstruction error max %d, sum %d: %s\n", maxErr, err, ok ? "ok" : "FAILED");
  return ok ? 0 : 1;
}
