// kvnvc-mpeg2enc: encodes raw planar YUV 4:2:0 (8-bit) or Y4M into an MPEG-2
// video elementary stream of I and P pictures with the kvnVC library;
// --recon writes the encoder's own reconstruction.
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
               "usage: kvnvc-mpeg2enc [options] input.yuv|input.y4m|- -o out.m2v\n"
               "  --qscale N       quantiser_scale_code 1..31 (default 8: quantiser scale 16)\n"
               "  --keyint N       pictures from one I picture to the next (default 12; 1: intra only)\n%s",
               kvnapp::kEncoderOptionsHelp);
}

}  // namespace

int main(int argc, char** argv) {
  mpeg2enc::Options o;
  kvnapp::EncoderArgs args;
  const auto own = [&](const std::string& a, const std::function<const char*()>& value) {
    if (a == "--qscale") return kvnapp::parse_int(value(), 1, 31, o.qscaleCode);
    if (a == "--keyint") return kvnapp::parse_int(value(), 1, 1 << 20, o.keyint);
    return false;
  };
  if (const int code = kvnapp::parse_encoder_args(argc, argv, "kvnvc-mpeg2enc", usage, own, args); code >= 0)
    return code;
  std::unique_ptr<mpeg2enc::Encoder> enc;
  return kvnapp::run_encoder("kvnvc-mpeg2enc", args, [&](int width, int height) {
    kvnapp::EncoderHooks hooks;
    if (width >= 4096 || height >= 4096) {
      hooks.refusal = "pictures up to 4095x4095 only";
      return hooks;
    }
    o.width = width, o.height = height;
    enc = std::make_unique<mpeg2enc::Encoder>(o);
    hooks.start = [&](std::vector<uint8_t>& bytes) { enc->headers(bytes); };
    hooks.encode = [&](const uint8_t* const planes[3], const int strides[3], std::vector<uint8_t>& bytes) {
      enc->encode(planes, strides, bytes);
    };
    hooks.reconstruction = [&](std::vector<uint8_t>& picture) { enc->reconstruction(picture); };
    hooks.finish = [&](std::vector<uint8_t>& bytes) { enc->finish(bytes); };
    return hooks;
  });
}
