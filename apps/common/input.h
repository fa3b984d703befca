// What the sample programs share: option values, input files, and the
// encoders' input pictures (raw planar YUV 4:2:0 8-bit, or Y4M, whose header
// gives the size).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kvnapp {

// An integer option value in lo..hi.
bool parse_int(const char* s, int lo, int hi, int& v);

// The options of every sample program: --quiet (-q), --help (-h), --version.
// Returns kNotShared when `a` is none of them, -1 after --quiet (sets quiet),
// else the exit code (0: usage or version printed).
constexpr int kNotShared = -2;
int program_option(const std::string& a, const char* program, void (*usage)(), bool& quiet);

// The sample decoders' command line:
//   [--md5] [--y4m] [--frames N] [--quiet] input [output]
// "-" names standard input or output; the output is optional with --md5;
// --help and --version print and exit. Returns -1 to go on, else the exit
// code: 0 after --help or --version, 2 for a usage error (usage printed).
struct DecoderArgs {
  bool md5 = false, quiet = false, y4m = false;
  long frames = -1;                // at most this many frames (-1: all)
  std::vector<std::string> files;  // input, then the output if given
};
int parse_decoder_args(int argc, char** argv, const char* program, void (*usage)(), DecoderArgs& args);

// The options and exit codes every sample decoder shares, for its usage text.
extern const char kDecoderOptionsHelp[];

// The sample programs' exit codes.
enum ExitCode { kExitOk = 0, kExitInput = 1, kExitUsage = 2, kExitUnsupported = 3, kExitCorrupt = 4 };

// A whole file ("-": standard input); returns "" or what went wrong.
std::string read_file(const std::string& path, std::vector<uint8_t>& data);

class YuvInput {
 public:
  YuvInput() = default;
  YuvInput(const YuvInput&) = delete;
  YuvInput& operator=(const YuvInput&) = delete;
  ~YuvInput();
  // Opens a file ("-": standard input; Y4M when its name ends in .y4m, or
  // for standard input when it begins with the Y4M signature; then the size
  // comes from its header, else width x height must be given). Returns ""
  // or the error.
  std::string open(const std::string& path, int& width, int& height);
  // The next picture, planar; false at the end. `truncated` receives the
  // bytes of an incomplete last picture (not returned).
  bool read(std::vector<uint8_t>& picture, size_t& truncated);
  size_t picture_size() const { return size_; }

 private:
  FILE* f_ = nullptr;
  bool y4m_ = false, ownFile_ = false;
  std::string pending_;  // bytes read ahead from standard input
  size_t size_ = 0;
};

}  // namespace kvnapp
