#include "common/Calendar.h"

#include <cmath>

namespace dunstrel {

namespace {

constexpr int64_t kDaysFrom1899To1970 = 25569;
constexpr double kMillisecondsPerDay = 86'400'000.0;

}  // namespace

int64_t DaysFromEpoch(int Year, int Month, int Day) {
  // Howard Hinnant's days_from_civil, shifted from 1970-01-01 to 1899-12-30.
  const int64_t Y = Year - (Month <= 2 ? 1 : 0);
  const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  const int64_t YearOfEra = Y - Era * 400;
  const int64_t DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const int64_t DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + DayOfEra - 719468 + kDaysFrom1899To1970;
}

double EncodeDateTime(const TDateTimeFields& Fields) {
  const double Days = static_cast<double>(DaysFromEpoch(Fields.Year, Fields.Month, Fields.Day));
  const double Time = (((Fields.Hour * 60.0 + Fields.Minute) * 60.0 + Fields.Second) * 1000.0 +
                       Fields.Millisecond) /
                      kMillisecondsPerDay;
  return Days >= 0 ? Days + Time : Days - Time;
}

TDateTimeFields DecodeDateTime(double Value) {
  int64_t Days = static_cast<int64_t>(std::trunc(Value));
  auto Milliseconds = static_cast<int64_t>(
      std::llround(std::fabs(Value - static_cast<double>(Days)) * kMillisecondsPerDay));
  if (Milliseconds >= static_cast<int64_t>(kMillisecondsPerDay)) {
    Milliseconds = 0;
    Days += Value >= 0 ? 1 : -1;
  }
  // Hinnant's civil_from_days.
  const int64_t Z = Days - kDaysFrom1899To1970 + 719468;
  const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const int64_t DayOfEra = Z - Era * 146097;
  const int64_t YearOfEra =
      (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const int64_t DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const int64_t MonthIndex = (5 * DayOfYear + 2) / 153;
  TDateTimeFields Fields;
  Fields.Day = static_cast<int>(DayOfYear - (153 * MonthIndex + 2) / 5 + 1);
  Fields.Month = static_cast<int>(MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9);
  Fields.Year = static_cast<int>(YearOfEra + Era * 400 + (Fields.Month <= 2 ? 1 : 0));
  Fields.Hour = static_cast<int>(Milliseconds / 3'600'000);
  Fields.Minute = static_cast<int>(Milliseconds / 60'000 % 60);
  Fields.Second = static_cast<int>(Milliseconds / 1000 % 60);
  Fields.Millisecond = static_cast<int>(Milliseconds % 1000);
  return Fields;
}

}  // namespace dunstrel
