// Scalar reference kernels of the VC-1 quantisers, straight from the
// formulas of quant_vc1.h.
#include <cstring>

#include "vc1/quant_vc1.h"

namespace kvn {
namespace {

// Rows are copied with memcpy: steps and addresses need not be even.
inline char* row_of(int16_t* p, int32_t step, int y) { return reinterpret_cast<char*>(p) + int64_t(y) * step; }
inline const char* row_of(const int16_t* p, int32_t step, int y) {
  return reinterpret_cast<const char*>(p) + int64_t(y) * step;
}
inline int32_t sign(int32_t v) { return (v > 0) - (v < 0); }

template <int Mode>
int16_t quant(int16_t c, int32_t q) {
  int32_t v = c;
  if (Mode == kVc1Nonuniform) v = int16_t(v - sign(v) * (q >> 1));
  const int32_t l = v / q;
  return int16_t(l < -32768 ? -32768 : l > 32767 ? 32767 : l);
}

template <int Mode>
int16_t dequant(int16_t l, int32_t q) {
  uint32_t v = uint32_t(l) * uint32_t(q);
  if (Mode == kVc1Nonuniform) v += uint32_t(sign(l)) * uint32_t(q >> 1);
  return int16_t(uint16_t(v));
}

template <int Mode>
void quant_inter(int16_t* block, int32_t step, int32_t q, int32_t w, int32_t h) {
  for (int y = 0; y < h; ++y) {
    int16_t r[8];
    std::memcpy(r, row_of(block, step, y), size_t(w) * 2);
    for (int x = 0; x < w; ++x) r[x] = quant<Mode>(r[x], q);
    std::memcpy(row_of(block, step, y), r, size_t(w) * 2);
  }
}

template <int Mode>
void quant_intra(int16_t* block, int32_t step, int32_t q) {
  int16_t dc;
  std::memcpy(&dc, block, 2);
  quant_inter<Mode>(block, step, q, 8, 8);
  std::memcpy(block, &dc, 2);
}

template <int Mode>
KvnSize inv_inter(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q, int32_t w, int32_t h) {
  KvnSize nz = {0, 0};
  for (int y = 0; y < h; ++y) {
    int16_t r[8];
    std::memcpy(r, row_of(src, srcStep, y), size_t(w) * 2);
    for (int x = 0; x < w; ++x) {
      r[x] = dequant<Mode>(r[x], q);
      if (r[x] != 0) {
        nz.width = x + 1 > nz.width ? x + 1 : nz.width;
        nz.height = y + 1;
      }
    }
    std::memcpy(row_of(dst, dstStep, y), r, size_t(w) * 2);
  }
  return nz;
}

template <int Mode>
KvnSize inv_intra(const int16_t* src, int32_t srcStep, int16_t* dst, int32_t dstStep, int32_t q) {
  int16_t dc;
  std::memcpy(&dc, src, 2);
  KvnSize nz = inv_inter<Mode>(src, srcStep, dst, dstStep, q, 8, 8);
  std::memcpy(dst, &dc, 2);  // dequant(0) is 0: only a DC that dequantises to 0 mod 2^16 is missing
  if (dc != 0) nz = {nz.width > 1 ? nz.width : 1, nz.height > 1 ? nz.height : 1};
  return nz;
}

}  // namespace

constexpr QuantVc1Kernels kQuantVc1KernelsC = {
    {quant_intra<kVc1Uniform>, quant_intra<kVc1Nonuniform>},
    {quant_inter<kVc1Uniform>, quant_inter<kVc1Nonuniform>},
    {inv_intra<kVc1Uniform>, inv_intra<kVc1Nonuniform>},
    {inv_inter<kVc1Uniform>, inv_inter<kVc1Nonuniform>},
};

}  // namespace kvn
