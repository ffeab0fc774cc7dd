#include "views/FilesView.h"

#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/ReleaseStorage.h"
#include "results/SelectionStatus.h"
#include "results/ValueFormat.h"
#include "scan/PathKeys.h"
#include "views/ColorSwatch.h"
#include "views/ExtLegendModel.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kSizeColumn = 2;
constexpr int kFullPathColumn = 5;
constexpr int kRowsPerProgressStep = 250;
// The bytes of a path, which the shown text may have lost; in the size column, the byte count.
constexpr int kKeyRole = Qt::UserRole;

}  // namespace

TFilesView::TFilesView(IViewHost& Host, const TScanResults& Results, TTreemapLayout& Map)
    : TResultTab(Host, {"TabSheet1", "pnlTop_LargestFiles", "PaintBox1", "Splitter2", 8,
                        "pnlBottom1", 303, "SplitterLeft", TSideListRule::RestBesideHalfWindow}),
      FResults(Results),
      FTreemap(Map),
      lvFiles(Named(new TGestureView<QTreeWidget>(this), "lvFiles")),
      lvExt(Named(new TGestureView<QTreeView>(this), "lvExt")),
      FExtRows(new TExtLegendModel(Host, ExtensionColumns(), true, this)) {
  PlaceControls(lvFiles, lvExt);
  const double Dpi = logicalDpiX();
  SetUpReportList(lvFiles, FilesColumns(), Dpi);
  lvExt->setModel(FExtRows);
  SetUpReportView(lvExt, ExtensionColumns(), Dpi);
  lvExt->setItemDelegateForColumn(1, new TColorSwatchDelegate(lvExt));
  lvFiles->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               return FHost.SmallIcon(
                   Row.siblingAtColumn(kFullPathColumn).data(kKeyRole).toByteArray().toStdString(),
                   false);
             },
             lvFiles));
  lvExt->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               return FHost.SmallIcon("x" + Row.data(kExtKeyRole).toByteArray().toStdString(),
                                      false);
             },
             lvExt));
  // A row stands for its file: the list's rows are the first files of the largest-first array.
  WatchSelection(
      lvFiles,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (static_cast<size_t>(Row.row()) < FResults.DisplayFiles.size()) {
            Items.emplace_back(FResults.DisplayFiles[static_cast<size_t>(Row.row())]);
          }
        }
      },
      TSelectionOrigin::Rows, true);
  // An extension stands for all its files, listed or not, largest first.
  WatchSelection(
      lvExt,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        FExtRows->AppendFilesOfRows(Rows, FResults.AllFiles, Items);
      },
      TSelectionOrigin::Legend, true);
}

void TFilesView::ApplyTranslation() {
  SetListColumnTitles(lvFiles, FilesColumns());
  FExtRows->RetitleColumns();
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvFiles->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvFiles->topLevelItem(I);
    Row->setText(kSizeColumn,
                 ShownText(FormatSize(Row->data(kSizeColumn, kKeyRole).toLongLong(), Settings)));
  }
}

void TFilesView::Clear() {
  FSelection.Clear();
  {
    const TShowing Showing(*this);
    lvFiles->clear();
  }
  FExtRows->Clear();
  ReleaseStorage(FRowOfFile);
  FTreemap.Clear();
  FHover = nullptr;
  InvalidateMap();
}

void TFilesView::PopulateFilesList() {
  const std::vector<TFileLeaf*>& Files = FResults.DisplayFiles;
  const int Count = static_cast<int>(Files.size());
  FRowOfFile.clear();
  const TShowing Showing(*this);
  if (Count == 0) {
    lvFiles->clear();
    return;
  }
  FHost.ShowBusyPointer();
  const TFormatSettings& Settings = FHost.FormatSettings();
  FHost.ShowProgress(0, Count);
  FHost.SetStatus(
      ShownText(FormatText(Translate("Building file list... 0 / %d"), {int64_t{Count}}, Settings)));
  lvFiles->setUpdatesEnabled(false);
  lvFiles->clear();
  FRowOfFile.reserve(static_cast<size_t>(Count));
  QList<QTreeWidgetItem*> Batch;
  const auto Flush = [&] {
    lvFiles->addTopLevelItems(Batch);
    Batch.clear();
  };
  try {
    for (int I = 0; I < Count; ++I) {
      const TFileLeaf& File = *Files[static_cast<size_t>(I)];
      const std::string Path = File.FullPath();
      const double Modified = File.GetModifiedDateTime();
      auto* Row = new QTreeWidgetItem(QStringList{
          ShownText(File.Name()), ShownText(File.Parent().FullPath()),
          ShownText(FormatSize(File.Size, Settings)),
          ShownText(FormatPercent(File.Size, FResults.DisplayTotalBytes, Settings)),
          Modified > 0 ? ShownText(FormatDateTimeText(Modified, Settings)) : QString()});
      // The hidden column keys the row by the path's own bytes; nobody reads it as text.
      Row->setData(kFullPathColumn, kKeyRole, QByteArray::fromStdString(Path));
      Row->setData(kSizeColumn, kKeyRole, static_cast<qlonglong>(File.Size));
      Batch.append(Row);
      FRowOfFile.emplace(&File, I);
      if (I % kRowsPerProgressStep == 0 || I == Count - 1) {
        Flush();
        FHost.ShowProgress(I + 1, Count);
        FHost.SetStatus(ShownText(FormatText(Translate("Building file list... %d / %d"),
                                             {int64_t{I + 1}, int64_t{Count}}, Settings)));
        if (FHost.LetEventsRunAndCheckStop()) {
          break;
        }
      }
    }
  } catch (...) {
    qDeleteAll(Batch);
    lvFiles->setUpdatesEnabled(true);
    throw;
  }
  qDeleteAll(Batch);
  lvFiles->setUpdatesEnabled(true);
}

void TFilesView::PopulateExtList() {
  // The root's statistics count every file of the tree under its extension key, which is what
  // summing the files one by one would give, without touching a million files again.
  FExtRows->SetRows(FResults.Root != nullptr ? FResults.Root->ExtStats.ToSortedArrayByBytesDesc()
                                             : std::vector<TExtStatPair>{},
                    FResults.AllTotalBytes);
}

void TFilesView::RebuildTreemap() {
  const TRect Rect = Surface()->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (!FResults.AllFiles.empty()) {
    FHover = nullptr;
    FTreemap.BuildFromFiles(FResults.AllFiles, Rect);
  }
  InvalidateMap();
}

bool TFilesView::HasMapData() const {
  return !FResults.AllFiles.empty();
}

void TFilesView::PaintMap(TTreemapCanvas& Canvas) const {
  FTreemap.Paint(Canvas, FSelection);
}

QString TFilesView::MapHint(TPoint At, bool& Changed) {
  const TTreemapItem* Cell = FTreemap.HitTest(At);
  Changed = Cell != FHover;
  FHover = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return ShownText(Cell->FullPath()) + QLatin1Char('\n') +
         ShownText(FormatSize(Cell->Size(), FHost.FormatSettings()));
}

void TFilesView::MapMouseDown(TPoint At, bool Ctrl) {
  if (const TTreemapItem* Cell = FTreemap.HitTest(At)) {
    MapItemClicked(&Cell->File(), Ctrl);
  }
}

void TFilesView::MapDoubleClick() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (Primary) {
    FHost.ShowInFolder(ItemPath(*Primary));
  }
}

void TFilesView::ShowSelection() {
  QModelIndexList Rows;
  for (const TSelectedItem& Item : FSelection.Items()) {
    const auto* File = std::get_if<const TFileLeaf*>(&Item);
    const auto Found = File != nullptr ? FRowOfFile.find(*File) : FRowOfFile.end();
    if (Found != FRowOfFile.end()) {
      Rows.append(lvFiles->model()->index(Found->second, 0));
    }
  }
  ShowRows(lvFiles, RowSelection(Rows));
  ShowRows(lvExt, FExtRows->RowsWhollySelected(FSelection));
  // The file clicked on the map is shown in the list, when it is one of the listed.
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (FSelection.Origin() == TSelectionOrigin::Map && Primary) {
    const auto* File = std::get_if<const TFileLeaf*>(&*Primary);
    if (const auto Found = FRowOfFile.find(*File); Found != FRowOfFile.end()) {
      RevealRow(lvFiles, lvFiles->model()->index(Found->second, 0));
    }
  }
}

QString TFilesView::SelectionStatus() const {
  if (FSelection.Origin() == TSelectionOrigin::Legend && !FSelection.Empty()) {
    return LegendStatus(FExtRows->NamesOfRows(lvExt->selectionModel()->selectedRows()));
  }
  return ItemsStatus();
}

}  // namespace dunstrel
