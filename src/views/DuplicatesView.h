#pragma once

#include "results/ScanResults.h"
#include "results/SelectionStatus.h"
#include "treemap/DupTreemap.h"
#include "views/ResultTab.h"

class QItemSelection;
class QTreeWidget;
class QTreeWidgetItem;

namespace dunstrel {

// "Duplicates": the map of the folders that hold duplicate files, the tree of the groups with
// their files and the legend of the groups, kept in step.
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
  std::vector<std::string> GetSelectedPaths() const override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override;
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 private:
  void tvDuplicateFilesChange();
  // Selects on the map the files of the tree's selected nodes.
  // The files of the tree's selected nodes: a group's members, a file itself.
  std::vector<std::string> TreeSelectionPaths() const;
  void SelectTreeSelectionOnMap();
  void lvDuplicateGroupsColorsSelectItem(const QItemSelection& Selected);
  // The node of a file of the map; none for a file beyond those shown of its group.
  QTreeWidgetItem* FindNodeByData(const TFileLeaf* File) const;
  // The node the status line describes: the current node while selected, else the first
  // selected one.
  const QTreeWidgetItem* SelectedNode() const;

  const TScanResults& FResults;
  TDupTreemapLayout& FDupeMap;
  const TDupItem* FHover4 = nullptr;

  QTreeWidget* tvDuplicateFiles;
  QTreeWidget* lvDuplicateGroupsColors;
};

}  // namespace dunstrel
