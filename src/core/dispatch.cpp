#include "dispatch.h"

#include "kvncore.h"

namespace kvn {
namespace {

struct CpuFeatures {
  CpuFeatures() : bits(kvnGetEnabledCpuFeatures()) {}
  const uint64_t bits;
};
KVN_CPU_INIT const CpuFeatures kFeatures;

}  // namespace

const char* isa_name(Isa isa) {
  switch (isa) {
    case Isa::kScalar: return "c";
    case Isa::kSse2: return "sse2";
    case Isa::kSse41: return "sse41";
    case Isa::kAvx2: return "avx2";
    default: return "?";
  }
}

bool isa_supported(Isa isa) { return isa_supported(isa, kFeatures.bits); }

Isa best_isa() {
  Isa best = Isa::kScalar;
  for (int i = 1; i < int(Isa::kCount); ++i)
    if (isa_supported(Isa(i))) best = Isa(i);
  return best;
}

}  // namespace kvn
