// The deinterlacing and 4:2:2 to 4:2:0 exported calls, whole: a 720 x 288
// field, a 720 x 576 frame at every rotation from both source forms.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "kvnvc.h"
#include "support/bench_api.h"
#include "support/bench_support.h"

namespace {

constexpr int kW = 720, kH = 576, kFieldH = 288;

struct Frames {
  std::vector<Kvn8u> src = std::vector<Kvn8u>(size_t(2 * kW * (kH + 2)));
  std::vector<Kvn8u> dst = std::vector<Kvn8u>(size_t(2 * kW * kH));
  Frames() {
    uint32_t s = 12345;
    for (auto& v : src) v = Kvn8u((s = s * 1103515245u + 12345u) >> 24);
  }
};

void register_all(Frames& f) {
  kvnbench::add_api("DeinterlaceEdgeDetect/720x288", [&f] {
    return kvniDeinterlaceEdgeDetect_8u_C1R(f.src.data(), kW, f.dst.data(), kW, {kW, kFieldH}, 1, 1);
  });
  const char* const rot[4] = {"/rot0", "/rot1", "/rot2", "/rot3"};
  for (int r = 0; r < 4; ++r) {
    const bool q = r == 1 || r == 2;
    const int dw = q ? kH : kW, dh = q ? kW : kH;
    Kvn8u* y = f.dst.data();
    const KvnPlaneRecord8u d = {y, y + dw * dh, y + dw * dh + dw * dh / 4};
    const Kvn32u steps[3] = {Kvn32u(dw), Kvn32u(dw / 2), Kvn32u(dw / 2)};
    Kvn8u* s = f.src.data();
    const KvnPlaneRecord8u p3 = {s, s + kW * kH, s + kW * kH + kW * kH / 2};
    const Kvn32u srcSteps[3] = {kW, kW / 2, kW / 2};
    kvnbench::add_api(std::string("CbYCr422ToYCbCr420_Rotate_C2P3/720x576") + rot[r], [=] {
      return kvniCbYCr422ToYCbCr420_Rotate_8u_C2P3R(s, 2 * kW, {kW, kH}, &d, steps, r);
    });
    kvnbench::add_api(std::string("CbYCr422ToYCbCr420_Rotate_P3/720x576") + rot[r], [=] {
      return kvniCbYCr422ToYCbCr420_Rotate_8u_P3R(&p3, srcSteps, {kW, kH}, &d, steps, r);
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  static Frames frames;
  register_all(frames);
  return kvnbench::run(argc, argv);
}
