// What the sample decoders share on the output side: the file (raw planar
// YUV, or Y4M, which players open without being told the size), "-" for
// standard output, and the progress line on standard error.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kvnapp {

// The form of the decoded pictures, for the Y4M stream header.
struct VideoFormat {
  int width = 0, height = 0;
  int chromaFormat = 1;          // 1 4:2:0, 2 4:2:2, 3 4:4:4, 4 4:1:1
  int bitDepth = 8;              // samples above 8 bits are written as 16-bit little-endian
  int rateNum = 0, rateDen = 0;  // pictures per second as a fraction; 0 when the stream does not say
  bool cositedChroma = false;    // 4:2:0 chroma sited as in MPEG-2 and H.264 (else centred, as in MPEG-1)
};

class FrameWriter {
 public:
  FrameWriter() = default;
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;
  ~FrameWriter();
  // "-" is standard output; Y4M when y4m is set or the name ends in ".y4m".
  // Returns "" or the error.
  std::string open(const std::string& path, bool y4m);
  bool is_open() const { return f_ != nullptr; }
  // Starts a picture: the Y4M stream header before the first, FRAME before each.
  void begin_frame(const VideoFormat& format);
  void write(const void* data, size_t size);
  // Closes the file; false when a write failed.
  bool close();

 private:
  FILE* f_ = nullptr;
  bool y4m_ = false, headerDone_ = false, failed_ = false, ownFile_ = false;
};

// The Y4M stream header line of a format (with its newline).
std::string y4m_header(const VideoFormat& format);

// "program: N frames, F fps" on standard error about twice a second and at
// the end, unless quiet or standard error is not a terminal.
class Progress {
 public:
  Progress(const char* program, bool quiet);
  void frame();
  void finish(const char* note = "");
  long frames() const { return frames_; }

 private:
  const char* program_;
  bool show_;
  long frames_ = 0;
  std::chrono::steady_clock::time_point start_, last_;
};

}  // namespace kvnapp
