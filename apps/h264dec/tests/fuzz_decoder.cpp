// libFuzzer target: the whole decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "bitstream.h"
#include "decoder.h"
#include "output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes;
  h264dec::Decoder dec([&](const h264dec::Frame& f, const h264dec::Sps& sps) { h264dec::frame_bytes(f, sps, bytes); });
  dec.set_max_macroblocks(64 * 64);  // keep the fuzzer's memory bounded
  for (auto [off, len] : h264dec::split_annexb(data, size)) {
    h264dec::NalUnit nal;
    if (!h264dec::make_nal(data + off, len, nal)) continue;
    if (dec.decode_nal(nal).fatal()) return 0;
  }
  dec.flush();
  return 0;
}
