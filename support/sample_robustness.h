// The sample decoders' regression and robustness check, in process:
//  - each committed sample stream decodes to its recorded per-picture MD5s
//    (STREAM.md5 beside STREAM: the name without its extension);
//  - truncated and bit-damaged variants of it decode to some pictures or
//    errors, never crash, hang or read out of bounds (run under ASan/UBSan).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "stream_damage.h"

namespace kvnsupport {

// What one decoding of a stream gave.
struct SampleResult {
  std::vector<std::string> md5s;  // one per picture
  std::string error;              // the decoder's final error, "" when none
  int damaged = 0;                // the parts it reported damaged
};

// The check over the streams named in argv[1..]; returns main's exit code.
inline int run_sample_robustness(int argc, char** argv,
                                 const std::function<SampleResult(const std::vector<uint8_t>&)>& decode) {
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
    const SampleResult clean = decode(data);
    if (clean.md5s != want || clean.damaged || !clean.error.empty()) {
      std::fprintf(stderr, "%s: %zu pictures, %d damaged, \"%s\"; MD5s differ from the recorded ones\n", path.c_str(),
                   clean.md5s.size(), clean.damaged, clean.error.c_str());
      ++failures;
    }
    std::mt19937 rng(4321 + a);
    int withPictures = 0;
    double worst = 0;
    constexpr int kVariants = 300;
    for (int v = 0; v < kVariants; ++v) {
      const auto t0 = std::chrono::steady_clock::now();
      const SampleResult r = decode(damaged_variant(data, v, rng));
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

}  // namespace kvnsupport
