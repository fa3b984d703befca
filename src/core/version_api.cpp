#include <cstddef>

#include "entry.h"

namespace {

const KvnVersionRecord kVersion = {
    7,      // versionMajor
    1,      // versionMinor
    1,      // versionUpdate
    37466,  // revision
    {'m', '7', '\0', '\0'},
    "kvnVC SSE3 (m7)",
    "7.1.1 (r37466)",
    "Sep 24 2012",
};

// The record is part of the binary interface: callers read it by offset.
static_assert(sizeof(KvnVersionRecord) == 48);
static_assert(offsetof(KvnVersionRecord, versionMajor) == 0);
static_assert(offsetof(KvnVersionRecord, versionMinor) == 4);
static_assert(offsetof(KvnVersionRecord, versionUpdate) == 8);
static_assert(offsetof(KvnVersionRecord, revision) == 12);
static_assert(offsetof(KvnVersionRecord, targetCode) == 16);
static_assert(offsetof(KvnVersionRecord, libraryName) == 24);
static_assert(offsetof(KvnVersionRecord, versionText) == 32);
static_assert(offsetof(KvnVersionRecord, buildDate) == 40);
static_assert(sizeof(KvnSize) == 8 && offsetof(KvnSize, height) == 4);

}  // namespace

KVN_ENTRY(kvnvcGetLibVersion)(void) { return &kVersion; }
