#pragma once

namespace kvntest {
// The next n allocations succeed, later ones fail; n < 0 restores normal service.
void fail_allocations_after(int n);
// Blocks obtained from kvnMalloc and not yet released.
int live_allocations();
}  // namespace kvntest
