// Regression and robustness checks of the sample decoder, in process:
//  - each committed sample stream decodes to its recorded per-picture MD5s;
//  - truncated and bit-damaged variants of it decode to some pictures or
//    errors, never crash, hang or read out of bounds (run under ASan/UBSan).
//   mpeg4dec_robustness STREAM [more streams...]   (STREAM.md5 beside each: the name without its extension)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "decoder.h"
#include "md5.h"
#include "stream_damage.h"

namespace {

struct Result {
  std::vector<std::string> md5s;
  std::string error;
  int damaged = 0;
};

Result decode(const std::vector<uint8_t>& data) {
  Result r;
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
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  for (int a = 1; a < argc; ++a) {
    const std::string path = argv[a];
    std::ifstream f(path, std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(f), {}};
    std::vector<std::string> want;
    std::ifstream md5(path.substr(0, path.rfind('.')) + ".md5");
    for (std::string line; std::getline(md5, line);)
      if (!line.empty()) want.push_back(line);
    if (data.empty() || want.empty()) {
      std::fprintf(stderr, "%s: cannot read the stream or its .md5\n", path.c_str());
      return 1;
    }
    const Result clean = decode(data);
    if (clean.md5s != want || clean.damaged || !clean.error.empty()) {
      std::fprintf(stderr, "%s: %zu pictures, %d damaged pictures, \"%s\"; MD5s differ from the recorded ones\n",
                   path.c_str(), clean.md5s.size(), clean.damaged, clean.error.c_str());
      ++failures;
    }
    std::mt19937 rng(4321 + a);
    int withPictures = 0;
    double worst = 0;
    constexpr int kVariants = 300;
    for (int v = 0; v < kVariants; ++v) {
      const auto t0 = std::chrono::steady_clock::now();
      const Result r = decode(kvnsupport::damaged_variant(data, v, rng));
      worst = std::max(worst, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
      withPictures += !r.md5s.empty();
    }
    std::printf("%s: clean %zu pictures ok=%d; %d damaged variants, %d gave pictures, slowest %.3f s\n", path.c_str(),
                clean.md5s.size(), clean.md5s == want, kVariants, withPictures, worst);
    if (worst > 5.0) {
      std::fprintf(stderr, "%s: a damaged variant took %.1f s\n", path.c_str(), worst);
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
