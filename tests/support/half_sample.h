// The half-sample prediction of the block functions, written independently of
// the library: sample (x, y) of a reference read through at(x, y). Mode bit 8
// selects the horizontal and bit 4 the vertical half sample (both: the centre
// of four); the right-hand neighbour is dx samples on (2: interleaved chroma);
// rounding 1 rounds the averages down instead of up.
#pragma once

namespace kvntest {

template <class At>
int half_sample(const At& at, int x, int y, int mode, int rounding = 0, int dx = 1) {
  const int rc = rounding & 1;
  switch (mode & 12) {
    case 8: return (at(x, y) + at(x + dx, y) + 1 - rc) >> 1;
    case 4: return (at(x, y) + at(x, y + 1) + 1 - rc) >> 1;
    case 12: return (at(x, y) + at(x + dx, y) + at(x, y + 1) + at(x + dx, y + 1) + 2 - rc) >> 2;
    default: return at(x, y);
  }
}

}  // namespace kvntest
