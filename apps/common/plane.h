// A plane of 8-bit samples with a border of `pad` samples on every side, as
// the sample programs keep their pictures (motion compensation may read into
// the border).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvnapp {

struct Plane {
  void init(int width, int height, int padding);  // every sample 128
  uint8_t* at(int x, int y) { return data.data() + ptrdiff_t(y + pad) * stride + (x + pad); }
  const uint8_t* at(int x, int y) const { return data.data() + ptrdiff_t(y + pad) * stride + (x + pad); }
  void extend_edges();  // the border repeats the outermost samples
  int w = 0, h = 0, pad = 0, stride = 0;
  std::vector<uint8_t> data;
};

}  // namespace kvnapp
