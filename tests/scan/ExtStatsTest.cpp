#include <gtest/gtest.h>

#include <map>

#include "platform/TextCasing.h"
#include "scan/ScanModel.h"

namespace dunstrel {
namespace {

std::map<std::string, std::pair<int64_t, int64_t>> Entries(const TExtStats& Stats) {
  std::map<std::string, std::pair<int64_t, int64_t>> Result;
  for (const TExtStatPair& P : Stats.ToSortedArrayByBytesDesc()) {
    Result[P.Ext] = {P.Bytes, P.Files};
  }
  return Result;
}

struct TAddCase {
  const char* Name;
  std::vector<std::pair<std::string, int64_t>> Files;
  std::map<std::string, std::pair<int64_t, int64_t>> Expected;  // key -> bytes, files
};

TEST(ExtStatsTest, AddFileNormalisesKeys) {
  const std::vector<TAddCase> Cases = {
      {"case variants merge", {{".JPG", 10}, {".jpg", 5}}, {{".jpg", {15, 2}}}},
      {"empty extension", {{"", 7}}, {{"(none)", {7, 1}}}},
      {"lone dot stays", {{".", 3}}, {{".", {3, 1}}}},
      {"full Unicode lower-casing", {{".ÄÖ", 4}, {".äö", 1}}, {{".äö", {5, 2}}}},
      {"undecodable bytes kept", {{".A\xff", 2}}, {{".a\xff", {2, 1}}}},
  };
  for (const TAddCase& Case : Cases) {
    TExtKeyPool Pool;
    TExtStats Stats(Pool);
    for (const auto& [Ext, Size] : Case.Files) {
      Stats.AddFile(Ext, Size);
    }
    EXPECT_EQ(Entries(Stats), Case.Expected) << Case.Name;
  }
}

TEST(ExtStatsTest, MergeFromAddsEveryEntry) {
  TExtKeyPool Pool;
  TExtStats Source(Pool);
  Source.AddFile(".txt", 4);
  Source.AddFile(".c", 1);

  TExtStats Empty(Pool);
  Empty.MergeFrom(nullptr);
  EXPECT_EQ(Empty.Count(), 0u);
  Empty.MergeFrom(&Source);
  EXPECT_EQ(Entries(Empty), Entries(Source));

  TExtStats Target(Pool);
  Target.AddFile(".c", 10);
  Target.AddFile(".h", 2);
  Target.MergeFrom(&Source);
  const std::map<std::string, std::pair<int64_t, int64_t>> Expected = {
      {".c", {11, 2}}, {".h", {2, 1}}, {".txt", {4, 1}}};
  EXPECT_EQ(Entries(Target), Expected);

  // Statistics of another scan's storage (a drive under the whole-computer root).
  TExtKeyPool OtherPool;
  TExtStats Other(OtherPool);
  Other.AddFile(".c", 100);
  Target.MergeFrom(&Other);
  EXPECT_EQ(Entries(Target).at(".c"), (std::pair<int64_t, int64_t>{111, 3}));
}

TEST(ExtStatsTest, SortedArrayPutsLargestBytesFirst) {
  TExtKeyPool Pool;
  TExtStats Stats(Pool);
  EXPECT_TRUE(Stats.ToSortedArrayByBytesDesc().empty());
  Stats.AddFile(".a", 5);
  Stats.AddFile(".b", 9);
  Stats.AddFile(".c", 1);
  const auto Sorted = Stats.ToSortedArrayByBytesDesc();
  ASSERT_EQ(Sorted.size(), 3u);
  EXPECT_EQ(Sorted[0].Bytes, 9);
  EXPECT_EQ(Sorted[1].Bytes, 5);
  EXPECT_EQ(Sorted[2].Bytes, 1);
  EXPECT_EQ(Stats.Count(), 3u);  // the map itself is unchanged
}

TEST(ExtStatsTest, TurkishLocaleLowerCasesDottedCapitalI) {
  const auto Turkish = platform::CreateTextCasing("tr_TR");
  const platform::TScopedTextCasing Scope(*Turkish);
  TExtKeyPool Pool;
  TExtStats Stats(Pool);
  Stats.AddFile(".INI", 1);
  EXPECT_EQ(Entries(Stats).count(".ını"), 1u);
}

}  // namespace
}  // namespace dunstrel
