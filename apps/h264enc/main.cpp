// kvnvc-h264enc: encodes raw planar YUV 4:2:0 (8-bit) or Y4M into an H.264
// Annex B stream with the kvnVC library; --recon writes the encoder's own
// reconstruction, which a decoder of the stream reproduces exactly.
#include <cerrno>
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
               "usage: kvnvc-h264enc [options] input.yuv|input.y4m -o out.264\n"
               "  --size WxH       picture size of raw input (Y4M carries its own)\n"
               "  --qp N           quantisation parameter 0..51 (default 26)\n"
               "  --keyint N       pictures from one IDR picture to the next (default 250; 1: intra only)\n"
               "  --cabac, --cavlc entropy coding (default CAVLC, Baseline profile; CABAC: Main)\n"
               "  --8x8dct         the 8x8 transform and Intra 8x8 (High profile)\n"
               "  --slices N       slices per picture (default 1)\n"
               "  --ref N          reference pictures of P pictures, 1..4 (default 1)\n"
               "  --no-deblock     switch the loop filter off\n"
               "  --frames N       encode at most N pictures\n"
               "  --recon F        write the reconstruction (raw planar YUV) to F\n"
               "  --quiet          no progress on stderr\n");
}

}  // namespace

int main(int argc, char** argv) {
  h264enc::Options o;
  std::string input, output, recon;
  int maxFrames = -1;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kvnvc-h264enc: %s needs a value\n", a.c_str());
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
    else if (a == "--qp")
      ok = kvnapp::parse_int(value(), 0, 51, o.qp);
    else if (a == "--keyint")
      ok = kvnapp::parse_int(value(), 1, 1 << 20, o.keyint);
    else if (a == "--ref")
      ok = kvnapp::parse_int(value(), 1, 4, o.refs);
    else if (a == "--slices")
      ok = kvnapp::parse_int(value(), 1, 1 << 20, o.slices);
    else if (a == "--frames")
      ok = kvnapp::parse_int(value(), 0, 1 << 30, maxFrames);
    else if (a == "--no-deblock")
      o.deblock = false;
    else if (a == "--cabac")
      o.cabac = true;
    else if (a == "--cavlc")
      o.cabac = false;
    else if (a == "--8x8dct")
      o.t8x8 = true;
    else if (a == "--quiet" || a == "-q")
      quiet = true;
    else if (a == "-h" || a == "--help")
      return usage(), 0;
    else if (a.size() > 1 && a[0] == '-')
      return std::fprintf(stderr, "kvnvc-h264enc: unknown option %s\n", a.c_str()), usage(), 2;
    else if (input.empty())
      input = a;
    else
      return usage(), 2;
    if (!ok) return std::fprintf(stderr, "kvnvc-h264enc: bad value for %s\n", a.c_str()), 2;
  }
  if (input.empty() || output.empty()) return usage(), 2;

  kvnapp::YuvInput in;
  const std::string inErr = in.open(input, o.width, o.height);
  if (!inErr.empty()) return std::fprintf(stderr, "kvnvc-h264enc: %s\n", inErr.c_str()), 1;

  FILE* out = std::fopen(output.c_str(), "wb");
  if (!out)
    return std::fprintf(stderr, "kvnvc-h264enc: cannot create %s: %s\n", output.c_str(), std::strerror(errno)), 1;
  FILE* rec = recon.empty() ? nullptr : std::fopen(recon.c_str(), "wb");
  if (!recon.empty() && !rec)
    return std::fprintf(stderr, "kvnvc-h264enc: cannot create %s: %s\n", recon.c_str(), std::strerror(errno)), 1;

  h264enc::Encoder enc(o);
  std::vector<uint8_t> bytes = enc.headers(), picture;
  const size_t lumaSize = size_t(o.width) * size_t(o.height);
  std::vector<uint8_t> frame;
  int count = 0;
  size_t total = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (; maxFrames < 0 || count < maxFrames; ++count) {
    size_t truncated = 0;
    if (!in.read(frame, truncated)) {
      if (truncated)
        std::fprintf(stderr, "kvnvc-h264enc: %zu bytes of a truncated last picture not encoded\n", truncated);
      break;
    }
    const uint8_t* planes[3] = {frame.data(), frame.data() + lumaSize, frame.data() + lumaSize * 5 / 4};
    const int strides[3] = {o.width, o.width / 2, o.width / 2};
    enc.encode(planes, strides, bytes);
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
      return std::fprintf(stderr, "kvnvc-h264enc: write error on %s\n", output.c_str()), 1;
    total += bytes.size();
    bytes.clear();
    if (rec) {
      enc.reconstruction(picture);
      std::fwrite(picture.data(), 1, picture.size(), rec);
    }
    if (!quiet && count % 25 == 0) std::fprintf(stderr, "\rkvnvc-h264enc: %d pictures, %zu bytes", count + 1, total);
  }
  if (rec && std::fclose(rec) != 0) return std::fprintf(stderr, "kvnvc-h264enc: write error on %s\n", recon.c_str()), 1;
  if (std::fclose(out) != 0) return std::fprintf(stderr, "kvnvc-h264enc: write error on %s\n", output.c_str()), 1;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (!quiet)
    std::fprintf(stderr, "\rkvnvc-h264enc: %d pictures %dx%d, %zu bytes, %.1f pictures/s\n", count, o.width, o.height,
                 total, s > 0 ? count / s : 0.0);
  return 0;
}
