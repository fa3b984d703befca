// Regression and robustness checks of kvnvc-dvdec (see sample_robustness.h):
//   dvdec_robustness STREAM [more streams...]
#include "decoder.h"
#include "md5.h"
#include "sample_robustness.h"

int main(int argc, char** argv) {
  return kvnsupport::run_sample_robustness(argc, argv, [](const std::vector<uint8_t>& data) {
    kvnsupport::SampleResult r;
    dvdec::Decoder dec([&](const dvdec::Frame& f) {
      kvnsupport::Md5 m;
      m.update(f.y.data(), f.y.size());
      m.update(f.cb.data(), f.cb.size());
      m.update(f.cr.data(), f.cr.size());
      r.md5s.push_back(m.hex());
    });
    r.error = dec.decode(data);
    r.damaged = dec.errors();
    return r;
  });
}
