#pragma once

#include <QAbstractItemModel>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "results/BaselineComparison.h"
#include "scan/ScanTree.h"
#include "views/RowOrder.h"
#include "views/ViewHost.h"

namespace dunstrel {

// A scan tree as the rows of a tree view, without one object per row: a view of the folders of
// a large disk costs nothing until rows are shown. Every index refers to its parent folder and
// its row in that folder's list (sub-folders first, then files); the tree must be left as it is
// while the model shows it, or the model be reset. The columns are the name with the size, the
// size, the files and the date modified. Sorted by a column, each folder's rows take their
// order when they are first asked for, the sub-folders still before the files; the tree itself
// keeps its order.
class TScanTreeModel final : public QAbstractItemModel {
 public:
  enum class TContent {
    // The folders below the root, all at once; the root itself has no row.
    FoldersBelowRoot,
    // The root as the only top row, folders and files, each folder's rows made on its first
    // expansion.
    RootFoldersAndFiles,
  };

  TScanTreeModel(IViewHost& Host, TContent Content, QObject* Parent);

  // Shows the tree of Root with its figures in Count, or nothing, in the order chosen.
  void SetRoot(const TDirNode* Root, TSizeCount Count);
  // Orders every folder's rows by a column, or in the tree's order (largest first) without one;
  // the rows that are shown, opened and selected stay so.
  void Sort(const TSortChoice& Choice);
  // The column titles have changed language.
  void RetitleColumns();
  // With a comparison, a second column gives each row's growth in Count, and each folder's
  // entries only the baseline has follow its own, greyed; the model is reset.
  void SetComparison(const TBaselineComparison* Comparison, TSizeCount Count);
  const TDirNode* Root() const { return FRoot; }

  // The folder or file of a row; none for another kind.
  static const TDirNode* FolderOf(const QModelIndex& Index);
  static const TFileLeaf* FileOf(const QModelIndex& Index);
  // The row of a folder or file, when it exists: rows below a folder that was never expanded
  // do not. Invalid otherwise.
  QModelIndex IndexOfFolder(const TDirNode* Folder) const;
  QModelIndex IndexOfFile(const TFileLeaf* File) const;
  // Makes the rows of a folder's contents.
  void EnsureRows(const QModelIndex& Folder);
  // The rows that exist of the files for which Wanted answers true.
  template <typename TWanted>
  QModelIndexList FileRowsWhere(TWanted&& Wanted) const {
    QModelIndexList Rows;
    for (const TDirNode* Folder : FExpanded) {
      for (const TFileLeaf* File : Folder->Leaves) {
        if (Wanted(*File)) {
          if (const QModelIndex Row = IndexOfFile(File); Row.isValid()) {
            Rows.append(Row);
          }
        }
      }
    }
    return Rows;
  }

  QModelIndex index(int Row, int Column, const QModelIndex& Parent) const override;
  QModelIndex parent(const QModelIndex& Child) const override;
  int rowCount(const QModelIndex& Parent) const override;
  int columnCount(const QModelIndex& Parent) const override;
  bool hasChildren(const QModelIndex& Parent) const override;
  bool canFetchMore(const QModelIndex& Parent) const override;
  void fetchMore(const QModelIndex& Parent) override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

 private:
  // What a row stands for, from its parent folder (none for the root's own row) and number.
  struct TRowItem {
    const TDirNode* Folder = nullptr;
    const TFileLeaf* File = nullptr;
  };
  TRowItem ItemAt(const TDirNode* Parent, int Row) const;
  static const TDirNode* ParentFolderOf(const QModelIndex& Index);
  // The place in the folder's contents (sub-folders, then files) of each row, made once per
  // folder while sorted by a column.
  const std::vector<uint32_t>& PlacesOf(const TDirNode* Folder) const;
  QVariant SortKey(const TRowItem& Item, int Column) const;
  // Forgets the rows numbered so far.
  void ForgetRows();
  // The folder whose contents the top rows are; none when the root itself is the top row.
  const TDirNode* TopParent() const;
  bool RowsMade(const TDirNode* Folder) const;
  int RowOfFolder(const TDirNode* Folder) const;
  // A folder's rows: its own entries, then those removed since the baseline.
  int RowsOf(const TDirNode& Folder) const;
  std::vector<const TRemovedEntry*> RemovedRows(const TDirNode& Folder) const;
  QVariant RemovedData(const QModelIndex& Index, int Role) const;

  IViewHost& FHost;
  const TContent FContent;
  const TDirNode* FRoot = nullptr;
  const TBaselineComparison* FComparison = nullptr;
  TSizeCount FCount = TSizeCount::ApparentSize;
  // Folders whose contents have rows (lazy trees only).
  std::unordered_set<const TDirNode*> FExpanded;
  TSortChoice FChoice;
  mutable std::unordered_map<const TDirNode*, std::vector<uint32_t>> FPlacesOf;
  // The row number of every folder whose parent's rows have been asked for.
  mutable std::unordered_map<const TDirNode*, int> FRowOf;
  mutable std::unordered_set<const TDirNode*> FRowsNumbered;
  // The same for the files of folders whose rows have been asked for.
  mutable std::unordered_map<const TFileLeaf*, int> FFileRowOf;
  mutable std::unordered_set<const TDirNode*> FFileRowsNumbered;
};

}  // namespace dunstrel
