#include "views/ScanTreeModel.h"

#include <QColor>
#include <algorithm>
#include <vector>

#include "common/ReleaseStorage.h"
#include "results/ValueFormat.h"
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

}  // namespace

TScanTreeModel::TScanTreeModel(IViewHost& Host, TContent Content, QObject* Parent)
    : QAbstractItemModel(Parent), FHost(Host), FContent(Content) {}

void TScanTreeModel::SetRoot(const TDirNode* Root) {
  beginResetModel();
  FRoot = Root;
  ReleaseStorage(FExpanded);
  ReleaseStorage(FRowOf);
  ReleaseStorage(FRowsNumbered);
  ReleaseStorage(FFileRowOf);
  ReleaseStorage(FFileRowsNumbered);
  endResetModel();
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

TScanTreeModel::TRowItem TScanTreeModel::ItemAt(const TDirNode* Parent, int Row,
                                                const TDirNode* Root) {
  if (Parent == nullptr) {
    return {Root, nullptr};
  }
  const auto Number = static_cast<size_t>(Row);
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
  return ItemAt(ParentFolderOf(Index), Index.row(), Model->FRoot).Folder;
}

const TFileLeaf* TScanTreeModel::FileOf(const QModelIndex& Index) {
  if (!Index.isValid()) {
    return nullptr;
  }
  const auto* Model = static_cast<const TScanTreeModel*>(Index.model());
  return ItemAt(ParentFolderOf(Index), Index.row(), Model->FRoot).File;
}

int TScanTreeModel::RowOfFolder(const TDirNode* Folder) const {
  const TDirNode* Parent = Folder->Parent();
  if (Parent == nullptr || Folder == FRoot) {
    return 0;
  }
  if (FRowsNumbered.insert(Parent).second) {
    for (size_t I = 0; I < Parent->Children.size(); ++I) {
      FRowOf[Parent->Children[I].get()] = static_cast<int>(I);
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
    for (size_t I = 0; I < Parent.Leaves.size(); ++I) {
      FFileRowOf[Parent.Leaves[I]] =
          static_cast<int>(std::min(Parent.Children.size() + I, static_cast<size_t>(INT32_MAX)));
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
  return FComparison != nullptr ? 2 : 1;
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
  const TRowItem Item = ItemAt(ParentFolderOf(Index), Index.row(), FRoot);
  if (Item.Folder == nullptr && Item.File == nullptr) {
    return RemovedData(Index, Role);
  }
  if (Index.column() == 1) {
    if (Role != Qt::DisplayRole || FComparison == nullptr) {
      return {};
    }
    const TGrowth Growth = Item.Folder != nullptr ? FComparison->Of(*Item.Folder, FCount)
                                                  : FComparison->Of(*Item.File, FCount);
    return ShownText(FormatGrowth(Growth, FHost.FormatSettings()));
  }
  if (Role == Qt::DisplayRole) {
    const std::string_view Name = Item.Folder != nullptr ? Item.Folder->Name() : Item.File->Name();
    const int64_t Size = Item.Folder != nullptr ? Item.Folder->TotalSize : Item.File->Size();
    return ShownText(Name) + QStringLiteral("  [") +
           ShownText(FormatSize(Size, FHost.FormatSettings())) + QLatin1Char(']');
  }
  if (Role == Qt::DecorationRole) {
    return Item.Folder != nullptr ? FHost.SmallIcon(std::string(Item.Folder->FullPath()), true)
                                  : FHost.SmallIcon(Item.File->FullPath(), false);
  }
  return {};
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
  if (Index.column() == 1) {
    return ShownText(FormatRemoved());
  }
  return ShownText(Entry.Name) + QStringLiteral("  [") +
         ShownText(FormatSize(Entry.OldSizeIn(FCount), FHost.FormatSettings())) + QLatin1Char(']');
}

}  // namespace dunstrel
