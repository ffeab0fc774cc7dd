#pragma once

#include <sys/stat.h>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

// The last-write stamp of a stat record; 0 for a time before 1601.
inline TFileStamp StampOfStat(const struct stat& Info) {
  const int64_t Seconds = static_cast<int64_t>(Info.st_mtim.tv_sec) + kSecondsFrom1601To1970;
  if (Seconds < 0) {
    return 0;
  }
  return static_cast<TFileStamp>(Seconds) * kStampTicksPerSecond +
         static_cast<TFileStamp>(Info.st_mtim.tv_nsec / 100);
}

}  // namespace dunstrel::platform
