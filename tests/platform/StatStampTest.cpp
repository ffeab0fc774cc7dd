#include <gtest/gtest.h>

#include "platform/posix/StatStamp.h"

namespace dunstrel::platform {
namespace {

TEST(StatStampTest, TimesOutsideWhatAStampHoldsHaveNone) {
  constexpr int64_t kTicks = kStampTicksPerSecond;
  const struct {
    int64_t UnixSeconds;
    int64_t Nanoseconds;
    TFileStamp Stamp;
  } kCases[] = {
      {0, 0, static_cast<TFileStamp>(kSecondsFrom1601To1970 * kTicks)},
      {-kSecondsFrom1601To1970, 100, 1},  // 1601-01-01, the first stamp
      {-kSecondsFrom1601To1970 - 1, 0, 0},
      {157'000'000'000'000, 0, 0},  // about the year 5,000,000, which the file system may hold
      {INT64_MAX, 999'999'999, 0},
      {INT64_MIN, 0, 0},
  };
  for (const auto& Case : kCases) {
    EXPECT_EQ(StampOfTime(Case.UnixSeconds, Case.Nanoseconds), Case.Stamp) << Case.UnixSeconds;
  }
  // The last second a stamp can hold stays below 2^63.
  const int64_t Last = INT64_MAX / kTicks - kSecondsFrom1601To1970 - 1;
  EXPECT_GT(StampOfTime(Last, 999'999'999), 0u);
  EXPECT_LT(StampOfTime(Last, 999'999'999), TFileStamp{1} << 63);
  EXPECT_EQ(StampOfTime(Last + 1, 0), 0u);
}

}  // namespace
}  // namespace dunstrel::platform
