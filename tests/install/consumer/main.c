/* A C program built against the installed library. */
#include <kvnvc.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  const KvnVersionRecord* v = kvnvcGetLibVersion();
  Kvn8u src[8 * 8], dst[8 * 8];
  Kvn8u* buf = (Kvn8u*)kvnMalloc(64);
  int i;
  for (i = 0; i < 64; ++i) src[i] = (Kvn8u)(i * 3);
  if (!buf || kvniCopy8x8_8u_C1R(src, 8, dst, 8) != KVN_STS_OK || memcmp(src, dst, 64) != 0) return 1;
  if (kvniCopy8x8_8u_C1R(NULL, 8, dst, 8) != KVN_STS_NULL_PTR) return 2;
  kvnFree(buf);
  printf("%s %s\n", v->libraryName, v->versionText);
  return v->versionMajor == 7 ? 0 : 3;
}
