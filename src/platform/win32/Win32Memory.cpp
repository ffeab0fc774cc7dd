#include <windows.h>

#include "platform/Memory.h"

namespace dunstrel::platform {

void ReleaseFreedMemory() {
  HeapCompact(GetProcessHeap(), 0);
}

void PreferMemoryGivenBack() {
  // The process heap serves large blocks from the system already, and is shared by all threads.
}

void* MapPages(size_t Bytes) {
  return VirtualAlloc(nullptr, Bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void UnmapPages(void* Pages, size_t Bytes) {
  (void)Bytes;
  if (Pages != nullptr) {
    VirtualFree(Pages, 0, MEM_RELEASE);
  }
}

}  // namespace dunstrel::platform
