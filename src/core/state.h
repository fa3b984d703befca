// The state-object pattern: GetSize / Init / InitAlloc / Free.
//
// A state that later calls check begins with a 32-bit identification word
// written by its Init; every user checks it (KVN_STS_CONTEXT_MISMATCH) before
// touching the state. InitAlloc allocates through kvncore, runs the same Init
// and releases the block again when Init does not succeed. Free checks the word,
// releases the blocks the state owns and then the state.
#pragma once

#include <cstdint>
#include <cstring>

#include "kvncore.h"

namespace kvn {

// Identification words: four characters, distinct for every kind of state.
constexpr uint32_t state_id(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

inline void state_stamp(void* state, uint32_t id) { std::memcpy(state, &id, sizeof id); }

inline bool state_has_id(const void* state, uint32_t id) {
  uint32_t word;
  std::memcpy(&word, state, sizeof word);
  return word == id;
}

// Allocates size bytes and runs init(block) on them. On success stores the
// block through ppState and returns KVN_STS_OK; otherwise releases the block
// and returns init's status, or allocFailure when no memory could be had (also
// for a size below 1, which is never passed to kvnMalloc). Any non-zero status
// of init, warnings included, means the state was not built.
template <class Init>
KvnResult state_init_alloc(void** ppState, int32_t size, KvnResult allocFailure, Init&& init) {
  void* block = size < 1 ? nullptr : kvnMalloc(size);
  if (!block) return allocFailure;
  const KvnResult status = init(block);
  if (status != KVN_STS_OK) {
    kvnFree(block);
    return status;
  }
  *ppState = block;
  return KVN_STS_OK;
}

// Checks the identification word, runs releaseOwned(state) for the blocks the
// state owns, then releases the state.
template <class ReleaseOwned>
KvnResult state_free(void* state, uint32_t id, ReleaseOwned&& releaseOwned) {
  if (!state) return KVN_STS_NULL_PTR;
  if (!state_has_id(state, id)) return KVN_STS_CONTEXT_MISMATCH;
  releaseOwned(state);
  state_stamp(state, 0);  // a second Free of the same pointer is caught while the block is intact
  kvnFree(state);
  return KVN_STS_OK;
}

inline KvnResult state_free(void* state, uint32_t id) {
  return state_free(state, id, [](void*) {});
}

}  // namespace kvn
