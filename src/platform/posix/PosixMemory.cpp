#include "platform/Memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace dunstrel::platform {

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace dunstrel::platform
