#include "bitstream.h"

namespace h264dec {

std::vector<std::pair<size_t, size_t>> split_annexb(const uint8_t* d, size_t n) {
  std::vector<std::pair<size_t, size_t>> out;
  size_t i = 0, start = SIZE_MAX;
  while (i + 2 < n) {
    if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) {
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
  std::vector<uint8_t> rbsp;
  rbsp.reserve(n);
  int zeros = 0;
  for (size_t i = hdr; i < n; ++i) {
    uint8_t b = p[i];
    if (zeros >= 2 && b == 3) {  // emulation_prevention_three_byte
      zeros = 0;
      continue;
    }
    zeros = b == 0 ? zeros + 1 : 0;
    rbsp.push_back(b);
  }
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
  for (size_t w = 0; w < nw; ++w) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      size_t i = w * 4 + k;
      v = (v << 8) | (i < rbsp.size() ? rbsp[i] : 0xFF);
    }
    out.words[w] = v;
  }
  out.bytes = std::move(rbsp);
  return true;
}

bool BitReader::more_rbsp_data() const { return pos() < totalBits; }

}  // namespace h264dec
