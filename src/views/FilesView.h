#pragma once

#include <unordered_map>

#include "results/ScanResults.h"
#include "treemap/FlatTreemap.h"
#include "views/ResultTab.h"

class QItemSelection;
class QTreeView;
class QTreeWidget;

namespace dunstrel {

class TExtLegendModel;

// "Only Files": the flat map of every file, the list of the largest files and the legend of
// extensions over all files, kept in step both ways.
class TFilesView final : public TResultTab {
 public:
  TFilesView(IViewHost& Host, const TScanResults& Results, TTreemapLayout& Map);

  // The pipeline's fills.
  void PopulateFilesList();
  void PopulateExtList();
  // Forgets the map's selection and hovered cell before the map is built for a new scan.
  void ForgetMapSelection();
  void RebuildTreemap();

  const TTreemapLayout& Map() const { return FTreemap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;
  std::vector<std::string> GetSelectedPaths() const override;

  QTreeWidget* FilesList() const { return lvFiles; }
  QTreeView* ExtList() const { return lvExt; }

  // The map's surface.
  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override { RebuildTreemap(); }
  void MapMouseDown(TPoint At, bool Ctrl) override { PaintBox1MouseDown(At, Ctrl); }
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override { PaintBox1DblClick(); }

 private:
  void PaintBox1MouseDown(TPoint At, bool Ctrl);
  void PaintBox1DblClick();
  void lvFilesSelectItem(const QItemSelection& Selected);
  void SyncTreemapFromFilesList();
  void lvExtSelectItem();
  void SyncSelectionFromExtList();
  // The map's cell of the file of that number in the array of all files (the list's row
  // number for a listed file), or none.
  const TTreemapItem* CellOfFile(size_t Index) const;

  const TScanResults& FResults;
  TTreemapLayout& FTreemap;
  const TTreemapItem* FHover = nullptr;
  // The row of every listed file.
  std::unordered_map<const TFileLeaf*, int> FRowOfFile;

  QTreeWidget* lvFiles;
  QTreeView* lvExt;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
