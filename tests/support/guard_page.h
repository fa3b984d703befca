// Memory that ends at an inaccessible page, for readers whose contract lets
// the caller stop providing bytes at a fixed bound: a copy placed here ends
// exactly at that bound, so reading one byte further faults at once (no
// sanitizer needed). Header-only, so that tests and fuzzers of every kind can
// use it.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kvntest {

class GuardPage {
 public:
  // Room for `capacity` bytes before the guard.
  explicit GuardPage(std::size_t capacity = std::size_t(1) << 16) {
    page_ = std::size_t(sysconf(_SC_PAGESIZE));
    size_ = (capacity + page_ - 1) / page_ * page_;
    void* m = mmap(nullptr, size_ + page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) std::abort();
    mem_ = static_cast<uint8_t*>(m);
    if (mprotect(mem_ + size_, page_, PROT_NONE) != 0) std::abort();
  }
  ~GuardPage() { munmap(mem_, size_ + page_); }
  GuardPage(const GuardPage&) = delete;
  GuardPage& operator=(const GuardPage&) = delete;

  std::size_t capacity() const { return size_; }

  // The last `bytes` accessible bytes: the first inaccessible byte is at
  // tail(bytes) + bytes.
  void* tail(std::size_t bytes) {
    if (bytes > size_) std::abort();
    return mem_ + size_ - bytes;
  }
  // A copy of n elements ending right before the guard page.
  template <class T>
  T* place(const T* data, std::size_t n) {
    T* p = static_cast<T*>(tail(n * sizeof(T)));
    if (n) std::memcpy(p, data, n * sizeof(T));
    return p;
  }

 private:
  uint8_t* mem_;
  std::size_t page_, size_;
};

}  // namespace kvntest
