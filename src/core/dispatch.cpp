#include "dispatch.h"

#include "core/cpu_cap.h"
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
    case Isa::kAvx512: return "avx512";
    default: return "?";
  }
}

bool isa_supported(Isa isa) { return isa_supported(isa, kFeatures.bits); }

// The best supported level within the KVNVC_CPU cap.
Isa best_isa() {
  Isa best = Isa::kScalar;
  const int cap = level_cap();
  for (int i = 1; i <= cap; ++i)
    if (isa_supported(Isa(i))) best = Isa(i);
  return best;
}

}  // namespace kvn
