#include "views/ScanTreeModel.h"

#include <QColor>
#include <algorithm>
#include <vector>

#include "common/ReleaseStorage.h"
#include "results/SizeFigures.h"
#include "results/ValueFormat.h"
#include "views/FigureMarks.h"
#include "views/ListColumns.h"
#include "views/ShownText.h"

namespace dunstrel {

namespace {

int ContentCount(const TDirNode& Folder, bool WithFiles) {
  const size_t Count = Folder.Children.size() + (WithFiles ? Folder.Leaves.size() : 0);
  return static_cast<int>(std::min<size_t>(Count, static_cast<size_t>(INT32_MAX)));
}

// The index's internal pointer is its parent folder; the root's own row has none.
const void* Tagged(const TDirNode* Parent) {
  return Parent;
}

// The name with the size, the size, the files and the date modified.
constexpr int kColumns = 4;
// Shown while results are compared with a saved scan.
constexpr int kGrowthColumn = kColumns;

}  // namespace

TScanTreeModel::TScanTreeModel(IViewHost& Host, TContent Content, QObject* Parent)
    : QAbstractItemModel(Parent), FHost(Host), FContent(Content) {}

void TScanTreeModel::SetRoot(const TDirNode* Root, TSizeCount Count) {
  beginResetModel();
  FRoot = Root;
  FCount = Count;
  ReleaseStorage(FExpanded);
  ForgetRows();
  endResetModel();
}

void TScanTreeModel::ForgetRows() {
  ReleaseStorage(FRowOf);
  ReleaseStorage(FRowsNumbered);
  ReleaseStorage(FFileRowOf);
  ReleaseStorage(FFileRowsNumbered);
  ReleaseStorage(FPlacesOf);
}

void TScanTreeModel::Sort(const TSortChoice& Choice) {
  Q_EMIT layoutAboutToBeChanged();
  // The rows the views hold on to, by what they stand for.
  const QModelIndexList Before = persistentIndexList();
  std::vector<TRowItem> Items;
  Items.reserve(static_cast<size_t>(Before.size()));
  for (const QModelIndex& Index : Before) {
    Items.push_back(ItemAt(ParentFolderOf(Index), Index.row()));
  }
  FChoice = Choice;
  ForgetRows();
  QModelIndexList After;
  After.reserve(Before.size());
  for (qsizetype I = 0; I < Before.size(); ++I) {
    const TRowItem& Item = Items[static_cast<size_t>(I)];
    const QModelIndex Row =
        Item.File != nullptr ? IndexOfFile(Item.File) : IndexOfFolder(Item.Folder);
    After.append(Row.isValid() ? Row.siblingAtColumn(Before[I].column()) : QModelIndex());
  }
  changePersistentIndexList(Before, After);
  Q_EMIT layoutChanged();
}

void TScanTreeModel::RetitleColumns() {
  Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1);
}

const std::vector<uint32_t>& TScanTreeModel::PlacesOf(const TDirNode* Folder) const {
  const auto Found = FPlacesOf.find(Folder);
  if (Found != FPlacesOf.end()) {
    return Found->second;
  }
  // The sub-folders in their order, then the files in theirs; names straight from the tree.
  const bool WithFiles = FContent == TContent::RootFoldersAndFiles;
  const size_t Folders = Folder->Children.size();
  const auto Order = [&](size_t Count, auto ItemOf) {
    if (FChoice.Column == 0) {
      return OrderByNames(
          Count,
          [&](size_t Place) {
            const TRowItem Item = ItemOf(Place);
            return Item.Folder != nullptr ? Item.Folder->Name() : Item.File->Name();
          },
          FChoice.Order);
    }
    return OrderByKeys(
        Count, [&](size_t Place) { return SortKey(ItemOf(Place), FChoice.Column); }, FChoice.Order);
  };
  std::vector<uint32_t> Places = Order(Folders, [&](size_t Place) {
    return TRowItem{Folder->Children[Place].get(), nullptr};
  });
  if (WithFiles) {
    const std::vector<uint32_t> Files = Order(Folder->Leaves.size(), [&](size_t Place) {
      return TRowItem{nullptr, Folder->Leaves[Place]};
    });
    Places.reserve(Folders + Files.size());
    for (const uint32_t File : Files) {
      Places.push_back(static_cast<uint32_t>(Folders + File));
    }
  }
  return FPlacesOf.emplace(Folder, std::move(Places)).first->second;
}

const TDirNode* TScanTreeModel::TopParent() const {
  return FContent == TContent::FoldersBelowRoot ? FRoot : nullptr;
}

bool TScanTreeModel::RowsMade(const TDirNode* Folder) const {
  return FContent == TContent::FoldersBelowRoot || FExpanded.contains(Folder);
}

const TDirNode* TScanTreeModel::ParentFolderOf(const QModelIndex& Index) {
  return static_cast<const TDirNode*>(Index.internalPointer());
}

TScanTreeModel::TRowItem TScanTreeModel::ItemAt(const TDirNode* Parent, int Row) const {
  if (Parent == nullptr) {
    return {FRoot, nullptr};
  }
  // Rows past the folder's own entries are those only a compared saved scan has.
  if (Row < 0 || Row >= ContentCount(*Parent, FContent == TContent::RootFoldersAndFiles)) {
    return {};
  }
  auto Number = static_cast<size_t>(Row);
  if (FChoice.Active()) {
    const std::vector<uint32_t>& Places = PlacesOf(Parent);
    if (Number >= Places.size()) {
      return {};
    }
    Number = Places[Number];
  }
  if (Number < Parent->Children.size()) {
    return {Parent->Children[Number].get(), nullptr};
  }
  const size_t Leaf = Number - Parent->Children.size();
  return Leaf < Parent->Leaves.size() ? TRowItem{nullptr, Parent->Leaves[Leaf]} : TRowItem{};
}

const TDirNode* TScanTreeModel::FolderOf(const QModelIndex& Index) {
  if (!Index.isValid()) {
    return nullptr;
  }
  const auto* Model = static_cast<const TScanTreeModel*>(Index.model());
  return Model->ItemAt(ParentFolderOf(Index), Index.row()).Folder;
}

const TFileLeaf* TScanTreeModel::FileOf(const QModelIndex& Index) {
  if (!Index.isValid()) {
    return nullptr;
  }
  const auto* Model = static_cast<const TScanTreeModel*>(Index.model());
  return Model->ItemAt(ParentFolderOf(Index), Index.row()).File;
}

int TScanTreeModel::RowOfFolder(const TDirNode* Folder) const {
  const TDirNode* Parent = Folder->Parent();
  if (Parent == nullptr || Folder == FRoot) {
    return 0;
  }
  if (FRowsNumbered.insert(Parent).second) {
    const std::vector<uint32_t>* Places = FChoice.Active() ? &PlacesOf(Parent) : nullptr;
    for (size_t Row = 0; Row < Parent->Children.size(); ++Row) {
      const size_t Place = Places != nullptr ? (*Places)[Row] : Row;
      FRowOf[Parent->Children[Place].get()] = static_cast<int>(Row);
    }
  }
  const auto Found = FRowOf.find(Folder);
  return Found != FRowOf.end() ? Found->second : -1;
}

QModelIndex TScanTreeModel::IndexOfFolder(const TDirNode* Folder) const {
  if (Folder == nullptr || FRoot == nullptr || Folder == TopParent()) {
    return {};
  }
  // The chain from the top down to the folder must have rows, and lead to this root.
  std::vector<const TDirNode*> Chain;
  for (const TDirNode* Node = Folder; Node != FRoot; Node = Node->Parent()) {
    if (Node == nullptr) {
      return {};
    }
    Chain.push_back(Node);
  }
  QModelIndex Index;
  if (FContent == TContent::RootFoldersAndFiles) {
    Index = index(0, 0, {});
  }
  for (auto Node = Chain.rbegin(); Node != Chain.rend(); ++Node) {
    const TDirNode* Parent = (*Node)->Parent();
    if (!RowsMade(Parent)) {
      return {};
    }
    const int Row = RowOfFolder(*Node);
    if (Row < 0) {
      return {};
    }
    Index = createIndex(Row, 0, Tagged(Parent));
  }
  return Index;
}

QModelIndex TScanTreeModel::IndexOfFile(const TFileLeaf* File) const {
  if (File == nullptr || FContent != TContent::RootFoldersAndFiles) {
    return {};
  }
  const TDirNode& Parent = File->Parent();
  if (!RowsMade(&Parent) || (&Parent != FRoot && !IndexOfFolder(&Parent).isValid())) {
    return {};
  }
  // A selection may ask for every file of a folder of a hundred thousand: the folder's files are
  // numbered once.
  if (FFileRowsNumbered.insert(&Parent).second) {
    const std::vector<uint32_t>* Places = FChoice.Active() ? &PlacesOf(&Parent) : nullptr;
    const size_t Folders = Parent.Children.size();
    for (size_t I = 0; I < Parent.Leaves.size(); ++I) {
      const size_t Row = Folders + I;
      const size_t Place = Places != nullptr ? (*Places)[Row] - Folders : I;
      FFileRowOf[Parent.Leaves[Place]] =
          static_cast<int>(std::min(Row, static_cast<size_t>(INT32_MAX)));
    }
  }
  const auto Found = FFileRowOf.find(File);
  return Found != FFileRowOf.end() ? createIndex(Found->second, 0, Tagged(&Parent)) : QModelIndex();
}

QModelIndex TScanTreeModel::index(int Row, int Column, const QModelIndex& Parent) const {
  if (FRoot == nullptr || Row < 0 || Column < 0 || Column >= columnCount(Parent)) {
    return {};
  }
  const TDirNode* Folder = Parent.isValid() ? FolderOf(Parent) : TopParent();
  if (!Parent.isValid() && Folder == nullptr) {
    return Row == 0 ? createIndex(0, Column, Tagged(nullptr)) : QModelIndex();
  }
  if (Folder == nullptr || Row >= rowCount(Parent)) {
    return {};
  }
  return createIndex(Row, Column, Tagged(Folder));
}

QModelIndex TScanTreeModel::parent(const QModelIndex& Child) const {
  if (!Child.isValid()) {
    return {};
  }
  const TDirNode* Parent = ParentFolderOf(Child);
  if (Parent == nullptr || Parent == TopParent()) {
    return {};
  }
  const TDirNode* Grandparent = Parent == FRoot ? nullptr : Parent->Parent();
  return createIndex(RowOfFolder(Parent), 0, Tagged(Grandparent));
}

int TScanTreeModel::rowCount(const QModelIndex& Parent) const {
  if (FRoot == nullptr) {
    return 0;
  }
  if (!Parent.isValid()) {
    return TopParent() == nullptr ? 1 : RowsOf(*FRoot);
  }
  const TDirNode* Folder = Parent.column() == 0 ? FolderOf(Parent) : nullptr;
  if (Folder == nullptr || !RowsMade(Folder)) {
    return 0;
  }
  return RowsOf(*Folder);
}

int TScanTreeModel::columnCount(const QModelIndex&) const {
  return FComparison != nullptr ? kColumns + 1 : kColumns;
}

void TScanTreeModel::SetComparison(const TBaselineComparison* Comparison, TSizeCount Count) {
  beginResetModel();
  FComparison = Comparison;
  FCount = Count;
  endResetModel();
}

std::vector<const TRemovedEntry*> TScanTreeModel::RemovedRows(const TDirNode& Folder) const {
  std::vector<const TRemovedEntry*> Rows;
  if (FComparison != nullptr) {
    for (const TRemovedEntry& Entry : FComparison->RemovedFrom(Folder)) {
      if (Entry.IsFolder || FContent == TContent::RootFoldersAndFiles) {
        Rows.push_back(&Entry);
      }
    }
  }
  return Rows;
}

int TScanTreeModel::RowsOf(const TDirNode& Folder) const {
  const int Content = ContentCount(Folder, FContent == TContent::RootFoldersAndFiles);
  if (FComparison == nullptr) {
    return Content;
  }
  const auto Removed = static_cast<int>(std::min<size_t>(RemovedRows(Folder).size(), INT32_MAX));
  return Content > INT32_MAX - Removed ? INT32_MAX : Content + Removed;
}

bool TScanTreeModel::hasChildren(const QModelIndex& Parent) const {
  if (Parent.column() > 0) {
    return false;
  }
  if (!Parent.isValid()) {
    return FRoot != nullptr;
  }
  const TDirNode* Folder = Parent.column() == 0 ? FolderOf(Parent) : nullptr;
  return Folder != nullptr && RowsOf(*Folder) > 0;
}

bool TScanTreeModel::canFetchMore(const QModelIndex& Parent) const {
  const TDirNode* Folder = FolderOf(Parent);
  return Folder != nullptr && !RowsMade(Folder) && hasChildren(Parent);
}

void TScanTreeModel::fetchMore(const QModelIndex& Parent) {
  EnsureRows(Parent);
}

void TScanTreeModel::EnsureRows(const QModelIndex& Folder) {
  const TDirNode* Node = FolderOf(Folder);
  if (Node == nullptr || RowsMade(Node)) {
    return;
  }
  const int Count = RowsOf(*Node);
  if (Count == 0) {
    FExpanded.insert(Node);
    return;
  }
  beginInsertRows(Folder, 0, Count - 1);
  FExpanded.insert(Node);
  endInsertRows();
}

QVariant TScanTreeModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid()) {
    return {};
  }
  const TRowItem Item = ItemAt(ParentFolderOf(Index), Index.row());
  if (Item.Folder == nullptr && Item.File == nullptr) {
    return RemovedData(Index, Role);
  }
  if (Index.column() == kGrowthColumn) {
    if (FComparison == nullptr) {
      return {};
    }
    const TGrowth Growth = Item.Folder != nullptr ? FComparison->Of(*Item.Folder, FCount)
                                                  : FComparison->Of(*Item.File, FCount);
    if (Role == kSortKeyRole) {
      return QVariant::fromValue<qlonglong>(Growth.Bytes);
    }
    if (Role == Qt::TextAlignmentRole) {
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return Role == Qt::DisplayRole ? ShownText(FormatGrowth(Growth, FHost.FormatSettings()))
                                   : QVariant();
  }
  if (Role == kSortKeyRole) {
    return SortKey(Item, Index.column());
  }
  // A folder that could not be read and a file counted at another of its names are greyed,
  // marked and explained.
  const bool Unreadable =
      Item.Folder != nullptr && Item.Folder->ReadProblem != platform::TListProblem::None;
  const bool Uncounted = Item.File != nullptr && CountedElsewhere(*Item.File, FCount);
  if (Role == Qt::DisplayRole) {
    const TFormatSettings& Settings = FHost.FormatSettings();
    const std::string Figure = Item.Folder != nullptr
                                   ? FormatSize(Item.Folder->TotalIn(FCount), Settings)
                                   : FileFigureText(*Item.File, FCount, Settings);
    switch (Index.column()) {
      case 0: {
        const std::string_view Name =
            Item.Folder != nullptr ? Item.Folder->Name() : Item.File->Name();
        return ShownText(Name) + QStringLiteral("  [") + ShownText(Figure) + QLatin1Char(']') +
               (Unreadable ? QStringLiteral("  !") : QString());
      }
      case 1:
        return ShownText(Figure);
      case 2:
        return Item.Folder != nullptr ? QString::number(Item.Folder->TotalFiles) : QString();
      default: {
        const double Modified = Item.File != nullptr ? Item.File->GetModifiedDateTime() : 0;
        return Modified > 0 ? ShownText(FormatDateTimeText(Modified, Settings)) : QString();
      }
    }
  }
  if (Role == Qt::TextAlignmentRole && Index.column() > 0 && Index.column() < 3) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (Role == Qt::DecorationRole && Index.column() == 0) {
    if (Unreadable) {
      return UnreadableFolderIcon();
    }
    return Item.Folder != nullptr ? FHost.SmallIcon(std::string(Item.Folder->FullPath()), true)
                                  : FHost.SmallIcon(Item.File->FullPath(), false);
  }
  if (Role == Qt::ForegroundRole && (Unreadable || Uncounted)) {
    return MarkedTextBrush();
  }
  if (Role == Qt::ToolTipRole && (Unreadable || Uncounted)) {
    return Unreadable ? UnreadableNote(*Item.Folder) : HardLinkNote();
  }
  return {};
}

QVariant TScanTreeModel::SortKey(const TRowItem& Item, int Column) const {
  switch (Column) {
    case 0:
      return QByteArray::fromStdString(
          std::string(Item.Folder != nullptr ? Item.Folder->Name() : Item.File->Name()));
    case 1:
      return QVariant::fromValue<qlonglong>(Item.Folder != nullptr ? Item.Folder->TotalIn(FCount)
                                                                   : Item.File->SizeIn(FCount));
    case 2:
      return Item.Folder != nullptr ? QVariant::fromValue<qlonglong>(Item.Folder->TotalFiles)
                                    : QVariant();
    default: {
      const double Modified = Item.File != nullptr ? Item.File->GetModifiedDateTime() : 0;
      return Modified > 0 ? QVariant(Modified) : QVariant();
    }
  }
}

QVariant TScanTreeModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Section < 0 || Section >= columnCount({})) {
    return {};
  }
  // The growth since a saved scan follows the tree's own columns while results are compared.
  static const TListColumn GrowthColumn = {"Growth", 95, true, true};
  const TListColumn& Column =
      Section == kGrowthColumn ? GrowthColumn : ScanTreeColumns()[static_cast<size_t>(Section)];
  if (Role == Qt::InitialSortOrderRole) {
    return FirstSortOrder(Column);
  }
  if (Role != Qt::DisplayRole) {
    return {};
  }
  return Column.Translated ? TranslatedText(Column.Title) : QString::fromUtf8(Column.Title);
}

QVariant TScanTreeModel::RemovedData(const QModelIndex& Index, int Role) const {
  // The rows after a folder's own entries: those only the baseline has, greyed.
  const TDirNode* Parent = ParentFolderOf(Index);
  if (Parent == nullptr || FComparison == nullptr) {
    return {};
  }
  const int Content = ContentCount(*Parent, FContent == TContent::RootFoldersAndFiles);
  const std::vector<const TRemovedEntry*> Removed = RemovedRows(*Parent);
  const auto Number = static_cast<size_t>(Index.row() - Content);
  if (Index.row() < Content || Number >= Removed.size()) {
    return {};
  }
  const TRemovedEntry& Entry = *Removed[Number];
  if (Role == Qt::ForegroundRole) {
    return QColor(Qt::gray);
  }
  if (Role == Qt::DecorationRole && Index.column() == 0) {
    return FHost.SmallIcon(std::string(Entry.Name), Entry.IsFolder);
  }
  if (Role != Qt::DisplayRole) {
    return {};
  }
  if (Index.column() == kGrowthColumn) {
    return ShownText(FormatRemoved());
  }
  if (Index.column() != 0) {
    return {};
  }
  return ShownText(Entry.Name) + QStringLiteral("  [") +
         ShownText(FormatSize(Entry.OldSizeIn(FCount), FHost.FormatSettings())) + QLatin1Char(']');
}

}  // namespace dunstrel
