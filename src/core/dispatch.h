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
// itself compiled for that instruction set. Each family has one, defined by
// KVN_DEFINE_FAMILY.
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

// The table chosen at load time, one per family (KVN_DEFINE_FAMILY).
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

// The tail of a family's header (inside namespace kvn): with
//   KVN_DECLARE_FAMILY(sad, SadKernels);
// the header declares
//   kSadKernelsC            the scalar reference table (constant, built at
//                           compile time);
//   sad_init_sse2, sad_init_sse41, sad_init_avx2
//                           the step of each SIMD level, which puts the level's
//                           kernels into a table holding those of the levels
//                           below it (defined only for the levels the family
//                           has kernels of; called only when the level is
//                           supported, being compiled for its instruction set);
//   sad_kernels(Isa)        the table for a level (falling back to the closest
//                           lower level);
//   kSadKernelsChosen, sad_kernels()
//                           the table the library calls: that of the best
//                           supported level.
#define KVN_DECLARE_FAMILY(family, Table)                                    \
  extern const Table k##Table##C;                                            \
  void family##_init_sse2(Table& k);                                         \
  void family##_init_sse41(Table& k);                                        \
  void family##_init_avx2(Table& k);                                         \
  extern const KernelChoice<Table> k##Table##Chosen;                         \
  inline const Table& family##_kernels() { return *k##Table##Chosen.table; } \
  const Table& family##_kernels(Isa isa)

// Defines (inside namespace kvn) what KVN_DECLARE_FAMILY declares but the
// scalar table and the steps: the tables of every level, built at load time
// with KVN_TABLE_INIT, the getter, and the choice, made with KVN_LOAD_TIME.
// Each step is KVN_FAMILY_STEP(family, level) for a level the family has
// kernels of and nullptr for one it has none of. The build generates the one
// use of each family from its declaration in src/CMakeLists.txt
// (kvn_kernel_family, cmake/KvnKernels.cmake), e.g.
//   KVN_DEFINE_FAMILY(dc, DcKernels, KVN_FAMILY_STEP(dc, sse2), nullptr, nullptr);
#define KVN_DEFINE_FAMILY(family, Table, sse2, sse41, avx2)                        \
  namespace {                                                                      \
  KVN_TABLE_INIT const LevelTables<Table> kTables(k##Table##C, sse2, sse41, avx2); \
  }                                                                                \
  const Table& family##_kernels(Isa isa) { return kTables[isa]; }                  \
  KVN_LOAD_TIME const KernelChoice<Table> k##Table##Chosen { &family##_kernels(best_isa()) }

// The step of a level for KVN_DEFINE_FAMILY (null in a build without SIMD
// kernels, see KVN_SIMD_STEP).
#define KVN_FAMILY_STEP(family, level) KVN_SIMD_STEP(family##_init_##level)
