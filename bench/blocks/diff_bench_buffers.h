// Buffers of the difference benchmarks, kernels and public calls alike.
#pragma once

#include <cstdint>

#include "support/bench_support.h"

namespace kvnbench {

// Sources and references are the block layer's pictures (the same bytes also
// read as 16-bit samples: 16 of them fit a picture row from the block on);
// outputs are 16x16 blocks of 16-bit values in dense rows (32 bytes).
struct DiffBuffers {
  static constexpr int kStep = Picture::kStep;
  Buffers pictures;
  alignas(64) int16_t diff[16 * 16], pred[16 * 16];
  alignas(64) int32_t sums32[16];
};

// What the benchmarks pass: s source, f and r references (s16 and f16 the
// same bytes as 16-bit samples), d and p 16-bit outputs.
struct DiffArgs {
  explicit DiffArgs(DiffBuffers& b)
      : s(b.pictures.dst.block()),
        f(b.pictures.fwd.block()),
        r(b.pictures.bwd.block()),
        s16(reinterpret_cast<const uint16_t*>(s)),
        f16(reinterpret_cast<const uint16_t*>(f)),
        d(b.diff),
        p(b.pred),
        sums32(b.sums32) {}
  const uint8_t *s, *f, *r;
  const uint16_t *s16, *f16;
  int16_t *d, *p;
  int32_t* sums32;
};

}  // namespace kvnbench
