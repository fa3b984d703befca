#include "input.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kvnvc.h"

namespace kvnapp {
namespace {

// The size from a Y4M stream header (4:2:0 8-bit progressive only) whose
// first bytes `line` holds already.
std::string read_y4m_header(FILE* f, std::string line, int& w, int& h) {
  for (int c; (c = std::fgetc(f)) != EOF && c != '\n';) line += char(c);
  if (line.rfind("YUV4MPEG2", 0) != 0) return "not a Y4M stream";
  size_t pos = 0;
  while ((pos = line.find(' ', pos)) != std::string::npos) {
    ++pos;
    const char tag = line[pos];
    const std::string value = line.substr(pos + 1, line.find(' ', pos) - pos - 1);
    if (tag == 'W') w = std::atoi(value.c_str());
    if (tag == 'H') h = std::atoi(value.c_str());
    if (tag == 'C' && value.rfind("420", 0) != 0 && value != "mono")
      return "unsupported Y4M colour space " + value + " (4:2:0 8-bit only)";
    if (tag == 'I' && value != "p" && value != "?") return "interlaced Y4M input is not supported";
  }
  return "";
}

}  // namespace

bool parse_int(const char* s, int lo, int hi, int& v) {
  char* end = nullptr;
  errno = 0;
  const long x = std::strtol(s, &end, 10);
  if (errno || end == s || *end || x < lo || x > hi) return false;
  v = int(x);
  return true;
}

const char kDecoderOptionsHelp[] =
    "  -                standard input (as input) or standard output (as output)\n"
    "  --md5            print one MD5 per frame (of its raw bytes); the output file is optional\n"
    "  --y4m            write Y4M (also chosen by an output name ending in .y4m)\n"
    "  --frames N       stop after N frames\n"
    "  --quiet, -q      no progress line (none either when standard error is not a terminal)\n"
    "  --help, --version\n"
    "exit codes: 0 done, 1 input or output unusable, 2 usage, 3 unsupported feature,\n"
    "  4 corrupt stream with nothing decoded\n";

int program_option(const std::string& a, const char* program, void (*usage)(), bool& quiet) {
  if (a == "--quiet" || a == "-q") {
    quiet = true;
    return -1;
  }
  if (a == "-h" || a == "--help") {
    usage();
    return kExitOk;
  }
  if (a == "--version") {
    std::printf("%s (%s %s)\n", program, kvnvcGetLibVersion()->libraryName, kvnvcGetLibVersion()->versionText);
    return kExitOk;
  }
  return kNotShared;
}

int parse_decoder_args(int argc, char** argv, const char* program, void (*usage)(), DecoderArgs& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    int n = 0;
    if (a == "--md5") {
      args.md5 = true;
    } else if (a == "--y4m") {
      args.y4m = true;
    } else if (a == "--frames" && i + 1 < argc && parse_int(argv[i + 1], 0, 1 << 30, n)) {
      args.frames = n, ++i;
    } else if (const int code = program_option(a, program, usage, args.quiet); code != kNotShared) {
      if (code >= 0) return code;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "%s: unknown option or missing value: %s\n", program, a.c_str());
      usage();
      return kExitUsage;
    } else {
      args.files.push_back(a);
    }
  }
  const size_t n = args.files.size();
  if (n == 0 || n > 2 || (!args.md5 && n != 2)) {
    usage();
    return kExitUsage;
  }
  return -1;
}

std::string read_file(const std::string& path, std::vector<uint8_t>& data) {
  const bool stdinput = path == "-";
  FILE* in = stdinput ? stdin : std::fopen(path.c_str(), "rb");
  if (!in) return "cannot open " + path + ": " + std::strerror(errno);
  data.clear();
  uint8_t buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data.insert(data.end(), buf, buf + n);
  const bool failed = std::ferror(in);
  if (!stdinput) std::fclose(in);
  return failed ? "cannot read " + path : "";
}

YuvInput::~YuvInput() {
  if (f_ && ownFile_) std::fclose(f_);
}

std::string YuvInput::open(const std::string& path, int& width, int& height) {
  const bool stdinput = path == "-";
  f_ = stdinput ? stdin : std::fopen(path.c_str(), "rb");
  if (!f_) return "cannot open " + path + ": " + std::strerror(errno);
  ownFile_ = !stdinput;
  y4m_ = path.size() > 4 && path.compare(path.size() - 4, 4, ".y4m") == 0;
  if (stdinput) {  // Y4M when it begins as Y4M does; else the bytes read are the first picture's
    char magic[9];
    pending_.assign(magic, std::fread(magic, 1, sizeof magic, f_));
    y4m_ = pending_ == "YUV4MPEG2";
  }
  if (y4m_) {
    const std::string err = read_y4m_header(f_, stdinput ? pending_ : std::string(), width, height);
    pending_.clear();
    if (!err.empty()) return path + ": " + err;
  }
  if (width < 2 || height < 2 || width % 2 || height % 2 || width > 8192 || height > 8192)
    return "picture size " + std::to_string(width) + "x" + std::to_string(height) +
           ": give an even size 2x2..8192x8192" + (y4m_ ? "" : " with --size");
  size_ = size_t(width) * size_t(height) * 3 / 2;
  return "";
}

bool YuvInput::read(std::vector<uint8_t>& picture, size_t& truncated) {
  truncated = 0;
  if (y4m_) {
    char tag[6] = {};
    if (std::fread(tag, 1, 5, f_) != 5 || std::memcmp(tag, "FRAME", 5) != 0) return false;
    for (int c; (c = std::fgetc(f_)) != EOF && c != '\n';) {
    }
  }
  picture.resize(size_);
  const size_t early = std::min(pending_.size(), size_);
  std::memcpy(picture.data(), pending_.data(), early);
  pending_.clear();
  const size_t got = early + std::fread(picture.data() + early, 1, size_ - early, f_);
  if (got != size_) {
    truncated = got;
    return false;
  }
  return true;
}

}  // namespace kvnapp
