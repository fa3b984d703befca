#include "nal.h"

namespace h264enc {

std::vector<uint8_t> written_bytes(const kvnvlc::BitWriter& w) {
  const std::vector<uint32_t> words = w.words(0, 0);
  std::vector<uint8_t> out((w.size() + 7) / 8);
  for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(words[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}

std::vector<uint8_t> rbsp_bytes(const kvnvlc::BitWriter& w0) {
  kvnvlc::BitWriter w = w0;
  w.put(1, 1);  // rbsp_stop_one_bit, then zero bits to the byte boundary
  return written_bytes(w);
}

void append_nal(std::vector<uint8_t>& out, int refIdc, NalType type, const std::vector<uint8_t>& rbsp) {
  static const uint8_t kStart[4] = {0, 0, 0, 1};
  out.insert(out.end(), kStart, kStart + 4);
  out.push_back(uint8_t(refIdc << 5 | type));
  int zeros = 0;
  for (uint8_t b : rbsp) {
    if (zeros == 2 && b <= 3) {
      out.push_back(3);  // emulation_prevention_three_byte
      zeros = 0;
    }
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
}

}  // namespace h264enc
