#include "views/FilesView.h"

#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>

#include "common/ReleaseStorage.h"
#include "results/SelectionStatus.h"
#include "results/ValueFormat.h"
#include "treemap/TreemapKeys.h"
#include "views/ColorSwatch.h"
#include "views/ExtLegendModel.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

constexpr int kFullPathColumn = 5;
constexpr int kSizeColumn = 2;
constexpr int kRowsPerProgressStep = 250;
// The bytes of a path, which the shown text may have lost; in the size column, the byte count.
constexpr int kKeyRole = Qt::UserRole;

std::string KeyOf(const QTreeWidgetItem* Row, int Column) {
  return Row->data(Column, kKeyRole).toByteArray().toStdString();
}

}  // namespace

TFilesView::TFilesView(IViewHost& Host, const TScanResults& Results, TTreemapLayout& Map)
    : TResultTab(Host, {"TabSheet1", "pnlTop_LargestFiles", "PaintBox1", "Splitter2", 8,
                        "pnlBottom1", 303, "SplitterLeft", TSideListRule::RestBesideHalfWindow}),
      FResults(Results),
      FTreemap(Map),
      lvFiles(Named(new QTreeWidget(this), "lvFiles")),
      lvExt(Named(new QTreeView(this), "lvExt")),
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
  connect(lvFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& Selected) { lvFilesSelectItem(Selected); });
  connect(lvExt->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { lvExtSelectItem(); });
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
  lvFiles->clear();
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
  if (Count == 0) {
    lvFiles->clear();
    return;
  }
  const TSyncScope Guard(FHost.Syncing());
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

void TFilesView::ForgetMapSelection() {
  FTreemap.ClearSelection();
  FHover = nullptr;
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
  FTreemap.Paint(Canvas);
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

const TTreemapItem* TFilesView::CellOfFile(size_t Index) const {
  if (Index >= FResults.AllFiles.size()) {
    return nullptr;
  }
  // The map places the files in the order of the array, the list's order too, so a file is
  // usually the item of its own number; the path finds it otherwise.
  const TFileLeaf* File = FResults.AllFiles[Index];
  const std::vector<TTreemapItem>& Items = FTreemap.Items();
  if (Index < Items.size() && &Items[Index].File() == File) {
    return &Items[Index];
  }
  return FTreemap.GetItemByPath(File->FullPath());
}

void TFilesView::PaintBox1MouseDown(TPoint At, bool Ctrl) {
  const TTreemapItem* Cell = FTreemap.HitTest(At);
  if (Cell == nullptr) {
    return;
  }
  if (Ctrl) {
    FTreemap.ToggleSelected(Cell);
  } else {
    FTreemap.SetSingleSelected(Cell);
  }
  InvalidateMap();
  if (!FHost.Syncing().IsSet()) {
    const TSyncScope Guard(FHost.Syncing());
    if (!Ctrl) {
      lvFiles->clearSelection();
    }
    if (const auto Found = FRowOfFile.find(&Cell->File()); Found != FRowOfFile.end()) {
      QTreeWidgetItem* Row = lvFiles->topLevelItem(Found->second);
      if (Row != nullptr) {
        Row->setSelected(true);
        lvFiles->setCurrentItem(Row, 0, QItemSelectionModel::NoUpdate);
        lvFiles->scrollToItem(Row, QAbstractItemView::EnsureVisible);
      }
    }
  }
  FHost.SetStatus(ShownText(Cell->FullPath()) + QStringLiteral("  ") +
                  ShownText(FormatSize(Cell->Size(), FHost.FormatSettings())));
}

void TFilesView::PaintBox1DblClick() {
  if (const TTreemapItem* Cell = FTreemap.Primary()) {
    FHost.ShowInFolder(Cell->FullPath());
  }
}

void TFilesView::lvFilesSelectItem(const QItemSelection& Selected) {
  if (FHost.AppClosing() || FHost.Syncing().IsSet() || Selected.isEmpty()) {
    return;
  }
  const QModelIndexList Rows = Selected.indexes();
  const int Row = Rows.back().row();
  if (lvFiles->selectionModel()->selectedRows().size() > 1) {
    SyncTreemapFromFilesList();
    FHost.UpdateSelectionStatus();
    return;
  }
  if (const TTreemapItem* Cell = CellOfFile(static_cast<size_t>(Row))) {
    const TSyncScope Guard(FHost.Syncing());
    FTreemap.SetSingleSelected(Cell);
    InvalidateMap();
  }
  FHost.UpdateSelectionStatus();
}

void TFilesView::SyncTreemapFromFilesList() {
  if (FHost.Syncing().IsSet()) {
    return;
  }
  const TSyncScope Guard(FHost.Syncing());
  QModelIndexList Rows = lvFiles->selectionModel()->selectedRows();
  std::sort(Rows.begin(), Rows.end(),
            [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  std::vector<std::string> Paths;
  Paths.reserve(static_cast<size_t>(Rows.size()));
  for (const QModelIndex& Row : Rows) {
    Paths.push_back(KeyOf(lvFiles->topLevelItem(Row.row()), kFullPathColumn));
  }
  FTreemap.SetSelectedByPaths(
      Paths, Rows.isEmpty() ? nullptr : CellOfFile(static_cast<size_t>(Rows.front().row())));
  InvalidateMap();
}

void TFilesView::lvExtSelectItem() {
  if (!FHost.AppClosing()) {
    SyncSelectionFromExtList();
  }
}

void TFilesView::SyncSelectionFromExtList() {
  if (FHost.Syncing().IsSet()) {
    return;
  }
  TKeySet Chosen;
  for (const QModelIndex& Row : lvExt->selectionModel()->selectedRows()) {
    Chosen.insert(FExtRows->KeyAt(Row.row()));
  }
  if (Chosen.empty()) {
    {
      const TSyncScope Guard(FHost.Syncing());
      lvFiles->clearSelection();
    }
    FTreemap.ClearSelection();
    InvalidateMap();
    return;
  }
  // Files of one extension share one text in their scan's pool: each text is keyed once.
  std::unordered_map<const std::string*, bool> IsChosen;
  const auto Matches = [&](const TFileLeaf& File) {
    const std::string& Text = File.Ext();
    auto [Found, Added] = IsChosen.try_emplace(&Text, false);
    if (Added) {
      Found->second = Chosen.contains(ExtKey(Text));
    }
    return Found->second;
  };
  {
    const TSyncScope Guard(FHost.Syncing());
    QItemSelection Rows;
    for (int I = 0; I < lvFiles->topLevelItemCount(); ++I) {
      if (static_cast<size_t>(I) < FResults.DisplayFiles.size() &&
          Matches(*FResults.DisplayFiles[static_cast<size_t>(I)])) {
        const QModelIndex Index = lvFiles->model()->index(I, 0);
        Rows.select(Index, Index);
      }
    }
    lvFiles->selectionModel()->select(
        Rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  std::vector<std::string> Paths;
  const TTreemapItem* Primary = nullptr;
  for (size_t I = 0; I < FResults.AllFiles.size(); ++I) {
    if (Matches(*FResults.AllFiles[I])) {
      Paths.push_back(FResults.AllFiles[I]->FullPath());
      if (Primary == nullptr) {
        Primary = CellOfFile(I);
      }
    }
  }
  FTreemap.SetSelectedByPaths(Paths, Primary);
  InvalidateMap();
}

std::vector<std::string> TFilesView::GetSelectedPaths() const {
  std::vector<std::string> Paths;
  const QItemSelectionModel* Rows = lvFiles->selectionModel();
  for (int I = 0; I < lvFiles->topLevelItemCount(); ++I) {
    if (Rows->isRowSelected(I, {})) {
      Paths.push_back(KeyOf(lvFiles->topLevelItem(I), kFullPathColumn));
    }
  }
  return Paths;
}

QString TFilesView::SelectionStatus() const {
  QModelIndexList Rows = lvFiles->selectionModel()->selectedRows();
  if (Rows.isEmpty()) {
    return TranslatedText("Ready");
  }
  const auto First = std::min_element(
      Rows.begin(), Rows.end(),
      [](const QModelIndex& A, const QModelIndex& B) { return A.row() < B.row(); });
  const QTreeWidgetItem* Row = lvFiles->topLevelItem(First->row());
  return ShownText(SelectionText(KeyOf(Row, kFullPathColumn), Row->text(kSizeColumn).toStdString(),
                                 Rows.size()));
}

}  // namespace dunstrel
