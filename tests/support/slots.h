// Every kernel table as a flat sequence of function-pointer slots: for each
// family its name, the scalar table, the table of each level and the names of
// its members, so that tests and benchmarks can walk every kernel of every
// level without listing them. (No test framework here: benchmarks use it too.)
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/dispatch.h"

namespace kvntest {

// Any kernel, as stored in a slot; kernel pointers all have this size.
using AnyFn = void (*)();

// One member of a table: a kernel or an array of them (C arrays and
// std::arrays, outer extent first, 0 past the last).
struct Member {
  const char* name;
  std::size_t first, count;  // its slots
  int dims[3];
};

struct Family {
  const char* name;
  const void* scalar;              // the constant scalar table
  const void* (*table)(kvn::Isa);  // the table of a level
  std::size_t slots;
  const Member* members;
  std::size_t member_count;

  AnyFn slot(kvn::Isa isa, std::size_t i) const;
  AnyFn scalar_slot(std::size_t i) const;
  // "mc_b[3][17]".
  std::string slot_name(std::size_t i) const;
};

const std::vector<Family>& families();

}  // namespace kvntest
