// An H.264 CABAC decoder (ITU-T H.264 9.3.1.2, 9.3.3.2): the arithmetic
// decoding engine over byte-aligned slice data, and the decoding of residual
// blocks (significance map and levels, 9.3.2.3 and 9.3.3.1.3). The library
// offers CABAC encoding only; kvnvc-h264dec decodes CABAC slices with this,
// and the tests decode what the library writes. Not part of the library.
//
// Engine: codIOffset is kept in the top bits of a 64-bit register followed
// by `bits` bits of slice data not yet taken into it, so that a
// renormalisation is a shift of codIRange and a count, and the register is
// refilled six bytes at a time. Bytes past the end of the slice data read
// as 0; nothing beyond it is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kvnsupport {

namespace cabac_detail {

// rangeTabLPS of H.264 Table 9-44 by qCodIRangeIdx, then pStateIdx.
inline constexpr uint8_t kRangeLpsByQ[4][64] = {
    {128, 128, 128, 123, 116, 111, 105, 100, 95, 90, 85, 81, 77, 73, 69, 66, 62, 59, 56, 53, 51, 48,
     46,  43,  41,  39,  37,  35,  33,  32,  30, 29, 27, 26, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15,
     14,  14,  13,  12,  12,  11,  11,  10,  10, 9,  9,  8,  8,  7,  7,  7,  6,  6,  6,  2},
    {176, 167, 158, 150, 142, 135, 128, 122, 116, 110, 104, 99, 94, 89, 85, 80, 76, 72, 69, 65, 62, 59,
     56,  53,  50,  48,  45,  43,  41,  39,  37,  35,  33,  31, 30, 28, 27, 26, 24, 23, 22, 21, 20, 19,
     18,  17,  16,  15,  14,  14,  13,  12,  12,  11,  11,  10, 9,  9,  9,  8,  8,  7,  7,  2},
    {208, 197, 187, 178, 169, 160, 152, 144, 137, 130, 123, 117, 111, 105, 100, 95, 90, 86, 81, 77, 73, 69,
     66,  63,  59,  56,  54,  51,  48,  46,  43,  41,  39,  37,  35,  33,  32,  30, 29, 27, 26, 25, 23, 22,
     21,  20,  19,  18,  17,  16,  15,  15,  14,  13,  12,  12,  11,  11,  10,  10, 9,  9,  8,  2},
    {240, 227, 216, 205, 195, 185, 175, 166, 158, 150, 142, 135, 128, 122, 116, 110, 104, 99, 94, 89, 85, 80,
     76,  72,  69,  65,  62,  59,  56,  53,  50,  48,  45,  43,  41,  39,  37,  35,  33,  31, 30, 28, 27, 25,
     24,  23,  22,  21,  20,  19,  18,  17,  16,  15,  14,  14,  13,  12,  12,  11,  11,  10, 9,  2},
};
// transIdxLPS of H.264 Table 9-45 (transIdxMPS is pStateIdx + 1 up to 62).
inline constexpr uint8_t kTransLps[64] = {0,  0,  1,  2,  2,  4,  4,  5,  6,  7,  8,  9,  9,  11, 11, 12,
                                          13, 13, 15, 15, 16, 16, 18, 18, 19, 19, 21, 21, 22, 22, 23, 24,
                                          24, 25, 26, 26, 27, 27, 28, 29, 29, 30, 30, 30, 31, 32, 32, 33,
                                          33, 33, 34, 34, 35, 35, 35, 36, 36, 36, 37, 37, 37, 38, 38, 63};

// The engine's tables in one object, so that a decision addresses them all
// from one base register.
struct EngineTables {
  uint8_t rangeLps[128][4];  // rangeTabLPS by context byte (both valMPS), then qCodIRangeIdx
  uint8_t next[256];         // the context byte after a bin, by (bin was the LPS) << 7 | context byte
  uint8_t norm[512];         // renormalisation shift of codIRange (2..510) back to 256..510
  constexpr EngineTables() : rangeLps(), next(), norm() {
    for (int s = 0; s < 128; ++s) {
      for (int q = 0; q < 4; ++q) rangeLps[s][q] = kRangeLpsByQ[q][s & 63];
      const int state = s & 63, mps = s >> 6;
      next[s] = uint8_t(mps << 6 | (state < 62 ? state + 1 : state));
      next[128 + s] = uint8_t((state == 0 ? 1 - mps : mps) << 6 | kTransLps[state]);
    }
    for (int r = 1; r < 512; ++r) {
      int shift = 0;
      while ((r << shift) < 256) ++shift;
      norm[r] = uint8_t(shift);
    }
  }
};
inline constexpr EngineTables kTables{};

// The six bytes from p as a 48-bit big-endian value, 0 from end on, and how
// many of them were before end.
struct Tail {
  uint64_t bytes;
  int taken;
};
Tail load_tail(const uint8_t* p, const uint8_t* end);

}  // namespace cabac_detail

// The slice data the engine reads, and how far.
struct CabacStream {
  const uint8_t* data = nullptr;  // slice data
  const uint8_t* p = nullptr;     // next byte to load
  const uint8_t* end = nullptr;
  std::size_t past = 0;  // bytes loaded beyond the end (as 0)

  // The next six bytes as a 48-bit big-endian value, 0 from the end on.
  uint64_t next48() {
    uint64_t w;
    if (end - p >= 8) {
      std::memcpy(&w, p, 8);
      w = __builtin_bswap64(w) >> 16;
      p += 6;
    } else {
      const cabac_detail::Tail t = cabac_detail::load_tail(p, end);
      w = t.bytes;
      p += t.taken;
      past += 6 - t.taken;
    }
    return w;
  }
};

// The arithmetic decoder's registers over a stream S. The engine owns its
// stream (S = CabacStream); a loop takes a copy of the registers that refers
// to the engine's stream (S = CabacStream&), so that the compiler keeps the
// three registers in machine registers (context stores may alias any memory)
// and reads the stream position from memory only when it refills.
template <typename S>
struct CabacArith {
  S in;
  uint64_t value = 0;  // codIOffset << bits, then the bits loaded after it
  uint32_t range = 510;
  int bits = 0;

  // DecodeDecision (9.3.3.2.1) on context byte c, without branches on the
  // bin: the LPS case selects its offset, range and next state by masks.
  int decide(uint8_t& c) {
    const cabac_detail::EngineTables& t = cabac_detail::kTables;
    const unsigned s = c;
    const uint32_t lps = t.rangeLps[s][(range >> 6) & 3];
    const uint32_t mps = range - lps;
    const uint64_t scaled = uint64_t(mps) << bits;
    const uint64_t lpsMask = 0 - uint64_t(value >= scaled);
    value -= scaled & lpsMask;
    const uint32_t r = mps ^ ((mps ^ lps) & uint32_t(lpsMask));
    c = t.next[(unsigned(lpsMask) & 128) | s];
    const int shift = t.norm[r];
    range = r << shift;
    bits -= shift;
    if (bits < 8) refill();
    return int((s >> 6) ^ (unsigned(lpsMask) & 1));
  }
  // DecodeBypass (9.3.3.2.3).
  int bypass() {
    --bits;
    const uint64_t scaled = uint64_t(range) << bits;
    const unsigned bin = value >= scaled;
    value -= scaled & (0 - uint64_t(bin));
    if (bits < 8) refill();
    return int(bin);
  }
  // A bypass bin (coeff_sign_flag) that negates v when set, without a branch
  // on the bin; modulo 2^32, as a damaged stream may code any magnitude.
  uint32_t apply_sign(uint32_t v) {
    --bits;
    const uint64_t scaled = uint64_t(range) << bits;
    const uint64_t neg = 0 - uint64_t(value >= scaled);
    value -= scaled & neg;
    if (bits < 8) refill();
    return (v ^ uint32_t(neg)) - uint32_t(neg);
  }
  // DecodeTerminate (9.3.3.2.2.3).
  int terminate() {
    range -= 2;
    if (value >= uint64_t(range) << bits) return 1;
    if (range < 256) {
      range <<= 1;
      --bits;
    }
    if (bits < 8) refill();
    return 0;
  }
  // At most 7 bits are left: six more bytes fit in the register.
  void refill() {
    value = value << 48 | in.next48();
    bits += 48;
  }
  // The registers of another copy over the same stream.
  template <typename S2>
  void assign(const CabacArith<S2>& o) {
    value = o.value;
    range = o.range;
    bits = o.bits;
  }
};

using CabacRegs = CabacArith<CabacStream&>;

struct CabacEngine : CabacArith<CabacStream> {
  // Initialisation (9.3.1.2) at byte `at` of the slice data.
  void start(std::size_t at) {
    const std::size_t n = std::size_t(in.end - in.data);
    in.p = in.data + (at < n ? at : n);
    in.past = at - std::size_t(in.p - in.data);
    range = 510;
    value = 0;
    bits = -9;  // the 9 bits of codIOffset come with the first refill
    refill();
  }
  // The registers for a loop, and back.
  CabacRegs regs() { return CabacRegs{in, value, range, bits}; }
  void take(const CabacRegs& r) { assign(r); }
  std::size_t bits_read() const { return (std::size_t(in.p - in.data) + in.past) * 8 - std::size_t(bits); }
  std::size_t size() const { return std::size_t(in.end - in.data); }
};

class CabacDecoder {
 public:
  static constexpr int kContexts = 460;

  CabacDecoder() = default;
  // Slice data from data[0] (the byte after cabac_alignment_one_bit) to
  // data[size - 1]; bits beyond it read as 0. Contexts: 460 bytes as the
  // library's coder state holds them (bit 6 valMPS, bits 0..5 pStateIdx),
  // e.g. from kvniCABACInit_H264 and kvniCABACGetContexts_H264.
  CabacDecoder(const uint8_t* data, std::size_t size, const uint8_t* contexts) { init(data, size, contexts); }
  void init(const uint8_t* data, std::size_t size, const uint8_t* contexts) {
    std::memcpy(ctx_, contexts, kContexts);
    e_.in.data = data;
    e_.in.end = data + size;
    e_.start(0);
  }
  // Initialises the engine alone at byte `pos` of the slice data, e.g. after
  // the samples of an I_PCM macroblock.
  void restart(std::size_t pos) { e_.start(pos); }

  int decision(int ctxIdx) { return e_.decide(ctx_[ctxIdx]); }
  int bypass() { return e_.bypass(); }
  int terminate() { return e_.terminate(); }

  // One residual block of ctxBlockCat cat (0..5) into coef[0 .. count - 1]
  // (scan order; the other entries set to 0), coded_block_flag excluded.
  // Returns the number of coefficients of the category.
  int residual(int cat, int chromaExp, bool field, int32_t* coef);
  // The same into a block the caller has cleared: coefficient i of the scan
  // goes to coef[scan[i]]. Returns the number of nonzero coefficients (1 or
  // more). chromaExp: 0, or 1 for the 4:2:2 chroma DC block (cat 3).
  int residual_scan(int cat, int chromaExp, bool field, const uint8_t* scan, int16_t* coef);
  int residual_scan(int cat, int chromaExp, bool field, const uint8_t* scan, int32_t* coef);

  uint8_t* contexts() { return ctx_; }
  const uint8_t* contexts() const { return ctx_; }
  // Bits of the slice data the engine has read so far (9 bits at the start,
  // then a bit per renormalisation step).
  std::size_t bits_read() const { return e_.bits_read(); }
  // True when the engine has read past the end of the slice data.
  bool overrun() const { return e_.bits_read() > e_.size() * 8; }

 private:
  template <typename T>
  int residual_impl(int cat, int chromaExp, bool field, const uint8_t* scan, T* coef);

  CabacEngine e_;
  uint8_t ctx_[kContexts] = {};
};

}  // namespace kvnsupport
