#include "platform/Memory.h"

#include <sys/mman.h>

#include <mutex>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace dunstrel::platform {

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);  // every arena, those of the scan's worker threads included
#endif
}

void PreferMemoryGivenBack() {
#if defined(__GLIBC__)
  static std::once_flag Once;
  std::call_once(Once, [] {
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_ARENA_MAX, 2);
  });
#endif
}

void* MapPages(size_t Bytes) {
  void* Pages = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return Pages == MAP_FAILED ? nullptr : Pages;
}

void UnmapPages(void* Pages, size_t Bytes) {
  if (Pages != nullptr) {
    munmap(Pages, Bytes);
  }
}

}  // namespace dunstrel::platform
