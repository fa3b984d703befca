#include "output.h"

#include <cstring>

namespace h264dec {

void frame_bytes(const Frame& f, const Sps& sps, std::vector<uint8_t>& out) {
  out.clear();
  frame_runs(f, sps, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); });
}

}  // namespace h264dec
