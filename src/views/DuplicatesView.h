#pragma once

#include "results/ScanResults.h"
#include "treemap/DupTreemap.h"
#include "views/ResultTab.h"

class QTreeWidget;

namespace dunstrel {

// "Duplicates": the map of the folders that hold duplicate files, the tree of the groups with
// their files and the legend of the groups.
class TDuplicatesView final : public TResultTab {
 public:
  TDuplicatesView(IViewHost& Host, const TScanResults& Results, TDupTreemapLayout& Map);

  QTreeWidget* GroupTree() const { return tvDuplicateFiles; }
  QTreeWidget* Legend() const { return lvDuplicateGroupsColors; }

  const TDupTreemapLayout& Map() const { return FDupeMap; }

  void Clear() override;
  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  bool HasMapData() const override;
  void PaintMap(TTreemapCanvas& Canvas) const override;
  void RebuildMap() override;
  void MapMouseDown(TPoint At, bool Ctrl) override;
  QString MapHint(TPoint At, bool& Changed) override;
  void MapDoubleClick() override;

 private:
  const TScanResults& FResults;
  TDupTreemapLayout& FDupeMap;
  const TDupItem* FHover4 = nullptr;

  QTreeWidget* tvDuplicateFiles;
  QTreeWidget* lvDuplicateGroupsColors;
};

}  // namespace dunstrel
