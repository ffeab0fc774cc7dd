#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <unordered_map>

#include "treemap/FolderTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TScanTreeModel;

// "Only Folders": the folder map, the complete tree of folders and the legend of the folders
// directly below the root, all showing the tab's one selection of folders. It starts with the
// largest of those folders selected.
class TFoldersView final : public TResultTab {
 public:
  explicit TFoldersView(IViewHost& Host);

  QTreeView* FolderTree() const { return tvFolders; }
  QTreeWidget* Legend() const { return lvTopFolders; }
  const TFolderTreemapLayout& Map() const { return FMap; }

  bool Zoomable() const override { return true; }
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
  void LayOutMap(const TRect& Rect) override;
  std::optional<TSelectedItem> MapItemAt(TPoint At) const override;
  void ForEachMapCell(const TVisitCell& Visit) const override;
  void ShowSelection() override;
  void MapRootChanged() override;

 private:
  // Adds the next rows of the legend of the root's folders; true once all have theirs.
  bool AddTopFolderRows();
  QString GrowthText(const TDirNode& Folder) const;

  TFolderTreemapLayout FMap;

  TGestureView<QTreeView>* tvFolders;
  TScanTreeModel* FFolderRows;
  // The folders directly below the root, largest first (the control's name is older than that).
  TGestureView<QTreeWidget>* lvTopFolders;
  // The legend's row of each folder directly below the root.
  std::unordered_map<const TDirNode*, QTreeWidgetItem*> FLegendRowOf;
  // The bytes of all those folders together, of which the legend shows shares.
  int64_t FTopFoldersBytes = 0;
};

}  // namespace dunstrel
