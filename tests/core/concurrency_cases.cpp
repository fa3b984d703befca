#include "concurrency_cases.h"

#include <cstring>
#include <string>

#include "cavlc_writer.h"
#include "h264_vlc_tables.h"
#include "mpeg2_vlc_tables.h"

namespace conc {
namespace {

// Arguments drawn within one call are drawn in an order of the compiler's
// choosing; every run of an item executes the same code, so the draws match.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {  // splitmix64
    uint64_t z = (s_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  int range(int lo, int hi) { return lo + int(next() % uint64_t(int64_t(hi) - lo + 1)); }
  template <class T, size_t N>
  T pick(const T (&v)[N]) {
    return v[next() % N];
  }
  template <class T>
  std::vector<T> fill(size_t n, int lo, int hi) {
    std::vector<T> v(n);
    for (T& x : v) x = T(range(lo, hi));
    return v;
  }
  // Mostly zeros, the rest within +-mag.
  template <class T>
  std::vector<T> sparse(size_t n, int mag) {
    std::vector<T> v(n);
    for (T& x : v) x = range(0, 2) ? T(0) : T(range(-mag, mag));
    return v;
  }

 private:
  uint64_t s_;
};

// Statuses (<< a KvnResult) and outputs, appended as bytes.
class Out {
 public:
  Out& operator<<(KvnResult r) {
    if (r < 0 && calls_ < 32) o_.failed |= 1u << calls_;  // the first 32 calls (all are in the bytes)
    ++calls_;
    return raw(&r, sizeof r);
  }
  template <class T>
  Out& operator<<(const std::vector<T>& v) {
    return raw(v.data(), v.size() * sizeof(T));
  }
  template <class T>
  Out& val(T v) {
    return raw(&v, sizeof v);
  }
  Outcome take() { return std::move(o_); }

 private:
  Out& raw(const void* p, size_t n) {
    const auto* c = static_cast<const uint8_t*>(p);
    o_.bytes.insert(o_.bytes.end(), c, c + n);
    return *this;
  }
  Outcome o_;
  int calls_ = 0;
};

constexpr int kModes[] = {0, 4, 8, 12};
constexpr int kSizes[] = {4, 8, 16};
constexpr int kWeightSizes[] = {2, 4, 8, 16};
constexpr Kvn16s kZigzag16[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
constexpr Kvn32s kZigzag32[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};

// Neighbour flags: availability bits (set: available) mostly set, edge bits
// (set: unavailable) mostly clear, so that most predictions can be made.
int available(Rng& r, std::initializer_list<int> bits) {
  int f = 0;
  for (int b : bits) f |= r.range(0, 3) ? b : 0;
  return f;
}
Kvn8u edges(Rng& r, std::initializer_list<int> bits) {
  int f = 0;
  for (int b : bits) f |= r.range(0, 3) ? 0 : b;
  return Kvn8u(f);
}

Outcome block_mc(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 48;
  auto ref = r.fill<Kvn8u>(kStep * 40, 0, 255), ref2 = r.fill<Kvn8u>(kStep * 40, 0, 255);
  const Kvn8u *p = ref.data() + 4 * kStep + 4, *q = ref2.data() + 5 * kStep + 3;
  std::vector<Kvn8u> dst(16 * 16), avg = r.fill<Kvn8u>(8 * 8, 0, 255), mc(16 * 16), uv(16 * 8);
  auto res = r.fill<Kvn16s>(16 * 16, -300, 300), resU = r.fill<Kvn16s>(64, -300, 300),
       resV = r.fill<Kvn16s>(64, -300, 300);
  o << a.kvniCopy16x16HP_8u_C1R(p, kStep, dst.data(), 16, r.range(0, 3), r.range(0, 1));
  o << a.kvniInterpolateAverage8x8_8u_C1IR(q, kStep, avg.data(), 8, r.range(0, 3), r.range(0, 1));
  o << a.kvniMC16x16B_8u_C1(p, kStep, r.pick(kModes), q, kStep, r.pick(kModes), res.data(), 32, mc.data(), 16,
                            r.range(0, 1));
  o << a.kvniMC8x8_16s8u_P2C2R(q, kStep, resU.data(), resV.data(), 16, uv.data(), 16, r.pick(kModes), r.range(0, 1));
  return (o << dst << avg << mc << uv).take();
}

Outcome sad(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 48;
  auto src = r.fill<Kvn8u>(16 * 16, 0, 255), ref = r.fill<Kvn8u>(kStep * 20, 0, 255);
  auto src16 = r.fill<Kvn16u>(4 * 8, 0, 16383), ref16 = r.fill<Kvn16u>(5 * 16, 0, 16383);
  Kvn32s s1 = -1, s2 = -1;
  Kvn32u index = 99;
  std::vector<Kvn16u> many(16), blocks(16);
  o << a.kvniSAD16x16_8u32s(src.data(), 16, ref.data() + 1, kStep, &s1, r.pick(kModes));
  o << a.kvniSAD16x16xNI_8u16u_C1R(src.data(), 16, ref.data(), kStep, many.data(), 16, &index);
  o << a.kvniSAD16x16Blocks4x4_8u16u(src.data(), 16, ref.data() + 2, kStep, blocks.data());
  o << a.kvniSAD4x4_16u32s_C1R(src16.data(), 16, ref16.data(), 32, &s2, r.pick(kModes));
  return (o.val(s1).val(s2).val(index) << many << blocks).take();
}

Outcome satd(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  auto src = r.fill<Kvn8u>(16 * 24, 0, 255), ref = r.fill<Kvn8u>(16 * 24, 0, 255);
  auto src16 = r.fill<Kvn16u>(8 * 8, 0, 65535), ref16 = r.fill<Kvn16u>(8 * 8, 0, 65535);
  Kvn32u s1 = 0, s2 = 0;
  o << a.kvniSATD16x16_8u32s_C1R(src.data(), 24, ref.data(), 24, &s1);
  o << a.kvniSAT8x8D_16u32s_C1R(src16.data(), 16, ref16.data(), 16, &s2);
  return o.val(s1).val(s2).take();
}

Outcome ssd(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32;
  auto src = r.fill<Kvn8u>(16 * 16, 0, 255), ref = r.fill<Kvn8u>(kStep * 18, 0, 255),
       ref2 = r.fill<Kvn8u>(kStep * 18, 0, 255);
  Kvn32u s1 = 0, s2 = 0;
  o << a.kvniSSD8x8_8u32s_C1R(src.data(), 16, ref.data(), kStep, &s1, r.pick(kModes));
  o << a.kvniSqrDiff16x16B_8u32s(src.data(), 16, ref.data(), kStep, r.pick(kModes), ref2.data(), kStep, r.pick(kModes),
                                 &s2);
  return o.val(s1).val(s2).take();
}

Outcome variance(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32;
  auto src = r.fill<Kvn8u>(16 * 16, 0, 255), ref = r.fill<Kvn8u>(kStep * 18, 0, 255);
  auto src16 = r.fill<Kvn16s>(8 * 8, -2000, 2000);
  auto sums = r.fill<Kvn32s>(4, 0, 64 * 255);
  std::vector<Kvn32s> var(4), mean(4);
  Kvn32s v1 = 0, v2 = 0, sum = 0, mad = 0;
  Kvn8u edge = 9;
  o << a.kvniVariance16x16_8u32s(src.data(), 16, &v1);
  o << a.kvniVarMeanDiff16x16_8u32s_C1R(src.data(), 16, ref.data(), kStep, sums.data(), var.data(), mean.data(),
                                        r.pick(kModes));
  o << a.kvniVarMean8x8_16s32s_C1R(src16.data(), 16, &v2, &sum);
  o << a.kvniMeanAbsDev16x16_8u32s_C1R(src.data(), 16, &mad);
  o << a.kvniEdgesDetect16x16_8u_C1R(src.data(), 16, r.range(0, 128), r.range(0, 200), &edge);
  return (o.val(v1).val(v2).val(sum).val(mad).val(edge) << var << mean).take();
}

Outcome differences(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32;
  auto src = r.fill<Kvn8u>(16 * 16, 0, 255), ref = r.fill<Kvn8u>(kStep * 18, 0, 255),
       ref2 = r.fill<Kvn8u>(kStep * 18, 0, 255);
  auto a16 = r.fill<Kvn16u>(8 * 8, 0, 65535), b16 = r.fill<Kvn16u>(8 * 8, 0, 65535);
  std::vector<Kvn16s> d1(256), d2(64), pred(64), sums(16), d3(256), d4(64);
  o << a.kvniGetDiff16x16B_8u16s_C1(src.data(), 16, ref.data(), kStep, r.pick(kModes), ref2.data(), kStep,
                                    r.pick(kModes), d1.data(), 32, r.range(0, 1));
  o << a.kvniGetDiff8x8_8u16s_C1(src.data(), 16, ref.data(), kStep, d2.data(), 16, pred.data(), 16, r.pick(kModes),
                                 r.range(0, 1));
  o << a.kvniSumsDiff16x16Blocks4x4_8u16s_C1(src.data(), 16, ref.data(), kStep, sums.data(), d3.data());
  o << a.kvniSub8x8_16u16s_C1R(a16.data(), 16, b16.data(), 16, d4.data(), 16);
  return (o << d1 << d2 << pred << sums << d3 << d4).take();
}

Outcome h264_4x4_dc(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int qp = r.range(0, 51);
  auto res = r.fill<Kvn16s>(16, -255, 255);
  auto pred = r.fill<Kvn8u>(16, 0, 255), pred2 = r.fill<Kvn8u>(16, 0, 255);
  auto coef = r.sparse<Kvn16s>(16, 40), coef2 = r.sparse<Kvn16s>(16, 40), dc = r.fill<Kvn16s>(16, -4000, 4000);
  auto dc32 = r.sparse<Kvn32s>(16, 3000), src32 = r.fill<Kvn32s>(16, -70000, 70000);
  auto dc8 = r.sparse<Kvn16s>(8, 300);
  std::vector<Kvn16s> levels(16), tdc(16);
  std::vector<Kvn32s> q32(16);
  std::vector<Kvn8u> dst(16), dst2(16);
  const Kvn16s dcValue = Kvn16s(r.range(-500, 500));
  int32_t n1 = 0, last1 = 0, n2 = 0, last2 = 0, n3 = 0, last3 = 0;
  o << a.kvniTransformQuantFwd4x4_H264_16s_C1(res.data(), levels.data(), qp, &n1, r.range(0, 1), kZigzag16, &last1,
                                              nullptr);
  o << a.kvniTransformQuantInvAddPred4x4_H264_16s_C1IR(pred.data(), 4, coef.data(), r.range(0, 1) ? &dcValue : nullptr,
                                                       dst.data(), 4, qp, r.range(0, 1), nullptr);
  o << a.kvniTransformQuantFwdLumaDC4x4_H264_16s_C1I(dc.data(), tdc.data(), qp, &n2, 1, kZigzag16, &last2, nullptr);
  o << a.kvniTransformQuantInvLumaDC4x4_H264_32s_C1I(dc32.data(), r.range(0, 87), nullptr);
  o << a.kvniTransformQuantInvChromaDC2x4_H264_16s_C1I(dc8.data(), r.range(0, 39), nullptr);
  o << a.kvniQuantizeResidual4x4Fwd_H264_32s_C1(src32.data(), q32.data(), &n3, &last3, nullptr, kZigzag16,
                                                r.range(0, 87), r.range(0, 1));
  o << a.kvniDequantTransformResidualAndAdd_H264_16s_C1I(pred2.data(), coef2.data(), &dcValue, dst2.data(), 4, 4, qp,
                                                         1);
  o.val(n1).val(last1).val(n2).val(last2).val(n3).val(last3);
  return (o << levels << coef << dst << dc << tdc << dc32 << dc8 << q32 << coef2 << dst2).take();
}

Outcome h264_8x8(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int m = r.range(0, 5), q6 = r.range(0, 8), bitDepth = r.range(8, 14);
  auto res = r.fill<Kvn16s>(64, -255, 255);
  auto weights = r.fill<Kvn8u>(64, 4, 64);
  auto coef32 = r.sparse<Kvn32s>(64, 60);
  auto coef16 = r.sparse<Kvn16s>(64, 200);
  auto pred16 = r.fill<Kvn16u>(64, 0, (1 << bitDepth) - 1);
  auto pred8 = r.fill<Kvn8u>(64, 0, 255);
  std::vector<Kvn16s> inv(64), fwd(64), scan(64);
  for (int i = 0; i < 64; ++i) scan[size_t(i)] = Kvn16s(i);
  std::vector<Kvn32s> t(64), levels(64);
  std::vector<Kvn16u> dst16(64);
  std::vector<Kvn8u> dst8(64);
  int32_t n = 0, last = 0;
  o << a.kvniTransformFwdLuma8x8_H264_16s32s_C1(res.data(), t.data());
  o << a.kvniGenScaleLevel8x8_H264_8u16s_D2(weights.data(), 8, inv.data(), fwd.data(), m);
  o << a.kvniQuantLuma8x8_H264_32s_C1(t.data(), levels.data(), q6, r.range(0, 1), scan.data(), fwd.data(), &n, &last);
  o << a.kvniQuantInvLuma8x8_H264_32s_C1I(coef32.data(), q6, inv.data());
  o << a.kvniTransformInvAddPredLuma8x8_H264_32s16u_C1R(pred16.data(), 16, coef32.data(), dst16.data(), 16, bitDepth);
  o << a.kvniTransformLuma8x8InvAddPred_H264_16s8u_C1R(pred8.data(), 8, coef16.data(), dst8.data(), 8);
  return (o.val(n).val(last) << t << inv << fwd << levels << coef32 << dst16 << dst8).take();
}

Outcome intra(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32;
  auto b4 = r.fill<Kvn8u>(kStep * 6, 0, 255), b16 = r.fill<Kvn8u>(kStep * 18, 0, 255),
       b8 = r.fill<Kvn8u>(kStep * 10, 0, 255);
  o << a.kvniPredictIntra_4x4_H264_8u_C1IR(b4.data() + kStep + 4, kStep, r.range(0, 8), available(r, {1, 2, 32, 64}));
  o << a.kvniPredictIntra_16x16_H264_8u_C1IR(b16.data() + kStep + 4, kStep, r.range(0, 3), available(r, {1, 2, 32}));
  o << a.kvniPredictIntraChroma8x8_H264_8u_C1IR(b8.data() + kStep + 4, kStep, r.range(0, 3), available(r, {1, 2, 32}));
  return (o << b4 << b16 << b8).take();
}

// Both stream pointers' advance, and the streams (DC blocks are transformed in place).
template <class T>
Out& stream_state(Out& o, const std::vector<T>& s, const T* at) {
  return o.val(int64_t(at - s.data())) << s;
}

Outcome recon_8bit(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 64;
  auto y = r.fill<Kvn8u>(kStep * 40, 0, 255), u = r.fill<Kvn8u>(kStep * 20, 0, 255),
       v = r.fill<Kvn8u>(kStep * 20, 0, 255);
  auto c1 = r.sparse<Kvn16s>(17 * 16, 20), c2 = r.sparse<Kvn16s>(16 * 16, 20), c3 = r.sparse<Kvn16s>(4 * 64, 20),
       c4 = r.sparse<Kvn16s>(10 * 16, 20);
  auto table = r.fill<Kvn16s>(64, 160, 400);
  Kvn32s modes[16];
  for (Kvn32s& m : modes) m = r.range(0, 8);
  Kvn16s *p1 = c1.data(), *p2 = c2.data(), *p3 = c3.data(), *p4 = c4.data();
  const int qp = r.range(0, 51);
  const Kvn32u mask = Kvn32u(r.next());
  Kvn8u* mb = y.data() + kStep + 8;
  o << a.kvniReconstructLumaIntra16x16MB_H264_16s8u_C1R(&p1, mb, kStep, r.range(0, 3), mask & 0x1ffff, qp,
                                                        edges(r, {1, 4, 16, 32}));
  o << a.kvniReconstructLumaIntra4x4MB_H264_16s8u_C1R(&p2, mb + 24, kStep, modes, mask & 0x1fffe, qp,
                                                      edges(r, {1, 4, 16, 32}), table.data(),
                                                      Kvn8u(qp == 0 && r.range(0, 1)));
  o << a.kvniReconstructLumaInter8x8MB_H264_16s8u_C1R(&p3, mb + 18 * kStep, kStep, mask & 0xf, qp, table.data(), 0);
  o << a.kvniReconstructChromaIntraMB_H264_16s8u_P2R(&p4, u.data() + kStep + 8, v.data() + kStep + 8, kStep,
                                                     r.range(0, 3), mask & 0x7fe0000, r.range(0, 39),
                                                     edges(r, {1, 4, 16}));
  stream_state(o, c1, p1);
  stream_state(o, c2, p2);
  stream_state(o, c3, p3);
  stream_state(o, c4, p4);
  return (o << y << u << v).take();
}

Outcome recon_hbd(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int bd = r.range(8, 14), maxv = (1 << bd) - 1;
  constexpr int kStep = 40;
  auto y1 = r.fill<Kvn16u>(kStep * 18, 0, maxv), y2 = r.fill<Kvn16u>(kStep * 18, 0, maxv),
       cb = r.fill<Kvn16u>(kStep * 10, 0, maxv), cr = r.fill<Kvn16u>(kStep * 10, 0, maxv);
  auto cb8 = r.fill<Kvn8u>(kStep * 18, 0, 255), cr8 = r.fill<Kvn8u>(kStep * 18, 0, 255);
  auto s1 = r.sparse<Kvn32s>(256, 30), s2 = r.sparse<Kvn32s>(256, 30), s3 = r.sparse<Kvn32s>(136, 30);
  auto s4 = r.sparse<Kvn16s>(272, 30);
  auto table = r.fill<Kvn16s>(64, 160, 400);
  Kvn32s modes[16];
  for (Kvn32s& m : modes) m = r.range(0, 8);
  Kvn32s *p1 = s1.data(), *p2 = s2.data(), *p3 = s3.data();
  Kvn16s* p4 = s4.data();
  const Kvn32u mask = Kvn32u(r.next());
  const int lumaQp = r.range(0, 6 * bd + 3), chromaQp = r.range(0, 6 * bd - 9);
  const KvnReconstructRecord32s16u l1{&p1, y1.data() + kStep + 1, kStep, mask & 0x1fffe, lumaQp, table.data(), 0, bd};
  const KvnReconstructRecord32s16u l2{&p2, y2.data() + kStep + 1, kStep, mask & 0xf, lumaQp, table.data(), 0, bd};
  const KvnReconstructRecord32s16u c0{&p3,      cb.data() + kStep + 1, kStep, mask >> 8 & 0x1f,
                                      chromaQp, table.data(),          0,     bd};
  const KvnReconstructRecord32s16u c1{&p3,      cr.data() + kStep + 1, kStep, mask >> 16 & 0x1f,
                                      chromaQp, table.data(),          0,     bd};
  const KvnReconstructRecord16s8u d0{
      &p4, cb8.data() + kStep + 1, kStep, mask >> 20 & 0x1ff, r.range(0, 39), table.data(), 0};
  const KvnReconstructRecord16s8u d1{
      &p4, cr8.data() + kStep + 1, kStep, mask >> 23 & 0x1ff, r.range(0, 39), table.data(), 0};
  const KvnReconstructRecord32s16u* const chroma[2] = {&c0, &c1};
  const KvnReconstructRecord16s8u* const chroma8[2] = {&d0, &d1};
  o << a.kvniReconstructLumaIntra4x4_H264High_32s16u_IP1R(&l1, modes, edges(r, {1, 4, 16, 32}));
  o << a.kvniReconstructLumaInter8x8_H264High_32s16u_IP1R(&l2);
  o << a.kvniReconstructChromaIntra4x4_H264High_32s16u_IP2R(chroma, r.range(0, 3), edges(r, {1, 4, 16}));
  o << a.kvniReconstructChroma422Intra4x4_H264High_16s8u_IP2R(chroma8, r.range(0, 3), edges(r, {1, 4, 16}),
                                                              r.range(160, 400), r.range(160, 400));
  stream_state(o, s1, p1);
  stream_state(o, s2, p2);
  stream_state(o, s3, p3);
  stream_state(o, s4, p4);
  return (o << y1 << y2 << cb << cr << cb8 << cr8).take();
}

template <class T>
std::vector<T> raster_block(Rng& r, int n) {
  std::vector<T> v(size_t(n), 0);
  const int count = r.range(0, n);
  for (int i = 0; i < count; ++i) {
    const int c = r.range(0, 9);
    const int mag = c < 6 ? 1 : c < 9 ? r.range(2, 20) : r.range(21, 2000);
    v[size_t(r.range(0, n - 1))] = T(r.range(0, 1) ? mag : -mag);
  }
  return v;
}

struct Analysis {
  Kvn8u t1 = 0, signs = 0, total = 0, zeros = 0, runs[16] = {};
  Kvn32s levels[16] = {};
  Out& put(Out& o) const {
    o.val(t1).val(signs).val(total).val(zeros);
    return o << std::vector<Kvn8u>(runs, runs + 16) << std::vector<Kvn32s>(levels, levels + 16);
  }
  kvnvlc::CavlcBlock block() const {
    kvnvlc::CavlcBlock b;
    b.trailingOnes = t1, b.signs = signs, b.totalCoeff = total, b.totalZeros = zeros;
    for (int i = 0; i < 16; ++i) b.levels[i] = levels[i], b.runs[i] = runs[i];
    return b;
  }
};

Outcome cavlc_analysis(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  auto b16 = raster_block<Kvn16s>(r, 16);
  auto b32 = raster_block<Kvn32s>(r, 16);
  auto dc4 = raster_block<Kvn32s>(r, 4);
  auto dc8 = raster_block<Kvn16s>(r, 8);
  const int start = r.range(0, 15), end = r.range(start, 15);
  Analysis x, y, z, w;
  Kvn16s l16[16] = {}, l8[16] = {};
  o << a.kvniEncodeCoeffsCAVLC_H264_16s(b16.data(), 0, kZigzag32, 15, &x.t1, &x.signs, &x.total, &x.zeros, l16, x.runs);
  o << a.kvniEncodeCoeffsCAVLC_H264_32s(b32.data(), start, kZigzag32, end, &y.t1, &y.signs, &y.total, &y.zeros,
                                        y.levels, y.runs);
  o << a.kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(dc4.data(), &z.t1, &z.signs, &z.total, &z.zeros, z.levels, z.runs);
  o << a.kvniEncodeCoeffsCAVLCChromaDC2x4_H264_16s(dc8.data(), &w.t1, &w.signs, &w.total, &w.zeros, l8, w.runs);
  for (int i = 0; i < 16; ++i) x.levels[i] = l16[i], w.levels[i] = l8[i];
  for (const Analysis* each : {&x, &y, &z, &w}) each->put(o);
  return o.take();
}

// A slice of random bins and residual blocks of every category, each state
// and buffer the thread's own.
Outcome cabac(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  std::vector<Kvn8u> buf(4096);
  alignas(8) Kvn8u state[504];
  o << a.kvniCABACInit_H264(state, buf.data(), Kvn32u(r.range(0, 40)), Kvn32u(buf.size()), r.range(0, 51),
                            r.range(-1, 2));
  for (int k = 0; k < 40; ++k) {
    o << a.kvniCABACEncodeBin_H264(Kvn32u(r.range(0, 275)), Kvn32u(r.range(0, 1)), state);
    o << a.kvniCABACEncodeBinBypass_H264(Kvn32u(r.range(0, 1)), state);
    const int cat = r.range(0, 5), n = cat == 5 ? 64 : 16;
    const Kvn32u frame = Kvn32u(r.range(0, 1));
    auto c16 = r.sparse<Kvn16s>(size_t(n), 40);
    auto c32 = r.sparse<Kvn32s>(size_t(n), 3000);
    const int last = cat == 5 ? 63 : cat == 3 ? 3 : cat == 1 || cat == 4 ? 14 : 15;
    o << a.kvniCABACEncodeResidualBlock_H264_16s(c16.data(), last, Kvn32u(cat), 0, frame, state);
    o << a.kvniCABACEncodeResidualBlock_H264_32s(c32.data(), last, Kvn32u(cat), 0, frame, state);
  }
  std::vector<Kvn8u> ctx(460);
  o << a.kvniCABACGetContexts_H264(state, 0, ctx.data(), 460);
  o << a.kvniCABACEncodeBin_H264(276, 1, state);
  Kvn32u bytes = 0;
  o << a.kvniCABACTerminateSlice_H264(&bytes, state);
  buf.resize(bytes);
  return (o << ctx << buf).take();
}

const kvnvlc::CavlcTables& tables() {
  static const kvnvlc::CavlcTables t;
  return t;
}

// Blocks analysed by the library and coded by the test writer, with ue(v)
// values between them, decoded back.
Outcome cavlc_decode(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const kvnvlc::CavlcTables& t = tables();
  constexpr int kBlocks = 4;
  kvnvlc::BitWriter w;
  const int lead = r.range(0, 31);  // the blocks start at bit `lead` of the stream
  w.put(uint32_t(r.next()), lead);
  int nC[kBlocks];
  for (int& n : nC) {
    auto b = raster_block<Kvn16s>(r, 16);
    Analysis x;
    Kvn16s l[16] = {};
    o << a.kvniEncodeCoeffsCAVLC_H264_16s(b.data(), 0, kZigzag32, 15, &x.t1, &x.signs, &x.total, &x.zeros, l, x.runs);
    for (int i = 0; i < 16; ++i) x.levels[i] = l[i];
    n = r.range(0, 16);
    o.val(kvnvlc::write_cavlc_block(w, x.block(), {n, 16, 16}));
    w.put_ue(uint32_t(r.range(0, 5000)));
  }
  auto dc = raster_block<Kvn32s>(r, 4);
  Analysis x;
  o << a.kvniEncodeCoeffsCAVLCChromaDC2x2_H264_32s(dc.data(), &x.t1, &x.signs, &x.total, &x.zeros, x.levels, x.runs);
  o.val(kvnvlc::write_cavlc_block(w, x.block(), {-1, 4, 16}));

  std::vector<Kvn32u> words = w.words(2);
  Kvn32u* at = words.data();
  Kvn32u bit = Kvn32u(31 - lead);
  std::vector<Kvn16s> coef(16 * kBlocks, 0x5a5a);
  std::vector<Kvn32s> dcOut(4, 0x5a5a);
  Kvn16s* out = coef.data();
  Kvn32s* dcAt = dcOut.data();
  for (int b = 0; b < kBlocks; ++b) {
    Kvn16s num = -1;
    Kvn32s ue = -1;
    o << a.kvniDecodeCAVLCCoeffs_H264_1u16s(&at, &bit, &num, &out, nC[b], 16, t.coeff_token(), t.total_zeros(),
                                            t.run_before(), kZigzag32);
    o << a.kvniDecodeExpGolombOne_H264_1u32s(&at, &bit, &ue, 0);
    o.val(num).val(ue).val(int64_t(at - words.data())).val(bit);
  }
  Kvn16s num = -1;
  o << a.kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&at, &bit, &num, &dcAt, t.coeff_token_dc2x2(), t.total_zeros_dc2x2(),
                                                  t.run_before());
  o.val(num).val(int64_t(at - words.data())).val(bit);
  return (o << coef << dcOut).take();
}

Outcome interp_luma(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32, kFrameW = 24, kFrameH = 20;
  auto src = r.fill<Kvn8u>(kStep * 32, 0, 255), frame = r.fill<Kvn8u>(kFrameW * kFrameH, 0, 255);
  auto src16 = r.fill<Kvn16u>(kStep * 32, 0, 1023);
  std::vector<Kvn8u> d1(16 * 16), d2(16 * 16);
  std::vector<Kvn16u> d3(16 * 16);
  const KvnSize size{r.pick(kSizes), r.pick(kSizes)};
  o << a.kvniInterpolateLuma_H264_8u_C1R(src.data() + 8 * kStep + 8, kStep, d1.data(), 16, r.range(0, 3), r.range(0, 3),
                                         size);
  KvnInterpolationBlockRecord8u block{};
  block.pSrc[0] = frame.data(), block.srcStep = kFrameW, block.pDst[0] = d2.data(), block.dstStep = 16;
  block.sizeFrame = {kFrameW, kFrameH}, block.sizeBlock = size;
  block.pointBlockPos[0] = r.range(-4, kFrameW), block.pointBlockPos[1] = r.range(-4, kFrameH);
  block.pointVectorQuarterPix[0] = r.range(-60, 60), block.pointVectorQuarterPix[1] = r.range(-60, 60);
  o << a.kvniInterpolateLumaBlock_H264_8u_P1R(&block);
  const KvnSize size16 = r.range(0, 1) ? KvnSize{8, 8} : KvnSize{16, 8};
  const KvnInterpolationRecord16u rec{
      src16.data() + 8 * kStep + 8, kStep, d3.data(), 16, r.range(0, 3), r.range(0, 3), size16, 10};
  o << a.kvniInterpolateLuma_H264_16u_C1R(&rec);
  // A 16x8 plane in the middle of the source, its border grown by 8.
  o << a.kvniExpandPlane_H264_8u_C1R(src.data() + 8 * kStep + 8, 16, 8, kStep, 8, r.range(0, 2));
  return (o << d1 << d2 << d3 << src).take();
}

Outcome interp_chroma(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 32, kFrameW = 12, kFrameH = 10;
  constexpr int kWidths[] = {2, 4, 8}, kHeights[] = {2, 4, 8};
  auto src = r.fill<Kvn8u>(kStep * 24, 0, 255), cb = r.fill<Kvn8u>(kFrameW * kFrameH, 0, 255),
       cr = r.fill<Kvn8u>(kFrameW * kFrameH, 0, 255);
  auto src16 = r.fill<Kvn16u>(kStep * 24, 0, 65535);
  std::vector<Kvn8u> d1(8 * 8), du(8 * 8), dv(8 * 8), b0(8 * 8), b1(8 * 8);
  std::vector<Kvn16u> d16(8 * 16);
  const KvnSize size{r.pick(kWidths), r.pick(kHeights)};
  const Kvn8u* at = src.data() + 4 * kStep + 4;
  o << a.kvniInterpolateChroma_H264_8u_C1R(at, kStep, d1.data(), 8, r.range(0, 7), r.range(0, 7), size);
  o << a.kvniInterpolateChroma_H264_8u_C2P2R(at, kStep, du.data(), dv.data(), 8, r.range(0, 7), r.range(0, 7), size);
  KvnInterpolationBlockRecord8u block{};
  block.pSrc[0] = cb.data(), block.pSrc[1] = cr.data(), block.srcStep = kFrameW;
  block.pDst[0] = b0.data(), block.pDst[1] = b1.data(), block.dstStep = 8;
  block.sizeFrame = {kFrameW, kFrameH}, block.sizeBlock = size;
  block.pointBlockPos[0] = r.range(-4, kFrameW), block.pointBlockPos[1] = r.range(-4, kFrameH);
  block.pointVectorQuarterPix[0] = r.range(-60, 60), block.pointVectorQuarterPix[1] = r.range(-60, 60);
  o << a.kvniInterpolateChromaBlock_H264_8u_P2R(&block);
  const KvnInterpolationRecord16u rec{src16.data() + 4 * kStep + 4, kStep, d16.data(), 8, r.range(0, 7), r.range(0, 7),
                                      {r.pick(kWidths), 16},        16};
  o << a.kvniInterpolateChroma_H264_16u_C1R(&rec);
  return (o << d1 << du << dv << b0 << b1 << d16).take();
}

Outcome weighting(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const KvnSize size{r.pick(kWeightSizes), r.pick(kWeightSizes)};
  const int bd = r.range(8, 14);
  auto s1 = r.fill<Kvn8u>(32 * 16, 0, 255), s2 = r.fill<Kvn8u>(24 * 16, 0, 255), uni = r.fill<Kvn8u>(16 * 16, 0, 255),
       uv = r.fill<Kvn8u>(32 * 16, 0, 255);
  auto h1 = r.fill<Kvn16u>(16 * 16, 0, (1 << bd) - 1), h2 = r.fill<Kvn16u>(16 * 16, 0, (1 << bd) - 1);
  std::vector<Kvn8u> d1(16 * 16), d2(16 * 16);
  std::vector<Kvn16u> d16(16 * 16);
  const Kvn32u log2 = Kvn32u(r.range(0, 7));
  o << a.kvniBiDirWeightBlock_H264_8u_P3P1R(s1.data(), s2.data(), d1.data(), 32, 24, 16, log2, r.range(-128, 127),
                                            r.range(-128, 127), r.range(-128, 127), r.range(-128, 127), size);
  o << a.kvniUniDirWeightBlock_H264_8u_C1R(uni.data(), 16, log2, r.range(-128, 127), r.range(-128, 127), size);
  const KvnWeightBlockRecord8u block{uv.data(), 32, uv.data(), 32, uv.data(), 32, size};  // width in pairs
  const KvnWeightParams8u params{log2, Kvn8s(r.range(-128, 127)), Kvn8s(r.range(-128, 127)), Kvn8s(r.range(-128, 127)),
                                 Kvn8s(r.range(-128, 127))};
  o << a.kvniUniDirWeightBlock_H264_8u_C2R(&block, &params);
  const KvnBidirRecord16u bidir{h1.data(), 16, h2.data(), 16, d16.data(), 16, size, bd};
  o << a.kvniBidirWeight_H264_16u_P2P1R(&bidir, log2, r.range(-128, 127), r.range(-512, 511), r.range(-128, 127),
                                        r.range(-512, 511));
  const int w1 = r.range(-64, 128);
  o << a.kvniBiDirWeightBlockImplicit_H264_8u_P2P1R(s1.data(), s1.data() + 16, d2.data(), 32, 16, w1, 64 - w1, size);
  return (o << d1 << uni << uv << d16 << d2).take();
}

// Smooth pictures with small steps, so that most segments are filtered.
template <class T>
std::vector<T> smooth(Rng& r, size_t n, int base, int noise) {
  std::vector<T> v(n);
  int level = base;
  for (size_t i = 0; i < n; ++i) {
    if (i % 4 == 0 && r.range(0, 7) == 0) level = base + r.range(-noise * 3, noise * 3);
    v[i] = T(level + r.range(-noise, noise));
  }
  return v;
}

Outcome deblocking(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  constexpr int kStep = 48;
  auto y = smooth<Kvn8u>(r, kStep * 40, 128, 4), y2 = smooth<Kvn8u>(r, kStep * 40, 100, 4),
       uv = smooth<Kvn8u>(r, kStep * 24, 90, 3), m = smooth<Kvn8u>(r, kStep * 12, 60, 3);
  auto y16 = smooth<Kvn16u>(r, kStep * 40, 512, 12);
  auto alpha = r.fill<Kvn8u>(2, 0, 255), beta = r.fill<Kvn8u>(2, 0, 18), tc0 = r.fill<Kvn8u>(16, 0, 25),
       bs = r.fill<Kvn8u>(16, 0, 4);
  auto alpha16 = r.fill<Kvn16u>(2, 0, 1020), beta16 = r.fill<Kvn16u>(2, 0, 72), tc16 = r.fill<Kvn16u>(16, 0, 100);
  Kvn8u* mb = y.data() + 8 * kStep + 8;
  o << a.kvniFilterDeblockingLuma_VerEdge_H264_8u_C1IR(mb, kStep, alpha.data(), beta.data(), tc0.data(), bs.data());
  o << a.kvniFilterDeblockingLuma_HorEdge_H264_8u_C1IR(y2.data() + 8 * kStep + 8, kStep, alpha.data(), beta.data(),
                                                       tc0.data(), bs.data());
  o << a.kvniFilterDeblockingChroma_HorEdge_H264_8u_C2IR(uv.data() + 4 * kStep + 8, kStep, alpha.data(), beta.data(),
                                                         tc0.data(), bs.data());
  o << a.kvniFilterDeblockingLuma_VerEdge_MBAFF_H264_8u_C1IR(m.data() + 2 * kStep + 8, kStep, alpha[0], beta[0],
                                                             tc0.data(), bs.data());
  const KvnDeblockingRecord16u rec{
      y16.data() + 8 * kStep + 8, kStep, alpha16.data(), beta16.data(), tc16.data(), bs.data(), 10};
  o << a.kvniFilterDeblockingLumaVerEdge_H264_16u_C1IR(&rec);
  return (o << y << y2 << uv << m << y16).take();
}

// MPEG-1/MPEG-2 VLC: tables built by each caller, blocks written and read
// back, a table shared by every caller read with the pair decoder.
const std::vector<int32_t>& mpeg2_b14_source() {
  static const std::vector<int32_t> s = kvnsupport::mpeg2_dct_source(kvnsupport::Mpeg2DctTable::kB14);
  return s;
}
Outcome mpeg2_vlc(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  using kvnsupport::Mpeg2DctTable;
  const std::vector<int> stages = {r.range(1, 9), 8, 8};
  const auto firstSrc = kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First, stages);
  const auto acSrc = kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14, stages);
  const auto dcSrc = kvnsupport::mpeg2_dc_size_source(false);
  const auto dcWriter = kvnsupport::mpeg2_dc_size_writer_table(false);
  KvnHuffmanTable *first = nullptr, *ac = nullptr, *dc = nullptr;
  KvnRLEncodeTable* enc = nullptr;
  o << a.kvniHuffmanRunLevelTableInitAlloc_32s(firstSrc.data(), &first);
  o << a.kvniHuffmanRunLevelTableInitAlloc_32s(acSrc.data(), &ac);
  o << a.kvniHuffmanTableInitAlloc_32s(dcSrc.data(), &dc);
  o << a.kvniCreateRLEncodeTable(mpeg2_b14_source().data(), &enc);
  std::vector<Kvn32u> words(400, 0);
  Kvn32u* w = words.data();
  Kvn32s freeBits = r.range(1, 32), pred = 0;
  const Kvn32s startIdx = freeBits - 1;
  std::vector<std::vector<Kvn16s>> blocks;
  for (int i = 0; i < 4; ++i) {
    auto b = r.sparse<Kvn16s>(64, i % 2 ? 300 : 3);
    b[0] = Kvn16s(r.range(0, 255));
    int n = 0;
    for (int k = 1; k < 64; ++k) n += b[size_t(k)] != 0;
    o << (i % 2 ? a.kvniPutNonIntraBlock(&w, &freeBits, b.data(), enc, kvnsupport::kMpeg2Zigzag, 2, 2, n + (b[0] != 0))
                : a.kvniPutIntraBlock(&w, &freeBits, b.data(), &pred, dcWriter.data(), enc, kvnsupport::kMpeg2Zigzag, 2,
                                      2, n));
    blocks.push_back(b);
  }
  Kvn32u* p = words.data();
  Kvn32s idx = startIdx, last = 0;
  Kvn16s dcPred = 0;
  std::vector<Kvn16s> out(64 * 4);
  const std::vector<Kvn16s> weights(64, Kvn16s(r.range(8, 40)));
  for (int i = 0; i < 4; ++i) {
    o << (i % 2 ? a.kvniReconstructDCTBlock_MPEG2_32s(&p, &idx, first, ac, kvnsupport::kMpeg2Zigzag, 5, nullptr,
                                                      &out[size_t(64 * i)], &last)
                : a.kvniReconstructDCTBlockIntra_MPEG2_32s(&p, &idx, dc, ac, kvnsupport::kMpeg2Zigzag, 5,
                                                           weights.data(), &dcPred, 1, &out[size_t(64 * i)], &last));
    o.val(last).val(int64_t(p - words.data())).val(idx);
  }
  Kvn8u run = 0;
  Kvn16s level = 0;
  Kvn32u code[2] = {0x40000000u | (uint32_t(r.next()) >> 5), 0};  // 0100 0: run 0, level 2
  p = code, idx = 31;
  o << a.kvniDecodeHuffmanPair_1u16s(&p, &idx, ac, &run, &level);
  o.val(run).val(level);
  for (KvnHuffmanTable* t : {first, ac, dc, static_cast<KvnHuffmanTable*>(enc)}) o << a.kvniHuffmanTableFree_32s(t);
  return (o << words << out).take();
}

// The core services: blocks of their own to each caller, and the same
// answers to every caller.
Outcome core_services(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  void* blocks[8];
  int32_t sizes[8];
  for (int i = 0; i < 8; ++i) {
    sizes[i] = r.range(1, 70000);
    blocks[i] = a.kvnMalloc(sizes[i]);
    if (blocks[i]) std::memset(blocks[i], 0x11 * (i + 1), size_t(sizes[i]));
  }
  for (int i = 0; i < 8; ++i) {
    bool intact = blocks[i] && a.kvnAlignPtr(blocks[i], 64) == blocks[i];
    const auto* b = static_cast<const uint8_t*>(blocks[i]);
    for (int32_t k = 0; intact && k < sizes[i]; k += 61) intact = b[k] == uint8_t(0x11 * (i + 1));
    intact = intact && b[sizes[i] - 1] == uint8_t(0x11 * (i + 1));
    o.val(intact);
    a.kvnFree(blocks[i]);
  }
  const uintptr_t addr = uintptr_t(r.next() >> 8);
  o.val(uintptr_t(a.kvnAlignPtr(reinterpret_cast<void*>(addr), 1 << r.range(0, 12))));
  int32_t cache = -1;
  o << a.kvnGetMaxCacheSizeB(&cache);
  o.val(cache).val(a.ownGetNumThreads()).val(a.kvnGetEnabledCpuFeatures());
  const KvnVersionRecord* v = a.kvnvcGetLibVersion();
  o.val(v->versionMajor).val(v->versionMinor).val(v->revision);
  const std::string text = std::string(v->libraryName) + v->versionText + v->buildDate;
  return (o << std::vector<char>(text.begin(), text.end())).take();
}

// MPEG-2: an encoder's forward DCT, quantisers and reconstruction, and the
// decoder's inverse quantisers and inverse DCTs.
Outcome mpeg2_dct_quant(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int q = r.range(1, 31);
  auto src = r.fill<Kvn8u>(128, 0, 255);
  auto w = r.fill<Kvn16u>(64, 8, 80);
  std::vector<float> recip(64);
  for (size_t i = 0; i < 64; ++i) recip[i] = 1.0f / float(w[i]);
  std::vector<Kvn16s> u(64), v(64), u16(256);
  std::vector<Kvn8u> rec(128), rec2(128);
  int32_t n1 = 0, n2 = 0;
  o << a.kvniDCT8x8Fwd_8u16s_C2P2(src.data(), 16, u.data(), v.data());
  o << a.kvniQuantIntra_MPEG2_16s_C1I(u.data(), q, r.range(0, 1) ? recip.data() : nullptr, &n1);
  o << a.kvniQuant_MPEG2_16s_C1I(v.data(), q, r.range(0, 1) ? recip.data() : nullptr, &n2);
  auto uq = u, vq = v;
  o << a.kvniQuantInvIntra_MPEG2_16s_C1I(u.data(), q, w.data());
  o << a.kvniQuantInv_MPEG2_16s_C1I(v.data(), q, r.range(0, 1) ? w.data() : nullptr);
  o << a.kvniDCT8x8InvOrSet_16s8u_P2C2(u.data(), v.data(), rec.data(), 16, r.range(0, 3));
  o << a.kvniDCT8x8Inv_AANTransposed_16s8u_C1R(u.data(), rec2.data(), 8, r.range(-1, 64));
  o << a.kvniDCT8x8Inv_AANTransposed_16s_P2C2R(u.data(), v.data(), u16.data(), 32, r.range(-1, 64), r.range(0, 12));
  o.val(n1).val(n2);
  return (o << uq << vq << u << v << rec << rec2 << u16).take();
}

// VC-1: an encoder's forward transforms and quantisers, a decoder's inverse
// quantisers (with the nonzero region) and inverse transforms of that region.
Outcome vc1_transform_quant(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int q = r.range(2, 62);
  auto res = r.fill<Kvn16s>(64, -255, 255);
  std::vector<Kvn16s> c(64), c4(64), d(64), d4(64), rec(64), rec4(64);
  KvnSize nz{}, nz4{};
  o << a.kvniTransform8x8Fwd_VC1_16s_C1R(res.data(), 16, c.data(), 16);
  o << a.kvniTransform4x4Fwd_VC1_16s_C1R(res.data(), 16, c4.data(), 8);
  o << a.kvniTransform8x4Fwd_VC1_16s_C1IR(res.data() + 32, 16);
  o << a.kvniTransform4x8Fwd_VC1_16s_C1IR(res.data(), 16);
  o << (r.range(0, 1) ? a.kvniQuantIntraUniform_VC1_16s_C1IR : a.kvniQuantIntraNonuniform_VC1_16s_C1IR)(c.data(), 16,
                                                                                                        q);
  o << (r.range(0, 1) ? a.kvniQuantInterUniform_VC1_16s_C1IR : a.kvniQuantInterNonuniform_VC1_16s_C1IR)(c4.data(), 8, q,
                                                                                                        {4, 4});
  o << (r.range(0, 1) ? a.kvniQuantInvIntraUniform_VC1_16s_C1R : a.kvniQuantInvIntraNonuniform_VC1_16s_C1R)(
      c.data(), 16, d.data(), 16, q, &nz);
  o << (r.range(0, 1) ? a.kvniQuantInvInterUniform_VC1_16s_C1R : a.kvniQuantInvInterNonuniform_VC1_16s_C1R)(
      c4.data(), 8, d4.data(), 8, q, {4, 4}, &nz4);
  o << a.kvniTransform8x8Inv_VC1_16s_C1R(d.data(), 16, rec.data(), 16, nz);
  o << a.kvniTransform4x4Inv_VC1_16s_C1R(d4.data(), 8, rec4.data(), 8, nz4);
  o << a.kvniQuantInvIntraUniform_VC1_16s_C1IR(c.data(), 16, q, &nz);
  o << a.kvniQuantInvInterNonuniform_VC1_16s_C1IR(c4.data(), 8, q, {4, 4}, &nz4);
  o << a.kvniTransform8x8Inv_VC1_16s_C1IR(c.data(), 16, nz);
  o << a.kvniTransform8x4Inv_VC1_16s_C1IR(res.data(), 16, {r.range(0, 9), r.range(0, 5)});
  o << a.kvniTransform4x8Inv_VC1_16s_C1IR(c4.data(), 8, {1, 1});
  o << a.kvniTransform4x4Inv_VC1_16s_C1IR(d4.data(), 8, {2, 2});
  o << a.kvniTransform8x8Fwd_VC1_16s_C1IR(rec.data(), 16);
  o << a.kvniTransform4x4Fwd_VC1_16s_C1IR(rec4.data(), 8);
  o << a.kvniTransform4x8Fwd_VC1_16s_C1R(d.data(), 16, d4.data(), 8);
  o << a.kvniTransform8x4Fwd_VC1_16s_C1R(d.data(), 16, rec4.data(), 16);
  o << a.kvniTransform4x8Inv_VC1_16s_C1R(d.data(), 16, c4.data(), 8, {4, 8});
  o << a.kvniTransform8x4Inv_VC1_16s_C1R(d.data(), 16, c.data(), 16, {8, 4});
  o << a.kvniQuantInvIntraNonuniform_VC1_16s_C1IR(rec.data(), 16, q, &nz);
  o << a.kvniQuantInvInterUniform_VC1_16s_C1IR(rec.data(), 16, q, {8, 4}, &nz4);
  o.val(nz.width).val(nz.height).val(nz4.width).val(nz4.height);
  return (o << res << c << c4 << d << d4 << rec << rec4).take();
}

// MPEG-4/H.263: states initialised in unaligned memory, an encoder's forward
// quantisers and a decoder's inverse ones, and the H.263 edge filters.
Outcome mpeg4_quant(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  alignas(16) unsigned char fwdIntra[412 + 1], fwdInter[412 + 1], invIntra[156 + 1], invInter[156 + 1];
  const auto fwd = [](unsigned char* p) { return reinterpret_cast<KvnQuantState_MPEG4*>(p + 1); };
  const auto inv = [](unsigned char* p) { return reinterpret_cast<KvnQuantInvState_MPEG4*>(p + 1); };
  const int bits = r.range(0, 2) ? 8 : r.range(4, 12);
  const int qp = r.range(1, (1 << (bits - 3)) - 1);
  auto w = r.fill<Kvn8u>(64, 1, 255);
  const Kvn8u* m = r.range(0, 1) ? w.data() : nullptr;
  int32_t size = 0, n[4] = {};
  o << a.kvniQuantIntraGetSize_MPEG4(&size);
  o.val(size);
  o << a.kvniQuantInvInterGetSize_MPEG4(&size);
  o.val(size);
  o << a.kvniQuantIntraInit_MPEG4(m, fwd(fwdIntra), bits);
  o << a.kvniQuantInterInit_MPEG4(m, fwd(fwdInter), bits);
  o << a.kvniQuantInvIntraInit_MPEG4(m, inv(invIntra), bits);
  o << a.kvniQuantInvInterInit_MPEG4(m, inv(invInter), bits);
  auto u = r.fill<Kvn16s>(64, -2048, 2047), v = r.fill<Kvn16s>(64, -300, 300);
  auto h = r.fill<Kvn16s>(64, -2048, 2047), g = r.fill<Kvn16s>(64, 0, 2040);
  o << a.kvniQuantIntra_MPEG4_16s_C1I(u.data(), fwd(fwdIntra), qp, &n[0], r.range(0, 1));
  o << a.kvniQuantInter_MPEG4_16s_C1I(v.data(), fwd(fwdInter), qp, &n[1]);
  o << a.kvniQuantInter_H263_16s_C1I(h.data(), qp & 31 ? qp & 31 : 1, &n[2], r.range(0, 1));
  o << a.kvniQuantIntra_H263_16s_C1I(g.data(), qp & 31 ? qp & 31 : 1, &n[3], r.range(0, 1), r.range(0, 1));
  o << u << v << h << g;
  o << a.kvniQuantInvIntra_MPEG4_16s_C1I(u.data(), r.range(0, 63), inv(invIntra), qp, r.range(0, 1));
  o << a.kvniQuantInvInter_MPEG4_16s_C1I(v.data(), r.range(0, 63), inv(invInter), qp);
  o << a.kvniQuantInvInter_H263_16s_C1I(h.data(), r.range(0, 63), r.range(1, 31), r.range(0, 1));
  o << a.kvniQuantInvIntra_H263_16s_C1I(g.data(), r.range(0, 63), r.range(1, 31), r.range(0, 1), r.range(0, 1));
  auto pic = r.fill<Kvn8u>(32 * 32, 0, 255);
  Kvn8u* e = pic.data() + 8 * 32 + 8;
  o << a.kvniFilterDeblocking8x8HorEdge_H263_8u_C1IR(e, 32, r.range(1, 31));
  o << a.kvniFilterDeblocking8x8VerEdge_H263_8u_C1IR(e + 8, 32, r.range(1, 31));
  o << a.kvniFilterDeblocking16x16HorEdge_H263_8u_C1IR(e + 8 * 32, 32);
  o << a.kvniFilterDeblocking16x16VerEdge_H263_8u_C1IR(e, 32);
  o << a.kvniFilterBlockBoundaryHorEdge_H263_8u_C1IR(e + 4 * 32, 32);
  o << a.kvniFilterBlockBoundaryVerEdge_H263_8u_C1IR(e + 4, 32);
  for (int32_t x : n) o.val(x);
  return (o << u << v << h << g << pic).take();
}

// MPEG-4 / H.263 / H.261 coefficient writers: every variant into one stream
// of the caller's own, from a random bit offset.
Outcome coeff_encode(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  std::vector<Kvn8u> stream(64 * 5 * 10 + 16, 0);
  Kvn8u* p = stream.data();
  Kvn32s off = r.range(0, 7);
  for (int i = 0; i < 10; ++i) {  // 30 calls
    auto b = r.sparse<Kvn16s>(64, i % 3 ? 40 : 2000);
    b[63] = 1;
    int n = 0;
    for (int k = 1; k < 64; ++k) n += b[size_t(k)] != 0;
    const int count = r.range(1, n), scan = r.range(-1, 2), flag = r.range(0, 1);
    switch (i % 6) {
      case 0: o << a.kvniEncodeCoeffsIntra_MPEG4_16s1u(b.data(), &p, &off, count, flag, 1, scan); break;
      case 1: o << a.kvniEncodeCoeffsInter_MPEG4_16s1u(b.data(), &p, &off, count, flag, scan); break;
      case 2: o << a.kvniEncodeCoeffsIntra_H263_16s1u(b.data(), &p, &off, count, flag, 1, scan); break;
      case 3: o << a.kvniEncodeCoeffsInter_H263_16s1u(b.data(), &p, &off, count, 1, scan); break;
      case 4: o << a.kvniEncodeCoeffsIntra_H261_16s1u(b.data(), &p, &off, count, scan); break;
      default: o << a.kvniEncodeCoeffsInter_H261_16s1u(b.data(), &p, &off, count, scan); break;
    }
    o << a.kvniEncodeDCIntra_H263_16s1u(Kvn16s(r.range(1, 255)), &p, &off);
    o << a.kvniEncodeDCIntra_MPEG4_16s1u(Kvn16s(r.range(-4095, 4095)), &p, &off, flag);
    o.val(int64_t(p - stream.data())).val(off);
  }
  return (o << stream).take();
}

// MPEG-4 / H.263 / H.261 coefficient decoding: streams of short codes
// (Table 16 / B-16 / B-17: 10s, LAST 0111s; B-23: 110s, LAST 1011s; H.261:
// 1s first, 11s, end of block 10), every decoder through them, and a state
// of each caller's own for the MPEG-4 reconstruction.
struct Bitpack {
  std::vector<Kvn8u> b = std::vector<Kvn8u>(256, 0);
  size_t n = 0;
  void put(uint32_t v, int len) {
    for (int i = len - 1; i >= 0; --i, ++n)
      if ((v >> i) & 1) b[n / 8] |= Kvn8u(0x80 >> (n % 8));
  }
};
Outcome mpeg4_vlc(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  Bitpack tc, rv, h1;
  const int off = r.range(0, 7);
  tc.n = h1.n = size_t(off);
  rv.n = size_t(off) + 40;  // the backward reader may read 4 bytes before the earliest code
  rv.put(0b10110, 5);       // an earlier block's LAST code
  for (int blk = 0; blk < 4; ++blk) {
    for (int k = r.range(0, 6); k > 0; --k)
      tc.put(0b100 | uint32_t(r.range(0, 1)), 3), rv.put(0b1100 | uint32_t(r.range(0, 1)), 4);
    tc.put(0b01110 | uint32_t(r.range(0, 1)), 5);
    rv.put(0b10110 | uint32_t(r.range(0, 1)), 5);
  }
  h1.put(0b10 | uint32_t(r.range(0, 1)), 2);
  for (int k = r.range(0, 6); k > 0; --k) h1.put(0b110 | uint32_t(r.range(0, 1)), 3);
  h1.put(0b10, 2);
  alignas(16) Kvn8u state[176] = {};
  const size_t shift = size_t(r.range(0, 15));
  auto* s =
      reinterpret_cast<KvnQuantInvState_MPEG4*>((reinterpret_cast<uintptr_t>(state + shift) + 15) & ~uintptr_t(15));
  for (auto& w : s->weights) w = Kvn16u(r.range(1, 255));
  s->bitsPerPixel = 8;
  s->matrixFlag = r.range(0, 1);
  std::memcpy(s->tag, "SAMC", 4);
  const auto* mem = reinterpret_cast<const KvnQuantInvState_MPEG4*>(state + shift);  // as the caller passes it
  std::vector<Kvn16s> out(64 * 16, 0);
  std::vector<Kvn32s> lasts(16, 0);
  const int qp = r.range(1, 31);
  for (int f = 0; f < 8; ++f) {  // each forward decoder through two blocks (29 calls in all)
    Kvn8u* p = tc.b.data();
    Kvn32s bit = off;
    for (int blk = 0; blk < 2; ++blk) {
      Kvn16s* blkOut = &out[size_t(64 * ((f + blk) % 16))];
      Kvn32s* last = &lasts[size_t((f + blk) % 16)];
      switch (f) {
        case 0: o << a.kvniDecodeCoeffsIntra_MPEG4_1u16s(&p, &bit, blkOut, last, 0, 0, r.range(-1, 3)); break;
        case 1: o << a.kvniDecodeCoeffsInter_MPEG4_1u16s(&p, &bit, blkOut, last, 0, r.range(-1, 3)); break;
        case 2: o << a.kvniDecodeCoeffsIntra_H263_1u16s(&p, &bit, blkOut, last, 1, 0, r.range(-1, 3)); break;
        case 3: o << a.kvniDecodeCoeffsInter_H263_1u16s(&p, &bit, blkOut, last, 1, r.range(-1, 3)); break;
        case 4: o << a.kvniReconstructCoeffsInter_H263_1u16s(&p, &bit, blkOut, last, qp, 0); break;
        case 5: o << a.kvniReconstructCoeffsInter_MPEG4_1u16s(&p, &bit, blkOut, last, 0, r.range(0, 1), mem, qp); break;
        case 6: o << a.kvniDecodeCoeffsInter_MPEG4_1u16s(&p, &bit, blkOut, last, 0, 0); break;
        default: o << a.kvniReconstructCoeffsInter_MPEG4_1u16s(&p, &bit, blkOut, last, 0, 0, mem, qp); break;
      }
      o.val(int64_t(p - tc.b.data())).val(bit);
    }
  }
  // Reversible codes forwards, then backwards from the last bit.
  Kvn8u* p = rv.b.data() + 5;
  Kvn32s bit = off;
  o << a.kvniDecodeCoeffsInter_MPEG4_1u16s(&p, &bit, &out[0], &lasts[0], 1, 0);
  o << a.kvniDecodeCoeffsIntra_MPEG4_1u16s(&p, &bit, &out[64], &lasts[1], 1, 1, 0);
  p = rv.b.data() + (rv.n - 1) / 8, bit = Kvn32s((rv.n - 1) % 8);
  for (int blk = 0; blk < 4; ++blk) {
    o << (blk % 2
              ? a.kvniDecodeCoeffsIntraRVLCBack_MPEG4_1u16s(&p, &bit, &out[size_t(64 * (2 + blk))], &lasts[2], blk & 2)
              : a.kvniDecodeCoeffsInterRVLCBack_MPEG4_1u16s(&p, &bit, &out[size_t(64 * (2 + blk))], &lasts[3]));
    o.val(int64_t(p - rv.b.data())).val(bit);
  }
  // H.261 and the intra DCs.
  p = h1.b.data(), bit = off;
  o << a.kvniDecodeCoeffsInter_H261_1u16s(&p, &bit, &out[64 * 6], &lasts[6], r.range(-1, 0));
  p = h1.b.data(), bit = off;
  o << a.kvniReconstructCoeffsInter_H261_1u16s(&p, &bit, &out[64 * 7], &lasts[7], qp);
  Kvn8u intra[12] = {Kvn8u(r.range(1, 127)), 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // INTRADC, end of block
  p = intra, bit = 0;
  o << a.kvniDecodeCoeffsIntra_H261_1u16s(&p, &bit, &out[64 * 8], &lasts[8], 0);
  p = intra, bit = 0;
  o << a.kvniReconstructCoeffsIntra_H261_1u16s(&p, &bit, &out[64 * 9], &lasts[9], qp);
  p = intra, bit = 0;
  o << a.kvniReconstructCoeffsIntra_H263_1u16s(&p, &bit, &out[64 * 10], &lasts[10], 0, qp, 0, 0, 0);
  Kvn16s dc[2] = {0, 0};
  p = intra, bit = 0;
  o << a.kvniDecodeDCIntra_H263_1u16s(&p, &bit, &dc[0]);
  p = intra, bit = 0;
  o << a.kvniDecodeDCIntra_MPEG4_1u16s(&p, &bit, &dc[1], r.range(0, 1));
  o.val(dc[0]).val(dc[1]);
  return (o << out << lasts).take();
}

// AVS: blocks decoded from random bits by the three decoders (whatever
// statuses they give), then reconstructed into a luma and two chroma planes.
Outcome avs(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  // 64 words of bits, mostly zeros (long codes, escapes), then zeros (a code
  // error at the latest there): room for the longest blocks.
  std::vector<Kvn32u> words(64 * 4 * 5, 0);
  for (size_t i = 0; i < 64; ++i) words[i] = uint32_t(r.next() & r.next() & r.next());
  for (int i = 0; i < 8; ++i) words[size_t(r.range(0, 63))] |= 0xffff0000u >> r.range(0, 16);
  std::vector<Kvn16s> coefs(64 * 4, 0);
  std::vector<Kvn32u> counts(4, 0);
  Kvn32u* p = words.data();
  Kvn32u idx = Kvn32u(r.range(0, 31));
  for (int b = 0; b < 4; ++b) {
    Kvn16s* blk = &coefs[size_t(64 * b)];
    const Kvn32s field = r.range(0, 1);
    o << (b == 0   ? a.kvniDecodeLumaBlockIntra_AVS_1u16s(&p, &idx, &counts[size_t(b)], blk, field)
          : b == 1 ? a.kvniDecodeLumaBlockInter_AVS_1u16s(&p, &idx, &counts[size_t(b)], blk, field)
                   : a.kvniDecodeChromaBlock_AVS_1u16s(&p, &idx, &counts[size_t(b)], blk, field));
    o.val(int64_t(p - words.data())).val(idx);
  }
  auto y = r.fill<Kvn8u>(16 * 16, 0, 255), u = r.fill<Kvn8u>(8 * 16, 0, 255), v = r.fill<Kvn8u>(8 * 16, 0, 255);
  Kvn16s* c = coefs.data();
  o << a.kvniReconstructLumaInter_AVS_16s8u_C1R(&c, y.data(), 16, counts.data(), Kvn8u(r.range(0, 15)), r.range(0, 63));
  o.val(int64_t(c - coefs.data()));
  c = coefs.data();
  o << a.kvniReconstructChromaInter_AVS_16s8u_C1R(&c, u.data(), v.data(), 8, counts.data(), Kvn8u(r.range(0, 15)),
                                                  r.range(0, 51));
  o.val(int64_t(c - coefs.data()));
  return (o << coefs << counts << y << u << v).take();
}

// VC-1 prediction of a macroblock's luma and chroma and a range-mapped
// picture; a deinterlaced field and 4:2:2 pictures converted and turned.
Outcome vc1_interp(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  auto ref = r.fill<Kvn8u>(48 * 24, 0, 255);
  std::vector<Kvn8u> luma(16 * 16), c1(8 * 8), c2(16 * 8), mapped(48 * 24);
  const Kvn8u* at = ref.data() + 2 * 48 + 2;
  KvnInterpolationRecordVC1 p = {at, 48, luma.data(), 16, r.range(0, 3), r.range(0, 3), 16, 16, r.range(0, 1)};
  o << a.kvniInterpolateQPBicubic_VC1_8u_C1R(&p);
  p = {at, 48, c1.data(), 8, r.range(0, 3), r.range(0, 3), 8, 8, r.range(0, 1)};
  o << a.kvniInterpolateQPBilinear_VC1_8u_C1R(&p);
  p = {at, 48, c2.data(), 16, r.range(0, 3), r.range(0, 3), 8, 8, r.range(0, 1)};
  o << a.kvniInterpolateQPBilinear_VC1_8u_C2R(&p);
  o << a.kvniRangeMapping_VC1_8u_C1R(ref.data(), 48, mapped.data(), 48, {r.range(1, 48), 24}, Kvn32u(r.range(0, 7)));
  return (o << luma << c1 << c2 << mapped).take();
}

Outcome vpp(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  const int w = 2 * r.range(1, 40), h = 2 * r.range(1, 20), rot = r.range(0, 3);
  auto src = r.fill<Kvn8u>(size_t(2 * w * (h + 1)), 0, 255);
  std::vector<Kvn8u> field(size_t(w * h)), y(size_t(w * h)), cb(size_t(w * h / 4)), cr(size_t(w * h / 4));
  o << a.kvniDeinterlaceEdgeDetect_8u_C1R(src.data() + w, w, field.data(), w, {w, h}, r.range(0, 1), r.range(0, 1));
  const bool quarter = rot == 1 || rot == 2;
  const Kvn32u steps[3] = {Kvn32u(quarter ? h : w), Kvn32u(quarter ? h / 2 : w / 2), Kvn32u(quarter ? h / 2 : w / 2)};
  KvnPlaneRecord8u dst = {y.data(), cb.data(), cr.data()};
  o << a.kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(src.data(), 2 * w, {w, h}, &dst, steps, rot);
  o << y << cb << cr;
  KvnPlaneRecord8u planes = {src.data(), src.data() + w * h, src.data() + w * h + w * h / 2};
  const Kvn32u srcSteps[3] = {Kvn32u(w), Kvn32u(w / 2), Kvn32u(w / 2)};
  o << a.kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&planes, srcSteps, {w, h}, &dst, steps, rot);
  return (o << field << y << cb << cr).take();
}

// DV: the 2-4-8 DCT round trip and the DV100 weighting.
Outcome dv_transform(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  auto b = r.fill<Kvn16s>(64, -128, 127);
  auto c = r.fill<Kvn16s>(64, -4096, 4095);
  const auto d = r.fill<Kvn16u>(64, 1, 416);
  const auto w = r.fill<Kvn16s>(64, 2000, 32767);
  o << a.kvniDCT2x4x8Frw_16s_C1I(b.data());
  auto coef = b;
  o << a.kvniDCT2x4x8Inv_16s_C1I(b.data());
  o << a.kvniQuantWeightBlockInv_DV100_16s_C1I(c.data(), d.data(), w.data());
  return (o << coef << b << c).take();
}

// DV: segments of short codes ("00s" and the end of block "0110" in every
// area, some areas over-full so that bits move between blocks) through the
// three decoders, each block dequantised, and a table built and released.
Outcome dv(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  std::vector<Kvn8u> seg(416, 0);
  for (size_t i = 0; i < 400; ++i) seg[i] = Kvn8u(r.range(0, 3) ? 0x12 : 0x66);  // 000 100 10 / 0110 0110
  std::vector<Kvn16s> blocks(64 * 40, 0);
  std::vector<Kvn32u> params(40, 0);
  o << a.kvniHuffmanDecodeSegment_DV_8u16s(seg.data(), nullptr, nullptr, blocks.data(), params.data());
  o << blocks << params;
  std::fill(blocks.begin(), blocks.end(), Kvn16s(0));
  o << a.kvniHuffmanDecodeSegmentOnePass_DV_8u16s(seg.data(), nullptr, nullptr, blocks.data(), params.data(),
                                                  Kvn8u(r.range(0, 80)));
  o << blocks << params;
  std::fill(blocks.begin(), blocks.end(), Kvn16s(0));
  o << a.kvniHuffmanDecodeSegment_DV100_8u16s(seg.data(), nullptr, nullptr, blocks.data(), params.data());
  const auto t16 = r.fill<Kvn16s>(64, -32768, 32767), w16 = r.fill<Kvn16s>(64, -32768, 32767);
  const auto q16 = r.fill<Kvn16u>(64, 0, 65535);
  for (size_t k = 0; k < 40; ++k)
    o << (k % 2 ? a.kvniQuantInv_DV_16s_C1I(&blocks[64 * k], t16.data())
                : a.kvniQuantWeightBlockInv_DV_16s_C1I(&blocks[64 * k], q16.data(), w16.data()));
  const Kvn32s src[] = {2, 0, 0, 1, 0, r.range(0, 63), r.range(-9, 9), 1, 2, 1, 1};
  KvnHuffmanTable* t = nullptr;
  o << a.kvniInitAllocHuffmanTable_DV_32u(src, src, &t);
  const auto* e = reinterpret_cast<const Kvn8u*>(t);
  o << std::vector<Kvn8u>(e, e + 32);
  o << a.kvniFreeHuffmanTable_DV_32u(t);
  return (o << blocks << params).take();
}

// VC-1: overlap smoothing of an intra macroblock's edges (16-bit blocks in
// and back, 8-bit picture out), then the loop filter over the picture.
Outcome vc1_filters(const Api& a, uint64_t seed) {
  Rng r(seed);
  Out o;
  auto blk = r.fill<Kvn16s>(32 * 32, -60, 320);  // 32 samples a row
  auto pic = r.fill<Kvn8u>(32 * 48, 0, 255);     // 48 bytes a row
  Kvn16s* b = blk.data() + 8 * 32 + 8;
  Kvn8u* p = pic.data() + 8 * 48 + 8;
  o << a.kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(b - 2, 64, b, 64, p, 48, r.range(0, 3), Kvn32u(r.range(0, 15)));
  o << a.kvniSmoothingLuma_VerEdge_VC1_16s8u_C1R(b + 6, 64, b + 8, 64, p + 8, 48, 0, 15);
  o << a.kvniSmoothingLuma_HorEdge_VC1_16s8u_C1R(b - 64, 64, b, 64, p, 48, Kvn8u(r.range(0, 15)));
  o << a.kvniSmoothingChroma_VerEdge_VC1_16s8u_C1R(b + 14, 64, b + 16, 64, p + 16, 48);
  o << a.kvniSmoothingChroma_HorEdge_VC1_16s8u_C1R(b + 8 * 32 - 64, 64, b + 8 * 32, 64, p + 8 * 48, 48);
  o << a.kvniSmoothingChroma_VerEdge_VC1_16s8u_P2C2R(b + 16 * 32 - 2, 64, b + 16 * 32, 64, b + 16 * 32 + 6, 64,
                                                     b + 16 * 32 + 8, 64, p + 16 * 48 + 8, 48);
  o << a.kvniSmoothingChroma_HorEdge_VC1_16s8u_P2C2R(b - 2 * 32 + 16, 64, b + 16, 64, b - 2 * 32 + 8, 64, b + 8, 64,
                                                     p + 8 * 48 + 16, 48);
  const Kvn32u pq = Kvn32u(r.range(0, 31));
  o << a.kvniFilterDeblockingLuma_VerEdge_VC1_8u_C1IR(p + 8, pq, 48, Kvn32u(r.range(0, 15)));
  o << a.kvniFilterDeblockingLuma_HorEdge_VC1_8u_C1IR(p + 8 * 48, pq, 48, Kvn32u(r.range(0, 15)));
  o << a.kvniFilterDeblockingChroma_VerEdge_VC1_8u_C1IR(p + 12 * 48 + 4, pq, 48, Kvn32u(r.range(0, 15)));
  o << a.kvniFilterDeblockingChroma_HorEdge_VC1_8u_C1IR(p + 16 * 48, pq, 48, Kvn32u(r.range(0, 15)));
  o << a.kvniFilterDeblockingChroma_VerEdge_VC1_8u_C2IR(p + 16 * 48 + 16, pq, 48, Kvn32u(r.range(0, 7)),
                                                        Kvn32u(r.range(0, 7)));
  o << a.kvniFilterDeblockingChroma_HorEdge_VC1_8u_C2IR(p + 4 * 48 + 8, pq, 48, Kvn32u(r.range(0, 7)),
                                                        Kvn32u(r.range(0, 7)));
  return (o << blk << pic).take();
}

}  // namespace

const std::vector<WorkItem>& work_items() {
  static const std::vector<WorkItem> items = {
      {"block copy and motion compensation", block_mc},
      {"SAD", sad},
      {"SATD", satd},
      {"SSD", ssd},
      {"variance", variance},
      {"block differences", differences},
      {"H.264 4x4 and DC transforms", h264_4x4_dc},
      {"H.264 8x8 transform", h264_8x8},
      {"intra prediction", intra},
      {"macroblock reconstruction, 8-bit", recon_8bit},
      {"macroblock reconstruction, high bit depth", recon_hbd},
      {"CAVLC analysis", cavlc_analysis},
      {"CAVLC decoding", cavlc_decode},
      {"CABAC encoding", cabac},
      {"luma interpolation", interp_luma},
      {"chroma interpolation", interp_chroma},
      {"weighted prediction", weighting},
      {"deblocking", deblocking},
      {"MPEG-1/MPEG-2 VLC", mpeg2_vlc},
      {"core services", core_services},
      {"MPEG-2 quantisation and DCT", mpeg2_dct_quant},
      {"MPEG-4/H.263 quantisation and H.263 edge filters", mpeg4_quant},
      {"MPEG-4 / H.263 / H.261 coefficient writers", coeff_encode},
      {"MPEG-4/H.263/H.261 coefficient decoding", mpeg4_vlc},
      {"AVS coefficient decoding and inter reconstruction", avs},
      {"VC-1 transforms and quantisation", vc1_transform_quant},
      {"VC-1 interpolation and range mapping", vc1_interp},
      {"deinterlacing and 4:2:2 to 4:2:0 with rotation", vpp},
      {"DV 2-4-8 DCT and DV100 weighting", dv_transform},
      {"DV segment decoding and dequantisation", dv},
      {"VC-1 overlap smoothing and loop filter", vc1_filters},
  };
  return items;
}

void prepare() {
  (void)tables();
  (void)mpeg2_b14_source();
  (void)work_items();
}

uint64_t seed_of(int thread, int round, int item) {
  return (uint64_t(thread) << 40) ^ (uint64_t(round) << 16) ^ uint64_t(item) ^ 0x6b766e5643ull;
}

}  // namespace conc
