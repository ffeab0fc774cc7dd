#pragma once

#include <cstddef>

namespace dunstrel::platform {

// Hands memory the program has freed back to the system where the allocator keeps it for
// reuse: after a scan's results are built or released, a large scan would otherwise leave its
// peak behind for the rest of the session.
void ReleaseFreedMemory();

// Makes the allocator take every large block (256 KB and more) straight from the system and give
// it back when freed, instead of raising that bound after a large block was freed, as it does by
// default: a scan's large arrays would then fill the heap with holes that outlive the scan. Once
// per process; later calls do nothing.
void KeepLargeBlocksMapped();

// Pages taken straight from the system, zero-filled and aligned to a page, and given back to it
// whole when unmapped: large stores that live as long as a scan use them so that freeing the
// scan returns their memory at once, whatever the allocator keeps. Null when the system refuses.
void* MapPages(size_t Bytes);
// Bytes as passed to MapPages.
void UnmapPages(void* Pages, size_t Bytes);

}  // namespace dunstrel::platform
