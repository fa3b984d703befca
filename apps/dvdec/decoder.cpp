#include "decoder.h"

#include <kvnvc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace dvdec {
namespace {

constexpr size_t kBlock = 80;               // one DIF block
constexpr size_t kSequence = 150 * kBlock;  // one DIF sequence
constexpr size_t kSegment = 5 * kBlock;     // one video segment

// ---- Dequantisation tables (IEC 61834-2, SMPTE 314M) ----------------------

constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                                 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                                 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
constexpr uint8_t kScan248[64] = {0,  32, 1, 33, 8,  40, 2,  34, 9,  41, 16, 48, 24, 56, 17, 49,
                                  10, 42, 3, 35, 4,  36, 11, 43, 18, 50, 25, 57, 26, 58, 19, 51,
                                  12, 44, 5, 37, 6,  38, 13, 45, 20, 52, 27, 59, 28, 60, 21, 53,
                                  14, 46, 7, 39, 15, 47, 22, 54, 29, 61, 30, 62, 23, 55, 31, 63};

// Quantisation step (as a power of two) by area, for QNO + class offset.
constexpr uint8_t kStepShift[22][4] = {
    {3, 3, 4, 4}, {3, 3, 4, 4}, {2, 3, 3, 4}, {2, 3, 3, 4}, {2, 2, 3, 3}, {2, 2, 3, 3}, {1, 2, 2, 3}, {1, 2, 2, 3},
    {1, 1, 2, 2}, {1, 1, 2, 2}, {0, 1, 1, 2}, {0, 1, 1, 2}, {0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}, {0, 0, 0, 0},
    {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
constexpr int kClassOffset[4] = {6, 3, 0, 1};
// Area of a scan position: 0 below 6, 1 below 21, 2 below 43, else 3.
constexpr int area_of(int scan) { return scan < 6 ? 0 : scan < 21 ? 1 : scan < 43 ? 2 : 3; }

// Tables for the library's dequantiser: factors (twice the step) and inverse
// weights (8192 / W(h, v)), raster order, for each DCT mode, class and QNO.
// The dequantiser truncates; working at twice the scale and halving with
// rounding afterwards halves that error and removes its bias. The DC (9 bits,
// DC x 128 from the segment decoder) becomes DC x 8, then DC x 4: an
// orthonormal coefficient, as the inverse DCTs take it.
struct QuantTables {
  Kvn16u deq[2][4][16][64];
  Kvn16s weight[2][64];
  QuantTables() {
    const double pi = std::acos(-1.0);
    auto cs = [&](int m) { return std::cos(m * pi / 16); };
    const double w[8] = {1,
                         cs(4) / (4 * cs(7) * cs(2)),
                         cs(4) / (2 * cs(6)),
                         1 / (2 * cs(5)),
                         7.0 / 8,
                         cs(4) / cs(3),
                         cs(4) / cs(2),
                         cs(4) / cs(1)};
    for (int i = 0; i < 64; ++i) {
      const int h = i % 8, r = i / 8;
      weight[0][i] = Kvn16s(std::lround(8192 / (w[h] * w[r] / 2)));
      weight[1][i] = Kvn16s(std::lround(8192 / (w[h] * w[2 * (r % 4)] / 2)));
    }
    weight[0][0] = weight[1][0] = 16384;
    for (int mode = 0; mode < 2; ++mode)
      for (int cls = 0; cls < 4; ++cls)
        for (int q = 0; q < 16; ++q) {
          const uint8_t* shifts = kStepShift[q + kClassOffset[cls]];
          for (int s = 0; s < 64; ++s) {
            const int pos = mode ? kScan248[s] : kZigzag[s];
            deq[mode][cls][q][pos] = Kvn16u(2 << (shifts[area_of(s)] + (cls == 3)));
          }
          deq[mode][cls][q][0] = 2;
        }
  }
};
const QuantTables& quant_tables() {
  static const QuantTables t;
  return t;
}

// ---- DV100 dequantisation (SMPTE 370M) -----------------------------------

// Quantiser step by QNO (0 and 1 both unquantised); the class doubles it per
// step up.
constexpr uint16_t kHdStep[16] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 16, 18, 20, 22, 24, 28, 52};
// Weights x 32 in zigzag order, for luma and chroma of 1080-line and
// 720-line pictures (index 0, the DC, is not weighted).
constexpr uint16_t kHdWeight[2][2][64] = {
    {{128, 16, 16, 17, 17, 17, 18, 18, 18, 18, 18,  18, 19, 18,  18,  19,  19,  19,  19,  19, 19, 42,
      38,  40, 40, 40, 38, 42, 44, 43, 41, 41, 41,  41, 43, 44,  45,  45,  42,  42,  42,  45, 45, 48,
      46,  43, 43, 46, 48, 49, 48, 44, 48, 49, 101, 98, 98, 101, 104, 109, 104, 116, 116, 123},
     {128, 16, 16, 17, 17, 17,  25,  25,  25,  25,  26,  25,  26,  25,  26,  26,  26,  27,  27,  26, 26, 42,
      38,  40, 40, 40, 38, 42,  44,  43,  41,  41,  41,  41,  43,  44,  91,  91,  84,  84,  84,  91, 91, 96,
      93,  86, 86, 93, 96, 197, 191, 177, 191, 197, 203, 197, 197, 203, 209, 219, 209, 232, 232, 246}},
    {{128, 16, 16, 17, 17, 17, 18, 18, 18, 18, 18,  18,  19,  18,  18,  19,  19,  19,  19,  19, 19, 42,
      38,  40, 40, 40, 38, 42, 44, 43, 41, 41, 41,  41,  43,  44,  68,  68,  63,  63,  63,  68, 68, 96,
      92,  86, 86, 92, 96, 98, 96, 88, 96, 98, 202, 196, 196, 202, 208, 218, 208, 232, 232, 246},
     {128, 24,  24,  26,  26,  26,  36,  36,  36,  36,  36,  36,  38,  36,  36,  38,  38,  38,  38,  38,  38,  84,
      76,  80,  80,  80,  76,  84,  88,  86,  82,  82,  82,  82,  86,  88,  182, 182, 168, 168, 168, 182, 182, 192,
      186, 192, 172, 186, 192, 394, 382, 354, 382, 394, 406, 394, 394, 406, 418, 438, 418, 464, 464, 492}}};

// Tables for the library's DV100 dequantiser, raster order: an amplitude a
// becomes a x step x 2^class x weight / 32, rounded, split as D = step x
// 2^class x 8 and W = weight x 32 (both within 16 bits); the DC (x 128 from
// the segment decoder) becomes DC x 4, an orthonormal coefficient.
struct HdQuantTables {
  Kvn16u deq[4][16][64];
  Kvn16s weight[2][2][64];  // [720-line][chroma]
  HdQuantTables() {
    for (int cls = 0; cls < 4; ++cls)
      for (int q = 0; q < 16; ++q) {
        for (int i = 0; i < 64; ++i) deq[cls][q][i] = Kvn16u((kHdStep[q] << cls) * 8);
        deq[cls][q][0] = 1;
      }
    for (int f = 0; f < 2; ++f)
      for (int c = 0; c < 2; ++c) {
        for (int s = 0; s < 64; ++s) weight[f][c][kZigzag[s]] = Kvn16s(kHdWeight[f][c][s] * 32);
        weight[f][c][0] = 16384;
      }
  }
};
const HdQuantTables& hd_quant_tables() {
  static const HdQuantTables t;
  return t;
}

// ---- Macroblock placement (the superblock shuffling) ----------------------

// The five macroblocks of a segment come from five superblock columns (in
// this order) and five rows of superblocks offset from the DIF sequence.
constexpr int kSbRowOffset[5] = {2, 6, 8, 0, 4};
constexpr int kSbColumn[5] = {2, 1, 3, 0, 4};       // 9 macroblocks of 16 samples a column
constexpr int kSbColumn411[5] = {9, 4, 13, 0, 18};  // in 32-sample macroblocks
// Within a superblock, macroblocks run down and up the columns.
constexpr uint8_t kSerpent3[27] = {0, 1, 2, 2, 1, 0, 0, 1, 2, 2, 1, 0, 0, 1, 2, 2, 1, 0, 0, 1, 2, 2, 1, 0, 0, 1, 2};
constexpr uint8_t kSerpent6[30] = {0, 1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 0, 0, 1, 2,
                                   3, 4, 5, 5, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4, 5};

// DV100: where macroblock m of a segment goes, in units of 16 samples. Each
// DIF channel pair covers alternate superblock rows; a superblock is 9 x 3
// macroblocks (1080 lines) or a band of 6 columns (720 lines). The columns
// beyond the picture's 80 (1280 x 1080) fill its top and bottom rows; the
// last 8 lines of 1080 hold "narrow" macroblocks of 32 x 8 samples.
struct HdPlace {
  int x, y;
  bool narrow;
};
HdPlace hd_place(const Profile& p, int chan, int seq, int slot, int m) {
  constexpr int kOff[5] = {2, 6, 8, 0, 4};
  constexpr int kShuf1080[5] = {36, 18, 54, 0, 72};
  constexpr int kShuf720[5] = {24, 12, 36, 0, 48};
  constexpr int kRowStart720[10] = {0, 4, 9, 13, 18, 22, 27, 31, 36, 40};
  if (p.width == 1440) {
    const int blk = (chan * 11 + seq) * 27 + slot;
    if (chan == 0 && seq == 11) {  // the top row and the narrow bottom row
      const int x = m * 27 + slot;
      return x < 90 ? HdPlace{x, 0, false} : HdPlace{(x - 90) * 2, 67, true};
    }
    const int i = (4 * chan + blk + kOff[m]) % 11, k = (blk / 11) % 27;
    return {kShuf1080[m] + (chan & 1) * 9 + k % 9, (i * 3 + k / 9) * 2 + (chan >> 1) + 1, false};
  }
  const int blk = (chan * 10 + seq) * 27 + slot;
  const int i = (4 * chan + seq / 5 + 2 * blk + kOff[m]) % 10;
  if (p.width == 1280) {
    const int k = (blk / 5) % 27;
    const int x = kShuf1080[m] + (chan & 1) * 9 + k % 9, y = (i * 3 + k / 9) * 2 + (chan >> 1) + 4;
    if (x < 80) return {x, y, false};
    if (y < 36) return {(y - 4) / 4 * 10 + x - 80, (y - 4) % 4, false};
    if (y < 60) return {(y - 36) / 3 * 10 + x - 80, 64 + (y - 36) % 3, false};
    return {(y - 60) * 20 + (x - 80) * 2, 67, true};
  }
  const int k = (blk / 5) % 27 + (i & 1) * 3;
  return {kShuf720[m] + k % 6 + 6 * (chan & 1), kRowStart720[i] + k / 6 + 45 * (chan >> 1), false};
}

inline uint8_t clamp255(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

bool is_header(const uint8_t* b) { return b[0] == 0x1f && b[1] == 0x07 && b[2] == 0x00 && (b[3] & 0x7f) == 0x3f; }

// The profile from a header block with the five blocks after it; "" or why not.
std::string find_profile(const uint8_t* f, size_t available, Profile& p) {
  if (available < 6 * kBlock) return "truncated";
  const bool dsf625 = f[3] & 0x80;
  const int stype = f[5 * kBlock + 48 + 3] & 0x1f;
  const int apt = f[4] & 7;
  p.width = 720;
  p.height = dsf625 ? 576 : 480;
  p.sequences = dsf625 ? 12 : 10;
  p.rateNum = dsf625 ? 25 : 30000;
  p.rateDen = dsf625 ? 1 : 1001;
  if (stype == 0) {
    p.channels = 1;
    p.chroma = dsf625 && apt == 0 ? Chroma::k420 : Chroma::k411;
    return "";
  }
  if (stype == 4) {
    p.channels = 2;
    p.chroma = Chroma::k422;
    return "";
  }
  p.chroma = Chroma::k422;
  if (stype == 0x14) {  // 1080i: 1280 x 1080 at 29.97, 1440 x 1080 at 25 frames/s
    p.hdLines = 1080;
    p.width = dsf625 ? 1440 : 1280;
    p.height = 1080;
    p.channels = 4;
    return "";
  }
  if (stype == 0x18) {  // 720p, 960 x 720 at 59.94 or 50 frames/s
    p.hdLines = 720;
    p.width = 960;
    p.height = 720;
    p.channels = 2;
    p.rateNum = dsf625 ? 50 : 60000;
    return "";
  }
  return "unsupported: DV video type " + std::to_string(stype);
}

}  // namespace

Decoder::Decoder(Sink sink) : sink_(std::move(sink)) { quant_tables(); }

std::string Decoder::decode(const std::vector<uint8_t>& data) {
  size_t pos = 0;
  bool any = false;
  while (pos + 4 <= data.size()) {
    if (!is_header(&data[pos])) {
      ++pos;  // resynchronise on the next header block
      continue;
    }
    Profile p{};
    const std::string why = find_profile(&data[pos], data.size() - pos, p);
    if (!why.empty()) {
      // A format the decoder lacks stops it at the first frame; later, it is
      // a damaged header, and the frame is skipped.
      if (why.compare(0, 12, "unsupported:") == 0 && !any) return why;
      ++errors_;
      pos += kBlock;
      continue;
    }
    const size_t have = std::min(p.frame_bytes(), data.size() - pos);
    if (have < p.frame_bytes()) ++errors_;
    decode_frame(&data[pos], have, p);
    any = true;
    // The next frame starts right after this one; a damaged stream is searched
    // for its next header block.
    size_t next = pos + have;
    if (next + 4 <= data.size() && !is_header(&data[next])) {
      ++errors_;
      next = pos + kBlock;
    }
    pos = next;
  }
  return any ? "" : "no DV frame found";
}

void Decoder::decode_frame(const uint8_t* f, size_t available, const Profile& p) {
  Frame& fr = frame_;
  const int cw = p.chroma == Chroma::k411 ? p.width / 4 : p.width / 2;
  const int ch = p.chroma == Chroma::k420 ? p.height / 2 : p.height;
  if (fr.width != p.width || fr.height != p.height || fr.chroma != p.chroma) {
    fr.width = p.width, fr.height = p.height, fr.chroma = p.chroma;
    fr.chromaWidth = cw, fr.chromaHeight = ch;
    fr.y.assign(size_t(p.width) * p.height, 16);
    fr.cb.assign(size_t(cw) * ch, 128);
    fr.cr.assign(size_t(cw) * ch, 128);
  }
  fr.rateNum = p.rateNum, fr.rateDen = p.rateDen;
  for (int chan = 0; chan < p.channels; ++chan)
    for (int seq = 0; seq < p.sequences; ++seq) {
      const size_t base = (size_t(chan) * p.sequences + seq) * kSequence;
      // 1440 x 1080 carries 11 sequences in channels 1..3, 720p at 50 frames/s 10.
      if ((p.width == 1440 && chan != 0 && seq == 11) || (p.hdLines == 720 && seq > 9)) continue;
      for (int slot = 0; slot < 27; ++slot) {
        // Blocks 0..5: header, subcode, VAUX; then an audio block before
        // every 15 video blocks.
        const size_t at = base + (7 + size_t(slot) / 3 + 5 * size_t(slot)) * kBlock;
        if (at + kSegment > available) {
          ++errors_;
          continue;
        }
        if (p.hdLines)
          decode_segment_hd(f + at, p, chan, seq, slot);
        else
          decode_segment(f + at, p, chan, seq, slot);
      }
    }
  sink_(fr);
}

void Decoder::put_block(int16_t* coef, uint32_t param, uint8_t* dst, int step) {
  if (param & 0x40) {  // 2-4-8, the halving and the 128 as for the 8-8 blocks
    for (int i = 0; i < 64; ++i) coef[i] = int16_t((coef[i] + 1) >> 1);
    coef[0] = int16_t(coef[0] + 1024);  // the DCT takes samples less 128
    kvniDCT2x4x8Inv_16s_C1I(coef);
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) dst[r * step + c] = clamp255(coef[8 * r + c]);
    return;
  }
  put_pair(coef, param, dst, nullptr, 0, nullptr, step);
}

// Two blocks through the library's natural-order inverse DCT (IEEE 1180
// accuracy), which transforms two channels at once and writes them
// interleaved; a 2-4-8 block goes through its own transform.
void Decoder::put_pair(int16_t* a, uint32_t pa, uint8_t* da, int16_t* b, uint32_t pb, uint8_t* db, int step) {
  if (pa & 0x40) {
    put_block(a, pa, da, step);
    a = nullptr;
  }
  if (db && (pb & 0x40)) {
    put_block(b, pb, db, step);
    db = nullptr;
  }
  if (!a && !db) return;
  alignas(16) static const int16_t kZero[64] = {};
  if (a) {
    for (int i = 0; i < 64; ++i) a[i] = int16_t((a[i] + 1) >> 1);
    a[0] = int16_t(a[0] + 1024);
  }
  if (db) {
    for (int i = 0; i < 64; ++i) b[i] = int16_t((b[i] + 1) >> 1);
    b[0] = int16_t(b[0] + 1024);
  }
  alignas(16) uint8_t pair[128];
  kvniDCT8x8InvOrSet_16s8u_P2C2(a ? a : kZero, db ? b : kZero, pair, 16, 0);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      if (a) da[r * step + c] = pair[16 * r + 2 * c];
      if (db) db[r * step + c] = pair[16 * r + 2 * c + 1];
    }
}

// The right-edge 4:1:1 macroblocks (525/60): a chroma block's left half
// covers the upper 8 lines, its right half the lower 8.
void Decoder::put_block_411_edge(int16_t* coef, uint32_t param, uint8_t* dst, int step) {
  alignas(16) uint8_t tmp[64];
  put_block(coef, param, tmp, 8);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 4; ++c) {
      dst[r * step + c] = tmp[8 * r + c];
      dst[(r + 8) * step + c] = tmp[8 * r + 4 + c];
    }
}

// The 8-8 inverse DCT of a pair of blocks at exact scale (DV100).
static void put_pair_hd(int16_t* a, uint8_t* da, int16_t* b, uint8_t* db, int step) {
  a[0] = int16_t(a[0] + 1024);  // the DCT takes samples less 128
  b[0] = int16_t(b[0] + 1024);
  alignas(16) uint8_t pair[128];
  kvniDCT8x8InvOrSet_16s8u_P2C2(a, b, pair, 16, 0);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c) {
      da[r * step + c] = pair[16 * r + 2 * c];
      db[r * step + c] = pair[16 * r + 2 * c + 1];
    }
}

void Decoder::decode_segment_hd(const uint8_t* seg, const Profile& p, int chan, int seq, int slot) {
  alignas(16) uint8_t in[kSegment + 64] = {};
  std::memcpy(in, seg, kSegment);
  alignas(16) int16_t blocks[40 * 64];
  std::memset(blocks, 0, sizeof blocks);
  uint32_t params[40];
  if (kvniHuffmanDecodeSegment_DV100_8u16s(in, nullptr, nullptr, blocks, params) != 0) {
    ++errors_;
    return;
  }
  const HdQuantTables& qt = hd_quant_tables();
  const int is720 = p.hdLines == 720;
  Frame& fr = frame_;
  const int ys = fr.width, cs = fr.chromaWidth;
  for (int m = 0; m < 5; ++m) {
    int16_t* mb = blocks + m * 8 * 64;
    for (int b = 0; b < 8; ++b) {
      const uint32_t prm = params[m * 8 + b];
      const int cls = (prm >> 4) & 3, qno = (prm >> 16) & 15;
      kvniQuantWeightBlockInv_DV100_16s_C1I(mb + b * 64, qt.deq[cls][qno], qt.weight[is720][b >= 4]);
    }
    const HdPlace at = hd_place(p, chan, seq, slot, m);
    uint8_t* y = &fr.y[size_t(at.y) * 16 * ys + size_t(at.x) * 16];
    uint8_t* cr = &fr.cr[size_t(at.y) * 16 * cs + size_t(at.x) * 8];
    uint8_t* cb = &fr.cb[size_t(at.y) * 16 * cs + size_t(at.x) * 8];
    if (at.narrow) {  // 32 x 8: the four luma blocks side by side, 16 x 8 chroma
      put_pair_hd(mb, y, mb + 64, y + 8, ys);
      put_pair_hd(mb + 128, y + 16, mb + 192, y + 24, ys);
      put_pair_hd(mb + 256, cr, mb + 320, cr + 8, cs);
      put_pair_hd(mb + 384, cb, mb + 448, cb + 8, cs);
    } else if (params[m * 8] & 0x40) {  // field macroblock: upper blocks the top field
      put_pair_hd(mb, y, mb + 64, y + 8, 2 * ys);
      put_pair_hd(mb + 128, y + ys, mb + 192, y + ys + 8, 2 * ys);
      put_pair_hd(mb + 256, cr, mb + 320, cr + cs, 2 * cs);
      put_pair_hd(mb + 384, cb, mb + 448, cb + cs, 2 * cs);
    } else {
      put_pair_hd(mb, y, mb + 64, y + 8, ys);
      put_pair_hd(mb + 128, y + 8 * ys, mb + 192, y + 8 * ys + 8, ys);
      put_pair_hd(mb + 256, cr, mb + 320, cr + 8 * cs, cs);
      put_pair_hd(mb + 384, cb, mb + 448, cb + 8 * cs, cs);
    }
  }
}

void Decoder::decode_segment(const uint8_t* seg, const Profile& p, int chan, int seq, int slot) {
  // The segment decoder may read a little past the 400 bytes.
  alignas(16) uint8_t in[kSegment + 64] = {};
  std::memcpy(in, seg, kSegment);
  alignas(16) int16_t blocks[30 * 64];
  std::memset(blocks, 0, sizeof blocks);
  uint32_t params[30];
  if (kvniHuffmanDecodeSegment_DV_8u16s(in, nullptr, nullptr, blocks, params) != 0) {
    ++errors_;
    return;
  }
  const QuantTables& qt = quant_tables();
  Frame& fr = frame_;
  for (int m = 0; m < 5; ++m) {
    int16_t* mb = blocks + m * 6 * 64;
    for (int b = 0; b < 6; ++b) {
      const uint32_t prm = params[m * 6 + b];
      const int mode = (prm >> 6) & 1, cls = (prm >> 4) & 3, qno = (prm >> 16) & 15;
      int16_t* blk = mb + b * 64;
      kvniQuantWeightBlockInv_DV_16s_C1I(blk, qt.deq[mode][cls][qno], qt.weight[mode]);
    }
    const int row = (seq + kSbRowOffset[m]) % p.sequences;
    const int ys = fr.width, cs = fr.chromaWidth;
    uint8_t *y, *cb, *cr;
    switch (p.chroma) {
      case Chroma::k420: {
        const int x = (kSbColumn[m] * 9 + slot / 3) * 16, yy = (kSerpent3[slot] + row * 3) * 16;
        y = &fr.y[size_t(yy) * ys + x];
        put_pair(mb, params[m * 6], y, mb + 64, params[m * 6 + 1], y + 8, ys);
        put_pair(mb + 128, params[m * 6 + 2], y + 8 * ys, mb + 192, params[m * 6 + 3], y + 8 * ys + 8, ys);
        cr = &fr.cr[size_t(yy / 2) * cs + x / 2];
        cb = &fr.cb[size_t(yy / 2) * cs + x / 2];
        put_pair(mb + 256, params[m * 6 + 4], cr, mb + 320, params[m * 6 + 5], cb, cs);
        break;
      }
      case Chroma::k411: {
        const int k = slot + (m == 1 || m == 2 ? 3 : 0);
        const int x = kSbColumn411[m] + k / 6;
        if (x < 22) {
          const int yy = (kSerpent6[k] + row * 6) * 8;
          y = &fr.y[size_t(yy) * ys + x * 32];
          put_pair(mb, params[m * 6], y, mb + 64, params[m * 6 + 1], y + 8, ys);
          put_pair(mb + 128, params[m * 6 + 2], y + 16, mb + 192, params[m * 6 + 3], y + 24, ys);
          put_pair(mb + 256, params[m * 6 + 4], &fr.cr[size_t(yy) * cs + x * 8], mb + 320, params[m * 6 + 5],
                   &fr.cb[size_t(yy) * cs + x * 8], cs);
        } else {  // 16 x 16 at the right edge
          const int yy = (kSerpent6[k] * 2 + row * 6) * 8;
          y = &fr.y[size_t(yy) * ys + 704];
          put_pair(mb, params[m * 6], y, mb + 64, params[m * 6 + 1], y + 8, ys);
          put_pair(mb + 128, params[m * 6 + 2], y + 8 * ys, mb + 192, params[m * 6 + 3], y + 8 * ys + 8, ys);
          put_block_411_edge(mb + 256, params[m * 6 + 4], &fr.cr[size_t(yy) * cs + 176], cs);
          put_block_411_edge(mb + 320, params[m * 6 + 5], &fr.cb[size_t(yy) * cs + 176], cs);
        }
        break;
      }
      case Chroma::k422: {
        const int x = (kSbColumn[m] * 9 + slot / 3) * 16;
        const int yy = (kSerpent3[slot] + (row * 2 + chan) * 3) * 8;
        y = &fr.y[size_t(yy) * ys + x];
        // 4:2:2: the luma in areas 0 and 2 (areas 1 and 3 hold no samples).
        put_pair(mb, params[m * 6], y, mb + 128, params[m * 6 + 2], y + 8, ys);
        put_pair(mb + 256, params[m * 6 + 4], &fr.cr[size_t(yy) * cs + x / 2], mb + 320, params[m * 6 + 5],
                 &fr.cb[size_t(yy) * cs + x / 2], cs);
        break;
      }
    }
  }
}

}  // namespace dvdec
