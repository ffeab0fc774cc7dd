#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include "results/ScanResults.h"
#include "treemap/HierTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TExtLegendModel;
class TScanTreeModel;

// "Files in Folders": the map of folders and files, the tree of the whole scan with each
// folder's contents made on its first expansion, and the legend of extensions, all showing the
// tab's one selection of folders and files.
class TFilesInFoldersView final : public TResultTab {
 public:
  TFilesInFoldersView(IViewHost& Host, const TScanResults& Results, THierTreemapLayout& Map);

  // The pipeline's steps. BuildFoldersAndFilesTree sorts the tree's folders and files, largest
  // first, and selects the root.
  void BuildFoldersAndFilesTree(TDirNode* Root);
  void PopulateFileExtensionsList();
  void RebuildHierMap();

  QTreeView* Tree() const { return tvFoldersAndFiles; }
  QTreeView* Legend() const { return tvFileExtensions; }

  const THierTreemapLayout& Map() const { return FHierMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildHierMap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 protected:
  void ShowSelection() override;

 private:
  // Opens the folders down to the item in the tree, so that its row exists, and gives the row.
  QModelIndex OpenRowOf(const TSelectedItem& Item);

  const TScanResults& FResults;
  THierTreemapLayout& FHierMap;
  const THierItem* FHover3 = nullptr;

  TGestureView<QTreeView>* tvFoldersAndFiles;
  TScanTreeModel* FRows;
  TGestureView<QTreeView>* tvFileExtensions;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
