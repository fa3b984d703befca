// Scalar reference of the edge-directed deinterlacing row (deinterlace.h).
#include "vpp/deinterlace.h"

namespace kvn {
namespace {

void edge_row(const uint8_t* a, const uint8_t* b, const uint8_t* same, uint8_t* d, int width) {
  d[0] = same[0];
  d[width - 1] = same[width - 1];
  for (int x = 1; x < width - 1; ++x) d[x] = deinterlace::edge_sample(a, b, x);
}

}  // namespace

constexpr DeinterlaceKernels kDeinterlaceKernelsC = {edge_row};

}  // namespace kvn
