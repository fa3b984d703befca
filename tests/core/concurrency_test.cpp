// Every family called from several threads at once, each thread on buffers of
// its own: every status and output must be that of a single-threaded run of
// the same inputs. Nothing one call does may show in another call's results.
#include <gtest/gtest.h>

#include <thread>

#include "concurrency_cases.h"

namespace {

constexpr int kThreads = 6;
#if defined(__SANITIZE_THREAD__)
constexpr int kRounds = 50;  // every call is many times slower
#else
constexpr int kRounds = 200;
#endif

conc::Api linked_api() {
  conc::Api api;
#define KVN_CONC_TAKE(name) api.name = &::name;
  KVN_CONC_FUNCTIONS(KVN_CONC_TAKE)
#undef KVN_CONC_TAKE
  return api;
}

// results[round * items + item] of one thread.
using Results = std::vector<conc::Outcome>;

Results run_thread(const conc::Api& api, int thread) {
  const auto& items = conc::work_items();
  const int n = int(items.size());
  Results out(size_t(kRounds * n));
  // Item by item, so that the threads going the same way call the same
  // functions at the same time.
  for (int step = 0; step < n; ++step) {
    const int item = conc::item_at(thread, step, n);
    for (int round = 0; round < kRounds; ++round)
      out[size_t(round * n + item)] = items[size_t(item)].run(api, conc::seed_of(thread, round, item));
  }
  return out;
}

TEST(Concurrency, EveryFamilyGivesTheSingleThreadedResults) {
  const conc::Api api = linked_api();
  conc::prepare();
  std::vector<Results> expected, got(kThreads);
  for (int t = 0; t < kThreads; ++t) expected.push_back(run_thread(api, t));
  const auto& items = conc::work_items();
  const size_t n = items.size();
  // Random arguments may be refused now and then, but most calls must get
  // through, or the comparison below would prove little.
  for (size_t i = 0; i < n; ++i) {
    int runs = 0, failed[32] = {};
    for (const Results& r : expected)
      for (size_t k = i; k < r.size(); k += n, ++runs)
        for (int bit = 0; bit < 32; ++bit) failed[bit] += r[k].failed >> bit & 1;
    for (int bit = 0; bit < 32; ++bit)
      EXPECT_LE(failed[bit] * 2, runs) << items[i].family << ": call " << bit << " fails " << failed[bit] << " times";
  }

  conc::StartLine start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      got[size_t(t)] = run_thread(api, t);
    });
  for (auto& th : threads) th.join();

  int failures = 0;
  for (size_t t = 0; t < got.size(); ++t)
    for (size_t i = 0; i < got[t].size() && failures < 10; ++i)
      if (got[t][i] != expected[t][i]) {
        ADD_FAILURE() << items[i % n].family << ": thread " << t << ", round " << i / n << " differs";
        ++failures;
      }
}

}  // namespace
