// A heap check for the tests of code that must not touch memory it has
// freed. Linked into a test executable, it replaces the global operator new
// and delete; while a GuardedHeap lives, every allocation gets pages of its
// own, and deleting such a block decommits its pages, so a later read or
// write of it stops the process with an access violation instead of passing
// unnoticed. Outside that scope allocations use the C heap as usual.
#pragma once

namespace shadowpane::testing {

class GuardedHeap {
 public:
  GuardedHeap();
  ~GuardedHeap();
  GuardedHeap(const GuardedHeap&) = delete;
  GuardedHeap& operator=(const GuardedHeap&) = delete;
};

// How many guarded blocks have been freed so far (each one is a trap).
int FreedGuardedBlocks();

}  // namespace shadowpane::testing
