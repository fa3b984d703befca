// What the sample encoders share: the command line (input, -o, --recon,
// --size, --frames, --quiet, --help, --version; "-" for standard input or
// output) and the loop that reads pictures, encodes them and writes the
// stream and the reconstruction.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvnapp {

struct EncoderArgs {
  std::string input, output, recon;
  int width = 0, height = 0;  // of raw input (Y4M carries its own)
  long frames = -1;           // at most this many pictures (-1: all)
  bool quiet = false;
};

// An encoder's own option: `value()` takes the option's value (exiting with
// a usage error when there is none). Returns false when the option is not
// the encoder's or its value is bad.
using OwnOption = std::function<bool(const std::string& option, const std::function<const char*()>& value)>;

// Returns -1 to go on, else the exit code (0 after --help or --version, 2 for
// a usage error).
int parse_encoder_args(int argc, char** argv, const char* program, void (*usage)(), const OwnOption& own,
                       EncoderArgs& args);

// The options and exit codes every sample encoder shares, for its usage text.
extern const char kEncoderOptionsHelp[];

// An encoder as the loop drives it; planes are 8-bit 4:2:0.
struct EncoderHooks {
  std::string refusal;  // why the encoder cannot take the input (then nothing else is used)
  std::function<void(std::vector<uint8_t>& bytes)> start;  // the stream's headers
  std::function<void(const uint8_t* const planes[3], const int strides[3], std::vector<uint8_t>& bytes)> encode;
  std::function<void(std::vector<uint8_t>& picture)> reconstruction;  // planar, of the last picture
  std::function<void(std::vector<uint8_t>& bytes)> finish;            // the stream's end (optional)
};

// Opens the input (which may fix the size in args), asks `make` for the
// encoder of that size, encodes, writes; returns the exit code.
int run_encoder(const char* program, EncoderArgs& args, const std::function<EncoderHooks(int width, int height)>& make);

}  // namespace kvnapp
