#include <time.h>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

std::optional<TCalendarFields> StampToLocalFields(TFileStamp Stamp) {
  const auto Ticks = static_cast<int64_t>(Stamp / kStampTicksPerSecond);
  const auto SubSecond = static_cast<int64_t>(Stamp % kStampTicksPerSecond);
  const time_t UnixSeconds = static_cast<time_t>(Ticks - kSecondsFrom1601To1970);
  tm Local{};
  if (localtime_r(&UnixSeconds, &Local) == nullptr) {
    return std::nullopt;
  }
  TCalendarFields Fields;
  Fields.Year = Local.tm_year + 1900;
  Fields.Month = Local.tm_mon + 1;
  Fields.Day = Local.tm_mday;
  Fields.Hour = Local.tm_hour;
  Fields.Minute = Local.tm_min;
  // A leap second is shown as the last second of its minute.
  Fields.Second = Local.tm_sec > 59 ? 59 : Local.tm_sec;
  Fields.Millisecond = static_cast<int>(SubSecond / 10'000);
  return Fields;
}

}  // namespace dunstrel::platform
