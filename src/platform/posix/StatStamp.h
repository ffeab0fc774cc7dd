#pragma once

#include <sys/stat.h>

#include <cstdint>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

// The stamp of a Unix time; 0 (no stamp) for a time before 1601 or one too far ahead for a
// stamp, which a file system can hold (the year 5,000,000, say).
inline TFileStamp StampOfTime(int64_t UnixSeconds, int64_t Nanoseconds) {
  constexpr int64_t kLastSecond = INT64_MAX / kStampTicksPerSecond - kSecondsFrom1601To1970 - 1;
  if (UnixSeconds < -kSecondsFrom1601To1970 || UnixSeconds > kLastSecond) {
    return 0;
  }
  return static_cast<TFileStamp>(UnixSeconds + kSecondsFrom1601To1970) * kStampTicksPerSecond +
         static_cast<TFileStamp>(Nanoseconds / 100);
}

inline TFileStamp StampOfStat(const struct stat& Info) {
  return StampOfTime(Info.st_mtim.tv_sec, Info.st_mtim.tv_nsec);
}

}  // namespace dunstrel::platform
