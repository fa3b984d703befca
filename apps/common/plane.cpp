#include "plane.h"

#include <cstring>

namespace kvnapp {

void Plane::init(int width, int height, int padding) {
  w = width, h = height, pad = padding;
  stride = (w + 2 * pad + 15) & ~15;
  data.assign(size_t(stride) * size_t(h + 2 * pad), 128);
}

void Plane::extend_edges() {
  for (int y = 0; y < h; ++y) {
    uint8_t* row = at(0, y);
    std::memset(row - pad, row[0], size_t(pad));
    std::memset(row + w, row[w - 1], size_t(pad));
  }
  for (int y = 1; y <= pad; ++y) {
    std::memcpy(at(-pad, -y), at(-pad, 0), size_t(stride));
    std::memcpy(at(-pad, h - 1 + y), at(-pad, h - 1), size_t(stride));
  }
}

}  // namespace kvnapp
