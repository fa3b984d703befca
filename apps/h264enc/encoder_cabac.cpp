// CABAC syntax of the sample encoder (H.264 7.3.5, 9.3.2 binarisations,
// 9.3.3.1.1 context index increments): the library codes the bins and the
// residual blocks; the choice of each bin's context is the encoder's.
#include <kvnvc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "encoder.h"
#include "h264_tables.h"
#include "nal.h"

namespace h264enc {
namespace {

void check(KvnResult st, const char* what) {
  if (st < 0) {
    std::fprintf(stderr, "kvnvc-h264enc: %s failed with status %d\n", what, st);
    std::exit(1);
  }
}

}  // namespace

void Encoder::cabac_start(const kvnvlc::BitWriter& header, bool pSlice) {
  // The slice header's bits, then the slice data from the next byte on.
  const size_t bits = header.size();
  const std::vector<uint8_t> bytes = written_bytes(header);
  cabacBuf_.assign(std::max<size_t>(4096, size_t(mbw_) * size_t(mbh_) * 64), 0);
  std::copy(bytes.begin(), bytes.end(), cabacBuf_.begin());
  check(
      kvniCABACInit_H264(cabacState_, cabacBuf_.data(), Kvn32u(bits), Kvn32u(cabacBuf_.size()), o_.qp, pSlice ? 0 : -1),
      "CABAC initialisation");
}

// A full buffer is moved to one twice the size, and the bin coded again.
template <class Code>
static void with_room(std::vector<uint8_t>& buf, void* state, Code code) {
  KvnResult st;
  while ((st = code()) == KVN_STS_OUT_OF_BUFFER) {
    std::vector<uint8_t> larger(buf.size() * 2);
    std::memcpy(larger.data(), buf.data(), buf.size());
    check(kvniCABACSetStream_H264(larger.data(), Kvn32u(larger.size()), state), "CABAC buffer change");
    buf.swap(larger);
  }
  check(st, "CABAC coding");
}

void Encoder::cabac_bin(int ctx, int bin) {
  with_room(cabacBuf_, cabacState_, [&] { return kvniCABACEncodeBin_H264(Kvn32u(ctx), Kvn32u(bin), cabacState_); });
}

void Encoder::cabac_bypass(int bin) {
  with_room(cabacBuf_, cabacState_, [&] { return kvniCABACEncodeBinBypass_H264(Kvn32u(bin), cabacState_); });
}

// significant_coeff_flag, last_significant_coeff_flag and the levels of a
// block whose coded_block_flag is 1: raster levels from scan index start, count of them.
void Encoder::cabac_block(const int16_t* raster, int start, int count, int cat) {
  Kvn16s scan[16];
  int last = -1;
  for (int k = 0; k < count; ++k) {
    scan[k] = raster[cat == 3 ? k : kZigzag[start + k]];
    if (scan[k]) last = k;
  }
  with_room(cabacBuf_, cabacState_,
            [&] { return kvniCABACEncodeResidualBlock_H264_16s(scan, last, Kvn32u(cat), 0, 1, cabacState_); });
}

// transform_size_8x8_flag (ctxIdx 399 + the neighbours that have it), when
// the 8x8 transform is on.
void Encoder::transform_size_flag(const MbInfo* A, const MbInfo* B, bool flag) {
  if (o_.t8x8) cabac_bin(399 + (A && A->t8x8) + (B && B->t8x8), flag);
}

std::vector<uint8_t> Encoder::cabac_finish() {
  Kvn32u bytes = 0;
  with_room(cabacBuf_, cabacState_, [&] { return kvniCABACTerminateSlice_H264(&bytes, cabacState_); });
  return std::vector<uint8_t>(cabacBuf_.begin(), cabacBuf_.begin() + bytes);
}

void Encoder::write_mb_cabac(int mbx, int mby, bool pSlice, const MbLevels& mb, int modeY) {
  const MbInfo& cur = mbs_[size_t(mby) * mbw_ + mbx];
  const MbInfo* A = mb_available(mbx - 1, mby) ? &cur - 1 : nullptr;
  const MbInfo* B = mb_available(mbx, mby - 1) ? &cur - mbw_ : nullptr;

  if (pSlice) {  // mb_skip_flag: ctxIdxInc counts neighbours that are not skipped
    cabac_bin(11 + (A && !A->skip) + (B && !B->skip), cur.skip);
    if (cur.skip) return;
  }

  if (cur.intra && mb.i4x4) {
    // mb_type I_NxN: 0 (I slices: ctxIdxInc by neighbours that are not
    // I_NxN); P slices: prefix 1, suffix 0. Then the 16 prediction modes:
    // prev_intra4x4_pred_mode_flag (ctxIdx 68), rem_intra4x4_pred_mode in
    // three bins, least significant first (ctxIdx 69).
    if (pSlice) {
      cabac_bin(14, 1);
      cabac_bin(17, 0);
    } else {
      cabac_bin(3 + (A && !A->i4x4) + (B && !B->i4x4), 0);
    }
    transform_size_flag(A, B, mb.t8x8);
    for (int b = 0; b < (mb.t8x8 ? 4 : 16); ++b) {
      cabac_bin(68, mb.intraRem[b] < 0);
      if (mb.intraRem[b] >= 0)
        for (int k = 0; k < 3; ++k) cabac_bin(69, mb.intraRem[b] >> k & 1);
    }
  } else if (cur.intra) {
    // mb_type Intra 16x16 (Table 9-36): 1, terminate 0, luma, chroma (1 or
    // 2 bins), two bins of the prediction mode. I slices: ctxIdxOffset 3,
    // bin 0 by neighbours that are not I_NxN; P slices: prefix 1 (ctxIdx 14),
    // suffix with ctxIdxOffset 17.
    int o;
    if (pSlice) {
      cabac_bin(14, 1);
      o = 17;
      cabac_bin(o, 1);
    } else {
      o = 3;
      cabac_bin(o + (A && !A->i4x4) + (B && !B->i4x4), 1);
    }
    cabac_bin(276, 0);
    const bool p = pSlice;
    cabac_bin(o + (p ? 1 : 3), mb.cbpLuma != 0);
    cabac_bin(o + (p ? 2 : 4), mb.cbpChroma != 0);
    if (mb.cbpChroma) cabac_bin(o + (p ? 2 : 5), mb.cbpChroma == 2);
    cabac_bin(o + (p ? 3 : 6), modeY >> 1);
    cabac_bin(o + (p ? 3 : 7), modeY & 1);
  }
  if (cur.intra) {
    // intra_chroma_pred_mode: TU, cMax 3; bin 0 by intra neighbours whose mode is not DC.
    const int condA = A && A->intra && A->chromaMode != 0, condB = B && B->intra && B->chromaMode != 0;
    for (int k = 0; k < 3; ++k) {
      const int bin = cur.chromaMode > k;
      cabac_bin(64 + (k == 0 ? condA + condB : 3), bin);
      if (!bin) break;
    }
  }
  if (!cur.intra) {
    // mb_type (Table 9-37): 16x16 000, 16x8 011, 8x16 010, 8x8 001 at
    // ctxIdx 14, 15, then 16 (b1 0) or 17; sub_mb_type P_L0_8x8 1 (ctxIdx 21).
    static constexpr int kBins[4][3] = {{0, 0, 0}, {0, 1, 1}, {0, 1, 0}, {0, 0, 1}};
    const int* bins = kBins[cur.type];
    cabac_bin(14, bins[0]);
    cabac_bin(15, bins[1]);
    cabac_bin(bins[1] ? 17 : 16, bins[2]);
    if (cur.type == 3)
      for (int i = 0; i < 4; ++i) cabac_bin(21, 1);
    // The partitions' first blocks and the blocks left of and above them
    // (within the slice), whose reference indices and vector differences
    // choose the contexts of ref_idx_l0 and mvd_l0.
    const size_t W4 = size_t(mbw_) * 4;
    auto first = [&](int i) { return part_block(mbx, mby, cur.type, i); };
    auto left = [&](int i) { return kParts[cur.type][i].x > 0 || A; };
    auto top = [&](int i) { return kParts[cur.type][i].y > 0 || B; };
    // ref_idx_l0 (unary, ctxIdxOffset 54): bin 0 by the neighbouring blocks
    // that use a reference index above 0, then 4, 5.
    if (refCount_ > 1)
      for (int i = 0; i < kPartCount[cur.type]; ++i) {
        const size_t g = first(i);
        const int condA = left(i) && refG_[g - 1] > 0, condB = top(i) && refG_[g - W4] > 0;
        for (int k = 0; k <= refG_[g]; ++k) cabac_bin(54 + (k == 0 ? condA + 2 * condB : k == 1 ? 4 : 5), k < refG_[g]);
      }
    // mvd_l0 per partition: UEG3 with signedValFlag 1, uCoff 9; bin 0 by the
    // sum of |mvd| of the neighbouring blocks.
    for (int i = 0; i < kPartCount[cur.type]; ++i) {
      const size_t g = first(i);
      for (size_t comp = 0; comp < 2; ++comp) {
        const int base = comp ? 47 : 40;
        const int sum =
            (left(i) ? std::abs(mvdG_[2 * (g - 1) + comp]) : 0) + (top(i) ? std::abs(mvdG_[2 * (g - W4) + comp]) : 0);
        const int v = mvdG_[2 * g + comp], a = std::abs(v);
        const int prefix = std::min(a, 9);
        const int inc0 = sum < 3 ? 0 : sum <= 32 ? 1 : 2;
        for (int k = 0; k < prefix; ++k) cabac_bin(base + (k == 0 ? inc0 : std::min(k + 2, 6)), 1);
        if (a < 9) {
          cabac_bin(base + (prefix == 0 ? inc0 : std::min(prefix + 2, 6)), 0);
        } else {  // Exp-Golomb order 3 suffix of a - 9, bypass
          int rest = a - 9, k = 3;
          while (rest >= (1 << k)) {
            cabac_bypass(1);
            rest -= 1 << k++;
          }
          cabac_bypass(0);
          while (k--) cabac_bypass(rest >> k & 1);
        }
        if (a) cabac_bypass(v < 0);
      }
    }
  }
  if (!cur.intra || mb.i4x4) {
    // coded_block_pattern: four luma bins by 8x8 block, then chroma (TU, cMax 2).
    for (int b8 = 0; b8 < 4; ++b8) {
      const int x = b8 & 1, y = b8 >> 1;
      // condTermFlagN: 0 when the neighbouring 8x8 block is unavailable or has coefficients.
      auto cond = [&](const MbInfo* n, int bit, bool inside) {
        if (inside) return (mb.cbpLuma >> bit & 1) == 0 ? 1 : 0;
        if (!n) return 0;
        return (n->cbpLuma >> bit & 1) == 0 ? 1 : 0;
      };
      const int ca = x ? cond(nullptr, b8 - 1, true) : cond(A, b8 + 1, false);
      const int cb = y ? cond(nullptr, b8 - 2, true) : cond(B, b8 + 2, false);
      cabac_bin(73 + ca + 2 * cb, mb.cbpLuma >> b8 & 1);
    }
    auto chromaCond = [](const MbInfo* n, int min) { return n && !n->skip && n->cbpChroma >= min ? 1 : 0; };
    cabac_bin(77 + chromaCond(A, 1) + 2 * chromaCond(B, 1), mb.cbpChroma != 0);
    if (mb.cbpChroma) cabac_bin(77 + 4 + chromaCond(A, 2) + 2 * chromaCond(B, 2), mb.cbpChroma == 2);
  }
  if (!cur.intra && mb.cbpLuma) transform_size_flag(A, B, mb.t8x8);
  if ((cur.intra && !mb.i4x4) || mb.cbpLuma || mb.cbpChroma)
    cabac_bin(60, 0);  // mb_qp_delta 0 (the previous one is 0 too)

  // Residual blocks with coded_block_flag (ctxIdxOffset 85 + 4 * ctxBlockCat):
  // condTermFlagN is the neighbouring block's flag; 0 when that block was not
  // coded; for an unavailable neighbour 1 in intra and 0 in inter macroblocks.
  const int unavailable = cur.intra ? 1 : 0;
  auto cbf = [&](int cat, int condA, int condB, int flag) { cabac_bin(85 + 4 * cat + condA + 2 * condB, flag); };
  auto term = [&](int v) { return v < 0 ? 0 : v; };
  const int W4 = mbw_ * 4, W2 = mbw_ * 2;
  MbInfo& info = mbs_[size_t(mby) * mbw_ + mbx];
  if (cur.intra && !mb.i4x4) {
    const int flag = [&] {
      for (int k = 0; k < 16; ++k)
        if (mb.lumaDc[k]) return 1;
      return 0;
    }();
    cbf(0, A ? term(A->cbfDc) : unavailable, B ? term(B->cbfDc) : unavailable, flag);
    info.cbfDc = int8_t(flag);
    if (flag) cabac_block(mb.lumaDc, 0, 16, 0);
  }
  for (int b8 = 0; b8 < 4 && mb.t8x8; ++b8) {
    // 8x8 blocks (ctxBlockCat 5) carry no coded_block_flag; it is 1 for the
    // 4x4 blocks of coded 8x8 blocks as later neighbours see them.
    if (!(mb.cbpLuma >> b8 & 1)) continue;
    for (int b = 4 * b8; b < 4 * b8 + 4; ++b) cbfY_[size_t(mby * 4 + kBlkY[b]) * W4 + mbx * 4 + kBlkX[b]] = 1;
    Kvn16s scan[64];
    int last = -1;
    for (int k = 0; k < 64; ++k)
      if ((scan[k] = mb.luma8[b8][kvnsupport::kZigzag8x8[k]]) != 0) last = k;
    with_room(cabacBuf_, cabacState_,
              [&] { return kvniCABACEncodeResidualBlock_H264_16s(scan, last, 5, 0, 1, cabacState_); });
  }
  for (int b = 0; b < 16 && !mb.t8x8; ++b) {
    if (!(mb.cbpLuma >> (b >> 2) & 1)) continue;
    const int bx = mbx * 4 + kBlkX[b], by = mby * 4 + kBlkY[b];
    const int ca = kBlkX[b] || A ? term(cbfY_[size_t(by) * W4 + bx - 1]) : unavailable;
    const int cb = kBlkY[b] || B ? term(cbfY_[size_t(by - 1) * W4 + bx]) : unavailable;
    const int start = cur.intra && !mb.i4x4 ? 1 : 0;  // Intra 16x16: AC blocks
    int flag = 0;
    for (int k = start; k < 16; ++k) flag |= mb.luma[b][kZigzag[k]] != 0;
    const int cat = start ? 1 : 2;
    cbf(cat, ca, cb, flag);
    cbfY_[size_t(by) * W4 + bx] = int8_t(flag);
    if (flag) cabac_block(mb.luma[b], start, 16 - start, cat);
  }
  if (mb.cbpChroma)
    for (int c = 0; c < 2; ++c) {
      const int flag = mb.chromaDc[c][0] || mb.chromaDc[c][1] || mb.chromaDc[c][2] || mb.chromaDc[c][3];
      auto dcTerm = [&](const MbInfo* n) { return !n ? unavailable : n->skip ? 0 : term(n->cbfChromaDc[c]); };
      cbf(3, dcTerm(A), dcTerm(B), flag);
      info.cbfChromaDc[c] = int8_t(flag);
      if (flag) cabac_block(mb.chromaDc[c], 0, 4, 3);
    }
  if (mb.cbpChroma == 2)
    for (int c = 0; c < 2; ++c)
      for (int b = 0; b < 4; ++b) {
        const int bx = mbx * 2 + (b & 1), by = mby * 2 + (b >> 1);
        const int ca = (b & 1) || A ? term(cbfC_[c][size_t(by) * W2 + bx - 1]) : unavailable;
        const int cb = (b >> 1) || B ? term(cbfC_[c][size_t(by - 1) * W2 + bx]) : unavailable;
        int flag = 0;
        for (int k = 1; k < 16; ++k) flag |= mb.chroma[c][b][k] != 0;
        cbf(4, ca, cb, flag);
        cbfC_[c][size_t(by) * W2 + bx] = int8_t(flag);
        if (flag) cabac_block(mb.chroma[c][b], 1, 15, 4);
      }
}

}  // namespace h264enc
