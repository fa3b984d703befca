#include <gtest/gtest.h>

#include <cstring>

#include "kvnvc.h"

namespace {

TEST(Version, RecordHasTheLibrarysValues) {
  const KvnVersionRecord* v = kvnvcGetLibVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v, kvnvcGetLibVersion());
  EXPECT_EQ(v->versionMajor, 7);
  EXPECT_EQ(v->versionMinor, 1);
  EXPECT_EQ(v->versionUpdate, 1);
  EXPECT_EQ(v->revision, 37466);
  EXPECT_EQ(std::memcmp(v->targetCode, "m7\0\0", 4), 0);
  EXPECT_STREQ(v->libraryName, "kvnVC SSE3 (m7)");
  EXPECT_STREQ(v->versionText, "7.1.1 (r37466)");
  EXPECT_STREQ(v->buildDate, "Sep 24 2012");
}

TEST(Version, TextRepeatsTheNumbers) {
  const KvnVersionRecord* v = kvnvcGetLibVersion();
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d (r%d)", v->versionMajor, v->versionMinor, v->versionUpdate, v->revision);
  EXPECT_STREQ(v->versionText, text);
}

TEST(Status, WarningsArePositiveErrorsNegative) {
  for (KvnResult w : {KVN_STS_WRN_NOTHING_DONE, KVN_STS_WRN_MISALIGNED, KVN_STS_WRN_SUBSTITUTE, KVN_STS_WRN_ODD_SIZE})
    EXPECT_GT(w, 0);
  EXPECT_EQ(KVN_STS_NULL_PTR, -8);
  EXPECT_EQ(KVN_STS_OUT_OF_RANGE, -11);
  EXPECT_EQ(KVN_STS_VLC_CODE_ERR, -74);
  EXPECT_EQ(KVN_STS_OUT_OF_BUFFER, -223);
}

}  // namespace
