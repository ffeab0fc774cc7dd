#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <unordered_map>

#include "results/ScanResults.h"
#include "treemap/FlatTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TExtLegendModel;

// "Only Files": the flat map of every file, the list of the largest files and the legend of
// extensions over all files, all showing the tab's one selection of files.
class TFilesView final : public TResultTab {
 public:
  TFilesView(IViewHost& Host, const TScanResults& Results, TTreemapLayout& Map);

  // The pipeline's fills.
  void PopulateFilesList();
  void PopulateExtList();
  void RebuildTreemap();

  const TTreemapLayout& Map() const { return FTreemap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  QTreeWidget* FilesList() const { return lvFiles; }
  QTreeView* ExtList() const { return lvExt; }

  // The map's surface.
  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildTreemap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 protected:
  void ShowSelection() override;

 private:
  const TScanResults& FResults;
  TTreemapLayout& FTreemap;
  const TTreemapItem* FHover = nullptr;
  // The row of every listed file.
  std::unordered_map<const TFileLeaf*, int> FRowOfFile;

  TGestureView<QTreeWidget>* lvFiles;
  TGestureView<QTreeView>* lvExt;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
