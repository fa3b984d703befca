// MPEG-1/MPEG-2 VLC kernels (scalar family): decoding with reconstruction of
// non-intra and intra blocks from a stream of 1024 typical blocks (items =
// coefficients), and the block writers (one block per call).
#include <benchmark/benchmark.h>

#include <cstring>

#include "mpeg2/mpeg2_vlc.h"
#include "mpeg2/mpeg2_vlc_table.h"
#include "mpeg2_vlc_data.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using namespace mpeg2bench;
using kvnsupport::Mpeg2DctTable;

int32_t* build(const std::vector<int32_t>& src, bool runLevel) {
  int32_t* t = nullptr;
  build_huffman_table(src.data(), runLevel, &t);
  return t;
}

struct Data {
  int32_t* first = build(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First), true);
  int32_t* b14 = build(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14), true);
  int32_t* dc = build(kvnsupport::mpeg2_dc_size_source(false), false);
  int32_t* enc = [] {
    int32_t* t = nullptr;
    build_rl_encode_table(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14).data(), &t);
    return t;
  }();
  std::vector<int32_t> dcWriter = kvnsupport::mpeg2_dc_size_writer_table(false);
  std::vector<Block> inter = make_blocks(false, 1), intra = make_blocks(true, 2);
  std::vector<uint32_t> interStream, intraStream, out = std::vector<uint32_t>(64, 0);
  int64_t interCoeffs = 0, intraCoeffs = 0;
  int16_t weights[64];
  int32_t pred = 0;
  unsigned next = 0;

  Data() {
    for (int16_t& w : weights) w = 16;
    interStream = write(false, interCoeffs);
    intraStream = write(true, intraCoeffs);
  }
  std::vector<uint32_t> write(bool isIntra, int64_t& coeffs) {
    std::vector<uint32_t> s(kBlocks * 40 + 8, 0);
    uint32_t* p = s.data();
    int32_t freeBits = 32, dcPred = 0;
    for (const Block& b : isIntra ? intra : inter) {
      const Mpeg2PutArgs a{enc, kvnsupport::kMpeg2Zigzag, &dcPred, dcWriter.data(), 2, 2, b.count};
      (isIntra ? kMpeg2VlcKernelsC.put_intra : kMpeg2VlcKernelsC.put_inter)(&p, &freeBits, b.v, a);
      coeffs += b.count + isIntra;
    }
    return s;
  }
};

void decode_all(Data& d, bool intra) {
  const uint32_t* p = (intra ? d.intraStream : d.interStream).data();
  uint32_t index = 31;
  int16_t pred = 0, blk[64];
  int32_t last;
  const Mpeg2BlockArgs a{intra ? d.dc : d.first, d.b14, kvnsupport::kMpeg2Zigzag, 8, d.weights, &pred, 0};
  const Mpeg2BlockFn fn = intra ? kMpeg2VlcKernelsC.intra_mpeg2 : kMpeg2VlcKernelsC.inter_mpeg2;
  for (int i = 0; i < kBlocks; ++i) {
    fn(&p, &index, a, blk, &last);
    benchmark::DoNotOptimize(blk);
  }
}

void register_all(Data& d) {
  for (bool intra : {false, true}) {
    const std::string name = intra ? "ReconstructIntra_MPEG2_1024blocks/c" : "ReconstructInter_MPEG2_1024blocks/c";
    benchmark::RegisterBenchmark(name.c_str(), [&d, intra](benchmark::State& st) {
      for (auto _ : st) decode_all(d, intra);
      st.SetItemsProcessed(int64_t(st.iterations()) * (intra ? d.intraCoeffs : d.interCoeffs));
    });
  }
  for (bool intra : {false, true}) {
    const std::string name = intra ? "PutIntraBlock/c" : "PutNonIntraBlock/c";
    benchmark::RegisterBenchmark(name.c_str(), [&d, intra](benchmark::State& st) {
      for (auto _ : st) {
        const Block& b = (intra ? d.intra : d.inter)[d.next++ % kBlocks];
        uint32_t* p = d.out.data();
        int32_t freeBits = 32;
        const Mpeg2PutArgs a{d.enc, kvnsupport::kMpeg2Zigzag, &d.pred, d.dcWriter.data(), 2, 2, b.count};
        (intra ? kMpeg2VlcKernelsC.put_intra : kMpeg2VlcKernelsC.put_inter)(&p, &freeBits, b.v, a);
        std::memset(d.out.data(), 0, 4 * std::size_t(p - d.out.data() + 1));
        benchmark::DoNotOptimize(p);
      }
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
