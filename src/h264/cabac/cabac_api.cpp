// Entries of the H.264 CABAC encoder: the coder state's life (GetSize, Init,
// InitAlloc, SetStream, TerminateSlice, Free), single bins, residual blocks
// and the queries. Every entry checks its arguments before it touches the
// state; a bin that would reach the buffer's end limit returns
// KVN_STS_OUT_OF_BUFFER with the state unchanged.
#include <algorithm>
#include <cstring>

#include "core/entry.h"
#include "h264/cabac/cabac.h"
#include "h264/cabac/cabac_engine.h"

using namespace kvn;

namespace {

CabacRegs load_regs(const void* state) {
  CabacRegs r;
  std::memcpy(&r, state, sizeof r);
  return r;
}

void store_regs(void* state, const CabacRegs& r) { std::memcpy(state, &r, sizeof r); }

// The first byte the output may not touch: start + size - 4 rounded up to a
// multiple of 4 (start is 4-aligned, so at least start).
uint8_t* end_limit(uint8_t* start, uint32_t size) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(start) + size - 4;
  return static_cast<uint8_t*>(kvnAlignPtr(reinterpret_cast<void*>(at), 4));
}

// Checks shared by Init and InitAlloc, in their order. A bit offset that puts
// the slice data beyond the buffer is a size error: the alignment bits would
// be written outside it.
KvnResult init_checks(const Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s cabacInitIdc) {
  if (!in_range(cabacInitIdc + 1, 3)) return KVN_STS_OUT_OF_RANGE;
  if (size == 0 || (uint64_t(bitOffset) + 7) / 8 > size) return KVN_STS_SIZE_ERR;
  if (reinterpret_cast<uintptr_t>(pBitStream) & 3) return KVN_STS_WRN_MISALIGNED;
  return KVN_STS_OK;
}

// H.264 9.3.1.1 and 9.3.1.2 (encoder side), the arguments checked.
void init_state(uint8_t* state, Kvn8u* buf, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQp, Kvn32s cabacInitIdc) {
  // cabac_alignment_one_bit up to the next byte boundary.
  if (bitOffset & 7) buf[bitOffset >> 3] |= uint8_t((1u << (8 - (bitOffset & 7))) - 1);
  const uint32_t dataByte = uint32_t((uint64_t(bitOffset) + 7) >> 3);
  CabacRegs r;
  r.start = buf;
  r.size = size;
  r.end = end_limit(buf, size);
  r.offset = bitOffset;
  r.word = buf + (dataByte & ~3u);
  r.value = 0;
  for (uint32_t k = 0; k < (dataByte & 3); ++k) r.value |= uint32_t(r.word[k]) << (24 - 8 * k);
  r.free = 33 - 8 * int(dataByte & 3);
  r.low = 0;
  r.range = 510;
  store_regs(state, r);

  const int qp = std::clamp(sliceQp, 0, 51);
  const int8_t(*mn)[2] = kCabacInitMN[cabacInitIdc + 1];
  uint8_t* ctx = state + kCabacCtxOffset;
  for (int i = 0; i < kCabacContexts; ++i) {
    const int pre = std::clamp(((mn[i][0] * qp) >> 4) + mn[i][1], 1, 126);
    ctx[i] = uint8_t(pre <= 63 ? 63 - pre : (pre - 64) | 64);
  }
  ctx[kCabacEndOfSlice] = 63;
}

template <class T>
KvnResult encode_block(const T* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat, Kvn32u chromaExp, Kvn32u frameFlag,
                       void* pState) {
  KVN_CHECK_PTRS(pSrc, pState);
  if (ctxBlockCat > 5 || frameFlag > 1) return KVN_STS_OUT_OF_RANGE;
  // Only 4:2:0 and 4:2:2 have chroma DC blocks of their own category.
  if (ctxBlockCat == 3 ? chromaExp > 1 : chromaExp != 0) return KVN_STS_BAD_ARG;
  // A last index beyond the block would read past the caller's coefficients.
  if (lastIdx >= cabac_coeff_count(int(ctxBlockCat), int(chromaExp))) return KVN_STS_OUT_OF_RANGE;
  const CabacBlock b{lastIdx, int(ctxBlockCat), int(chromaExp), frameFlag == 0};
  if constexpr (sizeof(T) == 2)
    return KVN_KERNEL(cabac, residual16s)(pSrc, b, static_cast<uint8_t*>(pState));
  else
    return KVN_KERNEL(cabac, residual32s)(pSrc, b, static_cast<uint8_t*>(pState));
}

}  // namespace

KVN_ENTRY(kvniCABACGetSize_H264)(Kvn32u* pSize) {
  KVN_CHECK_PTRS(pSize);
  *pSize = kCabacStateSize;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACInit_H264)
(void* pState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY, Kvn32s cabacInitIdc) {
  KVN_CHECK_PTRS(pState, pBitStream);
  if (const KvnResult st = init_checks(pBitStream, bitOffset, size, cabacInitIdc)) return st;
  init_state(static_cast<uint8_t*>(pState), pBitStream, bitOffset, size, sliceQPY, cabacInitIdc);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACInitAlloc_H264)
(void** ppState, Kvn8u* pBitStream, Kvn32u bitOffset, Kvn32u size, Kvn32s sliceQPY, Kvn32s cabacInitIdc) {
  KVN_CHECK_PTRS(ppState, pBitStream);
  if (const KvnResult st = init_checks(pBitStream, bitOffset, size, cabacInitIdc)) return st;
  void* state = kvnMalloc(kCabacStateSize);
  if (!state) return KVN_STS_NO_MEMORY;
  init_state(static_cast<uint8_t*>(state), pBitStream, bitOffset, size, sliceQPY, cabacInitIdc);
  *ppState = state;
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACFree_H264)(void* pState) {
  KVN_CHECK_PTRS(pState);
  kvnFree(pState);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACSetStream_H264)(Kvn8u* pBitStream, Kvn32u size, void* pState) {
  KVN_CHECK_PTRS(pBitStream, pState);
  if (size == 0) return KVN_STS_SIZE_ERR;
  if (reinterpret_cast<uintptr_t>(pBitStream) & 3) return KVN_STS_WRN_MISALIGNED;
  CabacRegs r = load_regs(pState);
  const ptrdiff_t written = r.word - r.start;
  uint8_t* const end = end_limit(pBitStream, size);
  if (end - pBitStream <= written || size <= r.size) return KVN_STS_SIZE_ERR;
  r.start = pBitStream;
  r.word = pBitStream + written;
  r.end = end;
  r.size = size;
  store_regs(pState, r);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACEncodeBin_H264)(Kvn32u ctxIdx, Kvn32u binVal, void* pState) {
  KVN_CHECK_PTRS(pState);
  if (binVal > 1 || ctxIdx >= uint32_t(kCabacContexts)) return KVN_STS_OUT_OF_RANGE;
  uint8_t* const state = static_cast<uint8_t*>(pState);
  CabacCoder c(state);
  uint8_t& ctx = state[kCabacCtxOffset + ctxIdx];
  uint8_t next = ctx;
  c.decision(next, binVal);
  if (!c.flush()) return KVN_STS_OUT_OF_BUFFER;
  ctx = next;
  c.commit(state);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACEncodeBinBypass_H264)(Kvn32u binVal, void* pState) {
  KVN_CHECK_PTRS(pState);
  if (binVal > 1) return KVN_STS_OUT_OF_RANGE;
  uint8_t* const state = static_cast<uint8_t*>(pState);
  CabacCoder c(state);
  c.bypass(binVal);
  if (!c.flush()) return KVN_STS_OUT_OF_BUFFER;
  c.commit(state);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACEncodeResidualBlock_H264_16s)
(const Kvn16s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat, Kvn32u chromaExp, Kvn32u frameFlag, void* pState) {
  return encode_block(pSrc, lastIdx, ctxBlockCat, chromaExp, frameFlag, pState);
}

KVN_ENTRY(kvniCABACEncodeResidualBlock_H264_32s)
(const Kvn32s* pSrc, Kvn32s lastIdx, Kvn32u ctxBlockCat, Kvn32u chromaExp, Kvn32u frameFlag, void* pState) {
  return encode_block(pSrc, lastIdx, ctxBlockCat, chromaExp, frameFlag, pState);
}

// EncodeFlush (9.3.4.5) after end_of_slice_flag: the bit from bit 9 of
// codILow, then ((codILow >> 7) & 3) | 1, whose final 1 is the
// rbsp_stop_one_bit.
KVN_ENTRY(kvniCABACTerminateSlice_H264)(Kvn32u* pBitStreamBytes, void* pState) {
  KVN_CHECK_PTRS(pBitStreamBytes, pState);
  CabacRegs r = load_regs(pState);
  CabacCoder c(static_cast<const uint8_t*>(pState));
  const int n = 3;
  if (!c.word_below_end(n > c.free ? 4 : 0)) return KVN_STS_MEM_ALLOC;
  c.put(((c.low >> 7) & 7u) | 1u, n);
  if (c.free == 32) {  // the bits filled the word exactly: put stored it
    c.word -= 4;
    c.free = 0;
  } else {
    store_be32(c.word, c.value);
  }
  *pBitStreamBytes = uint32_t((c.bit_position() + 7) >> 3);
  r.start = r.word = r.end = nullptr;
  r.value = 0;
  r.size = 0;
  r.low = 0;
  r.range = 510;
  r.free = 32;
  store_regs(pState, r);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACGetStreamSize_H264)(Kvn32u* pBitStreamBits, const void* pState) {
  KVN_CHECK_PTRS(pBitStreamBits, pState);
  const uint8_t* const state = static_cast<const uint8_t*>(pState);
  const int64_t dataStart = (int64_t(KVN_CABAC_LOAD(state, offset)) + 7) & ~int64_t(7);
  const int64_t bits = std::max(CabacCoder(state).bit_position(), dataStart);
  *pBitStreamBits = bits > int64_t(UINT32_MAX) ? 0 : uint32_t(bits);
  return KVN_STS_OK;
}

KVN_ENTRY(kvniCABACGetContexts_H264)(const void* pState, Kvn32s first, Kvn8u* pContexts, Kvn32s count) {
  KVN_CHECK_PTRS(pState, pContexts);
  if (first < 0 || count < 0 || int64_t(first) + count > kCabacContexts) return KVN_STS_OUT_OF_RANGE;
  std::memcpy(pContexts, static_cast<const uint8_t*>(pState) + kCabacCtxOffset + first, size_t(count));
  return KVN_STS_OK;
}
