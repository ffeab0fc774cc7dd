#include "views/DuplicatesView.h"

#include <QTreeWidget>

#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/ListColumns.h"
#include "views/ShownText.h"

namespace dunstrel {

TDuplicatesView::TDuplicatesView(IViewHost& Host, const TScanResults& Results,
                                 TDupTreemapLayout& Map)
    : TResultTab(Host, {"TabSheetDuplicates", "Panel1", "PaintBox4", "Splitter7", 13, "Panel3", 303,
                        "Splitter5", TSideListRule::HalfPanel}),
      FResults(Results),
      FDupeMap(Map),
      tvDuplicateFiles(new QTreeWidget(this)),
      lvDuplicateGroupsColors(new QTreeWidget(this)) {
  tvDuplicateFiles->setObjectName(QStringLiteral("tvDuplicateFiles"));
  lvDuplicateGroupsColors->setObjectName(QStringLiteral("lvDuplicateGroupsColors"));
  PlaceControls(tvDuplicateFiles, lvDuplicateGroupsColors);
  tvDuplicateFiles->setHeaderHidden(true);
  tvDuplicateFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvDuplicateFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvDuplicateFiles->setIndentation(19);
  KeepSelectionVisible(tvDuplicateFiles);
  SetUpReportList(lvDuplicateGroupsColors, DuplicateGroupColumns(), logicalDpiX());
  lvDuplicateGroupsColors->setItemDelegateForColumn(
      1, new TColorSwatchDelegate(lvDuplicateGroupsColors));
}

void TDuplicatesView::ApplyTranslation() {
  SetListColumnTitles(lvDuplicateGroupsColors, DuplicateGroupColumns());
}

void TDuplicatesView::Clear() {
  tvDuplicateFiles->clear();
  lvDuplicateGroupsColors->clear();
  FDupeMap.Clear();
  FHover4 = nullptr;
  InvalidateMap();
}

void TDuplicatesView::RebuildMap() {
  InvalidateMap();
}

bool TDuplicatesView::HasMapData() const {
  return false;
}

void TDuplicatesView::PaintMap(TTreemapCanvas& Canvas) const {
  FDupeMap.Paint(Canvas);
}

void TDuplicatesView::MapMouseDown(TPoint At, bool Ctrl) {
  const TDupItem* Cell = FDupeMap.HitTest(At);
  if (Cell == nullptr) {
    return;
  }
  if (Ctrl) {
    FDupeMap.ToggleSelected(Cell);
  } else {
    FDupeMap.SetSingleSelected(Cell);
  }
  InvalidateMap();
  FHost.UpdateSelectionStatus();
}

QString TDuplicatesView::MapHint(TPoint At, bool& Changed) {
  const TDupItem* Cell = FDupeMap.HitTest(At);
  Changed = Cell != FHover4;
  FHover4 = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return ShownText(Cell->FullPath()) + QLatin1Char('\n') +
         ShownText(FormatSize(Cell->Size, FHost.FormatSettings()));
}

void TDuplicatesView::MapDoubleClick() {
  if (const TDupItem* Cell = FDupeMap.Primary()) {
    FHost.ShowInFolder(Cell->FullPath());
  }
}

QString TDuplicatesView::SelectionStatus() const {
  if (const TDupItem* Cell = FDupeMap.Primary()) {
    return ShownText(Cell->FullPath() + "  " + FormatSize(Cell->Size, FHost.FormatSettings()));
  }
  return TranslatedText("Ready");
}

}  // namespace dunstrel
