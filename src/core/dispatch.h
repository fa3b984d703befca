// Choice of kernel tables by instruction set.
//
// Each family keeps one constant table of kernels per instruction-set level:
// the scalar reference, complete, and for each SIMD level the kernels it has
// (null elsewhere). Every entry is compiled once per level, and its body for a
// level calls, for each slot, the kernel of the highest level up to its own
// that has one (KVN_KERNEL); the library binds each exported name to the body
// of the best level the processor supports when it is loaded (see the binding
// generated from the export list, cmake/KvnKernels.cmake). For the tests, the
// benchmarks and the code outside the entries, the whole table of each level
// is also built at load time, and the best one chosen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kvn {

enum class Isa : int { kScalar = 0, kSse2, kSse41, kAvx2, kAvx512, kCount };

// Name used in test and benchmark labels: "c", "sse2", "sse41", "avx2",
// "avx512".
const char* isa_name(Isa isa);

// True when a processor with the features (KVN_CPU_* bits) can run kernels of
// the level built into this library.
constexpr bool isa_supported(Isa isa, [[maybe_unused]] uint64_t f) {
  switch (isa) {
    case Isa::kScalar: return true;
#if defined(KVNVC_NO_SIMD)
    default: return false;
#else
    case Isa::kSse2: return f & (1ull << 0);                          // SSE2
    case Isa::kSse41: return (f & (1ull << 3)) && (f & (1ull << 2));  // SSE4.1, SSSE3
    case Isa::kAvx2: return (f & (1ull << 7)) && (f & (1ull << 10));  // AVX2, BMI2
    case Isa::kAvx512:                                                // AVX2 and BMI2, AVX-512 F, BW, DQ, VL
      return isa_supported(Isa::kAvx2, f) && (f & (0xfull << 12)) == (0xfull << 12);
    default: return false;
#endif
  }
}

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

// The kernels of one level alone: a copy of an empty table with the level's
// kernels put in by its step (a constexpr function), so that the table is a
// constant the compiler (and the link-time optimiser) can read through.
template <class Table>
constexpr Table own_table(void (*step)(Table&)) {
  Table t{};
  step(t);
  return t;
}

// The tables of one family for every level, built at load time: the scalar
// table, then for each SIMD level the table of the level below with the
// level's own kernels (its non-null slots) put in, where the processor
// supports the level. Every kernel table is a tile of function pointers.
template <class Table>
class LevelTables {
 public:
  LevelTables(const Table& scalar, const Table& sse2, const Table& sse41, const Table& avx2, const Table& avx512) {
    const Table* const own[int(Isa::kCount)] = {nullptr, &sse2, &sse41, &avx2, &avx512};
    Table t = scalar;
    for (int i = 0; i < int(Isa::kCount); ++i) {
      if (own[i] && isa_supported(Isa(i))) merge(t, *own[i]);
      tables_[i] = t;
    }
  }
  const Table& operator[](Isa isa) const { return tables_[int(isa)]; }

 private:
  using Slot = void (*)();
  static_assert(std::is_trivially_copyable_v<Table> && sizeof(Table) % sizeof(Slot) == 0);
  static constexpr size_t kSlots = sizeof(Table) / sizeof(Slot);

  static void merge(Table& t, const Table& own) {
    Slot to[kSlots], from[kSlots];
    std::memcpy(to, &t, sizeof t);
    std::memcpy(from, &own, sizeof own);
    for (size_t i = 0; i < kSlots; ++i)
      if (from[i]) to[i] = from[i];
    std::memcpy(&t, to, sizeof t);
  }

  Table tables_[int(Isa::kCount)];
};

// The table chosen at load time, one per family (KVN_DEFINE_FAMILY), for code
// outside the entries that calls kernels of several families (the macroblock
// walks). The pointer is written once, by its initialiser, and only read
// afterwards.
template <class Table>
struct KernelChoice {
  explicit KernelChoice(const Table* t) : table(t) {}
  const Table* const table;
};

// The kernel of a slot at an entry's level (KVN_KERNEL): that of the highest
// level up to Level that has one of its own, else the scalar one. The tables
// are constants, so with the slot's index known the choice folds into a
// direct call (across files, by the link-time optimiser).
template <int Level, class Table, class Slot>
__attribute__((always_inline)) inline auto level_kernel(const Table& c, const Table& sse2, const Table& sse41,
                                                        const Table& avx2, const Table& avx512, Slot slot) {
  using Kernel = decltype(slot(c));
  static_assert(std::is_function_v<std::remove_pointer_t<Kernel>>, "a slot is one kernel, not an array of them");
  if constexpr (Level >= int(Isa::kAvx512))
    if (const auto k = slot(avx512)) return k;
  if constexpr (Level >= int(Isa::kAvx2))
    if (const auto k = slot(avx2)) return k;
  if constexpr (Level >= int(Isa::kSse41))
    if (const auto k = slot(sse41)) return k;
  if constexpr (Level >= int(Isa::kSse2))
    if (const auto k = slot(sse2)) return k;
  return slot(c);
}

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
//   sse2::kSadKernels, sse41::kSadKernels, avx2::kSadKernels,
//   avx512::kSadKernels
//                           each level's own kernels, null elsewhere
//                           (constants: KVN_LEVEL_KERNELS at the end of the
//                           level's file, an empty table for a level the
//                           family has no kernels of);
//   sad_kernels(Isa)        the whole table of a level (each slot from the
//                           highest level up to it that has a kernel for it),
//                           built at load time for the tests and benchmarks;
//   kSadKernelsChosen, sad_kernels()
//                           the table of the best supported level;
//   sad_level_kernel<L>(slot)
//                           what KVN_KERNEL(sad, slot) calls in an entry.
#define KVN_DECLARE_FAMILY(family, Table)                                                                             \
  extern const Table k##Table##C;                                                                                     \
  namespace sse2 {                                                                                                    \
  extern const Table k##Table;                                                                                        \
  }                                                                                                                   \
  namespace sse41 {                                                                                                   \
  extern const Table k##Table;                                                                                        \
  }                                                                                                                   \
  namespace avx2 {                                                                                                    \
  extern const Table k##Table;                                                                                        \
  }                                                                                                                   \
  namespace avx512 {                                                                                                  \
  extern const Table k##Table;                                                                                        \
  }                                                                                                                   \
  extern const KernelChoice<Table> k##Table##Chosen;                                                                  \
  inline const Table& family##_kernels() { return *k##Table##Chosen.table; }                                          \
  const Table& family##_kernels(Isa isa);                                                                             \
  template <int Level, class Slot>                                                                                    \
  __attribute__((always_inline)) inline auto family##_level_kernel(Slot slot) {                                       \
    return level_kernel<Level>(k##Table##C, sse2::k##Table, sse41::k##Table, avx2::k##Table, avx512::k##Table, slot); \
  }                                                                                                                   \
  static_assert(true)

// Ends the file of a level's kernels (inside namespace kvn), after the
// level's step, constexpr void sad_init_<level>(SadKernels& k), which puts the
// level's kernels into k:
//   KVN_LEVEL_KERNELS(sad, SadKernels);
// defines the level's own table (kvn::<level>::kSadKernels) from the step, at
// compile time.
#define KVN_LEVEL_KERNELS(family, Table) KVN_LEVEL_KERNELS_AT(family, Table, KVN_ISA)
#define KVN_LEVEL_KERNELS_AT(family, Table, level) KVN_LEVEL_KERNELS_AT_(family, Table, level)
#define KVN_LEVEL_KERNELS_AT_(family, Table, level)                   \
  namespace level {                                                   \
  constexpr Table k##Table = own_table<Table>(family##_init_##level); \
  }                                                                   \
  static_assert(true)

// Defines (inside namespace kvn) the tables of every level, built at load
// time with KVN_TABLE_INIT, the getter, and the choice, made with
// KVN_LOAD_TIME. The build generates the one use of each family from its
// declaration in src/CMakeLists.txt (kvn_kernel_family,
// cmake/KvnKernels.cmake), together with an empty own table for each level
// the family has no kernels of.
#define KVN_DEFINE_FAMILY(family, Table)                                                                        \
  namespace {                                                                                                   \
  KVN_TABLE_INIT const LevelTables<Table> kTables(k##Table##C, sse2::k##Table, sse41::k##Table, avx2::k##Table, \
                                                  avx512::k##Table);                                            \
  }                                                                                                             \
  const Table& family##_kernels(Isa isa) { return kTables[isa]; }                                               \
  KVN_LOAD_TIME const KernelChoice<Table> k##Table##Chosen { &family##_kernels(best_isa()) }

// An empty own table, for a level a family has no kernels of.
#define KVN_NO_LEVEL_KERNELS(Table, level) \
  namespace level {                        \
  constexpr Table k##Table{};              \
  }                                        \
  static_assert(true)
