// Raw planar YUV writer (cropped, display order; samples above 8 bits as
// 16-bit little-endian), whose bytes the per-frame MD5 takes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "frame.h"
#include "md5.h"
#include "params.h"

namespace h264dec {

using kvnsupport::Md5;

// Visits the bytes of the cropped frame in file order, in runs as long as
// the cropping allows (a whole plane when only rows are cropped).
template <typename Fn>
void frame_runs(const Frame& f, const Sps& sps, Fn&& fn) {
  const int bps = f.bytesPerSample;
  for (int c = 0; c < 3; ++c) {
    int sx = c == 0 ? 1 : 2, sy = c == 0 ? 1 : (sps.chromaFormat == 1 ? 2 : 1);
    int x0 = sps.cropLeft / sx, x1 = (f.width - sps.cropRight) / sx;
    int y0 = sps.cropTop / sy, y1 = (f.height - sps.cropBottom) / sy;
    const uint8_t* base = f.planes[c].data();
    size_t rowBytes = size_t(x1 - x0) * bps;
    if (x0 == 0 && x1 == f.stride[c]) {
      fn(base + size_t(y0) * f.stride[c] * bps, rowBytes * (y1 - y0));
      continue;
    }
    for (int y = y0; y < y1; ++y) fn(base + (size_t(y) * f.stride[c] + x0) * bps, rowBytes);
  }
}

// Serialises the cropped frame into bytes exactly as written to the file
// (samples above 8 bits as 16-bit little-endian: the host's order).
void frame_bytes(const Frame& f, const Sps& sps, std::vector<uint8_t>& out);

}  // namespace h264dec
