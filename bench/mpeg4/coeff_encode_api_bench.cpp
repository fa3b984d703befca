// MPEG-4 / H.263 / H.261 coefficient writers, whole public calls: one typical
// intra or inter block per call (ns per block).
#include <benchmark/benchmark.h>

#include "coeff_encode_data.h"
#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using namespace coeffbench;

struct Data {
  std::vector<Block> inter = make_blocks(false, 1), intra = make_blocks(true, 2);
  std::vector<Kvn8u> out = std::vector<Kvn8u>(64 * 5 + 8, 0);
  unsigned next = 0;
  const Block& block(bool isIntra) { return (isIntra ? intra : inter)[next++ % kBlocks]; }
};

void register_all(Data& d) {
  kvnbench::add_api("EncodeCoeffsIntra_MPEG4_block", [&d] {
    const Block& b = d.block(true);
    Kvn8u* p = d.out.data();
    Kvn32s off = 0;
    return kvniEncodeCoeffsIntra_MPEG4_16s1u(b.v, &p, &off, b.count, 0, 1, 0);
  });
  kvnbench::add_api("EncodeCoeffsInter_MPEG4_block", [&d] {
    const Block& b = d.block(false);
    Kvn8u* p = d.out.data();
    Kvn32s off = 0;
    return kvniEncodeCoeffsInter_MPEG4_16s1u(b.v, &p, &off, b.count, 0, 0);
  });
  kvnbench::add_api("EncodeCoeffsInter_H263_block", [&d] {
    const Block& b = d.block(false);
    Kvn8u* p = d.out.data();
    Kvn32s off = 0;
    return kvniEncodeCoeffsInter_H263_16s1u(b.v, &p, &off, b.count, 0, 0);
  });
  kvnbench::add_api("EncodeCoeffsIntra_H261_block", [&d] {
    const Block& b = d.block(true);
    Kvn8u* p = d.out.data();
    Kvn32s off = 0;
    return kvniEncodeCoeffsIntra_H261_16s1u(b.v, &p, &off, b.count + 1, 0);
  });
  kvnbench::add_api("EncodeDCIntra_MPEG4", [&d] {
    Kvn8u* p = d.out.data();
    Kvn32s off = Kvn32s(d.next & 7);
    return kvniEncodeDCIntra_MPEG4_16s1u(Kvn16s(int(d.next++ % 511) - 255), &p, &off, 0);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
