#include "views/DuplicatesView.h"

#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

// The group of a top-level node or legend row, the file of a node below a group.
constexpr int kDataRole = Qt::UserRole;
constexpr int kGroupSizeColumn = 2;
// The tree lets the event loop run once per this many file nodes.
constexpr int kFileNodesPerEventPass = 150;

QVariant DataOf(const void* Object) {
  return QVariant::fromValue(const_cast<void*>(Object));
}

const TDupGroup* GroupOfRow(const QTreeWidgetItem* Row) {
  return static_cast<const TDupGroup*>(Row->data(0, kDataRole).value<void*>());
}

// The group's first file's time to the nearest ten-thousandth of a day; empty without one.
QString ModifiedText(const TDupGroup& Group, const TFormatSettings& Settings) {
  if (Group.Files.empty()) {
    return {};
  }
  const double Rounded = std::round(Group.Files.front()->GetModifiedDateTime() * 1e4) / 1e4;
  return Rounded > 0 ? ShownText(FormatDateTimeText(Rounded, Settings)) : QString();
}

void AppendMemberPaths(const TDupGroup& Group, std::vector<std::string>& Paths) {
  for (const TFileLeaf* File : Group.Files) {
    Paths.push_back(File->FullPath());
  }
}

}  // namespace

TDuplicatesView::TDuplicatesView(IViewHost& Host, const TScanResults& Results,
                                 TDupTreemapLayout& Map)
    : TResultTab(Host, {"TabSheetDuplicates", "Panel1", "PaintBox4", "Splitter7", 13, "Panel3", 303,
                        "Splitter5", TSideListRule::HalfPanel}),
      FResults(Results),
      FDupeMap(Map),
      tvDuplicateFiles(Named(new QTreeWidget(this), "tvDuplicateFiles")),
      lvDuplicateGroupsColors(Named(new QTreeWidget(this), "lvDuplicateGroupsColors")) {
  PlaceControls(tvDuplicateFiles, lvDuplicateGroupsColors);
  tvDuplicateFiles->setHeaderHidden(true);
  tvDuplicateFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvDuplicateFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvDuplicateFiles->setUniformRowHeights(true);
  tvDuplicateFiles->setIndentation(19);
  KeepSelectionVisible(tvDuplicateFiles);
  SetUpReportList(lvDuplicateGroupsColors, DuplicateGroupColumns(), logicalDpiX());
  lvDuplicateGroupsColors->setItemDelegateForColumn(
      1, new TColorSwatchDelegate(lvDuplicateGroupsColors));
  // A group's row shows the icon of its files' type, as the other legends show theirs.
  lvDuplicateGroupsColors->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               const auto* Group =
                   static_cast<const TDupGroup*>(Row.data(kDataRole).value<void*>());
               return Group != nullptr ? FHost.SmallIcon(Group->FileName, false) : QIcon();
             },
             lvDuplicateGroupsColors));
  connect(tvDuplicateFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { tvDuplicateFilesChange(); });
  connect(lvDuplicateGroupsColors->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& Selected) { lvDuplicateGroupsColorsSelectItem(Selected); });
}

void TDuplicatesView::ApplyTranslation() {
  SetListColumnTitles(lvDuplicateGroupsColors, DuplicateGroupColumns());
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvDuplicateGroupsColors->topLevelItem(I);
    if (const TDupGroup* Group = GroupOfRow(Row)) {
      Row->setText(kGroupSizeColumn, ShownText(FormatSize(Group->Size, Settings)));
    }
  }
}

void TDuplicatesView::Clear() {
  tvDuplicateFiles->clear();
  lvDuplicateGroupsColors->clear();
  FDupeMap.Clear();
  FHover4 = nullptr;
  InvalidateMap();
}

TSelectedData TDuplicatesView::NodeData(const QTreeWidgetItem* Node) {
  if (Node == nullptr) {
    return {};
  }
  const void* Data = Node->data(0, kDataRole).value<void*>();
  if (Data == nullptr) {
    return {};
  }
  if (Node->parent() == nullptr) {
    return static_cast<const TDupGroup*>(Data);
  }
  return static_cast<const TFileLeaf*>(Data);
}

void TDuplicatesView::PopulateDuplicatesTree() {
  const TSyncScope Guard(FHost.Syncing());
  tvDuplicateFiles->setUpdatesEnabled(false);
  tvDuplicateFiles->clear();
  // Nodes are made outside the tree, where adding a child costs nothing, and go in at once.
  QList<QTreeWidgetItem*> Groups;
  const auto Flush = [&] {
    tvDuplicateFiles->addTopLevelItems(Groups);
    Groups.clear();
    tvDuplicateFiles->setUpdatesEnabled(true);
  };
  try {
    // One icon per extension and fill; the members of a group share theirs.
    std::unordered_map<const std::string*, QIcon> Icons;
    const auto IconOf = [&](const TFileLeaf& File) {
      const std::string& Ext = File.Ext();
      auto [Found, Added] = Icons.try_emplace(&Ext);
      if (Added) {
        Found->second = FHost.SmallIcon("x" + Ext, false);
      }
      return Found->second;
    };
    const TFormatSettings& Settings = FHost.FormatSettings();
    std::string Path;
    int Processed = 0;
    for (const TDupGroup& Group : FResults.Duplicates.Groups) {
      auto* GroupNode = new QTreeWidgetItem(
          QStringList{ShownText(Group.FileName) +
                      QStringLiteral("  (%1)").arg(static_cast<qulonglong>(Group.Files.size()))});
      Groups.append(GroupNode);
      GroupNode->setData(0, kDataRole, DataOf(&Group));
      if (Group.Files.size() >= 2) {
        // The name is spelled as the second member spells it.
        GroupNode->setIcon(0, IconOf(*Group.Files[1]));
      }
      const size_t Shown = std::min(Group.Files.size(), kMaxFileNodesPerGroup);
      for (size_t I = 0; I < Shown; ++I) {
        const TFileLeaf& File = *Group.Files[I];
        Path.clear();
        File.AppendFullPath(Path);
        auto* Node = new QTreeWidgetItem(GroupNode, QStringList{ShownText(Path)});
        Node->setData(0, kDataRole, DataOf(&File));
        Node->setIcon(0, IconOf(File));
        if (++Processed % kFileNodesPerEventPass == 0 && FHost.LetEventsRunAndCheckStop()) {
          Flush();
          return;
        }
      }
      if (Group.Files.size() > kMaxFileNodesPerGroup) {
        new QTreeWidgetItem(
            GroupNode,
            QStringList{ShownText(FormatText(
                Translate("... %d more files not shown"),
                {static_cast<int64_t>(Group.Files.size() - kMaxFileNodesPerGroup)}, Settings))});
      }
    }
  } catch (...) {
    Flush();
    throw;
  }
  Flush();
}

void TDuplicatesView::PopulateDuplicateGroupsList() {
  lvDuplicateGroupsColors->setUpdatesEnabled(false);
  lvDuplicateGroupsColors->clear();
  const TFormatSettings& Settings = FHost.FormatSettings();
  QList<QTreeWidgetItem*> Rows;
  Rows.reserve(static_cast<qsizetype>(FResults.Duplicates.Groups.size()));
  try {
    for (const TDupGroup& Group : FResults.Duplicates.Groups) {
      auto* Row = new QTreeWidgetItem(QStringList{ShownText(Group.FileName), QString(),
                                                  ShownText(FormatSize(Group.Size, Settings)),
                                                  ModifiedText(Group, Settings)});
      Rows.append(Row);
      Row->setData(0, kDataRole, DataOf(&Group));
      Row->setData(0, kSwatchColorRole, QVariant::fromValue<uint32_t>(Group.Color));
    }
  } catch (...) {
    qDeleteAll(Rows);
    lvDuplicateGroupsColors->setUpdatesEnabled(true);
    throw;
  }
  lvDuplicateGroupsColors->addTopLevelItems(Rows);
  lvDuplicateGroupsColors->setUpdatesEnabled(true);
}

void TDuplicatesView::SelectFirstGroup() {
  tvDuplicateFiles->collapseAll();
  if (QTreeWidgetItem* First = tvDuplicateFiles->topLevelItem(0)) {
    tvDuplicateFiles->setCurrentItem(First, 0, QItemSelectionModel::ClearAndSelect);
    tvDuplicateFiles->scrollToItem(First, QAbstractItemView::PositionAtTop);
  }
}

void TDuplicatesView::RebuildMap() {
  // The panel still reports its last sizes while the window goes.
  if (FHost.AppClosing()) {
    return;
  }
  RebuildDupeMap();
  // A new layout starts without a selection. A tab's surface takes its size only when the tab
  // is first shown, after the pipeline has selected the largest group: the map takes the
  // tree's selection again, as it would from the tree itself.
  if (HasMapData() && !FHost.Syncing().IsSet()) {
    SelectTreeSelectionOnMap();
  }
}

void TDuplicatesView::RebuildDupeMap() {
  const TRect Rect = Surface()->MapRect();
  if (IsEmpty(Rect)) {
    return;
  }
  if (HasMapData()) {
    FHover4 = nullptr;
    FDupeMap.BuildFromRootDuplicates(FResults.Root.get(), FResults.Duplicates.ColorByPathKey, Rect);
  }
  InvalidateMap();
}

bool TDuplicatesView::HasMapData() const {
  return FResults.Root != nullptr && !FResults.Duplicates.ColorByPathKey.empty();
}

void TDuplicatesView::PaintMap(TTreemapCanvas& Canvas) const {
  FDupeMap.Paint(Canvas);
}

QTreeWidgetItem* TDuplicatesView::FindNodeByData(const TFileLeaf* File) const {
  const TDuplicates& Duplicates = FResults.Duplicates;
  const auto Found = Duplicates.GroupByPathKey.find(PathKey(File->FullPath()));
  if (Found == Duplicates.GroupByPathKey.end()) {
    return nullptr;
  }
  // The groups' nodes are in the groups' order, their files' nodes in the files' order.
  const TDupGroup& Group = *Found->second;
  QTreeWidgetItem* GroupNode =
      tvDuplicateFiles->topLevelItem(static_cast<int>(&Group - Duplicates.Groups.data()));
  const auto Member = std::find(Group.Files.begin(), Group.Files.end(), File);
  if (GroupNode == nullptr || Member == Group.Files.end()) {
    return nullptr;
  }
  QTreeWidgetItem* Node = GroupNode->child(static_cast<int>(Member - Group.Files.begin()));
  const TSelectedData Data = NodeData(Node);
  const auto* Leaf = std::get_if<const TFileLeaf*>(&Data);
  return Leaf != nullptr && *Leaf == File ? Node : nullptr;
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
  // Folders have no node. The tree's change handler then sets the map from the tree's
  // selection, so a Ctrl click toggles the node as it toggled the cell.
  if (QTreeWidgetItem* Node =
          Cell->Kind == TDupKind::dkFile ? FindNodeByData(Cell->FileLeaf) : nullptr) {
    tvDuplicateFiles->setCurrentItem(
        Node, 0, Ctrl ? QItemSelectionModel::Toggle : QItemSelectionModel::ClearAndSelect);
    tvDuplicateFiles->scrollToItem(Node);
  }
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

std::vector<std::string> TDuplicatesView::TreeSelectionPaths() const {
  std::vector<std::string> Paths;
  for (const QTreeWidgetItem* Node : tvDuplicateFiles->selectedItems()) {
    const TSelectedData Data = NodeData(Node);
    if (const auto* File = std::get_if<const TFileLeaf*>(&Data)) {
      Paths.push_back((*File)->FullPath());
    } else if (const auto* Group = std::get_if<const TDupGroup*>(&Data)) {
      AppendMemberPaths(**Group, Paths);
    }
  }
  return Paths;
}

void TDuplicatesView::SelectTreeSelectionOnMap() {
  const std::vector<std::string> Paths = TreeSelectionPaths();
  if (Paths.empty()) {
    FDupeMap.ClearSelection();
  } else {
    FDupeMap.SetSelectedByUpperPaths(Paths);
  }
  InvalidateMap();
}

void TDuplicatesView::tvDuplicateFilesChange() {
  if (FHost.AppClosing() || FHost.Syncing().IsSet()) {
    return;
  }
  SelectTreeSelectionOnMap();
  FHost.UpdateSelectionStatus();
}

void TDuplicatesView::lvDuplicateGroupsColorsSelectItem(const QItemSelection& Selected) {
  // A row that was only deselected changes nothing.
  if (FHost.AppClosing() || FHost.Syncing().IsSet() || Selected.isEmpty()) {
    return;
  }
  std::vector<std::string> Paths;
  for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
    const QTreeWidgetItem* Row = lvDuplicateGroupsColors->topLevelItem(I);
    if (Row->isSelected()) {
      if (const TDupGroup* Group = GroupOfRow(Row)) {
        AppendMemberPaths(*Group, Paths);
      }
    }
  }
  if (Paths.empty()) {
    FDupeMap.ClearSelection();
  } else {
    FDupeMap.SetSelectedByUpperPaths(Paths);
  }
  InvalidateMap();
  FHost.UpdateSelectionStatus();
}

const QTreeWidgetItem* TDuplicatesView::SelectedNode() const {
  if (const QTreeWidgetItem* Current = tvDuplicateFiles->currentItem();
      Current != nullptr && Current->isSelected()) {
    return Current;
  }
  const QList<QTreeWidgetItem*> Selected = tvDuplicateFiles->selectedItems();
  return Selected.isEmpty() ? nullptr : Selected.front();
}

std::vector<std::string> TDuplicatesView::GetSelectedPaths() const {
  // The tree first, then the legend, then the map's primary file.
  std::vector<std::string> Paths = TreeSelectionPaths();
  if (!Paths.empty()) {
    return Paths;
  }
  const QItemSelectionModel* Rows = lvDuplicateGroupsColors->selectionModel();
  for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
    if (const TDupGroup* Group = Rows->isRowSelected(I, {})
                                     ? GroupOfRow(lvDuplicateGroupsColors->topLevelItem(I))
                                     : nullptr) {
      AppendMemberPaths(*Group, Paths);
    }
  }
  if (!Paths.empty()) {
    return Paths;
  }
  if (const TDupItem* Primary = FDupeMap.Primary();
      Primary != nullptr && Primary->Kind == TDupKind::dkFile) {
    Paths.push_back(Primary->FullPath());
  }
  return Paths;
}

QString TDuplicatesView::SelectionStatus() const {
  return ShownText(
      DuplicateSelectionText(NodeData(SelectedNode()), FDupeMap.Primary(), FHost.FormatSettings()));
}

}  // namespace dunstrel
