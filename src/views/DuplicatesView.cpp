#include "views/DuplicatesView.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/ReleaseStorage.h"
#include "results/SelectionStatus.h"
#include "results/SizeFigures.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
#include "views/DpiScaling.h"
#include "views/FigureMarks.h"
#include "views/LazyIcons.h"
#include "views/ListColumns.h"
#include "views/Named.h"
#include "views/RowSelection.h"
#include "views/ShownText.h"
#include "views/SortableList.h"

namespace dunstrel {

namespace {

// The group of a top-level node or legend row, the file of a node below a group.
constexpr int kDataRole = Qt::UserRole;
constexpr int kGroupSizeColumn = 2;
constexpr int kGroupModifiedColumn = 3;
// The columns of the tree.
constexpr int kSizeColumn = 1;
constexpr int kModifiedColumn = 2;
constexpr int kGrowthColumn = 3;
// Group nodes made in one slice of the fill.
constexpr size_t kGroupNodesPerSlice = 1500;

QVariant DataOf(const void* Object) {
  return QVariant::fromValue(const_cast<void*>(Object));
}

const TDupGroup* GroupOfRow(const QTreeWidgetItem* Row) {
  return static_cast<const TDupGroup*>(Row->data(0, kDataRole).value<void*>());
}

bool StandsForNothing(const QTreeWidgetItem* Node) {
  return Node->data(0, kDataRole).value<void*>() == nullptr;
}

// The group's first file's time to the nearest ten-thousandth of a day; empty without one.
QString ModifiedText(const TDupGroup& Group, const TFormatSettings& Settings) {
  if (Group.Files.empty()) {
    return {};
  }
  const double Rounded = std::round(Group.Files.front()->GetModifiedDateTime() * 1e4) / 1e4;
  return Rounded > 0 ? ShownText(FormatDateTimeText(Rounded, Settings)) : QString();
}

void AppendMembers(const TDupGroup& Group, std::vector<TSelectedItem>& Items) {
  for (const TFileLeaf* File : Group.Files) {
    Items.emplace_back(File);
  }
}

}  // namespace

TDuplicatesView::TDuplicatesView(IViewHost& Host)
    : TResultTab(Host, {"TabSheetDuplicates", "Panel1", "PaintBox4", "Splitter7", 13, "Panel3", 303,
                        "Splitter5", TSideListRule::HalfPanel}),
      tvDuplicateFiles(Named(new TGestureView<QTreeWidget>(this), "tvDuplicateFiles")),
      lvDuplicateGroupsColors(
          Named(new TGestureView<QTreeWidget>(this), "lvDuplicateGroupsColors")) {
  PlaceControls(tvDuplicateFiles, lvDuplicateGroupsColors);
  tvDuplicateFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tvDuplicateFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvDuplicateFiles->setUniformRowHeights(true);
  tvDuplicateFiles->setIndentation(19);
  KeepSelectionVisible(tvDuplicateFiles);
  // The names and paths take what the figures leave.
  const std::vector<TListColumn>& TreeColumns = DuplicateTreeColumns();
  tvDuplicateFiles->setColumnCount(static_cast<int>(TreeColumns.size()));
  SetListColumnTitles(tvDuplicateFiles, TreeColumns);
  tvDuplicateFiles->header()->setStretchLastSection(false);
  tvDuplicateFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (size_t Column = 1; Column < TreeColumns.size(); ++Column) {
    tvDuplicateFiles->setColumnWidth(static_cast<int>(Column),
                                     ScaleToDpi(TreeColumns[Column].Width, logicalDpiX()));
  }
  tvDuplicateFiles->setColumnHidden(kGrowthColumn, true);  // while results are compared
  SetUpReportList(lvDuplicateGroupsColors, DuplicateGroupColumns(), logicalDpiX());
  lvDuplicateGroupsColors->setItemDelegateForColumn(
      1, new TColorSwatchDelegate(lvDuplicateGroupsColors));
  // A group's row shows the icon of its files' type, as the other legends show theirs.
  lvDuplicateGroupsColors->setItemDelegateForColumn(
      0, new TLazyIconDelegate(
             [this](const QModelIndex& Row) {
               const TDupGroup* Group = GroupOfRow(lvDuplicateGroupsColors->itemFromIndex(Row));
               return Group != nullptr ? FHost.SmallIcon(Group->FileName, false) : QIcon();
             },
             lvDuplicateGroupsColors));
  WatchSelection(
      tvDuplicateFiles,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          const TSelectedData Data = NodeData(tvDuplicateFiles->itemFromIndex(Row));
          if (const auto* File = std::get_if<const TFileLeaf*>(&Data)) {
            Items.emplace_back(*File);
          } else if (const auto* Group = std::get_if<const TDupGroup*>(&Data)) {
            AppendMembers(**Group, Items);
          }
        }
      },
      TSelectionOrigin::Rows, false);
  WatchSelection(
      lvDuplicateGroupsColors,
      [this](const QModelIndexList& Rows, std::vector<TSelectedItem>& Items) {
        for (const QModelIndex& Row : Rows) {
          if (const TDupGroup* Group = GroupOfRow(lvDuplicateGroupsColors->itemFromIndex(Row))) {
            AppendMembers(*Group, Items);
          }
        }
      },
      TSelectionOrigin::Legend, true);
  MakeSortable(tvDuplicateFiles,
               [this](const TSortChoice& Choice) { Reorder([&] { SortGroupTree(Choice); }); });
  // A group opened for the first time gets its files' nodes, marked as the selection has them.
  connect(tvDuplicateFiles, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* Node) {
    if (Node->parent() == nullptr && Node->childCount() == 0) {
      Reorder([&] { AddFileNodes(*Node); });
    }
  });
  MakeSortable(lvDuplicateGroupsColors, [this](const TSortChoice& Choice) {
    Reorder([&] { SortTopLevelItems(lvDuplicateGroupsColors, Choice); });
  });
}

void TDuplicatesView::ApplyTranslation() {
  SetListColumnTitles(tvDuplicateFiles, DuplicateTreeColumns());
  for (QTreeWidgetItem* GroupNode : FGroupNodes) {
    WriteFigures(*GroupNode);
  }
  SetListColumnTitles(lvDuplicateGroupsColors, DuplicateGroupColumns());
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvDuplicateGroupsColors->topLevelItem(I);
    if (const TDupGroup* Group = GroupOfRow(Row)) {
      Row->setText(kGroupSizeColumn,
                   ShownText(FormatSize(GroupFileFigure(*Group, FResults->Count), Settings)));
      Row->setText(kGroupModifiedColumn, ModifiedText(*Group, Settings));
    }
  }
}

void TDuplicatesView::ClearControls() {
  tvDuplicateFiles->clear();
  lvDuplicateGroupsColors->clear();
  ReleaseStorage(FGroupNodes);
  FNextGroup = 0;
  ReleaseStorage(FLegendRowOfGroup);
  ReleaseStorage(FPlaces);
  FMap.Clear();
  FHover = nullptr;
}

std::vector<TResultTab::TFillStep> TDuplicatesView::FillSteps() {
  return {[this] {
            PlaceMembers();
            return true;
          },
          [this] {
            if (!AddGroupNodes()) {
              return false;
            }
            // Groups added after a click on the header join its order.
            if (const TSortChoice Choice = SortChoiceOf(tvDuplicateFiles); Choice.Active()) {
              Reorder([&] { SortGroupTree(Choice); });
            }
            return true;
          },
          [this] {
            AddLegendRows();
            SelectFirstGroup();
            return true;
          }};
}

void TDuplicatesView::GrowthChanged() {
  tvDuplicateFiles->setColumnHidden(kGrowthColumn, FComparison == nullptr);
  // An order by a growth no longer shown gives way to the results' own.
  if (FComparison == nullptr && SortChoiceOf(tvDuplicateFiles).Column == kGrowthColumn) {
    SetSortChoice(tvDuplicateFiles, {});
  }
  for (QTreeWidgetItem* GroupNode : FGroupNodes) {
    WriteFigures(*GroupNode);
  }
}

std::vector<const TFileLeaf*> TDuplicatesView::FilesOfOpenGroups() const {
  // Every file of a group: any of them that stays finds the group in the next results.
  std::vector<const TFileLeaf*> Files;
  for (const QTreeWidgetItem* GroupNode : FGroupNodes) {
    if (GroupNode->isExpanded()) {
      const std::vector<const TFileLeaf*>& Members = GroupOfRow(GroupNode)->Files;
      Files.insert(Files.end(), Members.begin(), Members.end());
    }
  }
  return Files;
}

void TDuplicatesView::OpenGroupsOf(const std::vector<const TFileLeaf*>& Files) {
  for (const TFileLeaf* File : Files) {
    // A fill under way may not have made the group's node yet.
    const TMemberPlace* Place = PlaceOf(File);
    if (Place != nullptr && Place->Group < FGroupNodes.size()) {
      AddFileNodes(*FGroupNodes[Place->Group]);
      FGroupNodes[Place->Group]->setExpanded(true);
    }
  }
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

void TDuplicatesView::PlaceMembers() {
  const std::vector<TDupGroup>& Groups = FResults->Duplicates.Groups;
  for (size_t G = 0; G < Groups.size(); ++G) {
    for (const TFileLeaf* File : Groups[G].Files) {
      FPlaces.push_back({File, static_cast<uint32_t>(G)});
    }
  }
  std::sort(FPlaces.begin(), FPlaces.end(), [](const TMemberPlace& A, const TMemberPlace& B) {
    return std::less<const TFileLeaf*>()(A.File, B.File);
  });
}

bool TDuplicatesView::AddGroupNodes() {
  const std::vector<TDupGroup>& AllGroups = FResults->Duplicates.Groups;
  FGroupNodes.reserve(AllGroups.size());
  // One icon per extension and slice.
  std::unordered_map<const std::string*, QIcon> Icons;
  // Nodes are made outside the tree, where adding one costs nothing, and go in together.
  QList<QTreeWidgetItem*> Groups;
  const size_t End = std::min(AllGroups.size(), FNextGroup + kGroupNodesPerSlice);
  for (; FNextGroup < End; ++FNextGroup) {
    const TDupGroup& Group = AllGroups[FNextGroup];
    auto* GroupNode = new QTreeWidgetItem(
        QStringList{ShownText(Group.FileName) +
                    QStringLiteral("  (%1)").arg(static_cast<qulonglong>(Group.Files.size()))});
    Groups.append(GroupNode);
    FGroupNodes.push_back(GroupNode);
    // Its files' nodes are made when it is first opened: a disk can hold a thousand copies of
    // each of thousands of files.
    GroupNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    GroupNode->setData(0, kDataRole, DataOf(&Group));
    GroupNode->setData(0, kPlaceRole, static_cast<qlonglong>(FNextGroup));
    GroupNode->setData(0, kSortKeyRole, QByteArray::fromStdString(Group.FileName));
    GroupNode->setData(kSizeColumn, kSortKeyRole,
                       QVariant::fromValue<qlonglong>(GroupFileFigure(Group, FResults->Count)));
    GroupNode->setData(kModifiedColumn, kSortKeyRole,
                       Group.Files.empty() ? 0.0 : Group.Files.front()->GetModifiedDateTime());
    if (Group.Files.size() >= 2) {
      // The name is spelled as the second member spells it.
      const std::string& Ext = Group.Files[1]->Ext();
      auto [Found, Added] = Icons.try_emplace(&Ext);
      if (Added) {
        Found->second = FHost.SmallIcon("x" + Ext, false);
      }
      GroupNode->setIcon(0, Found->second);
    }
    WriteFigures(*GroupNode);
  }
  tvDuplicateFiles->addTopLevelItems(Groups);
  return FNextGroup >= AllGroups.size();
}

void TDuplicatesView::AddFileNodes(QTreeWidgetItem& GroupNode) {
  if (GroupNode.childCount() > 0) {
    return;
  }
  const TDupGroup& Group = *GroupOfRow(&GroupNode);
  std::unordered_map<const std::string*, QIcon> Icons;
  QList<QTreeWidgetItem*> Files;
  std::string Path;
  const size_t Shown = std::min(Group.Files.size(), kMaxFileNodesPerGroup);
  for (size_t I = 0; I < Shown; ++I) {
    const TFileLeaf& File = *Group.Files[I];
    Path.clear();
    File.AppendFullPath(Path);
    auto* Node = new QTreeWidgetItem(QStringList{ShownText(Path)});
    Files.append(Node);
    Node->setData(0, kDataRole, DataOf(&File));
    Node->setData(0, kPlaceRole, static_cast<qlonglong>(I));
    Node->setData(0, kSortKeyRole, QByteArray::fromStdString(Path));
    Node->setData(kSizeColumn, kSortKeyRole,
                  QVariant::fromValue<qlonglong>(File.SizeIn(FResults->Count)));
    Node->setData(kModifiedColumn, kSortKeyRole, File.GetModifiedDateTime());
    const std::string& Ext = File.Ext();
    auto [Icon, Added] = Icons.try_emplace(&Ext);
    if (Added) {
      Icon->second = FHost.SmallIcon("x" + Ext, false);
    }
    Node->setIcon(0, Icon->second);
    if (CountedElsewhere(File, FResults->Count)) {
      for (int Column = 0; Column <= kGrowthColumn; ++Column) {
        Node->setForeground(Column, MarkedTextBrush());
      }
      Node->setToolTip(0, HardLinkNote());
      Node->setToolTip(kSizeColumn, HardLinkNote());
    }
    if (TMemberPlace* Place = PlaceOf(&File)) {
      Place->Node = Node;
    }
  }
  if (const TSortChoice Choice = SortChoiceOf(tvDuplicateFiles); Choice.Active()) {
    Files = SortedRows(Files, Choice);
  }
  // The note of the files not shown comes last in every order.
  if (Group.Files.size() > kMaxFileNodesPerGroup) {
    Files.append(new QTreeWidgetItem());
  }
  GroupNode.addChildren(Files);
  WriteFigures(GroupNode);
}

void TDuplicatesView::WriteFigures(QTreeWidgetItem& GroupNode) const {
  const TFormatSettings& Settings = FHost.FormatSettings();
  const TDupGroup& Group = *GroupOfRow(&GroupNode);
  GroupNode.setText(kSizeColumn,
                    ShownText(FormatSize(GroupFileFigure(Group, FResults->Count), Settings)));
  GroupNode.setText(kModifiedColumn, ModifiedText(Group, Settings));
  GroupNode.setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
  for (int I = 0; I < GroupNode.childCount(); ++I) {
    QTreeWidgetItem& Node = *GroupNode.child(I);
    const auto* File = static_cast<const TFileLeaf*>(Node.data(0, kDataRole).value<void*>());
    if (File == nullptr) {
      Node.setText(
          0, ShownText(FormatText(
                 Translate("... %d more files not shown"),
                 {static_cast<int64_t>(Group.Files.size() - kMaxFileNodesPerGroup)}, Settings)));
      continue;
    }
    const double Modified = File->GetModifiedDateTime();
    Node.setText(kSizeColumn, ShownText(FileFigureText(*File, FResults->Count, Settings)));
    Node.setTextAlignment(kSizeColumn, Qt::AlignRight | Qt::AlignVCenter);
    Node.setText(kModifiedColumn,
                 Modified > 0 ? ShownText(FormatDateTimeText(Modified, Settings)) : QString());
    if (FComparison != nullptr) {
      const TGrowth Growth = FComparison->Of(*File, FResults->Count);
      Node.setText(kGrowthColumn, ShownText(FormatGrowth(Growth, Settings)));
      Node.setData(kGrowthColumn, kSortKeyRole, QVariant::fromValue<qlonglong>(Growth.Bytes));
      Node.setTextAlignment(kGrowthColumn, Qt::AlignRight | Qt::AlignVCenter);
    } else {
      Node.setText(kGrowthColumn, QString());
      Node.setData(kGrowthColumn, kSortKeyRole, QVariant());
    }
  }
}

void TDuplicatesView::SortGroupTree(const TSortChoice& Choice) {
  // A node taken out of the tree and put back is closed, and no longer the current one.
  std::vector<QTreeWidgetItem*> Open;
  for (QTreeWidgetItem* GroupNode : FGroupNodes) {
    if (GroupNode->isExpanded()) {
      Open.push_back(GroupNode);
    }
  }
  QTreeWidgetItem* Current = tvDuplicateFiles->currentItem();
  QList<QTreeWidgetItem*> Groups = tvDuplicateFiles->invisibleRootItem()->takeChildren();
  for (QTreeWidgetItem* GroupNode : Groups) {
    QList<QTreeWidgetItem*> Files = GroupNode->takeChildren();
    // The note of the files not shown stays last.
    QTreeWidgetItem* Note =
        !Files.isEmpty() && StandsForNothing(Files.back()) ? Files.takeLast() : nullptr;
    Files = SortedRows(Files, Choice);
    if (Note != nullptr) {
      Files.append(Note);
    }
    GroupNode->addChildren(Files);
  }
  tvDuplicateFiles->addTopLevelItems(SortedRows(Groups, Choice));
  for (QTreeWidgetItem* GroupNode : Open) {
    GroupNode->setExpanded(true);
  }
  if (Current != nullptr) {
    RevealRow(tvDuplicateFiles, tvDuplicateFiles->indexFromItem(Current));
  }
}

void TDuplicatesView::AddLegendRows() {
  const TFormatSettings& Settings = FHost.FormatSettings();
  QList<QTreeWidgetItem*> Rows;
  Rows.reserve(static_cast<qsizetype>(FResults->Duplicates.Groups.size()));
  for (const TDupGroup& Group : FResults->Duplicates.Groups) {
    auto* Row = new QTreeWidgetItem(
        QStringList{ShownText(Group.FileName), QString(),
                    ShownText(FormatSize(GroupFileFigure(Group, FResults->Count), Settings)),
                    ModifiedText(Group, Settings)});
    Row->setData(0, kDataRole, DataOf(&Group));
    Row->setData(0, kSwatchColorRole, QVariant::fromValue<uint32_t>(Group.Color));
    Row->setData(0, kPlaceRole, static_cast<qlonglong>(Rows.size()));
    Row->setData(0, kSortKeyRole, QByteArray::fromStdString(Group.FileName));
    Row->setData(1, kSortKeyRole, QVariant::fromValue<uint32_t>(Group.Color));
    Row->setData(kGroupSizeColumn, kSortKeyRole,
                 QVariant::fromValue<qlonglong>(GroupFileFigure(Group, FResults->Count)));
    Row->setData(kGroupModifiedColumn, kSortKeyRole,
                 Group.Files.empty() ? QVariant() : Group.Files.front()->GetModifiedDateTime());
    Rows.append(Row);
  }
  FLegendRowOfGroup.assign(Rows.begin(), Rows.end());
  lvDuplicateGroupsColors->addTopLevelItems(Rows);
  if (const TSortChoice Choice = SortChoiceOf(lvDuplicateGroupsColors); Choice.Active()) {
    Reorder([&] { SortTopLevelItems(lvDuplicateGroupsColors, Choice); });
  }
}

void TDuplicatesView::SelectFirstGroup() {
  tvDuplicateFiles->collapseAll();
  std::vector<TSelectedItem> Members;
  QTreeWidgetItem* Largest = FGroupNodes.empty() ? nullptr : FGroupNodes.front();
  if (Largest != nullptr) {
    AppendMembers(FResults->Duplicates.Groups.front(), Members);
  }
  FSelection.Replace(Members, TSelectionOrigin::Rows);
  SelectionChanged(false);
  if (Largest != nullptr) {
    RevealRow(tvDuplicateFiles, tvDuplicateFiles->indexFromItem(Largest));
    tvDuplicateFiles->scrollToItem(Largest, QAbstractItemView::PositionAtTop);
  }
}

void TDuplicatesView::LayOutMap(const TRect& Rect) {
  FHover = nullptr;
  std::vector<TDupFile> Files;
  for (const TDupGroup& Group : FResults->Duplicates.Groups) {
    for (const TFileLeaf* File : Group.Files) {
      Files.push_back({File, Group.Color});
    }
  }
  FMap.BuildFromRootDuplicates(FResults->Root.get(), Files, FResults->Count, Rect);
}

bool TDuplicatesView::HasMapData() const {
  return FResults != nullptr && FResults->Root != nullptr && !FResults->Duplicates.Groups.empty();
}

void TDuplicatesView::PaintMap(TTreemapCanvas& Canvas) const {
  FMap.Paint(Canvas, FSelection);
}

const TDuplicatesView::TMemberPlace* TDuplicatesView::PlaceOf(const TFileLeaf* File) const {
  const auto Found = std::lower_bound(FPlaces.begin(), FPlaces.end(), File,
                                      [](const TMemberPlace& Place, const TFileLeaf* Sought) {
                                        return std::less<const TFileLeaf*>()(Place.File, Sought);
                                      });
  return Found != FPlaces.end() && Found->File == File ? &*Found : nullptr;
}

TDuplicatesView::TMemberPlace* TDuplicatesView::PlaceOf(const TFileLeaf* File) {
  return const_cast<TMemberPlace*>(std::as_const(*this).PlaceOf(File));
}

std::vector<bool> TDuplicatesView::GroupsWhollySelected() const {
  if (FResults == nullptr || FSelection.Empty()) {
    return {};
  }
  const std::vector<TDupGroup>& Groups = FResults->Duplicates.Groups;
  std::vector<bool> Whole(Groups.size(), false);
  for (size_t G = 0; G < Groups.size(); ++G) {
    Whole[G] = !Groups[G].Files.empty() &&
               std::all_of(Groups[G].Files.begin(), Groups[G].Files.end(),
                           [this](const TFileLeaf* File) { return FSelection.Contains(*File); });
  }
  return Whole;
}

std::optional<TSelectedItem> TDuplicatesView::MapItemAt(TPoint At) const {
  if (const TDupItem* Cell = FMap.HitTest(At)) {
    return ItemOfCell(*Cell);
  }
  return std::nullopt;
}

void TDuplicatesView::ForEachMapCell(const TVisitCell& Visit) const {
  for (const TDupItem& Cell : FMap.Items()) {
    Visit(ItemOfCell(Cell), Cell.Rect);
  }
}

QString TDuplicatesView::MapHint(TPoint At, bool& Changed) {
  const TDupItem* Cell = FMap.HitTest(At);
  Changed = Cell != FHover;
  FHover = Cell;
  if (Cell == nullptr) {
    return {};
  }
  return Cell->FileLeaf != nullptr
             ? FileHint(*Cell->FileLeaf, FResults->Count, FHost.FormatSettings())
             : FolderHint(*Cell->Dir, Cell->Size, FHost.FormatSettings());
}

void TDuplicatesView::MapDoubleClick() {
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (Primary) {
    FHost.ShowInFolder(ItemPath(*Primary));
  }
}

void TDuplicatesView::ShowSelection() {
  // A file clicked on the map is shown in its group, whose files get their nodes for it.
  const TMemberPlace* Revealed = nullptr;
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (FSelection.Origin() == TSelectionOrigin::Map && Primary) {
    const auto* File = std::get_if<const TFileLeaf*>(&*Primary);
    const TMemberPlace* Place = File != nullptr ? PlaceOf(*File) : nullptr;
    if (Place != nullptr && Place->Group < FGroupNodes.size()) {
      AddFileNodes(*FGroupNodes[Place->Group]);
      Revealed = Place;
    }
  }
  // A group's node and legend row are marked when all its files are selected, a file's node
  // when the file is (a group not opened yet has none).
  const std::vector<bool> Whole = GroupsWhollySelected();
  QModelIndexList Nodes;
  QModelIndexList LegendRows;
  for (size_t G = 0; G < Whole.size(); ++G) {
    if (!Whole[G]) {
      continue;
    }
    if (G < FGroupNodes.size()) {
      Nodes.append(tvDuplicateFiles->indexFromItem(FGroupNodes[G]));
    }
    if (G < FLegendRowOfGroup.size()) {
      LegendRows.append(lvDuplicateGroupsColors->indexFromItem(FLegendRowOfGroup[G]));
    }
  }
  for (const TSelectedItem& Item : FSelection.Items()) {
    const auto* File = std::get_if<const TFileLeaf*>(&Item);
    const TMemberPlace* Place = File != nullptr ? PlaceOf(*File) : nullptr;
    if (QTreeWidgetItem* Node = Place != nullptr ? Place->Node : nullptr) {
      Nodes.append(tvDuplicateFiles->indexFromItem(Node));
    }
  }
  ShowRows(tvDuplicateFiles, RowSelection(Nodes));
  ShowRows(lvDuplicateGroupsColors, RowSelection(LegendRows));
  if (Revealed != nullptr && Revealed->Node != nullptr) {
    RevealRow(tvDuplicateFiles, tvDuplicateFiles->indexFromItem(Revealed->Node));
  }
}

QString TDuplicatesView::SelectionStatus() const {
  if (FSelection.Origin() == TSelectionOrigin::Legend && !FSelection.Empty()) {
    std::string Names;
    for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
      const QTreeWidgetItem* Row = lvDuplicateGroupsColors->topLevelItem(I);
      if (const TDupGroup* Group = Row->isSelected() ? GroupOfRow(Row) : nullptr) {
        Names += Names.empty() ? "" : ", ";
        Names += Group->FileName;
      }
    }
    return LegendStatus(Names);
  }
  // All the files of one group and nothing else: the group.
  const std::vector<bool> Whole = GroupsWhollySelected();
  for (size_t G = 0; G < Whole.size(); ++G) {
    const TDupGroup& Group = FResults->Duplicates.Groups[G];
    if (Whole[G] && Group.Files.size() == FSelection.Size()) {
      return ShownText(GroupSelectionText(Group, FResults->Count, FHost.FormatSettings()));
    }
  }
  return ItemsStatus();
}

}  // namespace dunstrel
