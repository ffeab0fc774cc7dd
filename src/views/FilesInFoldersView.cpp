#include "views/FilesInFoldersView.h"

#include <QTreeView>
#include <algorithm>
#include <vector>

#include "results/SelectionStatus.h"
#include "results/TreeOrder.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/ExtLegendModel.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/ScanTreeModel.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The chain of folders from Root down to the folder that holds File; empty when none does.
std::vector<const TDirNode*> ChainToFile(const TDirNode& Root, const TFileLeaf& File) {
  std::vector<const TDirNode*> Chain;
  for (const TDirNode* Node = &File.Parent(); Node != nullptr; Node = Node->Parent()) {
    Chain.insert(Chain.begin(), Node);
    if (Node == &Root) {
      return Chain;
    }
  }
  return {};
}

// A Ctrl click on the map adds its cell to the tree's selection or takes it out, as it does on
// the map: the tree's selection is what the map shows afterwards.
QItemSelectionModel::SelectionFlags SelectionCommand(bool Toggle) {
  return Toggle ? QItemSelectionModel::Toggle : QItemSelectionModel::ClearAndSelect;
}

}  // namespace

TFilesInFoldersView::TFilesInFoldersView(IViewHost& Host, const TScanResults& Results,
                                         THierTreemapLayout& Map)
    : TResultTab(Host, {"TabSheet3", "pnlTop_FilesInFolders", "PaintBox3", "Splitter6", 11,
                        "Panel2", 303, "Splitter4", TSideListRule::RestBesideHalfWindow}),
      FResults(Results),
      FHierMap(Map),
      tvFoldersAndFiles(Named(new QTreeView(this), "tvFoldersAndFiles")),
      FRows(new TScanTreeModel(Host, TScanTreeModel::TContent::RootFoldersAndFiles, this)),
      tvFileExtensions(Named(new QTreeView(this), "tvFileExtensions")),
      FExtRows(new TExtLegendModel(Host, FileExtensionColumns(), false, this)) {
  PlaceControls(tvFoldersAndFiles, tvFileExtensions);
  tvFoldersAndFiles->setModel(FRows);
  tvFoldersAndFiles->setHeaderHidden(true);
  tvFoldersAndFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvFoldersAndFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvFoldersAndFiles->setUniformRowHeights(true);
  tvFoldersAndFiles->setIndentation(19);
  KeepSelectionVisible(tvFoldersAndFiles);
  tvFileExtensions->setModel(FExtRows);
  SetUpReportView(tvFileExtensions, FileExtensionColumns(), logicalDpiX());
  tvFileExtensions->setItemDelegateForColumn(1, new TColorSwatchDelegate(tvFileExtensions));
  tvFileExtensions->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               return FHost.SmallIcon("x" + Row.data(kExtKeyRole).toByteArray().toStdString(),
                                      false);
             },
             tvFileExtensions));
  connect(tvFoldersAndFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { tvFoldersAndFilesChange(); });
  connect(tvFileExtensions->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { tvFileExtensionsSelectItem(); });
}

void TFilesInFoldersView::ApplyTranslation() {
  FExtRows->RetitleColumns();
}

void TFilesInFoldersView::Clear() {
  FRows->SetRoot(nullptr);
  FExtRows->Clear();
  FHierMap.Clear();
  FHover3 = nullptr;
  InvalidateMap();
}

void TFilesInFoldersView::BuildFoldersAndFilesTree(TDirNode* Root) {
  FRows->SetRoot(nullptr);
  if (Root == nullptr) {
    return;
  }
  SortFoldersAndFilesBySize(*Root);
  FRows->SetRoot(Root);
  tvFoldersAndFiles->selectionModel()->setCurrentIndex(FRows->index(0, 0, {}),
                                                       QItemSelectionModel::ClearAndSelect);
}

void TFilesInFoldersView::PopulateFileExtensionsList() {
  FExtRows->SetRows(FResults.Root != nullptr ? FResults.Root->ExtStats.ToSortedArrayByBytesDesc()
                                             : std::vector<TExtStatPair>{},
                    0);
}

void TFilesInFoldersView::RebuildHierMap() {
  const TRect Rect = Surface()->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (FResults.Root != nullptr) {
    FHover3 = nullptr;
    FHierMap.BuildFromRootSquarified(FResults.Root.get(), Rect);
  }
  InvalidateMap();
}

bool TFilesInFoldersView::HasMapData() const {
  return FResults.Root != nullptr;
}

void TFilesInFoldersView::PaintMap(TTreemapCanvas& Canvas) const {
  FHierMap.Paint(Canvas);
}

QString TFilesInFoldersView::MapHint(TPoint At, bool& Changed) {
  const THierItem* Cell = FHierMap.HitTest(At);
  Changed = Cell != FHover3;
  FHover3 = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return ShownText(Cell->FullPath()) + QLatin1Char('\n') +
         ShownText(FormatSize(Cell->Size, FHost.FormatSettings()));
}

void TFilesInFoldersView::MapMouseDown(TPoint At, bool Ctrl) {
  const THierItem* Cell = FHierMap.HitTest(At);
  if (Cell == nullptr) {
    return;
  }
  if (Ctrl) {
    FHierMap.ToggleSelected(Cell);
  } else {
    FHierMap.SetSingleSelected(Cell);
  }
  InvalidateMap();
  if (Cell->Kind == THierKind::hkFile) {
    SelectFileInFoldersAndFilesTree(Cell->FileLeaf, Ctrl);
  } else if (const QModelIndex Node = FRows->IndexOfFolder(Cell->Dir); Node.isValid()) {
    tvFoldersAndFiles->expand(Node);
    tvFoldersAndFiles->selectionModel()->setCurrentIndex(Node, SelectionCommand(Ctrl));
    tvFoldersAndFiles->scrollTo(Node);
  }
  FHost.SetStatus(
      ShownText(Cell->FullPath() + "  " + FormatSize(Cell->Size, FHost.FormatSettings())));
}

void TFilesInFoldersView::MapDoubleClick() {
  const THierItem* Cell = FHierMap.Primary();
  if (Cell == nullptr) {
    return;
  }
  if (Cell->Kind == THierKind::hkFile) {
    FHost.ShowInFolder(Cell->FullPath());
  } else {
    FHost.OpenFolder(Cell->FullPath());
  }
}

void TFilesInFoldersView::SelectFileInFoldersAndFilesTree(const TFileLeaf* Leaf, bool Toggle) {
  const TDirNode* Root = FRows->Root();
  if (Leaf == nullptr || Root == nullptr) {
    return;
  }
  for (const TDirNode* Folder : ChainToFile(*Root, *Leaf)) {
    const QModelIndex Node = FRows->IndexOfFolder(Folder);
    if (Node.isValid() && !tvFoldersAndFiles->isExpanded(Node)) {
      FRows->EnsureRows(Node);
      tvFoldersAndFiles->expand(Node);
    }
  }
  if (const QModelIndex Node = FRows->IndexOfFile(Leaf); Node.isValid()) {
    tvFoldersAndFiles->selectionModel()->setCurrentIndex(Node, SelectionCommand(Toggle));
    tvFoldersAndFiles->scrollTo(Node);
  }
}

QModelIndexList TFilesInFoldersView::SelectedNodes() const {
  QModelIndexList Nodes = tvFoldersAndFiles->selectionModel()->selectedIndexes();
  if (Nodes.isEmpty() && tvFoldersAndFiles->currentIndex().isValid() &&
      tvFoldersAndFiles->selectionModel()->isSelected(tvFoldersAndFiles->currentIndex())) {
    Nodes.append(tvFoldersAndFiles->currentIndex());
  }
  return Nodes;
}

void TFilesInFoldersView::tvFoldersAndFilesChange() {
  if (FHost.AppClosing() || FHost.Syncing().IsSet()) {
    return;
  }
  const std::vector<std::string> Paths = GetSelectedPaths();
  if (Paths.empty()) {
    FHierMap.ClearSelection();
  } else {
    FHierMap.SetSelectedByUpperPaths(Paths);
  }
  InvalidateMap();
  FHost.UpdateSelectionStatus();
}

void TFilesInFoldersView::tvFileExtensionsSelectItem() {
  if (FHost.AppClosing() || FHost.Syncing().IsSet()) {
    return;
  }
  QModelIndexList Rows = tvFileExtensions->selectionModel()->selectedRows();
  std::sort(Rows.begin(), Rows.end(),
            [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  std::vector<std::string> Exts;
  for (const QModelIndex& Row : Rows) {
    Exts.push_back(FExtRows->KeyAt(Row.row()));
  }
  if (Exts.empty()) {
    FHierMap.ClearSelection();
  } else {
    FHierMap.SetSelectedByExts(Exts);
  }
  InvalidateMap();
}

std::vector<std::string> TFilesInFoldersView::GetSelectedPaths() const {
  std::vector<std::string> Paths;
  for (const QModelIndex& Node : SelectedNodes()) {
    if (const TDirNode* Folder = TScanTreeModel::FolderOf(Node)) {
      Paths.emplace_back(Folder->FullPath());
    } else if (const TFileLeaf* File = TScanTreeModel::FileOf(Node)) {
      Paths.push_back(File->FullPath());
    }
  }
  return Paths;
}

QString TFilesInFoldersView::SelectionStatus() const {
  const QModelIndexList Nodes = SelectedNodes();
  TSelectedData First;
  if (!Nodes.isEmpty()) {
    if (const TFileLeaf* File = TScanTreeModel::FileOf(Nodes.front())) {
      First = File;
    } else if (const TDirNode* Folder = TScanTreeModel::FolderOf(Nodes.front())) {
      First = Folder;
    }
  }
  return ShownText(ItemSelectionText(First, Nodes.size(), FHost.FormatSettings()));
}

}  // namespace dunstrel
