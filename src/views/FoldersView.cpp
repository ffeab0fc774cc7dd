#include "views/FoldersView.h"

#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/SaturatingSum.h"
#include "results/SelectionStatus.h"
#include "results/TreeOrder.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
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
      tvFolders(Named(new QTreeView(this), "tvFolders")),
      FFolderRows(new TScanTreeModel(Host, TScanTreeModel::TContent::FoldersBelowRoot, this)),
      lvFilesOfSelectedFolder(Named(new QTreeWidget(this), "lvFilesOfSelectedFolder")) {
  PlaceControls(tvFolders, lvFilesOfSelectedFolder);
  tvFolders->setModel(FFolderRows);
  tvFolders->setHeaderHidden(true);
  tvFolders->setSelectionMode(QAbstractItemView::SingleSelection);
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
  connect(tvFolders->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { tvFoldersChange(); });
  connect(lvFilesOfSelectedFolder->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& Selected) {
            // Selecting the folder's node refills this list, which must not happen while the
            // list is still reporting the change.
            if (!Selected.isEmpty()) {
              QMetaObject::invokeMethod(
                  this, [this] { lvFilesOfSelectedFolderSelectItem(); }, Qt::QueuedConnection);
            }
          });
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
  FFolderRows->SetRoot(nullptr);
  lvFilesOfSelectedFolder->clear();
  FSelectedFolder = nullptr;
  FFolderMap.Clear();
  InvalidateMap();
}

void TFoldersView::BuildFoldersTree(TDirNode* Root) {
  if (Root == nullptr) {
    return;
  }
  const TSyncScope Guard(FHost.Syncing());
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
  const QModelIndex First = FFolderRows->index(0, 0, {});
  if (First.isValid()) {
    tvFolders->selectionModel()->setCurrentIndex(First, QItemSelectionModel::ClearAndSelect);
  }
  FHost.ShowProgress(Maximum, Maximum);
  FHost.SetStatus(
      ShownText(FormatText(Translate("Folders tree built (%d folders)."), {Total}, Settings)));
}

void TFoldersView::PopulateFilesOfSelectedFolder() {
  lvFilesOfSelectedFolder->setUpdatesEnabled(false);
  lvFilesOfSelectedFolder->clear();
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
}

void TFoldersView::RebuildFolderMap() {
  const TRect Rect = Surface()->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (FResults.Root != nullptr) {
    FFolderMap.BuildFromRoot(FResults.Root.get(), Rect);
    FFolderMap.SetSelectedNode(FSelectedFolder);
  }
  InvalidateMap();
}

bool TFoldersView::HasMapData() const {
  return FResults.Root != nullptr;
}

void TFoldersView::PaintMap(TTreemapCanvas& Canvas) const {
  FFolderMap.Paint(Canvas);
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

bool TFoldersView::SelectFolderNode(const TDirNode* Folder) {
  const QModelIndex Node = FFolderRows->IndexOfFolder(Folder);
  if (!Node.isValid()) {
    return false;
  }
  tvFolders->selectionModel()->setCurrentIndex(Node, QItemSelectionModel::ClearAndSelect);
  tvFolders->scrollTo(Node);
  tvFolders->expand(Node);
  return true;
}

void TFoldersView::MapMouseDown(TPoint At, bool) {
  const TDirNode* Folder = FFolderMap.HitTest(At);
  if (Folder == nullptr || SelectFolderNode(Folder)) {
    return;
  }
  FSelectedFolder = const_cast<TDirNode*>(Folder);
  PopulateFilesOfSelectedFolder();
  FFolderMap.SetSelectedNode(FSelectedFolder);
  InvalidateMap();
}

void TFoldersView::MapDoubleClick() {
  if (FSelectedFolder != nullptr) {
    FHost.OpenFolder(std::string(FSelectedFolder->FullPath()));
  }
}

void TFoldersView::tvFoldersChange() {
  if (FHost.AppClosing()) {
    return;
  }
  const QModelIndexList Selected = tvFolders->selectionModel()->selectedIndexes();
  const TDirNode* Folder =
      Selected.isEmpty() ? nullptr : TScanTreeModel::FolderOf(Selected.front());
  if (Folder == nullptr) {
    return;
  }
  FSelectedFolder = const_cast<TDirNode*>(Folder);
  PopulateFilesOfSelectedFolder();
  FFolderMap.SetSelectedNode(FSelectedFolder);
  InvalidateMap();
  FHost.UpdateSelectionStatus();
}

void TFoldersView::lvFilesOfSelectedFolderSelectItem() {
  const QList<QTreeWidgetItem*> Rows = lvFilesOfSelectedFolder->selectedItems();
  const TDirNode* Folder = Rows.isEmpty() ? nullptr : FolderOfRow(Rows.back());
  if (Folder == nullptr || SelectFolderNode(Folder)) {
    return;
  }
  FSelectedFolder = const_cast<TDirNode*>(Folder);
  FFolderMap.SetSelectedNode(FSelectedFolder);
  InvalidateMap();
}

std::vector<std::string> TFoldersView::GetSelectedPaths() const {
  // Rows chosen in the legend stand before the tree's folder.
  std::vector<std::string> Paths;
  bool AnyRow = false;
  const QItemSelectionModel* Rows = lvFilesOfSelectedFolder->selectionModel();
  for (int I = 0; I < lvFilesOfSelectedFolder->topLevelItemCount(); ++I) {
    if (Rows->isRowSelected(I, {})) {
      AnyRow = true;
      if (const TDirNode* Folder = FolderOfRow(lvFilesOfSelectedFolder->topLevelItem(I))) {
        Paths.emplace_back(Folder->FullPath());
      }
    }
  }
  if (AnyRow) {
    return Paths;
  }
  const QModelIndexList Selected = tvFolders->selectionModel()->selectedIndexes();
  if (const TDirNode* Folder =
          Selected.isEmpty() ? nullptr : TScanTreeModel::FolderOf(Selected.front())) {
    Paths.emplace_back(Folder->FullPath());
  }
  return Paths;
}

QString TFoldersView::SelectionStatus() const {
  const TFormatSettings& Settings = FHost.FormatSettings();
  const QList<QTreeWidgetItem*> Rows = lvFilesOfSelectedFolder->selectedItems();
  if (!Rows.isEmpty()) {
    const QTreeWidgetItem* First = *std::min_element(
        Rows.begin(), Rows.end(), [this](const QTreeWidgetItem* A, const QTreeWidgetItem* B) {
          return lvFilesOfSelectedFolder->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(A)) <
                 lvFilesOfSelectedFolder->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(B));
        });
    if (const TDirNode* Folder = FolderOfRow(First)) {
      return ShownText(
          SelectionText(Folder->FullPath(), FormatSize(Folder->TotalSize, Settings), Rows.size()));
    }
    return ShownText(SelectionText(First->text(0).toStdString(), {}, Rows.size()));
  }
  const QModelIndexList Selected = tvFolders->selectionModel()->selectedIndexes();
  if (const TDirNode* Folder =
          Selected.isEmpty() ? nullptr : TScanTreeModel::FolderOf(Selected.front())) {
    return ShownText(SelectionText(Folder->FullPath(), FormatSize(Folder->TotalSize, Settings), 1));
  }
  return TranslatedText("Ready");
}

}  // namespace dunstrel
