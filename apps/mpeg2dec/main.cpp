// kvnvc-mpeg2dec: decodes an MPEG-1 or MPEG-2 video elementary stream with
// the kvnVC library and writes raw planar YUV 4:2:0 in display order.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "decoder.h"
#include "input.h"
#include "md5.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-mpeg2dec [--md5] [--quiet] input.m2v [output.yuv]\n"
               "  writes raw planar YUV 4:2:0 in display order;\n"
               "  --md5 prints one MD5 per picture instead of writing a file.\n");
}

}  // namespace

int main(int argc, char** argv) {
  kvnapp::DecoderArgs args;
  if (const int code = kvnapp::parse_decoder_args(argc, argv, "kvnvc-mpeg2dec", usage, args); code >= 0) return code;
  const bool md5 = args.md5, quiet = args.quiet;
  const std::vector<std::string>& files = args.files;
  std::vector<uint8_t> data;
  const std::string readErr = kvnapp::read_file(files[0], data);
  if (!readErr.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: %s\n", readErr.c_str());
    return 1;
  }
  FILE* out = files.size() == 2 ? std::fopen(files[1].c_str(), "wb") : nullptr;
  if (files.size() == 2 && !out) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: cannot create %s: %s\n", files[1].c_str(), std::strerror(errno));
    return 1;
  }
  int frames = 0;
  bool writeErr = false;
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<uint8_t> bytes;
  mpeg2dec::Decoder dec([&](const mpeg2dec::Frame& f, int width, int height) {
    mpeg2dec::picture_bytes(f, width, height, bytes);
    if (out) writeErr |= std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size();
    if (md5) {
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      std::printf("%s\n", m.hex().c_str());
    }
    ++frames;
    if (!quiet && frames % 25 == 0) std::fprintf(stderr, "\rkvnvc-mpeg2dec: %d pictures", frames);
  });
  const std::string err = dec.decode(data);
  if (out) writeErr |= std::fclose(out) != 0;
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!quiet)
    std::fprintf(stderr, "\rkvnvc-mpeg2dec: %d pictures in %.2f s (%.1f per second)%s\n", frames, secs,
                 secs > 0 ? frames / secs : 0.0, dec.errors() ? ", with damaged slices" : "");
  if (writeErr) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: cannot write %s\n", files[1].c_str());
    return 1;
  }
  if (!err.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: %s\n", err.c_str());
    return err.compare(0, 12, "unsupported:") == 0 ? 3 : frames ? 0 : 4;
  }
  return 0;
}
