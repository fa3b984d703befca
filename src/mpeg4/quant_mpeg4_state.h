// The MPEG-4 quantiser states (ISO/IEC 14496-2 7.4.4): where the record sits
// in the caller's memory, its kind tags, the quantiser limits that follow from
// the bits per pixel, and the inverse inter rule that both the inverse
// quantiser and the fused decode-and-reconstruct path apply.
#pragma once

#include <cstdint>
#include <cstring>

#include "kvnvc.h"

namespace kvn {
namespace mpeg4 {

static_assert(sizeof(KvnQuantInvState_MPEG4) + 16 == 156, "inverse state size");
static_assert(sizeof(KvnQuantState_MPEG4) + 16 == 412, "forward state size");

// GetSize reports the record plus the room to round the pointer up to 16.
inline constexpr int32_t kInvStateBytes = int32_t(sizeof(KvnQuantInvState_MPEG4)) + 16;
inline constexpr int32_t kStateBytes = int32_t(sizeof(KvnQuantState_MPEG4)) + 16;

inline constexpr char kTagInvInter[4] = {'S', 'A', 'M', 'C'};
inline constexpr char kTagInvIntra[4] = {'R', 'A', 'M', 'C'};
inline constexpr char kTagInter[4] = {'U', 'A', 'M', 'C'};
inline constexpr char kTagIntra[4] = {'T', 'A', 'M', 'C'};

// The record inside the caller's memory: the pointer rounded up to 16.
template <typename State, typename Mem>
inline State* aligned_state(Mem* mem) {
  auto addr = reinterpret_cast<uintptr_t>(mem);
  return reinterpret_cast<State*>((addr + 15) & ~uintptr_t(15));
}

inline bool has_tag(const char (&tag)[4], const char (&want)[4]) { return std::memcmp(tag, want, 4) == 0; }

inline bool valid_bits_per_pixel(int32_t b) { return b >= 4 && b <= 12; }

// Largest quantiser for b bits per pixel: 2^(b-3) - 1. A state whose bits per
// pixel lie outside 4..12 (only a forged one can) allows no quantiser at all.
inline int32_t qp_max(int32_t b) { return valid_bits_per_pixel(b) ? (1 << (b - 3)) - 1 : 0; }

// Reconstruction range -2^(b+3)..2^(b+3) - 1.
inline int32_t recon_max(int32_t b) { return (1 << (b + 3)) - 1; }
inline int32_t recon_min(int32_t b) { return -(1 << (b + 3)); }

// dc_scaler of ISO/IEC 14496-2 Table 7-1; blockType 0 luminance, else chrominance.
inline int32_t dc_scaler(int32_t qp, int32_t blockType) {
  if (blockType == 0) {
    if (qp <= 4) return 8;
    if (qp <= 8) return 2 * qp;
    if (qp <= 24) return qp + 8;
    return 2 * qp - 16;
  }
  if (qp <= 4) return 8;
  if (qp <= 24) return (qp + 13) / 2;
  return qp - 6;
}

inline int32_t clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// Inverse quantisation of an inter block (ISO/IEC 14496-2 7.4.4.1-7.4.4.3) at
// raster indexes 0..last: method 1 without a matrix, method 2 with one
// (followed by mismatch control over positions 0..last and 63). A last index
// above 63 means the whole block.
inline void inv_inter_reference(int16_t* block, int32_t last, const KvnQuantInvState_MPEG4& s, int32_t qp) {
  if (last > 63) last = 63;
  const int32_t lo = recon_min(s.bitsPerPixel), hi = recon_max(s.bitsPerPixel);
  if (!s.matrixFlag) {
    const int32_t odd = qp - ((qp & 1) ^ 1);
    for (int32_t k = 0; k <= last; ++k) {
      const int32_t l = block[k];
      if (l == 0) continue;
      const int32_t mag = 2 * qp * (l < 0 ? -l : l) + odd;
      block[k] = int16_t(clamp(l < 0 ? -mag : mag, lo, hi));
    }
    return;
  }
  int32_t sum = 0;
  for (int32_t k = 0; k <= last; ++k) {
    const int32_t l = block[k];
    if (l == 0) continue;
    const int64_t f = int64_t(2 * l + (l < 0 ? -1 : 1)) * s.weights[k] * qp / 16;
    block[k] = int16_t(f < lo ? lo : f > hi ? hi : f);
    sum += block[k];
  }
  if (last < 63) sum += block[63];
  if ((sum & 1) == 0) block[63] = int16_t(block[63] ^ 1);
}

}  // namespace mpeg4
}  // namespace kvn
