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

// The tables of one family for every level: the scalar table, then for each
// SIMD level the table of the level below with that level's kernels put in by
// its step. A step is null where the family has no kernels of that level
// (always so with KVN_SIMD_STEP when the library is built without SIMD
// kernels), and runs only when the processor supports its level, since it is
// itself compiled for that instruction set. Define one per family as
//   KVN_TABLE_INIT const LevelTables<T> kTables(kScalarTable, sse2, sse41, avx2);
template <class Table>
class LevelTables {
 public:
  using Step = void (*)(Table&);
  LevelTables(const Table& scalar, Step sse2, Step sse41, Step avx2) {
    const Step steps[int(Isa::kCount)] = {nullptr, sse2, sse41, avx2};
    Table t = scalar;
    for (int i = 0; i < int(Isa::kCount); ++i) {
      if (steps[i] && isa_supported(Isa(i))) steps[i](t);
      tables_[i] = t;
    }
  }
  const Table& operator[](Isa isa) const { return tables_[int(isa)]; }

 private:
  Table tables_[int(Isa::kCount)];
};

#if defined(KVNVC_NO_SIMD)
#define KVN_SIMD_STEP(step) nullptr
#else
#define KVN_SIMD_STEP(step) step
#endif

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
