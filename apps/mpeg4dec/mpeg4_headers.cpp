#include "mpeg4_headers.h"

#include <algorithm>

namespace mpeg4dec {
namespace {

constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                                 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                                 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// ISO/IEC 14496-2 6.3.3: the default matrices, raster order.
constexpr uint8_t kDefaultIntra[64] = {8,  17, 18, 19, 21, 23, 25, 27, 17, 18, 19, 21, 23, 25, 27, 28,
                                       20, 21, 22, 23, 24, 26, 28, 30, 21, 22, 23, 24, 26, 28, 30, 32,
                                       22, 23, 24, 26, 28, 30, 32, 35, 23, 24, 26, 28, 30, 32, 35, 38,
                                       25, 26, 28, 30, 32, 35, 38, 41, 27, 28, 30, 32, 35, 38, 41, 45};
constexpr uint8_t kDefaultInter[64] = {16, 17, 18, 19, 20, 21, 22, 23, 17, 18, 19, 20, 21, 22, 23, 24,
                                       18, 19, 20, 21, 22, 23, 24, 25, 19, 20, 21, 22, 23, 24, 26, 27,
                                       20, 21, 22, 23, 25, 26, 27, 28, 21, 22, 23, 24, 26, 27, 28, 30,
                                       22, 23, 24, 26, 27, 28, 30, 31, 23, 24, 25, 27, 28, 30, 31, 33};

// A matrix in zigzag order, ended early by a zero (the last value repeats).
bool load_matrix(BitReader& b, uint8_t* m) {
  int last = 0, i = 0;
  for (; i < 64; ++i) {
    const int v = int(b.u(8));
    if (v == 0) break;
    m[kZigzag[i]] = uint8_t(last = v);
  }
  if (i == 0) return false;
  for (; i < 64; ++i) m[kZigzag[i]] = uint8_t(last);
  return true;
}

bool marker(BitReader& b) { return b.u1() == 1; }

}  // namespace

std::string parse_vol(BitReader& b, Vol& vol) {
  vol = Vol();
  b.skip(1);  // random_accessible_vol
  const int objectType = int(b.u(8));
  if (objectType == 0x12) return "unsupported: fine granularity scalability";
  if (b.u1()) {  // is_object_layer_identifier
    vol.verid = int(b.u(4));
    b.skip(3);
  }
  if (b.u(4) == 15) b.skip(16);  // aspect_ratio_info, extended PAR
  if (b.u1()) {                  // vol_control_parameters
    if (b.u(2) != 1) return "unsupported: chroma format other than 4:2:0";
    b.skip(1);     // low_delay
    if (b.u1()) {  // vbv_parameters
      b.skip(15 + 1 + 15 + 1 + 15 + 1 + 3 + 11 + 1 + 15 + 1);
    }
  }
  const int shape = int(b.u(2));
  if (shape != 0) return "unsupported: non-rectangular shape";
  if (!marker(b)) return "invalid VOL header";
  vol.timeResolution = int(b.u(16));
  if (vol.timeResolution == 0) return "invalid VOL header";
  if (!marker(b)) return "invalid VOL header";
  vol.timeBits = 1;
  while ((1 << vol.timeBits) < vol.timeResolution) ++vol.timeBits;
  if (b.u1()) b.skip(vol.timeBits);  // fixed_vop_rate
  if (!marker(b)) return "invalid VOL header";
  vol.width = int(b.u(13));
  if (!marker(b)) return "invalid VOL header";
  vol.height = int(b.u(13));
  if (!marker(b)) return "invalid VOL header";
  if (vol.width < 1 || vol.height < 1) return "invalid VOL header";
  if (b.u1()) return "unsupported: interlace";
  b.skip(1);  // obmc_disable
  if (b.u(vol.verid == 1 ? 1 : 2)) return "unsupported: GMC/sprites";
  if (b.u1()) {  // not_8_bit
    const int quantPrecision = int(b.u(4)), bits = int(b.u(4));
    if (bits != 8 || quantPrecision != 5) return "unsupported: N-bit";
  }
  vol.mpegQuant = b.u1();
  std::copy(kDefaultIntra, kDefaultIntra + 64, vol.intraMatrix);
  std::copy(kDefaultInter, kDefaultInter + 64, vol.interMatrix);
  if (vol.mpegQuant) {
    if (b.u1() && !load_matrix(b, vol.intraMatrix)) return "invalid quantiser matrix";
    if (b.u1() && !load_matrix(b, vol.interMatrix)) return "invalid quantiser matrix";
  }
  if (vol.verid != 1 && b.u1()) return "unsupported: quarter-sample";
  if (!b.u1()) return "unsupported: complexity estimation";
  vol.resyncMarkers = !b.u1();
  if (b.u1()) return "unsupported: data partitioning";
  if (vol.verid != 1) {
    if (b.u1()) return "unsupported: newpred";
    if (b.u1()) return "unsupported: reduced resolution";
  }
  if (b.u1()) return "unsupported: scalability";
  if (b.overrun()) return "invalid VOL header";
  return "";
}

std::string parse_vop(BitReader& b, const Vol& vol, Vop& vop) {
  vop = Vop();
  vop.type = int(b.u(2));
  if (vop.type == kVopS) return "unsupported: GMC/sprites";
  while (b.u1()) {
    if (++vop.moduloTime > 1000 || b.overrun()) return "invalid VOP header";
  }
  if (!marker(b)) return "invalid VOP header";
  vop.timeIncrement = int(b.u(vol.timeBits));
  if (!marker(b)) return "invalid VOP header";
  vop.coded = b.u1();
  if (!vop.coded) return "";
  if (vop.type == kVopP) vop.rounding = int(b.u1());
  static constexpr int kThreshold[8] = {99, 13, 15, 17, 19, 21, 23, 0};
  vop.dcThreshold = kThreshold[b.u(3)];
  vop.quant = int(b.u(5));
  if (vop.quant == 0) return "invalid VOP header";
  if (vop.type != kVopI) vop.fcodeF = int(b.u(3));
  if (vop.type == kVopB) vop.fcodeB = int(b.u(3));
  if (vop.fcodeF == 0 || vop.fcodeB == 0) return "invalid VOP header";
  if (b.overrun()) return "invalid VOP header";
  return "";
}

int resync_zeros(const Vop& vop) {
  if (vop.type == kVopI) return 16;
  if (vop.type == kVopP) return 15 + vop.fcodeF;
  return std::max(15 + std::max(vop.fcodeF, vop.fcodeB), 17);
}

bool resync_marker_next(const BitReader& b, const Vop& vop) {
  const int stuff = 8 - b.off;  // 0 then ones up to the byte boundary
  if (b.peek(stuff) != (1u << (stuff - 1)) - 1) return false;
  BitReader t = b;
  t.skip(stuff);
  const int zeros = resync_zeros(vop);
  return t.peek(zeros + 1) == 1;
}

int parse_packet_header(BitReader& b, const Vol& vol, Vop& vop, int mbCount, int& quant) {
  b.skip(8 - b.off);
  b.skip(resync_zeros(vop) + 1);
  int mbBits = 1;
  while ((1 << mbBits) < mbCount) ++mbBits;
  const int mb = int(b.u(mbBits));
  quant = int(b.u(5));
  if (b.u1()) {  // header_extension_code: a copy of the VOP header's fields
    while (b.u1())
      if (b.overrun()) return -1;
    if (!marker(b)) return -1;
    b.skip(vol.timeBits);
    if (!marker(b)) return -1;
    const int type = int(b.u(2));
    static constexpr int kThreshold[8] = {99, 13, 15, 17, 19, 21, 23, 0};
    const int thr = kThreshold[b.u(3)];
    if (type != vop.type) return -1;
    vop.dcThreshold = thr;
    if (type != kVopI) b.skip(3);
    if (type == kVopB) b.skip(3);
  }
  if (mb >= mbCount || quant == 0 || b.overrun()) return -1;
  return mb;
}

}  // namespace mpeg4dec
