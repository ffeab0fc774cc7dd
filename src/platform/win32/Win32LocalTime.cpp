#include <windows.h>

#include "platform/LocalTime.h"

namespace dunstrel::platform {

std::optional<TCalendarFields> StampToLocalFields(TFileStamp Stamp) {
  FILETIME Utc{static_cast<DWORD>(Stamp & 0xFFFFFFFFu), static_cast<DWORD>(Stamp >> 32)};
  SYSTEMTIME UtcFields{};
  SYSTEMTIME Local{};
  // The offset in force at the stamp's own date, daylight saving included.
  if (!FileTimeToSystemTime(&Utc, &UtcFields) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &UtcFields, &Local)) {
    return std::nullopt;
  }
  return TCalendarFields{Local.wYear,   Local.wMonth,  Local.wDay,         Local.wHour,
                         Local.wMinute, Local.wSecond, Local.wMilliseconds};
}

}  // namespace dunstrel::platform
