#include "bitstream.h"

#include <cstring>

namespace h264dec {

std::vector<std::pair<size_t, size_t>> split_annexb(const uint8_t* d, size_t n) {
  std::vector<std::pair<size_t, size_t>> out;
  size_t i = 0, start = SIZE_MAX;
  while (i + 2 < n) {
    // Start codes begin with a zero byte: memchr skips to the next one.
    const void* z = std::memchr(d + i, 0, n - 2 - i);
    if (!z) break;
    i = size_t(static_cast<const uint8_t*>(z) - d);
    if (d[i + 1] == 0 && d[i + 2] == 1) {
      if (start != SIZE_MAX) {
        size_t end = i;
        while (end > start && d[end - 1] == 0) --end;  // trailing_zero_8bits
        if (end > start) out.emplace_back(start, end - start);
      }
      i += 3;
      start = i;
      continue;
    }
    ++i;
  }
  if (start != SIZE_MAX && start < n) {
    size_t end = n;
    while (end > start && d[end - 1] == 0) --end;
    if (end > start) out.emplace_back(start, end - start);
  }
  return out;
}

bool make_nal(const uint8_t* p, size_t n, NalUnit& out) {
  if (n < 1 || (p[0] & 0x80)) return false;  // forbidden_zero_bit
  out.refIdc = (p[0] >> 5) & 3;
  out.type = p[0] & 31;
  size_t hdr = 1;
  if (out.type == 14 || out.type == 20 || out.type == 21) hdr = 4;  // SVC/MVC extension headers
  // Copies the runs between emulation_prevention_three_bytes (a 3 after two
  // zero bytes); memchr finds the zero bytes that may start one.
  std::vector<uint8_t> rbsp(n > hdr ? n - hdr : 0);
  size_t o = 0, from = hdr, i = hdr;
  auto copy = [&](size_t end) {
    std::memcpy(rbsp.data() + o, p + from, end - from);
    o += end - from;
  };
  while (i + 2 < n) {
    const void* z = std::memchr(p + i, 0, n - 2 - i);
    if (!z) break;
    const size_t k = size_t(static_cast<const uint8_t*>(z) - p);
    if (p[k + 1] == 0 && p[k + 2] == 3) {
      copy(k + 2);
      from = i = k + 3;
    } else {
      i = k + 1;
    }
  }
  if (n > from) copy(n);
  rbsp.resize(o);
  // Position of the rbsp_stop_one_bit: the last set bit of the payload.
  size_t len = rbsp.size();
  while (len > 0 && rbsp[len - 1] == 0) --len;
  size_t bits = 0;
  if (len > 0) {
    uint8_t last = rbsp[len - 1];
    int tz = 0;
    while (!((last >> tz) & 1)) ++tz;
    bits = len * 8 - tz - 1;
  }
  out.bits = bits;
  const size_t kPad = 64;  // spare words, all ones: ue() = 0, coeff_token quickly ends
  size_t nw = (rbsp.size() + 3) / 4;
  out.words.assign(nw + kPad, 0xFFFFFFFFu);
  const size_t full = rbsp.size() / 4;
  for (size_t w = 0; w < full; ++w) {
    uint32_t v;
    std::memcpy(&v, rbsp.data() + 4 * w, 4);
    if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) v = __builtin_bswap32(v);
    out.words[w] = v;  // big-endian words
  }
  if (full < nw) {
    uint32_t v = 0;
    for (size_t i = 4 * full; i < 4 * nw; ++i) v = (v << 8) | (i < rbsp.size() ? rbsp[i] : 0xFF);
    out.words[full] = v;
  }
  out.bytes = std::move(rbsp);
  return true;
}

bool BitReader::more_rbsp_data() const { return pos() < totalBits; }

}  // namespace h264dec
