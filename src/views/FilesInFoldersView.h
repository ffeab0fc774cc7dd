#pragma once

#include <QModelIndexList>

#include "results/ScanResults.h"
#include "treemap/HierTreemap.h"
#include "views/ResultTab.h"

class QTreeView;

namespace dunstrel {

class TExtLegendModel;
class TScanTreeModel;

// "Files in Folders": the map of folders and files, the tree of the whole scan with each
// folder's contents made on its first expansion, and the legend of extensions, kept in step.
class TFilesInFoldersView final : public TResultTab {
 public:
  TFilesInFoldersView(IViewHost& Host, const TScanResults& Results, THierTreemapLayout& Map);

  // The pipeline's steps. BuildFoldersAndFilesTree sorts the tree's folders and files, largest
  // first.
  void BuildFoldersAndFilesTree(TDirNode* Root);
  void PopulateFileExtensionsList();
  void RebuildHierMap();

  // Opens the folders above a file in the tree and selects its node: alone, or with Toggle in or
  // out of the selection the tree has.
  void SelectFileInFoldersAndFilesTree(const TFileLeaf* Leaf, bool Toggle = false);

  QTreeView* Tree() const { return tvFoldersAndFiles; }
  QTreeView* Legend() const { return tvFileExtensions; }

  const THierTreemapLayout& Map() const { return FHierMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;
  std::vector<std::string> GetSelectedPaths() const override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildHierMap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 private:
  void tvFoldersAndFilesChange();
  void tvFileExtensionsSelectItem();
  // The tree's selected rows in the order they were selected, or its current row alone.
  QModelIndexList SelectedNodes() const;

  const TScanResults& FResults;
  THierTreemapLayout& FHierMap;
  const THierItem* FHover3 = nullptr;

  QTreeView* tvFoldersAndFiles;
  TScanTreeModel* FRows;
  QTreeView* tvFileExtensions;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
