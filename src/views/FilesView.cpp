#include "views/FilesView.h"

#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/ReleaseStorage.h"
#include "results/SelectionStatus.h"
#include "results/SizeFigures.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/ExtLegendModel.h"
#include "views/FigureMarks.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ShownText.h"
#include "views/SortableList.h"

namespace dunstrel {

namespace {

constexpr int kSizeColumn = 2;
constexpr int kShareColumn = 3;
constexpr int kModifiedColumn = 4;
constexpr int kFullPathColumn = 5;
constexpr int kGrowthColumn = 6;
// Rows made in one slice of the fill, and between two reports of the progress.
constexpr int kRowsPerSlice = 250;
// The bytes of a path, which the shown text may have lost.
constexpr int kKeyRole = Qt::UserRole;

}  // namespace

TFilesView::TFilesView(IViewHost& Host)
    : TResultTab(Host, {"TabSheet1", "pnlTop_LargestFiles", "PaintBox1", "Splitter2", 8,
                        "pnlBottom1", 303, "SplitterLeft", TSideListRule::RestBesideHalfWindow}),
      lvFiles(Named(new TGestureView<QTreeWidget>(this), "lvFiles")),
      lvExt(Named(new TGestureView<QTreeView>(this), "lvExt")),
      FExtRows(new TExtLegendModel(Host, ExtensionColumns(), true, this)) {
  PlaceControls(lvFiles, lvExt);
  const double Dpi = logicalDpiX();
  SetUpReportList(lvFiles, FilesColumns(), Dpi);
  lvFiles->setColumnHidden(kGrowthColumn, true);  // while results are compared
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
  // A row stands for its file: the list's rows are the first files of the largest-first array,
  // each row knowing its place there.
  WatchSelection(
      lvFiles,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TFileLeaf* File = FileOfRow(lvFiles->itemFromIndex(Row))) {
            Items.emplace_back(File);
          }
        }
      },
      TSelectionOrigin::Rows, true);
  // An extension stands for all its files, listed or not.
  WatchExtensionLegend(lvExt);
  MakeSortable(lvFiles, [this](const TSortChoice& Choice) {
    Reorder([&] { SortTopLevelItems(lvFiles, Choice); });
  });
  MakeSortable(lvExt,
               [this](const TSortChoice& Choice) { Reorder([&] { FExtRows->Sort(Choice); }); });
}

const TFileLeaf* TFilesView::FileOfRow(const QTreeWidgetItem* Row) const {
  if (Row == nullptr || FResults == nullptr) {
    return nullptr;
  }
  const auto Place = static_cast<size_t>(Row->data(0, kPlaceRole).toLongLong());
  return Place < FResults->DisplayFiles.size() ? FResults->DisplayFiles[Place] : nullptr;
}

void TFilesView::ApplyTranslation() {
  SetListColumnTitles(lvFiles, FilesColumns());
  FExtRows->RetitleColumns();
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvFiles->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvFiles->topLevelItem(I);
    if (const TFileLeaf* File = FileOfRow(Row)) {
      Row->setText(kSizeColumn, ShownText(FileFigureText(*File, FResults->Count, Settings)));
    }
  }
}

void TFilesView::WriteGrowth(QTreeWidgetItem& Row, const TFileLeaf& File) const {
  if (FComparison == nullptr) {
    Row.setText(kGrowthColumn, QString());
    Row.setData(kGrowthColumn, kSortKeyRole, QVariant());
    return;
  }
  const TGrowth Growth = FComparison->Of(File, FResults->Count);
  Row.setText(kGrowthColumn, ShownText(FormatGrowth(Growth, FHost.FormatSettings())));
  // By the bytes gained, not by the text: "+900 KB" is less than "+1.2 MB".
  Row.setData(kGrowthColumn, kSortKeyRole, QVariant::fromValue<qlonglong>(Growth.Bytes));
}

void TFilesView::GrowthChanged() {
  lvFiles->setColumnHidden(kGrowthColumn, FComparison == nullptr);
  // Each row by its own file: the list may be in another order than the results.
  for (int I = 0; I < lvFiles->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvFiles->topLevelItem(I);
    if (const TFileLeaf* File = FileOfRow(Row)) {
      WriteGrowth(*Row, *File);
    }
  }
  // An order by a growth no longer shown gives way to the results' own; one by the growth now
  // shown takes its figures.
  if (const TSortChoice Choice = SortChoiceOf(lvFiles); Choice.Column == kGrowthColumn) {
    if (FComparison == nullptr) {
      SetSortChoice(lvFiles, {});
    } else {
      Reorder([&] { SortTopLevelItems(lvFiles, Choice); });
    }
  }
}

void TFilesView::ClearControls() {
  lvFiles->clear();
  FExtRows->SetResults(nullptr);
  ReleaseStorage(FRowOfFile);
  FMap.Clear();
  FHover = nullptr;
}

std::vector<TResultTab::TFillStep> TFilesView::FillSteps() {
  return {[this] {
            FHost.SetStatus(TranslatedText("Populating Largest Files UI..."));
            return true;
          },
          [this] {
            if (!AddFileRows()) {
              return false;
            }
            // Rows added after a click on the header join its order.
            if (const TSortChoice Choice = SortChoiceOf(lvFiles); Choice.Active()) {
              Reorder([&] { SortTopLevelItems(lvFiles, Choice); });
            }
            return true;
          },
          [this] {
            FExtRows->SetResults(FResults.get());
            return true;
          }};
}

bool TFilesView::AddFileRows() {
  const std::span<TFileLeaf* const> Files = FResults->DisplayFiles;
  const int Count = static_cast<int>(Files.size());
  const int First = lvFiles->topLevelItemCount();
  if (First >= Count) {
    return true;
  }
  const TFormatSettings& Settings = FHost.FormatSettings();
  if (First == 0) {
    FRowOfFile.reserve(static_cast<size_t>(Count));
    FHost.ShowProgress(0, Count);
    FHost.SetStatus(ShownText(
        FormatText(Translate("Building file list... 0 / %d"), {int64_t{Count}}, Settings)));
  }
  const int Last = std::min(Count, First + kRowsPerSlice);
  QList<QTreeWidgetItem*> Batch;
  Batch.reserve(Last - First);
  for (int I = First; I < Last; ++I) {
    const TFileLeaf& File = *Files[static_cast<size_t>(I)];
    const double Modified = File.GetModifiedDateTime();
    const int64_t Figure = File.SizeIn(FResults->Count);
    auto* Row = new QTreeWidgetItem(
        QStringList{ShownText(File.Name()), ShownText(File.Parent().FullPath()),
                    ShownText(FileFigureText(File, FResults->Count, Settings)),
                    ShownText(FormatPercent(Figure, FResults->DisplayTotalBytes, Settings)),
                    Modified > 0 ? ShownText(FormatDateTimeText(Modified, Settings)) : QString(),
                    QString(), QString()});
    WriteGrowth(*Row, File);
    if (CountedElsewhere(File, FResults->Count)) {
      for (int Column = 0; Column < Row->columnCount(); ++Column) {
        Row->setForeground(Column, MarkedTextBrush());
      }
      Row->setToolTip(kSizeColumn, HardLinkNote());
    }
    // The hidden column keys the row by the path's own bytes; nobody reads it as text.
    Row->setData(kFullPathColumn, kKeyRole, QByteArray::fromStdString(File.FullPath()));
    Row->setData(0, kPlaceRole, I);
    Row->setData(0, kSortKeyRole, QByteArray::fromStdString(std::string(File.Name())));
    Row->setData(1, kSortKeyRole, QByteArray::fromStdString(File.Parent().FullPath()));
    Row->setData(kSizeColumn, kSortKeyRole, QVariant::fromValue<qlonglong>(Figure));
    Row->setData(kShareColumn, kSortKeyRole, QVariant::fromValue<qlonglong>(Figure));
    Row->setData(kModifiedColumn, kSortKeyRole, Modified);
    Batch.append(Row);
    FRowOfFile.emplace(&File, Row);
  }
  lvFiles->addTopLevelItems(Batch);
  FHost.ShowProgress(Last, Count);
  FHost.SetStatus(ShownText(FormatText(Translate("Building file list... %d / %d"),
                                       {int64_t{Last}, int64_t{Count}}, Settings)));
  return Last >= Count;
}

void TFilesView::LayOutMap(const TRect& Rect) {
  FHover = nullptr;
  FMap.BuildFromFiles(FResults->AllFiles, FResults->Count, Rect);
}

bool TFilesView::HasMapData() const {
  return FResults != nullptr && !FResults->AllFiles.empty();
}

void TFilesView::PaintMap(TTreemapCanvas& Canvas) const {
  FMap.Paint(Canvas, FSelection);
}

QString TFilesView::MapHint(TPoint At, bool& Changed) {
  const TFlatMapItem* Cell = FMap.HitTest(At);
  Changed = Cell != FHover;
  FHover = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return FileHint(Cell->File(), FResults->Count, FHost.FormatSettings());
}

std::optional<TSelectedItem> TFilesView::MapItemAt(TPoint At) const {
  if (const TFlatMapItem* Cell = FMap.HitTest(At)) {
    return &Cell->File();
  }
  return std::nullopt;
}

void TFilesView::ForEachMapCell(const TVisitCell& Visit) const {
  for (const TFlatMapItem& Cell : FMap.Items()) {
    Visit(&Cell.File(), Cell.Rect);
  }
}

void TFilesView::MapDoubleClick() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (Primary) {
    FHost.ShowInFolder(ItemPath(*Primary));
  }
}

void TFilesView::ShowSelection() {
  // The list holds a few thousand rows: each is asked, whatever the selection holds.
  QModelIndexList Rows;
  if (!FSelection.Empty() && FResults != nullptr) {
    const int Count = lvFiles->topLevelItemCount();
    for (int Row = 0; Row < Count; ++Row) {
      const TFileLeaf* File = FileOfRow(lvFiles->topLevelItem(Row));
      if (File != nullptr && FSelection.Contains(*File)) {
        Rows.append(lvFiles->model()->index(Row, 0));
      }
    }
  }
  ShowRows(lvFiles, RowSelection(Rows));
  ShowRows(lvExt, FExtRows->RowsWhollySelected(FSelection));
  // The file clicked on the map is shown in the list, when it is one of the listed.
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (FSelection.Origin() == TSelectionOrigin::Map && Primary) {
    const auto* File = std::get_if<const TFileLeaf*>(&*Primary);
    if (const auto Found = FRowOfFile.find(*File); Found != FRowOfFile.end()) {
      RevealRow(lvFiles, lvFiles->indexFromItem(Found->second));
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
