// Regression and robustness checks of kvnvc-mpeg4dec (see sample_robustness.h):
//   mpeg4dec_robustness STREAM [more streams...]
#include "decoder.h"
#include "md5.h"
#include "sample_robustness.h"

int main(int argc, char** argv) {
  return kvnsupport::run_sample_robustness(argc, argv, [](const std::vector<uint8_t>& data) {
    kvnsupport::SampleResult r;
    std::vector<uint8_t> bytes;
    mpeg4dec::Decoder dec([&](const mpeg4dec::Frame& f) {
      mpeg4dec::picture_bytes(f, bytes);
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      r.md5s.push_back(m.hex());
    });
    dec.set_max_macroblocks(1620);  // damaged headers may announce huge pictures
    r.error = dec.decode(data);
    r.damaged = dec.errors();
    return r;
  });
}
