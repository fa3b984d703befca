// MPEG-4 / H.263 coefficient decoding kernels (scalar family): 1024 typical
// blocks decoded or reconstructed in a row (items = coefficients).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "mpeg4/mpeg4_vlc.h"
#include "mpeg4_vlc_data.h"
#include "support/bench_support.h"

namespace {

using namespace kvn;
using namespace mpeg4bench;

struct Data {
  Stream m4inter = make_stream(Syntax::Mpeg4Inter, 1), m4intra = make_stream(Syntax::Mpeg4Intra, 2),
         h263inter = make_stream(Syntax::H263Inter, 3), h263intra = make_stream(Syntax::H263Intra, 4);
  KvnQuantInvState_MPEG4 inv{};
  Data() {
    inv.bitsPerPixel = 8;
    std::memcpy(inv.tag, "SAMC", 4);
  }
};

void add_stream(const char* name, Stream& s, Mpeg4BlockFn fn, Mpeg4VlcArgs a) {
  {  // every block of the stream decodes
    int16_t blk[64];
    int32_t last, off = 0;
    uint8_t* p = s.bytes.data();
    for (int i = 0; i < kBlocks; ++i)
      if (fn(&p, &off, blk, &last, a) != KVN_STS_OK) std::abort();
  }
  benchmark::RegisterBenchmark(name, [&s, fn, a](benchmark::State& st) {
    int16_t blk[64];
    int32_t last;
    for (auto _ : st) {
      uint8_t* p = s.bytes.data();
      int32_t off = 0;
      for (int i = 0; i < kBlocks; ++i) {
        fn(&p, &off, blk, &last, a);
        benchmark::DoNotOptimize(blk);
      }
    }
    st.SetItemsProcessed(int64_t(st.iterations()) * s.coeffs);
  });
}

void register_all(Data& d) {
  const Mpeg4VlcKernels& k = kMpeg4VlcKernelsC;
  add_stream("DecodeCoeffsInter_MPEG4_1024blocks/c", d.m4inter, k.inter_mpeg4, {0, 0, 0, 0, 0, 0, 0, nullptr});
  add_stream("DecodeCoeffsIntra_MPEG4_1024blocks/c", d.m4intra, k.intra_mpeg4, {0, 1, 0, 0, 0, 0, 0, nullptr});
  add_stream("ReconstructCoeffsInter_MPEG4_1024blocks/c", d.m4inter, k.recon_inter_mpeg4,
             {0, 0, 0, 0, 0, 0, 6, &d.inv});
  add_stream("ReconstructCoeffsInter_H263_1024blocks/c", d.h263inter, k.recon_inter_h263,
             {0, 0, 0, 0, 0, 0, 6, nullptr});
  add_stream("ReconstructCoeffsIntra_H263_1024blocks/c", d.h263intra, k.recon_intra_h263,
             {0, 0, 0, 0, 1, 0, 6, nullptr});
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
