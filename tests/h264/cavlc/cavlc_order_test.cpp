// The coeff_token order the coefficient-range decoder keeps as data equals
// the order of the codewords of H.264 Table 9-5: shorter first, equal lengths
// by decreasing value.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "h264_cavlc_codes.h"
#include "tables/h264_cavlc_tables.h"

namespace {

TEST(CavlcTables, CoeffTokenOrderFollowsTheCodewords) {
  for (int column = 0; column < 3; ++column) {
    struct Entry {
      kvnvlc::VlcCode code;
      int pair;
    };
    std::vector<Entry> entries;
    for (int tc = 0; tc <= 16; ++tc)
      for (int t1 = 0; t1 < 4; ++t1) {
        const kvnvlc::VlcCode c = kvnvlc::vlc_code(kvnvlc::kCoeffToken4x4[column][tc][t1]);
        if (c.len) entries.push_back({c, tc * 4 + t1});
      }
    ASSERT_EQ(entries.size(), 62u);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return a.code.len != b.code.len ? a.code.len < b.code.len : a.code.bits > b.code.bits;
    });
    const kvn::CoeffTokenOrder& o = kvn::kCoeffTokenOrder[column];
    for (int i = 0; i < 62; ++i) {
      EXPECT_EQ(o.pair[i], entries[std::size_t(i)].pair) << "column " << column << " rank " << i;
      EXPECT_EQ(o.rank[o.pair[i]], i);
    }
    for (int p = 0; p < 68; ++p) {
      if (std::none_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.pair == p; })) {
        EXPECT_EQ(o.rank[p], 0xff) << "column " << column << " pair " << p;
      }
    }
  }
}

}  // namespace
