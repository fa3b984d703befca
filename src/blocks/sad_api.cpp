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
  *out = Kvn32s(sad_kernels().sad[size][mode_slot(mode)](src, ss, ref, rs));
  return KVN_STS_OK;
}

inline KvnResult sad_full(SadFullSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs,
                          Kvn32s* out) {
  KVN_CHECK_PTRS(src, ref, out);
  *out = Kvn32s(sad_kernels().sad_full[size](src, ss, ref, rs));
  return KVN_STS_OK;
}

inline KvnResult sad16u(Sad16uSize size, const Kvn16u* src, int32_t ss, const Kvn16u* ref, int32_t rs,
                        Kvn32s* out, int32_t mode) {
  KVN_CHECK_PTRS(src, ref, out);
  *out = Kvn32s(sad_kernels().sad16u[size][mode_slot(mode)](src, ss, ref, rs));
  return KVN_STS_OK;
}

inline KvnResult xn(SadXnSize size, const Kvn8u* src, int32_t ss, const Kvn8u* ref, int32_t rs, Kvn16u* sads,
                    int32_t count) {
  KVN_CHECK_PTRS(src, ref, sads);
  if (candidates(count) < 1) return KVN_STS_SIZE_ERR;
  sad_kernels().xn[size](src, ss, ref, rs, sads, candidates(count));
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

}  // namespace

// ---- single blocks -------------------------------------------------------------

KVN_ENTRY(kvniSAD16x16_8u32s)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                              Kvn32s* pSAD, int32_t mode) {
  return sad(kSad16x16, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD16x8_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                 Kvn32s* pSAD, int32_t mode) {
  return sad(kSad16x8, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD8x8_8u32s_C1R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                Kvn32s* pSAD, int32_t mode) {
  return sad(kSad8x8, pSrc, srcStep, pRef, refStep, pSAD, mode);
}

KVN_ENTRY(kvniSAD4x4_8u32s)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                            Kvn32s* pSAD) {
  return sad_full(kSad4x4, pSrc, srcStep, pRef, refStep, pSAD);
}

#define KVN_SAD_FULL_ENTRY(W, H)                                                                          \
  KVN_ENTRY(kvniSAD##W##x##H##_8u32s_C1R)                                                                 \
  (const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn32s* pSAD) {                \
    return sad_full(kSad##W##x##H, pSrc, srcStep, pRef, refStep, pSAD);                                   \
  }
KVN_SAD_FULL_ENTRY(8, 4)
KVN_SAD_FULL_ENTRY(4, 8)
KVN_SAD_FULL_ENTRY(8, 16)
#undef KVN_SAD_FULL_ENTRY

#define KVN_SAD16U_ENTRY(W)                                                                               \
  KVN_ENTRY(kvniSAD##W##x##W##_16u32s_C1R)                                                                \
  (const Kvn16u* pSrc, int32_t srcStep, const Kvn16u* pRef, int32_t refStep, Kvn32s* pSAD, int32_t mode) { \
    return sad16u(kSad16u##W##x##W, pSrc, srcStep, pRef, refStep, pSAD, mode);                            \
  }
KVN_SAD16U_ENTRY(16)
KVN_SAD16U_ENTRY(8)
KVN_SAD16U_ENTRY(4)
#undef KVN_SAD16U_ENTRY

KVN_ENTRY(kvniSAD8x8_8u32s_C2R)(const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep,
                                Kvn32s* pSAD1, Kvn32s* pSAD2, int32_t mode) {
  KVN_CHECK_PTRS(pSrc, pRef, pSAD1, pSAD2);
  if (srcStep < 1 || refStep < 1) return KVN_STS_STEP_ERR;
  uint32_t sads[2];
  sad_kernels().sad8x8_c2[mode_slot(mode)](pSrc, srcStep, pRef, refStep, sads);
  *pSAD1 = Kvn32s(sads[0]);
  *pSAD2 = Kvn32s(sads[1]);
  return KVN_STS_OK;
}

// ---- several candidates ----------------------------------------------------------

#define KVN_XN_ENTRY(W)                                                                                   \
  KVN_ENTRY(kvniSAD##W##x##W##xN_8u16u_C1R)                                                               \
  (const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count) { \
    return xn(kXn##W##x##W, pSrc, srcStep, pRef, refStep, pSAD, count);                                   \
  }
KVN_XN_ENTRY(16)
KVN_XN_ENTRY(8)
KVN_XN_ENTRY(4)
KVN_XN_ENTRY(2)
#undef KVN_XN_ENTRY

#define KVN_XNI_ENTRY(W, T)                                                                               \
  KVN_ENTRY(kvniSAD##W##x##W##xNI_8u16u_C1R)                                                              \
  (const Kvn8u* pSrc, int32_t srcStep, const Kvn8u* pRef, int32_t refStep, Kvn16u* pSAD, int32_t count,   \
   Kvn32u* pIndex) {                                                                                      \
    return xni<T>(kXn##W##x##W, pSrc, srcStep, pRef, refStep, pSAD, count, pIndex);                       \
  }
KVN_XNI_ENTRY(16, uint16_t)
KVN_XNI_ENTRY(8, int16_t)
KVN_XNI_ENTRY(4, int16_t)
#undef KVN_XNI_ENTRY

// ---- sub-blocks, frame / field activity -------------------------------------

#define KVN_BLOCKS_ENTRY(name, T, Out, slot)                                                              \
  KVN_ENTRY(name)(const T* pSrc, int32_t srcStep, const T* pRef, int32_t refStep, Out* pDstSAD) {          \
    KVN_CHECK_PTRS(pSrc, pRef, pDstSAD);                                                                  \
    sad_kernels().slot(pSrc, srcStep, pRef, refStep, pDstSAD);                                            \
    return KVN_STS_OK;                                                                                    \
  }
KVN_BLOCKS_ENTRY(kvniSAD16x16Blocks8x8_8u16u, Kvn8u, Kvn16u, blocks8x8)
KVN_BLOCKS_ENTRY(kvniSAD16x16Blocks4x4_8u16u, Kvn8u, Kvn16u, blocks4x4)
KVN_BLOCKS_ENTRY(kvniSAD16x16Blocks8x8_16u32u_C1R, Kvn16u, Kvn32u, blocks8x8_16u)
KVN_BLOCKS_ENTRY(kvniSAD16x16Blocks4x4_16u32u_C1R, Kvn16u, Kvn32u, blocks4x4_16u)
#undef KVN_BLOCKS_ENTRY

#define KVN_FRAME_FIELD_ENTRY(name, T, slot)                                                              \
  KVN_ENTRY(name)(const T* pSrc, int32_t srcStep, Kvn32u* pFrameSAD, Kvn32u* pFieldSAD) {                  \
    KVN_CHECK_PTRS(pSrc, pFrameSAD, pFieldSAD);                                                           \
    uint32_t out[2];                                                                                      \
    sad_kernels().slot(pSrc, srcStep, out);                                                               \
    *pFrameSAD = out[0];                                                                                  \
    *pFieldSAD = out[1];                                                                                  \
    return KVN_STS_OK;                                                                                    \
  }
KVN_FRAME_FIELD_ENTRY(kvniFrameFieldSAD16x16_8u32s_C1R, Kvn8u, frame_field)
KVN_FRAME_FIELD_ENTRY(kvniFrameFieldSAD16x16_16s32s_C1R, Kvn16s, frame_field16s)
#undef KVN_FRAME_FIELD_ENTRY

// ---- subtract and SAD -----------------------------------------------------------

// The SAD pointer is checked too (after the other three), so that a null one
// is an error rather than a crash.
KVN_ENTRY(kvniSubSAD8x8_8u16s_C1R)(const Kvn8u* pSrc1, int32_t src1Step, const Kvn8u* pSrc2, int32_t src2Step,
                                   Kvn16s* pDst, int32_t dstStep, Kvn32u* pSAD) {
  KVN_CHECK_PTRS(pSrc1, pSrc2, pDst, pSAD);
  *pSAD = sad_kernels().sub_sad8x8(pSrc1, src1Step, pSrc2, src2Step, pDst, dstStep);
  return KVN_STS_OK;
}
