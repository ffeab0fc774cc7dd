#pragma once

#include <cstdint>

namespace dunstrel::bench {

// Bytes handed out by operator new and not yet returned, counted by the allocator's usable
// size. Linking HeapCounter.cpp into a program replaces the global operator new and delete.
int64_t LiveHeapBytes();
// The most that was live at any moment since the last ResetPeakHeapBytes.
int64_t PeakHeapBytes();
void ResetPeakHeapBytes();

}  // namespace dunstrel::bench
