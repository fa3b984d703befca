// kvnvc-h264dec: decodes an H.264 Annex B stream (progressive, CAVLC) with the
// kvnVC library and writes raw planar YUV in display order, or one MD5 per
// frame with --md5.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitstream.h"
#include "decoder.h"
#include "input.h"
#include "output.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-h264dec [--md5] [--quiet] input.264 [output.yuv]\n"
               "  writes raw planar YUV (16-bit little-endian samples above 8 bits) in display order;\n"
               "  --md5 prints one MD5 per frame instead of writing a file.\n");
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
    return 1;
  }
  FILE* out = nullptr;
  if (files.size() == 2) {
    out = std::fopen(files[1].c_str(), "wb");
    if (!out) {
      std::fprintf(stderr, "kvnvc-h264dec: cannot create %s: %s\n", files[1].c_str(), std::strerror(errno));
      return 1;
    }
  }

  long frames = 0;
  bool writeErr = false;
  auto t0 = std::chrono::steady_clock::now();
  h264dec::Decoder dec([&](const h264dec::Frame& f, const h264dec::Sps& sps) {
    h264dec::Md5 m;
    h264dec::frame_runs(f, sps, [&](const uint8_t* p, size_t n) {
      if (out && std::fwrite(p, 1, n, out) != n) writeErr = true;
      if (md5) m.update(p, n);
    });
    if (md5) std::printf("%s\n", m.hex().c_str());
    ++frames;
    if (!quiet && frames % 100 == 0) std::fprintf(stderr, "kvnvc-h264dec: %ld frames\n", frames);
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
    if (st.ok()) continue;
    if (st.fatal()) {
      fatal = st;
      break;
    }
    if (++errors <= 10) std::fprintf(stderr, "kvnvc-h264dec: warning: %s\n", st.message().c_str());
  }
  if (!fatal.fatal()) dec.flush();
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (out && std::fclose(out) != 0) writeErr = true;
  if (fatal.fatal()) {
    std::fprintf(stderr, "kvnvc-h264dec: %s\n", fatal.message().c_str());
    return 3;
  }
  if (writeErr) {
    std::fprintf(stderr, "kvnvc-h264dec: cannot write %s\n", files[1].c_str());
    return 1;
  }
  if (errors > 10) std::fprintf(stderr, "kvnvc-h264dec: %d errors in total\n", errors);
  if (!quiet)
    std::fprintf(stderr, "kvnvc-h264dec: %ld frames in %.3f s (%.1f fps)\n", frames, secs,
                 secs > 0 ? frames / secs : 0.0);
  if (frames == 0) {
    std::fprintf(stderr, "kvnvc-h264dec: no frame decoded\n");
    return 1;
  }
  return 0;
}
