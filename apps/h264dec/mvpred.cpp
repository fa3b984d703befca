// Motion vector prediction (H.264 8.4.1.3), P_Skip (8.4.1.1) and B direct
// prediction, spatial (8.4.1.2.2) and temporal (8.4.1.2.3).
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "slice.h"
#include "tables.h"

namespace h264dec {

namespace {

inline int median(int a, int b, int c) {
  int mx = a > b ? a : b, mn = a < b ? a : b;
  return c > mx ? mx : c < mn ? mn : c;
}
inline int clip3(int lo, int hi, int v) { return v < lo ? lo : v > hi ? hi : v; }
inline int min_positive(int a, int b) { return (a >= 0 && b >= 0) ? (a < b ? a : b) : (a > b ? a : b); }

}  // namespace

NeighbourMv SliceDecoder::neighbour(int list, int xN, int yN, int curBlk) const {
  bool avail;
  if (xN < 0 && yN < 0)
    avail = mb.availD;
  else if (xN < 0)
    avail = yN < 16 && mb.availA;
  else if (yN < 0)
    avail = xN < 16 ? mb.availB : mb.availC;
  else if (xN >= 16 || yN >= 16)
    avail = false;
  else
    avail = kBlkIdx[yN >> 2][xN >> 2] < curBlk;
  if (!avail) return NeighbourMv{false, -1, {0, 0}};
  int px = (mb.x * 16 + xN) >> 2, py = (mb.y * 16 + yN) >> 2;
  const BlockMotion& m = cur->motion[size_t(py) * (W * 4) + px];
  if (m.ref[list] < 0) return NeighbourMv{true, -1, {0, 0}};
  return NeighbourMv{true, m.ref[list], {m.mv[list][0], m.mv[list][1]}};
}

namespace {

// The motion vector predictor (8.4.1.3) from neighbours A, B and C (D where
// C is unavailable) of a partition of the given shape.
void predict_mv(NeighbourMv A, NeighbourMv B, NeighbourMv C, int ref, int shape, int part, int mvp[2]) {
  const NeighbourMv* pick = nullptr;
  if (shape == 1)
    pick = part == 0 ? (B.ref == ref ? &B : nullptr) : (A.ref == ref ? &A : nullptr);
  else if (shape == 2)
    pick = part == 0 ? (A.ref == ref ? &A : nullptr) : (C.ref == ref ? &C : nullptr);
  if (pick) {
    mvp[0] = pick->mv[0];
    mvp[1] = pick->mv[1];
    return;
  }
  if (!B.avail && !C.avail && A.avail) B = C = A;
  int matches = (A.ref == ref) + (B.ref == ref) + (C.ref == ref);
  if (matches == 1) {
    const NeighbourMv& m = A.ref == ref ? A : B.ref == ref ? B : C;
    mvp[0] = m.mv[0];
    mvp[1] = m.mv[1];
    return;
  }
  mvp[0] = median(A.mv[0], B.mv[0], C.mv[0]);
  mvp[1] = median(A.mv[1], B.mv[1], C.mv[1]);
}

// Both lists' references and vectors agree (the vectors of unused lists are
// stored as 0).
inline bool same_motion(const BlockMotion& a, const BlockMotion& b) {
  return a.ref[0] == b.ref[0] && a.ref[1] == b.ref[1] && std::memcmp(a.mv, b.mv, sizeof a.mv) == 0;
}

// A neighbour's motion for one list from its block (null: unavailable).
inline NeighbourMv neighbour_of(const BlockMotion* m, int list) {
  if (!m) return NeighbourMv{false, -1, {0, 0}};
  if (m->ref[list] < 0) return NeighbourMv{true, -1, {0, 0}};
  return NeighbourMv{true, m->ref[list], {m->mv[list][0], m->mv[list][1]}};
}

}  // namespace

void SliceDecoder::mv_pred(int list, int ref, int x4, int y4, int w4, int h4, int shape, int part, int mvp[2]) const {
  (void)h4;
  int curBlk = kBlkIdx[y4][x4];
  NeighbourMv A = neighbour(list, x4 * 4 - 1, y4 * 4, curBlk);
  NeighbourMv B = neighbour(list, x4 * 4, y4 * 4 - 1, curBlk);
  NeighbourMv C = neighbour(list, (x4 + w4) * 4, y4 * 4 - 1, curBlk);
  if (!C.avail) C = neighbour(list, x4 * 4 - 1, y4 * 4 - 1, curBlk);
  predict_mv(A, B, C, ref, shape, part, mvp);
}

// The blocks next to the macroblock's top-left corner: A (left), B (above)
// and C (above right, or D above left when C is unavailable), null where
// unavailable; P_Skip and spatial direct read them for both lists.
void SliceDecoder::mb_neighbours(const BlockMotion* n[3]) const {
  const size_t W4 = size_t(W) * 4;
  const BlockMotion* m = &cur->motion[size_t(mb.y * 4) * W4 + size_t(mb.x) * 4];
  n[0] = mb.availA ? m - 1 : nullptr;
  n[1] = mb.availB ? m - W4 : nullptr;
  n[2] = mb.availC ? m - W4 + 4 : mb.availD ? m - W4 - 1 : nullptr;
}

void SliceDecoder::store_both(int x4, int y4, int w4, int h4, const int ref[2], const int mv[2][2]) {
  const int W4 = W * 4;
  int pic[2], mvx[2], mvy[2];
  for (int l = 0; l < 2; ++l) {
    pic[l] = ref[l] >= 0 && ctx.refList[l][ref[l]] ? ctx.refList[l][ref[l]]->slot : -1;
    mvx[l] = ref[l] >= 0 ? mv[l][0] : 0;
    mvy[l] = ref[l] >= 0 ? mv[l][1] : 0;
  }
  BlockMotion* row = &cur->motion[size_t(mb.y * 4 + y4) * W4 + mb.x * 4 + x4];
  if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && offsetof(BlockMotion, ref) == 8 &&
                offsetof(BlockMotion, pic) == 10) {
    // The record built in two registers and stored as one 16-byte word:
    // fields written one by one and then copied as a whole make each copy
    // wait for the narrow stores (no store forwarding), which cost more than
    // the rest of the function.
    const uint64_t mvWord = uint64_t(uint16_t(mvx[0])) | uint64_t(uint16_t(mvy[0])) << 16 |
                            uint64_t(uint16_t(mvx[1])) << 32 | uint64_t(uint16_t(mvy[1])) << 48;
    const uint64_t hiWord = uint64_t(uint8_t(ref[0])) | uint64_t(uint8_t(ref[1])) << 8 |
                            uint64_t(uint16_t(pic[0])) << 16 | uint64_t(uint16_t(pic[1])) << 32;
    typedef uint64_t V2 __attribute__((vector_size(16)));
    const V2 rec = {mvWord, hiWord};
    for (int y = 0; y < h4; ++y, row += W4)
      for (int x = 0; x < w4; ++x) std::memcpy(row + x, &rec, 16);
  } else {
    BlockMotion m;
    for (int l = 0; l < 2; ++l) {
      m.ref[l] = int8_t(ref[l]);
      m.pic[l] = int16_t(pic[l]);
      m.mv[l][0] = int16_t(mvx[l]);
      m.mv[l][1] = int16_t(mvy[l]);
    }
    for (int y = 0; y < h4; ++y, row += W4)
      for (int x = 0; x < w4; ++x) row[x] = m;
  }
}

void SliceDecoder::pskip_motion() {
  const BlockMotion* n[3];
  mb_neighbours(n);
  const NeighbourMv A = neighbour_of(n[0], 0), B = neighbour_of(n[1], 0);
  int mv[2] = {0, 0};
  bool zero = !A.avail || !B.avail || (A.ref == 0 && A.mv[0] == 0 && A.mv[1] == 0) ||
              (B.ref == 0 && B.mv[0] == 0 && B.mv[1] == 0);
  if (!zero) predict_mv(A, B, neighbour_of(n[2], 0), 0, 0, 0, mv);
  const int ref[2] = {0, -1};
  const int mvs[2][2] = {{mv[0], mv[1]}, {0, 0}};
  store_both(0, 0, 4, 4, ref, mvs);
}

void SliceDecoder::finish_motion() {
  // Both lists of a partition are predicted before it is stored: the
  // predictions read only blocks outside the partition.
  auto part = [&](int x4, int y4, int w4, int h4, int shape, int p, int pred, int refIdxSlot, int mvdSlot) {
    int ref[2] = {-1, -1}, mv[2][2] = {};
    for (int l = 0; l < 2; ++l) {
      if (!(pred & (1 << l))) continue;
      ref[l] = mb.ref[l][refIdxSlot];
      mv_pred(l, ref[l], x4, y4, w4, h4, shape, p, mv[l]);
      mv[l][0] += mb.mvd[l][mvdSlot][0];
      mv[l][1] += mb.mvd[l][mvdSlot][1];
    }
    store_both(x4, y4, w4, h4, ref, mv);
  };
  if (ctx.mbs[mb.addr].direct16) return;
  switch (mb.partShape) {
    case 0: part(0, 0, 4, 4, 0, 0, mb.partPred[0], 0, 0); break;
    case 1:
      part(0, 0, 4, 2, 1, 0, mb.partPred[0], 0, 0);
      part(0, 2, 4, 2, 1, 1, mb.partPred[1], 1, 1);
      break;
    case 2:
      part(0, 0, 2, 4, 2, 0, mb.partPred[0], 0, 0);
      part(2, 0, 2, 4, 2, 1, mb.partPred[1], 1, 1);
      break;
    default:
      spatialReady_ = false;
      for (int i = 0; i < 4; ++i) {
        int x4 = (i & 1) * 2, y4 = (i >> 1) * 2;
        int pred, shape;
        if (sh.type == kP) {
          pred = 1;
          shape = mb.subType[i];
        } else {
          pred = kBSub[mb.subType[i]][0];
          shape = kBSub[mb.subType[i]][1];
          if (pred == 0) {
            direct_motion(i);
            continue;
          }
        }
        switch (shape) {
          case 0: part(x4, y4, 2, 2, 3, 0, pred, i, i * 4); break;
          case 1:
            part(x4, y4, 2, 1, 3, 0, pred, i, i * 4);
            part(x4, y4 + 1, 2, 1, 3, 0, pred, i, i * 4 + 1);
            break;
          case 2:
            part(x4, y4, 1, 2, 3, 0, pred, i, i * 4);
            part(x4 + 1, y4, 1, 2, 3, 0, pred, i, i * 4 + 1);
            break;
          default:
            for (int s = 0; s < 4; ++s) part(x4 + (s & 1), y4 + (s >> 1), 1, 1, 3, 0, pred, i, i * 4 + s);
            break;
        }
      }
      break;
  }
}

void SliceDecoder::colocated(int x4, int y4, int& refCol, int mvCol[2], int& picCol, bool& intraCol) const {
  const Frame* col = ctx.refList[1][0];
  refCol = -1;
  picCol = -1;
  mvCol[0] = mvCol[1] = 0;
  intraCol = true;
  if (!col || col->width != cur->width || col->height != cur->height) return;
  if (sps.direct8x8Inference) {
    x4 = x4 >= 2 ? 3 : 0;
    y4 = y4 >= 2 ? 3 : 0;
  }
  if (col->mbIntra[mb.addr]) return;
  intraCol = false;
  const BlockMotion& m = col->motion[size_t(mb.y * 4 + y4) * (W * 4) + mb.x * 4 + x4];
  int l = m.ref[0] >= 0 ? 0 : 1;
  refCol = m.ref[l];
  picCol = m.pic[l];
  mvCol[0] = m.mv[l][0];
  mvCol[1] = m.mv[l][1];
}

void SliceDecoder::spatial_direct_setup() {
  spatialReady_ = true;
  const BlockMotion* n[3];
  mb_neighbours(n);
  // Three neighbours with the same motion (the common case in still or
  // uniformly moving areas) give it unchanged: the smallest of three equal
  // references, the median of three equal vectors.
  if (n[0] && n[1] && n[2] && same_motion(*n[0], *n[1]) && same_motion(*n[0], *n[2])) {
    directZero_ = n[0]->ref[0] < 0 && n[0]->ref[1] < 0;
    for (int l = 0; l < 2; ++l) {
      const bool used = n[0]->ref[l] >= 0 && !directZero_;
      spatialRef_[l] = directZero_ ? 0 : n[0]->ref[l];
      spatialMv_[l][0] = used ? n[0]->mv[l][0] : 0;
      spatialMv_[l][1] = used ? n[0]->mv[l][1] : 0;
    }
    return;
  }
  NeighbourMv nb[2][3];
  for (int l = 0; l < 2; ++l) {
    for (int i = 0; i < 3; ++i) nb[l][i] = neighbour_of(n[i], l);
    spatialRef_[l] = min_positive(nb[l][0].ref, min_positive(nb[l][1].ref, nb[l][2].ref));
  }
  if (spatialRef_[0] < 0 && spatialRef_[1] < 0) {
    spatialRef_[0] = spatialRef_[1] = 0;
    spatialMv_[0][0] = spatialMv_[0][1] = spatialMv_[1][0] = spatialMv_[1][1] = 0;
    directZero_ = true;
    return;
  }
  directZero_ = false;
  for (int l = 0; l < 2; ++l) {
    spatialMv_[l][0] = spatialMv_[l][1] = 0;
    if (spatialRef_[l] >= 0) predict_mv(nb[l][0], nb[l][1], nb[l][2], spatialRef_[l], 0, 0, spatialMv_[l]);
  }
}

void SliceDecoder::direct_motion(int blk8) {
  const int x8 = (blk8 & 1) * 2, y8 = (blk8 >> 1) * 2;
  // With direct_8x8_inference every 4x4 block of the 8x8 takes the motion of
  // the same co-located corner block: derive it once.
  const int step = sps.direct8x8Inference ? 2 : 1;
  if (sh.directSpatial && !spatialReady_) spatial_direct_setup();
  const Frame* col = ctx.refList[1][0];
  const bool colShort = col && col->shortRef;
  for (int s = 0; s < 4; s += step == 2 ? 4 : 1) {
    const int x4 = x8 + (s & 1), y4 = y8 + (s >> 1);
    int refCol, mvCol[2], picCol;
    bool intraCol;
    colocated(x4, y4, refCol, mvCol, picCol, intraCol);
    if (sh.directSpatial) {
      bool colZero = colShort && refCol == 0 && mvCol[0] >= -1 && mvCol[0] <= 1 && mvCol[1] >= -1 && mvCol[1] <= 1;
      int mv[2][2];
      for (int l = 0; l < 2; ++l) {
        bool zero = directZero_ || (spatialRef_[l] == 0 && colZero);
        mv[l][0] = zero ? 0 : spatialMv_[l][0];
        mv[l][1] = zero ? 0 : spatialMv_[l][1];
      }
      store_both(x4, y4, step, step, spatialRef_, mv);
      continue;
    }
    int ref0 = 0;
    if (refCol >= 0) {
      for (int i = 0; i < ctx.refCount[0]; ++i)
        if (ctx.refList[0][i] && ctx.refList[0][i]->slot == picCol) {
          ref0 = i;
          break;
        }
    }
    const Frame* f0 = ctx.refList[0][ref0];
    const Frame* f1 = ctx.refList[1][0];
    int mv0[2], mv1[2];
    int td = f0 && f1 ? clip3(-128, 127, f1->poc - f0->poc) : 0;
    if (!f0 || td == 0 || f0->longRef) {
      mv0[0] = mvCol[0];
      mv0[1] = mvCol[1];
      mv1[0] = mv1[1] = 0;
    } else {
      int tb = clip3(-128, 127, cur->poc - f0->poc);
      int tx = (16384 + std::abs(td / 2)) / td;
      int dsf = clip3(-1024, 1023, (tb * tx + 32) >> 6);
      for (int c = 0; c < 2; ++c) {
        mv0[c] = (dsf * mvCol[c] + 128) >> 8;
        mv1[c] = mv0[c] - mvCol[c];
      }
    }
    const int refs[2] = {ref0, 0};
    const int mvs[2][2] = {{mv0[0], mv0[1]}, {mv1[0], mv1[1]}};
    store_both(x4, y4, step, step, refs, mvs);
  }
}

// B_Skip and B_Direct_16x16. With spatial prediction and
// direct_8x8_inference each 8x8 quadrant takes one of two motions, by
// whether its co-located corner block is still (colZeroFlag): the
// macroblock is stored at once when the four agree.
void SliceDecoder::direct_motion_mb() {
  spatialReady_ = false;
  if (!sh.directSpatial || !sps.direct8x8Inference) {
    for (int b = 0; b < 4; ++b) direct_motion(b);
    return;
  }
  spatial_direct_setup();
  unsigned still = 0;  // colZeroFlag by quadrant, where it can matter
  if (!directZero_ && (spatialRef_[0] == 0 || spatialRef_[1] == 0)) {
    // The corner blocks of the co-located macroblock (colocated() with
    // direct_8x8_inference), list 0 motion unless only list 1 is used.
    const Frame* col = ctx.refList[1][0];
    if (col && col->shortRef && col->width == cur->width && col->height == cur->height && !col->mbIntra[mb.addr]) {
      const size_t W4 = size_t(W) * 4;
      const BlockMotion* m = &col->motion[size_t(mb.y * 4) * W4 + size_t(mb.x) * 4];
      for (int q = 0; q < 4; ++q) {
        const BlockMotion& c = m[(q >> 1) * 3 * W4 + (q & 1) * 3];
        const int l = c.ref[0] >= 0 ? 0 : 1;
        if (c.ref[l] == 0 && c.mv[l][0] >= -1 && c.mv[l][0] <= 1 && c.mv[l][1] >= -1 && c.mv[l][1] <= 1)
          still |= 1u << q;
      }
    }
  }
  int stillMv[2][2];
  for (int l = 0; l < 2; ++l)
    for (int c = 0; c < 2; ++c) stillMv[l][c] = spatialRef_[l] == 0 ? 0 : spatialMv_[l][c];
  if (still == 0 || still == 15) {
    store_both(0, 0, 4, 4, spatialRef_, still ? stillMv : spatialMv_);
    mb.partShape = 0;  // predicted as one 16x16 block
    return;
  }
  for (int q = 0; q < 4; ++q)
    store_both((q & 1) * 2, (q >> 1) * 2, 2, 2, spatialRef_, still >> q & 1 ? stillMv : spatialMv_);
}

void SliceDecoder::compute_implicit_weights() {
  for (int i = 0; i < ctx.refCount[0] && i < 32; ++i)
    for (int j = 0; j < ctx.refCount[1] && j < 32; ++j) {
      const Frame* f0 = ctx.refList[0][i];
      const Frame* f1 = ctx.refList[1][j];
      int w1 = 32;
      if (f0 && f1 && !f0->longRef && !f1->longRef) {
        int td = clip3(-128, 127, f1->poc - f0->poc);
        if (td != 0) {
          int tb = clip3(-128, 127, cur->poc - f0->poc);
          int tx = (16384 + std::abs(td / 2)) / td;
          int dsf = clip3(-1024, 1023, (tb * tx + 32) >> 6);
          if ((dsf >> 2) >= -64 && (dsf >> 2) <= 128) w1 = dsf >> 2;
        }
      }
      implicitW[i][j] = int8_t(w1);
    }
}

}  // namespace h264dec
