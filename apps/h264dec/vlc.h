// CAVLC code tables in the library's multi-level lookup format, as the
// residual decoders take them (built by the kvn_h264_vlc support library).
#pragma once

#include <cstdint>
#include <memory>

namespace kvnvlc {
class CavlcTables;
}

namespace h264dec {

struct VlcTables {
  VlcTables();
  ~VlcTables();
  const int32_t* const* coeffToken = nullptr;  // nC 0..1, 2..3, 4..7
  const int32_t* coeffTokenDc420 = nullptr;    // nC -1
  const int32_t* coeffTokenDc422 = nullptr;    // nC -2
  const int32_t* const* totalZeros = nullptr;  // indexed by TotalCoeff (1..15)
  const int32_t* const* totalZerosDc420 = nullptr;
  const int32_t* const* totalZerosDc422 = nullptr;
  const int32_t* const* runBefore = nullptr;  // indexed by zerosLeft (1..15)
  bool ok = false;
  std::unique_ptr<kvnvlc::CavlcTables> store;
};

// Builds the tables once; returns false when they cannot be built.
bool build_vlc_tables(VlcTables& t);

}  // namespace h264dec
