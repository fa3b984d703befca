#include "writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <numeric>

namespace kvnapp {

FrameWriter::~FrameWriter() { close(); }

std::string FrameWriter::open(const std::string& path, bool y4m) {
  y4m_ = y4m || (path.size() > 4 && path.compare(path.size() - 4, 4, ".y4m") == 0);
  ownFile_ = path != "-";
  f_ = ownFile_ ? std::fopen(path.c_str(), "wb") : stdout;
  if (!f_) return "cannot create " + path + ": " + std::strerror(errno);
  return "";
}

std::string y4m_header(const VideoFormat& v) {
  std::string colour = v.chromaFormat == 2 ? "422" : v.chromaFormat == 3 ? "444" : v.chromaFormat == 4 ? "411" : "420";
  if (v.bitDepth > 8)
    colour += "p" + std::to_string(v.bitDepth);
  else if (v.chromaFormat == 1)
    colour += v.cositedChroma ? "mpeg2" : "jpeg";
  int num = 25, den = 1;  // when the stream does not say
  if (v.rateNum > 0 && v.rateDen > 0) {
    const int g = std::gcd(v.rateNum, v.rateDen);
    num = v.rateNum / g, den = v.rateDen / g;
  }
  return "YUV4MPEG2 W" + std::to_string(v.width) + " H" + std::to_string(v.height) + " F" + std::to_string(num) + ":" +
         std::to_string(den) + " Ip A0:0 C" + colour + "\n";
}

void FrameWriter::begin_frame(const VideoFormat& format) {
  if (!y4m_) return;
  if (!headerDone_) {
    const std::string h = y4m_header(format);
    write(h.data(), h.size());
    headerDone_ = true;
  }
  write("FRAME\n", 6);
}

void FrameWriter::write(const void* data, size_t size) {
  if (f_ && std::fwrite(data, 1, size, f_) != size) failed_ = true;
}

bool FrameWriter::close() {
  if (f_) {
    if (ownFile_ ? std::fclose(f_) != 0 : std::fflush(f_) != 0) failed_ = true;
    f_ = nullptr;
  }
  return !failed_;
}

Progress::Progress(const char* program, bool quiet)
    : program_(program), show_(!quiet && isatty(2)), start_(std::chrono::steady_clock::now()), last_(start_) {}

void Progress::frame() {
  ++frames_;
  if (!show_ || frames_ % 8) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < std::chrono::milliseconds(500)) return;
  last_ = now;
  const double secs = std::chrono::duration<double>(now - start_).count();
  std::fprintf(stderr, "\r%s: %ld frames, %.1f fps", program_, frames_, secs > 0 ? frames_ / secs : 0.0);
}

void Progress::finish(const char* note) {
  if (!show_) return;
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::fprintf(stderr, "\r%s: %ld frames in %.2f s, %.1f fps%s\n", program_, frames_, secs,
               secs > 0 ? frames_ / secs : 0.0, note);
}

}  // namespace kvnapp
