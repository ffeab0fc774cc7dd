#pragma once

#include <cstddef>

namespace dunstrel::platform {

// Hands memory the program has freed back to the system where the allocator keeps it for
// reuse: after a scan's results are built or released, a large scan would otherwise leave its
// peak behind for the rest of the session.
void ReleaseFreedMemory();

// Sets the allocator up to give memory back after large scans: every large block (256 KB and
// more) is taken straight from the system and returned when freed, instead of the bound rising
// after a large block was freed as it does by default; and threads share two heaps instead of
// one each, whose free space would otherwise stay with each of a scan's threads. Once per
// process, before the threads start; later calls do nothing.
void PreferMemoryGivenBack();

// Pages taken straight from the system, zero-filled and aligned to a page, and given back to it
// whole when unmapped: large stores that live as long as a scan use them so that freeing the
// scan returns their memory at once, whatever the allocator keeps. Null when the system refuses.
void* MapPages(size_t Bytes);
// Bytes as passed to MapPages.
void UnmapPages(void* Pages, size_t Bytes);

}  // namespace dunstrel::platform
