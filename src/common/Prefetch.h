#pragma once

namespace dunstrel {

// Asks for the memory at Address before it is read. The maps walk scan-tree objects in their
// own order (the flat map's by size, a folder's files in sorted order), not in the order they
// lie in memory, and would otherwise wait on each one in turn.
inline void Prefetch(const void* Address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(Address);
#else
  (void)Address;
#endif
}

// How many objects ahead of the one being read to ask for.
inline constexpr size_t kPrefetchAhead = 16;

}  // namespace dunstrel
