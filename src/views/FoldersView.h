#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <unordered_map>

#include "results/ScanResults.h"
#include "treemap/FolderTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TScanTreeModel;

// "Only Folders": the folder map, the complete tree of folders and the legend of the folders
// directly below the root, all showing the tab's one selection of folders.
class TFoldersView final : public TResultTab {
 public:
  TFoldersView(IViewHost& Host, const TScanResults& Results, TFolderTreemapLayout& Map);

  // The pipeline's steps. BuildFoldersTree sorts the tree's folders, largest first.
  void BuildFoldersTree(TDirNode* Root);
  // Makes the folder the selection, as a new scan starts with it.
  void SelectFolder(const TDirNode* Folder);
  void PopulateFilesOfSelectedFolder();
  void RebuildFolderMap();

  QTreeView* FolderTree() const { return tvFolders; }
  QTreeWidget* Legend() const { return lvFilesOfSelectedFolder; }

  const TFolderTreemapLayout& Map() const { return FFolderMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildFolderMap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 protected:
  void ShowSelection() override;

 private:
  const TScanResults& FResults;
  TFolderTreemapLayout& FFolderMap;

  TGestureView<QTreeView>* tvFolders;
  TScanTreeModel* FFolderRows;
  TGestureView<QTreeWidget>* lvFilesOfSelectedFolder;
  // The legend's row of each folder directly below the root.
  std::unordered_map<const TDirNode*, int> FLegendRowOf;
};

}  // namespace dunstrel
