// kvnvc-mpeg2dec: decodes an MPEG-1 or MPEG-2 video elementary stream with
// the kvnVC library and writes raw planar YUV 4:2:0 or Y4M in display order.
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
               "usage: kvnvc-mpeg2dec [options] input.m2v [output.yuv|output.y4m]\n"
               "  writes raw planar YUV 4:2:0 or Y4M in display order\n%s",
               kvnapp::kDecoderOptionsHelp);
}

}  // namespace

int main(int argc, char** argv) {
  kvnapp::DecoderArgs args;
  if (const int code = kvnapp::parse_decoder_args(argc, argv, "kvnvc-mpeg2dec", usage, args); code >= 0) return code;
  const std::vector<std::string>& files = args.files;
  std::vector<uint8_t> data;
  const std::string readErr = kvnapp::read_file(files[0], data);
  if (!readErr.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: %s\n", readErr.c_str());
    return kvnapp::kExitInput;
  }
  kvnapp::FrameWriter out;
  if (files.size() == 2) {
    const std::string err = out.open(files[1], args.y4m);
    if (!err.empty()) {
      std::fprintf(stderr, "kvnvc-mpeg2dec: %s\n", err.c_str());
      return kvnapp::kExitInput;
    }
  }
  kvnapp::Progress progress("kvnvc-mpeg2dec", args.quiet);
  std::vector<uint8_t> bytes;
  mpeg2dec::Decoder* decoder = nullptr;
  mpeg2dec::Decoder dec([&](const mpeg2dec::Frame& f, int width, int height) {
    if (args.frames >= 0 && progress.frames() >= args.frames) return;
    mpeg2dec::picture_bytes(f, width, height, bytes);
    const mpeg2dec::Sequence& seq = decoder->sequence();
    kvnapp::VideoFormat v;
    v.width = width, v.height = height;
    v.rateNum = seq.rateNum, v.rateDen = seq.rateDen;
    v.cositedChroma = seq.mpeg2;
    out.begin_frame(v);
    out.write(bytes.data(), bytes.size());
    if (args.md5) {
      kvnsupport::Md5 m;
      m.update(bytes.data(), bytes.size());
      std::printf("%s\n", m.hex().c_str());
    }
    progress.frame();
  });
  decoder = &dec;
  const std::string err = dec.decode(data);
  const bool written = out.close();
  progress.finish(dec.errors() ? ", with damaged slices" : "");
  if (!written) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: cannot write %s\n", files[1].c_str());
    return kvnapp::kExitInput;
  }
  if (!err.empty()) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: %s\n", err.c_str());
    if (err.compare(0, 12, "unsupported:") == 0) return kvnapp::kExitUnsupported;
    return progress.frames() ? kvnapp::kExitOk : kvnapp::kExitCorrupt;
  }
  if (progress.frames() == 0 && args.frames != 0) {
    std::fprintf(stderr, "kvnvc-mpeg2dec: no picture decoded\n");
    return kvnapp::kExitCorrupt;
  }
  return kvnapp::kExitOk;
}
