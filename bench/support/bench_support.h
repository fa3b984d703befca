// Shared by the block-layer benchmarks: picture-sized buffers, the parameter
// sets every benchmark binary covers (so that their names match), and a main
// that prints, after the usual output, one line per benchmark group with the
// time per call of each variant and the ratio scalar / fastest SIMD.
//
// Benchmark names are "group/variant"; the variant is the kernel-table level
// ("c", "sse2", "avx2", "avx512") or "api" for the call through the exported name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvnbench {

// A 64x64 region of a picture, 64 bytes from row to row, with fixed
// pseudo-random contents. Blocks are taken at (16, 16), so that half-sample
// reads (one more row and column) stay inside the region.
struct Picture {
  static constexpr int kStep = 64;
  explicit Picture(uint32_t seed);
  uint8_t* block() { return bytes + 16 * kStep + 16; }
  alignas(64) uint8_t bytes[64 * kStep];
};

// Residual blocks as a decoder keeps them: 16-bit samples, rows packed
// (16 samples a row for 16-wide blocks, 8 for 8-wide and planar chroma), with
// values of a typical inter residual.
struct Residual {
  explicit Residual(uint32_t seed);
  alignas(64) int16_t samples[16 * 16];
};

// The buffers of one benchmark binary: forward and backward references, a
// destination and two residual blocks. The pictures lie at different offsets
// modulo 4 KiB, so that loads do not falsely wait on the stores of the call
// before (a block and its reference rarely alias that way in a real picture).
struct Buffers {
  Picture fwd{1};
  uint8_t pad1[1024 + 64];
  Picture bwd{2};
  uint8_t pad2[2048 + 128];
  Picture dst{3};
  Residual res{4}, resV{5};
};

// The half-sample code / rounding pairs and MC modes the benchmarks time.
struct HpCase {
  int code, rounding;
};
struct McCase {
  int mode, rounding;
};
struct McBCase {
  int modeF, modeB, rounding;
};
const std::vector<HpCase>& hp_cases();
const std::vector<McCase>& mc_cases();
const std::vector<McBCase>& mc_b_cases();
std::string hp_name(const std::string& group, HpCase c);
std::string mc_name(const std::string& group, McCase c);
std::string mc_b_name(const std::string& group, McBCase c);

// Runs the registered benchmarks, then prints the summary table.
int run(int argc, char** argv);

}  // namespace kvnbench
