#include "vlc.h"

#include "h264_vlc_tables.h"

namespace h264dec {

VlcTables::VlcTables() = default;
VlcTables::~VlcTables() = default;

bool build_vlc_tables(VlcTables& t) {
  t.store = std::make_unique<kvnvlc::CavlcTables>();
  const kvnvlc::CavlcTables& s = *t.store;
  t.coeffToken = s.coeff_token();
  t.coeffTokenDc420 = s.coeff_token_dc2x2();
  t.coeffTokenDc422 = s.coeff_token_dc2x4();
  t.totalZeros = s.total_zeros();
  t.totalZerosDc420 = s.total_zeros_dc2x2();
  t.totalZerosDc422 = s.total_zeros_dc2x4();
  t.runBefore = s.run_before();
  t.ok = t.coeffToken && t.coeffTokenDc420 && t.coeffTokenDc422 && t.totalZeros && t.runBefore;
  return t.ok;
}

}  // namespace h264dec
