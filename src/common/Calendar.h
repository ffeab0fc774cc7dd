#pragma once

#include <cstdint>

namespace dunstrel {

// Local date-time values count days since 1899-12-30 with the time of day as the fraction.
// Before that day the whole part counts backwards and the fraction still counts forwards
// (-1.25 is 1899-12-29 06:00).

struct TDateTimeFields {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

// Days from 1899-12-30 to a date of the proleptic Gregorian calendar.
int64_t DaysFromEpoch(int Year, int Month, int Day);

double EncodeDateTime(const TDateTimeFields& Fields);

// The calendar fields of a value, the time rounded to the millisecond.
TDateTimeFields DecodeDateTime(double Value);

}  // namespace dunstrel
