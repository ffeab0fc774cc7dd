#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <cstdint>
#include <vector>

#include "results/ScanResults.h"
#include "results/SelectionStatus.h"
#include "treemap/DupTreemap.h"
#include "views/ResultTab.h"

class QTreeWidgetItem;

namespace dunstrel {

// "Duplicates": the map of the folders that hold duplicate files, the tree of the groups with
// their files and the legend of the groups, all showing the tab's one selection. A group's node
// and its legend row stand for all of its files.
class TDuplicatesView final : public TResultTab {
 public:
  // A group shows at most this many of its files as nodes.
  static constexpr size_t kMaxFileNodesPerGroup = 500;

  TDuplicatesView(IViewHost& Host, const TScanResults& Results, TDupTreemapLayout& Map);

  // The pipeline's fills, once the groups are made. The tree's fill lets the event loop run now
  // and then and ends early when the user stops.
  void PopulateDuplicatesTree();
  void PopulateDuplicateGroupsList();
  void RebuildDupeMap();
  // Closes every group and selects the largest, shown at the top.
  void SelectFirstGroup();

  QTreeWidget* GroupTree() const { return tvDuplicateFiles; }
  QTreeWidget* Legend() const { return lvDuplicateGroupsColors; }
  // What a node of the tree stands for: a group, a file, or nothing (the overflow node).
  static TSelectedData NodeData(const QTreeWidgetItem* Node);

  const TDupTreemapLayout& Map() const { return FDupeMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override;
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 protected:
  void ShowSelection() override;

 private:
  // Where a duplicate file is: its group's number and its own number in the group.
  struct TMemberPlace {
    const TFileLeaf* File;
    uint32_t Group;
    uint32_t Member;
  };
  const TMemberPlace* PlaceOf(const TFileLeaf* File) const;
  // The node of a file; none for a file beyond those shown of its group.
  QTreeWidgetItem* NodeOf(const TMemberPlace& Place) const;
  // The groups every file of which is selected.
  std::vector<bool> GroupsWhollySelected() const;

  const TScanResults& FResults;
  TDupTreemapLayout& FDupeMap;
  const TDupItem* FHover4 = nullptr;
  // Every member of every group, in the order of the files' addresses.
  std::vector<TMemberPlace> FPlaces;

  TGestureView<QTreeWidget>* tvDuplicateFiles;
  TGestureView<QTreeWidget>* lvDuplicateGroupsColors;
};

}  // namespace dunstrel
