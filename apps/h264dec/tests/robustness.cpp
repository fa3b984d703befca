// Regression and robustness checks of the sample decoder, in process:
//  - each committed sample stream decodes to its recorded per-frame MD5s;
//  - truncated and bit-damaged variants of it decode to some frames or
//    errors, never crash, hang or read out of bounds (run under ASan/UBSan).
//   h264dec_robustness STREAM.264 [more streams...]   (STREAM.md5 beside each)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bitstream.h"
#include "decoder.h"
#include "output.h"
#include "stream_damage.h"

namespace {

struct Result {
  std::vector<std::string> md5s;
  std::string fatal;
  int errors = 0;
};

Result decode(const std::vector<uint8_t>& data) {
  Result r;
  std::vector<uint8_t> bytes;
  h264dec::Decoder dec([&](const h264dec::Frame& f, const h264dec::Sps& sps) {
    h264dec::frame_bytes(f, sps, bytes);
    h264dec::Md5 m;
    m.update(bytes.data(), bytes.size());
    r.md5s.push_back(m.hex());
  });
  for (auto [off, len] : h264dec::split_annexb(data.data(), data.size())) {
    h264dec::NalUnit nal;
    if (!h264dec::make_nal(data.data() + off, len, nal)) continue;
    h264dec::Status st = dec.decode_nal(nal);
    if (st.fatal()) {
      r.fatal = st.message();
      return r;
    }
    r.errors += !st.ok();
  }
  dec.flush();
  return r;
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  for (int a = 1; a < argc; ++a) {
    std::string path = argv[a];
    std::vector<uint8_t> data = read_file(path);
    std::vector<std::string> want;
    std::ifstream md5(path.substr(0, path.size() - 4) + ".md5");
    for (std::string line; std::getline(md5, line);)
      if (!line.empty()) want.push_back(line);
    if (data.empty() || want.empty()) {
      std::fprintf(stderr, "%s: cannot read the stream or its .md5\n", path.c_str());
      return 1;
    }
    Result clean = decode(data);
    if (clean.md5s != want || clean.errors || !clean.fatal.empty()) {
      std::fprintf(stderr, "%s: %zu frames, %d errors; MD5s differ from the recorded ones\n", path.c_str(),
                   clean.md5s.size(), clean.errors);
      ++failures;
    }
    // Damaged variants: truncation, bit flips, zeroed and random byte runs.
    std::mt19937 rng(1234 + a);
    int variants = 0, withFrames = 0;
    double worst = 0;
    for (int v = 0; v < 200; ++v) {
      const std::vector<uint8_t> d = kvnsupport::damaged_variant(data, v, rng);
      auto t0 = std::chrono::steady_clock::now();
      Result r = decode(d);
      double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      worst = s > worst ? s : worst;
      ++variants;
      withFrames += !r.md5s.empty();
    }
    std::printf("%s: clean %zu frames ok=%d; %d damaged variants, %d gave frames, slowest %.3f s\n", path.c_str(),
                clean.md5s.size(), clean.md5s == want, variants, withFrames, worst);
    if (worst > 5.0) {
      std::fprintf(stderr, "%s: a damaged variant took %.1f s\n", path.c_str(), worst);
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
