// kvnvc-h264dec: decodes an H.264 Annex B stream (progressive; CAVLC and
// CABAC) with the kvnVC library and writes raw planar YUV or Y4M in display
// order, or one MD5 per frame with --md5.
#include <cstdio>
#include <string>
#include <vector>

#include "bitstream.h"
#include "decoder.h"
#include "input.h"
#include "output.h"
#include "writer.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-h264dec [options] input.264 [output.yuv|output.y4m]\n"
               "  writes raw planar YUV (16-bit little-endian samples above 8 bits) or Y4M in display order\n%s",
               kvnapp::kDecoderOptionsHelp);
}

// The Y4M description of a frame: its cropped size, chroma format, bit depth
// and the VUI's rate (two ticks a frame).
kvnapp::VideoFormat video_format(const h264dec::Frame& f, const h264dec::Sps& sps) {
  kvnapp::VideoFormat v;
  v.width = f.width - sps.cropLeft - sps.cropRight;
  v.height = f.height - sps.cropTop - sps.cropBottom;
  v.chromaFormat = sps.chromaFormat == 0 ? 1 : sps.chromaFormat;
  v.bitDepth = sps.bitDepthY;
  v.cositedChroma = true;
  if (sps.numUnitsInTick && sps.timeScale && sps.timeScale <= 0x7fffffffu && sps.numUnitsInTick < 0x40000000u)
    v.rateNum = int(sps.timeScale), v.rateDen = int(2 * sps.numUnitsInTick);
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  kvnapp::DecoderArgs args;
  if (const int code = kvnapp::parse_decoder_args(argc, argv, "kvnvc-h264dec", usage, args); code >= 0) return code;
  const bool md5 = args.md5, quiet = args.quiet;
  const std::vector<std::string>& files = args.files;
  std::vector<uint8_t> data;
  const std::string readErr = kvnapp::read_file(files[0], data);
  if (!readErr.empty()) {
    std::fprintf(stderr, "kvnvc-h264dec: %s\n", readErr.c_str());
    return kvnapp::kExitInput;
  }
  kvnapp::FrameWriter out;
  if (files.size() == 2) {
    const std::string err = out.open(files[1], args.y4m);
    if (!err.empty()) {
      std::fprintf(stderr, "kvnvc-h264dec: %s\n", err.c_str());
      return kvnapp::kExitInput;
    }
  }

  kvnapp::Progress progress("kvnvc-h264dec", quiet);
  h264dec::Decoder dec([&](const h264dec::Frame& f, const h264dec::Sps& sps) {
    if (args.frames >= 0 && progress.frames() >= args.frames) return;
    h264dec::Md5 m;
    out.begin_frame(video_format(f, sps));
    h264dec::frame_runs(f, sps, [&](const uint8_t* p, size_t n) {
      out.write(p, n);
      if (md5) m.update(p, n);
    });
    if (md5) std::printf("%s\n", m.hex().c_str());
    progress.frame();
  });

  int errors = 0;
  h264dec::Status fatal;
  for (auto [off, len] : h264dec::split_annexb(data.data(), data.size())) {
    h264dec::NalUnit nal;
    if (!h264dec::make_nal(data.data() + off, len, nal)) {
      ++errors;
      continue;
    }
    h264dec::Status st = dec.decode_nal(nal);
    if (args.frames >= 0 && progress.frames() >= args.frames) break;
    if (st.ok()) continue;
    if (st.fatal()) {
      fatal = st;
      break;
    }
    if (++errors <= 10) std::fprintf(stderr, "kvnvc-h264dec: warning: %s\n", st.message().c_str());
  }
  if (!fatal.fatal()) dec.flush();
  const bool written = out.close();
  if (fatal.fatal()) {
    std::fprintf(stderr, "kvnvc-h264dec: %s\n", fatal.message().c_str());
    return kvnapp::kExitUnsupported;
  }
  if (!written) {
    std::fprintf(stderr, "kvnvc-h264dec: cannot write %s\n", files[1].c_str());
    return kvnapp::kExitInput;
  }
  if (errors > 10) std::fprintf(stderr, "kvnvc-h264dec: %d errors in total\n", errors);
  progress.finish();
  if (progress.frames() == 0 && args.frames != 0) {
    std::fprintf(stderr, "kvnvc-h264dec: no frame decoded\n");
    return kvnapp::kExitCorrupt;
  }
  return kvnapp::kExitOk;
}
