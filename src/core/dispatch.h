// Choice of kernel tables by instruction set.
//
// Each family keeps one constant table of kernels per instruction-set level
// that it has kernels for. The library picks the table of the best level the
// processor supports once, at load time, before any constructor of the caller
// runs; after that a call costs one load of the chosen table pointer. The tests
// walk every level the host supports and compare each table slot with the
// scalar one.
#pragma once

#include <cstdint>

namespace kvn {

enum class Isa : int { kScalar = 0, kSse2, kSse41, kAvx2, kCount };

// Name used in test and benchmark labels: "c", "sse2", "sse41", "avx2".
const char* isa_name(Isa isa);

// True when this processor and build can run kernels of the level.
bool isa_supported(Isa isa);

// The best supported level.
Isa best_isa();

// Picks the table for a level from a family's per-level tables (null where the
// family has none of its own), falling back to the closest lower level.
template <class Table>
const Table* table_for(Isa isa, const Table* const (&levels)[int(Isa::kCount)]) {
  for (int i = int(isa); i >= 0; --i)
    if (levels[i]) return levels[i];
  return nullptr;
}

// The table chosen at load time. Define one per family as
//   KVN_LOAD_TIME const KernelChoice<T> kChosen{&table(best_isa())};
// The pointer is written once, by its initialiser, and only read afterwards.
template <class Table>
struct KernelChoice {
  explicit KernelChoice(const Table* t) : table(t) {}
  const Table* const table;
};

}  // namespace kvn

// Load-time initialisation ahead of every constructor with default priority
// (also when linked statically): first the processor's features (asked of the
// core library once), then the SIMD tables (each a copy of the constant scalar
// table with its own kernels put in), then the choices.
#define KVN_CPU_INIT __attribute__((init_priority(101)))
#define KVN_TABLE_INIT __attribute__((init_priority(102)))
#define KVN_LOAD_TIME __attribute__((init_priority(103)))
