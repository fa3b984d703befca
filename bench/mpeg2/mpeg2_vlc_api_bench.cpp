// MPEG-1/MPEG-2 VLC exported calls, whole: block reconstruction from a stream
// of 1024 typical blocks (items = coefficients), the block writers (one block
// per call) and the table builders.
#include <benchmark/benchmark.h>

#include <cstring>

#include "kvnvc.h"
#include "mpeg2_vlc_data.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using namespace mpeg2bench;
using kvnsupport::Mpeg2DctTable;

struct Data {
  std::vector<int32_t> firstSrc = kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First);
  std::vector<int32_t> b14Src = kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14);
  KvnHuffmanTable *first = nullptr, *b14 = nullptr, *dc = nullptr;
  KvnRLEncodeTable* enc = nullptr;
  std::vector<int32_t> dcWriter = kvnsupport::mpeg2_dc_size_writer_table(false);
  std::vector<Block> inter = make_blocks(false, 1), intra = make_blocks(true, 2);
  std::vector<Kvn32u> interStream, intraStream, out = std::vector<Kvn32u>(64, 0);
  int64_t interCoeffs = 0, intraCoeffs = 0;
  Kvn16s weights[64];
  Kvn32s pred = 0;
  unsigned next = 0;

  Data() {
    kvniHuffmanRunLevelTableInitAlloc_32s(firstSrc.data(), &first);
    kvniHuffmanRunLevelTableInitAlloc_32s(b14Src.data(), &b14);
    kvniHuffmanTableInitAlloc_32s(kvnsupport::mpeg2_dc_size_source(false).data(), &dc);
    kvniCreateRLEncodeTable(b14Src.data(), &enc);
    for (Kvn16s& w : weights) w = 16;
    interStream = write(false, interCoeffs);
    intraStream = write(true, intraCoeffs);
  }
  std::vector<Kvn32u> write(bool isIntra, int64_t& coeffs) {
    std::vector<Kvn32u> s(kBlocks * 40 + 8, 0);
    Kvn32u* p = s.data();
    Kvn32s freeBits = 32, dcPred = 0;
    for (const Block& b : isIntra ? intra : inter) {
      if (isIntra)
        kvniPutIntraBlock(&p, &freeBits, b.v, &dcPred, dcWriter.data(), enc, kvnsupport::kMpeg2Zigzag, 2, 2, b.count);
      else
        kvniPutNonIntraBlock(&p, &freeBits, b.v, enc, kvnsupport::kMpeg2Zigzag, 2, 2, b.count);
      coeffs += b.count + isIntra;
    }
    return s;
  }
};

void decode_all(Data& d, bool intra) {
  Kvn32u* p = (intra ? d.intraStream : d.interStream).data();
  Kvn32s index = 31, last;
  Kvn16s pred = 0, blk[64];
  for (int i = 0; i < kBlocks; ++i) {
    if (intra)
      kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &index, d.dc, d.b14, kvnsupport::kMpeg2Zigzag, 8, d.weights, &pred, 0,
                                             blk, &last);
    else
      kvniReconstructDCTBlock_MPEG2_32s(&p, &index, d.first, d.b14, kvnsupport::kMpeg2Zigzag, 8, d.weights, blk, &last);
    benchmark::DoNotOptimize(blk);
  }
}

void register_all(Data& d) {
  for (bool intra : {false, true}) {
    const std::string name = intra ? "ReconstructIntra_MPEG2_1024blocks/api" : "ReconstructInter_MPEG2_1024blocks/api";
    benchmark::RegisterBenchmark(name.c_str(), [&d, intra](benchmark::State& st) {
      for (auto _ : st) decode_all(d, intra);
      st.SetItemsProcessed(int64_t(st.iterations()) * (intra ? d.intraCoeffs : d.interCoeffs));
    });
  }
  kvnbench::add_api("PutNonIntraBlock", [&d] {
    const Block& b = d.inter[d.next++ % kBlocks];
    Kvn32u* p = d.out.data();
    Kvn32s freeBits = 32;
    const KvnResult st = kvniPutNonIntraBlock(&p, &freeBits, b.v, d.enc, kvnsupport::kMpeg2Zigzag, 2, 2, b.count);
    std::memset(d.out.data(), 0, 4 * std::size_t(p - d.out.data() + 1));
    return st;
  });
  kvnbench::add_api("PutIntraBlock", [&d] {
    const Block& b = d.intra[d.next++ % kBlocks];
    Kvn32u* p = d.out.data();
    Kvn32s freeBits = 32;
    const KvnResult st = kvniPutIntraBlock(&p, &freeBits, b.v, &d.pred, d.dcWriter.data(), d.enc,
                                           kvnsupport::kMpeg2Zigzag, 2, 2, b.count);
    std::memset(d.out.data(), 0, 4 * std::size_t(p - d.out.data() + 1));
    return st;
  });
  kvnbench::add_api("BuildRunLevelTableB14", [&d] {
    KvnHuffmanTable* t = nullptr;
    const KvnResult st = kvniHuffmanRunLevelTableInitAlloc_32s(d.b14Src.data(), &t);
    kvniHuffmanTableFree_32s(t);
    return st;
  });
}

}  // namespace

int main(int argc, char** argv) {
  static Data data;
  register_all(data);
  return kvnbench::run(argc, argv);
}
