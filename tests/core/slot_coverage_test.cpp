// Every SIMD kernel of every table is compared with its scalar reference by a
// differential test: after a run of the whole binary (no filter, no shards, no
// failures), a slot that differs from the scalar table at a level the host
// supports and that no test noted as compared fails, with its family, level
// and member.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "families/names.h"
#include "support/harness.h"
#include "support/slots.h"

namespace {

using kvntest::AnyFn;
using kvntest::Family;

class SlotCoverage : public ::testing::Environment {
 public:
  void TearDown() override {
    const char* shards = std::getenv("GTEST_TOTAL_SHARDS");
    if (GTEST_FLAG_GET(filter) != "*" || (shards && std::atoi(shards) > 1)) return;
    if (::testing::UnitTest::GetInstance()->failed_test_count() > 0) {
      std::printf("slot coverage not checked: tests failed\n");
      return;
    }
    std::ostringstream missing;
    int count = 0;
    for (const Family& f : kvntest::families())
      for (kvn::Isa isa : kvntest::simd_levels())
        for (std::size_t i = 0; i < f.slots; ++i) {
          const AnyFn fn = f.slot(isa, i);
          if (fn == f.scalar_slot(i) || kvntest::was_compared(fn)) continue;
          missing << "\n  " << f.name << " " << kvn::isa_name(isa) << " slot " << i << " (" << f.slot_name(i) << ")";
          ++count;
        }
    if (count)
      ADD_FAILURE() << count
                    << " SIMD kernel slot(s) that no differential test compared with the scalar one:" << missing.str();
  }
};

[[maybe_unused]] ::testing::Environment* const kCoverage = ::testing::AddGlobalTestEnvironment(new SlotCoverage);

// Every family the build declares is enumerated (a new family needs its
// member list in tests/support/slots.cpp).
TEST(Slots, EveryDeclaredFamilyIsEnumerated) {
  for (const char* name : {KVN_FAMILY_NAMES}) {
    bool found = false;
    for (const Family& f : kvntest::families()) found |= std::strcmp(f.name, name) == 0;
    EXPECT_TRUE(found) << "family " << name << " is not in kvntest::families()";
  }
}

// The level tables as the dispatch builds them: the scalar level is the
// scalar table, and no step leaves a slot empty that the scalar table fills.
TEST(Slots, LevelTablesExtendTheScalarTable) {
  for (const Family& f : kvntest::families()) {
    EXPECT_EQ(std::memcmp(f.table(kvn::Isa::kScalar), f.scalar, f.slots * sizeof(AnyFn)), 0) << f.name;
    for (kvn::Isa isa : kvntest::simd_levels())
      for (std::size_t i = 0; i < f.slots; ++i)
        EXPECT_TRUE(f.slot(isa, i) || !f.scalar_slot(i))
            << f.name << " " << kvn::isa_name(isa) << " " << f.slot_name(i);
  }
}

}  // namespace
