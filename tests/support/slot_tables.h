// Building blocks of the slot enumeration (slots.cpp): a table's members
// listed by name, checked at compile time to tile the table with kernel
// pointers only.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

#include "slots.h"

namespace kvntest::slots_detail {

// The extents of a member type, down to a kernel pointer (anything else fails
// to compile).
template <class T>
struct Shape {
  static_assert(std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>> && sizeof(T) == sizeof(AnyFn),
                "kernel tables hold function pointers only");
  static constexpr int rank = 0;
  static constexpr void dims(int*) {}
};
template <class T, std::size_t N>
struct Shape<T[N]> {
  static constexpr int rank = 1 + Shape<T>::rank;
  static constexpr void dims(int* d) { *d = int(N), Shape<T>::dims(d + 1); }
};
template <class T, std::size_t N>
struct Shape<std::array<T, N>> : Shape<T[N]> {};

template <class M>
constexpr Member member(const char* name, std::size_t offset) {
  static_assert(Shape<M>::rank <= 3);
  constexpr std::size_t bytes = sizeof(M), slot = sizeof(AnyFn);
  Member m{name, offset % slot ? ~std::size_t(0) : offset / slot, bytes / slot, {}};
  Shape<M>::dims(m.dims);
  return m;
}

// The members follow each other from the start to the end of the table.
template <std::size_t N>
constexpr bool tiles(const Member (&members)[N], std::size_t tableSize) {
  std::size_t next = 0;
  for (const Member& m : members) {
    if (m.first != next) return false;
    next += m.count;
  }
  return tableSize % sizeof(AnyFn) == 0 && next * sizeof(AnyFn) == tableSize;
}

template <class T, const T& (*Get)(kvn::Isa)>
const void* table_of(kvn::Isa isa) {
  return &Get(isa);
}

template <class T, const T& (*Get)(kvn::Isa), std::size_t N>
Family family(const char* name, const T& scalar, const Member (&members)[N]) {
  return {name, &scalar, &table_of<T, Get>, sizeof(T) / sizeof(AnyFn), members, N};
}

}  // namespace kvntest::slots_detail

// KVN_TABLE(ns, Table, M(member)...): ns::kMembers, the members of
// kvn::Table in order, which must cover the whole table.
#define M(m) ::kvntest::slots_detail::member<decltype(T::m)>(#m, offsetof(T, m))
#define KVN_TABLE(ns, Table, ...)                                            \
  namespace ns {                                                             \
  using T = kvn::Table;                                                      \
  constexpr ::kvntest::Member kMembers[] = {__VA_ARGS__};                    \
  static_assert(::kvntest::slots_detail::tiles(kMembers, sizeof(T)),         \
                "the members of " #Table " listed here, each in its place"); \
  }
