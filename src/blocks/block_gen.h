// Table generators of every level (the scalar one included): each slot index of block.h mapped to
// the template arguments of its kernel. K is a level's set of kernels, as
// static constexpr variable templates of the kernel types:
//   copy_hp<W, H, Code, Round>, interp_avg<W, H, Code, Round>,
//   add8x8_hp<Code, Round>, mc<W, H, Dx, Code, Round>,
//   mc_b<W, H, Dx, CodeF, CodeB, Round>, mc_p2<H, Code, Round>,
//   mc_p2b<H, CodeF, CodeB, Round>
// (a level names only those it has).
#pragma once

#include "block.h"
#include "block_pred.h"

namespace kvn {
namespace gen {

template <class K, int W, int H>
struct CopyHp {
  template <std::size_t I>
  static constexpr CopyFn get() {
    return K::template copy_hp<W, H, I / 2, I % 2>;
  }
};
template <class K, int W, int H>
struct InterpAvg {
  template <std::size_t I>
  static constexpr CopyFn get() {
    return K::template interp_avg<W, H, I / 2, I % 2>;
  }
};
template <class K>
struct AddHp {
  template <std::size_t I>
  static constexpr AddHpFn get() {
    return K::template add8x8_hp<I / 2, I % 2>;
  }
};
template <class K, int W, int H, int Dx>
struct Mc {
  template <std::size_t I>
  static constexpr McFn get() {
    return K::template mc<W, H, Dx, kModeCode[I / 2], I % 2>;
  }
};
template <class K, int W, int H, int Dx>
struct McB {
  template <std::size_t I>
  static constexpr McBFn get() {
    return K::template mc_b<W, H, Dx, kModeCode[(I / 2) % 4], kModeCode[I / 8], I % 2>;
  }
};
template <class K, int H>
struct McP2 {
  template <std::size_t I>
  static constexpr McP2Fn get() {
    return K::template mc_p2<H, kModeCode[I / 2], I % 2>;
  }
};
template <class K, int H>
struct McP2B {
  template <std::size_t I>
  static constexpr McP2BFn get() {
    return K::template mc_p2b<H, kModeCode[(I / 2) % 4], kModeCode[I / 8], I % 2>;
  }
};

// The MC and MC B slots of the 16-wide sizes and the planar-chroma members.
template <class K>
constexpr void put_mc16(BlockKernels& k) {
  k.mc[kMc16x16] = make_table<Mc<K, 16, 16, 1>, 8>();
  k.mc[kMc16x8] = make_table<Mc<K, 16, 8, 1>, 8>();
  k.mc[kMc16x8UV] = make_table<Mc<K, 16, 8, 2>, 8>();
  k.mc[kMc16x4] = make_table<Mc<K, 16, 4, 2>, 8>();
  k.mc_b[kMc16x16] = make_table<McB<K, 16, 16, 1>, 32>();
  k.mc_b[kMc16x8] = make_table<McB<K, 16, 8, 1>, 32>();
  k.mc_b[kMc16x8UV] = make_table<McB<K, 16, 8, 2>, 32>();
  k.mc_b[kMc16x4] = make_table<McB<K, 16, 4, 2>, 32>();
  k.mc_p2[kP2_8x8] = make_table<McP2<K, 8>, 8>();
  k.mc_p2[kP2_8x4] = make_table<McP2<K, 4>, 8>();
  k.mc_p2b[kP2_8x8] = make_table<McP2B<K, 8>, 32>();
  k.mc_p2b[kP2_8x4] = make_table<McP2B<K, 4>, 32>();
}

// The MC and MC B slots of the 8-wide sizes.
template <class K>
constexpr void put_mc8(BlockKernels& k) {
  k.mc[kMc8x16] = make_table<Mc<K, 8, 16, 1>, 8>();
  k.mc[kMc8x8] = make_table<Mc<K, 8, 8, 1>, 8>();
  k.mc[kMc8x4] = make_table<Mc<K, 8, 4, 1>, 8>();
  k.mc_b[kMc8x16] = make_table<McB<K, 8, 16, 1>, 32>();
  k.mc_b[kMc8x8] = make_table<McB<K, 8, 8, 1>, 32>();
  k.mc_b[kMc8x4] = make_table<McB<K, 8, 4, 1>, 32>();
}

}  // namespace gen
}  // namespace kvn
