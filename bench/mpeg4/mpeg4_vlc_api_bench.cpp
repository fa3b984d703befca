// MPEG-4 / H.263 coefficient decoding, whole exported calls: 1024 typical
// blocks decoded or reconstructed in a row (items = coefficients), and one
// block per call.
#include <benchmark/benchmark.h>

#include <cstring>

#include "kvnvc.h"
#include "mpeg4_vlc_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using namespace mpeg4bench;

struct Data {
  Stream m4inter = make_stream(Syntax::Mpeg4Inter, 1), m4intra = make_stream(Syntax::Mpeg4Intra, 2),
         h263inter = make_stream(Syntax::H263Inter, 3), h263intra = make_stream(Syntax::H263Intra, 4);
  alignas(16) uint8_t state[176] = {};
  const KvnQuantInvState_MPEG4* inv = nullptr;
  Data() {
    auto* s = reinterpret_cast<KvnQuantInvState_MPEG4*>(state);
    s->bitsPerPixel = 8;
    s->matrixFlag = 0;
    std::memcpy(s->tag, "SAMC", 4);
    inv = s;
  }
};

template <class F>
void add_stream(const char* name, Stream& s, F decode) {
  benchmark::RegisterBenchmark(name, [&s, decode](benchmark::State& st) {
    int16_t blk[64];
    Kvn32s last;
    for (auto _ : st) {
      Kvn8u* p = s.bytes.data();
      Kvn32s off = 0;
      for (int i = 0; i < kBlocks; ++i) {
        decode(&p, &off, blk, &last);
        benchmark::DoNotOptimize(blk);
      }
    }
    st.SetItemsProcessed(int64_t(st.iterations()) * s.coeffs);
  });
}

void register_all(Data& d) {
  add_stream("DecodeCoeffsInter_MPEG4_1024blocks/api", d.m4inter, [](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
    return kvniDecodeCoeffsInter_MPEG4_1u16s(p, o, b, l, 0, 0);
  });
  add_stream("DecodeCoeffsIntra_MPEG4_1024blocks/api", d.m4intra, [](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
    return kvniDecodeCoeffsIntra_MPEG4_1u16s(p, o, b, l, 0, 1, 0);
  });
  add_stream("ReconstructCoeffsInter_MPEG4_1024blocks/api", d.m4inter,
             [&d](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
               return kvniReconstructCoeffsInter_MPEG4_1u16s(p, o, b, l, 0, 0, d.inv, 6);
             });
  add_stream("ReconstructCoeffsInter_H263_1024blocks/api", d.h263inter, [](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
    return kvniReconstructCoeffsInter_H263_1u16s(p, o, b, l, 6, 0);
  });
  add_stream("ReconstructCoeffsIntra_H263_1024blocks/api", d.h263intra, [](Kvn8u** p, Kvn32s* o, Kvn16s* b, Kvn32s* l) {
    return kvniReconstructCoeffsIntra_H263_1u16s(p, o, b, l, 1, 6, 0, 0, 0);
  });
  static int16_t blk[64];
  static Kvn32s last;
  kvnbench::add_api("DecodeCoeffsInter_MPEG4/block", [&d] {
    Kvn8u* p = d.m4inter.bytes.data();
    Kvn32s off = 0;
    return kvniDecodeCoeffsInter_MPEG4_1u16s(&p, &off, blk, &last, 0, 0);
  });
  kvnbench::add_api("ReconstructCoeffsIntra_H263/block", [&d] {
    Kvn8u* p = d.h263intra.bytes.data();
    Kvn32s off = 0;
    return kvniReconstructCoeffsIntra_H263_1u16s(&p, &off, blk, &last, 1, 6, 0, 0, 0);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
