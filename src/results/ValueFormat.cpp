#include "results/ValueFormat.h"

#include <cstdint>
#include <cstdio>

#include "common/Calendar.h"
#include "localisation/translation.h"

namespace dunstrel {

std::string FormatSize(int64_t Bytes, const TFormatSettings& Settings) {
  const double Value = static_cast<double>(Bytes);
  if (Bytes < 1024) {
    return FormatText(Translate("%d B"), {Bytes}, Settings);
  }
  if (Bytes < 1048576) {
    return FormatText(Translate("%.1f KB"), {Value / 1024.0}, Settings);
  }
  if (Bytes < 1073741824) {
    return FormatText(Translate("%.1f MB"), {Value / 1048576.0}, Settings);
  }
  if (Bytes < 1099511627776) {
    return FormatText(Translate("%.2f GB"), {Value / 1073741824.0}, Settings);
  }
  return FormatText(Translate("%.2f TB"), {Value / 1099511627776.0}, Settings);
}

std::string FormatPercent(int64_t Part, int64_t Total, const TFormatSettings& Settings) {
  if (Total <= 0) {
    return "0.00%";
  }
  return FormatText("%.2f%%", {static_cast<double>(Part) / static_cast<double>(Total) * 100.0},
                    Settings);
}

std::string FormatDateTimeText(double Value, const TFormatSettings& Settings) {
  const TDateTimeFields F = DecodeDateTime(Value);
  char Date[32];
  std::snprintf(Date, sizeof(Date), "%04d-%02d-%02d %02d", F.Year, F.Month, F.Day, F.Hour);
  char Minutes[8];
  std::snprintf(Minutes, sizeof(Minutes), "%02d", F.Minute);
  return std::string(Date) + Settings.TimeSeparator + Minutes;
}

std::string FormatGrowth(const TGrowth& Growth, const TFormatSettings& Settings) {
  switch (Growth.Kind) {
    case TGrowthKind::Unchanged:
      return {};
    case TGrowthKind::New:
      return Translate("new");
    case TGrowthKind::Grown:
      return "+" + FormatSize(Growth.Bytes, Settings);
    case TGrowthKind::Shrunk:
      // The least 64-bit number has no opposite: such a change is held at the largest.
      return "-" + FormatSize(Growth.Bytes == INT64_MIN ? INT64_MAX : -Growth.Bytes, Settings);
  }
  return {};
}

std::string FormatRemoved() {
  return Translate("removed");
}

}  // namespace dunstrel
