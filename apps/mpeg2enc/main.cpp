// kvnvc-mpeg2enc: encodes raw planar YUV 4:2:0 (8-bit) or Y4M into an MPEG-2
// video elementary stream of I and P pictures with the kvnVC library;
// --recon writes the encoder's own reconstruction.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "encoder.h"
#include "input.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-mpeg2enc [options] input.yuv|input.y4m -o out.m2v\n"
               "  --size WxH       picture size of raw input (Y4M carries its own)\n"
               "  --qscale N       quantiser_scale_code 1..31 (default 8: quantiser scale 16)\n"
               "  --keyint N       pictures from one I picture to the next (default 12; 1: intra only)\n"
               "  --frames N       encode at most N pictures\n"
               "  --recon F        write the reconstruction (raw planar YUV) to F\n"
               "  --quiet          no progress on stderr\n");
}

}  // namespace

int main(int argc, char** argv) {
  mpeg2enc::Options o;
  std::string input, output, recon;
  int maxFrames = -1;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kvnvc-mpeg2enc: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    bool ok = true;
    if (a == "-o")
      output = value();
    else if (a == "--recon")
      recon = value();
    else if (a == "--size")
      ok = std::sscanf(value(), "%dx%d", &o.width, &o.height) == 2;
    else if (a == "--qscale")
      ok = kvnapp::parse_int(value(), 1, 31, o.qscaleCode);
    else if (a == "--keyint")
      ok = kvnapp::parse_int(value(), 1, 1 << 20, o.keyint);
    else if (a == "--frames")
      ok = kvnapp::parse_int(value(), 0, 1 << 30, maxFrames);
    else if (a == "--quiet" || a == "-q")
      quiet = true;
    else if (a == "-h" || a == "--help")
      return usage(), 0;
    else if (a.size() > 1 && a[0] == '-')
      return std::fprintf(stderr, "kvnvc-mpeg2enc: unknown option %s\n", a.c_str()), usage(), 2;
    else if (input.empty())
      input = a;
    else
      return usage(), 2;
    if (!ok) return std::fprintf(stderr, "kvnvc-mpeg2enc: bad value for %s\n", a.c_str()), 2;
  }
  if (input.empty() || output.empty()) return usage(), 2;
  kvnapp::YuvInput in;
  const std::string inErr = in.open(input, o.width, o.height);
  if (!inErr.empty()) return std::fprintf(stderr, "kvnvc-mpeg2enc: %s\n", inErr.c_str()), 1;
  if (o.width >= 4096 || o.height >= 4096)
    return std::fprintf(stderr, "kvnvc-mpeg2enc: pictures up to 4095x4095 only\n"), 1;

  FILE* out = std::fopen(output.c_str(), "wb");
  if (!out) return std::fprintf(stderr, "kvnvc-mpeg2enc: cannot create %s\n", output.c_str()), 1;
  FILE* rec = recon.empty() ? nullptr : std::fopen(recon.c_str(), "wb");
  if (!recon.empty() && !rec) return std::fprintf(stderr, "kvnvc-mpeg2enc: cannot create %s\n", recon.c_str()), 1;

  mpeg2enc::Encoder enc(o);
  std::vector<uint8_t> bytes, frame, picture;
  enc.headers(bytes);
  const size_t luma = size_t(o.width) * size_t(o.height);
  int count = 0;
  size_t total = 0;
  bool writeErr = false;
  const auto t0 = std::chrono::steady_clock::now();
  for (; maxFrames < 0 || count < maxFrames; ++count) {
    size_t truncated = 0;
    if (!in.read(frame, truncated)) {
      if (truncated)
        std::fprintf(stderr, "kvnvc-mpeg2enc: %zu bytes of a truncated last picture not encoded\n", truncated);
      break;
    }
    const uint8_t* planes[3] = {frame.data(), frame.data() + luma, frame.data() + luma * 5 / 4};
    const int strides[3] = {o.width, o.width / 2, o.width / 2};
    enc.encode(planes, strides, bytes);
    writeErr |= std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size();
    total += bytes.size();
    bytes.clear();
    if (rec) {
      enc.reconstruction(picture);
      writeErr |= std::fwrite(picture.data(), 1, picture.size(), rec) != picture.size();
    }
    if (!quiet && count % 25 == 0) std::fprintf(stderr, "\rkvnvc-mpeg2enc: %d pictures, %zu bytes", count + 1, total);
  }
  enc.finish(bytes);
  writeErr |= std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size();
  writeErr |= std::fclose(out) != 0;
  if (rec) writeErr |= std::fclose(rec) != 0;
  if (writeErr) return std::fprintf(stderr, "kvnvc-mpeg2enc: write error\n"), 1;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!quiet)
    std::fprintf(stderr, "\rkvnvc-mpeg2enc: %d pictures %dx%d, %zu bytes, %.1f pictures/s\n", count, o.width, o.height,
                 total + bytes.size(), s > 0 ? count / s : 0.0);
  return 0;
}
