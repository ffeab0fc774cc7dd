#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <cstdint>
#include <vector>

#include "results/SelectionStatus.h"
#include "treemap/DupTreemap.h"
#include "views/ResultTab.h"
#include "views/RowOrder.h"

class QTreeWidgetItem;

namespace dunstrel {

// "Duplicates": the map of the folders that hold duplicate files, the tree of the groups with
// their files and the legend of the groups, all showing the tab's one selection. A group's node
// and its legend row stand for all of its files.
class TDuplicatesView final : public TResultTab {
 public:
  // A group shows at most this many of its files as nodes.
  static constexpr size_t kMaxFileNodesPerGroup = 500;

  explicit TDuplicatesView(IViewHost& Host);

  QTreeWidget* GroupTree() const { return tvDuplicateFiles; }
  QTreeWidget* Legend() const { return lvDuplicateGroupsColors; }
  // What a node of the tree stands for: a group, a file, or nothing (the overflow node).
  static TSelectedData NodeData(const QTreeWidgetItem* Node);

  const TDupTreemapLayout& Map() const { return FMap; }

  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 protected:
  std::vector<TFillStep> FillSteps() override;
  void ClearControls() override;
  void GrowthChanged() override;
  std::vector<const TFileLeaf*> FilesOfOpenGroups() const override;
  void OpenGroupsOf(const std::vector<const TFileLeaf*>& Files) override;
  void LayOutMap(const TRect& Rect) override;
  std::optional<TSelectedItem> MapItemAt(TPoint At) const override;
  void ForEachMapCell(const TVisitCell& Visit) const override;
  void ShowSelection() override;

 private:
  // Notes where every member of every group is.
  void PlaceMembers();
  // Adds the next groups' nodes to the tree; true once every group has its node.
  bool AddGroupNodes();
  // Gives a group's node the nodes of its files, in the tree's order, unless it has them.
  void AddFileNodes(QTreeWidgetItem& GroupNode);
  // Writes the figures of a group's node and of its files' nodes (size, date modified, growth)
  // and the note of the files not shown, in the current language.
  void WriteFigures(QTreeWidgetItem& GroupNode) const;
  // Puts the groups in this order, and the files of each group; open groups stay open.
  void SortGroupTree(const TSortChoice& Choice);
  void AddLegendRows();
  // Closes every group and selects the largest, shown at the top.
  void SelectFirstGroup();

  // Where a duplicate file is: its group's number and its node (none for a file beyond those
  // shown of its group). The tree may be in another order than the groups and their files: a
  // file's node is found here, never by its position.
  struct TMemberPlace {
    const TFileLeaf* File;
    uint32_t Group;
    QTreeWidgetItem* Node = nullptr;
  };
  TMemberPlace* PlaceOf(const TFileLeaf* File);
  const TMemberPlace* PlaceOf(const TFileLeaf* File) const;
  // The groups every file of which is selected.
  std::vector<bool> GroupsWhollySelected() const;

  TDupTreemapLayout FMap;
  const TDupItem* FHover = nullptr;
  // Every member of every group, in the order of the files' addresses.
  std::vector<TMemberPlace> FPlaces;

  TGestureView<QTreeWidget>* tvDuplicateFiles;
  TGestureView<QTreeWidget>* lvDuplicateGroupsColors;
  // The tree's node of each group, in the order of the groups, and the next group the fill adds.
  std::vector<QTreeWidgetItem*> FGroupNodes;
  size_t FNextGroup = 0;
  // The legend's row of each group, in the order of the groups.
  std::vector<QTreeWidgetItem*> FLegendRowOfGroup;
};

}  // namespace dunstrel
