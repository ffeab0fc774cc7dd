#pragma once

#include <QTreeView>

#include "treemap/HierTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TExtLegendModel;
class TScanTreeModel;

// "Files in Folders": the map of folders and files, the tree of the whole scan with each
// folder's contents made on its first expansion, and the legend of extensions, all showing the
// tab's one selection of folders and files. It starts with the root selected.
class TFilesInFoldersView final : public TResultTab {
 public:
  explicit TFilesInFoldersView(IViewHost& Host);

  QTreeView* Tree() const { return tvFoldersAndFiles; }
  // The map's files coloured by their growth (grown, shrunk, new, unchanged) while results are
  // compared, by extension otherwise.
  void SetColorByGrowth(bool ByGrowth);
  QTreeView* Legend() const { return tvFileExtensions; }
  const THierTreemapLayout& Map() const { return FMap; }

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
  // Opens the folders down to the item in the tree, so that its row exists, and gives the row.
  QModelIndex OpenRowOf(const TSelectedItem& Item);

  THierTreemapLayout FMap;
  const THierItem* FHover = nullptr;
  bool FColorByGrowth = false;

  TGestureView<QTreeView>* tvFoldersAndFiles;
  TScanTreeModel* FRows;
  TGestureView<QTreeView>* tvFileExtensions;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
