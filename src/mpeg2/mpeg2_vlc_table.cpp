// Builders of the MPEG-1/MPEG-2 VLC tables (layouts in mpeg2_vlc_table.h).
//
// A source is validated whole before the table is obtained: its stage
// description, each code's length and value, each leaf's fields, and that the
// codes are prefix-free (sorted as left-aligned bit strings, a code that is a
// prefix of another is directly followed by one it prefixes). So the fill
// never meets an occupied entry; it still checks every index it writes
// against the words it obtained.
#include <algorithm>
#include <cstring>

#include "kvncore.h"
#include "mpeg2/mpeg2_vlc_table.h"

namespace kvn {
namespace {

constexpr int kOk = KVN_STS_OK, kNoMem = KVN_STS_MEM_ALLOC, kBad = KVN_STS_VLC_CODE_ERR;

// The parsed header of a source table and its codes.
struct Source {
  const int32_t* src;
  int stages;
  int bits[kVlcMaxCodeBits];  // stage widths
  int totalBits;              // of the stages, capped at kVlcMaxCodeBits
  int width;                  // words per entry: 2 (code, value) or 3 (code, first, second)
  int64_t codes;
  const int32_t* first;  // the count of length 1
};

// Walks the codes of a validated source: f(length, code, entry words after the code).
template <class F>
void for_each_code(const Source& s, F&& f) {
  const int32_t* q = s.first;
  for (int len = 1;; ++len) {
    const int32_t n = *q++;
    if (n < 0) return;
    for (int32_t i = 0; i < n; ++i, q += s.width) f(len, uint32_t(q[0]), q + 1);
  }
}

// Reads the stages and checks every code: 1..32 bits, within the stages'
// total, a value of at most its length in bits, at most 2^L codes of length L.
int parse(const int32_t* src, int width, Source& s) {
  s.src = src;
  s.width = width;
  s.stages = src[1];
  if (s.stages < 1 || s.stages > kVlcMaxCodeBits) return kBad;
  s.totalBits = 0;
  for (int i = 0; i < s.stages; ++i) {
    s.bits[i] = src[2 + i];
    if (s.bits[i] < 1 || s.bits[i] > kVlcMaxStageBits) return kBad;
    s.totalBits = std::min(s.totalBits + s.bits[i], kVlcMaxCodeBits);
  }
  s.first = src + 2 + s.stages;
  s.codes = 0;
  const int32_t* q = s.first;
  for (int len = 1;; ++len) {
    const int32_t n = *q++;
    if (n < 0) break;
    if (len > kVlcMaxCodeBits) return kBad;  // no terminating count after 32 bits
    if (n > 0 && (len > s.totalBits || (len < 31 && n > (int32_t(1) << len)))) return kBad;
    for (int32_t i = 0; i < n; ++i, q += width)
      if (len < 32 && uint32_t(q[0]) >> len) return kBad;
    s.codes += n;
  }
  return kOk;
}

// Code keys: the code left-aligned in 32 bits, then its length.
uint64_t key(int len, uint32_t code) { return uint64_t(code << (32 - len)) << 8 | uint64_t(len); }
int key_len(uint64_t k) { return int(k & 0xff); }
uint32_t key_bits(uint64_t k) { return uint32_t(k >> 8); }

bool is_prefix(uint64_t a, uint64_t b) {  // a's code a prefix of (or equal to) b's
  const int la = key_len(a);
  return la <= key_len(b) && (key_bits(a) ^ key_bits(b)) >> (32 - la) == 0;
}

// Sorted keys of the codes in a temporary array (null when there are none);
// KVN_STS_VLC_CODE_ERR when they are not prefix-free.
int sorted_keys(const Source& s, uint64_t** keys) {
  *keys = nullptr;
  if (s.codes == 0) return kOk;
  if (s.codes > INT32_MAX / 8) return kNoMem;
  auto* k = static_cast<uint64_t*>(kvnMalloc(int32_t(s.codes * 8)));
  if (!k) return kNoMem;
  std::size_t n = 0;
  for_each_code(s, [&](int len, uint32_t code, const int32_t*) { k[n++] = key(len, code); });
  std::sort(k, k + n);
  for (std::size_t i = 1; i < n; ++i)
    if (is_prefix(k[i - 1], k[i])) {
      kvnFree(k);
      return kBad;
    }
  *keys = k;
  return kOk;
}

// Words of the decoding table: the first stage, and a subtable for every
// distinct prefix of a stage boundary that longer codes share.
int64_t table_words(const Source& s, const uint64_t* keys) {
  int64_t words = 1 + (int64_t(1) << s.bits[0]);
  int c = 0;
  for (int st = 0; st + 1 < s.stages; ++st) {
    c += s.bits[st];
    if (c >= kVlcMaxCodeBits) break;
    int64_t prefixes = 0;
    bool any = false;
    uint32_t last = 0;
    for (int64_t i = 0; i < s.codes; ++i) {
      if (key_len(keys[i]) <= c) continue;
      const uint32_t p = key_bits(keys[i]) >> (32 - c);
      if (!any || p != last) ++prefixes;
      any = true, last = p;
    }
    words += prefixes * (1 + (int64_t(1) << s.bits[st + 1]));
  }
  return words;
}

// The leaf of an entry's fields with u bits given back; false when they do
// not fit or the leaf would read as the invalid entry.
bool make_leaf(const int32_t* e, bool runLevel, int u, int32_t* leaf) {
  uint32_t v;
  if (runLevel) {
    if (e[1] < INT16_MIN || e[1] > INT16_MAX) return false;
    v = uint32_t(e[1]) << 16 | (uint32_t(e[0]) & 0xff) << 8;
  } else {
    if (e[0] < -(1 << 23) || e[0] >= (1 << 23)) return false;
    v = uint32_t(e[0]) << 8;
  }
  *leaf = int32_t(v | uint32_t(u));
  return *leaf != kVlcInvalidEntry;
}

// Stores every code; false on a conflict or a leaf that does not fit.
bool fill(const Source& s, bool runLevel, int32_t* t, int64_t words) {
  int64_t next = 1 + (int64_t(1) << s.bits[0]);
  bool ok = true;
  for_each_code(s, [&](int len, uint32_t code, const int32_t* e) {
    if (!ok) return;
    int64_t at = 0;  // header of the current (sub)table
    int c = 0;
    for (int st = 0; st < s.stages; ++st) {
      const int b = s.bits[st];
      c += b;
      const uint32_t mask = (uint32_t(1) << b) - 1;
      if (c < len) {
        int32_t& slot = t[at + 1 + ((code >> (len - c)) & mask)];
        if (slot == kVlcInvalidEntry) {
          const int nb = s.bits[st + 1];  // exists: len <= the stages' total
          if (next + 1 + (int64_t(1) << nb) > words) {
            ok = false;
            return;
          }
          t[next] = nb;
          slot = int32_t(uint32_t(next) << 8 | 0x80);
          at = next;
          next += 1 + (int64_t(1) << nb);
        } else if (slot & 0x80) {
          at = uint32_t(slot) >> 8;
        } else {
          ok = false;
          return;
        }
        continue;
      }
      const int u = c - len;
      int32_t leaf;
      if (!make_leaf(e, runLevel, u, &leaf)) {
        ok = false;
        return;
      }
      const uint32_t start = ((code << u) & mask);
      for (uint32_t j = 0; j < (uint32_t(1) << u); ++j) {
        int32_t& slot = t[at + 1 + start + j];
        if (slot != kVlcInvalidEntry) {
          ok = false;
          return;
        }
        slot = leaf;
      }
      return;
    }
    ok = false;  // longer than the stages: refused by parse
  });
  return ok;
}

}  // namespace

int build_huffman_table(const int32_t* src, bool runLevel, int32_t** table) {
  Source s;
  int st = parse(src, runLevel ? 3 : 2, s);
  if (st != kOk) return st;
  uint64_t* keys;
  st = sorted_keys(s, &keys);
  if (st != kOk) return st;
  const int64_t words = keys ? table_words(s, keys) : 1 + (int64_t(1) << s.bits[0]);
  kvnFree(keys);
  if (words > kVlcMaxTableWords) return kNoMem;
  auto* t = static_cast<int32_t*>(kvnMalloc(int32_t(words * 4)));
  if (!t) return kNoMem;
  std::fill(t, t + words, kVlcInvalidEntry);
  t[0] = s.bits[0];
  if (!fill(s, runLevel, t, words)) {
    kvnFree(t);
    return kBad;
  }
  *table = t;
  return kOk;
}

int build_rl_encode_table(const int32_t* src, int32_t** table) {
  Source s;
  int st = parse(src, 3, s);
  if (st != kOk) return st;
  uint64_t* keys;
  st = sorted_keys(s, &keys);
  if (st != kOk) return st;
  kvnFree(keys);

  // Per run: the entries; the largest run; the escape and end-of-block codes.
  int32_t count[kRunEndOfBlock] = {};
  int maxRun = 0;
  uint32_t escape = 0, eob = 0;
  bool haveEscape = false, haveEob = false, ok = true;
  for_each_code(s, [&](int len, uint32_t code, const int32_t* e) {
    const int run = e[0] & 0xff;
    if (run == kRunEscape || run == kRunEndOfBlock) {
      const uint32_t field = code << 4 | uint32_t(len);
      if (len > 15 || field >= 1024) ok = false;
      bool& have = run == kRunEscape ? haveEscape : haveEob;
      if (!have) (run == kRunEscape ? escape : eob) = field;
      have = true;
      return;
    }
    if (code >= 0x10000) ok = false;
    ++count[run];
    maxRun = std::max(maxRun, run);
  });
  if (!ok) return kBad;
  for (int r = 0; r <= maxRun; ++r)
    if (count[r] & 1) return kBad;

  // (entries + 2R) words and three more; every triple of the source counted.
  const int64_t words = s.codes + 2 * int64_t(maxRun) + 3;
  if (words > kVlcMaxTableWords) return kNoMem;
  auto* t = static_cast<int32_t*>(kvnMalloc(int32_t(words * 4)));
  if (!t) return kNoMem;
  std::memset(t, 0, std::size_t(words) * 4);
  t[0] = int32_t(uint32_t(maxRun) << 20 | eob << 10 | escape);
  int64_t base = maxRun + 2 + count[0] / 2;
  for (int r = 0; r <= maxRun; ++r) {
    if (r > 0) base += count[r - 1] / 2 + count[r] / 2 + 1;
    t[1 + r] = int32_t(base * 4);
    t[base] = count[r] / 2;
  }
  for_each_code(s, [&](int len, uint32_t code, const int32_t* e) {
    const int run = e[0] & 0xff;
    if (!ok || run == kRunEscape || run == kRunEndOfBlock) return;
    const int32_t m = count[run] / 2, level = e[1];
    if (level == 0 || level < -m || level > m) {
      ok = false;
      return;
    }
    int32_t& slot = t[t[1 + run] / 4 + level];
    if (slot != 0) ok = false;  // a level listed twice
    slot = int32_t(code << 16 | uint32_t(len));
  });
  if (!ok) {
    kvnFree(t);
    return kBad;
  }
  *table = t;
  return kOk;
}

}  // namespace kvn
