// Regression and robustness checks of kvnvc-mpeg2dec (see sample_robustness.h):
//   mpeg2dec_robustness STREAM.m2v [more streams...]
#include "decoder.h"
#include "md5.h"
#include "sample_robustness.h"

int main(int argc, char** argv) {
  return kvnsupport::run_sample_robustness(argc, argv, [](const std::vector<uint8_t>& data) {
    kvnsupport::SampleResult r;
    std::vector<uint8_t> bytes;
    mpeg2dec::Decoder dec([&](const mpeg2dec::Frame& f, int w, int h) {
      mpeg2dec::picture_bytes(f, w, h, bytes);
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      r.md5s.push_back(m.hex());
    });
    r.error = dec.decode(data);
    r.damaged = dec.errors();
    return r;
  });
}
