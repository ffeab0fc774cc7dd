#include "HeapCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace dunstrel::bench {

namespace {

std::atomic<int64_t> Live{0};
std::atomic<int64_t> Peak{0};

void* Counted(void* Block) {
  if (Block != nullptr) {
    const auto Bytes = static_cast<int64_t>(malloc_usable_size(Block));
    const int64_t Now = Live.fetch_add(Bytes) + Bytes;
    int64_t Highest = Peak.load();
    while (Now > Highest && !Peak.compare_exchange_weak(Highest, Now)) {
    }
  }
  return Block;
}

void* Allocate(std::size_t Size) {
  void* Block = Counted(std::malloc(Size == 0 ? 1 : Size));
  if (Block == nullptr) {
    throw std::bad_alloc();
  }
  return Block;
}

void* AllocateAligned(std::size_t Size, std::align_val_t Alignment) {
  const auto Align = static_cast<std::size_t>(Alignment);
  void* Block = Counted(std::aligned_alloc(Align, (Size + Align - 1) / Align * Align));
  if (Block == nullptr) {
    throw std::bad_alloc();
  }
  return Block;
}

void Release(void* Block) {
  if (Block != nullptr) {
    Live.fetch_sub(static_cast<int64_t>(malloc_usable_size(Block)));
    std::free(Block);
  }
}

}  // namespace

int64_t LiveHeapBytes() {
  return Live.load();
}
int64_t PeakHeapBytes() {
  return Peak.load();
}
void ResetPeakHeapBytes() {
  Peak.store(Live.load());
}

}  // namespace dunstrel::bench

using dunstrel::bench::Allocate;
using dunstrel::bench::AllocateAligned;
using dunstrel::bench::Release;

void* operator new(std::size_t Size) {
  return Allocate(Size);
}
void* operator new[](std::size_t Size) {
  return Allocate(Size);
}
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t Size, std::align_val_t Alignment) {
  return AllocateAligned(Size, Alignment);
}
void* operator new[](std::size_t Size, std::align_val_t Alignment) {
  return AllocateAligned(Size, Alignment);
}
void operator delete(void* Block) noexcept {
  Release(Block);
}
void operator delete[](void* Block) noexcept {
  Release(Block);
}
void operator delete(void* Block, std::size_t) noexcept {
  Release(Block);
}
void operator delete[](void* Block, std::size_t) noexcept {
  Release(Block);
}
void operator delete(void* Block, std::align_val_t) noexcept {
  Release(Block);
}
void operator delete[](void* Block, std::align_val_t) noexcept {
  Release(Block);
}
void operator delete(void* Block, std::size_t, std::align_val_t) noexcept {
  Release(Block);
}
void operator delete[](void* Block, std::size_t, std::align_val_t) noexcept {
  Release(Block);
}
