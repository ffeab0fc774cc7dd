#include "views/FoldersView.h"

#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/ReleaseStorage.h"
#include "common/SaturatingSum.h"
#include "results/SelectionStatus.h"
#include "results/TreeOrder.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ScanTreeModel.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kFoldersPerProgressStep = 200;
constexpr int kSizeColumn = 2;
// The legend row's folder.
constexpr int kFolderRole = Qt::UserRole;

const TDirNode* FolderOfRow(const QTreeWidgetItem* Row) {
  return Row == nullptr ? nullptr
                        : static_cast<const TDirNode*>(Row->data(0, kFolderRole).value<void*>());
}

}  // namespace

TFoldersView::TFoldersView(IViewHost& Host, const TScanResults& Results, TFolderTreemapLayout& Map)
    : TResultTab(Host, {"TabSheet2", "pnlTop_Folders", "PaintBox2", "Splitter1", 10, "pnlBottom2",
                        291, "Splitter3", TSideListRule::HalfPanel}),
      FResults(Results),
      FFolderMap(Map),
      tvFolders(Named(new TGestureView<QTreeView>(this), "tvFolders")),
      FFolderRows(new TScanTreeModel(Host, TScanTreeModel::TContent::FoldersBelowRoot, this)),
      lvFilesOfSelectedFolder(
          Named(new TGestureView<QTreeWidget>(this), "lvFilesOfSelectedFolder")) {
  PlaceControls(tvFolders, lvFilesOfSelectedFolder);
  tvFolders->setModel(FFolderRows);
  tvFolders->setHeaderHidden(true);
  tvFolders->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvFolders->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvFolders->setUniformRowHeights(true);
  tvFolders->setIndentation(19);
  KeepSelectionVisible(tvFolders);
  SetUpReportList(lvFilesOfSelectedFolder, FolderLegendColumns(), logicalDpiX());
  lvFilesOfSelectedFolder->setItemDelegateForColumn(
      1, new TColorSwatchDelegate(lvFilesOfSelectedFolder));
  lvFilesOfSelectedFolder->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               const auto* Folder =
                   static_cast<const TDirNode*>(Row.data(kFolderRole).value<void*>());
               return Folder != nullptr ? FHost.SmallIcon(std::string(Folder->FullPath()), true)
                                        : QIcon();
             },
             lvFilesOfSelectedFolder));
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
      lvFilesOfSelectedFolder,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TDirNode* Folder = FolderOfRow(lvFilesOfSelectedFolder->itemFromIndex(Row))) {
            Items.emplace_back(Folder);
          }
        }
      },
      TSelectionOrigin::Legend, true);
}

void TFoldersView::ApplyTranslation() {
  SetListColumnTitles(lvFilesOfSelectedFolder, FolderLegendColumns());
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvFilesOfSelectedFolder->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvFilesOfSelectedFolder->topLevelItem(I);
    if (const TDirNode* Folder = FolderOfRow(Row)) {
      Row->setText(kSizeColumn, ShownText(FormatSize(Folder->TotalSize, Settings)));
    }
  }
}

void TFoldersView::Clear() {
  FSelection.Clear();
  FFolderRows->SetRoot(nullptr);
  {
    const TShowing Showing(*this);
    lvFilesOfSelectedFolder->clear();
  }
  ReleaseStorage(FLegendRowOf);
  FFolderMap.Clear();
  InvalidateMap();
}

void TFoldersView::BuildFoldersTree(TDirNode* Root) {
  if (Root == nullptr) {
    return;
  }
  FHost.ShowBusyPointer();
  const TFormatSettings& Settings = FHost.FormatSettings();
  const int64_t Total = CountFoldersBelow(Root);
  const int Maximum = static_cast<int>(std::clamp<int64_t>(Total, 1, INT32_MAX));
  FHost.ShowProgress(0, Maximum);
  FHost.SetStatus(
      ShownText(FormatText(Translate("Building folders tree... 0 / %d"), {Total}, Settings)));
  FFolderRows->SetRoot(nullptr);
  const bool Completed = SortFoldersBySize(*Root, kFoldersPerProgressStep, [&](int64_t Done) {
    FHost.ShowProgress(static_cast<int>(std::min<int64_t>(Done, INT32_MAX)), Maximum);
    FHost.SetStatus(ShownText(
        FormatText(Translate("Building folders tree... %d / %d"), {Done, Total}, Settings)));
    return !FHost.LetEventsRunAndCheckStop();
  });
  if (!Completed) {
    FHost.SetStatus(TranslatedText("Cancelled."));
    return;
  }
  FFolderRows->SetRoot(Root);
  SelectFolder(Root->Children.empty() ? nullptr : Root->Children.front().get());
  FHost.ShowProgress(Maximum, Maximum);
  FHost.SetStatus(
      ShownText(FormatText(Translate("Folders tree built (%d folders)."), {Total}, Settings)));
}

void TFoldersView::SelectFolder(const TDirNode* Folder) {
  if (Folder != nullptr) {
    FSelection.Replace({Folder}, TSelectionOrigin::Rows);
  } else {
    FSelection.Clear();
  }
  SelectionChanged(false);
}

void TFoldersView::PopulateFilesOfSelectedFolder() {
  const TShowing Showing(*this);
  lvFilesOfSelectedFolder->setUpdatesEnabled(false);
  lvFilesOfSelectedFolder->clear();
  FLegendRowOf.clear();
  const TDirNode* Root = FResults.Root.get();
  if (Root != nullptr && !Root->Children.empty()) {
    std::vector<const TDirNode*> Folders;
    Folders.reserve(Root->Children.size());
    int64_t Total = 0;
    for (const std::unique_ptr<TDirNode>& Child : Root->Children) {
      Folders.push_back(Child.get());
      Total = SaturatingAdd(Total, Child->TotalSize);
    }
    std::stable_sort(Folders.begin(), Folders.end(), [](const TDirNode* A, const TDirNode* B) {
      return A->TotalSize > B->TotalSize;
    });
    const TFormatSettings& Settings = FHost.FormatSettings();
    QList<QTreeWidgetItem*> Rows;
    for (const TDirNode* Folder : Folders) {
      FLegendRowOf.emplace(Folder, static_cast<int>(Rows.size()));
      const std::string Path(Folder->FullPath());
      auto* Row = new QTreeWidgetItem(QStringList{
          ShownText(Folder->Name()), QString(), ShownText(FormatSize(Folder->TotalSize, Settings)),
          ShownText(FormatPercent(Folder->TotalSize, Total, Settings)),
          QString::number(Folder->TotalFiles)});
      Row->setData(0, kFolderRole,
                   QVariant::fromValue(const_cast<void*>(static_cast<const void*>(Folder))));
      Row->setData(0, kSwatchColorRole, QVariant::fromValue<uint32_t>(ColorForPath(Path)));
      Rows.append(Row);
    }
    lvFilesOfSelectedFolder->addTopLevelItems(Rows);
  }
  lvFilesOfSelectedFolder->setUpdatesEnabled(true);
  ShowSelection();
}

void TFoldersView::RebuildFolderMap() {
  const TRect Rect = Surface()->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (FResults.Root != nullptr) {
    FFolderMap.BuildFromRoot(FResults.Root.get(), Rect);
  }
  InvalidateMap();
}

bool TFoldersView::HasMapData() const {
  return FResults.Root != nullptr;
}

void TFoldersView::PaintMap(TTreemapCanvas& Canvas) const {
  FFolderMap.Paint(Canvas, FSelection);
}

QString TFoldersView::MapHint(TPoint At, bool& Changed) {
  const TDirNode* Folder = FFolderMap.HitTest(At);
  Changed = Folder != FFolderMap.HoverNode();
  FFolderMap.SetHoverNode(Folder);
  if (Folder == nullptr) {
    return {};
  }
  return ShownText(Folder->FullPath()) + QLatin1Char('\n') +
         ShownText(FormatSize(Folder->TotalSize, FHost.FormatSettings()));
}

void TFoldersView::MapMouseDown(TPoint At, bool Ctrl) {
  if (const TDirNode* Folder = FFolderMap.HitTest(At)) {
    MapItemClicked(Folder, Ctrl);
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
      LegendRows.append(lvFilesOfSelectedFolder->model()->index(Row->second, 0));
    }
  }
  ShowRows(tvFolders, RowSelection(Nodes));
  ShowRows(lvFilesOfSelectedFolder, RowSelection(LegendRows));
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
    for (int I = 0; I < lvFilesOfSelectedFolder->topLevelItemCount(); ++I) {
      const QTreeWidgetItem* Row = lvFilesOfSelectedFolder->topLevelItem(I);
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
