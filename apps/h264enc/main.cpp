// kvnvc-h264enc: encodes raw planar YUV 4:2:0 (8-bit) or Y4M into an H.264
// Annex B stream with the kvnVC library; --recon writes the encoder's own
// reconstruction, which a decoder of the stream reproduces exactly.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "encoder.h"
#include "encoder_cli.h"
#include "input.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: kvnvc-h264enc [options] input.yuv|input.y4m|- -o out.264\n"
               "  --qp N           quantisation parameter 0..51 (default 26)\n"
               "  --keyint N       pictures from one IDR picture to the next (default 250; 1: intra only)\n"
               "  --cabac, --cavlc entropy coding (default CAVLC, Baseline profile; CABAC: Main)\n"
               "  --8x8dct         the 8x8 transform and Intra 8x8 (High profile)\n"
               "  --slices N       slices per picture (default 1)\n"
               "  --ref N          reference pictures of P pictures, 1..4 (default 1)\n"
               "  --no-deblock     switch the loop filter off\n%s",
               kvnapp::kEncoderOptionsHelp);
}

}  // namespace

int main(int argc, char** argv) {
  h264enc::Options o;
  kvnapp::EncoderArgs args;
  const auto own = [&](const std::string& a, const std::function<const char*()>& value) {
    if (a == "--qp") return kvnapp::parse_int(value(), 0, 51, o.qp);
    if (a == "--keyint") return kvnapp::parse_int(value(), 1, 1 << 20, o.keyint);
    if (a == "--ref") return kvnapp::parse_int(value(), 1, 4, o.refs);
    if (a == "--slices") return kvnapp::parse_int(value(), 1, 1 << 20, o.slices);
    const bool flag = a == "--no-deblock" || a == "--cabac" || a == "--cavlc" || a == "--8x8dct";
    if (a == "--no-deblock") o.deblock = false;
    if (a == "--cabac" || a == "--cavlc") o.cabac = a == "--cabac";
    if (a == "--8x8dct") o.t8x8 = true;
    return flag;
  };
  if (const int code = kvnapp::parse_encoder_args(argc, argv, "kvnvc-h264enc", usage, own, args); code >= 0)
    return code;
  std::unique_ptr<h264enc::Encoder> enc;
  return kvnapp::run_encoder("kvnvc-h264enc", args, [&](int width, int height) {
    o.width = width, o.height = height;
    enc = std::make_unique<h264enc::Encoder>(o);
    kvnapp::EncoderHooks hooks;
    hooks.start = [&](std::vector<uint8_t>& bytes) { bytes = enc->headers(); };
    hooks.encode = [&](const uint8_t* const planes[3], const int strides[3], std::vector<uint8_t>& bytes) {
      enc->encode(planes, strides, bytes);
    };
    hooks.reconstruction = [&](std::vector<uint8_t>& picture) { enc->reconstruction(picture); };
    return hooks;
  });
}
