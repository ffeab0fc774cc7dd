#pragma once

#include <cstdint>
#include <optional>

namespace dunstrel::platform {

// 100-nanosecond intervals since 1601-01-01 UTC; 0 means no stamp.
using TFileStamp = uint64_t;

inline constexpr int64_t kStampTicksPerSecond = 10'000'000;
inline constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

struct TCalendarFields {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// The local calendar time of a UTC stamp, using the time-zone offset in force at the stamp's own
// date. Empty when the platform cannot convert it.
std::optional<TCalendarFields> StampToLocalFields(TFileStamp Stamp);

}  // namespace dunstrel::platform
