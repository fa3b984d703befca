// kvnvc-mpeg4dec: decodes an MPEG-4 Visual, H.263 or H.261 video elementary
// stream with the kvnVC library and writes raw planar YUV 4:2:0 or Y4M in
// display order.
#include <cstdio>
#include <string>
#include <vector>

#include "decoder.h"
#include "input.h"
#include "md5.h"
#include "writer.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-mpeg4dec [--format mpeg4|h263|h261] [options] input [output.yuv|output.y4m]\n"
               "  writes raw planar YUV 4:2:0 or Y4M in display order; the format is detected\n"
               "  from the stream's first start code unless given\n%s",
               kvnapp::kDecoderOptionsHelp);
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
        return kvnapp::kExitUsage;
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
    return kvnapp::kExitInput;
  }
  kvnapp::FrameWriter out;
  if (files.size() == 2) {
    const std::string err = out.open(files[1], args.y4m);
    if (!err.empty()) {
      std::fprintf(stderr, "kvnvc-mpeg4dec: %s\n", err.c_str());
      return kvnapp::kExitInput;
    }
  }
  kvnapp::Progress progress("kvnvc-mpeg4dec", args.quiet);
  std::vector<uint8_t> bytes;
  mpeg4dec::Decoder dec([&](const mpeg4dec::Frame& f) {
    if (args.frames >= 0 && progress.frames() >= args.frames) return;
    kvnapp::VideoFormat v;
    v.width = f.width, v.height = f.height;
    out.begin_frame(v);
    mpeg4dec::write_picture(f, out);
    if (args.md5) {
      mpeg4dec::picture_bytes(f, bytes);
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      std::printf("%s\n", m.hex().c_str());
    }
    progress.frame();
  });
  const std::string err = dec.decode(data, format);
  const bool written = out.close();
  progress.finish(dec.errors() ? ", with damaged pictures" : "");
  if (!written) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: cannot write %s\n", files[1].c_str());
    return kvnapp::kExitInput;
  }
  if (!err.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: %s\n", err.c_str());
    if (err.compare(0, 12, "unsupported:") == 0) return kvnapp::kExitUnsupported;
    return progress.frames() ? kvnapp::kExitOk : kvnapp::kExitCorrupt;
  }
  if (progress.frames() == 0 && args.frames != 0) {
    std::fprintf(stderr, "kvnvc-mpeg4dec: no picture decoded\n");
    return kvnapp::kExitCorrupt;
  }
  return kvnapp::kExitOk;
}
