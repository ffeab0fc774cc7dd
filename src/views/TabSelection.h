#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <variant>
#include <vector>

#include "scan/ScanTree.h"
#include "treemap/MapSelection.h"

namespace dunstrel {

// One file or folder of the scan tree.
using TSelectedItem = std::variant<const TFileLeaf*, const TDirNode*>;

// Where a tab's selection was last made. The status line describes a selection made in a legend
// by its rows, any other by its items.
enum class TSelectionOrigin { Rows, Map, Legend };

// The one selection of a result tab: the files and folders the map, the tree or list and the
// legend all show, and the very items the file commands act on. It holds each item once, in the
// order the user chose them; the map reads it while it paints.
class TTabSelection final : public IMapSelection {
 public:
  bool Empty() const override { return FItems.empty(); }
  size_t Size() const { return FItems.size(); }
  const std::vector<TSelectedItem>& Items() const { return FItems; }
  bool Contains(const TFileLeaf& File) const override { return FKeys.contains(&File); }
  bool Contains(const TDirNode& Folder) const override { return FKeys.contains(&Folder); }
  bool Contains(const TSelectedItem& Item) const { return FKeys.contains(KeyOf(Item)); }
  // The item chosen last, which a list shows scrolled into view; none after it was taken out.
  const std::optional<TSelectedItem>& Primary() const { return FPrimary; }
  TSelectionOrigin Origin() const { return FOrigin; }

  void Clear();
  // These items alone, repeats dropped; the first becomes the primary one.
  void Replace(const std::vector<TSelectedItem>& Items, TSelectionOrigin Origin);
  // Takes Removed out, then adds Added at the end; the last added becomes the primary one.
  void Change(const std::vector<TSelectedItem>& Removed, const std::vector<TSelectedItem>& Added,
              TSelectionOrigin Origin);
  // Adds the item, or takes it out when it is in.
  void Toggle(const TSelectedItem& Item, TSelectionOrigin Origin);

 private:
  static const void* KeyOf(const TSelectedItem& Item);
  void Add(const TSelectedItem& Item);

  std::vector<TSelectedItem> FItems;
  std::unordered_set<const void*> FKeys;
  std::optional<TSelectedItem> FPrimary;
  TSelectionOrigin FOrigin = TSelectionOrigin::Rows;
};

// The item's full path and size (a folder's total size).
std::string ItemPath(const TSelectedItem& Item);
int64_t ItemSize(const TSelectedItem& Item);

}  // namespace dunstrel
