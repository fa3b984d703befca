// MPEG-4 / H.263 / H.261 coefficient writer kernels: one typical intra or
// inter block per call (ns per block).
#include <benchmark/benchmark.h>

#include <cstring>

#include "coeff_encode_data.h"
#include "mpeg4/coeff_encode.h"
#include "support/bench_support.h"
#include "tables/mpeg4_tables.h"

namespace {

using namespace coeffbench;
using kvn::CoeffEncodeFn;
using kvn::kCoeffEncodeKernelsC;

struct Data {
  std::vector<Block> inter = make_blocks(false, 1), intra = make_blocks(true, 2);
  std::vector<uint8_t> out = std::vector<uint8_t>(64 * 5 + 8, 0);
  unsigned next = 0;
};

// countDC: the count includes the intra DC (coded from position 0, or the
// H.261 INTRADC).
void add(Data& d, const char* name, CoeffEncodeFn fn, bool intra, int start, bool countDC = false) {
  benchmark::RegisterBenchmark(name, [&d, fn, intra, start, countDC](benchmark::State& st) {
    for (auto _ : st) {
      const Block& b = (intra ? d.intra : d.inter)[d.next++ % kBlocks];
      uint8_t* p = d.out.data();
      int32_t off = 0;
      const kvn::CoeffEncodeArgs a{kvn::kScanZigzag, start, b.count + countDC};
      fn(b.v, &p, &off, a);
      benchmark::DoNotOptimize(p);
      benchmark::ClobberMemory();
    }
  });
}

void register_all(Data& d) {
  const auto& k = kCoeffEncodeKernelsC;
  add(d, "EncodeCoeffsIntra_MPEG4_block/c", k.mpeg4[1], true, 1);
  add(d, "EncodeCoeffsInter_MPEG4_block/c", k.mpeg4[0], false, 0);
  add(d, "EncodeCoeffsIntraRVLC_MPEG4_block/c", k.mpeg4_rvlc[1], true, 1);
  add(d, "EncodeCoeffsInterRVLC_MPEG4_block/c", k.mpeg4_rvlc[0], false, 0);
  add(d, "EncodeCoeffsIntra_H263_block/c", k.h263[0][0], true, 1);
  add(d, "EncodeCoeffsIntraAdvIntra_H263_block/c", k.h263[1][0], true, 0, true);
  add(d, "EncodeCoeffsInter_H263_block/c", k.h263[0][1], false, 0);
  add(d, "EncodeCoeffsIntra_H261_block/c", k.h261[1], true, 1, true);
  add(d, "EncodeCoeffsInter_H261_block/c", k.h261[0], false, 0);
  benchmark::RegisterBenchmark("EncodeDCIntra_MPEG4/c", [&d](benchmark::State& st) {
    for (auto _ : st) {
      uint8_t* p = d.out.data();
      int32_t off = int32_t(d.next & 7);
      k.dc_mpeg4(int32_t(d.next++ % 511) - 255, &p, &off, 0);
      benchmark::DoNotOptimize(p);
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
