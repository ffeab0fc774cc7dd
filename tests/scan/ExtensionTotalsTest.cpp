#include "scan/ExtensionTotals.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/TextCasing.h"
#include "scan/ScanTree.h"

namespace dunstrel {
namespace {

using TEntries = std::map<std::string, std::pair<int64_t, int64_t>>;  // key -> bytes, files

TEntries Entries(const TDirNode& Folder, TSizeCount Count = TSizeCount::ApparentSize) {
  TEntries Result;
  for (const TExtStatPair& P : ExtensionTotalsOf(Folder, Count).Rows()) {
    Result[P.Ext] = {P.Bytes, P.Files};
  }
  return Result;
}

struct TKeyCase {
  const char* Name;
  std::vector<std::pair<std::string, int64_t>> Files;  // extension as listed, size
  TEntries Expected;
};

TEST(ExtensionTotalsTest, FilesCountUnderTheirLowerCasedExtension) {
  const std::vector<TKeyCase> Cases = {
      {"case variants merge", {{".JPG", 10}, {".jpg", 5}}, {{".jpg", {15, 2}}}},
      {"no extension", {{"", 7}, {"", 1}}, {{"(none)", {8, 2}}}},
      {"lone dot stays", {{".", 3}}, {{".", {3, 1}}}},
      {"full Unicode lower-casing", {{".ÄÖ", 4}, {".äö", 1}}, {{".äö", {5, 2}}}},
      {"undecodable bytes kept", {{".A\xff", 2}}, {{".a\xff", {2, 1}}}},
  };
  for (const TKeyCase& Case : Cases) {
    TDirNode Root("/r");
    int Number = 0;
    for (const auto& [Ext, Size] : Case.Files) {
      // Half of the files one folder down: the whole subtree counts.
      TDirNode& Folder =
          Number % 2 == 0 ? Root : Root.AddNamedChild("sub" + std::to_string(Number));
      Folder.AddLeaf("f" + std::to_string(Number++) + Ext, Ext, Size, 0);
    }
    EXPECT_EQ(Entries(Root), Case.Expected) << Case.Name;
  }
}

TEST(ExtensionTotalsTest, TurkishLocaleLowerCasesDottedCapitalI) {
  const auto Turkish = platform::CreateTextCasing("tr_TR");
  const platform::TScopedTextCasing Scope(*Turkish);
  TDirNode Root("/r");
  Root.AddLeaf("boot.INI", ".INI", 1, 0);
  EXPECT_EQ(Entries(Root).count(".ını"), 1u);
}

TEST(ExtensionTotalsTest, TreesOfTheirOwnStorageJoinByKeyText) {
  // Drives under the whole-computer root keep their own extension keys.
  TDirNode Root(std::string(), "(All Drives)");
  auto First = std::make_unique<TDirNode>("/a");
  First->AddLeaf("x.c", ".c", 100, 0);
  First->AddLeaf("y.h", ".h", 2, 0);
  auto Second = std::make_unique<TDirNode>("/b");
  Second->AddLeaf("w.tmp", ".tmp", 0, 0);  // a key only this store has, numbered before ".c"
  Second->AddLeaf("z.c", ".C", 11, 0);
  Root.AdoptChild(std::move(First));
  Root.AdoptChild(std::move(Second));
  EXPECT_EQ(Entries(Root), (TEntries{{".c", {111, 2}}, {".h", {2, 1}}, {".tmp", {0, 1}}}));
  EXPECT_EQ(Entries(*Root.Children[1]), (TEntries{{".c", {11, 1}}, {".tmp", {0, 1}}}));
}

TEST(ExtensionTotalsTest, RowsGoLargestFirstInTheChosenCount) {
  TDirNode Root("/r");
  Root.AddLeafWithKey("a.a", Root.Store().InternExt(".a"), 5, 8192, 0);
  Root.AddLeafWithKey("b.b", Root.Store().InternExt(".b"), 9, 4096, 0);
  Root.AddLeafWithKey("c.c", Root.Store().InternExt(".c"), 9, 0, 0);  // sparse: no blocks
  const auto Keys = [&Root](TSizeCount Count) {
    std::vector<std::string> Order;
    for (const TExtStatPair& P : ExtensionTotalsOf(Root, Count).Rows()) {
      Order.push_back(P.Ext);
    }
    return Order;
  };
  // Equal figures go by key text.
  EXPECT_EQ(Keys(TSizeCount::ApparentSize), (std::vector<std::string>{".b", ".c", ".a"}));
  EXPECT_EQ(Keys(TSizeCount::DiskUsage), (std::vector<std::string>{".a", ".b", ".c"}));
  EXPECT_EQ(ExtensionTotalsOf(Root, TSizeCount::DiskUsage).Find(".a")->Bytes, 8192);
  EXPECT_FALSE(ExtensionTotalsOf(Root).Find(".d").has_value());
}

}  // namespace
}  // namespace dunstrel
