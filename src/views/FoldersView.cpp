#include "views/FoldersView.h"

#include <QHeaderView>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/ReleaseStorage.h"
#include "common/SaturatingSum.h"
#include "results/SelectionStatus.h"
#include "results/ValueFormat.h"
#include "scan/KeyColors.h"
#include "views/ColorSwatch.h"
#include "views/FigureMarks.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ScanTreeModel.h"
#include "views/ShownText.h"
#include "views/SortableList.h"

namespace dunstrel {

namespace {

// Legend rows made in one slice of the fill.
constexpr int kRowsPerSlice = 500;
constexpr int kSizeColumn = 2;
constexpr int kShareColumn = 3;
constexpr int kFilesColumn = 4;
constexpr int kGrowthColumn = 5;
// The legend row's folder.
constexpr int kFolderRole = Qt::UserRole;

const TDirNode* FolderOfRow(const QTreeWidgetItem* Row) {
  return Row == nullptr ? nullptr
                        : static_cast<const TDirNode*>(Row->data(0, kFolderRole).value<void*>());
}

}  // namespace

TFoldersView::TFoldersView(IViewHost& Host)
    : TResultTab(Host, {"TabSheet2", "pnlTop_Folders", "PaintBox2", "Splitter1", 10, "pnlBottom2",
                        291, "Splitter3", TSideListRule::HalfPanel}),
      tvFolders(Named(new TGestureView<QTreeView>(this), "tvFolders")),
      FFolderRows(new TScanTreeModel(Host, TScanTreeModel::TContent::FoldersBelowRoot, this)),
      lvTopFolders(Named(new TGestureView<QTreeWidget>(this), "lvFilesOfSelectedFolder")) {
  PlaceControls(tvFolders, lvTopFolders);
  tvFolders->setModel(FFolderRows);
  SetUpScanTree(tvFolders, false, logicalDpiX());
  SetUpReportList(lvTopFolders, FolderLegendColumns(), logicalDpiX());
  lvTopFolders->setColumnHidden(kGrowthColumn, true);  // while results are compared
  lvTopFolders->setItemDelegateForColumn(1, new TColorSwatchDelegate(lvTopFolders));
  lvTopFolders->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               const auto* Folder =
                   static_cast<const TDirNode*>(Row.data(kFolderRole).value<void*>());
               if (Folder == nullptr) {
                 return QIcon();
               }
               return Folder->ReadProblem != platform::TListProblem::None
                          ? UnreadableFolderIcon()
                          : FHost.SmallIcon(std::string(Folder->FullPath()), true);
             },
             lvTopFolders));
  WatchSelection(
      tvFolders,
      [](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TDirNode* Folder = TScanTreeModel::FolderOf(Row)) {
            Items.emplace_back(Folder);
          }
        }
      },
      TSelectionOrigin::Rows, false);
  WatchSelection(
      lvTopFolders,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TDirNode* Folder = FolderOfRow(lvTopFolders->itemFromIndex(Row))) {
            Items.emplace_back(Folder);
          }
        }
      },
      TSelectionOrigin::Legend, true);
  MakeSortable(tvFolders,
               [this](const TSortChoice& Choice) { Reorder([&] { FFolderRows->Sort(Choice); }); });
  MakeSortable(lvTopFolders, [this](const TSortChoice& Choice) {
    Reorder([&] { SortTopLevelItems(lvTopFolders, Choice); });
  });
}

void TFoldersView::ApplyTranslation() {
  FFolderRows->RetitleColumns();
  SetListColumnTitles(lvTopFolders, FolderLegendColumns());
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvTopFolders->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvTopFolders->topLevelItem(I);
    if (const TDirNode* Folder = FolderOfRow(Row)) {
      Row->setText(kSizeColumn, ShownText(FormatSize(Folder->TotalIn(FResults->Count), Settings)));
    }
  }
}

QString TFoldersView::GrowthText(const TDirNode& Folder) const {
  return FComparison != nullptr ? ShownText(FormatGrowth(FComparison->Of(Folder, FResults->Count),
                                                         FHost.FormatSettings()))
                                : QString();
}

void TFoldersView::GrowthChanged() {
  FFolderRows->SetComparison(FComparison.get(),
                             FResults != nullptr ? FResults->Count : TSizeCount::ApparentSize);
  if (FComparison != nullptr) {
    tvFolders->header()->setStretchLastSection(false);
    tvFolders->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvFolders->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  }
  lvTopFolders->setColumnHidden(kGrowthColumn, FComparison == nullptr);
  for (int I = 0; I < lvTopFolders->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvTopFolders->topLevelItem(I);
    if (const TDirNode* Folder = FolderOfRow(Row)) {
      Row->setText(kGrowthColumn, GrowthText(*Folder));
    }
  }
}

void TFoldersView::ClearControls() {
  FFolderRows->SetRoot(nullptr, TSizeCount::ApparentSize);
  lvTopFolders->clear();
  ReleaseStorage(FLegendRowOf);
  FMap.Clear();
}

std::vector<TResultTab::TFillStep> TFoldersView::FillSteps() {
  return {[this] {
            FHost.SetStatus(TranslatedText("Populating folders UI..."));
            FFolderRows->SetRoot(FResults->Root.get(), FResults->Count);
            return true;
          },
          [this] { return AddTopFolderRows(); },
          [this] {
            // A new scan starts with the largest folder below the root.
            if (const TDirNode* Largest = FResults->LargestTopFolder()) {
              FSelection.Replace({Largest}, TSelectionOrigin::Rows);
            }
            SelectionChanged(false);
            return true;
          }};
}

bool TFoldersView::AddTopFolderRows() {
  const TDirNode* Root = MapRoot();
  const int Count = Root != nullptr ? static_cast<int>(Root->Children.size()) : 0;
  const int First = lvTopFolders->topLevelItemCount();
  if (First >= Count) {
    return true;
  }
  if (First == 0) {
    // The shares are of the folders' sizes together: files directly in the root are no part.
    FTopFoldersBytes = 0;
    for (const std::unique_ptr<TDirNode>& Child : Root->Children) {
      FTopFoldersBytes = SaturatingAdd(FTopFoldersBytes, Child->TotalIn(FResults->Count));
    }
  }
  const TFormatSettings& Settings = FHost.FormatSettings();
  const int Last = std::min(Count, First + kRowsPerSlice);
  QList<QTreeWidgetItem*> Rows;
  for (int I = First; I < Last; ++I) {
    const TDirNode* Folder = Root->Children[static_cast<size_t>(I)].get();
    const int64_t Figure = Folder->TotalIn(FResults->Count);
    auto* Row = new QTreeWidgetItem(
        QStringList{ShownText(Folder->Name()), QString(), ShownText(FormatSize(Figure, Settings)),
                    ShownText(FormatPercent(Figure, FTopFoldersBytes, Settings)),
                    QString::number(Folder->TotalFiles), GrowthText(*Folder)});
    if (Folder->ReadProblem != platform::TListProblem::None) {
      Row->setToolTip(0, UnreadableNote(*Folder));
      for (int Column = 0; Column < Row->columnCount(); ++Column) {
        Row->setForeground(Column, MarkedTextBrush());
      }
    }
    Row->setData(0, kFolderRole,
                 QVariant::fromValue(const_cast<void*>(static_cast<const void*>(Folder))));
    const uint32_t Color = ColorForPath(Folder->FullPath());
    Row->setData(0, kSwatchColorRole, QVariant::fromValue<uint32_t>(Color));
    Row->setData(0, kPlaceRole, I);
    Row->setData(0, kSortKeyRole, QByteArray::fromStdString(std::string(Folder->Name())));
    Row->setData(1, kSortKeyRole, QVariant::fromValue<uint32_t>(Color));
    for (const int Column : {kSizeColumn, kShareColumn}) {
      Row->setData(Column, kSortKeyRole, QVariant::fromValue<qlonglong>(Figure));
    }
    Row->setData(kFilesColumn, kSortKeyRole, QVariant::fromValue<qlonglong>(Folder->TotalFiles));
    FLegendRowOf.emplace(Folder, Row);
    Rows.append(Row);
  }
  lvTopFolders->addTopLevelItems(Rows);
  if (Last < Count) {
    return false;
  }
  // Rows added after a click on the header join its order.
  if (const TSortChoice Choice = SortChoiceOf(lvTopFolders); Choice.Active()) {
    Reorder([&] { SortTopLevelItems(lvTopFolders, Choice); });
  }
  return true;
}

void TFoldersView::LayOutMap(const TRect& Rect) {
  FMap.BuildFromRoot(MapRoot(), FResults->Count, Rect);
}

void TFoldersView::MapRootChanged() {
  FFolderRows->SetRoot(MapRoot(), FResults->Count);
  lvTopFolders->clear();
  ReleaseStorage(FLegendRowOf);
  while (!AddTopFolderRows()) {
  }
}

bool TFoldersView::HasMapData() const {
  return FResults != nullptr && FResults->Root != nullptr;
}

void TFoldersView::PaintMap(TTreemapCanvas& Canvas) const {
  FMap.Paint(Canvas, FSelection);
}

QString TFoldersView::MapHint(TPoint At, bool& Changed) {
  const TDirNode* Folder = FMap.HitTest(At);
  Changed = Folder != FMap.HoverNode();
  FMap.SetHoverNode(Folder);
  if (Folder == nullptr) {
    return {};
  }
  return FolderHint(*Folder, Folder->TotalIn(FResults->Count), FHost.FormatSettings());
}

std::optional<TSelectedItem> TFoldersView::MapItemAt(TPoint At) const {
  if (const TDirNode* Folder = FMap.HitTest(At)) {
    return Folder;
  }
  return std::nullopt;
}

void TFoldersView::ForEachMapCell(const TVisitCell& Visit) const {
  for (const TFolderMapItem& Cell : FMap.Items()) {
    Visit(Cell.Node, Cell.Rect);
  }
}

void TFoldersView::MapDoubleClick() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (Primary) {
    FHost.OpenFolder(ItemPath(*Primary));
  }
}

void TFoldersView::ShowSelection() {
  QModelIndexList Nodes;
  QModelIndexList LegendRows;
  for (const TSelectedItem& Item : FSelection.Items()) {
    const auto* Folder = std::get_if<const TDirNode*>(&Item);
    if (Folder == nullptr) {
      continue;
    }
    if (const QModelIndex Node = FFolderRows->IndexOfFolder(*Folder); Node.isValid()) {
      Nodes.append(Node);
    }
    if (const auto Row = FLegendRowOf.find(*Folder); Row != FLegendRowOf.end()) {
      LegendRows.append(lvTopFolders->indexFromItem(Row->second));
    }
  }
  ShowRows(tvFolders, RowSelection(Nodes));
  ShowRows(lvTopFolders, RowSelection(LegendRows));
  // A folder chosen on the map or in the legend is shown in the tree, opened one level.
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (FSelection.Origin() != TSelectionOrigin::Rows && Primary) {
    const QModelIndex Node = FFolderRows->IndexOfFolder(std::get<const TDirNode*>(*Primary));
    RevealRow(tvFolders, Node);
    tvFolders->expand(Node);
  }
}

QString TFoldersView::SelectionStatus() const {
  if (FSelection.Origin() == TSelectionOrigin::Legend && !FSelection.Empty()) {
    std::string Names;
    for (int I = 0; I < lvTopFolders->topLevelItemCount(); ++I) {
      const QTreeWidgetItem* Row = lvTopFolders->topLevelItem(I);
      if (const TDirNode* Folder = Row->isSelected() ? FolderOfRow(Row) : nullptr) {
        Names += Names.empty() ? "" : ", ";
        Names += Folder->Name();
      }
    }
    return LegendStatus(Names);
  }
  return ItemsStatus();
}

}  // namespace dunstrel
