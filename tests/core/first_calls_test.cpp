// The first calls after the library is loaded, made by threads started
// together: each opens the library itself (the first to get there loads it)
// and at once calls every family. The results must be those of a process
// that loaded the library and made the same calls alone. This program is not
// linked with the library, so that the load happens under the threads' eyes.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "concurrency_cases.h"

#ifndef KVNVC_LIBRARY_PATH
#error "KVNVC_LIBRARY_PATH: the path of the shared library"
#endif

namespace {

constexpr int kThreads = 6;

// The loader runs dlopen calls one at a time (the library's load-time
// initialisation inside the first, under the loader's lock); the mutex only
// shows that order to ThreadSanitizer, which cannot see the loader's lock.
std::mutex gLoaderOrder;

bool open_library(conc::Api& api) {
  void* lib;
  {
    std::lock_guard<std::mutex> lock(gLoaderOrder);
    lib = dlopen(KVNVC_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  }
  return lib && conc::resolve_api(api, [lib](const char* name) { return dlsym(lib, name); });
}

using Results = std::vector<conc::Outcome>;  // [thread * items + item]

Results run_alone() {
  conc::Api api;
  if (!open_library(api)) return {};
  const auto& items = conc::work_items();
  Results out;
  for (int t = 0; t < kThreads; ++t)
    for (size_t i = 0; i < items.size(); ++i) out.push_back(items[i].run(api, conc::seed_of(t, 0, int(i))));
  return out;
}

bool write_all(int fd, const void* p, size_t n) {
  for (auto* c = static_cast<const char*>(p); n > 0;) {
    const ssize_t w = write(fd, c, n);
    if (w <= 0) return false;
    c += w, n -= size_t(w);
  }
  return true;
}

bool read_all(int fd, void* p, size_t n) {
  for (auto* c = static_cast<char*>(p); n > 0;) {
    const ssize_t r = read(fd, c, n);
    if (r <= 0) return false;
    c += r, n -= size_t(r);
  }
  return true;
}

// run_alone() in a child process, which loads the library for itself; empty
// when that fails.
Results run_alone_in_child() {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const Results r = run_alone();
    const uint64_t count = r.size();
    bool ok = write_all(fds[1], &count, sizeof count);
    for (const conc::Outcome& o : r) {
      const uint64_t size = o.bytes.size();
      ok = ok && write_all(fds[1], &size, sizeof size) && write_all(fds[1], o.bytes.data(), size) &&
           write_all(fds[1], &o.failed, sizeof o.failed);
    }
    _exit(ok ? 0 : 1);
  }
  close(fds[1]);
  uint64_t count = 0;
  bool ok = pid > 0 && read_all(fds[0], &count, sizeof count) && count < 100000;
  Results r(ok ? count : 0);
  for (conc::Outcome& o : r) {
    uint64_t size = 0;
    ok = ok && read_all(fds[0], &size, sizeof size) && size < (1u << 24);
    if (ok) o.bytes.resize(size);
    ok = ok && read_all(fds[0], o.bytes.data(), size) && read_all(fds[0], &o.failed, sizeof o.failed);
  }
  close(fds[0]);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? r : Results{};
}

TEST(FirstCalls, ThreadsStartedTogetherGetTheResultsOfALoneCaller) {
  conc::prepare();
  ASSERT_EQ(dlopen(KVNVC_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library is loaded already";
  const Results expected = run_alone_in_child();
  const auto& items = conc::work_items();
  const size_t n = items.size();
  ASSERT_EQ(expected.size(), kThreads * n) << "the child process could not load the library or report";

  Results got(kThreads * n);
  bool opened[kThreads] = {};
  conc::StartLine start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      conc::Api api;
      if (!(opened[t] = open_library(api))) return;
      for (int step = 0; step < int(n); ++step) {
        const int item = conc::item_at(t, step, int(n));
        got[size_t(t) * n + size_t(item)] = items[size_t(item)].run(api, conc::seed_of(t, 0, item));
      }
    });
  for (auto& th : threads) th.join();

  for (int t = 0; t < kThreads; ++t) {
    ASSERT_TRUE(opened[t]) << "thread " << t << " could not open the library";
    for (size_t i = 0; i < n; ++i)
      EXPECT_TRUE(got[size_t(t) * n + i] == expected[size_t(t) * n + i]) << items[i].family << ": thread " << t;
  }
}

}  // namespace
