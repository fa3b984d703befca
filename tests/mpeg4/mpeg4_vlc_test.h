// Test side of the MPEG-4 / H.263 / H.261 coefficient decoders: a bit writer,
// the events of a block written straight from the code tables in every form
// (table code, each escape), and memory with an inaccessible page before it.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "tables/mpeg4_vlc_tables.h"

namespace m4test {

using namespace kvn::vlc;

// Bits appended most significant first.
struct Bits {
  std::vector<uint8_t> bytes;
  size_t n = 0;
  void bit(uint32_t x) {
    if (n % 8 == 0) bytes.push_back(0);
    if (x & 1) bytes.back() |= uint8_t(0x80 >> (n % 8));
    ++n;
  }
  void put(uint32_t v, int len) {
    for (int i = len - 1; i >= 0; --i) bit(v >> i);
  }
  void put(Codeword c) { put(c.code, c.length); }
  void put_code(uint16_t code, int len, int32_t level) {
    put(code, len);
    bit(level < 0);
  }
  // Random filler, so that a decoder that reads too far or too little shows.
  void noise(std::mt19937& rng, int count) {
    for (int i = 0; i < count; ++i) bit(rng());
  }
};

// One coefficient: LAST, RUN and the signed level.
struct Event {
  int last, run, level;
};

template <size_t N>
const RunLevelCode* find(const RunLevelCode (&t)[N], int last, int run, int level) {
  const int mag = level < 0 ? -level : level;
  for (const auto& c : t)
    if (c.last == last && c.run == run && c.level == mag) return &c;
  return nullptr;
}

template <size_t N>
const RunLevelCode& pick(const RunLevelCode (&t)[N], std::mt19937& rng, int last) {
  for (;;) {
    const auto& c = t[rng() % N];
    if (c.last == last) return c;
  }
}

enum class Form { Table, Esc1, Esc2, Esc3 };

// H.263 (Table 16 or I.2): the table code when there is one and escape is
// false, else the escape (Annex T form above 127).
template <size_t N>
void put_h263(Bits& b, const RunLevelCode (&t)[N], const Event& e, bool escape) {
  if (const auto* c = find(t, e.last, e.run, e.level); c && !escape) return b.put_code(c->code, c->length, e.level);
  b.put(kTcoefEscape);
  b.put(uint32_t(e.last), 1);
  b.put(uint32_t(e.run), 6);
  if (e.level >= -127 && e.level <= 127) return b.put(uint32_t(e.level) & 0xff, 8);
  b.put(0x80, 8);
  b.put(uint32_t(e.level) & 31, 5);
  b.put(uint32_t(e.level >> 5) & 63, 6);
}

// MPEG-4 (Table B-16 or B-17) in the given form; e must suit it.
template <size_t N>
void put_mpeg4(Bits& b, const RunLevelCode (&t)[N], const RunLevelLimits& lim, const Event& e, Form f) {
  const int mag = e.level < 0 ? -e.level : e.level;
  if (f == Form::Table) {
    const auto* c = find(t, e.last, e.run, e.level);
    return b.put_code(c->code, c->length, e.level);
  }
  b.put(kTcoefEscape);
  if (f == Form::Esc1) {
    b.bit(0);
    const auto* c = find(t, e.last, e.run, mag - lim.lmax[e.last][e.run]);
    return b.put_code(c->code, c->length, e.level);
  }
  if (f == Form::Esc2) {
    b.put(2, 2);
    const auto* c = find(t, e.last, e.run - lim.rmax[e.last][mag] - 1, mag);
    return b.put_code(c->code, c->length, e.level);
  }
  b.put(3, 2);
  b.put(uint32_t(e.last), 1);
  b.put(uint32_t(e.run), 6);
  b.bit(1);
  b.put(uint32_t(e.level) & 0xfff, 12);
  b.bit(1);
}

// A random MPEG-4 event of the given form and LAST, with the run it needs.
template <size_t N>
Event random_mpeg4(const RunLevelCode (&t)[N], const RunLevelLimits& lim, std::mt19937& rng, Form f, int last) {
  const int sign = rng() & 1 ? -1 : 1;
  if (f == Form::Esc3) {
    int level = int(rng() % 2047) + 1;
    return {last, int(rng() % 64), sign * level};
  }
  const auto& c = pick(t, rng, last);
  if (f == Form::Esc1) return {last, c.run, sign * (c.level + lim.lmax[last][c.run])};
  if (f == Form::Esc2) return {last, c.run + lim.rmax[last][c.level] + 1, sign * c.level};
  return {last, c.run, sign * c.level};
}

// Table B-23 with the intra or inter meaning, or the 30-bit escape.
inline void put_rvlc(Bits& b, bool intra, const Event& e, bool escape) {
  const int mag = e.level < 0 ? -e.level : e.level;
  if (!escape)
    for (const auto& c : kMpeg4Rvlc) {
      const bool hit = intra ? (c.intraLast == e.last && c.intraRun == e.run && c.intraLevel == mag)
                             : (c.interLast == e.last && c.interRun == e.run && c.interLevel == mag);
      if (hit) return b.put_code(c.code, c.length, e.level);
    }
  b.put(kRvlcEscape);
  b.bit(1);
  b.put(uint32_t(e.last), 1);
  b.put(uint32_t(e.run), 6);
  b.bit(1);
  b.put(uint32_t(mag), 11);
  b.bit(1);
  b.put(kRvlcEscape);
  b.bit(e.level < 0);
}

inline Event random_rvlc(bool intra, std::mt19937& rng, bool escape, int last) {
  const int sign = rng() & 1 ? -1 : 1;
  if (escape) return {last, int(rng() % 64), sign * int(rng() % 2047 + 1)};
  for (;;) {
    const auto& c = kMpeg4Rvlc[rng() % 169];
    if ((intra ? c.intraLast : c.interLast) == last)
      return {last, intra ? c.intraRun : c.interRun, sign * (intra ? c.intraLevel : c.interLevel)};
  }
}

// H.261 Table 5 or the 20-bit escape; first: the 1s form for run 0, +-1.
inline void put_h261(Bits& b, const Event& e, bool escape, bool first) {
  if (first && e.run == 0 && (e.level == 1 || e.level == -1) && !escape) return b.put_code(1, 1, e.level);
  if (const auto* c = find(kH261Tcoef, 0, e.run, e.level); c && !escape) return b.put_code(c->code, c->length, e.level);
  b.put(kH261Escape);
  b.put(uint32_t(e.run), 6);
  b.put(uint32_t(e.level) & 0xff, 8);
}

// Memory whose first accessible byte follows an inaccessible page: a copy
// placed at start() + k may not be read below start().
class GuardBefore {
 public:
  explicit GuardBefore(size_t capacity = 1 << 16) {
    page_ = size_t(sysconf(_SC_PAGESIZE));
    size_ = (capacity + page_ - 1) / page_ * page_;
    void* m = mmap(nullptr, size_ + page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) std::abort();
    mem_ = static_cast<uint8_t*>(m);
    if (mprotect(mem_, page_, PROT_NONE) != 0) std::abort();
  }
  ~GuardBefore() { munmap(mem_, size_ + page_); }
  GuardBefore(const GuardBefore&) = delete;
  GuardBefore& operator=(const GuardBefore&) = delete;
  uint8_t* start() { return mem_ + page_; }

 private:
  uint8_t* mem_;
  size_t page_, size_;
};

}  // namespace m4test
