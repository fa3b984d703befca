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

const char* isa_name(Isa isa) { return unsigned(isa) < unsigned(Isa::kCount) ? kIsaNames[int(isa)] : "?"; }

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
