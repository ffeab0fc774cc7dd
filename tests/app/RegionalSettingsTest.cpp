#include <gtest/gtest.h>

#include <QLocale>

#include "app/RegionalSettings.h"

namespace dunstrel {
namespace {

TEST(RegionalSettingsTest, SeparatorsComeFromTheLocale) {
  const struct {
    const char* Locale;
    const char* Decimal;
    const char* Time;
  } Cases[] = {{"en_US", ".", ":"}, {"de_DE", ",", ":"}, {"fi_FI", ",", "."}, {"C", ".", ":"}};
  for (const auto& Case : Cases) {
    const TFormatSettings Settings = FormatSettingsOf(QLocale(QLatin1String(Case.Locale)));
    EXPECT_EQ(Settings.DecimalSeparator, Case.Decimal) << Case.Locale;
    EXPECT_EQ(Settings.TimeSeparator, Case.Time) << Case.Locale;
  }
}

}  // namespace
}  // namespace dunstrel
