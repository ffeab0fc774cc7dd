#pragma once

#include <QTreeView>
#include <QTreeWidget>

#include <unordered_map>

#include "treemap/FlatTreemap.h"
#include "views/ResultTab.h"

namespace dunstrel {

class TExtLegendModel;

// "Only Files": the flat map of every file, the list of the largest files and the legend of
// extensions over all files, all showing the tab's one selection of files.
class TFilesView final : public TResultTab {
 public:
  explicit TFilesView(IViewHost& Host);

  const TFlatTreemapLayout& Map() const { return FMap; }
  QTreeWidget* FilesList() const { return lvFiles; }
  QTreeView* ExtList() const { return lvExt; }

  QString SelectionStatus() const override;
  void ApplyTranslation() override;

  // The map's surface.
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

 private:
  // Adds the next rows of the list; true once every listed file has its row.
  bool AddFileRows();
  // The growth of a row's file since the saved scan compared with, and its sort key; nothing
  // without a comparison.
  void WriteGrowth(QTreeWidgetItem& Row, const TFileLeaf& File) const;

  TFlatTreemapLayout FMap;
  const TFlatMapItem* FHover = nullptr;
  // The file of a row of the list.
  const TFileLeaf* FileOfRow(const QTreeWidgetItem* Row) const;

  // The row of every listed file.
  std::unordered_map<const TFileLeaf*, QTreeWidgetItem*> FRowOfFile;

  TGestureView<QTreeWidget>* lvFiles;
  TGestureView<QTreeView>* lvExt;
  TExtLegendModel* FExtRows;
};

}  // namespace dunstrel
