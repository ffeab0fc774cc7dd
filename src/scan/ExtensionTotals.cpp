#include "scan/ExtensionTotals.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "common/SaturatingSum.h"
#include "scan/ScanTree.h"

namespace dunstrel {

namespace {

// The sums of the files kept in one store, indexed by that store's extension keys.
struct TStoreSums {
  const TScanStore* Store = nullptr;
  std::vector<TExtStat> ByKey;
};

}  // namespace

std::optional<TExtStat> TExtensionTotals::Find(std::string_view Key) const {
  for (const TExtStatPair& Row : FRows) {
    if (Row.Ext == Key) {
      return TExtStat{Row.Bytes, Row.Files};
    }
  }
  return std::nullopt;
}

TExtensionTotals ExtensionTotalsOf(const TDirNode& Folder, TSizeCount Count) {
  // Almost every tree keeps all its files in one store; the few others are looked up.
  std::vector<TStoreSums> Stores;
  const auto SumsOf = [&Stores](const TScanStore& Store) -> TStoreSums& {
    for (TStoreSums& Sums : Stores) {
      if (Sums.Store == &Store) {
        return Sums;
      }
    }
    TStoreSums& Sums = Stores.emplace_back();
    Sums.Store = &Store;
    Sums.ByKey.resize(Store.Exts.Count());
    return Sums;
  };

  ForEachFolder(Folder, [&](const TDirNode& Node) {
    if (Node.Leaves.empty()) {
      return;
    }
    TStoreSums& Sums = SumsOf(Node.Store());
    for (const TFileLeaf* Leaf : Node.Leaves) {
      TExtStat& Stat = Sums.ByKey[Leaf->ExtKey()];
      Stat.Bytes = SaturatingAdd(Stat.Bytes, Leaf->SizeIn(Count));
      Stat.Files += 1;
    }
  });

  TExtensionTotals Totals;
  std::unordered_map<std::string_view, size_t> RowOfText;
  for (const TStoreSums& Sums : Stores) {
    for (TExtKey Key = 0; Key < Sums.ByKey.size(); ++Key) {
      const TExtStat& Stat = Sums.ByKey[Key];
      if (Stat.Files == 0) {
        continue;
      }
      const std::string_view Text = Sums.Store->ExtensionKeyText(Key);
      const auto [Found, New] = RowOfText.try_emplace(Text, Totals.FRows.size());
      if (New) {
        Totals.FRows.push_back({std::string(Text), Stat.Bytes, Stat.Files});
      } else {
        TExtStatPair& Row = Totals.FRows[Found->second];
        Row.Bytes = SaturatingAdd(Row.Bytes, Stat.Bytes);
        Row.Files += Stat.Files;
      }
    }
  }
  std::sort(Totals.FRows.begin(), Totals.FRows.end(),
            [](const TExtStatPair& A, const TExtStatPair& B) {
              return A.Bytes != B.Bytes ? A.Bytes > B.Bytes : A.Ext < B.Ext;
            });
  return Totals;
}

}  // namespace dunstrel
