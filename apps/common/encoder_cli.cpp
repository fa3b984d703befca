#include "encoder_cli.h"

#include <cstdio>
#include <cstdlib>

#include "input.h"
#include "writer.h"

namespace kvnapp {

const char kEncoderOptionsHelp[] =
    "  -o F             the stream (\"-\": standard output)\n"
    "  --size WxH       picture size of raw input (Y4M carries its own); input \"-\": standard input\n"
    "  --frames N       encode at most N pictures\n"
    "  --recon F        write the reconstruction to F (Y4M when F ends in .y4m, else raw planar YUV)\n"
    "  --quiet, -q      no progress line (none either when standard error is not a terminal)\n"
    "  --help, --version\n"
    "exit codes: 0 done, 1 input or output unusable, 2 usage\n";

int parse_encoder_args(int argc, char** argv, const char* program, void (*usage)(), const OwnOption& own,
                       EncoderArgs& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const std::function<const char*()> value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s: %s needs a value\n", program, a.c_str());
        std::exit(kExitUsage);
      }
      return argv[++i];
    };
    int frames = 0;
    bool ok = true;
    if (a == "-o") {
      args.output = value();
    } else if (a == "--recon") {
      args.recon = value();
    } else if (a == "--size") {
      ok = std::sscanf(value(), "%dx%d", &args.width, &args.height) == 2;
    } else if (a == "--frames") {
      ok = parse_int(value(), 0, 1 << 30, frames);
      args.frames = frames;
    } else if (const int code = program_option(a, program, usage, args.quiet); code != kNotShared) {
      if (code >= 0) return code;
    } else if (a.size() > 1 && a[0] == '-') {
      if (!own(a, value)) {
        std::fprintf(stderr, "%s: unknown option or bad value: %s\n", program, a.c_str());
        usage();
        return kExitUsage;
      }
    } else if (args.input.empty()) {
      args.input = a;
    } else {
      usage();
      return kExitUsage;
    }
    if (!ok) {
      std::fprintf(stderr, "%s: bad value for %s\n", program, a.c_str());
      return kExitUsage;
    }
  }
  if (args.input.empty() || args.output.empty()) {
    usage();
    return kExitUsage;
  }
  return -1;
}

int run_encoder(const char* program, EncoderArgs& args, const std::function<EncoderHooks(int, int)>& make) {
  YuvInput in;
  const std::string inErr = in.open(args.input, args.width, args.height);
  if (!inErr.empty()) return std::fprintf(stderr, "%s: %s\n", program, inErr.c_str()), kExitInput;
  FrameWriter out, rec;
  std::string err = out.open(args.output, false);
  if (err.empty() && !args.recon.empty()) err = rec.open(args.recon, false);
  if (!err.empty()) return std::fprintf(stderr, "%s: %s\n", program, err.c_str()), kExitInput;

  EncoderHooks enc = make(args.width, args.height);
  if (!enc.refusal.empty()) return std::fprintf(stderr, "%s: %s\n", program, enc.refusal.c_str()), kExitInput;
  VideoFormat format;
  format.width = args.width, format.height = args.height;
  format.cositedChroma = true;
  std::vector<uint8_t> bytes, frame, picture;
  enc.start(bytes);
  out.write(bytes.data(), bytes.size());
  const size_t luma = size_t(args.width) * size_t(args.height);
  Progress progress(program, args.quiet);
  while (args.frames < 0 || progress.frames() < args.frames) {
    size_t truncated = 0;
    if (!in.read(frame, truncated)) {
      if (truncated)
        std::fprintf(stderr, "%s: %zu bytes of a truncated last picture not encoded\n", program, truncated);
      break;
    }
    const uint8_t* const planes[3] = {frame.data(), frame.data() + luma, frame.data() + luma * 5 / 4};
    const int strides[3] = {args.width, args.width / 2, args.width / 2};
    bytes.clear();
    enc.encode(planes, strides, bytes);
    out.write(bytes.data(), bytes.size());
    if (rec.is_open()) {
      enc.reconstruction(picture);
      rec.begin_frame(format);
      rec.write(picture.data(), picture.size());
    }
    progress.frame();
  }
  bytes.clear();
  if (enc.finish) enc.finish(bytes);
  out.write(bytes.data(), bytes.size());
  const bool written = out.close() && rec.close();
  progress.finish();
  if (!written) return std::fprintf(stderr, "%s: write error\n", program), kExitInput;
  return kExitOk;
}

}  // namespace kvnapp
