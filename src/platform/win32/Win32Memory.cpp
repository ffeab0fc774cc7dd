#include <windows.h>

#include "platform/Memory.h"

namespace dunstrel::platform {

void ReleaseFreedMemory() {
  HeapCompact(GetProcessHeap(), 0);
}

}  // namespace dunstrel::platform
