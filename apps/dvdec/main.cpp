// kvnvc-dvdec: decodes a raw DV (DIF) stream with the kvnVC library and
// writes raw planar YUV (4:2:0, 4:1:1 or 4:2:2, as the stream has it) or Y4M.
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
               "usage: kvnvc-dvdec [options] input.dv [output.yuv|output.y4m]\n"
               "  decodes DV25 (525/60 4:1:1, 625/50 4:2:0 or 4:1:1), 50 Mbit/s 4:2:2 and DVCPRO HD\n"
               "  (1080i, 720p; 4:2:2) DIF streams\n"
               "  and writes raw planar YUV in the stream's chroma format, or Y4M\n%s",
               kvnapp::kDecoderOptionsHelp);
}

int chroma_format(dvdec::Chroma c) { return c == dvdec::Chroma::k411 ? 4 : c == dvdec::Chroma::k422 ? 2 : 1; }

}  // namespace

int main(int argc, char** argv) {
  kvnapp::DecoderArgs args;
  if (const int code = kvnapp::parse_decoder_args(argc, argv, "kvnvc-dvdec", usage, args); code >= 0) return code;
  const std::vector<std::string>& files = args.files;
  std::vector<uint8_t> data;
  const std::string readErr = kvnapp::read_file(files[0], data);
  if (!readErr.empty()) {
    std::fprintf(stderr, "kvnvc-dvdec: %s\n", readErr.c_str());
    return kvnapp::kExitInput;
  }
  kvnapp::FrameWriter out;
  if (files.size() == 2) {
    const std::string err = out.open(files[1], args.y4m);
    if (!err.empty()) {
      std::fprintf(stderr, "kvnvc-dvdec: %s\n", err.c_str());
      return kvnapp::kExitInput;
    }
  }
  kvnapp::Progress progress("kvnvc-dvdec", args.quiet);
  dvdec::Decoder dec([&](const dvdec::Frame& f) {
    if (args.frames >= 0 && progress.frames() >= args.frames) return;
    kvnapp::VideoFormat v;
    v.width = f.width, v.height = f.height;
    v.chromaFormat = chroma_format(f.chroma);
    v.rateNum = f.rateNum, v.rateDen = f.rateDen;
    if (out.is_open()) {
      out.begin_frame(v);
      out.write(f.y.data(), f.y.size());
      out.write(f.cb.data(), f.cb.size());
      out.write(f.cr.data(), f.cr.size());
    }
    if (args.md5) {
      kvnsupport::Md5 m;
      m.update(f.y.data(), f.y.size());
      m.update(f.cb.data(), f.cb.size());
      m.update(f.cr.data(), f.cr.size());
      std::printf("%s\n", m.hex().c_str());
    }
    progress.frame();
  });
  const std::string err = dec.decode(data);
  const bool written = out.close();
  progress.finish(dec.errors() ? ", with damaged frames" : "");
  if (!written) {
    std::fprintf(stderr, "kvnvc-dvdec: cannot write %s\n", files[1].c_str());
    return kvnapp::kExitInput;
  }
  if (!err.empty()) {
    std::fprintf(stderr, "kvnvc-dvdec: %s\n", err.c_str());
    if (err.compare(0, 12, "unsupported:") == 0) return kvnapp::kExitUnsupported;
    return progress.frames() ? kvnapp::kExitOk : kvnapp::kExitCorrupt;
  }
  return kvnapp::kExitOk;
}
