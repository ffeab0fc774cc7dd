#include <gtest/gtest.h>

#include "common/Calendar.h"
#include "localisation/translation.h"
#include "results/ValueFormat.h"

namespace dunstrel {
namespace {

const TFormatSettings Point{".", ":"};
const TFormatSettings Comma{",", "."};

TEST(ValueFormatTest, FormatSize) {
  struct TCase {
    int64_t Bytes;
    const char* WithPoint;
    const char* WithComma;
  } Cases[] = {
      {0, "0 B", "0 B"},
      {-5, "-5 B", "-5 B"},
      {1023, "1023 B", "1023 B"},
      {1024, "1.0 KB", "1,0 KB"},
      {1280, "1.3 KB", "1,3 KB"},  // 1.25 rounds away from zero
      {1536, "1.5 KB", "1,5 KB"},
      {1048575, "1024.0 KB", "1024,0 KB"},
      {1048576, "1.0 MB", "1,0 MB"},
      {1073741823, "1024.0 MB", "1024,0 MB"},
      {1073741824, "1.00 GB", "1,00 GB"},
      {1099511627775, "1024.00 GB", "1024,00 GB"},
      {1099511627776, "1.00 TB", "1,00 TB"},
      {INT64_MAX, "8388608.00 TB", "8388608,00 TB"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(FormatSize(Case.Bytes, Point), Case.WithPoint) << Case.Bytes;
    EXPECT_EQ(FormatSize(Case.Bytes, Comma), Case.WithComma) << Case.Bytes;
  }
}

TEST(ValueFormatTest, FormatSizeTranslatesItsUnitFormat) {
  SetTranslations({{"English", "en", "%.1f KB"}, {"Français", "fr", "%.1f Ko"}});
  SetLanguageIndex(1);
  EXPECT_EQ(FormatSize(1536, Comma), "1,5 Ko");
  SetTranslations({});
}

TEST(ValueFormatTest, FormatPercent) {
  struct TCase {
    int64_t Part;
    int64_t Total;
    const char* WithPoint;
    const char* WithComma;
  } Cases[] = {
      {1, 3, "33.33%", "33,33%"}, {1, 8, "12.50%", "12,50%"}, {3, 3, "100.00%", "100,00%"},
      {0, 5, "0.00%", "0,00%"},   {5, 0, "0.00%", "0.00%"},   {5, -1, "0.00%", "0.00%"},
      {2, 3, "66.67%", "66,67%"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(FormatPercent(Case.Part, Case.Total, Point), Case.WithPoint);
    EXPECT_EQ(FormatPercent(Case.Part, Case.Total, Comma), Case.WithComma);
  }
}

TEST(ValueFormatTest, DateTimeText) {
  const double Value = EncodeDateTime({2024, 3, 5, 14, 7, 59, 0});
  EXPECT_EQ(FormatDateTimeText(Value, Point), "2024-03-05 14:07");
  EXPECT_EQ(FormatDateTimeText(Value, Comma), "2024-03-05 14.07");
  EXPECT_EQ(FormatDateTimeText(EncodeDateTime({987, 1, 2, 3, 4, 0, 0}), Point), "0987-01-02 03:04");
}

TEST(ValueFormatTest, GrowthIsASignedSizeOrAWord) {
  const struct {
    TGrowth Growth;
    const char* Shown;
  } Cases[] = {
      {{TGrowthKind::Grown, 1288490189}, "+1.20 GB"},
      {{TGrowthKind::Shrunk, -30720}, "-30.0 KB"},
      {{TGrowthKind::Shrunk, INT64_MIN}, "-8388608.00 TB"},  // no opposite: held at the largest
      {{TGrowthKind::New, 500}, "new"},
      {{TGrowthKind::Unchanged, 0}, ""},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(FormatGrowth(Case.Growth, Point), Case.Shown) << Case.Growth.Bytes;
  }
  EXPECT_EQ(FormatRemoved(), "removed");
}

}  // namespace
}  // namespace dunstrel
