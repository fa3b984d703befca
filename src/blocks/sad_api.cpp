// Entries of the SAD family: null-pointer checks, the step check of the
// two-channel member and the candidate count of the xN members, then one call
// through the kernel table. The mode is not checked: (mode >> 2) & 3 picks
// one of the four kernels of a size whatever its value (sad.h).
#include <algorithm>

#include "core/entry.h"
#include "sad.h"

using namespace kvn;

namespace {

inline int mode_slot(int32_t mode) { return (mode >> 2) & 3; }

// Candidates scored: the count rounded down to a multiple of 8.
inline int32_t candidates(int32_t count) { return count & ~7; }

inline KvnResult sad(SadModeSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn32s* out,
                     int32_t mode) {
  KVN_CHECK_PTRS(src, ref, out);
  with_index<4>(mode_slot(mode), [&](auto m) { *out = Kvn32s(KVN_KERNEL(sad, sad[size][m])(src, ss, ref, rs)); });
  return KVN_STS_OK;
}

inline KvnResult sad_full(SadFullSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn32s* out) {
  KVN_CHECK_PTRS(src, ref, out);
  *out = Kvn32s(KVN_KERNEL(sad, sad_full[size])(src, ss, ref, rs));
  return KVN_STS_OK;
}

inline KvnResult sad16u(Sad16uSize size, const Kvn16u* src, int32_t ss, const Kvn16u* ref, int32_t rs, Kvn32s* out,
                        int32_t mode) {
  KVN_CHECK_PTRS(src, ref, out);
  with_index<4>(mode_slot(mode), [&](auto m) { *out = Kvn32s(KVN_KERNEL(sad, sad16u[size][m])(src, ss, ref, rs)); });
  return KVN_STS_OK;
}

inline KvnResult xn(SadXnSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn16u* sads,
                    int32_t count) {
  KVN_CHECK_PTRS(src, ref, sads);
  if (candidates(count) < 1) return KVN_STS_SIZE_ERR;
  KVN_KERNEL(sad, xn[size])(src, ss, ref, rs, sads, candidates(count));
  return KVN_STS_OK;
}

// Index of the smallest of n SADs compared as T (the lowest among equal ones):
// the least value first (a loop the compiler vectorises), then its first place.
template <class T>
uint32_t best_index(const Kvn16u* sads, int32_t n) {
  T least = T(sads[0]);
  for (int32_t i = 1; i < n; ++i) least = std::min(least, T(sads[i]));
  uint32_t i = 0;
  while (T(sads[i]) != least) ++i;
  return i;
}

// 16x16 SADs reach 65280 and are compared unsigned; those of the smaller
// sizes stay below 16384 and are compared as signed 16-bit values.
template <class T>
inline KvnResult xni(SadXnSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn16u* sads,
                     int32_t count, Kvn32u* index) {
  KVN_CHECK_PTRS(src, ref, sads, index);
  const KvnResult st = xn(size, src, ss, ref, rs, sads, count);
  if (st == KVN_STS_OK) *index = best_index<T>(sads, candidates(count));
  return st;
}

// The SADs of the 8x8 or 4x4 sub-blocks of a 16x16 block.
template <class Fn, class T, class Out>
inline KvnResult blocks(Fn fn, const T* src, int32_t ss, const T* ref, int32_t rs, Out* out) {
  KVN_CHECK_PTRS(src, ref, out);
  fn(src, ss, ref, rs, out);
  return KVN_STS_OK;
}

template <class Fn, class T>
inline KvnResult frame_field(Fn fn, const T* src, int32_t ss, Kvn32u* frame, Kvn32u* field) {
  KVN_CHECK_PTRS(src, frame, field);
  uint32_t out[2];
  fn(src, ss, out);
  *frame = out[0];
  *field = out[1];
  return KVN_STS_OK;
}

}  // namespace

// ---- single blocks -------------------------------------------------------------

KVN_ENTRY(kvniSAD16x16_8u32s)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad(kSad16x16, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD16x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad(kSad16x8, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD8x8_8u32s_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad(kSad8x8, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD4x4_8u32s)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD) {
  return sad_full(kSad4x4, pSrc, srcStep, pRef, refStep, pSAD);
}

KVN_ENTRY(kvniSAD8x4_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD) {
  return sad_full(kSad8x4, pSrc, srcStep, pRef, refStep, pSAD);
}

KVN_ENTRY(kvniSAD4x8_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD) {
  return sad_full(kSad4x8, pSrc, srcStep, pRef, refStep, pSAD);
}

KVN_ENTRY(kvniSAD8x16_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD) {
  return sad_full(kSad8x16, pSrc, srcStep, pRef, refStep, pSAD);
}

KVN_ENTRY(kvniSAD16x16_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad16u(kSad16u16x16, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD8x8_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad16u(kSad16u8x8, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD4x4_16u32s_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) {
  return sad16u(kSad16u4x4, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD8x8_8u32s_C2R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD1, Kvn32s* pSAD2, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSAD1, pSAD2);
  if (srcStep < 1 || refStep < 1) return KVN_STS_STEP_ERR;
  uint32_t sads[2];
  with_index<4>(mode_slot(mode), [&](auto m) { KVN_KERNEL(sad, sad8x8_c2[m])(pSrc, srcStep, pRef, refStep, sads); });
  *pSAD1 = Kvn32s(sads[0]);
  *pSAD2 = Kvn32s(sads[1]);
  return KVN_STS_OK;
}

// ---- several candidates ----------------------------------------------------------

KVN_ENTRY(kvniSAD16x16xN_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count) {
  return xn(kXn16x16, pSrc, srcStep, pRef, refStep, pSAD, count);
}

KVN_ENTRY(kvniSAD8x8xN_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count) {
  return xn(kXn8x8, pSrc, srcStep, pRef, refStep, pSAD, count);
}

KVN_ENTRY(kvniSAD4x4xN_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count) {
  return xn(kXn4x4, pSrc, srcStep, pRef, refStep, pSAD, count);
}

KVN_ENTRY(kvniSAD2x2xN_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count) {
  return xn(kXn2x2, pSrc, srcStep, pRef, refStep, pSAD, count);
}

KVN_ENTRY(kvniSAD16x16xNI_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count, Kvn32u* pIndex) {
  return xni<uint16_t>(kXn16x16, pSrc, srcStep, pRef, refStep, pSAD, count, pIndex);
}

KVN_ENTRY(kvniSAD8x8xNI_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count, Kvn32u* pIndex) {
  return xni<int16_t>(kXn8x8, pSrc, srcStep, pRef, refStep, pSAD, count, pIndex);
}

KVN_ENTRY(kvniSAD4x4xNI_8u16u_C1R)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count, Kvn32u* pIndex) {
  return xni<int16_t>(kXn4x4, pSrc, srcStep, pRef, refStep, pSAD, count, pIndex);
}

// ---- sub-blocks, frame / field activity -------------------------------------

KVN_ENTRY(kvniSAD16x16Blocks8x8_8u16u)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pDstSAD) {
  return blocks(KVN_KERNEL(sad, blocks8x8), pSrc, srcStep, pRef, refStep, pDstSAD);
}

KVN_ENTRY(kvniSAD16x16Blocks4x4_8u16u)
(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pDstSAD) {
  return blocks(KVN_KERNEL(sad, blocks4x4), pSrc, srcStep, pRef, refStep, pDstSAD);
}

KVN_ENTRY(kvniSAD16x16Blocks8x8_16u32u_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32u* pDstSAD) {
  return blocks(KVN_KERNEL(sad, blocks8x8_16u), pSrc, srcStep, pRef, refStep, pDstSAD);
}

KVN_ENTRY(kvniSAD16x16Blocks4x4_16u32u_C1R)
(const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32u* pDstSAD) {
  return blocks(KVN_KERNEL(sad, blocks4x4_16u), pSrc, srcStep, pRef, refStep, pDstSAD);
}

KVN_ENTRY(kvniFrameFieldSAD16x16_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD) {
  return frame_field(KVN_KERNEL(sad, frame_field), pSrc, srcStep, pFrameSAD, pFieldSAD);
}

KVN_ENTRY(kvniFrameFieldSAD16x16_16s32s_C1R)
(const Kvn16s* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD) {
  return frame_field(KVN_KERNEL(sad, frame_field16s), pSrc, srcStep, pFrameSAD, pFieldSAD);
}

// ---- subtract and SAD -----------------------------------------------------------

// The SAD pointer is checked too (after the other three), so that a null one
// is an error rather than a crash.
KVN_ENTRY(kvniSubSAD8x8_8u16s_C1R)
(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step, Kvn16s* pDst, int32_t dstStep,
 Kvn32u* pSAD) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst, pSAD);
  *pSAD = KVN_KERNEL(sad, sub_sad8x8)(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
  return KVN_STS_OK;
}
