// KVNVC_CPU parsing: which levels it caps to, and what it ignores.
#include <gtest/gtest.h>

#include "core/cpu_cap.h"

namespace {

int cap_of(std::initializer_list<const char*> vars) {
  std::vector<const char*> env(vars);
  env.push_back(nullptr);
  return kvn::level_cap(env.data());
}

constexpr int kNoCap = int(kvn::Isa::kCount) - 1;

TEST(CpuCap, NamesEachLevel) {
  EXPECT_EQ(cap_of({"KVNVC_CPU=c"}), int(kvn::Isa::kScalar));
  EXPECT_EQ(cap_of({"HOME=/", "KVNVC_CPU=sse2"}), int(kvn::Isa::kSse2));
  EXPECT_EQ(cap_of({"KVNVC_CPU=sse41", "PATH=/bin"}), int(kvn::Isa::kSse41));
  EXPECT_EQ(cap_of({"KVNVC_CPU=avx2"}), int(kvn::Isa::kAvx2));
  EXPECT_EQ(cap_of({"KVNVC_CPU=avx512"}), int(kvn::Isa::kAvx512));
}

TEST(CpuCap, IgnoresWhatIsNotALevel) {
  EXPECT_EQ(cap_of({}), kNoCap);
  EXPECT_EQ(kvn::level_cap(nullptr), kNoCap);
  EXPECT_EQ(cap_of({"KVNVC_CPU="}), kNoCap);
  EXPECT_EQ(cap_of({"KVNVC_CPU=sse"}), kNoCap);    // a prefix of a name
  EXPECT_EQ(cap_of({"KVNVC_CPU=sse2x"}), kNoCap);  // a name and more
  EXPECT_EQ(cap_of({"KVNVC_CPU=SSE2"}), kNoCap);   // names are lower case
  EXPECT_EQ(cap_of({"KVNVC_CPUS=c"}), kNoCap);     // another variable
  EXPECT_EQ(cap_of({"XKVNVC_CPU=c"}), kNoCap);
  EXPECT_EQ(cap_of({"KVNVC_CPU"}), kNoCap);
}

}  // namespace
