#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <variant>
#include <vector>

#include "results/ScanResults.h"
#include "scan/ScanTree.h"
#include "treemap/MapSelection.h"

namespace dunstrel {

// One file or folder of the scan tree.
using TSelectedItem = std::variant<const TFileLeaf*, const TDirNode*>;

// What a cell of a map of folders and files stands for: its file, or else its folder.
template <typename TCell>
TSelectedItem ItemOfCell(const TCell& Cell) {
  if (Cell.FileLeaf != nullptr) {
    return Cell.FileLeaf;
  }
  return Cell.Dir;
}

// Where a tab's selection was last made. The status line describes a selection made in a legend
// by its rows, any other by its items.
enum class TSelectionOrigin { Rows, Map, Legend };

// The one selection of a result tab: the files and folders the map, the tree or list and the
// legend all show, and the very items the file commands act on. It holds items chosen one by one,
// each once in the order chosen, and extensions chosen whole: an extension stands for every file
// that has it, which the selection answers for by the file's extension instead of listing a
// hundred thousand files. The map asks it while it paints.
class TTabSelection final : public IMapSelection {
 public:
  // The results the items belong to, whose extension rows the extensions are; the selection
  // starts empty.
  void SetResults(const TScanResults* Results);

  bool Empty() const override { return FItems.empty() && FExtensions.empty(); }
  // The number of items, every file of a whole extension counted.
  size_t Size() const;
  // The items chosen one by one, in the order chosen.
  const std::vector<TSelectedItem>& Items() const { return FItems; }
  // The extensions chosen whole (rows of the results' Extensions), in the order chosen.
  const std::vector<size_t>& Extensions() const { return FExtensions; }
  bool HasExtension(size_t Row) const { return Row < FChosen.size() && FChosen[Row] != 0; }
  // Every item in the order chosen, the files of the whole extensions largest first where the
  // first of them was chosen.
  std::vector<TSelectedItem> AllItems() const;
  // The first of them, without making them all.
  std::optional<TSelectedItem> First() const;

  bool Contains(const TFileLeaf& File) const override;
  bool Contains(const TDirNode& Folder) const override { return FKeys.contains(&Folder); }
  bool Contains(const TSelectedItem& Item) const;
  // The item chosen last, which a list shows scrolled into view; none after it was taken out,
  // and for extensions.
  const std::optional<TSelectedItem>& Primary() const { return FPrimary; }
  TSelectionOrigin Origin() const { return FOrigin; }

  void Clear();
  // These items alone, repeats dropped; the first becomes the primary one.
  void Replace(const std::vector<TSelectedItem>& Items, TSelectionOrigin Origin);
  // These extensions alone.
  void ReplaceWithExtensions(const std::vector<size_t>& Rows, TSelectionOrigin Origin);
  // Takes Removed out, then adds Added at the end; the last added becomes the primary one. A
  // file of a whole extension taken out leaves the rest of its extension's files selected.
  void Change(const std::vector<TSelectedItem>& Removed, const std::vector<TSelectedItem>& Added,
              TSelectionOrigin Origin);
  void ChangeExtensions(const std::vector<size_t>& Removed, const std::vector<size_t>& Added,
                        TSelectionOrigin Origin);
  // Adds the item, or takes it out when it is in.
  void Toggle(const TSelectedItem& Item, TSelectionOrigin Origin);

 private:
  static const void* KeyOf(const TSelectedItem& Item);
  size_t ExtensionOf(const TSelectedItem& Item) const;
  void Add(const TSelectedItem& Item);
  void RemoveItems(const std::vector<TSelectedItem>& Removed);
  void AddExtension(size_t Row);
  // The extensions of these items stop being whole: their files become items of their own.
  void Unfold(const std::vector<TSelectedItem>& Items);

  const TScanResults* FResults = nullptr;
  std::vector<TSelectedItem> FItems;
  std::unordered_set<const void*> FKeys;
  std::vector<size_t> FExtensions;
  std::vector<char> FChosen;  // by extension row
  size_t FFilesOfExtensions = 0;
  // How many of the items were chosen before the first extension.
  size_t FExtensionsAt = 0;
  std::optional<TSelectedItem> FPrimary;
  TSelectionOrigin FOrigin = TSelectionOrigin::Rows;
};

// The item's full path, and its figure in Count (a folder's total).
std::string ItemPath(const TSelectedItem& Item);
int64_t ItemSize(const TSelectedItem& Item, TSizeCount Count);

}  // namespace dunstrel
