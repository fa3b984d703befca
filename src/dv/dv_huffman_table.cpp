// Builder of the DV Huffman tables (layout in dv_huffman_table.h): both
// sources are checked whole before anything is obtained or written.
#include "dv/dv_huffman_table.h"

#include "kvncore.h"

namespace kvn {
namespace {

int check_source(const int32_t* src) {
  const int32_t b = src[0];
  if (b < 0 || b > kDvTableMaxBits) return KVN_STS_SIZE_ERR;
  const int32_t* q = src + 3;
  for (int len = 1; len <= b; ++len) {
    const int32_t n = *q++;
    if (n < 0 || n > (int32_t(1) << len)) return KVN_STS_VLC_CODE_ERR;
    q += 3 * n;
  }
  return KVN_STS_OK;
}

void fill(const int32_t* src, int lengthBias, uint8_t* table) {
  const int b = src[0];
  const uint32_t mask = (uint32_t(1) << b) - 1;
  const int32_t* q = src + 3;
  for (int len = 1; len <= b; ++len) {
    const int32_t n = *q++;
    for (int32_t i = 0; i < n; ++i, q += 3) {
      const uint32_t start = (uint32_t(q[0]) << (b - len)) & mask;
      const uint16_t level = uint16_t(uint32_t(q[2]) * 64u);
      for (uint32_t k = 0; k < (uint32_t(1) << (b - len)); ++k) {
        uint8_t* e = table + 4 * (start + k);
        e[0] = uint8_t(len + lengthBias);
        e[1] = uint8_t(q[1]);
        e[2] = uint8_t(level);
        e[3] = uint8_t(level >> 8);
      }
    }
  }
}

}  // namespace

int build_dv_huffman_table(const int32_t* first, const int32_t* second, int32_t** table) {
  int st = check_source(first);
  if (st == KVN_STS_OK) st = check_source(second);
  if (st != KVN_STS_OK) return st;
  const int32_t entries1 = int32_t(1) << first[0], entries2 = int32_t(1) << second[0];
  auto* t = static_cast<uint8_t*>(kvnMalloc(4 * (entries1 + entries2)));
  *table = reinterpret_cast<int32_t*>(t);
  if (!t) return KVN_STS_MEM_ALLOC;
  for (int32_t i = 0; i < entries1 + entries2; ++i) {
    t[4 * i] = 255;
    t[4 * i + 1] = t[4 * i + 2] = t[4 * i + 3] = 0;
  }
  if (first[0]) fill(first, 0, t);
  if (second[0]) fill(second, 4, t + 4 * entries1);
  return KVN_STS_OK;
}

}  // namespace kvn
