#include "tests/ui/toolkit/win32/GuardedHeap.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace shadowpane::testing {
namespace {

// Guarded blocks are remembered for good: one freed after the scope ended
// must still become a trap rather than go to the C heap.
constexpr int kMaxGuardedBlocks = 2048;
struct GuardedBlock {
  void* base;
  std::size_t bytes;
};
GuardedBlock guardedBlocks[kMaxGuardedBlocks];
int guardedCount = 0;
int freedCount = 0;
bool armed = false;

void* AllocateGuarded(std::size_t size) {
  if (guardedCount == kMaxGuardedBlocks) return nullptr;
  const std::size_t bytes = size == 0 ? 1 : size;
  void* base = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base != nullptr) guardedBlocks[guardedCount++] = {base, bytes};
  return base;
}

// Decommits a guarded block, keeping its addresses reserved so that no
// later allocation lands there. Answers false for a block of the C heap.
bool FreeGuarded(void* block) {
  for (int i = 0; i < guardedCount; ++i) {
    if (guardedBlocks[i].base == block) {
      VirtualFree(block, guardedBlocks[i].bytes, MEM_DECOMMIT);
      ++freedCount;
      return true;
    }
  }
  return false;
}

// A trap that went off ends the process at once with a clear message,
// rather than waiting for a debugger to attach.
LONG WINAPI ReportTrap(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  std::fprintf(stderr, "GuardedHeap: exception 0x%08lx at %p (a freed block touched?)\n",
               static_cast<unsigned long>(record->ExceptionCode), record->ExceptionAddress);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

void* Allocate(std::size_t size) {
  if (armed) {
    if (void* block = AllocateGuarded(size)) return block;
  }
  return std::malloc(size == 0 ? 1 : size);
}

void Free(void* block) {
  if (block == nullptr || FreeGuarded(block)) return;
  std::free(block);
}

}  // namespace

GuardedHeap::GuardedHeap() {
  SetUnhandledExceptionFilter(ReportTrap);
  armed = true;
}
GuardedHeap::~GuardedHeap() { armed = false; }

int FreedGuardedBlocks() { return freedCount; }

}  // namespace shadowpane::testing

void* operator new(std::size_t size) {
  void* block = shadowpane::testing::Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return shadowpane::testing::Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return shadowpane::testing::Allocate(size);
}
void operator delete(void* block) noexcept { shadowpane::testing::Free(block); }
void operator delete[](void* block) noexcept { shadowpane::testing::Free(block); }
void operator delete(void* block, std::size_t) noexcept { shadowpane::testing::Free(block); }
void operator delete[](void* block, std::size_t) noexcept { shadowpane::testing::Free(block); }
