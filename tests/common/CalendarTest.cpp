#include <gtest/gtest.h>

#include "common/Calendar.h"

namespace dunstrel {
namespace {

TEST(CalendarTest, EncodesAndDecodesLocalDateTimes) {
  struct TCase {
    TDateTimeFields Fields;
    double Value;
  } Cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // before the epoch day the time still runs forward
      {{1900, 1, 1, 12, 0, 0, 0}, 2.5},
      {{2024, 2, 29, 0, 0, 0, 0}, 45351.0},
      {{2026, 1, 14, 0, 4, 41, 0}, 46036.0 + (4 * 60 + 41) / 86400.0},
      {{1601, 1, 1, 0, 0, 0, 0}, -109205.0},
  };
  for (const TCase& Case : Cases) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(Case.Fields), Case.Value) << Case.Value;
    const TDateTimeFields Back = DecodeDateTime(Case.Value);
    EXPECT_EQ(Back.Year, Case.Fields.Year);
    EXPECT_EQ(Back.Month, Case.Fields.Month);
    EXPECT_EQ(Back.Day, Case.Fields.Day);
    EXPECT_EQ(Back.Hour, Case.Fields.Hour);
    EXPECT_EQ(Back.Minute, Case.Fields.Minute);
    EXPECT_EQ(Back.Second, Case.Fields.Second);
  }
  // A time a hair before midnight rounds to the next day, not to 24:00.
  const TDateTimeFields Midnight = DecodeDateTime(45351.0 - 1e-10);
  EXPECT_EQ(Midnight.Day, 29);
  EXPECT_EQ(Midnight.Hour, 0);
}

}  // namespace
}  // namespace dunstrel
