// The one random generator of the tests. Every test derives its own generator
// from the base seed and its name, so a failure reproduces alone. The base
// seed is KVN_TEST_SEED when set, otherwise a fixed value; failures print it
// (seed_note()). Header only: the tests of the exported names use it without
// the differential harness.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>

namespace kvntest {

inline uint64_t base_seed() {
  static const uint64_t seed = [] {
    const char* env = std::getenv("KVN_TEST_SEED");
    return env && *env ? std::strtoull(env, nullptr, 0) : 20261206ull;
  }();
  return seed;
}

class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed ? seed : 0x9e3779b97f4a7c15ull) {}
  uint64_t next() {  // xorshift64*
    s_ ^= s_ >> 12;
    s_ ^= s_ << 25;
    s_ ^= s_ >> 27;
    return s_ * 0x2545f4914f6cdd1dull;
  }
  uint32_t u32() { return uint32_t(next() >> 32); }
  // Uniform in [lo, hi].
  int range(int lo, int hi) { return lo + int(u32() % uint32_t(hi - lo + 1)); }
  bool coin() { return next() >> 63; }
  bool one_in(int n) { return u32() % uint32_t(n) == 0; }
  uint8_t byte() { return uint8_t(next() >> 56); }
  // Every element of a container or array drawn from [lo, hi].
  template <class C>
  void fill(C& c, int lo, int hi) {
    for (auto& v : c) v = std::remove_reference_t<decltype(v)>(range(lo, hi));
  }
  template <class It>
  void shuffle(It first, It last) {
    for (auto n = std::distance(first, last); n > 1; --n) std::swap(first[n - 1], first[range(0, int(n - 1))]);
  }

 private:
  uint64_t s_;
};

// Generator for one test, seeded from the base seed and the test's name.
inline Rng rng_for(const std::string& name) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a of the name, mixed with the base seed
  for (unsigned char c : name) h = (h ^ c) * 1099511628211ull;
  return Rng(h ^ (base_seed() * 0x9e3779b97f4a7c15ull));
}

// "seed=... (set KVN_TEST_SEED to repeat)" for failure messages.
inline std::string seed_note() { return "seed=" + std::to_string(base_seed()) + " (set KVN_TEST_SEED to repeat)"; }

// The generator of the running test ("Suite.Name"); every failure while it
// lives carries seed_note().
class TestRng : public Rng {
 public:
  TestRng() : Rng(rng_for(name())), trace_(__FILE__, __LINE__, seed_note()) {}

 private:
  static std::string name() {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(t->test_suite_name()) + "." + t->name();
  }
  ::testing::ScopedTrace trace_;
};

}  // namespace kvntest
