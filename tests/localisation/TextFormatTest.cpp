#include <gtest/gtest.h>

#include "localisation/TextFormat.h"

namespace dunstrel {
namespace {

TEST(TextFormatTest, FixedDecimalsRoundHalvesAwayFromZero) {
  struct TCase {
    double Value;
    int Decimals;
    const char* Expected;
  } Cases[] = {
      {1.25, 1, "1.3"},
      {1.35, 1, "1.4"},    // 1.350000000000000088...
      {0.05, 1, "0.1"},    // 0.0500000000000000028: the 18-digit expansion decides
      {2.675, 2, "2.67"},  // 2.67499999999999982
      {-1.25, 1, "-1.3"},
      {-0.04, 1, "0.0"},
      {1023.9990234375, 1, "1024.0"},
      {99.995, 2, "100.00"},  // 99.9949999999999974
      {99.9951, 2, "100.00"},
      {0.0, 2, "0.00"},
      {8388608.0, 2, "8388608.00"},
      {123456789012345678.0, 1, "123456789012345680.0"},
      {5e-20, 2, "0.00"},
      {7.0, 0, "7"},
      {0.5, 0, "1"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(FormatFixed(Case.Value, Case.Decimals, "."), Case.Expected) << Case.Value;
  }
  EXPECT_EQ(FormatFixed(1.25, 1, ","), "1,3");
}

TEST(TextFormatTest, FillsPlaceholdersAndSurvivesBadFormats) {
  const TFormatSettings Comma{",", "."};
  struct TCase {
    const char* Format;
    std::initializer_list<TFormatArg> Args;
    const char* Expected;
  } Cases[] = {
      {"Done. Total files: %d   Total size: %s",
       {1234, "5.0 KB"},
       "Done. Total files: 1234   Total size: 5.0 KB"},
      {"%.1f KB", {1.25}, "1,3 KB"},
      {"%.2f%%", {12.5}, "12,50%"},
      {"[%5d|%-4s]", {42, "ab"}, "[   42|ab  ]"},
      {"%d of %s", {5}, "5 of %s"},  // too few arguments
      {"%s", {7}, "7"},              // another type than the placeholder's
      {"%d", {2.5}, "3"},
      {"%x and 100%", {1}, "%x and 100%"},  // not a placeholder of ours
      {"%", {}, "%"},
      {"%99999999999d", {1}, "%99999999999d"},  // widths are capped, not trusted
  };
  for (const TCase& Case : Cases) {
    const std::string Result = FormatText(Case.Format, Case.Args, Comma);
    if (std::string_view(Case.Format) == "%99999999999d") {
      EXPECT_LE(Result.size(), 1000u);
    } else {
      EXPECT_EQ(Result, Case.Expected) << Case.Format;
    }
  }
}

}  // namespace
}  // namespace dunstrel
