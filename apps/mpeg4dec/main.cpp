// kvnvc-mpeg4dec: decodes an MPEG-4 Part 2, H.263 or H.261 video elementary
// stream with the kvnVC library and writes raw planar YUV 4:2:0 in display
// order.
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
               "usage: kvnvc-mpeg4dec [--format mpeg4|h263|h261] [--md5] [--quiet] input [output.yuv]\n"
               "  writes raw planar YUV 4:2:0 in display order; the format is detected\n"
               "  from the stream's first start code unless given;\n"
               "  --md5 prints one MD5 per picture instead of writing a file.\n");
}

}  // namespace

int main(int argc, char** argv) {
  // --format is this program's own option; the rest is the decoders' common line.
  mpeg4dec::Format format = mpeg4dec::Format::kAuto;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--format" || a.rfind("--format=", 0) == 0) {
      const std::string v = a == "--format" ? (i + 1 < argc ? argv[++i] : "") : a.substr(9);
      if (v == "mpeg4" || v == "m4v")
        format = mpeg4dec::Format::kMpeg4;
      else if (v == "h263")
        format = mpeg4dec::Format::kH263;
      else if (v == "h261")
        format = mpeg4dec::Format::kH261;
      else {
        std::fprintf(stderr, "kvnvc-mpeg4dec: unknown format '%s'\n", v.c_str());
        usage();
        return 2;
      }
    } else {
      rest.push_back(argv[i]);
    }
  }
  kvnapp::DecoderArgs args;
  if (const int code = kvnapp::parse_decoder_args(int(rest.size()), rest.data(), "kvnvc-mpeg4dec", usage, args);
      code >= 0)
    return code;
  const std::vector<std::string>& files = args.files;
  std::vector<uint8_t> data;
  const std::string readErr = kvnapp::read_file(files[0], data);
  if (!readErr.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: %s\n", readErr.c_str());
    return 1;
  }
  FILE* out = files.size() == 2 ? std::fopen(files[1].c_str(), "wb") : nullptr;
  if (files.size() == 2 && !out) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: cannot create %s: %s\n", files[1].c_str(), std::strerror(errno));
    return 1;
  }
  int frames = 0;
  bool writeErr = false;
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<uint8_t> bytes;
  mpeg4dec::Decoder dec([&](const mpeg4dec::Frame& f) {
    if (out) writeErr |= !mpeg4dec::write_picture(f, out);
    if (args.md5) {
      mpeg4dec::picture_bytes(f, bytes);
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      std::printf("%s\n", m.hex().c_str());
    }
    ++frames;
    if (!args.quiet && frames % 25 == 0) std::fprintf(stderr, "\rkvnvc-mpeg4dec: %d pictures", frames);
  });
  const std::string err = dec.decode(data, format);
  if (out) writeErr |= std::fclose(out) != 0;
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!args.quiet)
    std::fprintf(stderr, "\rkvnvc-mpeg4dec: %d pictures in %.2f s (%.1f per second)%s\n", frames, secs,
                 secs > 0 ? frames / secs : 0.0, dec.errors() ? ", with damaged pictures" : "");
  if (writeErr) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: cannot write %s\n", files[1].c_str());
    return 1;
  }
  if (!err.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: %s\n", err.c_str());
    return err.compare(0, 12, "unsupported:") == 0 ? 3 : frames ? 0 : 4;
  }
  return 0;
}
