/* The public headers are plain C99: this file must compile with -std=c99 -pedantic -Werror. */
#include "kvnvc.h"
#include "kvncore.h"

#include <stddef.h>

/* Record layouts as C sees them (C99 has no _Static_assert). */
typedef char kvn_check_version_size[sizeof(KvnVersionRecord) == 48 ? 1 : -1];
typedef char kvn_check_version_target[offsetof(KvnVersionRecord, targetCode) == 16 ? 1 : -1];
typedef char kvn_check_version_name[offsetof(KvnVersionRecord, libraryName) == 24 ? 1 : -1];
typedef char kvn_check_version_date[offsetof(KvnVersionRecord, buildDate) == 40 ? 1 : -1];
typedef char kvn_check_size[sizeof(KvnSize) == 8 && offsetof(KvnSize, height) == 4 ? 1 : -1];
typedef char kvn_check_result[sizeof(KvnResult) == 4 ? 1 : -1];

int kvn_header_c99_probe(void);
int kvn_header_c99_probe(void) {
  const KvnVersionRecord* (*version)(void) = kvnvcGetLibVersion;
  KvnResult (*copy)(const Kvn8u*, int32_t, Kvn8u*, int32_t) = kvniCopy8x8_8u_C1R;
  void* (*alloc)(int32_t) = kvnMalloc;
  (void)version;
  (void)copy;
  (void)alloc;
  return KVN_STS_NULL_PTR;
}
