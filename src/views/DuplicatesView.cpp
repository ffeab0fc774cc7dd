#include "views/DuplicatesView.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <vector>

#include "common/ReleaseStorage.h"
#include "results/SelectionStatus.h"
#include "results/SizeFigures.h"
#include "results/ValueFormat.h"
#include "views/ColorSwatch.h"
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
// File nodes made in one slice of the fill.
constexpr size_t kFileNodesPerSlice = 1500;

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
  MakeSortable(lvDuplicateGroupsColors, [this](const TSortChoice& Choice) {
    Reorder([&] { SortTopLevelItems(lvDuplicateGroupsColors, Choice); });
  });
}

void TDuplicatesView::ApplyTranslation() {
  SetListColumnTitles(lvDuplicateGroupsColors, DuplicateGroupColumns());
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int I = 0; I < lvDuplicateGroupsColors->topLevelItemCount(); ++I) {
    QTreeWidgetItem* Row = lvDuplicateGroupsColors->topLevelItem(I);
    if (const TDupGroup* Group = GroupOfRow(Row)) {
      Row->setText(kGroupSizeColumn,
                   ShownText(FormatSize(GroupFileFigure(*Group, FResults->Count), Settings)));
    }
  }
}

void TDuplicatesView::ClearControls() {
  tvDuplicateFiles->clear();
  lvDuplicateGroupsColors->clear();
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
          [this] { return AddGroupNodes(); },
          [this] {
            AddLegendRows();
            SelectFirstGroup();
            return true;
          }};
}

void TDuplicatesView::GrowthChanged() {
  // A second column beside each member while results are compared.
  tvDuplicateFiles->setColumnCount(FComparison != nullptr ? 2 : 1);
  if (FComparison != nullptr) {
    tvDuplicateFiles->header()->setStretchLastSection(false);
    tvDuplicateFiles->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvDuplicateFiles->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  }
  const TFormatSettings& Settings = FHost.FormatSettings();
  for (int G = 0; G < tvDuplicateFiles->topLevelItemCount(); ++G) {
    QTreeWidgetItem* GroupNode = tvDuplicateFiles->topLevelItem(G);
    for (int I = 0; I < GroupNode->childCount(); ++I) {
      QTreeWidgetItem* Node = GroupNode->child(I);
      const TSelectedData Data = NodeData(Node);
      const auto* File = std::get_if<const TFileLeaf*>(&Data);
      if (FComparison != nullptr && File != nullptr && *File != nullptr) {
        Node->setText(1,
                      ShownText(FormatGrowth(FComparison->Of(**File, FResults->Count), Settings)));
      }
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
    for (size_t M = 0; M < Groups[G].Files.size(); ++M) {
      FPlaces.push_back({Groups[G].Files[M], static_cast<uint32_t>(G), static_cast<uint32_t>(M)});
    }
  }
  std::sort(FPlaces.begin(), FPlaces.end(), [](const TMemberPlace& A, const TMemberPlace& B) {
    return std::less<const TFileLeaf*>()(A.File, B.File);
  });
}

bool TDuplicatesView::AddGroupNodes() {
  const std::vector<TDupGroup>& AllGroups = FResults->Duplicates.Groups;
  const TFormatSettings& Settings = FHost.FormatSettings();
  // One icon per extension and slice; the members of a group share theirs.
  std::unordered_map<const std::string*, QIcon> Icons;
  const auto IconOf = [&](const TFileLeaf& File) {
    const std::string& Ext = File.Ext();
    auto [Found, Added] = Icons.try_emplace(&Ext);
    if (Added) {
      Found->second = FHost.SmallIcon("x" + Ext, false);
    }
    return Found->second;
  };
  // Nodes are made outside the tree, where adding a child costs nothing, and go in together.
  QList<QTreeWidgetItem*> Groups;
  std::string Path;
  size_t Made = 0;
  auto Next = static_cast<size_t>(tvDuplicateFiles->topLevelItemCount());
  for (; Next < AllGroups.size() && Made < kFileNodesPerSlice; ++Next) {
    const TDupGroup& Group = AllGroups[Next];
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
      if (CountedElsewhere(File, FResults->Count)) {
        Node->setForeground(0, MarkedTextBrush());
        Node->setToolTip(0, HardLinkNote());
      }
    }
    Made += Shown + 1;
    if (Group.Files.size() > kMaxFileNodesPerGroup) {
      new QTreeWidgetItem(
          GroupNode,
          QStringList{ShownText(FormatText(
              Translate("... %d more files not shown"),
              {static_cast<int64_t>(Group.Files.size() - kMaxFileNodesPerGroup)}, Settings))});
    }
  }
  tvDuplicateFiles->addTopLevelItems(Groups);
  return Next >= AllGroups.size();
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
  if (!FResults->Duplicates.Groups.empty() && tvDuplicateFiles->topLevelItemCount() > 0) {
    AppendMembers(FResults->Duplicates.Groups.front(), Members);
  }
  FSelection.Replace(Members, TSelectionOrigin::Rows);
  SelectionChanged(false);
  if (QTreeWidgetItem* First = tvDuplicateFiles->topLevelItem(0)) {
    RevealRow(tvDuplicateFiles, tvDuplicateFiles->indexFromItem(First));
    tvDuplicateFiles->scrollToItem(First, QAbstractItemView::PositionAtTop);
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

QTreeWidgetItem* TDuplicatesView::NodeOf(const TMemberPlace& Place) const {
  QTreeWidgetItem* GroupNode = tvDuplicateFiles->topLevelItem(static_cast<int>(Place.Group));
  if (GroupNode == nullptr || Place.Member >= kMaxFileNodesPerGroup) {
    return nullptr;
  }
  return GroupNode->child(static_cast<int>(Place.Member));
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

namespace {

TSelectedItem ItemOfCell(const TDupItem& Cell) {
  if (Cell.Kind == TDupKind::dkFile) {
    return Cell.FileLeaf;
  }
  return Cell.Dir;
}

}  // namespace

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
  // A group's node and legend row are marked when all its files are selected, a file's node
  // when the file is.
  const std::vector<bool> Whole = GroupsWhollySelected();
  QModelIndexList Nodes;
  QModelIndexList LegendRows;
  for (size_t G = 0; G < Whole.size(); ++G) {
    if (!Whole[G]) {
      continue;
    }
    if (QTreeWidgetItem* GroupNode = tvDuplicateFiles->topLevelItem(static_cast<int>(G))) {
      Nodes.append(tvDuplicateFiles->indexFromItem(GroupNode));
    }
    if (G < FLegendRowOfGroup.size()) {
      LegendRows.append(lvDuplicateGroupsColors->indexFromItem(FLegendRowOfGroup[G]));
    }
  }
  for (const TSelectedItem& Item : FSelection.Items()) {
    const auto* File = std::get_if<const TFileLeaf*>(&Item);
    const TMemberPlace* Place = File != nullptr ? PlaceOf(*File) : nullptr;
    if (QTreeWidgetItem* Node = Place != nullptr ? NodeOf(*Place) : nullptr) {
      Nodes.append(tvDuplicateFiles->indexFromItem(Node));
    }
  }
  ShowRows(tvDuplicateFiles, RowSelection(Nodes));
  ShowRows(lvDuplicateGroupsColors, RowSelection(LegendRows));
  // A file clicked on the map is shown in its open group; a folder has no node.
  const std::optional<TSelectedItem>& Primary = FSelection.Primary();
  if (FSelection.Origin() == TSelectionOrigin::Map && Primary) {
    const auto* File = std::get_if<const TFileLeaf*>(&*Primary);
    const TMemberPlace* Place = File != nullptr ? PlaceOf(*File) : nullptr;
    if (QTreeWidgetItem* Node = Place != nullptr ? NodeOf(*Place) : nullptr) {
      RevealRow(tvDuplicateFiles, tvDuplicateFiles->indexFromItem(Node));
    }
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
