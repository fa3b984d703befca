// The SAD family's exported calls, whole: entry stub, checks, table call.
#include <benchmark/benchmark.h>

#include <string>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

using kvnbench::Buffers;
using kvnbench::Picture;

constexpr int kStep = Picture::kStep;
constexpr int kCandidates = 64;

template <class Call>
void add(const std::string& group, Call call) {
  kvnbench::add_api(group, call);
}

std::string mode_name(const char* group, int mode) { return std::string(group) + "/mode" + std::to_string(mode); }

using Sad8Full = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn32s*);
using Sad16 = KvnResult (*)(const Kvn16u*, int32_t, const Kvn16u*, int32_t, Kvn32s*, int32_t);
using Xn = KvnResult (*)(const Kvn8u*, int32_t, const Kvn8u*, int32_t, Kvn16u*, int32_t);

void register_all(Buffers& b) {
  const uint8_t* const s = b.fwd.block();
  const uint8_t* const r = b.bwd.block();
  const Kvn16u* const s16 = reinterpret_cast<const Kvn16u*>(s);
  const Kvn16u* const r16 = reinterpret_cast<const Kvn16u*>(r);
  static Kvn32s sad, sad2;
  static Kvn16u sads[kCandidates];
  static Kvn32u out[16], index;
  Kvn16s* const diff = reinterpret_cast<Kvn16s*>(b.dst.block());

  // The members with speed targets are called by name, as a caller would;
  // the others through a pointer, as the loops below are simpler that way.
  for (int mode : {0, 4, 8, 12}) {
    add(mode_name("SAD16x16", mode), [=] { return kvniSAD16x16_8u32s(s, kStep, r, kStep, &sad, mode); });
    add(mode_name("SAD8x8", mode), [=] { return kvniSAD8x8_8u32s_C1R(s, kStep, r, kStep, &sad, mode); });
    add(mode_name("SAD16x8", mode), [=] { return kvniSAD16x8_8u32s_C1R(s, kStep, r, kStep, &sad, mode); });
  }
  add("SAD4x4", [=] { return kvniSAD4x4_8u32s(s, kStep, r, kStep, &sad); });
  for (auto [name, fn] : {std::pair<const char*, Sad8Full>{"SAD8x4", kvniSAD8x4_8u32s_C1R},
                          {"SAD4x8", kvniSAD4x8_8u32s_C1R},
                          {"SAD8x16", kvniSAD8x16_8u32s_C1R}})
    add(name, [=, fn = fn] { return fn(s, kStep, r, kStep, &sad); });
  for (int mode : {0, 12})
    add(mode_name("SAD8x8_C2", mode), [=] { return kvniSAD8x8_8u32s_C2R(s, kStep, r, kStep, &sad, &sad2, mode); });
  for (auto [name, fn] : {std::pair<const char*, Sad16>{"SAD16x16_16u", kvniSAD16x16_16u32s_C1R},
                          {"SAD8x8_16u", kvniSAD8x8_16u32s_C1R},
                          {"SAD4x4_16u", kvniSAD4x4_16u32s_C1R}})
    for (int mode : {0, 12})
      add(mode_name(name, mode), [=, fn = fn] { return fn(s16, kStep, r16, kStep, &sad, mode); });
  add("SAD16x16xN/N64", [=] { return kvniSAD16x16xN_8u16u_C1R(s, kStep, r, kStep, sads, kCandidates); });
  for (auto [name, fn] : {std::pair<const char*, Xn>{"SAD8x8xN/N64", kvniSAD8x8xN_8u16u_C1R},
                          {"SAD4x4xN/N64", kvniSAD4x4xN_8u16u_C1R},
                          {"SAD2x2xN/N64", kvniSAD2x2xN_8u16u_C1R}})
    add(name, [=, fn = fn] { return fn(s, kStep, r, kStep, sads, kCandidates); });
  add("SAD16x16xNI/N64", [=] { return kvniSAD16x16xNI_8u16u_C1R(s, kStep, r, kStep, sads, kCandidates, &index); });
  add("SAD16x16Blocks8x8", [=] { return kvniSAD16x16Blocks8x8_8u16u(s, kStep, r, kStep, sads); });
  add("SAD16x16Blocks4x4", [=] { return kvniSAD16x16Blocks4x4_8u16u(s, kStep, r, kStep, sads); });
  add("SAD16x16Blocks8x8_16u", [=] { return kvniSAD16x16Blocks8x8_16u32u_C1R(s16, kStep, r16, kStep, out); });
  add("SAD16x16Blocks4x4_16u", [=] { return kvniSAD16x16Blocks4x4_16u32u_C1R(s16, kStep, r16, kStep, out); });
  add("FrameFieldSAD16x16", [=] { return kvniFrameFieldSAD16x16_8u32s_C1R(s, kStep, out, out + 1); });
  add("FrameFieldSAD16x16_16s",
      [=] { return kvniFrameFieldSAD16x16_16s32s_C1R(reinterpret_cast<const Kvn16s*>(s), kStep, out, out + 1); });
  add("SubSAD8x8", [=] { return kvniSubSAD8x8_8u16s_C1R(s, kStep, r, kStep, diff, kStep, out); });
}

}  // namespace

int main(int argc, char** argv) {
  static Buffers buffers;
  register_all(buffers);
  return kvnbench::run(argc, argv);
}
