#pragma once

namespace dunstrel::platform {

// Hands memory the program has freed back to the system where the allocator keeps it for
// reuse: after a scan's results are built or released, a large scan would otherwise leave its
// peak behind for the rest of the session.
void ReleaseFreedMemory();

}  // namespace dunstrel::platform
