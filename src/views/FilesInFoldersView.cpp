#include "views/FilesInFoldersView.h"

#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <vector>

#include "results/SelectionStatus.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/ExtLegendModel.h"
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

// The map's colours by growth (blue, green and red of a colour, from the low byte up).
constexpr TColor kGrownColor = 0x3030D8;
constexpr TColor kShrunkColor = 0xD87830;
constexpr TColor kNewColor = 0x20A0F0;
constexpr TColor kUnchangedColor = 0xB0B0B0;

}  // namespace

namespace {

// The chain of folders from Root down to Folder, both included; empty when Folder is not below
// Root.
std::vector<const TDirNode*> ChainTo(const TDirNode& Root, const TDirNode* Folder) {
  std::vector<const TDirNode*> Chain;
  for (const TDirNode* Node = Folder; Node != nullptr; Node = Node->Parent()) {
    Chain.push_back(Node);
    if (Node == &Root) {
      std::reverse(Chain.begin(), Chain.end());
      return Chain;
    }
  }
  return {};
}

}  // namespace

TFilesInFoldersView::TFilesInFoldersView(IViewHost& Host)
    : TResultTab(Host, {"TabSheet3", "pnlTop_FilesInFolders", "PaintBox3", "Splitter6", 11,
                        "Panel2", 303, "Splitter4", TSideListRule::RestBesideHalfWindow}),
      tvFoldersAndFiles(Named(new TGestureView<QTreeView>(this), "tvFoldersAndFiles")),
      FRows(new TScanTreeModel(Host, TScanTreeModel::TContent::RootFoldersAndFiles, this)),
      tvFileExtensions(Named(new TGestureView<QTreeView>(this), "tvFileExtensions")),
      FExtRows(new TExtLegendModel(Host, FileExtensionColumns(), false, this)) {
  PlaceControls(tvFoldersAndFiles, tvFileExtensions);
  tvFoldersAndFiles->setModel(FRows);
  SetUpScanTree(tvFoldersAndFiles, true, logicalDpiX());
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
  WatchSelection(
      tvFoldersAndFiles,
      [](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TDirNode* Folder = TScanTreeModel::FolderOf(Row)) {
            Items.emplace_back(Folder);
          } else if (const TFileLeaf* File = TScanTreeModel::FileOf(Row)) {
            Items.emplace_back(File);
          }
        }
      },
      TSelectionOrigin::Rows, false);
  // An extension stands for all its files.
  WatchExtensionLegend(tvFileExtensions);
  MakeSortable(tvFoldersAndFiles,
               [this](const TSortChoice& Choice) { Reorder([&] { FRows->Sort(Choice); }); });
  MakeSortable(tvFileExtensions,
               [this](const TSortChoice& Choice) { Reorder([&] { FExtRows->Sort(Choice); }); });
}

void TFilesInFoldersView::ApplyTranslation() {
  FRows->RetitleColumns();
  FExtRows->RetitleColumns();
}

void TFilesInFoldersView::ClearControls() {
  FRows->SetRoot(nullptr, TSizeCount::ApparentSize);
  FExtRows->SetResults(nullptr);
  FMap.Clear();
  FHover = nullptr;
}

std::vector<TResultTab::TFillStep> TFilesInFoldersView::FillSteps() {
  return {[this] {
            FHost.SetStatus(TranslatedText("Populating extensions..."));
            FExtRows->SetResults(FResults.get());
            return true;
          },
          [this] {
            const TDirNode* Root = FResults->Root.get();
            FRows->SetRoot(Root, FResults->Count);
            // A new scan starts with the root selected.
            if (Root != nullptr) {
              FSelection.Replace({Root}, TSelectionOrigin::Rows);
            }
            SelectionChanged(false);
            RevealRow(tvFoldersAndFiles, FRows->index(0, 0, {}));
            return true;
          }};
}

void TFilesInFoldersView::LayOutMap(const TRect& Rect) {
  FHover = nullptr;
  FMap.BuildFromRootSquarified(MapRoot(), FResults->Count, Rect);
}

bool TFilesInFoldersView::HasMapData() const {
  return FResults != nullptr && FResults->Root != nullptr;
}

void TFilesInFoldersView::PaintMap(TTreemapCanvas& Canvas) const {
  if (!FColorByGrowth || FComparison == nullptr) {
    FMap.Paint(Canvas, FSelection);
    return;
  }
  // Four fixed colours, one for each way a file stands against the baseline.
  const TSizeCount Count = FResults->Count;
  FMap.Paint(Canvas, FSelection, [this, Count](const TFileLeaf& File) -> TColor {
    switch (FComparison->Of(File, Count).Kind) {
      case TGrowthKind::Grown:
        return kGrownColor;
      case TGrowthKind::Shrunk:
        return kShrunkColor;
      case TGrowthKind::New:
        return kNewColor;
      case TGrowthKind::Unchanged:
        break;
    }
    return kUnchangedColor;
  });
}

void TFilesInFoldersView::SetColorByGrowth(bool ByGrowth) {
  FColorByGrowth = ByGrowth;
  // The colours' meaning, where the map is.
  Surface()->setToolTip(
      ByGrowth ? TranslatedText("Red: grown, blue: shrunk, orange: new, grey: unchanged")
               : QString());
  InvalidateMap();
}

void TFilesInFoldersView::GrowthChanged() {
  FRows->SetComparison(FComparison.get(),
                       FResults != nullptr ? FResults->Count : TSizeCount::ApparentSize);
  // The names take the room the growth leaves.
  if (FComparison != nullptr) {
    tvFoldersAndFiles->header()->setStretchLastSection(false);
    tvFoldersAndFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvFoldersAndFiles->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  }
}

QString TFilesInFoldersView::MapHint(TPoint At, bool& Changed) {
  const THierItem* Cell = FMap.HitTest(At);
  Changed = Cell != FHover;
  FHover = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return Cell->FileLeaf != nullptr
             ? FileHint(*Cell->FileLeaf, FResults->Count, FHost.FormatSettings())
             : FolderHint(*Cell->Dir, Cell->Dir->TotalIn(FResults->Count), FHost.FormatSettings());
}

std::optional<TSelectedItem> TFilesInFoldersView::MapItemAt(TPoint At) const {
  if (const THierItem* Cell = FMap.HitTest(At)) {
    return ItemOfCell(*Cell);
  }
  return std::nullopt;
}

void TFilesInFoldersView::ForEachMapCell(const TVisitCell& Visit) const {
  for (const THierItem& Cell : FMap.Items()) {
    Visit(ItemOfCell(Cell), Cell.Rect);
  }
}

void TFilesInFoldersView::MapDoubleClick() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (!Primary) {
    return;
  }
  if (std::holds_alternative<const TFileLeaf*>(*Primary)) {
    FHost.ShowInFolder(ItemPath(*Primary));
  } else {
    FHost.OpenFolder(ItemPath(*Primary));
  }
}

void TFilesInFoldersView::MapRootChanged() {
  FRows->SetRoot(MapRoot(), FResults->Count);
  FExtRows->SetScope(MapRoot() != FResults->Root.get() ? MapRoot() : nullptr);
  RevealRow(tvFoldersAndFiles, FRows->index(0, 0, {}));
}

QModelIndex TFilesInFoldersView::OpenRowOf(const TSelectedItem& Item) {
  const TDirNode* Root = FRows->Root();
  if (Root == nullptr) {
    return {};
  }
  const auto* File = std::get_if<const TFileLeaf*>(&Item);
  const TDirNode* Folder = File != nullptr ? &(*File)->Parent() : std::get<const TDirNode*>(Item);
  // The folders above the item; a folder's own row is opened too.
  for (const TDirNode* Above : ChainTo(*Root, Folder)) {
    const QModelIndex Node = FRows->IndexOfFolder(Above);
    if (Node.isValid() && !tvFoldersAndFiles->isExpanded(Node)) {
      FRows->EnsureRows(Node);
      tvFoldersAndFiles->expand(Node);
    }
  }
  return File != nullptr ? FRows->IndexOfFile(*File) : FRows->IndexOfFolder(Folder);
}

void TFilesInFoldersView::ShowSelection() {
  // Only rows that exist are marked: the tree does not open folders for a legend's files.
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  QModelIndex Revealed;
  if (FSelection.Origin() == TSelectionOrigin::Map && Primary) {
    Revealed = OpenRowOf(*Primary);
  }
  QModelIndexList Rows;
  for (const TSelectedItem& Item : FSelection.Items()) {
    const auto* File = std::get_if<const TFileLeaf*>(&Item);
    const QModelIndex Row = File != nullptr ? FRows->IndexOfFile(*File)
                                            : FRows->IndexOfFolder(std::get<const TDirNode*>(Item));
    if (Row.isValid()) {
      Rows.append(Row);
    }
  }
  if (!FSelection.Extensions().empty()) {
    Rows.append(FRows->FileRowsWhere([this](const TFileLeaf& File) {
      return FSelection.HasExtension(FResults->ExtensionOf(File));
    }));
  }
  ShowRows(tvFoldersAndFiles, RowSelection(Rows));
  ShowRows(tvFileExtensions, FExtRows->RowsWhollySelected(FSelection));
  RevealRow(tvFoldersAndFiles, Revealed);
}

QString TFilesInFoldersView::SelectionStatus() const {
  if (FSelection.Origin() == TSelectionOrigin::Legend && !FSelection.Empty()) {
    return LegendStatus(FExtRows->NamesOfRows(tvFileExtensions->selectionModel()->selectedRows()));
  }
  return ItemsStatus();
}

}  // namespace dunstrel
