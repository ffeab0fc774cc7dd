#pragma once

#include "results/ScanResults.h"
#include "treemap/FolderTreemap.h"
#include "views/ResultTab.h"

class QTreeView;
class QTreeWidget;

namespace dunstrel {

class TScanTreeModel;

// "Only Folders": the folder map, the complete tree of folders and the legend of the folders
// directly below the root. The tab's selected folder is shown in the tree and on the map.
class TFoldersView final : public TResultTab {
 public:
  TFoldersView(IViewHost& Host, const TScanResults& Results, TFolderTreemapLayout& Map);

  // The pipeline's steps. BuildFoldersTree sorts the tree's folders, largest first.
  void BuildFoldersTree(TDirNode* Root);
  void SelectFolder(TDirNode* Folder) { FSelectedFolder = Folder; }
  void PopulateFilesOfSelectedFolder();
  void RebuildFolderMap();

  const TDirNode* SelectedFolder() const { return FSelectedFolder; }
  QTreeView* FolderTree() const { return tvFolders; }
  QTreeWidget* Legend() const { return lvFilesOfSelectedFolder; }

  const TFolderTreemapLayout& Map() const { return FFolderMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;
  std::vector<std::string> GetSelectedPaths() const override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildFolderMap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 private:
  void tvFoldersChange();
  void lvFilesOfSelectedFolderSelectItem();
  // Makes the folder's node the tree's selected node, shown and opened one level; false when
  // it has none.
  bool SelectFolderNode(const TDirNode* Folder);

  const TScanResults& FResults;
  TFolderTreemapLayout& FFolderMap;
  TDirNode* FSelectedFolder = nullptr;

  QTreeView* tvFolders;
  TScanTreeModel* FFolderRows;
  QTreeWidget* lvFilesOfSelectedFolder;
};

}  // namespace dunstrel
